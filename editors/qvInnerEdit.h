// The inner platform edit windows of the text editors: what the editor asks of one
// (IqvInnerTextEdit), and the layer that the single-line inner edit and the inner memo share
// over their platform classes. The layer hands focus, clicks, mouse, drag-and-drop, actions,
// pop-up menus and keys to the editor first, keeps the window's bounds while the editor lays it
// out, and answers the editor's interfaces through a helper object.
//
// Where the parts live: qvInnerEdit.cpp (both templates, made for the single-line edit over
// TCustomEdit and for the memo over TCustomMemo); what differs lives with each editor
// (qvTextEdit.h, qvMemo.h).
#pragma once

#include <functional>

#include "editors/qvEdit.h"
#include "platform/forms/StdCtrls.h"

class TqvCustomTextEdit;
template <class TInner>
class TqvInnerEditHelper;

enum TqvEditEchoMode { eemNormal, eemPassword };

// The inner edit of a text editor as the editor sees it.
class IqvInnerTextEdit : public IqvCustomInnerEdit {
 public:
  virtual void CopyToClipboard() = 0;
  virtual TAlignment GetAlignment() = 0;
  virtual bool GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TqvEditEchoMode GetEchoMode() = 0;
  virtual bool GetHideSelection() = 0;
  // The second byte of a double-byte character still being delivered, else #0.
  virtual char GetPendingTrailByte() = 0;
  virtual bool GetKeyHandled() = 0;
  virtual Integer GetMaxLength() = 0;
  virtual bool IsMultiLine() = 0;
  virtual bool GetOEMConvert() = 0;
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual String GetSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void SetAlignment(TAlignment Value) = 0;
  virtual void SetAutoSelect(bool Value) = 0;
  virtual void SetCharCase(TEditCharCase Value) = 0;
  virtual void SetEchoMode(TqvEditEchoMode Value) = 0;
  virtual void SetHideSelection(bool Value) = 0;
  virtual void SetKeyHandled(bool Value) = 0;
  virtual void SetMaxLength(Integer Value) = 0;
  virtual void SetOEMConvert(bool Value) = 0;
  virtual void SetSelLength(Integer Value) = 0;
  virtual void SetSelStart(Integer Value) = 0;
  virtual void SetSelText(const String& Value) = 0;
};

// A borderless platform edit window (TEditBase: TCustomEdit or TCustomMemo) inside an editor of
// class TContainer (a TqvCustomTextEdit). The editor sees every key and mouse event first, gets
// the window's clicks, drags, actions and pop-up menu as its own, and locks its alignment while
// the window moves. The window ignores bounds while it is being made or while the editor locks
// them.
template <class TEditBase, class TContainer>
class TqvInnerEditControl : public TEditBase {
 public:
  using inherited = TEditBase;

  // No tab stop, no border, double clicks, the parent's colour.
  explicit TqvInnerEditControl(TComponent* AOwner);

  // The editor that owns the window (nullptr once it is going).
  TContainer* GetContainer();
  bool GetKeyHandled() const { return FKeyHandled; }
  void SetKeyHandled(bool Value) { FKeyHandled = Value; }
  // Nests a lock on the window's bounds.
  void LockBounds(bool ALock);

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  bool CanFocus() override;
  void Click() override;
  void DblClick() override;
  TPopupMenu* GetPopupMenu() override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

 protected:
  bool IsCreating() const { return FCreating; }
  // Runs AStep as part of making the window: bounds set meanwhile are ignored.
  void WhileCreating(const std::function<void()>& AStep);
  // After the window took new bounds inside a live editor.
  virtual void BoundsApplied(TContainer*) {}

  // Without border styles or client edge.
  void CreateParams(TCreateParams& Params) override;
  // A press of the left button starts the editor's automatic drag instead.
  void WndProc(TMessage& Message) override;
  // Focus changes and the mouse leaving reach the editor.
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  template <class>
  friend class TqvInnerEditHelper;
  void WMFocus(TMessage& Message);

  bool FKeyHandled = false;
  bool FCreating = false;
  Integer FBoundsLockCount = 0;
};

// Answers the editor's interfaces for an inner edit window of class TInner (a
// TqvInnerEditControl): the platform edit's settings, text and selection. A window without a
// handle has no selection. The value is the window's text; echo mode and a pending trail byte
// belong to the single-line edit, which answers them itself.
template <class TInner>
class TqvInnerEditHelper : public TObject, public IqvInnerTextEdit {
 public:
  explicit TqvInnerEditHelper(TInner* AEdit) : FEdit(AEdit) {}

  // IqvContainerInnerControl
  TWinControl* GetControl() override;
  TqvContainer* GetControlContainer() override;
  // IqvCustomInnerEdit
  Variant GetEditValue() override;
  TNotifyEvent GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool ALock) override;
  void SafelySetFocus() override;
  void SetParent(TWinControl* AParent) override;
  void SetOnChange(TNotifyEvent Handler) override;
  void SetReadOnly(bool Value) override;
  // IqvInnerTextEdit
  void CopyToClipboard() override;
  TAlignment GetAlignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TqvEditEchoMode GetEchoMode() override { return eemNormal; }
  bool GetHideSelection() override;
  char GetPendingTrailByte() override { return '\0'; }
  bool GetKeyHandled() override;
  Integer GetMaxLength() override;
  bool GetOEMConvert() override;
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  String GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TqvEditEchoMode) override {}
  void SetHideSelection(bool Value) override;
  void SetKeyHandled(bool Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const String& Value) override;

 protected:
  TInner* GetEdit() const { return FEdit; }

 private:
  TInner* FEdit;
};
