#include "grid/qvGrid.h"

#include <algorithm>

#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGrid)
QJ_IMPLEMENT_CLASS(TqvGrid)

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TqvCustomGrid::TqvCustomGrid(TComponent* AOwner)
    : TqvControl(AOwner), FChanges([this](TqvCustomGridChange* AChange) { RunChange(AChange); }) {
  SetBorderStyle(qvcbsDefault);
}

TqvCustomGrid::~TqvCustomGrid() = default;

// The root level is made with its frame and tabs off before it knows the grid, so that setting
// them asks the grid for nothing while its handlers do not exist yet.
void TqvCustomGrid::AfterConstruction() {
  inherited::AfterConstruction();
  SetTabStop(true);
  FRootLevel = TOwned<TqvGridLevel>(static_cast<TqvGridLevel*>(GetLevelClass()->Create(nullptr)));
  FRootLevel->GetOptions()->SetDetailFrameWidth(0);
  FRootLevel->GetOptions()->SetDetailTabsPosition(dtpNone);
  FRootLevel->SetControl(this);
  CreateHandlers();
  SetBounds(GetLeft(), GetTop(), DefaultWidth, DefaultHeight);
}

void TqvCustomGrid::BeforeDestruction() {
  inherited::BeforeDestruction();
  DestroyHandlers();
  FRootLevel.reset();
  while (!FViews.empty()) Free(FViews.back());
  FNotifications.clear();
}

void TqvCustomGrid::CreateHandlers() {
  FController = TOwned<TqvGridController>(GetControllerClass()->Create(this));
  FPainter = TOwned<TqvGridPainter>(GetPainterClass()->Create(this));
  FViewInfo = TOwned<TqvGridViewInfo>(GetViewInfoClass()->Create(this));
  FNavigatorNotifier = MakeOwned<TqvNavigatorControlNotifier>();
}

void TqvCustomGrid::DestroyHandlers() {
  FNavigatorNotifier.reset();
  FViewInfo.reset();
  FPainter.reset();
  FController.reset();
}

TqvGridControllerClass TqvCustomGrid::GetControllerClass() const { return &TqvGridController::StaticClass(); }
TqvGridLevelClass TqvCustomGrid::GetLevelClass() const { return &TqvGridLevel::StaticClass(); }
TqvGridPainterClass TqvCustomGrid::GetPainterClass() const { return &TqvGridPainter::StaticClass(); }
TqvGridViewInfoClass TqvCustomGrid::GetViewInfoClass() const { return &TqvGridViewInfo::StaticClass(); }

TqvGridLevelOptions* TqvCustomGrid::GetRootLevelOptions() const { return FRootLevel->GetOptions(); }

TqvGridLevelStyles* TqvCustomGrid::GetRootLevelStyles() const { return FRootLevel->GetStyles(); }

void TqvCustomGrid::SetDragOpeningWaitTime(Integer AValue) { FDragOpeningWaitTime = std::max(AValue, 0); }

// ---------------------------------------------------------------------------------------------
// Change queue

// Nothing runs before the handlers are made (the border style set in the constructor changes
// the bounds) or once the grid is being destroyed.
void TqvCustomGrid::RunChange(TqvCustomGridChange* AChange) {
  if (IsDestroying() || !FViewInfo) return;
  AChange->SetControl(this);
  AChange->Execute();
}

void TqvCustomGrid::ExecuteChange(TOwned<TqvCustomGridChange> AChange) { RunChange(AChange.get()); }

void TqvCustomGrid::LayoutChanged() {
  if (!HasState(csLoading)) AddChange(MakeOwned<TqvGridLayoutChange>(nullptr));
}

void TqvCustomGrid::SizeChanged() {
  if (!HasState(csLoading)) AddChange(MakeOwned<TqvGridSizeChange>(nullptr, false, false));
}

void TqvCustomGrid::DoLayoutChanged(TqvCustomGridView* AGridView) {
  if (!OnLayoutChanged) return;
  TqvGridLayoutChangedEvent handler = OnLayoutChanged;
  handler(this, AGridView);
}

// ---------------------------------------------------------------------------------------------
// Views

void TqvCustomGrid::AddView(TqvCustomGridView* AView) {
  if (std::find(FViews.begin(), FViews.end(), AView) != FViews.end()) return;
  FViews.push_back(AView);
  AView->GetDataController()->AttachToRelation(nullptr, true);
}

// A view that leaves while focused takes nothing of the grid with it: the focused view is
// cleared without asking the view (which may be half gone).
void TqvCustomGrid::RemoveView(TqvCustomGridView* AView) {
  std::erase(FViews, AView);
  FChanges.RemoveViewChanges(AView);
  if (FFocusedView == AView) FFocusedView = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Subscribers

void TqvCustomGrid::AddNotification(TqvCustomGridNotification* ANotification) {
  if (std::find(FNotifications.begin(), FNotifications.end(), ANotification) == FNotifications.end())
    FNotifications.push_back(ANotification);
}

void TqvCustomGrid::RemoveNotification(TqvCustomGridNotification* ANotification) {
  std::erase(FNotifications, ANotification);
}

// A subscriber may remove others, or free the grid, while it is told.
void TqvCustomGrid::SendNotification(TqvGridNotificationKind AKind, TMessage* AData) {
  TAliveToken alive = AliveToken();
  const std::vector<TqvCustomGridNotification*> subscribers = FNotifications;
  for (TqvCustomGridNotification* subscriber : subscribers) {
    if (std::find(FNotifications.begin(), FNotifications.end(), subscriber) == FNotifications.end()) continue;
    if (subscriber->GetSupportedKinds() & nkBit(AKind)) subscriber->Notify(AKind, AData);
    if (!alive) return;
  }
}

// ---------------------------------------------------------------------------------------------
// Reactions and input

void TqvCustomGrid::Loaded() {
  inherited::Loaded();
  TUpdateScope update(*this);
  LayoutChanged();
}

void TqvCustomGrid::LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  TAliveToken alive = AliveToken();
  for (TqvCustomGridView* view : std::vector<TqvCustomGridView*>(FViews)) {
    view->LookAndFeelChanged();
    if (!alive) return;
  }
  SizeChanged();
}

void TqvCustomGrid::BoundsChanged() {
  SizeChanged();
  inherited::BoundsChanged();
}

void TqvCustomGrid::FocusChanged() {
  TAliveToken alive = AliveToken();
  inherited::FocusChanged();
  if (alive && Focused() && !IsDestroying() && FFocusedView) FFocusedView->FocusChanged(true);
}

void TqvCustomGrid::Paint() {
  inherited::Paint();
  FPainter->Paint();
}

void TqvCustomGrid::WndProc(TMessage& Message) {
  if (Message.Msg == CM_TABSTOPCHANGED && FFocusedView) FFocusedView->SetTabStop(GetTabStop());
  inherited::WndProc(Message);
}

void TqvCustomGrid::DoCancelMode() {
  inherited::DoCancelMode();
  FController->DoCancelMode();
}

void TqvCustomGrid::BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::BeforeMouseDown(Button, Shift, X, Y);
  if (alive) FController->MouseDown(Button, Shift, X, Y);
}

void TqvCustomGrid::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive) FController->MouseMove(Shift, X, Y);
}

void TqvCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive) FController->MouseUp(Button, Shift, X, Y);
}

void TqvCustomGrid::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  TAliveToken alive = AliveToken();
  inherited::DragOver(Source, X, Y, State, Accept);
  if (alive) FController->DragOver(Source, X, Y, State, Accept);
}

void TqvCustomGrid::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::DoEndDrag(Target, X, Y);
  if (alive) FController->EndDrag(Target, X, Y);
}

// ---------------------------------------------------------------------------------------------
// Streaming and naming

void TqvCustomGrid::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  inherited::GetChildren(Proc, Root);
  for (TqvCustomGridView* view : FViews)
    if (view->Owner() == Root) Proc(view);
  for (Integer i = 0; i < FRootLevel->GetCount(); ++i)
    if (FRootLevel->GetItem(i)->Owner() == Root) Proc(FRootLevel->GetItem(i));
}

// Nothing is renamed when the grid gets its first name: every name begins with the empty one.
void TqvCustomGrid::SetName(const String& NewName) {
  const String oldName = GetName();
  inherited::SetName(NewName);
  if (!oldName.empty() && oldName != NewName) RenameOwnedComponents(oldName, NewName);
}

void TqvCustomGrid::RenameOwnedComponents(const String& AOldName, const String& ANewName) {
  const auto rename = [&](TComponent* AComponent) {
    const String name = AComponent->GetName();
    if (AComponent->Owner() != Owner() || name.size() <= AOldName.size()) return;
    if (!SameText(name.substr(0, AOldName.size()), AOldName)) return;
    try {
      AComponent->SetName(ANewName + name.substr(AOldName.size()));
    } catch (const EComponentError&) {
      // A clash with another component's name: that one keeps its name.
    }
  };
  for (TqvCustomGridView* view : std::vector<TqvCustomGridView*>(FViews)) rename(view);
  const std::function<void(TqvGridLevel*)> renameTree = [&](TqvGridLevel* ALevel) {
    for (Integer i = 0; i < ALevel->GetCount(); ++i) {
      rename(ALevel->GetItem(i));
      renameTree(ALevel->GetItem(i));
    }
  };
  renameTree(FRootLevel.get());
}
