// Fixture of the grid tests: views built from the base handlers over an unbound data controller
// that names its view, logs of what the views and the grid were told, and a shown form holding a
// grid on the headless backend.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "core/qvData.h"
#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"

// An item of a test view's data controller, known by its ID.
class TTestGridItem : public TObject {
  QJ_INLINE_CLASS(TTestGridItem, TObject)
 public:
  explicit TTestGridItem(Integer AID) : ID(AID) {}
  Integer ID;
};

// The data controller of the test views: it answers its view, as the grid's own controller does.
class TTestGridDataController : public TqvDataController, public IqvGridDataControllerViewLink {
  QJ_INLINE_CLASS(TTestGridDataController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  Integer GetItemID(TObject* AItem) const override {
    auto* item = dynamic_cast<TTestGridItem*>(AItem);
    return item ? item->ID : -1;
  }
  void GetFakeComponentLinks(std::vector<TComponent*>& AList) override {
    if (LinkedComponent) AList.push_back(LinkedComponent);
  }
  TqvCustomGridView* GetGridView() override { return dynamic_cast<TqvCustomGridView*>(GetOwnerComponent()); }
  TComponent* LinkedComponent = nullptr;
};

// Notes in its view's log when the grid's focus shows differently.
class TTestGridController : public TqvCustomGridController {
  QJ_INLINE_CLASS(TTestGridController, TqvCustomGridController)
 public:
  using TqvCustomGridController::TqvCustomGridController;
  void ControlFocusChanged() override;
};

// A view of the base handlers that notes what it is told.
class TTestGridView : public TqvCustomGridView {
  QJ_INLINE_CLASS(TTestGridView, TqvCustomGridView)
 public:
  using TqvCustomGridView::TqvCustomGridView;

  void FocusChanged(bool AFocused) override {
    Log.push_back(AFocused ? "gained" : "lost");
    if (!AFocused && RefuseToLoseFocus) throw EAbort("keeps the focus");
    TqvCustomGridView::FocusChanged(AFocused);
  }
  void UpdateControl(TqvUpdateControlInfo* AInfo) override {
    Infos.push_back(AInfo->ClassName());
    TqvCustomGridView::UpdateControl(AInfo);
  }
  void FocusAfterLoading() override { ++FocusAfterLoadingCount; }
  bool IsDetailVisible(TqvCustomGridView* ADetailView) override {
    return DetailsVisible || TqvCustomGridView::IsDetailVisible(ADetailView);
  }

  std::vector<std::string> Log;
  std::vector<std::string> Infos;
  bool RefuseToLoseFocus = false;
  bool DetailsVisible = false;
  Integer FocusAfterLoadingCount = 0;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TTestGridController::StaticClass(); }
  TqvCustomDataControllerClass GetDataControllerClass() const override { return &TTestGridDataController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TqvCustomGridPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TqvCustomGridViewData::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TqvCustomGridViewInfo::StaticClass(); }
};

inline void TTestGridController::ControlFocusChanged() {
  static_cast<TTestGridView*>(GetGridView())->Log.push_back("control focus");
  TqvCustomGridController::ControlFocusChanged();
}

// Makes ADetail the detail of AMaster for master record ARecord (a clone).
inline void MakeDetail(TqvCustomGridView* ADetail, TqvCustomGridView* AMaster, Integer ARecord = 0) {
  TqvCustomDataRelation* relation = AMaster->GetDataController()->GetRelations()->Add(ADetail);
  ADetail->GetDataController()->AttachToRelation(nullptr, false);
  ADetail->GetDataController()->SetMasterRelation(relation, ARecord);
}

class TGridTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm(500, 400);
    FGrid = New<TqvGrid>(FForm);
    FGrid->SetName("Grid1");
    FGrid->SetBounds(10, 10, 300, 200);
    FGrid->SetParent(FForm);
    Show(FForm);
  }

  // A top level of the grid showing a new view.
  TTestGridView* AddTab(const String& ACaption = String(), const String& AName = String()) {
    auto* level = New<TqvGridLevel>(FForm);
    level->SetCaption(ACaption);
    FGrid->GetRootLevel()->AddChild(level);
    auto* view = New<TTestGridView>(FForm);
    view->SetName(AName);
    level->SetGridView(view);
    return view;
  }
  // A level under AParent with a pattern view, and the clone of it for the first record of
  // AParent's view, which is returned.
  TTestGridView* AddDetail(TqvGridLevel* AParent, const String& AName = String()) {
    TqvGridLevel* level = AParent->Add();
    auto* pattern = New<TTestGridView>(FForm);
    level->SetGridView(pattern);
    auto* clone = New<TTestGridView>(FForm);
    clone->SetName(AName);
    clone->SetControl(FGrid);
    clone->SetLevel(level);
    MakeDetail(clone, AParent->GetGridView());
    pattern->AddClone(clone);
    return clone;
  }

  TForm* FForm = nullptr;
  TqvGrid* FGrid = nullptr;
};
