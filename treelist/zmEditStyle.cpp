// Style controllers, the per-editor style and the fallback chain of style values.
#include "treelist/zmEditStyle.h"

#include <algorithm>

#include "platform/rtl/Scopes.h"
#include "treelist/zmEditor.h"

QJ_IMPLEMENT_CLASS(TzmStyleController)
QJ_IMPLEMENT_CLASS(TzmEditStyleController)
QJ_IMPLEMENT_CLASS(TzmEditStyle)

namespace {

TzmEditStyleController* FDefaultEditStyleController = nullptr;

}  // namespace

TzmEditStyleController* DefaultEditStyleController() { return FDefaultEditStyleController; }

void SetDefaultEditStyleController(TzmEditStyleController* Value) { FDefaultEditStyleController = Value; }

// ---------------------------------------------------------------------------------------------
// TzmStyleController

void TzmStyleController::AddLink(TObject* Link) { FLinks.push_back(Link); }

void TzmStyleController::RemoveLink(TObject* Link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), Link);
  if (it != FLinks.end()) FLinks.erase(it);
}

void TzmStyleController::ChangeLink(TObject* Link) {
  if (OnStyleChanged) OnStyleChanged(this, Link);
}

void TzmStyleController::EndUpdate() {
  if (FLockCount == 0) return;
  --FLockCount;
  Changed();
}

// A link may go away (or unlink others) while it hears of the change: each link still in the list
// is told once.
void TzmStyleController::Changed() {
  if (FLockCount > 0 || HasState(csLoading)) return;
  TAliveToken alive = AliveToken();
  std::vector<TObject*> links = FLinks;
  for (TObject* link : links) {
    if (!alive) return;
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) ChangeLink(link);
  }
}

void TzmStyleController::Loaded() {
  inherited::Loaded();
  Refresh();
}

// ---------------------------------------------------------------------------------------------
// TzmEditStyleController

TzmEditStyleController::TzmEditStyleController(TComponent* AOwner) : TzmStyleController(AOwner) {}

template <class T>
void TzmEditStyleController::Update(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TzmEditStyleController::SetBorderColor(TColor Value) { Update(FBorderColor, Value); }
void TzmEditStyleController::SetBorderStyle(TzmEditBorderStyle Value) { Update(FBorderStyle, Value); }
void TzmEditStyleController::SetButtonStyle(TzmEditButtonViewStyle Value) { Update(FButtonStyle, Value); }
void TzmEditStyleController::SetButtonTransparence(TzmEditButtonTransparence Value) {
  Update(FButtonTransparence, Value);
}
void TzmEditStyleController::SetEdges(TzmEditEdges Value) { Update(FEdges, Value); }
void TzmEditStyleController::SetHotTrack(bool Value) { Update(FHotTrack, Value); }
void TzmEditStyleController::SetShadow(bool Value) { Update(FShadow, Value); }

void TzmEditStyleController::Assign(TPersistent* Source) {
  auto* source = As<TzmEditStyleController>(Source);
  if (!source) return inherited::Assign(Source);
  TUpdateScope<TzmStyleController> scope(*this);
  SetBorderColor(source->GetBorderColor());
  SetBorderStyle(source->GetBorderStyle());
  SetButtonStyle(source->GetButtonStyle());
  SetButtonTransparence(source->GetButtonTransparence());
  SetEdges(source->GetEdges());
  SetHotTrack(source->GetHotTrack());
  SetShadow(source->GetShadow());
}

void TzmEditStyleController::RestoreDefaults() {
  TUpdateScope<TzmStyleController> scope(*this);
  SetBorderColor(clWindowFrame);
  SetBorderStyle(xbs3D);
  SetButtonStyle(TzmEditButtonViewStyle::btsDefault);
  SetButtonTransparence(TzmEditButtonTransparence::ebtNone);
  SetEdges(zmAllEdges);
  SetHotTrack(false);
  SetShadow(false);
}

void TzmEditStyleController::ChangeLink(TObject* Link) {
  auto* edit = As<TzmInplaceEdit>(Link);
  if (!edit) return inherited::ChangeLink(Link);
  if (edit->GetStyleController() && edit->GetStyleController() != this) return;
  TAliveToken alive = AliveToken();
  edit->StyleChanged();
  if (alive) inherited::ChangeLink(Link);
}

// ---------------------------------------------------------------------------------------------
// TzmEditStyle

void TzmEditStyle::AfterConstruction() {
  inherited::AfterConstruction();
  TzmEditStyleController* controller = GetDefaultStyleController();
  if (FEdit && controller) controller->AddLink(FEdit);
}

void TzmEditStyle::BeforeDestruction() {
  TzmEditStyleController* controller = GetDefaultStyleController();
  if (FEdit && controller) controller->RemoveLink(FEdit);
  inherited::BeforeDestruction();
}

TzmEditStyleController* TzmEditStyle::GetDefaultStyleController() const { return DefaultEditStyleController(); }

TzmEditStyleController* TzmEditStyle::GetStyleController() const {
  return FEdit ? FEdit->GetStyleController() : nullptr;
}

TzmEditStyleController* TzmEditStyle::InheritedController() const {
  if (TzmEditStyleController* own = GetStyleController()) return own;
  return GetDefaultStyleController();
}

void TzmEditStyle::Changed() {
  if (FEdit) FEdit->StyleChanged();
}

void TzmEditStyle::RestoreDefaults() {
  FAssignedValues = 0;
  Changed();
}

void TzmEditStyle::SetAssignedValues(TzmEditStyleValues Value) {
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  Changed();
}

template <class T>
void TzmEditStyle::Update(TzmEditStyleValue Member, T& Field, T Value) {
  if (IsAssigned(Member) && Field == Value) return;
  Field = Value;
  FAssignedValues |= zmStyleValue(Member);
  Changed();
}

void TzmEditStyle::Assign(TPersistent* Source) {
  auto* source = As<TzmEditStyle>(Source);
  if (!source) return inherited::Assign(Source);
  SetBorderColor(source->GetBorderColor());
  SetBorderStyle(source->GetBorderStyle());
  SetButtonStyle(source->GetButtonStyle());
  SetButtonTransparence(source->GetButtonTransparence());
  SetEdges(source->GetEdges());
  SetHotTrack(source->GetHotTrack());
  SetShadow(source->GetShadow());
}

TColor TzmEditStyle::GetBorderColor() const {
  return IsAssigned(TzmEditStyleValue::svBorderColor) ? FBorderColor : DefaultBorderColor();
}
TzmEditBorderStyle TzmEditStyle::GetBorderStyle() const {
  return IsAssigned(TzmEditStyleValue::svBorderStyle) ? FBorderStyle : DefaultBorderStyle();
}
TzmEditButtonViewStyle TzmEditStyle::GetButtonStyle() const {
  return IsAssigned(TzmEditStyleValue::svButtonStyle) ? FButtonStyle : DefaultButtonStyle();
}
TzmEditButtonTransparence TzmEditStyle::GetButtonTransparence() const {
  return IsAssigned(TzmEditStyleValue::svButtonTransparence) ? FButtonTransparence : DefaultButtonTransparence();
}
TzmEditEdges TzmEditStyle::GetEdges() const {
  return IsAssigned(TzmEditStyleValue::svEdges) ? FEdges : DefaultEdges();
}
bool TzmEditStyle::GetHotTrack() const {
  return IsAssigned(TzmEditStyleValue::svHotTrack) ? FHotTrack : DefaultHotTrack();
}
bool TzmEditStyle::GetShadow() const { return IsAssigned(TzmEditStyleValue::svShadow) ? FShadow : DefaultShadow(); }

void TzmEditStyle::SetBorderColor(TColor Value) { Update(TzmEditStyleValue::svBorderColor, FBorderColor, Value); }
void TzmEditStyle::SetBorderStyle(TzmEditBorderStyle Value) {
  Update(TzmEditStyleValue::svBorderStyle, FBorderStyle, Value);
}
void TzmEditStyle::SetButtonStyle(TzmEditButtonViewStyle Value) {
  Update(TzmEditStyleValue::svButtonStyle, FButtonStyle, Value);
}
void TzmEditStyle::SetButtonTransparence(TzmEditButtonTransparence Value) {
  Update(TzmEditStyleValue::svButtonTransparence, FButtonTransparence, Value);
}
void TzmEditStyle::SetEdges(TzmEditEdges Value) { Update(TzmEditStyleValue::svEdges, FEdges, Value); }
void TzmEditStyle::SetHotTrack(bool Value) { Update(TzmEditStyleValue::svHotTrack, FHotTrack, Value); }
void TzmEditStyle::SetShadow(bool Value) { Update(TzmEditStyleValue::svShadow, FShadow, Value); }

TColor TzmEditStyle::DefaultBorderColor() const {
  TzmEditStyleController* c = InheritedController();
  return c ? c->GetBorderColor() : clWindowFrame;
}
TzmEditBorderStyle TzmEditStyle::DefaultBorderStyle() const {
  TzmEditStyleController* c = InheritedController();
  return c ? c->GetBorderStyle() : xbs3D;
}
TzmEditButtonViewStyle TzmEditStyle::DefaultButtonStyle() const {
  TzmEditStyleController* c = InheritedController();
  return c ? c->GetButtonStyle() : TzmEditButtonViewStyle::btsDefault;
}
TzmEditButtonTransparence TzmEditStyle::DefaultButtonTransparence() const {
  TzmEditStyleController* c = InheritedController();
  return c ? c->GetButtonTransparence() : TzmEditButtonTransparence::ebtNone;
}
TzmEditEdges TzmEditStyle::DefaultEdges() const {
  TzmEditStyleController* c = InheritedController();
  return c ? c->GetEdges() : zmAllEdges;
}
bool TzmEditStyle::DefaultHotTrack() const {
  TzmEditStyleController* c = InheritedController();
  return c && c->GetHotTrack();
}
bool TzmEditStyle::DefaultShadow() const {
  TzmEditStyleController* c = InheritedController();
  return c && c->GetShadow();
}
