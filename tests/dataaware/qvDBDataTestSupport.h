// Dataset controllers over the channel table: a controller that counts its loads, items bound to
// fields by name, a log of what it tells its view, and readers of its records and rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/qvDataPipeline.h"
#include "dataaware/qvDBData.h"
#include "editors/qvEdit.h"
#include "tests/dataaware/qvDBTestSupport.h"

class TDBTestItem : public TObject {
  QJ_INLINE_CLASS(TDBTestItem, TObject)
};

// Counts its loads; a master of it makes detail clones of its relation's pattern.
class TCountingDBController : public TqvDBDataController {
 public:
  using TqvDBDataController::TqvDBDataController;

  void LoadData() override {
    ++Loads;
    TqvDBDataController::LoadData();
  }
  TObject* CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) override;
  TqvCustomDataController* GetDetailDataController(TObject* ALinkObject) override;

  int Loads = 0;
  // The items of the clones this master makes.
  std::vector<TDBTestItem*> CloneItems;
};

// The link object of an expanded master record: it owns the detail clone.
class TDBDetailView : public TObject {
  QJ_INLINE_CLASS(TDBDetailView, TObject)
 public:
  explicit TDBDetailView(TCountingDBController* AClone) : Clone(AClone) {}
  ~TDBDetailView() override { Free(Clone); }
  TCountingDBController* Clone;
};

inline TObject* TCountingDBController::CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) {
  auto* pattern = dynamic_cast<TqvDBDataController*>(ARelation->GetDetailDataController());
  if (!pattern) return nullptr;
  auto* clone = New<TCountingDBController>(nullptr);
  clone->BeginUpdate();
  for (Integer i = 0; i < pattern->GetItemCount(); ++i) {
    clone->AddItem(pattern->GetItem(i));
    clone->SetItemFieldName(i, pattern->GetItemFieldName(i));
  }
  clone->Assign(pattern);
  clone->SetMasterRelation(ARelation, ARecordIndex);
  clone->EndUpdate();
  return new TDBDetailView(clone);
}

inline TqvCustomDataController* TCountingDBController::GetDetailDataController(TObject* ALinkObject) {
  auto* view = dynamic_cast<TDBDetailView*>(ALinkObject);
  return view ? view->Clone : nullptr;
}

// A controller over the channel table with one item per named field.
class TqvDBControllerTest : public TqvDBTest {
 public:
  ~TqvDBControllerTest() override {
    for (TCountingDBController* c : Controllers) Free(c);
  }

  // A controller with items bound to AFieldNames; on the fixture's source unless told otherwise.
  TCountingDBController* MakeController(const std::vector<String>& AFieldNames, TDataSource* ASource = nullptr) {
    auto* c = New<TCountingDBController>(nullptr);
    Controllers.push_back(c);
    c->BeginUpdate();
    for (const String& name : AFieldNames) {
      Items.push_back(std::make_unique<TDBTestItem>());
      c->AddItem(Items.back().get());
      c->SetItemFieldName(c->GetItemCount() - 1, name);
    }
    c->EndUpdate();
    c->SetDataSource(ASource ? ASource : Source);
    return c;
  }
  void Log(TqvCustomDataController* AController) {
    AController->OnUpdateControl = [this](TqvUpdateControlInfo* AInfo) { Events.push_back(Describe(AInfo)); };
  }
  static std::string Describe(TqvUpdateControlInfo* AInfo) {
    if (auto* d = dynamic_cast<TqvDataChangedInfo*>(AInfo)) return "data " + std::to_string(d->Change.Kind);
    if (dynamic_cast<TqvLayoutChangedInfo*>(AInfo)) return "layout";
    if (auto* r = dynamic_cast<TqvFocusedRowChangedInfo*>(AInfo)) return "row " + std::to_string(r->FocusedRowIndex);
    if (dynamic_cast<TqvFocusedRecordChangedInfo*>(AInfo)) return "record";
    if (dynamic_cast<TqvSelectionChangedInfo*>(AInfo)) return "selection";
    if (dynamic_cast<TqvUpdateRecordInfo*>(AInfo)) return "update";
    return "other";
  }
  // Every record's values of one item as text ("-" for Null), in record order.
  static std::vector<String> Column(TqvCustomDataController* AController, Integer AItemIndex) {
    std::vector<String> values;
    for (Integer r = 0; r < AController->GetRecordCount(); ++r) values.push_back(Text(AController, r, AItemIndex));
    return values;
  }
  static String Text(TqvCustomDataController* AController, Integer ARecordIndex, Integer AItemIndex) {
    Variant value = AController->GetValue(ARecordIndex, AItemIndex);
    return VarIsNull(value) ? String("-") : VarToStr(value);
  }
  // The focused record's value of an item, "none" without focus.
  static String Focused(TqvCustomDataController* AController, Integer AItemIndex = 0) {
    Integer record = AController->GetFocusedRecordIndex();
    return record < 0 ? String("none") : Text(AController, record, AItemIndex);
  }
  Integer CurrentId() const { return Table->FieldByName("Id")->GetAsInteger(); }

  std::vector<TCountingDBController*> Controllers;
  std::vector<std::unique_ptr<TDBTestItem>> Items;
  std::vector<std::string> Events;
};
