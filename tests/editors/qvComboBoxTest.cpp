// Combo box and the drop-down framework under it: opening and closing by keys and mouse, sizing
// by rows and widest item, placement above the edit, resizing by the grip in whole rows, the
// item index, the list styles, the kept size in place and the queued show message.
#include "editors/qvComboBox.h"
#include "qvDropDownTestSupport.h"

namespace {

class TComboBoxTest : public TDropDownTest {
 protected:
  TqvComboBox* NewCombo(std::initializer_list<const char*> AItems, bool AInplace = false,
                        TRect ABounds = Rect(10, 10, 170, 31)) {
    auto* combo = NewTextEdit<TqvComboBox>(AInplace, ABounds);
    SetItems(combo->GetProperties(), AItems);
    return combo;
  }
  static TqvComboBox* ManyItems(TqvComboBox* ACombo, Integer ACount) {
    TStrings* items = ACombo->GetProperties()->GetItems();
    items->Clear();
    for (Integer i = 0; i < ACount; ++i) items->Add("Item number " + IntToStr(i));
    return ACombo;
  }
  static Integer RowHeight(TqvCustomDropDownEdit* AEdit) { return List(AEdit)->GetItemHeight(-1); }
  static TRect Extent(TqvCustomDropDownEdit* AEdit) {
    TRect e;
    AEdit->GetPopupWindow()->GetViewInfo()->GetClientExtent(e);
    return e;
  }
};

TEST_F(TComboBoxTest, TwentyItemsShowEightRowsWithTheWidestItemAndAScrollBar) {
  auto* combo = ManyItems(NewCombo({}), 20);
  combo->GetProperties()->GetItems()->Put(7, "A much longer item than all of the others here");
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  TqvCustomEditPopupWindow* popup = combo->GetPopupWindow();
  const TRect e = Extent(combo);
  EXPECT_EQ(popup->GetHeight(), 8 * RowHeight(combo) + e.Top + e.Bottom);
  TCanvas* canvas = List(combo)->GetCanvas();
  canvas->SetFont(List(combo)->GetFont());
  const Integer widest = canvas->TextWidth("A much longer item than all of the others here");
  EXPECT_EQ(popup->GetWidth(), widest + 4 + GetSystemMetrics(SM_CXVSCROLL) + e.Left + e.Right);
}

TEST_F(TComboBoxTest, ThreeItemsShowThreeRowsAsWideAsTheEdit) {
  auto* combo = NewCombo({"a", "b", "c"});
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  const TRect e = Extent(combo);
  EXPECT_EQ(combo->GetPopupWindow()->GetHeight(), 3 * RowHeight(combo) + e.Top + e.Bottom);
  EXPECT_EQ(combo->GetPopupWindow()->GetWidth(), combo->GetPopupWindow()->GetPopupOwnerRect().Width());
  // Below the edit, grip corner bottom right.
  EXPECT_GE(combo->GetPopupWindow()->GetTop(), combo->ClientToScreen({0, 0}).Y + 15);
  EXPECT_EQ(combo->GetPopupWindow()->GetViewInfo()->SizeGripCorner, sgcBottomRight);
}

TEST_F(TComboBoxTest, WithoutRoomBelowThePopupOpensAboveWithTheGripOnTop) {
  FForm->SetBounds(0, 0, 400, 300);
  FForm->SetTop(Screen->GetHeight() - 120);
  auto* combo = ManyItems(NewCombo({}, false, Rect(10, 40, 170, 61)), 20);
  combo->GetProperties()->SetDropDownSizeable(true);
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  TqvCustomEditPopupWindow* popup = combo->GetPopupWindow();
  const TRect owner = popup->GetPopupOwnerRect();
  EXPECT_LE(popup->GetTop() + popup->GetHeight(), owner.Top + (popup->GetShadow() ? 3 : 0));
  EXPECT_FALSE(IsSizeGripAtBottom(popup->GetViewInfo()->SizeGripCorner));
  // The system panel with the grip sits on top.
  EXPECT_LT(popup->GetViewInfo()->GripHitRect.Top, popup->GetViewInfo()->ClientRect.Top);
}

TEST_F(TComboBoxTest, DraggingTheGripResizesInWholeRowsAndKeepsTheTopLeftCorner) {
  auto* combo = ManyItems(NewCombo({}), 30);
  combo->GetProperties()->SetDropDownSizeable(true);
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  TqvCustomEditPopupWindow* popup = combo->GetPopupWindow();
  ASSERT_TRUE(combo->GetDroppedDown());
  const TRect before = popup->GetBoundsRect();
  const Integer row = RowHeight(combo);
  const TRect grip = popup->GetViewInfo()->GripHitRect;
  ASSERT_FALSE(grip.IsEmpty());
  const TPoint start{(grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2};
  Down(popup, start);
  MoveTo(popup, {start.X + 40, start.Y + 2 * row + row / 2});
  Up();
  const TRect after = popup->GetBoundsRect();
  EXPECT_EQ(after.TopLeft(), before.TopLeft());
  EXPECT_GT(after.Height(), before.Height());
  EXPECT_EQ((after.Height() - before.Height()) % row, 0) << "grew by " << after.Height() - before.Height();
  EXPECT_EQ(after.Width(), before.Width() + 40);
  // Shrinking far below the minimum stops at the non-client size.
  const TRect grip2 = popup->GetViewInfo()->GripHitRect;
  const TPoint start2{(grip2.Left + grip2.Right) / 2, (grip2.Top + grip2.Bottom) / 2};
  Down(popup, start2);
  MoveTo(popup, {-300, -300});
  Up();
  TSize minimum;
  popup->GetNonClientSize(minimum);
  EXPECT_GE(popup->GetWidth(), minimum.cx);
  EXPECT_GE(popup->GetHeight(), minimum.cy);
  EXPECT_EQ(popup->GetBoundsRect().TopLeft(), before.TopLeft());
  // The user's size is kept in the properties when the popup closes (standalone).
  const TSize kept{popup->GetWidth(), popup->GetHeight()};
  Press(VK_ESCAPE);
  EXPECT_EQ(combo->GetProperties()->GetPopupWidth(), kept.cx);
  EXPECT_EQ(combo->GetProperties()->GetPopupHeight(), kept.cy);
}

TEST_F(TComboBoxTest, SettingTheSameItemIndexFiresNoClickAnotherFiresOneAndOnChange) {
  auto* combo = NewCombo({"a", "b", "c"});
  Integer clicks = 0, changes = 0;
  combo->OnClick = [&](TObject*) { ++clicks; };
  combo->GetProperties()->OnChange = [&](TObject*) { ++changes; };
  ShowForm();
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(combo->GetText(), "b");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(combo->GetEditModified());
  combo->SetItemIndex(1);
  EXPECT_EQ(clicks, 1);
  combo->SetItemIndex(7);  // outside the items: nothing
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(TComboBoxTest, DropDownRowsBelowOneAreIgnored) {
  auto* combo = NewCombo({"a"});
  combo->GetProperties()->SetDropDownRows(0);
  EXPECT_EQ(combo->GetProperties()->GetDropDownRows(), 8);
  combo->GetProperties()->SetDropDownRows(-3);
  EXPECT_EQ(combo->GetProperties()->GetDropDownRows(), 8);
  combo->GetProperties()->SetDropDownRows(3);
  EXPECT_EQ(combo->GetProperties()->GetDropDownRows(), 3);
}

TEST_F(TComboBoxTest, ListStylesMapToEditingStyles) {
  auto* combo = NewCombo({"a"});
  TqvComboBoxProperties* p = combo->GetProperties();
  p->SetDropDownListStyle(lsEditFixedList);
  EXPECT_EQ(p->GetEditingStyle(), esEditList);
  EXPECT_FALSE(p->DropDownOnClick());
  p->SetDropDownListStyle(lsFixedList);
  EXPECT_EQ(p->GetEditingStyle(), esFixedList);
  EXPECT_TRUE(p->DropDownOnClick());
  p->SetDropDownListStyle(lsEditList);
  EXPECT_EQ(p->GetEditingStyle(), esEdit);
}

TEST_F(TComboBoxTest, FixedListOpensOnAClickOnTheText) {
  auto* combo = NewCombo({"Alpha", "Beta"});
  combo->GetProperties()->SetDropDownListStyle(lsFixedList);
  ShowForm();
  Focus(combo);
  Click(combo, {20, 10});
  EXPECT_TRUE(combo->GetDroppedDown());
  // Typing searches; the text stays one of the items.
  Press(VK_ESCAPE);
  Type("b");
  Press(VK_ESCAPE);
  EXPECT_EQ(combo->GetText(), "Beta");
}

TEST_F(TComboBoxTest, RevertableDoubleClickCyclesThroughTheItems) {
  auto* combo = NewCombo({"a", "b", "c"});
  combo->GetProperties()->SetRevertable(true);
  ShowForm();
  combo->SetItemIndex(1);
  std::vector<Integer> seen;
  for (int i = 0; i < 3; ++i) {
    combo->DblClick();
    Pump();
    seen.push_back(combo->GetItemIndex());
  }
  EXPECT_EQ(seen, (std::vector<Integer>{2, 0, 1}));
}

TEST_F(TComboBoxTest, WithoutItemsThePopupDoesNotOpen) {
  auto* combo = NewCombo({});
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  EXPECT_FALSE(combo->GetDroppedDown());
  Click(combo, DropDownButtonCentre(combo));
  EXPECT_FALSE(combo->GetDroppedDown());
}

TEST_F(TComboBoxTest, GlyphButtonKindFollowsItsGlyph) {
  auto* combo = NewCombo({"a"});
  TqvComboBoxProperties* p = combo->GetProperties();
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkDown);
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetWidth(8);
  glyph->SetHeight(8);
  p->SetButtonGlyph(glyph.get());
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkGlyph);
  p->SetButtonGlyph(nullptr);
  p->Changed();
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkDown);
}

TEST_F(TComboBoxTest, PopupSizeSettersKeepTheMinimum) {
  auto* combo = NewCombo({"a"});
  TqvComboBoxProperties* p = combo->GetProperties();
  p->SetPopupWidth(-5);
  EXPECT_EQ(p->GetPopupWidth(), 0);
  p->SetPopupMinWidth(100);
  p->SetPopupWidth(50);
  EXPECT_EQ(p->GetPopupWidth(), 100);
  p->SetPopupMinWidth(-1);
  EXPECT_EQ(p->GetPopupMinWidth(), 0);
  p->SetPopupMinHeight(80);
  p->SetPopupHeight(10);
  EXPECT_EQ(p->GetPopupHeight(), 80);
}

TEST_F(TComboBoxTest, ImmediatePostPostsTheAcceptedItemInPlace) {
  auto* combo = NewCombo({"a", "b", "c"}, true);
  combo->GetProperties()->SetImmediatePost(true);
  std::vector<String> posted;
  combo->OnPostEditValue = [&](TObject*) { posted.push_back(combo->GetText()); };
  ShowForm();
  TqvCustomEditData* data = nullptr;
  combo->Activate(data);
  Pump();
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(posted, (std::vector<String>{"b"}));
  combo->Deactivate();
  Free(data);
}

TEST_F(TComboBoxTest, AnEditDeactivatedWhileTheShowMessageWaitsNeverOpens) {
  auto* combo = NewCombo({"a", "b"}, true);
  combo->GetProperties()->SetImmediatePopup(true);
  ShowForm();
  TqvCustomEditData* data = nullptr;
  combo->Activate(data);  // posts the show message
  combo->Deactivate();
  combo->SetVisible(false);
  Pump();
  EXPECT_FALSE(combo->GetDroppedDown());
  Free(data);
}

TEST_F(TComboBoxTest, InPlaceAResizedPopupKeepsItsSizeForTheCell) {
  auto* combo = ManyItems(NewCombo({}, true), 30);
  combo->GetProperties()->SetDropDownSizeable(true);
  ShowForm();
  TqvCustomEditData* data = nullptr;
  combo->Activate(data);
  Pump();
  Press(VK_F4);
  TqvCustomEditPopupWindow* popup = combo->GetPopupWindow();
  ASSERT_TRUE(combo->GetDroppedDown());
  const TRect grip = popup->GetViewInfo()->GripHitRect;
  const TPoint start{(grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2};
  Down(popup, start);
  MoveTo(popup, {start.X + 30, start.Y + 3 * RowHeight(combo)});
  Up();
  const TSize resized{popup->GetWidth(), popup->GetHeight()};
  Press(VK_ESCAPE);
  ASSERT_FALSE(combo->GetDroppedDown());
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  EXPECT_EQ(popup->GetWidth(), resized.cx);
  EXPECT_EQ(popup->GetHeight(), resized.cy);
  // The properties of the column are untouched.
  EXPECT_EQ(combo->GetProperties()->GetPopupHeight(), 0);
  combo->Deactivate();
  Free(data);
}

TEST_F(TComboBoxTest, RegisteredAndInTheRepository) {
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvComboBoxProperties"), nullptr);
  auto* repository = New<TqvEditRepository>(FForm);
  auto* item = repository->CreateItem(&TqvEditRepositoryComboBoxItem::StaticClass());
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(&TqvComboBoxProperties::StaticClass()));
}

}  // namespace
