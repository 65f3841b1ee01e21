// A controller over channel-like records and a recording view: every change-information object
// the controller sends becomes one line of the log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "tests/core/qvTestItem.h"

using TRecordLog = std::vector<std::string>;

inline std::string DescribeInfo(TqvUpdateControlInfo* AInfo) {
  auto num = [](Integer v) { return std::to_string(v); };
  if (auto* d = dynamic_cast<TqvDataChangedInfo*>(AInfo))
    return "data " + num(d->Change.Kind) + " " + num(d->Change.ItemIndex) + " " + num(d->Change.RecordIndex);
  if (auto* r = dynamic_cast<TqvFocusedRowChangedInfo*>(AInfo))
    return "row " + num(r->FocusedRowIndex) + " " + num(r->PrevFocusedRowIndex);
  if (auto* r = dynamic_cast<TqvFocusedRecordChangedInfo*>(AInfo))
    return "record " + num(r->PrevFocusedRecordIndex) + " " + num(r->FocusedRecordIndex) +
           (r->NewItemRowFocusingChanged ? " new-item" : "");
  if (auto* s = dynamic_cast<TqvSelectionChangedInfo*>(AInfo)) {
    std::string text = "selection";
    for (Integer i = 0; i < s->GetCount(); ++i) text += " " + num(s->GetRowIndex(i));
    return text;
  }
  if (auto* u = dynamic_cast<TqvUpdateRecordInfo*>(AInfo)) return "update " + num(u->RecordIndex);
  if (dynamic_cast<TqvLayoutChangedInfo*>(AInfo)) return "layout";
  if (dynamic_cast<TqvSearchChangedInfo*>(AInfo)) return "search";
  if (dynamic_cast<TqvBookmarkChangedInfo*>(AInfo)) return "bookmark";
  return "other";
}

// Items: number (integer), name (string), group (integer). Records:
//   r0: 10 "alpha" 1   r1: 20 "beta" 2   r2: 30 "gamma" 1   r3: 40 "delta" 2   r4: 50 "beacon" 1
class RecordingViewTest : public ::testing::Test {
 public:
  enum { kNum, kName, kGroup };

  void SetUp() override {
    Controller = New<TqvDataController>(nullptr);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(kNum, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(kName, TqvStringValueType::Class());
    Controller->ChangeValueTypeClass(kGroup, TqvIntegerValueType::Class());
    const int nums[] = {10, 20, 30, 40, 50};
    const char* names[] = {"alpha", "beta", "gamma", "delta", "beacon"};
    const int groups[] = {1, 2, 1, 2, 1};
    Controller->BeginUpdate();
    Controller->SetRecordCount(5);
    for (int r = 0; r < 5; ++r) {
      Controller->SetValue(r, kNum, nums[r]);
      Controller->SetValue(r, kName, names[r]);
      Controller->SetValue(r, kGroup, groups[r]);
    }
    Controller->EndUpdate();
    Controller->OnUpdateControl = [this](TqvUpdateControlInfo* info) { Log.push_back(DescribeInfo(info)); };
  }
  void TearDown() override { Free(Controller); }

  // Every record as "number name group" in record order ("-" for Null).
  std::vector<std::string> Records() const {
    std::vector<std::string> records;
    for (Integer r = 0; r < Controller->GetRecordCount(); ++r) records.push_back(RecordText(r));
    return records;
  }
  std::string RecordText(Integer ARecordIndex) const {
    auto text = [&](Integer item) {
      Variant v = Controller->GetValue(ARecordIndex, item);
      return VarIsNull(v) ? std::string("-") : std::string(VarToStr(v));
    };
    return text(kNum) + " " + text(kName) + " " + text(kGroup);
  }
  // Data rows show their record; group rows "G<level>:<first record>".
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    Integer levels = Controller->GetGroups()->GetGroupingItemCount();
    for (Integer r = 0; r < Controller->GetRowCount(); ++r) {
      TqvRowInfo info = Controller->GetRowInfo(r);
      std::string record = std::to_string(info.RecordIndex);
      rows.push_back(info.Level < levels ? "G" + std::to_string(info.Level) + ":" + record : record);
    }
    return rows;
  }
  std::vector<Integer> SelectedRows() const {
    std::vector<Integer> rows;
    for (Integer i = 0; i < Controller->GetSelectedCount(); ++i) rows.push_back(Controller->GetSelectedRowIndex(i));
    return rows;
  }
  void GroupByGroup() { Controller->GetGroups()->ChangeGroupIndex(kGroup, 0); }

  TqvDataController* Controller = nullptr;
  TTestItem Items[3];
  TRecordLog Log;
};
