#include "platform/data/DBRecordIds.h"

#include <algorithm>
#include <limits>

#include "platform/data/DBConsts.h"
#include "platform/data/DBStorage.h"

namespace {

// Identities read at once: a page to begin with, doubling as the reads go on, so that walking
// the whole selection takes few statements and showing its first records reads little.
constexpr Integer FirstIdPage = 256;
constexpr Integer MaxIdPage = 65536;

}  // namespace

void TRecordIds::Reset(TDataSetStorage* AStorage) {
  std::vector<TRecordId> all;
  bool paged = AStorage->PagesIds();
  if (!paged) AStorage->FetchIds(all);
  FStorage = AStorage;
  FTail.clear();
  FPage = FirstIdPage;
  FStale = false;
  if (!paged) return Assign(std::move(all));
  FHead.clear();
  FCount = -1;
  FComplete = false;
  FWrites = AStorage->WriteCount();
}

void TRecordIds::Clear() { Assign({}); }

void TRecordIds::Assign(std::vector<TRecordId>&& AIds) {
  FHead = std::move(AIds);
  FTail.clear();
  FComplete = true;
  FCount = static_cast<Integer>(FHead.size());
}

void TRecordIds::LoadAll() { ReadHead(std::numeric_limits<Integer>::max() - 1); }

Integer TRecordIds::Count() {
  if (FComplete) return static_cast<Integer>(FHead.size());
  CheckWrites();
  if (FCount < 0) {
    // Unless the storage changed meanwhile, what the head holds is what the storage counts first.
    bool after = FStale && !FHead.empty();
    Integer rest = FStorage->CountIds(after ? &FHead.back() : nullptr);
    FCount = after ? static_cast<Integer>(FHead.size()) + rest : rest;
    if (FCount <= Known()) JoinTail();
  }
  return FCount;
}

bool TRecordIds::ExistsBeyondHead(Integer APosition) {
  if (APosition < 0 || FComplete) return false;
  CheckWrites();
  // Far beyond what was read, the count answers without reading up to the position.
  if (FCount < 0 && APosition - static_cast<Integer>(FHead.size()) >= FPage) Count();
  if (FCount >= 0) return APosition < FCount;
  ReadHead(APosition);
  return APosition < static_cast<Integer>(FHead.size());
}

Integer TRecordIds::Clamp(Integer AEnd) {
  if (AEnd <= 0) return std::max(AEnd, 0);
  return Exists(AEnd - 1) ? AEnd : Count();
}

TRecordId TRecordIds::AtBeyondHead(Integer APosition) {
  if (APosition >= static_cast<Integer>(FHead.size()) && !FComplete) {
    Integer count = Count();
    Integer tailStart = count - static_cast<Integer>(FTail.size());
    if (APosition < tailStart) {
      // Read from the nearer end.
      if (tailStart - APosition < APosition - static_cast<Integer>(FHead.size()))
        ReadTail(APosition);
      else
        ReadHead(APosition);
    }
  }
  if (APosition >= 0 && APosition < static_cast<Integer>(FHead.size())) return FHead[static_cast<size_t>(APosition)];
  Integer tailStart = FCount - static_cast<Integer>(FTail.size());
  if (!FTail.empty() && APosition >= tailStart && APosition < FCount)
    return FTail[static_cast<size_t>(APosition - tailStart)];
  // The storage holds fewer records than it counted a moment ago (another connection deleted some).
  throw EDatabaseError(&SRecordChanged);
}

Integer TRecordIds::PositionOf(TRecordId AId) {
  for (;;) {
    if (!FHead.empty() && AId <= FHead.back()) {
      auto it = std::lower_bound(FHead.begin(), FHead.end(), AId);
      return *it == AId ? static_cast<Integer>(it - FHead.begin()) : -1;
    }
    if (FComplete) return -1;
    CheckWrites();
    if (!FTail.empty() && AId >= FTail.front()) {
      auto it = std::lower_bound(FTail.begin(), FTail.end(), AId);
      if (it == FTail.end() || *it != AId) return -1;
      return FCount - static_cast<Integer>(FTail.end() - it);
    }
    ReadHead(static_cast<Integer>(FHead.size()));
  }
}

void TRecordIds::Erase(Integer APosition) {
  FHead.erase(FHead.begin() + APosition);
  FCount = static_cast<Integer>(FHead.size());
}

void TRecordIds::Insert(TRecordId AId) {
  FHead.insert(std::lower_bound(FHead.begin(), FHead.end(), AId), AId);
  FCount = static_cast<Integer>(FHead.size());
}

// A write of the storage's connection: the identities not read yet are read as they are now,
// after the head, whose positions stay.
void TRecordIds::CheckWrites() {
  Int64 writes = FStorage->WriteCount();
  if (writes == FWrites) return;
  FWrites = writes;
  FStale = true;
  DropTail();
}

void TRecordIds::ReadHead(Integer AUpTo) {
  while (!FComplete && static_cast<Integer>(FHead.size()) <= AUpTo) {
    CheckWrites();
    bool bounded = FCount >= 0 && !FTail.empty();
    Integer wanted = std::max(FPage, AUpTo + 1 - static_cast<Integer>(FHead.size()));
    if (bounded) wanted = std::min(wanted, FCount - Known());
    std::vector<TRecordId> page;
    if (wanted > 0) FStorage->FetchIdPage(FHead.empty() ? nullptr : &FHead.back(), false, wanted, page);
    FPage = std::min(FPage * 2, MaxIdPage);
    // The tail no longer joins the page where the storage holds other records than it counted.
    if (bounded && (static_cast<Integer>(page.size()) < wanted || (!page.empty() && page.back() >= FTail.front())))
      DropTail();
    bool shortPage = static_cast<Integer>(page.size()) < wanted;
    FHead.insert(FHead.end(), page.begin(), page.end());
    if (!FTail.empty()) {
      if (Known() == FCount) JoinTail();
    } else if (shortPage) {
      FComplete = true;
      FCount = static_cast<Integer>(FHead.size());
    }
  }
}

void TRecordIds::ReadTail(Integer AFrom) {
  Integer tailStart = FCount - static_cast<Integer>(FTail.size());
  Integer wanted = std::min(std::max(FPage, tailStart - AFrom), FCount - Known());
  std::vector<TRecordId> page;
  FStorage->FetchIdPage(FTail.empty() ? nullptr : &FTail.front(), true, wanted, page);
  FPage = std::min(FPage * 2, MaxIdPage);
  if (static_cast<Integer>(page.size()) < wanted || (!FHead.empty() && !page.empty() && page.back() <= FHead.back())) {
    // Not the records counted: read from the head instead.
    DropTail();
    return ReadHead(AFrom);
  }
  FTail.insert(FTail.begin(), page.rbegin(), page.rend());
  if (Known() == FCount) JoinTail();
}

void TRecordIds::JoinTail() {
  FHead.insert(FHead.end(), FTail.begin(), FTail.end());
  FTail.clear();
  FComplete = true;
  FCount = static_cast<Integer>(FHead.size());
}

void TRecordIds::DropTail() {
  FTail.clear();
  FCount = -1;
}

// ---------------------------------------------------------------------------------------------
// Pages of a storage that reads its whole selection at once

void TDataSetStorage::FetchIdPage(const TRecordId* AFrom, bool ADescending, Integer ALimit,
                                  std::vector<TRecordId>& AIds) {
  std::vector<TRecordId> all;
  FetchIds(all);
  if (ADescending) std::reverse(all.begin(), all.end());
  auto beyond = [&](TRecordId AId) { return !AFrom || (ADescending ? AId < *AFrom : AId > *AFrom); };
  std::vector<TRecordId> page;
  for (TRecordId id : all)
    if (static_cast<Integer>(page.size()) < ALimit && beyond(id)) page.push_back(id);
  AIds.swap(page);
}

Integer TDataSetStorage::CountIds(const TRecordId* AAfter) {
  std::vector<TRecordId> all;
  FetchIds(all);
  return static_cast<Integer>(std::count_if(all.begin(), all.end(), [&](TRecordId AId) { return !AAfter || AId > *AAfter; }));
}
