// The rows of one list of sibling nodes, summed so that display indexes come in O(log n) steps.
//
// Every node of a tree list knows how many rows it takes while shown: its own and, when it is
// expanded, those of its children. A list of siblings keeps those counts summed in a Fenwick
// tree: the rows before a sibling, and the sibling that holds a given row, are found by walking
// O(log n) partial sums, and a count that changes updates O(log n) of them. Appending keeps the
// sums current; any other change of the list's order (an insertion inside it, a removal, a sort)
// only marks them stale, and the owner sums them again from the list when next asked.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

class TzmTreeListRowSums {
 public:
  // The rows of all the siblings: always current.
  Integer GetTotal() const { return FTotal; }
  // The sums cover the list as it is (false after a change of its order).
  bool IsCurrent() const { return !FStale; }

  void Clear();
  // A sibling taking Rows rows joined the list at its end.
  void Appended(Integer Rows);
  // A sibling taking Rows rows joined the list elsewhere, or one left it.
  void Inserted(Integer Rows);
  void Removed(Integer Rows);
  // The siblings changed places.
  void Reordered() { FStale = true; }
  // The sibling at Index takes Delta rows more (Index is read only while the sums are current).
  void Changed(Integer Index, Integer Delta);
  // Sums the Count siblings again, RowsAt(i) giving the rows of sibling i.
  template <class F>
  void Rebuild(Integer Count, F&& RowsAt);

  // Current sums only: the rows before sibling Index (0 <= Index <= Count).
  Integer Before(Integer Index) const;
  // Current sums only: the sibling holding Row (0 <= Row < Total, every sibling taking at least
  // one row), with the rows before it.
  Integer Find(Integer Row, Integer& RowsBefore) const;

 private:
  // FSums[i - 1] holds the rows of siblings i - lowbit(i) .. i - 1 (Fenwick order, 1-based i).
  std::vector<Integer> FSums;
  Integer FTotal = 0;
  bool FStale = false;
};

template <class F>
void TzmTreeListRowSums::Rebuild(Integer Count, F&& RowsAt) {
  FSums.assign(static_cast<size_t>(Count), 0);
  FTotal = 0;
  for (Integer i = 1; i <= Count; ++i) {
    Integer rows = RowsAt(i - 1);
    FTotal += rows;
    FSums[static_cast<size_t>(i - 1)] += rows;
    Integer parent = i + (i & -i);
    if (parent <= Count) FSums[static_cast<size_t>(parent - 1)] += FSums[static_cast<size_t>(i - 1)];
  }
  FStale = false;
}
