// Tree list painting read back from the screen: tree lines and their dots, expand buttons in each
// look, images, the indicator's glyphs, focus marks, selection colours, bands with a fixed band
// under horizontal scrolling, headers, the footer panel, grid lines and the empty areas.
#include "platform/forms/ImgList.h"
#include "support/ControlPixels.h"
#include "support/PixelProbe.h"
#include "zmTLTestSupport.h"

namespace {

// The glyph and paint hooks the tests look at.
class TPaintTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TPaintTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::GetRowIndicatorGlyph;
  using TCustomzmTreeList::GetGridLinesColor;
};

constexpr TColor kLines = clRed;
constexpr TColor kBack = clWhite;
constexpr TColor kGrid = clBlue;
constexpr TColor kSelection = clNavy;
constexpr TColor kInactive = clOlive;
constexpr TColor kSeparator = clFuchsia;
constexpr TColor kBand = clTeal;
constexpr TColor kHeader = clSilver;

class zmTLPaint : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    Paint = Add<TPaintTreeList>(Form, "Paint", Rect(10, 10, 390, 290));
    Free(Tree);
    Tree = Paint;
    Paint->SetColor(kBack);
    TzmTreeListAppearance a = Paint->GetAppearance();
    a.TreeLinesColor = kLines;
    a.GridLinesColor = kGrid;
    a.SelectionBackColor = kSelection;
    a.InactiveSelectionBackColor = kInactive;
    a.FixedBandSeparatorColor = kSeparator;
    a.BandBackColor = kBand;
    a.HeaderBackColor = kHeader;
    Paint->SetAppearance(a);
    NameColumn = Column("Name");
    NameColumn->SetWidth(150);
    ValueColumn = Column("Value");
    ValueColumn->SetWidth(100);
    Pump();
  }
  void Change(const std::function<void(TzmTreeListAppearance&)>& Edit) {
    TzmTreeListAppearance a = Paint->GetAppearance();
    Edit(a);
    Paint->SetAppearance(a);
  }
  // The pixel at a point of the tree list's client area, after every pending paint.
  uint32_t At(Integer X, Integer Y) {
    Pump();
    return ClientPixel(Form, Form->ScreenToClient(Paint->ClientToScreen(Point(X, Y))));
  }
  uint32_t At(TPoint P) { return At(P.X, P.Y); }
  void FocusElsewhere() {
    if (!Other) Other = Add<TProbeControl>(Form, "Other", Rect(0, 0, 5, 5));
    Other->SetFocus();
    Pump();
  }
  TzmTreeListDrawInfo Info() {
    TzmTreeListDrawInfo info;
    Paint->CalcDrawInfo(info);
    return info;
  }
  // A root with two children (the first expanded) and a second root.
  void SmallTree() {
    R1 = Node("R1");
    A = Node("A", R1);
    B = Node("B", R1);
    R2 = Node("R2");
    Node("R2a", R2);
    R1->SetExpanded(true);
    Pump();
  }
  Integer RowTop(TzmTreeListNode* N) { return Paint->GetNodeRect(N).Top; }
  Integer RowCenter(TzmTreeListNode* N) {
    TRect r = Paint->GetNodeRect(N);
    return r.Top + r.Height() / 2;
  }
  // The x of a node's connector: the middle of its level's cell.
  Integer ConnectorX(TzmTreeListNode* N) { return Info().RowsRect.Left + N->GetLevel() * 16 + 7; }

  TPaintTreeList* Paint = nullptr;
  TProbeControl* Other = nullptr;
  TzmTreeListColumn* NameColumn = nullptr;
  TzmTreeListColumn* ValueColumn = nullptr;
  TzmTreeListNode *R1 = nullptr, *A = nullptr, *B = nullptr, *R2 = nullptr;
};

// ------------------------------------------------------------------ tree lines and buttons

TEST_F(zmTLPaint, DottedLinesKeepTheirPlacesWhereverTheRowsStart) {
  SmallTree();
  // One header row of odd height moves the rows area by an odd number of pixels.
  Paint->SetFrameLook(Paint->GetMetrics().TextHeight % 2 == 0 ? zmflFlat : zmflStandard);
  ASSERT_EQ(Paint->GetMetrics().HeaderRowHeight % 2, 1);
  for (bool headers : {false, true}) {
    Paint->SetHeadersVisible(headers);
    TzmTreeListDrawInfo info = Info();
    Integer y = RowCenter(A), from = ConnectorX(A) + 1, to = info.RowsRect.Left + 2 * 16 - 1;
    for (Integer x = from; x < to; ++x) {
      bool dot = ((x - info.RowsRect.Left) + (y - info.RowsRect.Top)) % 2 != 0;
      EXPECT_EQ(At(x, y), dot ? Rgb(kLines) : Rgb(kBack)) << "x " << x << " with headers " << headers;
    }
  }
}

TEST_F(zmTLPaint, SolidLinesJoinTheRowsAndLeaveOutTheEnds) {
  SmallTree();
  Change([](TzmTreeListAppearance& a) { a.TreeLinesStyle = zmtlSolid; });
  Integer x0 = ConnectorX(R1), x1 = ConnectorX(A);
  EXPECT_EQ(At(x0, RowTop(R1)), Rgb(kBack)) << "the first root has no line above its button";
  EXPECT_EQ(At(x0, RowTop(R1) + Paint->GetNodeRect(R1).Height() - 1), Rgb(kLines)) << "on to the next root";
  EXPECT_EQ(At(x0, RowCenter(A)), Rgb(kLines)) << "the root's line passes its children";
  EXPECT_EQ(At(x1, RowTop(A)), Rgb(kLines));
  EXPECT_EQ(At(x1, RowCenter(B)), Rgb(kLines)) << "a last child's line reaches its centre";
  EXPECT_EQ(At(x1, RowCenter(B) + 2), Rgb(kBack)) << "and stops there";
  EXPECT_EQ(At(x1 + 3, RowCenter(B)), Rgb(kLines)) << "the connector";
  EXPECT_EQ(At(x0, RowCenter(R2) + 6), Rgb(kBack)) << "the last root has no line below its button";
}

TEST_F(zmTLPaint, HiddenTreeLinesAndButtonsDrawNothing) {
  SmallTree();
  Change([](TzmTreeListAppearance& a) {
    a.TreeLinesVisible = false;
    a.ExpandButtonsVisible = false;
  });
  TzmTreeListDrawInfo info = Info();
  // The roots' level and the children's two levels, up to where their texts start.
  TRect roots{info.RowsRect.Left, RowTop(R1), info.RowsRect.Left + 16, RowTop(R2) + Paint->GetNodeRect(R2).Height()};
  TRect children{info.RowsRect.Left + 16, RowTop(A), info.RowsRect.Left + 32, RowTop(R2)};
  for (const TRect& part : {roots, children})
    EXPECT_EQ(InkBoxOf(part.Width(), part.Height(), Rgb(kBack),
                       [&](int x, int y) { return At(part.Left + x, part.Top + y); }),
              TRect{});
}

struct TButtonCase {
  const char* Name;
  TzmRowPaintStyle Style;
  TzmTreeListFrameLook Look;
};

void PrintTo(const TButtonCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLPaintButtons : public zmTLPaint, public ::testing::WithParamInterface<TButtonCase> {};

TEST_P(zmTLPaintButtons, APlusForACollapsedNodeAndAMinusForAnExpandedOne) {
  Paint->SetRowPaintStyle(GetParam().Style);
  Paint->SetFrameLook(GetParam().Look);
  SmallTree();
  // Whatever the look, the sign's bars are drawn in a dark colour around the button's centre.
  auto dark = [&](Integer x, Integer y) {
    uint32_t p = At(x, y);
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 0x60;
  };
  for (TzmTreeListNode* node : {R1, R2}) {
    TRect row = Paint->GetNodeRect(node);
    Integer left = Info().RowsRect.Left;
    // The centre of the button's box: the sign's crossing.
    Integer cx = left + 7, cy = row.Top + row.Height() / 2;
    bool found = false, vertical = false;
    for (Integer dx = -2; dx <= 2 && !found; ++dx)
      for (Integer dy = -2; dy <= 2 && !found; ++dy)
        if (dark(cx + dx, cy + dy) && dark(cx + dx - 2, cy + dy) && dark(cx + dx + 2, cy + dy)) {
          found = true;
          vertical = dark(cx + dx, cy + dy - 2) && dark(cx + dx, cy + dy + 2);
        }
    EXPECT_TRUE(found) << "a bar across the button of " << node->GetStrings(0);
    EXPECT_EQ(vertical, !node->GetExpanded()) << node->GetStrings(0);
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, zmTLPaintButtons,
                         ::testing::Values(TButtonCase{"StandardBox", zmrpStandard, zmflStandard},
                                           TButtonCase{"GroupedBitmap", zmrpGrouped, zmflFlat},
                                           TButtonCase{"GroupedUltraFlatBox", zmrpGrouped, zmflUltraFlat}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(zmTLPaint, TheGroupedLooksButtonPicturesAreMadeAtStart) {
  for (bool plus : {false, true}) {
    TBitmap* glyph = plus ? ExpandPlusBitmap() : ExpandMinusBitmap();
    ASSERT_EQ(glyph->GetWidth(), 12);
    TCanvas* c = glyph->GetCanvas();
    EXPECT_EQ(ColorToRGB(c->GetPixel(5, 5)), ColorToRGB(clBtnText)) << "the minus bar";
    EXPECT_EQ(ColorToRGB(c->GetPixel(5, 3)), ColorToRGB(plus ? clBtnText : clBtnFace)) << "the plus bar";
    EXPECT_EQ(ColorToRGB(c->GetPixel(2, 9)), ColorToRGB(clBtnFace));
  }
}

TEST_F(zmTLPaint, TheGroupedStyleFillsParentRowsAndIndentsInTheGroupColours) {
  Paint->SetRowPaintStyle(zmrpGrouped);
  Change([](TzmTreeListAppearance& a) { a.GroupRowBackColor = clYellow; });
  SmallTree();
  TzmTreeListDrawInfo info = Info();
  TRect parent = Paint->GetCellRect(R1, 1);
  EXPECT_EQ(At(parent.Left + 40, parent.Top + 2), Rgb(clYellow)) << "a parent row";
  EXPECT_EQ(At(info.RowsRect.Left + 3, RowCenter(A)), Rgb(clYellow)) << "the indent of a child";
  EXPECT_EQ(At(Paint->GetCellRect(A, 1).Left + 40, RowCenter(A) - 2), Rgb(kBack)) << "a child's cells";
  Paint->OnLevelColor = [](TObject*, Integer Level, TColor& Color) {
    if (Level == 0) Color = clLime;
  };
  Paint->Invalidate();
  EXPECT_EQ(At(parent.Left + 40, parent.Top + 2), Rgb(clLime)) << "the level colour event";
  EXPECT_EQ(At(info.RowsRect.Left + 1, RowTop(R1) + 2), Rgb(clLime)) << "the parent's indent";
  EXPECT_EQ(At(info.RowsRect.Left + 3, RowCenter(A)), Rgb(clLime)) << "the child's level 0";
}

// ------------------------------------------------------------------ images and the indicator

TEST_F(zmTLPaint, NodeImagesAndStateImagesSitBeforeTheText) {
  auto* images = New<TImageList>(Form);
  images->SetWidth(8);
  images->SetHeight(8);
  auto* states = New<TImageList>(Form);
  states->SetWidth(6);
  states->SetHeight(6);
  for (auto [list, color] : {std::pair{images, clGreen}, std::pair{states, clMaroon}}) {
    TBitmap bitmap;
    bitmap.SetSize(list->GetWidth(), list->GetHeight());
    bitmap.GetCanvas()->GetBrush()->SetColor(color);
    bitmap.GetCanvas()->FillRect(Rect(0, 0, list->GetWidth(), list->GetHeight()));
    list->Add(&bitmap, nullptr);
  }
  Paint->SetNodeImages(images);
  Paint->SetNodeStateImages(states);
  TzmTreeListNode* plain = Node("Plain");
  TzmTreeListNode* marked = Node("Marked");
  marked->SetStateIndex(0);
  plain->SetImageIndex(-1);
  Pump();
  Integer left = Info().RowsRect.Left + 16;
  EXPECT_EQ(At(left + 3, RowCenter(marked)), Rgb(clMaroon)) << "the state image first";
  EXPECT_EQ(At(left + 6 + 4, RowCenter(marked)), Rgb(clGreen)) << "then the image";
  EXPECT_EQ(At(left + 4, RowCenter(plain)), Rgb(kBack)) << "image -1 leaves its place empty";
  EXPECT_EQ(At(left + 6 + 8, RowCenter(marked)), Rgb(kBack)) << "the cell after the images";
}

TEST_F(zmTLPaint, TheIndicatorShowsTheRowsState) {
  Paint->SetIndicatorVisible(true);
  Paint->KeepsSelection = true;
  SmallTree();
  EXPECT_EQ(Paint->GetRowIndicatorGlyph(R1), zigArrow) << "the focused row";
  EXPECT_EQ(Paint->GetRowIndicatorGlyph(A), -1);
  Paint->SetBehaviorOptions(Paint->GetBehaviorOptions() | zmbMultiSelect);
  A->SetSelected(true);
  B->SetSelected(true);
  EXPECT_EQ(Paint->GetRowIndicatorGlyph(A), zigMultiDot) << "a selected row";
  EXPECT_EQ(Paint->GetRowIndicatorGlyph(R1), zigMultiArrow) << "the focused row among several selected";
  Paint->SetBehaviorOptions(Paint->GetBehaviorOptions() & ~(zmbMultiSelect | zmbRowSelect));
  Paint->ShowEditor();
  ASSERT_EQ(Paint->GetInteractionState(), tlsEditing);
  EXPECT_EQ(Paint->GetRowIndicatorGlyph(R1), zigEdit) << "the row being edited";
  Paint->EndEditing();
  Paint->Selection.clear();
  // The arrow is drawn in the focused row's indicator cell only.
  auto ink = [&](TzmTreeListNode* N) {
    TRect row = Paint->GetNodeRect(N);
    return CountOf(12, row.Height(), 0x000000, [&](int x, int y) { return At(row.Left + x, row.Top + y); });
  };
  EXPECT_GT(ink(R1), ink(R2) + 5);
  EXPECT_EQ(ink(R2), ink(A)) << "a face without a glyph";
}

// ------------------------------------------------------------------ focus and selection

TEST_F(zmTLPaint, TheFocusRectangleFollowsTheFocusAndTheSettings) {
  SmallTree();
  Paint->SetBehaviorOptions(Paint->GetBehaviorOptions() & ~zmbRowSelect);
  TRect cell = Paint->GetCellRect(R1, 0);
  // The dotted frame along the cell's top edge: the focused cell's selection colour inverted by turns.
  auto dots = [&] {
    Integer inverted = 0;
    for (Integer x = cell.Left + 1; x < cell.Left + 20; ++x) inverted += At(x, cell.Top) == (~Rgb(kSelection) & 0xFFFFFF);
    return inverted;
  };
  auto inverted = [&] { return At(cell.Left + 5, cell.Top) == (~Rgb(kBack) & 0xFFFFFF); };
  Paint->SetFocus();
  Pump();
  EXPECT_GT(dots(), 5) << "a focus rectangle while focused";
  FocusElsewhere();
  ASSERT_FALSE(Paint->IsFocusedWithin());
  EXPECT_EQ(dots(), 0) << "hidden while inactive";
  EXPECT_FALSE(inverted());
  Change([](TzmTreeListAppearance& a) { a.HideFocusRectWhenInactive = false; });
  EXPECT_TRUE(inverted()) << "an inverted frame while inactive";
}

TEST_F(zmTLPaint, SelectedRowsTakeTheSelectionColoursOnlyWhileFocused) {
  Paint->KeepsSelection = true;
  Paint->SetBehaviorOptions(Paint->GetBehaviorOptions() | zmbMultiSelect);
  SmallTree();
  A->SetSelected(true);
  TRect cell = Paint->GetCellRect(A, 1);
  TPoint probe{cell.Right - 3, cell.Top + 3};
  Paint->SetFocus();
  EXPECT_EQ(At(probe), Rgb(kSelection));
  FocusElsewhere();
  EXPECT_EQ(At(probe), Rgb(kBack)) << "hidden while inactive";
  Change([](TzmTreeListAppearance& a) { a.HideSelectionWhenInactive = false; });
  EXPECT_EQ(At(probe), Rgb(kInactive));
}

// Without multi-select the focused node counts as selected: its focused cell (with row select its
// row) takes the selection colours while the focus is within the control.
struct TFocusedNodeCase {
  const char* Name;
  bool RowSelect;
  TColor Name0, Value1;  // the backgrounds of the focused node's two cells while focused
};

void PrintTo(const TFocusedNodeCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLPaintFocusedNode : public zmTLPaint, public ::testing::WithParamInterface<TFocusedNodeCase> {
 protected:
  uint32_t CellBack(TzmTreeListNode* N, Integer Column) {
    TRect cell = Paint->GetCellRect(N, Column);
    return At(cell.Right - 3, cell.Top + cell.Height() / 2);
  }
};

TEST_P(zmTLPaintFocusedNode, TakesTheSelectionColoursWhileTheFocusIsWithin) {
  const TFocusedNodeCase& c = GetParam();
  TzmTreeListOptions options = Paint->GetBehaviorOptions() & ~zmbRowSelect;
  Paint->SetBehaviorOptions(c.RowSelect ? options | zmbRowSelect : options);
  SmallTree();
  Change([](TzmTreeListAppearance& a) { a.SelectionForeColor = clYellow; });
  A->SetFocused(true);
  Paint->SetFocus();
  EXPECT_EQ(CellBack(A, 0), Rgb(c.Name0));
  EXPECT_EQ(CellBack(A, 1), Rgb(c.Value1));
  EXPECT_TRUE(ControlShowsInk(Paint, Paint->GetCellRect(A, 0), clYellow, c.Name0)) << "the selection's text colour";
  EXPECT_EQ(CellBack(B, 0), Rgb(kBack)) << "another node";
  FocusElsewhere();
  EXPECT_EQ(CellBack(A, 0), Rgb(kBack)) << "hidden while inactive";
  Change([](TzmTreeListAppearance& a) { a.HideSelectionWhenInactive = false; });
  EXPECT_EQ(CellBack(A, 0), Rgb(kInactive));
}

INSTANTIATE_TEST_SUITE_P(Options, zmTLPaintFocusedNode,
                         ::testing::Values(TFocusedNodeCase{"FocusedCell", false, kSelection, kBack},
                                           TFocusedNodeCase{"RowSelect", true, kSelection, kSelection}),
                         [](const ::testing::TestParamInfo<TFocusedNodeCase>& I) { return std::string(I.param.Name); });

TEST_F(zmTLPaint, TheSelectionColoursFollowTheFocusedNodeByMouseAndKeys) {
  SmallTree();
  Paint->SetFocus();
  Pump();
  auto back = [&](TzmTreeListNode* N) {
    TRect cell = Paint->GetCellRect(N, 1);
    return At(cell.Right - 3, cell.Top + cell.Height() / 2);
  };
  const TRect b = Paint->GetCellRect(B, 1);
  const TPoint click = Paint->ClientToScreen(Point(b.Left + b.Width() / 2, b.Top + b.Height() / 2));
  Headless::MoveMouse(click.X, click.Y);
  Headless::MouseDown();
  Pump();
  Headless::MouseUp();
  Pump();
  ASSERT_EQ(Paint->GetFocusedNode(), B);
  EXPECT_EQ(back(B), Rgb(kSelection)) << "clicked";
  EXPECT_EQ(back(A), Rgb(kBack));
  Headless::PressKey(VK_UP);
  Pump();
  ASSERT_EQ(Paint->GetFocusedNode(), A);
  EXPECT_EQ(back(A), Rgb(kSelection)) << "moved up";
  EXPECT_EQ(back(B), Rgb(kBack)) << "repainted when it lost the focus";
}

TEST_F(zmTLPaint, AColumnColourDifferentFromTheControlsFillsItsCells) {
  SmallTree();
  ValueColumn->SetColor(clAqua);
  NameColumn->SetColor(kBack);
  TRect value = Paint->GetCellRect(R2, 1), name = Paint->GetCellRect(R2, 0);
  EXPECT_EQ(At(value.Right - 3, value.Top + 2), Rgb(clAqua));
  EXPECT_EQ(At(name.Right - 3, name.Top + 2), Rgb(kBack));
}

// ------------------------------------------------------------------ bands, headers, footer, grid

TEST_F(zmTLPaint, AFixedBandKeepsItsPlaceAndSeparatorWhileTheOthersScroll) {
  Paint->SetBandsVisible(true);
  TzmTreeListBands* bands = Paint->GetBands();
  bands->GetItem(0)->SetFixed(TzmGridBandFixed::bfLeft);
  bands->GetItem(0)->SetWidth(120);
  bands->Add()->SetWidth(600);
  NameColumn->SetWidth(120);
  ValueColumn->SetBandIndex(1);
  ValueColumn->SetWidth(600);
  ValueColumn->SetColor(clAqua);
  SmallTree();
  TzmTreeListDrawInfo info = Info();
  ASSERT_FALSE(info.LeftFixedRect.IsEmpty());
  Integer strip = info.LeftFixedRect.Right - 1;
  auto fixedColumn = [&] {
    for (TzmTreeListNode* node : {R1, A, B, R2}) {
      EXPECT_EQ(At(strip, RowCenter(node)), Rgb(kSeparator)) << node->GetStrings(0);
      EXPECT_NE(At(strip - 4, RowCenter(node)), Rgb(clAqua)) << "no scrolled cell over the fixed band";
    }
    EXPECT_EQ(At(info.LeftFixedRect.Left + 20, info.BandRowRect.Top + 3), Rgb(kBand)) << "the band caption";
    EXPECT_EQ(At(strip, info.BandRowRect.Top + 3), Rgb(kSeparator));
  };
  fixedColumn();
  EXPECT_EQ(At(info.LeftFixedRect.Right + 20, RowCenter(A)), Rgb(clAqua)) << "the scrolling band's cells";
  Paint->SetLeftCoord(300);
  ASSERT_GT(Paint->GetHorzOffset(), 0);
  fixedColumn();
}

TEST_F(zmTLPaint, HeadersTakeTheirColourAndEmptyAreasTheControls) {
  SmallTree();
  TzmTreeListDrawInfo info = Info();
  TRect header = info.Headers[1].Bounds;
  EXPECT_EQ(At(header.Right - 10, header.Top + 4), Rgb(kHeader));
  EXPECT_EQ(At(info.EmptyRightRect.Left + 5, info.RowsRect.Top + 5), Rgb(kBack)) << "right of the bands";
  EXPECT_EQ(At(info.RowsRect.Left + 100, info.BelowRowsRect.Top + 5), Rgb(kBack)) << "below the last row";
  Paint->SetHeadersVisible(false);
  EXPECT_EQ(Info().Headers.size(), 2u) << "items without a header area";
  EXPECT_EQ(At(info.RowsRect.Left + 100, 2), Rgb(kBack)) << "the rows moved up";
}

TEST_F(zmTLPaint, TheFooterPanelShowsTheColumnsThatHaveAFooterCell) {
  SmallTree();
  Paint->OnFooterCellExists = [&](TObject*, TzmTreeListColumn* Column, bool& Exists) { Exists = Column == ValueColumn; };
  Paint->SetFooterVisible(true);
  TzmTreeListDrawInfo info = Info();
  ASSERT_FALSE(info.FooterRect.IsEmpty());
  TRect value = info.Headers[1].Bounds, name = info.Headers[0].Bounds;
  Integer y = info.FooterRect.Top + info.FooterRect.Height() / 2;
  EXPECT_EQ(At(name.Left + 50, y), Rgb(kHeader)) << "the panel";
  bool framed = false;
  for (Integer x = value.Left; x < value.Left + 6; ++x) framed = framed || At(x, y) == Rgb(clBtnShadow);
  EXPECT_TRUE(framed) << "a sunken cell";
}

TEST_F(zmTLPaint, GridLinesTakeTheOverrideColour) {
  SmallTree();
  Paint->SetShowGrid(true);
  TRect row = Paint->GetNodeRect(R2);
  Integer x = Paint->GetCellRect(R2, 1).Left + 30;
  EXPECT_EQ(At(x, row.Top - 1), Rgb(kGrid)) << "under the row above";
  EXPECT_EQ(Paint->GetGridLinesColor(), kGrid);
  Change([](TzmTreeListAppearance& a) { a.GridLinesColorOverride = clGreen; });
  EXPECT_EQ(At(x, row.Top - 1), Rgb(clGreen));
}

TEST_F(zmTLPaint, NoBandsPaintsTheAreasButNoRows) {
  SmallTree();
  Paint->GetBands()->GetItem(0)->SetVisible(false);
  Paint->SetIndicatorVisible(true);
  TzmTreeListDrawInfo info = Info();
  EXPECT_TRUE(info.Headers.empty());
  EXPECT_EQ(At(info.ClientBounds.Right - 20, info.ClientBounds.Bottom - 20), Rgb(kBack));
}

TEST_F(zmTLPaint, TheBackgroundIsNeverErased) {
  EXPECT_EQ(Paint->Perform(WM_ERASEBKGND, 0, 0), 1);
}

// ------------------------------------------------------------------ every pixel, whatever the surface held

struct TCoverCase {
  const char* Name;
  TzmRowPaintStyle Style;
  bool Grid;
  bool FixedBand;
  bool Panels = false;  // the footer panel and the new-item row
};

void PrintTo(const TCoverCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLPaintCover : public zmTLPaint, public ::testing::WithParamInterface<TCoverCase> {
 protected:
  // Roots with children, a grandchild under every third node, all expanded but the last root:
  // parents, leaves, last children and shallower rows below deeper ones, more than the rows area shows.
  void ManyRows() {
    for (Integer r = 0; r < 6; ++r) {
      TzmTreeListNode* root = Node("R" + IntToStr(r));
      for (Integer c = 0; c < 5; ++c) {
        TzmTreeListNode* child = Node("C" + IntToStr(c), root);
        if (c % 3 == 1) {
          Node("G", child);
          child->SetExpanded(true);
        }
      }
      root->SetExpanded(r < 5);
    }
  }
  // Client pixels a repaint leaves in the colour of a surface nothing painted, as "(x,y)" of the
  // first few: the control's area is filled with that colour first, as pixels of whatever was shown before.
  std::string Unpainted() {
    Pump();
    HDC dc = GetDC(Paint->GetHandle());
    HBRUSH soil = CreateSolidBrush(Headless::kUnpaintedColor);
    TRect all = Paint->GetClientRect();
    FillRect(dc, &all, soil);
    DeleteObject(soil);
    ReleaseDC(Paint->GetHandle(), dc);
    Paint->Invalidate();
    Pump();
    std::string found;
    Integer n = 0;
    TRect client = Paint->GetClientRect();
    for (Integer y = client.Top; y < client.Bottom; ++y)
      for (Integer x = client.Left; x < client.Right; ++x)
        if (At(x, y) == Rgb(static_cast<TColor>(Headless::kUnpaintedColor)) && ++n <= 5)
          found += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    return n == 0 ? std::string() : std::to_string(n) + " pixels, first " + found;
  }
};

TEST_P(zmTLPaintCover, EveryPixelOfTheClientAreaIsPainted) {
  const TCoverCase& c = GetParam();
  Paint->SetRowPaintStyle(c.Style);
  Paint->SetShowGrid(c.Grid);
  Paint->SetIndicatorVisible(true);
  if (c.FixedBand) {
    Paint->SetBandsVisible(true);
    Paint->GetBands()->GetItem(0)->SetFixed(TzmGridBandFixed::bfLeft);
    Paint->GetBands()->Add()->SetWidth(300);
    ValueColumn->SetBandIndex(1);
  }
  if (c.Panels) {
    Paint->OnFooterCellExists = [&](TObject*, TzmTreeListColumn*, bool& Exists) { Exists = true; };
    Paint->SetFooterVisible(true);
    Paint->SetNewItemRowVisible(true);
  }
  ManyRows();
  // The last row is cut by the bottom of the rows area.
  TzmTreeListDrawInfo info = Info();
  if (info.RowsRect.Height() % Paint->GetMetrics().RowHeight == 0) Paint->SetHeight(Paint->GetHeight() - 5);
  ASSERT_EQ(Info().LastRowBottom, -1) << "the rows fill the area";
  EXPECT_EQ(Unpainted(), "");
  Paint->SetTopVisibleNode(Paint->VisibleNodeAt(12));
  EXPECT_EQ(Unpainted(), "") << "scrolled";
}

INSTANTIATE_TEST_SUITE_P(
    Styles, zmTLPaintCover,
    ::testing::Values(TCoverCase{"StandardWithGrid", zmrpStandard, true, false},
                      TCoverCase{"StandardWithoutGrid", zmrpStandard, false, false},
                      TCoverCase{"GroupedWithGrid", zmrpGrouped, true, false},
                      TCoverCase{"GroupedWithoutGrid", zmrpGrouped, false, false},
                      TCoverCase{"StandardBandedWithGrid", zmrpStandard, true, true},
                      TCoverCase{"GroupedBandedWithoutGrid", zmrpGrouped, false, true},
                      TCoverCase{"StandardWithPanels", zmrpStandard, true, false, true},
                      TCoverCase{"GroupedWithPanels", zmrpGrouped, false, true, true}),
    [](const ::testing::TestParamInfo<TCoverCase>& I) { return std::string(I.param.Name); });

}  // namespace
