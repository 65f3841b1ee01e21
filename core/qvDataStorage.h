// Value types (how one kind of value is kept in a record buffer, converted, compared, streamed
// and shown) and the in-memory record store behind every data controller.
//
// A record buffer is one heap block: a state byte, then per value definition an assigned flag,
// the value's place and, when display texts are kept, a pointer-sized text place. Short 8-bit
// strings sit in the place; longer ones, wide strings and Variants live in heap holders whose
// pointer fills the place. Buffers are made on the first write and zero-filled, so every value
// starts as Null.
//
// Where the parts live: qvValueTypes.cpp (the value types and their registry), qvDataStorage.cpp
// (value definitions, record buffers and the store).
#pragma once

#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "core/qvVariants.h"

class TStream;
class TqvValueType;

// The "class reference" of a value type: value types are stateless singletons.
using TqvValueTypeClass = const TqvValueType*;

// ---------------------------------------------------------------------------------------------
// Value types

class TqvValueType {
 public:
  TqvValueType() = default;
  TqvValueType(const TqvValueType&) = delete;
  TqvValueType& operator=(const TqvValueType&) = delete;
  virtual ~TqvValueType() = default;

  static TqvValueTypeClass Class();
  virtual const char* ClassName() const { return "TqvValueType"; }
  virtual TqvValueTypeClass ClassParent() const { return nullptr; }
  // True when this value type is AClass or one of its descendants.
  bool InheritsFrom(TqvValueTypeClass AClass) const;

  // Three-way comparison of two places (both assigned).
  virtual Integer Compare(const void* APlace1, const void* APlace2) const;
  virtual void FreeBuffer(void* APlace) const;
  virtual Integer GetDataSize() const { return 0; }
  virtual Variant GetValue(const void* APlace) const;
  // Never raises for a value without text form: gives the empty text.
  virtual String GetDisplayText(const void* APlace) const;
  String GetStoredText(const void* ATextPlace) const;
  virtual void ReadValue(void* APlace, TStream* AStream) const;
  void ReadStoredText(void* ATextPlace, TStream* AStream) const;
  // Converts before it touches the place: a failed conversion leaves the place as it was.
  virtual void SetValue(void* APlace, const Variant& AValue) const;
  void SetStoredText(void* ATextPlace, const String& AText) const;
  static void FreeStoredText(void* ATextPlace);
  virtual void WriteValue(const void* APlace, TStream* AStream) const;
  void WriteStoredText(const void* ATextPlace, TStream* AStream) const;
  // Three-way comparison of two data pointers (see GetDataPointer).
  virtual Integer CompareValues(const void* AData1, const void* AData2) const;
  virtual Variant GetDataValue(const void* AData) const { return GetValue(AData); }
  virtual TVarType GetVarType() const { return varVariant; }
  bool IsValueValid(const Variant& AValue) const;
  virtual bool IsString() const { return false; }
  // The address of the value itself: the place, or for holder types the holder's target.
  virtual const void* GetDataPointer(const void* APlace) const { return APlace; }
  // Types whose data is 8-bit text ordered byte-wise, as CompareValues orders it, give sorting
  // direct access to it (ANil: a place never written, which sorts before any text).
  virtual bool HasTextView() const { return false; }
  virtual std::string_view GetTextView(const void*, bool& ANil) const {
    ANil = true;
    return {};
  }
};

// Declares the singleton accessor of a value type: TqvIntegerValueType::Class().
#define QJ_VALUE_TYPE(Cls, ParentCls)                                              \
 public:                                                                           \
  static TqvValueTypeClass Class();                                                \
  const char* ClassName() const override { return #Cls; }                          \
  TqvValueTypeClass ClassParent() const override { return ParentCls::Class(); }    \
                                                                                   \
 private:

// 8-bit strings: short texts inline in the place, longer ones in a heap holder.
//
// The place is 16 bytes: a tag byte, then either up to 15 characters inline (tag = length + 1)
// or, for longer text, a pointer to a heap String in the last 8 bytes (tag 0xFF). Tag 0 is a
// place never written. Most texts of a grid fit inline and cost no allocation.
class TqvStringValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvStringValueType, TqvValueType)
 public:
  static constexpr Integer kPlaceSize = 16;
  static constexpr Byte kHeapTag = 0xFF;
  static constexpr size_t kInlineMax = 15;

  // The text of a place without a copy; ANil for a place never written.
  static std::string_view PlaceText(const void* APlace, bool& ANil) {
    const Byte* place = static_cast<const Byte*>(APlace);
    ANil = place[0] == 0;
    if (place[0] != kHeapTag) return std::string_view(reinterpret_cast<const char*>(place) + 1, ANil ? 0 : place[0] - 1u);
    const String* heap;
    std::memcpy(&heap, place + kPlaceSize - sizeof(heap), sizeof(heap));
    return *heap;
  }

  Integer Compare(const void* APlace1, const void* APlace2) const override;
  void FreeBuffer(void* APlace) const override;
  Integer GetDataSize() const override;
  Variant GetValue(const void* APlace) const override;
  // The text itself, without a detour through a Variant (searches read it per record).
  String GetDisplayText(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  Variant GetDataValue(const void* AData) const override;
  TVarType GetVarType() const override { return varString; }
  bool IsString() const override { return true; }
  const void* GetDataPointer(const void* APlace) const override;
  bool HasTextView() const override { return true; }
  std::string_view GetTextView(const void* AData, bool& ANil) const override;
};

class TqvWideStringValueType : public TqvStringValueType {
  QJ_VALUE_TYPE(TqvWideStringValueType, TqvStringValueType)
 public:
  Integer Compare(const void* APlace1, const void* APlace2) const override;
  void FreeBuffer(void* APlace) const override;
  Integer GetDataSize() const override;
  const void* GetDataPointer(const void* APlace) const override;
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  Variant GetDataValue(const void* AData) const override;
  TVarType GetVarType() const override { return varOleStr; }
  bool HasTextView() const override { return false; }
};

class TqvSmallintValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvSmallintValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 2; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varSmallint; }
};

class TqvIntegerValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvIntegerValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 4; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varInteger; }
};

// An owned object reference. The place is pointer-sized; as a Variant it reads as the 64-bit
// address. A storage with an object field frees the objects in it; nothing is streamed.
class TqvObjectValueType : public TqvIntegerValueType {
  QJ_VALUE_TYPE(TqvObjectValueType, TqvIntegerValueType)
 public:
  void FreeBuffer(void* APlace) const override;
  Integer GetDataSize() const override;
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void*, TStream*) const override {}
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void*, TStream*) const override {}
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varInt64; }

  static TObject* GetObject(const void* APlace);
  // Stores AObject without freeing what the place held.
  static void SetObject(void* APlace, TObject* AObject);
};

class TqvWordValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvWordValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 2; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varWord; }
};

class TqvBooleanValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvBooleanValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 1; }
  Variant GetValue(const void* APlace) const override;
  String GetDisplayText(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varBoolean; }
};

// Doubles order with NaN first, then by value.
class TqvFloatValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvFloatValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 8; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varDouble; }
};

class TqvCurrencyValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvCurrencyValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 8; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varCurrency; }
};

class TqvDateTimeValueType : public TqvFloatValueType {
  QJ_VALUE_TYPE(TqvDateTimeValueType, TqvFloatValueType)
 public:
  Variant GetValue(const void* APlace) const override;
  TVarType GetVarType() const override { return varDate; }
};

class TqvLargeIntValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvLargeIntValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return 8; }
  Variant GetValue(const void* APlace) const override;
  void ReadValue(void* APlace, TStream* AStream) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  void WriteValue(const void* APlace, TStream* AStream) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varInt64; }
};

// A packed decimal: precision, sign (bit 7) and scale (bits 0..5), 32 bytes of digit pairs.
struct TqvBcd {
  Byte Precision = 0;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[32] = {};
};
static_assert(sizeof(TqvBcd) == 34);
TqvBcd DoubleToBcd(double AValue);  // 15 significant digits
double BcdToDouble(const TqvBcd& AValue);
Integer BcdCompare(const TqvBcd& A, const TqvBcd& B);

// The Variant runtime has no decimal type: values travel as doubles.
class TqvFMTBcdValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvFMTBcdValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return sizeof(TqvBcd); }
  Variant GetValue(const void* APlace) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varDouble; }
};

struct TqvSQLTimeStamp {
  int16_t Year = 0;
  uint16_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  uint32_t Fractions = 0;  // milliseconds
};
static_assert(sizeof(TqvSQLTimeStamp) == 16);
TqvSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime AValue);
TDateTime SQLTimeStampToDateTime(const TqvSQLTimeStamp& AValue);

// Time stamps travel as dates.
class TqvSQLTimeStampValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvSQLTimeStampValueType, TqvValueType)
 public:
  Integer GetDataSize() const override { return sizeof(TqvSQLTimeStamp); }
  Variant GetValue(const void* APlace) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  TVarType GetVarType() const override { return varDate; }
};

class TqvVariantValueType : public TqvValueType {
  QJ_VALUE_TYPE(TqvVariantValueType, TqvValueType)
 public:
  Integer Compare(const void* APlace1, const void* APlace2) const override;
  void FreeBuffer(void* APlace) const override;
  Integer GetDataSize() const override;
  Variant GetValue(const void* APlace) const override;
  void SetValue(void* APlace, const Variant& AValue) const override;
  Integer CompareValues(const void* AData1, const void* AData2) const override;
  Variant GetDataValue(const void* AData) const override;
  const void* GetDataPointer(const void* APlace) const override;
};

// ---------------------------------------------------------------------------------------------
// Value definitions

class TqvDataStorage;
class TqvValueDefs;

class TqvValueDef : public TObject {
  QJ_CLASS(TqvValueDef, TObject)
 public:
  TqvValueDef(TqvValueDefs* AValueDefs, TqvValueTypeClass AValueTypeClass);
  ~TqvValueDef() override;  // leaves its list

  virtual TObject* GetClient() const { return FClient; }
  virtual bool IsStored() const;
  virtual void SetClient(TObject* AClient) { FClient = AClient; }
  virtual void Assign(const TqvValueDef* ASource);
  bool IsTextStored() const { return IsStored() && FTextStored; }

  void CalculateLayout(Integer& AOffset);
  void SetValueStored(bool AValue);
  void SetTextStored(bool AValue);
  bool GetValueStored() const { return FValueStored; }
  bool GetTextStored() const { return FTextStored; }

  Variant GetValue(const Byte* ABuffer) const;
  // Null frees the value; any other value is converted first and the flag is set only when the
  // conversion succeeded, so a failure leaves the old value and flag untouched.
  void SetValue(Byte* ABuffer, const Variant& AValue) const;
  String GetDisplayText(const Byte* ABuffer) const;
  void SetDisplayText(Byte* ABuffer, const String& AText) const;
  bool HasStoredText(const Byte* ABuffer) const;
  void FreeValue(Byte* ABuffer) const;
  Integer Compare(bool ANull1, bool ANull2, const void* AData1, const void* AData2) const;
  Integer CompareRecordBuffers(const Byte* ABuffer1, const Byte* ABuffer2) const;
  bool IsNull(const Byte* ABuffer) const { return ABuffer[FFlagOffset] == 0; }
  bool IsString() const { return FValueTypeClass->IsString(); }

  TqvValueDefs* GetOwnerList() const { return FOwnerList; }
  TqvValueTypeClass GetValueTypeClass() const { return FValueTypeClass; }
  Integer GetValueSize() const { return FValueSize; }
  Integer GetFlagOffset() const { return FFlagOffset; }
  Integer GetSlotSize() const { return FSlotSize; }
  bool HasPlace() const { return FSlotSize > 0; }
  Byte* PlaceOf(Byte* ABuffer) const { return ABuffer + FFlagOffset + 1; }
  const Byte* PlaceOf(const Byte* ABuffer) const { return ABuffer + FFlagOffset + 1; }
  Byte* TextPlaceOf(Byte* ABuffer) const { return PlaceOf(ABuffer) + FValueSize; }
  const Byte* TextPlaceOf(const Byte* ABuffer) const { return PlaceOf(ABuffer) + FValueSize; }

 private:
  friend class TqvValueDefs;
  Integer SlotSizeFor(bool AStored, bool ATextStored) const;
  void ApplyFlags(bool AValueStored, bool ATextStored, bool ATextChange);
  TqvValueDefs* FOwnerList;
  TqvValueTypeClass FValueTypeClass;
  TObject* FClient = nullptr;
  bool FValueStored = true;
  bool FTextStored = false;
  Integer FValueSize = 0;
  Integer FFlagOffset = 0;
  Integer FSlotSize = 0;
};

// The mirror of an ordinary definition in the internal records; its client is that definition.
class TqvInternalValueDef : public TqvValueDef {
  QJ_CLASS(TqvInternalValueDef, TqvValueDef)
 public:
  using TqvValueDef::TqvValueDef;
  TObject* GetClient() const override;
  bool IsStored() const override { return true; }
  TqvValueDef* GetMirrored() const;
};

class TqvValueDefs {
 public:
  explicit TqvValueDefs(TqvDataStorage* AStorage);
  TqvValueDefs(const TqvValueDefs&) = delete;
  TqvValueDefs& operator=(const TqvValueDefs&) = delete;
  virtual ~TqvValueDefs();

  // Adds a definition at the end. Records keep their values; the new value starts as Null.
  TqvValueDef* Add(TqvValueTypeClass AValueTypeClass, bool AStored, bool ATextStored, TObject* AClient);
  // Drops the definition's places from every record (the definition stays alive).
  void Remove(TqvValueDef* AValueDef);
  void Clear();
  virtual void Changed(TqvValueDef* AValueDef, bool AIsTextStoredChange);
  virtual void PrepareLayout(Integer AStartOffset);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvValueDef* GetItem(Integer AIndex) const;
  Integer GetStoredCount() const;
  Integer GetRecordLength() const { return FRecordLength; }
  TqvDataStorage* GetStorage() const { return FStorage; }
  virtual bool IsInternal() const { return false; }

 protected:
  virtual TqvValueDef* CreateValueDef(TqvValueTypeClass AValueTypeClass);
  std::vector<TqvValueDef*> FItems;

 private:
  TqvDataStorage* FStorage;
  Integer FRecordLength = 1;
};

class TqvInternalValueDefs : public TqvValueDefs {
 public:
  using TqvValueDefs::TqvValueDefs;
  TqvValueDef* FindByClient(TObject* AObject) const;  // the last match, or nullptr
  void RemoveByClient(TObject* AObject);              // frees it when found
  bool IsInternal() const override { return true; }

 protected:
  TqvValueDef* CreateValueDef(TqvValueTypeClass AValueTypeClass) override;
};

// ---------------------------------------------------------------------------------------------
// Readers fill a record while loading.

class TqvValueDefReader {
 public:
  virtual ~TqvValueDefReader() = default;
  virtual String GetDisplayText(TqvValueDef*) { return String(); }
  virtual Variant GetValue(TqvValueDef*) { return Null(); }
  // Asks the field owning the definition (internal fields are not read); a definition without
  // field is read.
  virtual bool IsValueDefExcluded(TqvValueDef* AValueDef);
};

// ---------------------------------------------------------------------------------------------
// The record store

constexpr Byte qvRecordStateInUse = 1;  // internal record slot taken

class TqvDataStorage {
 public:
  TqvDataStorage();
  TqvDataStorage(const TqvDataStorage&) = delete;
  TqvDataStorage& operator=(const TqvDataStorage&) = delete;
  virtual ~TqvDataStorage();

  virtual void UpdateValueDefsLayout(TqvValueDefs* AValueDefs);
  virtual void ValueDefChanged(TqvValueDef* AValueDef, bool ATextStoredChanged);
  // A listed definition is about to change the layout of its list's records.
  void ValueDefLayoutChanging(TqvValueDefs* AValueDefs);
  virtual TqvValueDefs* GetValueDefs(Integer ARecordIndex) const;

  Integer GetRecordCount() const { return static_cast<Integer>(FRecords.size()); }
  void SetRecordCount(Integer ACount);
  Integer AppendRecord();
  void InsertRecord(Integer AIndex);
  void DeleteRecord(Integer AIndex);
  Integer AddInternalRecord();
  Integer GetInternalRecordCount() const { return static_cast<Integer>(FInternalRecords.size()); }

  Byte* FindRecordBuffer(Integer AIndex) const;
  Byte* GetRecordBuffer(Integer AIndex);
  void SetRecordBuffer(Integer AIndex, Byte* ABuffer);
  static bool HasRecordState(const Byte* ABuffer, Byte AFlags);
  static void SetRecordState(Byte* ABuffer, Byte AFlags, bool AOn);

  Variant GetValue(Integer ARecordIndex, TqvValueDef* AValueDef) const;
  void SetValue(Integer ARecordIndex, TqvValueDef* AValueDef, const Variant& AValue);
  String GetDisplayText(Integer ARecordIndex, TqvValueDef* AValueDef) const;
  void SetDisplayText(Integer ARecordIndex, TqvValueDef* AValueDef, const String& AText);
  // True when the value is Null (or the record has no buffer); else AData is its data pointer.
  bool GetValueData(Integer ARecordIndex, TqvValueDef* AValueDef, const void*& AData) const;
  // A record without buffer counts as all Null.
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, TqvValueDef* AValueDef) const;
  bool ResolveValueDef(Integer ARecordIndex, TqvValueDef*& AValueDef) const;
  // Copies one value and its kept display text between two records (either may be internal).
  void CopyValue(Integer ASourceIndex, Integer ADestIndex, TqvValueDef* AValueDef);
  void ReadRecord(Integer ARecordIndex, TqvValueDefReader* AReader, bool ASkipExcluded);
  void EnumValueDefs(Integer ARecordIndex, const std::function<void(TqvValueDef*, Integer)>& AProc) const;

  void Clear(bool AKeepInternalRecords);
  void ClearInternalRecords();
  void ClearRecords(bool AClearList);
  void FreeRecordBuffer(Integer AIndex);
  void BeginLoad() { CheckStructure(); }
  void EndLoad() {}
  void CheckStructure();
  bool GetStoredValuesOnly() const { return FStoredValuesOnly; }
  void SetStoredValuesOnly(bool AValue);
  bool GetStructureChanged() const { return FStructureChanged; }

  TqvValueDefs* GetOrdinaryValueDefs() const { return FOrdinaryValueDefs.get(); }
  TqvInternalValueDefs* GetInternalValueDefs() const { return FInternalValueDefs.get(); }
  TObject* GetController() const { return FController; }
  void SetController(TObject* AController) { FController = AController; }
  bool GetBeingDestroyed() const { return FBeingDestroyed; }

  std::function<void(TqvDataStorage* ASender)> OnInternalRecordsCleared;

 private:
  friend class TqvValueDefs;
  friend class TqvStoredColumn;
  std::vector<Byte*>& BuffersOf(const TqvValueDefs* AValueDefs);
  Byte*& Slot(Integer AIndex);
  Byte* const& Slot(Integer AIndex) const;
  void FreeBuffer(Byte*& ABuffer, TqvValueDefs* AValueDefs);
  void FreeBuffers(std::vector<Byte*>& ABuffers, TqvValueDefs* AValueDefs);
  void InsertValueDefPlaces(TqvValueDefs* AValueDefs, TqvValueDef* AValueDef);
  void RemoveValueDefPlaces(TqvValueDefs* AValueDefs, TqvValueDef* AValueDef);

  bool FBeingDestroyed = false;
  bool FStructureChanged = false;
  std::vector<Byte*> FInternalRecords;
  std::unique_ptr<TqvInternalValueDefs> FInternalValueDefs;
  bool FStoredValuesOnly = false;
  std::vector<Byte*> FRecords;
  std::unique_ptr<TqvValueDefs> FOrdinaryValueDefs;
  TObject* FController = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Typed reading of one column for passes over every record (filters, searches): the places of
// an ordinary value definition read without a Variant per record. Valid while the records and
// the layout stay as they are.

class TqvStoredColumn {
 public:
  TqvStoredColumn(const TqvDataStorage* AStorage, const TqvValueDef* AValueDef);

  // The place of the record's value; nullptr for Null (never written, or not assigned).
  const Byte* PlaceOf(Integer ARecordIndex) const {
    const Byte* buffer = FRecords[ARecordIndex];
    return buffer && buffer[FFlagOffset] ? buffer + FFlagOffset + 1 : nullptr;
  }
  // Asks the memory for the record's buffer ahead of reading it.
  void Prefetch(Integer ARecordIndex) const {
    if (const Byte* buffer = FRecords[ARecordIndex]) __builtin_prefetch(buffer + FFlagOffset);
  }
  // True for an ordinary record index of the storage.
  bool Contains(Integer ARecordIndex) const { return ARecordIndex >= 0 && ARecordIndex < FCount; }
  TqvValueTypeClass GetValueType() const { return FValueType; }
  // Integer, Smallint, Word and LargeInt places read as 64-bit integers.
  bool IsOrdinal() const { return FOrdinalSize > 0; }
  Int64 OrdinalOf(const Byte* APlace) const {
    switch (FOrdinalSize) {
      case 2: return FUnsigned ? Int64(Load<uint16_t>(APlace)) : Int64(Load<int16_t>(APlace));
      case 4: return Load<int32_t>(APlace);
      default: return Load<int64_t>(APlace);
    }
  }
  // 8-bit string places; a place never written reads as Null.
  bool IsText() const { return FText; }
  static std::string_view TextOf(const Byte* APlace, bool& ANil) { return TqvStringValueType::PlaceText(APlace, ANil); }

 private:
  template <class T>
  static T Load(const Byte* APlace) {
    T value;
    std::memcpy(&value, APlace, sizeof(T));
    return value;
  }

  Byte* const* FRecords;
  Integer FCount;
  Integer FFlagOffset;
  TqvValueTypeClass FValueType;
  Integer FOrdinalSize = 0;
  bool FUnsigned = false;
  bool FText = false;
};

// ---------------------------------------------------------------------------------------------
// A sorted (key, display text) cache of the lookup editors.

struct TqvLookupListItem {
  Variant Key;
  String DisplayText;
};

class TqvLookupList {
 public:
  void Clear() { FItems.clear(); }
  // Binary search by VarCompareEx; AIndex is the match or the insertion point.
  bool Find(const Variant& AKey, Integer& AIndex) const;
  void Insert(Integer AIndex, const Variant& AKey, const String& AText);
  const TqvLookupListItem& GetItem(Integer AIndex) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }

 private:
  std::vector<TqvLookupListItem> FItems;
};
