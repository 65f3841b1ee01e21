// The storage behind a dataset: what a TDataSet asks of the source of its records. A storage
// keeps the records selected by its filter in ascending identity order, reads and writes single
// records and finds records by column values. Errors of the source raise EDatabaseError.
#pragma once

#include <vector>

#include "platform/data/DB.h"

class TDataSetStorage {
 public:
  virtual ~TDataSetStorage() = default;

  // Opens the source; ADefs receives one definition per column, in column order.
  virtual void Open(std::vector<TFieldDef>& ADefs) = 0;
  // Selects the records that pass AFilter (nullptr: all) from the next FetchIds on. Raises
  // EDatabaseError, keeping the previous selection, for a filter the storage cannot apply.
  // AFilter stays alive until the next SetFilter.
  virtual void SetFilter(const TFilterNode* AFilter, bool ACaseInsensitive) = 0;
  // The identities of the selected records, ascending.
  virtual void FetchIds(std::vector<TRecordId>& AIds) = 0;
  // Whether the storage reads parts of its selection (FetchIdPage, CountIds) from its source;
  // datasets then read identities as far as they need them. The base takes them from FetchIds.
  virtual bool PagesIds() const { return false; }
  // Up to ALimit identities of the selection beyond AFrom: ascending after it, or descending
  // before it; from the first (the last) record when AFrom is null.
  virtual void FetchIdPage(const TRecordId* AFrom, bool ADescending, Integer ALimit, std::vector<TRecordId>& AIds);
  // How many selected records come after AAfter (all of them when it is null).
  virtual Integer CountIds(const TRecordId* AAfter);
  // One value per column (Null for SQL NULL); raises EDatabaseError when the record is gone.
  virtual void ReadRecord(TRecordId AId, std::vector<Variant>& AValues) = 0;
  // A count that moves whenever this connection writes to the source (through any dataset):
  // records read before it moved may be out of date. The base never moves.
  virtual Int64 WriteCount() const { return 0; }
  // The records of ascending AIds, as ReadRecord gives them; the base reads one by one. Rows that
  // AValues holds on entry may be reused for their room.
  virtual void ReadRecords(const std::vector<TRecordId>& AIds, std::vector<std::vector<Variant>>& AValues);
  // The first selected record whose AColumns match AValues (LocateValueMatches).
  virtual bool FindRecord(const std::vector<Integer>& AColumns, const std::vector<Variant>& AValues,
                          TLocateOptions AOptions, TRecordId& AId) = 0;

  virtual bool CanModify() const = 0;
  // Each write is all or nothing: a failure leaves the source unchanged.
  // Writes a new record from the columns AAssigned marks; returns its identity.
  virtual TRecordId InsertRecord(const std::vector<Variant>& AValues, const std::vector<bool>& AAssigned) = 0;
  // Writes the columns AChanged marks; returns the record's identity afterwards.
  virtual TRecordId UpdateRecord(TRecordId AId, const std::vector<Variant>& AValues,
                                 const std::vector<bool>& AChanged) = 0;
  virtual void DeleteRecord(TRecordId AId) = 0;
  // Whether the last write changed other records as well (the source's own rules: triggers,
  // cascades, conflicts resolved by replacing a record); the dataset then reads them again.
  virtual bool WroteOthers() const { return false; }
};

// Locate's comparison of one value with one key value: Null matches Null only; texts compare
// without case under loCaseInsensitive and as a prefix under loPartialKey; other values compare
// as Variants (a value that does not convert does not match).
bool LocateValueMatches(const Variant& AValue, const Variant& AKey, TLocateOptions AOptions);
bool LocateTextMatches(const String& AValue, const String& AKey, TLocateOptions AOptions);

// AValue as a value of a field of type AType (Null stays Null). Texts of dates may be ISO 8601
// ("2024-01-31", "2024-01-31 10:20:30", "10:20:30") or in the locale's format; Booleans read
// "True"/"False" or a number; NaN is no value of any field. Raises EConvertError or EVariantError
// when it does not convert.
Variant CoerceToFieldType(const Variant& AValue, TFieldType AType);
// The field types whose values are text.
bool IsTextFieldType(TFieldType AType);
// ISO 8601 text of dates and times as storages keep them: "2024-01-31" (ftDate),
// "10:20:30" or "10:20:30.250" (ftTime), both joined by a blank for other types.
String DateTimeToISO(TDateTime AValue, TFieldType AType);
// Reads such a text (also with 'T' between date and time, or without seconds).
bool TryISOToDateTime(const String& AText, TDateTime& AValue);
