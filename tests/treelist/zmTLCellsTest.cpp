// Tree list cell drawing and its custom-draw hooks: the events that take a cell over or change
// its colours and text, their order, new-item cells, the incremental search's match and focus
// rectangle, headers, bands, footers and previews, and the brackets kept when a handler raises.
#include "support/PixelProbe.h"
#include "zmTLTestSupport.h"

namespace {

class TCellsTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TCellsTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::DrawDataCell;
  using TCustomzmTreeList::DrawPreview;

  bool NewItemValues = true;
  String Preview;
  std::vector<std::string> Access;

 protected:
  bool ShowsNewItemRowValues() override { return NewItemValues; }
  void GetNewItemRowText(Integer, String& Text) override { Text = "New"; }
  void GetPreviewText(TzmTreeListNode*, String& Text) override { Text = Preview; }
  void BeginNodeAccess(TzmTreeListNode* Node) override { Access.push_back("begin " + Node->GetStrings(0)); }
  void EndNodeAccess(TzmTreeListNode* Node) override { Access.push_back("end " + Node->GetStrings(0)); }
};

class zmTLCells : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    Cells = Add<TCellsTreeList>(Form, "Cells", Rect(10, 10, 390, 290));
    Free(Tree);
    Tree = Cells;
    Cells->SetColor(clWhite);
    Cells->SetBehaviorOptions(Cells->GetBehaviorOptions() & ~zmbRowSelect);
    Name = Column("Name");
    Name->SetWidth(150);
    Value = Column("Value");
    Value->SetWidth(150);
    First = Node("Channel one");
    First->SetStrings(1, "Value one");
    Second = Node("Channel two");
    Second->SetStrings(1, "Value two");
    Pump();
  }
  uint32_t At(Integer X, Integer Y) {
    Pump();
    return ClientPixel(Form, Form->ScreenToClient(Cells->ClientToScreen(Point(X, Y))));
  }
  // The cell's pixels that differ from Background.
  TRect InkOf(TzmTreeListNode* Node, Integer Column, uint32_t Background) {
    TRect cell = Cells->GetCellRect(Node, Column);
    TRect box = InkBoxOf(cell.Width() - 2, cell.Height() - 2, Background,
                         [&](int x, int y) { return At(cell.Left + 1 + x, cell.Top + 1 + y); });
    return box;
  }
  uint32_t CellBackground(TzmTreeListNode* Node, Integer Column) {
    TRect cell = Cells->GetCellRect(Node, Column);
    return At(cell.Right - 3, cell.Top + 2);
  }

 public:
  TCellsTreeList* Cells = nullptr;
  TzmTreeListColumn* Name = nullptr;
  TzmTreeListColumn* Value = nullptr;
  TzmTreeListNode* First = nullptr;
  TzmTreeListNode* Second = nullptr;
};

// ------------------------------------------------------------------ cell events

struct THookCase {
  const char* Name;
  std::function<void(zmTLCells&)> Install;
  TColor Background;  // of the second node's value cell
  bool Text;          // any text ink on that background
};

void PrintTo(const THookCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLCellHooks : public zmTLCells, public ::testing::WithParamInterface<THookCase> {};

TEST_P(zmTLCellHooks, AHandlerChangesOrTakesOverTheCell) {
  GetParam().Install(*this);
  Cells->Invalidate();
  EXPECT_EQ(CellBackground(Second, 1), Rgb(GetParam().Background));
  EXPECT_EQ(!InkOf(Second, 1, Rgb(GetParam().Background)).IsEmpty(), GetParam().Text);
  EXPECT_EQ(CellBackground(First, 1), Rgb(clWhite)) << "other cells keep their look";
}

const THookCase kHookCases[] = {
    {"NoHandler", [](zmTLCells&) {}, clWhite, true},
    {"PreDrawDoneDrawsNothingMore",
     [](zmTLCells& T) {
       T.Cells->OnCellPreDraw = [&T](TObject*, TCanvas* C, const TRect& R, TzmTreeListNode* N, TzmTreeListColumn*,
                                     const String&, TFont*, TColor&, bool, bool, bool& Done) {
         if (N != T.Second) return;
         C->GetBrush()->SetColor(clLime);
         C->FillRect(R);
         Done = true;
       };
     },
     clLime, false},
    {"CustomDrawColour",
     [](zmTLCells& T) {
       T.Cells->OnCellCustomDraw = [&T](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*,
                                        bool, bool, bool, String&, TColor& Color, TFont*, TAlignment&, bool&) {
         if (N == T.Second) Color = clYellow;
       };
     },
     clYellow, true},
    {"CustomDrawEmptiesTheText",
     [](zmTLCells& T) {
       T.Cells->OnCellCustomDraw = [&T](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*,
                                        bool, bool, bool, String& Text, TColor&, TFont*, TAlignment&, bool&) {
         if (N == T.Second) Text.clear();
       };
     },
     clWhite, false},
    {"ColumnEventColour",
     [](zmTLCells& T) {
       T.Value->OnCustomDrawCell = [&T](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*, bool,
                                        bool, bool, String&, TColor& Color, TFont*, TAlignment&, bool&) {
         if (N == T.Second) Color = clAqua;
       };
     },
     clAqua, true},
    {"PreDrawColourKeepsTheText",
     [](zmTLCells& T) {
       T.Cells->OnCellPreDraw = [&T](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*,
                                     const String&, TFont*, TColor& Color, bool, bool, bool&) {
         if (N == T.Second) Color = clSilver;
       };
     },
     clSilver, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, zmTLCellHooks, ::testing::ValuesIn(kHookCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(zmTLCells, AFontColourChangeColoursTheTextButNotTheBackground) {
  Cells->OnCellCustomDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*, bool, bool,
                                bool, String&, TColor&, TFont* Font, TAlignment&, bool&) {
    if (N == Second) Font->SetColor(clRed);
  };
  Cells->Invalidate();
  EXPECT_EQ(CellBackground(Second, 1), Rgb(clWhite));
  TRect cell = Cells->GetCellRect(Second, 1);
  Integer red = 0, black = 0;
  for (Integer y = cell.Top; y < cell.Bottom; ++y)
    for (Integer x = cell.Left; x < cell.Left + 60; ++x) {
      uint32_t p = At(x, y);
      Integer r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      red += r > g + 80 && r > b + 80;
      black += r < 0x60 && g < 0x60 && b < 0x60;
    }
  EXPECT_GT(red, 5) << "the text in the handler's colour";
  EXPECT_EQ(black, 0);
}

TEST_F(zmTLCells, TheCellEventsRunInOrderAndDoneStopsTheRest) {
  std::vector<std::string> log;
  bool stopAt = false;
  Cells->OnCellPreDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn* C,
                             const String&, TFont*, TColor&, bool, bool, bool&) {
    if (N == Second && C == Value) log.push_back("pre");
  };
  Cells->OnCellCustomDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn* C, bool, bool,
                                bool NewItemRow, String&, TColor&, TFont*, TAlignment&, bool& Done) {
    if (N != Second || C != Value) return;
    log.push_back(NewItemRow ? "custom new" : "custom");
    Done = stopAt;
  };
  Value->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, TzmTreeListColumn*, bool, bool,
                                bool, String&, TColor&, TFont*, TAlignment&, bool&) {
    if (N == Second) log.push_back("column");
  };
  Cells->Invalidate();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"pre", "custom", "column"}));
  log.clear();
  stopAt = true;
  Cells->Invalidate();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"pre", "custom"}));
}

TEST_F(zmTLCells, ABlankNewItemRowSkipsTheColumnsEvent) {
  Cells->SetNewItemRowVisible(true);
  Second->SetFocused(true);
  Integer columnCalls = 0;
  Value->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode*, TzmTreeListColumn*, bool, bool,
                                bool NewItemRow, String&, TColor&, TFont*, TAlignment&, bool&) {
    columnCalls += NewItemRow ? 1 : 0;
  };
  TzmTreeListDrawInfo info;
  Cells->CalcDrawInfo(info);
  ASSERT_FALSE(info.NewItemRowRect.IsEmpty());
  TRect newItem = info.NewItemRowRect;
  newItem.Bottom -= Cells->GetMetrics().NewItemRowGap;
  auto ink = [&] {
    return InkBoxOf(newItem.Width() - 4, newItem.Height() - 4, Rgb(clWhite),
                    [&](int x, int y) { return At(newItem.Left + 2 + x, newItem.Top + 2 + y); });
  };
  EXPECT_FALSE(ink().IsEmpty()) << "the new-item texts";
  EXPECT_GT(columnCalls, 0);
  Cells->NewItemValues = false;
  columnCalls = 0;
  Cells->Invalidate();
  EXPECT_EQ(ink(), TRect{}) << "blank";
  EXPECT_EQ(columnCalls, 0);
}

// ------------------------------------------------------------------ incremental search

TEST_F(zmTLCells, TheSearchMatchIsDrawnInvertedWithAFocusRectangle) {
  Cells->SetFocus();
  First->SetFocused(true);
  TRect cell = Cells->GetCellRect(First, 0);
  // The focused cell is drawn selected; the match is drawn on its background inverted.
  const uint32_t selected = Rgb(Cells->GetAppearance().SelectionBackColor), inverted = ~selected & 0xFFFFFF;
  ASSERT_EQ(CellBackground(First, 0), selected);
  auto marked = [&](Integer Width) {
    Integer n = 0;
    for (Integer y = cell.Top + 3; y < cell.Bottom - 3; ++y)
      for (Integer x = cell.Left + 2; x < cell.Left + Width; ++x) n += At(x, y) == inverted;
    return n;
  };
  Integer plain = marked(12);
  Cells->StartSearch(0, "");
  Cells->Invalidate();
  EXPECT_TRUE(Cells->GetSearchActive());
  EXPECT_EQ(At(cell.Left + 1, cell.Top + 1), inverted) << "the focus rectangle's first dot";
  EXPECT_EQ(marked(12), plain) << "an empty search marks nothing";
  ASSERT_TRUE(Cells->StartSearch(0, "Chan"));
  Cells->Invalidate();
  EXPECT_GT(marked(12), plain + 20) << "the selection colour inverted behind the match";
}

TEST_F(zmTLCells, SearchMatchColoursComeFromTheSettings) {
  TzmTreeListAppearance a = Cells->GetAppearance();
  a.SearchMatchBackColor = clYellow;
  Cells->SetAppearance(a);
  Cells->SetFocus();
  First->SetFocused(true);
  ASSERT_TRUE(Cells->StartSearch(0, "Chan"));
  Cells->Invalidate();
  TRect cell = Cells->GetCellRect(First, 0);
  Integer yellow = 0;
  for (Integer x = cell.Left + 2; x < cell.Left + 12; ++x) yellow += At(x, cell.Top + cell.Height() / 2) == 0xFFFF00;
  EXPECT_GT(yellow, 0);
}

// ------------------------------------------------------------------ headers, bands, footers, previews

TEST_F(zmTLCells, HeaderAndBandHandlersColourTheirButtons) {
  Cells->SetBandsVisible(true);
  std::vector<std::string> log;
  Cells->OnHeaderCustomDraw = [&](TObject*, TzmTreeListColumn* Column, TCanvas*, const TRect&, String&, TColor& Color,
                                  TFont*, TAlignment&, TzmTreeListColumnSort&, bool& Done) {
    if (Column != Value) return;
    log.push_back("control");
    Color = clYellow;
    Done = false;
  };
  Value->OnCustomDrawColumnHeader = [&](TObject*, TzmTreeListColumn*, TCanvas*, const TRect&, String& Text, TColor&,
                                        TFont*, TAlignment&, TzmTreeListColumnSort&, bool&) {
    log.push_back("column");
    Text.clear();
  };
  Cells->OnBandCustomDraw = [&](TObject*, TzmTreeListBand*, TCanvas*, const TRect&, String&, TColor& Color, TFont*,
                                TAlignment&, bool&) { Color = clAqua; };
  Cells->Invalidate();
  TzmTreeListDrawInfo info;
  Cells->CalcDrawInfo(info);
  TRect header = info.Headers[1].Bounds, band = info.Bands[0].Bounds;
  EXPECT_EQ(At(header.Left + 20, header.Top + header.Height() / 2), Rgb(clYellow));
  EXPECT_EQ(At(info.Headers[0].Bounds.Right - 20, header.Top + 4), Rgb(clBtnFace));
  EXPECT_EQ(At(band.Left + 10, band.Top + 4), Rgb(clAqua));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "control");
  EXPECT_EQ(log[1], "column") << "the column's event after the control's";
}

TEST_F(zmTLCells, TheFooterHandlerColoursItsCell) {
  Cells->OnFooterCellExists = [&](TObject*, TzmTreeListColumn* Column, bool& Exists) { Exists = Column == Name; };
  Cells->OnFooterCustomDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* Node, TzmTreeListColumn* Column,
                                  String&, TColor& Color, TFont*, TAlignment&, bool&) {
    EXPECT_EQ(Node, nullptr);
    EXPECT_EQ(Column, Name);
    Color = clLime;
  };
  Cells->SetFooterVisible(true);
  TzmTreeListDrawInfo info;
  Cells->CalcDrawInfo(info);
  EXPECT_EQ(At(info.Headers[0].Bounds.Left + 40, info.FooterRect.Top + info.FooterRect.Height() / 2), Rgb(clLime));
}

TEST_F(zmTLCells, PreviewHandlersRunInOrderAndThePreDrawCanStopTheSecond) {
  Cells->Preview = "A preview text";
  Cells->SetBehaviorOptions(Cells->GetBehaviorOptions() | zmbPreview);
  std::vector<std::string> log;
  bool stop = false;
  Cells->OnPreviewPreDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, bool, const String& Text,
                                bool& Done) {
    if (N != Second) return;
    log.push_back("pre " + Text);
    Done = stop;
  };
  Cells->OnPreviewCustomDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode* N, bool, String&, TColor& Color,
                                   TColor&, TFont*, bool&) {
    if (N != Second) return;
    log.push_back("custom");
    Color = clYellow;
  };
  Cells->Invalidate();
  TRect row = Cells->GetNodeRect(Second), cell = Cells->GetCellRect(Second, 1);
  Integer previewY = (cell.Bottom + row.Bottom) / 2;
  EXPECT_EQ(At(cell.Right - 20, previewY), Rgb(clYellow));
  EXPECT_EQ(log, (std::vector<std::string>{"pre A preview text", "custom"}));
  log.clear();
  stop = true;
  Cells->Invalidate();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"pre A preview text"}));
}

// ------------------------------------------------------------------ failures

TEST_F(zmTLCells, ARaisingHandlerLeavesTheFontAndTheNodeBracketAsTheyWere) {
  Cells->OnCellCustomDraw = [&](TObject*, TCanvas*, const TRect&, TzmTreeListNode*, TzmTreeListColumn*, bool, bool,
                                bool, String&, TColor&, TFont* Font, TAlignment&, bool&) {
    Font->SetColor(clRed);
    throw Exception("no");
  };
  TBitmap bitmap;
  bitmap.SetSize(100, 20);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->GetFont()->SetColor(clBlue);
  TzmTreeListCellPaint cell;
  cell.Rect = Rect(0, 0, 100, 20);
  cell.Node = First;
  cell.Column = 1;
  cell.TextColor = clBlue;
  cell.Brush = GetSysColorBrush(COLOR_WINDOW);
  Cells->Access.clear();
  EXPECT_THROW(Cells->DrawDataCell(canvas, nullptr, cell), Exception);
  EXPECT_EQ(canvas->GetFont()->GetColor(), clBlue);
  EXPECT_EQ(Cells->Access, (std::vector<std::string>{"begin Channel one", "end Channel one"}));
  Cells->OnPreviewCustomDraw = [](TObject*, TCanvas*, const TRect&, TzmTreeListNode*, bool, String&, TColor&, TColor&,
                                  TFont*, bool&) { throw Exception("no"); };
  EXPECT_THROW(Cells->DrawPreview(canvas, cell.Rect, nullptr, First, clWhite, clBlack, cell.Brush, false), Exception);
  EXPECT_EQ(canvas->GetFont()->GetColor(), clBlue) << "the preview font gave way again";
}

}  // namespace
