#include "platform/forms/Dialogs.h"

#include <cstdlib>
#include <map>

#include "platform/forms/DialogsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/os/WinDialogs.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"

const TResourceString SMsgDlgWarning = {61201, "Warning"};
const TResourceString SMsgDlgError = {61202, "Error"};
const TResourceString SMsgDlgInformation = {61203, "Information"};
const TResourceString SMsgDlgConfirm = {61204, "Confirm"};
const TResourceString SMsgDlgButtons = {61205, "The message dialog has no row of buttons for this set"};

namespace {

// The message box's button rows and the order of their buttons.
struct TButtonRow {
  TMsgDlgButtons Buttons;
  UINT Type;
  TMsgDlgBtn Order[3];
  int Count;
};

const TButtonRow kRows[] = {
    {mbOKOnly, MB_OK, {mbOK}, 1},
    {mbOKCancel, MB_OKCANCEL, {mbOK, mbCancel}, 2},
    {mbYesNo, MB_YESNO, {mbYes, mbNo}, 2},
    {mbYesNoCancel, MB_YESNOCANCEL, {mbYes, mbNo, mbCancel}, 3},
    {mbAbortRetryIgnore, MB_ABORTRETRYIGNORE, {mbAbort, mbRetry, mbIgnore}, 3},
    {mbRetryCancel, MB_RETRYCANCEL, {mbRetry, mbCancel}, 2},
};

const TButtonRow* FindRow(TMsgDlgButtons Buttons) {
  Buttons &= ~MsgDlgButton(mbHelp);
  if (Buttons == 0) Buttons = mbOKOnly;
  for (const TButtonRow& row : kRows)
    if (row.Buttons == Buttons) return &row;
  return nullptr;
}

const TButtonRow& RowFor(TMsgDlgButtons Buttons) {
  const TButtonRow* row = FindRow(Buttons);
  if (!row) throw EInvalidOperation(&SMsgDlgButtons);
  return *row;
}

UINT IconFor(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    case mtConfirmation: return MB_ICONQUESTION;
    case mtCustom: return 0;
  }
  return 0;
}

constexpr UINT kDefButtons[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};

// Places the next message box at a screen point while it is being shown.
class TBoxPlacer {
 public:
  TBoxPlacer(Integer X, Integer Y) {
    if (X < 0 || Y < 0) return;
    FPos = {X, Y};
    FHook = SetWindowsHookEx(WH_CALLWNDPROC, &TBoxPlacer::Hook, nullptr, 0);
    Current() = this;
  }
  ~TBoxPlacer() {
    if (!FHook) return;
    UnhookWindowsHookEx(FHook);
    Current() = nullptr;
  }
  TBoxPlacer(const TBoxPlacer&) = delete;
  TBoxPlacer& operator=(const TBoxPlacer&) = delete;

 private:
  static TBoxPlacer*& Current() {
    static TBoxPlacer* current = nullptr;
    return current;
  }
  static LRESULT Hook(int code, WPARAM wParam, LPARAM lParam) {
    TBoxPlacer* self = Current();
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (self && code == HC_ACTION && cwp && cwp->message == WM_SHOWWINDOW && cwp->wParam && !self->FPlaced &&
        GetClassName(cwp->hwnd) == MESSAGEBOX_CLASS) {
      self->FPlaced = true;
      SetWindowPos(cwp->hwnd, nullptr, self->FPos.X, self->FPos.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return CallNextHookEx(self ? self->FHook : nullptr, code, wParam, lParam);
  }

  TPoint FPos;
  HHOOK FHook = nullptr;
  bool FPlaced = false;
};

}  // namespace

UINT MessageDlgFlags(TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton) {
  const TButtonRow& row = RowFor(Buttons);
  int def = 0;
  for (int i = 0; i < row.Count; ++i)
    if (row.Order[i] == DefaultButton) def = i;
  return row.Type | IconFor(DlgType) | kDefButtons[def];
}

String MessageDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return LoadResString(&SMsgDlgWarning);
    case mtError: return LoadResString(&SMsgDlgError);
    case mtInformation: return LoadResString(&SMsgDlgInformation);
    case mtConfirmation: return LoadResString(&SMsgDlgConfirm);
    case mtCustom: break;
  }
  return Application->GetTitle();
}

// The dialog form for sets without a button row (DialogsMessage.cpp).
Integer ShowMessageDialogForm(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton,
                              Integer X, Integer Y);

namespace {

Integer ShowDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton, Integer X,
                Integer Y) {
  if (!FindRow(Buttons)) return ShowMessageDialogForm(Msg, DlgType, Buttons, DefaultButton, X, Y);
  UINT flags = MessageDlgFlags(DlgType, Buttons, DefaultButton);
  TBoxPlacer placer(X, Y);
  // The box's ID values are the modal results of the same buttons.
  return Application->MessageBox(Msg, MessageDlgCaption(DlgType), flags);
}

}  // namespace

Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer) {
  return ShowDlg(Msg, DlgType, Buttons, -1, -1, -1);
}

Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer,
                   TMsgDlgBtn DefaultButton) {
  return ShowDlg(Msg, DlgType, Buttons, DefaultButton, -1, -1);
}

Integer MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer, Integer X,
                      Integer Y) {
  return ShowDlg(Msg, DlgType, Buttons, -1, X, Y);
}

void ShowMessage(const String& Msg) { ShowDlg(Msg, mtCustom, mbOKOnly, -1, -1, -1); }

void ShowMessageFmt(const String& Msg, TFormatArgs Params) { ShowMessage(Format(Msg, Params)); }

void ShowMessagePos(const String& Msg, Integer X, Integer Y) { ShowDlg(Msg, mtCustom, mbOKOnly, -1, X, Y); }

// ---------------------------------------------------------------------------------------------
// Answer lists and common dialogs

String NextDialogAnswer(const char* Variable, char Separator) {
  String value = GetEnvironmentVariable(Variable);
  if (value.empty()) return "";
  size_t end = value.find(Separator);
  String answer = Trim(value.substr(0, end));
  // The answer is taken off the list, so setting the variable again starts a new list.
  if (end == String::npos)
    unsetenv(Variable);
  else
    setenv(Variable, value.substr(end + 1).c_str(), 1);
  return answer;
}

void CentreDialogForm(TCustomForm* Form) {
  TRect area = Screen->GetWorkAreaRect();
  if (TCustomForm* active = Screen->GetActiveCustomForm(); active && active != Form && active->GetVisible())
    area = active->GetBoundsRect();
  Form->SetBounds(area.Left + (area.Width() - Form->GetWidth()) / 2,
                  area.Top + (area.Height() - Form->GetHeight()) / 2, Form->GetWidth(), Form->GetHeight());
}

namespace {

std::map<TClass, TDialogExecuteHandler>& ExecuteHandlers() {
  static std::map<TClass, TDialogExecuteHandler> handlers;
  return handlers;
}

}  // namespace

TDialogExecuteHandler SetDialogExecuteHandler(TClass DialogClass, TDialogExecuteHandler Handler) {
  auto& handlers = ExecuteHandlers();
  TDialogExecuteHandler previous;
  if (auto it = handlers.find(DialogClass); it != handlers.end()) {
    previous = std::move(it->second);
    handlers.erase(it);
  }
  if (Handler) handlers[DialogClass] = std::move(Handler);
  return previous;
}

QJ_IMPLEMENT_CLASS(TCommonDialog)

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TDialogAnswer TCommonDialog::AnswerHeadless() {
  auto& handlers = ExecuteHandlers();
  for (TClass cls = ClassType(); cls; cls = cls->Parent) {
    auto it = handlers.find(cls);
    if (it == handlers.end()) continue;
    TDialogExecuteHandler handler = it->second;  // the handler may replace itself
    TDialogAnswer answer = handler(this);
    if (answer != daShow) return answer;
    break;
  }
  String answer = NextEnvironmentAnswer();
  if (answer.empty()) return daShow;
  if (SameText(answer, "cancel")) return daCancel;
  return TakeEnvironmentAnswer(answer) ? daOk : daCancel;
}

TModalResult TCommonDialog::ShowDialogForm(TForm* Form) {
  if (OnShow) OnShow(this);
  TModalResult result = Form->ShowModal();
  if (OnClose) OnClose(this);
  return result;
}
