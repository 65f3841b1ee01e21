#include "core/qvAutoWidth.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvAutoWidthItem)
QJ_IMPLEMENT_CLASS(TqvAutoWidthObject)

namespace {

// The share of the item whose weight ends the running sum ASum + AWidth: taking differences of
// cumulative roundings makes the shares add up exactly to AAvail.
Integer RunningShare(Integer ASum, Integer AWidth, Integer AAvail, Integer ATotal) {
  return MulDiv(ASum + AWidth, AAvail, ATotal) - MulDiv(ASum, AAvail, ATotal);
}

}  // namespace

TqvAutoWidthObject::TqvAutoWidthObject(Integer ACapacity) {
  if (ACapacity > 0) FItems.reserve(static_cast<size_t>(ACapacity));
}

TqvAutoWidthObject::~TqvAutoWidthObject() = default;

TqvAutoWidthItem* TqvAutoWidthObject::AppendItem() {
  FItems.push_back(MakeOwned<TqvAutoWidthItem>());
  return FItems.back().get();
}

TqvAutoWidthItem* TqvAutoWidthObject::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[static_cast<size_t>(AIndex)].get();
}

Integer TqvAutoWidthObject::GetWidth() const {
  Integer result = 0;
  for (const auto& item : FItems) result += item->Width;
  return result;
}

void TqvAutoWidthObject::Calculate() {
  const size_t count = FItems.size();
  // Which items still wait for a width; kept apart from AutoWidth so that a second run starts
  // afresh and a share of -1 is not taken for "unassigned".
  std::vector<bool> assigned(count, false);
  Integer restAvail = AvailableWidth;
  Integer restTotal = GetWidth();
  for (size_t i = 0; i < count; ++i) {
    TqvAutoWidthItem& item = *FItems[i];
    item.AutoWidth = -1;
    if (!item.Fixed) continue;
    item.AutoWidth = item.Width;
    assigned[i] = true;
    restAvail -= item.Width;
    restTotal -= item.Width;
  }
  bool lastPass = false;
  bool pinned;
  do {
    const Integer avail = restAvail;
    const Integer total = restTotal;
    Integer sum = 0;
    pinned = false;
    for (size_t i = 0; i < count; ++i) {
      if (assigned[i]) continue;
      TqvAutoWidthItem& item = *FItems[i];
      Integer share = RunningShare(sum, item.Width, avail, total);
      if (lastPass) {
        item.AutoWidth = share;
        assigned[i] = true;
      } else if (item.MinWidth >= share) {
        item.AutoWidth = item.MinWidth;
        assigned[i] = true;
        restAvail -= item.MinWidth;
        restTotal -= item.Width;
        pinned = true;
      }
      sum += item.Width;
    }
    if (!pinned) lastPass = !lastPass;
  } while (restTotal != 0 && (pinned || lastPass));
  for (const auto& item : FItems) item->AutoWidth = std::max<Integer>(item->AutoWidth, 0);
}
