// The grid page: an empty grid at its size when new, and one without a border in the window
// colour. Later pages of the grid show its views.
#include "GalleryPage.h"
#include "grid/qvGrid.h"

namespace {

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
}

const TGalleryPageRegistration GridPageRegistration("Grid", 400, &BuildGridPage);

}  // namespace
