#include <algorithm>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridOptions)
QJ_IMPLEMENT_CLASS(TqvCustomGridOptionsSelection)
QJ_IMPLEMENT_CLASS(TqvCustomGridOptionsView)
QJ_IMPLEMENT_CLASS(TqvCustomGridBackgroundBitmaps)
QJ_IMPLEMENT_CLASS(TqvCustomGridStyles)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewStyles)

// ---------------------------------------------------------------------------------------------
// Options

TqvCustomGridOptions::TqvCustomGridOptions(TqvCustomGridView* AGridView) : FGridView(AGridView) {
  FGridView->AddOptions(this);
}

TqvCustomGridOptions::~TqvCustomGridOptions() { FGridView->RemoveOptions(this); }

TPersistent* TqvCustomGridOptions::GetOwner() { return FGridView; }

void TqvCustomGridOptions::Assign(TPersistent* Source) {
  if (!As<TqvCustomGridOptions>(Source)) inherited::Assign(Source);
}

void TqvCustomGridOptions::Changed() { FGridView->LayoutChanged(true); }

TqvLookAndFeelPainterClass TqvCustomGridOptions::GetLookAndFeelPainter() const {
  return FGridView->GetLookAndFeelPainter();
}

void TqvCustomGridOptionsView::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* source = As<TqvCustomGridOptionsView>(Source)) SetScrollBars(source->GetScrollBars());
}

TScrollStyle TqvCustomGridOptionsView::GetScrollBars() const {
  TqvGridSite* site = GetGridView()->GetSite();
  return site ? site->GetScrollBars() : ssBoth;
}

void TqvCustomGridOptionsView::SetScrollBars(TScrollStyle AValue) {
  if (TqvGridSite* site = GetGridView()->GetSite()) site->SetScrollBars(AValue);
}

// ---------------------------------------------------------------------------------------------
// Background bitmaps

void TqvCustomGridBackgroundBitmaps::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* source = As<TqvCustomGridBackgroundBitmaps>(Source)) SetBackground(source->GetBackground());
}

Integer TqvCustomGridBackgroundBitmaps::GetBitmapStyleIndex(Integer AIndex) const {
  return AIndex == bbBackground ? TqvCustomGridViewStyles::vsBackground : -1;
}

TBitmap* TqvCustomGridBackgroundBitmaps::GetDefaultBitmap(Integer AIndex) const {
  const Integer styleIndex = GetBitmapStyleIndex(AIndex);
  if (styleIndex < 0) return nullptr;
  TqvCustomGridViewStyles* styles = GetGridView()->GetStyles();
  return styles ? styles->GetBitmap(styleIndex) : nullptr;
}

TBitmap* TqvCustomGridBackgroundBitmaps::GetBitmap(Integer AIndex) const {
  if (AIndex >= 0 && AIndex < static_cast<Integer>(FBitmaps.size())) {
    TBitmap* own = FBitmaps[static_cast<size_t>(AIndex)].get();
    if (own && !own->GetEmpty()) return own;
  }
  return GetDefaultBitmap(AIndex);
}

TBitmap* TqvCustomGridBackgroundBitmaps::GetValue(Integer AIndex) {
  if (AIndex < 0) throw EListError(Format("List index out of bounds (%d)", {AIndex}));
  if (AIndex >= static_cast<Integer>(FBitmaps.size())) FBitmaps.resize(static_cast<size_t>(AIndex) + 1);
  TOwned<TBitmap>& bitmap = FBitmaps[static_cast<size_t>(AIndex)];
  if (!bitmap) {
    bitmap = MakeOwned<TBitmap>();
    bitmap->OnChange = [this](TObject*) { Changed(); };
  }
  return bitmap.get();
}

void TqvCustomGridBackgroundBitmaps::SetValue(Integer AIndex, TBitmap* AValue) { GetValue(AIndex)->Assign(AValue); }

// ---------------------------------------------------------------------------------------------
// Styles

void TqvCustomGridStyles::AddLinkedComponents(std::vector<TComponent*>& AList) {
  TqvCustomGridView* view = GetGridView();
  TComponent* viewOwner = view ? view->Owner() : nullptr;
  for (Integer i = 0; i < GetCount(); ++i) {
    TComponent* owner = GetEntryStyle(i)->Owner();
    if (owner && owner != viewOwner && std::find(AList.begin(), AList.end(), owner) == AList.end())
      AList.push_back(owner);
  }
}

TqvLookAndFeelPainterClass TqvCustomGridStyles::GetLookAndFeelPainter() const {
  TqvCustomGridView* view = GetGridView();
  return view ? view->GetLookAndFeelPainter() : TqvStandardLookAndFeelPainter::Class();
}

void TqvCustomGridStyles::GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) {
  inherited::GetDefaultViewParams(Index, AData, AParams);
  TqvCustomGridView* view = GetGridView();
  if (!view) return;
  if (TqvCustomGrid* grid = view->GetGrid())
    AParams.Font = grid->GetFont();
  else if (TqvGridSite* site = view->GetSite())
    AParams.Font = site->GetCanvas()->GetFont();
}

void TqvCustomGridStyles::Changed(Integer AIndex) {
  inherited::Changed(AIndex);
  TqvCustomGridView* view = GetGridView();
  if (!view) return;
  view->UpdateFakeComponentLinks();
  view->SizeChanged(false, false);
}

TqvCustomGridView* TqvCustomGridViewStyles::GetGridView() const {
  return As<TqvCustomGridView>(const_cast<TqvCustomGridViewStyles*>(this)->GetOwner());
}

void TqvCustomGridViewStyles::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* source = As<TqvCustomGridViewStyles>(Source)) SetBackground(source->GetBackground());
}

void TqvCustomGridViewStyles::GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) {
  inherited::GetDefaultViewParams(Index, AData, AParams);
  if (Index == vsBackground) AParams.Color = GetLookAndFeelPainter()->DefaultContentColor();
}

// ---------------------------------------------------------------------------------------------
// Events kept on the site

TqvGridSite* TqvCustomGridViewEvents::Site() const { return FGridView->GetSite(); }

template <class C, class T>
T TqvCustomGridViewEvents::Read(T C::*AEvent) const {
  TqvGridSite* site = Site();
  return site ? site->*AEvent : T();
}

template <class C, class T>
void TqvCustomGridViewEvents::Write(T C::*AEvent, T AValue) {
  if (TqvGridSite* site = Site()) site->*AEvent = std::move(AValue);
}

void TqvCustomGridViewEvents::Assign(const TqvCustomGridViewEvents& ASource) {
  SetDragMode(ASource.GetDragMode());
  SetOnDblClick(ASource.GetOnDblClick());
  SetOnDragDrop(ASource.GetOnDragDrop());
  SetOnDragOver(ASource.GetOnDragOver());
  SetOnEndDrag(ASource.GetOnEndDrag());
  SetOnKeyDown(ASource.GetOnKeyDown());
  SetOnKeyPress(ASource.GetOnKeyPress());
  SetOnKeyUp(ASource.GetOnKeyUp());
  SetOnMouseDown(ASource.GetOnMouseDown());
  SetOnMouseMove(ASource.GetOnMouseMove());
  SetOnMouseUp(ASource.GetOnMouseUp());
  SetOnMouseWheel(ASource.GetOnMouseWheel());
  SetOnMouseWheelDown(ASource.GetOnMouseWheelDown());
  SetOnMouseWheelUp(ASource.GetOnMouseWheelUp());
  SetOnStartDrag(ASource.GetOnStartDrag());
}

TDragMode TqvCustomGridViewEvents::GetDragMode() const {
  TqvGridSite* site = Site();
  return site ? site->GetDragMode() : dmManual;
}

void TqvCustomGridViewEvents::SetDragMode(TDragMode AValue) {
  if (TqvGridSite* site = Site()) site->SetDragMode(AValue);
}

TNotifyEvent TqvCustomGridViewEvents::GetOnDblClick() const { return Read(&TControl::OnDblClick); }
void TqvCustomGridViewEvents::SetOnDblClick(TNotifyEvent AValue) { Write(&TControl::OnDblClick, std::move(AValue)); }
TDragDropEvent TqvCustomGridViewEvents::GetOnDragDrop() const { return Read(&TControl::OnDragDrop); }
void TqvCustomGridViewEvents::SetOnDragDrop(TDragDropEvent AValue) { Write(&TControl::OnDragDrop, std::move(AValue)); }
TDragOverEvent TqvCustomGridViewEvents::GetOnDragOver() const { return Read(&TControl::OnDragOver); }
void TqvCustomGridViewEvents::SetOnDragOver(TDragOverEvent AValue) { Write(&TControl::OnDragOver, std::move(AValue)); }
TEndDragEvent TqvCustomGridViewEvents::GetOnEndDrag() const { return Read(&TControl::OnEndDrag); }
void TqvCustomGridViewEvents::SetOnEndDrag(TEndDragEvent AValue) { Write(&TControl::OnEndDrag, std::move(AValue)); }
TKeyEvent TqvCustomGridViewEvents::GetOnKeyDown() const { return Read(&TWinControl::OnKeyDown); }
void TqvCustomGridViewEvents::SetOnKeyDown(TKeyEvent AValue) { Write(&TWinControl::OnKeyDown, std::move(AValue)); }
TKeyPressEvent TqvCustomGridViewEvents::GetOnKeyPress() const { return Read(&TWinControl::OnKeyPress); }
void TqvCustomGridViewEvents::SetOnKeyPress(TKeyPressEvent AValue) { Write(&TWinControl::OnKeyPress, std::move(AValue)); }
TKeyEvent TqvCustomGridViewEvents::GetOnKeyUp() const { return Read(&TWinControl::OnKeyUp); }
void TqvCustomGridViewEvents::SetOnKeyUp(TKeyEvent AValue) { Write(&TWinControl::OnKeyUp, std::move(AValue)); }
TMouseEvent TqvCustomGridViewEvents::GetOnMouseDown() const { return Read(&TControl::OnMouseDown); }
void TqvCustomGridViewEvents::SetOnMouseDown(TMouseEvent AValue) { Write(&TControl::OnMouseDown, std::move(AValue)); }
TMouseMoveEvent TqvCustomGridViewEvents::GetOnMouseMove() const { return Read(&TControl::OnMouseMove); }
void TqvCustomGridViewEvents::SetOnMouseMove(TMouseMoveEvent AValue) { Write(&TControl::OnMouseMove, std::move(AValue)); }
TMouseEvent TqvCustomGridViewEvents::GetOnMouseUp() const { return Read(&TControl::OnMouseUp); }
void TqvCustomGridViewEvents::SetOnMouseUp(TMouseEvent AValue) { Write(&TControl::OnMouseUp, std::move(AValue)); }
TMouseWheelEvent TqvCustomGridViewEvents::GetOnMouseWheel() const { return Read(&TControl::OnMouseWheel); }
void TqvCustomGridViewEvents::SetOnMouseWheel(TMouseWheelEvent AValue) { Write(&TControl::OnMouseWheel, std::move(AValue)); }
TMouseWheelUpDownEvent TqvCustomGridViewEvents::GetOnMouseWheelDown() const { return Read(&TControl::OnMouseWheelDown); }
void TqvCustomGridViewEvents::SetOnMouseWheelDown(TMouseWheelUpDownEvent AValue) {
  Write(&TControl::OnMouseWheelDown, std::move(AValue));
}
TMouseWheelUpDownEvent TqvCustomGridViewEvents::GetOnMouseWheelUp() const { return Read(&TControl::OnMouseWheelUp); }
void TqvCustomGridViewEvents::SetOnMouseWheelUp(TMouseWheelUpDownEvent AValue) {
  Write(&TControl::OnMouseWheelUp, std::move(AValue));
}
TStartDragEvent TqvCustomGridViewEvents::GetOnStartDrag() const { return Read(&TControl::OnStartDrag); }
void TqvCustomGridViewEvents::SetOnStartDrag(TStartDragEvent AValue) { Write(&TControl::OnStartDrag, std::move(AValue)); }

// ---------------------------------------------------------------------------------------------
// Registry of view kinds

TqvRegisteredClasses* GetRegisteredGridViews() {
  static TqvRegisteredClasses registry(true);
  return &registry;
}
