// The status bar: a row of panels whose content is drawn by exchangeable panel styles (text,
// state indicators, keyboard states, a container of controls) and whose frame, borders,
// separators and size grip are drawn by a painter chosen from the paint style or the look and
// feel (standard, flat, the gradient scheme, the theme).
//
// Where the parts live: zmStatusBar.cpp (the bar, its panels and the panel style registry),
// zmStatusBarLayout.cpp (the panels' widths), zmStatusBarPainters.cpp (the painters),
// zmStatusBarStyles.cpp (the base, text and container styles and the container control),
// zmStatusBarIndicators.cpp (the state-indicator style, its indicators and their bitmaps),
// zmStatusBarKeyboardState.cpp (the keyboard-state style, the key appearances and the
// keyboard-state watcher).
#pragma once

#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "lookandfeel/qvControls.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Threads.h"

class TCustomImageList;
class TChangeLink;
class TzmThemeChangedNotificator;
class TqvRegisteredClasses;
class TzmCustomStatusBar;
class TzmStatusBarPanel;
class TzmStatusBarPanelStyle;
class TzmStatusBarContainerPanelStyle;
class TzmStatusBarContainerControl;

enum TzmStatusBarPaintStyle { stpsStandard, stpsFlat, stpsXP, stpsOffice11, stpsUseLookAndFeel };
enum TzmStatusBarPanelBevel { zmpbNone, zmpbLowered, zmpbRaised };
enum TzmStatusBarEllipsisType { zmetNone, zmetTruncate, zmetSmartPath };

// ---------------------------------------------------------------------------------------------
// Painters

class TzmStatusBarPainter;
// A painter "class": the one immutable instance of a painter kind.
using TzmStatusBarPainterClass = const TzmStatusBarPainter*;

// Draws a bar's frame, panel borders, separators, panel backgrounds and size grip. A painter
// holds no state; the base draws no borders, separators or backgrounds. Operations are declared
// in slot order.
class TzmStatusBarPainter {
 public:
  static TzmStatusBarPainterClass Class();
  TzmStatusBarPainter(const TzmStatusBarPainter&) = delete;
  TzmStatusBarPainter& operator=(const TzmStatusBarPainter&) = delete;
  virtual ~TzmStatusBarPainter() = default;

  virtual TSize GetSizeGripSize() const { return {16, 16}; }
  // The length of the two edge lines that clean the standard grip.
  virtual TSize GetSizeGripEdgeSize() const { return {12, 12}; }
  // The gap between panels, and between the keys of a keyboard-state panel.
  virtual Integer GetSeparatorSize() const { return 2; }
  virtual Integer GetTopMargin() const { return 2; }
  // The bar's background and border; R shrinks to the panel area.
  virtual void DrawBorder(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, TRect& R) const;
  virtual void DrawEmptyPanel(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const;
  // The border, then the panel's own drawing, then its style's content.
  virtual void DrawPanel(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel, const TRect& R, TqvCanvas* ACanvas) const;
  // R shrinks by the border drawn.
  virtual void DrawPanelBorder(TzmCustomStatusBar* ABar, TzmStatusBarPanelBevel ABevel, TRect& R, TqvCanvas* ACanvas) const;
  virtual void DrawPanelSeparator(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const;
  // R is the bar's client bounds.
  virtual void DrawSizeGrip(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const;
  virtual void FillBackground(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const;
  // APanel may be nullptr.
  virtual void DrawPanelBackground(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel, const TRect& R,
                                   TqvCanvas* ACanvas) const;
  virtual TzmStatusBarPanelBevel GetPanelBevel(TzmStatusBarPanel* APanel) const;
  virtual TColor GetPanelColor(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel) const;

 protected:
  TzmStatusBarPainter() = default;
};

// 3D edges and filled panels.
class TzmStatusBarStandardPainter : public TzmStatusBarPainter {
 public:
  static TzmStatusBarPainterClass Class();
  // A sunken outer edge for lowered panels, a raised inner one for raised panels.
  void DrawPanelBorder(TzmCustomStatusBar* ABar, TzmStatusBarPanelBevel ABevel, TRect& R,
                       TqvCanvas* ACanvas) const override;
  void DrawPanelSeparator(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawPanelBackground(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel, const TRect& R,
                           TqvCanvas* ACanvas) const override;

 protected:
  TzmStatusBarStandardPainter() = default;
};

// One-pixel shadow frames.
class TzmStatusBarFlatPainter : public TzmStatusBarStandardPainter {
 public:
  static TzmStatusBarPainterClass Class();
  void DrawPanelBorder(TzmCustomStatusBar* ABar, TzmStatusBarPanelBevel ABevel, TRect& R,
                       TqvCanvas* ACanvas) const override;

 protected:
  TzmStatusBarFlatPainter() = default;
};

// The gradient of the shared colour scheme behind every panel, two-line separators and dotted
// grips; panel backgrounds are left to the gradient.
class TzmStatusBarOffice11Painter : public TzmStatusBarPainter {
 public:
  static TzmStatusBarPainterClass Class();
  void DrawBorder(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, TRect& R) const override;
  void DrawPanelBorder(TzmCustomStatusBar* ABar, TzmStatusBarPanelBevel ABevel, TRect& R,
                       TqvCanvas* ACanvas) const override;
  void DrawPanelSeparator(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawSizeGrip(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const override;

 protected:
  TzmStatusBarOffice11Painter() = default;
};

// The parts of the theme's "Status" class; the bar chooses it only while that class opens.
class TzmStatusBarXPPainter : public TzmStatusBarPainter {
 public:
  static TzmStatusBarPainterClass Class();
  TSize GetSizeGripSize() const override;
  Integer GetSeparatorSize() const override;
  void DrawBorder(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, TRect& R) const override;
  void DrawPanelSeparator(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawSizeGrip(TzmCustomStatusBar* ABar, TqvCanvas* ACanvas, const TRect& R) const override;
  // The theme's background shows through a panel, except where the panel's style has a colour
  // of its own.
  void DrawPanelBackground(TzmCustomStatusBar* ABar, TzmStatusBarPanel* APanel, const TRect& R,
                           TqvCanvas* ACanvas) const override;

 protected:
  TzmStatusBarXPPainter() = default;
};

// ---------------------------------------------------------------------------------------------
// Panel widths

// What the layout needs of one panel.
struct TzmStatusBarPanelWidthRule {
  Integer MinWidth = 0;
  Integer Width = 0;
  bool Fixed = true;
};

// Spreads AAvailableWidth over the panels and the fixed separators of ASeparatorSize between
// them: the result holds 2n - 1 widths, panel, separator, panel ... A fixed panel keeps its
// width; the last panel takes up what is left unless an earlier panel is not fixed.
std::vector<Integer> CalculatePanelWidths(std::span<const TzmStatusBarPanelWidthRule> APanels,
                                          Integer ASeparatorSize, Integer AAvailableWidth);

// ---------------------------------------------------------------------------------------------
// Panel styles

// What a panel draws inside its border. Every setter tells the owner panel, which repaints the
// bar. Styles are made through their class (the virtual constructor takes the panel).
class TzmStatusBarPanelStyle : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TzmStatusBarPanelStyle, TzmStatusBarPanel*>;
  QJ_CLASS(TzmStatusBarPanelStyle, TPersistent)

 public:
  // Starts with the bar's font.
  explicit TzmStatusBarPanelStyle(TzmStatusBarPanel* AOwner);
  ~TzmStatusBarPanelStyle() override;
  // Inside the panels' update bracket: RestoreDefaults, then the alignment, the colour when the
  // source's is assigned and the font when the source's is not the bar's.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TzmStatusBarPanel* GetPanel() const { return FOwner; }
  // nullptr while the panel is in no bar's panels.
  TzmCustomStatusBar* GetStatusBar() const;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The assigned colour, else GetDefaultColor.
  TColor GetColor() const;
  void SetColor(TColor Value);
  bool IsColorAssigned() const { return FColorAssigned; }
  TFont* GetFont() const { return FFont.get(); }
  // A change of the font clears ParentFont.
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);

  // Slots, in order.
  virtual bool CanDelete() { return true; }
  // Whether the panel's Width and Fixed apply.
  virtual bool CanSizing() const { return true; }
  virtual void StyleChanged();
  // For the last panel while the bar's grip shows: leaves the grip's width free at the right.
  virtual void AdjustTextRect(TRect& R);
  virtual TColor GetDefaultColor() const;
  virtual void DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter);
  virtual Integer GetMinWidth() { return 20; }
  // Without own borders the panel's bevel is drawn and 2 pixels are added to the minimum width.
  virtual bool HasOwnBorders() const { return false; }
  virtual void VisibleChanged() {}
  // While ParentFont is set, the font takes the bar's font.
  virtual void ParentFontChanged();
  virtual void RestoreDefaults();

 private:
  void FontChanged(TObject* Sender);

  TzmStatusBarPanel* FOwner;
  TOwned<TFont> FFont;
  bool FParentFont = true;
  bool FChangingParentFont = false;
  TColor FColor = clBtnFace;
  bool FColorAssigned = false;
  TAlignment FAlignment = taLeftJustify;
};

using TzmStatusBarPanelStyleClass = const TzmStatusBarPanelStyle::MetaType*;

// The process-wide registry of panel style classes with their display names ("Text Panel",
// "Container Panel", "Keyboard State Panel", "State Indicator Panel"), made on first use.
TqvRegisteredClasses* GetRegisteredStatusBarPanelStyles();
// The registered class of that name, or nullptr (empty or unknown names).
TzmStatusBarPanelStyleClass FindStatusBarPanelStyleClass(const String& AClassName);

// ---------------------------------------------------------------------------------------------
// Panels

using TzmStatusBarDrawPanelEvent =
    std::function<void(TzmStatusBarPanel* Sender, TqvCanvas* ACanvas, const TRect& ARect, bool& ADone)>;

class TzmStatusBarPanel : public TCollectionItem {
  QJ_CLASS(TzmStatusBarPanel, TCollectionItem)
 public:
  explicit TzmStatusBarPanel(TCollection* Collection);
  ~TzmStatusBarPanel() override;
  // A panel made at design time gets the bar's default style class.
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;
  String GetDisplayName() const override;

  // nullptr while the panel is in no bar's panels.
  TzmCustomStatusBar* GetStatusBar() const;

  String GetPanelStyleClassName() const;
  // Looks the class up in the registry; an empty or unknown name leaves the panel without a style.
  void SetPanelStyleClassName(const String& Value);
  TzmStatusBarPanelStyleClass GetPanelStyleClass() const { return FPanelStyleClass; }
  // Replaces the style object (its settings are lost) unless the class is the current one.
  void SetPanelStyleClass(TzmStatusBarPanelStyleClass Value);
  TzmStatusBarPanelStyle* GetPanelStyle() const { return FPanelStyle.get(); }
  // Copies the given style's settings into the existing style.
  void SetPanelStyle(TzmStatusBarPanelStyle* Value);

  TzmStatusBarPanelBevel GetBevel() const { return FBevel; }
  void SetBevel(TzmStatusBarPanelBevel Value);
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  // Clears ParentBiDiMode.
  void SetBiDiMode(TBiDiMode Value);
  bool GetParentBiDiMode() const { return FParentBiDiMode; }
  // Setting it takes the bar's mode.
  void SetParentBiDiMode(bool Value);
  // The bar's mode, for a panel that follows it.
  void ParentBiDiModeChanged();
  // The stored value without a style or with a sizable one; true otherwise.
  bool GetFixed() const;
  void SetFixed(bool Value);
  // The assigned minimum, else GetDefaultMinWidth.
  Integer GetMinWidth();
  // Negative values become 0; a width below the new minimum is raised to it.
  void SetMinWidth(Integer Value);
  bool IsMinWidthAssigned() const { return FMinWidthAssigned; }
  const String& GetText() const { return FText; }
  // The operation the program uses to show its messages.
  void SetText(const String& Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // The assigned width, else GetDefaultWidth.
  Integer GetWidth();
  // Ignored for a style that is not sizable; otherwise stored, at least the minimum.
  void SetWidth(Integer Value);
  bool IsWidthAssigned() const { return FWidthAssigned; }

  // Custom drawing of the panel's content.
  TzmStatusBarDrawPanelEvent OnDrawPanel;

  // Slots, in order.
  virtual void CreatePanelStyle();
  virtual Integer GetDefaultMinWidth();
  virtual Integer GetDefaultWidth();
  virtual void DestroyPanelStyle();
  // A change of the style: the bar repaints.
  virtual void PanelStyleChanged();

 private:
  bool IsLastPanel() const;

  String FPanelStyleClassName;
  TzmStatusBarPanelStyleClass FPanelStyleClass = nullptr;
  TOwned<TzmStatusBarPanelStyle> FPanelStyle;
  TzmStatusBarPanelBevel FBevel = zmpbLowered;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  bool FFixed = true;
  Integer FMinWidth = 0;
  bool FMinWidthAssigned = false;
  String FText;
  bool FVisible = true;
  Integer FWidth = 0;
  bool FWidthAssigned = false;
};

// The panels of a bar; a change of any panel repaints the bar.
class TzmStatusBarPanels : public TCollection {
  QJ_CLASS(TzmStatusBarPanels, TCollection)
 public:
  TzmStatusBarPanels(TzmCustomStatusBar* AStatusBar, TCollectionItemClass APanelClass);
  TzmStatusBarPanel* Add() { return static_cast<TzmStatusBarPanel*>(TCollection::Add()); }
  TzmStatusBarPanel* Insert(Integer Index) { return static_cast<TzmStatusBarPanel*>(TCollection::Insert(Index)); }
  TzmStatusBarPanel* GetItem(Integer Index) const { return static_cast<TzmStatusBarPanel*>(TCollection::GetItem(Index)); }
  TzmStatusBarPanel* operator[](Integer Index) const { return GetItem(Index); }
  TzmCustomStatusBar* GetStatusBar() const { return FStatusBar; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TzmCustomStatusBar* FStatusBar;
};

// ---------------------------------------------------------------------------------------------
// The bar

class TzmCustomStatusBar : public TqvControl {
  QJ_CLASS(TzmCustomStatusBar, TqvControl)
 public:
  explicit TzmCustomStatusBar(TComponent* AOwner);
  ~TzmCustomStatusBar() override;
  // Makes the panels and chooses the painter.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TzmStatusBarPanels* GetPanels() const { return FPanels.get(); }
  void SetPanels(TzmStatusBarPanels* Value);
  void SetPaintStyle(TzmStatusBarPaintStyle Value);
  bool GetSizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  Integer GetBorderWidth() const { return FBorderWidth; }
  // Never below 0.
  void SetBorderWidth(Integer Value);
  TCustomImageList* GetImages() const { return FImages; }
  // The bar repaints when the images change and forgets them when they are freed.
  void SetImages(TCustomImageList* Value);
  // Whether the theme's "Status" class opened when the painter was chosen.
  bool IsThemeAvailable() const { return FThemeAvailable; }
  // The container control of that name among the bar's children (compared without case).
  TzmStatusBarContainerControl* FindContainer(const String& AName) const;

  // A hint action goes to the last text panel with AutoHint: OnHint runs (and the action goes on
  // to the default handling), or without OnHint the panel shows the hint and takes the action.
  bool ExecuteAction(TBasicAction* Action) override;

  TNotifyEvent OnHint;

  // Slots, in order.
  virtual TzmStatusBarPanel* CreatePanel();
  virtual TOwned<TzmStatusBarPanels> CreatePanels();
  // Runs OnHint; true when it is assigned.
  virtual bool DoHint();
  virtual TzmStatusBarPanelStyleClass GetDefaultPanelStyleClass() const;
  virtual TzmStatusBarPainterClass GetPainterClass() const { return FPainterClass; }
  // The effective style: PaintStyle, or the look and feel's choice for stpsUseLookAndFeel.
  virtual TzmStatusBarPaintStyle GetPaintStyle() const;
  virtual TCollectionItemClass GetPanelClass() const;
  virtual void InitPainterClass();
  virtual void UpdatePainter();
  // SizeGrip set, the parent form sizable and in the normal state, and the bar's bottom-right
  // corner at the form's client corner.
  virtual bool IsSizeGripVisible();
  virtual void ThemeChanged();
  virtual void UpdatePanels();

 protected:
  bool HasScrollBars() const override { return false; }
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void FontChanged() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void WMNCHitTest(TMessage& Message);
  // The last panel whose text style takes hints, or nullptr.
  TzmStatusBarPanel* FindAutoHintPanel() const;
  void BiDiModeChanged();
  void ImageListChanged(TObject* Sender);
  std::vector<TzmStatusBarPanelWidthRule> GetPanelWidthRules();

  TOwned<TzmStatusBarPanels> FPanels;
  TzmStatusBarPaintStyle FPaintStyle = stpsStandard;
  TzmStatusBarPainterClass FPainterClass = nullptr;
  bool FThemeAvailable = false;
  bool FSizeGrip = true;
  Integer FBorderWidth = 0;
  TCustomImageList* FImages = nullptr;
  TOwned<TChangeLink> FImageChangeLink;
  TOwned<TzmThemeChangedNotificator> FThemeChangedNotificator;
  bool FSchemeReferenced = false;
};

// The bar as placed on forms.
class TzmStatusBar : public TzmCustomStatusBar {
  QJ_CLASS(TzmStatusBar, TzmCustomStatusBar)
 public:
  using TzmCustomStatusBar::TzmCustomStatusBar;
};

// ---------------------------------------------------------------------------------------------
// Text style

using TzmStatusBarTextEvent = std::function<void(TObject* Sender, const TRect& R, String& AText)>;

// The panel's text (or OnGetText's), aligned, with an end or path ellipsis, after an image of
// the bar's image list.
class TzmStatusBarTextPanelStyle : public TzmStatusBarPanelStyle {
  QJ_CLASS(TzmStatusBarTextPanelStyle, TzmStatusBarPanelStyle)
 public:
  using TzmStatusBarPanelStyle::TzmStatusBarPanelStyle;
  void Assign(TPersistent* Source) override;

  bool GetAutoHint() const { return FAutoHint; }
  // At most one text panel of a bar takes hints: setting it clears it on the others.
  void SetAutoHint(bool Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  TzmStatusBarEllipsisType GetEllipsisType() const { return FEllipsisType; }
  void SetEllipsisType(TzmStatusBarEllipsisType Value);

  TzmStatusBarTextEvent OnGetText;

  void DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) override;
  void RestoreDefaults() override;

 private:
  bool FAutoHint = false;
  Integer FImageIndex = -1;
  TzmStatusBarEllipsisType FEllipsisType = zmetNone;
};

// ---------------------------------------------------------------------------------------------
// Container style

// A control on the bar that holds other controls inside a container panel.
class TzmStatusBarContainerControl : public TqvControl {
  QJ_CLASS(TzmStatusBarContainerControl, TqvControl)
 public:
  explicit TzmStatusBarContainerControl(TComponent* AOwner);
  // Unlinks itself; its panel is left without a style.
  void BeforeDestruction() override;

  TzmStatusBarContainerPanelStyle* GetPanelStyle() const { return FPanelStyle; }

 protected:
  bool HasScrollBars() const override { return false; }
  void Paint() override;

 private:
  friend class TzmStatusBarContainerPanelStyle;
  TzmStatusBarContainerPanelStyle* FPanelStyle = nullptr;
};

class TzmStatusBarContainerPanelStyle : public TzmStatusBarPanelStyle {
  QJ_CLASS(TzmStatusBarContainerPanelStyle, TzmStatusBarPanelStyle)
 public:
  // At design time (the bar not loading, reading or updating) makes a container on the bar,
  // owned by the bar's owner and named after the bar and the panel.
  explicit TzmStatusBarContainerPanelStyle(TzmStatusBarPanel* AOwner);
  void BeforeDestruction() override;
  // Copies AlignControl and links the container of this bar named as the source's.
  void Assign(TPersistent* Source) override;

  bool GetAlignControl() const { return FAlignControl; }
  void SetAlignControl(bool Value);
  TzmStatusBarContainerControl* GetContainer() const { return FContainer; }
  // Links a container; the previous one is unlinked and, unless the bar is loading, being
  // destroyed or updating, freed.
  void SetContainer(TzmStatusBarContainerControl* Value);

  // False for a container introduced by an ancestor form.
  bool CanDelete() override;
  // Places the container over the panel's content rectangle.
  void DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) override;
  // The container shows while the panel does.
  void VisibleChanged() override;

 private:
  friend class TzmStatusBarContainerControl;
  bool IsBarBusy() const;

  bool FAlignControl = true;
  TzmStatusBarContainerControl* FContainer = nullptr;
};

// ---------------------------------------------------------------------------------------------
// State indicators

enum TzmStatusBarStateIndicatorType { sitOff, sitYellow, sitBlue, sitGreen, sitRed, sitTeal, sitPurple };

// The program's bitmap resource of an indicator type ("ZMSTATUSBAR_GRAY" ...). The seven
// bitmaps are drawn in code and registered on first use.
String GetStateIndicatorResourceName(TzmStatusBarStateIndicatorType AType);
void RegisterStateIndicatorBitmaps();

class TzmStatusBarStateIndicatorItem : public TCollectionItem {
  QJ_CLASS(TzmStatusBarStateIndicatorItem, TCollectionItem)
 public:
  explicit TzmStatusBarStateIndicatorItem(TCollection* Collection);
  ~TzmStatusBarStateIndicatorItem() override;
  void Assign(TPersistent* Source) override;

  TzmStatusBarStateIndicatorType GetIndicatorType() const { return FIndicatorType; }
  // Loads the type's bitmap.
  void SetIndicatorType(TzmStatusBarStateIndicatorType Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // Drawn transparently: its bottom-left colour is the background.
  TBitmap* GetIndicatorBitmap() const { return FIndicatorBitmap.get(); }

 private:
  void LoadBitmap();

  TzmStatusBarStateIndicatorType FIndicatorType = sitOff;
  bool FVisible = true;
  TOwned<TBitmap> FIndicatorBitmap;
};

// The indicators of a state-indicator panel; a change of an item or of the list calls OnChange.
class TzmStatusBarStateIndicators : public TCollection {
  QJ_CLASS(TzmStatusBarStateIndicators, TCollection)
 public:
  TzmStatusBarStateIndicators();
  TzmStatusBarStateIndicatorItem* Add() { return static_cast<TzmStatusBarStateIndicatorItem*>(TCollection::Add()); }
  TzmStatusBarStateIndicatorItem* GetItem(Integer Index) const {
    return static_cast<TzmStatusBarStateIndicatorItem*>(TCollection::GetItem(Index));
  }

  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem* Item) override;
};

// The visible indicators side by side, Spacing apart; the panel is as wide as they are.
class TzmStatusBarStateIndicatorPanelStyle : public TzmStatusBarPanelStyle {
  QJ_CLASS(TzmStatusBarStateIndicatorPanelStyle, TzmStatusBarPanelStyle)
 public:
  explicit TzmStatusBarStateIndicatorPanelStyle(TzmStatusBarPanel* AOwner);
  void Assign(TPersistent* Source) override;

  TzmStatusBarStateIndicators* GetIndicators() const { return FIndicators.get(); }
  void SetIndicators(TzmStatusBarStateIndicators* Value) { FIndicators->Assign(Value); }
  Integer GetSpacing() const { return FSpacing; }
  void SetSpacing(Integer Value);

  bool CanSizing() const override { return false; }
  void DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) override;
  Integer GetMinWidth() override;
  void RestoreDefaults() override;

 private:
  TOwned<TzmStatusBarStateIndicators> FIndicators;
  Integer FSpacing = 4;
};

// ---------------------------------------------------------------------------------------------
// Keyboard states

enum TzmStatusBarKeyboardState { zmksCapsLock, zmksNumLock, zmksScrollLock, zmksInsert };
using TzmStatusBarKeyboardStates = Cardinal;  // bit (1 << TzmStatusBarKeyboardState)
constexpr TzmStatusBarKeyboardStates zmksBit(TzmStatusBarKeyboardState S) { return 1u << S; }
constexpr TzmStatusBarKeyboardStates zmksAll =
    zmksBit(zmksCapsLock) | zmksBit(zmksNumLock) | zmksBit(zmksScrollLock) | zmksBit(zmksInsert);

// How a keyboard-state panel shows one key, active (toggled on) and inactive. Every setter
// stores the value and calls the change event.
class TzmStatusBarKeyStateAppearance : public TPersistent {
  QJ_CLASS(TzmStatusBarKeyStateAppearance, TPersistent)
 public:
  TzmStatusBarKeyStateAppearance(TzmStatusBarKeyboardState AKey, Word ACode, const String& AActiveCaption,
                                 TColor AActiveFontColor, const String& AInactiveCaption, TColor AInactiveFontColor,
                                 TNotifyEvent AOnChange);
  // Copies the captions and colours.
  void Assign(TPersistent* Source) override;

  TzmStatusBarKeyboardState GetKey() const { return FKey; }
  Word GetCode() const { return FCode; }
  const String& GetActiveCaption() const { return FActiveCaption; }
  void SetActiveCaption(const String& Value);
  TColor GetActiveFontColor() const { return FActiveFontColor; }
  void SetActiveFontColor(TColor Value);
  const String& GetInactiveCaption() const { return FInactiveCaption; }
  void SetInactiveCaption(const String& Value);
  TColor GetInactiveFontColor() const { return FInactiveFontColor; }
  void SetInactiveFontColor(TColor Value);
  // The wider of the two captions in the canvas's font, plus 4.
  Integer GetCellWidth(TqvCanvas* ACanvas) const;

 private:
  void Changed();

  TzmStatusBarKeyboardState FKey;
  Word FCode;
  String FActiveCaption;
  TColor FActiveFontColor;
  String FInactiveCaption;
  TColor FInactiveFontColor;
  TNotifyEvent FOnChange;
};

// The state byte of a key as the keyboard state holds it: 0x80 while the key is down, 0x01
// while it is toggled on. A reader is called from the watcher thread.
using TzmKeyStateReader = std::function<Byte(Word AKey)>;
// The window system's key state (Insert included: the window system counts its presses).
Byte GetWindowSystemKeyState(Word AKey);
// Bit 0, so that a toggle key held down (0x81) still shows on.
constexpr bool IsKeyToggledOn(Byte AState) { return (AState & 0x01) != 0; }

struct TzmStatusBarKeyboardStateWatchedKey {
  Word Code = 0;
  Byte State = 0;  // as last seen
};

// The keyboard-state watcher: a thread at idle priority that reads the watched keys every poll
// interval and, when a state changed, posts a repaint of the status bar to the GUI thread. It
// never waits for the GUI thread, and the posted repaint reaches the bar only while the bar
// lives and the watcher has not been freed. Freeing it (on the GUI thread) wakes and joins the
// thread at once.
class TzmStatusBarKeyboardStateNotifier : public TThread {
  QJ_CLASS(TzmStatusBarKeyboardStateNotifier, TThread)
 public:
  static constexpr Cardinal DefaultPollInterval = 100;  // ms

  explicit TzmStatusBarKeyboardStateNotifier(TControl* AStatusBar, TzmKeyStateReader AReader = GetWindowSystemKeyState,
                                             Cardinal APollInterval = DefaultPollInterval);
  void BeforeDestruction() override;

  // Drops an entry with that code, then watches the key from its state now.
  void AddKey(Word ACode);
  // Stops watching the first entry with that code.
  void RemoveKey(Word ACode);
  std::vector<TzmStatusBarKeyboardStateWatchedKey> GetWatchedKeys() const;
  const TzmKeyStateReader& GetReader() const { return FReader; }

 protected:
  void Execute() override;

 private:
  // Where the posted repaints go; read and cleared on the GUI thread only.
  struct TRepaintTarget {
    TControl* StatusBar;
    TAliveToken Alive;
  };

  // Sleeps one interval; false once the watcher is told to stop.
  bool WaitInterval();
  // Reads every watched key; true when one changed.
  bool ReadKeys();
  void PostRepaint();

  const TzmKeyStateReader FReader;
  const Cardinal FPollInterval;
  const std::shared_ptr<TRepaintTarget> FTarget;
  mutable std::mutex FLock;  // guards the keys and the stop flag
  std::condition_variable FWake;
  bool FStopping = false;
  std::vector<TzmStatusBarKeyboardStateWatchedKey> FKeys;
};

// Caps Lock, Num Lock, Scroll Lock and Insert in cells of their own (or one rectangle with
// FullRect), each caption in its active or inactive look; a watcher repaints the bar when a key
// changes.
class TzmStatusBarKeyboardStatePanelStyle : public TzmStatusBarPanelStyle {
  QJ_CLASS(TzmStatusBarKeyboardStatePanelStyle, TzmStatusBarPanelStyle)
 public:
  // Starts the watcher of the four keys.
  explicit TzmStatusBarKeyboardStatePanelStyle(TzmStatusBarPanel* AOwner);
  ~TzmStatusBarKeyboardStatePanelStyle() override;
  // Stops the watcher.
  void BeforeDestruction() override;
  void Assign(TPersistent* Source) override;

  TzmStatusBarKeyboardStates GetKeyboardStates() const { return FKeyboardStates; }
  void SetKeyboardStates(TzmStatusBarKeyboardStates Value);
  bool GetFullRect() const { return FFullRect; }
  void SetFullRect(bool Value);
  TzmStatusBarKeyStateAppearance* GetKeyAppearance(TzmStatusBarKeyboardState AKey) const {
    return FAppearances[size_t(AKey)].get();
  }
  TzmStatusBarKeyStateAppearance* GetCapsLockKeyAppearance() const { return GetKeyAppearance(zmksCapsLock); }
  TzmStatusBarKeyStateAppearance* GetNumLockKeyAppearance() const { return GetKeyAppearance(zmksNumLock); }
  TzmStatusBarKeyStateAppearance* GetScrollLockKeyAppearance() const { return GetKeyAppearance(zmksScrollLock); }
  TzmStatusBarKeyStateAppearance* GetInsertKeyAppearance() const { return GetKeyAppearance(zmksInsert); }
  TzmStatusBarKeyboardStateNotifier* GetNotifier() const { return FNotifier.get(); }

  bool CanSizing() const override { return false; }
  void DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) override;
  Integer GetMinWidth() override;
  bool HasOwnBorders() const override { return !FFullRect; }
  void RestoreDefaults() override;

 private:
  std::vector<TzmStatusBarKeyStateAppearance*> GetShownKeys() const;
  bool IsKeyActive(const TzmStatusBarKeyStateAppearance& AKey) const;
  Integer GetCellWidth(TzmStatusBarKeyStateAppearance& AKey, TqvCanvas* ACanvas) const;

  TzmStatusBarKeyboardStates FKeyboardStates = zmksAll;
  bool FFullRect = false;
  std::array<TOwned<TzmStatusBarKeyStateAppearance>, 4> FAppearances;
  TOwned<TzmStatusBarKeyboardStateNotifier> FNotifier;
};
