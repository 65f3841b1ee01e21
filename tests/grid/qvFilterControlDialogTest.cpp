// The filter builder dialog, run modally and answered through its buttons and the file dialogs'
// handlers.
#include <filesystem>

#include "grid/qvFilterControlDialog.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "qvFilterControlTestSupport.h"

namespace {

class FilterControlDialog : public TFilterControlTest {
 protected:
  void SetUp() override {
    TFilterControlTest::SetUp();
    TfmFilterControlDialog::ResetRememberedBounds();
    Show();
    Dir = std::filesystem::temp_directory_path() / ("qj-filter-dialog-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override {
    SetDialogExecuteHandler(&TOpenDialog::StaticClass(), nullptr);
    SetDialogExecuteHandler(&TSaveDialog::StaticClass(), nullptr);
    std::filesystem::remove_all(Dir);
    TfmFilterControlDialog::ResetRememberedBounds();
    TFilterControlTest::TearDown();
  }

  // The dialog being shown.
  static TfmFilterControlDialog* Dialog() {
    for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i)
      if (auto* dialog = As<TfmFilterControlDialog>(Screen->GetCustomForm(i))) return dialog;
    return nullptr;
  }
  static TqvFilterControl* DialogBuilder() { return As<TqvFilterControl>(Dialog()->GetFilterControl()); }
  // Queues a click on the button for the dialog's own loop.
  static void Press(TqvButton* AButton) {
    const TPoint p = AButton->ClientToScreen({AButton->GetWidth() / 2, AButton->GetHeight() / 2});
    Headless::MoveMouse(p.X, p.Y);
    Headless::MouseDown(0);
    Headless::MouseUp(0);
  }
  // Ends the dialog with a result, waking its loop.
  static void CloseWith(TModalResult AResult) {
    Dialog()->SetModalResult(AResult);
    PostMessage(Dialog()->GetHandle(), WM_NULL, 0, 0);
  }

  // Runs the dialog for the link with the steps; the apply handler counts.
  bool Run(std::vector<std::function<void()>> ASteps) {
    RunWhenIdle(std::move(ASteps));
    return ShowFilterControlDialog(Link, nullptr, clDefault, [this](TObject*) { ++Applies; }, nullptr,
                                   Dir.string());
  }
  String FileName(const char* AName) const { return (Dir / AName).string(); }

  Integer Applies = 0;
  std::filesystem::path Dir;
};

TEST_F(FilterControlDialog, FirstDialogIsCentredAndTitledThenTheNextOpensWhereItClosed) {
  TRect first;
  String caption;
  Run({[&] {
         caption = Dialog()->GetCaption();
         first = Dialog()->GetBoundsRect();
         Dialog()->SetBounds(40, 30, 600, 400);
         Press(Dialog()->GetCancelButton());
       }});
  EXPECT_EQ("Filter builder - [untitled.flt]", caption);
  EXPECT_EQ(TfmFilterControlDialog::DefaultWidth, first.Width());
  EXPECT_EQ(TfmFilterControlDialog::DefaultHeight, first.Height());
  const TRect screen = Rect(0, 0, Screen->GetWidth(), Screen->GetHeight());
  EXPECT_NEAR((screen.Width() - first.Width()) / 2, first.Left, 1);
  EXPECT_NEAR((screen.Height() - first.Height()) / 2, first.Top, 1);
  TRect second;
  Run({[&] {
    second = Dialog()->GetBoundsRect();
    Press(Dialog()->GetCancelButton());
  }});
  EXPECT_EQ(Bounds(40, 30, 600, 400), second);
}

TEST_F(FilterControlDialog, RememberedBoundsOffTheWorkAreaOpenInsideIt) {
  Run({[&] {
    Dialog()->SetBounds(-3000, 5000, 600, 400);
    Press(Dialog()->GetCancelButton());
  }});
  TRect opened;
  Run({[&] {
    opened = Dialog()->GetBoundsRect();
    CloseWith(mrCancel);
  }});
  const TRect area = Screen->GetWorkAreaRect();
  EXPECT_GE(opened.Left, area.Left);
  EXPECT_GE(opened.Top, area.Top);
  EXPECT_LE(opened.Right, area.Right);
  EXPECT_LE(opened.Bottom, area.Bottom);
}

TEST_F(FilterControlDialog, LayoutOfTheButtons) {
  Run({[&] {
    TfmFilterControlDialog* d = Dialog();
    EXPECT_EQ(38, d->GetBottomPanel()->GetHeight());
    EXPECT_EQ(alBottom, d->GetBottomPanel()->GetAlign());
    EXPECT_EQ(Bounds(6, 8, 74, 23), d->GetOpenButton()->GetBoundsRect());
    EXPECT_EQ(Bounds(85, 8, 76, 23), d->GetSaveButton()->GetBoundsRect());
    EXPECT_EQ(Bounds(7, 8, 74, 23), d->GetOkButton()->GetBoundsRect());
    EXPECT_EQ(Bounds(167, 8, 75, 23), d->GetApplyButton()->GetBoundsRect());
    EXPECT_EQ(d->GetBottomPanel()->GetWidth() - 248 + 167, d->GetApplyButton()->ClientToParent({0, 0}, d->GetBottomPanel()).X);
    EXPECT_EQ("&Open...", d->GetOpenButton()->GetCaption());
    EXPECT_EQ("&Save As...", d->GetSaveButton()->GetCaption());
    EXPECT_EQ("&Apply", d->GetApplyButton()->GetCaption());
    EXPECT_EQ("Open|Opens an existing filter", d->GetOpenButton()->GetHint());
    EXPECT_EQ(alClient, d->GetFilterControl()->GetAlign());
    EXPECT_EQ(d->GetBottomPanel()->GetTop(), d->GetFilterControl()->GetTop() + d->GetFilterControl()->GetHeight());
    EXPECT_EQ("Filters (*.flt)|*.flt", d->GetOpenDialog()->GetFilter());
    EXPECT_EQ("flt", d->GetSaveDialog()->GetDefaultExt());
    EXPECT_EQ("Save the active filter to file", d->GetSaveDialog()->GetTitle());
    EXPECT_EQ(Dir.string(), d->GetOpenDialog()->GetInitialDir());
    EXPECT_EQ(TfmFilterControlDialog::MinWidth, d->GetConstraints()->GetMinWidth());
    CloseWith(mrCancel);
  }});
}

TEST_F(FilterControlDialog, ApplyThenCancelKeepsTheAppliedFilter) {
  const bool result = Run({[&] {
                             DialogBuilder()->AddCondition(nullptr);
                             Press(Dialog()->GetApplyButton());
                           },
                           [&] {
                             EXPECT_NE(nullptr, Dialog()) << "Apply leaves the dialog open";
                             Press(Dialog()->GetCancelButton());
                           }});
  EXPECT_FALSE(result);
  EXPECT_EQ(1, Applies);
  EXPECT_EQ(1, Link->Filter()->GetRoot()->GetCount());
}

TEST_F(FilterControlDialog, OkAppliesAndCloses) {
  AddFilter(nullptr, 1, okGreater, 5, "5");
  const bool result = Run({[&] {
    EXPECT_EQ(2, DialogBuilder()->GetRowCount()) << "the link's filter is read";
    DialogBuilder()->GetRootRow()->BoolOperator = fjkOr;
    Press(Dialog()->GetOkButton());
  }});
  EXPECT_TRUE(result);
  EXPECT_EQ(1, Applies);
  EXPECT_EQ(fjkOr, Link->Filter()->GetRoot()->GetJoinKind());
}

TEST_F(FilterControlDialog, OkWithAnIncompleteRowStaysOpen) {
  Link->AddItem(40, "", TqvStringValueType::Class());
  bool stillOpen = false;
  const bool result = Run({[&] {
                             DialogBuilder()->AddCondition(nullptr);
                             As<TqvConditionViewInfo>(DialogBuilder()->GetRow(1))->SetItemIndex(3);
                             Press(Dialog()->GetOkButton());
                           },
                           [&] {
                             stillOpen = Dialog() != nullptr;
                             CloseWith(mrCancel);
                           }});
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(result);
  EXPECT_EQ(0, Applies);
  EXPECT_TRUE(Link->Filter()->IsEmpty());
}

TEST_F(FilterControlDialog, EscapeCancelsUnlessAValueEditorIsOpen) {
  AddFilter(nullptr, 0, okEqual, String("a"), "a");
  bool editorWasOpen = false;
  const bool result = Run({[&] {
                             TqvFilterControl* builder = DialogBuilder();
                             builder->SetFocus();
                             builder->GetFocusedInfo().Row = builder->GetRow(1);
                             builder->GetFocusedInfo().ValueIndex = 0;
                             builder->SetFocusKind(fhkValue);
                             Headless::TypeText("b");
                           },
                           [&] {
                             editorWasOpen = DialogBuilder()->GetValueEditor() != nullptr;
                             Headless::PressKey(VK_ESCAPE);
                           },
                           [&] {
                             EXPECT_NE(nullptr, Dialog()) << "the first Esc closed the editor only";
                             Headless::PressKey(VK_ESCAPE);
                           }});
  EXPECT_TRUE(editorWasOpen);
  EXPECT_FALSE(result);
  EXPECT_EQ(0, Applies);
}

TEST_F(FilterControlDialog, SaveAsProposesTheNameAndAsksBeforeOverwriting) {
  AddFilter(nullptr, 0, okLike, String("x%"), "x%");
  String proposed;
  TOpenOptions options = 0;
  SetDialogExecuteHandler(&TSaveDialog::StaticClass(), [&](TCommonDialog* ADialog) {
    auto* save = static_cast<TSaveDialog*>(ADialog);
    proposed = save->GetFileName();
    options = save->GetOptions();
    save->SetFileName(FileName("mine.flt"));
    return daOk;
  });
  String caption;
  Run({[&] { Press(Dialog()->GetSaveButton()); },
       [&] {
         caption = Dialog()->GetCaption();
         CloseWith(mrCancel);
       }});
  EXPECT_EQ("untitled.flt", proposed);
  EXPECT_NE(0u, options & ofOverwritePrompt);
  EXPECT_TRUE(std::filesystem::exists(Dir / "mine.flt"));
  EXPECT_EQ("Filter builder - [" + FileName("mine.flt") + "]", caption);
}

TEST_F(FilterControlDialog, AForeignFilterIsRefusedAndTheDialogStaysOpen) {
  WriteForeignFilter(FileName("foreign.flt"));
  AddFilter(nullptr, 2, okEqual, String("mine"), "mine");
  SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [&](TCommonDialog* ADialog) {
    static_cast<TOpenDialog*>(ADialog)->SetFileName(FileName("foreign.flt"));
    return daOk;
  });
  bool stillOpen = false;
  Integer rows = 0;
  String caption;
  Run({[&] { Press(Dialog()->GetOpenButton()); },
       [&] {
         stillOpen = Dialog() != nullptr;
         rows = DialogBuilder()->GetRowCount();
         caption = Dialog()->GetCaption();
         Press(Dialog()->GetOkButton());
       }});
  ASSERT_EQ(1u, Errors.size());
  EXPECT_EQ("Can't build filter from source", Errors[0]);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(2, rows);
  EXPECT_EQ("Filter builder - [untitled.flt]", caption);
  EXPECT_EQ(Link->Item(2), static_cast<TqvFilterCriteriaItem*>(Link->Filter()->GetRoot()->GetItem(0))->GetItemLink());
}

TEST_F(FilterControlDialog, OpeningAFileLoadsItAndNamesTheDialog) {
  AddFilter(nullptr, 1, okBetween, VarArrayOf({1, 2}), "1;2");
  Builder->SetLinkComponent(Link);
  Builder->SaveToFile(FileName("range.flt"));
  Link->Filter()->Clear();
  SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [&](TCommonDialog* ADialog) {
    EXPECT_EQ("", static_cast<TOpenDialog*>(ADialog)->GetFileName());
    static_cast<TOpenDialog*>(ADialog)->SetFileName(FileName("range.flt"));
    return daOk;
  });
  Integer rows = 0;
  String caption;
  Run({[&] { Press(Dialog()->GetOpenButton()); },
       [&] {
         rows = DialogBuilder()->GetRowCount();
         caption = Dialog()->GetCaption();
         CloseWith(mrCancel);
       }});
  EXPECT_EQ(2, rows);
  EXPECT_EQ("Filter builder - [" + FileName("range.flt") + "]", caption);
  EXPECT_TRUE(Link->Filter()->IsEmpty()) << "opening does not apply";
}

TEST_F(FilterControlDialog, LookAndFeelColourAndShowEvent) {
  auto lookAndFeel = MakeOwned<TqvLookAndFeel>(nullptr);
  lookAndFeel->SetKind(lfUltraFlat);
  bool shown = false;
  TColor color = clNone;
  TqvLookAndFeelKind kind = lfStandard;
  RunWhenIdle({[&] {
         color = DialogBuilder()->GetColor();
         kind = Dialog()->GetApplyButton()->GetLookAndFeel()->GetKind();
         EXPECT_EQ(lfUltraFlat, DialogBuilder()->GetLookAndFeel()->GetKind());
         CloseWith(mrCancel);
       }});
  ShowFilterControlDialog(Link, lookAndFeel.get(), clInfoBk, nullptr, [&](TObject*) { shown = true; }, "");
  EXPECT_TRUE(shown);
  EXPECT_EQ(clInfoBk, color);
  EXPECT_EQ(lfUltraFlat, kind);
}

}  // namespace
