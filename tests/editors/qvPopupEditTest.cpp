// Popup edit: the PopupControl moves into the popup and back exactly, a form loses its border
// while shown, circular references (parents and children of the edit) are refused, the user's
// size is kept, and a freed PopupControl is forgotten.
#include "editors/qvPopupEdit.h"
#include "platform/forms/ExtCtrls.h"
#include "qvDropDownTestSupport.h"

namespace {

class TPopupEditTest : public TDropDownTest {
 protected:
  TqvPopupEdit* NewPopupEdit(TControl* AControl) {
    auto* edit = NewTextEdit<TqvPopupEdit>();
    edit->GetProperties()->SetPopupControl(AControl);
    return edit;
  }
  TPanel* NewPanel() {
    auto* panel = Add<TPanel>(FForm, Rect(200, 60, 320, 140));
    panel->SetAlign(alNone);
    Add<TEdit>(panel, Rect(5, 5, 100, 26));
    return panel;
  }
};

TEST_F(TPopupEditTest, DefaultsAreSizeableTwoHundredFiftyByTwoHundred) {
  auto* edit = NewPopupEdit(nullptr);
  TqvPopupEditProperties* p = edit->GetProperties();
  EXPECT_EQ(p->GetPopupWidth(), 250);
  EXPECT_EQ(p->GetPopupHeight(), 200);
  EXPECT_EQ(p->GetPopupMinWidth(), 100);
  EXPECT_EQ(p->GetPopupMinHeight(), 100);
  EXPECT_TRUE(p->GetPopupSizeable());
  EXPECT_TRUE(p->GetPopupAutoSize());
  EXPECT_TRUE(p->GetImmediatePopup());
  EXPECT_TRUE(p->PopupWindowTakesFocus());
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvPopupEditProperties"), nullptr);
}

TEST_F(TPopupEditTest, APanelGoesIntoThePopupAndBackToItsPlace) {
  TPanel* panel = NewPanel();
  panel->SetVisible(false);
  auto* edit = NewPopupEdit(panel);
  ShowForm();
  Focus(edit);
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(panel->GetParent(), edit->GetPopupWindow());
  EXPECT_TRUE(panel->GetVisible());
  EXPECT_EQ(panel->GetAlign(), alClient);
  EXPECT_EQ(panel->GetBoundsRect(), edit->GetPopupWindow()->GetViewInfo()->ClientRect);
  // The focus went into the popup; Esc there closes it.
  Press(VK_ESCAPE);
  ASSERT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(panel->GetParent(), FForm);
  EXPECT_EQ(panel->GetBoundsRect(), Rect(200, 60, 320, 140));
  EXPECT_EQ(panel->GetAlign(), alNone);
  EXPECT_FALSE(panel->GetVisible());
}

TEST_F(TPopupEditTest, AFormLosesItsBorderWhileShownAndGetsItBack) {
  auto* form = New<TForm>(nullptr);
  form->SetBounds(500, 500, 200, 150);
  form->SetBorderStyle(bsDialog);
  auto* edit = NewPopupEdit(form);
  ShowForm();
  Focus(edit);
  edit->DropDown();
  Pump();
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(form->GetBorderStyle(), bsNone);
  edit->CloseUp(false);
  Pump();
  EXPECT_EQ(form->GetBorderStyle(), bsDialog);
  EXPECT_EQ(form->GetParent(), nullptr);
  Free(form);
}

TEST_F(TPopupEditTest, CircularPopupControlsAreRefusedBeforeAnythingMoves) {
  auto* holder = Add<TPanel>(FForm, Rect(0, 0, 300, 100));
  auto* edit = static_cast<TqvPopupEdit*>(TqvCustomEdit::CreateInplace(&TqvPopupEdit::StaticClass(), FForm, false));
  edit->SetParent(holder);
  ShowForm();
  const std::vector<TControl*> circular{holder, FForm, edit, edit->GetInnerControl(), edit->GetPopupWindow()};
  for (TControl* control : circular) {
    edit->GetProperties()->SetPopupControl(control);
    TWinControl* parent = control->GetParent();
    EXPECT_THROW(
        {
          try {
            edit->DropDown();
          } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Circular referencing is not allowed");
            throw;
          }
        },
        Exception)
        << control->ClassName();
    Pump();
    EXPECT_FALSE(edit->GetDroppedDown());
    EXPECT_EQ(control->GetParent(), parent);
  }
}

TEST_F(TPopupEditTest, ResizingAndClosingStoresTheSizeAboveTheMinimum) {
  TPanel* panel = NewPanel();
  auto* edit = NewPopupEdit(panel);
  edit->GetProperties()->SetPopupAutoSize(false);
  edit->GetProperties()->SetPopupSysPanelStyle(true);
  ShowForm();
  Focus(edit);
  Press(VK_F4);
  TqvCustomEditPopupWindow* popup = edit->GetPopupWindow();
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(popup->GetWidth(), 250);
  EXPECT_EQ(popup->GetHeight(), 200);
  const TRect grip = popup->GetViewInfo()->GripHitRect;
  ASSERT_FALSE(grip.IsEmpty());
  const TPoint start{(grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2};
  Down(popup, start);
  MoveTo(popup, {start.X - 400, start.Y - 400});
  Up();
  EXPECT_EQ(popup->GetWidth(), 100);
  EXPECT_EQ(popup->GetHeight(), 100);
  Press(VK_ESCAPE);
  ASSERT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit->GetProperties()->GetPopupWidth(), 100);
  EXPECT_EQ(edit->GetProperties()->GetPopupHeight(), 100);
}

TEST_F(TPopupEditTest, AFreedPopupControlIsForgotten) {
  TPanel* panel = NewPanel();
  auto* edit = NewPopupEdit(panel);
  ShowForm();
  Free(panel);
  EXPECT_EQ(edit->GetProperties()->GetPopupControl(), nullptr);
  Focus(edit);
  Press(VK_F4);
  EXPECT_FALSE(edit->GetDroppedDown());
}

TEST_F(TPopupEditTest, FreeingTheEditWhileOpenGivesTheControlBack) {
  TPanel* panel = NewPanel();
  auto* edit = NewPopupEdit(panel);
  ShowForm();
  Focus(edit);
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  Free(edit);
  Pump();
  EXPECT_EQ(panel->GetParent(), FForm);
  EXPECT_EQ(panel->GetBoundsRect(), Rect(200, 60, 320, 140));
}

TEST_F(TPopupEditTest, TypedCharactersOpenThePopupAndReachItsControl) {
  TPanel* panel = NewPanel();
  auto* inner = static_cast<TEdit*>(panel->GetControl(0));
  auto* edit = NewPopupEdit(panel);
  ShowForm();
  Focus(edit);
  Type("x");
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(inner->GetText(), "x");
  EXPECT_EQ(edit->GetText(), "");
}

TEST_F(TPopupEditTest, InPlaceTheKeyThatStartsEditingOpensThePopupAndReachesItsControl) {
  TPanel* panel = NewPanel();
  auto* inner = static_cast<TEdit*>(panel->GetControl(0));
  auto* edit = NewTextEdit<TqvPopupEdit>(true);
  edit->GetProperties()->SetPopupControl(panel);
  ShowForm();
  TqvCustomEditData* data = nullptr;
  edit->ActivateByKey('q', data);
  Pump();
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(inner->GetText(), "q");
  EXPECT_EQ(edit->GetText(), "");
  edit->Deactivate();
  Pump();
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(panel->GetParent(), FForm);
  Free(data);
}

}  // namespace
