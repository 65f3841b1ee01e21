// Row sums of a sibling list (a Fenwick tree over the siblings' row counts).
#include "treelist/zmTLRowSums.h"

namespace {

Integer LowBit(Integer I) { return I & -I; }

}  // namespace

void TzmTreeListRowSums::Clear() {
  FSums.clear();
  FTotal = 0;
  FStale = false;
}

void TzmTreeListRowSums::Appended(Integer Rows) {
  FTotal += Rows;
  if (FStale) return;
  Integer i = static_cast<Integer>(FSums.size()) + 1;
  // The new entry covers siblings i - lowbit(i) .. i - 1: the new one and those just before it.
  FSums.push_back(Rows + Before(i - 1) - Before(i - LowBit(i)));
}

void TzmTreeListRowSums::Inserted(Integer Rows) {
  FTotal += Rows;
  FStale = true;
}

void TzmTreeListRowSums::Removed(Integer Rows) {
  FTotal -= Rows;
  FStale = true;
}

void TzmTreeListRowSums::Changed(Integer Index, Integer Delta) {
  FTotal += Delta;
  if (FStale) return;
  Integer count = static_cast<Integer>(FSums.size());
  for (Integer i = Index + 1; i <= count; i += LowBit(i)) FSums[static_cast<size_t>(i - 1)] += Delta;
}

Integer TzmTreeListRowSums::Before(Integer Index) const {
  Integer rows = 0;
  for (Integer i = Index; i > 0; i -= LowBit(i)) rows += FSums[static_cast<size_t>(i - 1)];
  return rows;
}

Integer TzmTreeListRowSums::Find(Integer Row, Integer& RowsBefore) const {
  Integer count = static_cast<Integer>(FSums.size());
  Integer step = 1;
  while (step * 2 <= count) step *= 2;
  // The most siblings whose rows all lie before Row: the next sibling holds it.
  Integer taken = 0, rest = Row;
  for (; step > 0; step /= 2) {
    Integer next = taken + step;
    if (next <= count && FSums[static_cast<size_t>(next - 1)] <= rest) {
      taken = next;
      rest -= FSums[static_cast<size_t>(next - 1)];
    }
  }
  RowsBefore = Row - rest;
  return taken;
}
