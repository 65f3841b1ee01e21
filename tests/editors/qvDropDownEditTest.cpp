// The drop-down framework's own behaviour, shown through a combo box: the close button and the
// close query, the popup's events in order, posting after the window closed, no hint while open,
// the popup look and feel taken from the buttons, and a drag from the button into the list.
#include "editors/qvComboBox.h"
#include "qvDropDownTestSupport.h"

namespace {

// Combo properties that post once the window has closed.
class TPostAfterCloseProperties : public TqvComboBoxProperties {
  QJ_INLINE_CLASS(TPostAfterCloseProperties, TqvComboBoxProperties)
 public:
  using TqvComboBoxProperties::TqvComboBoxProperties;
  bool PostValueOnPopupClosed() const override { return true; }
};

class TPostAfterCloseCombo : public TqvComboBox {
  QJ_INLINE_CLASS(TPostAfterCloseCombo, TqvComboBox)
 public:
  using TqvComboBox::TqvComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TPostAfterCloseProperties::StaticClass(); }
};

class TDropDownEditTest : public TDropDownTest {
 protected:
  template <class T = TqvComboBox>
  T* NewCombo(bool AInplace = false) {
    auto* combo = NewTextEdit<T>(AInplace);
    SetItems(combo->GetProperties(), {"Alpha", "Beta", "Gamma"});
    return combo;
  }
  void Open(TqvCustomDropDownEdit* AEdit) {
    Focus(AEdit);
    Press(VK_F4);
    ASSERT_TRUE(AEdit->GetDroppedDown());
  }
};

TEST_F(TDropDownEditTest, TheCloseButtonClosesUnlessTheCloseQueryRefuses) {
  TqvComboBox* combo = NewCombo();
  combo->GetProperties()->SetDropDownSizeable(true);
  bool allow = false;
  Integer queries = 0;
  combo->GetProperties()->OnCloseQuery = [&](TObject*, bool& CanClose) {
    ++queries;
    CanClose = allow;
  };
  ShowForm();
  Open(combo);
  TqvCustomEditPopupWindow* popup = combo->GetPopupWindow();
  const TRect close = popup->GetViewInfo()->CloseButtonRect;
  ASSERT_FALSE(close.IsEmpty());
  Click(popup, RectCentre(close));
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(combo->GetDroppedDown());
  EXPECT_EQ(popup->GetViewInfo()->CloseButtonState, qvbsHot);
  allow = true;
  Click(popup, RectCentre(close));
  EXPECT_FALSE(combo->GetDroppedDown());
}

TEST_F(TDropDownEditTest, EventsComeInOrder) {
  TqvComboBox* combo = NewCombo();
  std::vector<std::string> events;
  TqvComboBoxProperties* p = combo->GetProperties();
  p->OnInitPopup = [&](TObject*) { events.push_back("init"); };
  p->OnPopup = [&](TObject*) { events.push_back(combo->GetPopupWindow()->GetVisible() ? "popup shown" : "popup hidden"); };
  p->OnCloseUp = [&](TObject*) { events.push_back(combo->GetDroppedDown() ? "closeup open" : "closeup closed"); };
  ShowForm();
  Open(combo);
  Press(VK_ESCAPE);
  EXPECT_EQ(events, (std::vector<std::string>{"init", "popup shown", "closeup closed"}));
}

TEST_F(TDropDownEditTest, AValuePostedAfterTheWindowClosedWhenTheKindAsks) {
  auto* combo = NewCombo<TPostAfterCloseCombo>(true);
  combo->GetProperties()->SetImmediatePost(true);
  std::vector<bool> openWhenPosted;
  combo->OnPostEditValue = [&](TObject*) { openWhenPosted.push_back(combo->GetDroppedDown()); };
  ShowForm();
  TqvCustomEditData* data = nullptr;
  combo->Activate(data);
  Pump();
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_EQ(openWhenPosted, (std::vector<bool>{false}));
  EXPECT_EQ(combo->GetText(), "Alpha");
  combo->Deactivate();
  Free(data);
}

TEST_F(TDropDownEditTest, NoHintShowsWhileThePopupIsOpen) {
  TqvComboBox* combo = NewCombo();
  ShowForm();
  Open(combo);
  EXPECT_EQ(combo->Perform(CM_HINTSHOW, 0, 0), 1);
  EXPECT_EQ(combo->GetInnerControl()->Perform(CM_HINTSHOW, 0, 0), 1);
  Press(VK_ESCAPE);
  EXPECT_EQ(combo->Perform(CM_HINTSHOW, 0, 0), 0);
}

struct TLookAndFeelCase {
  TqvEditButtonStyle ButtonStyle;
  TqvLookAndFeelKind Kind;
};

class TPopupLookAndFeelTest : public TDropDownEditTest, public ::testing::WithParamInterface<TLookAndFeelCase> {};

TEST_P(TPopupLookAndFeelTest, FollowsTheButtonStyle) {
  TqvComboBox* combo = NewCombo();
  ThemeEngine::SetEnabled(false);
  combo->GetStyle()->SetButtonStyle(GetParam().ButtonStyle);
  ShowForm();
  Open(combo);
  EXPECT_EQ(combo->GetPopupControlsLookAndFeel()->GetEffectiveKind(), GetParam().Kind);
  EXPECT_EQ(List(combo)->GetLookAndFeel()->GetMasterLookAndFeel(), combo->GetPopupControlsLookAndFeel());
}

INSTANTIATE_TEST_SUITE_P(ButtonStyles, TPopupLookAndFeelTest,
                         ::testing::Values(TLookAndFeelCase{bts3D, lfStandard}, TLookAndFeelCase{btsFlat, lfFlat},
                                           TLookAndFeelCase{btsSimple, lfFlat}, TLookAndFeelCase{btsHotFlat, lfFlat},
                                           TLookAndFeelCase{btsUltraFlat, lfUltraFlat}));

TEST_F(TDropDownEditTest, APressOnTheButtonDraggedIntoTheListChoosesTheItemUnderTheRelease) {
  TqvComboBox* combo = NewCombo();
  ShowForm();
  Focus(combo);
  Down(combo, DropDownButtonCentre(combo));
  ASSERT_TRUE(combo->GetDroppedDown());
  TqvCustomEditListBox* list = List(combo);
  const TRect third = list->ItemRect(2);
  const TPoint target = combo->ScreenToClient(list->ClientToScreen(RectCentre(third)));
  MoveTo(combo, {target.X, target.Y - 2});
  MoveTo(combo, target);
  Up();
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetText(), "Gamma");
}

TEST_F(TDropDownEditTest, MeasureAndDrawEventsShapeTheList) {
  TqvComboBox* combo = NewCombo();
  std::vector<Integer> drawn;
  combo->GetProperties()->OnMeasureItem = [](TqvCustomComboBox*, Integer AIndex, TqvCanvas*, Integer& AHeight) {
    AHeight = 20 + AIndex * 5;
  };
  combo->GetProperties()->OnDrawItem = [&](TqvCustomComboBox*, TqvCanvas*, Integer AIndex, const TRect&,
                                           TOwnerDrawState) { drawn.push_back(AIndex); };
  ShowForm();
  Open(combo);
  TRect e;
  combo->GetPopupWindow()->GetViewInfo()->GetClientExtent(e);
  EXPECT_EQ(combo->GetPopupWindow()->GetHeight(), 20 + 25 + 30 + e.Top + e.Bottom);
  EXPECT_EQ(List(combo)->ItemRect(2).Height(), 30);
  UpdateWindow(List(combo)->GetHandle());
  Pump();
  EXPECT_FALSE(drawn.empty());
}

TEST_F(TDropDownEditTest, AnEditFreedWhileItsShowMessageWaitsLeavesNothingOpen) {
  TqvComboBox* combo = NewCombo();
  ShowForm();
  Focus(combo);
  combo->DropDown();  // the show message is queued
  Free(combo);
  Pump();
  EXPECT_EQ(GetOpenPopupCount(), 0);
}

TEST_F(TDropDownEditTest, TheGlyphMovesToAnotherButton) {
  TqvComboBox* combo = NewCombo();
  TqvComboBoxProperties* p = combo->GetProperties();
  p->GetButtons()->Add()->SetKind(bkEllipsis);
  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(8, 8);
  p->SetButtonGlyph(glyph.get());
  p->SetGlyphButtonIndex(1);
  EXPECT_EQ(p->GetButtons()->GetItem(1)->GetKind(), bkGlyph);
  EXPECT_FALSE(p->GetButtons()->GetItem(1)->GetGlyph()->GetEmpty());
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkDown);
  // An index past the buttons keeps the glyph nowhere and raises nothing.
  p->SetGlyphButtonIndex(5);
  EXPECT_EQ(p->GetButtonGlyph(), nullptr);
  p->SetButtonGlyph(glyph.get());
  EXPECT_EQ(p->GetButtons()->GetCount(), 2);
}

TEST_F(TDropDownEditTest, ResetPopupHeightFollowsTheRowsAgain) {
  TqvComboBox* combo = NewCombo();
  combo->GetProperties()->SetPopupHeight(300);
  combo->GetProperties()->SetDropDownSizeable(true);
  combo->ResetPopupHeight();
  EXPECT_EQ(combo->GetProperties()->GetPopupHeight(), 0);
}

}  // namespace
