#include "grid/qvGridCustomView.h"

#include <algorithm>

#include "grid/qvGrid.h"
#include "grid/qvGridLevel.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridView)

namespace {

// A part of the view made from the class its getter names, which must be a constructible
// descendant of T.
template <class T, class TClassRef>
TOwned<T> CreateViewPart(TClassRef AClass, TqvCustomGridView* AGridView) {
  if (!AClass || !AClass->CanCreate() || !AClass->InheritsFrom(&T::StaticClass()))
    throw EInvalidCast(Format("%s is not a %s", {AClass ? AClass->ClassName() : String("nil"), T::StaticClass().ClassName()}));
  return TOwned<T>(static_cast<T*>(AClass->Create(AGridView)));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TqvCustomGridView::TqvCustomGridView(TComponent* AOwner) : TqvControlChildComponent(AOwner) {}

// A view whose construction failed (a getter naming a wrong class) is deleted without
// BeforeDestruction: what it made goes in the same orders.
TqvCustomGridView::~TqvCustomGridView() {
  TqvCustomGridView::DestroyHandlers();
  TqvCustomGridView::DestroyOptions();
}

void TqvCustomGridView::AfterConstruction() {
  CreateOptions();
  CreateHandlers();
  inherited::AfterConstruction();
}

// The view leaves its grid before its handlers go, so that nothing of the grid (its views, its
// queue, its components) keeps a view or a site that is being freed.
void TqvCustomGridView::BeforeDestruction() {
  Destroying();
  SetFocused(false);
  if (FPatternGridView) FPatternGridView->RemoveClone(this);
  ReleaseFromMasterRecord();
  if (FLevel && FLevel->GetGridView() == this) FLevel->SetGridView(nullptr);
  inherited::BeforeDestruction();
  DestroyHandlers();
  DestroyOptions();
  FClones.clear();
  for (auto it = FDestroyWatches.rbegin(); it != FDestroyWatches.rend(); ++it) **it = nullptr;
  FDestroyWatches.clear();
}

void TqvCustomGridView::CreateHandlers() {
  FController = CreateViewPart<TqvCustomGridController>(GetControllerClass(), this);
  FDataController = CreateViewPart<TqvCustomDataController>(GetDataControllerClass(), this);
  ConnectDataController();
  FPainter = CreateViewPart<TqvCustomGridPainter>(GetPainterClass(), this);
  FViewData = CreateViewPart<TqvCustomGridViewData>(GetViewDataClass(), this);
  FViewInfo = CreateViewPart<TqvCustomGridViewInfo>(GetViewInfoClass(), this);
  FViewInfoCache = CreateViewPart<TqvCustomGridViewInfoCache>(GetViewInfoCacheClass(), this);
}

void TqvCustomGridView::DestroyHandlers() {
  if (FDataController) FDataController->OnUpdateControl = nullptr;
  FDataController.reset();
  FViewInfoCache.reset();
  if (TqvGridSite* site = GetSite())
    if (site->Owner()) site->Owner()->RemoveComponent(site);
  FViewInfo.reset();
  FViewData.reset();
  FPainter.reset();
  FController.reset();
}

void TqvCustomGridView::ConnectDataController() {
  FDataController->OnUpdateControl = [this](TqvUpdateControlInfo* AInfo) { UpdateControl(AInfo); };
}

void TqvCustomGridView::CreateOptions() {
  FBackgroundBitmaps = CreateViewPart<TqvCustomGridBackgroundBitmaps>(GetBackgroundBitmapsClass(), this);
  FOptionsSelection = CreateViewPart<TqvCustomGridOptionsSelection>(GetOptionsSelectionClass(), this);
  FOptionsView = CreateViewPart<TqvCustomGridOptionsView>(GetOptionsViewClass(), this);
  FStyles = CreateViewPart<TqvCustomGridViewStyles>(GetStylesClass(), this);
}

void TqvCustomGridView::DestroyOptions() {
  if (TqvCustomGrid* grid = GetGrid())
    if (FStyles) grid->RemoveFontListener(FStyles.get());
  FStyles.reset();
  FOptionsView.reset();
  FOptionsSelection.reset();
  FBackgroundBitmaps.reset();
  FOptionsList.clear();
}

TqvGridViewHandlerClass TqvCustomGridView::GetViewInfoCacheClass() const {
  return &TqvCustomGridViewInfoCache::StaticClass();
}

TqvCustomGridOptionsClass TqvCustomGridView::GetBackgroundBitmapsClass() const {
  return &TqvCustomGridBackgroundBitmaps::StaticClass();
}

TqvCustomGridOptionsClass TqvCustomGridView::GetOptionsSelectionClass() const {
  return &TqvCustomGridOptionsSelection::StaticClass();
}

TqvCustomGridOptionsClass TqvCustomGridView::GetOptionsViewClass() const {
  return &TqvCustomGridOptionsView::StaticClass();
}

TqvCustomStylesClass TqvCustomGridView::GetStylesClass() const { return &TqvCustomGridViewStyles::StaticClass(); }

void TqvCustomGridView::AddOptions(TqvCustomGridOptions* AOptions) { FOptionsList.push_back(AOptions); }

void TqvCustomGridView::RemoveOptions(TqvCustomGridOptions* AOptions) { std::erase(FOptionsList, AOptions); }

// ---------------------------------------------------------------------------------------------
// The grid

TqvCustomGrid* TqvCustomGridView::GetGrid() const { return As<TqvCustomGrid>(GetControl()); }

TqvGridSite* TqvCustomGridView::GetSite() const { return FViewInfo ? FViewInfo->GetSite() : nullptr; }

TqvLookAndFeelPainterClass TqvCustomGridView::GetLookAndFeelPainter() const {
  if (TqvCustomGrid* grid = GetGrid()) return grid->GetLookAndFeelPainter();
  return TqvStandardLookAndFeelPainter::Class();
}

void TqvCustomGridView::LeaveGrid(TqvCustomGrid* AGrid) {
  if (FStyles) AGrid->RemoveFontListener(FStyles.get());
  if (TqvGridSite* site = GetSite())
    if (site->Owner() == AGrid) AGrid->RemoveComponent(site);
  AGrid->RemoveView(this);
}

void TqvCustomGridView::JoinGrid(TqvCustomGrid* AGrid) {
  if (!FHomeGrid) FHomeGrid = AGrid;
  if (TqvGridSite* site = GetSite()) AGrid->InsertComponent(site);
  if (FStyles) AGrid->AddFontListener(FStyles.get());
  AGrid->AddView(this);
}

void TqvCustomGridView::SetControl(TqvControl* AValue) {
  if (AValue == GetControl()) return;
  auto* newGrid = As<TqvCustomGrid>(AValue);
  if (TqvCustomGrid* oldGrid = GetGrid()) LeaveGrid(oldGrid);
  inherited::SetControl(newGrid);
  if (newGrid) JoinGrid(newGrid);
  // The home grid is watched: a view outliving it must not go back to it.
  if (FHomeGrid && !HasState(csDestroying)) FreeNotification(FHomeGrid);
}

void TqvCustomGridView::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FHomeGrid) FHomeGrid = nullptr;
  for (TqvCustomGridOptions* options : std::vector<TqvCustomGridOptions*>(FOptionsList))
    options->Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------
// Changes

bool TqvCustomGridView::Changed(TOwned<TqvCustomGridChange> AChange) {
  if (IsLoading() || IsDestroying() || !FViewInfo || FViewInfo->IsCalculating()) return false;
  if (TqvCustomGrid* grid = GetGrid()) {
    grid->AddChange(std::move(AChange));
  } else {
    AChange->SetControl(nullptr);
    AChange->Execute();
  }
  return true;
}

void TqvCustomGridView::LayoutChanged(bool AViewOnly) {
  Changed(MakeOwned<TqvGridLayoutChange>(AViewOnly ? this : nullptr));
}

bool TqvCustomGridView::SizeChanged(bool AViewOnly, bool AKeepMaster) {
  return Changed(MakeOwned<TqvGridSizeChange>(this, AViewOnly || !GetGrid(), AKeepMaster));
}

void TqvCustomGridView::SizeOrLayoutChanged(bool AUpdateGridViewOnly, bool AKeepMaster) {
  if (NeedsSizeChangeOnResize())
    SizeChanged(AUpdateGridViewOnly, AKeepMaster);
  else
    LayoutChanged(AUpdateGridViewOnly);
}

void TqvCustomGridView::Invalidate() { Changed(MakeOwned<TqvGridViewChange>(this)); }

void TqvCustomGridView::InvalidateRect(const TRect& R) {
  if (R.IsEmpty()) return;
  Changed(MakeOwned<TqvGridViewChange>(this, R));
}

void TqvCustomGridView::RefreshWithClones(TqvGridViewRefreshKind AKind) {
  if (IsPattern()) {
    for (TqvCustomGridView* clone : std::vector<TqvCustomGridView*>(FClones)) clone->RefreshWithClones(AKind);
  } else if (AKind == grkLayout) {
    LayoutChanged(true);
  } else {
    Invalidate();
  }
}

void TqvCustomGridView::BeginUpdate() {
  if (TqvCustomGrid* grid = GetGrid()) grid->BeginUpdate();
  FDataController->BeginUpdate();
}

void TqvCustomGridView::EndUpdate() {
  FDataController->EndUpdate();
  if (TqvCustomGrid* grid = GetGrid()) grid->EndUpdate();
}

void TqvCustomGridView::EndUpdateDiscardingChanges() {
  FDataController->EndUpdate();
  if (TqvCustomGrid* grid = GetGrid()) grid->CancelUpdate();
}

// ---------------------------------------------------------------------------------------------
// Visibility and focus

bool TqvCustomGridView::IsDestroying() const {
  if (HasState(csDestroying)) return true;
  TqvCustomGridView* master = GetMasterGridView();
  return master && master->IsDestroying();
}

bool TqvCustomGridView::CalculateVisible(bool ALevelVisible) {
  if (!ALevelVisible || IsPattern()) return false;
  if (!IsDetail()) return true;
  TqvCustomGridView* master = GetMasterGridView();
  return master && master->IsDetailVisible(this);
}

bool TqvCustomGridView::IsVisible() { return !IsDestroying() && CalculateVisible(FLevel && FLevel->ActuallyVisible()); }

bool TqvCustomGridView::CanFocus() { return CalculateVisible(FLevel && FLevel->VisibleInTree()); }

bool TqvCustomGridView::IsVisibleOrPattern() { return IsVisible() || IsPattern(); }

bool TqvCustomGridView::IsControlFocused() {
  TqvCustomGrid* grid = GetGrid();
  return grid && grid->IsFocused();
}

bool TqvCustomGridView::CanTabStop() {
  TqvCustomGrid* grid = GetGrid();
  return grid && grid->GetTabStop();
}

bool TqvCustomGridView::IsFocused() const {
  TqvCustomGrid* grid = GetGrid();
  return grid && grid->GetFocusedView() == this;
}

void TqvCustomGridView::SetFocused(bool AValue) {
  if (AValue == IsFocused()) return;
  if (TqvCustomGrid* grid = GetGrid()) grid->SetFocusedView(AValue ? this : nullptr);
}

void TqvCustomGridView::FocusChanged(bool AFocused) {
  if (!FController) return;
  if (AFocused)
    FController->FocusGained();
  else
    FController->FocusLost();
}

void TqvCustomGridView::SetLevel(TqvGridLevel* ALevel) {
  if (ALevel == FLevel) return;
  FLevel = ALevel;
  TqvGridSite* site = GetSite();
  if (site && site->GetParent() && FLevel) SetTabStop(FLevel->IsTop());
}

void TqvCustomGridView::SetTabStop(bool AValue) {
  if (TqvGridSite* site = GetSite()) site->SetTabStop(AValue && CanTabStop());
}

void TqvCustomGridView::LookAndFeelChanged() {
  if (!IsPattern()) return;
  for (TqvCustomGridView* clone : std::vector<TqvCustomGridView*>(FClones)) clone->LookAndFeelChanged();
}

void TqvCustomGridView::UpdateControl(TqvUpdateControlInfo* /*AInfo*/) {}

void TqvCustomGridView::UpdateAfterLoading() { SizeChanged(false, false); }

void TqvCustomGridView::Loaded() {
  inherited::Loaded();
  UpdateAfterLoading();
  FDataController->OwnerLoaded();
  FocusAfterLoading();
}

// ---------------------------------------------------------------------------------------------
// Master and detail

bool TqvCustomGridView::IsPattern() const { return FDataController && FDataController->IsPattern(); }

bool TqvCustomGridView::IsDetail() const { return FDataController && FDataController->IsDetailMode(); }

TqvCustomGridView* TqvCustomGridView::GetMasterGridView() const {
  if (!IsDetail()) return nullptr;
  auto* link = dynamic_cast<IqvGridDataControllerViewLink*>(FDataController->GetMasterDataController());
  return link ? link->GetGridView() : nullptr;
}

Integer TqvCustomGridView::GetMasterRecordIndex() const {
  return FDataController ? FDataController->GetMasterRecordIndex() : -1;
}

Integer TqvCustomGridView::GetMasterRowIndex() const {
  if (!IsDetail()) return -1;
  TqvCustomDataController* master = FDataController->GetMasterDataController();
  const Integer record = GetMasterRecordIndex();
  return master && record >= 0 ? master->GetRowIndexByRecordIndex(record, false) : -1;
}

bool TqvCustomGridView::IsDetailOf(TqvCustomGridView* AView) const {
  for (TqvCustomGridView* master = GetMasterGridView(); master; master = master->GetMasterGridView())
    if (master == AView) return true;
  return false;
}

bool TqvCustomGridView::HasVisibleDetailLevels() const { return FLevel && FLevel->GetVisibleCount() > 0; }

// The master record's detail object holds a clone as its link object and frees it with itself;
// a clone freed first (with its owner) must not be freed there again.
void TqvCustomGridView::ReleaseFromMasterRecord() {
  TqvCustomDataRelation* relation = FDataController ? FDataController->GetMasterRelation() : nullptr;
  const Integer record = GetMasterRecordIndex();
  if (!relation || record < 0 || record >= relation->GetDataController()->GetRecordCount()) return;
  TqvDetailObject* detail = relation->GetRelationList()->FindDetailObject(record);
  TqvDetailInfoObject* info = detail ? detail->GetInfoObject(relation->GetIndex()) : nullptr;
  if (info && info->LinkObject == this) info->LinkObject = nullptr;
}

void TqvCustomGridView::AddClone(TqvCustomGridView* AClone) {
  FClones.push_back(AClone);
  AClone->FPatternGridView = this;
}

void TqvCustomGridView::RemoveClone(TqvCustomGridView* AClone) {
  std::erase(FClones, AClone);
  AClone->FPatternGridView = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Destroy watches

void TqvCustomGridView::AddDestroyWatch(TqvCustomGridView** APointer) { FDestroyWatches.push_back(APointer); }

void TqvCustomGridView::RemoveDestroyWatch(TqvCustomGridView** APointer) {
  auto it = std::find(FDestroyWatches.rbegin(), FDestroyWatches.rend(), APointer);
  if (it != FDestroyWatches.rend()) FDestroyWatches.erase(std::next(it).base());
}

// ---------------------------------------------------------------------------------------------
// Assignment and links

void TqvCustomGridView::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomGridView>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(*this);
  BeforeAssign(source);
  AssignSettings(source);
  AfterAssign(source);
}

void TqvCustomGridView::BeforeAssign(TqvCustomGridView* ASource) { FDataController->Assign(ASource->FDataController.get()); }

void TqvCustomGridView::AssignSettings(TqvCustomGridView* ASource) {
  SetBackgroundBitmaps(ASource->GetBackgroundBitmaps());
  SetOptionsSelection(ASource->GetOptionsSelection());
  SetOptionsView(ASource->GetOptionsView());
  SetStyles(ASource->GetStyles());
  FEvents.Assign(ASource->FEvents);
  FocusAfterLoading();
}

void TqvCustomGridView::AfterAssign(TqvCustomGridView* ASource) { FDataController->Assign(ASource->FDataController.get()); }

void TqvCustomGridView::GetFakeComponentLinks(std::vector<TComponent*>& AList) {
  inherited::GetFakeComponentLinks(AList);
  if (auto* link = dynamic_cast<IqvGridDataControllerViewLink*>(FDataController.get())) link->GetFakeComponentLinks(AList);
  FStyles->AddLinkedComponents(AList);
}

// ---------------------------------------------------------------------------------------------
// Stored layout

String TqvCustomGridView::GetStoredObjectName() { return GetName(); }

bool TqvCustomGridView::GetStoredProperties(TStrings* /*AProperties*/) { return true; }

void TqvCustomGridView::GetStoredPropertyValue(const String& /*AName*/, Variant& /*AValue*/) {}

void TqvCustomGridView::SetStoredPropertyValue(const String& /*AName*/, const Variant& /*AValue*/) {}

TObject* TqvCustomGridView::CreateStoredObject(const String& /*AObjectName*/, const String& /*AClassName*/) {
  return nullptr;
}

void TqvCustomGridView::DeleteStoredObject(const String& /*AObjectName*/, TObject* AObject) { Free(AObject); }

void TqvCustomGridView::GetStoredChildren(TStrings* /*AChildren*/) {}

TObject* TqvCustomGridView::CreateChild(const String& AObjectName, const String& AClassName) {
  return CreateStoredObject(AObjectName, AClassName);
}
