// The tree list's scroll bars and scrolling (by pixels where the picture allows it), the frame of
// the flat looks, the status panel button's hint, the cursor over edges, the focus and font
// messages, editor placement and a drag entering from elsewhere.
#include "treelist/zmEditor.h"
#include "treelist/zmTLFeedback.h"
#include "zmTLTestSupport.h"

namespace {

class TMessageTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TMessageTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  bool StatusPanel = false;
  using TCustomzmTreeList::LayoutChanged;

 protected:
  bool IsStatusPanelShown() override { return StatusPanel; }
  bool HasStatusCloseButton() override { return StatusPanel; }
  void GetStatusHintText(String& Text) override { Text = "Close the panel"; }
};

class zmTLMessages : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    List = Add<TMessageTreeList>(Form, "List", Rect(10, 10, 390, 290));
    Free(Tree);
    Tree = List;
    Column("Name")->SetWidth(150);
    Column("Value")->SetWidth(150);
    Pump();
  }
  void Roots(Integer Count) {
    List->BeginUpdate();
    for (Integer i = 0; i < Count; ++i) Node("Node " + IntToStr(i))->SetStrings(1, IntToStr(i));
    List->EndUpdate();
    Pump();
  }
  bool Shown(int Which) {
    return (GetWindowLong(List->GetHandle(), GWL_STYLE) & (Which == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
  }
  void Scroll(UINT Message, Word Code) {
    List->Perform(Message, MAKEWPARAM(Code, 0), 0);
    Pump();
  }
  // Every pixel of the client area.
  std::vector<uint32_t> Picture() {
    Pump();
    std::vector<uint32_t> pixels;
    TRect client = List->GetClientRect();
    for (Integer y = 0; y < client.Height(); ++y)
      for (Integer x = 0; x < client.Width(); ++x)
        pixels.push_back(ClientPixel(Form, Form->ScreenToClient(List->ClientToScreen(Point(x, y)))));
    return pixels;
  }
  std::vector<uint32_t> Repainted() {
    List->Invalidate();
    return Picture();
  }

  TMessageTreeList* List = nullptr;
};

// ------------------------------------------------------------------ scroll bars

TEST_F(zmTLMessages, ABarTheSettingsDoNotAllowNeverShows) {
  Roots(100);
  List->ColumnAt(1)->SetWidth(500);
  ASSERT_TRUE(Shown(SB_HORZ));
  ASSERT_TRUE(Shown(SB_VERT));
  List->SetScrollBars(ssVertical);
  EXPECT_FALSE(Shown(SB_HORZ));
  EXPECT_TRUE(Shown(SB_VERT));
  List->SetScrollBars(ssNone);
  EXPECT_FALSE(Shown(SB_VERT));
}

struct TVertCase {
  const char* Name;
  Word Code;
  std::function<Integer(Integer Page, Integer Count)> Top;  // from top index 10
};

void PrintTo(const TVertCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLVertScroll : public zmTLMessages, public ::testing::WithParamInterface<TVertCase> {};

TEST_P(zmTLVertScroll, EachCodeMovesTheTopRow) {
  Roots(100);
  List->SetTopIndex(10);
  if (GetParam().Code == SB_THUMBPOSITION) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = 40;
    List->SetScrollInfo(SB_VERT, info, false);
  }
  Scroll(WM_VSCROLL, GetParam().Code);
  EXPECT_EQ(List->GetTopIndex(), GetParam().Top(List->GetPageRowCount(), 100));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, zmTLVertScroll,
    ::testing::Values(TVertCase{"LineUp", SB_LINEUP, [](Integer, Integer) { return 9; }},
                      TVertCase{"LineDown", SB_LINEDOWN, [](Integer, Integer) { return 11; }},
                      TVertCase{"PageUp", SB_PAGEUP, [](Integer Page, Integer) { return std::max(10 - Page, 0); }},
                      TVertCase{"PageDown", SB_PAGEDOWN, [](Integer Page, Integer) { return 10 + Page; }},
                      TVertCase{"Top", SB_TOP, [](Integer, Integer) { return 0; }},
                      TVertCase{"Bottom", SB_BOTTOM, [](Integer Page, Integer Count) { return Count - Page; }},
                      TVertCase{"Thumb", SB_THUMBPOSITION, [](Integer, Integer) { return 40; }},
                      TVertCase{"EndScrollIgnored", SB_ENDSCROLL, [](Integer, Integer) { return 10; }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct THorzThumbCase {
  const char* Name;
  std::function<Integer(Integer Total, Integer Page)> Track;
  std::function<Integer(Integer Total, Integer Page)> Offset;
};

void PrintTo(const THorzThumbCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLHorzThumb : public zmTLMessages, public ::testing::WithParamInterface<THorzThumbCase> {};

TEST_P(zmTLHorzThumb, TheThumbStopsOnMultiplesOfFourExceptAtTheEnd) {
  Roots(3);
  List->ColumnAt(1)->SetWidth(700);
  Integer total = List->GetScrollableBandsWidth(), page = List->GetScrollAreaWidth();
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  info.nPos = GetParam().Track(total, page);
  List->SetScrollInfo(SB_HORZ, info, false);
  Scroll(WM_HSCROLL, SB_THUMBPOSITION);
  EXPECT_EQ(List->GetHorzOffset(), GetParam().Offset(total, page));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, zmTLHorzThumb,
    ::testing::Values(THorzThumbCase{"Start", [](Integer, Integer) { return 0; }, [](Integer, Integer) { return 0; }},
                      THorzThumbCase{"DownToAMultiple", [](Integer, Integer) { return 9; },
                                     [](Integer, Integer) { return 8; }},
                      THorzThumbCase{"UpToAMultiple", [](Integer, Integer) { return 11; },
                                     [](Integer, Integer) { return 12; }},
                      THorzThumbCase{"TheEnd", [](Integer Total, Integer Page) { return Total - Page; },
                                     [](Integer Total, Integer Page) { return Total - Page; }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(zmTLMessages, FewerThanTwoNodesNeverScroll) {
  Roots(1);
  Scroll(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(List->GetTopIndex(), 0);
}

// ------------------------------------------------------------------ scrolling by pixels

struct TPixelScrollCase {
  const char* Name;
  UINT Message;
  Word Code;
  TzmTreeLinesStyle Lines;
};

void PrintTo(const TPixelScrollCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLPixelScroll : public zmTLMessages, public ::testing::WithParamInterface<TPixelScrollCase> {};

TEST_P(zmTLPixelScroll, TheMovedPictureEqualsAFreshOne) {
  List->BeginUpdate();
  for (Integer i = 0; i < 40; ++i) {
    TzmTreeListNode* parent = Node("Parent " + IntToStr(i));
    Node("Child", parent);
    parent->SetExpanded(i % 3 == 0);
  }
  List->ColumnAt(1)->SetWidth(600);
  List->EndUpdate();
  TzmTreeListAppearance a = List->GetAppearance();
  a.TreeLinesStyle = GetParam().Lines;
  List->SetAppearance(a);
  List->SetTopIndex(5);
  List->SetLeftCoord(40);
  Picture();
  Scroll(GetParam().Message, GetParam().Code);
  std::vector<uint32_t> scrolled = Picture();
  EXPECT_TRUE(scrolled == Repainted());
}

INSTANTIATE_TEST_SUITE_P(Moves, zmTLPixelScroll,
                         ::testing::Values(TPixelScrollCase{"RowDownDotted", WM_VSCROLL, SB_LINEDOWN, zmtlDotted},
                                           TPixelScrollCase{"RowUpDotted", WM_VSCROLL, SB_LINEUP, zmtlDotted},
                                           TPixelScrollCase{"RowDownSolid", WM_VSCROLL, SB_LINEDOWN, zmtlSolid},
                                           TPixelScrollCase{"Left", WM_HSCROLL, SB_LINELEFT, zmtlDotted},
                                           TPixelScrollCase{"Right", WM_HSCROLL, SB_LINERIGHT, zmtlDotted}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ------------------------------------------------------------------ frame, cursor, hint

TEST_F(zmTLMessages, TheFlatLooksHaveAOnePixelBorder) {
  Integer standard = List->GetWidth() - List->GetClientWidth();
  List->SetFrameLook(zmflFlat);
  Pump();
  EXPECT_EQ(List->GetWidth() - List->GetClientWidth(), 2);
  EXPECT_LT(2, standard);
  List->SetBorderKind(0);
  Pump();
  EXPECT_EQ(List->GetWidth(), List->GetClientWidth());
}

TEST_F(zmTLMessages, EdgesShowTheSplitCursors) {
  Roots(3);
  TzmTreeListDrawInfo info;
  List->CalcDrawInfo(info);
  TRect header = info.Headers[0].Bounds;
  TPoint edge = List->ClientToScreen(Point(header.Right - 1, header.Top + 4));
  Headless::MoveMouse(edge.X, edge.Y);
  Pump();
  EXPECT_EQ(GetCursor(), Screen->GetCursors(crHSplit));
  TPoint cell = List->ClientToScreen(Point(header.Left + 30, info.RowsRect.Top + 4));
  Headless::MoveMouse(cell.X, cell.Y);
  Pump();
  EXPECT_NE(GetCursor(), Screen->GetCursors(crHSplit));
}

TEST_F(zmTLMessages, HotTrackingGivesBackTheCursorTheApplicationSet) {
  Roots(3);
  List->SetExtraOptions(List->GetExtraOptions() | zmxHotTrack);
  List->SetCursor(crHandPoint);
  List->OnHotSpotChanged = [](TObject*, const TzmTreeListHotSpot& Spot, TCursor& Cursor) {
    if (Spot.Node) Cursor = crIBeam;
  };
  TRect cell = List->GetCellRect(List->GetRootNode(1), 1);
  TPoint on = List->ClientToScreen(Point(cell.Left + 10, cell.Top + 3));
  Headless::MoveMouse(on.X, on.Y);
  Pump();
  EXPECT_EQ(List->GetCursor(), crIBeam) << "the hot cell's cursor";
  TPoint off = List->ClientToScreen(Point(List->GetClientWidth() - 3, List->GetClientHeight() - 3));
  Headless::MoveMouse(off.X, off.Y);
  Pump();
  EXPECT_EQ(List->GetCursor(), crHandPoint) << "not crDefault";
}

TEST_F(zmTLMessages, DropArrowsAreAWindowOfTheirOwnInTheirColour) {
  Roots(3);
  TzmTreeListAppearance a = List->GetAppearance();
  a.DragArrowsColor = clRed;
  List->SetAppearance(a);
  TzmTreeListDrawInfo info;
  List->CalcDrawInfo(info);
  Integer y = info.Headers[0].Bounds.Top + 4;
  auto move = [&](Integer x) {
    TPoint p = List->ClientToScreen(Point(x, y));
    Headless::MoveMouse(p.X, p.Y);
    Pump();
  };
  move(50);
  Headless::MouseDown();
  Pump();
  move(60);
  move(280);
  TzmTreeListFeedbackWindow* arrows = List->GetDropArrowsWindow();
  ASSERT_TRUE(arrows && arrows->IsShown());
  TBitmap* picture = arrows->GetBitmap();
  EXPECT_EQ(ColorToRGB(picture->GetCanvas()->GetPixel(5, 5)), ColorToRGB(clRed)) << "the arrows' colour";
  // The control's own pixels under the arrows are its picture: nothing to restore when they go.
  List->Invalidate();
  Pump();
  TPoint at = Form->ScreenToClient(arrows->ClientToScreen(Point(5, 5)));
  EXPECT_NE(ClientPixel(Form, at), 0xFF0000u);
  Headless::MouseUp();
  Pump();
  EXPECT_FALSE(arrows->IsShown());
}

TEST_F(zmTLMessages, TheStatusButtonsHintComesAfterASecondAndGoesAfterFive) {
  List->StatusPanel = true;
  List->LayoutChanged();
  List->ShowStatusButtonHint(false);
  Pump();
  EXPECT_EQ(List->GetHintWindow(), nullptr);
  Headless::AdvanceClock(1000);
  Pump();
  ASSERT_NE(List->GetHintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(List->GetHintWindow()->GetHandle()));
  EXPECT_EQ(List->GetHintWindow()->GetText(), "Close the panel");
  Headless::AdvanceClock(5000);
  Pump();
  EXPECT_EQ(List->GetHintWindow(), nullptr);
  List->ShowStatusButtonHint(true);
  ASSERT_NE(List->GetHintWindow(), nullptr);
  List->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(List->GetHintWindow(), nullptr) << "leaving the control ends it";
  EXPECT_GE(List->GetMetrics().StatusPanelHeight, 17);
}

// ------------------------------------------------------------------ focus, fonts, colours

TEST_F(zmTLMessages, TakingTheFocusFocusesTheTopNodeAndTheFirstColumn) {
  List->SetBehaviorOptions(List->GetBehaviorOptions() & ~zmbRowSelect);
  Roots(3);
  List->BeginUpdate();
  List->EndUpdate();
  ASSERT_NE(List->GetFocusedNode(), nullptr);
  List->SetFocus();
  Pump();
  EXPECT_EQ(List->GetFocusedVisibleColumn(), 0);
}

TEST_F(zmTLMessages, AFontChangeRecomputesTheRows) {
  Roots(3);
  Integer height = List->GetRowHeight();
  List->GetFont()->SetSize(List->GetFont()->GetSize() * 2);
  EXPECT_GT(List->GetRowHeight(), height);
}

TEST_F(zmTLMessages, ASystemColourChangeRepaintsTheButtonPictures) {
  COLORREF red = RGB(255, 0, 0);
  int index = COLOR_BTNFACE;
  SetSysColors(1, &index, &red);
  List->Perform(CM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(ColorToRGB(ExpandPlusBitmap()->GetCanvas()->GetPixel(2, 9)), red);
  ResetSysColors();
  List->Perform(CM_SYSCOLORCHANGE, 0, 0);
}

TEST_F(zmTLMessages, PlacingTheEditorBindsItToTheFocusedCellAndShowsIt) {
  List->SetBehaviorOptions((List->GetBehaviorOptions() | zmbEditing) & ~zmbRowSelect);
  Roots(3);
  List->SetFocus();
  Pump();
  List->PlaceEditor(false);
  EXPECT_EQ(List->GetActiveEditor(), nullptr) << "only while editing";
  List->SetInteractionState(tlsEditing);
  List->PlaceEditor(false);
  TzmInplaceEdit* editor = List->GetActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(List->GetEditorNode(), List->GetFocusedNode());
  EXPECT_TRUE(editor->GetVisible());
  String text;
  editor->GetDisplayText(text);
  EXPECT_EQ(text, "Node 0");
}

TEST_F(zmTLMessages, ADragFromElsewhereMarksTheFocusedRowAsItsTarget) {
  Roots(3);
  List->OnDragOver = [](TObject*, TObject*, Integer, Integer, TDragState, bool& Accept) { Accept = true; };
  TDragObject drag;
  TDragRec rec;
  rec.Source = &drag;
  List->Perform(CM_DRAG, dmDragEnter, reinterpret_cast<LPARAM>(&rec));
  EXPECT_EQ(List->GetExternalDragObject(), &drag);
  List->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<LPARAM>(&rec));
  EXPECT_EQ(List->GetExternalDragObject(), nullptr);
}

}  // namespace
