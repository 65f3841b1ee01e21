// Names of parameterised cases made from the description a case carries in its Name field:
// "next on the last row stays" names the case NextOnTheLastRowStays (letters and digits kept,
// each word capitalised), so a table reads as sentences and a failure names its case. Cases
// print as their description.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

inline std::string CaseName(const std::string& ADescription) {
  std::string name;
  bool wordStart = true;
  for (char c : ADescription) {
    const auto u = static_cast<unsigned char>(c);
    if (!std::isalnum(u)) {
      wordStart = true;
      continue;
    }
    name += wordStart ? static_cast<char>(std::toupper(u)) : c;
    wordStart = false;
  }
  return name;
}

// The name generator of INSTANTIATE_TEST_SUITE_P for case structures with a Name field.
struct TCaseNameFromDescription {
  template <class TCase>
  std::string operator()(const ::testing::TestParamInfo<TCase>& AInfo) const {
    return CaseName(AInfo.param.Name);
  }
};
