// Bands of the tree list with columns: headers above groups of columns, each with its width,
// caption, alignment, sizing and visibility; at most one fixed at the left edge and one at the
// right. Columns refer to their band by its index in the collection, so every move or deletion
// of a band renumbers the columns.
#pragma once

#include "platform/rtl/Collection.h"
#include "treelist/zmTL.h"

class TCustomzmTreeListControl;
class TzmTreeListColumn;
class TzmTreeListBands;

enum TzmGridBandFixed : Byte { bfNone, bfLeft, bfRight };

class TzmTreeListBand : public TCollectionItem {
  QJ_CLASS(TzmTreeListBand, TCollectionItem)
 public:
  explicit TzmTreeListBand(TCollection* Collection) : TCollectionItem(Collection) {}
  // Columns of the band lose it and columns of later bands follow it down, unless the control is
  // being destroyed.
  void BeforeDestruction() override;

  // Copies every setting of another band in one collection update.
  void Assign(TPersistent* Source) override;
  // Alignment, fixing, minimum width, own-columns rule, sizing and width back to their defaults
  // (no notification).
  virtual void RestoreDefaults();
  // Moves the band (not a fixed one) and renumbers the columns so that they follow their bands.
  void SetIndex(Integer Value) override;

  TCustomzmTreeListControl* GetTreeList() const;
  Integer GetVisibleIndex() const;
  Integer GetRowCount() const;
  Integer GetRowColCount(Integer Row) const;
  TzmTreeListColumn* GetColumnAt(Integer Row, Integer Col) const;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool GetDisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool Value);
  bool GetDisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool Value) { FDisableDragging = Value; }
  TzmGridBandFixed GetFixed() const { return FFixed; }
  // A band fixed at an edge moves there and unfixes the band fixed there before; a hidden band
  // cannot be fixed.
  void SetFixed(TzmGridBandFixed Value);
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);
  bool GetOnlyOwnColumns() const { return FOnlyOwnColumns; }
  void SetOnlyOwnColumns(bool Value) { FOnlyOwnColumns = Value; }
  bool GetSizing() const { return FSizing; }
  void SetSizing(bool Value);
  bool GetVisible() const { return FVisible; }
  // Hiding also unfixes the band.
  void SetVisible(bool Value);
  Integer GetWidth() const { return FWidth; }
  // Never below MinWidth.
  void SetWidth(Integer Value);

 private:
  friend class TzmTreeListBands;
  TzmTreeListBands* GetBands() const;

  TAlignment FAlignment = taCenter;
  String FCaption;
  bool FDisableCustomizing = false;
  bool FDisableDragging = false;
  TzmGridBandFixed FFixed = bfNone;
  Integer FMinWidth = 30;
  bool FOnlyOwnColumns = false;
  bool FSizing = true;
  bool FVisible = true;
  Integer FWidth = 250;
};

class TzmTreeListBands : public TOwnedCollection {
  QJ_CLASS(TzmTreeListBands, TOwnedCollection)
 public:
  explicit TzmTreeListBands(TCustomzmTreeListControl* AControl);

  TCustomzmTreeListControl* GetTreeList() const { return FTreeList; }
  void SetTreeList(TCustomzmTreeListControl* Value);
  TzmTreeListBand* Add() { return static_cast<TzmTreeListBand*>(TCollection::Add()); }
  TzmTreeListBand* GetItem(Integer Index) const { return static_cast<TzmTreeListBand*>(TCollection::GetItem(Index)); }
  Integer VisibleCount() const;
  // The absolute index of the n-th visible band, -1 out of range.
  Integer GetAbsoluteIndex(Integer VisibleIndex) const;
  // The number of visible bands before band Index, -1 when it is hidden or out of range.
  Integer GetVisibleIndexOf(Integer Index) const;
  // nullptr when none.
  TzmTreeListBand* VisibleItems(Integer VisibleIndex) const;
  // Keeps the first left-fixed band first and the first right-fixed band last, unfixing others.
  void CheckFixedBands();

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomzmTreeListControl* FTreeList;
};
