// Filters: the operator of each condition (matching and texts), the criteria tree that combines
// conditions with AND, OR, NOT AND and NOT OR, its texts for people and for expressions, its
// binary stream, the data controller's filter and the value lists of filter drop-downs.
//
// Where the parts live: qvFilterOperators.cpp (operators: matching and texts),
// qvFilterCriteria.cpp (the criteria tree, its texts and stream), qvFilterData.cpp (the data
// controller's filter), qvFilterValueList.cpp (the value lists of filter drop-downs).
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "core/qvVariants.h"
#include "platform/rtl/Component.h"

class TStream;
class TqvCustomDataController;
class TqvCustomDataField;
class TqvFilterCriteria;
class TqvFilterCriteriaItem;
class TqvFilterCriteriaItemList;
class TqvFilterValueList;
class TqvDataFilterCriteria;
class TqvDataFilterValueList;

// ---------------------------------------------------------------------------------------------
// LIKE matching and display value helpers

// Byte-wise, case-sensitive LIKE: AAnySeries matches any run of characters (also none, also
// several in a row), AAnyChar exactly one. AEscape 0 means no escape character; an escape as the
// last pattern character is ignored. Runs in O(text x pattern) at worst, never exponential.
bool LikeMatch(const String& AText, const String& APattern, char AAnySeries, char AAnyChar,
               char AEscape = 0);

// A LIKE pattern made ready for matching many texts, as LikeMatch matches them: escapes resolved,
// runs of the any-series wildcard merged, and the common shapes (a literal, a prefix, a suffix, a
// contained text) matched by a plain search.
class TqvLikePattern {
 public:
  TqvLikePattern(const String& APattern, char AAnySeries, char AAnyChar, char AEscape = 0);
  // AMap, when given, is a 256-entry table every text byte is mapped through first (the
  // upper-case table of case-insensitive filtering); the pattern is matched as it is.
  bool Matches(std::string_view AText, const char* AMap = nullptr) const;

 private:
  enum class TShape : Byte { General, Exact, Prefix, Suffix, Contains };
  enum class TTokenKind : Byte { AnySeries, AnyChar, Literal };
  struct TToken {
    TTokenKind Kind;
    char Char;
  };
  bool MatchesGeneral(std::string_view AText, const char* AMap) const;
  bool MatchesAt(std::string_view AText, size_t APos, const char* AMap) const;
  size_t Find(std::string_view AText, const char* AMap) const;

  std::vector<TToken> FTokens;
  TShape FShape = TShape::General;
  String FLiteral;  // the literal part of every shape but General
};

// Shapes of a LIKE pattern.
enum TqvLikePatternShape : Integer {
  lpsGeneral = 0,
  lpsBeginsWith = 1,  // abc%
  lpsEndsWith = 2,    // %abc
  lpsContains = 3,    // %abc%
};
// Collapses runs of AAnySeries and strips a leading and a trailing one (for patterns of at least
// two characters), returning which of them were there.
Integer GetLikePatternShape(String& APattern, char AAnySeries);

// The piece of AText from APos (1-based) up to the next ';' or the end, without surrounding
// spaces; APos moves past the ';'.
String ExtractNextListItem(const String& AText, Integer& APos);
// A filter value as shown to people: Null is the filter word "blank".
String FilterValueToText(const Variant& AValue);

// ---------------------------------------------------------------------------------------------
// Operators

enum TqvFilterOperatorKind : Byte {
  okEqual, okNotEqual, okLess, okLessEqual, okGreater, okGreaterEqual, okLike, okNotLike,
  okBetween, okNotBetween, okInList, okNotInList, okYesterday, okToday, okTomorrow, okLastWeek,
  okLastMonth, okLastYear, okThisWeek, okThisMonth, okThisYear, okNextWeek, okNextMonth,
  okNextYear,
};
constexpr Integer qvFilterOperatorKindCount = okNextYear + 1;

class TqvFilterOperator : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvFilterOperator, TqvFilterCriteriaItem*>;
  QJ_CLASS(TqvFilterOperator, TObject)

 public:
  explicit TqvFilterOperator(TqvFilterCriteriaItem* ACondition) : FCondition(ACondition) {}

  // The whole condition as an expression; used only when WritesWholeExpression.
  virtual String GetItemExpressionText(const Variant& AValue);
  // A value as written in an expression: NULL, quoted text (inner quotes doubled), quoted dates.
  virtual String GetValueExpressionText(const Variant& AValue);
  // Adjusts a condition's stored display value before it is shown.
  virtual void PrepareDisplayValue(String& AText);
  // Runs before each filter pass (whenever the criteria change).
  virtual void Prepare() {}
  virtual bool FormatValueExpression(const Variant& AValue, String& AText);
  // Both values arrive normalised by the criteria.
  virtual bool IsMatch(const Variant& AValue, const Variant& AFilterValue) = 0;
  // The caption shown to people; the base shows the symbol.
  virtual String GetDisplayText();
  // The symbol used in expressions ("=", "LIKE", ...).
  virtual String GetExpressionText() = 0;
  virtual bool AlwaysShowsCaption() const { return false; }
  virtual bool WritesWholeExpression() const { return false; }

  TqvFilterCriteriaItem* GetCondition() const { return FCondition; }
  TqvFilterCriteria* GetCriteria() const;

 private:
  TqvFilterCriteriaItem* FCondition;
};

using TqvFilterOperatorClass = const TqvFilterOperator::MetaType*;

// The class of an operator kind; nullptr for a kind outside 0..23.
TqvFilterOperatorClass GetFilterOperatorClass(Integer AKind);

class TqvFilterEqualOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterEqualOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

class TqvFilterNotEqualOperator : public TqvFilterEqualOperator {
  QJ_CLASS(TqvFilterNotEqualOperator, TqvFilterEqualOperator)
 public:
  using TqvFilterEqualOperator::TqvFilterEqualOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

// The four orderings share one shape: a comparison by VarCompareEx and a test of its sign.
class TqvFilterOrderOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterOrderOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;

 protected:
  virtual bool Accepts(Integer ACompare) const = 0;
};

#define QJ_FILTER_ORDER_OPERATOR(Cls)                     \
  class Cls : public TqvFilterOrderOperator {             \
    QJ_CLASS(Cls, TqvFilterOrderOperator)                 \
   public:                                                \
    using TqvFilterOrderOperator::TqvFilterOrderOperator; \
    String GetDisplayText() override;                     \
    String GetExpressionText() override;                  \
                                                          \
   protected:                                             \
    bool Accepts(Integer ACompare) const override;        \
  };
QJ_FILTER_ORDER_OPERATOR(TqvFilterLessOperator)
QJ_FILTER_ORDER_OPERATOR(TqvFilterLessEqualOperator)
QJ_FILTER_ORDER_OPERATOR(TqvFilterGreaterOperator)
QJ_FILTER_ORDER_OPERATOR(TqvFilterGreaterEqualOperator)
#undef QJ_FILTER_ORDER_OPERATOR

class TqvFilterLikeOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterLikeOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  void PrepareDisplayValue(String& AText) override;
  String GetDisplayText() override;
  String GetExpressionText() override;

 protected:
  // The shape of the condition's pattern (its Value as text).
  Integer GetPatternShape() const;
};

class TqvFilterNotLikeOperator : public TqvFilterLikeOperator {
  QJ_CLASS(TqvFilterNotLikeOperator, TqvFilterLikeOperator)
 public:
  using TqvFilterLikeOperator::TqvFilterLikeOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

class TqvFilterBetweenOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterBetweenOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  // Raises EVariantArrayError when the filter value is not an array of two.
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  void PrepareDisplayValue(String& AText) override;
  bool FormatValueExpression(const Variant& AValue, String& AText) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
  bool AlwaysShowsCaption() const override { return true; }
};

class TqvFilterNotBetweenOperator : public TqvFilterBetweenOperator {
  QJ_CLASS(TqvFilterNotBetweenOperator, TqvFilterBetweenOperator)
 public:
  using TqvFilterBetweenOperator::TqvFilterBetweenOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

class TqvFilterInListOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterInListOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  void PrepareDisplayValue(String& AText) override;
  bool FormatValueExpression(const Variant& AValue, String& AText) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
  bool AlwaysShowsCaption() const override { return true; }
};

class TqvFilterNotInListOperator : public TqvFilterInListOperator {
  QJ_CLASS(TqvFilterNotInListOperator, TqvFilterInListOperator)
 public:
  using TqvFilterInListOperator::TqvFilterInListOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

// "is blank": an equal or LIKE condition whose value is blank.
class TqvFilterNullOperator : public TqvFilterEqualOperator {
  QJ_CLASS(TqvFilterNullOperator, TqvFilterEqualOperator)
 public:
  using TqvFilterEqualOperator::TqvFilterEqualOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  void PrepareDisplayValue(String& AText) override;
  String GetDisplayText() override;
};

// "is not blank": a not-equal or NOT LIKE condition whose value is blank.
class TqvFilterNotNullOperator : public TqvFilterNullOperator {
  QJ_CLASS(TqvFilterNotNullOperator, TqvFilterNullOperator)
 public:
  using TqvFilterNullOperator::TqvFilterNullOperator;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetDisplayText() override;
  String GetExpressionText() override;
};

// Relative dates: the condition holds for RangeStart <= value < RangeEnd, the range computed
// from today's date whenever the operator is prepared.
class TqvFilterDateOperator : public TqvFilterOperator {
  QJ_CLASS(TqvFilterDateOperator, TqvFilterOperator)
 public:
  using TqvFilterOperator::TqvFilterOperator;
  String GetItemExpressionText(const Variant& AValue) override;
  void PrepareDisplayValue(String& AText) override;
  void Prepare() override;
  bool IsMatch(const Variant& AValue, const Variant& AFilterValue) override;
  String GetExpressionText() override;
  bool WritesWholeExpression() const override { return true; }

  TDateTime GetRangeStart() const { return FRangeStart; }
  TDateTime GetRangeEnd() const { return FRangeEnd; }

 protected:
  virtual void CalculateRange(TDateTime AToday, TDateTime& AStart, TDateTime& AEnd) const = 0;
  virtual PResStringRec GetCaption() const = 0;

 private:
  TDateTime FRangeStart = 0;
  TDateTime FRangeEnd = 0;
};

#define QJ_FILTER_DATE_OPERATOR(Cls)                                                          \
  class Cls : public TqvFilterDateOperator {                                                  \
    QJ_CLASS(Cls, TqvFilterDateOperator)                                                      \
   public:                                                                                    \
    using TqvFilterDateOperator::TqvFilterDateOperator;                                       \
                                                                                              \
   protected:                                                                                 \
    void CalculateRange(TDateTime AToday, TDateTime& AStart, TDateTime& AEnd) const override; \
    PResStringRec GetCaption() const override;                                                \
  };
QJ_FILTER_DATE_OPERATOR(TqvFilterYesterdayOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterTodayOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterTomorrowOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterLastWeekOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterLastMonthOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterLastYearOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterThisWeekOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterThisMonthOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterThisYearOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterNextWeekOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterNextMonthOperator)
QJ_FILTER_DATE_OPERATOR(TqvFilterNextYearOperator)
#undef QJ_FILTER_DATE_OPERATOR

// ---------------------------------------------------------------------------------------------
// Criteria tree

enum TqvFilterJoinKind : Byte { fjkAnd = 0, fjkOr = 1, fjkNotAnd = 2, fjkNotOr = 3 };

class TqvCustomFilterCriteriaItem : public TObject {
  QJ_CLASS(TqvCustomFilterCriteriaItem, TObject)
 public:
  explicit TqvCustomFilterCriteriaItem(TqvFilterCriteriaItemList* AParent) : FParent(AParent) {}
  // Removes the item from its parent's children.
  ~TqvCustomFilterCriteriaItem() override;

  // Tells the criteria that the tree changed.
  virtual void Changed();
  virtual TqvFilterCriteria* GetCriteria() const;
  virtual bool IsItemList() const = 0;
  // Runs after the item was read from a criteria stream; no extra data by default.
  virtual void ReadExtraData(TStream*) {}
  virtual void WriteData(TStream* AStream);

  TqvFilterCriteriaItemList* GetParent() const { return FParent; }

 private:
  friend class TqvFilterCriteriaItemList;
  TqvFilterCriteriaItemList* FParent;
};

class TqvFilterCriteriaItemList : public TqvCustomFilterCriteriaItem {
  QJ_CLASS(TqvFilterCriteriaItemList, TqvCustomFilterCriteriaItem)
 public:
  TqvFilterCriteriaItemList(TqvFilterCriteriaItemList* AParent, TqvFilterJoinKind AJoinKind)
      : TqvCustomFilterCriteriaItem(AParent), FJoinKind(AJoinKind) {}
  ~TqvFilterCriteriaItemList() override;

  TqvFilterCriteria* GetCriteria() const override;
  bool IsItemList() const override { return true; }
  void WriteData(TStream* AStream) override;
  // Takes the child out (without freeing it); notifies when it was a child.
  virtual void RemoveItem(TqvCustomFilterCriteriaItem* AItem);

  TqvFilterCriteriaItem* AddItem(TObject* AItemLink, TqvFilterOperatorKind AOperatorKind,
                                 const Variant& AValue, const String& ADisplayValue);
  TqvFilterCriteriaItemList* AddItemList(TqvFilterJoinKind AJoinKind);
  // Frees the children, last first, in one update bracket.
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // nullptr for an index outside 0..Count-1.
  TqvCustomFilterCriteriaItem* GetItem(Integer AIndex) const;
  Integer IndexOf(const TqvCustomFilterCriteriaItem* AItem) const;
  TqvFilterJoinKind GetJoinKind() const { return FJoinKind; }
  void SetJoinKind(TqvFilterJoinKind AValue);
  // Takes ownership of AItem (whose parent must be this list) and appends it.
  void AppendChild(TqvCustomFilterCriteriaItem* AItem);

 private:
  friend class TqvFilterCriteria;
  // Moves AItem from its list to the end of this one.
  void AdoptChild(TqvCustomFilterCriteriaItem* AItem);

  TqvFilterJoinKind FJoinKind;
  std::vector<TqvCustomFilterCriteriaItem*> FItems;
  TqvFilterCriteria* FOwnerCriteria = nullptr;
};

// A condition: a field (the item link), an operator kind, a value and the value as shown.
class TqvFilterCriteriaItem : public TqvCustomFilterCriteriaItem {
 public:
  using MetaType = TMetaClassFor<TqvFilterCriteriaItem, TqvFilterCriteriaItemList*, TObject*,
                                 TqvFilterOperatorKind, const Variant&, const String&>;
  QJ_CLASS(TqvFilterCriteriaItem, TqvCustomFilterCriteriaItem)

 public:
  TqvFilterCriteriaItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                        TqvFilterOperatorKind AOperatorKind, const Variant& AValue,
                        const String& ADisplayValue);
  ~TqvFilterCriteriaItem() override;
  // Creates the operator; a blank test without display value shows "blank".
  void AfterConstruction() override;

  bool IsItemList() const override { return false; }
  void WriteData(TStream* AStream) override;

  virtual Variant GetDataValue(Integer ARecordIndex) = 0;
  virtual String GetDisplayValueText();
  virtual String GetValueText(bool ADisplayForm);
  virtual String GetFieldCaption() = 0;
  virtual String GetFieldName() = 0;
  virtual TqvFilterOperatorClass GetOperatorClass();
  virtual TObject* GetItemLink() const { return FItemLink; }
  void RecreateOperator();
  bool IsNullValue(const Variant& AValue) const;

  const String& GetDisplayValue() const { return FDisplayValue; }
  void SetDisplayValue(const String& AValue);
  // The stored link (for the data filter a data field); GetItemLink may map it further.
  TObject* GetItemLinkObject() const { return FItemLink; }
  TqvFilterOperatorKind GetOperatorKind() const { return FOperatorKind; }
  void SetOperatorKind(TqvFilterOperatorKind AValue);
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& AValue);
  TqvFilterOperator* GetOperatorObject() const { return FOperatorObject.get(); }

 private:
  String FDisplayValue;
  TObject* FItemLink;
  TOwned<TqvFilterOperator> FOperatorObject;
  TqvFilterOperatorKind FOperatorKind;
  Variant FValue;
};

using TqvFilterCriteriaItemClass = const TqvFilterCriteriaItem::MetaType*;

enum TqvFilterCriteriaOption : Byte {
  fcoCaseInsensitive = 1,
  fcoShowOperatorDescription = 2,
  fcoSoftNull = 4,
  fcoSoftCompare = 8,
};
using TqvFilterCriteriaOptions = Byte;

class TqvFilterValueList;
using TqvFilterValueListClass = const TMetaClassFor<TqvFilterValueList, TqvFilterCriteria*>*;

// A filter as a tree. The root list is owned; every change notifies through CheckChanged, and
// nested update brackets collapse into one Changed at the outermost EndUpdate.
class TqvFilterCriteria : public TPersistent {
  QJ_CLASS(TqvFilterCriteria, TPersistent)
 public:
  TqvFilterCriteria();
  ~TqvFilterCriteria() override;

  // Another criteria: properties, the tree (through the stream, links by ID) and the events.
  void Assign(TPersistent* ASource) override;

  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void CancelUpdate() { --FLockCount; }
  bool IsUpdateLocked() const { return FLockCount > 0; }

  virtual void CheckChanged();
  virtual String GetValueText(const Variant& AValue);
  String GetFilterCaption() { return BuildFilterText(true); }
  String GetFilterText() { return BuildFilterText(false); }
  virtual String BuildFilterText(bool ADisplayForm);
  virtual Integer GetItemLinkID(TObject* AItemLink) = 0;
  virtual TqvFilterCriteriaItemClass GetItemClass() const = 0;
  virtual String GetItemText(TqvFilterCriteriaItem* AItem, bool ADisplayForm);
  virtual String GetItemFieldText(TqvFilterCriteriaItem* AItem, bool ADisplayForm);
  virtual String GetItemOperatorText(TqvFilterCriteriaItem* AItem, bool ADisplayForm);
  virtual String GetItemValueText(TqvFilterCriteriaItem* AItem, bool ADisplayForm);
  virtual TObject* GetItemLinkByID(Integer AID) = 0;
  virtual TqvFilterValueListClass GetValueListClass() const;
  virtual void PrepareOperators();
  virtual Variant NormalizeValue(const Variant& AValue) const;
  // Replaces the tree with the one in the stream; a malformed stream raises EReadError and
  // leaves the tree, and the filter in force, as they were.
  virtual void ReadData(TStream* AStream);
  virtual void Changed();
  virtual void WriteData(TStream* AStream);
  virtual void AssignEvents(TPersistent* ASource);
  virtual void AssignThroughStream(TqvFilterCriteria* ASource);
  // A nil parent means the root.
  virtual TqvFilterCriteriaItem* AddItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                                         TqvFilterOperatorKind AOperatorKind,
                                         const Variant& AValue, const String& ADisplayValue);
  virtual TqvFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink);
  virtual bool IsEmpty() const;
  virtual void RestoreDefaults();
  virtual bool IsNullValue(const Variant& AValue) const;

  // Frees the conditions and sets the root back to AND.
  void Clear();
  // Removes every condition on AItemLink and tidies the lists left behind.
  void RemoveItemByItemLink(TObject* AItemLink);
  bool IsRecordMatching(Integer ARecordIndex);
  // The general test of one condition: its value read, both sides normalised, the operator asked.
  bool IsConditionMatching(TqvFilterCriteriaItem* AItem, Integer ARecordIndex);
  // Descendants that change how values are normalised, tested for blanks or read by conditions
  // answer True; their conditions are then always tested the general way.
  virtual bool IsEvaluationCustomized() const { return false; }

  TqvFilterCriteriaItemList* GetRoot() const { return FRoot.get(); }
  const String& GetDateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const String& AValue);
  Integer GetMaxValueListCount() const { return FMaxValueListCount; }
  void SetMaxValueListCount(Integer AValue) { FMaxValueListCount = AValue; }
  TqvFilterCriteriaOptions GetOptions() const { return FOptions; }
  void SetOptions(TqvFilterCriteriaOptions AValue);
  bool HasOption(TqvFilterCriteriaOption AOption) const { return (FOptions & AOption) != 0; }
  char GetPercentWildcard() const { return FPercentWildcard; }
  void SetPercentWildcard(char AValue);
  char GetUnderscoreWildcard() const { return FUnderscoreWildcard; }
  void SetUnderscoreWildcard(char AValue);

  TNotifyEvent OnChanged;

 private:
  String BuildListText(TqvFilterCriteriaItemList* AList, bool ADisplayForm);
  bool IsListMatching(TqvFilterCriteriaItemList* AList, Integer ARecordIndex);
  void PrepareListOperators(TqvFilterCriteriaItemList* AList);
  static TqvFilterCriteriaItem* FindInList(TqvFilterCriteriaItemList* AList, TObject* AItemLink);
  void TidyAfterRemoval(TqvFilterCriteriaItemList* AList);
  TOwned<TqvFilterCriteriaItemList> NewRoot(TqvFilterJoinKind AJoinKind);
  void ReadItems(TStream* AStream, TqvFilterCriteriaItemList* AList, Integer ACount,
                 Integer ADepth);
  void ReadCondition(TStream* AStream, TqvFilterCriteriaItemList* AList);

  String FDateTimeFormat;
  Integer FLockCount = 0;
  Integer FMaxValueListCount = 0;
  TqvFilterCriteriaOptions FOptions = 0;
  char FPercentWildcard = '%';
  TOwned<TqvFilterCriteriaItemList> FRoot;
  char FUnderscoreWildcard = '_';
};

// ---------------------------------------------------------------------------------------------
// Value lists of filter drop-downs

enum TqvFilterValueItemKind : Byte {
  fvkAll = 0,        // "(All)": no filter on the item
  fvkCustom = 1,     // "(Custom...)": the custom filter dialog
  fvkBlanks = 2,     // "(Blanks)"
  fvkNonBlanks = 3,  // "(NonBlanks)"
  fvkValue = 5,      // one value of the item
};

struct TqvFilterValueItem {
  TqvFilterValueItemKind EntryKind = fvkValue;
  Variant EntryValue;
  String EntryText;
};

// Special entries first, in the order added, then the distinct values in ascending order.
class TqvFilterValueList : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvFilterValueList, TqvFilterCriteria*>;
  QJ_CLASS(TqvFilterValueList, TObject)

 public:
  explicit TqvFilterValueList(TqvFilterCriteria* ACriteria) : FOwnerCriteria(ACriteria) {}
  ~TqvFilterValueList() override;

  virtual Integer CompareItem(Integer AIndex, const Variant& AValue, const String& ADisplayText);
  // A value entry is dropped when an equal one is listed or the list is full (unless
  // AAddToEnd, which appends it as it is).
  virtual void Add(TqvFilterValueItemKind AKind, const Variant& AValue, bool AAddToEnd,
                   const String& ADisplayText);
  virtual void Clear();
  // Binary search over the value entries; AIndex is the match or the insertion point.
  virtual bool Find(const Variant& AValue, const String& ADisplayText, Integer& AIndex);
  // The entry a drop-down shows as selected for a condition; -1 when there is none.
  virtual Integer GetIndexOfCriteriaItem(TqvFilterCriteriaItem* AItem);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError for an index outside 0..Count-1.
  TqvFilterValueItem& GetItem(Integer AIndex) const;
  void Delete(Integer AIndex);
  // The first entry of that kind, -1 when there is none.
  Integer IndexOfKind(TqvFilterValueItemKind AKind) const;
  TqvFilterCriteria* GetOwnerCriteria() const { return FOwnerCriteria; }
  bool GetSortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(bool AValue) { FSortByDisplayText = AValue; }

 private:
  TqvFilterCriteria* FOwnerCriteria;
  // Owned entries; plain pointers so that an insertion moves the tail in one block.
  std::vector<TqvFilterValueItem*> FItems;
  Integer FSpecialCount = 0;
  bool FSortByDisplayText = false;
};

// ---------------------------------------------------------------------------------------------
// The data controller's filter

// A condition on a data field of the controller; its item link as seen from outside is the
// field's item (for a grid, the column).
class TqvDataFilterCriteriaItem : public TqvFilterCriteriaItem {
  QJ_CLASS(TqvDataFilterCriteriaItem, TqvFilterCriteriaItem)
 public:
  using TqvFilterCriteriaItem::TqvFilterCriteriaItem;

  Variant GetDataValue(Integer ARecordIndex) override;
  String GetFieldCaption() override;
  String GetFieldName() override;
  TObject* GetItemLink() const override;

  TqvCustomDataField* GetField() const;
  TqvCustomDataController* GetDataController() const;
};

using TqvDataFilterGetValueListEvent =
    std::function<void(TqvFilterCriteria* Sender, Integer AItemIndex, TqvDataFilterValueList* AValueList)>;

class TqvDataFilterCriteria : public TqvFilterCriteria {
 public:
  using MetaType = TMetaClassFor<TqvDataFilterCriteria, TqvCustomDataController*>;
  QJ_CLASS(TqvDataFilterCriteria, TqvFilterCriteria)

 public:
  explicit TqvDataFilterCriteria(TqvCustomDataController* ADataController)
      : FDataController(ADataController) {}
  ~TqvDataFilterCriteria() override;

  void Assign(TPersistent* ASource) override;
  void AssignEvents(TPersistent* ASource) override;
  // A link that is not a data field (a grid column) stands for the controller's field of it.
  TqvFilterCriteriaItem* AddItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                                 TqvFilterOperatorKind AOperatorKind, const Variant& AValue,
                                 const String& ADisplayValue) override;
  TqvFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) override;
  Integer GetItemLinkID(TObject* AItemLink) override;
  TObject* GetItemLinkByID(Integer AID) override;
  TqvFilterCriteriaItemClass GetItemClass() const override;
  TqvFilterValueListClass GetValueListClass() const override;
  // Refreshes the controller, except while it or its owner is loading or going away.
  void Changed() override;

  virtual TOwned<TqvFilterValueList> CreateValueList();
  // Active, not empty, and the controller not in grid mode.
  virtual bool IsFiltering() const;

  bool GetActive() const { return FActive; }
  void SetActive(bool AValue);
  TqvCustomDataController* GetDataController() const { return FDataController; }
  bool GetBeingDestroyed() const { return FBeingDestroyed; }

  TqvDataFilterGetValueListEvent OnGetValueList;

 private:
  TObject* FieldOfLink(TObject* AItemLink) const;

  bool FActive = false;
  TqvCustomDataController* FDataController;
  bool FBeingDestroyed = false;
};

// The value list of one item of a data controller.
class TqvDataFilterValueList : public TqvFilterValueList {
  QJ_CLASS(TqvDataFilterValueList, TqvFilterValueList)
 public:
  using TqvFilterValueList::TqvFilterValueList;

  // (All), (Custom...), (Blanks) and (NonBlanks) when some record is blank, then the distinct
  // values of every record (filtered or not); OnGetValueList may adjust the result.
  virtual void Load(Integer AItemIndex);

 private:
  TqvDataFilterCriteria* GetDataFilter() const;
};
