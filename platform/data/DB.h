// The dataset layer: datasets, fields, data sources, data links and parameters.
//
// A TDataSet is one core over a storage (DBStorage.h) that supplies the records: an ordered set
// of identities, each record's values, and writing. The core keeps the cursor, the record buffer
// window that data links read, the state machine, bookmarks, filtering and the events to links.
// The field subclasses are in DBFields.h; the SQL database datasets in DBSQLite.h.
//
// Where the parts live:
//   DBDataSet.cpp          open and close, fields, events to links, controls, filter settings
//   DBDataSetCursor.cpp    the window, navigation, bookmarks, Locate and Lookup
//   DBRecordIds.cpp        the records' identities, read as far as they are asked for
//   DBDataSetEditing.cpp   Edit, Insert, Append, Post, Cancel, Delete, field values
//   DBField.cpp            TField
//   DBFields.cpp           the TField subclasses and the class for each field type
//   DBDataSource.cpp       TDataSource and TDataLink
//   DBParams.cpp           TParam and TParams
//
// Events reach links in this order (each also passes TDataLink::DataEvent first):
//   open and close                  ActiveChanged (then EditingChanged when an edit was dropped)
//   Edit                            EditingChanged, RecordChanged(nullptr)
//   a field set while editing       RecordChanged(field)
//   Post                            UpdateData, EditingChanged, DataSetChanged
//   Cancel                          EditingChanged, DataSetChanged
//   Insert, Append                  EditingChanged, DataSetChanged (state dsInsert)
//   Delete                          (EditingChanged when it was editing), DataSetChanged
//   Next, Prior, MoveBy, RecNo      DataSetScrolled(distance the link's window moved)
//   First, Last, Locate, Bookmark,
//   Refresh, Filtered, Filter       DataSetChanged
//   a field's display settings      LayoutChanged
//   EnableControls back to zero     DataEvent(deDisabledStateChange, 0), EditingChanged or
//                                   ActiveChanged when the state changed meanwhile, then
//                                   DataSetChanged (LayoutChanged when the layout changed)
// While controls are disabled links hear nothing.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/data/DBRecordIds.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/Variants.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TDataSetStorage;
class TParams;
struct TFilterNode;

QJ_EXCEPTION(EDatabaseError, Exception)

// Raises EDatabaseError; the message starts with the component's name when it has one.
[[noreturn]] void DatabaseError(const String& Message, TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(PResStringRec Res, TFormatArgs Args, TComponent* Component = nullptr);

// The field types, in the platform's order (the ordinals matter: 12, 13, 15..22 and 26..29 are
// the non-scalar types).
enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

// dsEdit, dsInsert and dsSetKey.
bool IsEditState(TDataSetState AState);

enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deFocusControl, deDisabledStateChange
};

// fkAggregate: a value our datasets do not compute (always Null); see TAggregateField.
enum TFieldKind { fkData, fkLookup, fkAggregate };

enum TLocateOption : Cardinal { loCaseInsensitive = 1u << 0, loPartialKey = 1u << 1 };
using TLocateOptions = Cardinal;

enum TFilterOption : Cardinal { foCaseInsensitive = 1u << 0 };
using TFilterOptions = Cardinal;

// A bookmark: an opaque text naming one record of one dataset; empty means none.
using TBookmarkStr = String;


// One column of a dataset's storage.
struct TFieldDef {
  String Name;
  TFieldType DataType = ftUnknown;
  Integer Size = 0;       // characters of a text column, digits after the point of a decimal
  Integer Precision = 0;  // digits of a decimal column
  bool Required = false;  // the storage refuses a missing value
  bool ReadOnly = false;
};

// The next ';'-separated name of AFields from 1-based position APos (blanks trimmed); APos moves
// past the separator.
String ExtractFieldName(const String& AFields, Integer& APos);

// ---------------------------------------------------------------------------------------------
// TField: one column of a dataset, or a lookup into another dataset. Default fields belong to
// their dataset and die when it closes; fields created in code (persistent fields) join a
// dataset through SetDataSet before it opens and bind to its columns by name.

using TFieldGetTextEvent = std::function<void(TField* Sender, String& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const String& Text)>;

class TField : public TComponent {
  QJ_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* AOwner);
  ~TField() override;
  void BeforeDestruction() override;

  TDataSet* GetDataSet() const { return FDataSet; }
  // Joins or leaves a closed dataset; raises EDatabaseError on an open one.
  void SetDataSet(TDataSet* Value);
  const String& GetFieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TFieldType GetDataType() const { return FDataType; }
  TFieldKind GetFieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool GetLookup() const { return FFieldKind == fkLookup; }
  // The 1-based column of the storage; 0 for a lookup field or a field of a closed dataset.
  Integer GetFieldNo() const { return FColumn + 1; }
  // Position among the dataset's fields; -1 without dataset.
  Integer GetIndex() const;

  // DisplayLabel when it is set, else FieldName.
  String GetDisplayName() const;
  const String& GetDisplayLabel() const { return FDisplayLabel; }
  void SetDisplayLabel(const String& Value);
  // Characters the field shows; the type's default until set.
  Integer GetDisplayWidth() const;
  void SetDisplayWidth(Integer Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  Integer GetSize() const { return FSize; }
  void SetSize(Integer Value);
  const String& GetOrigin() const { return FOrigin; }
  void SetOrigin(const String& Value) { FOrigin = Value; }
  const String& GetEditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetRequired() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }

  // Lookup fields: the value is LookupResultField of the LookupDataSet record whose
  // LookupKeyFields equal this dataset's KeyFields.
  const String& GetKeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value);
  TDataSet* GetLookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const String& GetLookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const String& Value);
  const String& GetLookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const String& Value);

  // A data field of an open, modifiable dataset that is not read-only.
  bool GetCanModify() const;
  virtual bool IsBlob() const { return false; }
  // Whether a typed character can belong to the field's text.
  virtual bool IsValidChar(char AChar) const;

  // The value of the dataset's active record (Null when it has none). Writing needs an edit
  // state and a modifiable field; the value is converted to the field's type.
  Variant GetValue() const;
  void SetValue(const Variant& Value);
  bool IsNull() const;
  void Clear() { SetValue(Variant::Null()); }
  // The edit text without OnGetText; a blob's bytes as they are.
  String GetAsString() const;
  void SetAsString(const String& Value);
  Integer GetAsInteger() const;
  void SetAsInteger(Integer Value) { SetValue(Value); }
  Int64 GetAsLargeInt() const;
  double GetAsFloat() const;
  void SetAsFloat(double Value) { SetValue(Value); }
  bool GetAsBoolean() const;
  void SetAsBoolean(bool Value) { SetValue(Value); }
  TDateTime GetAsDateTime() const;
  void SetAsDateTime(TDateTime Value) { SetValue(Variant::FromDateTime(Value)); }
  Currency GetAsCurrency() const;

  // The text shown (DisplayText) and edited (Text); OnGetText replaces both. Writing Text runs
  // OnSetText, or converts the text to the field's type.
  String GetDisplayText() const { return FormatText(true); }
  String GetText() const { return FormatText(false); }
  void SetText(const String& Value);
  // Asks the dataset's links to focus the control that shows this field.
  void FocusControl();

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetDataType(TFieldType Value) { FDataType = Value; }
  // The field type's text of a value that is not Null.
  virtual String ValueText(const Variant& AValue, bool ADisplayText) const;
  // A value of the field's type from a text that is not empty (raises EConvertError).
  virtual Variant TextValue(const String& AText) const;
  // Checks a converted value against the field's range; the base accepts everything.
  virtual void CheckRange(const Variant&) const {}
  virtual Integer GetDefaultWidth() const { return 10; }
  // A display setting changed: links hear LayoutChanged while the dataset is open.
  void PropertyChanged();

 private:
  friend class TDataSet;
  String FormatText(bool ADisplayText) const;
  String TypedText(const Variant& AValue, bool ADisplayText) const;
  Variant LookupValue() const;
  void CheckLookupDataSet(TDataSet* Value) const;

  TDataSet* FDataSet = nullptr;
  TDataSet* FLookupDataSet = nullptr;
  String FFieldName;
  String FDisplayLabel;
  String FOrigin;
  String FEditMask;
  String FKeyFields;
  String FLookupKeyFields;
  String FLookupResultField;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  TAlignment FAlignment = taLeftJustify;
  Integer FDisplayWidth = 0;  // 0: the type's default
  Integer FSize = 0;
  Integer FColumn = -1;       // storage column of a data field of an open dataset
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
};

using TFieldClass = const TComponent::MetaType*;

// The field class a dataset creates for a column of that type (TField for unsupported ones).
TFieldClass DefaultFieldClass(TFieldType AType);

// ---------------------------------------------------------------------------------------------
// TDataSet

class TDataSet : public TComponent {
  QJ_CLASS(TDataSet, TComponent)
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;
  // Closes, detaches its data sources and fields and frees its default fields while whole.
  void BeforeDestruction() override;

  // --- state
  bool GetActive() const { return FState != dsInactive; }
  // True opens (raising EDatabaseError and staying closed when the storage fails), False closes
  // (a pending edit is dropped).
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState GetState() const { return FState; }
  // A field changed since Edit, Insert or Append.
  bool GetModified() const { return FModified; }
  virtual bool GetCanModify() const;
  bool IsUniDirectional() const { return false; }
  // Record numbers and the record count are exact.
  bool IsSequenced() const { return true; }
  // No record (also when closed).
  bool IsEmpty() const;
  // The filter syntax accepts "IS NULL" and "IS NOT NULL" as well as "= NULL" and "<> NULL".
  virtual bool GetUsesSQLNullSyntax() const { return false; }

  // --- navigation. Moves end a pending edit first (CheckBrowseMode).
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to ADistance records; returns how many it moved. Reaching an end sets Bof or Eof.
  // While the cursor walks on, the records it reaches are read in batches ahead of it: a write
  // of this database connection reads them again, another connection's shows at Refresh (as for
  // the records already in the window). The records' identities are read as far as they are
  // needed (TRecordIds): records this connection adds or removes beyond them show when reached.
  Integer MoveBy(Integer ADistance);
  bool GetBof() const { return FBof; }
  bool GetEof() const { return FEof; }
  // 1-based number of the active record; 0 while inserting or without records.
  Integer GetRecNo() const;
  void SetRecNo(Integer Value);
  Integer GetRecordCount() const;
  // Moves to the first record whose AKeyFields (';'-separated) equal AKeyValues (one value, or an
  // array from index 0 for several fields); loCaseInsensitive and loPartialKey apply to text.
  // The cursor moves only when a record is found.
  bool Locate(const String& AKeyFields, const Variant& AKeyValues, TLocateOptions AOptions);
  // AResultFields (one value or an array) of the first record matching as Locate does, without
  // moving the cursor; Null when there is none.
  Variant Lookup(const String& AKeyFields, const Variant& AKeyValues, const String& AResultFields);
  // Reads the records again, staying on the current record when it still exists.
  void Refresh();

  // --- editing
  void Edit();
  void Insert();
  void Append();
  // Writes the record (links push their values first); on failure the dataset keeps its edit
  // state and values and the storage is unchanged.
  void Post();
  // Drops the edit; never raises for the storage (records it cannot read are no longer shown).
  void Cancel();
  void Delete();
  // Posts a modified edit, cancels an unmodified one.
  void CheckBrowseMode();
  // Links push their values into the fields (UpdateData).
  void UpdateRecord();

  // --- controls
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }

  // --- bookmarks
  // The active record's bookmark; empty while inserting or without records.
  TBookmarkStr GetBookmark() const;
  // Moves to the record; raises EDatabaseError "Record not found" when it is gone.
  void SetBookmark(const TBookmarkStr& Value);
  bool BookmarkValid(const TBookmarkStr& ABookmark) const;
  // -1, 0 or 1 in dataset order; an empty bookmark comes first.
  Integer CompareBookmarks(const TBookmarkStr& A, const TBookmarkStr& B) const;

  // --- the record buffer window: BufferCount records (the most any link wants) around the
  // cursor; ActiveRecord is the cursor's row in it, RecordCount the rows filled.
  Integer GetBufferCount() const { return FBufferCount; }
  Integer GetActiveRecord() const { return FActiveRecord; }
  Integer GetBufferRecordCount() const { return static_cast<Integer>(FBuffers.size()); }

  // --- filtering: the expression selects the records while Filtered is set.
  const String& GetFilter() const { return FFilterText; }
  // Raises EDatabaseError for an expression that does not parse (or names no field of the open
  // dataset); the previous filter then stays.
  void SetFilter(const String& Value);
  bool GetFiltered() const { return FFiltered; }
  void SetFiltered(bool Value);
  TFilterOptions GetFilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(TFilterOptions Value);

  // --- fields
  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TField* GetField(Integer Index) const;
  TField* FindField(const String& AFieldName) const;
  // Raises EDatabaseError "Field '%s' not found".
  TField* FieldByName(const String& AFieldName) const;
  // Fills AList with the fields named in AFieldNames (';'-separated), raising for a missing one.
  void GetFieldList(TList* AList, const String& AFieldNames) const;
  // The fields were made by the dataset from its columns and go when it closes.
  bool GetDefaultFields() const { return FDefaultFields; }
  // One field's value, or an array from index 0 for several.
  Variant GetFieldValues(const String& AFieldNames) const;
  void SetFieldValues(const String& AFieldNames, const Variant& Value);
  const std::vector<TFieldDef>& GetFieldDefs() const { return FFieldDefs; }

  // --- structure
  // The parameters of a query-like dataset; nullptr for others.
  virtual TParams* GetParams() { return nullptr; }
  // The master whose records this dataset follows; nullptr for none.
  virtual TDataSource* GetDataSource() const { return nullptr; }
  // Our datasets are never nested in a field of another.
  TField* GetDataSetField() const { return nullptr; }
  // Whether ASource is this dataset's master, directly or through its masters.
  bool IsLinkedTo(const TDataSource* ASource) const;

 protected:
  // The storage behind the records; called by each Open.
  virtual std::unique_ptr<TDataSetStorage> CreateStorage() = 0;
  // The storage's records changed behind the dataset (a transaction rolled back): a browsing
  // dataset reads them again now, an editing one when its edit ends.
  void StorageChanged();
  void CheckActive() const;
  void CheckInactive() const;

 private:
  friend class TField;
  friend class TDataSource;
  friend class TDataLink;

  struct TRecordBuffer {
    TRecordId Id = 0;
    bool IsNew = false;
    std::vector<Variant> Values;
  };

  // DBDataSet.cpp
  void DoOpen();
  void DoClose();
  void CreateFields();
  void BindFields();
  void UnbindFields();
  void DestroyDefaultFields();
  void AddField(TField* AField);
  void RemoveField(TField* AField);
  void SetState(TDataSetState AState);
  void DataEvent(TDataEvent Event, NativeInt Info);
  void AddDataSource(TDataSource* ASource);
  void RemoveDataSource(TDataSource* ASource);
  void UpdateBufferCount();
  void Refilter(const TFilterNode* AFilter, bool ACaseInsensitive);
  void CheckFieldName(const String& AName, const TField* AField) const;

  // DBDataSetCursor.cpp
  Integer RecordPosition(TRecordId AId) const;
  void ReadBuffer(TRecordBuffer& ABuffer, TRecordId AId);
  // Fills the window with ACount records from position AStart, keeping the buffers of records it
  // already holds unless AReread.
  void FillWindow(Integer AStart, Integer ACount, bool AReread = false);
  // Moves the window to ACount records from AStart when the new one meets the old one on one side
  // and the old one holds exactly the records of its positions: only the records coming in are
  // read. False when it cannot.
  bool ShiftWindow(Integer AStart, Integer ACount);
  // The records at ACount positions from AFirst, next to the window on the side AForward says,
  // into FIncoming: taken from those read ahead, else read with more beyond them while the walk
  // goes on.
  void ReadBeside(Integer AFirst, Integer ACount, bool AForward);
  // Whether the walk forward has read the records at ACount positions from AFirst already, as
  // the storage holds them now: the window then takes them over as they are.
  bool AheadHolds(Integer AFirst, Integer ACount);
  // Keeps the room of a record leaving the window for the next records read.
  void SpareRow(std::vector<Variant>&& AValues);
  // Shows the record at APosition on window row ARow, or as near to it as the records allow.
  void PlaceWindow(Integer APosition, Integer ARow, bool AReread = false);
  // Reads the selection and the window's records again, staying on the active record while it
  // is still selected.
  void ReloadRecords();
  bool FindRecordId(const String& AKeyFields, const Variant& AKeyValues, TLocateOptions AOptions,
                    TRecordId& AId);
  bool DecodeBookmark(const TBookmarkStr& ABookmark, TRecordId& AId) const;

  // DBDataSetEditing.cpp
  TRecordBuffer& ActiveBuffer();
  // Inline: every field read asks for it.
  const TRecordBuffer* ActiveBufferOrNull() const {
    if (FActiveRecord < 0 || FActiveRecord >= static_cast<Integer>(FBuffers.size())) return nullptr;
    return &FBuffers[static_cast<size_t>(FActiveRecord)];
  }
  TRecordBuffer NewBuffer() const;
  void BeginInsertAppend();
  void CheckCanModify() const;
  void CheckRequiredFields();
  // The selection as the storage holds it after a write that changed other records too; false
  // (the selection kept) when it cannot be read.
  bool FetchIdsAfterWrite();
  // After Cancel: the window on record AId (or the first record), the selection read again first
  // when AReload; no records when the storage cannot give them.
  void ReturnTo(bool AHasId, TRecordId AId, bool AReload);
  void SetFieldValue(TField* AField, const Variant& Value);

  std::unique_ptr<TDataSetStorage> FStorage;
  std::vector<TFieldDef> FFieldDefs;
  std::vector<TField*> FFields;
  std::vector<TDataSource*> FDataSources;
  mutable TRecordIds FIds;  // read from the storage as far as asked for
  std::deque<TRecordBuffer> FBuffers;
  // Records read ahead of the window while walking, ascending, next to it on the side of the walk;
  // good while the storage's write count stays and their identities are still at their positions.
  std::deque<TRecordBuffer> FAhead;
  std::vector<TRecordBuffer> FIncoming;  // ReadBeside's records, kept to keep its room
  std::vector<std::vector<Variant>> FSpareRows;  // rows that left the window, to be read into
  Int64 FAheadWrites = 0;
  Integer FAheadRows = 0;     // how many records the next read takes ahead
  bool FAheadForward = true;
  TRecordBuffer FEditOriginal;      // the active record as it was before Edit
  std::vector<bool> FAssigned;      // columns set since Edit, Insert or Append
  TRecordId FInsertReturnId = 0;    // the record current before Insert or Append
  bool FHasInsertReturn = false;
  bool FReloadPending = false;      // the storage changed during the edit: read again when it ends
  std::unique_ptr<TFilterNode> FFilterExpression;
  String FFilterText;
  TFilterOptions FFilterOptions = 0;
  bool FFiltered = false;
  TDataSetState FState = dsInactive;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  Integer FDisableCount = 0;
  Integer FWindowStart = 0;  // position of the first buffer among the records
  Integer FActiveRecord = 0;
  Integer FBufferCount = 1;
  bool FBof = true;
  bool FEof = true;
  bool FModified = false;
  bool FDefaultFields = false;
};

// Keeps a dataset's controls disabled for a scope, also when an exception leaves it.
using TDisableControlsScope = TUpdateScope<TDataSet, &TDataSet::DisableControls, &TDataSet::EnableControls>;

// ---------------------------------------------------------------------------------------------
// TDataSource: joins data links to a dataset.

class TDataSource : public TComponent {
  QJ_CLASS(TDataSource, TComponent)
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  void BeforeDestruction() override;

  TDataSet* GetDataSet() const { return FDataSet; }
  // The links follow (ActiveChanged); a dataset that is this source's master, directly or through
  // others, raises EDatabaseError "Circular datalinks are not allowed".
  void SetDataSet(TDataSet* Value);
  // Edit through a link puts a browsing dataset into dsEdit.
  bool GetAutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // The dataset's state; dsInactive without dataset.
  TDataSetState GetState() const;
  void Edit();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void AddDataLink(TDataLink* ALink);
  void RemoveDataLink(TDataLink* ALink);
  void DataEvent(TDataEvent Event, NativeInt Info);
  void UpdateLinkStates();
  Integer MaxLinkBufferCount() const;

  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FDataLinks;
  bool FAutoEdit = true;
};

// ---------------------------------------------------------------------------------------------
// TDataLink: a view's connection to a dataset through a data source. Its window is BufferCount
// records of the dataset's window around the cursor; ActiveRecord and RecordCount are relative
// to it.

class TDataLink : public TPersistent {
  QJ_CLASS(TDataLink, TPersistent)
 public:
  TDataLink() = default;
  ~TDataLink() override;
  // Leaves its data source without calling its own hooks.
  void BeforeDestruction() override;

  TDataSource* GetDataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* GetDataSet() const;
  // The data source has an open dataset.
  bool GetActive() const { return FActive; }
  bool GetEditing() const { return FEditing; }
  bool GetVisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }
  Integer GetBufferCount() const { return FBufferCount; }
  // At least 1; the dataset's window grows to the largest count of its links.
  void SetBufferCount(Integer Value);
  // Switches the record whose values the fields give, without moving the window; callers
  // switch it back.
  Integer GetActiveRecord() const;
  void SetActiveRecord(Integer Value);
  // Records in this link's window.
  Integer GetRecordCount() const;
  // Puts the dataset into dsEdit through the data source; returns whether it is editing.
  bool Edit();
  // Offers an action to the data source as its target; false without source or when it declines.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Runs UpdateData; RecordChanged is not sent to this link meanwhile.
  void UpdateRecord();

 protected:
  virtual void ActiveChanged() {}
  // Dispatches to the hooks below.
  virtual void DataEvent(TDataEvent Event, NativeInt Info);
  // The base runs RecordChanged(nullptr).
  virtual void DataSetChanged();
  // The window moved by ADistance records (0: the cursor moved inside it). The base runs
  // DataSetChanged.
  virtual void DataSetScrolled(Integer ADistance);
  virtual void EditingChanged() {}
  // A field asks to be focused; a link that focuses it sets AField to nullptr.
  virtual void FocusControl(TField*& AField);
  // The base runs DataSetChanged.
  virtual void LayoutChanged();
  virtual void RecordChanged(TField* AField);
  virtual void UpdateData() {}

 private:
  friend class TDataSet;
  friend class TDataSource;
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  Integer ClampWindow(Integer AFirst) const;
  void Detach();

  TDataSource* FDataSource = nullptr;
  Integer FFirstRecord = 0;  // this window's first row in the dataset's window
  Integer FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FUpdating = false;
  bool FVisualControl = false;
};

// ---------------------------------------------------------------------------------------------
// Parameters of a query: named values bound to the ":name" markers of its SQL text.

class TParam : public TCollectionItem {
  QJ_CLASS(TParam, TCollectionItem)
 public:
  explicit TParam(TCollection* Collection) : TCollectionItem(Collection) {}

  const String& GetName() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  // Empty until set; Empty and Null both bind as SQL NULL.
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& Value) { FValue = Value; }
  bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
  void Clear() { FValue = Variant::Null(); }
  void Assign(TPersistent* Source) override;
  String GetDisplayName() const override { return FName; }

 private:
  String FName;
  Variant FValue;
};

class TParams : public TCollection {
  QJ_CLASS(TParams, TCollection)
 public:
  TParams();

  TParam* GetItem(Integer Index) const { return static_cast<TParam*>(TCollection::GetItem(Index)); }
  TParam* CreateParam(const String& AName);
  // The parameter of that name (without regard to case), or nullptr.
  TParam* FindParam(const String& AName) const;
  // Raises EDatabaseError "Parameter '%s' not found".
  TParam* ParamByName(const String& AName) const;
  // One parameter's value, or an array from index 0 for several ';'-separated names.
  Variant GetParamValues(const String& AParamNames) const;
  void SetParamValues(const String& AParamNames, const Variant& Value);
  // Rebuilds the list from the ":name" markers of ASQL (outside quotes and comments), keeping
  // the values of names that were there before.
  void ParseSQL(const String& ASQL);

 private:
  std::vector<TParam*> ParamList(const String& AParamNames) const;
};
