// Containers: the framed control that hosts an inner window control (every editor and the list
// box), the style that says how its frame looks, the controller component that several styles
// share, the view info that computes and paints one frame, and routines the editors share.
//
// Where the parts live: qvContainerStyle.cpp (style and style controller), qvContainer.cpp (view
// info, container, routines, start-up and shut-down).
#pragma once

#include <vector>

#include "lookandfeel/qvControls.h"
#include "lookandfeel/zmThemeManager.h"

class TqvContainer;
class TqvStyleController;

// ---------------------------------------------------------------------------------------------
// Container style

// The values of a container style, 0 to 7; descendants continue the numbering.
using TqvContainerStyleValue = Integer;
constexpr TqvContainerStyleValue csvBorderColor = 0, csvBorderStyle = 1, csvColor = 2, csvEdges = 3, csvFont = 4,
                                 csvHotTrack = 5, csvShadow = 6, csvTransparentBorder = 7;
using TqvContainerStyleValues = Cardinal;  // bit (1 << value)
constexpr TqvContainerStyleValues csvBit(TqvContainerStyleValue V) { return 1u << V; }

enum TqvContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat };

// The appearance of a container or a drop-down window. Each value is assigned here or inherited
// along the chain of style controllers, in the end a default of the look and feel or the
// container. An in-place style (editors painted inside a grid) holds no font of its own, reports
// every value assigned and answers fixed values for border colour, edges, shadow and margin.
class TqvContainerStyle : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvContainerStyle, TPersistent*, bool>;
  QJ_CLASS(TqvContainerStyle, TPersistent)

 public:
  TqvContainerStyle(TPersistent* AOwner, bool AIsInplace);
  ~TqvContainerStyle() override;
  // Joins the class's default style controller.
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return FOwner; }

  // Changes between the two are reported once, at the outermost EndUpdate; an unmatched
  // EndUpdate does nothing.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  TColor GetBorderColor() const;
  void SetBorderColor(TColor Value);
  TqvContainerBorderStyle GetBorderStyle() const;
  void SetBorderStyle(TqvContainerBorderStyle Value);
  // The parent's colour when the owner is a container with ParentColor and a parent.
  virtual TColor GetColor() const;
  void SetColor(TColor Value);
  TqvBorders GetEdges() const;
  void SetEdges(TqvBorders Value);
  TFont* GetFont() const { return FFont; }
  // In place only the reference changes; otherwise the own font copies Value and is assigned.
  void SetFont(TFont* Value);
  bool GetHotTrack() const;
  void SetHotTrack(bool Value);
  bool GetShadow() const;
  void SetShadow(bool Value);
  bool GetTransparentBorder() const;
  void SetTransparentBorder(bool Value);
  // In place: every value.
  TqvContainerStyleValues GetAssignedValues() const;
  // Removing a value returns it to the chain or the default.
  void SetAssignedValues(TqvContainerStyleValues Value);
  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TqvLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  // The text colour an in-place style hands to the editors.
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor Value) { FTextColor = Value; }

  // nullptr while the class's default controller is in use.
  TqvStyleController* GetStyleController() const;
  // nullptr means the default controller. A controller that owns this style (through the owner
  // chain) or that would close a loop of controllers is refused and nothing changes.
  void SetStyleController(TqvStyleController* Value);
  // The controller in use, the default one included.
  TqvStyleController* GetActiveStyleController() const { return FStyleController; }

  bool GetIsInplace() const { return FIsInplace; }
  // The owner when it is a container.
  TqvContainer* GetContainer() const;
  // The colour from the style alone, without the container's ParentColor rule.
  virtual TColor GetStyleColor() const;
  // Assigned here or anywhere along the controller chain.
  virtual bool IsValueAssigned(TqvContainerStyleValue Value) const;
  virtual Integer GetStyleValueCount() const { return 8; }
  // False for an index the class does not know.
  virtual bool GetStyleValueName(TqvContainerStyleValue Index, String& Name) const;
  // Parent colour off, parent font on, look and feel reset, nothing assigned.
  virtual void RestoreDefaults();
  virtual TqvStyleController* GetDefaultStyleController() const { return nullptr; }

  // Whether a value is written when the style is stored: assigned here and not hidden by the
  // owning container class.
  bool IsValueStored(TqvContainerStyleValue Value) const;
  // The own font takes the chain's assigned font (unless the font is assigned here).
  void UpdateFont();

  virtual void ControllerChangedNotification();
  virtual void ControllerFreeNotification(TqvStyleController* AController);

  TNotifyEvent OnChanged;

 protected:
  virtual void Changed();
  virtual TColor GetDefaultBorderColor() const { return clWindowFrame; }
  virtual TqvContainerBorderStyle GetDefaultBorderStyle() const;
  virtual TColor GetDefaultColor() const;
  virtual TqvBorders GetDefaultEdges() const { return qvAllBorders; }
  virtual bool GetDefaultHotTrack() const { return true; }
  virtual bool GetDefaultShadow() const { return false; }
  virtual bool GetDefaultTransparentBorder() const { return true; }
  virtual void FontChanged(TObject* Sender);
  virtual void StyleControllerChanged();
  bool IsDestroying() const { return FDestroying; }
  TqvContainerStyleValues GetOwnAssignedValues() const { return FAssignedValues; }
  // Adds a value to the assigned set without notifying (descendants' setters).
  void MarkAssigned(TqvContainerStyleValue Value) { FAssignedValues |= csvBit(Value); }
  // The style of the controller next up the chain, or nullptr.
  TqvContainerStyle* GetControllerStyle() const;

 private:
  bool InternalGetBorderColor(TColor& Value) const;
  bool InternalGetBorderStyle(TqvContainerBorderStyle& Value) const;
  bool InternalGetColor(TColor& Value) const;
  bool InternalGetEdges(TqvBorders& Value) const;
  bool InternalGetFont(TFont*& Value) const;
  bool InternalGetHotTrack(bool& Value) const;
  bool InternalGetShadow(bool& Value) const;
  bool InternalGetTransparentBorder(bool& Value) const;
  bool IsAssignedHere(TqvContainerStyleValue Value) const { return (FAssignedValues & csvBit(Value)) != 0; }
  void AssignValue(TqvContainerStyleValue Value);
  bool OwnsStyleThrough(TqvStyleController* AController);
  bool ChainReaches(TqvStyleController* AController) const;

  TColor FBorderColor = clWindowFrame;
  TqvContainerBorderStyle FBorderStyle = cbsNone;
  TqvBorders FEdges = qvAllBorders;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  bool FIsInplace;
  bool FDestroying = false;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  bool FChangedLocked = false;
  TPersistent* FOwner;
  Integer FUpdateCount = 0;
  TqvContainerStyleValues FAssignedValues = 0;
  bool FCopyingFont = false;
  TqvStyleController* FStyleController = nullptr;
  TColor FColor = clWindow;
  TOwned<TFont> FOwnFont;
  TFont* FFont = nullptr;
  TColor FTextColor = clWindowText;
};

using TqvContainerStyleClass = const TqvContainerStyle::MetaType*;

// ---------------------------------------------------------------------------------------------
// Style controller

using TqvStyleChangedEvent = std::function<void(TObject* Sender, TqvContainerStyle* AStyle)>;

// A component that owns one style and lends its values to the styles attached to it; they hear
// every change of its style. Its style's look and feel is their look and feel's master.
class TqvStyleController : public TComponent {
  QJ_CLASS(TqvStyleController, TComponent)
 public:
  explicit TqvStyleController(TComponent* AOwner) : TComponent(AOwner) {}
  // Makes the style (the class GetStyleClass names).
  void AfterConstruction() override;
  // Every attached style falls back to its default controller first.
  void BeforeDestruction() override;
  ~TqvStyleController() override;
  void Loaded() override;

  TqvContainerStyle* GetStyle() const { return FStyle.get(); }
  void SetStyle(TqvContainerStyle* Value) { FStyle->Assign(Value); }
  virtual TqvContainerStyleClass GetStyleClass() const { return &TqvContainerStyle::StaticClass(); }
  // The attached styles in the order they joined.
  Integer GetStyleCount() const { return static_cast<Integer>(FUsers.size()); }
  TqvContainerStyle* GetUserStyle(Integer Index) const { return FUsers[size_t(Index)]; }

  virtual void AddStyle(TqvContainerStyle* AStyle);
  virtual void RemoveStyle(TqvContainerStyle* AStyle);
  // OnStyleChanged for the own style, then each attached style hears it.
  void Changed();

  TqvStyleChangedEvent OnStyleChanged;

 protected:
  virtual void StyleChanged(TqvContainerStyle* AStyle);

 private:
  std::vector<TqvContainerStyle*> FUsers;
  bool FDestroying = false;
  TOwned<TqvContainerStyle> FStyle;
};

// ---------------------------------------------------------------------------------------------
// View info

enum TqvContainerStateItem { cstActive, cstDisabled, cstHot, cstNormal };
using TqvContainerState = Cardinal;  // bit (1 << item)
constexpr TqvContainerState cstBit(TqvContainerStateItem I) { return 1u << I; }

enum TqvMouseButton { cmbNone, cmbLeft, cmbRight, cmbMiddle };
TqvMouseButton ConvertMouseButton(TMouseButton Button);

// The geometry and colours of one frame of a container, and its painting.
class TqvContainerViewInfo : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvContainerViewInfo>;
  QJ_CLASS(TqvContainerViewInfo, TObject)

 public:
  TColor BackgroundColor = clWindow;
  TColor TextColor = clBlack;
  TColor BorderColor = clWindowFrame;
  TRect ClientRect;
  TqvContainerBorderStyle BorderStyle = cbsNone;  // the style actually drawn
  Integer BorderThickness = 0;
  TRect Bounds;
  TRect InnerEditRect;
  TqvContainerState ContainerState = 0;
  TqvBorders Edges = qvAllBorders;
  bool NativeStyle = false;
  Integer ThemePart = 0;
  Integer ThemeState = 0;
  TzmThemeClass ThemeClass = totEdit;
  bool Shadow = false;

  // Copies InnerEditRect from another container view info.
  virtual void Assign(TObject* Source);
  // A new empty region in the base.
  virtual TOwned<TqvRegion> GetUpdateRegion();
  virtual void Offset(Integer DX, Integer DY);
  void Draw(TqvCanvas* ACanvas) { Paint(ACanvas); }
  // Also resets TextColor to black.
  void SetBackgroundColor(TColor Value);

 protected:
  virtual void Paint(TqvCanvas* ACanvas);
};

using TqvContainerViewInfoClass = const TqvContainerViewInfo::MetaType*;

// ---------------------------------------------------------------------------------------------
// Container

// The window control a container hosts (the inner list box, the inner text edit).
class IqvContainerInnerControl : public virtual IInterface {
 public:
  virtual TWinControl* GetControl() = 0;
  virtual TqvContainer* GetControlContainer() = 0;
};

// The control that really takes the keys of a container.
class IqvContainerActiveControl : public virtual IInterface {
 public:
  virtual TWinControl* GetActiveControl() = 0;
};

// Watches the container's visible bounds for the mouse leaving them.
class TqvContainerMouseTrackingHelper : public TObject, public IqvMouseTrackingCaller {
  QJ_CLASS(TqvContainerMouseTrackingHelper, TObject)
 public:
  explicit TqvContainerMouseTrackingHelper(TqvContainer* AContainer) : FContainer(AContainer) {}
  void MouseLeave() override;

 private:
  TqvContainer* FContainer;
};

// A TqvControl that draws a frame around an optional inner window control, which it places in
// its client area, clips, and keeps in colour, font, enabled state, focus and cursor agreement
// with itself. The frame follows the mouse (hot state), the focus and the enabled state; the
// window region leaves the transparent margin and the area beside the shadow to the parent.
class TqvContainer : public TqvControl, public IqvContainerActiveControl {
  QJ_CLASS(TqvContainer, TqvControl)
 public:
  explicit TqvContainer(TComponent* AOwner);
  // Makes the style and the view info (the classes the descendant names).
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TqvContainer() override;
  void Loaded() override;

  TqvContainerStyle* GetStyle() const { return FStyle.get(); }
  void SetStyle(TqvContainerStyle* Value) { FStyle->Assign(Value); }
  TqvContainerViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  TWinControl* GetInnerControl() const { return FInnerControl; }
  TWinControl* GetActiveControl() override { return FInnerControl ? FInnerControl : this; }

  bool Focused() override;
  void SetFocus() override;
  bool IsDestroying() const { return inherited::IsDestroying() || FContainerDestroying; }
  // Recomputes the frame at the cursor and repaints it, when the window exists.
  void ShortRefreshContainer(bool AIsMouseEvent);
  void UpdateWindowRegion();
  void LockAlignControls(bool Lock);
  bool IsAlignLocked() const { return FAlignLockCount > 0; }
  static Integer GetBorderWidth(TqvContainerBorderStyle ABorderStyle);
  void SetDragKind(TDragKind Value);
  void SetDragMode(TDragMode Value);
  // The style values the class does not store.
  virtual TqvContainerStyleValues GetNotPublishedStyleValues() const { return 0; }
  virtual TqvContainerStyleClass GetStyleClass() const { return &TqvContainerStyle::StaticClass(); }
  virtual TqvContainerViewInfoClass GetViewInfoClass() const { return &TqvContainerViewInfo::StaticClass(); }
  virtual bool IsInplace() const { return false; }
  virtual void GetVisibleBounds(TRect& R);
  virtual void SetScrollBarsParameters();
  // A container's scroll bars mirror its inner control's.
  void UpdateScrollBars() override;

  // The handlers other controls call on a container (an inner list box forwards its input).
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override { inherited::KeyPress(Key); }
  void KeyUp(Word& Key, TShiftState Shift) override { inherited::KeyUp(Key, Shift); }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // The mouse-down an inner control hands over (X, Y in the container's client coordinates),
  // marked as coming from the inner control while it runs.
  void InnerControlMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override {
    return inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
  }
  void Click() override { inherited::Click(); }
  void DblClick() override { inherited::DblClick(); }
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override {
    inherited::DragOver(Source, X, Y, State, Accept);
  }
  void DragDrop(TObject* Source, Integer X, Integer Y) override { inherited::DragDrop(Source, X, Y); }
  void FocusChanged() override;

 protected:
  friend class TqvContainerMouseTrackingHelper;

  virtual void AdjustInnerControl();
  virtual void CalculateViewInfo(TPoint P, bool ACheckHot);
  void ClearSavedChildControlRegion() { FHasSavedRegion = false; }
  virtual void ContainerStyleChanged(TObject* Sender);
  virtual void DataChange() {}
  virtual void DataSetChange() {}
  virtual void EndMouseTracking();
  virtual void GetBorderExtent(TRect& R);
  // AHasRegion false: no region (the control is not cut).
  virtual void GetInnerControlRegion(const TRect& AClientRect, TWinControl* AControl, TRect& ARegion, bool& AHasRegion);
  virtual bool HasInnerControlRegionChanged(TWinControl*, const TRect*) { return true; }
  virtual bool RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent);
  virtual void SaveInnerControlRegion(TWinControl* AControl, const TRect* ARegion);
  virtual void SetInnerControlBounds();
  virtual bool IsTabKeyHandledByControl() { return false; }
  virtual void UpdateData() {}
  virtual TzmThemeClass GetThemedObjectType() const { return totEdit; }
  virtual Integer GetNativePart() const { return EP_EDITTEXT; }
  virtual Integer GetNativeState();
  virtual void ThemeChanged() { ShortRefreshContainer(false); }
  virtual void EnabledChanged();

  void SetInnerControl(TWinControl* Value) { FInnerControl = Value; }
  bool IsScrollBarsMirroring() const { return FScrollBarsMirroring; }
  bool IsCreating() const { return FCreating; }
  // The saved region of the inner control, or nullptr.
  const TRect* GetSavedInnerControlRegion() const { return FHasSavedRegion ? &FSavedRegion : nullptr; }

  bool HasScrollBars() const override { return false; }
  bool FocusOnClick() override;
  bool MayFocus() const override;
  TRect GetClientBounds() override;
  void DoColorChange() override;
  void CursorChanged() override;
  void FontChanged() override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void Resize() override;
  void CreateHandle() override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& R) override;
  void AdjustClientRect(TRect& R) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void MirrorScrollBar(TqvControlScrollBar* ABar, LONG AObjectId, int ABarKind);
  void StartMouseTracking();
  TqvContainerBorderStyle DrawnBorderStyle(TqvContainerState AState) const;
  TColor CalculateBackgroundColor();

  TWinControl* FInnerControl = nullptr;
  bool FInnerControlMouseDown = false;
  TRect FSavedRegion;
  bool FHasSavedRegion = false;
  bool FContainerDestroying = false;
  bool FInnerBoundsChanging = false;
  Integer FAlignLockCount = 0;
  TOwned<TqvContainerMouseTrackingHelper> FMouseTrackingHelper;
  bool FScrollBarsMirroring = false;
  TOwned<TzmThemeChangedNotificator> FThemeChangedNotificator;
  bool FStyleAssigning = false;
  bool FCreating = true;
  TOwned<TqvContainerStyle> FStyle;
  TOwned<TqvContainerViewInfo> FViewInfo;
};

// ---------------------------------------------------------------------------------------------
// Free notification

// Calls OnFreeNotification when a component it watches goes away.
class TqvFreeNotificator : public TComponent {
  QJ_CLASS(TqvFreeNotificator, TComponent)
 public:
  using TComponent::TComponent;
  std::function<void(TComponent* AComponent)> OnFreeNotification;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

void AddFreeNotification(TComponent* AComponent, TComponent* ATarget);
void RemoveFreeNotification(TComponent* AComponent, TComponent* ATarget);

// ---------------------------------------------------------------------------------------------
// Routines the editors share

// A 3-pixel clBtnShadow shadow right of and below R, starting 3 pixels in from the corners; the
// shadow and the corner squares it leaves out are excluded from the clip.
void DrawContainerShadow(TqvCanvas* ACanvas, const TRect& R);
void DeflateRectBy(TRect& R, const TRect& Extent);
TRect GetControlRect(TControl* AControl);
bool IsControlWindow(TWinControl* AControl, HWND Wnd);
bool IsSameString(const String& S1, const String& S2, bool CaseSensitive);
// R less InnerR filled with Color (as four bands); nothing when R is empty or equals InnerR.
void FillRectOutside(TqvCanvas* ACanvas, const TRect& R, const TRect& InnerR, TColor Color);
void InvalidateRectOutside(HWND Wnd, const TRect& R, const TRect& InnerR, bool Erase);
void InvalidateControlRect(TWinControl* AControl, const TRect& R, bool Erase);
TPoint GetCursorScreenPos();
TShiftState GetCurrentShiftState();
bool IsWindowShown(HWND Wnd);
// The shared screen canvas for measuring text where no window exists.
TqvScreenCanvas* GetScreenCanvas();
// nullptr removes the region (no redraw).
void SetWindowRegionFromRect(TWinControl* AControl, const TRect* R);
// R (united with R moved by (3, 3) for a shadow, less ExcludeRect) as the window region, or no
// region for a native frame; applied only when it differs from the window's current one.
void SetContainerWindowRegion(HWND Wnd, const TRect& R, bool ANativeStyle, bool AShadow, const TRect* ExcludeRect);
// Our window system always reports its scroll bars.
bool IsGetScrollBarInfoAvailable();
bool IsContainerThemeUsable(bool ANativeStyle, TzmThemeClass AThemeClass);

// Start-up and shut-down of the containers unit (the screen canvas, the popup hooks).
void InitContainers();
void DoneContainers();
