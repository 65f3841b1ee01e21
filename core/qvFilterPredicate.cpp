#include "core/qvFilterPredicate.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "core/qvCustomData.h"
#include "core/qvFilter.h"
#include "core/qvFormats.h"

namespace {

// How a record's value relates to a filter value under the Variant comparison rules.
enum class TRelation : Byte { Less, Equal, Greater, Unordered };

template <class T>
TRelation Relate(T A, T B) {
  if (A < B) return TRelation::Less;
  if (B < A) return TRelation::Greater;
  return A == B ? TRelation::Equal : TRelation::Unordered;  // NaN
}

// A filter value made ready for one column: Null, an integer, a double (maybe NaN) or a text.
struct TKey {
  enum TKind : Byte { kNull, kInteger, kDouble, kText };
  TKind Kind = kNull;
  Int64 Int = 0;
  double Dbl = 0;
  String Text;

  bool IsNaN() const { return Kind == kDouble && std::isnan(Dbl); }
};

// Integers meet numbers, Booleans (-1 and 0) and texts as the Variant comparison converts them;
// a text that is no number would raise, and so does not compile.
bool MakeOrdinalKey(const Variant& AValue, TKey& AKey) {
  switch (VarType(AValue)) {
    case varNull: AKey.Kind = TKey::kNull; return true;
    case varEmpty: AKey.Kind = TKey::kInteger; AKey.Int = 0; return true;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64: AKey.Kind = TKey::kInteger; AKey.Int = AValue.AsInt64(); return true;
    case varBoolean: AKey.Kind = TKey::kInteger; AKey.Int = AValue.AsBoolean() ? -1 : 0; return true;
    case varSingle:
    case varDouble:
    case varDate: AKey.Kind = TKey::kDouble; AKey.Dbl = AValue.AsDouble(); return true;
    case varString: {
      const String text = Trim(AValue.AsString());
      if (TryStrToInt64(text, AKey.Int)) {
        AKey.Kind = TKey::kInteger;
        return true;
      }
      if (!TryStrToFloat(text, AKey.Dbl) || !std::isfinite(AKey.Dbl)) return false;
      AKey.Kind = TKey::kDouble;
      return true;
    }
    default: return false;
  }
}

// Texts meet texts (Empty is the empty text); anything else converts per record and could raise.
bool MakeTextKey(const Variant& AValue, TKey& AKey) {
  switch (VarType(AValue)) {
    case varNull: AKey.Kind = TKey::kNull; return true;
    case varEmpty: AKey.Kind = TKey::kText; return true;
    case varString: AKey.Kind = TKey::kText; AKey.Text = AValue.AsString(); return true;
    default: return false;
  }
}

// The null-aware comparison (VarCompareEx) of a record's value with a key, from their relation:
// a NaN key sorts right after Null.
Integer CompareWithKey(bool ANull, TRelation ARelation, const TKey& AKey) {
  if (AKey.IsNaN()) return ANull ? -1 : 1;
  if (ARelation == TRelation::Equal) return 0;
  if (ANull) return -1;
  if (AKey.Kind == TKey::kNull) return 1;
  return ARelation == TRelation::Less ? -1 : 1;
}

// The same with the sides swapped (VarCompareEx(key, value)).
Integer CompareKeyWith(bool ANull, TRelation ARelation, const TKey& AKey) {
  if (AKey.IsNaN()) return ANull ? 1 : -1;
  if (ARelation == TRelation::Equal) return 0;
  if (AKey.Kind == TKey::kNull) return -1;
  if (ANull) return 1;
  return ARelation == TRelation::Greater ? -1 : 1;
}

TRelation RelateNulls(bool ANull, const TKey& AKey) {
  if (ANull) return AKey.Kind == TKey::kNull ? TRelation::Equal : TRelation::Less;
  return TRelation::Greater;
}

// What a standard operator tests; custom operator classes are not known here.
enum class TTest : Byte {
  Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Like, NotLike, Between, NotBetween,
  InList, NotInList, Blank, NotBlank,
};

bool TestOf(const TqvFilterOperator* AOperator, TTest& ATest) {
  static const struct {
    TClass Class;
    TTest Test;
  } tests[] = {
      {&TqvFilterEqualOperator::StaticClass(), TTest::Equal},
      {&TqvFilterNotEqualOperator::StaticClass(), TTest::NotEqual},
      {&TqvFilterLessOperator::StaticClass(), TTest::Less},
      {&TqvFilterLessEqualOperator::StaticClass(), TTest::LessEqual},
      {&TqvFilterGreaterOperator::StaticClass(), TTest::Greater},
      {&TqvFilterGreaterEqualOperator::StaticClass(), TTest::GreaterEqual},
      {&TqvFilterLikeOperator::StaticClass(), TTest::Like},
      {&TqvFilterNotLikeOperator::StaticClass(), TTest::NotLike},
      {&TqvFilterBetweenOperator::StaticClass(), TTest::Between},
      {&TqvFilterNotBetweenOperator::StaticClass(), TTest::NotBetween},
      {&TqvFilterInListOperator::StaticClass(), TTest::InList},
      {&TqvFilterNotInListOperator::StaticClass(), TTest::NotInList},
      {&TqvFilterNullOperator::StaticClass(), TTest::Blank},
      {&TqvFilterNotNullOperator::StaticClass(), TTest::NotBlank},
  };
  for (const auto& entry : tests)
    if (AOperator->ClassType() == entry.Class) {
      ATest = entry.Test;
      return true;
    }
  return false;
}

// Integer places: Integer, Smallint, Word and LargeInt items.
class TOrdinalReader {
 public:
  struct TValue {
    bool Null;
    Int64 Int;
  };
  explicit TOrdinalReader(const TqvStoredColumn& AColumn) : FColumn(AColumn) {}

  static bool MakeKey(const Variant& AValue, TKey& AKey) { return MakeOrdinalKey(AValue, AKey); }
  void Prefetch(Integer ARecordIndex) const { FColumn.Prefetch(ARecordIndex); }
  TValue Read(Integer ARecordIndex) const {
    const Byte* place = FColumn.PlaceOf(ARecordIndex);
    return place ? TValue{false, FColumn.OrdinalOf(place)} : TValue{true, 0};
  }
  TRelation Relation(const TValue& AValue, const TKey& AKey) const {
    if (AValue.Null || AKey.Kind == TKey::kNull) return RelateNulls(AValue.Null, AKey);
    if (AKey.Kind == TKey::kInteger) return Relate(AValue.Int, AKey.Int);
    return Relate(static_cast<double>(AValue.Int), AKey.Dbl);
  }
  bool Equals(const TValue& AValue, const TKey& AKey) const { return Relation(AValue, AKey) == TRelation::Equal; }
  bool IsBlank(const TValue& AValue) const { return AValue.Null; }
  bool IsLike(const TValue&, const TqvLikePattern&) const { return false; }  // never compiled

 private:
  TqvStoredColumn FColumn;
};

// 8-bit string places, mapped to upper case when the filter ignores case; a place never written
// is Null.
class TTextReader {
 public:
  struct TValue {
    bool Null;
    std::string_view Text;
  };
  TTextReader(const TqvStoredColumn& AColumn, const char* AUpper, bool ASoftNull)
      : FColumn(AColumn), FUpper(AUpper), FSoftNull(ASoftNull) {}

  static bool MakeKey(const Variant& AValue, TKey& AKey) { return MakeTextKey(AValue, AKey); }
  void Prefetch(Integer ARecordIndex) const { FColumn.Prefetch(ARecordIndex); }
  TValue Read(Integer ARecordIndex) const {
    const Byte* place = FColumn.PlaceOf(ARecordIndex);
    if (!place) return {true, {}};
    bool nil;
    std::string_view text = TqvStoredColumn::TextOf(place, nil);
    return {nil, text};
  }
  // Two texts compare by the collation of the code page.
  TRelation Relation(const TValue& AValue, const TKey& AKey) const {
    if (AValue.Null || AKey.Kind == TKey::kNull) return RelateNulls(AValue.Null, AKey);
    FScratch.assign(AValue.Text);
    if (FUpper)
      for (char& c : FScratch) c = FUpper[static_cast<Byte>(c)];
    return Relate(AnsiCompareStr(FScratch, AKey.Text), 0);
  }
  // The collation tells texts apart exactly when their bytes differ.
  bool Equals(const TValue& AValue, const TKey& AKey) const {
    if (AValue.Null || AKey.Kind == TKey::kNull) return AValue.Null && AKey.Kind == TKey::kNull;
    if (AValue.Text.size() != AKey.Text.size()) return false;
    if (!FUpper) return AValue.Text == AKey.Text;
    for (size_t i = 0; i < AKey.Text.size(); ++i)
      if (FUpper[static_cast<Byte>(AValue.Text[i])] != AKey.Text[i]) return false;
    return true;
  }
  bool IsBlank(const TValue& AValue) const { return AValue.Null || (FSoftNull && AValue.Text.empty()); }
  bool IsLike(const TValue& AValue, const TqvLikePattern& APattern) const {
    return APattern.Matches(AValue.Null ? std::string_view() : AValue.Text, FUpper);
  }

 private:
  TqvStoredColumn FColumn;
  const char* FUpper;
  bool FSoftNull;
  mutable String FScratch;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Nodes

class TqvDataFilterPredicate::TNode {
 public:
  virtual ~TNode() = default;
  virtual bool Matches(Integer ARecordIndex) const = 0;
  // AResults[i] := Matches(ARecords[i]) for every record. Typed nodes answer in one loop over
  // the records, so that the loads of many records overlap; a general one record after record.
  virtual void MatchAll(const Integer* ARecords, size_t ACount, Byte* AResults) const {
    for (size_t i = 0; i < ACount; ++i) AResults[i] = Matches(ARecords[i]);
  }
  // True when the general test is asked somewhere below: it may raise, so every child of a list
  // is then evaluated in order, record after record, as the criteria do.
  virtual bool IsGeneral() const = 0;
};

namespace {

using TNode = TqvDataFilterPredicate::TNode;

class TGeneralNode : public TNode {
 public:
  TGeneralNode(TqvFilterCriteria* ACriteria, TqvFilterCriteriaItem* AItem) : FCriteria(ACriteria), FItem(AItem) {}
  bool Matches(Integer ARecordIndex) const override { return FCriteria->IsConditionMatching(FItem, ARecordIndex); }
  bool IsGeneral() const override { return true; }

 private:
  TqvFilterCriteria* FCriteria;
  TqvFilterCriteriaItem* FItem;
};

class TListNode : public TNode {
 public:
  TListNode(TqvFilterJoinKind AKind, std::vector<std::unique_ptr<TNode>> AChildren)
      : FKind(AKind), FChildren(std::move(AChildren)) {
    FGeneral = std::any_of(FChildren.begin(), FChildren.end(), [](const auto& child) { return child->IsGeneral(); });
  }
  bool IsGeneral() const override { return FGeneral; }

  // Without a general test below, each child answers for all records in turn.
  void MatchAll(const Integer* ARecords, size_t ACount, Byte* AResults) const override {
    if (FGeneral || FChildren.empty()) return TNode::MatchAll(ARecords, ACount, AResults);
    FChildren[0]->MatchAll(ARecords, ACount, AResults);
    if (FKind == fjkNotAnd || FKind == fjkNotOr)
      for (size_t i = 0; i < ACount; ++i) AResults[i] = !AResults[i];
    std::vector<Byte> values(FChildren.size() > 1 ? ACount : 0);
    for (size_t c = 1; c < FChildren.size(); ++c) {
      FChildren[c]->MatchAll(ARecords, ACount, values.data());
      for (size_t i = 0; i < ACount; ++i) {
        switch (FKind) {
          case fjkAnd: AResults[i] = AResults[i] && values[i]; break;
          case fjkOr: AResults[i] = AResults[i] || values[i]; break;
          case fjkNotAnd: AResults[i] = AResults[i] || !values[i]; break;
          case fjkNotOr: AResults[i] = AResults[i] && !values[i]; break;
        }
      }
    }
  }

  bool Matches(Integer ARecordIndex) const override {
    const bool negation = FKind == fjkNotAnd || FKind == fjkNotOr;
    // AND and NOT OR stay False once False; OR and NOT AND stay True once True.
    const bool settled = FKind == fjkOr || FKind == fjkNotAnd;
    bool result = true;
    for (size_t i = 0; i < FChildren.size(); ++i) {
      bool value = FChildren[i]->Matches(ARecordIndex);
      if (i == 0) {
        result = negation ? !value : value;
      } else {
        switch (FKind) {
          case fjkAnd: result = result && value; break;
          case fjkOr: result = result || value; break;
          case fjkNotAnd: result = result || !value; break;
          case fjkNotOr: result = result && !value; break;
        }
      }
      if (!FGeneral && result == settled) break;
    }
    return result;
  }

 private:
  TqvFilterJoinKind FKind;
  std::vector<std::unique_ptr<TNode>> FChildren;
  bool FGeneral = false;
};

// One condition on a column, read through TReader.
template <class TReader>
class TColumnNode : public TNode {
 public:
  TColumnNode(TReader AReader, TTest ATest, std::vector<TKey> AKeys, std::unique_ptr<TqvLikePattern> APattern)
      : FReader(std::move(AReader)), FTest(ATest), FKeys(std::move(AKeys)), FPattern(std::move(APattern)) {}
  bool IsGeneral() const override { return false; }

  bool Matches(Integer ARecordIndex) const override {
    Byte result;
    MatchAll(&ARecordIndex, 1, &result);
    return result;
  }

  void MatchAll(const Integer* ARecords, size_t ACount, Byte* AResults) const override {
    const TKey& key = FKeys.empty() ? FNoKey : FKeys[0];
    auto all = [&](auto ATest) {
      for (size_t i = 0; i < ACount; ++i) {
        if (i + kPrefetchDistance < ACount) FReader.Prefetch(ARecords[i + kPrefetchDistance]);
        AResults[i] = ATest(FReader.Read(ARecords[i]));
      }
    };
    switch (FTest) {
      case TTest::Equal: return all([&](const TValue& v) { return FReader.Equals(v, key); });
      case TTest::NotEqual: return all([&](const TValue& v) { return !FReader.Equals(v, key); });
      case TTest::Less: return all([&](const TValue& v) { return Compare(v, key) < 0; });
      case TTest::LessEqual: return all([&](const TValue& v) { return Compare(v, key) <= 0; });
      case TTest::Greater: return all([&](const TValue& v) { return Compare(v, key) > 0; });
      case TTest::GreaterEqual: return all([&](const TValue& v) { return Compare(v, key) >= 0; });
      case TTest::Like: return all([&](const TValue& v) { return FReader.IsLike(v, *FPattern); });
      case TTest::NotLike: return all([&](const TValue& v) { return !FReader.IsLike(v, *FPattern); });
      case TTest::Between: return all([&](const TValue& v) { return IsBetween(v); });
      case TTest::NotBetween: return all([&](const TValue& v) { return !IsBetween(v); });
      case TTest::InList: return all([&](const TValue& v) { return IsInList(v); });
      case TTest::NotInList: return all([&](const TValue& v) { return !IsInList(v); });
      case TTest::Blank: return all([&](const TValue& v) { return FReader.IsBlank(v); });
      case TTest::NotBlank: return all([&](const TValue& v) { return !FReader.IsBlank(v); });
    }
  }

 private:
  using TValue = typename TReader::TValue;
  static inline const TKey FNoKey{};
  // Records are asked for this far ahead, so that their buffers arrive while others are tested.
  static constexpr size_t kPrefetchDistance = 16;

  Integer Compare(const TValue& AValue, const TKey& AKey) const {
    return CompareWithKey(AValue.Null, FReader.Relation(AValue, AKey), AKey);
  }
  // The high end is only read when the low end passes.
  bool IsBetween(const TValue& AValue) const {
    if (CompareKeyWith(AValue.Null, FReader.Relation(AValue, FKeys[0]), FKeys[0]) > 0) return false;
    return Compare(AValue, FKeys[1]) <= 0;
  }
  bool IsInList(const TValue& AValue) const {
    return std::any_of(FKeys.begin(), FKeys.end(), [&](const TKey& key) { return FReader.Equals(AValue, key); });
  }

  TReader FReader;
  TTest FTest;
  std::vector<TKey> FKeys;
  std::unique_ptr<TqvLikePattern> FPattern;
};

// The compiler of one filter: which conditions read the storage directly, and how.
class TCompiler {
 public:
  explicit TCompiler(TqvDataFilterCriteria* AFilter)
      : FFilter(AFilter),
        FController(AFilter->GetDataController()),
        FTyping(FController && !AFilter->IsEvaluationCustomized()) {}

  std::unique_ptr<TNode> Compile(TqvFilterCriteriaItemList* AList) {
    std::vector<std::unique_ptr<TNode>> children;
    for (Integer i = 0; i < AList->GetCount(); ++i) {
      TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
      if (item->IsItemList()) {
        children.push_back(Compile(static_cast<TqvFilterCriteriaItemList*>(item)));
        continue;
      }
      auto* condition = static_cast<TqvFilterCriteriaItem*>(item);
      std::unique_ptr<TNode> node = FTyping ? CompileCondition(condition) : nullptr;
      if (node)
        ++FTypedCount;
      else
        node = std::make_unique<TGeneralNode>(FFilter, condition);
      children.push_back(std::move(node));
    }
    // One child of an AND or OR list is the list's answer.
    bool plain = AList->GetJoinKind() == fjkAnd || AList->GetJoinKind() == fjkOr;
    if (plain && children.size() == 1) return std::move(children[0]);
    return std::make_unique<TListNode>(AList->GetJoinKind(), std::move(children));
  }

  Integer GetTypedCount() const { return FTypedCount; }

 private:
  std::unique_ptr<TNode> CompileCondition(TqvFilterCriteriaItem* ACondition) {
    auto* condition = dynamic_cast<TqvDataFilterCriteriaItem*>(ACondition);
    TqvCustomDataField* field = condition ? condition->GetField() : nullptr;
    TTest test;
    if (!field || !FController->CanReadStoredValues(field) || !TestOf(condition->GetOperatorObject(), test))
      return nullptr;
    TqvStoredColumn column(FController->GetStorage(), field->GetStorageDef());
    try {
      Variant value = FFilter->NormalizeValue(condition->GetValue());
      if (column.IsOrdinal()) return MakeNode(TOrdinalReader(column), test, value);
      const char* upper = FFilter->HasOption(fcoCaseInsensitive) ? AnsiUpperTable() : nullptr;
      if (column.IsText()) return MakeNode(TTextReader(column, upper, FFilter->HasOption(fcoSoftNull)), test, value);
    } catch (const Exception&) {
      // A filter value that cannot even be read the general way is left to the general test.
    }
    return nullptr;
  }

  template <class TReader>
  std::unique_ptr<TNode> MakeNode(TReader AReader, TTest ATest, const Variant& AValue) {
    std::vector<TKey> keys;
    std::unique_ptr<TqvLikePattern> pattern;
    switch (ATest) {
      case TTest::Blank:
      case TTest::NotBlank: break;
      case TTest::Like:
      case TTest::NotLike:
        if (std::is_same_v<TReader, TOrdinalReader>) return nullptr;
        pattern = std::make_unique<TqvLikePattern>(VarToStr(AValue), FFilter->GetPercentWildcard(),
                                                   FFilter->GetUnderscoreWildcard());
        break;
      case TTest::Between:
      case TTest::NotBetween:
        if (!VarIsArray(AValue) || AValue.ArrayHighBound() - AValue.ArrayLowBound() < 1) return nullptr;
        if (!AddKey<TReader>(AValue.GetElement(AValue.ArrayLowBound()), keys) ||
            !AddKey<TReader>(AValue.GetElement(AValue.ArrayLowBound() + 1), keys))
          return nullptr;
        break;
      case TTest::InList:
      case TTest::NotInList:
        if (!VarIsArray(AValue)) return nullptr;
        for (Integer i = AValue.ArrayLowBound(); i <= AValue.ArrayHighBound(); ++i)
          if (!AddKey<TReader>(AValue.GetElement(i), keys)) return nullptr;
        break;
      default:
        if (!AddKey<TReader>(AValue, keys)) return nullptr;
        break;
    }
    return std::make_unique<TColumnNode<TReader>>(std::move(AReader), ATest, std::move(keys), std::move(pattern));
  }

  template <class TReader>
  static bool AddKey(const Variant& AValue, std::vector<TKey>& AKeys) {
    if (VarIsArray(AValue)) return false;
    TKey key;
    if (!TReader::MakeKey(AValue, key)) return false;
    AKeys.push_back(std::move(key));
    return true;
  }

  TqvDataFilterCriteria* FFilter;
  TqvCustomDataController* FController;
  bool FTyping;
  Integer FTypedCount = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvDataFilterPredicate

TqvDataFilterPredicate::TqvDataFilterPredicate(TqvDataFilterCriteria* AFilter)
    : FFilter(AFilter),
      FRecordCount(AFilter->GetDataController() ? AFilter->GetDataController()->GetStorage()->GetRecordCount() : 0) {
  TCompiler compiler(AFilter);
  FRoot = compiler.Compile(AFilter->GetRoot());
  FTypedCount = compiler.GetTypedCount();
}

TqvDataFilterPredicate::~TqvDataFilterPredicate() = default;

// Records outside the storage's list (an internal record, a bad index) are the general path's.
bool TqvDataFilterPredicate::IsRecordMatching(Integer ARecordIndex) const {
  if (FTypedCount == 0 || ARecordIndex < 0 || ARecordIndex >= FRecordCount)
    return FFilter->IsRecordMatching(ARecordIndex);
  return FRoot->Matches(ARecordIndex);
}

void TqvDataFilterPredicate::MatchAll(const std::vector<Integer>& ARecords, std::vector<Byte>& AResults) const {
  AResults.resize(ARecords.size());
  bool inRange = std::all_of(ARecords.begin(), ARecords.end(), [&](Integer r) { return r >= 0 && r < FRecordCount; });
  if (FTypedCount == 0 || !inRange) {
    for (size_t i = 0; i < ARecords.size(); ++i) AResults[i] = FFilter->IsRecordMatching(ARecords[i]);
    return;
  }
  FRoot->MatchAll(ARecords.data(), ARecords.size(), AResults.data());
}

bool TqvDataFilterPredicate::IsGeneral() const { return FTypedCount == 0 || FRoot->IsGeneral(); }

// ---------------------------------------------------------------------------------------------
// TqvDisplayTextPrefix

TqvDisplayTextPrefix::TqvDisplayTextPrefix(TqvCustomDataController* AController, TqvCustomDataField* AField,
                                           const String& APrefix, TTextGetter AText)
    : FController(AController), FField(AField), FPrefix(APrefix), FText(AText), FUpper(AnsiUpperTable()) {
  for (char c : APrefix) FUpperPrefix += FUpper[static_cast<Byte>(c)];
  const TqvValueDef* def = AField->GetStorageDef();
  if (!AController->CanReadStoredValues(AField) || def->IsTextStored()) return;
  auto column = std::make_unique<TqvStoredColumn>(AController->GetStorage(), def);
  if (column->IsText()) FColumn = std::move(column);
}

bool TqvDisplayTextPrefix::Matches(Integer ARecordIndex) const {
  if (!FColumn || !FColumn->Contains(ARecordIndex)) return TextStartsWith(FText(FController, FField, ARecordIndex), FPrefix, true);
  std::string_view text;
  if (const Byte* place = FColumn->PlaceOf(ARecordIndex)) {
    bool nil;
    text = TqvStoredColumn::TextOf(place, nil);
  }
  if (FUpperPrefix.empty()) return text.empty();
  if (text.size() < FUpperPrefix.size()) return false;
  for (size_t i = 0; i < FUpperPrefix.size(); ++i)
    if (FUpper[static_cast<Byte>(text[i])] != FUpperPrefix[i]) return false;
  return true;
}
