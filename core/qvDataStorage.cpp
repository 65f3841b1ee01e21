#include "core/qvDataStorage.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "core/qvClasses.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvValueDef)
QJ_IMPLEMENT_CLASS(TqvInternalValueDef)

namespace {

[[noreturn]] void RaiseStorageIndexError(Integer AIndex) { RaiseResourceError<EListError>(&SListIndexError, {AIndex}); }

Byte* AllocateBuffer(Integer ASize) {
  Byte* buffer = static_cast<Byte*>(std::calloc(1, static_cast<size_t>(ASize)));
  if (!buffer) RaiseResourceError<EOutOfMemory>(&SOutOfMemory);
  return buffer;
}

Byte* ResizeBuffer(Byte* ABuffer, Integer ASize) {
  Byte* buffer = static_cast<Byte*>(std::realloc(ABuffer, static_cast<size_t>(ASize)));
  if (!buffer) RaiseResourceError<EOutOfMemory>(&SOutOfMemory);
  return buffer;
}

constexpr Integer kTextPlaceSize = sizeof(void*);

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvValueDef

TqvValueDef::TqvValueDef(TqvValueDefs* AValueDefs, TqvValueTypeClass AValueTypeClass)
    : FOwnerList(AValueDefs), FValueTypeClass(AValueTypeClass) {}

TqvValueDef::~TqvValueDef() {
  if (FOwnerList) FOwnerList->Remove(this);
}

bool TqvValueDef::IsStored() const {
  return FValueStored || !FOwnerList->GetStorage()->GetStoredValuesOnly();
}

void TqvValueDef::Assign(const TqvValueDef* ASource) {
  SetValueStored(ASource->IsStored());
  SetTextStored(ASource->IsTextStored());
}

Integer TqvValueDef::SlotSizeFor(bool AStored, bool ATextStored) const {
  if (!AStored) return 0;
  return 1 + FValueTypeClass->GetDataSize() + (ATextStored ? kTextPlaceSize : 0);
}

void TqvValueDef::CalculateLayout(Integer& AOffset) {
  FValueSize = FValueTypeClass->GetDataSize();
  FFlagOffset = AOffset;
  FSlotSize = SlotSizeFor(IsStored(), IsTextStored());
  AOffset += FSlotSize;
}

void TqvValueDef::SetValueStored(bool AValue) {
  if (FValueStored != AValue) ApplyFlags(AValue, FTextStored, false);
}

void TqvValueDef::SetTextStored(bool AValue) {
  if (FTextStored != AValue) ApplyFlags(FValueStored, AValue, true);
}

// The records are released with the layout they were made with, before the flags change it.
void TqvValueDef::ApplyFlags(bool AValueStored, bool ATextStored, bool ATextChange) {
  const bool oldStored = FValueStored;
  const bool oldText = FTextStored;
  FValueStored = AValueStored;
  FTextStored = ATextStored;
  Integer newSlot = SlotSizeFor(IsStored(), IsTextStored());
  FValueStored = oldStored;
  FTextStored = oldText;
  if (!FOwnerList) {
    FValueStored = AValueStored;
    FTextStored = ATextStored;
    return;
  }
  if (newSlot != FSlotSize) FOwnerList->GetStorage()->ValueDefLayoutChanging(FOwnerList);
  FValueStored = AValueStored;
  FTextStored = ATextStored;
  FOwnerList->Changed(this, ATextChange);
}

Variant TqvValueDef::GetValue(const Byte* ABuffer) const {
  if (IsNull(ABuffer)) return Null();
  return FValueTypeClass->GetValue(PlaceOf(ABuffer));
}

void TqvValueDef::SetValue(Byte* ABuffer, const Variant& AValue) const {
  Byte* place = PlaceOf(ABuffer);
  if (VarIsNull(AValue)) {
    if (!IsNull(ABuffer)) {
      FValueTypeClass->FreeBuffer(place);
      std::memset(place, 0, static_cast<size_t>(FValueSize));
    }
    ABuffer[FFlagOffset] = 0;
    return;
  }
  FValueTypeClass->SetValue(place, AValue);
  ABuffer[FFlagOffset] = 1;
}

String TqvValueDef::GetDisplayText(const Byte* ABuffer) const {
  if (IsTextStored() && HasStoredText(ABuffer)) return FValueTypeClass->GetStoredText(TextPlaceOf(ABuffer));
  if (IsNull(ABuffer)) return String();
  return FValueTypeClass->GetDisplayText(PlaceOf(ABuffer));
}

bool TqvValueDef::HasStoredText(const Byte* ABuffer) const {
  const void* holder;
  std::memcpy(&holder, TextPlaceOf(ABuffer), sizeof(holder));
  return holder != nullptr;
}

void TqvValueDef::SetDisplayText(Byte* ABuffer, const String& AText) const {
  if (IsTextStored()) FValueTypeClass->SetStoredText(TextPlaceOf(ABuffer), AText);
}

void TqvValueDef::FreeValue(Byte* ABuffer) const {
  if (!HasPlace()) return;
  if (!IsNull(ABuffer)) FValueTypeClass->FreeBuffer(PlaceOf(ABuffer));
  if (IsTextStored()) TqvValueType::FreeStoredText(TextPlaceOf(ABuffer));
}

Integer TqvValueDef::Compare(bool ANull1, bool ANull2, const void* AData1, const void* AData2) const {
  if (ANull1 || ANull2) return (ANull1 ? 0 : 1) - (ANull2 ? 0 : 1);
  return FValueTypeClass->CompareValues(AData1, AData2);
}

Integer TqvValueDef::CompareRecordBuffers(const Byte* ABuffer1, const Byte* ABuffer2) const {
  bool null1 = IsNull(ABuffer1);
  bool null2 = IsNull(ABuffer2);
  if (null1 || null2) return (null1 ? 0 : 1) - (null2 ? 0 : 1);
  return FValueTypeClass->Compare(PlaceOf(ABuffer1), PlaceOf(ABuffer2));
}

TqvValueDef* TqvInternalValueDef::GetMirrored() const {
  return static_cast<TqvValueDef*>(TqvValueDef::GetClient());
}

TObject* TqvInternalValueDef::GetClient() const {
  TqvValueDef* mirrored = GetMirrored();
  return mirrored ? mirrored->GetClient() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TqvValueDefs

TqvValueDefs::TqvValueDefs(TqvDataStorage* AStorage) : FStorage(AStorage) { PrepareLayout(1); }

TqvValueDefs::~TqvValueDefs() { Clear(); }

TqvValueDef* TqvValueDefs::CreateValueDef(TqvValueTypeClass AValueTypeClass) {
  return new TqvValueDef(this, AValueTypeClass);
}

TqvValueDef* TqvInternalValueDefs::CreateValueDef(TqvValueTypeClass AValueTypeClass) {
  return new TqvInternalValueDef(this, AValueTypeClass);
}

TqvValueDef* TqvValueDefs::Add(TqvValueTypeClass AValueTypeClass, bool AStored, bool ATextStored,
                               TObject* AClient) {
  if (!AValueTypeClass) throw EInvalidOperation("A value definition needs a value type");
  TOwned<TqvValueDef> def(CreateValueDef(AValueTypeClass));
  // Not listed yet: the flags are set directly, so adding a column never disturbs the records.
  def->SetClient(AClient);
  def->FValueStored = AStored;
  def->FTextStored = ATextStored;
  Integer offset = 0;
  def->CalculateLayout(offset);
  FStorage->InsertValueDefPlaces(this, def.get());
  FItems.push_back(def.get());
  FStorage->UpdateValueDefsLayout(this);
  return def.release();
}

void TqvValueDefs::Remove(TqvValueDef* AValueDef) {
  auto it = std::find(FItems.begin(), FItems.end(), AValueDef);
  if (it == FItems.end()) return;
  FStorage->RemoveValueDefPlaces(this, AValueDef);
  FItems.erase(std::find(FItems.begin(), FItems.end(), AValueDef));
  AValueDef->FOwnerList = nullptr;
  FStorage->UpdateValueDefsLayout(this);
}

void TqvValueDefs::Clear() {
  while (!FItems.empty()) {
    TqvValueDef* last = FItems.back();
    Remove(last);
    Free(last);
  }
}

void TqvValueDefs::Changed(TqvValueDef* AValueDef, bool AIsTextStoredChange) {
  FStorage->ValueDefChanged(AValueDef, AIsTextStoredChange);
}

void TqvValueDefs::PrepareLayout(Integer AStartOffset) {
  Integer offset = AStartOffset;
  for (TqvValueDef* def : FItems) def->CalculateLayout(offset);
  FRecordLength = offset;
}

TqvValueDef* TqvValueDefs::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseStorageIndexError(AIndex);
  return FItems[AIndex];
}

Integer TqvValueDefs::GetStoredCount() const {
  Integer count = 0;
  for (const TqvValueDef* def : FItems)
    if (def->HasPlace()) ++count;
  return count;
}

TqvValueDef* TqvInternalValueDefs::FindByClient(TObject* AObject) const {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if ((*it)->TqvValueDef::GetClient() == AObject) return *it;
  return nullptr;
}

void TqvInternalValueDefs::RemoveByClient(TObject* AObject) {
  Free(FindByClient(AObject));
}

// ---------------------------------------------------------------------------------------------
// TqvDataStorage: records

TqvDataStorage::TqvDataStorage()
    : FInternalValueDefs(std::make_unique<TqvInternalValueDefs>(this)),
      FOrdinaryValueDefs(std::make_unique<TqvValueDefs>(this)) {}

TqvDataStorage::~TqvDataStorage() {
  FBeingDestroyed = true;
  Clear(false);
  FOrdinaryValueDefs->Clear();
  FInternalValueDefs->Clear();
}

TqvValueDefs* TqvDataStorage::GetValueDefs(Integer ARecordIndex) const {
  if (ARecordIndex < 0) return FInternalValueDefs.get();
  return FOrdinaryValueDefs.get();
}

std::vector<Byte*>& TqvDataStorage::BuffersOf(const TqvValueDefs* AValueDefs) {
  return AValueDefs->IsInternal() ? FInternalRecords : FRecords;
}

Byte*& TqvDataStorage::Slot(Integer AIndex) {
  if (AIndex >= 0) {
    if (AIndex >= GetRecordCount()) RaiseStorageIndexError(AIndex);
    return FRecords[AIndex];
  }
  Integer entry = ~AIndex;
  if (entry >= GetInternalRecordCount()) RaiseStorageIndexError(AIndex);
  return FInternalRecords[entry];
}

Byte* const& TqvDataStorage::Slot(Integer AIndex) const {
  return const_cast<TqvDataStorage*>(this)->Slot(AIndex);
}

void TqvDataStorage::FreeBuffer(Byte*& ABuffer, TqvValueDefs* AValueDefs) {
  Byte* buffer = ABuffer;
  if (!buffer) return;
  ABuffer = nullptr;
  for (Integer i = 0; i < AValueDefs->GetCount(); ++i) AValueDefs->GetItem(i)->FreeValue(buffer);
  std::free(buffer);
}

void TqvDataStorage::FreeBuffers(std::vector<Byte*>& ABuffers, TqvValueDefs* AValueDefs) {
  for (Byte*& buffer : ABuffers) FreeBuffer(buffer, AValueDefs);
}

void TqvDataStorage::SetRecordCount(Integer ACount) {
  if (ACount < 0) ACount = 0;
  while (GetRecordCount() > ACount) DeleteRecord(GetRecordCount() - 1);
  if (GetRecordCount() < ACount) FRecords.resize(static_cast<size_t>(ACount), nullptr);
}

Integer TqvDataStorage::AppendRecord() {
  FRecords.push_back(nullptr);
  return GetRecordCount() - 1;
}

void TqvDataStorage::InsertRecord(Integer AIndex) {
  if (AIndex < 0 || AIndex > GetRecordCount()) RaiseStorageIndexError(AIndex);
  FRecords.insert(FRecords.begin() + AIndex, nullptr);
}

void TqvDataStorage::DeleteRecord(Integer AIndex) {
  FreeRecordBuffer(AIndex);
  if (AIndex >= 0) FRecords.erase(FRecords.begin() + AIndex);
}

Integer TqvDataStorage::AddInternalRecord() {
  Integer entry = 0;
  while (entry < GetInternalRecordCount() && HasRecordState(FInternalRecords[entry], qvRecordStateInUse))
    ++entry;
  if (entry == GetInternalRecordCount()) FInternalRecords.push_back(nullptr);
  Integer index = ~entry;
  SetRecordState(GetRecordBuffer(index), qvRecordStateInUse, true);
  return index;
}

Byte* TqvDataStorage::FindRecordBuffer(Integer AIndex) const { return Slot(AIndex); }

Byte* TqvDataStorage::GetRecordBuffer(Integer AIndex) {
  Byte*& slot = Slot(AIndex);
  if (!slot) slot = AllocateBuffer(GetValueDefs(AIndex)->GetRecordLength());
  return slot;
}

void TqvDataStorage::SetRecordBuffer(Integer AIndex, Byte* ABuffer) { Slot(AIndex) = ABuffer; }

bool TqvDataStorage::HasRecordState(const Byte* ABuffer, Byte AFlags) {
  return ABuffer && (ABuffer[0] & AFlags) == AFlags;
}

void TqvDataStorage::SetRecordState(Byte* ABuffer, Byte AFlags, bool AOn) {
  if (!ABuffer) return;
  if (AOn)
    ABuffer[0] |= AFlags;
  else
    ABuffer[0] &= static_cast<Byte>(~AFlags);
}

void TqvDataStorage::FreeRecordBuffer(Integer AIndex) {
  FreeBuffer(Slot(AIndex), GetValueDefs(AIndex));
}

// ---------------------------------------------------------------------------------------------
// TqvDataStorage: values

bool TqvDataStorage::ResolveValueDef(Integer ARecordIndex, TqvValueDef*& AValueDef) const {
  if (!AValueDef) return false;
  if (ARecordIndex < 0 && !AValueDef->GetOwnerList()->IsInternal())
    AValueDef = FInternalValueDefs->FindByClient(AValueDef);
  else if (ARecordIndex >= 0 && AValueDef->GetOwnerList()->IsInternal())
    AValueDef = static_cast<TqvInternalValueDef*>(AValueDef)->GetMirrored();
  return AValueDef && AValueDef->HasPlace();
}

Variant TqvDataStorage::GetValue(Integer ARecordIndex, TqvValueDef* AValueDef) const {
  const Byte* buffer = FindRecordBuffer(ARecordIndex);
  if (!buffer || !ResolveValueDef(ARecordIndex, AValueDef)) return Null();
  return AValueDef->GetValue(buffer);
}

void TqvDataStorage::SetValue(Integer ARecordIndex, TqvValueDef* AValueDef, const Variant& AValue) {
  if (!ResolveValueDef(ARecordIndex, AValueDef)) return;
  AValueDef->SetValue(GetRecordBuffer(ARecordIndex), AValue);
}

String TqvDataStorage::GetDisplayText(Integer ARecordIndex, TqvValueDef* AValueDef) const {
  const Byte* buffer = FindRecordBuffer(ARecordIndex);
  if (!buffer || !ResolveValueDef(ARecordIndex, AValueDef)) return String();
  return AValueDef->GetDisplayText(buffer);
}

void TqvDataStorage::SetDisplayText(Integer ARecordIndex, TqvValueDef* AValueDef, const String& AText) {
  Byte* buffer = GetRecordBuffer(ARecordIndex);
  if (ResolveValueDef(ARecordIndex, AValueDef) && AValueDef->IsTextStored())
    AValueDef->SetDisplayText(buffer, AText);
}

bool TqvDataStorage::GetValueData(Integer ARecordIndex, TqvValueDef* AValueDef, const void*& AData) const {
  AData = nullptr;
  const Byte* buffer = FindRecordBuffer(ARecordIndex);
  if (!buffer || !ResolveValueDef(ARecordIndex, AValueDef) || AValueDef->IsNull(buffer)) return true;
  AData = AValueDef->GetValueTypeClass()->GetDataPointer(AValueDef->PlaceOf(buffer));
  return false;
}

Integer TqvDataStorage::CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2,
                                       TqvValueDef* AValueDef) const {
  const Byte* buffer1 = FindRecordBuffer(ARecordIndex1);
  const Byte* buffer2 = FindRecordBuffer(ARecordIndex2);
  TqvValueDef* def1 = AValueDef;
  TqvValueDef* def2 = AValueDef;
  bool null1 = !buffer1 || !ResolveValueDef(ARecordIndex1, def1) || def1->IsNull(buffer1);
  bool null2 = !buffer2 || !ResolveValueDef(ARecordIndex2, def2) || def2->IsNull(buffer2);
  if (null1 || null2) return (null1 ? 0 : 1) - (null2 ? 0 : 1);
  TqvValueTypeClass type = def1->GetValueTypeClass();
  return type->Compare(def1->PlaceOf(buffer1), def2->PlaceOf(buffer2));
}

void TqvDataStorage::CopyValue(Integer ASourceIndex, Integer ADestIndex, TqvValueDef* AValueDef) {
  TqvValueDef* destDef = AValueDef;
  if (!ResolveValueDef(ADestIndex, destDef)) return;
  TqvValueDef* sourceDef = AValueDef;
  const Byte* source = FindRecordBuffer(ASourceIndex);
  bool hasSource = source && ResolveValueDef(ASourceIndex, sourceDef);
  Byte* dest = GetRecordBuffer(ADestIndex);
  destDef->SetValue(dest, hasSource ? sourceDef->GetValue(source) : Null());
  if (!destDef->IsTextStored()) return;
  if (hasSource && sourceDef->IsTextStored() && sourceDef->HasStoredText(source))
    destDef->SetDisplayText(dest, sourceDef->GetValueTypeClass()->GetStoredText(sourceDef->TextPlaceOf(source)));
  else
    TqvValueType::FreeStoredText(destDef->TextPlaceOf(dest));
}

void TqvDataStorage::ReadRecord(Integer ARecordIndex, TqvValueDefReader* AReader, bool ASkipExcluded) {
  Byte* buffer = GetRecordBuffer(ARecordIndex);
  TqvValueDefs* defs = GetValueDefs(ARecordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TqvValueDef* def = defs->GetItem(i);
    if (!def->HasPlace() || (ASkipExcluded && AReader->IsValueDefExcluded(def))) continue;
    def->SetValue(buffer, AReader->GetValue(def));
    if (def->IsTextStored()) def->SetDisplayText(buffer, AReader->GetDisplayText(def));
  }
}

void TqvDataStorage::EnumValueDefs(Integer ARecordIndex,
                                   const std::function<void(TqvValueDef*, Integer)>& AProc) const {
  TqvValueDefs* defs = GetValueDefs(ARecordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) AProc(defs->GetItem(i), ARecordIndex);
}

// ---------------------------------------------------------------------------------------------
// TqvDataStorage: clearing and structure

void TqvDataStorage::Clear(bool AKeepInternalRecords) {
  if (!AKeepInternalRecords) ClearInternalRecords();
  ClearRecords(true);
}

void TqvDataStorage::ClearInternalRecords() {
  FreeBuffers(FInternalRecords, FInternalValueDefs.get());
  FInternalRecords.clear();
  if (OnInternalRecordsCleared && !FBeingDestroyed) OnInternalRecordsCleared(this);
}

void TqvDataStorage::ClearRecords(bool AClearList) {
  FreeBuffers(FRecords, FOrdinaryValueDefs.get());
  if (AClearList) FRecords.clear();
}

void TqvDataStorage::CheckStructure() {
  if (!FStructureChanged) return;
  UpdateValueDefsLayout(FOrdinaryValueDefs.get());
  ClearInternalRecords();
  UpdateValueDefsLayout(FInternalValueDefs.get());
  FStructureChanged = false;
}

void TqvDataStorage::UpdateValueDefsLayout(TqvValueDefs* AValueDefs) { AValueDefs->PrepareLayout(1); }

// A listed definition that gains or loses a place (or a text place) changes the record layout:
// its list's records are released first (ValueDefLayoutChanging) and the layout is made again at
// once, so no buffer is ever read with a stale layout. Changes that keep the layout touch no record.
void TqvDataStorage::ValueDefLayoutChanging(TqvValueDefs* AValueDefs) {
  if (FBeingDestroyed) return;
  FStructureChanged = true;
  if (AValueDefs->IsInternal())
    ClearInternalRecords();
  else
    ClearRecords(false);
}

void TqvDataStorage::ValueDefChanged(TqvValueDef* AValueDef, bool ATextStoredChanged) {
  if (FBeingDestroyed) return;
  TqvValueDefs* defs = AValueDef->GetOwnerList();
  UpdateValueDefsLayout(defs);
  if (ATextStoredChanged && !defs->IsInternal())
    if (TqvValueDef* mirror = FInternalValueDefs->FindByClient(AValueDef)) mirror->Assign(AValueDef);
}

void TqvDataStorage::SetStoredValuesOnly(bool AValue) {
  if (FStoredValuesOnly == AValue) return;
  ClearRecords(false);
  FStoredValuesOnly = AValue;
  UpdateValueDefsLayout(FOrdinaryValueDefs.get());
}

void TqvDataStorage::InsertValueDefPlaces(TqvValueDefs* AValueDefs, TqvValueDef* AValueDef) {
  if (!AValueDefs->IsInternal())
    FInternalValueDefs->Add(AValueDef->GetValueTypeClass(), true, AValueDef->GetTextStored(), AValueDef);
  Integer slot = AValueDef->GetSlotSize();
  if (slot == 0) return;
  Integer oldLength = AValueDefs->GetRecordLength();
  for (Byte*& buffer : BuffersOf(AValueDefs)) {
    if (!buffer) continue;
    buffer = ResizeBuffer(buffer, oldLength + slot);
    std::memset(buffer + oldLength, 0, static_cast<size_t>(slot));
  }
}

void TqvDataStorage::RemoveValueDefPlaces(TqvValueDefs* AValueDefs, TqvValueDef* AValueDef) {
  if (!AValueDefs->IsInternal()) FInternalValueDefs->RemoveByClient(AValueDef);
  if (!AValueDef->HasPlace()) return;
  std::vector<Byte*>& buffers = BuffersOf(AValueDefs);
  // Ordinary records without any other value have nothing left worth keeping; internal records
  // keep their state byte (their slot stays taken).
  if (!AValueDefs->IsInternal() && AValueDefs->GetStoredCount() < 2) {
    FreeBuffers(buffers, AValueDefs);
    return;
  }
  Integer start = AValueDef->GetFlagOffset();
  Integer slot = AValueDef->GetSlotSize();
  Integer length = AValueDefs->GetRecordLength();
  for (Byte*& buffer : buffers) {
    if (!buffer) continue;
    AValueDef->FreeValue(buffer);
    std::memmove(buffer + start, buffer + start + slot, static_cast<size_t>(length - start - slot));
    buffer = ResizeBuffer(buffer, length - slot);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvStoredColumn

TqvStoredColumn::TqvStoredColumn(const TqvDataStorage* AStorage, const TqvValueDef* AValueDef)
    : FRecords(AStorage->FRecords.data()),
      FCount(AStorage->GetRecordCount()),
      FFlagOffset(AValueDef->GetFlagOffset()),
      FValueType(AValueDef->GetValueTypeClass()) {
  if (FValueType == TqvIntegerValueType::Class()) {
    FOrdinalSize = 4;
  } else if (FValueType == TqvSmallintValueType::Class()) {
    FOrdinalSize = 2;
  } else if (FValueType == TqvWordValueType::Class()) {
    FOrdinalSize = 2;
    FUnsigned = true;
  } else if (FValueType == TqvLargeIntValueType::Class()) {
    FOrdinalSize = 8;
  }
  FText = FValueType == TqvStringValueType::Class();
}

// ---------------------------------------------------------------------------------------------
// TqvLookupList

bool TqvLookupList::Find(const Variant& AKey, Integer& AIndex) const {
  Integer low = 0;
  Integer high = GetCount() - 1;
  while (low <= high) {
    Integer middle = (low + high) / 2;
    Integer result = VarCompareEx(FItems[middle].Key, AKey);
    if (result == 0) {
      AIndex = middle;
      return true;
    }
    if (result < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  AIndex = low;
  return false;
}

void TqvLookupList::Insert(Integer AIndex, const Variant& AKey, const String& AText) {
  if (AIndex < 0 || AIndex > GetCount()) RaiseStorageIndexError(AIndex);
  FItems.insert(FItems.begin() + AIndex, TqvLookupListItem{AKey, AText});
}

const TqvLookupListItem& TqvLookupList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseStorageIndexError(AIndex);
  return FItems[AIndex];
}
