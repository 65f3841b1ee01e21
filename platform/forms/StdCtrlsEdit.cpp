// TCustomEdit and TCustomMemo over the "EDIT" window class; the memo's lines as a TStrings.
#include "platform/forms/StdCtrls.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TCustomEdit)
QJ_IMPLEMENT_CLASS(TEdit)
QJ_IMPLEMENT_CLASS(TCustomMemo)
QJ_IMPLEMENT_CLASS(TMemo)

void CreateSubClass(TCreateParams& Params, const char* ClassName) {
  WNDCLASSEX wc;
  if (!GetClassInfoEx(nullptr, ClassName, &wc)) throw EOSError(&SWindowClass);
  UINT keep = Params.WindowClass.style & ~(CS_HREDRAW | CS_VREDRAW);
  Params.WindowClass = wc;
  Params.WindowClass.style |= keep;
  Params.WindowClass.lpszClassName = nullptr;
}

namespace {

DWORD AlignmentStyle(TAlignment Value) {
  switch (Value) {
    case taCenter: return ES_CENTER;
    case taRightJustify: return ES_RIGHT;
    default: return ES_LEFT;
  }
}

DWORD CharCaseStyle(TEditCharCase Value) {
  switch (Value) {
    case ecUpperCase: return ES_UPPERCASE;
    case ecLowerCase: return ES_LOWERCASE;
    default: return 0;
  }
}

String ApplyCharCase(TEditCharCase CharCase, const String& Text) {
  switch (CharCase) {
    case ecUpperCase: return AnsiUpperCase(Text);
    case ecLowerCase: return AnsiLowerCase(Text);
    default: return Text;
  }
}

void AddBorder(TCreateParams& Params, TBorderStyle Style, bool Ctl3D) {
  if (Style != bsSingle) return;
  if (Ctl3D)
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks;
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | AlignmentStyle(FAlignment) | CharCaseStyle(FCharCase);
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  AddBorder(Params, FBorderStyle, GetCtl3D());
}

void TCustomEdit::CreateWnd() {
  TValueScope creating(FCreating, true);
  inherited::CreateWnd();
  SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  ApplyCharCaseToText();
  SendMessage(FHandle, EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::DestroyWnd() {
  FModified = SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
  inherited::DestroyWnd();
}

void TCustomEdit::UpdateStyleBit(DWORD Bit, bool On) {
  if (!FHandle) return;
  auto style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
  DWORD wanted = On ? style | Bit : style & ~Bit;
  if (wanted != style) SetWindowLong(FHandle, GWL_STYLE, static_cast<LONG>(wanted));
  Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  UpdateStyleBit(ES_CENTER | ES_RIGHT, false);
  UpdateStyleBit(AlignmentStyle(Value), Value != taLeftJustify);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomEdit::ApplyCharCaseToText() {
  if (!FHandle || FCharCase == ecNormal) return;
  String text = GetText();
  String converted = ApplyCharCase(FCharCase, text);
  if (converted == text) return;
  Integer start = GetSelStart(), length = GetSelLength();
  bool modified = GetModified();
  SetText(converted);
  SendMessage(FHandle, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  SetModified(modified);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  UpdateStyleBit(ES_UPPERCASE | ES_LOWERCASE, false);
  UpdateStyleBit(CharCaseStyle(Value), Value != ecNormal);
  ApplyCharCaseToText();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  UpdateStyleBit(ES_NOHIDESEL, !Value);
}

void TCustomEdit::SetMaxLength(Integer Value) {
  if (Value < 0) return;
  FMaxLength = Value;
  if (FHandle) SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (Value == FOEMConvert) return;
  FOEMConvert = Value;
  UpdateStyleBit(ES_OEMCONVERT, Value);
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  if (!FHandle) return;
  SendMessage(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
  Invalidate();
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (FHandle) SendMessage(FHandle, EM_SETREADONLY, Value, 0);
}

bool TCustomEdit::GetModified() {
  if (FHandle) return SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (FHandle) SendMessage(FHandle, EM_SETMODIFY, Value, 0);
}

bool TCustomEdit::GetCanUndo() { return FHandle && SendMessage(FHandle, EM_CANUNDO, 0, 0) != 0; }

Integer TCustomEdit::GetSelStart() {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<Integer>(start);
}

void TCustomEdit::SetSelStart(Integer Value) {
  Value = std::max(0, Value);
  SendMessage(GetHandle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

Integer TCustomEdit::GetSelLength() {
  DWORD start = 0, end = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(end - start);
}

void TCustomEdit::SetSelLength(Integer Value) {
  Integer start = GetSelStart();
  SendMessage(GetHandle(), EM_SETSEL, static_cast<WPARAM>(start), start + std::max(0, Value));
  SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
}

String TCustomEdit::GetSelText() {
  auto start = static_cast<size_t>(GetSelStart());
  String text = GetText();
  return start < text.size() ? text.substr(start, static_cast<size_t>(GetSelLength())) : String();
}

void TCustomEdit::SetSelText(const String& Value) {
  SendMessage(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() {
  if (FHandle) SendMessage(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::Undo() { Perform(WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { Perform(EM_EMPTYUNDOBUFFER, 0, 0); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }

void TCustomEdit::Change() {
  TAliveToken alive = AliveToken();
  Changed();
  if (alive && OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
  // A click places the caret itself; keyboard entry selects the whole line.
  if (FAutoSelect && !(FControlState & csLButtonDown) && FHandle &&
      !(static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE)) & ES_MULTILINE))
    SelectAll();
  inherited::DoEnter();
}

void TCustomEdit::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_CTLCOLORSTATIC:
      // A disabled edit shows grey text on button face, whatever its own colours.
      if (GetEnabled()) {
        inherited::Dispatch(Message);
        return;
      }
      SetTextColor(reinterpret_cast<HDC>(Message.WParam), GetSysColor(COLOR_GRAYTEXT));
      SetBkColor(reinterpret_cast<HDC>(Message.WParam), GetSysColor(COLOR_BTNFACE));
      Message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      return;
    case CM_CTL3DCHANGED:
      inherited::Dispatch(Message);
      if (FBorderStyle == bsSingle) RecreateWnd();
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// The memo's lines: with a window they are the window's lines; without one, the text's lines.

namespace {

class TMemoStrings : public TStrings {
  QJ_INLINE_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

  Integer GetCount() const override {
    if (!FMemo->HandleAllocated()) return Snapshot()->GetCount();
    auto n = static_cast<Integer>(Send(EM_GETLINECOUNT, 0, 0));
    if (n > 0 && Send(EM_LINELENGTH, static_cast<WPARAM>(Send(EM_LINEINDEX, static_cast<WPARAM>(n - 1), 0)), 0) == 0) --n;
    return n;
  }

  String Get(Integer Index) const override {
    if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
    if (!FMemo->HandleAllocated()) return Snapshot()->Get(Index);
    LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    auto length = static_cast<size_t>(std::max<LRESULT>(0, Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0)));
    String line(std::max<size_t>(length, sizeof(WORD)) + 1, '\0');
    *reinterpret_cast<WORD*>(line.data()) = static_cast<WORD>(std::min<size_t>(length, 0xFFFF));
    auto copied = static_cast<size_t>(std::max<LRESULT>(0, Send(EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(line.data()))));
    line.resize(std::min(copied, length));
    return line;
  }

  void Put(Integer Index, const String& S) override {
    if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
    if (!FMemo->HandleAllocated()) {
      auto lines = Snapshot();
      lines->Put(Index, S);
      Commit(*lines);
      return;
    }
    LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    Replace(start, start + Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0), S);
  }

  void Insert(Integer Index, const String& S) override {
    Integer count = GetCount();
    if (Index < 0 || Index > count) Error(&SListIndexError, Index);
    if (!FMemo->HandleAllocated()) {
      auto lines = Snapshot();
      lines->Insert(Index, S);
      Commit(*lines);
      return;
    }
    LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    if (start >= 0) {
      Replace(start, start, S + "\r\n");
      return;
    }
    // After a last line without a line break: the break goes first.
    LRESULT previous = Send(EM_LINEINDEX, static_cast<WPARAM>(Index - 1), 0);
    LRESULT end = previous + Send(EM_LINELENGTH, static_cast<WPARAM>(previous), 0);
    Replace(end, end, "\r\n" + S);
  }

  void Delete(Integer Index) override {
    if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
    if (!FMemo->HandleAllocated()) {
      auto lines = Snapshot();
      lines->Delete(Index);
      Commit(*lines);
      return;
    }
    LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    LRESULT end = Send(EM_LINEINDEX, static_cast<WPARAM>(Index + 1), 0);
    if (end < 0) end = start + Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    Replace(start, end, "");
  }

  void Clear() override { FMemo->Clear(); }
  String GetText() const override { return FMemo->GetText(); }
  void SetText(const String& Value) override { FMemo->SetText(UpToNul(Value)); }

 private:
  LRESULT Send(UINT Msg, WPARAM W, LPARAM L) const { return SendMessage(FMemo->GetHandle(), Msg, W, L); }
  static String UpToNul(const String& S) { return S.substr(0, S.find('\0')); }

  void Replace(LRESULT From, LRESULT To, const String& S) const {
    Send(EM_SETSEL, static_cast<WPARAM>(From), To);
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
  }

  TOwned<TStringList> Snapshot() const {
    auto lines = MakeOwned<TStringList>();
    lines->SetText(FMemo->GetText());
    return lines;
  }

  void Commit(const TStringList& Lines) const { FMemo->SetText(Lines.GetText()); }

  TCustomMemo* FMemo;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(MakeOwned<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= ES_MULTILINE;
  if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
  if (FWantReturns) Params.Style |= ES_WANTRETURN;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  RecreateWnd();
}

TPoint TCustomMemo::GetCaretPos() {
  DWORD start = 0, end = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  auto line = static_cast<Integer>(SendMessage(FHandle, EM_LINEFROMCHAR, end, 0));
  auto lineStart = static_cast<Integer>(SendMessage(FHandle, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return {static_cast<Integer>(end) - lineStart, line};
}

void TCustomMemo::SetCaretPos(TPoint Value) {
  LRESULT start = SendMessage(GetHandle(), EM_LINEINDEX, static_cast<WPARAM>(std::max(0, Value.Y)), 0);
  if (start < 0) start = GetWindowTextLength(FHandle);
  LRESULT pos = start + std::max(0, Value.X);
  SendMessage(FHandle, EM_SETSEL, static_cast<WPARAM>(pos), pos);
  SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if ((Key == '\r' && !FWantReturns) || (Key == '\t' && !FWantTabs)) Key = 0;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_GETDLGCODE) {
    inherited::Dispatch(Message);
    return;
  }
  inherited::Dispatch(Message);
  if (FWantTabs)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~DLGC_WANTTAB;
  if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
}
