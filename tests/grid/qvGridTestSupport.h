// Fixture of the grid tests: views built from the base handlers over an unbound data controller
// that names its view, logs of what the views and the grid were told, and a shown form holding a
// grid on the headless backend.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "support/GridTestViews.h"

// Notes in its view's log when the grid's focus shows differently.
class TTestGridController : public TqvCustomGridController {
  QJ_INLINE_CLASS(TTestGridController, TqvCustomGridController)
 public:
  using TqvCustomGridController::TqvCustomGridController;
  void ControlFocusChanged() override;
};

// A view of the base handlers that notes what it is told.
class TTestGridView : public TBareGridView {
  QJ_INLINE_CLASS(TTestGridView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;

  void FocusChanged(bool AFocused) override {
    Log.push_back(AFocused ? "gained" : "lost");
    if (!AFocused && RefuseToLoseFocus) throw EAbort("keeps the focus");
    TBareGridView::FocusChanged(AFocused);
  }
  void UpdateControl(TqvUpdateControlInfo* AInfo) override {
    Infos.push_back(AInfo->ClassName());
    TBareGridView::UpdateControl(AInfo);
  }
  void FocusAfterLoading() override { ++FocusAfterLoadingCount; }
  bool IsDetailVisible(TqvCustomGridView* ADetailView) override {
    return DetailsVisible || TBareGridView::IsDetailVisible(ADetailView);
  }

  std::vector<std::string> Log;
  std::vector<std::string> Infos;
  bool RefuseToLoseFocus = false;
  bool DetailsVisible = false;
  Integer FocusAfterLoadingCount = 0;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TTestGridController::StaticClass(); }
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

// The colour a surface is filled with before a paint, so that pixels nobody painted show.
constexpr TColor kGridSentinel = TColor(0x00FF00FF);

// The site painted into a bitmap of its size filled with kGridSentinel first. Any windowed
// control paints so: the grid alone (without its sites, which are windows of their own).
inline TOwned<TBitmap> PaintSiteOnSentinel(TWinControl* ASite) {
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetSize(ASite->GetWidth(), ASite->GetHeight());
  bitmap->GetCanvas()->GetBrush()->SetColor(kGridSentinel);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, ASite->GetWidth(), ASite->GetHeight()));
  ASite->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap->GetCanvas()->GetHandle()), 0);
  return bitmap;
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
