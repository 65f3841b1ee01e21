#include "platform/data/DB.h"
#include "platform/data/DBConsts.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TParam)
QJ_IMPLEMENT_CLASS(TParams)

namespace {

// The position after the quoted part that starts at APos (closing quote doubled inside).
size_t SkipQuoted(const String& AText, size_t APos, char AClose) {
  for (size_t i = APos + 1; i < AText.size(); ++i) {
    if (AText[i] != AClose) continue;
    if (i + 1 < AText.size() && AText[i + 1] == AClose && AClose != ']') {
      ++i;
      continue;
    }
    return i + 1;
  }
  return AText.size();
}

size_t SkipComment(const String& AText, size_t APos) {
  if (AText.compare(APos, 2, "--") == 0) {
    size_t end = AText.find('\n', APos);
    return end == String::npos ? AText.size() : end + 1;
  }
  size_t end = AText.find("*/", APos + 2);
  return end == String::npos ? AText.size() : end + 2;
}

// The ":name" markers of an SQL text, each name once, in order of appearance.
std::vector<String> ParamNames(const String& ASQL) {
  std::vector<String> names;
  size_t i = 0;
  while (i < ASQL.size()) {
    char c = ASQL[i];
    if (c == '\'' || c == '"' || c == '`') {
      i = SkipQuoted(ASQL, i, c);
    } else if (c == '[') {
      i = SkipQuoted(ASQL, i, ']');
    } else if (ASQL.compare(i, 2, "--") == 0 || ASQL.compare(i, 2, "/*") == 0) {
      i = SkipComment(ASQL, i);
    } else if (c == ':' && i + 1 < ASQL.size() && IsIdentChar(ASQL[i + 1])) {
      size_t start = ++i;
      while (i < ASQL.size() && IsIdentChar(ASQL[i])) ++i;
      String name = ASQL.substr(start, i - start);
      bool known = false;
      for (const String& n : names) known = known || SameText(n, name);
      if (!known) names.push_back(name);
    } else {
      ++i;
    }
  }
  return names;
}

}  // namespace

void TParam::Assign(TPersistent* Source) {
  if (auto* param = As<TParam>(Source)) {
    FName = param->FName;
    FValue = param->FValue;
    return;
  }
  inherited::Assign(Source);
}

TParams::TParams() : TCollection(&TParam::StaticClass()) {}

TParam* TParams::CreateParam(const String& AName) {
  TParam* param = static_cast<TParam*>(Add());
  param->SetName(AName);
  return param;
}

TParam* TParams::FindParam(const String& AName) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (SameText(GetItem(i)->GetName(), AName)) return GetItem(i);
  return nullptr;
}

TParam* TParams::ParamByName(const String& AName) const {
  TParam* param = FindParam(AName);
  if (!param) throw EDatabaseError(&SParameterNotFound, {AName});
  return param;
}

std::vector<TParam*> TParams::ParamList(const String& AParamNames) const {
  std::vector<TParam*> params;
  Integer pos = 1;
  while (pos <= Length(AParamNames)) params.push_back(ParamByName(ExtractFieldName(AParamNames, pos)));
  return params;
}

Variant TParams::GetParamValues(const String& AParamNames) const {
  std::vector<TParam*> params = ParamList(AParamNames);
  if (params.size() == 1) return params[0]->GetValue();
  Variant values = VarArrayCreate(0, static_cast<Integer>(params.size()) - 1, varVariant);
  for (size_t i = 0; i < params.size(); ++i) values.SetElement(static_cast<Integer>(i), params[i]->GetValue());
  return values;
}

void TParams::SetParamValues(const String& AParamNames, const Variant& Value) {
  std::vector<TParam*> params = ParamList(AParamNames);
  if (params.size() == 1) {
    params[0]->SetValue(Value);
    return;
  }
  Integer count = static_cast<Integer>(params.size());
  if (!VarIsArray(Value) || Value.ArrayHighBound() - Value.ArrayLowBound() + 1 != count)
    throw EDatabaseError(&SFieldValueCount, {AParamNames, count});
  for (Integer i = 0; i < count; ++i) params[static_cast<size_t>(i)]->SetValue(Value.GetElement(Value.ArrayLowBound() + i));
}

void TParams::ParseSQL(const String& ASQL) {
  std::vector<std::pair<String, Variant>> kept;
  for (Integer i = 0; i < GetCount(); ++i) kept.emplace_back(GetItem(i)->GetName(), GetItem(i)->GetValue());
  TUpdateScope<TParams> update(*this);
  Clear();
  for (const String& name : ParamNames(ASQL)) {
    TParam* param = CreateParam(name);
    for (const auto& old : kept)
      if (SameText(old.first, name)) param->SetValue(old.second);
  }
}
