// Styles, Styles objects, style sheets and the style repository.
#include "lookandfeel/qvStyles.h"

#include <algorithm>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomStyle)
QJ_IMPLEMENT_CLASS(TqvStyle)
QJ_IMPLEMENT_CLASS(TqvCustomStyles)
QJ_IMPLEMENT_CLASS(TqvStyles)
QJ_IMPLEMENT_CLASS(TqvCustomStyleSheet)
QJ_IMPLEMENT_CLASS(TqvStyleRepository)

namespace {

// Sheet chains are validated when they are set; the walks still stop after this many steps.
constexpr Integer kMaxSheetChain = 1000;

const TResourceString SInvalidStyleParent = {61051, "A style's parent must be a style repository"};

TqvStyleRepository* RepositoryOf(TComponent* Value) {
  auto* repository = As<TqvStyleRepository>(Value);
  if (Value && !repository) throw EInvalidCast(&SInvalidStyleParent);
  return repository;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomStyle

void TqvCustomStyle::BeforeDestruction() {
  for (size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->StyleRemoved(this);
  MoveToRepository(nullptr);
  inherited::BeforeDestruction();
}

void TqvCustomStyle::Changed() {
  for (size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->StyleChanged(this);
}

void TqvCustomStyle::AddListener(IqvStyleListener* AListener) {
  if (std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end()) FListeners.push_back(AListener);
}

void TqvCustomStyle::RemoveListener(IqvStyleListener* AListener) { std::erase(FListeners, AListener); }

bool TqvCustomStyle::IsValueAssigned(const TqvStyle* AStyle, TqvStyleValue AValue) {
  return AStyle && (AStyle->GetAssignedValues() & svBit(AValue));
}

void TqvCustomStyle::MoveToRepository(TqvStyleRepository* ARepository) {
  if (ARepository == FRepository) return;
  if (FRepository) FRepository->RemoveItem(this);
  FRepository = ARepository;
  if (FRepository) FRepository->AddItem(this);
}

TComponent* TqvCustomStyle::GetParentComponent() { return FRepository; }

void TqvCustomStyle::SetParentComponent(TComponent* Value) { MoveToRepository(RepositoryOf(Value)); }

// ---------------------------------------------------------------------------------------------
// TqvStyle

TqvStyle::TqvStyle(TComponent* AOwner)
    : TqvCustomStyle(AOwner), FBitmap(MakeOwned<TBitmap>()), FFont(MakeOwned<TFont>()) {
  FBitmap->OnChange = [this](TObject* Sender) { BitmapChanged(Sender); };
  FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TqvStyle::~TqvStyle() {
  FBitmap->OnChange = nullptr;
  FFont->OnChange = nullptr;
}

void TqvStyle::SetValueAssigned(TqvStyleValue AValue, bool AAssigned) {
  if (AAssigned)
    FAssignedValues |= svBit(AValue);
  else
    FAssignedValues &= ~svBit(AValue);
}

void TqvStyle::BitmapChanged(TObject*) {
  if (FRestoring) return;
  SetValueAssigned(svBitmap, !FBitmap->GetEmpty());
  Changed();
}

void TqvStyle::FontChanged(TObject*) {
  if (FRestoring) return;
  SetValueAssigned(svFont, true);
  Changed();
}

void TqvStyle::SetAssignedValues(TqvStyleValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  Changed();
}

void TqvStyle::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  SetValueAssigned(svColor, Value != clDefault);
  Changed();
}

void TqvStyle::SetTextColor(TColor Value) {
  if (Value == FTextColor) return;
  FTextColor = Value;
  SetValueAssigned(svTextColor, Value != clDefault);
  Changed();
}

void TqvStyle::Assign(TPersistent* Source) {
  auto* source = As<TqvStyle>(Source);
  if (!source) return inherited::Assign(Source);
  SetBitmap(source->GetBitmap());
  SetColor(source->GetColor());
  SetFont(source->GetFont());
  SetTextColor(source->GetTextColor());
  SetAssignedValues(source->GetAssignedValues());
}

// One notification for the whole reset, however many values it touches.
void TqvStyle::RestoreDefaults() {
  {
    TValueScope restoring(FRestoring, true);
    FAssignedValues = 0;
    FBitmap->Assign(nullptr);
    FColor = FTextColor = clDefault;
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// TqvCustomStyles

void TqvCustomStyles::BeforeDestruction() {
  FDestroying = true;
  Clear();
  SetStyleSheet(nullptr);
  inherited::BeforeDestruction();
}

void TqvCustomStyles::Assign(TPersistent* Source) {
  if (auto* source = As<TqvCustomStyles>(Source)) SetStyleSheet(source->GetStyleSheet());
}

bool TqvCustomStyles::Find(Integer Index, Integer& APosition) const {
  Integer lo = 0, hi = GetCount() - 1;
  while (lo <= hi) {
    const Integer mid = (lo + hi) / 2;
    const Integer current = FEntries[size_t(mid)].Index;
    if (current == Index) {
      APosition = mid;
      return true;
    }
    if (current < Index)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  APosition = lo;
  return false;
}

bool TqvCustomStyles::IsOwnerWriting() const {
  auto* owner = As<TComponent>(const_cast<TqvCustomStyles*>(this)->GetOwner());
  return owner && owner->HasState(csWriting);
}

TqvStyle* TqvCustomStyles::GetValue(Integer Index) const {
  Integer position;
  if (Find(Index, position)) return FEntries[size_t(position)].Style;
  if (FStyleSheet && !IsOwnerWriting()) return FStyleSheet->GetStyles()->GetValue(Index);
  return nullptr;
}

bool TqvCustomStyles::UsesStyle(const TqvStyle* AStyle) const {
  return std::any_of(FEntries.begin(), FEntries.end(), [&](const TEntry& e) { return e.Style == AStyle; });
}

// A style that serves several parts keeps this listener until its last part lets it go.
void TqvCustomStyles::ReleaseStyle(TqvStyle* AStyle) {
  if (!UsesStyle(AStyle)) AStyle->RemoveListener(this);
}

void TqvCustomStyles::SetValue(Integer Index, TqvStyle* AStyle) {
  if (AStyle == GetValue(Index)) return;
  Integer position;
  if (Find(Index, position)) {
    TqvStyle* old = FEntries[size_t(position)].Style;
    if (AStyle)
      FEntries[size_t(position)].Style = AStyle;
    else
      FEntries.erase(FEntries.begin() + position);
    ReleaseStyle(old);
  } else {
    if (!AStyle) return;
    FEntries.insert(FEntries.begin() + position, {Index, AStyle});
  }
  if (AStyle) AStyle->AddListener(this);
  NotifyStyleChanged(Index);
}

void TqvCustomStyles::Delete(Integer APosition) {
  const TEntry entry = FEntries[size_t(APosition)];
  FEntries.erase(FEntries.begin() + APosition);
  ReleaseStyle(entry.Style);
  NotifyStyleChanged(entry.Index);
}

void TqvCustomStyles::Clear() {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (i < GetCount()) Delete(i);
}

void TqvCustomStyles::StyleChanged(TqvCustomStyle* AStyle) {
  std::vector<Integer> indexes;
  for (const TEntry& e : FEntries)
    if (e.Style == AStyle) indexes.push_back(e.Index);
  for (Integer index : indexes) NotifyStyleChanged(index);
}

void TqvCustomStyles::StyleRemoved(TqvCustomStyle* AStyle) {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (i < GetCount() && FEntries[size_t(i)].Style == AStyle) Delete(i);
}

void TqvCustomStyles::NotifyStyleChanged(Integer Index) {
  if (FDestroying) return;
  Changed(Index);
  if (FOwningStyleSheet) FOwningStyleSheet->BroadcastIndexChange(Index);
}

bool TqvCustomStyles::IsValidStyleSheet(TqvCustomStyleSheet* ASheet) const {
  if (!ASheet) return true;
  if (ASheet == FOwningStyleSheet || ASheet->GetStyleSetClass() != ClassType()) return false;
  if (!FOwningStyleSheet) return true;
  TqvCustomStyleSheet* sheet = ASheet;
  for (Integer step = 0; sheet && step < kMaxSheetChain; ++step) {
    if (sheet == FOwningStyleSheet) return false;
    sheet = sheet->GetStyles()->GetStyleSheet();
  }
  return !sheet;
}

void TqvCustomStyles::GatherIndexes(TqvCustomStyleSheet* ASheet, std::vector<Integer>& AIndexes) {
  for (Integer step = 0; ASheet && step < kMaxSheetChain; ++step) {
    const TqvCustomStyles* styles = ASheet->GetStyles();
    for (const TEntry& e : styles->FEntries)
      if (std::find(AIndexes.begin(), AIndexes.end(), e.Index) == AIndexes.end()) AIndexes.push_back(e.Index);
    ASheet = styles->GetStyleSheet();
  }
}

void TqvCustomStyles::SetStyleSheet(TqvCustomStyleSheet* Value) {
  if (Value == FStyleSheet || !IsValidStyleSheet(Value)) return;
  std::vector<Integer> indexes;
  if (FStyleSheet) {
    FStyleSheet->DetachStyles(this);
    if (!FDestroying) GatherIndexes(FStyleSheet, indexes);
  }
  FStyleSheet = Value;
  if (FStyleSheet) {
    FStyleSheet->AttachStyles(this);
    GatherIndexes(FStyleSheet, indexes);
  }
  for (Integer index : indexes) NotifyStyleChanged(index);
}

// ---------------------------------------------------------------------------------------------
// TqvStyles

void TqvStyles::GetViewParams(Integer Index, TObject* AData, const TqvStyle* AStyle, TqvViewParams& AParams) {
  const TqvStyle* own = GetValue(Index);
  auto source = [&](TqvStyleValue AValue) -> const TqvStyle* {
    if (TqvCustomStyle::IsValueAssigned(AStyle, AValue)) return AStyle;
    if (TqvCustomStyle::IsValueAssigned(own, AValue)) return own;
    return nullptr;
  };
  AParams = TqvViewParams();
  if (FUseBitmaps)
    if (const TqvStyle* s = source(svBitmap)) AParams.Bitmap = s->GetBitmap();
  if (const TqvStyle* s = source(svColor)) AParams.Color = s->GetColor();
  if (const TqvStyle* s = source(svFont)) AParams.Font = s->GetFont();
  if (const TqvStyle* s = source(svTextColor)) AParams.TextColor = s->GetTextColor();
  const bool complete = (AParams.Bitmap || !FUseBitmaps) && AParams.Color != clDefault && AParams.Font &&
                        AParams.TextColor != clDefault;
  if (complete) return;
  TqvViewParams defaults;
  GetDefaultViewParams(Index, AData, defaults);
  if (!AParams.Bitmap) AParams.Bitmap = defaults.Bitmap;
  if (AParams.Color == clDefault) AParams.Color = defaults.Color;
  if (!AParams.Font) AParams.Font = defaults.Font;
  if (AParams.TextColor == clDefault) AParams.TextColor = defaults.TextColor;
}

void TqvStyles::GetDefaultViewParams(Integer Index, TObject*, TqvViewParams& AParams) {
  AParams.Bitmap = nullptr;
  FMaxDefaultViewParamsIndex = std::max(FMaxDefaultViewParamsIndex, Index);
}

bool TqvStyles::UsesDefaultFont(Integer Index) { return !TqvCustomStyle::IsValueAssigned(GetValue(Index), svFont); }

TBitmap* TqvStyles::GetBitmap(Integer Index) {
  TqvStyle* style = GetValue(Index);
  return TqvCustomStyle::IsValueAssigned(style, svBitmap) && !style->GetBitmap()->GetEmpty() ? style->GetBitmap()
                                                                                             : nullptr;
}

void TqvStyles::ApplyDefaultFontChange(TObject*, TFont* AFont) {
  for (Integer i = 0; i <= FMaxDefaultViewParamsIndex; ++i) {
    if (!UsesDefaultFont(i)) continue;
    TqvViewParams defaults;
    GetDefaultViewParams(i, nullptr, defaults);
    if (defaults.Font == AFont) NotifyStyleChanged(i);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvCustomStyleSheet

TqvCustomStyleSheet::TqvCustomStyleSheet(TComponent* AOwner)
    : TqvComponent(AOwner), FBuiltIn(AOwner && AOwner->HasState(csDesigning)) {}

void TqvCustomStyleSheet::AfterConstruction() {
  inherited::AfterConstruction();
  TqvInterfacedPersistent* styles = GetStyleSetClass()->Create(this);
  FStyles.reset(As<TqvCustomStyles>(styles));
  if (!FStyles) {
    Free(styles);
    throw EInvalidCast(&SInvalidStyleParent);
  }
  FStyles->FOwningStyleSheet = this;
}

void TqvCustomStyleSheet::BeforeDestruction() {
  while (!FUsers.empty()) FUsers.back()->SetStyleSheet(nullptr);
  MoveToRepository(nullptr);
  inherited::BeforeDestruction();
}

void TqvCustomStyleSheet::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomStyleSheet>(Source);
  if (!source) return inherited::Assign(Source);
  SetCaption(source->GetCaption());
  SetStyles(source->GetStyles());
}

String TqvCustomStyleSheet::GetCaption() const { return FCaption.empty() ? GetName() : FCaption; }

void TqvCustomStyleSheet::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = SameText(Value, GetName()) ? String() : Value;
}

void TqvCustomStyleSheet::AttachStyles(TqvCustomStyles* AStyles) {
  if (std::find(FUsers.begin(), FUsers.end(), AStyles) == FUsers.end()) FUsers.push_back(AStyles);
}

void TqvCustomStyleSheet::DetachStyles(TqvCustomStyles* AStyles) { std::erase(FUsers, AStyles); }

void TqvCustomStyleSheet::BroadcastIndexChange(Integer Index) {
  const std::vector<TqvCustomStyles*> users = FUsers;
  for (TqvCustomStyles* user : users)
    if (std::find(FUsers.begin(), FUsers.end(), user) != FUsers.end()) user->NotifyStyleChanged(Index);
  UpdateFakeComponentLinks();
}

void TqvCustomStyleSheet::GetFakeComponentLinks(std::vector<TComponent*>& AList) {
  TComponent* owner = Owner();
  if (!owner || !FStyles) return;
  for (const TqvCustomStyles::TEntry& e : FStyles->FEntries) {
    TComponent* styleOwner = e.Style->Owner();
    if (styleOwner && styleOwner != owner && std::find(AList.begin(), AList.end(), styleOwner) == AList.end())
      AList.push_back(styleOwner);
  }
}

void TqvCustomStyleSheet::MoveToRepository(TqvStyleRepository* ARepository) {
  if (ARepository == FRepository) return;
  if (FRepository) FRepository->RemoveStyleSheet(this);
  FRepository = ARepository;
  if (FRepository) FRepository->AddStyleSheet(this);
}

TComponent* TqvCustomStyleSheet::GetParentComponent() { return FRepository; }

void TqvCustomStyleSheet::SetParentComponent(TComponent* Value) { MoveToRepository(RepositoryOf(Value)); }

// ---------------------------------------------------------------------------------------------
// TqvStyleRepository

void TqvStyleRepository::BeforeDestruction() {
  Clear();
  FreeAllStyleSheets();
  inherited::BeforeDestruction();
}

TqvCustomStyle* TqvStyleRepository::CreateItemEx(TqvCustomStyleClass AStyleClass, TComponent* AOwner) {
  if (!AStyleClass || !AStyleClass->InheritsFrom(&TqvCustomStyle::StaticClass()) || !AStyleClass->CanCreate())
    throw EInvalidCast(&SInvalidStyleParent);
  auto* style = static_cast<TqvCustomStyle*>(AStyleClass->Create(AOwner));
  style->MoveToRepository(this);
  return style;
}

TqvCustomStyleSheet* TqvStyleRepository::CreateStyleSheetEx(TqvCustomStyleSheetClass ASheetClass, TComponent* AOwner) {
  if (!ASheetClass || !ASheetClass->InheritsFrom(&TqvCustomStyleSheet::StaticClass()) || !ASheetClass->CanCreate())
    throw EInvalidCast(&SInvalidStyleParent);
  auto* sheet = static_cast<TqvCustomStyleSheet*>(ASheetClass->Create(AOwner));
  sheet->MoveToRepository(this);
  return sheet;
}

void TqvStyleRepository::AddItem(TqvCustomStyle* AItem) {
  if (std::find(FItems.begin(), FItems.end(), AItem) == FItems.end()) FItems.push_back(AItem);
}

void TqvStyleRepository::RemoveItem(TqvCustomStyle* AItem) { std::erase(FItems, AItem); }

void TqvStyleRepository::AddStyleSheet(TqvCustomStyleSheet* ASheet) {
  if (std::find(FStyleSheets.begin(), FStyleSheets.end(), ASheet) == FStyleSheets.end()) FStyleSheets.push_back(ASheet);
}

void TqvStyleRepository::RemoveStyleSheet(TqvCustomStyleSheet* ASheet) { std::erase(FStyleSheets, ASheet); }

void TqvStyleRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TqvCustomStyle* style : FItems)
    if (style->Owner() == Root) Proc(style);
  for (TqvCustomStyleSheet* sheet : FStyleSheets)
    if (sheet->Owner() == Root) Proc(sheet);
}

void TqvStyleRepository::Clear() {
  while (!FItems.empty()) Free(FItems.back());
}

void TqvStyleRepository::FreeAllStyleSheets() {
  while (!FStyleSheets.empty()) Free(FStyleSheets.back());
}

void InitStylesUnit() { RegisterClass(&TqvStyle::StaticClass()); }
