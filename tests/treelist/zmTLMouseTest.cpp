// Tree list mouse: scripted presses, moves and releases for expand buttons, column and row
// sizing, header and band drag and drop with its feedback popups, drag select and the editor
// delay of each control.
#include "treelist/zmTLFeedback.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmTLResources.h"
#include "zmTLTestSupport.h"

namespace {

// Three 100-pixel columns in a 400 x 200 client area.
class zmTLMouse : public TzmTreeListTest {
 protected:
  void Layout(bool BandsVisible = false) {
    TRect client = Tree->GetClientRect();
    Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth() + 400 - client.Width(),
                    Tree->GetHeight() + 200 - client.Height());
    Tree->BeginUpdate();
    for (Integer i = 0; i < 3; ++i) Column("C" + IntToStr(i))->SetWidth(100);
    Tree->SetBandsVisible(BandsVisible);
    Tree->EndUpdate();
    Pump();
  }
  TPoint Screen(Integer X, Integer Y) { return Tree->ClientToScreen(Point(X, Y)); }
  void Move(Integer X, Integer Y) {
    TPoint p = Screen(X, Y);
    Headless::MoveMouse(p.X, p.Y);
    Pump();
  }
  void Press(Integer X, Integer Y) {
    Move(X, Y);
    Headless::MouseDown();
    Pump();
  }
  void Release() {
    Headless::MouseUp();
    Pump();
  }
  // Press, move in steps and release: a drag as a hand makes it.
  void Drag(TPoint From, TPoint To) {
    Press(From.X, From.Y);
    Move((From.X + To.X) / 2, (From.Y + To.Y) / 2);
    Move(To.X, To.Y);
    Release();
  }
  Integer HeaderY() { return Tree->GetMetrics().BandRowHeight + Tree->GetMetrics().HeaderAreaHeight / 2; }
  // Puts a tree list of the class T where the fixture's one was.
  template <class T>
  T* Use() {
    Tree->SetVisible(false);
    auto* tree = Add<T>(Form, "Other", Rect(10, 10, 390, 290));
    Tree = tree;
    return tree;
  }
  // Clicks with the keys of Shift held.
  void Click(Integer X, Integer Y, unsigned Shift = skNone) {
    const std::pair<unsigned, BYTE> keys[] = {{skShift, VK_SHIFT}, {skCtrl, VK_CONTROL}};
    for (auto [flag, key] : keys)
      if (Shift & flag) Headless::KeyDown(key);
    Press(X, Y);
    Release();
    for (auto [flag, key] : keys)
      if (Shift & flag) Headless::KeyUp(key);
    Pump();
  }
  std::vector<String> ColumnOrder() {
    std::vector<String> captions;
    for (Integer i = 0; i < Tree->GetVisibleColumnCount(); ++i)
      captions.push_back(Tree->ColumnAt(Tree->GetVisibleColumn(i))->GetCaption());
    return captions;
  }
};

TEST_F(zmTLMouse, AClickOnTheButtonTogglesWithoutMouseDownOrDoubleClick) {
  Layout();
  TzmTreeListNode* root = Node("R");
  Node("C", root);
  Integer downs = 0, doubles = 0;
  Tree->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++downs; };
  Tree->OnDblClick = [&](TObject*) { ++doubles; };
  TRect node = Tree->GetNodeRect(root);
  Press(8, node.Top + 5);
  Release();
  EXPECT_TRUE(root->GetExpanded());
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(doubles, 0);
  Press(150, node.Top + 5);
  Release();
  EXPECT_EQ(downs, 1) << "a cell press reaches OnMouseDown";
}

TEST_F(zmTLMouse, ColumnSizingFollowsTheLineAndStopsAtTheMinimum) {
  Layout();
  Tree->ColumnAt(0)->SetMinWidth(30);
  Press(99, HeaderY());
  ASSERT_EQ(Tree->GetInteractionState(), tlsColumnSizing);
  TzmTreeListFeedbackWindow* line = Tree->GetSizingLineWindow();
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->IsShown()) << "the line is a popup of its own, never drawn on the desktop";
  Move(150, HeaderY());
  EXPECT_EQ(Tree->GetSizingLinePos(), 150);
  EXPECT_EQ(line->GetLeft(), Screen(150, 0).X);
  Move(5, HeaderY());
  EXPECT_EQ(Tree->GetSizingLinePos(), 30) << "left edge + minimum width";
  Move(160, HeaderY());
  Release();
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_FALSE(line->IsShown());
  EXPECT_EQ(Tree->ColumnAt(0)->GetWidth(), 161);
  EXPECT_EQ(Tree->ColumnAt(1)->GetWidth(), 100);
}

TEST_F(zmTLMouse, SizingReleasedWhereItStartedOrCancelledChangesNothing) {
  Layout();
  Integer changes = 0;
  Press(99, HeaderY());
  Move(140, HeaderY());
  Move(99, HeaderY());
  Release();
  EXPECT_EQ(Tree->ColumnAt(0)->GetWidth(), 100);
  // Not a double click on the edge, which would fit the column to its texts.
  Headless::AdvanceClock(GetDoubleClickTime() + 1);
  Press(99, HeaderY());
  Move(140, HeaderY());
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_FALSE(Tree->GetSizingLineWindow()->IsShown());
  Release();
  EXPECT_EQ(Tree->ColumnAt(0)->GetWidth(), 100);
  EXPECT_EQ(changes, 0);
}

TEST_F(zmTLMouse, RowSizingInTheIndicator) {
  Layout();
  for (int i = 0; i < 4; ++i) Node(IntToStr(i));
  Tree->SetIndicatorVisible(true);
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxRowSizing);
  Integer height = Tree->GetRowHeight();
  TRect row = Tree->GetNodeRect(Tree->VisibleNodeAt(0));
  Drag(Point(3, row.Bottom + 1), Point(3, row.Bottom + 10));
  EXPECT_EQ(Tree->GetRowHeight(), height + 10) << "the row's new height reaches down to the line";
}

TEST_F(zmTLMouse, AHeaderDraggedOntoAnotherColumnMovesThere) {
  Layout();
  Press(50, HeaderY());
  Move(60, HeaderY());
  Move(280, HeaderY());
  EXPECT_EQ(Tree->GetInteractionState(), tlsColumnDragging);
  ASSERT_NE(Tree->GetDragImageWindow(), nullptr);
  EXPECT_TRUE(Tree->GetDragImageWindow()->IsShown());
  ASSERT_NE(Tree->GetDropArrowsWindow(), nullptr);
  EXPECT_TRUE(Tree->GetDropArrowsWindow()->IsShown());
  EXPECT_EQ(Tree->GetDropArrowsWindow()->GetLeft(), Screen(300 - 5, 0).X) << "arrows at the right edge of C2";
  Release();
  EXPECT_EQ(ColumnOrder(), (std::vector<String>{"C1", "C2", "C0"}));
  EXPECT_FALSE(Tree->GetDragImageWindow()->IsShown());
  EXPECT_FALSE(Tree->GetDropArrowsWindow()->IsShown());
}

TEST_F(zmTLMouse, DropPositionsOfAHeader) {
  Layout();
  struct Case {
    Integer X;
    Integer Pressed;
    Integer Target;
    Integer ColIndex;
  };
  // On C1's right half coming from C2 (right after it): no move; on C0's left half: first place.
  for (Case c : {Case{180, 2, -2, 1}, Case{20, 2, -3, 0}, Case{120, 0, -2, 1}, Case{180, 0, -3, 1},
                 Case{250, 2, -2, 2}, Case{380, 0, -3, 2}}) {
    TPoint p = Point(c.X, HeaderY());
    TzmTreeListDropPosition drop = Tree->GetHeaderDropPosition(p, c.Pressed, c.Pressed);
    EXPECT_EQ(drop.Target, c.Target) << c.X << " from " << c.Pressed;
    EXPECT_EQ(drop.ColIndex, c.ColIndex) << c.X << " from " << c.Pressed;
  }
  TPoint below = Point(50, 150);
  EXPECT_EQ(Tree->GetHeaderDropPosition(below, 0, 0).Target, -1) << "outside the header rows";
}

TEST_F(zmTLMouse, AHeaderDroppedOutsideStaysWithoutACustomizingForm) {
  Layout();
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbDragOutHides);
  Drag(Point(50, HeaderY()), Point(50, 150));
  EXPECT_EQ(ColumnOrder(), (std::vector<String>{"C0", "C1", "C2"})) << "nothing could show it again";
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
}

TEST_F(zmTLMouse, EscapeEndsAHeaderDragWithoutMoving) {
  Layout();
  Press(50, HeaderY());
  Move(60, HeaderY());
  Move(280, HeaderY());
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_FALSE(Tree->GetDragImageWindow()->IsShown());
  Release();
  EXPECT_EQ(ColumnOrder(), (std::vector<String>{"C0", "C1", "C2"}));
}

TEST_F(zmTLMouse, ABandDraggedOntoTheRightHalfOfTheLastBandGoesLast) {
  Layout(true);
  Tree->BeginUpdate();
  for (Integer b = 1; b < 3; ++b) {
    Tree->GetBands()->Add()->SetCaption("B" + IntToStr(b));
    Tree->ColumnAt(b)->SetBandIndex(b);
  }
  Tree->GetBands()->GetItem(0)->SetCaption("B0");
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxBandMoving);
  Tree->EndUpdate();
  Integer y = Tree->GetMetrics().BandRowHeight / 2;
  Drag(Point(50, y), Point(280, y));
  std::vector<String> order;
  for (Integer b = 0; b < Tree->GetBands()->VisibleCount(); ++b)
    order.push_back(Tree->GetBands()->VisibleItems(b)->GetCaption());
  EXPECT_EQ(order, (std::vector<String>{"B1", "B2", "B0"}));
}

TEST_F(zmTLMouse, HidingTheLastBandIsRefusedEvenWithACustomizingForm) {
  Layout(true);
  TForm* customize = NewForm(100, 100, 500, 100);
  Tree->SetCustomizeForm(customize);
  Integer y = Tree->GetMetrics().BandRowHeight / 2;
  Drag(Point(50, y), Point(50, 180));
  EXPECT_EQ(Tree->GetBands()->VisibleCount(), 1);
  Tree->SetCustomizeForm(nullptr);
}

TEST_F(zmTLMouse, HeadersAndBandsDroppedOnTheCustomizingFormAreHidden) {
  Layout(true);
  Tree->BeginUpdate();
  Tree->GetBands()->Add();
  Tree->ColumnAt(2)->SetBandIndex(1);
  Tree->EndUpdate();
  TForm* customize = NewForm(120, 120, 600, 100);
  customize->Show();
  Pump();
  Tree->SetCustomizeForm(customize);
  TPoint form = Tree->ScreenToClient(customize->ClientToScreen(Point(60, 60)));
  std::vector<TCursor> cursors;
  // Presses at From and moves over the form, noting the cursor shown there, then releases.
  auto dropOnForm = [&](TPoint From) {
    Press(From.X, From.Y);
    Move(From.X + 20, From.Y + 20);
    Move(form.X, form.Y);
    cursors.push_back(::Screen->GetCursor());
    Release();
  };
  Tree->ColumnAt(1)->SetDisableCustomizing(true);
  dropOnForm(Point(150, HeaderY()));
  EXPECT_TRUE(Tree->ColumnAt(1)->GetVisible()) << "its customizing is disabled";
  dropOnForm(Point(50, HeaderY()));
  EXPECT_FALSE(Tree->ColumnAt(0)->GetVisible());
  dropOnForm(Point(150, Tree->GetMetrics().BandRowHeight / 2));  // band 1 (the first shows C1 only)
  EXPECT_FALSE(Tree->GetBands()->GetItem(1)->GetVisible());
  EXPECT_EQ(cursors, (std::vector<TCursor>{crzmTLDelete, Tree->GetCursor(), Tree->GetCursor()}));
  EXPECT_EQ(Tree->GetHorzAutoScroll(), 0);

  TAliveToken formAlive = customize->AliveToken();
  Free(Tree);
  Tree = nullptr;
  EXPECT_FALSE(formAlive) << "the control frees its customizing form";
}

TEST_F(zmTLMouse, ACustomizingFormFreedFirstIsForgotten) {
  Layout();
  TForm* customize = NewForm(120, 120, 600, 100);
  Tree->SetCustomizeForm(customize);
  EXPECT_TRUE(Tree->IsCustomizing());
  Free(customize);
  EXPECT_FALSE(Tree->IsCustomizing());
}

TEST_F(zmTLMouse, DragSelectScrollsWhileTheButtonIsHeldBelowTheRows) {
  Layout();
  for (int i = 0; i < 30; ++i) Node(IntToStr(i));
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxDragSelect);
  TRect first = Tree->GetNodeRect(Tree->VisibleNodeAt(0));
  Press(150, first.Top + 3);
  Move(150, 205);
  EXPECT_EQ(Tree->GetVertAutoScroll(), 1);
  Integer focused = Tree->GetFocusedIndex();
  Headless::AdvanceClock(60);
  Pump();
  EXPECT_EQ(Tree->GetFocusedIndex(), focused + 1) << "one row a tick";
  Release();
  EXPECT_EQ(Tree->GetVertAutoScroll(), 0);
  EXPECT_EQ(Tree->GetHorzAutoScroll(), 0) << "the horizontal timer is a separate one";
}

TEST_F(zmTLMouse, HotTrackingFollowsThePointerOverCells) {
  Layout();
  TzmTreeListNode* a = Node("a");
  TzmTreeListNode* b = Node("b");
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxHotTrack);
  TRect row = Tree->GetNodeRect(a);
  Move(150, row.Top + 3);
  EXPECT_EQ(Tree->GetHotSpot().Node, a);
  EXPECT_EQ(Tree->GetHotSpot().ColumnIndex, 1);
  Move(250, row.Bottom + 3);
  EXPECT_EQ(Tree->GetHotSpot().Node, b);
  EXPECT_EQ(Tree->GetHotSpot().ColumnIndex, 2);
  std::vector<std::string> spots;
  Tree->OnHotSpotChanged = [&](TObject*, const TzmTreeListHotSpot& Spot, TCursor& Cursor) {
    spots.push_back((Spot.Node ? Spot.Node->GetStrings(0) : String("header")) + " " + std::to_string(Spot.ColumnIndex));
    if (Spot.Node) Cursor = crHandPoint;
  };
  Move(50, row.Top + 3);
  EXPECT_EQ(Tree->GetCursor(), crHandPoint) << "the handler chooses the cursor";
  Move(60, row.Top + 3);
  Move(150, HeaderY());
  EXPECT_EQ(Tree->GetCursor(), crDefault);
  EXPECT_EQ(spots, (std::vector<std::string>{"a 0", "header 1"})) << "news only when the spot changes";
  EXPECT_EQ(Tree->GetHotSpot().Node, nullptr) << "a header is hot without a node";
  EXPECT_EQ(Tree->GetHotSpot().HeaderPart, 1);
  Free(b);
  EXPECT_EQ(Tree->GetHotSpot().Node, nullptr);
}

TEST_F(zmTLMouse, AutoWidthBandSizingIsAbsorbedByTheBandsAfter) {
  Layout(true);
  Tree->BeginUpdate();
  for (Integer b = 1; b < 3; ++b) {
    Tree->GetBands()->Add();
    Tree->ColumnAt(b)->SetBandIndex(b);
  }
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbAutoWidth);
  Tree->EndUpdate();
  Integer total = Tree->GetTotalBandsWidth();
  Integer first = Tree->GetBandDisplayWidth(0);
  Tree->SetBandWidthAuto(0, first + 40);
  EXPECT_NEAR(Tree->GetBandDisplayWidth(0), first + 40, 1);
  EXPECT_EQ(Tree->GetTotalBandsWidth(), total) << "auto width keeps the client width";
  EXPECT_NEAR(Tree->GetBandDisplayWidth(1), Tree->GetBandDisplayWidth(2), 2) << "the others share the change alike";
}

TEST_F(zmTLMouse, ANodeDragShowsItsPictureAndKeysSteerIt) {
  Layout();
  TzmTreeListNode* a = Node("a");
  TzmTreeListNode* b = Node("b");
  Node("b1", b);
  Tree->SetDragMode(dmAutomatic);
  std::vector<std::string> started;
  Tree->OnNodeDragStart = [&](TObject*, TzmTreeListNode* Node) { started.push_back(Node->GetStrings(0)); };
  TRect rowA = Tree->GetNodeRect(a), rowB = Tree->GetNodeRect(b);
  Press(150, rowA.Top + 3);
  Move(150, rowA.Top + 12);
  Move(150, rowB.Top + 4);
  ASSERT_EQ(Tree->GetInteractionState(), tlsNodeDragging);
  EXPECT_EQ(Tree->GetDraggedNode(), a);
  EXPECT_EQ(started, (std::vector<std::string>{"a"}));
  ASSERT_NE(Tree->GetDragImageWindow(), nullptr);
  EXPECT_TRUE(Tree->GetDragImageWindow()->IsShown());
  Headless::PressKey(VK_ADD);
  Pump();
  EXPECT_TRUE(b->GetExpanded()) << "keypad + opens the node under the pointer";
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_FALSE(Tree->GetDragImageWindow()->IsShown());
  EXPECT_EQ(Tree->GetDraggedNode(), nullptr);
  Release();
}

TEST_F(zmTLMouse, EachTreeListHasItsOwnEditorDelay) {
  Layout();
  auto* other = Add<TTestTreeList>(Form, "Other", Rect(10, 225, 390, 275));
  other->CreateColumn(&TzmTreeListColumn::StaticClass(), Form)->SetWidth(200);
  for (TTestTreeList* tree : {Tree, other}) {
    tree->SetBehaviorOptions((tree->GetBehaviorOptions() | zmbEditing) & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
    tree->AddNode(nullptr)->SetStrings(0, "x");
  }
  Pump();
  // Clicks in the first cell, a bit further right each time (so that two are no double click).
  Integer x = 20;
  auto click = [&](TTestTreeList* tree, bool Wait) {
    TzmTreeListDrawInfo info;
    tree->CalcDrawInfo(info);
    x += 20;
    TPoint p = tree->ClientToScreen(Point(x, info.RowsRect.Top + 3));
    Headless::Click(p.X, p.Y);
    Pump();
    if (!Wait) return;
    Headless::AdvanceClock(1000);
    Pump();
  };
  click(Tree, true);
  click(Tree, false);
  EXPECT_TRUE(Tree->IsEditorTimerRunning()) << "a second click on the focused cell waits for a double click";
  click(other, false);
  EXPECT_FALSE(other->IsEditorTimerRunning()) << "a first click only focuses";
  EXPECT_TRUE(Tree->IsEditorTimerRunning()) << "the other control's click leaves this delay alone";
  click(other, false);
  EXPECT_TRUE(other->IsEditorTimerRunning());
  EXPECT_TRUE(Tree->IsEditorTimerRunning());
  Headless::AdvanceClock(1000);
  Pump();
  EXPECT_FALSE(Tree->IsEditorTimerRunning());
  EXPECT_FALSE(other->IsEditorTimerRunning());
  EXPECT_TRUE(Tree->GetInteractionState() == tlsEditing || other->GetInteractionState() == tlsEditing);
}

// The pixels of a picture's rows Top to Bottom between Left and Right.
std::vector<uint32_t> Pixels(TBitmap* Bitmap, Integer Left, Integer Right) {
  std::vector<uint32_t> pixels;
  for (Integer y = 0; y < Bitmap->GetHeight(); ++y)
    for (Integer x = Left; x < Right; ++x) pixels.push_back(Bitmap->GetCanvas()->GetPixel(x, y));
  return pixels;
}

TEST_F(zmTLMouse, DraggedCaptionsLookLikeTheirHeaders) {
  Layout(true);
  TOwned<TBitmap> plain(Tree->CreateHeaderDragImage(1));
  EXPECT_EQ(plain->GetWidth(), 100) << "as wide as the header";
  EXPECT_EQ(plain->GetHeight(), Tree->GetMetrics().HeaderRowHeight);
  EXPECT_EQ(plain->GetCanvas()->GetPixel(40, 2), static_cast<TColor>(ColorToRGB(clBtnFace))) << "the button face";
  Tree->ColumnAt(1)->SetSorted(TzmTreeListColumnSort::csUp);
  TOwned<TBitmap> sorted(Tree->CreateHeaderDragImage(1));
  EXPECT_NE(Pixels(sorted.get(), 80, 100), Pixels(plain.get(), 80, 100)) << "the sort arrow at the right";
  EXPECT_EQ(Pixels(sorted.get(), 0, 60), Pixels(plain.get(), 0, 60)) << "the same caption";
  Tree->ColumnAt(1)->SetCaption(String());
  TOwned<TBitmap> empty(Tree->CreateHeaderDragImage(1));
  EXPECT_NE(Pixels(empty.get(), 0, 60), Pixels(plain.get(), 0, 60)) << "the caption is drawn";

  TOwned<TBitmap> band(Tree->CreateBandDragImage(0));
  EXPECT_EQ(band->GetWidth(), Tree->GetBandDisplayWidth(0));
  EXPECT_EQ(band->GetHeight(), Tree->GetMetrics().BandRowHeight);
}

// An editor that notes the presses and releases the tree list hands on to it.
class TPointerEdit : public TzmInplaceTreeListTextEdit {
  QJ_INLINE_CLASS(TPointerEdit, TzmInplaceTreeListTextEdit)
 public:
  using TzmInplaceTreeListTextEdit::TzmInplaceTreeListTextEdit;
  static std::vector<std::string>& Heard() {
    static std::vector<std::string> heard;
    return heard;
  }
  void ContainerMouseDown(Integer X, Integer Y) override { Heard().push_back(Note("down", X, Y)); }
  void ContainerMouseUp(Integer X, Integer Y) override { Heard().push_back(Note("up", X, Y)); }

 private:
  static std::string Note(const char* What, Integer X, Integer Y) {
    return std::string(What) + " " + std::to_string(X) + "," + std::to_string(Y);
  }
};

class TPointerColumn : public TzmTreeListColumn {
  QJ_INLINE_CLASS(TPointerColumn, TzmTreeListColumn)
 public:
  using TzmTreeListColumn::TzmTreeListColumn;
  TzmInplaceEditClass GetEditorClass() override { return &TPointerEdit::StaticClass(); }
};

TEST_F(zmTLMouse, TheClickThatOpensTheEditorGoesOnToIt) {
  Tree->CreateColumn(&TPointerColumn::StaticClass(), Form)->SetWidth(200);
  Pump();
  Tree->SetBehaviorOptions((Tree->GetBehaviorOptions() | zmbEditing | zmbConvertsEditorClicks) &
                           ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  TzmTreeListNode* node = Node("n");
  Tree->SetFocus();
  Tree->SetFocusedNodeColumn(node, 0, false);
  TPointerEdit::Heard().clear();
  TRect row = Tree->GetNodeRect(node);
  Click(50, row.Top + 4);
  ASSERT_EQ(Tree->GetInteractionState(), tlsEditing) << "a release on the focused cell";
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(Tree->IsEditorTimerRunning()) << "the editor opened: its delay is over";
  EXPECT_TRUE(Tree->Focused()) << "the closed editor gave the focus back";
  Headless::AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle) << "Esc closed it for good";
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxMouseDownEditor);
  Press(60, row.Top + 5);
  EXPECT_EQ(Tree->GetInteractionState(), tlsEditing) << "a press opens it at once";
  Release();
  std::string first = "50," + std::to_string(row.Top + 4), second = "60," + std::to_string(row.Top + 5);
  EXPECT_EQ(TPointerEdit::Heard(), (std::vector<std::string>{"up " + first, "down " + second, "up " + second}));
}

// ------------------------------------------------------------------ header buttons and clicks

// Column headers with drop-down buttons; the clicks are logged with what the control tells of them
// while they are handled.
class THeaderButtonsTree : public TTestTreeList {
  QJ_INLINE_CLASS(THeaderButtonsTree, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::GetDropDownColumn;
  using TCustomzmTreeList::IsSortMultiRequested;
  using TCustomzmTreeList::IsSortResetRequested;
  using TCustomzmTreeList::SetDropDownListOpen;
  std::vector<std::string> Clicks;
  bool OpensList = false;

 protected:
  bool HasHeaderDropDownButtons() override { return true; }
  void DoHeaderDropDownClick(Integer Column) override {
    Clicks.push_back("drop-down " + std::to_string(Column) + " while " + std::to_string(GetDropDownColumn()));
    if (!OpensList) return;
    // A list shown from here: while it is open its button is hot as part 3.
    SetDropDownListOpen(true);
    TzmTreeListHitTestInfo hit;
    TPoint p = ScreenToClient(Mouse->GetCursorPos());
    CalcHitTest(p, hit);
    UpdateHotSpot(hit);
    Clicks.push_back("part " + std::to_string(GetHotSpot().HeaderPart));
    SetDropDownListOpen(false);
  }
  void DoColumnClick(Integer Column) override {
    Clicks.push_back("column " + std::to_string(Column) + (IsSortMultiRequested() ? " add" : "") +
                     (IsSortResetRequested() ? " reset" : ""));
  }
};

TEST_F(zmTLMouse, AHeaderDropDownButtonIsHotPressedAndClickedApart) {
  auto* tree = Use<THeaderButtonsTree>();
  Layout();
  const Integer zone = 90, y = HeaderY();  // the right 15 pixels inside column 0's edges
  Move(zone, y);
  EXPECT_EQ(tree->GetHotSpot().HeaderPart, zmHeaderPartDropDown);
  EXPECT_EQ(tree->GetHeaderButtonState(0), zmhbShown | zmhbHot);
  EXPECT_EQ(tree->GetHeaderButtonState(1), zmhbShown);
  Press(zone, y);
  EXPECT_EQ(tree->GetInteractionState(), tlsDropDownButtonDown);
  EXPECT_EQ(tree->GetHeaderButtonState(0), zmhbShown | zmhbHot | zmhbPressed);
  Move(50, y);
  Release();
  EXPECT_EQ(tree->GetInteractionState(), tlsIdle);
  EXPECT_TRUE(tree->Clicks.empty()) << "released beside the button";

  Click(zone, y);
  Click(50, y);
  EXPECT_EQ(tree->Clicks, (std::vector<std::string>{"drop-down 0 while 0", "column 0"}));
  EXPECT_EQ(tree->GetDropDownColumn(), -1) << "only while the click is handled";

  tree->Clicks.clear();
  tree->OpensList = true;
  Click(zone, y);
  EXPECT_EQ(tree->Clicks, (std::vector<std::string>{"drop-down 0 while 0", "part 3"}));
}

TEST_F(zmTLMouse, AColumnClickTellsWhichSortingItsKeysAskFor) {
  auto* tree = Use<THeaderButtonsTree>();
  Layout();
  const Integer y = HeaderY();
  Click(150, y);
  Click(150, y, skShift);
  tree->SetExtraOptions(tree->GetExtraOptions() | zmxMultiSort);
  Click(150, y, skShift);
  Click(150, y, skCtrl);
  EXPECT_EQ(tree->Clicks, (std::vector<std::string>{"column 1", "column 1", "column 1 add", "column 1 reset"}));
  EXPECT_FALSE(tree->IsSortMultiRequested());
  EXPECT_FALSE(tree->IsSortResetRequested());
}

// A status panel with a close button.
class TStatusPanelTree : public TTestTreeList {
  QJ_INLINE_CLASS(TStatusPanelTree, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::GetStatusCloseButtonDown;
  using TCustomzmTreeList::GetStatusCloseButtonHot;
  int Closes = 0;

 protected:
  bool IsStatusPanelShown() override { return true; }
  bool HasStatusCloseButton() override { return true; }
  void DoStatusPanelCloseClick() override { ++Closes; }
};

TEST_F(zmTLMouse, TheStatusCloseButtonIsHotPressedAndClicked) {
  auto* tree = Use<TStatusPanelTree>();
  Layout();
  TRect button;
  tree->GetStatusCloseButtonRect(button);
  ASSERT_FALSE(button.IsEmpty());
  TPoint centre = Point((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);
  Move(centre.X, centre.Y);
  EXPECT_TRUE(tree->GetStatusCloseButtonHot());
  Press(centre.X, centre.Y);
  EXPECT_EQ(tree->GetInteractionState(), tlsStatusCloseDown);
  EXPECT_TRUE(tree->GetStatusCloseButtonDown());
  Move(button.Right + 30, centre.Y);
  EXPECT_FALSE(tree->GetStatusCloseButtonHot());
  Release();
  EXPECT_EQ(tree->Closes, 0) << "released away from the button";
  EXPECT_FALSE(tree->GetStatusCloseButtonDown());
  Click(centre.X, centre.Y);
  EXPECT_EQ(tree->Closes, 1);
  EXPECT_EQ(tree->GetInteractionState(), tlsIdle);
}

// ------------------------------------------------------------------ the new-item row

class TNewItemRowTree : public TTestTreeList {
  QJ_INLINE_CLASS(TNewItemRowTree, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  std::vector<std::string> Asked;

 protected:
  bool IsNewItemRowShown() override { return true; }
  void DoNewItemRowPressed() override { Asked.push_back("pressed"); }
  void DoCanEditNewItemRow(bool& Allow) override {
    Asked.push_back("may edit");
    Allow = true;
  }
};

TEST_F(zmTLMouse, TheNewItemRowTakesTheFocusFromMouseAndKeys) {
  auto* tree = Use<TNewItemRowTree>();
  Layout();
  tree->SetBehaviorOptions((tree->GetBehaviorOptions() | zmbEditing | zmbConvertsEditorClicks) &
                           ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  TzmTreeListDrawInfo info;
  tree->CalcAreaRects(info);
  ASSERT_FALSE(info.NewItemRowRect.IsEmpty());
  Integer rowY = (info.NewItemRowRect.Top + info.NewItemRowRect.Bottom) / 2;
  Click(150, rowY);
  EXPECT_EQ(tree->Asked, (std::vector<std::string>{"pressed"})) << "no node focused yet";
  EXPECT_FALSE(tree->GetNewItemRowFocused());

  TzmTreeListNode* first = Node("first");
  Node("second");
  tree->SetFocusedNodeColumn(first, 0, false);
  tree->Asked.clear();
  Headless::AdvanceClock(1000);  // no double click
  Click(150, rowY);
  EXPECT_TRUE(tree->GetNewItemRowFocused());
  EXPECT_EQ(tree->GetFocusedVisibleColumn(), 1) << "the column under the pointer";
  EXPECT_EQ(tree->GetInteractionState(), tlsEditing) << "the release on the same cell opens the editor";
  EXPECT_EQ(tree->Asked, (std::vector<std::string>{"may edit"}));
  Headless::PressKey(VK_ESCAPE);
  Pump();

  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_FALSE(tree->GetNewItemRowFocused());
  EXPECT_EQ(tree->GetFocusedNode(), first) << "the top node takes the focus";
  for (BYTE key : {VK_UP, VK_PRIOR}) {
    Headless::PressKey(key);
    Pump();
    EXPECT_TRUE(tree->GetNewItemRowFocused()) << "from the first root";
    Headless::PressKey(VK_NEXT);
    Pump();
    EXPECT_FALSE(tree->GetNewItemRowFocused());
  }
  Headless::PressKey(VK_UP, skCtrl);
  Pump();
  EXPECT_TRUE(tree->GetNewItemRowFocused());
}

}  // namespace
