// Replacement texts for the library's resource strings for the life of a scope, as a host that
// translates the library installs them; the default texts return when the scope ends, also when
// an assertion or an exception leaves it early.
#pragma once

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "core/qvClasses.h"

using TResourceTexts = std::vector<std::pair<PResStringRec, const char*>>;

class TResourceTextScope {
 public:
  explicit TResourceTextScope(const TResourceTexts& ATexts) {
    auto overrides = std::make_unique<TqvResourceStringOverrides>();
    for (const auto& [resString, text] : ATexts) overrides->Add(resString, text);
    SetResourceStringOverrides(std::move(overrides));
  }
  TResourceTextScope(std::initializer_list<TResourceTexts::value_type> ATexts)
      : TResourceTextScope(TResourceTexts(ATexts)) {}
  ~TResourceTextScope() { SetResourceStringOverrides(nullptr); }
  TResourceTextScope(const TResourceTextScope&) = delete;
  TResourceTextScope& operator=(const TResourceTextScope&) = delete;
};
