// The container style and the style controller.
#include <algorithm>

#include "lookandfeel/qvContainer.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvContainerStyle)
QJ_IMPLEMENT_CLASS(TqvStyleController)

namespace {

const char* const kStyleValueNames[] = {"BorderColor", "BorderStyle", "Color",  "Edges",
                                        "Font",        "HotTrack",    "Shadow", "TransparentBorder"};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TqvContainerStyle::TqvContainerStyle(TPersistent* AOwner, bool AIsInplace) : FIsInplace(AIsInplace), FOwner(AOwner) {
  if (!FIsInplace) {
    FOwnFont = MakeOwned<TFont>();
    FOwnFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    FFont = FOwnFont.get();
  }
  FLookAndFeel = MakeOwned<TqvLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TqvLookAndFeel*, TqvLookAndFeelValues) { Changed(); };
  if (FIsInplace) FAssignedValues = csvBit(csvColor) | csvBit(csvFont);
}

void TqvContainerStyle::AfterConstruction() {
  inherited::AfterConstruction();
  SetStyleController(nullptr);
}

void TqvContainerStyle::BeforeDestruction() {
  FDestroying = true;
  inherited::BeforeDestruction();
}

TqvContainerStyle::~TqvContainerStyle() {
  FDestroying = true;
  FOwnFont.reset();
  if (FStyleController) FStyleController->RemoveStyle(this);
  FLookAndFeel.reset();
}

void TqvContainerStyle::Assign(TPersistent* Source) {
  auto* source = As<TqvContainerStyle>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope<TqvContainerStyle> update(*this);
  SetStyleController(source->GetStyleController());
  FLookAndFeel->Assign(source->FLookAndFeel.get());
  FBorderColor = source->FBorderColor;
  FBorderStyle = source->FBorderStyle;
  FEdges = source->FEdges;
  FHotTrack = source->FHotTrack;
  FShadow = source->FShadow;
  FTransparentBorder = source->FTransparentBorder;
  FColor = source->FColor;
  FTextColor = source->FTextColor;
  if (FIsInplace) {
    FFont = source->FFont;
  } else if (source->FFont) {
    TValueScope copying(FCopyingFont, true);
    FFont->Assign(source->FFont);
  }
  FAssignedValues = source->FAssignedValues;
  Changed();
}

void TqvContainerStyle::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FChangedLocked) Changed();
}

void TqvContainerStyle::Changed() {
  if (FUpdateCount > 0) {
    FChangedLocked = true;
    return;
  }
  FChangedLocked = false;
  if (!FIsInplace && OnChanged && !FDestroying) OnChanged(this);
}

// ---------------------------------------------------------------------------------------------
// The chain of controllers

TqvContainerStyle* TqvContainerStyle::GetControllerStyle() const {
  return FStyleController ? FStyleController->GetStyle() : nullptr;
}

bool TqvContainerStyle::InternalGetBorderColor(TColor& Value) const {
  if (IsAssignedHere(csvBorderColor)) return Value = FBorderColor, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetBorderColor(Value);
}

bool TqvContainerStyle::InternalGetBorderStyle(TqvContainerBorderStyle& Value) const {
  if (IsAssignedHere(csvBorderStyle)) return Value = FBorderStyle, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetBorderStyle(Value);
}

bool TqvContainerStyle::InternalGetColor(TColor& Value) const {
  if (IsAssignedHere(csvColor)) return Value = FColor, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetColor(Value);
}

bool TqvContainerStyle::InternalGetEdges(TqvBorders& Value) const {
  if (IsAssignedHere(csvEdges)) return Value = FEdges, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetEdges(Value);
}

bool TqvContainerStyle::InternalGetFont(TFont*& Value) const {
  if (IsAssignedHere(csvFont)) return Value = FFont, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetFont(Value);
}

bool TqvContainerStyle::InternalGetHotTrack(bool& Value) const {
  if (IsAssignedHere(csvHotTrack)) return Value = FHotTrack, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetHotTrack(Value);
}

bool TqvContainerStyle::InternalGetShadow(bool& Value) const {
  if (IsAssignedHere(csvShadow)) return Value = FShadow, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetShadow(Value);
}

bool TqvContainerStyle::InternalGetTransparentBorder(bool& Value) const {
  if (IsAssignedHere(csvTransparentBorder)) return Value = FTransparentBorder, true;
  const TqvContainerStyle* up = GetControllerStyle();
  return up && up->InternalGetTransparentBorder(Value);
}

bool TqvContainerStyle::IsValueAssigned(TqvContainerStyleValue Value) const {
  if (Value < 0 || Value >= 8) return false;
  for (const TqvContainerStyle* s = this; s; s = s->GetControllerStyle())
    if (s->IsAssignedHere(Value)) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Getters

TColor TqvContainerStyle::GetBorderColor() const {
  if (FIsInplace) return clDefault;
  TColor c;
  return InternalGetBorderColor(c) ? c : GetDefaultBorderColor();
}

TqvContainerBorderStyle TqvContainerStyle::GetBorderStyle() const {
  if (FIsInplace) return IsAssignedHere(csvBorderStyle) ? FBorderStyle : GetDefaultBorderStyle();
  TqvContainerBorderStyle s;
  return InternalGetBorderStyle(s) ? s : GetDefaultBorderStyle();
}

TColor TqvContainerStyle::GetColor() const {
  if (FIsInplace) return FColor;
  TqvContainer* container = GetContainer();
  if (container && container->GetParentColor() && container->GetParent()) return container->GetParent()->GetColor();
  return GetStyleColor();
}

TColor TqvContainerStyle::GetStyleColor() const {
  if (FIsInplace) return FColor;
  TColor c;
  return InternalGetColor(c) ? c : GetDefaultColor();
}

TqvBorders TqvContainerStyle::GetEdges() const {
  if (FIsInplace) return 0;
  TqvBorders e;
  return InternalGetEdges(e) ? e : GetDefaultEdges();
}

bool TqvContainerStyle::GetHotTrack() const {
  if (FIsInplace) return IsAssignedHere(csvHotTrack) ? FHotTrack : GetDefaultHotTrack();
  bool v;
  return InternalGetHotTrack(v) ? v : GetDefaultHotTrack();
}

bool TqvContainerStyle::GetShadow() const {
  if (FIsInplace) return false;
  bool v;
  return InternalGetShadow(v) ? v : GetDefaultShadow();
}

bool TqvContainerStyle::GetTransparentBorder() const {
  if (FIsInplace) return true;
  bool v;
  return InternalGetTransparentBorder(v) ? v : GetDefaultTransparentBorder();
}

TqvContainerStyleValues TqvContainerStyle::GetAssignedValues() const {
  if (!FIsInplace) return FAssignedValues;
  return GetStyleValueCount() >= 32 ? ~0u : (1u << GetStyleValueCount()) - 1;
}

TqvContainerBorderStyle TqvContainerStyle::GetDefaultBorderStyle() const {
  switch (FLookAndFeel->GetKind()) {
    case lfFlat: return cbsFlat;
    case lfStandard: return cbs3D;
    case lfUltraFlat: return cbsUltraFlat;
  }
  return cbs3D;
}

TColor TqvContainerStyle::GetDefaultColor() const {
  TqvContainer* container = GetContainer();
  if (container && container->GetParentColor() && container->GetParent()) return container->GetParent()->GetColor();
  return clWindow;
}

TqvContainer* TqvContainerStyle::GetContainer() const { return As<TqvContainer>(FOwner); }

bool TqvContainerStyle::GetStyleValueName(TqvContainerStyleValue Index, String& Name) const {
  Name.clear();
  if (Index < 0 || Index >= 8) return false;
  Name = kStyleValueNames[Index];
  return true;
}

bool TqvContainerStyle::IsValueStored(TqvContainerStyleValue Value) const {
  TqvContainer* container = GetContainer();
  const TqvContainerStyleValues hidden = container ? container->GetNotPublishedStyleValues() : 0;
  return (FAssignedValues & csvBit(Value)) && !(hidden & csvBit(Value));
}

// ---------------------------------------------------------------------------------------------
// Setters

void TqvContainerStyle::AssignValue(TqvContainerStyleValue Value) {
  FAssignedValues |= csvBit(Value);
  Changed();
}

void TqvContainerStyle::SetBorderColor(TColor Value) {
  if (IsAssignedHere(csvBorderColor) && FBorderColor == Value) return;
  FBorderColor = Value;
  AssignValue(csvBorderColor);
}

void TqvContainerStyle::SetBorderStyle(TqvContainerBorderStyle Value) {
  if (IsAssignedHere(csvBorderStyle) && FBorderStyle == Value) return;
  FBorderStyle = Value;
  AssignValue(csvBorderStyle);
}

void TqvContainerStyle::SetColor(TColor Value) {
  if (IsAssignedHere(csvColor) && FColor == Value) return;
  FColor = Value;
  AssignValue(csvColor);
}

void TqvContainerStyle::SetEdges(TqvBorders Value) {
  if (IsAssignedHere(csvEdges) && FEdges == Value) return;
  FEdges = Value & qvAllBorders;
  AssignValue(csvEdges);
}

void TqvContainerStyle::SetHotTrack(bool Value) {
  if (IsAssignedHere(csvHotTrack) && FHotTrack == Value) return;
  FHotTrack = Value;
  AssignValue(csvHotTrack);
}

void TqvContainerStyle::SetShadow(bool Value) {
  if (IsAssignedHere(csvShadow) && FShadow == Value) return;
  FShadow = Value;
  AssignValue(csvShadow);
}

void TqvContainerStyle::SetTransparentBorder(bool Value) {
  if (IsAssignedHere(csvTransparentBorder) && FTransparentBorder == Value) return;
  FTransparentBorder = Value;
  AssignValue(csvTransparentBorder);
}

void TqvContainerStyle::SetFont(TFont* Value) {
  if (FIsInplace) {
    FFont = Value;
    return;
  }
  if (Value) FFont->Assign(Value);
  AssignValue(csvFont);
}

void TqvContainerStyle::SetAssignedValues(TqvContainerStyleValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  UpdateFont();
  Changed();
}

void TqvContainerStyle::RestoreDefaults() {
  TUpdateScope<TqvContainerStyle> update(*this);
  if (TqvContainer* container = GetContainer()) {
    container->SetParentColor(false);
    container->SetParentFont(true);
  }
  FLookAndFeel->Reset();
  SetAssignedValues(0);
}

// ---------------------------------------------------------------------------------------------
// Font

void TqvContainerStyle::UpdateFont() {
  if (FIsInplace || IsAssignedHere(csvFont)) return;
  const TqvContainerStyle* up = GetControllerStyle();
  TFont* font = nullptr;
  if (up && up->InternalGetFont(font) && font) {
    TValueScope copying(FCopyingFont, true);
    FFont->Assign(font);
  }
}

void TqvContainerStyle::FontChanged(TObject*) {
  if (FCopyingFont) return;
  FAssignedValues |= csvBit(csvFont);
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Style controller of the style

TqvStyleController* TqvContainerStyle::GetStyleController() const {
  return FStyleController == GetDefaultStyleController() ? nullptr : FStyleController;
}

// True when AController owns this style directly or through the owners of the style's owner.
bool TqvContainerStyle::OwnsStyleThrough(TqvStyleController* AController) {
  for (TPersistent* owner = GetOwner(); owner; owner = owner->GetOwner())
    if (owner == AController) return true;
  return false;
}

// True when the controller chain starting at AController comes back to this style.
bool TqvContainerStyle::ChainReaches(TqvStyleController* AController) const {
  std::vector<const TqvStyleController*> seen;
  for (const TqvStyleController* c = AController; c && c->GetStyle(); c = c->GetStyle()->FStyleController) {
    if (c->GetStyle() == this || std::find(seen.begin(), seen.end(), c) != seen.end()) return true;
    seen.push_back(c);
  }
  return false;
}

void TqvContainerStyle::SetStyleController(TqvStyleController* Value) {
  if (!Value) Value = GetDefaultStyleController();
  if (Value && (OwnsStyleThrough(Value) || ChainReaches(Value))) return;
  if (Value == FStyleController) return;
  if (FStyleController) FStyleController->RemoveStyle(this);
  FStyleController = Value;
  if (FStyleController) FStyleController->AddStyle(this);
  StyleControllerChanged();
}

void TqvContainerStyle::StyleControllerChanged() {
  UpdateFont();
  Changed();
}

void TqvContainerStyle::ControllerChangedNotification() {
  UpdateFont();
  Changed();
}

void TqvContainerStyle::ControllerFreeNotification(TqvStyleController* AController) {
  if (AController && AController == FStyleController) SetStyleController(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Style controller

void TqvStyleController::AfterConstruction() {
  inherited::AfterConstruction();
  FStyle.reset(GetStyleClass()->Create(this, false));
  FStyle->OnChanged = [this](TObject*) { Changed(); };
}

void TqvStyleController::BeforeDestruction() {
  FDestroying = true;
  // Each user falls back to its default controller; the list stays as it is meanwhile.
  const std::vector<TqvContainerStyle*> users = FUsers;
  for (TqvContainerStyle* style : users) style->ControllerFreeNotification(this);
  FUsers.clear();
  inherited::BeforeDestruction();
}

TqvStyleController::~TqvStyleController() { FStyle.reset(); }

void TqvStyleController::Loaded() {
  inherited::Loaded();
  Changed();
}

void TqvStyleController::AddStyle(TqvContainerStyle* AStyle) {
  if (!AStyle || std::find(FUsers.begin(), FUsers.end(), AStyle) != FUsers.end()) return;
  FUsers.push_back(AStyle);
  AStyle->GetLookAndFeel()->SetMasterLookAndFeel(FStyle->GetLookAndFeel());
}

void TqvStyleController::RemoveStyle(TqvContainerStyle* AStyle) {
  auto it = std::find(FUsers.begin(), FUsers.end(), AStyle);
  if (it == FUsers.end()) return;
  if (!FDestroying) FUsers.erase(it);
  if (AStyle->GetLookAndFeel()) AStyle->GetLookAndFeel()->SetMasterLookAndFeel(nullptr);
}

void TqvStyleController::Changed() {
  TAliveToken alive = AliveToken();
  if (FStyle && OnStyleChanged) OnStyleChanged(this, FStyle.get());
  if (!alive || FDestroying) return;
  // A user may leave the list while it is told.
  const std::vector<TqvContainerStyle*> users = FUsers;
  for (TqvContainerStyle* style : users)
    if (alive && std::find(FUsers.begin(), FUsers.end(), style) != FUsers.end()) StyleChanged(style);
}

void TqvStyleController::StyleChanged(TqvContainerStyle* AStyle) {
  AStyle->ControllerChangedNotification();
  if (OnStyleChanged) OnStyleChanged(this, AStyle);
}
