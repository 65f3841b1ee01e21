// The tree list on a real X display: on the SDL backend under Xvfb a user expands a node, sorts by
// a header click and edits a cell with mouse and keyboard, and the screen shows the result.
#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

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

}  // namespace
