// Spreads an available width over a row of items (columns, bands, status panels) in proportion
// to their natural widths, so that they fill it exactly: fixed items keep their width and no item
// is made narrower than its minimum.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/System.h"

class TqvAutoWidthItem : public TObject {
  QJ_CLASS(TqvAutoWidthItem, TObject)
 public:
  Integer MinWidth = 0;
  Integer Width = 0;  // the natural width, also the item's weight
  bool Fixed = false;
  Integer AutoWidth = -1;  // the result; -1 until calculated
};

class TqvAutoWidthObject : public TObject {
  QJ_CLASS(TqvAutoWidthObject, TObject)
 public:
  explicit TqvAutoWidthObject(Integer ACapacity);
  ~TqvAutoWidthObject() override;

  TqvAutoWidthItem* AppendItem();
  TqvAutoWidthItem* AddItem() { return AppendItem(); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError for an index outside the list.
  TqvAutoWidthItem* GetItem(Integer AIndex) const;
  // The sum of the natural widths, fixed items included.
  Integer GetWidth() const;
  // Fills AutoWidth of every item. It may be run again after the items or the available width
  // changed: every free item is distributed anew. Results are never negative.
  void Calculate();

  Integer AvailableWidth = 0;

 private:
  std::vector<TOwned<TqvAutoWidthItem>> FItems;
};
