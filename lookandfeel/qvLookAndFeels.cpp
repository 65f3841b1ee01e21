// Look-and-feel settings, their inheritance from a master or the root, and the controller.
#include "lookandfeel/qvLookAndFeels.h"

#include <algorithm>

#include "lookandfeel/qvContainer.h"
#include "lookandfeel/qvControls.h"
#include "lookandfeel/qvStyles.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvLookAndFeel)
QJ_IMPLEMENT_CLASS(TqvLookAndFeelController)

namespace {

struct TLookAndFeelUnit {
  TqvLookAndFeel* Root = nullptr;
  Integer ControllerCount = 0;
};

TLookAndFeelUnit& LookAndFeelUnit() {
  static TLookAndFeelUnit unit;
  return unit;
}

bool IsController(IqvLookAndFeelListener* AListener) {
  return As<TqvLookAndFeelController>(AListener->GetObject()) != nullptr;
}

}  // namespace

TqvLookAndFeelPainterClass GetLookAndFeelPainterByKind(TqvLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat: return TqvFlatLookAndFeelPainter::Class();
    case lfStandard: return TqvStandardLookAndFeelPainter::Class();
    case lfUltraFlat: break;
  }
  return TqvUltraFlatLookAndFeelPainter::Class();
}

TqvLookAndFeel* RootLookAndFeel() { return LookAndFeelUnit().Root; }
Integer GetLookAndFeelControllerCount() { return LookAndFeelUnit().ControllerCount; }

// ---------------------------------------------------------------------------------------------
// TqvLookAndFeel

TqvLookAndFeel::TqvLookAndFeel(TPersistent* AOwner) : TqvInterfacedPersistent(AOwner) {}

void TqvLookAndFeel::AfterConstruction() {
  inherited::AfterConstruction();
  if (TqvLookAndFeel* root = RootLookAndFeel()) {
    root->AddChangeListener(this);
    FKind = GetEffectiveKind();
    FNativeStyle = GetEffectiveNativeStyle();
  }
}

void TqvLookAndFeel::BeforeDestruction() {
  FDestroying = true;
  inherited::BeforeDestruction();
}

TqvLookAndFeel::~TqvLookAndFeel() {
  // Followers go back to the root; the list stays whole while they do.
  {
    TValueScope destroying(FDestroying, true);
    const std::vector<IqvLookAndFeelListener*> followers = FListeners;
    for (IqvLookAndFeelListener* l : followers) l->MasterDestroying(this);
  }
  FListeners.clear();
  if (TqvLookAndFeel* master = GetMasterLookAndFeel()) master->RemoveChangeListener(this);
  if (FIsRoot && LookAndFeelUnit().Root == this) LookAndFeelUnit().Root = nullptr;
}

void TqvLookAndFeel::Assign(TPersistent* Source) {
  auto* source = As<TqvLookAndFeel>(Source);
  if (!source) return inherited::Assign(Source);
  SaveValues();
  FOwnKind = source->FOwnKind;
  FOwnNativeStyle = source->FOwnNativeStyle;
  FAssignedValues = source->FAssignedValues;
  SetMasterLookAndFeel(source->GetMasterLookAndFeel());
  CheckValuesChanged();
}

void TqvLookAndFeel::SetKind(TqvLookAndFeelKind Value) {
  const TqvLookAndFeelKind old = FKind;
  FAssignedValues |= lfvBit(lfvKind);
  FOwnKind = Value;
  if (GetEffectiveKind() != old) Changed(lfvBit(lfvKind));
}

void TqvLookAndFeel::SetNativeStyle(bool Value) {
  const bool old = FNativeStyle;
  FAssignedValues |= lfvBit(lfvNativeStyle);
  FOwnNativeStyle = Value;
  if (GetEffectiveNativeStyle() != old) Changed(lfvBit(lfvNativeStyle));
}

void TqvLookAndFeel::SetAssignedValues(TqvLookAndFeelValues Value) {
  Value &= lfvAll;
  if (Value == FAssignedValues) return;
  SaveValues();
  FAssignedValues = Value;
  CheckValuesChanged();
}

TqvLookAndFeel* TqvLookAndFeel::GetMasterLookAndFeel() const {
  if (FIsRoot) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : RootLookAndFeel();
}

void TqvLookAndFeel::SetMasterLookAndFeel(TqvLookAndFeel* Value) {
  if (FIsRoot || Value == this || Value == GetMasterLookAndFeel()) return;
  SaveValues();
  if (TqvLookAndFeel* old = GetMasterLookAndFeel()) old->RemoveChangeListener(this);
  FMasterLookAndFeel = Value;
  if (TqvLookAndFeel* master = GetMasterLookAndFeel()) master->AddChangeListener(this);
  CheckValuesChanged();
}

TqvLookAndFeelKind TqvLookAndFeel::GetDefaultKind() const {
  if (FIsRoot) return lfUltraFlat;
  const TqvLookAndFeel* master = GetMasterLookAndFeel();
  return master ? master->GetKind() : lfUltraFlat;
}

bool TqvLookAndFeel::GetDefaultNativeStyle() const {
  if (FIsRoot) return false;
  const TqvLookAndFeel* master = GetMasterLookAndFeel();
  return master ? master->GetNativeStyle() : false;
}

TqvLookAndFeelKind TqvLookAndFeel::GetEffectiveKind() const {
  return (FAssignedValues & lfvBit(lfvKind)) ? FOwnKind : GetDefaultKind();
}

bool TqvLookAndFeel::GetEffectiveNativeStyle() const {
  return (FAssignedValues & lfvBit(lfvNativeStyle)) ? FOwnNativeStyle : GetDefaultNativeStyle();
}

void TqvLookAndFeel::SaveValues() {
  FSavedKind = FKind;
  FSavedNativeStyle = FNativeStyle;
}

void TqvLookAndFeel::CheckValuesChanged() {
  TqvLookAndFeelValues changed = 0;
  if (GetEffectiveKind() != FSavedKind) changed |= lfvBit(lfvKind);
  if (GetEffectiveNativeStyle() != FSavedNativeStyle) changed |= lfvBit(lfvNativeStyle);
  Changed(changed);
}

bool TqvLookAndFeel::HasListener(IqvLookAndFeelListener* AListener) const {
  return std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end();
}

void TqvLookAndFeel::Changed(TqvLookAndFeelValues AChangedValues) {
  if (AChangedValues == 0 || FDestroying) return;
  FKind = GetEffectiveKind();
  FNativeStyle = GetEffectiveNativeStyle();
  // Each listener present when the change began hears it once, unless an earlier one removed
  // it; one added meanwhile caught the new values when it attached.
  const std::vector<IqvLookAndFeelListener*> snapshot = FListeners;
  for (IqvLookAndFeelListener* l : snapshot)
    if (HasListener(l)) l->MasterChanged(this, AChangedValues);
  if (OnChanged) OnChanged(this, AChangedValues);
}

void TqvLookAndFeel::AddChangeListener(IqvLookAndFeelListener* AListener) {
  if (!AListener || HasListener(AListener)) return;
  const bool controller = IsController(AListener);
  if (controller && !FIsRoot) return;
  FListeners.push_back(AListener);
  if (controller) ++LookAndFeelUnit().ControllerCount;
}

void TqvLookAndFeel::RemoveChangeListener(IqvLookAndFeelListener* AListener) {
  if (!AListener || !HasListener(AListener)) return;
  if (!FDestroying) std::erase(FListeners, AListener);
  if (FIsRoot && IsController(AListener) && --LookAndFeelUnit().ControllerCount == 0) Reset();
}

void TqvLookAndFeel::MasterChanged(TqvLookAndFeel*, TqvLookAndFeelValues AChangedValues) {
  Changed(AChangedValues & ~FAssignedValues);
}

void TqvLookAndFeel::MasterDestroying(TqvLookAndFeel*) { SetMasterLookAndFeel(nullptr); }

TqvLookAndFeelPainterClass TqvLookAndFeel::GetAvailablePainter(Cardinal AThemeClassMask) const {
  if (GetNativeStyle() && AreThemesAvailable(AThemeClassMask)) return TqvWinXPLookAndFeelPainter::Class();
  return GetLookAndFeelPainterByKind(GetKind());
}

// ---------------------------------------------------------------------------------------------
// TqvLookAndFeelController

void TqvLookAndFeelController::AfterConstruction() {
  inherited::AfterConstruction();
  if (TqvLookAndFeel* root = RootLookAndFeel()) root->AddChangeListener(this);
}

void TqvLookAndFeelController::BeforeDestruction() {
  if (TqvLookAndFeel* root = RootLookAndFeel()) root->RemoveChangeListener(this);
  inherited::BeforeDestruction();
}

TqvLookAndFeelKind TqvLookAndFeelController::GetKind() const {
  return RootLookAndFeel() ? RootLookAndFeel()->GetKind() : lfUltraFlat;
}

void TqvLookAndFeelController::SetKind(TqvLookAndFeelKind Value) {
  if (TqvLookAndFeel* root = RootLookAndFeel()) root->SetKind(Value);
}

bool TqvLookAndFeelController::GetNativeStyle() const {
  return RootLookAndFeel() ? RootLookAndFeel()->GetNativeStyle() : false;
}

void TqvLookAndFeelController::SetNativeStyle(bool Value) {
  if (TqvLookAndFeel* root = RootLookAndFeel()) root->SetNativeStyle(Value);
}

// ---------------------------------------------------------------------------------------------
// Units

TqvLookAndFeelUnits::TqvLookAndFeelUnits() {
  InitGraphicsUnit();
  InitThemeManager();
  if (!LookAndFeelUnit().Root) {
    // Made while no root exists, so it follows nobody.
    TqvLookAndFeel* root = New<TqvLookAndFeel>(nullptr);
    root->FIsRoot = true;
    LookAndFeelUnit().Root = root;
  }
  InitControlFoundation();
  InitStylesUnit();
  InitContainers();
}

TqvLookAndFeelUnits::~TqvLookAndFeelUnits() {
  DoneContainers();
  DoneControlFoundation();
  Free(LookAndFeelUnit().Root);
  LookAndFeelUnit().Root = nullptr;
  LookAndFeelUnit().ControllerCount = 0;
  DonePainterUnit();
  DoneThemeManager();
  DoneGraphicsUnit();
}
