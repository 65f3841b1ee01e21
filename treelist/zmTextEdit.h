// The text cell editor of the tree list: the in-place editor base over the platform's edit window
// ("EDIT"), with character case, length limit, password character and selection bar, selection
// and clipboard operations, undo and redo, an own context menu, and the drawing of a cell's text
// when the tree list paints cells without a live editor.
#pragma once

#include "platform/forms/StdCtrls.h"
#include "treelist/zmEditor.h"

class TPopupMenu;

// The context menu's captions, cached when the editor unit starts.
extern const TResourceString SzmMenuUndo;
extern const TResourceString SzmMenuRedo;
extern const TResourceString SzmMenuCut;
extern const TResourceString SzmMenuCopy;
extern const TResourceString SzmMenuPaste;
extern const TResourceString SzmMenuDelete;
extern const TResourceString SzmMenuSelectAll;

// The text in the case CharCase asks for (the code page's case mapping).
String ConvertCharCase(const String& Text, TEditCharCase CharCase);

class TzmTextEditViewData : public TzmEditViewData {
  QJ_CLASS(TzmTextEditViewData, TzmEditViewData)
 public:
  TEditCharCase CharCase = ecNormal;
  bool UsesEndEllipsis = false;
  char PasswordChar = 0;
  bool HasSelectionBar = false;
};

// A text editor draws the cell's text (unless its own window shows it).
class TzmInplaceTextEditClassOps : public TzmInplaceEditClassOps {
 public:
  TzmEditViewDataClass GetViewDataClass() const override;
  bool DrawContent(HDC DC, const TRect& Rect, TzmEditViewData* ViewData, bool AFromWindow) const override;
};

class TzmInplaceTextEdit : public TzmInplaceEdit {
  QJ_CLASS(TzmInplaceTextEdit, TzmInplaceEdit)
 public:
  explicit TzmInplaceTextEdit(TComponent* AOwner);

  static const TzmInplaceEditClassOps& ClassOps();

  // Settings
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  Integer GetMaxLength() const { return FMaxLength; }
  // Negative becomes 0 (no limit of ours).
  virtual void SetMaxLength(Integer Value);
  // Marks the length as set explicitly first.
  void SetStoredMaxLength(Integer Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetHasSelectionBar() const { return FHasSelectionBar; }
  void SetHasSelectionBar(bool Value);

  // Selection and clipboard (they act on the window)
  void GetSel(Integer& Start, Integer& End);
  void SetSel(Integer Start, Integer End);
  virtual Integer GetSelStart();
  virtual Integer GetSelLength();
  virtual void SetSelStart(Integer Value);
  virtual void SetSelLength(Integer Value);
  virtual void GetSelText(String& Text);
  // Copies at most BufSize characters of the selection; the count copied.
  virtual Integer GetSelTextBuf(char* Buffer, Integer BufSize);
  void SelectAll() override;
  void CaretToEnd() override;
  void ClearSelection();
  void CopySelection();
  void CutSelection();
  void PasteText();
  void Undo();
  void Redo();
  void EmptyUndoBuffer();
  bool CanUndo();
  bool CanRedo();
  bool CanPaste();
  Integer GetTextLength();
  // The editor or one of its parents has a popup menu of its own.
  bool HasPopupMenu();
  // The editor's own context menu (nullptr until first shown).
  TPopupMenu* GetContextMenu() const { return FContextMenu; }

  void SetEditValue(const Variant& Value) override;
  void LoadDataDefaults() override;
  void RestoreDefaults() override;
  void SetReadOnly(bool Value) override;
  bool GetModified() override;
  void SetModified(bool Value) override;
  TOwned<TzmEditViewData> CreateViewData(bool AFromData) override;

  TNotifyEvent OnSelChange;

  void WndProc(TMessage& Message) override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  virtual void ApplyCharCase();
  virtual void ApplyMaxLength(Integer Value);
  virtual void DoSelChange();
  virtual Integer GetDefaultMaxLength() { return 0; }
  bool HasTextInput() override { return true; }

  bool GetCreating() const { return FCreating; }
  // Sets the flag that marks a value being loaded (change notifications stay quiet).
  bool& AssigningTextFlag() { return FAssigningText; }

 private:
  void CNCommand(TMessage& M);
  void CMTextChanged(TMessage& M);
  void WMSize(TMessage& M);
  void WMRButtonUp(TMessage& M);
  void WMMouseButton(TMessage& M);
  void UpdateFormatRect();
  void ShowContextMenu(LPARAM Position);
  void BuildContextMenu();
  void UpdateContextMenu();
  void ContextMenuClick(TObject* Sender);
  LRESULT SendToWindow(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  bool FAssigningText = false;
  bool FAutoSelect = true;
  TEditCharCase FCharCase = ecNormal;
  bool FCharCaseChanging = false;
  bool FCreating = false;
  TPopupMenu* FContextMenu = nullptr;
  bool FHideSelection = true;
  Integer FMaxLength = 0;
  bool FStoredModified = false;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FHasSelectionBar = false;
  bool FUndone = false;   // the last change was an undo: the window's undo step now redoes
  bool FUndoing = false;  // an undo or redo is changing the text
  Integer FMessageDepth = 0;
};

// The text editor of tree list columns.
class TzmInplaceTreeListTextEdit : public TzmInplaceTextEdit {
  QJ_CLASS(TzmInplaceTreeListTextEdit, TzmInplaceTextEdit)
 public:
  using TzmInplaceTextEdit::TzmInplaceTextEdit;
};

// The editor unit: caches the context menu captions.
void zmEditorStart();
void zmEditorEnd();
