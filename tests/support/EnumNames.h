// Names of enumeration values, and of other constants a test chooses among (painter class
// references ...), for failure messages, logs and parameterised case names. Each type has one
// table of value-name pairs, so a name always belongs to its value whatever the order of the
// enumeration; QJ_NAMED writes a pair named after the value as spelt ("cbsChecked"; a scoped
// value "TqvCalcState::Ready" reads "Ready"). A value the table lacks prints as its number, never
// as a neighbour's name.
#pragma once

#include <initializer_list>
#include <string>
#include <type_traits>

template <class T>
struct TNamedValue {
  T Value;
  const char* Name;
};

#define QJ_NAMED(V) \
  { V, #V }

template <class T>
std::string NameOf(T AValue, std::initializer_list<TNamedValue<std::type_identity_t<T>>> ANames) {
  for (const TNamedValue<T>& named : ANames) {
    if (!(named.Value == AValue)) continue;
    const std::string name = named.Name;
    const size_t scope = name.rfind("::");
    return scope == std::string::npos ? name : name.substr(scope + 2);
  }
  if constexpr (std::is_enum_v<T>)
    return std::to_string(static_cast<long long>(AValue));
  else
    return "unnamed";
}
