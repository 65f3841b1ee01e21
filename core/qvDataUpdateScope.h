// Brackets a block of controller changes with BeginUpdate/EndUpdate, also when it raises (the
// rebuild's own error then gives way to the one already in flight).
#pragma once

#include <exception>
#include <utility>

#include "core/qvCustomData.h"

class TqvDataUpdateScope {
 public:
  explicit TqvDataUpdateScope(TqvCustomDataController* AController) : FController(AController) {
    FController->BeginUpdate();
  }
  ~TqvDataUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->EndUpdate();
      } catch (...) {
      }
    } else {
      FController->EndUpdate();
    }
  }
  TqvDataUpdateScope(const TqvDataUpdateScope&) = delete;
  TqvDataUpdateScope& operator=(const TqvDataUpdateScope&) = delete;

 private:
  TqvCustomDataController* FController;
  int FExceptions = std::uncaught_exceptions();
};

// Sets a flag for the duration of a block.
class TqvFlagScope {
 public:
  TqvFlagScope(bool& AFlag, bool AValue) : FFlag(AFlag), FOld(AFlag) { FFlag = AValue; }
  // For a block that calls out: the flag's owner may be gone at its end, then nothing is restored.
  TqvFlagScope(bool& AFlag, bool AValue, TAliveToken AOwnerAlive)
      : FFlag(AFlag), FOld(AFlag), FOwnerAlive(std::move(AOwnerAlive)), FGuarded(true) {
    FFlag = AValue;
  }
  ~TqvFlagScope() {
    if (!FGuarded || FOwnerAlive) FFlag = FOld;
  }
  TqvFlagScope(const TqvFlagScope&) = delete;
  TqvFlagScope& operator=(const TqvFlagScope&) = delete;

 private:
  bool& FFlag;
  bool FOld;
  TAliveToken FOwnerAlive;
  bool FGuarded = false;
};
