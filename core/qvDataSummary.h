// Footer and group summaries of a data controller: summary items name a field, an aggregate and
// a display format; the summary computes one value per footer item over the filtered records and,
// for every data group, one value per group summary item of the group's level.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Variants.h"

class TqvCustomDataController;
class TqvCustomDataField;
class TqvDataSummary;
class TqvDataSummaryItems;
class TqvDataSummaryGroup;

enum TqvSummaryKind : Byte { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TqvSummaryPosition : Byte { spGroup, spFooter };

enum TqvSummaryOption : Byte {
  soNullIgnore = 1,       // Null values are neither counted nor summed
  soSelectedRecords = 2,  // only selected records take part
};
using TqvSummaryOptions = Byte;

// ---------------------------------------------------------------------------------------------
// Items

// A collection item bound to one data field of the controller (nullptr: none, not owned).
class TqvCustomDataSummaryItem : public TCollectionItem {
  QJ_CLASS(TqvCustomDataSummaryItem, TCollectionItem)
 public:
  explicit TqvCustomDataSummaryItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

  void Assign(TPersistent* ASource) override;
  virtual TqvCustomDataController* GetDataController() const = 0;

  TqvCustomDataField* GetSummedField() const { return FSummedField; }
  // The item (a grid column) whose field is summed, nullptr when none.
  TObject* GetItemLink() const;
  void SetItemLink(TObject* AItem);
  void BeginUpdate();
  void EndUpdate();

 protected:
  virtual void FieldChanging(TqvCustomDataField*) {}

 private:
  friend class TqvDataSummary;
  void SetSummedField(TqvCustomDataField* AField);

  TqvCustomDataField* FSummedField = nullptr;
};

class TqvDataSummaryItem : public TqvCustomDataSummaryItem {
  QJ_CLASS(TqvDataSummaryItem, TqvCustomDataSummaryItem)
 public:
  explicit TqvDataSummaryItem(TCollection* ACollection) : TqvCustomDataSummaryItem(ACollection) {}

  void Assign(TPersistent* ASource) override;
  TqvCustomDataController* GetDataController() const override;
  virtual bool IsPositionStored() const;
  virtual TqvCustomDataField* GetDataField() const { return GetSummedField(); }
  // The display text of a value of this item. Never raises: a value that is no number (the
  // minimum of text values, say) shows as plain text.
  virtual String FormatValue(const Variant& AValue, bool AIsFooter) const;

  TqvDataSummaryItems* GetSummaryItems() const;
  const String& GetFormat() const { return FFormat; }
  void SetFormat(const String& AValue);
  TqvSummaryKind GetKind() const { return FKind; }
  void SetKind(TqvSummaryKind AValue);
  // Read through the collection: footer collections always answer spFooter.
  TqvSummaryPosition GetPosition() const;
  TqvSummaryPosition GetStoredPosition() const { return FPosition; }
  void SetPosition(TqvSummaryPosition AValue);

 private:
  String FFormat;
  TqvSummaryKind FKind = skNone;
  TqvSummaryPosition FPosition = spGroup;
};

using TqvDataSummaryItemClass = TCollectionItemClass;

// ---------------------------------------------------------------------------------------------
// Item collections

struct TqvSummaryEventArguments {
  Integer RecordIndex = -1;
  TqvDataSummaryItem* Item = nullptr;
};

struct TqvSummaryEventOutArguments {
  Variant RecordValue;
  Variant Aggregate;
  Integer RunningCount = 0;
  bool Handled = false;
};

using TqvSummaryEvent = std::function<void(TqvDataSummaryItems* ASender, const TqvSummaryEventArguments& AArguments,
                                           TqvSummaryEventOutArguments& AOutArguments)>;

class TqvDataSummaryItems : public TCollection {
  QJ_CLASS(TqvDataSummaryItems, TCollection)
 public:
  // A nullptr item class means TqvDataSummaryItem; others must descend from it.
  TqvDataSummaryItems(TqvDataSummary* ASummary, TqvDataSummaryItemClass AItemClass);

  void Assign(TPersistent* ASource) override;
  virtual void AssignEvents(TqvDataSummaryItems* ASource);
  virtual TqvSummaryPosition GetItemPosition(const TqvDataSummaryItem* AItem) const;
  virtual bool IsItemPositionStored(const TqvDataSummaryItem* AItem) const;
  // The format used when an item has none (empty for skNone); see the summary's unit.
  virtual String GetDefaultFormat(TVarType AVarType, TqvSummaryKind AKind, bool AIsFooter) const;
  // The texts of a group row; the base shows nothing.
  virtual String GetValuesText(const Variant&) const { return String(); }

  TqvDataSummaryItem* Add();
  TqvDataSummaryItem* GetItem(Integer AIndex) const;
  Integer IndexOfItemLink(const TObject* AItemLink) const;
  Integer IndexOfField(const TqvCustomDataField* AField) const;
  TqvDataSummaryItem* ItemOfField(const TqvCustomDataField* AField) const;
  TqvDataSummary* GetSummary() const { return FSummary; }
  TPersistent* GetOwner() override;

  TqvSummaryEvent OnSummary;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TqvDataSummary* FSummary;
};

class TqvDataFooterSummaryItems : public TqvDataSummaryItems {
  QJ_CLASS(TqvDataFooterSummaryItems, TqvDataSummaryItems)
 public:
  using TqvDataSummaryItems::TqvDataSummaryItems;
  TqvSummaryPosition GetItemPosition(const TqvDataSummaryItem*) const override { return spFooter; }
  bool IsItemPositionStored(const TqvDataSummaryItem*) const override { return false; }
};

class TqvDataGroupSummaryItems : public TqvDataSummaryItems {
  QJ_CLASS(TqvDataGroupSummaryItems, TqvDataSummaryItems)
 public:
  using TqvDataSummaryItems::TqvDataSummaryItems;

  void Assign(TPersistent* ASource) override;
  // The group-row items' texts joined by the separator and a space, between the begin and end
  // texts: "(SUM=12.00, COUNT=3)".
  String GetValuesText(const Variant& AValues) const override;

  const String& GetBeginText() const { return FBeginText; }
  void SetBeginText(const String& AValue);
  bool IsBeginTextStored() const;
  const String& GetEndText() const { return FEndText; }
  void SetEndText(const String& AValue);
  bool IsEndTextStored() const;
  const String& GetSeparator() const { return FSeparator; }
  void SetSeparator(const String& AValue);
  bool IsSeparatorStored() const;

 private:
  void TextChanged(String& AField, const String& AValue);

  String FBeginText = "(";
  String FEndText = ")";
  String FSeparator = ",";
};

// ---------------------------------------------------------------------------------------------
// Summary groups: group summary items for the grouping items their links name

class TqvDataSummaryGroupItemLink : public TqvCustomDataSummaryItem {
  QJ_CLASS(TqvDataSummaryGroupItemLink, TqvCustomDataSummaryItem)
 public:
  explicit TqvDataSummaryGroupItemLink(TCollection* ACollection) : TqvCustomDataSummaryItem(ACollection) {}
  TqvCustomDataController* GetDataController() const override;
  TqvDataSummaryGroup* GetSummaryGroup() const;

 protected:
  // A grouping item belongs to one summary group at most: other links to it are dropped.
  void FieldChanging(TqvCustomDataField* ANewField) override;
};

class TqvDataSummaryGroupItemLinks : public TCollection {
  QJ_CLASS(TqvDataSummaryGroupItemLinks, TCollection)
 public:
  TqvDataSummaryGroupItemLinks(TqvDataSummaryGroup* AGroup, TCollectionItemClass AItemClass);
  TqvDataSummaryGroupItemLink* Add();
  TqvDataSummaryGroupItemLink* GetItem(Integer AIndex) const;
  Integer IndexOfItemLink(const TObject* AItemLink) const;
  TqvDataSummaryGroup* GetSummaryGroup() const { return FGroup; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TqvDataSummaryGroup* FGroup;
};

class TqvDataSummaryGroup : public TCollectionItem {
  QJ_CLASS(TqvDataSummaryGroup, TCollectionItem)
 public:
  explicit TqvDataSummaryGroup(TCollection* ACollection);
  ~TqvDataSummaryGroup() override;

  void Assign(TPersistent* ASource) override;
  TqvDataSummary* GetSummary() const;
  TqvDataSummaryGroupItemLinks* GetLinks() const { return FLinks.get(); }
  TqvDataGroupSummaryItems* GetSummaryItems() const { return FSummaryItems.get(); }
  void SetLinks(TqvDataSummaryGroupItemLinks* AValue) { FLinks->Assign(AValue); }
  void SetSummaryItems(TqvDataGroupSummaryItems* AValue) { FSummaryItems->Assign(AValue); }

 private:
  friend class TqvDataSummaryGroupItemLinks;
  void PartChanged() { Changed(false); }

  TOwned<TqvDataSummaryGroupItemLinks> FLinks;
  TOwned<TqvDataGroupSummaryItems> FSummaryItems;
};

class TqvDataSummaryGroups : public TCollection {
  QJ_CLASS(TqvDataSummaryGroups, TCollection)
 public:
  explicit TqvDataSummaryGroups(TqvDataSummary* ASummary);
  TqvDataSummaryGroup* Add();
  TqvDataSummaryGroup* GetItem(Integer AIndex) const;
  // The first group whose links contain the item, nullptr when none.
  TqvDataSummaryGroup* FindByItemLink(const TObject* AItemLink) const;
  TqvDataSummary* GetSummary() const { return FSummary; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* AItem) override;

 private:
  TqvDataSummary* FSummary;
};

// ---------------------------------------------------------------------------------------------
// The summary

using TqvAfterSummaryEvent = std::function<void(TqvDataSummary* ASender)>;

class TqvDataSummary : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvDataSummary, TqvCustomDataController*>;
  QJ_CLASS(TqvDataSummary, TPersistent)

 public:
  explicit TqvDataSummary(TqvCustomDataController* ADataController);
  ~TqvDataSummary() override;

  void Assign(TPersistent* ASource) override;
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();

  // Footer values, then group values, then OnAfterSummary.
  virtual void Calculate();
  virtual void CalculateFooterSummary();
  virtual void CalculateGroupSummaries();
  virtual void DoAfterSummary();
  // Reports a change to the controller unless updates are locked or OnAfterSummary runs;
  // AItemsChanged: only the items' presentation changed, no new values are needed.
  virtual void RequestRecalculation(bool AItemsChanged);
  // Drops AField from every item and link that sums or names it.
  void FieldRemoved(TqvCustomDataField* AField);

  Variant GetFooterSummaryValue(Integer AIndex) const;  // Null outside the footer items
  String GetFooterSummaryDisplayText(Integer AIndex) const;
  void GetFooterSummaryDisplayText(Integer AIndex, String& AText) const { AText = GetFooterSummaryDisplayText(AIndex); }
  // The group summary items of a grouping level: those of the summary group linked to the level's
  // grouping item, else the default ones; nullptr for a level outside the grouping.
  TqvDataGroupSummaryItems* GetGroupSummaryItems(Integer ALevel) const;
  String GetGroupSummaryDisplayText(Integer ARowIndex) const;
  Integer GetGroupFooterItemIndex(Integer ALevel, const TObject* AItemLink) const;
  String GetGroupFooterDisplayText(Integer ARowIndex, Integer ALevel, Integer AItemIndex) const;
  void GetGroupFooterDisplayText(Integer ARowIndex, Integer ALevel, Integer AItemIndex, String& AText) const {
    AText = GetGroupFooterDisplayText(ARowIndex, ALevel, AItemIndex);
  }

  TqvCustomDataController* GetDataController() const { return FDataController; }
  TqvDataGroupSummaryItems* GetDefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems.get(); }
  void SetDefaultGroupSummaryItems(TqvDataGroupSummaryItems* AValue) { FDefaultGroupSummaryItems->Assign(AValue); }
  TqvDataFooterSummaryItems* GetFooterSummaryItems() const { return FFooterSummaryItems.get(); }
  void SetFooterSummaryItems(TqvDataFooterSummaryItems* AValue) { FFooterSummaryItems->Assign(AValue); }
  TqvDataSummaryGroups* GetSummaryGroups() const { return FSummaryGroups.get(); }
  void SetSummaryGroups(TqvDataSummaryGroups* AValue) { FSummaryGroups->Assign(AValue); }
  // A Variant array with one value per footer item (Empty before the first calculation).
  const Variant& GetFooterValues() const { return FFooterValues; }
  TqvSummaryOptions GetOptions() const { return FOptions; }
  void SetOptions(TqvSummaryOptions AValue);
  bool GetBeingDestroyed() const { return FBeingDestroyed; }
  bool IsAfterSummaryRunning() const { return FAfterSummaryRunning; }

  TqvAfterSummaryEvent OnAfterSummary;

 protected:
  // One running aggregate per item while a range is accumulated.
  struct TAccumulator {
    Variant Value;
    Integer Count = 0;
    bool Failed = false;  // an arithmetic error or text in a sum: the result is Null
  };
  using TAccumulators = std::vector<TAccumulator>;

  virtual void InitValues(const TqvDataSummaryItems* AItems, TAccumulators& AValues) const;
  virtual void AccumulateRange(TqvDataSummaryItems* AItems, Integer AFrom, Integer ATo, TAccumulators& AValues);
  virtual void AccumulateRecord(TqvDataSummaryItem* AItem, Integer ARecordIndex, TAccumulator& AValue);
  virtual void FinishValue(const TqvDataSummaryItem* AItem, TAccumulator& AValue) const;
  virtual Variant FinishValues(const TqvDataSummaryItems* AItems, TAccumulators& AValues) const;
  // The record at a record-list position, -1 when it does not take part.
  virtual Integer GetRecordIndexToSum(Integer APosition) const;
  virtual TCollectionItemClass GetGroupItemLinkClass() const;
  virtual TqvDataSummaryItemClass GetItemClass() const;
  virtual bool IsValidValueIndex(const Variant& AValues, Integer AIndex) const;
  virtual void Changed(bool AItemsChanged);
  virtual void CopyEventHandlers(TqvDataSummary* ASource);

 private:
  friend class TqvDataSummaryGroup;
  void PrepareSelectedRecords();
  bool FieldRemovedFrom(TqvDataSummaryItems* AItems, TqvCustomDataField* AField);
  Integer GroupOfRow(Integer ARowIndex, Integer ALevel) const;
  void CalculateLevel(Integer ALevel);

  TqvCustomDataController* FDataController;
  TOwned<TqvDataGroupSummaryItems> FDefaultGroupSummaryItems;
  bool FBeingDestroyed = false;
  TOwned<TqvDataFooterSummaryItems> FFooterSummaryItems;
  Variant FFooterValues;
  bool FAfterSummaryRunning = false;
  Integer FLockCount = 0;
  TqvSummaryOptions FOptions = 0;
  TOwned<TqvDataSummaryGroups> FSummaryGroups;
  std::vector<bool> FSelectedRecords;  // filled for one calculation under soSelectedRecords
};

using TqvDataSummaryClass = const TqvDataSummary::MetaType*;
