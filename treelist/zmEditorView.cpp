// How an in-place editor looks: its view data, the layout computed from it, borders, shadow,
// background, cursor and height, and the window's shape and non-client area.
#include <algorithm>

#include "platform/os/GdiScopes.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmCntner.h"
#include "treelist/zmEditor.h"
#include "treelist/zmUtils.h"

namespace {

constexpr Integer kContentInset = 2;
constexpr Integer kShadowSize = 2;

Integer BorderWidthOf(TzmEditBorderStyle Style) {
  switch (Style) {
    case xbsNone: return 0;
    case xbsSingle: return 1;
    default: return 2;
  }
}

// Hot tracking raises a border one step.
TzmEditBorderStyle HotBorderStyle(TzmEditBorderStyle Style) {
  switch (Style) {
    case xbsNone: return xbsFlat;
    case xbsSingle: return xbsThick;
    case xbsFlat: return xbs3D;
    default: return Style;
  }
}

TzmEditButtonViewStyle ButtonStyleFor(TzmEditButtonViewStyle Style, TzmEditBorderStyle Border) {
  if (Style != TzmEditButtonViewStyle::btsDefault) return Style;
  switch (Border) {
    case xbsNone: return TzmEditButtonViewStyle::btsSimple;
    case xbsSingle: return TzmEditButtonViewStyle::btsHotFlat;
    case xbsFlat: return TzmEditButtonViewStyle::btsFlat;
    default: return TzmEditButtonViewStyle::bts3D;
  }
}

UINT EdgeSides(const TzmEditViewInfo& Info) {
  return (Info.EdgeLeft ? BF_LEFT : 0) | (Info.EdgeTop ? BF_TOP : 0) | (Info.EdgeRight ? BF_RIGHT : 0) |
         (Info.EdgeBottom ? BF_BOTTOM : 0);
}

void DrawSolidBorder(HDC DC, const TzmEditViewInfo& Info, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  Integer w = Info.BorderWidth;
  TRect r = Info.BorderRect;
  if (Info.EdgeLeft && Info.EdgeTop && Info.EdgeRight && Info.EdgeBottom) {
    for (Integer i = 0; i < w; ++i) {
      FrameRect(DC, &r, brush);
      r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
  } else {
    // Without a top border the side bands reach up to where it would begin.
    Integer t = Info.EdgeTop ? 0 : w;
    const TRect bands[] = {{r.Left, r.Top - t, r.Left + w, r.Bottom},
                           {r.Left, r.Top, r.Right, r.Top + w},
                           {r.Right - w, r.Top - t, r.Right, r.Bottom},
                           {r.Left, r.Bottom - w, r.Right, r.Bottom}};
    const bool on[] = {Info.EdgeLeft, Info.EdgeTop, Info.EdgeRight, Info.EdgeBottom};
    for (int i = 0; i < 4; ++i)
      if (on[i]) FillRect(DC, &bands[i], brush);
  }
  DeleteObject(brush);
}

}  // namespace

HRGN GetViewInfoRegion(const TzmEditViewInfo& ViewInfo) {
  bool fills = ViewInfo.ShadowSize == 0 && ViewInfo.BorderWidth >= 2 && ViewInfo.EdgeLeft && ViewInfo.EdgeTop &&
               ViewInfo.EdgeRight && ViewInfo.EdgeBottom;
  if (fills) return nullptr;
  HRGN region = CreateRectRgnIndirect(&ViewInfo.BorderRect);
  HRGN shadow = CreateRectRgnIndirect(&ViewInfo.ShadowRect);
  CombineRgn(region, region, shadow, RGN_OR);
  DeleteObject(shadow);
  return region;
}

// ---------------------------------------------------------------------------------------------
// Class-level operations

TzmEditViewDataClass TzmInplaceEditClassOps::GetViewDataClass() const { return &TzmEditViewData::StaticClass(); }

void TzmInplaceEditClassOps::CalcViewInfo(TzmEditViewData* ViewData, bool AAutoSize, TzmEditViewInfo& ViewInfo) const {
  ViewInfo = TzmEditViewInfo();
  ViewInfo.ShadowSize = ViewData->Shadow ? kShadowSize : 0;
  Integer s = ViewInfo.ShadowSize;
  TRect& b = ViewInfo.Bounds;
  b = ViewData->ViewRect;
  ViewInfo.ContentRect = {b.Left + kContentInset, b.Top + kContentInset, b.Right - kContentInset - s,
                          b.Bottom - kContentInset - s};
  ViewInfo.BorderWidth = BorderWidthOf(ViewData->BorderStyle);
  if (AAutoSize) {
    TRect content;
    GetContentSize(ViewData, content);
    Integer h = content.Height();
    if (!content.IsEmpty()) {
      b.Right = b.Left + content.Width() + 2 * kContentInset + s;
      ViewInfo.ContentRect.Right = b.Left + kContentInset + content.Width();
    } else {
      h = GetEditHeight(ViewData);
    }
    b.Bottom = b.Top + h + 2 * kContentInset + s;
    ViewInfo.ContentRect.Bottom = b.Top + kContentInset + h;
  }
  ViewInfo.EdgeLeft = ViewData->Edges & edgLeft;
  ViewInfo.EdgeTop = ViewData->Edges & edgTop;
  ViewInfo.EdgeRight = ViewData->Edges & edgRight;
  ViewInfo.EdgeBottom = ViewData->Edges & edgBottom;
  TRect& r = ViewInfo.BorderRect;
  r = ViewInfo.ContentRect;
  Integer w = ViewInfo.BorderWidth;
  if (ViewInfo.EdgeLeft) r.Left -= w;
  if (ViewInfo.EdgeTop) r.Top -= w;
  if (ViewInfo.EdgeRight) r.Right += w;
  if (ViewInfo.EdgeBottom) r.Bottom += w;
  if (s > 0) ViewInfo.ShadowRect = {r.Left + s, r.Top + s, r.Right + s, r.Bottom + s};
}

void TzmInplaceEditClassOps::DrawBorder(HDC DC, const TzmEditViewInfo& ViewInfo, TzmEditViewData* ViewData) const {
  TRect r = ViewInfo.BorderRect;
  switch (ViewData->BorderStyle) {
    case xbsNone: return;
    case xbsSingle:
    case xbsThick: DrawSolidBorder(DC, ViewInfo, ViewData->BorderColor); break;
    case xbsFlat:
      DrawEdge(DC, &r, BDR_SUNKENOUTER, EdgeSides(ViewInfo) | BF_ADJUST);
      DrawEdge(DC, &r, BDR_SUNKENINNER, EdgeSides(ViewInfo) | BF_FLAT);
      break;
    case xbs3D: DrawEdge(DC, &r, EDGE_SUNKEN, EdgeSides(ViewInfo)); break;
  }
  if (ViewData->Shadow) FillShadowEdges(DC, ViewInfo.ShadowRect, ViewInfo.ShadowSize, ShadowBrush());
}

void TzmInplaceEditClassOps::Draw(HDC DC, const TRect&, TzmEditViewData* ViewData, HRGN Region) const {
  TzmEditViewInfo info;
  CalcViewInfo(ViewData, false, info);
  DrawBorder(DC, info, ViewData);
  DrawContent(DC, info.ContentRect, ViewData, false);
  if (!Region) return;
  HRGN painted = GetViewInfoRegion(info);
  if (!painted) painted = CreateRectRgnIndirect(&info.BorderRect);
  CombineRgn(Region, Region, painted, RGN_DIFF);
  DeleteObject(painted);
}

bool TzmInplaceEditClassOps::DrawContent(HDC DC, const TRect& Rect, TzmEditViewData* ViewData, bool) const {
  if (!ViewData->MeasureOnly) FillRect(DC, &Rect, ViewData->BrushHandle);
  return true;
}

TCursor TzmInplaceEditClassOps::GetCursor(Integer, Integer, TzmEditViewData* ViewData) const {
  if (ViewData->CursorShape != crDefault) return ViewData->CursorShape;
  return ViewData->HasTextArea ? crDefault : crArrow;
}

Integer TzmInplaceEditClassOps::GetEditHeight(TzmEditViewData* ViewData) const {
  TMeasureDC dc(ViewData->FontHandle);
  TEXTMETRIC tm;
  GetTextMetrics(dc.Handle(), &tm);
  if (IsInplace()) return tm.tmHeight + 3;
  return tm.tmHeight + 2 * (GetSystemMetrics(SM_CYBORDER) + 1);
}

void TzmInplaceEditClassOps::GetContentSize(TzmEditViewData*, TRect& R) const { R = TRect(); }

// ---------------------------------------------------------------------------------------------
// The live editor's view data and window shape

TOwned<TzmEditViewData> TzmInplaceEdit::CreateViewData(bool AFromData) {
  TOwned<TzmEditViewData> owned(GetClassOps().GetViewDataClass()->Create());
  TzmEditViewData& v = *owned;
  v.IsEnabled = GetEnabled();
  v.IsFocused = IsFocused();
  v.IsSelected = IsHot();
  v.BorderColor = FStyle->GetBorderColor();
  v.BorderStyle = FStyle->GetBorderStyle();
  if (v.IsSelected && FStyle->GetHotTrack()) v.BorderStyle = HotBorderStyle(v.BorderStyle);
  v.ButtonStyle = ButtonStyleFor(FStyle->GetButtonStyle(), v.BorderStyle);
  TzmEditButtonTransparence transparence = FStyle->GetButtonTransparence();
  v.ButtonTransparent = transparence == TzmEditButtonTransparence::ebtAlways ||
                        (transparence == TzmEditButtonTransparence::ebtInactive && !v.IsSelected);
  v.Edges = FStyle->GetEdges();
  v.Shadow = FStyle->GetShadow();
  v.IsTransparent = FTransparent && !v.IsFocused;
  v.ViewRect = Rect(0, 0, GetWidth(), GetHeight());
  v.ContentMargins = FContentMargins;
  v.TextLayout = 0;
  v.FontHandle = GetFont()->GetHandle();
  if (v.IsEnabled) {
    v.BrushHandle = GetBrush()->GetHandle();
    v.BackColor = ColorToRGB(GetColor());
    v.ForeColor = ColorToRGB(GetFont()->GetColor());
  } else {
    v.BrushHandle = GetSysColorBrush(COLOR_BTNFACE);
    v.BackColor = GetSysColor(COLOR_BTNFACE);
    v.ForeColor = GetSysColor(COLOR_BTNSHADOW);
  }
  v.HorzAlignment = FAlignment;
  v.HasTextArea = HasTextInput();
  v.TextLength = 0;
  GetDrawValue(v.DrawValue, AFromData);
  v.CursorShape = TControl::GetCursor();
  return owned;
}

void TzmInplaceEdit::UpdateShape() {
  if (!HandleAllocated() || FUpdatingShape) return;
  TValueScope updating(FUpdatingShape, true, AliveToken());
  TOwned<TzmEditViewData> viewData = CreateViewData(false);
  TzmEditViewInfo info;
  GetClassOps().CalcViewInfo(viewData.get(), IsAutoSized(), info);
  SetWindowPos(FHandle, nullptr, GetLeft(), GetTop(), info.Bounds.Width(), info.Bounds.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetWindowRgn(FHandle, GetViewInfoRegion(info), TRUE);
}

void TzmInplaceEdit::UpdateHotShape() {
  if (HasState(csDestroying) || !FStyle) return;
  if (FStyle->GetHotTrack() || FStyle->GetButtonTransparence() != TzmEditButtonTransparence::ebtNone) UpdateShape();
}

// How far the client area lies inside the window on each side.
TRect TzmInplaceEdit::ClientInset() {
  TOwned<TzmEditViewData> viewData = CreateViewData(false);
  TzmEditViewInfo info;
  GetClassOps().CalcViewInfo(viewData.get(), IsAutoSized(), info);
  const TRect& b = info.Bounds;
  const TRect& c = info.ContentRect;
  return {c.Left - b.Left, c.Top - b.Top, b.Right - c.Right, b.Bottom - c.Bottom};
}

void TzmInplaceEdit::WMNCCalcSize(TMessage& M) {
  auto* r = reinterpret_cast<RECT*>(M.LParam);
  if (M.WParam) r = &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0];
  TRect inset = ClientInset();
  r->Left += inset.Left;
  r->Top += inset.Top;
  r->Right -= inset.Right;
  r->Bottom -= inset.Bottom;
  if (r->Left >= r->Right) r->Right = r->Left;
  if (r->Top >= r->Bottom) r->Bottom = r->Top;
  M.Result = 0;
}

void TzmInplaceEdit::WMNCPaint(TMessage&) {
  HDC dc = GetWindowDC(FHandle);
  if (!dc) return;
  TOwned<TzmEditViewData> viewData = CreateViewData(false);
  TzmEditViewInfo info;
  GetClassOps().CalcViewInfo(viewData.get(), IsAutoSized(), info);
  GetClassOps().DrawBorder(dc, info, viewData.get());
  DWORD style = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE));
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    Integer w = info.BorderWidth;
    TRect inner{info.BorderRect.Left + w, info.BorderRect.Top + w, info.BorderRect.Right - w, info.BorderRect.Bottom - w};
    TRect corner{inner.Right - GetSystemMetrics(SM_CXVSCROLL), inner.Bottom - GetSystemMetrics(SM_CYHSCROLL), inner.Right,
                 inner.Bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  ReleaseDC(FHandle, dc);
}
