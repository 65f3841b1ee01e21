// Record layouts and the records layout of table views: layouts made for the rows shown,
// scrolling by reusing the layouts that stay, painting and hit tests; the table layout
// object's part that holds them.
#include "grid/qvGridCustomTableView.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridRecordViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomGridRecordsViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomGridTablePainter)

// ---------------------------------------------------------------------------------------------
// Record layout

TqvCustomGridRecordViewInfo::TqvCustomGridRecordViewInfo(TqvCustomGridRecordsViewInfo* ARecordsViewInfo,
                                                         TqvCustomGridRecord* ARecord)
    : TqvCustomGridViewCellViewInfo(ARecordsViewInfo->GetViewInfo()),
      FRecordsViewInfo(ARecordsViewInfo),
      FRecord(ARecord),
      FDetached(ARecord && ARecord->HasViewInfo()) {
  if (!FRecord) return;
  FRecordAlive = FRecord->AliveToken();
  if (!FDetached) FRecord->SetViewInfo(this);
}

TqvCustomGridRecordViewInfo::~TqvCustomGridRecordViewInfo() {
  if (TqvCustomGridRecord* record = GetGridRecord(); record && !FDetached) record->SetViewInfo(nullptr);
}

TRect TqvCustomGridRecordViewInfo::GetBoundsForInvalidate(TqvCustomGridTableItem* AItem) {
  return AItem ? GetCellBoundsForItem(AItem) : GetBounds();
}

void TqvCustomGridRecordViewInfo::CalculateAt(Integer ALeft, Integer ATop) { Calculate(ALeft, ATop); }

void TqvCustomGridRecordViewInfo::Calculate(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  inherited::Calculate(ALeft, ATop, AWidth, AHeight);
  FCalculated = true;
}

void TqvCustomGridRecordViewInfo::RecalculateRecord() {
  BeforeRecalculation();
  CalculateAt(GetBounds().Left, GetBounds().Top);
  AfterRecalculation();
}

Integer TqvCustomGridRecordViewInfo::GetIndex() const { return FRecordsViewInfo->IndexOf(this); }

bool TqvCustomGridRecordViewInfo::GetVisible() {
  const Integer index = GetIndex();
  return index != -1 && index < FRecordsViewInfo->GetVisibleCount();
}

void TqvCustomGridRecordViewInfo::InitHitTest(TqvCustomGridHitTest* AHitTest) {
  inherited::InitHitTest(AHitTest);
  if (auto* recordHitTest = As<TqvGridRecordHitTest>(AHitTest)) {
    recordHitTest->SetGridView(GetGridView());
    recordHitTest->SetGridRecord(GetGridRecord());
  }
}

// ---------------------------------------------------------------------------------------------
// Records layout

TqvCustomGridRecordsViewInfo::~TqvCustomGridRecordsViewInfo() = default;

TRect TqvCustomGridRecordsViewInfo::GetBounds() { return FViewInfo->GetClientBounds(); }

void TqvCustomGridRecordsViewInfo::Calculate() { FBounds = GetBounds(); }

void TqvCustomGridRecordsViewInfo::MainCalculate() {
  FItems.clear();
  FLastScrollDistance = 0;
  FVisibleCount = 0;
  BeforeCalculating();
  Calculate();
  AfterCalculating();
}

Integer TqvCustomGridRecordsViewInfo::GetRowIndex(Integer AIndex) const {
  const Integer first = FViewInfo->GetFirstRecordIndex();
  return FViewInfo->GetCalculateDownward() ? first + AIndex : first - AIndex;
}

Integer TqvCustomGridRecordsViewInfo::GetMaxCount() {
  const Integer count = FViewInfo->GetGridView()->GetViewData()->GetRecordCount();
  const Integer first = FViewInfo->GetFirstRecordIndex();
  if (count == 0 || first < 0 || first >= count) return 0;
  return FViewInfo->GetCalculateDownward() ? count - first : first + 1;
}

TqvCustomGridRecordViewInfo* TqvCustomGridRecordsViewInfo::MakeItem(Integer AIndex) {
  TqvCustomGridRecord* record = FViewInfo->GetGridView()->GetViewData()->GetRecordByIndex(GetRowIndex(AIndex));
  if (!record) return nullptr;
  return GetRecordViewInfoClass(record)->Create(this, record);
}

TqvCustomGridRecordViewInfo* TqvCustomGridRecordsViewInfo::GetItem(Integer AIndex) {
  if (AIndex < 0) return nullptr;
  if (AIndex == GetCount() && AIndex < GetMaxCount()) {
    TOwned<TqvCustomGridRecordViewInfo> item(MakeItem(AIndex));
    if (!item) return nullptr;
    FItems.push_back(std::move(item));
  }
  return GetMadeItem(AIndex);
}

TqvCustomGridRecordViewInfo* TqvCustomGridRecordsViewInfo::GetMadeItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) return nullptr;
  TqvCustomGridRecordViewInfo* item = FItems[static_cast<size_t>(AIndex)].get();
  return item && item->GetGridRecord() ? item : nullptr;
}

Integer TqvCustomGridRecordsViewInfo::IndexOf(const TqvCustomGridRecordViewInfo* ARecordViewInfo) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == ARecordViewInfo) return static_cast<Integer>(i);
  return -1;
}

TqvCustomGridRecordViewInfo* TqvCustomGridRecordsViewInfo::GetRecordViewInfo(Integer ARowIndex) {
  const Integer first = FViewInfo->GetFirstRecordIndex();
  const Integer index = FViewInfo->GetCalculateDownward() ? ARowIndex - first : first - ARowIndex;
  return GetMadeItem(index);
}

bool TqvCustomGridRecordsViewInfo::CanOffset(Integer ADelta) { return GetCount() > 0 && std::abs(ADelta) < GetCount(); }

// The layouts that stay move by the scrolled distance; only the positions that came free are
// laid out.
void TqvCustomGridRecordsViewInfo::OffsetRecords(Integer ADelta) {
  FLastScrollDistance = 0;
  if (ADelta == 0) return;
  const Integer shift = std::abs(ADelta);
  const Integer count = GetCount();
  if (ADelta > 0) FLastScrollDistance = GetPixelScrollSize(ADelta);
  if (ADelta > 0)
    FItems.erase(FItems.begin(), FItems.begin() + shift);
  else
    FItems.erase(FItems.end() - shift, FItems.end());
  if (ADelta > 0)
    for (Integer i = 0; i < count - shift; ++i) OffsetRecord(i, FLastScrollDistance);
  const Integer maxCount = GetMaxCount();
  if (ADelta > 0) {
    while (GetCount() < std::min(count, maxCount)) {
      TqvCustomGridRecordViewInfo* item = GetItem(GetCount());
      if (!item) break;
      item->CalculateAt(GetRecordLeft(GetCount() - 1), GetRecordTop(GetCount() - 1));
    }
  } else {
    std::vector<TOwned<TqvCustomGridRecordViewInfo>> fresh;
    for (Integer i = 0; i < shift; ++i) fresh.emplace_back(MakeItem(i));
    FItems.insert(FItems.begin(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    if (GetCount() > maxCount) FItems.resize(static_cast<size_t>(maxCount));
    for (Integer i = 0; i < std::min(shift, GetCount()); ++i)
      if (FItems[static_cast<size_t>(i)]) FItems[static_cast<size_t>(i)]->CalculateAt(GetRecordLeft(i), GetRecordTop(i));
    FLastScrollDistance = GetPixelScrollSize(ADelta);
    for (Integer i = shift; i < GetCount(); ++i) OffsetRecord(i, FLastScrollDistance);
  }
  FVisibleCount = CalculateVisibleCount();
  for (Integer i = 0; i < GetCount(); ++i)
    if (TqvCustomGridRecordViewInfo* item = GetMadeItem(i); item && !item->IsCalculated())
      item->CalculateAt(GetRecordLeft(i), GetRecordTop(i));
}

TOwned<TqvCustomGridHitTest> TqvCustomGridRecordsViewInfo::GetHitTest(TPoint P) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (TqvCustomGridRecordViewInfo* item = GetMadeItem(i))
      if (TOwned<TqvCustomGridHitTest> hitTest = item->GetHitTest(P)) return hitTest;
  return nullptr;
}

void TqvCustomGridRecordsViewInfo::Paint() {
  TqvCustomGridPainter* painter = FViewInfo->GetGridView()->GetPainter();
  for (Integer i = 0; i < GetCount(); ++i) {
    TqvCustomGridRecordViewInfo* item = GetMadeItem(i);
    if (!item || !item->IsCalculated() || !item->GetVisible()) continue;
    TAliveToken alive = item->AliveToken();
    item->Paint();
    if (!alive) return;
    painter->ExcludeFromBackground(item->GetBounds());
  }
}

// ---------------------------------------------------------------------------------------------
// The table layout object's records

void TqvCustomGridTableViewInfo::CreateViewInfos() {
  inherited::CreateViewInfos();
  FRecordsViewInfo.reset(GetRecordsViewInfoClass()->Create(this));
}

void TqvCustomGridTableViewInfo::DestroyViewInfos(bool AIsRecreating) {
  FRecordsViewInfo.reset();
  inherited::DestroyViewInfos(AIsRecreating);
}

void TqvCustomGridTableViewInfo::Calculate() {
  FRecordsViewInfo->MainCalculate();
  inherited::Calculate();
}

Integer TqvCustomGridTableViewInfo::GetVisibleRecordCount() { return FRecordsViewInfo->GetVisibleCount(); }

bool TqvCustomGridTableViewInfo::CanOffset(Integer ADelta) { return FRecordsViewInfo->CanOffset(ADelta); }

TOwned<TqvCustomGridHitTest> TqvCustomGridTableViewInfo::GetHitTest(TPoint P) {
  if (GetClientBounds().Contains(P))
    if (TOwned<TqvCustomGridHitTest> hitTest = FRecordsViewInfo->GetHitTest(P)) return hitTest;
  return inherited::GetHitTest(P);
}

void TqvCustomGridTableViewInfo::DoOffset(Integer ADelta, Integer AOffsetX, Integer AOffsetY) {
  if (!CanOffsetView(ADelta, AOffsetX, AOffsetY)) {
    Recalculate();
    return;
  }
  TqvCustomGridTableController* controller = GetController();
  controller->BeforeOffset();
  if (ADelta != 0) FRecordsViewInfo->OffsetRecords(ADelta);
  controller->AfterOffset();
}

// ---------------------------------------------------------------------------------------------
// Table painter

TqvCustomGridTableViewInfo* TqvCustomGridTablePainter::GetViewInfo() const {
  return static_cast<TqvCustomGridTableViewInfo*>(inherited::GetViewInfo());
}

void TqvCustomGridTablePainter::PaintContent() { GetViewInfo()->GetRecordsViewInfo()->Paint(); }
