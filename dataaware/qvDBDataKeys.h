// What a dataset controller keeps across a reload, by the key values of the records: which
// records had their details expanded (with the active detail and, recursively, the details' own
// state) and which records were selected. Keys are sorted by their values, so the restore finds
// each record's key by bisection.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/Variants.h"

class TqvDBDataController;
class TqvSaveObject;
class TqvCustomDataField;

struct TqvKeyInfo {
  virtual ~TqvKeyInfo() = default;
  Variant KeyValues;
  bool Restored = false;
};

struct TqvDetailKeyInfo : TqvKeyInfo {
  Integer ActiveRelationIndex = -1;
  std::unique_ptr<TqvSaveObject> Details;  // the state of the record's detail controller
};

struct TqvSelectedKeyInfo : TqvKeyInfo {
  Integer EntryIndex = 0;  // the selection entry's position
  Integer Level = 0;
  Integer RowIndex = 0;
};

class TqvKeys {
 public:
  virtual ~TqvKeys() = default;

  // Only for a controller with key navigation.
  void Save(TqvDBDataController* AController);
  void Restore(TqvDBDataController* AController);
  virtual void Clear() { FKeys.clear(); }
  // The key equal to the record's key values: next to the last one found, else by bisection
  // over the sorted keys.
  bool FindKey(Integer ARecordIndex, Integer& AIndex) const;
  Integer GetCount() const { return static_cast<Integer>(FKeys.size()); }

 protected:
  virtual void DoSave() = 0;
  virtual void DoRestore() = 0;
  void AddKey(std::unique_ptr<TqvKeyInfo> AKey) { FKeys.push_back(std::move(AKey)); }
  TqvKeyInfo& GetKey(Integer AIndex) const { return *FKeys[static_cast<size_t>(AIndex)]; }
  TqvDBDataController* GetController() const { return FController; }

 private:
  void Bind(TqvDBDataController* AController);
  Variant RecordKeyValues(Integer ARecordIndex) const;
  void SortKeys();

  TqvDBDataController* FController = nullptr;
  std::vector<TqvCustomDataField*> FKeyFields;
  std::vector<std::unique_ptr<TqvKeyInfo>> FKeys;
  mutable Integer FHint = 0;  // where FindKey tries first
};

class TqvDetailKeys : public TqvKeys {
 protected:
  void DoSave() override;
  void DoRestore() override;
};

class TqvSelectedKeys : public TqvKeys {
 protected:
  void DoSave() override;
  void DoRestore() override;
};

class TqvSaveObject {
 public:
  // Nothing while the controller makes detail objects or its owner is going away.
  void Save(TqvDBDataController* AController);
  void Restore(TqvDBDataController* AController);

 private:
  TqvDetailKeys FDetailKeys;
  TqvSelectedKeys FSelectedKeys;
};
