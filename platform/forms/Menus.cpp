#include "platform/forms/Menus.h"

#include <algorithm>
#include <bitset>
#include <cctype>

#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"

QJ_IMPLEMENT_CLASS(TMenuItem)
QJ_IMPLEMENT_CLASS(TMenu)
QJ_IMPLEMENT_CLASS(TMainMenu)
QJ_IMPLEMENT_CLASS(TPopupMenu)
QJ_IMPLEMENT_CLASS(EMenuError)

const TResourceString SMenuIndexError = {61101, "Menu index out of range"};
const TResourceString SMenuInserted = {61102, "Menu inserted twice"};
const TResourceString SMenuNotFound = {61103, "Sub-menu is not in menu"};
const TResourceString SMenuReinserted = {61104, "A menu item cannot contain itself"};
const TResourceString SNoCommandIds = {61105, "No menu command ids are left"};

TOwnerDrawState ItemStateToOwnerDrawState(UINT ItemState) {
  static constexpr struct {
    UINT Ods;
    TOwnerDrawState State;
  } kFlags[] = {{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed}, {ODS_DISABLED, odDisabled},
                {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused}, {ODS_DEFAULT, odDefault}};
  TOwnerDrawState state = 0;
  for (const auto& f : kFlags)
    if (ItemState & f.Ods) state |= f.State;
  return state;
}

// ---------------------------------------------------------------------------------------------
// Shortcuts

namespace {

struct TKeyName {
  Word Key;
  const char* Name;
};

const TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},    {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},   {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},     {VK_LEFT, "Left"},
    {VK_UP, "Up"},        {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},    {VK_DELETE, "Del"},
    {VK_MULTIPLY, "Num *"}, {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num ."}, {VK_DIVIDE, "Num /"},
    {VK_OEM_1, ";"},      {VK_OEM_PLUS, "="},  {VK_OEM_COMMA, ","},  {VK_OEM_MINUS, "-"},   {VK_OEM_PERIOD, "."},
    {VK_OEM_2, "/"},      {VK_OEM_3, "`"},     {VK_OEM_4, "["},      {VK_OEM_5, "\\"},      {VK_OEM_6, "]"},
    {VK_OEM_7, "'"},
};

const char* const kShiftName = "Shift+";
const char* const kCtrlName = "Ctrl+";
const char* const kAltName = "Alt+";

String KeyName(Word key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, static_cast<char>(key));
  if (key >= VK_F1 && key < VK_F1 + 24) return "F" + IntToStr(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + IntToStr(key - VK_NUMPAD0);
  for (const TKeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  return "";
}

bool StartsWithNoCase(const String& text, size_t pos, const char* prefix) {
  size_t n = std::char_traits<char>::length(prefix);
  if (text.size() - pos < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::toupper(static_cast<unsigned char>(text[pos + i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut result = Key;
  if (Shift & ssShift) result |= scShift;
  if (Shift & ssCtrl) result |= scCtrl;
  if (Shift & ssAlt) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = 0;
  if (ShortCut & scShift) Shift |= ssShift;
  if (ShortCut & scCtrl) Shift |= ssCtrl;
  if (ShortCut & scAlt) Shift |= ssAlt;
}

String ShortCutToText(TShortCut ShortCut) {
  String name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return "";
  String prefix;
  if (ShortCut & scShift) prefix += kShiftName;
  if (ShortCut & scCtrl) prefix += kCtrlName;
  if (ShortCut & scAlt) prefix += kAltName;
  return prefix + name;
}

TShortCut TextToShortCut(const String& Text) {
  TShortCut shift = 0;
  size_t pos = 0;
  for (;;) {
    if (StartsWithNoCase(Text, pos, kShiftName)) {
      shift |= scShift;
      pos += 6;
    } else if (StartsWithNoCase(Text, pos, kCtrlName)) {
      shift |= scCtrl;
      pos += 5;
    } else if (StartsWithNoCase(Text, pos, kAltName)) {
      shift |= scAlt;
      pos += 4;
    } else {
      break;
    }
  }
  String rest = Text.substr(pos);
  if (rest.empty()) return 0;
  for (Word key = 1; key < 0x100; ++key) {
    String name = KeyName(key);
    if (!name.empty() && name.size() == rest.size() && StartsWithNoCase(rest, 0, name.c_str())) return key | shift;
  }
  return 0;
}

TShortCut ShortCutFromMessage(const TMessage& Message) {
  TShortCut result = static_cast<Byte>(Message.WParam);
  if (GetKeyState(VK_SHIFT) < 0) result |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) result |= scCtrl;
  if (GetKeyState(VK_MENU) < 0 || (Message.LParam & 0x20000000)) result |= scAlt;
  return result;
}

char GetHotkey(const String& Text) {
  for (size_t i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != '&') continue;
    if (Text[i + 1] != '&') return static_cast<char>(std::toupper(static_cast<unsigned char>(Text[i + 1])));
    ++i;
  }
  return 0;
}

String StripHotkey(const String& Text) {
  String result;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&' && i + 1 < Text.size()) ++i;
    else if (Text[i] == '&') continue;
    result += Text[i];
  }
  return result;
}

bool IsAccel(Word VK, const String& Str) {
  char hot = GetHotkey(Str);
  return hot != 0 && hot == static_cast<char>(std::toupper(static_cast<unsigned char>(VK & 0xFF)));
}

// ---------------------------------------------------------------------------------------------
// Command ids: one pool for every item of the program, so a WM_COMMAND finds one item.

namespace {

class TCommandPool {
 public:
  Word Take() {
    for (size_t n = 0; n < kCount - 1; ++n) {
      FNext = FNext % (kCount - 1) + 1;
      if (!FUsed[FNext]) {
        FUsed[FNext] = true;
        return static_cast<Word>(FNext);
      }
    }
    throw EMenuError(&SNoCommandIds);
  }
  void Give(Word Id) {
    if (Id) FUsed[Id] = false;
  }

 private:
  static constexpr size_t kCount = 0x10000;
  std::bitset<kCount> FUsed;
  size_t FNext = 0;
};

TCommandPool& CommandPool() {
  static TCommandPool pool;
  return pool;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(CommandPool().Take()) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  Clear();
  DestroyHandle();
  CommandPool().Give(FCommand);
}

TMenuItem* TMenuItem::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) throw EMenuError(&SMenuIndexError);
  return FItems[static_cast<size_t>(Index)];
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::Add(TMenuItem* Item) { Insert(GetCount(), Item); }

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError(&SMenuInserted);
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError(&SMenuReinserted);
  if (Index < 0 || Index > GetCount()) throw EMenuError(&SMenuIndexError);
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  Integer i = IndexOf(Item);
  if (i < 0) throw EMenuError(&SMenuNotFound);
  FItems.erase(FItems.begin() + i);
  Item->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Delete(Integer Index) {
  TMenuItem* item = GetItem(Index);
  Remove(item);
  Free(item);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) Delete(GetCount() - 1);
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

Integer TMenuItem::GetMenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(Integer Value) {
  if (!FParent) return;
  TMenuItem* parent = FParent;
  Value = std::clamp(Value, 0, parent->GetCount() - 1);
  if (Value == GetMenuIndex()) return;
  parent->Remove(this);
  parent->Insert(Value, this);
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String wanted = UpperCase(StripHotkey(ACaption));
  for (TMenuItem* item : FItems)
    if (UpperCase(StripHotkey(item->FCaption)) == wanted) return item;
  return nullptr;
}

void TMenuItem::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* sibling : FParent->FItems)
    if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex && sibling->FChecked) {
      sibling->FChecked = false;
    }
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  if (FParent) FParent->MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  if (Value && FParent)
    for (TMenuItem* sibling : FParent->FItems) sibling->FDefault = false;
  FDefault = Value;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (Value == FBreak) return;
  FBreak = Value;
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  MenuChanged(true);
}

TBitmap* TMenuItem::GetBitmap() {
  if (!FBitmap) {
    FBitmap = MakeOwned<TBitmap>();
    FBitmap->OnChange = [this](TObject* Sender) { BitmapChanged(Sender); };
  }
  return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) { GetBitmap()->Assign(Value); }

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->GetEmpty(); }

void TMenuItem::BitmapChanged(TObject*) { MenuChanged(true); }

TCustomImageList* TMenuItem::GetImageList() const {
  TMenu* menu = GetParentMenu();
  return menu ? menu->GetImages() : nullptr;
}

HMENU TMenuItem::GetHandle() {
  if (!FHandle) {
    FHandle = FMenu ? FMenu->CreateMenuHandle() : CreatePopupMenu();
    RebuildHandle();
  }
  return FHandle;
}

void TMenuItem::DestroyHandle() {
  if (!FHandle) return;
  HMENU handle = FHandle;
  FHandle = nullptr;
  // The sub-menus belong to the items; take them out before the menu goes.
  while (GetMenuItemCount(handle) > 0) RemoveMenu(handle, 0, MF_BYPOSITION);
  DestroyMenu(handle);
}

bool TMenuItem::IsTopLevelBarItem() const {
  return FParent && FParent->FMenu && FParent->FMenu->IsBar();
}

// The bar shows captions only; drop-down items show their shortcut after a tab.
String TMenuItem::MenuText() const {
  if (!FShortCut || IsTopLevelBarItem()) return FCaption;
  return FCaption + "\t" + ShortCutToText(FShortCut);
}

bool TMenuItem::IsOwnerDrawn() const {
  TMenu* menu = GetParentMenu();
  if (menu && menu->GetOwnerDraw()) return true;
  if (IsTopLevelBarItem()) return false;
  return (menu && menu->GetImages()) || HasBitmap() || OnDrawItem || OnAdvancedDrawItem || OnMeasureItem;
}

void TMenuItem::AppendTo(HMENU Menu) {
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
  String text = MenuText();
  if (IsLine()) {
    info.fType = MFT_SEPARATOR;
  } else {
    info.fType = MFT_STRING;
    if (FRadioItem) info.fType |= MFT_RADIOCHECK;
    if (IsOwnerDrawn()) info.fType |= MFT_OWNERDRAW;
    if (FBreak == mbBreak) info.fType |= MFT_MENUBREAK;
    if (FBreak == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
  }
  info.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
  info.wID = FCommand;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  info.hSubMenu = FItems.empty() ? nullptr : GetHandle();
  InsertMenuItem(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &info);
}

void TMenuItem::RebuildHandle() {
  if (!FHandle) return;
  while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
  for (TMenuItem* item : FItems)
    if (item->FVisible) item->AppendTo(FHandle);
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (Rebuild) {
    RebuildHandle();
    if (FParent) FParent->RebuildHandle();
  }
  TMenuItem* source = this;
  for (TMenuItem* item = this; item; item = item->FParent) {
    if (item->OnChange) item->OnChange(item, source, Rebuild);
    if (item->FMenu) item->FMenu->MenuChanged(item->FMenu, source, Rebuild);
  }
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  auto alive = AliveToken();
  if (FAutoCheck) SetChecked(!FChecked);
  if (alive && OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, Integer& Width, Integer& Height) {
  bool topLevel = IsTopLevelBarItem();
  TCustomImageList* images = GetImageList();
  Integer glyph = images ? std::max(images->GetWidth(), 16) : 16;
  if (HasBitmap()) glyph = std::max(glyph, FBitmap->GetWidth());
  if (FDefault) ACanvas->GetFont()->SetStyle(fsBold);
  TSize text = ACanvas->TextExtent(StripHotkey(FCaption));
  if (topLevel) {
    Width = text.cx + 12 + (images && FImageIndex >= 0 ? images->GetWidth() + 4 : 0);
    Height = std::max<Integer>(text.cy + 6, GetSystemMetrics(SM_CYMENU));
  } else {
    Width = glyph + 8 + text.cx + 8;
    if (FShortCut) Width += 16 + ACanvas->TextWidth(ShortCutToText(FShortCut));
    Integer imageHeight = images ? images->GetHeight() : 0;
    if (HasBitmap()) imageHeight = std::max(imageHeight, FBitmap->GetHeight());
    Height = std::max<Integer>({text.cy + 6, imageHeight + 4, GetSystemMetrics(SM_CYMENU) - 1});
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, (State & odSelected) != 0);
    return;
  }
  DrawDefault(ACanvas, ARect, State, TopLevel);
}

namespace {

void DrawTick(TCanvas* Canvas, const TRect& Box, TColor Color) {
  Canvas->GetPen()->SetColor(Color);
  Integer x = Box.Left + (Box.Width() - 7) / 2, y = Box.Top + (Box.Height() - 7) / 2 + 2;
  for (Integer i = 0; i < 3; ++i) {
    Canvas->MoveTo(x, y + i);
    Canvas->LineTo(x + 2, y + 2 + i);
    Canvas->LineTo(x + 7, y - 3 + i);
  }
}

void DrawBullet(TCanvas* Canvas, const TRect& Box, TColor Color) {
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetBrush()->SetColor(Color);
  Integer cx = Box.Left + Box.Width() / 2, cy = Box.Top + Box.Height() / 2;
  Canvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
}

}  // namespace

void TMenuItem::DrawDefault(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  bool selected = (State & odSelected) != 0;
  bool disabled = (State & (odDisabled | odGrayed)) != 0 || !FEnabled;
  TColor text = disabled ? clGrayText : selected ? clHighlightText : clMenuText;
  ACanvas->GetBrush()->SetColor(selected && !(TopLevel && disabled) ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  HDC dc = ACanvas->GetHandle();
  if (IsLine()) {
    RECT line{ARect.Left + 1, ARect.Top + ARect.Height() / 2 - 1, ARect.Right - 1, ARect.Top + ARect.Height() / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TCustomImageList* images = GetImageList();
  Integer glyph = TopLevel ? 0 : images ? std::max(images->GetWidth(), 16) : 16;
  if (HasBitmap() && !TopLevel) glyph = std::max(glyph, FBitmap->GetWidth());
  TRect box{ARect.Left + 2, ARect.Top, ARect.Left + 2 + glyph, ARect.Bottom};
  if (images && FImageIndex >= 0 && FImageIndex < images->GetCount()) {
    Integer x = TopLevel ? ARect.Left + 4 : box.Left + (glyph - images->GetWidth()) / 2;
    Integer y = ARect.Top + (ARect.Height() - images->GetHeight()) / 2;
    if (FChecked) {
      RECT frame{x - 1, y - 1, x + images->GetWidth() + 1, y + images->GetHeight() + 1};
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
    images->Draw(ACanvas, x, y, FImageIndex, !disabled);
    if (TopLevel) glyph = images->GetWidth() + 4;
  } else if (HasBitmap() && !TopLevel) {
    ACanvas->Draw(box.Left + (glyph - FBitmap->GetWidth()) / 2, ARect.Top + (ARect.Height() - FBitmap->GetHeight()) / 2,
                  FBitmap.get());
  } else if (FChecked && !TopLevel) {
    if (FRadioItem) DrawBullet(ACanvas, box, text);
    else DrawTick(ACanvas, box, text);
  }
  TFont* font = ACanvas->GetFont();
  font->SetColor(text);
  if (FDefault) font->SetStyle(font->GetStyle() | fsBold);
  SetBkMode(ACanvas->GetHandle(), TRANSPARENT);
  Integer textLeft = TopLevel ? ARect.Left + 6 + glyph : ARect.Left + glyph + 8;
  RECT r{textLeft, ARect.Top, ARect.Right - 6, ARect.Bottom};
  UINT flags = DT_SINGLELINE | DT_VCENTER | (TopLevel ? DT_CENTER : DT_LEFT);
  if (State & odNoAccel) flags |= DT_HIDEPREFIX;
  dc = ACanvas->GetHandle();
  ::DrawText(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &r, flags);
  if (FShortCut && !TopLevel) {
    String keys = ShortCutToText(FShortCut);
    r.Right -= 8;
    ::DrawText(dc, keys.c_str(), static_cast<int>(keys.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  }
}

// ---------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(New<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
  FImageChangeLink = MakeOwned<TChangeLink>();
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
}

TMenu::~TMenu() {
  FItems->FMenu = nullptr;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  Free(FItems);
}

HMENU TMenu::GetHandle() { return FItems->GetHandle(); }

void TMenu::SetWindowHandle(HWND Value) {
  FWindowHandle = Value;
  if (Value && FIsBar) DrawMenuBar(Value);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  RebuildAll(FItems);
  FItems->MenuChanged(false);
}

// Whether items are drawn here depends on the menu's images: every level is made again.
void TMenu::RebuildAll(TMenuItem* Item) {
  for (Integer i = 0; i < Item->GetCount(); ++i) RebuildAll(Item->GetItem(i));
  Item->RebuildHandle();
}

void TMenu::SetOwnerDraw(bool Value) {
  if (Value == FOwnerDraw) return;
  FOwnerDraw = Value;
  RebuildAll(FItems);
  FItems->MenuChanged(false);
}

void TMenu::ImageListChange(TObject*) { FItems->MenuChanged(false); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FImages) return;
  // The list is being destroyed: it drops the change link itself, so only forget it here.
  FImages = nullptr;
  RebuildAll(FItems);
  FItems->MenuChanged(false);
}

void TMenu::Loaded() {
  TComponent::Loaded();
  FItems->MenuChanged(true);
}

void TMenu::MenuChanged(TObject*, TMenuItem* Source, bool Rebuild) {
  if (OnChange) OnChange(this, Source, Rebuild);
}

namespace {

template <class Pred>
TMenuItem* FindInTree(TMenuItem* Item, const Pred& Matches) {
  if (Matches(Item)) return Item;
  for (Integer i = 0; i < Item->GetCount(); ++i)
    if (TMenuItem* found = FindInTree(Item->GetItem(i), Matches)) return found;
  return nullptr;
}

// An item whose shortcut is Key and that can be reached: it and its parents enabled and visible.
TMenuItem* FindShortCutItem(TMenuItem* Item, TShortCut Key) {
  for (Integer i = 0; i < Item->GetCount(); ++i) {
    TMenuItem* child = Item->GetItem(i);
    if (!child->GetEnabled() || !child->GetVisible()) continue;
    if (child->GetShortCut() == Key) return child;
    if (TMenuItem* found = FindShortCutItem(child, Key)) return found;
  }
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) {
  switch (Kind) {
    case fkCommand:
      return FindInTree(FItems, [&](TMenuItem* i) { return i != FItems && i->GetCommand() == Value; });
    case fkHandle:
      return FindInTree(FItems, [&](TMenuItem* i) { return i->FHandle && reinterpret_cast<UINT_PTR>(i->FHandle) == Value; });
    case fkShortCut:
      return FindInTree(FItems, [&](TMenuItem* i) { return i != FItems && i->GetShortCut() == Value; });
  }
  return nullptr;
}

bool TMenu::DispatchCommand(Word ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenu), fkHandle);
  if (!item) return false;
  if (item->GetEnabled() && item->OnClick) item->OnClick(item);
  return true;
}

bool TMenu::IsShortCut(const TMessage& Message) {
  TShortCut key = ShortCutFromMessage(Message);
  if ((key & 0xFF) == 0) return false;
  TMenuItem* item = FindShortCutItem(FItems, key);
  if (!item) return false;
  std::vector<TMenuItem*> chain;
  for (TMenuItem* p = item->GetParent(); p && p != FItems; p = p->GetParent()) chain.insert(chain.begin(), p);
  auto alive = item->AliveToken();
  for (TMenuItem* parent : chain) {
    if (parent->OnClick) parent->OnClick(parent);
    if (!alive) return true;
  }
  if (!item->GetEnabled()) return true;
  item->Click();
  return true;
}

bool TMenu::ProcessMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COMMAND:
      if (Message.LParam != 0 || HIWORD(Message.WParam) > 1) return false;
      if (!DispatchCommand(LOWORD(Message.WParam))) return false;
      Message.Result = 0;
      return true;
    case WM_INITMENUPOPUP:
      if (!DispatchPopup(reinterpret_cast<HMENU>(Message.WParam))) return false;
      Message.Result = 0;
      return true;
    case WM_MENUSELECT: MenuSelect(Message); return true;
    case WM_MEASUREITEM:
      if (!Message.LParam || reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU) return false;
      MeasureMessage(Message);
      return true;
    case WM_DRAWITEM:
      if (!Message.LParam || reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU) return false;
      DrawMessage(Message);
      return true;
    default: return false;
  }
}

namespace {

TMenuItem* LiveItem(TMenuItem* Root, ULONG_PTR Data) {
  return FindInTree(Root, [&](TMenuItem* i) { return reinterpret_cast<ULONG_PTR>(i) == Data; });
}

}  // namespace

void TMenu::MeasureMessage(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  TMenuItem* item = LiveItem(FItems, mis->itemData);
  if (!item || item == FItems) return;
  // The memory DC dies with this scope, also when a measuring handler raises.
  TMemoryDC dc;
  TCanvas canvas;
  canvas.SetHandle(dc.Handle());
  canvas.GetFont()->Assign(Screen->GetMenuFont());
  Integer w = static_cast<Integer>(mis->itemWidth), h = static_cast<Integer>(mis->itemHeight);
  item->MeasureItem(&canvas, w, h);
  mis->itemWidth = static_cast<UINT>(std::max(0, w));
  mis->itemHeight = static_cast<UINT>(std::max(0, h));
  Message.Result = 1;
}

void TMenu::DrawMessage(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  TMenuItem* item = LiveItem(FItems, dis->itemData);
  if (!item || item == FItems) return;
  TOwnerDrawState state = ItemStateToOwnerDrawState(dis->itemState);
  TCanvas canvas;
  canvas.SetHandle(dis->hDC);
  canvas.GetFont()->Assign(Screen->GetMenuFont());
  bool topLevel = FIsBar && item->GetParent() == FItems;
  item->AdvancedDrawItem(&canvas, dis->rcItem, state, topLevel);
  canvas.SetHandle(nullptr);
  Message.Result = 1;
}

void TMenu::MenuSelect(TMessage& Message) {
  Message.Result = 0;
  TMenuItem* item = nullptr;
  WORD flags = HIWORD(Message.WParam);
  if (flags != 0xFFFF) {
    if ((flags & MF_POPUP) && Message.LParam) {
      TMenuItem* parent = FindItem(static_cast<UINT_PTR>(Message.LParam), fkHandle);
      Integer pos = LOWORD(Message.WParam), visible = -1;
      for (Integer i = 0; parent && i < parent->GetCount(); ++i)
        if (parent->GetItem(i)->GetVisible() && ++visible == pos) item = parent->GetItem(i);
    } else {
      item = FindItem(LOWORD(Message.WParam), fkCommand);
    }
  }
  Application->SetHint(item ? GetLongHint(item->GetHint()) : String());
}

// ---------------------------------------------------------------------------------------------
// TMainMenu and TPopupMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) { FIsBar = true; }

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (GetWindowHandle() && IsWindow(GetWindowHandle())) DrawMenuBar(GetWindowHandle());
  TMenu::MenuChanged(Sender, Source, Rebuild);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  if (GetWindowHandle()) DeallocateHWnd(GetWindowHandle());
}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == FPopupComponent) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

UINT TPopupMenu::TrackFlags() const {
  TPopupAlignment align = FAlignment;
  if (GetBiDiMode() == bdRightToLeft && align != paCenter) align = align == paLeft ? paRight : paLeft;
  UINT flags = align == paRight ? TPM_RIGHTALIGN : align == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  if (FTrackButton == tbRightButton) flags |= TPM_RIGHTBUTTON;
  return flags;
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  FPopupPoint = {X, Y};
  auto alive = AliveToken();
  DoPopup(this);
  if (!alive) return;
  if (!GetWindowHandle() || !IsWindow(GetWindowHandle())) SetWindowHandle(AllocateHWnd([this](TMessage& M) {
      if (!ProcessMessage(M)) M.Result = DefWindowProc(GetWindowHandle(), M.Msg, M.WParam, M.LParam);
    }));
  HMENU menu = GetHandle();
  UINT command = static_cast<UINT>(TrackPopupMenuEx(menu, TrackFlags() | TPM_RETURNCMD, X, Y, GetWindowHandle(), nullptr));
  if (!alive) return;
  if (OnClose) OnClose(this);
  if (alive && command) DispatchCommand(static_cast<Word>(command));
}

// ---------------------------------------------------------------------------------------------
// Builders

TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled, TNotifyEvent AOnClick,
                   Integer hCtx, const String& AName) {
  auto* item = New<TMenuItem>(nullptr);
  item->SetName(AName);
  item->SetCaption(ACaption);
  item->SetShortCut(AShortCut);
  item->SetChecked(AChecked);
  item->SetEnabled(AEnabled);
  item->OnClick = std::move(AOnClick);
  item->SetHelpContext(hCtx);
  return item;
}

TMenuItem* NewLine() { return NewItem("-", 0, false, true, nullptr); }

namespace {

void AddItems(TMenuItem* Parent, const std::vector<TMenuItem*>& Items) {
  for (TMenuItem* item : Items) Parent->Add(item);
}

}  // namespace

TMenuItem* NewSubMenu(const String& ACaption, Integer hCtx, const String& AName, std::vector<TMenuItem*> Items,
                      bool AEnabled) {
  TMenuItem* item = NewItem(ACaption, 0, false, AEnabled, nullptr, hCtx, AName);
  AddItems(item, Items);
  return item;
}

TMainMenu* NewMenu(TComponent* Owner, const String& AName, std::vector<TMenuItem*> Items) {
  auto* menu = New<TMainMenu>(Owner);
  menu->SetName(AName);
  AddItems(menu->GetItems(), Items);
  return menu;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const String& AName, TPopupAlignment Alignment, bool AutoPopup,
                         std::vector<TMenuItem*> Items) {
  auto* menu = New<TPopupMenu>(Owner);
  menu->SetName(AName);
  menu->SetAlignment(Alignment);
  menu->SetAutoPopup(AutoPopup);
  AddItems(menu->GetItems(), Items);
  return menu;
}

// ---------------------------------------------------------------------------------------------
// The menus' part in the controls' key and message handling

namespace {

bool FormShortCut(TCustomForm* Form, TMessage& Message) {
  bool handled = false;
  if (Form->OnShortCut) Form->OnShortCut(Message, handled);
  if (handled) return true;
  TMainMenu* menu = Form->GetMenu();
  return menu && menu->IsShortCut(Message);
}

bool OfferMenuKey(TWinControl* Control, TMessage& Message) {
  for (TControl* c = Control; c; c = c->GetParent())
    if (TPopupMenu* popup = c->GetPopupMenu(); popup && popup->IsShortCut(Message)) return true;
  TCustomForm* form = GetParentForm(Control);
  if (form && FormShortCut(form, Message)) return true;
  bool handled = false;
  if (Application->OnShortCut) Application->OnShortCut(Message, handled);
  if (handled) return true;
  TCustomForm* mainForm = Application->GetMainForm();
  return mainForm && mainForm != form && mainForm->HandleAllocated() && IsWindowEnabled(mainForm->GetHandle()) &&
         FormShortCut(mainForm, Message);
}

bool FormMenuMessage(TCustomForm* Form, TMessage& Message) {
  TMainMenu* menu = Form->GetMenu();
  if (Message.Msg == CM_MENUCHANGED) {
    if (!Form->HandleAllocated()) return true;
    ::SetMenu(Form->GetHandle(), menu ? menu->GetHandle() : nullptr);
    if (menu) menu->SetWindowHandle(Form->GetHandle());
    return true;
  }
  return menu && menu->ProcessMessage(Message);
}

void ShowControlPopup(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos) {
  if (!Menu->GetAutoPopup()) return;
  SendCancelMode(Control);
  Menu->SetPopupComponent(Control);
  Menu->Popup(ScreenPos.X, ScreenPos.Y);
}

struct TMenuHooksInstaller {
  TMenuHooksInstaller() {
    SetShowPopupMenuFunc(ShowControlPopup);
    SetMenuKeyFunc(OfferMenuKey);
    SetFormMenuFunc(FormMenuMessage);
  }
} MenuHooksInstaller;

}  // namespace
