// Grid views for tests, benchmarks and fuzz targets: a view of the base handlers over an unbound
// data controller whose items are known by their IDs and which answers its view, as the grid's
// own controller does.
#pragma once

#include <vector>

#include "core/qvData.h"
#include "grid/qvGridCustomView.h"

// An item of a test view's data controller, known by its ID.
class TTestGridItem : public TObject {
  QJ_INLINE_CLASS(TTestGridItem, TObject)
 public:
  explicit TTestGridItem(Integer AID) : ID(AID) {}
  Integer ID;
};

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

// A view made of the base handlers.
class TBareGridView : public TqvCustomGridView {
  QJ_INLINE_CLASS(TBareGridView, TqvCustomGridView)
 public:
  using TqvCustomGridView::TqvCustomGridView;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TqvCustomGridController::StaticClass(); }
  TqvCustomDataControllerClass GetDataControllerClass() const override { return &TTestGridDataController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TqvCustomGridPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TqvCustomGridViewData::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TqvCustomGridViewInfo::StaticClass(); }
};
