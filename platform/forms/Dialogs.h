// Message dialogs: MessageDlg, MessageDlgPos and ShowMessage, shown as the window system's
// message box through Application->MessageBox, or as a dialog form of ours for the button sets
// the message box has no row for (the "to all" buttons, Yes with Cancel ...). The common dialogs:
// open and save dialogs with a folder view, and the colour dialog, all modal forms of ours.
//
// Answering without a screen:
// - Message boxes: Application->SetMessageBoxFunc sees every box first (text, caption, MB_ flags)
//   and returns the button's ID value; without it, the window system's SetMessageBoxHandler and
//   the QJ_MESSAGEBOX_ANSWERS list of end-to-end scripts answer the box (platform/os/WinDialogs.h).
// - Message dialog forms: SetMessageDlgHandler sees each first and returns a modal result (mrNone:
//   show the form); without it, QJ_MESSAGEDLG_ANSWERS is a comma-separated list of answers (yes,
//   no, ok, cancel, abort, retry, ignore, all, notoall, yestoall) used one dialog after another;
//   an answer that is no button of the dialog is used up and the form shows.
// - Common dialogs: a handler set with SetDialogExecuteHandler for the dialog's class (or a parent
//   class) sees each Execute first and answers daOk (after setting FileName or Color), daCancel, or
//   daShow. Without one, QJ_FILEDIALOG_ANSWERS and QJ_COLORDIALOG_ANSWERS are ';'-separated lists
//   used one dialog after another: a file name (a relative one is taken in the dialog's initial
//   folder), a colour ("#RRGGBB", or a name or value as StringToColor reads it), or "cancel". An
//   answered file dialog checks the name as its OK button does: a refused name (missing file, no
//   overwrite) makes Execute return False.
// Each answer is taken off its variable as it is used, so setting the variable again starts anew.
//
// Where the parts live: Dialogs.cpp (message dialogs and the answer handlers), DialogsMessage.cpp
// (the message dialog form), DialogsFile.cpp (open and save dialogs), DialogsColor.cpp (the
// colour dialog).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Controls.h"

class TForm;
class TStrings;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Cardinal;

constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn Btn) { return 1u << Btn; }
constexpr TMsgDlgButtons mbYesNo = MsgDlgButton(mbYes) | MsgDlgButton(mbNo),
                         mbYesNoCancel = mbYesNo | MsgDlgButton(mbCancel),
                         mbOKCancel = MsgDlgButton(mbOK) | MsgDlgButton(mbCancel),
                         mbAbortRetryIgnore = MsgDlgButton(mbAbort) | MsgDlgButton(mbRetry) | MsgDlgButton(mbIgnore),
                         mbRetryCancel = MsgDlgButton(mbRetry) | MsgDlgButton(mbCancel),
                         mbOKOnly = MsgDlgButton(mbOK);

extern const TResourceString SMsgDlgWarning;
extern const TResourceString SMsgDlgError;
extern const TResourceString SMsgDlgInformation;
extern const TResourceString SMsgDlgConfirm;
extern const TResourceString SMsgDlgButtons;

// The message box flags for a dialog: its button set (mbHelp is left out: there is no help
// system), the icon of the type and the default button (mbOK/mbYes unless DefaultButton is one
// of the set). Raises EInvalidOperation for a set the message box has no row of buttons for
// (the "to all" buttons, or a set like Yes with Cancel); an empty set is OK alone.
UINT MessageDlgFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton = -1);
// "Warning", "Error", "Information", "Confirm", or the application's title for mtCustom.
String MessageDlgCaption(TMsgDlgType DlgType);

// Shows Msg with the buttons and returns the modal result of the button chosen (mrOk, mrYes,
// ...; mrCancel for Esc where there is a Cancel button). A set the message box has no row for
// is shown as the form of CreateMessageDialog. HelpCtx is kept for callers that pass
// it. MessageDlgPos places the dialog's top-left corner at the screen point (X or Y of -1:
// centred on the active form, as MessageDlg does).
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx,
                   TMsgDlgBtn DefaultButton);
Integer MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx, Integer X,
                      Integer Y);

// An information-less box with OK, captioned with the application's title.
void ShowMessage(const String& Msg);
void ShowMessageFmt(const String& Msg, TFormatArgs Params);
void ShowMessagePos(const String& Msg, Integer X, Integer Y);

// The dialog form MessageDlg shows for a button set the message box has no row for: the message,
// the type's icon and one button per member of the set, in the order of TMsgDlgBtn (mbHelp left
// out). Each button's ModalResult is its answer; the default button (DefaultButton if it is in
// the set, else the first) has the focus, and the Cancel, No or last button answers Esc. The
// caller owns the form. Raises EInvalidOperation for an empty set.
TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                           Integer DefaultButton = -1);

using TMessageDlgHandler = std::function<Integer(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)>;
// Installs the handler of message dialog forms (an empty one removes it); returns the previous.
// Its answer must be the result of a button of the set or mrNone, else EInvalidOperation.
TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler);

// ---------------------------------------------------------------------------------------------
// Common dialogs

class TCommonDialog;
enum TDialogAnswer { daShow, daOk, daCancel };
using TDialogExecuteHandler = std::function<TDialogAnswer(TCommonDialog* Dialog)>;
// Installs the handler for dialogs of DialogClass and its descendants (the nearest class's
// handler wins; an empty handler removes it); returns the previous one of that class.
TDialogExecuteHandler SetDialogExecuteHandler(TClass DialogClass, TDialogExecuteHandler Handler);

class TCommonDialog : public TComponent {
  QJ_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* AOwner);
  // Shows the dialog modally; True when the user accepted it.
  virtual bool Execute() = 0;
  TNotifyEvent OnShow, OnClose;

 protected:
  // The handler's or the environment's answer, or daShow.
  TDialogAnswer AnswerHeadless();
  // Reads the next answer of the environment's list for this kind of dialog ("" when none).
  virtual String NextEnvironmentAnswer() { return ""; }
  // Takes an answer of the environment's list; false when it cannot be used.
  virtual bool TakeEnvironmentAnswer(const String&) { return false; }
  // Runs a built dialog form modally with OnShow/OnClose around it.
  TModalResult ShowDialogForm(TForm* Form);
};

enum TOpenOption : Cardinal {
  ofReadOnly = 1u << 0, ofOverwritePrompt = 1u << 1, ofHideReadOnly = 1u << 2, ofNoChangeDir = 1u << 3,
  ofShowHelp = 1u << 4, ofNoValidate = 1u << 5, ofAllowMultiSelect = 1u << 6, ofExtensionDifferent = 1u << 7,
  ofPathMustExist = 1u << 8, ofFileMustExist = 1u << 9, ofCreatePrompt = 1u << 10, ofShareAware = 1u << 11,
  ofNoReadOnlyReturn = 1u << 12, ofNoTestFileCreate = 1u << 13, ofNoNetworkButton = 1u << 14,
  ofNoLongNames = 1u << 15, ofOldStyleDialog = 1u << 16, ofNoDereferenceLinks = 1u << 17,
  ofEnableIncludeNotify = 1u << 18, ofEnableSizing = 1u << 19, ofDontAddToRecent = 1u << 20,
  ofForceShowHidden = 1u << 21
};
using TOpenOptions = Cardinal;

// One entry of a dialog's Filter: "Name|*.ext;*.ext2".
struct TFileFilter {
  String Name;
  String Masks;
};
// The entries of a Filter text; a name without a mask is dropped.
std::vector<TFileFilter> ParseFileFilter(const String& Filter);
// True when the file name (no folder) matches one of the ';'-separated masks (* and ?, case
// ignored; "*.*" and "*" match every name). An empty mask list matches everything.
bool MatchesFileMasks(const String& FileName, const String& Masks);
// The absolute, normalised form of a path ('.' and '..' resolved, no trailing delimiter except
// for the root); a relative one is taken in BaseDir (the current folder when empty).
String ExpandDialogPath(const String& Path, const String& BaseDir = "");

class TOpenDialog : public TCommonDialog {
  QJ_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;
  bool Execute() override;

  const String& GetTitle() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  const String& GetFilter() const { return FFilter; }
  void SetFilter(const String& Value) { FFilter = Value; }
  // 1-based; outside the filter's entries the first one is used.
  Integer GetFilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(Integer Value) { FFilterIndex = Value; }
  // Without the dot; added to a chosen name that has no extension.
  const String& GetDefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const String& Value);
  const String& GetInitialDir() const { return FInitialDir; }
  void SetInitialDir(const String& Value) { FInitialDir = Value; }
  // After Execute: the chosen file's absolute name.
  const String& GetFileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  TOpenOptions GetOptions() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  // The chosen files: one, or with ofAllowMultiSelect the files selected in the list.
  TStrings* GetFiles() const { return FFiles.get(); }

  // The folder the dialog opens in: InitialDir, else the folder of FileName, else the current one.
  String StartFolder() const;
  // Checks a typed or answered name as OK does (default extension, path and file existence,
  // overwrite prompt) and, when it is accepted, makes it FileName and Files. Folder is where a
  // relative name is taken. Messages go through MessageDlg.
  bool AcceptFileName(const String& Name, const String& Folder) { return AcceptFileNames({Name}, Folder); }
  // The same for several names: all must pass; Files gets them all, FileName the first.
  bool AcceptFileNames(const std::vector<String>& Names, const String& Folder);

 protected:
  virtual bool IsSaveDialog() const { return false; }
  String NextEnvironmentAnswer() override;
  bool TakeEnvironmentAnswer(const String& Answer) override;

 private:
  // The absolute name of an accepted name, "" when it is refused (after saying why).
  String CheckFileName(const String& Name, const String& Folder);

  String FTitle;
  String FFilter;
  Integer FFilterIndex = 1;
  String FDefaultExt;
  String FInitialDir;
  String FFileName;
  TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
  TOwned<TStrings> FFiles;
};

class TSaveDialog : public TOpenDialog {
  QJ_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

 protected:
  bool IsSaveDialog() const override { return true; }
};

// cdFullOpen opens the part that defines custom colours at once; cdPreventFullOpen leaves it out.
enum TColorDialogOption : Cardinal {
  cdFullOpen = 1u << 0, cdPreventFullOpen = 1u << 1, cdShowHelp = 1u << 2, cdSolidColor = 1u << 3,
  cdAnyColor = 1u << 4
};
using TColorDialogOptions = Cardinal;

// The 48 basic colours of the colour dialog, row by row (8 a row).
constexpr int ColorDialogBasicCount = 48;
TColor ColorDialogBasicColor(int Index);

class TColorDialog : public TCommonDialog {
  QJ_CLASS(TColorDialog, TCommonDialog)
 public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;
  bool Execute() override;

  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // Up to 16 lines "ColorA=BBGGRR" ... "ColorP=BBGGRR" (the colour value in hex, blue first);
  // missing or unreadable ones are white. After OK the dialog writes all 16 back.
  TStrings* GetCustomColors() const { return FCustomColors.get(); }
  void SetCustomColors(TStrings* Value);
  TColorDialogOptions GetOptions() const { return FOptions; }
  void SetOptions(TColorDialogOptions Value) { FOptions = Value; }

 protected:
  String NextEnvironmentAnswer() override;
  bool TakeEnvironmentAnswer(const String& Answer) override;

 private:
  TColor FColor = 0;
  TOwned<TStrings> FCustomColors;
  TColorDialogOptions FOptions = 0;
};
