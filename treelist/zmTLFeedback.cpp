// Drag feedback popups of the tree list.
#include "treelist/zmTLFeedback.h"

#include <algorithm>
#include <iterator>

#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TzmTreeListFeedbackWindow)

namespace {

constexpr Integer kArrowWidth = 11;
constexpr int kArrowPoints = 7;

// The two arrows as polygons: pointing down at the top, up at the bottom (B the box's bottom).
void ArrowPolygons(Integer B, POINT (&Down)[kArrowPoints], POINT (&Up)[kArrowPoints]) {
  const POINT down[kArrowPoints] = {{5, 8}, {0, 3}, {3, 3}, {3, 0}, {7, 0}, {7, 3}, {10, 3}};
  const POINT up[kArrowPoints] = {{5, B - 9}, {10, B - 4}, {7, B - 4}, {7, B - 1}, {3, B - 1}, {3, B - 4}, {0, B - 4}};
  std::copy(std::begin(down), std::end(down), Down);
  std::copy(std::begin(up), std::end(up), Up);
}

// A polygon's region with its outline: the filled area grown by the pen's right and bottom pixel.
HRGN OutlinedPolygonRegion(const POINT* Points) {
  HRGN region = CreatePolygonRgn(Points, kArrowPoints, WINDING);
  for (POINT shift : {POINT{1, 0}, POINT{0, 1}, POINT{1, 1}}) {
    HRGN moved = CreatePolygonRgn(Points, kArrowPoints, WINDING);
    OffsetRgn(moved, shift.X, shift.Y);
    CombineRgn(region, region, moved, RGN_OR);
    DeleteObject(moved);
  }
  return region;
}

}  // namespace

TzmTreeListFeedbackWindow::TzmTreeListFeedbackWindow(TComponent* AOwner)
    : TCustomControl(AOwner), FBitmap(MakeOwned<TBitmap>()) {
  SetVisible(false);
}

TzmTreeListFeedbackWindow::~TzmTreeListFeedbackWindow() = default;

void TzmTreeListFeedbackWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
  Params.WndParent = nullptr;
}

void TzmTreeListFeedbackWindow::Place(const TRect& ScreenRect) {
  SetBounds(ScreenRect.Left, ScreenRect.Top, ScreenRect.Width(), ScreenRect.Height());
  SetWindowPos(GetHandle(), HWND_TOPMOST, ScreenRect.Left, ScreenRect.Top, ScreenRect.Width(), ScreenRect.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FShown = true;
  Invalidate();
}

void TzmTreeListFeedbackWindow::ShowBitmap(TBitmap* Bitmap, TPoint ScreenPos, HRGN Region) {
  FBitmap->Assign(Bitmap);
  SetColor(clNone);
  HandleNeeded();
  SetWindowRgn(GetHandle(), Region, FALSE);
  Place(Bounds(ScreenPos.X, ScreenPos.Y, FBitmap->GetWidth(), FBitmap->GetHeight()));
}

void TzmTreeListFeedbackWindow::ShowRect(const TRect& ScreenRect, TColor Color) {
  FBitmap->SetSize(0, 0);
  SetColor(Color);
  HandleNeeded();
  SetWindowRgn(GetHandle(), nullptr, FALSE);
  Place(ScreenRect);
}

void TzmTreeListFeedbackWindow::MoveTo(TPoint ScreenPos) {
  if (!FShown) return;
  SetWindowPos(GetHandle(), HWND_TOPMOST, ScreenPos.X, ScreenPos.Y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetBounds(ScreenPos.X, ScreenPos.Y, GetWidth(), GetHeight());
}

void TzmTreeListFeedbackWindow::HideFeedback() {
  if (!FShown) return;
  FShown = false;
  if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
  SetVisible(false);
}

void TzmTreeListFeedbackWindow::Paint() {
  TCanvas* canvas = GetCanvas();
  if (FBitmap->GetWidth() > 0) {
    canvas->Draw(0, 0, FBitmap.get());
    return;
  }
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
}

void TzmTreeListFeedbackWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  inherited::Dispatch(Message);
}

void PaintDropArrows(TBitmap* Bitmap, Integer Height, TColor Color) {
  Bitmap->SetSize(kArrowWidth, Height + 1);
  TCanvas* canvas = Bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, kArrowWidth, Height + 1));
  POINT down[kArrowPoints], up[kArrowPoints];
  ArrowPolygons(Height, down, up);
  canvas->GetBrush()->SetColor(Color);
  canvas->GetPen()->SetColor(clBlack);
  HDC dc = canvas->GetHandle();
  Polygon(dc, down, kArrowPoints);
  Polygon(dc, up, kArrowPoints);
}

HRGN DropArrowsRegion(Integer Height) {
  POINT down[kArrowPoints], up[kArrowPoints];
  ArrowPolygons(Height, down, up);
  HRGN region = OutlinedPolygonRegion(down);
  HRGN lower = OutlinedPolygonRegion(up);
  CombineRgn(region, region, lower, RGN_OR);
  DeleteObject(lower);
  return region;
}

void PaintPanPicture(TBitmap* Bitmap, bool Horz, bool Vert) {
  Bitmap->SetSize(zmPanPictureSize + 1, zmPanPictureSize + 1);
  TCanvas* canvas = Bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(clWindow);
  canvas->FillRect(Rect(0, 0, zmPanPictureSize + 1, zmPanPictureSize + 1));
  canvas->GetPen()->SetColor(clWindowText);
  canvas->Ellipse(0, 0, zmPanPictureSize + 1, zmPanPictureSize + 1);
  canvas->GetBrush()->SetColor(clWindowText);
  HDC dc = canvas->GetHandle();
  Integer c = zmPanPictureSize / 2;
  auto arrow = [&](POINT A, POINT B, POINT C) {
    POINT points[3] = {A, B, C};
    Polygon(dc, points, 3);
  };
  if (Vert) {
    arrow({c - 4, 9}, {c + 4, 9}, {c, 4});
    arrow({c - 4, zmPanPictureSize - 9}, {c + 4, zmPanPictureSize - 9}, {c, zmPanPictureSize - 4});
  }
  if (Horz) {
    arrow({9, c - 4}, {9, c + 4}, {4, c});
    arrow({zmPanPictureSize - 9, c - 4}, {zmPanPictureSize - 9, c + 4}, {zmPanPictureSize - 4, c});
  }
  canvas->FillRect(Rect(c - 1, c - 1, c + 2, c + 2));
}
