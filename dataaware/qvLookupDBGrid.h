// The lookup DB grid: the lookup grid bound to a dataset. Its data controller reads the records
// through a data source, its columns are bound to dataset fields by name and take their captions,
// widths and editors from the fields, and in grid mode on a sequenced dataset its scroll bar shows
// the record number. The lookup combo box shows one in its drop-down.
#pragma once

#include "dataaware/qvDBEdit.h"
#include "dataaware/qvLookupGrid.h"

class TqvCustomLookupDBGrid;
class TqvDBDataController;

// A column's defaults from its field; display texts as the data controller keeps them.
class TqvLookupDBGridDefaultValuesProvider : public TqvCustomDBEditDefaultValuesProvider {
  QJ_CLASS(TqvLookupDBGridDefaultValuesProvider, TqvCustomDBEditDefaultValuesProvider)
 public:
  using TqvCustomDBEditDefaultValuesProvider::TqvCustomDBEditDefaultValuesProvider;
  bool IsDisplayFormatDefined(bool AIsEditing) override;
};

class TqvLookupDBGridColumn : public TqvLookupGridColumn {
  QJ_CLASS(TqvLookupDBGridColumn, TqvLookupGridColumn)
 public:
  using TqvLookupGridColumn::TqvLookupGridColumn;
  // Another DB column's field name first.
  void Assign(TPersistent* Source) override;

  TqvCustomEditDefaultValuesProvider* CreateDefaultValuesProvider() override;
  // The field's display name, else the field name.
  String GetDefaultCaption() const override;
  TqvEditRepositoryItem* GetRegisteredRepositoryItem() const override;
  // DisplayWidth digits of the column's font, or the header text when wider; 64 without a field.
  Integer GetDefaultWidth() const override;

  // The field the provider answers for.
  void InitDefaultValuesProvider();
  // nullptr when the name matches no field of the open dataset.
  TField* GetField() const;
  String GetFieldName() const;
  void SetFieldName(const String& Value);

 private:
  TqvDBDataController* GetDBDataController() const;
};

class TqvLookupDBGridColumns : public TqvLookupGridColumns {
  QJ_CLASS(TqvLookupDBGridColumns, TqvLookupGridColumns)
 public:
  using TqvLookupGridColumns::TqvLookupGridColumns;
  TqvLookupDBGridColumn* Add() { return static_cast<TqvLookupDBGridColumn*>(TCollection::Add()); }
  TqvLookupDBGridColumn* GetItem(Integer AIndex) const {
    return static_cast<TqvLookupDBGridColumn*>(TCollection::GetItem(AIndex));
  }
  // The first column with that field name, whatever the letter case; nullptr when none.
  TqvLookupDBGridColumn* ColumnByFieldName(const String& AFieldName) const;
};

class TqvCustomLookupDBGrid : public TqvCustomLookupGrid {
  QJ_CLASS(TqvCustomLookupDBGrid, TqvCustomLookupGrid)
 public:
  using TqvCustomLookupGrid::TqvCustomLookupGrid;

  TCollectionItemClass GetColumnClass() const override { return &TqvLookupDBGridColumn::StaticClass(); }
  TqvLookupGridColumns* CreateColumns() override;
  TqvCustomDataController* CreateDataController() override;
  // Every column's provider takes its field first.
  void DataChanged() override;

  // One column per name, in order.
  virtual void CreateColumnsByFieldNames(TStrings* AFieldNames);
  // The columns become one per ";"-separated name.
  void SetColumnsFieldNames(const String& AFieldNames);

  TqvLookupDBGridColumns* GetColumns() const { return static_cast<TqvLookupDBGridColumns*>(inherited::GetColumns()); }
  // A dataset controller whose items are the columns; it neither follows nor moves the dataset's
  // cursor by itself.
  TqvDBDataController* GetDBDataController() const;
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* Value);
  String GetKeyFieldNames() const;
  void SetKeyFieldNames(const String& Value);

 protected:
  // In grid mode on a sequenced dataset the bar runs over the record numbers.
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;

 private:
  bool ScrollsByRecordNumber() const;
};

class TqvLookupDBGrid : public TqvCustomLookupDBGrid {
  QJ_CLASS(TqvLookupDBGrid, TqvCustomLookupDBGrid)
 public:
  using TqvCustomLookupDBGrid::TqvCustomLookupDBGrid;
};
