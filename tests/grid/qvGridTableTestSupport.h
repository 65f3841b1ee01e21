// Fixture of the table-view tests: a grid on a shown form whose top level shows a table view of
// the custom table bases over an unbound data controller.
#pragma once

#include "core/qvDataStorage.h"
#include "qvGridTestSupport.h"
#include "support/GridTableTestViews.h"

class TGridTableTest : public TGridTest {
 protected:
  // A top level showing a new table view with AItemCount string items (captions "A", "B", ...)
  // and ARecordCount records whose values are "r<record>c<item>".
  TTestTableView* AddTableView(Integer AItemCount = 2, Integer ARecordCount = 10) {
    auto* level = New<TqvGridLevel>(FForm);
    FGrid->GetRootLevel()->AddChild(level);
    auto* view = New<TTestTableView>(FForm);
    level->SetGridView(view);
    for (Integer i = 0; i < AItemCount; ++i) {
      TTestTableItem* item = view->AddTestItem(String(1, static_cast<char>('A' + i)));
      view->GetDataController()->ChangeValueTypeClass(item->GetIndex(), TqvStringValueType::Class());
    }
    SetRecords(view, ARecordCount);
    Pump();
    return view;
  }
  static void SetRecords(TTestTableView* AView, Integer ARecordCount) {
    TqvGridDataController* data = AView->GetDataController();
    TUpdateScope update(data);
    data->SetRecordCount(ARecordCount);
    for (Integer r = 0; r < ARecordCount; ++r)
      for (Integer c = 0; c < data->GetItemCount(); ++c)
        if (data->GetItemValueTypeClass(c) == TqvStringValueType::Class())
          data->SetValue(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
  // The view's site gets a client area of AHeight pixels (rows of TTestTableViewInfo::RowHeight).
  void SetViewHeight(TTestTableView* AView, Integer AHeight) {
    FGrid->SetBounds(10, 10, 300, AHeight);
    Pump();
    AView->GetViewInfo()->Recalculate();
  }
};
