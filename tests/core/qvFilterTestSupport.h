// A small criteria over in-memory columns for the filter tests: each column is an item link with
// an ID, a caption, a field name and one value per record.
#pragma once

#include <memory>
#include <vector>

#include "core/qvFilter.h"

struct TTestFilterColumn : public TObject {
  TTestFilterColumn(Integer AID, String AName, std::vector<Variant> AValues = {})
      : ID(AID), Name(std::move(AName)), Values(std::move(AValues)) {}
  Integer ID;
  String Name;
  std::vector<Variant> Values;
};

class TTestFilterItem : public TqvFilterCriteriaItem {
  QJ_INLINE_CLASS(TTestFilterItem, TqvFilterCriteriaItem)
 public:
  using TqvFilterCriteriaItem::TqvFilterCriteriaItem;
  Variant GetDataValue(Integer ARecordIndex) override {
    auto* column = static_cast<TTestFilterColumn*>(GetItemLinkObject());
    return column ? column->Values.at(ARecordIndex) : Null();
  }
  String GetFieldCaption() override { return Column() ? "Caption of " + Column()->Name : String(); }
  String GetFieldName() override { return Column() ? Column()->Name : String(); }

 private:
  TTestFilterColumn* Column() const { return static_cast<TTestFilterColumn*>(GetItemLinkObject()); }
};

class TTestFilterCriteria : public TqvFilterCriteria {
  QJ_INLINE_CLASS(TTestFilterCriteria, TqvFilterCriteria)
 public:
  Integer GetItemLinkID(TObject* AItemLink) override {
    auto* column = dynamic_cast<TTestFilterColumn*>(AItemLink);
    return column ? column->ID : -1;
  }
  TObject* GetItemLinkByID(Integer AID) override {
    for (auto& column : Columns)
      if (column->ID == AID) return column.get();
    return nullptr;
  }
  TqvFilterCriteriaItemClass GetItemClass() const override { return &TTestFilterItem::StaticClass(); }

  TTestFilterColumn* AddColumn(Integer AID, const String& AName, std::vector<Variant> AValues = {}) {
    Columns.push_back(std::make_unique<TTestFilterColumn>(AID, AName, std::move(AValues)));
    return Columns.back().get();
  }

  std::vector<std::unique_ptr<TTestFilterColumn>> Columns;
};
