// The settings dialog, built in code.
#include "app/UConfig.h"

#include "editors/qvLabel.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Variants.h"

QJ_IMPLEMENT_CLASS(TfrmConfig)

namespace {

constexpr const char* kInvalidAddress = "invalid IP Address";
constexpr const char* kInvalidPort = "invalid Port No.";

constexpr Integer kClientWidth = 360;
constexpr Integer kClientHeight = 132;
constexpr Integer kAddressRow = 20;
constexpr Integer kPortRow = 54;
constexpr Integer kLabelLeft = 16;
constexpr Integer kLabelWidth = 56;
constexpr Integer kEditLeft = 80;
constexpr Integer kEditWidth = 124;
constexpr Integer kEditHeight = 21;
constexpr Integer kSampleLeft = 214;
constexpr Integer kSampleWidth = 140;
constexpr Integer kTextOffset = 3;  // labels sit on the editors' text line
constexpr Integer kButtonTop = 94;
constexpr Integer kButtonWidth = 75;
constexpr Integer kButtonHeight = 25;
constexpr Integer kButtonGap = 8;
constexpr Integer kCloseLeft = kClientWidth - kLabelLeft - kButtonWidth;
constexpr Integer kApplyLeft = kCloseLeft - kButtonGap - kButtonWidth;

}  // namespace

TfrmConfig::TfrmConfig(TComponent* AOwner, TSTBAddr& ASettings, const String& AFileName)
    : TForm(AOwner), FSettings(ASettings), FFileName(AFileName) {
  BeginLoading();
  SetName("frmConfig");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poMainFormCenter);
  SetCaption("SETTOP Config Setting");
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  BuildControls();
  SetActiveControl(FIPAddr);
  EndLoading();
  OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TfrmConfig::BuildControls() {
  AddLabel("lbIPAddr", "IP Addr", kAddressRow);
  FIPAddr = AddEditor("qvIPAddr", kAddressRow);
  FIPAddr->GetProperties()->OnValidate = [this](TObject* Sender, Variant& DisplayValue, TCaption& ErrorText,
                                                bool& Error) {
    qvIPAddrPropertiesValidate(Sender, DisplayValue, ErrorText, Error);
  };
  AddSample("qvLabel1", String("sample) ") + ReceiverSettings::DefaultAddress, kAddressRow);

  AddLabel("lbPort", "Port", kPortRow);
  FPort = AddEditor("qvPort", kPortRow);
  FPort->GetProperties()->OnValidate = [this](TObject* Sender, Variant& DisplayValue, TCaption& ErrorText,
                                              bool& Error) {
    qvPortPropertiesValidate(Sender, DisplayValue, ErrorText, Error);
  };
  AddSample("qvLabel2", "sample) 1234", kPortRow);

  AddButton("btTryto", "Try to Connect..", kLabelLeft)->SetVisible(false);
  FApply = AddButton("btApply", "Apply", kApplyLeft);
  FApply->OnClick = [this](TObject* Sender) { btApplyClick(Sender); };
  FClose = AddButton("btClose", "Close", kCloseLeft);
  FClose->OnClick = [this](TObject* Sender) { btCloseClick(Sender); };
}

TLabel* TfrmConfig::AddLabel(const char* AName, const char* ACaption, Integer ATop) {
  auto* label = New<TLabel>(this);
  label->SetName(AName);
  label->SetCaption(ACaption);
  label->SetBounds(kLabelLeft, ATop + kTextOffset, kLabelWidth, kEditHeight - kTextOffset);
  label->SetParent(this);
  return label;
}

TqvLabel* TfrmConfig::AddSample(const char* AName, const String& ACaption, Integer ATop) {
  auto* label = New<TqvLabel>(this);
  label->SetName(AName);
  label->SetCaption(ACaption);
  label->SetBounds(kSampleLeft, ATop + kTextOffset, kSampleWidth, kEditHeight - kTextOffset);
  label->SetParent(this);
  return label;
}

TqvTextEdit* TfrmConfig::AddEditor(const char* AName, Integer ATop) {
  auto* edit = New<TqvTextEdit>(this);
  edit->SetName(AName);
  edit->SetBounds(kEditLeft, ATop, kEditWidth, kEditHeight);
  edit->SetParent(this);
  return edit;
}

TButton* TfrmConfig::AddButton(const char* AName, const char* ACaption, Integer ALeft) {
  auto* button = New<TButton>(this);
  button->SetName(AName);
  button->SetCaption(ACaption);
  button->SetBounds(ALeft, kButtonTop, kButtonWidth, kButtonHeight);
  button->SetParent(this);
  return button;
}

void TfrmConfig::FormCreate(TObject*) {
  FIPAddr->SetEditValue(FSettings.Address);
  FPort->SetEditValue(IntToStr(FSettings.Port));
}

void TfrmConfig::qvIPAddrPropertiesValidate(TObject*, Variant& DisplayValue, TCaption& ErrorText, bool& Error) {
  if (IsValidReceiverAddress(VarToStr(DisplayValue))) return;
  Error = true;
  ErrorText = kInvalidAddress;
}

void TfrmConfig::qvPortPropertiesValidate(TObject*, Variant& DisplayValue, TCaption& ErrorText, bool& Error) {
  Integer port = 0;
  if (TryReceiverPort(VarToStr(DisplayValue), port)) return;
  Error = true;
  ErrorText = kInvalidPort;
}

void TfrmConfig::CheckField(TqvTextEdit* AEdit) {
  Variant value = AEdit->GetText();
  TCaption errorText;
  bool error = false;
  AEdit->GetProperties()->ValidateDisplayValue(value, errorText, error, AEdit);
  if (!error) return;
  if (AEdit->CanFocus()) AEdit->SetFocus();
  AEdit->SelectAll();
  throw Exception(errorText);
}

void TfrmConfig::btApplyClick(TObject*) {
  CheckField(FIPAddr);
  CheckField(FPort);
  TSTBAddr settings{FIPAddr->GetText(), 0};
  TryReceiverPort(FPort->GetText(), settings.Port);
  SaveSettings(settings, FFileName);
  FSettings = settings;
  SetModalResult(mrOk);
}

void TfrmConfig::btCloseClick(TObject*) { Close(); }

bool ShowConfigDialog(TSTBAddr& ASettings, const String& AFileName) {
  TOwned<TfrmConfig> dialog(New<TfrmConfig>(nullptr, ASettings, AFileName));
  return dialog->ShowModal() == mrOk;
}
