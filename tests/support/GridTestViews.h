// Grid views for tests, benchmarks and fuzz targets: a view of the base handlers over an unbound
// data controller whose items are known by their IDs and which answers its view, as the grid's
// own controller does, and a view of text cells.
#pragma once

#include <string>
#include <vector>

#include "core/qvData.h"
#include "grid/qvGridCustomViewCells.h"

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

// ---------------------------------------------------------------------------------------------
// A view of text cells, for the cost every layout cell pays

// A text cell with grid lines on its right and bottom.
class TTextGridCell : public TqvCustomGridViewCellViewInfo {
  QJ_INLINE_CLASS(TTextGridCell, TqvCustomGridViewCellViewInfo)
 public:
  TTextGridCell(TqvCustomGridViewInfo* AViewInfo, String AText)
      : TqvCustomGridViewCellViewInfo(AViewInfo), FText(std::move(AText)) {}
  Integer CalculateWidth() override { return GetTextWidthWithOffset(); }
  Integer CalculateHeight() override { return CalculateCellHeight(GetGridViewInfo(), GetLookAndFeelPainter()); }
  TColor GetBorderColor(TqvBorder) override { return GetLookAndFeelPainter()->DefaultGridLineColor(); }
  Integer GetBorderWidth(TqvBorder) override { return 1; }
  TqvBorders GetBorders() override { return qvBorder(bRight) | qvBorder(bBottom); }
  String GetText() override { return FText; }
  void GetViewParams(TqvViewParams& AParams) override {
    AParams.Color = GetLookAndFeelPainter()->DefaultContentColor();
    AParams.TextColor = GetLookAndFeelPainter()->DefaultContentTextColor();
  }

 private:
  String FText;
};

// CellCount text cells ("Cell 1" ...) in rows of Columns cells, each CellWidth wide and as high
// as its text needs.
class TTextCellsViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TTextCellsViewInfo, TqvCustomGridViewInfo)
 public:
  static constexpr Integer Columns = 10;
  static constexpr Integer CellWidth = 60;

  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;
  void CreateViewInfos() override {
    for (Integer i = 0; i < CellCount; ++i)
      FCells.push_back(MakeOwned<TTextGridCell>(this, "Cell " + std::to_string(i + 1)));
  }
  void DestroyViewInfos(bool) override { FCells.clear(); }
  void Calculate() override {
    const TRect client = GetClientBounds();
    Integer top = client.Top, height = 0;
    for (size_t i = 0; i < FCells.size(); ++i) {
      const Integer column = static_cast<Integer>(i) % Columns;
      if (column == 0 && i > 0) top += height;
      FCells[i]->Calculate(client.Left + column * CellWidth, top, CellWidth);
      height = FCells[i]->GetHeight();
    }
  }
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override {
    for (TOwned<TTextGridCell>& cell : FCells)
      if (TOwned<TqvCustomGridHitTest> hitTest = cell->GetHitTest(P)) return hitTest;
    return TqvCustomGridViewInfo::GetHitTest(P);
  }
  const std::vector<TOwned<TTextGridCell>>& GetCells() const { return FCells; }

  static inline Integer CellCount = 1000;

 private:
  std::vector<TOwned<TTextGridCell>> FCells;
};

class TTextCellsPainter : public TqvCustomGridPainter {
  QJ_INLINE_CLASS(TTextCellsPainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override {
    for (const TOwned<TTextGridCell>& cell : static_cast<TTextCellsViewInfo*>(GetViewInfo())->GetCells()) {
      cell->Paint();
      ExcludeFromBackground(cell->GetBounds());
    }
  }
};

class TTextCellsGridView : public TBareGridView {
  QJ_INLINE_CLASS(TTextCellsGridView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;
  TTextCellsViewInfo* Info() const { return static_cast<TTextCellsViewInfo*>(GetViewInfo()); }

 protected:
  TqvGridViewHandlerClass GetPainterClass() const override { return &TTextCellsPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TTextCellsViewInfo::StaticClass(); }
};
