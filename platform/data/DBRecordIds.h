// The identities of a dataset's records in dataset order, read from its storage as far as they
// are asked for: from the first record on as the cursor walks, from the last one back after a
// jump to the end, and the count only when someone asks for it. Opening a large table therefore
// costs no more than the records it shows.
//
// The identities handed out keep their positions until the next Reset. While the list is not
// complete and the storage's write count moves, the part not yet read is read as the storage
// holds it then.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

// A record's identity in its storage. Datasets keep their records in ascending identity order.
using TRecordId = Int64;
class TDataSetStorage;

class TRecordIds {
 public:
  // Starts over on the storage's selection: all at once from a storage that cannot page its
  // identities, else the first page when it is first asked for.
  void Reset(TDataSetStorage* AStorage);
  void Clear();
  // The whole selection, as read by the caller.
  void Assign(std::vector<TRecordId>&& AIds);
  // Reads what is still missing: the list changes only when it is complete.
  void LoadAll();

  Integer Count();
  bool Empty() { return !Exists(0); }
  // Whether a record has position APosition; reads up to it when needed.
  bool Exists(Integer APosition) {
    return (APosition >= 0 && APosition < static_cast<Integer>(FHead.size())) || ExistsBeyondHead(APosition);
  }
  // The smaller of AEnd and Count(), reading no further than AEnd.
  Integer Clamp(Integer AEnd);
  // The identity at an existing position.
  TRecordId At(Integer APosition) {
    if (APosition >= 0 && APosition < static_cast<Integer>(FHead.size())) return FHead[static_cast<size_t>(APosition)];
    return AtBeyondHead(APosition);
  }
  TRecordId Back() { return At(Count() - 1); }
  // -1 when the record is not in the selection.
  Integer PositionOf(TRecordId AId);

  // On a complete list (LoadAll first).
  void Erase(Integer APosition);
  void Insert(TRecordId AId);

 private:
  Integer Known() const { return static_cast<Integer>(FHead.size() + FTail.size()); }
  bool ExistsBeyondHead(Integer APosition);
  TRecordId AtBeyondHead(Integer APosition);
  void CheckWrites();
  void ReadHead(Integer AUpTo);
  void ReadTail(Integer AFrom);
  void JoinTail();
  void DropTail();

  TDataSetStorage* FStorage = nullptr;
  std::vector<TRecordId> FHead;  // positions 0 on
  std::vector<TRecordId> FTail;  // the last positions, ascending
  Integer FCount = -1;           // -1 while unknown
  bool FComplete = true;         // FHead holds every identity
  bool FStale = false;           // the storage was written to since Reset
  Int64 FWrites = 0;
  Integer FPage = 0;             // identities the next read takes
};
