// The mask edit: the text editor with an input mask. Every editing key, paste, cut and focus
// change goes to a mask mode chosen by the mask kind: the classic mode (overwrite editing on the
// classic edit mask, the caret shown as a one-character selection) or one of the two
// regular-expression modes (the text split at the caret into a consumed head and a tail; the
// extended mode also types and removes the literals the pattern forces). Modes are made by a
// factory keyed by the mask kind. Without a mask the mask edit is a plain text edit.
//
// Where the parts live: qvMaskEdit.cpp (properties, control, factory), qvMaskEditModes.cpp (the
// mode base and the classic mode), qvMaskEditRegExprModes.cpp (the regular-expression modes).
#pragma once

#include "editors/qvRegExpr.h"
#include "editors/qvStandardMask.h"
#include "editors/qvTextEdit.h"

class TqvCustomMaskEdit;
class TqvCustomMaskEditProperties;

enum TqvEditMaskKind : Byte { emkStandard, emkRegExpr, emkRegExprEx };
using TqvEditMask = String;

extern const TResourceString sqvMaskEditInvalidEditValue;
extern const TResourceString sqvMaskEditRegExprErrors;

class EqvMaskEditError : public Exception {
  QJ_CLASS(EqvMaskEditError, Exception)
 public:
  using Exception::Exception;
};

// Empty or made only of NUL, TAB, LF, FF, CR and blanks.
bool IsBlankMask(const String& AMask);

// ---------------------------------------------------------------------------------------------
// Modes

// What a mask does with the keys, the caret and the texts of a mask edit. A mode made for
// properties alone (no edit) formats texts and validates them.
class TqvMaskEditCustomMode : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvMaskEditCustomMode, TqvCustomMaskEdit*, TqvCustomMaskEditProperties*>;
  QJ_CLASS(TqvMaskEditCustomMode, TObject)

 public:
  TqvMaskEditCustomMode(TqvCustomMaskEdit* AEdit, TqvCustomMaskEditProperties* AProperties);

  virtual TqvEditMaskKind GetMaskKind() const = 0;
  virtual void AfterPaste() {}
  // Raises EqvMaskEditError for a mask that does not compile.
  virtual void Compile(const String& AMask) = 0;
  virtual String GetEmptyText() = 0;
  // The focused form of a text.
  virtual String GetFormattedText(const String& AText) = 0;
  virtual void PrepareSelectAll() {}
  virtual bool AtLeftEdge() = 0;
  virtual bool AtRightEdge() = 0;
  virtual bool IsTextValid(const String& AText) = 0;
  // The caret or the selection was set from outside the mode.
  virtual void CaretMoved() {}
  virtual void BeforePaste() {}
  // Key handlers: true lets the key go on to the inner edit.
  virtual bool PressBackspace() = 0;
  virtual bool PressDelete() = 0;
  virtual bool PressEnd() = 0;
  virtual bool PressHome() = 0;
  virtual bool PressLeft() = 0;
  virtual bool PressRight() = 0;
  virtual bool PressChar(char& ch) = 0;
  // The control's text was set from outside.
  virtual void TextAssigned(const String&) {}
  // Puts the current value, formatted, into the inner edit.
  virtual void RefreshInnerText();
  // A value held back while the mode had no edit.
  virtual void ApplyPendingValue() {}
  // The unfocused form of a text; also the edit value a display text gives.
  virtual String GetDisplayText(const String& AText) = 0;

  TqvCustomMaskEdit* GetEdit() const { return FEdit; }
  TqvCustomMaskEditProperties* GetProperties() const { return FProperties; }
  void SetProperties(TqvCustomMaskEditProperties* Value) { FProperties = Value; }
  const String& GetMask() const { return FMask; }
  // The length of the text about to replace the selection (0 after the paste).
  void SetPasteLength(Integer Value) {
    FPasteLength = Value;
    FPasteStart = SelStart();
  }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value) { FCharCase = Value; }
  TqvEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TqvEditEchoMode Value) { FEchoMode = Value; }

 protected:
  // The beep of a refused key, with BeepOnError.
  void Beep();
  // An edit is attached and its inner edit exists.
  bool HasUsableEdit() const;
  // The inner edit's text, selection and caret; set through the inner edit, not the edit (no
  // CaretMoved).
  String InnerText() const;
  void SetInnerText(const String& AText);
  Integer SelStart() const;
  Integer SelLength() const;
  Integer CaretIndex() const;
  void SetInnerSelStart(Integer AValue);
  void SetInnerSelLength(Integer AValue);
  // The shift flag the edit keeps for the last editing key.
  bool ShiftFlag() const;
  void ClearShiftFlag();

  String FMask;
  Integer FPasteLength = 0;
  Integer FPasteStart = 0;  // the selection start the paste replaces from
  bool FPendingInitialValue = false;

 private:
  TqvCustomMaskEdit* FEdit;
  TqvCustomMaskEditProperties* FProperties;
  TEditCharCase FCharCase = ecNormal;
  TqvEditEchoMode FEchoMode = eemNormal;
};
using TqvMaskEditModeClass = const TqvMaskEditCustomMode::MetaType*;

// The mode class of a mask kind.
TqvMaskEditModeClass GetMaskEditModeClass(TqvEditMaskKind AKind);
// Replaces the class the factory makes for a kind.
void RegisterMaskEditModeClass(TqvEditMaskKind AKind, TqvMaskEditModeClass AClass);

// Overwrite editing on the classic edit mask: the focused text always has the mask's full
// length, and the caret is a one-character selection that typing replaces.
class TqvMaskEditStandardMode : public TqvMaskEditCustomMode {
  QJ_CLASS(TqvMaskEditStandardMode, TqvMaskEditCustomMode)
 public:
  using TqvMaskEditCustomMode::TqvMaskEditCustomMode;

  TqvEditMaskKind GetMaskKind() const override { return emkStandard; }
  void AfterPaste() override;
  void Compile(const String& AMask) override;
  String GetEmptyText() override { return FStandardMask.GetEmptyText(); }
  String GetFormattedText(const String& AText) override;
  bool AtLeftEdge() override;
  bool AtRightEdge() override;
  bool IsTextValid(const String& AText) override;
  void CaretMoved() override;
  void BeforePaste() override;
  bool PressBackspace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressChar(char& ch) override;
  void TextAssigned(const String&) override { CaretMoved(); }
  void RefreshInnerText() override;
  void ApplyPendingValue() override;
  String GetDisplayText(const String& AText) override;

  const TqvStandardMask& GetStandardMask() const { return FStandardMask; }

 private:
  bool IsLiteral(Integer AIndex) const { return FStandardMask.IsLiteral(AIndex); }
  // The caret as a position: set through the edit (CaretMoved selects the character there).
  void MoveCaret(Integer AIndex);

  TqvStandardMask FStandardMask;
  Integer FSavedSelStart = 0;
};

// Typing checked character by character against a compiled regular expression: the text is
// split at the caret into the head (consumed, the automaton stands after it) and the tail.
class TqvMaskEditRegExprMode : public TqvMaskEditCustomMode {
  QJ_CLASS(TqvMaskEditRegExprMode, TqvMaskEditCustomMode)
 public:
  TqvMaskEditRegExprMode(TqvCustomMaskEdit* AEdit, TqvCustomMaskEditProperties* AProperties);

  TqvEditMaskKind GetMaskKind() const override { return emkRegExpr; }
  void Compile(const String& AMask) override;
  String GetEmptyText() override { return String(); }
  String GetFormattedText(const String& AText) override;
  void PrepareSelectAll() override;
  bool AtLeftEdge() override { return SelStart() == 0; }
  bool AtRightEdge() override;
  bool IsTextValid(const String& AText) override;
  void CaretMoved() override { FResyncNeeded = true; }
  bool PressBackspace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressChar(char& ch) override;
  void TextAssigned(const String& AText) override;
  void RefreshInnerText() override;
  String GetDisplayText(const String& AText) override { return AText; }

  // Takes the selection out of the head or the tail; RestoreSelection puts it back.
  virtual void CutSelection();
  virtual void RestoreSelection();

  TqvRegExpr* GetExpression() const { return FExpression.get(); }
  const String& GetHead() const { return FHead; }
  const String& GetTail() const { return FTail; }

 protected:
  // A compiled expression of the pattern, or nullptr when it does not compile.
  TOwned<TqvRegExpr> CompileTemporary() const;
  virtual void Resync();
  // The tail can follow the head; the automaton ends where it began.
  bool TailFits();
  // Removes the tail from the text; the caret goes to its end.
  void DropTail();
  // Feeds each character of AText; the accepted ones in the case the pattern gave them.
  String Feed(const String& AText);
  void MoveToHead(Integer ACount);  // the first ACount tail characters, fed
  void MoveToTail(Integer ACount);  // the last ACount head characters, stepped back

  TOwned<TqvRegExpr> FExpression;
  String FHead;
  String FTail;
  String FCutSelection;
  bool FCutFromTail = false;
  bool FResyncNeeded = false;
};

// The regular-expression mode that also types the literals the pattern leaves no choice about
// and removes them with the character before them; the caret moves by units (a character and
// the forced literals consumed right after it).
class TqvMaskEditRegExprExMode : public TqvMaskEditRegExprMode {
  QJ_CLASS(TqvMaskEditRegExprExMode, TqvMaskEditRegExprMode)
 public:
  using TqvMaskEditRegExprMode::TqvMaskEditRegExprMode;

  TqvEditMaskKind GetMaskKind() const override { return emkRegExprEx; }
  void Compile(const String& AMask) override;
  void ApplyPendingValue() override;
  // The literals the pattern forces at its start.
  String GetEmptyText() override;
  String GetFormattedText(const String& AText) override;
  bool IsTextValid(const String& AText) override;
  void BeforePaste() override { Resync(); }
  // The caret goes after the forced literals that follow the pasted text.
  void AfterPaste() override;
  bool PressBackspace() override;
  bool PressDelete() override;
  bool PressEnd() override;
  bool PressHome() override;
  bool PressLeft() override;
  bool PressRight() override;
  bool PressChar(char& ch) override;
  void TextAssigned(const String& AText) override;

 protected:
  // The split moved to the caret (and the selection's ends) by whole units.
  void Resync() override;

 private:
  // The literals forced where the automaton stands, without taking them.
  String PeekForcedLiterals();
  // Takes the forced literals where the automaton stands.
  String ConsumeForcedLiterals();
  void UnitRight();
  void UnitLeft();
  // Left or Right without a selection: a whole unit; false when the mode moved the caret itself.
  bool MoveByUnit(bool ARight);
  // Shift+Left or Shift+Right: the caret end of the selection goes to the next unit boundary.
  bool ExtendByUnit(bool ARight);
  // The head lengths the units of the whole text reach, from 0; the split is rebuilt afterwards.
  std::vector<Integer> UnitBoundaries();
  // The split rebuilt from the control's text and caret at the next key.
  void ForgetSplit();
  // The new text after an edit that leaves APrefix before the caret (the automaton fed with it)
  // and ASuffix after: the suffix with the literals forced after it when it can still follow,
  // else nothing of it. The caret goes after the prefix.
  void ApplyEdit(const String& APrefix, const String& ASuffix);
  // The selection without the leading forced literals it may start with.
  void SelectionBounds(Integer& AStart, Integer& AEnd);
  // Removes the selection; false when nothing of it could go.
  bool DeleteSelection();

  std::vector<Integer> FUnits;  // the length of each unit of the head
};

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomMaskEditProperties : public TqvCustomTextEditProperties {
  QJ_CLASS(TqvCustomMaskEditProperties, TqvCustomTextEditProperties)
 public:
  explicit TqvCustomMaskEditProperties(TPersistent* AOwner);
  ~TqvCustomMaskEditProperties() override;
  // The text settings, then kind, mask, case sensitivity, IgnoreMaskBlank and the
  // show-blanks flag, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();

  bool IsMasked() const;
  // The stored mask, or (classic and blank) the provider's default mask.
  String GetEditMask() const;
  // A new mask compiles in a trial mode first: one that does not compile raises
  // EqvMaskEditError and nothing changes.
  void SetEditMask(const String& Value);
  const String& GetStoredEditMask() const { return FEditMask; }
  TqvEditMaskKind GetMaskKind() const { return FMaskKind; }
  void SetMaskKind(TqvEditMaskKind Value);
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  // Stays true while CharCase converts.
  void SetCaseInsensitive(bool Value);
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }
  bool GetShowBlanksAndLiteralsAlways() const { return FShowBlanksAndLiteralsAlways; }
  void SetShowBlanksAndLiteralsAlways(bool Value);
  const String& GetEmptyMaskText() const { return FEmptyMaskText; }
  void SetEmptyMaskText(const String& Value) { FEmptyMaskText = Value; }

  void SetCharCase(TEditCharCase Value) override;
  // Masked properties keep 0.
  void SetMaxLength(Integer Value) override;
  bool UseLookupData() const override;
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override;
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;

  // A mode of AKind for these properties without an edit, the mask compiled.
  TOwned<TqvMaskEditCustomMode> CreateMode(TqvEditMaskKind AKind, const String& AMask);

 private:
  TqvMaskEditCustomMode* CachedMode();

  TqvEditMask FEditMask;
  String FEmptyMaskText;
  bool FIgnoreMaskBlank = false;
  TqvEditMaskKind FMaskKind = emkStandard;
  TOwned<TqvMaskEditCustomMode> FCachedMode;
  bool FCaseInsensitive = true;
  bool FShowBlanksAndLiteralsAlways = false;
};

class TqvMaskEditProperties : public TqvCustomMaskEditProperties {
  QJ_CLASS(TqvMaskEditProperties, TqvCustomMaskEditProperties)
 public:
  using TqvCustomMaskEditProperties::TqvCustomMaskEditProperties;
};

// ---------------------------------------------------------------------------------------------
// Control

class TqvCustomMaskEdit : public TqvCustomTextEdit {
  QJ_CLASS(TqvCustomMaskEdit, TqvCustomTextEdit)
 public:
  explicit TqvCustomMaskEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomMaskEdit() override;
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomMaskEditProperties* GetProperties() const {
    return static_cast<TqvCustomMaskEditProperties*>(GetActiveProperties());
  }
  TqvMaskEditCustomMode* GetMode() const { return FMode.get(); }
  bool IsMasked() const { return GetProperties()->IsMasked(); }

  // Sends a key down (or a character) to the inner edit, which handles it as its own.
  void SendKeyToSelf(Word AKey);
  void SendCharToSelf(char AChar);
  bool GetShiftFlag() const { return FShiftFlag; }
  void SetShiftFlag(bool Value) { FShiftFlag = Value; }

  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void SetSelText(const String& AText) override;
  void SetSelStart(Integer Value) override;
  void SetSelLength(Integer Value) override;
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 protected:
  friend class TqvMaskEditCustomMode;

  bool IsSendingInternalKey() const override { return FInternalKey; }
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void InnerEditChange(TObject* Sender) override;
  String InternalGetText() override;
  bool InternalSetText(const String& AText) override;
  void InternalSetDisplayValue(const Variant& Value) override;
  void Loaded() override;
  void RepositoryItemChanged() override;

 private:
  void ReplaceMode(TqvEditMaskKind AKind);
  // The display text the cached one is taken from: the mode's unfocused form of the window text.
  void UpdateCachedDisplayText();

  TOwned<TqvMaskEditCustomMode> FMode;
  bool FInternalKey = false;
  bool FShiftFlag = false;
  String FCachedDisplayText;
};

class TqvMaskEdit : public TqvCustomMaskEdit {
  QJ_CLASS(TqvMaskEdit, TqvCustomMaskEdit)
 public:
  using TqvCustomMaskEdit::TqvCustomMaskEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvMaskEditProperties* GetProperties() const { return static_cast<TqvMaskEditProperties*>(GetActiveProperties()); }
};

// The repository item of the mask edit (the application's hexadecimal cells).
class TqvEditRepositoryMaskItem : public TqvEditRepositoryItemOf<TqvMaskEditProperties> {
  QJ_CLASS(TqvEditRepositoryMaskItem, TqvEditRepositoryItemOf<TqvMaskEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
