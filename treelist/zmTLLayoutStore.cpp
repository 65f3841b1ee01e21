// The layout of the tree list with columns in the registry store or an INI file: grid switches,
// row and band-row counts, row height, the order, visibility and width of the bands, and the
// place, visibility, width and sort of the columns. Stored values are checked as they are read:
// a value out of range keeps the current setting.
#include <algorithm>
#include <exception>
#include <vector>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmUtils.h"

namespace {

constexpr Integer kMostRowHeight = 10000;
constexpr Integer kMostWidth = 100000;

// An entry of the band or column order: the stored position, then the current one for ties.
template <class T>
struct TOrderEntry {
  Integer Stored;
  Integer Current;
  T* Item;
  String Section;
};

template <class T>
void SortOrder(std::vector<TOrderEntry<T>>& Entries) {
  std::stable_sort(Entries.begin(), Entries.end(), [](const TOrderEntry<T>& A, const TOrderEntry<T>& B) {
    return A.Stored != B.Stored ? A.Stored < B.Stored : A.Current < B.Current;
  });
}

// A stored integer in [Least, Most], else Default.
Integer ReadInRange(TzmRegIniWrapper* Wrapper, const String& Section, const String& Ident, Integer Default,
                    Integer Least, Integer Most) {
  Integer value = Wrapper->ReadInteger(Section, Ident, Default);
  return value >= Least && value <= Most ? value : Default;
}

}  // namespace

String NormalizeLayoutPath(const String& Path) {
  String p = Path;
  if (!p.empty() && p[0] != '\\') p.insert(p.begin(), '\\');
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

String TCustomzmTreeListControl::ColumnSection(const String& Path, TzmTreeListColumn* Column) {
  // "#" is no part of a component name: an unnamed column never shares a named one's section.
  String name = Column->GetName();
  if (name.empty()) name = "#" + IntToStr(IndexOfColumn(Column));
  return Path + "\\Columns\\" + name;
}

// ---------------------------------------------------------------------------------------------
// Writing

void TCustomzmTreeListControl::WriteControlLayout(TzmRegIniWrapper* Wrapper, const String& Path) {
  Wrapper->WriteBool(Path, "ShowGrid", GetShowGrid());
  Wrapper->WriteBool(Path, "ShowPreviewGrid", GetShowPreviewGrid());
  Wrapper->WriteInteger(Path, "BandRowCount", FBandRowCount);
  Wrapper->WriteInteger(Path, "DefaultRowHeight", GetRowHeight());
  Wrapper->WriteInteger(Path, "HeaderPanelRowCount", IsAutoHeaderPanelRowCount() ? -1 : FHeaderPanelRowCount);
  for (Integer n = 0; n < FBands->GetCount(); ++n) {
    TzmTreeListBand* band = FBands->GetItem(n);
    String section = Path + "\\Band\\Band" + IntToStr(n);
    Wrapper->WriteInteger(section, "ID", band->GetID());
    Wrapper->WriteBool(section, "Visible", band->GetVisible());
    Wrapper->WriteInteger(section, "Index", band->GetIndex());
    Wrapper->WriteInteger(section, "Width", band->GetWidth());
  }
}

void TCustomzmTreeListControl::WriteColumnLayout(TzmRegIniWrapper* Wrapper, const String& Section,
                                                 TzmTreeListColumn* Column) {
  Wrapper->WriteInteger(Section, "BandIndex", Column->GetBandIndex());
  Wrapper->WriteInteger(Section, "RowIndex", Column->GetRowIndex());
  Wrapper->WriteInteger(Section, "ColIndex", Column->GetColIndex());
  Wrapper->WriteBool(Section, "Visible", Column->GetVisible());
  Wrapper->WriteInteger(Section, "Index", IndexOfColumn(Column));
  Wrapper->WriteInteger(Section, "Width", Column->GetWidth());
  Wrapper->WriteInteger(Section, "Sorted", static_cast<Integer>(Column->GetSorted()));
  Wrapper->WriteInteger(Section, "SortedOrder", IndexOfSortedColumn(Column));
  Wrapper->WriteInteger(Section, "StoredRowIndex", Column->GetStoredRowIndex());
}

void TCustomzmTreeListControl::WriteLayout(TObject* Store, const String& Path) {
  String p = NormalizeLayoutPath(Path);
  TOwned<TzmRegIniWrapper> wrapper = MakeOwned<TzmRegIniWrapper>();
  wrapper->SetRegIniObject(Store);
  wrapper->EraseSectionsWithPrefix(p);
  WriteControlLayout(wrapper.get(), p);
  for (TzmTreeListColumn* column : FColumnList) WriteColumnLayout(wrapper.get(), ColumnSection(p, column), column);
}

// ---------------------------------------------------------------------------------------------
// Reading

void TCustomzmTreeListControl::BeginLayoutRead() {
  BeginUpdate();
  // One re-sort when the read ends, whatever the columns' sort settings it brings.
  BeginSorting();
}

void TCustomzmTreeListControl::EndLayoutRead() {
  TFinally endUpdate([this] { EndUpdate(); });
  EndSorting();
}

void TCustomzmTreeListControl::ReadControlLayout(TzmRegIniWrapper* Wrapper, const String& Path) {
  SetShowGrid(Wrapper->ReadBool(Path, "ShowGrid", GetShowGrid()));
  SetShowPreviewGrid(Wrapper->ReadBool(Path, "ShowPreviewGrid", GetShowPreviewGrid()));
  SetBandRowCount(ReadInRange(Wrapper, Path, "BandRowCount", FBandRowCount, 1, FBandMaxRowCount));
  SetRowHeight(ReadInRange(Wrapper, Path, "DefaultRowHeight", GetRowHeight(), 1, kMostRowHeight));
  Integer rows = Wrapper->ReadInteger(Path, "HeaderPanelRowCount", FHeaderPanelRowCount);
  // -1 was written while the count followed the columns: it still does.
  if (rows == -1 || rows < 1 || rows > FHeaderPanelMaxRowCount) return;
  ClearAutoHeaderPanelRowCount();
  SetHeaderPanelRowCount(rows);
}

void TCustomzmTreeListControl::ReadColumnLayout(TzmRegIniWrapper* Wrapper, const String& Section,
                                                TzmTreeListColumn* Column) {
  Column->SetVisible(Wrapper->ReadBool(Section, "Visible", Column->GetVisible()));
  Column->SetWidth(ReadInRange(Wrapper, Section, "Width", Column->GetWidth(), 0, kMostWidth));
  Integer sorted = ReadInRange(Wrapper, Section, "Sorted", static_cast<Integer>(Column->GetSorted()),
                               static_cast<Integer>(TzmTreeListColumnSort::csNone),
                               static_cast<Integer>(TzmTreeListColumnSort::csUp));
  Column->SetSorted(static_cast<TzmTreeListColumnSort>(sorted));
  Column->SetSortedOrder(ReadInRange(Wrapper, Section, "SortedOrder", -1, -1, ColumnCount() - 1));
}

void TCustomzmTreeListControl::ReadLayout(TObject* Store, const String& Path) {
  String p = NormalizeLayoutPath(Path);
  TOwned<TzmRegIniWrapper> wrapper = MakeOwned<TzmRegIniWrapper>();
  wrapper->SetRegIniObject(Store);
  TUpdateScope<TCustomzmTreeListControl, &TCustomzmTreeListControl::BeginLayoutRead,
               &TCustomzmTreeListControl::EndLayoutRead>
      read(this);
  ReadControlLayout(wrapper.get(), p);

  // Bands by their item ID, then their order.
  std::vector<TOrderEntry<TzmTreeListBand>> bands;
  for (Integer n = 0; n < FBands->GetCount(); ++n) {
    String section = p + "\\Band\\Band" + IntToStr(n);
    Integer id = wrapper->ReadInteger(section, "ID", -1);
    if (id == -1) continue;
    auto* band = static_cast<TzmTreeListBand*>(FBands->FindItemID(id));
    if (!band || std::any_of(bands.begin(), bands.end(), [&](const auto& e) { return e.Item == band; })) continue;
    band->SetVisible(wrapper->ReadBool(section, "Visible", band->GetVisible()));
    band->SetWidth(ReadInRange(wrapper.get(), section, "Width", band->GetWidth(), 0, kMostWidth));
    bands.push_back({wrapper->ReadInteger(section, "Index", band->GetIndex()), band->GetIndex(), band, section});
  }
  SortOrder(bands);
  for (size_t i = 0; i < bands.size(); ++i) bands[i].Item->SetIndex(static_cast<Integer>(i));

  // Columns: their settings, then their order.
  std::vector<TOrderEntry<TzmTreeListColumn>> columns;
  for (TzmTreeListColumn* column : std::vector<TzmTreeListColumn*>(FColumnList))
    columns.push_back({0, IndexOfColumn(column), column, ColumnSection(p, column)});
  for (auto& entry : columns) {
    ReadColumnLayout(wrapper.get(), entry.Section, entry.Item);
    entry.Stored = wrapper->ReadInteger(entry.Section, "Index", entry.Current);
  }
  SortOrder(columns);
  for (size_t i = 0; i < columns.size(); ++i) columns[i].Item->SetIndex(static_cast<Integer>(i));

  // Where each column sits, with the row indexes refreshed once at the end.
  {
    TFinally changed([this] { ColumnsChanged(nullptr); });
    TCounterScope refreshLocked(FRowIndexRefreshLock);
    for (const auto& entry : columns) {
      TzmTreeListColumn* column = entry.Item;
      const String& section = entry.Section;
      column->SetBandIndex(ReadInRange(wrapper.get(), section, "BandIndex", column->GetBandIndex(), -1,
                                       FBands->GetCount() - 1));
      column->SetRowIndex(ReadInRange(wrapper.get(), section, "RowIndex", column->GetRowIndex(), 0,
                                      FHeaderPanelMaxRowCount - 1));
      column->SetStoredRowIndex(ReadInRange(wrapper.get(), section, "StoredRowIndex", column->GetStoredRowIndex(), 0,
                                            FHeaderPanelMaxRowCount - 1));
    }
  }
  if (IsMultiSort()) RebuildSortedColumns();
}

// ---------------------------------------------------------------------------------------------
// The automatic store and restore

void TCustomzmTreeListControl::LoadLayout() {
  if (FLayoutRestored) return;
  FLayoutRestored = true;
  bool designing = HasState(csDesigning);
  if (HasBehavior(zmbStoreInRegistry) && !designing && !FLayoutRegistryKey.empty())
    LoadFromRegistry(FLayoutRegistryKey);
  if (HasBehavior(zmbStoreInIniFile) && !designing && !FLayoutIniFile.empty()) LoadFromIniFile(FLayoutIniFile);
}

void TCustomzmTreeListControl::SaveLayout() {
  if (FLayoutStored) return;
  FLayoutStored = true;
  bool designing = HasState(csDesigning);
  if (HasBehavior(zmbStoreInRegistry) && !designing && !FLayoutRegistryKey.empty())
    SaveToRegistry(FLayoutRegistryKey);
  if (HasBehavior(zmbStoreInIniFile) && !designing && !FLayoutIniFile.empty()) SaveToIniFile(FLayoutIniFile);
}
