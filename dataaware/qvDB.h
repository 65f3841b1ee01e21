// The bottom of the dataset binding: fields named in ';'-separated lists, key values (one value
// for one field, an array from index 0 for several), field names as filter expressions write
// them, whether a field may be edited or shows a text of its own, and the registries that attach
// behaviour (adapters) to dataset classes.
#pragma once

#include <vector>

#include "platform/data/DB.h"
#include "platform/rtl/Scopes.h"

class TStrings;

using TqvDBFieldList = std::vector<TField*>;

// A dataset's controls disabled for a block.
using TqvControlsDisabledScope = TUpdateScope<TDataSet, &TDataSet::DisableControls, &TDataSet::EnableControls>;

// True when a name follows the first ';' ("a;" is one name).
bool IsMultipleFieldNames(const String& AFieldNames);
// The number of names; the empty text has none.
Integer GetFieldNameCount(const String& AFieldNames);
// Clears AList and adds every name (trimmed) in order.
void SplitFieldNames(const String& AFieldNames, TStrings* AList);
// The fields of ADataSet named in AFieldNames, in list order; raises EDatabaseError for a name
// the dataset does not have.
TqvDBFieldList GetDataSetFields(TDataSet* ADataSet, const String& AFieldNames);
// No field: Null; one: its value; several: an array from index 0 of their values.
Variant GetFieldValues(const TqvDBFieldList& AFields);
// The reverse of GetFieldValues; several fields take the elements of an array in order.
void SetFieldValues(const TqvDBFieldList& AFields, const Variant& AValues);
// The name a filter expression gives the field: its Origin, unless AIgnoreOrigin or Origin is
// empty, then its FieldName quoted as QuoteFieldName quotes it. Empty for no field.
String GetFilterFieldName(const TField* AField, bool AIgnoreOrigin);
// A name that is no identifier (letters, digits and '_', not starting with a digit) goes between
// '[' and ']', each ']' in it doubled, so the expression reads back the same name.
void QuoteFieldName(String& AName);
bool SameTextUpper(const String& A, const String& B);
// A field that can be modified; with AAnyKind False a non-scalar field needs an OnSetText handler.
bool CanModifyField(const TField* AField, bool AAnyKind);
// Whether the text shown for the field differs from its value (AForBinary answers for blobs and
// Booleans).
bool FieldNeedsDisplayText(const TField* AField, bool AForBinary);
// A lookup field: its dataset's key fields (KeyFields) exist and can all be modified.
bool GetFieldsCanModify(const TField* AField);
// The types 12, 13, 15..22 and 26..29: values that are not scalars.
bool IsNonScalarFieldType(TFieldType AType);

// Bisection over ACount sorted entries: ACompare(i) orders entry i against the value sought
// (negative: the entry comes first). True with AIndex at a match, else AIndex is where the value
// belongs.
template <class TCompare>
bool FindSorted(Integer ACount, const TCompare& ACompare, Integer& AIndex) {
  Integer low = 0;
  Integer high = ACount - 1;
  while (low <= high) {
    Integer middle = low + (high - low) / 2;
    Integer compare = ACompare(middle);
    if (compare == 0) {
      AIndex = middle;
      return true;
    }
    if (compare < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  AIndex = low;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Adapters: behaviour objects attached to dataset classes

class TqvDBAdapterItem : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvDBAdapterItem, TClass>;
  QJ_CLASS(TqvDBAdapterItem, TObject)

 public:
  explicit TqvDBAdapterItem(TClass ADataSetClass) : FDataSetClass(ADataSetClass) {}
  TClass GetDataSetClass() const { return FDataSetClass; }

 private:
  TClass FDataSetClass;
};

using TqvDBAdapterItemClass = const TqvDBAdapterItem::MetaType*;

// Adapters in class ancestry order: an ancestor's adapter before its descendants'. Lookups scan
// from the end, so the most specific class, and of one class the newest adapter, wins.
class TqvDBAdapterList : public TObject {
  QJ_CLASS(TqvDBAdapterList, TObject)
 public:
  TqvDBAdapterList() = default;
  ~TqvDBAdapterList() override;

  // True with AIndex at the adapter of ADataSetClass or its nearest registered ancestor. False:
  // AIndex is the lowest adapter of a descendant of ADataSetClass, else left as it came (-1).
  virtual bool FindAdapter(TClass ADataSetClass, Integer& AIndex) const;
  virtual void RegisterAdapter(TClass ADataSetClass, TqvDBAdapterItemClass AAdapterClass);
  // Frees every adapter of exactly AAdapterClass registered for ADataSetClass.
  virtual void UnregisterAdapter(TClass ADataSetClass, TqvDBAdapterItemClass AAdapterClass);

  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FAdapterItems.size()); }
  TqvDBAdapterItem* GetItem(Integer AIndex) const;
  // The adapter for ADataSet's class, nullptr for none (or no dataset).
  TqvDBAdapterItem* FindAdapterFor(const TDataSet* ADataSet) const;

 private:
  std::vector<TqvDBAdapterItem*> FAdapterItems;
};

// Selects the records of a detail dataset that belong to a master record: by reopening a query
// with the key values as its parameters (SQL mode), or by Locate.
class TqvDBProviderDetailFilterAdapter : public TqvDBAdapterItem {
  QJ_CLASS(TqvDBProviderDetailFilterAdapter, TqvDBAdapterItem)
 public:
  using TqvDBAdapterItem::TqvDBAdapterItem;

  // The dataset has parameters, is open and its parameters hold AValues (Null-aware); a closed
  // query shows nothing, whatever its parameters hold.
  virtual bool IsCurrentQuery(TDataSet* ADataSet, const String& AParamNames, const Variant& AValues);
  // The current query (IsCurrentQuery): First only. Otherwise, with the dataset's controls
  // disabled, close, set the parameters, open, and AReopened := true. Nothing without parameters.
  virtual void ReopenSQL(TDataSet* ADataSet, const String& AParamNames, const Variant& AValues, bool& AReopened);
  // ASQLMode: ReopenSQL with the key field names as parameter names; else Locate.
  virtual void SelectDetail(TDataSet* ADataSet, const String& AKeyFieldNames, const Variant& AValues,
                            bool ASQLMode, bool& AReopened);
};

// The process-wide registry of detail selection adapters; TDataSet has the plain one.
TqvDBAdapterList* DBDetailFilterAdapters();
