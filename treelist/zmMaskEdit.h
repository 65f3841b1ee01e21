// The in-place mask editor: the text editor with an edit mask (zmMask.h). While a mask is set the
// text always has the mask's length, editing overwrites one character at a time (one character
// selected, the caret at its left), the caret stays on input positions, typed and pasted
// characters are checked, and the editor keeps the focus while a required position is empty.
// Without a mask it is the text editor.
#pragma once

#include "treelist/zmMask.h"
#include "treelist/zmTextEdit.h"

extern const TResourceString SzmMaskEditInvalidInput;

class TzmInplaceMaskEdit : public TzmInplaceTextEdit {
  QJ_CLASS(TzmInplaceMaskEdit, TzmInplaceTextEdit)
 public:
  explicit TzmInplaceMaskEdit(TComponent* AOwner) : TzmInplaceTextEdit(AOwner) {}

  const String& GetEditMask() const { return FEditMask; }
  // Reformats the input characters under the new mask and recreates the window.
  virtual void SetEditMask(const String& Value);
  // Marks the mask as set explicitly first.
  void SetStoredEditMask(const String& Value);
  virtual void GetDefaultEditMask(String& Mask) { Mask.clear(); }
  bool IsMasked() const { return !FEditMask.empty(); }
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
  char GetBlankChar() const { return FBlank; }
  bool GetSavesLiterals() const { return FSavesLiterals; }
  // The mask's text length, or the text's length without a mask.
  Integer GetMaxChars();
  // The offset of the caret's active end.
  Integer GetCaretPos() const { return FCaretPos; }
  // Set after a failed validation took the focus back, until the editor is entered again.
  bool GetReEnter() const { return FReEnter; }

  // The value: the input characters, with the literals when the mask saves them.
  String GetMaskedText();
  void SetMaskedText(const String& Value);
  // The text with every input position blank.
  String GetEmptyText();
  // Drops the literals, the blanks at the filled end, and shows the other blanks as spaces.
  String StripLiterals(const String& Text);
  // False with the text offset of the first required position that is empty.
  bool IsTextValid(const String& Text, Integer& ErrorOffset);

  // Caret and editing helpers
  virtual void GetSelRange(Integer& Start, Integer& Stop);
  // Selects the character at Offset with the caret at its left (overwrite mode).
  void SetCursor(Integer Offset);
  void CheckCursor();
  Integer NextInputPos(Integer Offset);
  Integer PrevInputPos(Integer Offset);
  void CursorInc(Integer Offset, Integer Step);
  void CursorDec(Integer Offset);
  // Whether Ch may stand at the text offset (converted to the case asked for); typing a literal
  // that follows jumps past it.
  bool InputChar(char& Ch, Integer Offset);
  bool CharFitsMask(char& Ch, Integer MaskPosition);
  // The mask position after the next literal from MaskPosition when it is Ch, else 0.
  Integer FindLiteral(Integer MaskPosition, char Ch);
  void BlankSelection(String& Text, Integer Start, Integer Count);
  // Lays Str into Text from Start along the mask without changing Text's length; the offset after
  // the last character laid in.
  Integer InputString(String& Text, const String& Str, Integer Start);

  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void GetDisplayText(String& Text) override;
  void LoadDataDefaults() override;
  bool IsCloseLocked() override;
  // A masked editor raises EzmEditInvalidInput when a required position is empty (or cancels
  // the edit while the tree list closes it).
  void ValidateEdit() override;
  void SetMaxLength(Integer Value) override;

 protected:
  Integer GetDefaultMaxLength() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void Dispatch(TMessage& Message) override;

  void ArrowKeys(Word Key, TShiftState Shift);
  void HomeEndKeys(Word Key, TShiftState Shift);
  void DeleteKeys(Word Key);
  [[noreturn]] void ValidateError();

 private:
  void DoInputChar(char Key);
  void ReplaceSelection(const String& Text);
  void MaskedKeyDown(Word& Key, TShiftState Shift);
  void WMPaste();
  void WMClear();
  void WMCut();
  void CNCommand(TMessage& M);
  void CMEnter(TMessage& M);
  void WMLButtonUp(TMessage& M);
  void SetEditedText(const String& Text);

  SmallInt FPressX = 0;
  Integer FCaretPos = 0;
  String FEditMask;
  bool FIgnoreMaskBlank = false;
  char FBlank = zmDefaultMaskBlank;
  bool FSavesLiterals = true;
  bool FReEnter = false;
  Integer FMaxChars = 0;
  bool FReformatting = false;  // the change handler is fitting the text to the mask
};

// The mask editor of tree list mask columns.
class TzmInplaceTreeListMaskEdit : public TzmInplaceMaskEdit {
  QJ_CLASS(TzmInplaceTreeListMaskEdit, TzmInplaceMaskEdit)
 public:
  using TzmInplaceMaskEdit::TzmInplaceMaskEdit;
};
