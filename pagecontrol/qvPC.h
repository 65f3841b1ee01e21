// The tabbed controls: the tab model (tabs, their list, the list of visible tabs, the image-list
// wrapper), the tab control that owns it (selection, change events, hot tracking, mouse and
// keyboard, the scroll arrows and the go button of its navigator area, the layout of the tabs),
// and the page control whose tabs stand for tab sheets.
//
// Where the parts live: qvPCTabs.cpp (the tab model), qvPCLayout.cpp (rows, positions and the
// scrolled window of a single line), qvPC.cpp (the tab control: properties, selection, layout
// requests, painting), qvPCInput.cpp (hot tracking, navigator buttons, mouse, keyboard,
// accelerators, the go dialog's opening and closing), qvPCPageControl.cpp (the page control and
// its sheets), qvPCDocking.cpp (docked clients on sheets of their own). Painters: qvPCPainters.h; the style
// registry: qvPCPaintersFactory.h; the go dialog: qvPCGoDialog.h.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "lookandfeel/qvControls.h"
#include "platform/rtl/StringList.h"

class TCustomImageList;
class TChangeLink;
class TTimer;
class TzmThemeChangedNotificator;
class TqvCustomTabControl;
class TqvPCCustomPainter;
class TqvPCGoDialog;
class TqvTabs;
class TqvPageControl;
class TqvTabSheet;

// ---------------------------------------------------------------------------------------------
// Small types

enum TqvPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog };
using TqvPCNavigatorButtons = Cardinal;  // bit (1 << TqvPCNavigatorButton)
constexpr TqvPCNavigatorButtons nbBit(TqvPCNavigatorButton B) { return 1u << B; }
constexpr TqvPCNavigatorButtons nbArrows = nbBit(nbTopLeft) | nbBit(nbBottomRight);
enum TqvPCNavigatorButtonState { nbsNormal, nbsPressed, nbsHotTrack, nbsDisabled };
enum TqvPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };

enum TqvPCOption { pcoGoDialog, pcoNoArrows, pcoSort, pcoTopToBottomText };
using TqvPCOptions = Cardinal;  // bit (1 << TqvPCOption)
constexpr TqvPCOptions pcoBit(TqvPCOption O) { return 1u << O; }

using TqvPCStyleID = Integer;
constexpr TqvPCStyleID qvPCDefaultStyle = 0;  // the style follows the look and feel

enum TqvTabPosition { tpTop, tpBottom, tpLeft, tpRight };
// The side of the page a tab lies on.
enum TqvTabSide { tsTop, tsBottom, tsLeft, tsRight };
enum TqvTabTextOrientation { ttoHorizontal, ttoBottomToTop, ttoTopToBottom };

// What changed about a tab, for its repaint.
enum TqvTabChangeKind {
  tckCaptionOrImage, tckEnabled, tckFocusRect, tckHighlighted, tckHot, tckActive, tckLayout, tckPressed,
  tckSelected, tckFocusMark
};

// A tab's side and text orientation in one number; painters choose outlines and bitmap turns by
// it.
enum TqvTabKind {
  tkTopHorizontal = 1, tkTopBottomToTop = 2, tkTopTopToBottom = 3,
  tkLeftBottomToTop = 4, tkLeftTopToBottom = 5, tkLeftHorizontal = 6,
  tkRightBottomToTop = 7, tkRightTopToBottom = 8, tkRightHorizontal = 9,
  tkBottomHorizontal = 10, tkBottomBottomToTop = 11, tkBottomTopToBottom = 12
};
TqvTabKind GetTabKind(TqvTabSide ASide, TqvTabTextOrientation AOrientation);

// Left, top, right and bottom deltas added to a tab's rectangle.
struct TqvTabCorrection {
  Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TqvTabCorrection&, const TqvTabCorrection&) = default;
};

// What the painter offers the rows for a set of shown navigator buttons.
struct TqvPCTabsArea {
  TRect Bounds;                // where rows may lie
  Integer BeforeBandAdjust = 0;
  Integer AfterBandAdjust = 0;
  Integer BandGap = 0;         // between the two bands when rows lie on both sides of the page
  Integer LineLength = 0;      // along one row
  TRect StartRect;             // where a row starts along and across the line
};

// One row of tabs as (first, last) visible indexes; -1, -1 for an empty row.
struct TqvPCLineIndexBounds {
  Integer First = -1;
  Integer Last = -1;
  friend bool operator==(const TqvPCLineIndexBounds&, const TqvPCLineIndexBounds&) = default;
};
using TqvPCLineIndexBoundsArray = std::vector<TqvPCLineIndexBounds>;

// ---------------------------------------------------------------------------------------------
// Rows of a multi-line layout, as pure geometry over the tabs' lengths along the line

// The length of a row from tab AFirst to ALast: their lengths plus AInterval between each two.
Integer GetTabRowLength(std::span<const Integer> ALengths, Integer AFirst, Integer ALast, Integer AInterval);
// Rebalances the rows of one group of ordinary tabs so that the largest free space (line length
// minus row length) is as small as it can be by moving tabs down from the end of one row to the
// front of the next; among equal results fewer tabs move, decided from the last row up. Rows
// keep at least their first tab. Memoised: linear in the tabs times the row length.
TqvPCLineIndexBoundsArray BalanceTabRows(std::span<const Integer> ALengths, const TqvPCLineIndexBoundsArray& ARows,
                                         Integer ALineLength, Integer AInterval);
// The row of each tab: filled greedily (a tab joins a row while the row's tabs, an interval
// after each and the tab fit), a tab at least as long as the line on a row of its own; each
// group of ordinary tabs spanning several rows is rebalanced when ABalance.
std::vector<Integer> FillTabRows(std::span<const Integer> ALengths, Integer ALineLength, Integer AInterval,
                                 bool ABalance);
// Widens the tabs of a row in proportion to their lengths so that the row ends at the line's
// end; the last tab takes the rounding remainder. Rows without free space stay.
void StretchTabRow(std::span<Integer> ALengths, Integer ALineLength, Integer AInterval);

// ---------------------------------------------------------------------------------------------
// Bitmaps

// Turns a 32-bit bitmap in place: 1 a quarter turn for text that reads bottom to top
// (anticlockwise), 2 the other quarter turn, 3 a half turn; 0 leaves it.
void RotateTabBitmap(TBitmap* ABitmap, Integer AMode);

// ---------------------------------------------------------------------------------------------
// Tab model

// One tab of a tab control, owned by its list; freed only through the list.
class TqvTab : public TPersistent {
  QJ_CLASS(TqvTab, TPersistent)
 public:
  TqvTab(TqvTabs* ATabs, Integer AIndex);
  ~TqvTab() override;
  // Copies caption, display caption, Enabled, Highlighted, the effective image index, Object,
  // Visible and Selected.
  void Assign(TPersistent* Source) override;

  TqvTabs* GetTabs() const { return FTabs; }
  TqvCustomTabControl* GetControl() const;
  Integer GetIndex() const { return FIndex; }

  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  // The caption without accelerator marks: "&&" shows one '&', a final '&' an underscore.
  const String& GetDisplayCaption() const { return FDisplayCaption; }
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool GetHighlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);
  Integer GetImageIndex() const { return FImageIndex; }
  // Negative values become -1.
  void SetImageIndex(Integer Value);
  TObject* GetObject() const { return FObject; }
  void SetObject(TObject* Value) { FObject = Value; }
  bool GetSelected() const { return FSelected; }
  void SetSelected(bool Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);

  // Layout results.
  Integer GetRow() const { return FRow; }
  void SetRow(Integer Value) { FRow = Value; }
  Integer GetDisplayRow() const { return FDisplayRow; }
  void SetDisplayRow(Integer Value) { FDisplayRow = Value; }
  // Along and across the line.
  TPoint GetPosition() const { return FPosition; }
  void SetPosition(TPoint Value) { FPosition = Value; }
  Integer GetNormalWidth() const { return FNormalWidth; }
  void SetNormalWidth(Integer Value) { FNormalWidth = Value; }
  const TqvTabCorrection& GetCorrection() const { return FCorrection; }
  void SetCorrection(const TqvTabCorrection& Value) { FCorrection = Value; }

  // Derived facts.
  Integer GetVisibleIndex() const;
  bool IsActive() const;
  bool IsHot() const;
  bool IsPressed() const;
  bool IsFocused() const;
  // The control and the tab are enabled.
  bool GetRealEnabled() const;
  TqvTabSide GetSide() const;
  TqvTabKind GetKind() const;
  // MeasuredTabHeight with Rotate, else NormalWidth.
  Integer GetNormalLength() const;
  TRect GetFullRect() const;
  TRect GetRect() const;
  // Empty for a hidden tab and outside the scrolled window; else clipped to its side's band.
  TRect GetVisibleRect() const;

  // Bitmaps the painters keep for the tab (nullptr until made).
  TBitmap* GetTabBitmap() const { return FTabBitmap.get(); }
  TBitmap* NeedTabBitmap();
  TBitmap* GetRotatedText() const { return FRotatedText.get(); }
  void SetRotatedText(TOwned<TBitmap> Value) { FRotatedText = std::move(Value); }
  void FreeRotatedText() { FRotatedText.reset(); }

 private:
  friend class TqvTabs;
  void Changed(TqvTabChangeKind AKind);
  bool IsShown() const { return !GetVisibleRect().IsEmpty(); }

  TqvTabs* FTabs;
  Integer FIndex;
  String FCaption;
  String FDisplayCaption;
  bool FEnabled = true;
  bool FHighlighted = false;
  Integer FImageIndex;
  TObject* FObject = nullptr;
  bool FSelected = false;
  bool FVisible = true;
  Integer FRow = 0;
  Integer FDisplayRow = 0;
  TPoint FPosition;
  Integer FNormalWidth = 0;
  TqvTabCorrection FCorrection;
  TOwned<TBitmap> FTabBitmap;
  TOwned<TBitmap> FRotatedText;
};

// The display caption of a caption (see TqvTab::GetDisplayCaption).
String GetTabDisplayCaption(const String& ACaption);

// The tabs of a control in Index order; the lines are the captions, the objects the tabs'
// Object. Bad indexes raise plain exceptions naming the operation.
class TqvTabs : public TStrings {
  QJ_CLASS(TqvTabs, TStrings)
 public:
  explicit TqvTabs(TqvCustomTabControl* AParent);
  ~TqvTabs() override;

  TqvCustomTabControl* GetParent() const { return FParent; }
  // The first tab of an empty control (not loading) becomes the selected one. Insert, Delete
  // and Clear do nothing while the control's tabs are fixed.
  void Insert(Integer Index, const String& S) override;
  void Delete(Integer Index) override;
  void Clear() override;
  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  Integer GetCount() const override { return static_cast<Integer>(FTabs.size()); }
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;

  TqvTab* GetTab(Integer Index) const;
  TqvTab* operator[](Integer Index) const { return GetTab(Index); }
  TqvTab* GetVisibleTab(Integer VisibleIndex) const;
  Integer GetVisibleCount() const;
  Integer GetMeasuredTabHeight() const { return FMeasuredTabHeight; }
  void SetMeasuredTabHeight(Integer Value) { FMeasuredTabHeight = Value; }

  virtual void RaiseIndexError(const char* AOperation, Integer AIndex) const;
  void FreeRotatedTexts();
  // The hot tab's old and new entries are repainted when it changes.
  void SetHotTab(Integer VisibleIndex);
  // The visible position of TabIndex, where it would stand when hidden, the last visible tab
  // beyond them all; -1 without a selection.
  void UpdateActiveVisibleIndex();
  // Out-of-range values become -1; a single line scrolls the tab into view.
  void SetFocusedTab(Integer VisibleIndex);
  void RepaintImageTabs();
  // A layout for kind tckLayout or visible index -1, else the painter's repaint of the tab.
  void TabChanged(Integer VisibleIndex, TqvTabChangeKind AKind);

 private:
  void Renumber(Integer AFrom);
  void UpdateCorrection(Integer VisibleIndex);

  TqvCustomTabControl* FParent;
  std::vector<TOwned<TqvTab>> FTabs;
  Integer FMeasuredTabHeight = 0;
  bool FUpdating = false;
  TqvTabSheet* FUndockingPage = nullptr;
};

// The text before the first carriage return or line feed: the caption of a docked client's sheet.
String GetDockCaption(const String& AText);

// The Index values of the visible tabs, ascending; a visible index is a position in it.
class TqvVisibleTabList : public TObject {
  QJ_CLASS(TqvVisibleTabList, TObject)
 public:
  explicit TqvVisibleTabList(TqvCustomTabControl* AControl) : FControl(AControl) {}

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvTab* GetTab(Integer VisibleIndex) const;
  // Binary search; on a miss APosition is where AIndex would be inserted.
  bool Find(Integer AIndex, Integer& APosition) const;
  void Add(Integer AIndex);
  void Remove(Integer AIndex);
  void Rebuild();
  Integer VisibleIndexOf(Integer AIndex) const;

 private:
  TqvCustomTabControl* FControl;
  std::vector<Integer> FItems;
};

// The control's image list, drawn as it is or turned with vertical text; turned images are kept
// per image and background colour.
class TqvPCImageList : public TObject {
  QJ_CLASS(TqvPCImageList, TObject)
 public:
  TqvPCImageList(TqvCustomTabControl* AParent, std::function<void()> AOnChange);
  ~TqvPCImageList() override;

  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  Integer GetRotation() const { return FRotation; }
  // 0 none, 1 a quarter turn for text reading bottom to top, 2 for text reading top to bottom.
  void SetRotation(Integer Value);
  // Raises without images and for a bad index.
  void Draw(TCanvas* ACanvas, Integer X, Integer Y, bool AEnabled, TColor ABackgroundColor, Integer AImageIndex);
  // (0, 0) without images or with a zero width or height.
  TSize GetImageSize() const;
  // Width and height exchanged while images are turned.
  TSize GetRotatedImageSize() const;
  bool HasImages() const;
  // The list is going away.
  void ImagesFreed();

 private:
  struct TCacheEntry {
    TColor Background = clNone;
    TOwned<TBitmap> Bitmap;
    bool Valid = false;
  };
  void RebuildCache();
  void ImagesChanged(TObject*);

  TqvCustomTabControl* FParent;
  TCustomImageList* FImages = nullptr;
  TOwned<TChangeLink> FChangeLink;
  Integer FRotation = 0;
  std::vector<TCacheEntry> FCache;
  std::function<void()> FOnChange;
};

// ---------------------------------------------------------------------------------------------
// Tab control

using TqvTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TqvDrawTabEvent = std::function<void(TqvCustomTabControl* AControl, TqvTab* ATab, bool& DefaultDraw)>;
using TqvDrawTabExEvent = std::function<void(TqvCustomTabControl* AControl, TqvTab* ATab, TFont* Font)>;
using TqvGetTabImageEvent = std::function<void(TObject* Sender, Integer TabIndex, Integer& ImageIndex)>;

class TqvCustomTabControl : public TqvControl {
  QJ_CLASS(TqvCustomTabControl, TqvControl)
 public:
  // The arrow buttons' repeat: the first step at once, the next after FirstDelay, then every
  // RepeatDelay.
  static constexpr Cardinal ArrowFirstDelay = 300;
  static constexpr Cardinal ArrowRepeatDelay = 150;

  explicit TqvCustomTabControl(TComponent* AOwner);
  ~TqvCustomTabControl() override;
  // Chooses the default painter (Style 0).
  void AfterConstruction() override;
  // Closes an open go dialog first.
  void BeforeDestruction() override;

  // Properties (setters act only on a change of value).
  bool GetHideTabs() const { return FHideTabs; }
  void SetHideTabs(bool Value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  Integer GetImageBorder() const { return FImageBorder; }
  // Negative values are ignored.
  void SetImageBorder(Integer Value);
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* Value);
  Integer GetMaxRotatedTabWidth() const { return FMaxRotatedTabWidth; }
  // Negative becomes 0; a positive value below the painter's minimal tab width that minimum.
  void SetMaxRotatedTabWidth(Integer Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TqvPCNavigatorPosition GetNavigatorPosition() const { return FNavigatorPosition; }
  void SetNavigatorPosition(TqvPCNavigatorPosition Value);
  TqvPCOptions GetOptions() const { return FOptions; }
  void SetOptions(TqvPCOptions Value);
  bool GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  bool GetRaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool Value);
  bool GetRotate() const { return FRotate; }
  void SetRotate(bool Value);
  bool GetScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool Value);
  bool GetShowFrame() const { return FShowFrame; }
  void SetShowFrame(bool Value);
  TqvPCStyleID GetStyle() const { return FStyle; }
  // 0: the look and feel's style (Style reads 0); an unregistered id is ignored.
  void SetStyle(TqvPCStyleID Value);
  Integer GetTabIndex() const { return FTabIndex; }
  void SetTabIndex(Integer Value);
  TqvTabPosition GetTabPosition() const { return FTabPosition; }
  void SetTabPosition(TqvTabPosition Value);
  TqvTabs* GetTabs() const { return FTabs.get(); }
  // Replaces the tabs by the lines of Value.
  void SetTabs(TStrings* Value);
  SmallInt GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(SmallInt Value);
  SmallInt GetTabHeight() const { return FTabHeight; }
  void SetTabHeight(SmallInt Value);

  // Change events are not fired while locked, loading or designing; the lock never goes below 0.
  void LockChangeEvents();
  void UnlockChangeEvents();
  bool ChangeEventsLocked() const;

  // Lays the tabs out again (see qvPC.cpp); nothing while loading, destroying or laying out.
  virtual void RequestLayout();
  // Single line only: |Delta| steps towards the forward arrow (Delta > 0) or the back arrow.
  void ScrollTabs(Integer Delta);
  void MakeTabVisible(Integer VisibleIndex);
  // The visible index of the tab under a client point, -1 when none.
  Integer GetTabAt(Integer X, Integer Y);
  const String& GetDisplayCaption(Integer Index) const;
  // The tab's ImageIndex through OnGetImageIndex; -1 unless the images hold it.
  virtual Integer GetTabImageIndex(Integer Index);

  // State the painters and the layout read.
  TqvPCCustomPainter* GetPCPainter() const { return FPainter.get(); }
  TqvVisibleTabList* GetVisibleTabs() const { return FVisibleTabList.get(); }
  TqvPCImageList* GetImageList() const { return FImageList.get(); }
  TqvPCGoDialog* GetGoDialog() const { return FGoDialog; }
  Integer GetFirstVisibleTab() const { return FFirstVisibleTab; }
  Integer GetLastVisibleTab() const { return FLastVisibleTab; }
  bool IsLastTabComplete() const { return FLastTabComplete; }
  Integer GetRowCount() const { return FRowCount; }
  Integer GetRowExtent() const { return FRowExtent; }
  Integer GetRowsBeforePage() const { return FRowsBeforePage; }
  const TRect& GetBeforeBand() const { return FBeforeBand; }
  const TRect& GetAfterBand() const { return FAfterBand; }
  const TqvPCTabsArea& GetTabsArea() const { return FTabsArea; }
  TqvPCNavigatorButtons GetNavigatorButtons() const { return FNavigatorButtons; }
  TqvPCNavigatorButtonState GetNavigatorButtonState(TqvPCNavigatorButton AButton) const {
    return FNavigatorButtonStates[AButton];
  }
  TqvPCNavigatorButtons GetHotButtons() const { return FHotButtons; }
  TqvPCNavigatorButtons GetPressedButtons() const { return FPressedButtons; }
  Integer GetActiveVisibleIndex() const { return FActiveVisibleIndex; }
  Integer GetHotTab() const { return FHotTab; }
  Integer GetPressedTab() const { return FPressedTab; }
  Integer GetFocusedTab() const { return FFocusedTab; }
  bool IsMultiSelectionActive() const { return FMultiSelectionActive; }
  bool IsGoDialogOpen() const { return FGoDialogOpen; }
  // The repeat timer of the arrows (nullptr until first used).
  TTimer* GetArrowTimer() const { return FArrowTimer; }

  // Geometry helpers shared with the painters.
  bool IsHorizontalPosition() const { return FTabPosition == tpTop || FTabPosition == tpBottom; }
  // Tabs run from the far end of the line.
  bool IsTabOrderReversed() const;
  TqvTabTextOrientation GetTextOrientation() const;
  bool IsTextVertical() const { return GetTextOrientation() != ttoHorizontal; }
  // The visible indexes that are placed: all in multi-line mode, the window of a single line.
  void GetPlacedTabRange(Integer& AFirst, Integer& ALast) const;
  // For every display row the lowest and highest visible index in it.
  TqvPCLineIndexBoundsArray GetRowBounds() const;
  bool IsLoading() const { return HasState(csLoading); }
  bool IsInLayout() const { return FInLayout; }
  // Whether Tabs refuses to insert and delete entries (a page control's tabs follow its pages).
  virtual bool AreTabsFixed() const { return false; }

  // Slots, in order.
  virtual bool IsTabPageEnabled(Integer) { return true; }
  virtual void ImageListChanged();
  virtual bool HandleTabKey(Word& Key, TShiftState Shift);
  virtual bool RequireVisibleSelection() const { return false; }
  virtual bool CanChange(Integer NewTabIndex);
  virtual void Change();
  virtual void GoDialogClosed();

  TNotifyEvent OnChange;
  TqvTabChangingEvent OnChanging;
  TqvDrawTabEvent OnDrawTab;
  TqvDrawTabExEvent OnDrawTabEx;
  TqvGetTabImageEvent OnGetImageIndex;

 protected:
  friend class TqvTab;
  friend class TqvTabs;
  friend class TqvPCGoDialog;

  // Layout (qvPCLayout.cpp).
  void CalculateTabs();
  bool PlaceRow(Integer ARow);
  void CalculateRowExtent();
  void RotateRows();
  void CalculateRowPositions();
  Integer GetTabsInterval(bool AWithinRow) const;
  bool GetActiveRowMoves() const;

  // Navigator buttons and hot tracking (qvPCInput.cpp).
  void UpdateHotTrack(TShiftState Shift);
  void UpdateHotTrack();
  void UpdateNavigatorButtonStates();
  bool CanNavigatorButtonAct(TqvPCNavigatorButton AButton) const;
  void SetNavigatorButtonState(TqvPCNavigatorButton AButton, TqvPCNavigatorButtonState AState);
  void PressNavigatorButton(TqvPCNavigatorButton AButton);
  void ReleaseNavigatorButton(TqvPCNavigatorButton AButton);
  void ArrowStep(TqvPCNavigatorButton AButton);
  void StopArrowTimer();
  void ArrowTimerTick(TObject*);
  void OpenGoDialog();
  void SetPressedTab(Integer VisibleIndex);
  void TabClicked(Integer VisibleIndex, TShiftState Shift, bool AMouseUp);
  void SelectVisibleTab(Integer VisibleIndex);
  bool SelectAccelerator(char AChar);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Paint() override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool HasScrollBars() const override { return false; }
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void FontChanged() override;
  void MouseLeave(TControl* AControl) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  // Children lie inside the painter's display rectangle.
  void AdjustClientRect(TRect& Rect) override;
  virtual void ThemeChanged();

 private:
  void InstallPainter(TqvPCStyleID AStyle);
  void ChooseDefaultStyle();
  void ApplyTabIndex(Integer NewIndex);
  bool IsInteractive() const;

  Integer FChangeEventsLockCount = 0;
  TRect FAfterBand;
  TRect FBeforeBand;
  Integer FFirstVisibleTab = -1;
  Integer FLastVisibleTab = -1;
  TqvPCGoDialog* FGoDialog = nullptr;
  bool FGoDialogOpen = false;
  bool FHideTabs = false;
  bool FHotTrack = false;
  TqvPCNavigatorButtons FHotButtons = 0;
  Integer FHotTab = -1;
  Integer FImageBorder = 0;
  TOwned<TqvPCImageList> FImageList;
  bool FLastTabComplete = false;
  Integer FActiveVisibleIndex = -1;
  Integer FMaxRotatedTabWidth = 0;
  bool FMultiLine = false;
  bool FMultiSelectionActive = false;
  TqvPCNavigatorButtons FNavigatorButtons = 0;
  TqvPCNavigatorButtonState FNavigatorButtonStates[3] = {nbsNormal, nbsNormal, nbsNormal};
  TqvPCNavigatorPosition FNavigatorPosition = npRightTop;
  TqvPCOptions FOptions = 0;
  bool FOwnerDraw = false;
  TOwned<TqvPCCustomPainter> FPainter;
  TqvPCNavigatorButtons FPressedButtons = 0;
  Integer FPressedTab = -1;
  bool FRaggedRight = false;
  bool FRotate = false;
  Integer FRowCount = 0;
  Integer FRowExtent = 0;
  bool FScrollOpposite = false;
  bool FShowFrame = false;
  TqvPCStyleID FStyle = qvPCDefaultStyle;
  Integer FTabIndex = -1;
  TqvTabPosition FTabPosition = tpTop;
  TOwned<TqvTabs> FTabs;
  SmallInt FTabWidth = 0;
  SmallInt FTabHeight = 0;
  TqvPCTabsArea FTabsArea;
  TTimer* FArrowTimer = nullptr;
  Integer FRowsBeforePage = 0;
  Integer FFocusedTab = -1;
  bool FInLayout = false;
  TqvPCLineIndexBoundsArray FFilledRows;  // the rows as the last multi-line fill left them
  TOwned<TqvVisibleTabList> FVisibleTabList;
  TOwned<TzmThemeChangedNotificator> FThemeChangedNotificator;
};

// ---------------------------------------------------------------------------------------------
// Page control and tab sheets

using TqvPageChangingEvent = std::function<void(TObject* Sender, TqvTabSheet* NewPage, bool& AllowChange)>;

extern const TResourceString sqvPCInvalidPageIndex;

// A page of a page control: a child window whose caption, image, enabled state and visibility
// drive its tab.
class TqvTabSheet : public TCustomControl {
  QJ_CLASS(TqvTabSheet, TCustomControl)
 public:
  explicit TqvTabSheet(TComponent* AOwner);
  // Leaves its page control.
  void BeforeDestruction() override;

  TqvPageControl* GetPageControl() const { return FPageControl; }
  // Moves the sheet to another page control (nullptr: none).
  void SetPageControl(TqvPageControl* Value);
  TqvTab* GetTab() const { return FTab; }
  // The position in the page list; -1 without a page control.
  Integer GetPageIndex() const;
  // Raises EListError outside 0..PageCount-1; moves the sheet and its tab and selects it.
  void SetPageIndex(Integer Value);
  bool GetTabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  bool GetHighlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  Integer GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);

  TNotifyEvent OnShow, OnHide;

 protected:
  friend class TqvPageControl;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void AdjustClientRect(TRect& Rect) override;
  void SetParentComponent(TComponent* Value) override;
  virtual void DoShow();
  virtual void DoHide();

 private:
  void UpdateTab();
  void PaintThemedBackground(TCanvas* ACanvas, const TRect& AClip);

  TqvPageControl* FPageControl = nullptr;
  TqvTab* FTab = nullptr;
  bool FTabVisible = true;
  bool FHighlighted = false;
  Integer FImageIndex = -1;
  Integer FBorderWidth = 0;
};

class TqvPageControl : public TqvCustomTabControl {
  QJ_CLASS(TqvPageControl, TqvCustomTabControl)
 public:
  explicit TqvPageControl(TComponent* AOwner);
  // Detaches every sheet.
  void BeforeDestruction() override;

  TqvTabSheet* GetActivePage() const { return FActivePage; }
  void SetActivePage(TqvTabSheet* Page);
  Integer GetPageCount() const { return static_cast<Integer>(FPages.size()); }
  TqvTabSheet* GetPage(Integer Index) const;
  bool GetFocusable() const { return FFocusable; }
  // False takes the control out of the tab order; it cannot take the focus, not even by a click.
  void SetFocusable(bool Value);
  bool CanFocus() override { return FFocusable && inherited::CanFocus(); }
  // From CurPage in the direction, wrapping, to the next page (tab-visible when
  // CheckTabVisible); nil without pages.
  TqvTabSheet* FindNextPage(TqvTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

  // Slots.
  bool IsTabPageEnabled(Integer Index) override;
  void ImageListChanged() override;
  bool RequireVisibleSelection() const override { return true; }
  bool AreTabsFixed() const override { return !FUpdating; }
  bool CanChange(Integer NewTabIndex) override;
  void Change() override;
  virtual void UpdateActivePage();
  virtual bool CanChangePage(TqvTabSheet* NewPage);
  virtual void PageChanged();

  TqvPageChangingEvent OnPageChanging;

  // Docking (qvPCDocking.cpp): with DockSite set every docked client gets a sheet of its own.
  // The sheet holding a docked client, or nullptr.
  TqvTabSheet* GetDockClientSheet(TControl* AClient) const;
  // A client already on one of the sheets cannot dock again; elsewhere the whole control is the
  // dock rectangle.
  void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;
  void DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;

 protected:
  friend class TqvTabSheet;
  void Loaded() override;
  void ShowControl(TControl* AControl) override;
  bool MayFocus() const override { return FFocusable; }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;
  // A new sheet for the client, captioned like a form client, active when the client shows.
  void DoAddDockClient(TControl* Client, const TRect& ARect) override;
  // The sheet the client leaves goes away.
  void DoRemoveDockClient(TControl* Client) override;
  bool DoUnDock(TWinControl* NewTarget, TControl* Client) override;

 private:
  void InsertPage(TqvTabSheet* Page);
  void RemovePage(TqvTabSheet* Page);
  void MovePage(TqvTabSheet* Page, Integer NewIndex);
  void ChangeActivePage(TqvTabSheet* Page);
  void DockClientChanged(TControl* AClient, const TDockNotifyRec& ANotify);
  TControl* GetDockClientOf(TqvTabSheet* ASheet) const;

  TqvTabSheet* FActivePage = nullptr;
  bool FFocusable = true;
  std::vector<TqvTabSheet*> FPages;
  bool FUpdating = false;
  TqvTabSheet* FUndockingPage = nullptr;
};

// The text before the first carriage return or line feed: the caption of a docked client's sheet.
String GetDockCaption(const String& AText);
