#include "grid/qvGridLevel.h"

#include <algorithm>
#include <utility>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvGridLevelOptions)
QJ_IMPLEMENT_CLASS(TqvGridLevelStyles)
QJ_IMPLEMENT_CLASS(TqvGridLevel)

const TResourceString sqvGridLevelCycleError{64520, "Level \"%s\" cannot be placed under itself"};
const TResourceString sqvGridLevelRootError{64521, "The root level of a grid cannot be placed under a level"};
const TResourceString sqvGridLevelNoChildError{64522, "No level to add"};
const TResourceString sqvGridLevelParentError{64523, "\"%s\" is neither a grid nor a grid level"};

namespace {

// Streamed levels are found by their class name.
[[maybe_unused]] const bool kGridLevelClassRegistered = (RegisterClass(&TqvGridLevel::StaticClass()), true);

TqvLookAndFeelPainterClass LevelPainter(const TqvGridLevel* ALevel) {
  TqvCustomGrid* grid = ALevel ? ALevel->GetControl() : nullptr;
  return grid ? grid->GetLookAndFeelPainter() : TqvStandardLookAndFeelPainter::Class();
}

[[noreturn]] void RaiseLevelError(const TResourceString& AMessage) {
  throw EInvalidOperation(GetLocalizedResourceString(&AMessage));
}

[[noreturn]] void RaiseLevelError(const TResourceString& AMessage, const String& AName) {
  throw EInvalidOperation(Format(GetLocalizedResourceString(&AMessage), {AName}));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Options

TqvGridLevelOptions::TqvGridLevelOptions(TqvGridLevel* ALevel) : FLevel(ALevel) {}

TPersistent* TqvGridLevelOptions::GetOwner() { return FLevel; }

void TqvGridLevelOptions::Assign(TPersistent* Source) {
  auto* source = As<TqvGridLevelOptions>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SetDetailFrameColor(source->GetDetailFrameColor());
  SetDetailFrameWidth(source->GetDetailFrameWidth());
  SetDetailTabsPosition(source->GetDetailTabsPosition());
}

void TqvGridLevelOptions::SetDetailFrameColor(TColor AValue) {
  if (AValue == FDetailFrameColor) return;
  FDetailFrameColor = AValue;
  FLevel->Changed(false);
}

TColor TqvGridLevelOptions::GetActualDetailFrameColor() const {
  if (FDetailFrameColor != clDefault) return FDetailFrameColor;
  return LevelPainter(FLevel)->DefaultFixedSeparatorColor();
}

void TqvGridLevelOptions::SetDetailFrameWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (AValue == FDetailFrameWidth) return;
  FDetailFrameWidth = AValue;
  FLevel->Changed(true);
}

bool TqvGridLevelOptions::IsDetailFrameWidthStored() const {
  return FDetailFrameWidth != (FLevel->IsRoot() ? 0 : DefaultDetailFrameWidth);
}

void TqvGridLevelOptions::SetDetailTabsPosition(TqvGridDetailTabsPosition AValue) {
  if (AValue == FDetailTabsPosition) return;
  FDetailTabsPosition = AValue;
  FLevel->Changed(true);
}

// ---------------------------------------------------------------------------------------------
// Styles

TqvGridLevel* TqvGridLevelStyles::GetLevel() const {
  return As<TqvGridLevel>(const_cast<TqvGridLevelStyles*>(this)->GetOwner());
}

void TqvGridLevelStyles::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = As<TqvGridLevelStyles>(Source);
  if (!source) return;
  SetTab(source->GetTab());
  SetTabsBackground(source->GetTabsBackground());
  OnGetTabStyle = source->OnGetTabStyle;
}

void TqvGridLevelStyles::GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) {
  inherited::GetDefaultViewParams(Index, AData, AParams);
  TqvGridLevel* level = GetLevel();
  if (TqvCustomGrid* grid = level ? level->GetControl() : nullptr) AParams.Font = grid->GetFont();
  TqvLookAndFeelPainterClass painter = LevelPainter(level);
  if (Index == lsTab) {
    AParams.Color = painter->DefaultTabColor();
    AParams.TextColor = painter->DefaultTabTextColor();
  } else if (Index == lsTabsBackground) {
    AParams.Color = painter->DefaultTabsBackgroundColor();
  }
}

// A handler that frees the level takes the styles along: the defaults are answered then.
void TqvGridLevelStyles::GetTabParams(TqvGridLevel* ATabLevel, TqvViewParams& AParams) {
  TqvStyle* style = nullptr;
  if (OnGetTabStyle) {
    TqvGridLevel* level = GetLevel();
    TAliveToken alive = level ? level->AliveToken() : TAliveToken();
    TqvGridGetTabStyleEvent handler = OnGetTabStyle;
    handler(level, ATabLevel, style);
    if (level && !alive) {
      AParams = TqvViewParams();
      return;
    }
  }
  GetViewParams(lsTab, ATabLevel, style, AParams);
}

void TqvGridLevelStyles::Changed(Integer AIndex) {
  inherited::Changed(AIndex);
  if (TqvGridLevel* level = GetLevel()) level->Changed(true);
}

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TqvGridLevel::TqvGridLevel(TComponent* AOwner)
    : TComponent(AOwner), FOptions(MakeOwned<TqvGridLevelOptions>(this)) {}

TqvGridLevel::~TqvGridLevel() = default;

void TqvGridLevel::AfterConstruction() {
  inherited::AfterConstruction();
  TqvInterfacedPersistent* styles = GetStylesClass()->Create(this);
  FStyles.reset(As<TqvGridLevelStyles>(styles));
  if (!FStyles) {
    Free(styles);
    throw EInvalidCast(Format("%s is not a %s", {styles ? styles->ClassName() : String("nil"),
                                                 TqvGridLevelStyles::StaticClass().ClassName()}));
  }
}

void TqvGridLevel::BeforeDestruction() {
  inherited::BeforeDestruction();
  while (!FItems.empty()) Free(FItems.back());
  // The clones of the view may outlive the level (they go with their master records).
  if (FGridView)
    for (Integer i = 0; i < FGridView->GetCloneCount(); ++i)
      if (FGridView->GetClone(i)->GetLevel() == this) FGridView->GetClone(i)->SetLevel(nullptr);
  SetGridView(nullptr);
  if (FParent) FParent->RemoveChild(this);
}

TqvCustomStylesClass TqvGridLevel::GetStylesClass() const { return &TqvGridLevelStyles::StaticClass(); }

// ---------------------------------------------------------------------------------------------
// Tree

TqvGridLevel* TqvGridLevel::Add() {
  TComponent* owner = FControl ? FControl->Owner() : Owner();
  auto* child = static_cast<TqvGridLevel*>(GetLevelClass()->Create(owner));
  AddChild(child);
  return child;
}

void TqvGridLevel::CheckNewChild(TqvGridLevel* AChild) const {
  if (!AChild) RaiseLevelError(sqvGridLevelNoChildError);
  if (AChild->IsRoot()) RaiseLevelError(sqvGridLevelRootError);
  for (const TqvGridLevel* level = this; level; level = level->FParent)
    if (level == AChild) RaiseLevelError(sqvGridLevelCycleError, AChild->GetName());
}

void TqvGridLevel::AddChild(TqvGridLevel* AChild) {
  CheckNewChild(AChild);
  if (AChild->FParent) AChild->FParent->RemoveChild(AChild);
  FItems.push_back(AChild);
  AChild->FParent = this;
  AChild->SetControlOfTree(FControl);
  RefreshVisibleItems();
  LinkChild(AChild);
  if (IsRoot() && FControl && !FControl->GetActiveLevel() && GetVisibleCount() > 0)
    FControl->SetActiveLevel(GetVisibleItem(0));
  Changed(true);
}

// A level out of the tree keeps no grid: it must not reach a grid that may be freed before it.
void TqvGridLevel::RemoveChild(TqvGridLevel* AChild) {
  if (std::find(FItems.begin(), FItems.end(), AChild) == FItems.end()) return;
  std::erase(FItems, AChild);
  std::erase(FVisibleItems, AChild);
  AChild->FParent = nullptr;
  UnlinkChild(AChild);
  TqvCustomGrid* grid = FControl;
  const bool wasActive = AChild->IsActive();
  AChild->SetControlOfTree(nullptr);
  TAliveToken alive = AliveToken();
  if (wasActive) grid->SetActiveLevel(nullptr);
  if (alive) Changed(true);
}

void TqvGridLevel::LinkChild(TqvGridLevel* AChild) {
  if (!FGridView) return;
  AChild->FDataRelation = FGridView->GetDataController()->GetRelations()->Add(AChild);
  if (TqvCustomGridView* view = AChild->FGridView) {
    TqvCustomDataController* controller = view->GetDataController();
    controller->AttachToRelation(AChild->FDataRelation, controller->GetPatternFlag());
  }
}

// Freeing the relation detaches the child's view and frees its clones (the master records'
// detail objects of that relation).
void TqvGridLevel::UnlinkChild(TqvGridLevel* AChild) { Free(std::exchange(AChild->FDataRelation, nullptr)); }

Integer TqvGridLevel::GetVisibleIndex() const {
  if (!FParent) return -1;
  const auto& items = FParent->FVisibleItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TqvGridLevel::SetControlOfTree(TqvCustomGrid* AControl) {
  FControl = AControl;
  for (TqvGridLevel* item : FItems) item->SetControlOfTree(AControl);
}

void TqvGridLevel::RefreshVisibleItems() {
  FVisibleItems.clear();
  for (TqvGridLevel* item : FItems)
    if (item->FVisible) FVisibleItems.push_back(item);
}

// ---------------------------------------------------------------------------------------------
// Predicates

bool TqvGridLevel::IsRoot() const { return FControl && FControl->GetRootLevel() == this; }

bool TqvGridLevel::IsTop() const { return FParent && FParent->IsRoot(); }

bool TqvGridLevel::IsActive() const { return FControl && FControl->GetActiveLevel() == this; }

bool TqvGridLevel::VisibleInTree() const {
  for (const TqvGridLevel* level = this; level; level = level->FParent)
    if (!level->FVisible) return false;
  return true;
}

bool TqvGridLevel::ActuallyVisible() const {
  if (IsRoot()) return true;
  if (!FVisible || !FParent) return false;
  if (IsTop() && !IsActive()) return false;
  return FParent->ActuallyVisible();
}

void TqvGridLevel::SetActive(bool AValue) {
  if (AValue == IsActive() || !FControl) return;
  if (!AValue)
    FControl->SetActiveLevel(nullptr);
  else if (IsTop())
    FControl->SetActiveLevel(this);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TqvGridLevel::SetCaption(const String& AValue) {
  if (AValue == FCaption) return;
  FCaption = AValue;
  Changed(true);
}

void TqvGridLevel::SetMaxDetailHeight(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (AValue == FMaxDetailHeight) return;
  FMaxDetailHeight = AValue;
  Changed(true);
}

void TqvGridLevel::LimitDetailHeight(Integer& AHeight) {
  if (FMaxDetailHeight != 0 && FMaxDetailHeight < AHeight) AHeight = FMaxDetailHeight;
}

void TqvGridLevel::SetVisible(bool AValue) {
  if (AValue == FVisible) return;
  FVisible = AValue;
  if (AValue && FGridView) AttachView(true, !IsTop());
  if (FParent) FParent->ChildVisibilityChanged(this);
  TAliveToken alive = AliveToken();
  if (!AValue)
    SetActive(false);
  else if (FControl && !FControl->GetActiveLevel())
    SetActive(true);
  if (!alive) return;
  Changed(true);
  if (FControl) FControl->CheckFocusedView();
  if (alive && !AValue && FGridView) AttachView(false, !IsTop());
}

void TqvGridLevel::AttachView(bool AVisible, bool APattern) {
  if (!FGridView) return;
  TqvCustomDataController* controller = FGridView->GetDataController();
  if (AVisible)
    controller->AttachToRelation(FDataRelation, APattern);
  else
    controller->AttachToRelation(nullptr, true);
}

void TqvGridLevel::ChildVisibilityChanged(TqvGridLevel* /*AChild*/) {
  const Integer oldCount = GetVisibleCount();
  RefreshVisibleItems();
  if (FGridView) FGridView->VisibleDetailLevelsChanged(this, oldCount, GetVisibleCount());
}

// The children's relations move from the old view's data controller to the new one's; the old
// view gives up the focus to the new one (or to nobody) and goes back to the grid that first
// hosted it.
void TqvGridLevel::SetGridView(TqvCustomGridView* AValue) {
  if (AValue == FGridView) return;
  if (TqvGridLevel* other = AValue ? AValue->GetLevel() : nullptr)
    if (other->GetGridView() == AValue) other->SetGridView(nullptr);
  TqvCustomGridView* oldView = FGridView;
  if (oldView) {
    {
      TUpdateScope update(*oldView);
      for (TqvGridLevel* child : FItems) UnlinkChild(child);
    }
    oldView->SetLevel(nullptr);
  }
  FGridView = AValue;
  if (AValue) {
    AValue->SetControl(FControl);
    if (FParent) FParent->RefreshVisibleItems();
    TUpdateScope update(*AValue);
    if (oldView) oldView->GetDataController()->AttachToRelation(nullptr, true);
    AValue->SetLevel(this);
    AttachView(FVisible, !IsTop());
    for (TqvGridLevel* child : FItems) LinkChild(child);
    Changed(false);
  } else if (oldView) {
    oldView->GetDataController()->AttachToRelation(nullptr, true);
  }
  TAliveToken oldAlive = oldView ? oldView->AliveToken() : TAliveToken();
  if (AValue) {
    const bool oldWasFocused = oldView && oldView->IsFocused();
    const bool noFocus = !oldView && FControl && !FControl->GetFocusedView();
    if (oldWasFocused || noFocus) AValue->SetFocused(true);
  } else if (oldView) {
    oldView->SetFocused(false);
  }
  if (oldView && oldAlive && !oldView->IsDestroying() && oldView->GetHomeGrid())
    oldView->SetControl(oldView->GetHomeGrid());
}

void TqvGridLevel::Changed(bool ASize) {
  if (!FControl) return;
  if (ASize)
    FControl->SizeChanged();
  else
    FControl->LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Detail clones

TqvCustomGridRecord* TqvGridLevel::FindMasterRecord(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) const {
  auto* link = dynamic_cast<IqvGridDataControllerViewLink*>(ARelation ? ARelation->GetDataController() : nullptr);
  TqvCustomGridView* master = link ? link->GetGridView() : nullptr;
  TqvCustomGridViewData* data = master ? master->GetViewData() : nullptr;
  return data ? data->GetRecordByRecordIndex(AMasterRecordIndex) : nullptr;
}

TqvCustomGridView* TqvGridLevel::CreateDetailClone(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) {
  TqvCustomGridView* view = FGridView;
  if (OnGetGridView) {
    TAliveToken alive = AliveToken();
    TqvGridLevelGetGridViewEvent handler = OnGetGridView;
    handler(this, FindMasterRecord(ARelation, AMasterRecordIndex), view);
    if (!alive) return nullptr;
  }
  if (!view || !FVisible) return nullptr;
  return BuildDetailClone(view, ARelation, AMasterRecordIndex);
}

// Whatever the clone queues while it takes its pattern's settings is dropped with its update;
// a build that raises frees the clone after the update was closed.
TqvCustomGridView* TqvGridLevel::BuildDetailClone(TqvCustomGridView* APattern, TqvCustomDataRelation* ARelation,
                                                  Integer AMasterRecordIndex) {
  TComponent* owner = FControl ? FControl->Owner() : APattern->Owner();
  auto* viewClass = static_cast<TqvCustomGridViewClass>(APattern->ClassType());
  auto* clone = static_cast<TqvCustomGridView*>(viewClass->Create(owner));
  try {
    clone->SetControl(FControl);
    TUpdateScope<TqvCustomGridView, &TqvCustomGridView::BeginUpdate, &TqvCustomGridView::EndUpdateDiscardingChanges>
        build(*clone);
    {
      TLockSwitchScope<TqvCustomGridView, &TqvCustomGridView::SetAssigningPattern> assigning(clone);
      clone->Assign(APattern);
    }
    TqvCustomDataController* controller = clone->GetDataController();
    controller->GetRelations()->Assign(APattern->GetDataController()->GetRelations());
    // Joining the grid detached the clone as a pattern; a clone shows one master record.
    controller->AttachToRelation(nullptr, false);
    controller->SetMasterRelation(ARelation, AMasterRecordIndex);
    clone->SetLevel(this);
  } catch (...) {
    Free(clone);
    throw;
  }
  APattern->AddClone(clone);
  return clone;
}

// ---------------------------------------------------------------------------------------------
// Streaming

TComponent* TqvGridLevel::GetParentComponent() {
  if (IsTop()) return FControl;
  return FParent;
}

void TqvGridLevel::SetParentComponent(TComponent* Value) {
  if (auto* grid = As<TqvCustomGrid>(Value))
    grid->GetRootLevel()->AddChild(this);
  else if (auto* level = As<TqvGridLevel>(Value))
    level->AddChild(this);
  else
    throw EInvalidCast(Format(GetLocalizedResourceString(&sqvGridLevelParentError),
                              {Value ? Value->GetName() : String("nil")}));
}

void TqvGridLevel::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TqvGridLevel* item : FItems)
    if (item->Owner() == Root) Proc(item);
}
