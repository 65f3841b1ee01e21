// The grid page: an empty grid at its size when new, one without a border in the window colour,
// a grid whose view lays out and paints layout cells: a header row drawn by the look and feel
// (one cell hot, one pressed), rows of text cells with grid lines, a wrapped cell, a cell cut
// with an ellipsis and the focus frame of an unfocused grid; and two grids of two levels each,
// one with its level tabs on top (the mouse resting on the second tab, a frame round the view)
// and one with them on the left.
#include "GalleryPage.h"
#include "grid/qvGrid.h"
#include "grid/qvGridCustomViewCells.h"
#include "grid/qvGridDetailsSite.h"
#include "grid/qvGridLevel.h"
#include "core/qvData.h"
#include "platform/os/Backend.h"

namespace {

class TGalleryGridCellHitTest : public TqvCustomGridViewHitTest {
  QJ_INLINE_CLASS(TGalleryGridCellHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 0; }
};

// What a sample cell shows. A header cell shows Shown while the mouse leaves it normal, so
// that the page shows every state without a mouse.
struct TGalleryGridCellData {
  String Text;
  bool Header = false;
  bool MultiLine = false;
  bool EndEllipsis = false;
  TAlignment Alignment = taLeftJustify;
  TqvGridCellState Shown = gcsNormal;
};

// A header cell: the look and feel draws it in the cell's state.
class TGalleryGridHeaderPainter : public TqvCustomGridCellPainter {
  QJ_INLINE_CLASS(TGalleryGridHeaderPainter, TqvCustomGridCellPainter)
 public:
  using TqvCustomGridCellPainter::TqvCustomGridCellPainter;
  void DrawContent() override;
};

class TGalleryGridCell : public TqvCustomGridViewCellViewInfo {
  QJ_INLINE_CLASS(TGalleryGridCell, TqvCustomGridViewCellViewInfo)
 public:
  TGalleryGridCell(TqvCustomGridViewInfo* AViewInfo, TGalleryGridCellData AData)
      : TqvCustomGridViewCellViewInfo(AViewInfo), FData(std::move(AData)) {}

  Integer CalculateWidth() override { return GetTextWidthWithOffset(); }
  Integer CalculateHeight() override { return CalculateCellHeight(GetGridViewInfo(), GetLookAndFeelPainter()); }
  TColor GetBorderColor(TqvBorder) override { return GetLookAndFeelPainter()->DefaultGridLineColor(); }
  Integer GetBorderWidth(TqvBorder) override { return 1; }
  TqvBorders GetBorders() override { return FData.Header ? 0 : qvBorder(bRight) | qvBorder(bBottom); }
  TAlignment GetAlignmentHorz() override { return FData.Alignment; }
  TqvAlignmentVert GetAlignmentVert() override { return vaCenter; }
  bool GetMultiLine() override { return FData.MultiLine; }
  bool GetShowEndEllipsis() override { return FData.EndEllipsis; }
  String GetText() override { return FData.Text; }
  bool GetHotTrack() override { return FData.Header; }
  TqvGridCellState GetShownState() const { return GetState() != gcsNormal ? GetState() : FData.Shown; }
  TqvGridHitTestClass GetHitTestClass() override { return &TGalleryGridCellHitTest::StaticClass(); }
  TqvGridCellPainterClass GetPainterClass() override {
    return FData.Header ? &TGalleryGridHeaderPainter::StaticClass() : TqvCustomGridViewCellViewInfo::GetPainterClass();
  }
  void GetViewParams(TqvViewParams& AParams) override {
    TqvLookAndFeelPainterClass painter = GetLookAndFeelPainter();
    AParams.Font = GetGridView()->GetGrid()->GetFont();
    AParams.Color = FData.Header ? painter->DefaultHeaderColor() : painter->DefaultContentColor();
    AParams.TextColor = FData.Header ? painter->DefaultHeaderTextColor() : painter->DefaultContentTextColor();
  }

 private:
  TGalleryGridCellData FData;
};

inline void TGalleryGridHeaderPainter::DrawContent() {
  auto* cell = static_cast<TGalleryGridCell*>(GetViewInfo());
  const TqvViewParams& params = cell->GetCalculatedParams();
  cell->GetLookAndFeelPainter()->DrawHeader(
      GetCanvas(), cell->GetBounds(), cell->GetTextAreaBounds(), 0, qvAllBorders,
      GridCellStateToButtonState(cell->GetShownState()), cell->GetCalculatedAlignmentHorz(),
      cell->GetCalculatedAlignmentVert(), false, false, cell->GetCalculatedText(), params.Font, params.TextColor,
      params.Color);
}

// A channel list in three columns: a header row and data rows, the last one two lines high.
class TGalleryGridViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TGalleryGridViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;

  static constexpr Integer kColumnWidths[3] = {150, 70, 150};

  void CreateViewInfos() override {
    const TGalleryGridCellData rows[][3] = {
        {{"Channel", true},
         {"SID", true, false, false, taRightJustify, gcsHot},
         {"Provider", true, false, false, taLeftJustify, gcsPressed}},
        {{"Das Erste HD"}, {"28106", false, false, false, taRightJustify}, {"ARD"}},
        {{"ZDF HD"}, {"11110", false, false, false, taRightJustify}, {"ZDFvision"}},
        {{"A channel whose name is far too long"}, {"4711", false, false, false, taRightJustify},
         {"A provider cut with an ellipsis", false, false, true}},
        {{"Two lines of a wrapped channel name", false, true}, {"17", false, false, false, taRightJustify},
         {"Centred", false, false, false, taCenter}},
    };
    for (const auto& row : rows)
      for (const TGalleryGridCellData& data : row) FCells.push_back(MakeOwned<TGalleryGridCell>(this, data));
  }
  void DestroyViewInfos(bool) override { FCells.clear(); }
  void Calculate() override {
    const TRect client = GetClientBounds();
    const Integer lineHeight = FCells[0]->CalculateCellHeight(this, GetLookAndFeelPainter());
    Integer top = client.Top;
    for (size_t row = 0; row * 3 < FCells.size(); ++row) {
      const bool last = row * 3 + 3 == FCells.size();
      const Integer height = last ? 2 * lineHeight - 4 : lineHeight;
      Integer left = client.Left;
      for (size_t column = 0; column < 3; ++column) {
        FCells[row * 3 + column]->Calculate(left, top, kColumnWidths[column], height);
        left += kColumnWidths[column];
      }
      top += height;
    }
  }
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override {
    for (TOwned<TGalleryGridCell>& cell : FCells)
      if (TOwned<TqvCustomGridHitTest> hitTest = cell->GetHitTest(P)) return hitTest;
    return TqvCustomGridViewInfo::GetHitTest(P);
  }
  const std::vector<TOwned<TGalleryGridCell>>& GetCells() const { return FCells; }

 private:
  std::vector<TOwned<TGalleryGridCell>> FCells;
};

class TGalleryGridPainter : public TqvCustomGridPainter {
  QJ_INLINE_CLASS(TGalleryGridPainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override {
    const auto& cells = static_cast<TGalleryGridViewInfo*>(GetViewInfo())->GetCells();
    for (const TOwned<TGalleryGridCell>& cell : cells) {
      cell->Paint();
      ExcludeFromBackground(cell->GetBounds());
    }
    DrawFocusRect(qvDeflatedRect(cells[3]->GetContentBounds(), 1), false);
  }
};

class TGalleryGridView : public TqvCustomGridView {
  QJ_INLINE_CLASS(TGalleryGridView, TqvCustomGridView)
 public:
  using TqvCustomGridView::TqvCustomGridView;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TqvCustomGridController::StaticClass(); }
  TqvCustomDataControllerClass GetDataControllerClass() const override { return &TqvDataController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TGalleryGridPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TqvCustomGridViewData::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TGalleryGridViewInfo::StaticClass(); }
};

// A grid at R whose root level offers the tabs "TV" and "Radio" at APosition, each showing a
// channel list.
TqvGrid* AddTabsGrid(TWinControl* Parent, const TRect& R, TqvGridDetailTabsPosition APosition) {
  auto* grid = New<TqvGrid>(Parent);
  grid->SetBoundsRect(R);
  grid->SetParent(Parent);
  grid->GetRootLevelOptions()->SetDetailTabsPosition(APosition);
  for (const char* caption : {"TV", "Radio"}) {
    auto* level = New<TqvGridLevel>(Parent);
    level->SetCaption(caption);
    grid->GetRootLevel()->AddChild(level);
    level->SetGridView(New<TGalleryGridView>(Parent));
  }
  return grid;
}

// The mouse rests on the second tab: a tab that hot-tracks shows it. Every layout makes the
// tabs anew, so each one is told where the mouse is.
void RestMouseOnSecondTab(TqvGrid* AGrid) {
  AGrid->OnLayoutChanged = [](TqvCustomGrid* Sender, TqvCustomGridView*) {
    TqvCustomGridDetailsSiteTabsViewInfo* tabs = Sender->GetViewInfo()->GetDetailsSite()->GetTabsViewInfo();
    if (!tabs || tabs->GetCount() < 2) return;
    TqvCustomGridDetailsSiteTabViewInfo* tab = tabs->GetItem(1);
    const TRect R = tab->GetBounds();
    const TPoint P = Sender->ClientToScreen({(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    Headless::MoveMouse(P.X, P.Y);
    if (tab->GetHotTrack()) tab->SetState(gcsHot);
  };
}

void BuildGridPage(TWinControl* Parent) {
  const TPoint first = Cell(0);
  AddLabel(Parent, first.X, first.Y, "Empty grid");
  auto* grid = New<TqvGrid>(Parent);
  grid->SetLeft(first.X);
  grid->SetTop(first.Y + kLabelHeight);
  grid->SetParent(Parent);

  const TPoint second = Cell(1);
  const Integer left = second.X + TqvCustomGrid::DefaultWidth - kCellWidth + kCellGap;
  AddLabel(Parent, left, second.Y, "Without border, window colour");
  auto* plain = New<TqvGrid>(Parent);
  plain->SetBorderStyle(qvcbsNone);
  plain->SetColor(clWindow);
  plain->SetLeft(left);
  plain->SetTop(second.Y + kLabelHeight);
  plain->SetParent(Parent);

  const Integer top = first.Y + kLabelHeight + TqvCustomGrid::DefaultHeight + kCellGap;
  AddLabel(Parent, first.X, top, "Layout cells: header hot and pressed, grid lines, wrap, ellipsis, focus frame",
           2 * kCellWidth + kCellGap);
  auto* cells = New<TqvGrid>(Parent);
  cells->SetBounds(first.X, top + kLabelHeight, 400, 160);
  cells->SetParent(Parent);
  auto* level = New<TqvGridLevel>(Parent);
  cells->GetRootLevel()->AddChild(level);
  auto* view = New<TGalleryGridView>(Parent);
  level->SetGridView(view);

  const Integer tabsLeft = first.X + 400 + kCellGap;
  AddLabel(Parent, tabsLeft, top, "Level tabs on top, a frame, the mouse on \"Radio\"", 2 * kCellWidth);
  TqvGrid* topTabs = AddTabsGrid(Parent, Rect(tabsLeft, top + kLabelHeight, tabsLeft + 420, top + kLabelHeight + 170), dtpTop);
  topTabs->GetRootLevelOptions()->SetDetailFrameWidth(1);
  RestMouseOnSecondTab(topTabs);

  const Integer leftTabsTop = top + kLabelHeight + 170 + kCellGap;
  AddLabel(Parent, first.X, leftTabsTop, "Level tabs on the left", 2 * kCellWidth);
  AddTabsGrid(Parent, Rect(first.X, leftTabsTop + kLabelHeight, first.X + 470, leftTabsTop + kLabelHeight + 150), dtpLeft);
}

const TGalleryPageRegistration GridPageRegistration("Grid", 400, &BuildGridPage);

}  // namespace
