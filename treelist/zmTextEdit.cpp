// The in-place text editor over the platform's edit window, and the drawing of a text cell.
#include "treelist/zmTextEdit.h"

#include <algorithm>
#include <climits>

#include "platform/forms/Menus.h"
#include "platform/os/Clipboard.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TzmTextEditViewData)
QJ_IMPLEMENT_CLASS(TzmInplaceTextEdit)
QJ_IMPLEMENT_CLASS(TzmInplaceTreeListTextEdit)

const TResourceString SzmMenuUndo = {38949, "&Undo"};
const TResourceString SzmMenuRedo = {38950, "&Redo"};
const TResourceString SzmMenuCut = {38952, "Cu&t"};
const TResourceString SzmMenuCopy = {38953, "&Copy"};
const TResourceString SzmMenuPaste = {38954, "&Paste"};
const TResourceString SzmMenuDelete = {38955, "&Delete"};
const TResourceString SzmMenuSelectAll = {38956, "Select &All"};

namespace {

TzmUnitCounter TextEditUnitCounter;

// The context menu's items: their captions and click tags, in menu order (0: a separator).
struct TMenuEntry {
  const TResourceString* Caption;
  Integer Tag;
};
constexpr Integer kSeparatorTag = INT_MAX;
constexpr Integer kUndoTag = -1, kRedoTag = -2, kCutTag = -3, kCopyTag = -4, kPasteTag = -5, kDeleteTag = -6,
                  kSelectAllTag = -7;
const TMenuEntry kMenuEntries[] = {{&SzmMenuUndo, kUndoTag},     {&SzmMenuRedo, kRedoTag},
                                   {nullptr, kSeparatorTag},     {&SzmMenuCut, kCutTag},
                                   {&SzmMenuCopy, kCopyTag},     {&SzmMenuPaste, kPasteTag},
                                   {&SzmMenuDelete, kDeleteTag}, {nullptr, kSeparatorTag},
                                   {&SzmMenuSelectAll, kSelectAllTag}};
constexpr size_t kMenuEntryCount = sizeof(kMenuEntries) / sizeof(kMenuEntries[0]);
String CachedCaptions[kMenuEntryCount];

String MenuCaption(size_t Index) {
  if (CachedCaptions[Index].empty()) return LoadResString(kMenuEntries[Index].Caption);
  return CachedCaptions[Index];
}

constexpr Integer kSelectionBarWidth = 8;
constexpr WPARAM kBackspace = 0x08, kCtrlBackspace = 0x7F, kCtrlV = 0x16, kCtrlX = 0x18, kCtrlZ = 0x1A;
constexpr DWORD kCaseStyles = ES_UPPERCASE | ES_LOWERCASE;

DWORD AlignmentStyle(TAlignment Value) {
  switch (Value) {
    case taRightJustify: return ES_RIGHT;
    case taCenter: return ES_CENTER;
    default: return ES_LEFT;
  }
}

TzmCellTextFlags LayoutFlags(Byte TextLayout) {
  switch (TextLayout) {
    case 1: return zmctVCenter;
    case 2: return zmctBottom;
    case 3: return zmctWordWrap;
    default: return 0;
  }
}

TzmCellTextFlags AlignmentFlags(TAlignment Value) {
  switch (Value) {
    case taRightJustify: return zmctRight;
    case taCenter: return zmctCenter;
    default: return 0;
  }
}

// Messages after which the window's selection may have moved.
bool MayMoveSelection(UINT Msg) {
  return (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST) || (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) ||
         (Msg > EM_GETSEL && Msg <= EM_CHARFROMPOS) || (Msg >= WM_CUT && Msg <= WM_UNDO) || Msg == WM_SETTEXT ||
         Msg == WM_TIMER;
}

}  // namespace

void zmEditorStart() {
  if (!TextEditUnitCounter.Start()) return;
  for (size_t i = 0; i < kMenuEntryCount; ++i)
    if (kMenuEntries[i].Caption) CachedCaptions[i] = LoadResString(kMenuEntries[i].Caption);
}

void zmEditorEnd() {
  if (!TextEditUnitCounter.End()) return;
  for (String& caption : CachedCaptions) caption.clear();
}

String ConvertCharCase(const String& Text, TEditCharCase CharCase) {
  switch (CharCase) {
    case ecUpperCase: return AnsiUpperCase(Text);
    case ecLowerCase: return AnsiLowerCase(Text);
    default: return Text;
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing a text cell

TzmEditViewDataClass TzmInplaceTextEditClassOps::GetViewDataClass() const {
  return &TzmTextEditViewData::StaticClass();
}

bool TzmInplaceTextEditClassOps::DrawContent(HDC DC, const TRect& Rect, TzmEditViewData* ViewData,
                                             bool AFromWindow) const {
  if (ViewData->HasTextArea && AFromWindow) return false;
  auto* v = As<TzmTextEditViewData>(ViewData);
  String text = VarToStr(ViewData->DrawValue);
  if (ViewData->TextLength == 0) ViewData->TextLength = Length(text);
  TzmCellTextFlags flags = AlignmentFlags(ViewData->HorzAlignment) | LayoutFlags(ViewData->TextLayout);
  TRect r = Rect;
  bool standalone = ViewData->StandaloneFrame;
  if (v) {
    text = ConvertCharCase(text, v->CharCase);
    if (v->PasswordChar && !text.empty()) text.assign(text.size(), v->PasswordChar);
    if (v->HasSelectionBar) r.Left += kSelectionBarWidth;
    if (v->UsesEndEllipsis) flags |= zmctEndEllipsis;
  }
  const TRect& m = ViewData->ContentMargins;
  if (standalone) {
    r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  } else {
    r = {r.Left + 1 + m.Left, r.Top + 1 + m.Top, r.Right - 1 - m.Right, r.Bottom - 1};
    if (ViewData->HorzAlignment == taRightJustify) --r.Right;
  }
  if (standalone && ViewData->IsFocused) flags |= zmctFocusRect;
  if (ViewData->IsTransparent) flags |= zmctTransparent;
  if (ViewData->TransparentText) flags |= zmctKeepBkMode;
  if (!ViewData->MeasureOnly) {
    DrawCellText(DC, text, ViewData->TextLength, Rect, r, flags, ViewData->BrushHandle, ViewData->FontHandle,
                 ViewData->BackColor, ViewData->ForeColor);
    return true;
  }
  ViewData->LineCount = 0;
  ViewData->LineHeight = 0;
  ViewData->TextHeight = DrawCellText(DC, text, ViewData->TextLength, Rect, r, flags | zmctMeasure, ViewData->BrushHandle,
                                      ViewData->FontHandle, ViewData->BackColor, ViewData->ForeColor,
                                      &ViewData->LineHeight);
  if (ViewData->TextHeight != 0) ViewData->TextHeight -= standalone ? 2 : m.Top + 2;
  if (ViewData->LineHeight != 0) ViewData->LineCount = ViewData->TextHeight / ViewData->LineHeight;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TzmInplaceTextEdit

TzmInplaceTextEdit::TzmInplaceTextEdit(TComponent* AOwner) : TzmInplaceEdit(AOwner) {
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks;
  SetParentColor(false);
}

const TzmInplaceEditClassOps& TzmInplaceTextEdit::ClassOps() {
  static const TzmInplaceTextEditClassOps ops;
  return ops;
}

LRESULT TzmInplaceTextEdit::SendToWindow(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return HandleAllocated() ? SendMessage(FHandle, Msg, WParam, LParam) : 0;
}

void TzmInplaceTextEdit::Loaded() {
  inherited::Loaded();
  ApplyCharCase();
}

void TzmInplaceTextEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!HasTextInput()) {
    Params.WinClassName = ClassName() + "NoEdit";
    return;
  }
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | AlignmentStyle(GetAlignment());
  if (!IsEditable()) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
}

void TzmInplaceTextEdit::CreateWnd() {
  {
    TValueScope creating(FCreating, true, AliveToken());
    inherited::CreateWnd();
  }
  ApplyMaxLength(FMaxLength);
  if (FPasswordChar) SendToWindow(EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar));
  UpdateFormatRect();
  SetModified(FStoredModified);
}

void TzmInplaceTextEdit::DestroyWnd() {
  FStoredModified = GetModified();
  inherited::DestroyWnd();
}

bool TzmInplaceTextEdit::GetModified() {
  if (HandleAllocated()) return SendToWindow(EM_GETMODIFY) != 0;
  return FStoredModified;
}

void TzmInplaceTextEdit::SetModified(bool Value) {
  if (HandleAllocated())
    SendToWindow(EM_SETMODIFY, Value);
  else
    FStoredModified = Value;
}

void TzmInplaceTextEdit::SetEditValue(const Variant& Value) {
  {
    TValueScope assigning(FAssigningText, true, AliveToken());
    inherited::SetEditValue(Value);
  }
  EmptyUndoBuffer();
}

void TzmInplaceTextEdit::LoadDataDefaults() {
  inherited::LoadDataDefaults();
  if (!(GetStoredValues() & zmsvMaxLength)) SetMaxLength(GetDefaultMaxLength());
  SendToWindow(EM_SETREADONLY, !IsEditable());
}

void TzmInplaceTextEdit::RestoreDefaults() {
  inherited::RestoreDefaults();
  SetMaxLength(GetDefaultMaxLength());
}

void TzmInplaceTextEdit::SetReadOnly(bool Value) {
  inherited::SetReadOnly(Value);
  SendToWindow(EM_SETREADONLY, !IsEditable());
}

TOwned<TzmEditViewData> TzmInplaceTextEdit::CreateViewData(bool AFromData) {
  TOwned<TzmEditViewData> viewData = inherited::CreateViewData(AFromData);
  if (auto* v = As<TzmTextEditViewData>(viewData.get())) {
    v->CharCase = FCharCase;
    v->PasswordChar = FPasswordChar;
    v->HasSelectionBar = FHasSelectionBar;
    v->StandaloneFrame = !IsInplace() && !v->HasTextArea;
  }
  return viewData;
}

// ---------------------------------------------------------------------------------------------
// Settings

void TzmInplaceTextEdit::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  if (HandleAllocated()) {
    auto style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE)) & ~kCaseStyles;
    if (Value == ecUpperCase) style |= ES_UPPERCASE;
    if (Value == ecLowerCase) style |= ES_LOWERCASE;
    SetWindowLong(FHandle, GWL_STYLE, static_cast<LONG>(style));
  }
  ApplyCharCase();
}

void TzmInplaceTextEdit::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TzmInplaceTextEdit::SetMaxLength(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FMaxLength) return;
  FMaxLength = Value;
  ApplyMaxLength(Value);
}

void TzmInplaceTextEdit::SetStoredMaxLength(Integer Value) {
  SetStoredValues(GetStoredValues() | zmsvMaxLength);
  SetMaxLength(Value);
}

void TzmInplaceTextEdit::ApplyMaxLength(Integer Value) { SendToWindow(EM_LIMITTEXT, static_cast<WPARAM>(Value)); }

void TzmInplaceTextEdit::SetOEMConvert(bool Value) {
  if (Value == FOEMConvert) return;
  FOEMConvert = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TzmInplaceTextEdit::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  if (!HandleAllocated()) return;
  SendToWindow(EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value));
  Invalidate();
}

void TzmInplaceTextEdit::SetHasSelectionBar(bool Value) {
  if (Value == FHasSelectionBar) return;
  FHasSelectionBar = Value;
  UpdateFormatRect();
}

// The text in the configured case; the selection and the modified state stay as they were.
void TzmInplaceTextEdit::ApplyCharCase() {
  if (FCharCase == ecNormal) return;
  String text = GetText();
  String converted = ConvertCharCase(text, FCharCase);
  if (converted == text) return;
  TValueScope changing(FCharCaseChanging, true, AliveToken());
  Integer start = 0, end = 0;
  bool window = HandleAllocated();
  if (window) GetSel(start, end);
  bool modified = GetModified();
  {
    TFinally keepModified([&] { SetModified(modified); });
    SetText(converted);
  }
  if (window) SetSel(std::min(start, Length(converted)), std::min(end, Length(converted)));
}

// The formatting rectangle: the client area inset by 1, past the selection bar, inside the
// content margins.
void TzmInplaceTextEdit::UpdateFormatRect() {
  if (!HandleAllocated()) return;
  TRect r = GetClientRect();
  r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  if (FHasSelectionBar) r.Left += kSelectionBarWidth;
  if (GetAlignment() == taRightJustify) --r.Right;
  const TRect& m = GetContentMargins();
  r = {r.Left + m.Left, r.Top + m.Top, r.Right - m.Right, r.Bottom};
  SendToWindow(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

// ---------------------------------------------------------------------------------------------
// Selection and clipboard

void TzmInplaceTextEdit::GetSel(Integer& Start, Integer& End) {
  DWORD s = 0, e = 0;
  SendToWindow(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  Start = static_cast<Integer>(s);
  End = static_cast<Integer>(e);
}

void TzmInplaceTextEdit::SetSel(Integer Start, Integer End) {
  SendToWindow(EM_SETSEL, static_cast<WPARAM>(Start), End);
}

Integer TzmInplaceTextEdit::GetSelStart() {
  Integer start = 0, end = 0;
  GetSel(start, end);
  return start;
}

Integer TzmInplaceTextEdit::GetSelLength() {
  Integer start = 0, end = 0;
  GetSel(start, end);
  return end - start;
}

void TzmInplaceTextEdit::SetSelStart(Integer Value) { SetSel(Value, Value); }

void TzmInplaceTextEdit::SetSelLength(Integer Value) {
  Integer start = GetSelStart();
  SetSel(start, start + Value);
}

void TzmInplaceTextEdit::GetSelText(String& Text) {
  Integer start = 0, end = 0;
  GetSel(start, end);
  Text = Copy(GetText(), start + 1, end - start);
}

Integer TzmInplaceTextEdit::GetSelTextBuf(char* Buffer, Integer BufSize) {
  String text;
  GetSelText(text);
  Integer count = std::clamp(Length(text), 0, std::max(0, BufSize));
  std::copy_n(text.data(), count, Buffer);
  return count;
}

void TzmInplaceTextEdit::SelectAll() { SetSel(0, -1); }

void TzmInplaceTextEdit::CaretToEnd() {
  Integer length = GetTextLength();
  SetSel(length, length);
}

void TzmInplaceTextEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TzmInplaceTextEdit::CopySelection() { Perform(WM_COPY, 0, 0); }
void TzmInplaceTextEdit::CutSelection() { Perform(WM_CUT, 0, 0); }
void TzmInplaceTextEdit::PasteText() { Perform(WM_PASTE, 0, 0); }

// The window keeps one undo step that swaps the text back and forth: after an undo the same step
// redoes.
void TzmInplaceTextEdit::Undo() {
  if (!CanUndo()) return;
  TValueScope undoing(FUndoing, true, AliveToken());
  SendToWindow(EM_UNDO);
  FUndone = true;
}

void TzmInplaceTextEdit::Redo() {
  if (!CanRedo()) return;
  TValueScope undoing(FUndoing, true, AliveToken());
  SendToWindow(EM_UNDO);
  FUndone = false;
}

void TzmInplaceTextEdit::EmptyUndoBuffer() {
  SendToWindow(EM_EMPTYUNDOBUFFER);
  FUndone = false;
}

bool TzmInplaceTextEdit::CanUndo() { return !FUndone && SendToWindow(EM_CANUNDO) != 0; }

bool TzmInplaceTextEdit::CanRedo() { return FUndone && SendToWindow(EM_CANUNDO) != 0; }

bool TzmInplaceTextEdit::CanPaste() {
  return HandleAllocated() && IsEditable() && IsClipboardFormatAvailable(CF_TEXT);
}

Integer TzmInplaceTextEdit::GetTextLength() { return static_cast<Integer>(SendToWindow(WM_GETTEXTLENGTH)); }

bool TzmInplaceTextEdit::HasPopupMenu() {
  for (TControl* c = this; c; c = c->GetParent())
    if (c->GetPopupMenu()) return true;
  return false;
}

void TzmInplaceTextEdit::DoSelChange() {
  if (OnSelChange) OnSelChange(this);
}

// ---------------------------------------------------------------------------------------------
// Context menu

void TzmInplaceTextEdit::BuildContextMenu() {
  FContextMenu = New<TPopupMenu>(this);
  for (size_t i = 0; i < kMenuEntryCount; ++i) {
    TMenuItem* item = kMenuEntries[i].Caption
                          ? NewItem(MenuCaption(i), 0, false, true, [this](TObject* s) { ContextMenuClick(s); })
                          : NewLine();
    item->SetTag(kMenuEntries[i].Tag);
    FContextMenu->GetItems()->Add(item);
  }
}

void TzmInplaceTextEdit::UpdateContextMenu() {
  Integer start = 0, end = 0;
  GetSel(start, end);
  bool selected = end > start;
  TMenuItem* items = FContextMenu->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TMenuItem* item = items->GetItem(i);
    switch (item->GetTag()) {
      case kUndoTag: item->SetEnabled(CanUndo()); break;
      case kRedoTag: item->SetEnabled(CanRedo()); break;
      case kCutTag: item->SetEnabled(selected && IsEditable() && !FPasswordChar); break;
      case kCopyTag: item->SetEnabled(selected && !FPasswordChar); break;
      case kPasteTag: item->SetEnabled(CanPaste()); break;
      case kDeleteTag: item->SetEnabled(selected && IsEditable()); break;
      case kSelectAllTag: item->SetEnabled(end - start != GetTextLength()); break;
      default: break;
    }
  }
}

void TzmInplaceTextEdit::ContextMenuClick(TObject* Sender) {
  switch (static_cast<TComponent*>(Sender)->GetTag()) {
    case kSelectAllTag: SelectAll(); break;
    case kDeleteTag: ClearSelection(); break;
    case kPasteTag: PasteText(); break;
    case kCopyTag: CopySelection(); break;
    case kCutTag: CutSelection(); break;
    case kRedoTag: Redo(); break;
    case kUndoTag: Undo(); break;
    default: break;
  }
}

// At the point of a mouse request (nothing outside the client area), or at the caret for the
// keyboard's request (-1).
void TzmInplaceTextEdit::ShowContextMenu(LPARAM Position) {
  TRect client = GetClientRect();
  TPoint at{GET_X_LPARAM(Position), GET_Y_LPARAM(Position)};
  if (Position == -1) {
    POINT caret;
    GetCaretPos(&caret);
    at = ClientToScreen({std::min(caret.X, client.Right), caret.Y});
  } else if (!client.Contains(ScreenToClient(at))) {
    return;
  }
  if (!FContextMenu) BuildContextMenu();
  UpdateContextMenu();
  FContextMenu->Popup(at.X, at.Y);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TzmInplaceTextEdit::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) != EN_CHANGE || HasState(csLoading) || FCharCaseChanging) return;
  if (!FUndoing) FUndone = false;
  TAliveToken alive = AliveToken();
  ApplyCharCase();
  if (alive && !FCreating && !FAssigningText) Change();
}

void TzmInplaceTextEdit::CMTextChanged(TMessage& M) {
  bool quiet = HasState(csLoading) || FCreating || FAssigningText;
  if (HasTextInput()) {
    inherited::Dispatch(M);
    if (!HandleAllocated() && !quiet) Change();
    return;
  }
  if (HasState(csLoading) || FCharCaseChanging) return;
  TAliveToken alive = AliveToken();
  ApplyCharCase();
  if (alive && !FCreating && !FAssigningText) Change();
  if (alive) InvalidateEdit();
}

void TzmInplaceTextEdit::WMSize(TMessage& M) {
  inherited::Dispatch(M);
  UpdateFormatRect();
}

// The right button's release asks for the context menu (at the screen point).
void TzmInplaceTextEdit::WMRButtonUp(TMessage& M) {
  POINT p = ClientToScreen({GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)});
  PostMessage(FHandle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle),
              MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)));
}

// A press on an editor that did not take the focus must not keep the mouse.
void TzmInplaceTextEdit::WMMouseButton(TMessage& M) {
  if (HasState(csDesigning) || Dragging() || !HandleAllocated() || GetFocus() == FHandle) return;
  if (M.Msg == WM_MBUTTONDOWN) PostMessage(FHandle, WM_MBUTTONUP, M.WParam, M.LParam);
  ReleaseCapture();
}

void TzmInplaceTextEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_CHAR && FCharCase != ecNormal) {
    char ch = static_cast<char>(Message.WParam);
    ch = FCharCase == ecUpperCase ? AnsiUpperChar(ch) : AnsiLowerChar(ch);
    Message.WParam = static_cast<unsigned char>(ch);
  }
  bool watch = FMessageDepth == 0 && HandleAllocated() && MayMoveSelection(Message.Msg);
  TAliveToken alive = AliveToken();
  Integer start = 0, end = 0;
  {
    TCounterScope depth(FMessageDepth, alive);
    if (watch) GetSel(start, end);
    inherited::WndProc(Message);
  }
  if (!alive) return;
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN)
    WMMouseButton(Message);
  if (!alive || !watch || !HandleAllocated() || HasState(csLoading)) return;
  Integer newStart = 0, newEnd = 0;
  ++FMessageDepth;
  GetSel(newStart, newEnd);
  --FMessageDepth;
  if (newStart != start || newEnd != end) DoSelChange();
}

void TzmInplaceTextEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND: CNCommand(M); return;
    case CM_TEXTCHANGED: CMTextChanged(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_RBUTTONUP: WMRButtonUp(M); return;
    case WM_CHAR:
      // The clipboard and undo keys go through the editor's own gated operations.
      switch (M.WParam) {
        case kBackspace:
        case kCtrlBackspace:
          // The edit window deletes on these characters: only when the cell may change.
          if (!CanModify()) return;
          break;
        case kCtrlV: PasteText(); return;
        case kCtrlX: CutSelection(); return;
        case kCtrlZ:
          if (!CanModify()) return;
          if (CanUndo())
            Undo();
          else
            Redo();
          return;
        default: break;
      }
      break;
    case CM_ENTER:
      if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
      break;
    case WM_GETDLGCODE:
      inherited::Dispatch(M);
      if (!IsInplace()) M.Result &= ~DLGC_WANTARROWS;
      return;
    default: break;
  }
  inherited::Dispatch(M);
}

// The edit window's own context menu is not used: the request goes up to a parent with a popup
// menu, else the editor shows its menu.
void TzmInplaceTextEdit::DefaultHandler(TMessage& Message) {
  if (Message.Msg != WM_CONTEXTMENU || !HasTextInput() || !HandleAllocated()) return inherited::DefaultHandler(Message);
  if (HasPopupMenu()) {
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  ShowContextMenu(Message.LParam);
  Message.Result = 1;
}
