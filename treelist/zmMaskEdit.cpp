// The in-place mask editor: overwrite editing on the mask's input positions, validation of the
// required positions, and the clipboard on a text of fixed length.
#include "treelist/zmMaskEdit.h"

#include <algorithm>

#include "platform/os/Clipboard.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"
#include "treelist/zmCntner.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TzmInplaceMaskEdit)
QJ_IMPLEMENT_CLASS(TzmInplaceTreeListMaskEdit)

const TResourceString SzmMaskEditInvalidInput = {38961, "Invalid input value.  Use escape key to abandon changes"};

namespace {

constexpr WPARAM kPasteChar = 0x16;  // WM_CHAR of Ctrl+V
constexpr char kCtrlC = '\x03';

}  // namespace

// ---------------------------------------------------------------------------------------------
// Mask and value

void TzmInplaceMaskEdit::SetEditMask(const String& Value) {
  if (Value == FEditMask) return;
  if (HasState(csDesigning) && !Value.empty() && !HasState(csLoading)) SetText("");
  Integer selStart = HandleAllocated() ? GetSelStart() : 0;
  String inputs = StripLiterals(GetText());
  FEditMask = Value;
  FMaxChars = MaskOffsetToTextOffset(Value, Length(Value));
  FSavesLiterals = MaskSavesLiterals(Value);
  FBlank = MaskBlankChar(Value);
  String formatted = FormatMaskText(Value, inputs, FBlank);
  if (formatted != GetText()) SetText(formatted);
  SetMaxLength(0);
  if (HandleAllocated() && Focused() && !HasState(csDesigning)) SetCursor(selStart);
  if (HandleAllocated()) RecreateWnd();
}

void TzmInplaceMaskEdit::SetStoredEditMask(const String& Value) {
  SetStoredValues(GetStoredValues() | zmsvEditMask);
  SetEditMask(Value);
}

Integer TzmInplaceMaskEdit::GetMaxChars() { return IsMasked() ? FMaxChars : Length(GetText()); }

void TzmInplaceMaskEdit::SetMaxLength(Integer Value) { inherited::SetMaxLength(IsMasked() ? FMaxChars : Value); }

Integer TzmInplaceMaskEdit::GetDefaultMaxLength() { return IsMasked() ? FMaxChars : inherited::GetDefaultMaxLength(); }

void TzmInplaceMaskEdit::LoadDataDefaults() {
  inherited::LoadDataDefaults();
  if (GetStoredValues() & zmsvEditMask) return;
  String mask;
  GetDefaultEditMask(mask);
  SetEditMask(mask);
}

String TzmInplaceMaskEdit::StripLiterals(const String& Text) {
  if (!IsMasked()) return Text;
  String result = Text;
  Integer offset = 0;
  for (Integer i = 1; i <= Length(FEditMask) && offset < Length(result); ++i) {
    TzmMaskCharType type = MaskCharType(FEditMask, i);
    if (IsMaskLiteralType(type))
      result.erase(static_cast<size_t>(offset), 1);
    else if (IsMaskInput(type))
      ++offset;
  }
  if (MaskDirectives(FEditMask, 1) & mdReverseDir)
    result.erase(0, std::min(result.size(), result.find_first_not_of(FBlank)));
  else
    result.erase(result.find_last_not_of(FBlank) + 1);
  if (FBlank != ' ') std::replace(result.begin(), result.end(), FBlank, ' ');
  return result;
}

String TzmInplaceMaskEdit::GetMaskedText() {
  if (!IsMasked()) return GetText();
  String inputs = StripLiterals(GetText());
  return FSavesLiterals ? FormatMaskText(FEditMask, inputs, ' ') : inputs;
}

void TzmInplaceMaskEdit::SetMaskedText(const String& Value) {
  if (!IsMasked()) return SetText(Value);
  String text = FSavesLiterals ? PadMaskLiterals(FEditMask, Value, FBlank) : FormatMaskText(FEditMask, Value, FBlank);
  if (text != GetText()) SetText(text);
  CheckCursor();
}

String TzmInplaceMaskEdit::GetEmptyText() {
  String text = FormatMaskText(FEditMask, "", FBlank);
  BlankSelection(text, 0, Length(text));
  return text;
}

void TzmInplaceMaskEdit::SetEditValue(const Variant& Value) {
  if (!IsMasked()) return inherited::SetEditValue(Value);
  {
    TValueScope assigning(AssigningTextFlag(), true, AliveToken());
    SetMaskedText(Value.IsNull() ? String() : VarToStr(Value));
  }
  EmptyUndoBuffer();
}

void TzmInplaceMaskEdit::GetEditValue(Variant& Value) { Value = GetMaskedText(); }

void TzmInplaceMaskEdit::GetDisplayText(String& Text) {
  if (FIgnoreMaskBlank)
    Text = GetText();
  else if (IsMasked())
    Text = GetText() == GetEmptyText() ? String() : GetMaskedText();
  else
    inherited::GetDisplayText(Text);
}

bool TzmInplaceMaskEdit::IsCloseLocked() { return GetModified() && inherited::IsCloseLocked(); }

// ---------------------------------------------------------------------------------------------
// Validation

bool TzmInplaceMaskEdit::IsTextValid(const String& Text, Integer& ErrorOffset) {
  Integer offset = 0;
  for (Integer i = 1; i <= Length(FEditMask); ++i) {
    TzmMaskCharType type = MaskCharType(FEditMask, i);
    if (IsMaskLiteralType(type) || type == mcMaskOpt) {
      ++offset;
      continue;
    }
    if (type != mcMask) continue;
    char ch = offset < Length(Text) ? Text[static_cast<size_t>(offset)] : FBlank;
    bool blank = ch == FBlank && !FIgnoreMaskBlank;
    bool space = ch == ' ' && FEditMask[static_cast<size_t>(i - 1)] != 'C';
    if (blank || space) {
      ErrorOffset = offset;
      return false;
    }
    ++offset;
  }
  return true;
}

void TzmInplaceMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EzmEditInvalidInput(LoadResString(&SzmMaskEditInvalidInput));
}

void TzmInplaceMaskEdit::ValidateEdit() {
  if (!IsMasked()) return inherited::ValidateEdit();
  if (GetValidateLock() > 0) return;
  Integer errorOffset = 0;
  if (!GetModified() || IsTextValid(GetText(), errorOffset)) {
    CheckCursor();
    return inherited::ValidateEdit();
  }
  if (GetClosing()) return CancelEdit();
  if (!HasState(csDesigning)) {
    FReEnter = true;
    if (HandleAllocated() && IsWindowVisible(FHandle) && GetFocus() != FHandle) ::SetFocus(FHandle);
  }
  SetCursor(errorOffset);
  ValidateError();
}

// ---------------------------------------------------------------------------------------------
// Caret

void TzmInplaceMaskEdit::GetSelRange(Integer& Start, Integer& Stop) {
  Start = Stop = 0;
  if (HasTextInput()) GetSel(Start, Stop);
}

// The edit window keeps an anchor and an active end: the anchor after the character, the caret
// before it.
void TzmInplaceMaskEdit::SetCursor(Integer Offset) {
  if (!HandleAllocated()) return;
  if (!IsMasked()) {
    Offset = std::clamp(Offset, 0, GetTextLength());
    SetSel(Offset, Offset);
    FCaretPos = Offset;
    return;
  }
  Offset = std::max(0, Offset);
  Integer stop = Offset + 1;
  if (Offset >= FMaxChars) Offset = stop = FMaxChars;
  SetSel(stop, Offset);
  FCaretPos = Offset;
}

void TzmInplaceMaskEdit::CheckCursor() {
  if (!IsMasked() || !HandleAllocated()) return;
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  if (start == stop) SetCursor(start);
}

Integer TzmInplaceMaskEdit::NextInputPos(Integer Offset) {
  while (Offset < FMaxChars && IsMaskLiteral(FEditMask, Offset)) ++Offset;
  return Offset;
}

Integer TzmInplaceMaskEdit::PrevInputPos(Integer Offset) {
  while (Offset >= 0 && IsMaskLiteral(FEditMask, Offset)) --Offset;
  return Offset < 0 ? NextInputPos(0) : Offset;
}

void TzmInplaceMaskEdit::CursorDec(Integer Offset) { SetCursor(PrevInputPos(Offset - 1)); }

// When only literals follow, the cursor stays where it is.
void TzmInplaceMaskEdit::CursorInc(Integer Offset, Integer Step) {
  Integer next = NextInputPos(Offset + Step);
  SetCursor(next >= FMaxChars && next > Offset + Step ? Offset : next);
}

// ---------------------------------------------------------------------------------------------
// Editing helpers

bool TzmInplaceMaskEdit::CharFitsMask(char& Ch, Integer MaskPosition) {
  TzmMaskCharType type = MaskCharType(FEditMask, MaskPosition);
  char maskChar = type == mcNone ? '\0' : FEditMask[static_cast<size_t>(MaskPosition - 1)];
  if (IsMaskLiteralType(type)) {
    Ch = MaskSeparatorChar(maskChar);
    return true;
  }
  if (!IsMaskInput(type)) return false;
  TzmMaskDirectives directives = MaskDirectives(FEditMask, MaskPosition);
  auto applyCase = [&] {
    if (directives & mdUpperCase) Ch = AnsiUpperChar(Ch);
    else if (directives & mdLowerCase) Ch = AnsiLowerChar(Ch);
    return true;
  };
  switch (maskChar) {
    case '#': return IsDigitChar(Ch) || Ch == ' ' || Ch == '+' || Ch == '-';
    case '0':
    case '9': return IsDigitChar(Ch);
    case 'A':
    case 'a': return (IsAnsiLetter(Ch) || IsDigitChar(Ch)) && applyCase();
    case 'L':
    case 'l': return IsAnsiLetter(Ch) && applyCase();
    default: return applyCase();  // "C", "c": any character
  }
}

Integer TzmInplaceMaskEdit::FindLiteral(Integer MaskPosition, char Ch) {
  for (Integer i = MaskPosition; i <= Length(FEditMask); ++i) {
    TzmMaskCharType type = MaskCharType(FEditMask, i);
    if (IsMaskInput(type) || type == mcDirective) continue;
    if (IsMaskLiteralType(type) && MaskSeparatorChar(FEditMask[static_cast<size_t>(i - 1)]) == Ch) return i + 1;
    return 0;
  }
  return 0;
}

bool TzmInplaceMaskEdit::InputChar(char& Ch, Integer Offset) {
  if (!IsMasked()) return true;
  Integer position = TextOffsetToMaskOffset(FEditMask, Offset);
  if (position > 0) {
    if (CharFitsMask(Ch, position)) return true;
    if (Integer after = IsMaskInput(MaskCharType(FEditMask, position)) ? FindLiteral(position, Ch) : 0) {
      SetCursor(MaskOffsetToTextOffset(FEditMask, after - 1));
      return false;
    }
  }
  MessageBeep(0);
  return false;
}

void TzmInplaceMaskEdit::BlankSelection(String& Text, Integer Start, Integer Count) {
  for (Integer offset = Start; offset < Start + Count && offset < Length(Text); ++offset)
    if (offset >= 0 && !IsMaskLiteral(FEditMask, offset)) Text[static_cast<size_t>(offset)] = FBlank;
}

Integer TzmInplaceMaskEdit::InputString(String& Text, const String& Str, Integer Start) {
  Integer offset = Start;
  size_t next = 0;
  Integer limit = std::min(FMaxChars, Length(Text));
  while (next < Str.size() && offset < limit) {
    Integer position = TextOffsetToMaskOffset(FEditMask, offset);
    char ch = Str[next];
    if (IsMaskLiteralType(MaskCharType(FEditMask, position))) {
      char literal = MaskSeparatorChar(FEditMask[static_cast<size_t>(position - 1)]);
      if (ch == literal) ++next;  // otherwise the character moves on past the literal
      ch = literal;
    } else {
      if (!CharFitsMask(ch, position)) ch = FBlank;
      ++next;
    }
    Text[static_cast<size_t>(offset++)] = ch;
  }
  return offset;
}

// The masked text keeps its length: a replacement of another length is not taken.
void TzmInplaceMaskEdit::ReplaceSelection(const String& Text) {
  SendMessage(GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Text.c_str()));
}

void TzmInplaceMaskEdit::SetEditedText(const String& Text) {
  SetText(Text);
  SetModified(true);
}

// ---------------------------------------------------------------------------------------------
// Keys

void TzmInplaceMaskEdit::ArrowKeys(Word Key, TShiftState Shift) {
  if (Shift & ssCtrl) return;
  if (Shift & ssShift) {
    FCaretPos = Key == VK_RIGHT ? std::min(FCaretPos + 1, FMaxChars) : std::max(FCaretPos - 1, 0);
    return;
  }
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  if (stop - start > 1) {
    SetCursor(FCaretPos == stop ? FCaretPos - 1 : FCaretPos);
  } else if (Key == VK_LEFT) {
    CursorDec(start);
  } else if (start == stop) {
    SetCursor(start);
  } else {
    CursorInc(start, 1);
  }
}

void TzmInplaceMaskEdit::HomeEndKeys(Word Key, TShiftState Shift) {
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  bool wide = stop - start > 1;
  if (Key == VK_HOME) {
    if (!(Shift & ssShift)) return SetCursor(0);
    SetSel(wide && FCaretPos == start ? start + 1 : stop, 0);
    CheckCursor();
    FCaretPos = 0;
    return;
  }
  if (!(Shift & ssShift)) return SetCursor(FMaxChars);
  SetSel(wide && FCaretPos == stop ? stop - 1 : start, FMaxChars);
  CheckCursor();
  FCaretPos = FMaxChars;
}

void TzmInplaceMaskEdit::DeleteKeys(Word Key) {
  if (!IsEditable()) return;
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  if (stop - start <= 1) {
    if (Key == VK_BACK) {
      CursorDec(start);
      Integer moved = 0, movedStop = 0;
      GetSelRange(moved, movedStop);
      if (moved == start) return;
      start = moved;
    }
    stop = std::min(start + 1, FMaxChars);
    if (stop <= start) return;
  }
  String text = GetText();
  BlankSelection(text, start, stop - start);
  SetSel(start, stop);
  ReplaceSelection(text.substr(static_cast<size_t>(start), static_cast<size_t>(stop - start)));
  SetCursor(stop - start == 1 ? start : NextInputPos(start));
}

void TzmInplaceMaskEdit::MaskedKeyDown(Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKeys(Key, Shift);
      if (!(Shift & (ssShift | ssCtrl))) Key = 0;
      return;
    case VK_UP:
    case VK_DOWN: Key = 0; return;
    case VK_HOME:
    case VK_END:
      HomeEndKeys(Key, Shift);
      Key = 0;
      return;
    case VK_DELETE:
      if (Shift & (ssShift | ssCtrl)) break;
      [[fallthrough]];
    case VK_BACK:
      if (CanModify()) DeleteKeys(Key);
      Key = 0;
      return;
    case 'A':
      if (!(Shift & ssCtrl)) break;
      SelectAll();
      Key = 0;
      RemovePendingMessage(GetHandle(), WM_CHAR);
      return;
    default: break;
  }
  CheckCursor();
}

void TzmInplaceMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) CancelEdit();
  if (IsInplace() && IsNavigationKey(Key)) ValidateEdit();
  {
    TzmValidateLockScope lock(this);
    if ((Key == 'V' && (Shift & ssCtrl)) || (Key == VK_INSERT && (Shift & ssShift))) {
      PostMessage(GetHandle(), WM_PASTE, 0, 0);
      Key = 0;
    }
    inherited::KeyDown(Key, Shift);
  }
  if (Key && IsMasked() && !(Shift & ssAlt)) MaskedKeyDown(Key, Shift);
}

void TzmInplaceMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
  Word key = Key;
  inherited::KeyUp(Key, Shift);
  if ((key == VK_LEFT || key == VK_RIGHT) && (Shift & ssCtrl)) CheckCursor();
}

void TzmInplaceMaskEdit::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (!IsMasked() || !Key || Key == kCtrlC) return;
  DoInputChar(Key);
  Key = 0;
}

void TzmInplaceMaskEdit::DoInputChar(char Key) {
  if (Key == '\r' && !IsInplace()) ValidateEdit();
  if (static_cast<unsigned char>(Key) < ' ' || !CanModify() || !IsEditable()) return;
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  if (stop - start > 1) {
    DeleteKeys(VK_DELETE);
    SetCursor(NextInputPos(start));
    GetSelRange(start, stop);
  }
  char ch = Key;
  if (!InputChar(ch, start)) return;
  ReplaceSelection(String(1, ch));
  GetSelRange(start, stop);
  CursorInc(start, 0);
}

// ---------------------------------------------------------------------------------------------
// Clipboard and messages

void TzmInplaceMaskEdit::WMPaste() {
  if (!IsEditable() || !CanModify()) return;
  String pasted = GetClipboardText(GetHandle());
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  String text = GetText();
  BlankSelection(text, start, stop - start);
  Integer after = InputString(text, pasted, start);
  SetEditedText(text);
  SetCursor(after);
  ValidateEdit();
}

void TzmInplaceMaskEdit::WMClear() {
  if (!CanModify()) return;
  String text = GetText();
  BlankSelection(text, 0, Length(text));
  SetEditedText(text);
  CheckCursor();
}

void TzmInplaceMaskEdit::WMCut() {
  if (!CanModify()) return;
  CopySelection();
  WMClear();
}

// A text of another length (an edit the mask did not make) is fitted to the mask once.
void TzmInplaceMaskEdit::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) == EN_CHANGE && !GetCreating() && IsMasked() && !FReformatting &&
      GetTextLength() != FMaxChars) {
    TValueScope reformatting(FReformatting, true, AliveToken());
    SetMaskedText(GetMaskedText());
    SetModified(true);
  }
  inherited::Dispatch(M);
}

void TzmInplaceMaskEdit::CMEnter(TMessage& M) {
  if (FReEnter) {
    FReEnter = false;
    TzmInplaceEdit::Dispatch(M);
  } else {
    inherited::Dispatch(M);
  }
  CheckCursor();
}

void TzmInplaceMaskEdit::WMLButtonUp(TMessage& M) {
  inherited::Dispatch(M);
  if (!IsMasked() || !HandleAllocated()) return;
  Integer start = 0, stop = 0;
  GetSelRange(start, stop);
  FCaretPos = stop > start && GET_X_LPARAM(M.LParam) > FPressX ? stop : start;
  CheckCursor();
}

void TzmInplaceMaskEdit::Dispatch(TMessage& M) {
  // The key-down posted the paste already.
  if (M.Msg == WM_CHAR && M.WParam == kPasteChar) return;
  if (!IsMasked()) return inherited::Dispatch(M);
  switch (M.Msg) {
    case WM_PASTE: WMPaste(); return;
    case WM_CLEAR: WMClear(); return;
    case WM_CUT: WMCut(); return;
    case EM_REPLACESEL: {
      Integer start = 0, stop = 0;
      GetSelRange(start, stop);
      auto text = reinterpret_cast<const char*>(M.LParam);
      if (!text || static_cast<Integer>(std::char_traits<char>::length(text)) != stop - start) return;
      break;
    }
    case WM_LBUTTONDOWN: FPressX = static_cast<SmallInt>(GET_X_LPARAM(M.LParam)); break;
    case WM_LBUTTONUP: WMLButtonUp(M); return;
    case WM_SETFOCUS:
      inherited::Dispatch(M);
      CheckCursor();
      return;
    case CM_ENTER: CMEnter(M); return;
    case CM_TEXTCHANGED:
      inherited::Dispatch(M);
      if (HandleAllocated() && IsMaskLiteral(FEditMask, GetSelStart())) SetCursor(NextInputPos(GetSelStart()));
      return;
    case CN_COMMAND: CNCommand(M); return;
    case CM_WANTSPECIALKEY:
      if (M.WParam == VK_ESCAPE && GetModified()) {
        M.Result = 1;
        return;
      }
      break;
    default: break;
  }
  inherited::Dispatch(M);
}
