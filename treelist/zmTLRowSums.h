// The rows of one list of sibling nodes, summed so that display indexes come in O(log n) steps.
//
// Every node of a tree list knows how many rows it takes while shown: its own and, when it is
// expanded, those of its children. A list of siblings keeps those counts summed in a Fenwick
// tree: the rows before a sibling, and the sibling that holds a given row, are found by walking
// O(log n) partial sums, and a count that changes updates O(log n) of them. A sibling that joins
// or leaves the list leaves the sums of the siblings before it as they are: only the sums from
// the first changed place on go stale, and the owner sums those again when next asked (appending
// costs O(log n), a removal in the middle what follows it). A sort leaves them all stale.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

class TzmTreeListRowSums {
 public:
  // The rows of all the siblings: always current.
  Integer GetTotal() const { return FTotal; }
  // The sums cover the whole list (false after a change of its order).
  bool IsCurrent() const { return FCurrent == FCount; }

  void Clear();
  // A sibling taking Rows rows joined the list at Index.
  void Inserted(Integer Index, Integer Rows);
  // The sibling at Index, taking Rows rows, left the list.
  void Removed(Integer Index, Integer Rows);
  // The siblings changed places.
  void Reordered() { FCurrent = 0; }
  // The sibling at Index takes Delta rows more.
  void Changed(Integer Index, Integer Delta);
  // Sums the stale part again: RowsAt(i) gives the rows of sibling i, and is asked only for the
  // siblings from the first changed place on (the ones before it kept their places).
  template <class F>
  void Settle(F&& RowsAt);

  // Current sums only: the rows before sibling Index (0 <= Index <= Count).
  Integer Before(Integer Index) const;
  // Current sums only: the sibling holding Row (0 <= Row < Total, every sibling taking at least
  // one row), with the rows before it.
  Integer Find(Integer Row, Integer& RowsBefore) const;

 private:
  // FSums[i - 1] holds the rows of siblings i - lowbit(i) .. i - 1 (Fenwick order, 1-based i);
  // the first FCurrent entries are exact (each covers only siblings before it).
  std::vector<Integer> FSums;
  Integer FCount = 0;
  Integer FCurrent = 0;
  Integer FTotal = 0;
};

// Entry i is sibling i - 1's rows plus the entries i - 1, i - 2, i - 4, ... below lowbit(i): all
// before it, so the entries are made in order from the first stale one.
template <class F>
void TzmTreeListRowSums::Settle(F&& RowsAt) {
  FSums.resize(static_cast<size_t>(FCount));
  for (Integer i = FCurrent + 1; i <= FCount; ++i) {
    Integer rows = RowsAt(i - 1);
    for (Integer step = 1; step < (i & -i); step *= 2) rows += FSums[static_cast<size_t>(i - step - 1)];
    FSums[static_cast<size_t>(i - 1)] = rows;
  }
  FCurrent = FCount;
}
