#include <algorithm>
#include <limits>

#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/data/DBStorage.h"

// ---------------------------------------------------------------------------------------------
// Locate's comparisons

bool LocateTextMatches(const String& AValue, const String& AKey, TLocateOptions AOptions) {
  String value = AValue;
  if ((AOptions & loPartialKey) && value.size() > AKey.size()) value.resize(AKey.size());
  return (AOptions & loCaseInsensitive) ? AnsiSameText(value, AKey) : value == AKey;
}

bool LocateValueMatches(const Variant& AValue, const Variant& AKey, TLocateOptions AOptions) {
  bool valueNull = VarIsNull(AValue) || VarIsEmpty(AValue);
  bool keyNull = VarIsNull(AKey) || VarIsEmpty(AKey);
  if (valueNull || keyNull) return valueNull && keyNull;
  if (VarIsStr(AValue) && AOptions) return LocateTextMatches(VarToStr(AValue), VarToStr(AKey), AOptions);
  try {
    return AValue == AKey;
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

// ---------------------------------------------------------------------------------------------
// The window

Integer TDataSet::RecordPosition(TRecordId AId) const { return FIds.PositionOf(AId); }

void TDataSet::ReadBuffer(TRecordBuffer& ABuffer, TRecordId AId) {
  ABuffer.Id = AId;
  ABuffer.IsNew = false;
  FStorage->ReadRecord(AId, ABuffer.Values);
}

void TDataSetStorage::ReadRecords(const std::vector<TRecordId>& AIds, std::vector<std::vector<Variant>>& AValues) {
  std::vector<std::vector<Variant>> values(AIds.size());
  for (size_t i = 0; i < AIds.size(); ++i) ReadRecord(AIds[i], values[i]);
  AValues.swap(values);
}

namespace {

// Records read ahead while walking: from none after a jump, doubling with every read up to a
// bound, so that a walk reads in large batches and a jump reads no more than it shows.
constexpr Integer MinReadAhead = 16;
constexpr Integer MaxReadAhead = 1024;

}  // namespace

void TDataSet::FillWindow(Integer AStart, Integer ACount, bool AReread) {
  if (!AReread && ShiftWindow(AStart, ACount)) return;
  FAhead.clear();
  FAheadRows = 0;
  // Both windows hold ascending identities: one walk finds the buffers to keep. What is missing
  // is read first, so that a failing read leaves the window as it was.
  std::deque<TRecordBuffer> buffers(static_cast<size_t>(ACount));
  std::vector<Integer> kept(static_cast<size_t>(ACount), -1);
  std::vector<TRecordId> missing;
  size_t old = 0;
  for (Integer i = 0; i < ACount; ++i) {
    TRecordId id = FIds.At(AStart + i);
    buffers[static_cast<size_t>(i)].Id = id;
    while (!AReread && old < FBuffers.size() && (FBuffers[old].IsNew || FBuffers[old].Id < id)) ++old;
    if (!AReread && old < FBuffers.size() && FBuffers[old].Id == id)
      kept[static_cast<size_t>(i)] = static_cast<Integer>(old);
    else
      missing.push_back(id);
  }
  std::vector<std::vector<Variant>> values;
  if (!missing.empty()) FStorage->ReadRecords(missing, values);
  size_t next = 0;
  for (Integer i = 0; i < ACount; ++i) {
    TRecordBuffer& buffer = buffers[static_cast<size_t>(i)];
    if (kept[static_cast<size_t>(i)] >= 0)
      buffer = std::move(FBuffers[static_cast<size_t>(kept[static_cast<size_t>(i)])]);
    else
      buffer.Values = std::move(values[next++]);
  }
  FBuffers = std::move(buffers);
  FWindowStart = AStart;
}

bool TDataSet::ShiftWindow(Integer AStart, Integer ACount) {
  Integer oldCount = static_cast<Integer>(FBuffers.size());
  Integer oldEnd = FWindowStart + oldCount, newEnd = AStart + ACount;
  bool forward = AStart >= FWindowStart && newEnd >= oldEnd;
  bool backward = AStart <= FWindowStart && newEnd <= oldEnd;
  if (oldCount == 0 || AStart > oldEnd || newEnd < FWindowStart || (!forward && !backward)) return false;
  if (FIds.Clamp(oldEnd) < oldEnd) return false;
  Integer position = FWindowStart;
  for (const TRecordBuffer& buffer : FBuffers)
    if (buffer.IsNew || buffer.Id != FIds.At(position++)) return false;
  // Read first: a failing read leaves the window as it was.
  if (forward) {
    bool readAhead = AheadHolds(oldEnd, newEnd - oldEnd);
    if (!readAhead) ReadBeside(oldEnd, newEnd - oldEnd, true);
    for (Integer i = FWindowStart; i < AStart; ++i) {
      SpareRow(std::move(FBuffers.front().Values));
      FBuffers.pop_front();
    }
    if (readAhead) {
      for (Integer i = oldEnd; i < newEnd; ++i) {
        FBuffers.push_back(std::move(FAhead.front()));
        FAhead.pop_front();
      }
    } else {
      for (TRecordBuffer& buffer : FIncoming) FBuffers.push_back(std::move(buffer));
    }
  } else {
    ReadBeside(AStart, FWindowStart - AStart, false);
    for (Integer i = newEnd; i < oldEnd; ++i) {
      SpareRow(std::move(FBuffers.back().Values));
      FBuffers.pop_back();
    }
    for (auto it = FIncoming.rbegin(); it != FIncoming.rend(); ++it) FBuffers.push_front(std::move(*it));
  }
  FWindowStart = AStart;
  return true;
}

bool TDataSet::AheadHolds(Integer AFirst, Integer ACount) {
  if (!FAheadForward || static_cast<Integer>(FAhead.size()) < ACount || FAheadWrites != FStorage->WriteCount())
    return false;
  for (Integer i = 0; i < ACount; ++i)
    if (FAhead[static_cast<size_t>(i)].Id != FIds.At(AFirst + i)) return false;
  return true;
}

void TDataSet::ReadBeside(Integer AFirst, Integer ACount, bool AForward) {
  std::vector<TRecordBuffer>& records = FIncoming;
  records.clear();
  records.resize(static_cast<size_t>(ACount));
  if (ACount == 0) return;
  if (AForward != FAheadForward) FAheadRows = 0;
  if (AForward != FAheadForward || FAheadWrites != FStorage->WriteCount()) FAhead.clear();
  FAheadForward = AForward;
  // Take what was read ahead, from the side next to the window.
  Integer taken = 0;
  for (; taken < ACount && !FAhead.empty(); ++taken) {
    Integer offset = AForward ? taken : ACount - 1 - taken;
    TRecordBuffer& next = AForward ? FAhead.front() : FAhead.back();
    if (next.Id != FIds.At(AFirst + offset)) {
      FAhead.clear();
      break;
    }
    records[static_cast<size_t>(offset)] = std::move(next);
    AForward ? FAhead.pop_front() : FAhead.pop_back();
  }
  if (taken == ACount) return;
  // Read the rest with the next records of the walk beyond them.
  Integer first = AForward ? AFirst + taken : std::max(0, AFirst - FAheadRows);
  Integer end = AForward ? FIds.Clamp(AFirst + ACount + FAheadRows) : AFirst + ACount - taken;
  std::vector<TRecordId> ids;
  ids.reserve(static_cast<size_t>(end - first));
  for (Integer position = first; position < end; ++position) ids.push_back(FIds.At(position));
  std::vector<std::vector<Variant>> values;
  values.swap(FSpareRows);
  FStorage->ReadRecords(ids, values);
  FAheadRows = std::clamp(FAheadRows * 2, MinReadAhead, MaxReadAhead);
  FAheadWrites = FStorage->WriteCount();
  FAhead.clear();
  for (Integer position = first; position < end; ++position) {
    TRecordBuffer buffer;
    buffer.Id = ids[static_cast<size_t>(position - first)];
    buffer.Values = std::move(values[static_cast<size_t>(position - first)]);
    if (position >= AFirst && position < AFirst + ACount)
      records[static_cast<size_t>(position - AFirst)] = std::move(buffer);
    else
      FAhead.push_back(std::move(buffer));
  }
  values.clear();
  FSpareRows.swap(values);
}

void TDataSet::SpareRow(std::vector<Variant>&& AValues) {
  if (static_cast<Integer>(FSpareRows.size()) < MaxReadAhead) FSpareRows.push_back(std::move(AValues));
}

void TDataSet::PlaceWindow(Integer APosition, Integer ARow, bool AReread) {
  if (FIds.Empty()) {
    FBuffers.clear();
    FWindowStart = FActiveRecord = 0;
    return;
  }
  APosition = std::max(APosition, 0);
  if (!FIds.Exists(APosition)) APosition = FIds.Count() - 1;
  ARow = std::clamp(ARow, 0, FBufferCount - 1);
  Integer start = std::max(0, APosition - ARow);
  Integer end = FIds.Clamp(start + FBufferCount);
  start = std::max(0, std::min(start, end - FBufferCount));
  FillWindow(start, end - start, AReread);
  FActiveRecord = APosition - start;
}

void TDataSet::ReloadRecords() {
  const TRecordBuffer* active = ActiveBufferOrNull();
  bool hadRecord = active && !active->IsNew;
  TRecordId current = hadRecord ? active->Id : 0;
  Integer oldPosition = hadRecord ? RecordPosition(current) : 0;
  TRecordIds previous = std::move(FIds);
  try {
    FIds.Reset(FStorage.get());
    Integer position = hadRecord ? RecordPosition(current) : -1;
    if (position < 0) position = std::max(0, oldPosition);
    PlaceWindow(position, FActiveRecord, true);
  } catch (...) {
    FIds = std::move(previous);
    throw;
  }
  FBof = FEof = FBuffers.empty();
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  PlaceWindow(0, 0);
  FBof = true;
  FEof = FBuffers.empty();
  DataEvent(deDataSetChange, 0);
}

void TDataSet::Last() {
  CheckBrowseMode();
  PlaceWindow(FIds.Count() - 1, FBufferCount - 1);
  FEof = true;
  FBof = FBuffers.empty();
  DataEvent(deDataSetChange, 0);
}

Integer TDataSet::MoveBy(Integer ADistance) {
  CheckBrowseMode();
  if (ADistance == 0 || (ADistance > 0 && FEof) || (ADistance < 0 && FBof)) return 0;
  Integer position = FWindowStart + FActiveRecord;
  Int64 wanted = static_cast<Int64>(position) + ADistance;
  Integer target = 0;
  if (wanted > 0) {
    Integer asked = static_cast<Integer>(std::min<Int64>(wanted, std::numeric_limits<Integer>::max()));
    target = FIds.Exists(asked) ? asked : FIds.Count() - 1;
  }
  FBof = wanted < 0;
  FEof = wanted > target;
  Integer oldStart = FWindowStart;
  Integer windowEnd = FWindowStart + static_cast<Integer>(FBuffers.size());
  if (target >= windowEnd) {
    Integer start = std::max(0, target - FBufferCount + 1);
    FillWindow(start, FIds.Clamp(start + FBufferCount) - start);
  } else if (target < FWindowStart) {
    FillWindow(target, FIds.Clamp(target + FBufferCount) - target);
  }
  FActiveRecord = target - FWindowStart;
  DataEvent(deDataSetScroll, FWindowStart - oldStart);
  return target - position;
}

Integer TDataSet::GetRecNo() const {
  const TRecordBuffer* buffer = ActiveBufferOrNull();
  if (!buffer || buffer->IsNew) return 0;
  return RecordPosition(buffer->Id) + 1;
}

void TDataSet::SetRecNo(Integer Value) {
  CheckBrowseMode();
  if (FIds.Empty()) return;
  Value = std::max(Value, 1);
  if (!FIds.Exists(Value - 1)) Value = FIds.Count();
  Integer current = FWindowStart + FActiveRecord + 1;
  if (Value == current) return;
  FBof = FEof = false;
  MoveBy(Value - current);
}

Integer TDataSet::GetRecordCount() const { return FIds.Count(); }

void TDataSet::Refresh() {
  CheckBrowseMode();
  ReloadRecords();
}

// ---------------------------------------------------------------------------------------------
// Locate and Lookup

bool TDataSet::FindRecordId(const String& AKeyFields, const Variant& AKeyValues, TLocateOptions AOptions,
                            TRecordId& AId) {
  CheckActive();
  TList fields;
  GetFieldList(&fields, AKeyFields);
  std::vector<Integer> columns;
  std::vector<Variant> values;
  for (Integer i = 0; i < fields.GetCount(); ++i) {
    TField* field = static_cast<TField*>(fields[i]);
    if (field->FColumn < 0) DatabaseErrorFmt(&SFieldNotSearchable, {field->GetFieldName()}, this);
    columns.push_back(field->FColumn);
  }
  if (columns.size() == 1 && !VarIsArray(AKeyValues)) {
    values.push_back(AKeyValues);
  } else {
    if (!VarIsArray(AKeyValues) ||
        AKeyValues.ArrayHighBound() - AKeyValues.ArrayLowBound() + 1 != static_cast<Integer>(columns.size()))
      DatabaseErrorFmt(&SFieldValueCount, {AKeyFields, static_cast<Integer>(columns.size())}, this);
    for (Integer i = AKeyValues.ArrayLowBound(); i <= AKeyValues.ArrayHighBound(); ++i)
      values.push_back(AKeyValues.GetElement(i));
  }
  return FStorage->FindRecord(columns, values, AOptions, AId);
}

bool TDataSet::Locate(const String& AKeyFields, const Variant& AKeyValues, TLocateOptions AOptions) {
  CheckBrowseMode();
  TRecordId id = 0;
  if (!FindRecordId(AKeyFields, AKeyValues, AOptions, id)) return false;
  Integer position = RecordPosition(id);
  if (position < 0) return false;
  PlaceWindow(position, (FBufferCount - 1) / 2);
  FBof = FEof = false;
  DataEvent(deDataSetChange, 0);
  return true;
}

Variant TDataSet::Lookup(const String& AKeyFields, const Variant& AKeyValues, const String& AResultFields) {
  TRecordId id = 0;
  if (!FindRecordId(AKeyFields, AKeyValues, 0, id)) return Variant::Null();
  TList fields;
  GetFieldList(&fields, AResultFields);
  std::vector<Variant> record;
  FStorage->ReadRecord(id, record);
  auto valueOf = [&](Integer i) {
    Integer column = static_cast<TField*>(fields[i])->FColumn;
    return column >= 0 ? record[static_cast<size_t>(column)] : Variant::Null();
  };
  if (fields.GetCount() == 1) return valueOf(0);
  Variant values = VarArrayCreate(0, fields.GetCount() - 1, varVariant);
  for (Integer i = 0; i < fields.GetCount(); ++i) values.SetElement(i, valueOf(i));
  return values;
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

bool TDataSet::DecodeBookmark(const TBookmarkStr& ABookmark, TRecordId& AId) const {
  return !ABookmark.empty() && TryStrToInt64(ABookmark, AId);
}

TBookmarkStr TDataSet::GetBookmark() const {
  const TRecordBuffer* buffer = ActiveBufferOrNull();
  if (!buffer || buffer->IsNew) return TBookmarkStr();
  return IntToStr(buffer->Id);
}

void TDataSet::SetBookmark(const TBookmarkStr& Value) {
  CheckBrowseMode();
  TRecordId id = 0;
  Integer position = DecodeBookmark(Value, id) ? RecordPosition(id) : -1;
  if (position < 0) DatabaseErrorFmt(&SRecordNotFound, {}, this);
  PlaceWindow(position, (FBufferCount - 1) / 2);
  FBof = FEof = false;
  DataEvent(deDataSetChange, 0);
}

bool TDataSet::BookmarkValid(const TBookmarkStr& ABookmark) const {
  TRecordId id = 0;
  return GetActive() && DecodeBookmark(ABookmark, id) && RecordPosition(id) >= 0;
}

Integer TDataSet::CompareBookmarks(const TBookmarkStr& A, const TBookmarkStr& B) const {
  TRecordId a = 0, b = 0;
  bool hasA = DecodeBookmark(A, a), hasB = DecodeBookmark(B, b);
  if (!hasA || !hasB) return hasA == hasB ? 0 : (hasA ? 1 : -1);
  return a < b ? -1 : (a > b ? 1 : 0);
}
