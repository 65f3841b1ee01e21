// The list box editor: integral height, the binding (selection from the stored value, the value
// from the selection, read-only input, Esc, writing on exit), forwarded settings and messages,
// and owner drawing with the list box as the control.
#include "editors/qvEditTestSupport.h"
#include "editors/qvListBox.h"

namespace {

// A binding whose answers the tests choose, recording what the list box asks of it.
class TTestListBinding : public TqvDataBinding {
  QJ_INLINE_CLASS(TTestListBinding, TqvDataBinding)
 public:
  using TqvDataBinding::TqvDataBinding;
  bool CanModify() const override { return Modifiable; }
  bool IsDataAvailable() const override { return Available; }
  Variant GetStoredValue() const override { return Stored; }
  void StoreValue(const Variant& Value) override { Stored = Value; }
  void Reset() override { ++Resets; }
  void UpdateDataSource() override {
    if (FailWrite) throw Exception("cannot write");
    ++Writes;
  }

  bool Modifiable = true;
  bool Available = true;
  bool FailWrite = false;
  Variant Stored = Null();
  Integer Resets = 0;
  Integer Writes = 0;
};

class TTestListBox : public TqvListBox {
  QJ_INLINE_CLASS(TTestListBox, TqvListBox)
 public:
  using TqvListBox::TqvListBox;
  TTestListBinding* Binding() const { return static_cast<TTestListBinding*>(GetDataBinding()); }

 protected:
  TqvCustomDataBindingClass GetDataBindingClass() const override { return &TTestListBinding::StaticClass(); }
};

class ListBoxTest : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    List = New<TTestListBox>(FForm);
    List->SetLeft(10);
    List->SetTop(10);
    List->SetParent(FForm);
  }
  void AddItems(std::initializer_list<const char*> AItems) {
    for (const char* item : AItems) List->GetItems()->Add(item);
  }
  // A list of owner-drawn 16-pixel rows in a frame of 2 pixels.
  void UseFixedRows() {
    List->GetStyle()->SetBorderStyle(cbs3D);
    List->SetListStyle(lbOwnerDrawFixed);
    List->SetItemHeight(16);
  }
  TRect ItemRect(Integer AIndex) { return List->GetInnerListBox()->ItemRect(AIndex); }

  TTestListBox* List = nullptr;
};

TEST_F(ListBoxTest, IsMadeFramedAroundItsInnerList) {
  EXPECT_EQ(List->GetWidth(), 121);
  EXPECT_EQ(List->GetHeight(), 97);
  EXPECT_EQ(List->GetInnerListBox()->GetContainer(), List);
  EXPECT_EQ(List->GetInnerControl(), List->GetInnerListBox());
  EXPECT_FALSE(List->GetInnerListBox()->GetTabStop());
  EXPECT_TRUE(List->IsInternalControl(List->GetInnerListBox()->GetVScrollBar()));
  EXPECT_FALSE(List->IsInternalControl(FOther));
}

TEST_F(ListBoxTest, IntegralHeightSnapsDownToWholeRowsButKeepsOne) {
  UseFixedRows();
  ShowForm();
  AddItems({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
  List->SetIntegralHeight(true);
  const std::pair<Integer, Integer> cases[] = {{100, 100}, {90, 84}, {10, 20}, {116, 116}, {1, 20}};
  for (auto [asked, expected] : cases) {
    List->SetHeight(asked);
    EXPECT_EQ(List->GetHeight(), expected) << asked;
  }
}

TEST_F(ListBoxTest, IntegralHeightGoesOnPastTheLastItem) {
  UseFixedRows();
  AddItems({"a", "b", "c"});
  ShowForm();
  List->SetIntegralHeight(true);
  List->SetHeight(200);
  EXPECT_EQ(List->GetHeight(), 4 + 12 * 16);
}

// Rows of no height count as one pixel, so the snapping ends.
TEST_F(ListBoxTest, IntegralHeightEndsWithRowsOfNoHeight) {
  List->GetStyle()->SetBorderStyle(cbs3D);
  List->SetListStyle(lbOwnerDrawVariable);
  List->SetOnMeasureItem([](TqvListBox*, Integer, Integer& Height) { Height = 0; });
  for (Integer i = 0; i < 100; ++i) List->GetItems()->Add(IntToStr(i));
  ShowForm();
  Integer height = 50;
  List->AdjustIntegralHeight(height);
  EXPECT_EQ(height, 50);
  EXPECT_EQ(List->GetRowHeight(0), 1);
}

TEST_F(ListBoxTest, IntegralHeightIsLeftToTheAlignment) {
  UseFixedRows();
  AddItems({"a", "b", "c"});
  ShowForm();
  List->SetIntegralHeight(true);
  List->SetAlign(alLeft);
  EXPECT_EQ(List->GetHeight(), FForm->GetClientHeight());
}

TEST_F(ListBoxTest, ItemsSelectTheStoredValue) {
  List->Binding()->Stored = String("b");
  TOwned<TStringList> items = MakeOwned<TStringList>();
  items->Add("a");
  items->Add("b");
  List->SetItems(items.get());
  EXPECT_EQ(List->GetItemIndex(), 1);
  List->Binding()->Available = false;
  List->Binding()->DataChanged();
  EXPECT_EQ(List->GetItemIndex(), -1);
}

TEST_F(ListBoxTest, UnboundItemsSelectOnlyAnEmptyItem) {
  auto* plain = New<TqvListBox>(FForm);
  plain->SetParent(FForm);
  TOwned<TStringList> items = MakeOwned<TStringList>();
  items->Add("a");
  items->Add("b");
  plain->SetItems(items.get());
  EXPECT_EQ(plain->GetItemIndex(), -1);
  items->Add("");
  plain->SetItems(items.get());
  EXPECT_EQ(plain->GetItemIndex(), 2);
}

TEST_F(ListBoxTest, SelectedTextGoesIntoTheBinding) {
  AddItems({"first", "second"});
  List->SetItemIndex(1);
  List->Binding()->UpdateData();
  EXPECT_EQ(VarToStr(List->Binding()->Stored), "second");
  List->SetItemIndex(-1);
  List->Binding()->UpdateData();
  EXPECT_EQ(VarToStr(List->Binding()->Stored), "");
}

TEST_F(ListBoxTest, ReadOnlyBindingKeepsTheSelection) {
  AddItems({"a", "b", "c", "d"});
  List->Binding()->Modifiable = false;
  Integer clicks = 0;
  List->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  const TRect second = ItemRect(1);
  Click(List->GetInnerListBox(), Point(second.Left + 5, second.Top + 3));
  EXPECT_EQ(List->GetItemIndex(), -1);
  EXPECT_TRUE(List->GetInnerListBox()->Focused());
  EXPECT_EQ(clicks, 0);
  for (BYTE key : {VK_DOWN, VK_NEXT, VK_END}) Press(key);
  EXPECT_EQ(List->GetItemIndex(), -1);
  Type("c");
  EXPECT_EQ(List->GetItemIndex(), -1);
  Press(VK_ESCAPE);
  EXPECT_EQ(List->Binding()->Resets, 1);
}

TEST_F(ListBoxTest, ModifiableBindingLetsTheUserSelect) {
  AddItems({"a", "b", "c", "d"});
  Integer clicks = 0;
  List->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  const TRect second = ItemRect(1);
  Click(List->GetInnerListBox(), Point(second.Left + 5, second.Top + 3));
  EXPECT_EQ(List->GetItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  Press(VK_DOWN);
  EXPECT_EQ(List->GetItemIndex(), 2);
}

TEST_F(ListBoxTest, LeavingWritesTheBindingAndAFailureKeepsTheFocus) {
  AddItems({"a"});
  ShowForm();
  List->GetInnerListBox()->SetFocus();
  Pump();
  FocusOther();
  EXPECT_EQ(List->Binding()->Writes, 1);
  List->GetInnerListBox()->SetFocus();
  Pump();
  List->Binding()->FailWrite = true;
  FocusOther();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "cannot write");
  EXPECT_TRUE(List->GetInnerListBox()->Focused());
}

TEST_F(ListBoxTest, ListBoxMessagesReachTheInnerList) {
  AddItems({"a", "b", "c"});
  ShowForm();
  EXPECT_EQ(SendMessage(List->GetHandle(), LB_GETCOUNT, 0, 0), 3);
  SendMessage(List->GetHandle(), LB_SETCURSEL, 2, 0);
  EXPECT_EQ(List->GetItemIndex(), 2);
}

TEST_F(ListBoxTest, SettingsAreForwarded) {
  List->SetColumns(2);
  List->SetSorted(true);
  List->SetMultiSelect(true);
  List->SetTabWidth(8);
  List->SetAutoComplete(false);
  TqvInnerListBox* inner = List->GetInnerListBox();
  EXPECT_EQ(inner->GetColumns(), 2);
  EXPECT_TRUE(inner->GetSorted());
  EXPECT_TRUE(inner->GetMultiSelect());
  EXPECT_EQ(inner->GetTabWidth(), 8);
  EXPECT_FALSE(inner->GetAutoComplete());
  AddItems({"b", "a"});
  EXPECT_EQ(List->GetItems()->Get(0), "a");
  List->Clear();
  EXPECT_EQ(List->GetItems()->GetCount(), 0);
}

TEST_F(ListBoxTest, OwnerDrawingHandsOverTheListBox) {
  UseFixedRows();
  AddItems({"a", "b"});
  std::vector<Integer> drawn;
  TqvListBox* control = nullptr;
  List->SetOnDrawItem([&](TqvListBox* AControl, TqvCanvas* ACanvas, Integer AIndex, TRect, TOwnerDrawState) {
    control = AControl;
    EXPECT_EQ(ACanvas, List->GetInnerListBox()->GetQVCanvas());
    drawn.push_back(AIndex);
  });
  ShowForm();
  List->GetInnerListBox()->Repaint();
  Pump();
  EXPECT_EQ(control, List);
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  List->SetOnDrawItem(nullptr);
  EXPECT_FALSE(List->GetInnerListBox()->OnDrawItem);
}

TEST_F(ListBoxTest, InnerListFocusFollowsTheListBox) {
  ShowForm();
  EXPECT_TRUE(List->GetInnerListBox()->CanFocus());
  List->SetEnabled(false);
  EXPECT_FALSE(List->GetInnerListBox()->CanFocus());
}

}  // namespace
