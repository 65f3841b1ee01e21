// The tree list on a real X display: on the SDL backend under Xvfb a user expands a node, sorts by
// a header click and edits a cell with mouse and keyboard, and the screen shows the result; a tree
// list shown where something else was paints over every pixel of it, and the node a user focuses
// shows the selection colours.
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/SdlScreen.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLResources.h"

namespace {

class zmTLSdl : public TSdlUnitsTest<TzmTreeListUnits> {
 protected:
  bool ClickAt(TPoint Client) {
    TPoint p = FTree->ClientToScreen(Client);
    return XDo("mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1");
  }

  // A borderless form at (100, 100) filled by a tree list with a name and a value column.
  void Build() {
    FForm = New<TForm>(nullptr);
    FForm->SetBorderStyle(bsNone);
    FForm->SetBounds(100, 100, 400, 300);
    FTree = New<TCustomzmTreeListControl>(FForm);
    FTree->SetName("Tree");
    FTree->SetAlign(alClient);
    FTree->SetParent(FForm);
    FTree->BeginUpdate();
    FTree->SetBehaviorOptions((FTree->GetBehaviorOptions() | zmbSortOnColumnClick | zmbEditing) &
                              ~static_cast<TzmTreeListOptions>(zmbRowSelect));
    FName = FTree->CreateColumn(&TzmTreeListColumn::StaticClass(), FForm);
    FName->SetCaption("Name");
    FName->SetWidth(150);
    FValue = FTree->CreateColumn(&TzmTreeListColumn::StaticClass(), FForm);
    FValue->SetCaption("Value");
    FValue->SetWidth(150);
    FValue->SetColor(clYellow);
    FBeta = FTree->AddNode(nullptr);
    FBeta->SetStrings(0, "Beta");
    FBeta->SetStrings(1, "two");
    FTree->AddNode(FBeta)->SetStrings(0, "Child");
    FAlpha = FTree->AddNode(nullptr);
    FAlpha->SetStrings(0, "Alpha");
    FAlpha->SetStrings(1, "one");
    FTree->EndUpdate();
    FForm->Show();
    FTree->SetFocus();
  }

  // The row's pixels that are not the background, within the client rectangle R.
  static int InkIn(TXScreenReader& Screen, TCustomzmTreeList* Tree, const TRect& R, uint32_t Background) {
    int ink = 0;
    for (Integer y = R.Top + 1; y < R.Bottom - 1; ++y)
      for (Integer x = R.Left + 2; x < R.Right - 2; ++x) {
        TPoint p = Tree->ClientToScreen(Point(x, y));
        ink += Screen.Pixel(p.X, p.Y) != Background;
      }
    return ink;
  }

  TForm* FForm = nullptr;
  TCustomzmTreeListControl* FTree = nullptr;
  TzmTreeListColumn* FName = nullptr;
  TzmTreeListColumn* FValue = nullptr;
  TzmTreeListNode* FBeta = nullptr;
  TzmTreeListNode* FAlpha = nullptr;
};

TEST_F(zmTLSdl, AUserExpandsSortsAndEditsAndTheScreenShowsIt) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(231);
  Build();
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  ASSERT_TRUE(PumpUntil([&] { return FForm->GetActive(); }));
  const uint32_t yellow = 0xFFFF00;

  // Expand Beta with its button.
  TzmTreeListDrawInfo info;
  FTree->CalcDrawInfo(info);
  TRect beta = FTree->GetNodeRect(FBeta);
  ASSERT_TRUE(ClickAt(Point(info.RowsRect.Left + 7, beta.Top + beta.Height() / 2)));
  ASSERT_TRUE(PumpUntil([&] { return FBeta->GetExpanded(); }));
  TRect child = FTree->GetNodeRect(FBeta->GetItem(0));
  ASSERT_NE(child, zmNoRect);
  EXPECT_TRUE(PumpUntil([&] {
    return InkIn(screen, FTree, FTree->GetCellRect(FBeta->GetItem(0), 0), 0xFFFFFF) > 10;
  })) << "the child's row shows its text";

  // Sort by the names with a click on their header.
  for (const auto& item : info.Headers) {
    if (FTree->ColumnAt(item.ColumnIndex) != FName) continue;
    ASSERT_TRUE(ClickAt(Point(item.Bounds.Left + 30, item.Bounds.Top + item.Bounds.Height() / 2)));
  }
  ASSERT_TRUE(PumpUntil([&] { return FTree->GetRootNode(0) == FAlpha; }));
  EXPECT_EQ(FName->GetSorted(), TzmTreeListColumnSort::csUp);

  // Edit Alpha's value: a click on the cell, F2, the new text and Enter.
  TRect value = FTree->GetCellRect(FAlpha, 1);
  ASSERT_TRUE(ClickAt(Point(value.Left + 20, value.Top + value.Height() / 2)));
  ASSERT_TRUE(PumpUntil([&] { return FTree->GetFocusedNode() == FAlpha && FTree->GetFocusedColumn() == 1; }));
  ASSERT_TRUE(XDo("key F2"));
  ASSERT_TRUE(PumpUntil([&] { return FTree->GetInteractionState() == tlsEditing; }));
  ASSERT_TRUE(XDo("type Xyz"));
  ASSERT_TRUE(XDo("key Return"));
  ASSERT_TRUE(PumpUntil([&] { return FAlpha->GetStrings(1) == "Xyz"; }));
  EXPECT_EQ(FTree->GetInteractionState(), tlsIdle);

  // The screen: the edited cell in its column's colour with its text, at the top after sorting.
  value = FTree->GetCellRect(FAlpha, 1);
  EXPECT_EQ(value.Top, FTree->GetNodeRect(FTree->GetRootNode(0)).Top);
  EXPECT_TRUE(PumpUntil([&] {
    TPoint p = FTree->ClientToScreen(Point(value.Right - 4, value.Top + 2));
    return screen.Pixel(p.X, p.Y) == yellow && InkIn(screen, FTree, value, yellow) > 10;
  }));
}

// A colour as the screen reader gives it (0x00RRGGBB).
uint32_t ScreenPixelOf(COLORREF Color) {
  return (uint32_t(GetRValue(Color)) << 16) | (uint32_t(GetGValue(Color)) << 8) | GetBValue(Color);
}

// A page shown before: a panel in a colour no control draws covers the tree list until it hides.
class zmTLSdlRepaint : public zmTLSdl {
 protected:
  void Cover() {
    FCover->SetVisible(true);
    FCover->BringToFront();
  }
  // Tree list client pixels still in the cover's colour.
  int Uncovered(TXScreenReader& Screen) {
    const TRect client = FTree->GetClientRect();
    const TPoint origin = FTree->ClientToScreen(Point(client.Left, client.Top));
    const std::vector<uint32_t> pixels = Screen.Pixels(origin.X, origin.Y, client.Width(), client.Height());
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), ScreenPixelOf(Headless::kUnpaintedColor)));
  }

  TPanel* FCover = nullptr;
};

TEST_F(zmTLSdlRepaint, ATreeListShownOverAnotherPagePaintsEveryPixelAndShowsTheFocusedNodeSelected) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(237);
  Build();
  FCover = New<TPanel>(FForm);
  FCover->SetParent(FForm);
  FCover->SetBevelOuter(bvNone);
  FCover->SetAlign(alClient);
  FCover->SetColor(static_cast<TColor>(Headless::kUnpaintedColor));
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  FBeta->SetExpanded(true);
  for (TzmTreeListNode* node = FTree->AddNode(nullptr); node->GetLevel() < 3; node = FTree->AddNode(node)) {
    node->SetStrings(0, "Level " + IntToStr(node->GetLevel()));
    FTree->AddNode(node)->SetStrings(0, "Leaf");
    node->SetExpanded(true);
  }

  struct TLook {
    const char* Name;
    TzmRowPaintStyle Style;
    bool Grid;
  };
  for (const TLook& look : {TLook{"grouped", zmrpGrouped, false}, TLook{"grouped with grid", zmrpGrouped, true},
                            TLook{"standard with grid", zmrpStandard, true}}) {
    FTree->SetRowPaintStyle(look.Style);
    FTree->SetShowGrid(look.Grid);
    Cover();
    ASSERT_TRUE(PumpUntil([&] { return Uncovered(screen) > 1000; })) << look.Name << ": the cover shows";
    FCover->SetVisible(false);
    int left = -1;
    EXPECT_TRUE(PumpUntil([&] { return (left = Uncovered(screen)) == 0; })) << look.Name << ": " << left << " pixels";
  }

  // A click on a child's value cell, then a key down: the focused cell in the selection colours.
  const uint32_t selection = ScreenPixelOf(ColorToRGB(clHighlight));
  auto back = [&](TzmTreeListNode* Node) {
    TRect cell = FTree->GetCellRect(Node, 1);
    TPoint p = FTree->ClientToScreen(Point(cell.Right - 4, cell.Top + cell.Height() / 2));
    return screen.Pixel(p.X, p.Y);
  };
  FValue->SetColor(clWindow);
  TzmTreeListNode* child = FBeta->GetItem(0);
  TRect value = FTree->GetCellRect(child, 1);
  ASSERT_TRUE(ClickAt(Point(value.Left + 20, value.Top + value.Height() / 2)));
  ASSERT_TRUE(PumpUntil([&] { return FTree->GetFocusedNode() == child; }));
  EXPECT_TRUE(PumpUntil([&] { return back(child) == selection; })) << "clicked";
  ASSERT_TRUE(XDo("key Down"));
  TzmTreeListNode* next = child->GetNextVisible();
  ASSERT_TRUE(PumpUntil([&] { return FTree->GetFocusedNode() == next; }));
  EXPECT_TRUE(PumpUntil([&] { return back(next) == selection && back(child) != selection; })) << "moved down";
}

}  // namespace
