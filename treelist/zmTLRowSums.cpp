// Row sums of a sibling list (a Fenwick tree over the siblings' row counts).
#include "treelist/zmTLRowSums.h"

#include <algorithm>

namespace {

Integer LowBit(Integer I) { return I & -I; }

}  // namespace

void TzmTreeListRowSums::Clear() {
  FSums.clear();
  FCount = 0;
  FCurrent = 0;
  FTotal = 0;
}

void TzmTreeListRowSums::Inserted(Integer Index, Integer Rows) {
  ++FCount;
  FTotal += Rows;
  FCurrent = std::min(FCurrent, Index);
}

void TzmTreeListRowSums::Removed(Integer Index, Integer Rows) {
  --FCount;
  FTotal -= Rows;
  FCurrent = std::min(FCurrent, Index);
}

// Only the exact entries follow: the stale ones are made from the counts when settled.
void TzmTreeListRowSums::Changed(Integer Index, Integer Delta) {
  FTotal += Delta;
  for (Integer i = Index + 1; i <= FCurrent; i += LowBit(i)) FSums[static_cast<size_t>(i - 1)] += Delta;
}

Integer TzmTreeListRowSums::Before(Integer Index) const {
  Integer rows = 0;
  for (Integer i = Index; i > 0; i -= LowBit(i)) rows += FSums[static_cast<size_t>(i - 1)];
  return rows;
}

Integer TzmTreeListRowSums::Find(Integer Row, Integer& RowsBefore) const {
  Integer step = 1;
  while (step * 2 <= FCount) step *= 2;
  // The most siblings whose rows all lie before Row: the next sibling holds it.
  Integer taken = 0, rest = Row;
  for (; step > 0; step /= 2) {
    Integer next = taken + step;
    if (next <= FCount && FSums[static_cast<size_t>(next - 1)] <= rest) {
      taken = next;
      rest -= FSums[static_cast<size_t>(next - 1)];
    }
  }
  RowsBefore = Row - rest;
  return taken;
}
