// Filter operators: how each operator kind matches a value and how it is written for people and
// in filter expressions; the LIKE matcher and the display value helpers.
#include "core/qvFilter.h"

#include "core/qvFormats.h"
#include "platform/rtl/DateTime.h"

// ---------------------------------------------------------------------------------------------
// LIKE

TqvLikePattern::TqvLikePattern(const String& APattern, char AAnySeries, char AAnyChar, char AEscape) {
  FTokens.reserve(APattern.size());
  bool escaped = false;
  for (char c : APattern) {
    if (AEscape != 0 && !escaped && c == AEscape) {
      escaped = true;
      continue;
    }
    TTokenKind kind = TTokenKind::Literal;
    if (!escaped && c == AAnySeries)
      kind = TTokenKind::AnySeries;
    else if (!escaped && c == AAnyChar)
      kind = TTokenKind::AnyChar;
    escaped = false;
    // A run of the any-series wildcard matches exactly what one does.
    bool repeatsSeries = kind == TTokenKind::AnySeries && !FTokens.empty() && FTokens.back().Kind == TTokenKind::AnySeries;
    if (!repeatsSeries) FTokens.push_back({kind, c});
  }
  size_t first = 0, last = FTokens.size();
  bool leading = first < last && FTokens[first].Kind == TTokenKind::AnySeries;
  if (leading) ++first;
  bool trailing = last > first && FTokens[last - 1].Kind == TTokenKind::AnySeries;
  if (trailing) --last;
  for (size_t i = first; i < last; ++i) {
    if (FTokens[i].Kind != TTokenKind::Literal) return;  // General
    FLiteral += FTokens[i].Char;
  }
  FShape = leading ? (trailing || FTokens.size() == 1 ? TShape::Contains : TShape::Suffix)
                   : (trailing ? TShape::Prefix : TShape::Exact);
}

// Whether the literal stands in the text at APos.
bool TqvLikePattern::MatchesAt(std::string_view AText, size_t APos, const char* AMap) const {
  if (!AMap) return AText.compare(APos, FLiteral.size(), FLiteral) == 0;
  for (size_t i = 0; i < FLiteral.size(); ++i)
    if (AMap[static_cast<Byte>(AText[APos + i])] != FLiteral[i]) return false;
  return true;
}

// The first position of the literal in the text, npos when it is not there.
size_t TqvLikePattern::Find(std::string_view AText, const char* AMap) const {
  if (!AMap) return AText.find(FLiteral);
  if (FLiteral.empty()) return 0;
  if (AText.size() < FLiteral.size()) return std::string_view::npos;
  const char head = FLiteral[0];
  const size_t lastStart = AText.size() - FLiteral.size();
  for (size_t p = 0; p <= lastStart; ++p)
    if (AMap[static_cast<Byte>(AText[p])] == head && MatchesAt(AText, p, AMap)) return p;
  return std::string_view::npos;
}

bool TqvLikePattern::Matches(std::string_view AText, const char* AMap) const {
  const size_t n = FLiteral.size();
  switch (FShape) {
    case TShape::Exact: return AText.size() == n && MatchesAt(AText, 0, AMap);
    case TShape::Prefix: return AText.size() >= n && MatchesAt(AText, 0, AMap);
    case TShape::Suffix: return AText.size() >= n && MatchesAt(AText, AText.size() - n, AMap);
    case TShape::Contains: return Find(AText, AMap) != std::string_view::npos;
    case TShape::General: break;
  }
  return MatchesGeneral(AText, AMap);
}

// Greedy matching that only ever backtracks to the latest any-series wildcard: an earlier one
// can never do better than extending the latest, so the work stays bounded by text x pattern.
bool TqvLikePattern::MatchesGeneral(std::string_view AText, const char* AMap) const {
  const size_t n = AText.size();
  const size_t m = FTokens.size();
  constexpr size_t kNone = static_cast<size_t>(-1);
  auto at = [&](size_t t) { return AMap ? AMap[static_cast<Byte>(AText[t])] : AText[t]; };
  size_t t = 0;
  size_t p = 0;
  size_t seriesAt = kNone;
  size_t seriesText = 0;
  while (t < n) {
    if (p < m && FTokens[p].Kind == TTokenKind::AnySeries) {
      seriesAt = p++;
      seriesText = t;
    } else if (p < m && (FTokens[p].Kind == TTokenKind::AnyChar || FTokens[p].Char == at(t))) {
      ++p;
      ++t;
    } else if (seriesAt != kNone) {
      p = seriesAt + 1;
      t = ++seriesText;
    } else {
      return false;
    }
  }
  while (p < m && FTokens[p].Kind == TTokenKind::AnySeries) ++p;
  return p == m;
}

bool LikeMatch(const String& AText, const String& APattern, char AAnySeries, char AAnyChar,
               char AEscape) {
  return TqvLikePattern(APattern, AAnySeries, AAnyChar, AEscape).Matches(AText);
}

Integer GetLikePatternShape(String& APattern, char AAnySeries) {
  const String doubled(2, AAnySeries);
  while (APattern.find(doubled) != String::npos)
    APattern = StringReplace(APattern, doubled, String(1, AAnySeries));
  if (APattern.size() < 2) return lpsGeneral;
  Integer shape = lpsGeneral;
  const bool starts = APattern.front() == AAnySeries;
  const bool ends = APattern.back() == AAnySeries;
  if (starts) {
    APattern.erase(0, 1);
    shape |= lpsEndsWith;
  }
  if (ends && !APattern.empty()) {
    APattern.pop_back();
    shape |= lpsBeginsWith;
  }
  return shape;
}

String ExtractNextListItem(const String& AText, Integer& APos) {
  Integer start = APos < 1 ? 1 : APos;
  Integer stop = start;
  while (stop <= Length(AText) && AText[stop - 1] != ';') ++stop;
  APos = stop + 1;
  return Trim(Copy(AText, start, stop - start));
}

String FilterValueToText(const Variant& AValue) {
  if (VarIsNull(AValue)) return GetFilterResourceString(&sqvFilterBlankCaption);
  return VarToStr(AValue);
}

// ---------------------------------------------------------------------------------------------
// Base operator

namespace {

String Caption(PResStringRec AResString) { return GetFilterResourceString(AResString); }

bool IsTextVariant(const Variant& AValue) {
  TVarType type = VarType(AValue);
  return type == varString || type == varOleStr;
}

Integer ArrayLow(const Variant& AArray) { return VarArrayLowBound(AArray, 1); }

Integer ArrayElementCount(const Variant& AArray) {
  return VarArrayHighBound(AArray, 1) - VarArrayLowBound(AArray, 1) + 1;
}

std::vector<String> SplitListText(const String& AText) {
  std::vector<String> pieces;
  Integer pos = 1;
  do {
    pieces.push_back(ExtractNextListItem(AText, pos));
  } while (pos <= Length(AText));
  return pieces;
}

}  // namespace

QJ_IMPLEMENT_CLASS(TqvFilterOperator)

TqvFilterCriteria* TqvFilterOperator::GetCriteria() const {
  return FCondition ? FCondition->GetCriteria() : nullptr;
}

String TqvFilterOperator::GetItemExpressionText(const Variant& AValue) {
  return GetValueExpressionText(AValue);
}

String TqvFilterOperator::GetValueExpressionText(const Variant& AValue) {
  String text;
  if (FormatValueExpression(AValue, text)) return text;
  if (VarIsNull(AValue)) return "NULL";
  if (VarType(AValue) == varDate) {
    TqvFilterCriteria* criteria = GetCriteria();
    return QuotedStr(criteria ? criteria->GetValueText(AValue) : VarToStr(AValue));
  }
  if (IsTextVariant(AValue)) return QuotedStr(VarToStr(AValue));
  return VarToStr(AValue);
}

void TqvFilterOperator::PrepareDisplayValue(String&) {}

bool TqvFilterOperator::FormatValueExpression(const Variant&, String&) { return false; }

String TqvFilterOperator::GetDisplayText() { return GetExpressionText(); }

// ---------------------------------------------------------------------------------------------
// Equality and order

QJ_IMPLEMENT_CLASS(TqvFilterEqualOperator)
QJ_IMPLEMENT_CLASS(TqvFilterNotEqualOperator)
QJ_IMPLEMENT_CLASS(TqvFilterOrderOperator)
QJ_IMPLEMENT_CLASS(TqvFilterLessOperator)
QJ_IMPLEMENT_CLASS(TqvFilterLessEqualOperator)
QJ_IMPLEMENT_CLASS(TqvFilterGreaterOperator)
QJ_IMPLEMENT_CLASS(TqvFilterGreaterEqualOperator)

bool TqvFilterEqualOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return AValue == AFilterValue;
}
String TqvFilterEqualOperator::GetDisplayText() { return Caption(&sqvFilterOperatorEqual); }
String TqvFilterEqualOperator::GetExpressionText() { return "="; }

bool TqvFilterNotEqualOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return !inherited::IsMatch(AValue, AFilterValue);
}
String TqvFilterNotEqualOperator::GetDisplayText() { return Caption(&sqvFilterOperatorNotEqual); }
String TqvFilterNotEqualOperator::GetExpressionText() { return "<>"; }

bool TqvFilterOrderOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return Accepts(VarCompareEx(AValue, AFilterValue));
}

String TqvFilterLessOperator::GetDisplayText() { return Caption(&sqvFilterOperatorLess); }
String TqvFilterLessOperator::GetExpressionText() { return "<"; }
bool TqvFilterLessOperator::Accepts(Integer ACompare) const { return ACompare < 0; }

String TqvFilterLessEqualOperator::GetDisplayText() { return Caption(&sqvFilterOperatorLessEqual); }
String TqvFilterLessEqualOperator::GetExpressionText() { return "<="; }
bool TqvFilterLessEqualOperator::Accepts(Integer ACompare) const { return ACompare <= 0; }

String TqvFilterGreaterOperator::GetDisplayText() { return Caption(&sqvFilterOperatorGreater); }
String TqvFilterGreaterOperator::GetExpressionText() { return ">"; }
bool TqvFilterGreaterOperator::Accepts(Integer ACompare) const { return ACompare > 0; }

String TqvFilterGreaterEqualOperator::GetDisplayText() {
  return Caption(&sqvFilterOperatorGreaterEqual);
}
String TqvFilterGreaterEqualOperator::GetExpressionText() { return ">="; }
bool TqvFilterGreaterEqualOperator::Accepts(Integer ACompare) const { return ACompare >= 0; }

// ---------------------------------------------------------------------------------------------
// LIKE and NOT LIKE

QJ_IMPLEMENT_CLASS(TqvFilterLikeOperator)
QJ_IMPLEMENT_CLASS(TqvFilterNotLikeOperator)

bool TqvFilterLikeOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  TqvFilterCriteria* criteria = GetCriteria();
  char anySeries = criteria ? criteria->GetPercentWildcard() : '%';
  char anyChar = criteria ? criteria->GetUnderscoreWildcard() : '_';
  return LikeMatch(VarToStr(AValue), VarToStr(AFilterValue), anySeries, anyChar);
}

void TqvFilterLikeOperator::PrepareDisplayValue(String& AText) {
  TqvFilterCriteria* criteria = GetCriteria();
  if (criteria && criteria->HasOption(fcoShowOperatorDescription))
    GetLikePatternShape(AText, criteria->GetPercentWildcard());
}

Integer TqvFilterLikeOperator::GetPatternShape() const {
  TqvFilterCriteria* criteria = GetCriteria();
  String pattern = GetCondition() ? VarToStr(GetCondition()->GetValue()) : String();
  return GetLikePatternShape(pattern, criteria ? criteria->GetPercentWildcard() : '%');
}

String TqvFilterLikeOperator::GetDisplayText() {
  static const PResStringRec captions[] = {&sqvFilterOperatorLike, &sqvFilterOperatorBeginsWith,
                                           &sqvFilterOperatorEndsWith, &sqvFilterOperatorContains};
  return Caption(captions[GetPatternShape()]);
}
String TqvFilterLikeOperator::GetExpressionText() { return "LIKE"; }

bool TqvFilterNotLikeOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return !inherited::IsMatch(AValue, AFilterValue);
}
String TqvFilterNotLikeOperator::GetDisplayText() {
  static const PResStringRec captions[] = {&sqvFilterOperatorNotLike, &sqvFilterOperatorDoesNotBeginWith,
                                           &sqvFilterOperatorDoesNotEndWith,
                                           &sqvFilterOperatorDoesNotContain};
  return Caption(captions[GetPatternShape()]);
}
String TqvFilterNotLikeOperator::GetExpressionText() { return "NOT LIKE"; }

// ---------------------------------------------------------------------------------------------
// BETWEEN and IN

QJ_IMPLEMENT_CLASS(TqvFilterBetweenOperator)
QJ_IMPLEMENT_CLASS(TqvFilterNotBetweenOperator)
QJ_IMPLEMENT_CLASS(TqvFilterInListOperator)
QJ_IMPLEMENT_CLASS(TqvFilterNotInListOperator)

bool TqvFilterBetweenOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  Integer low = ArrayLow(AFilterValue);
  if (VarCompareEx(VarArrayGet(AFilterValue, low), AValue) > 0) return false;
  return VarCompareEx(AValue, VarArrayGet(AFilterValue, low + 1)) <= 0;
}

void TqvFilterBetweenOperator::PrepareDisplayValue(String& AText) {
  Integer pos = 1;
  String low = ExtractNextListItem(AText, pos);
  String high = pos <= Length(AText) ? ExtractNextListItem(AText, pos) : String();
  AText = low + " " + Caption(&sqvFilterAndCaption) + " " + high;
}

bool TqvFilterBetweenOperator::FormatValueExpression(const Variant& AValue, String& AText) {
  if (!VarIsArray(AValue) || ArrayElementCount(AValue) < 2) return false;
  Integer low = ArrayLow(AValue);
  AText = GetValueExpressionText(VarArrayGet(AValue, low)) + " AND " +
          GetValueExpressionText(VarArrayGet(AValue, low + 1));
  return true;
}

String TqvFilterBetweenOperator::GetDisplayText() { return Caption(&sqvFilterOperatorBetween); }
String TqvFilterBetweenOperator::GetExpressionText() { return "BETWEEN"; }

bool TqvFilterNotBetweenOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return !inherited::IsMatch(AValue, AFilterValue);
}
String TqvFilterNotBetweenOperator::GetDisplayText() { return Caption(&sqvFilterOperatorNotBetween); }
String TqvFilterNotBetweenOperator::GetExpressionText() { return "NOT BETWEEN"; }

bool TqvFilterInListOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  Integer low = ArrayLow(AFilterValue);
  Integer high = VarArrayHighBound(AFilterValue, 1);
  for (Integer i = low; i <= high; ++i)
    if (VarArrayGet(AFilterValue, i) == AValue) return true;
  return false;
}

void TqvFilterInListOperator::PrepareDisplayValue(String& AText) {
  String text;
  for (const String& piece : SplitListText(AText)) {
    if (!text.empty()) text += ", ";
    text += piece;
  }
  AText = "(" + text + ")";
}

bool TqvFilterInListOperator::FormatValueExpression(const Variant& AValue, String& AText) {
  if (!VarIsArray(AValue)) return false;
  String text;
  Integer high = VarArrayHighBound(AValue, 1);
  for (Integer i = ArrayLow(AValue); i <= high; ++i) {
    if (!text.empty()) text += ", ";
    text += GetValueExpressionText(VarArrayGet(AValue, i));
  }
  AText = "(" + text + ")";
  return true;
}

String TqvFilterInListOperator::GetDisplayText() { return Caption(&sqvFilterOperatorInList); }
String TqvFilterInListOperator::GetExpressionText() { return "IN"; }

bool TqvFilterNotInListOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return !inherited::IsMatch(AValue, AFilterValue);
}
String TqvFilterNotInListOperator::GetDisplayText() { return Caption(&sqvFilterOperatorNotInList); }
String TqvFilterNotInListOperator::GetExpressionText() { return "NOT IN"; }

// ---------------------------------------------------------------------------------------------
// Blank tests

QJ_IMPLEMENT_CLASS(TqvFilterNullOperator)
QJ_IMPLEMENT_CLASS(TqvFilterNotNullOperator)

bool TqvFilterNullOperator::IsMatch(const Variant& AValue, const Variant&) {
  TqvFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->IsNullValue(AValue) : VarIsNull(AValue);
}

void TqvFilterNullOperator::PrepareDisplayValue(String& AText) {
  TqvFilterCriteria* criteria = GetCriteria();
  if (criteria && criteria->HasOption(fcoShowOperatorDescription)) AText.clear();
}

String TqvFilterNullOperator::GetDisplayText() { return Caption(&sqvFilterOperatorIsNull); }

bool TqvFilterNotNullOperator::IsMatch(const Variant& AValue, const Variant& AFilterValue) {
  return !inherited::IsMatch(AValue, AFilterValue);
}
String TqvFilterNotNullOperator::GetDisplayText() { return Caption(&sqvFilterOperatorIsNotNull); }
String TqvFilterNotNullOperator::GetExpressionText() { return "<>"; }

// ---------------------------------------------------------------------------------------------
// Relative dates

namespace {

TDateTime MonthStart(TDateTime ADate, Integer AMonths) {
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  return IncMonth(EncodeDate(year, month, 1), AMonths);
}

TDateTime YearStart(TDateTime ADate, Integer AYears) {
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  return EncodeDate(static_cast<Word>(year + AYears), 1, 1);
}

}  // namespace

QJ_IMPLEMENT_CLASS(TqvFilterDateOperator)

String TqvFilterDateOperator::GetItemExpressionText(const Variant&) {
  String field = GetCondition() ? GetCondition()->GetFieldName() : String();
  return "(" + GetValueExpressionText(VarFromDateTime(FRangeStart)) + " <= " + field + ") AND (" +
         field + " < " + GetValueExpressionText(VarFromDateTime(FRangeEnd)) + ")";
}

void TqvFilterDateOperator::PrepareDisplayValue(String& AText) { AText.clear(); }

void TqvFilterDateOperator::Prepare() { CalculateRange(Date(), FRangeStart, FRangeEnd); }

bool TqvFilterDateOperator::IsMatch(const Variant& AValue, const Variant&) {
  TqvFilterCriteria* criteria = GetCriteria();
  bool blank = criteria ? criteria->IsNullValue(AValue) : VarIsNull(AValue);
  if (blank) return false;
  return VarFromDateTime(FRangeStart) <= AValue && AValue < VarFromDateTime(FRangeEnd);
}

String TqvFilterDateOperator::GetExpressionText() { return Caption(GetCaption()); }

#define QJ_DATE_RANGE(Cls, CaptionRes, StartExpr, EndExpr)                                   \
  QJ_IMPLEMENT_CLASS(Cls)                                                                    \
  void Cls::CalculateRange(TDateTime AToday, TDateTime& AStart, TDateTime& AEnd) const {     \
    AStart = StartExpr;                                                                      \
    AEnd = EndExpr;                                                                          \
  }                                                                                          \
  PResStringRec Cls::GetCaption() const { return &CaptionRes; }

QJ_DATE_RANGE(TqvFilterYesterdayOperator, sqvFilterOperatorYesterday, AToday - 1, AToday)
QJ_DATE_RANGE(TqvFilterTodayOperator, sqvFilterOperatorToday, AToday, AToday + 1)
QJ_DATE_RANGE(TqvFilterTomorrowOperator, sqvFilterOperatorTomorrow, AToday + 1, AToday + 2)
QJ_DATE_RANGE(TqvFilterLastWeekOperator, sqvFilterOperatorLastWeek, StartOfWeek(AToday) - 7,
              StartOfWeek(AToday))
QJ_DATE_RANGE(TqvFilterThisWeekOperator, sqvFilterOperatorThisWeek, StartOfWeek(AToday),
              StartOfWeek(AToday) + 7)
QJ_DATE_RANGE(TqvFilterNextWeekOperator, sqvFilterOperatorNextWeek, StartOfWeek(AToday) + 7,
              StartOfWeek(AToday) + 14)
QJ_DATE_RANGE(TqvFilterLastMonthOperator, sqvFilterOperatorLastMonth, MonthStart(AToday, -1),
              MonthStart(AToday, 0))
QJ_DATE_RANGE(TqvFilterThisMonthOperator, sqvFilterOperatorThisMonth, MonthStart(AToday, 0),
              MonthStart(AToday, 1))
QJ_DATE_RANGE(TqvFilterNextMonthOperator, sqvFilterOperatorNextMonth, MonthStart(AToday, 1),
              MonthStart(AToday, 2))
QJ_DATE_RANGE(TqvFilterLastYearOperator, sqvFilterOperatorLastYear, YearStart(AToday, -1),
              YearStart(AToday, 0))
QJ_DATE_RANGE(TqvFilterThisYearOperator, sqvFilterOperatorThisYear, YearStart(AToday, 0),
              YearStart(AToday, 1))
QJ_DATE_RANGE(TqvFilterNextYearOperator, sqvFilterOperatorNextYear, YearStart(AToday, 1),
              YearStart(AToday, 2))
#undef QJ_DATE_RANGE

// ---------------------------------------------------------------------------------------------
// Kind table

TqvFilterOperatorClass GetFilterOperatorClass(Integer AKind) {
  static const TqvFilterOperatorClass classes[qvFilterOperatorKindCount] = {
      &TqvFilterEqualOperator::StaticClass(),       &TqvFilterNotEqualOperator::StaticClass(),
      &TqvFilterLessOperator::StaticClass(),        &TqvFilterLessEqualOperator::StaticClass(),
      &TqvFilterGreaterOperator::StaticClass(),     &TqvFilterGreaterEqualOperator::StaticClass(),
      &TqvFilterLikeOperator::StaticClass(),        &TqvFilterNotLikeOperator::StaticClass(),
      &TqvFilterBetweenOperator::StaticClass(),     &TqvFilterNotBetweenOperator::StaticClass(),
      &TqvFilterInListOperator::StaticClass(),      &TqvFilterNotInListOperator::StaticClass(),
      &TqvFilterYesterdayOperator::StaticClass(),   &TqvFilterTodayOperator::StaticClass(),
      &TqvFilterTomorrowOperator::StaticClass(),    &TqvFilterLastWeekOperator::StaticClass(),
      &TqvFilterLastMonthOperator::StaticClass(),   &TqvFilterLastYearOperator::StaticClass(),
      &TqvFilterThisWeekOperator::StaticClass(),    &TqvFilterThisMonthOperator::StaticClass(),
      &TqvFilterThisYearOperator::StaticClass(),    &TqvFilterNextWeekOperator::StaticClass(),
      &TqvFilterNextMonthOperator::StaticClass(),   &TqvFilterNextYearOperator::StaticClass(),
  };
  if (AKind < 0 || AKind >= qvFilterOperatorKindCount) return nullptr;
  return classes[AKind];
}
