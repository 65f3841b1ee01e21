// The tab model: tabs, their list, the list of visible tabs, the image-list wrapper, and the
// turning of 32-bit bitmaps for vertical text.
#include <algorithm>

#include "core/qvClasses.h"
#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCConsts.h"
#include "pagecontrol/qvPCPainters.h"
#include "platform/forms/ImgList.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvTab)
QJ_IMPLEMENT_CLASS(TqvTabs)
QJ_IMPLEMENT_CLASS(TqvVisibleTabList)
QJ_IMPLEMENT_CLASS(TqvPCImageList)

const TResourceString sqvPCTabIndexOutOfBounds{63400, "Tab's index (%d) out of bounds"};
const TResourceString sqvPCVisibleIndexOutOfRange{63401, "TabVisibleIndex (%d) must be between 0 and %d"};
const TResourceString sqvPCNoVisibleTabs{63402, "There are no visible tabs"};
const TResourceString sqvPCBaseImagesNotAssigned{63403, "BaseImages is not assigned"};
const TResourceString sqvPCImageIndexOutOfRange{63404, "Index (%d) must be between 0 and %d"};
const TResourceString sqvPCNoTabs{63405, "Tabs.Count = 0"};

void RaisePCError(const char* AClassName, const char* AOperation, PResStringRec AMessage, TFormatArgs AArgs) {
  throw Exception(String(AClassName) + "." + AOperation + ": " + FormatLocalizedResourceString(AMessage, AArgs));
}

TqvTabKind GetTabKind(TqvTabSide ASide, TqvTabTextOrientation AOrientation) {
  static const TqvTabKind kKinds[4][3] = {
      {tkTopHorizontal, tkTopBottomToTop, tkTopTopToBottom},
      {tkBottomHorizontal, tkBottomBottomToTop, tkBottomTopToBottom},
      {tkLeftHorizontal, tkLeftBottomToTop, tkLeftTopToBottom},
      {tkRightHorizontal, tkRightBottomToTop, tkRightTopToBottom},
  };
  return kKinds[ASide][AOrientation];
}

String GetTabDisplayCaption(const String& ACaption) {
  String result;
  result.reserve(ACaption.size());
  for (size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] != '&') {
      result += ACaption[i];
    } else if (i + 1 < ACaption.size()) {
      result += ACaption[++i];
    } else {
      result += '_';
    }
  }
  return result;
}

void RotateTabBitmap(TBitmap* ABitmap, Integer AMode) {
  if (!ABitmap || AMode == 0) return;
  const Integer w = ABitmap->GetWidth(), h = ABitmap->GetHeight();
  if (w <= 0 || h <= 0) return;
  if (AMode == 3) {
    // A half turn in place: pixels swap from both ends; the middle row of an odd height reverses.
    for (Integer y = 0; y < h / 2; ++y) {
      uint32_t* top = ABitmap->ScanLine(y);
      uint32_t* bottom = ABitmap->ScanLine(h - 1 - y);
      for (Integer x = 0; x < w; ++x) std::swap(top[x], bottom[w - 1 - x]);
    }
    if (h % 2) {
      uint32_t* middle = ABitmap->ScanLine(h / 2);
      std::reverse(middle, middle + w);
    }
    return;
  }
  std::vector<uint32_t> turned(size_t(w) * size_t(h));
  // The turned bitmap is h wide and w high.
  for (Integer y = 0; y < h; ++y) {
    const uint32_t* row = ABitmap->ScanLine(y);
    for (Integer x = 0; x < w; ++x) {
      // Anticlockwise: (x, y) goes to (y, w - 1 - x); clockwise: to (h - 1 - y, x).
      const Integer nx = AMode == 1 ? y : h - 1 - y;
      const Integer ny = AMode == 1 ? w - 1 - x : x;
      turned[size_t(ny) * size_t(h) + size_t(nx)] = row[x];
    }
  }
  ABitmap->SetSize(h, w);
  for (Integer y = 0; y < w; ++y) std::copy_n(&turned[size_t(y) * size_t(h)], h, ABitmap->ScanLine(y));
}

// ---------------------------------------------------------------------------------------------
// Tab

TqvTab::TqvTab(TqvTabs* ATabs, Integer AIndex) : FTabs(ATabs), FIndex(AIndex), FImageIndex(AIndex) {}

TqvTab::~TqvTab() = default;

TqvCustomTabControl* TqvTab::GetControl() const { return FTabs->GetParent(); }

void TqvTab::Assign(TPersistent* Source) {
  auto* tab = As<TqvTab>(Source);
  if (!tab) {
    inherited::Assign(Source);
    return;
  }
  SetCaption(tab->FCaption);
  FDisplayCaption = tab->FDisplayCaption;
  SetEnabled(tab->FEnabled);
  SetHighlighted(tab->FHighlighted);
  SetImageIndex(tab->GetControl()->GetTabImageIndex(tab->FIndex));
  FObject = tab->FObject;
  SetVisible(tab->FVisible);
  SetSelected(tab->FSelected);
}

void TqvTab::Changed(TqvTabChangeKind AKind) { FTabs->TabChanged(GetVisibleIndex(), AKind); }

void TqvTab::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  if (!FVisible) {
    FCaption = Value;
    FDisplayCaption = GetTabDisplayCaption(Value);
    return;
  }
  TqvCustomTabControl* control = GetControl();
  const bool wasShown = IsShown();
  const Integer oldWidth = FNormalWidth, oldExtent = control->GetRowExtent();
  FCaption = Value;
  FDisplayCaption = GetTabDisplayCaption(Value);
  if (control->IsLoading() || control->IsDestroying()) return;
  FNormalWidth = control->GetPCPainter()->GetTabNormalWidth(this);
  bool layout;
  if (control->GetRotate()) {
    control->CalculateRowExtent();
    layout = control->GetRowExtent() != oldExtent;
  } else {
    layout = FNormalWidth != oldWidth;
  }
  if (layout)
    Changed(tckLayout);
  else if (wasShown)
    Changed(tckCaptionOrImage);
}

void TqvTab::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  const bool wasShown = IsShown();
  FEnabled = Value;
  if (wasShown || IsShown()) Changed(tckEnabled);
}

void TqvTab::SetHighlighted(bool Value) {
  if (Value == FHighlighted) return;
  const bool wasShown = IsShown();
  FHighlighted = Value;
  if (wasShown || IsShown()) Changed(tckHighlighted);
}

void TqvTab::SetImageIndex(Integer Value) {
  Value = std::max<Integer>(Value, -1);
  if (Value == FImageIndex) return;
  const bool wasShown = IsShown();
  FImageIndex = Value;
  if (wasShown || IsShown()) Changed(tckCaptionOrImage);
}

void TqvTab::SetSelected(bool Value) {
  if (Value == FSelected) return;
  TqvCustomTabControl* control = GetControl();
  if (control->IsLoading()) {
    FSelected = Value;
    return;
  }
  if (control->GetPCPainter()->GetPainterClass()->AllowsMultiSelection()) {
    if (Value)
      for (Integer i = 0; i < FTabs->GetCount(); ++i)
        if (i != FIndex && FTabs->GetTab(i)->FSelected) {
          control->FMultiSelectionActive = true;
          break;
        }
  } else if (Value && FIndex != control->GetTabIndex()) {
    return;
  }
  const bool wasShown = IsShown();
  FSelected = Value;
  if (wasShown || IsShown()) Changed(tckSelected);
}

void TqvTab::SetVisible(bool Value) {
  if (Value == FVisible) return;
  TqvCustomTabControl* control = GetControl();
  if (Value) {
    control->GetVisibleTabs()->Add(FIndex);
    FVisible = true;
    Changed(tckLayout);
    return;
  }
  const bool reselect = control->RequireVisibleSelection() && control->GetTabIndex() == FIndex;
  control->GetVisibleTabs()->Remove(FIndex);
  FVisible = false;
  // The visible indexes after this tab move down by one: the window of a single line shows
  // other tabs now, so the layout runs even when this tab was scrolled out of view.
  FTabs->TabChanged(-1, tckLayout);
  if (!reselect || control->IsLoading()) return;
  FTabs->UpdateActiveVisibleIndex();
  const Integer active = control->GetActiveVisibleIndex();
  control->SetTabIndex(active == -1 ? -1 : control->GetVisibleTabs()->GetTab(active)->FIndex);
}

Integer TqvTab::GetVisibleIndex() const { return GetControl()->GetVisibleTabs()->VisibleIndexOf(FIndex); }

bool TqvTab::IsActive() const {
  const TqvCustomTabControl* control = GetControl();
  const Integer active = control->GetActiveVisibleIndex();
  return active >= 0 && active < control->GetVisibleTabs()->GetCount() &&
         control->GetVisibleTabs()->GetTab(active) == this;
}

bool TqvTab::IsHot() const {
  const Integer i = GetVisibleIndex();
  return i != -1 && i == GetControl()->GetHotTab();
}

bool TqvTab::IsPressed() const {
  const Integer i = GetVisibleIndex();
  return i != -1 && i == GetControl()->GetPressedTab();
}

bool TqvTab::IsFocused() const {
  const Integer i = GetVisibleIndex();
  return i != -1 && i == GetControl()->GetFocusedTab();
}

bool TqvTab::GetRealEnabled() const { return FEnabled && GetControl()->GetEnabled(); }

TqvTabSide TqvTab::GetSide() const {
  const TqvCustomTabControl* control = GetControl();
  const bool before = FDisplayRow < control->GetRowsBeforePage();
  if (control->IsHorizontalPosition()) return before ? tsTop : tsBottom;
  return before ? tsLeft : tsRight;
}

TqvTabKind TqvTab::GetKind() const { return GetTabKind(GetSide(), GetControl()->GetTextOrientation()); }

Integer TqvTab::GetNormalLength() const {
  return GetControl()->GetRotate() ? FTabs->GetMeasuredTabHeight() : FNormalWidth;
}

TRect TqvTab::GetFullRect() const {
  const TqvCustomTabControl* control = GetControl();
  const Integer thickness = FTabs->GetMeasuredTabHeight();
  const Integer length = control->GetRotate() ? control->GetRowExtent() : FNormalWidth;
  const bool horizontal = control->IsHorizontalPosition();
  const Integer x = horizontal ? FPosition.X : FPosition.Y;
  const Integer y = horizontal ? FPosition.Y : FPosition.X;
  if (control->IsTextVertical()) return Bounds(x, y, thickness, length);
  return Bounds(x, y, length, thickness);
}

TRect TqvTab::GetRect() const {
  TRect r = GetFullRect();
  r.Left += FCorrection.Left;
  r.Top += FCorrection.Top;
  r.Right += FCorrection.Right;
  r.Bottom += FCorrection.Bottom;
  return r;
}

TRect TqvTab::GetVisibleRect() const {
  if (!FVisible) return TRect();
  const TqvCustomTabControl* control = GetControl();
  Integer first, last;
  control->GetPlacedTabRange(first, last);
  const Integer i = GetVisibleIndex();
  if (first == -1 || i < first || i > last) return TRect();
  const TqvTabSide side = GetSide();
  const TRect& band = side == tsTop || side == tsLeft ? control->GetBeforeBand() : control->GetAfterBand();
  const TRect r = GetRect();
  TRect result{std::max(r.Left, band.Left), std::max(r.Top, band.Top), std::min(r.Right, band.Right),
               std::min(r.Bottom, band.Bottom)};
  return result.IsEmpty() ? TRect() : result;
}

TBitmap* TqvTab::NeedTabBitmap() {
  if (!FTabBitmap) {
    FTabBitmap = MakeOwned<TBitmap>();
    FTabBitmap->SetPixelFormat(pf32bit);
  }
  return FTabBitmap.get();
}

// ---------------------------------------------------------------------------------------------
// Tabs

TqvTabs::TqvTabs(TqvCustomTabControl* AParent) : FParent(AParent) {}

TqvTabs::~TqvTabs() = default;

void TqvTabs::RaiseIndexError(const char* AOperation, Integer AIndex) const {
  RaisePCError("TqvTabs", AOperation, &sqvPCTabIndexOutOfBounds, {AIndex});
}

void TqvTabs::Renumber(Integer AFrom) {
  for (Integer i = AFrom; i < GetCount(); ++i) FTabs[size_t(i)]->FIndex = i;
}

void TqvTabs::Insert(Integer Index, const String& S) {
  if (FParent->AreTabsFixed()) return;
  if (Index < 0 || Index > GetCount()) RaiseIndexError("Insert", Index);
  auto tab = MakeOwned<TqvTab>(this, Index);
  tab->FCaption = S;
  tab->FDisplayCaption = GetTabDisplayCaption(S);
  FTabs.insert(FTabs.begin() + Index, std::move(tab));
  Renumber(Index + 1);
  if (!FParent->IsLoading() && FParent->FTabIndex == -1 && GetCount() == 1) FParent->FTabIndex = 0;
  FParent->GetVisibleTabs()->Rebuild();
  FParent->RequestLayout();
}

void TqvTabs::Delete(Integer Index) {
  if (FUpdating || FParent->AreTabsFixed()) return;
  if (Index < 0 || Index >= GetCount()) RaiseIndexError("Delete", Index);
  TValueScope updating(FUpdating, true);
  if (FParent->FFocusedTab != -1 && FParent->FFocusedTab == FTabs[size_t(Index)]->GetVisibleIndex())
    FParent->FFocusedTab = -1;
  FTabs.erase(FTabs.begin() + Index);
  Renumber(Index);
  FParent->GetVisibleTabs()->Rebuild();
  FParent->RequestLayout();
}

void TqvTabs::Clear() {
  if (FParent->AreTabsFixed()) return;
  while (!FTabs.empty()) FTabs.pop_back();
  FParent->FFocusedTab = -1;
  FParent->GetVisibleTabs()->Rebuild();
  FParent->RequestLayout();
}

String TqvTabs::Get(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) RaiseIndexError("Get", Index);
  return FTabs[size_t(Index)]->FCaption;
}

void TqvTabs::Put(Integer Index, const String& S) { GetTab(Index)->SetCaption(S); }

TObject* TqvTabs::GetObject(Integer Index) const { return GetTab(Index)->FObject; }

void TqvTabs::PutObject(Integer Index, TObject* AObject) { GetTab(Index)->FObject = AObject; }

TqvTab* TqvTabs::GetTab(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) RaiseIndexError("GetTab", Index);
  return FTabs[size_t(Index)].get();
}

TqvTab* TqvTabs::GetVisibleTab(Integer VisibleIndex) const {
  TqvVisibleTabList* list = FParent->GetVisibleTabs();
  if (VisibleIndex < 0 || VisibleIndex >= list->GetCount())
    RaisePCError("TqvTabs", "GetVisibleTab", &sqvPCVisibleIndexOutOfRange, {VisibleIndex, list->GetCount() - 1});
  return list->GetTab(VisibleIndex);
}

Integer TqvTabs::GetVisibleCount() const { return FParent->GetVisibleTabs()->GetCount(); }

void TqvTabs::FreeRotatedTexts() {
  for (auto& tab : FTabs) tab->FreeRotatedText();
}

void TqvTabs::SetHotTab(Integer VisibleIndex) {
  const Integer old = FParent->FHotTab;
  if (VisibleIndex == old) return;
  FParent->FHotTab = VisibleIndex;
  if (old != -1 && old < GetVisibleCount()) TabChanged(old, tckHot);
  if (VisibleIndex != -1) TabChanged(VisibleIndex, tckHot);
}

void TqvTabs::UpdateActiveVisibleIndex() {
  TqvVisibleTabList* list = FParent->GetVisibleTabs();
  const Integer count = list->GetCount();
  Integer value = -1;
  if (FParent->FTabIndex != -1 && count > 0) {
    Integer position;
    if (!list->Find(FParent->FTabIndex, position)) position = std::min(position, count - 1);
    value = position;
  }
  Integer old = FParent->FActiveVisibleIndex;
  if (old >= count) old = -1;
  FParent->FActiveVisibleIndex = value;
  if (value == old) return;
  // Only the active tab carries the painter's correction, between layouts too.
  if (old != -1) UpdateCorrection(old);
  if (value != -1) UpdateCorrection(value);
  if (old != -1) TabChanged(old, tckActive);
  if (value != -1) TabChanged(value, tckActive);
}

void TqvTabs::UpdateCorrection(Integer VisibleIndex) {
  if (TqvPCCustomPainter* painter = FParent->GetPCPainter())
    GetVisibleTab(VisibleIndex)->SetCorrection(painter->GetTabCorrection(VisibleIndex));
}

void TqvTabs::SetFocusedTab(Integer VisibleIndex) {
  if (VisibleIndex < 0 || VisibleIndex >= GetVisibleCount()) VisibleIndex = -1;
  const Integer old = FParent->FFocusedTab;
  if (VisibleIndex == old) return;
  FParent->FFocusedTab = VisibleIndex;
  if (old != -1 && old < GetVisibleCount()) TabChanged(old, tckFocusMark);
  if (VisibleIndex != -1) TabChanged(VisibleIndex, tckFocusMark);
  if (VisibleIndex != -1 && !FParent->GetMultiLine()) {
    FParent->MakeTabVisible(VisibleIndex);
    FParent->RequestLayout();
    FParent->UpdateHotTrack();
  }
}

void TqvTabs::RepaintImageTabs() {
  for (auto& tab : FTabs)
    if (tab->FImageIndex != -1 && !tab->GetVisibleRect().IsEmpty()) TabChanged(tab->GetVisibleIndex(), tckCaptionOrImage);
}

void TqvTabs::TabChanged(Integer VisibleIndex, TqvTabChangeKind AKind) {
  if (FParent->IsLoading() || FParent->IsDestroying()) return;
  if (VisibleIndex == -1 || AKind == tckLayout)
    FParent->RequestLayout();
  else
    FParent->GetPCPainter()->RepaintTab(VisibleIndex, AKind);
}

// ---------------------------------------------------------------------------------------------
// Visible tabs

TqvTab* TqvVisibleTabList::GetTab(Integer VisibleIndex) const {
  if (FItems.empty()) RaisePCError("TqvVisibleTabList", "GetTab", &sqvPCNoVisibleTabs);
  if (VisibleIndex < 0 || VisibleIndex >= GetCount())
    RaisePCError("TqvVisibleTabList", "GetTab", &sqvPCVisibleIndexOutOfRange, {VisibleIndex, GetCount() - 1});
  return FControl->GetTabs()->GetTab(FItems[size_t(VisibleIndex)]);
}

bool TqvVisibleTabList::Find(Integer AIndex, Integer& APosition) const {
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), AIndex);
  APosition = static_cast<Integer>(it - FItems.begin());
  return it != FItems.end() && *it == AIndex;
}

void TqvVisibleTabList::Add(Integer AIndex) {
  Integer position;
  if (!Find(AIndex, position)) FItems.insert(FItems.begin() + position, AIndex);
}

void TqvVisibleTabList::Remove(Integer AIndex) {
  Integer position;
  if (Find(AIndex, position)) FItems.erase(FItems.begin() + position);
}

void TqvVisibleTabList::Rebuild() {
  FItems.clear();
  TqvTabs* tabs = FControl->GetTabs();
  for (Integer i = 0; tabs && i < tabs->GetCount(); ++i)
    if (tabs->GetTab(i)->GetVisible()) FItems.push_back(i);
}

Integer TqvVisibleTabList::VisibleIndexOf(Integer AIndex) const {
  Integer position;
  return Find(AIndex, position) ? position : -1;
}

// ---------------------------------------------------------------------------------------------
// Image list

TqvPCImageList::TqvPCImageList(TqvCustomTabControl* AParent, std::function<void()> AOnChange)
    : FParent(AParent), FChangeLink(MakeOwned<TChangeLink>()), FOnChange(std::move(AOnChange)) {
  FChangeLink->OnChange = [this](TObject* Sender) { ImagesChanged(Sender); };
}

TqvPCImageList::~TqvPCImageList() {
  if (FImages) FImages->RemoveFreeNotification(FParent);
}

void TqvPCImageList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(FParent);
  FImages = Value;
  FChangeLink->SetSender(Value);
  if (FImages) FImages->FreeNotification(FParent);
  RebuildCache();
  if (FOnChange) FOnChange();
}

void TqvPCImageList::ImagesFreed() {
  FImages = nullptr;
  FChangeLink->SetSender(nullptr);
  RebuildCache();
  if (FOnChange) FOnChange();
}

void TqvPCImageList::SetRotation(Integer Value) {
  if (Value == FRotation) return;
  FRotation = Value;
  RebuildCache();
  if (FOnChange) FOnChange();
}

void TqvPCImageList::ImagesChanged(TObject*) {
  RebuildCache();
  if (FOnChange) FOnChange();
}

bool TqvPCImageList::HasImages() const { return FImages && FImages->GetCount() > 0; }

void TqvPCImageList::RebuildCache() {
  FCache.clear();
  if (FRotation == 0 || !HasImages()) return;
  FCache.resize(size_t(FImages->GetCount()));
  for (TCacheEntry& entry : FCache) {
    entry.Bitmap = MakeOwned<TBitmap>();
    entry.Bitmap->SetPixelFormat(pf32bit);
  }
}

TSize TqvPCImageList::GetImageSize() const {
  if (!FImages || FImages->GetWidth() <= 0 || FImages->GetHeight() <= 0) return {0, 0};
  return {FImages->GetWidth(), FImages->GetHeight()};
}

TSize TqvPCImageList::GetRotatedImageSize() const {
  const TSize size = GetImageSize();
  return FRotation != 0 ? TSize{size.cy, size.cx} : size;
}

void TqvPCImageList::Draw(TCanvas* ACanvas, Integer X, Integer Y, bool AEnabled, TColor ABackgroundColor,
                          Integer AImageIndex) {
  if (!HasImages()) RaisePCError("TqvPCImageList", "Draw", &sqvPCBaseImagesNotAssigned);
  const Integer count = FImages->GetCount();
  if (AImageIndex < 0 || AImageIndex >= count)
    RaisePCError("TqvPCImageList", "Draw", &sqvPCImageIndexOutOfRange, {AImageIndex, count - 1});
  const bool native = FParent->GetPCPainter() && FParent->GetPCPainter()->IsNativePainting();
  const TSize size = GetImageSize();
  auto paint = [&](TBitmap* ABitmap) {
    ABitmap->SetSize(size.cx, size.cy);
    TCanvas* c = ABitmap->GetCanvas();
    c->GetBrush()->SetColor(ABackgroundColor);
    c->FillRect(Rect(0, 0, size.cx, size.cy));
    FImages->Draw(c, 0, 0, AImageIndex, AEnabled);
    ABitmap->SetTransparent(native);
  };
  if (FRotation != 0) {
    if (FCache.size() != size_t(count)) RebuildCache();
    TCacheEntry& entry = FCache[size_t(AImageIndex)];
    if (!entry.Valid || entry.Background != ABackgroundColor) {
      paint(entry.Bitmap.get());
      RotateTabBitmap(entry.Bitmap.get(), FRotation);
      entry.Background = ABackgroundColor;
      entry.Valid = true;
    }
    ACanvas->Draw(X, Y, entry.Bitmap.get());
    return;
  }
  if (native) {
    FImages->Draw(ACanvas, X, Y, AImageIndex, AEnabled);
    return;
  }
  TBitmap temp;
  temp.SetPixelFormat(pf32bit);
  TCanvas* control = FParent->GetCanvas()->GetCanvas();
  temp.GetCanvas()->SetBrush(control->GetBrush());
  temp.GetCanvas()->SetFont(control->GetFont());
  temp.GetCanvas()->SetPen(control->GetPen());
  paint(&temp);
  ACanvas->Draw(X, Y, &temp);
}
