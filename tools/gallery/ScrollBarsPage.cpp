// The scroll bars page: the library's scroll bar drawn by the variant's painter in each of its
// states (at rest, hot thumb and arrow, pressed arrow and page, a dragged thumb, disabled),
// horizontally and vertically, and in the shapes a range makes (no thumb, arrows only, a thumb
// that fills its track).
#include "GalleryPage.h"
#include "lookandfeel/qvScrollBar.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kScrollBarLabelWidth = 170;
constexpr Integer kBarLength = 300;
constexpr Integer kScrollBarRowHeight = 30;

// A bar the page puts into a state through the bar's own mouse handling.
class TGalleryScrollBar : public TqvScrollBar {
  QJ_INLINE_CLASS(TGalleryScrollBar, TqvScrollBar)
 public:
  using TqvScrollBar::TqvScrollBar;
  void Hover(TPoint P) { MouseMove(0, P.X, P.Y); }
  void Press(TPoint P) { MouseDown(mbLeft, ssLeft, P.X, P.Y); }
  TPoint Centre(TqvScrollBarPart APart) const {
    const TRect r = GetPartBounds(APart);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};

enum class TBarState { Rest, HotThumb, HotArrow, PressedArrow, PressedPage, DraggedThumb, Disabled };

struct TBarRow {
  const char* Caption;
  TBarState State;
  Integer Length;
  Integer Min, Max, Page, Position;
};

const TBarRow kScrollBarRows[] = {
    {"At rest", TBarState::Rest, kBarLength, 0, 100, 20, 30},
    {"Hot thumb", TBarState::HotThumb, kBarLength, 0, 100, 20, 30},
    {"Hot arrow", TBarState::HotArrow, kBarLength, 0, 100, 20, 30},
    {"Pressed arrow", TBarState::PressedArrow, kBarLength, 0, 100, 20, 30},
    {"Pressed page", TBarState::PressedPage, kBarLength, 0, 100, 20, 30},
    {"Dragged thumb", TBarState::DraggedThumb, kBarLength, 0, 100, 20, 30},
    {"Disabled", TBarState::Disabled, kBarLength, 0, 100, 20, 30},
    {"Small page: minimum thumb", TBarState::Rest, kBarLength, 0, 100000, 1, 50000},
    {"No page: system thumb", TBarState::Rest, kBarLength, 0, 100, 0, 80},
    {"Page fills the track", TBarState::Rest, kBarLength, 1, 100, 100, 1},
    {"Too short for a thumb", TBarState::Rest, 44, 0, 100, 0, 50},
    {"Arrows only", TBarState::Rest, 26, 0, 100, 10, 50},
};

void ApplyState(TGalleryScrollBar* Bar, TBarState AState) {
  switch (AState) {
    case TBarState::Rest: break;
    case TBarState::HotThumb: Bar->Hover(Bar->Centre(spThumb)); break;
    case TBarState::HotArrow: Bar->Hover(Bar->Centre(spFirstArrow)); break;
    case TBarState::PressedArrow: Bar->Press(Bar->Centre(spSecondArrow)); break;
    case TBarState::PressedPage: Bar->Press(Bar->Centre(spSecondPage)); break;
    case TBarState::DraggedThumb: {
      const TPoint p = Bar->Centre(spThumb);
      Bar->Press(p);
      Bar->Hover(Bar->GetKind() == sbHorizontal ? TPoint{p.X + 60, p.Y} : TPoint{p.X, p.Y + 60});
      break;
    }
    case TBarState::Disabled: Bar->SetEnabled(false); break;
  }
}

TGalleryScrollBar* AddScrollBar(TWinControl* Parent, const TBarRow& ARow, TScrollBarKind AKind, TPoint At) {
  auto* bar = New<TGalleryScrollBar>(Parent);
  bar->SetKind(AKind);
  const TSize size = GetScrollBarSize();
  if (AKind == sbHorizontal)
    bar->SetBounds(At.X, At.Y, ARow.Length, size.cy);
  else
    bar->SetBounds(At.X, At.Y, size.cx, ARow.Length);
  bar->SetParent(Parent);
  bar->SetScrollParams(ARow.Min, ARow.Max, ARow.Position, ARow.Page);
  bar->SetLargeChange(10);
  ApplyState(bar, ARow.State);
  return bar;
}

void BuildScrollBarsPage(TWinControl* Parent) {
  Integer y = 12;
  AddLabel(Parent, "Horizontal", Rect(kScrollBarLabelWidth + 10, y, kScrollBarLabelWidth + 10 + kBarLength, y + 16));
  y += 22;
  for (const TBarRow& row : kScrollBarRows) {
    AddLabel(Parent, row.Caption, Rect(10, y, kScrollBarLabelWidth, y + 17));
    AddScrollBar(Parent, row, sbHorizontal, {kScrollBarLabelWidth + 10, y});
    y += kScrollBarRowHeight;
  }
  // The first seven states again, standing.
  const Integer left = kScrollBarLabelWidth + kBarLength + 60;
  AddLabel(Parent, "Vertical", Rect(left, 12, left + 300, 28));
  for (Integer i = 0; i < 7; ++i) {
    const Integer x = left + i * 44;
    AddLabel(Parent, String(1, char('1' + i)), Rect(x, 36, x + 20, 52));
    AddScrollBar(Parent, kScrollBarRows[i], sbVertical, {x, 56});
  }
  AddLabel(Parent, "1 at rest, 2 hot thumb, 3 hot arrow, 4 pressed arrow,", Rect(left, 370, left + 420, 386));
  AddLabel(Parent, "5 pressed page, 6 dragged thumb, 7 disabled", Rect(left, 388, left + 420, 404));
}

const TGalleryPageRegistration ScrollBarsPage("Scroll bars", 201, &BuildScrollBarsPage);

}  // namespace
