// Finding records: the incremental search that focuses the next row whose text starts with what
// the user typed, the locate objects that find a record by the values of some fields, the value
// readers that fill a storage record, and the notifier that watches freed components.
#pragma once

#include <vector>

#include "core/qvDataStorage.h"
#include "platform/rtl/Component.h"

class TqvCustomDataController;
class TqvCustomDataField;

class TqvDataControllerSearch : public TObject {
  QJ_CLASS(TqvDataControllerSearch, TObject)
 public:
  explicit TqvDataControllerSearch(TqvCustomDataController* ADataController) : FDataController(ADataController) {}

  // Focuses the first record from the focused one on (wrapping) whose text starts with AText.
  bool Locate(Integer AItemIndex, const String& AText);
  // The next match after (or before) the focused record, without wrapping.
  bool LocateNext(bool AForward);
  void Cancel();
  // While locked, focus changes do not cancel the search.
  void Lock() { FLocked = true; }
  void Unlock() { FLocked = false; }
  bool GetLocked() const { return FLocked; }
  Integer GetItemIndex() const;
  bool GetSearching() const { return FSearching; }
  String GetSearchText() const { return FSearchText; }
  // The searched field goes away: the search ends.
  void FieldRemoving(TqvCustomDataField* AField);
  TqvCustomDataController* GetDataController() const { return FDataController; }

 private:
  Integer Scan(Integer AFrom, Integer ATo, const String& AText);
  void FocusMatch(Integer ARecordIndex);
  void Found(const String& AText);

  TqvCustomDataController* FDataController;
  TqvCustomDataField* FField = nullptr;
  bool FLocked = false;
  bool FSearching = false;
  String FSearchText;
};

// Finds a record by values read into an internal storage record.
class TqvDataControllerLocateObject : public TObject {
  QJ_CLASS(TqvDataControllerLocateObject, TObject)
 public:
  explicit TqvDataControllerLocateObject(TqvCustomDataController* ADataController)
      : FDataController(ADataController) {}
  ~TqvDataControllerLocateObject() override;

  // Fills the internal record from AReader, making it on first use.
  void ReadData(TqvValueDefReader* AReader);
  virtual void ReleaseInternalRecord();
  // The record found, -1 when none (or nothing was read).
  virtual Integer FindRecordIndex() = 0;

  Integer GetInternalRecordIndex() const { return FRecordIndex; }
  TqvCustomDataController* GetDataController() const { return FDataController; }

 protected:
  TqvCustomDataController* FDataController;
  Integer FRecordIndex = 0;
};

// The first record (filtered or not) whose values equal the read ones in every key field.
class TqvDataControllerKeyLocateObject : public TqvDataControllerLocateObject {
  QJ_CLASS(TqvDataControllerKeyLocateObject, TqvDataControllerLocateObject)
 public:
  using TqvDataControllerLocateObject::TqvDataControllerLocateObject;

  Integer FindRecordIndex() override;
  std::vector<TqvCustomDataField*>& GetFields() { return FFields; }

 protected:
  // The key scan over all records, the fields compared as the sort compares them.
  Integer ScanRecords(const std::vector<TqvCustomDataField*>& AFields);

 private:
  std::vector<TqvCustomDataField*> FFields;
};

// A record of the group whose grouping values equal the read ones down to a level.
class TqvDataControllerGroupLocateObject : public TqvDataControllerKeyLocateObject {
  QJ_CLASS(TqvDataControllerGroupLocateObject, TqvDataControllerKeyLocateObject)
 public:
  explicit TqvDataControllerGroupLocateObject(TqvCustomDataController* ADataController);

  Integer FindRecordIndex() override;
  Integer GetLevel() const { return FLevel; }
  void SetLevel(Integer ALevel);
  bool GetFindGroupRecord() const { return FFindGroupRecord; }

 private:
  Integer BinarySearch();

  std::vector<TqvCustomDataField*> FGroupingFields;
  std::vector<TqvCustomDataField*> FCompareFields;
  Integer FLevel = -1;
  bool FFindGroupRecord = true;
};

// Values given by code, one per value definition.
class TqvValueDefUnboundReader : public TqvValueDefReader {
 public:
  void SetValue(TqvValueDef* AValueDef, const Variant& AValue);
  void Truncate(Integer ACount);
  void Clear() { Truncate(0); }
  Variant GetValue(TqvValueDef* AValueDef) override;
  Integer GetCount() const { return static_cast<Integer>(FValueDefs.size()); }

 private:
  std::vector<TqvValueDef*> FValueDefs;
  std::vector<Variant> FValues;
};

// The values of one record of a controller.
class TqvValueDefRecordReader : public TqvValueDefReader {
 public:
  TqvValueDefRecordReader(TqvCustomDataController* ADataController, Integer ARecordIndex)
      : FDataController(ADataController), FRecordIndex(ARecordIndex) {}
  Variant GetValue(TqvValueDef* AValueDef) override;
  String GetDisplayText(TqvValueDef* AValueDef) override;

 private:
  TqvCustomDataController* FDataController;
  Integer FRecordIndex;
};

// Tells the controller when a component its fields refer to is freed.
class TqvDataControllerNotifier : public TComponent {
  QJ_CLASS(TqvDataControllerNotifier, TComponent)
 public:
  explicit TqvDataControllerNotifier(TComponent* AOwner) : TComponent(AOwner) {}
  TqvCustomDataController* DataController = nullptr;

 protected:
  void Notification(TComponent* AComponent, TOperation AOperation) override;
};

// The field a value definition stores, nullptr for others.
TqvCustomDataField* FieldOfValueDef(TqvValueDef* AValueDef);
