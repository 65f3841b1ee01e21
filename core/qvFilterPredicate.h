// The data filter compiled for one pass over the records, and the display-text prefix test of the
// incremental filter and search.
//
// Conditions on fields whose values are the storage's own read the places directly: integers are
// compared as integers, texts as bytes (the LIKE matcher, the collation of the code page), Null
// comes from the assigned flag. Everything else, and every comparison that could raise, goes
// through the criteria's general test, so the answers are always those of IsRecordMatching. Both
// objects are valid while the criteria, the fields and the records stay as they are.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "core/qvDataStorage.h"

class TqvCustomDataController;
class TqvCustomDataField;
class TqvDataFilterCriteria;

class TqvDataFilterPredicate {
 public:
  explicit TqvDataFilterPredicate(TqvDataFilterCriteria* AFilter);
  ~TqvDataFilterPredicate();
  TqvDataFilterPredicate(const TqvDataFilterPredicate&) = delete;
  TqvDataFilterPredicate& operator=(const TqvDataFilterPredicate&) = delete;

  // The answer of the filter's IsRecordMatching, raising where it raises.
  bool IsRecordMatching(Integer ARecordIndex) const;
  // AResults[i] := IsRecordMatching(ARecords[i]) for every record, in one pass.
  void MatchAll(const std::vector<Integer>& ARecords, std::vector<Byte>& AResults) const;
  // True when some condition takes the general path (which may raise, record after record).
  bool IsGeneral() const;
  // How many conditions read the storage directly; the others take the general path.
  Integer GetTypedCount() const { return FTypedCount; }

  class TNode;

 private:
  TqvDataFilterCriteria* FFilter;
  Integer FRecordCount;
  std::unique_ptr<TNode> FRoot;
  Integer FTypedCount = 0;
};

// Whether a record's display text of a field starts with a prefix, ignoring case, as
// TextStartsWith(GetFieldDisplayText(...), APrefix, True) answers; stored texts are read from
// their places, other fields through AText.
class TqvDisplayTextPrefix {
 public:
  using TTextGetter = String (*)(TqvCustomDataController* AController, TqvCustomDataField* AField, Integer ARecordIndex);

  TqvDisplayTextPrefix(TqvCustomDataController* AController, TqvCustomDataField* AField, const String& APrefix,
                       TTextGetter AText);
  bool Matches(Integer ARecordIndex) const;
  bool IsTyped() const { return FColumn != nullptr; }

 private:
  TqvCustomDataController* FController;
  TqvCustomDataField* FField;
  String FPrefix;
  String FUpperPrefix;
  TTextGetter FText;
  std::unique_ptr<TqvStoredColumn> FColumn;
  const char* FUpper;
};
