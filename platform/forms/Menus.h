// Menus: menu items in a tree, the menu bar of a form and pop-up menus, built on the window
// system's menus. Items get command ids from one pool; a chosen command, an opened sub-menu or
// a shortcut key finds its item again and runs its OnClick. Items with pictures (the menu's
// Images or an item's Bitmap) or owner-draw events are drawn here.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/os/WinMenus.h"

class TMenu;
class TCustomImageList;
class TChangeLink;

QJ_EXCEPTION(EMenuError, Exception)

extern const TResourceString SMenuIndexError;
extern const TResourceString SMenuInserted;
extern const TResourceString SMenuNotFound;
extern const TResourceString SMenuReinserted;

// ---------------------------------------------------------------------------------------------
// Shortcuts: a virtual key in the low byte with scShift, scCtrl and scAlt above it.

using TShortCut = Word;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Shift+F5", "Alt+BkSp", "Del"; empty for 0 or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText (modifier names without case); 0 for text it does not know.
TShortCut TextToShortCut(const String& Text);
// The shortcut of a key message (WM_KEYDOWN/WM_SYSKEYDOWN or their CN_ forms), with the shift
// state of the moment.
TShortCut ShortCutFromMessage(const TMessage& Message);

// The letter a caption marks with '&' ("&&" is a plain '&'), upper case; 0 when none.
char GetHotkey(const String& Text);
// The caption without its '&' marks ("&&" becomes '&').
String StripHotkey(const String& Text);
// Whether the character of VK is the letter the caption marks with '&' (case ignored).
bool IsAccel(Word VK, const String& Str);

// ---------------------------------------------------------------------------------------------
// Menu items

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

enum TOwnerDrawStateFlag : Cardinal {
  odSelected = 1u << 0, odGrayed = 1u << 1, odDisabled = 1u << 2, odChecked = 1u << 3, odFocused = 1u << 4,
  odDefault = 1u << 5, odHotLight = 1u << 6, odInactive = 1u << 7, odNoAccel = 1u << 8, odNoFocusRect = 1u << 9,
};
using TOwnerDrawState = Cardinal;

// The owner-draw state of a window-system item state (ODS_ flags).
TOwnerDrawState ItemStateToOwnerDrawState(UINT ItemState);

class TMenuItem;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height)>;
using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// One item; an item with items of its own opens a sub-menu. An item frees its sub-items.
class TMenuItem : public TComponent {
  QJ_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // The tree
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Raises EMenuError for a bad index.
  TMenuItem* GetItem(Integer Index) const;
  TMenuItem* operator[](Integer Index) const { return GetItem(Index); }
  TMenuItem* GetParent() const { return FParent; }
  TMenu* GetParentMenu() const;
  // Raises EMenuError for an item that already has a parent, for itself or for one of its parents.
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Detaches the item (it is not freed); EMenuError when it is not one of ours.
  void Remove(TMenuItem* Item);
  // Detaches and frees the item at Index.
  void Delete(Integer Index);
  // Frees every sub-item.
  void Clear();
  Integer IndexOf(const TMenuItem* Item) const;
  Integer GetMenuIndex() const;
  void SetMenuIndex(Integer Value);
  // The sub-item with that caption, '&' marks and case ignored; nullptr when none.
  TMenuItem* Find(const String& ACaption) const;
  bool IsLine() const { return FCaption == "-"; }

  // Properties
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool GetChecked() const { return FChecked; }
  // Checking a radio item unchecks the other radio items of its group among its siblings.
  void SetChecked(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetRadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Byte GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  bool GetAutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  TMenuBreak GetBreak() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // Made on first use; an empty bitmap means none.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const;
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  Integer GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }
  // The images of the nearest parent menu that has some.
  TCustomImageList* GetImageList() const;

  // The window system's side
  Word GetCommand() const { return FCommand; }
  // The sub-menu of this item (made on first use); every item may have one.
  HMENU GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Runs AutoCheck and OnClick (a disabled item does nothing).
  virtual void Click();
  // Draws the item the way the menu shows it (the owner-draw path), or through OnDrawItem /
  // OnAdvancedDrawItem when assigned.
  virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
  virtual void MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height);

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;
  // Told when the item or its sub-items change (Rebuild: the menu's layout changed).
  TMenuChangeEvent OnChange;

 protected:
  friend class TMenu;
  void MenuChanged(bool Rebuild);
  // Brings the window system's menu of this item (and the sub-menus) in line with the tree.
  void RebuildHandle();
  void DestroyHandle();
  bool IsOwnerDrawn() const;
  void DrawDefault(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);

 private:
  bool IsTopLevelBarItem() const;
  void AppendTo(HMENU Menu);
  void TurnSiblingsOff();
  void BitmapChanged(TObject*);
  String MenuText() const;

  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  HMENU FHandle = nullptr;
  Word FCommand = 0;
  String FCaption;
  bool FChecked = false, FEnabled = true, FVisible = true, FDefault = false, FRadioItem = false, FAutoCheck = false;
  Byte FGroupIndex = 0;
  TShortCut FShortCut = 0;
  TMenuBreak FBreak = mbNone;
  Integer FImageIndex = -1;
  TOwned<TBitmap> FBitmap;
  String FHint;
  Integer FHelpContext = 0;
};

// ---------------------------------------------------------------------------------------------
// Menus

class TMenu : public TComponent {
  QJ_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  TMenuItem* GetItems() const { return FItems; }
  // The window system's menu (made on first use).
  HMENU GetHandle();
  // The window that receives the menu's messages.
  HWND GetWindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(HWND Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

  // A command id of one of the items: runs its Click. False when none has that id.
  bool DispatchCommand(Word ACommand);
  // A sub-menu about to open: its item's Click runs (to update the sub-items). False if none.
  bool DispatchPopup(HMENU AMenu);
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind);
  // A key message matching the shortcut of an enabled, visible item: runs its Click (parent
  // items' Click first, so they may update their sub-items). True when an item took it.
  bool IsShortCut(const TMessage& Message);
  // Answers the menu messages that reach the menu's window (commands, sub-menus opening,
  // selection hints, owner-drawn items, letters). False for other messages.
  bool ProcessMessage(TMessage& Message);

  TMenuChangeEvent OnChange;

 protected:
  friend class TMenuItem;
  virtual HMENU CreateMenuHandle() = 0;
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  bool IsBar() const { return FIsBar; }
  bool FIsBar = false;

 private:
  void ImageListChange(TObject*);
  static void RebuildAll(TMenuItem* Item);
  void MeasureMessage(TMessage& Message);
  void DrawMessage(TMessage& Message);
  void MenuSelect(TMessage& Message);

  TMenuItem* FItems;
  HWND FWindowHandle = nullptr;
  TCustomImageList* FImages = nullptr;
  TOwned<TChangeLink> FImageChangeLink;
  bool FOwnerDraw = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
};

// The menu bar of a form: give it to the form with SetMenu.
class TMainMenu : public TMenu {
  QJ_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* AOwner);
  bool GetAutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }

 protected:
  HMENU CreateMenuHandle() override;
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 private:
  bool FAutoMerge = false;
};

class TPopupMenu : public TMenu {
  QJ_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu at a screen point and returns when it closes; a chosen item's OnClick has
  // run by then. The menu's window answers the menu messages meanwhile.
  virtual void Popup(Integer X, Integer Y);
  TPoint GetPopupPoint() const { return FPopupPoint; }
  // The control the menu was last shown for (by a right click or the menu key).
  TComponent* GetPopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  TPopupAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  bool GetAutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TTrackButton GetTrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
  Integer GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }

  TNotifyEvent OnPopup, OnClose;

 protected:
  HMENU CreateMenuHandle() override;
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  UINT TrackFlags() const;
  TPoint FPopupPoint;
  TComponent* FPopupComponent = nullptr;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
  Integer FHelpContext = 0;
};

// Builders for menus made in code.
TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled, TNotifyEvent AOnClick,
                   Integer hCtx = 0, const String& AName = "");
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const String& ACaption, Integer hCtx, const String& AName, std::vector<TMenuItem*> Items,
                      bool AEnabled = true);
TMainMenu* NewMenu(TComponent* Owner, const String& AName, std::vector<TMenuItem*> Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const String& AName, TPopupAlignment Alignment, bool AutoPopup,
                         std::vector<TMenuItem*> Items);
