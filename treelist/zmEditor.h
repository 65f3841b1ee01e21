// The in-place editor base of the tree list and its drawing.
//
// TzmInplaceEdit is a window control owned by the container it edits in (TCustomzmContainer):
// the tree list places it over a cell, shows it, validates its value when editing ends and hides
// it again. Its look is described by a view data object (TzmEditViewData) that the class-level
// operations (TzmInplaceEditClassOps) draw, so that a cell looks the same with and without a live
// editor: the tree list draws cells through the editor class of their column.
//
// Where the parts live: zmEditor.cpp (state, validation, keys and window messages),
// zmEditorView.cpp (view data, view info, borders, window shape and non-client area).
#pragma once

#include "platform/forms/Controls.h"
#include "platform/rtl/Variants.h"
#include "treelist/zmEditStyle.h"

class TCustomzmContainer;
class TzmInplaceEdit;

QJ_EXCEPTION(EzmEditInvalidInput, Exception)

extern const TResourceString SzmEditInvalidInput;

using TzmEditValidateEvent = std::function<void(TObject* Sender, String& ErrorText, bool& Accept)>;

// ---------------------------------------------------------------------------------------------
// View data and view info

// What to draw for an editor, filled by a live editor (CreateViewData) or by the tree list for a
// cell without one. Made for one paint, cursor query or shape update and freed right after.
class TzmEditViewData : public TObject {
 public:
  using MetaType = TMetaClassFor<TzmEditViewData>;
  QJ_CLASS(TzmEditViewData, TObject)

 public:
  bool IsEnabled = false;
  bool IsFocused = false;
  bool IsSelected = false;  // hot: the mouse is over the editor, or it is focused and enabled
  TColor BorderColor = 0;
  TzmEditBorderStyle BorderStyle = xbsNone;
  TzmEditButtonViewStyle ButtonStyle = TzmEditButtonViewStyle::btsDefault;  // never btsDefault once filled
  bool ButtonTransparent = false;
  bool StandaloneFrame = false;  // content inset by 2 instead of 1 plus ContentMargins
  TzmEditEdges Edges = 0;
  bool Shadow = false;
  bool TransparentText = false;  // text without background (tree list cells)
  bool IsTransparent = false;    // no background fill
  TRect ContentMargins;
  TRect ViewRect;
  TAlignment HorzAlignment = taLeftJustify;
  Byte TextLayout = 0;  // 0 single line; cells: 1 centre, 2 bottom, 3 multi-line
  HBRUSH BrushHandle = nullptr;
  COLORREF BackColor = 0;
  HFONT FontHandle = nullptr;
  COLORREF ForeColor = 0;
  bool HasTextArea = false;
  Variant DrawValue;
  Integer TextLength = 0;  // 0: the whole text
  bool MeasureOnly = false;
  Integer LineCount = 0;
  Integer TextHeight = 0;
  Integer LineHeight = 0;
  TCursor CursorShape = crDefault;  // crDefault: the editor class decides
};

using TzmEditViewDataClass = const TzmEditViewData::MetaType*;

// The layout CalcViewInfo computes from a view data object.
struct TzmEditViewInfo {
  Integer BorderWidth = 0;
  Integer ShadowSize = 0;
  TRect Bounds;
  TRect ContentRect;
  bool EdgeLeft = false, EdgeTop = false, EdgeRight = false, EdgeBottom = false;
  TRect BorderRect;
  TRect ShadowRect;
};

// The border and shadow area of an editor as a new region (the caller deletes it); nullptr when
// the editor fills its bounds (no shadow, a border of at least 2 pixels on all four sides).
HRGN GetViewInfoRegion(const TzmEditViewInfo& ViewInfo);

// ---------------------------------------------------------------------------------------------
// Class-level operations

// The operations of an editor class that need no editor: one object per class, reached through
// the class's metaclass (TzmInplaceEditClass) or an editor's GetClassOps.
class TzmInplaceEditClassOps {
 public:
  virtual ~TzmInplaceEditClassOps() = default;

  virtual TzmEditViewDataClass GetViewDataClass() const;
  virtual void CalcViewInfo(TzmEditViewData* ViewData, bool AAutoSize, TzmEditViewInfo& ViewInfo) const;
  // Draws a whole editor; Region, when given, loses the painted area.
  virtual void Draw(HDC DC, const TRect& Rect, TzmEditViewData* ViewData, HRGN Region) const;
  virtual void DrawBorder(HDC DC, const TzmEditViewInfo& ViewInfo, TzmEditViewData* ViewData) const;
  // The base fills Rect with the background unless measuring; true when it drew.
  virtual bool DrawContent(HDC DC, const TRect& Rect, TzmEditViewData* ViewData, bool AFromWindow) const;
  virtual TCursor GetCursor(Integer X, Integer Y, TzmEditViewData* ViewData) const;
  virtual Integer GetEditHeight(TzmEditViewData* ViewData) const;
  // The natural size of the content; empty here.
  virtual void GetContentSize(TzmEditViewData* ViewData, TRect& R) const;
  virtual bool IsInplace() const { return true; }
};

// The metaclass of the editor family: the factory of the class and its class-level operations.
struct TzmInplaceEditMetaClass : TComponent::MetaType {
  const TzmInplaceEditClassOps* Ops = nullptr;

  TzmInplaceEdit* CreateEdit(TComponent* AOwner) const;

  template <class Cls>
  static TzmInplaceEditMetaClass Make(const char* name, const TMetaClass* parent) {
    TzmInplaceEditMetaClass m;
    static_cast<TComponent::MetaType&>(m) = TComponent::MetaType::Make<Cls>(name, parent);
    m.Ops = &Cls::ClassOps();
    return m;
  }
};

using TzmInplaceEditClass = const TzmInplaceEditMetaClass*;

// Holds an editor's validation lock for a block, also when the block raises.
class TzmValidateLockScope {
 public:
  explicit TzmValidateLockScope(TzmInplaceEdit* Edit);
  ~TzmValidateLockScope();
  TzmValidateLockScope(const TzmValidateLockScope&) = delete;
  TzmValidateLockScope& operator=(const TzmValidateLockScope&) = delete;

 private:
  TzmInplaceEdit* FEdit;
  TAliveToken FAlive;
};

// ---------------------------------------------------------------------------------------------
// The editor

// StoredValues: the settings that were set explicitly.
enum TzmEditStoredValue : Byte {
  zmsvAlignment = 1u << 0,
  zmsvMaxLength = 1u << 1,
  zmsvEditMask = 1u << 2,
  zmsvReadOnly = 1u << 6,
};
using TzmEditStoredValues = Byte;

class TzmInplaceEdit : public TWinControl {
 public:
  using MetaType = TzmInplaceEditMetaClass;
  QJ_CLASS(TzmInplaceEdit, TWinControl)

 public:
  // AOwner is the container the editor edits in (any other owner: a standalone editor).
  explicit TzmInplaceEdit(TComponent* AOwner);
  ~TzmInplaceEdit() override;
  // The style: the container's or one of GetEditStyleClass (a virtual choice).
  void AfterConstruction() override;
  void BeforeDestruction() override;

  static const TzmInplaceEditClassOps& ClassOps();
  const TzmInplaceEditClassOps& GetClassOps() const;

  // Placing and showing
  // Covers Rect grown by 2 pixels, shows the editor, focuses it and selects everything.
  void ActivateEdit(const TRect& Rect);
  virtual void ShowEdit();
  virtual void HideEdit();
  bool IsEditVisible() const { return FEditVisible; }
  void LockActivate() { ++FActivateLock; }
  void UnlockActivate() { --FActivateLock; }
  TCustomzmContainer* GetContainer() const;

  // Editing
  // Called with true when editing begins and false when it ends: remembers the text and the
  // modified state that Esc goes back to.
  virtual void SetActive(bool AActive);
  bool GetActive() const { return FActive; }
  virtual void SetEditValue(const Variant& Value);
  virtual void GetEditValue(Variant& Value);
  virtual void GetDrawValue(Variant& Value, bool AFromData);
  virtual void GetDisplayText(String& Text);
  // The new text is taken, and the editor marked modified, only when CanModify allows it.
  virtual void SetEditText(const String& Text);
  virtual bool GetModified();
  virtual void SetModified(bool Value);
  virtual bool CanModify();
  virtual bool IsEditable();
  virtual void SelectAll() {}
  virtual void CaretToEnd() {}
  // Esc: back to the text and modified state of when editing began.
  void CancelEdit();
  virtual void UndoChanges();
  // Runs OnValidate when modified; a refusal beeps, keeps the focus here and raises
  // EzmEditInvalidInput with the handler's text.
  virtual void ValidateEdit();
  void LockValidate();
  void UnlockValidate();
  Integer GetValidateLock() const { return FValidateLock; }
  virtual bool IsCloseLocked() { return FKeepOpen; }
  virtual bool IsFocused() { return Focused(); }
  virtual bool IsHot();
  virtual void RestoreDefaults();
  virtual void LoadDataDefaults();

  // Settings
  TAlignment GetAlignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  // The read-only setting when it was set explicitly, else the default.
  bool GetReadOnly();
  virtual void SetReadOnly(bool Value) { FReadOnly = Value; }
  void SetStoredReadOnly(bool Value);
  TzmEditStoredValues GetStoredValues() const { return FStoredValues; }
  void SetStoredValues(TzmEditStoredValues Value) { FStoredValues = Value; }
  const TRect& GetContentMargins() const { return FContentMargins; }
  void SetContentMargins(const TRect& Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetAutoSize() const { return FAutoSize; }
  bool IsAutoSized() const;
  TzmEditStyle* GetStyle() const { return FStyle.get(); }
  TzmEditStyleController* GetStyleController() const { return FStyleController; }
  void SetStyleController(TzmEditStyleController* Value);
  virtual void StyleChanged();
  bool GetSelected() const { return FSelected; }
  virtual void SetSelected(bool Value) { FSelected = Value; }
  // The tree list sets it while it closes the editor (a failed mask keeps no focus then).
  bool GetClosing() const { return FClosing; }
  void SetClosing(bool Value) { FClosing = Value; }
  bool GetIgnoreContainerMouse() const { return FIgnoreContainerMouse; }
  // The message time of the container's last left-button press (0 after use).
  DWORD GetOpenClickTime() const { return FOpenClickTime; }
  void SetOpenClickTime(DWORD Value) { FOpenClickTime = Value; }

  // Drawing
  virtual TOwned<TzmEditViewData> CreateViewData(bool AFromData);
  void UpdateShape();
  void UpdateHotShape();
  void InvalidateEdit();
  void InvalidateUnderEdit();

  // The tree list's mouse on it while this editor is open.
  virtual void ContainerMouseDown(Integer /*X*/, Integer /*Y*/) {}
  virtual void ContainerMouseUp(Integer /*X*/, Integer /*Y*/) {}
  // The container's EditorKeyDown hook (and with it its OnKeyDown).
  void ContainerKeyDown(Word& Key, TShiftState Shift);

  // Ctrl is down and Alt is up at this moment.
  static bool IsCtrlKeyDown();
  // Keys that validate the value before the container moves away from the cell.
  static bool IsNavigationKey(Word Key);

  TNotifyEvent OnChange;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TzmEditValidateEvent OnValidate;

  void WndProc(TMessage& Message) override;

 protected:
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void PaintWindow(HDC DC) override;
  void CreateWnd() override;

  virtual bool IsValidChar(char Ch);
  virtual void Change();
  virtual void FocusChanged();
  virtual void FocusLeaving(TMessage& Message);
  virtual TzmEditStyleClass GetEditStyleClass() const { return &TzmEditStyle::StaticClass(); }
  virtual bool IsModifyingKey(Word Key, TShiftState Shift);
  virtual bool RepaintsOnFocus() { return !HasTextInput(); }
  virtual bool WantsMouseWheel() { return false; }
  virtual bool WantsTab() { return false; }
  virtual void GoToAdjacentColumn(bool ABackward);
  virtual void Activated() {}
  virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
  virtual bool GetDefaultReadOnly() { return false; }
  virtual bool GetDataReadOnly() { return false; }
  virtual bool HasTextInput() { return false; }
  virtual bool ValidatesOnEnter() { return false; }
  virtual bool PaintsWhenInactive() { return !GetEnabled(); }
  virtual bool CanRestoreText() { return HasTextInput(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  bool IsInplace() const { return GetClassOps().IsInplace(); }

 private:
  void WMSetFocus(TMessage& M);
  void WMLButtonDown(TMessage& M);
  void WMMouseWheel(TMessage& M);
  void WMKeyDownMessage(TMessage& M);
  void WMGetDlgCode(TMessage& M);
  void WMSetCursor(TMessage& M);
  void WMPaintEdit(TMessage& M);
  void WMNCCalcSize(TMessage& M);
  void WMNCPaint(TMessage& M);
  void CMExit(TMessage& M);
  void CMMouseEnterLeave(TMessage& M, bool Enter);
  bool InplaceMessage(TMessage& M);
  void ContainerKeyDownHandler(Word& Key, TShiftState Shift);
  TRect ClientInset();

  bool FActive = false;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  Integer FActivateLock = 0;
  bool FModified = false;
  TRect FContentMargins;
  bool FSavedModified = false;
  String FSavedText;
  bool FReadOnly = false;
  bool FSelected = false;
  TOwned<TzmEditStyle> FStyle;
  TzmEditStyleController* FStyleController = nullptr;
  bool FTransparent = false;
  bool FEditVisible = false;
  Integer FValidateLock = 0;
  bool FClosing = false;
  bool FKeepOpen = false;
  bool FIgnoreContainerMouse = false;
  TzmEditStoredValues FStoredValues = 0;
  DWORD FOpenClickTime = 0;
  bool FUpdatingShape = false;
};
