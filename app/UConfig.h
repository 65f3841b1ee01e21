// The editor's two remembered settings and the dialog that changes the first:
// - the receiver's address and port, in the settings file "./config.ini" (section "SETTOPINFO");
// - the main window's placement, in the per-user store under "ZentavoChannelEditorState2.1".
//
// The main window reads the settings at start-up (LoadSettings), opens the dialog from its menu
// command (ShowConfigDialog), restores its placement when it is created (LoadWindowState, shown
// with its next Show) and saves it when it closes (SaveWindowState).
//
// Where the parts live: UConfig.cpp (settings file, address and port rules, window state),
// UConfigDialog.cpp (the dialog).
#pragma once

#include "platform/forms/Forms.h"

class TButton;
class TLabel;
class TRegistry;
class TqvLabel;
class TqvTextEdit;
class Variant;

// The receiver setting: its dotted IPv4 address and TCP port.
struct TSTBAddr {
  String Address;
  Integer Port = 0;
  friend bool operator==(const TSTBAddr&, const TSTBAddr&) = default;
};

namespace ReceiverSettings {
constexpr const char* FileName = "./config.ini";  // relative to the working folder
constexpr const char* Section = "SETTOPINFO";
constexpr const char* AddressKey = "ADDR";
constexpr const char* PortKey = "PORT";
// An address in the receiver's private LAN.
constexpr const char* DefaultAddress = "192.168.0.100";
constexpr Integer DefaultPort = 9090;
constexpr Integer MinPort = 1024;
constexpr Integer MaxPort = 65000;
}  // namespace ReceiverSettings

// Exactly four decimal parts 0..255, without signs, blanks or leading zeros.
bool IsValidReceiverAddress(const String& AText);
// Decimal digits only, 1024..65000; APort is untouched on failure.
bool TryReceiverPort(const String& AText, Integer& APort);

TSTBAddr DefaultSTBAddr();
// The settings of the file. A missing, unreadable or damaged file, or a value that breaks the
// rules above, gives the default of that value.
TSTBAddr LoadSettings(const String& AFileName = ReceiverSettings::FileName);
// Writes both values in one replacement of the file (other lines of it stay). Raises when the
// file cannot be read or written; the file is then unchanged.
void SaveSettings(const TSTBAddr& AAddr, const String& AFileName = ReceiverSettings::FileName);

// ---------------------------------------------------------------------------------------------
// Window state

namespace WindowStateStore {
constexpr const char* Key = "ZentavoChannelEditorState2.1";  // directly under HKEY_CURRENT_USER
constexpr const char* Width = "Width";
constexpr const char* Height = "Height";
constexpr const char* Left = "Left";
constexpr const char* Top = "Top";
constexpr const char* State = "State";  // 0 normal, 1 minimised, 2 maximised
// A stored size below these is raised to them.
constexpr Integer MinWidth = 200;
constexpr Integer MinHeight = 150;
}  // namespace WindowStateStore

// The named integer value of the open key; ADefault when it is missing or holds no integer.
Integer ReadIntegerDefault(TRegistry& ARegistry, const String& AName, Integer ADefault);

// Restores the form's normal rectangle and state from the store (a missing key changes nothing,
// a missing value keeps the form's own). The rectangle is clamped into the work area of the
// monitor nearest to it; an unknown state is normal. The state shows with the form's next Show.
void LoadWindowState(TCustomForm* AForm);
// Stores the form's normal rectangle and state. False when the store could not be written
// (closing the window goes on).
bool SaveWindowState(TCustomForm* AForm);

// ---------------------------------------------------------------------------------------------
// Settings dialog

// "SETTOP Config Setting": the address and port of ASettings in two validated editors. Apply
// checks both fields and changes nothing unless both are valid; then it writes the file and
// ASettings and closes with mrOk. Close leaves everything as it was.
class TfrmConfig : public TForm {
  QJ_CLASS(TfrmConfig, TForm)
 public:
  TfrmConfig(TComponent* AOwner, TSTBAddr& ASettings, const String& AFileName = ReceiverSettings::FileName);

  TqvTextEdit* GetIPAddr() const { return FIPAddr; }
  TqvTextEdit* GetPort() const { return FPort; }
  TButton* GetApplyButton() const { return FApply; }
  TButton* GetCloseButton() const { return FClose; }

  void FormCreate(TObject* Sender);
  void btApplyClick(TObject* Sender);
  void btCloseClick(TObject* Sender);
  void qvIPAddrPropertiesValidate(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error);
  void qvPortPropertiesValidate(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error);

 private:
  void BuildControls();
  TLabel* AddLabel(const char* AName, const char* ACaption, Integer ATop);
  TqvLabel* AddSample(const char* AName, const String& ACaption, Integer ATop);
  TqvTextEdit* AddEditor(const char* AName, Integer ATop);
  TButton* AddButton(const char* AName, const char* ACaption, Integer ALeft);
  // Runs the editor's own validation on its text; on a refusal the editor takes the focus and
  // the error text is raised.
  void CheckField(TqvTextEdit* AEdit);

  TSTBAddr& FSettings;
  String FFileName;
  TqvTextEdit* FIPAddr = nullptr;
  TqvTextEdit* FPort = nullptr;
  TButton* FApply = nullptr;
  TButton* FClose = nullptr;
};

// Shows the dialog modally over the application's main form; true when Apply stored new settings.
bool ShowConfigDialog(TSTBAddr& ASettings, const String& AFileName = ReceiverSettings::FileName);
