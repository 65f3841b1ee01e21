// The filter builder dialog.
#include "grid/qvFilterControlDialog.h"

#include <algorithm>

#include "grid/qvFilterControl.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"

const TResourceString sqvFilterBuilderCaption{64130, "Filter builder"};
const TResourceString sqvFilterBuilderUntitled{64131, "untitled.flt"};
const TResourceString sqvFilterBuilderCaptionFormat{64132, "%s - [%s]"};
const TResourceString sqvFilterBuilderOpenTitle{64133, "Open an existing filter"};
const TResourceString sqvFilterBuilderSaveTitle{64134, "Save the active filter to file"};
const TResourceString sqvFilterBuilderFilter{64135, "Filters (*.flt)|*.flt"};
const TResourceString sqvFilterBuilderSaveAs{64136, "&Save As..."};
const TResourceString sqvFilterBuilderOpen{64137, "&Open..."};
const TResourceString sqvFilterBuilderApply{64138, "&Apply"};
const TResourceString sqvFilterBuilderOpenHint{64141, "Open|Opens an existing filter"};
const TResourceString sqvFilterBuilderSaveHint{64142, "Save As|Saves the active filter with a new name"};

QJ_IMPLEMENT_CLASS(TfmFilterControlDialog)

namespace {

constexpr char kFilterExtension[] = "flt";
constexpr Integer kBottomPanelHeight = 38;
constexpr Integer kBottomRightPanelWidth = 248;

// Left, top, width and height of the last dialog closed; -1 until one closed.
TRect RememberedBounds{-1, -1, -1, -1};

TqvButton* AddButton(TWinControl* AParent, const TRect& ABounds) {
  auto* button = New<TqvButton>(AParent->GetOwner());
  button->SetBoundsRect(ABounds);
  button->SetParent(AParent);
  return button;
}

TPanel* AddPanel(TComponent* AOwner, TWinControl* AParent, TAlign AAlign) {
  auto* panel = New<TPanel>(AOwner);
  panel->SetParent(AParent);
  panel->SetAlign(AAlign);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption("");
  return panel;
}

}  // namespace

TfmFilterControlDialog::TfmFilterControlDialog(TComponent* AOwner) : TqvFilterDialogForm(AOwner) {
  SetBorderIcons(biSystemMenu);
  SetKeyPreview(true);
  SetBounds(0, 0, DefaultWidth, DefaultHeight);
  GetConstraints()->SetMinWidth(MinWidth);
  GetConstraints()->SetMinHeight(MinHeight);
  FBottomPanel = AddPanel(this, this, alBottom);
  FBottomPanel->SetHeight(kBottomPanelHeight);
  FOpenButton = AddButton(FBottomPanel, Bounds(6, 8, 74, 23));
  FOpenButton->SetHint(GetLocalizedResourceString(&sqvFilterBuilderOpenHint));
  FOpenButton->SetShowHint(true);
  FOpenButton->OnClick = [this](TObject* Sender) { OpenClick(Sender); };
  FSaveButton = AddButton(FBottomPanel, Bounds(85, 8, 76, 23));
  FSaveButton->SetHint(GetLocalizedResourceString(&sqvFilterBuilderSaveHint));
  FSaveButton->SetShowHint(true);
  FSaveButton->OnClick = [this](TObject* Sender) { SaveClick(Sender); };
  FBottomRightPanel = AddPanel(this, FBottomPanel, alRight);
  FBottomRightPanel->SetWidth(kBottomRightPanelWidth);
  FOkButton = AddButton(FBottomRightPanel, Bounds(7, 8, 74, 23));
  FOkButton->SetModalResult(mrOk);
  FOkButton->SetTabOrder(0);
  FOkButton->OnClick = [this](TObject* Sender) { OkClick(Sender); };
  FCancelButton = AddButton(FBottomRightPanel, Bounds(88, 8, 75, 23));
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetTabOrder(1);
  FApplyButton = AddButton(FBottomRightPanel, Bounds(167, 8, 75, 23));
  FApplyButton->SetTabOrder(2);
  FApplyButton->OnClick = [this](TObject* Sender) { ApplyClick(Sender); };
  FOpenDialog = New<TOpenDialog>(this);
  FSaveDialog = New<TSaveDialog>(this);
  FSaveDialog->SetOptions(ofOverwritePrompt | ofHideReadOnly | ofEnableSizing);
}

void TfmFilterControlDialog::Setup(TqvCustomFilterControl* AFilterControl, const String& AInitialDir) {
  SetFileName(GetLocalizedResourceString(&sqvFilterBuilderUntitled));
  const String filter = GetLocalizedResourceString(&sqvFilterBuilderFilter);
  FOpenDialog->SetInitialDir(AInitialDir);
  FOpenDialog->SetTitle(GetLocalizedResourceString(&sqvFilterBuilderOpenTitle));
  FOpenDialog->SetDefaultExt(kFilterExtension);
  FOpenDialog->SetFilter(filter);
  FSaveDialog->SetInitialDir(AInitialDir);
  FSaveDialog->SetTitle(GetLocalizedResourceString(&sqvFilterBuilderSaveTitle));
  FSaveDialog->SetDefaultExt(FOpenDialog->GetDefaultExt());
  FSaveDialog->SetFilter(filter);
  FSaveButton->SetCaption(GetLocalizedResourceString(&sqvFilterBuilderSaveAs));
  FOpenButton->SetCaption(GetLocalizedResourceString(&sqvFilterBuilderOpen));
  FApplyButton->SetCaption(GetLocalizedResourceString(&sqvFilterBuilderApply));
  FOkButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogOk));
  FCancelButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogCancel));
  FFilterControl = AFilterControl;
  if (FFilterControl) {
    FFilterControl->SetAlign(alClient);
    FFilterControl->SetParent(this);
  }
  PlaceAtRememberedBounds();
}

void TfmFilterControlDialog::SetFileName(const String& AName) {
  FFileName = AName;
  FSaveDialog->SetFileName(AName);
  SetCaption(Format(GetLocalizedResourceString(&sqvFilterBuilderCaptionFormat),
                    {GetLocalizedResourceString(&sqvFilterBuilderCaption), AName}));
}

TRect TfmFilterControlDialog::GetRememberedBounds() { return RememberedBounds; }

void TfmFilterControlDialog::ResetRememberedBounds() { RememberedBounds = TRect{-1, -1, -1, -1}; }

void TfmFilterControlDialog::PlaceAtRememberedBounds() {
  const TRect& r = RememberedBounds;  // Left, Top, Width, Height
  Integer width = r.Right > 0 ? r.Right : GetWidth();
  Integer height = r.Bottom > 0 ? r.Bottom : GetHeight();
  if (r.Left == -1 || r.Top == -1) {
    SetBounds(GetLeft(), GetTop(), width, height);
    SetPosition(poScreenCenter);
    return;
  }
  // A dialog remembered on a screen area that is gone still opens where it can be seen.
  const TRect area = Screen->GetWorkAreaRect();
  width = std::min(width, area.Width());
  height = std::min(height, area.Height());
  const Integer left = std::clamp(r.Left, area.Left, area.Right - width);
  const Integer top = std::clamp(r.Top, area.Top, area.Bottom - height);
  SetPosition(poDesigned);
  SetBounds(left, top, width, height);
}

void TfmFilterControlDialog::DoClose(TCloseAction& Action) {
  RememberedBounds = TRect{GetLeft(), GetTop(), GetWidth(), GetHeight()};
  inherited::DoClose(Action);
}

void TfmFilterControlDialog::KeyDown(Word& Key, TShiftState Shift) {
  // Esc closes the dialog unless a list or value editor of the builder is open: it closes that.
  if (Key == VK_ESCAPE && (!FFilterControl || FFilterControl->GetEditState() == fesNone)) {
    Key = 0;
    SetModalResult(mrCancel);
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TfmFilterControlDialog::OpenClick(TObject*) {
  FOpenDialog->SetFileName("");
  if (!FOpenDialog->Execute()) return;
  try {
    FFilterControl->LoadFromFile(FOpenDialog->GetFileName());
    SetFileName(FOpenDialog->GetFileName());
  } catch (...) {
    Application->HandleException(this);
  }
}

void TfmFilterControlDialog::SaveClick(TObject*) {
  FSaveDialog->SetFileName(FFileName);
  if (!FSaveDialog->Execute()) return;
  try {
    FFilterControl->SaveToFile(FSaveDialog->GetFileName());
    SetFileName(FSaveDialog->GetFileName());
  } catch (...) {
    Application->HandleException(this);
  }
}

void TfmFilterControlDialog::ApplyClick(TObject*) {
  try {
    FFilterControl->ApplyFilter();
  } catch (...) {
    Application->HandleException(this);
  }
}

void TfmFilterControlDialog::OkClick(TObject*) {
  // The button set the OK result; a filter that was not applied keeps the dialog open.
  bool applied = false;
  try {
    applied = FFilterControl->ApplyFilter();
  } catch (...) {
    SetModalResult(mrNone);
    Application->HandleException(this);
    return;
  }
  if (!applied) SetModalResult(mrNone);
}

// ---------------------------------------------------------------------------------------------
// Showing

bool ShowFilterControlDialog(TComponent* ALinkComponent, TqvLookAndFeel* ALookAndFeel, TColor AColor,
                             TNotifyEvent AApplyEvent, TNotifyEvent AShowEvent, const String& AInitialDir) {
  TOwned<TfmFilterControlDialog> dialog(New<TfmFilterControlDialog>(Application));
  // Freed before the dialog it is placed on.
  TOwned<TqvFilterControl> builder = MakeOwned<TqvFilterControl>(nullptr);
  if (ALookAndFeel) {
    for (TqvButton* button : {dialog->GetOkButton(), dialog->GetCancelButton(), dialog->GetApplyButton(),
                              dialog->GetOpenButton(), dialog->GetSaveButton()})
      button->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    builder->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
  }
  if (auto* linkable = dynamic_cast<IqvFilterLinkable*>(builder.get())) linkable->SetLinkComponent(ALinkComponent);
  if (AColor != clDefault) builder->SetColor(AColor);
  builder->OnApplyFilter = std::move(AApplyEvent);
  dialog->Setup(builder.get(), AInitialDir);
  dialog->OnShow = std::move(AShowEvent);
  return dialog->ShowModal() == mrOk;
}
