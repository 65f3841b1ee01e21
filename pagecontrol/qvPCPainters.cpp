// The base painter (painting phases, repaints, the clip stack) and the standard painter: the
// measures and tabs areas by the standard style's tables, the navigator buttons, the content of a
// tab (image, cut caption, vertical text), the frame and the background.
#include "pagecontrol/qvPCPainters.h"

#include <algorithm>

#include "pagecontrol/qvPCPaintersFactory.h"
#include "platform/forms/ImgList.h"

QJ_IMPLEMENT_CLASS(TqvPCPainterParentInfo)
QJ_IMPLEMENT_CLASS(TqvPCCustomPainter)
QJ_IMPLEMENT_CLASS(TqvPCStandardPainter)

namespace {

const char kEllipsis[] = "...";

// The standard style's tables: tabs, buttons, flat buttons.
constexpr Integer kMinTabHeight[] = {18, 20, 20};
constexpr TPoint kIntervals[] = {{0, 0}, {3, 3}, {10, 3}};
constexpr TqvPCMargins kImageMargins[][2] = {  // other tabs, active tab
    {{6, 1, 0, 0}, {8, 1, 0, 3}},
    {{6, -1, 0, 1}, {7, 0, 0, 0}},
    {{6, -1, 0, 1}, {7, 0, 0, 0}}};
constexpr TqvPCMargins kTextMargins[][2] = {
    {{5, 1, 5, -1}, {5, 1, 5, 2}},
    {{6, 0, 4, 1}, {6, 0, 4, -1}},
    {{6, 0, 4, 1}, {6, 0, 4, -1}}};
constexpr TPoint kTextSideMargins[][2] = {{{2, 2}, {4, 4}}, {{2, 2}, {4, 2}}, {{2, 2}, {4, 2}}};
constexpr TPoint kTextSideMarginsCut[][2] = {{{2, 2}, {4, 4}}, {{2, 2}, {3, 2}}, {{2, 2}, {3, 2}}};

constexpr Integer kStandardButtonBreadth = 20;
constexpr Integer kStandardArrowLength = 20;
constexpr Integer kStandardGoLength = 12;
constexpr Integer kStandardGoLengthVertical = 13;
constexpr Integer kArrowGlyphSize = 5;
constexpr Integer kGoGlyphSize = 4;

bool IsNavigatorAtFarEnd(TqvPCNavigatorPosition APosition, bool AHorizontal) {
  return AHorizontal ? APosition == npRightTop || APosition == npRightBottom
                     : APosition == npLeftBottom || APosition == npRightBottom;
}

// The characters of a caption, an accelerator pair counting as one.
std::vector<String> CaptionCharacters(const String& ACaption) {
  std::vector<String> result;
  for (size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] == '&' && i + 1 < ACaption.size()) {
      result.push_back(ACaption.substr(i, 2));
      ++i;
    } else {
      result.push_back(ACaption.substr(i, 1));
    }
  }
  return result;
}

}  // namespace

TColor GetPCLightFaceColor() {
  const COLORREF face = ColorToRGB(clBtnFace);
  auto lighter = [](Integer c) { return c > 235 ? 255 : c + 20; };
  return static_cast<TColor>(RGB(lighter(GetRValue(face)), lighter(GetGValue(face)), lighter(GetBValue(face))));
}

// ---------------------------------------------------------------------------------------------
// Base painter

TqvPCCustomPainter::TqvPCCustomPainter(TqvCustomTabControl* AControl)
    : FControl(AControl), FParentInfo(MakeOwned<TqvPCPainterParentInfo>(AControl)) {}

TqvPCCustomPainter::~TqvPCCustomPainter() { FClipStack.clear(); }

TqvTabCorrection TqvPCCustomPainter::GetTabCorrection(Integer) { return {}; }

bool TqvPCCustomPainter::GetTabThemePart(Integer, Integer&, Integer&) { return false; }

void TqvPCCustomPainter::Paint() {
  if (!FParentInfo->GetHideTabs()) {
    BeforePaintNavigatorButtons();
    PaintNavigatorButtons();
    PaintTabs();
  }
  PaintFrame();
}

void TqvPCCustomPainter::RepaintRows() {
  if (FParentInfo->GetRowsBeforePage() > 0) Invalidate(FParentInfo->GetBeforeBand());
  if (FParentInfo->GetRowsBeforePage() < FParentInfo->GetRowCount()) Invalidate(FParentInfo->GetAfterBand());
}

void TqvPCCustomPainter::Invalidate(const TRect& R) {
  if (!R.IsEmpty()) FControl->InvalidateRect(R, false);
}

void TqvPCCustomPainter::PushClip(const TRect& R, bool AReplace) {
  FClipStack.push_back(Canvas()->GetClipRegion());
  if (AReplace)
    Canvas()->SetClipRegion(MakeOwned<TqvRegion>(R), roCopy);
  else
    Canvas()->IntersectClipRect(R);
}

void TqvPCCustomPainter::PopClip() {
  if (FClipStack.empty()) return;
  Canvas()->SetClipRegion(FClipStack.back().get(), roCopy);
  FClipStack.pop_back();
}

void TqvPCCustomPainter::ExcludeClip(const TRect& R) {
  if (!R.IsEmpty()) Canvas()->ExcludeClipRect(R);
}

// ---------------------------------------------------------------------------------------------
// Standard painter: measures

namespace {

bool ControlHasImages(TqvCustomTabControl* AControl) {
  const TSize size = AControl->GetImageList()->GetImageSize();
  return AControl->GetImageList()->HasImages() && size.cx > 0 && size.cy > 0;
}

Integer TextWidthIn(TqvCustomTabControl* AControl, const String& AText) {
  TqvCanvas* canvas = AControl->GetCanvas();
  canvas->SetFont(AControl->GetFont());
  return canvas->TextWidth(AText);
}

}  // namespace

Integer TqvPCStandardPainter::GetMinTabHeight() { return kMinTabHeight[GetStandardStyleOf()]; }

Integer TqvPCStandardPainter::GetContentTabHeight() {
  TqvCustomTabControl* control = GetControl();
  TqvCanvas* canvas = control->GetCanvas();
  canvas->SetFont(control->GetFont());
  Integer height = canvas->TextHeight("Zg") + 8;
  if (ControlHasImages(control))
    height = std::max(height, control->GetImageList()->GetImageSize().cy + 2 * control->GetImageBorder() + 6);
  return height;
}

Integer TqvPCStandardPainter::GetTabNormalHeight() {
  const Integer min = GetMinTabHeight();
  Integer height = std::max(GetContentTabHeight(), min);
  const Integer tabHeight = GetParentInfo()->GetTabHeight();
  if (tabHeight >= min && tabHeight > height) height = tabHeight;
  return height;
}

Integer TqvPCStandardPainter::GetMinTabNormalWidth() {
  TqvCustomTabControl* control = GetControl();
  const Integer image =
      ControlHasImages(control) ? control->GetImageList()->GetImageSize().cx + 2 * control->GetImageBorder() + 6 : 0;
  return std::max(GetMinTabWidthBase(), image + 12);
}

Integer TqvPCStandardPainter::GetTabNormalWidth(TqvTab* ATab) {
  const SmallInt tabWidth = GetParentInfo()->GetTabWidth();
  if (tabWidth > 0) return tabWidth;
  TqvCustomTabControl* control = GetControl();
  const Integer image =
      ControlHasImages(control) ? control->GetImageList()->GetImageSize().cx + 2 * control->GetImageBorder() + 6 : 0;
  const String& caption = ATab->GetDisplayCaption();
  const Integer text = caption.empty() ? 12 : TextWidthIn(control, caption) + 12;
  return std::max(image + text, GetMinTabNormalWidth());
}

TPoint TqvPCStandardPainter::GetTabsIntervals() { return kIntervals[GetStandardStyleOf()]; }

TqvPCMargins TqvPCStandardPainter::GetImageMargins(Integer VisibleIndex) {
  return kImageMargins[GetStandardStyleOf()][IsTabDown(VisibleIndex) ? 1 : 0];
}

TqvPCMargins TqvPCStandardPainter::GetTextMargins(Integer VisibleIndex) {
  return kTextMargins[GetStandardStyleOf()][IsTabDown(VisibleIndex) ? 1 : 0];
}

TPoint TqvPCStandardPainter::GetTextSideMargins(Integer VisibleIndex) {
  return kTextSideMargins[GetStandardStyleOf()][IsTabDown(VisibleIndex) ? 1 : 0];
}

TPoint TqvPCStandardPainter::GetTextSideMarginsCut(Integer VisibleIndex) {
  return kTextSideMarginsCut[GetStandardStyleOf()][IsTabDown(VisibleIndex) ? 1 : 0];
}

bool TqvPCStandardPainter::IsTabDown(Integer VisibleIndex) { return GetParentInfo()->GetTab(VisibleIndex)->IsActive(); }

// ---------------------------------------------------------------------------------------------
// Standard painter: areas and navigator buttons

Integer TqvPCStandardPainter::GetNavigatorButtonBreadth() { return kStandardButtonBreadth; }

Integer TqvPCStandardPainter::GetNavigatorButtonLength(TqvPCNavigatorButton AButton) {
  if (AButton != nbGoDialog) return kStandardArrowLength;
  return GetControl()->IsHorizontalPosition() ? kStandardGoLength : kStandardGoLengthVertical;
}

Integer TqvPCStandardPainter::GetNavigatorAreaLength(TqvPCNavigatorButtons AButtons) {
  Integer length = 0, count = 0;
  for (TqvPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog})
    if (AButtons & nbBit(b)) {
      length += GetNavigatorButtonLength(b);
      ++count;
    }
  if (count == 0) return 0;
  return length + (count - 1) * GetNavigatorButtonSpacing() + 2 * GetNavigatorButtonsIndent();
}

std::vector<TqvPCNavigatorButton> TqvPCStandardPainter::CalculateNavigatorButtonOrder(TqvPCNavigatorButtons AButtons) {
  const bool farEnd = IsNavigatorAtFarEnd(GetParentInfo()->GetNavigatorPosition(), GetControl()->IsHorizontalPosition());
  const std::vector<TqvPCNavigatorButton> order =
      farEnd ? std::vector<TqvPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight}
             : std::vector<TqvPCNavigatorButton>{nbTopLeft, nbBottomRight, nbGoDialog};
  std::vector<TqvPCNavigatorButton> result;
  for (TqvPCNavigatorButton b : order)
    if (AButtons & nbBit(b)) result.push_back(b);
  return result;
}

TRect TqvPCStandardPainter::CalculateNavigatorArea(TqvPCNavigatorButtons AButtons) {
  const Integer length = GetNavigatorAreaLength(AButtons);
  if (length == 0) return TRect();
  const Integer breadth = GetNavigatorButtonBreadth();
  const Integer w = GetParentInfo()->GetWidth(), h = GetParentInfo()->GetHeight();
  const TqvTabPosition position = GetParentInfo()->GetTabPosition();
  const bool horizontal = GetControl()->IsHorizontalPosition();
  const bool farEnd = IsNavigatorAtFarEnd(GetParentInfo()->GetNavigatorPosition(), horizontal);
  if (horizontal) {
    const Integer left = farEnd ? w - length : 0;
    const Integer top = position == tpTop ? 0 : h - breadth;
    return Bounds(left, top, length, breadth);
  }
  const Integer top = farEnd ? h - length : 0;
  const Integer left = position == tpLeft ? 0 : w - breadth;
  return Bounds(left, top, breadth, length);
}

void TqvPCStandardPainter::CalculateNavigatorButtons(TqvPCNavigatorButtons AButtons) {
  FNavigatorButtonInfos.clear();
  FNavigatorArea = CalculateNavigatorArea(AButtons);
  if (FNavigatorArea.IsEmpty()) return;
  const bool horizontal = GetControl()->IsHorizontalPosition();
  Integer p = (horizontal ? FNavigatorArea.Left : FNavigatorArea.Top) + GetNavigatorButtonsIndent();
  for (TqvPCNavigatorButton b : CalculateNavigatorButtonOrder(AButtons)) {
    const Integer length = GetNavigatorButtonLength(b);
    const TRect r = horizontal ? Rect(p, FNavigatorArea.Top, p + length, FNavigatorArea.Bottom)
                               : Rect(FNavigatorArea.Left, p, FNavigatorArea.Right, p + length);
    FNavigatorButtonInfos.push_back({b, r});
    p += length + GetNavigatorButtonSpacing();
  }
}

TqvPCTabsArea TqvPCStandardPainter::CalculateTabsArea(TqvPCNavigatorButtons AButtons) {
  TqvPCTabsArea area;
  const Integer w = GetParentInfo()->GetWidth(), h = GetParentInfo()->GetHeight();
  const Integer navigator = GetNavigatorAreaLength(AButtons);
  const bool horizontal = GetControl()->IsHorizontalPosition();
  const bool farEnd = IsNavigatorAtFarEnd(GetParentInfo()->GetNavigatorPosition(), horizontal);
  area.Bounds = Rect(0, 0, w, h);
  if (horizontal) {
    area.LineLength = w - navigator;
    (farEnd ? area.Bounds.Right : area.Bounds.Left) += farEnd ? -navigator : navigator;
  } else {
    area.LineLength = h - navigator;
    (farEnd ? area.Bounds.Bottom : area.Bounds.Top) += farEnd ? -navigator : navigator;
  }
  area.StartRect = area.Bounds;
  area.BandGap = GetTabsIntervals().Y;
  CalculateNavigatorButtons(AButtons);
  return area;
}

bool TqvPCStandardPainter::GetNavigatorButtonAt(Integer X, Integer Y, TqvPCNavigatorButton& AButton) {
  for (const TqvPCNavigatorButtonInfo& info : FNavigatorButtonInfos)
    if (info.Bounds.Contains({X, Y})) {
      AButton = info.Button;
      return true;
    }
  return false;
}

TRect TqvPCStandardPainter::GetGoDialogButtonBounds() {
  for (const TqvPCNavigatorButtonInfo& info : FNavigatorButtonInfos)
    if (info.Button == nbGoDialog && (GetParentInfo()->GetNavigatorButtons() & nbBit(nbGoDialog))) return info.Bounds;
  return TRect();
}

TRect TqvPCStandardPainter::GetCutClientRect(Integer ATabSideGap, Integer AOppositeGap, Integer AInset) {
  const TqvPCPainterParentInfo* info = GetParentInfo();
  TRect r = qvDeflatedRect(Rect(0, 0, info->GetWidth(), info->GetHeight()), AInset);
  if (info->GetHideTabs() || info->GetRowCount() == 0) return r;
  const TqvTabPosition position = info->GetTabPosition();
  const bool beforeIsTabSide = position == tpTop || position == tpLeft;
  const bool horizontal = GetControl()->IsHorizontalPosition();
  if (info->GetRowsBeforePage() > 0) {
    const Integer gap = beforeIsTabSide ? ATabSideGap : AOppositeGap;
    Integer& edge = horizontal ? r.Top : r.Left;
    edge = std::max(edge, (horizontal ? info->GetBeforeBand().Bottom : info->GetBeforeBand().Right) + gap);
  }
  if (info->GetRowsBeforePage() < info->GetRowCount()) {
    const Integer gap = beforeIsTabSide ? AOppositeGap : ATabSideGap;
    Integer& edge = horizontal ? r.Bottom : r.Right;
    edge = std::min(edge, (horizontal ? info->GetAfterBand().Top : info->GetAfterBand().Left) - gap);
  }
  return r;
}

TRect TqvPCStandardPainter::GetFrameRect() { return GetCutClientRect(2, 2, 2); }

TRect TqvPCStandardPainter::GetDisplayRect() { return GetFrameRect(); }

// ---------------------------------------------------------------------------------------------
// Standard painter: content of a tab

String TqvPCStandardPainter::CutCaption(const String& ACaption, Integer AAvailable) {
  const std::vector<String> characters = CaptionCharacters(ACaption);
  if (characters.empty()) return String();
  TqvCustomTabControl* control = GetControl();
  auto widthOf = [&](size_t ACount, bool AEllipsis) {
    String prefix;
    for (size_t i = 0; i < ACount; ++i) prefix += characters[i];
    return TextWidthIn(control, GetTabDisplayCaption(prefix) + (AEllipsis ? kEllipsis : ""));
  };
  const bool ellipsis = widthOf(1, true) <= AAvailable;
  size_t count = 0;
  while (count < characters.size() && widthOf(count + 1, ellipsis) <= AAvailable) ++count;
  String prefix;
  for (size_t i = 0; i < count; ++i) prefix += characters[i];
  return GetTabDisplayCaption(prefix) + (ellipsis ? kEllipsis : "");
}

TqvPCOutTabImageAndTextData TqvPCStandardPainter::CalculateTabImageAndText(Integer VisibleIndex) {
  TqvPCOutTabImageAndTextData data;
  TqvCustomTabControl* control = GetControl();
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TRect r = tab->GetRect();
  const TqvTabTextOrientation orientation = control->GetTextOrientation();
  // The text frame: along the text's reading direction and across it.
  const Integer w = orientation == ttoHorizontal ? r.Width() : r.Height();
  const Integer h = orientation == ttoHorizontal ? r.Height() : r.Width();

  const bool imageShown = ControlHasImages(control) && control->GetTabImageIndex(tab->GetIndex()) >= 0;
  const TSize imageSize = control->GetImageList()->GetImageSize();
  const Integer border = control->GetImageBorder();
  const bool captionShown = !tab->GetDisplayCaption().empty();
  const Integer reserved = imageShown ? imageSize.cx + 2 * border + GetImageTextGap() : 0;
  TPoint sides = GetTextSideMargins(VisibleIndex);
  data.Text = tab->GetDisplayCaption();
  Integer textWidth = captionShown ? TextWidthIn(control, data.Text) : 0;
  if (captionShown && textWidth > w - sides.X - sides.Y - reserved) {
    sides = GetTextSideMarginsCut(VisibleIndex);
    data.Text = CutCaption(tab->GetCaption(), w - sides.X - sides.Y - reserved);
    textWidth = TextWidthIn(control, data.Text);
  }

  TqvPCMargins imageMargins = GetImageMargins(VisibleIndex), textMargins = GetTextMargins(VisibleIndex);
  const TqvTabKind kind = tab->GetKind();
  if (GetPainterClass()->MovesActiveRow() &&
      (kind == tkLeftTopToBottom || kind == tkRightBottomToTop || kind == tkBottomHorizontal)) {
    // The text's top faces the page here.
    ++textMargins.Bottom;
    std::swap(textMargins.Top, textMargins.Bottom);
    std::swap(imageMargins.Top, imageMargins.Bottom);
  }
  const Integer pairWidth = (imageShown ? imageSize.cx + 2 * border : 0) + (imageShown && captionShown ? GetImageTextGap() : 0) +
                            (captionShown ? textWidth : 0);
  const Integer start = sides.X + (w - sides.X - sides.Y - pairWidth) / 2 + (textMargins.Left - textMargins.Right) / 2;
  TRect imageRect, textRect;
  if (imageShown) {
    const Integer top = imageMargins.Top + (h - imageMargins.Top - imageMargins.Bottom - imageSize.cy) / 2;
    imageRect = Bounds(start + border, top, imageSize.cx, imageSize.cy);
  }
  if (captionShown && !data.Text.empty()) {
    TqvCanvas* canvas = control->GetCanvas();
    const Integer textHeight = canvas->TextHeight("Zg");
    const Integer top = textMargins.Top + (h - textMargins.Top - textMargins.Bottom - textHeight) / 2;
    textRect = Bounds(start + reserved, top, textWidth, textHeight);
  }
  auto toClient = [&](const TRect& f) -> TRect {
    if (f.IsEmpty()) return TRect();
    switch (orientation) {
      case ttoHorizontal: return qvOffsetRect(f, r.Left, r.Top);
      case ttoBottomToTop: return Rect(r.Left + f.Top, r.Bottom - f.Right, r.Left + f.Bottom, r.Bottom - f.Left);
      case ttoTopToBottom: return Rect(r.Right - f.Bottom, r.Top + f.Left, r.Right - f.Top, r.Top + f.Right);
    }
    return f;
  };
  data.ImageRect = toClient(imageRect);
  data.TextRect = toClient(textRect);
  return data;
}

TColor TqvPCStandardPainter::GetTabTextColor(Integer VisibleIndex) {
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (tab->IsHot()) return GetParentInfo()->GetHotColor();
  if (tab->GetHighlighted()) return clHighlightText;
  return GetParentInfo()->GetFontColor();
}

void TqvPCStandardPainter::DrawTabText(TqvTab* ATab, const TqvPCOutTabImageAndTextData& AData) {
  TqvCustomTabControl* control = GetControl();
  TqvCanvas* canvas = Canvas();
  canvas->SetFont(control->GetFont());
  if (control->OnDrawTabEx) control->OnDrawTabEx(control, ATab, canvas->GetFont());
  canvas->GetFont()->SetColor(GetTabTextColor(ATab->GetVisibleIndex()));
  const bool enabled = ATab->GetRealEnabled();
  const TqvTabTextOrientation orientation = control->GetTextOrientation();
  if (orientation == ttoHorizontal) {
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->DrawText(AData.Text, AData.TextRect, tfLeft | tfTop | tfSingleLine | tfNoClip, enabled);
    canvas->GetBrush()->SetStyle(bsSolid);
    return;
  }
  if (!ATab->GetRotatedText()) {
    // The tab's own face under the text (a themed face is no single colour) is turned back to
    // reading direction, the text is drawn over it, and the picture turned the way it reads.
    auto bitmap = MakeOwned<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    const TRect& r = AData.TextRect;
    bitmap->SetSize(r.Width(), r.Height());
    TqvCanvas bitmapCanvas(bitmap->GetCanvas());
    bitmapCanvas.CopyRect(Rect(0, 0, r.Width(), r.Height()), canvas->GetCanvas(), r);
    RotateTabBitmap(bitmap.get(), orientation == ttoBottomToTop ? ttoTopToBottom : ttoBottomToTop);
    bitmapCanvas.SetFont(canvas->GetFont());
    bitmapCanvas.GetBrush()->SetStyle(bsClear);
    bitmapCanvas.DrawText(AData.Text, Rect(0, 0, r.Height(), r.Width()), tfLeft | tfTop | tfSingleLine | tfNoClip, enabled);
    RotateTabBitmap(bitmap.get(), orientation);
    ATab->SetRotatedText(std::move(bitmap));
  }
  canvas->Draw(AData.TextRect.Left, AData.TextRect.Top, ATab->GetRotatedText());
}

void TqvPCStandardPainter::DrawTabImageAndText(Integer VisibleIndex, TColor ABackgroundColor) {
  TqvCustomTabControl* control = GetControl();
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  const TqvPCOutTabImageAndTextData data = CalculateTabImageAndText(VisibleIndex);
  if (!data.ImageRect.IsEmpty())
    control->GetImageList()->Draw(Canvas()->GetCanvas(), data.ImageRect.Left, data.ImageRect.Top, tab->GetRealEnabled(),
                                  ABackgroundColor, control->GetTabImageIndex(tab->GetIndex()));
  if (!data.TextRect.IsEmpty()) DrawTabText(tab, data);
}

bool TqvPCStandardPainter::GetTabVisibleRect(Integer VisibleIndex, TRect& R) {
  R = GetParentInfo()->GetTab(VisibleIndex)->GetVisibleRect();
  return !R.IsEmpty() && Canvas()->RectVisible(R);
}

void TqvPCStandardPainter::DrawFocusRectOf(Integer VisibleIndex) {
  TqvCustomTabControl* control = GetControl();
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (!tab->IsActive() || !tab->GetRealEnabled() || !control->HandleAllocated() || !control->Focused()) return;
  Canvas()->GetPen()->SetColor(GetParentInfo()->GetFontColor());
  Canvas()->DrawFocusRect(qvDeflatedRect(tab->GetRect(), 3));
}

void TqvPCStandardPainter::DrawTab(Integer VisibleIndex) {
  TRect visible;
  if (!GetTabVisibleRect(VisibleIndex, visible)) return;
  TqvCustomTabControl* control = GetControl();
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  FDrawnTab = VisibleIndex;
  if (control->GetOwnerDraw() && control->OnDrawTab) {
    bool defaultDraw = true;
    control->OnDrawTab(control, tab, defaultDraw);
    if (!defaultDraw) {
      ExcludeClip(visible);
      return;
    }
  }
  PushClip(visible);
  PrepareNativeTab(VisibleIndex);
  DrawTabFrame(VisibleIndex);
  DrawTabImageAndText(VisibleIndex, GetTabColor(VisibleIndex));
  DrawFocusRectOf(VisibleIndex);
  PopClip();
  DrawTabBeyondClip(VisibleIndex);
  ExcludeClip(visible);
}

// ---------------------------------------------------------------------------------------------
// Standard painter: painting

void TqvPCStandardPainter::Paint() {
  TqvPCCustomPainter::Paint();
  PaintBackground();
}

void TqvPCStandardPainter::PaintTabs() {
  Integer first, last;
  GetControl()->GetPlacedTabRange(first, last);
  for (Integer i = first; first != -1 && i <= last; ++i) DrawTab(i);
}

void TqvPCStandardPainter::PaintBackground() {
  Canvas()->SetBrushColor(GetParentInfo()->GetColor());
  Canvas()->FillRect(Rect(0, 0, GetParentInfo()->GetWidth(), GetParentInfo()->GetHeight()));
}

void TqvPCStandardPainter::Draw3DFrame(const TRect& R, TColor AOuterLT, TColor AInnerLT, TColor AOuterRB, TColor AInnerRB) {
  TqvCanvas* canvas = Canvas();
  canvas->DrawComplexFrame(R, AOuterLT, AOuterRB);
  canvas->DrawComplexFrame(qvDeflatedRect(R, 1), AInnerLT, AInnerRB);
}

void TqvPCStandardPainter::PaintFrame() {
  const TRect frame = GetFrameRect();
  if (frame.IsEmpty()) return;
  Canvas()->SetBrushColor(GetParentInfo()->GetColor());
  Canvas()->FillRect(frame);
  const TRect outer = qvDeflatedRect(frame, -2);
  Draw3DFrame(outer, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow);
  ExcludeClip(outer);
}

void TqvPCStandardPainter::PaintNavigatorButtons() {
  const TqvPCNavigatorButtons shown = GetParentInfo()->GetNavigatorButtons();
  for (const TqvPCNavigatorButtonInfo& info : FNavigatorButtonInfos) {
    if (!(shown & nbBit(info.Button))) continue;
    PushClip(info.Bounds);
    DrawNavigatorButton(info.Button, info.Bounds);
    PopClip();
    ExcludeClip(info.Bounds);
  }
}

TqvScrollDirection TqvPCStandardPainter::GetGlyphDirection(TqvPCNavigatorButton AButton) const {
  if (AButton == nbGoDialog) return sdDown;
  const bool horizontal = GetControl()->IsHorizontalPosition();
  if (AButton == nbTopLeft) return horizontal ? sdLeft : sdUp;
  return horizontal ? sdRight : sdDown;
}

void TqvPCStandardPainter::DrawTriangle(const TRect& R, TqvScrollDirection ADirection, Integer ASize, TColor AColor) {
  TqvCanvas* canvas = Canvas();
  canvas->SetBrushColor(AColor);
  const bool vertical = ADirection == sdUp || ADirection == sdDown;
  // ASize lines, the longest 2 * ASize - 1 pixels, centred in R.
  const Integer depth = ASize, base = 2 * ASize - 1;
  const Integer x0 = R.Left + (R.Width() - (vertical ? base : depth)) / 2;
  const Integer y0 = R.Top + (R.Height() - (vertical ? depth : base)) / 2;
  for (Integer i = 0; i < depth; ++i) {
    // Line i from the tip: 2 * i + 1 pixels.
    const Integer from = ASize - 1 - i, to = ASize + i;
    switch (ADirection) {
      case sdUp: canvas->FillRect(Rect(x0 + from, y0 + i, x0 + to, y0 + i + 1)); break;
      case sdDown: canvas->FillRect(Rect(x0 + from, y0 + depth - 1 - i, x0 + to, y0 + depth - i)); break;
      case sdLeft: canvas->FillRect(Rect(x0 + i, y0 + from, x0 + i + 1, y0 + to)); break;
      case sdRight: canvas->FillRect(Rect(x0 + depth - 1 - i, y0 + from, x0 + depth - i, y0 + to)); break;
      case sdNone: break;
    }
  }
}

void TqvPCStandardPainter::DrawNavigatorGlyph(TqvPCNavigatorButton AButton, const TRect& R,
                                              TqvPCNavigatorButtonState AState) {
  const Integer size = AButton == nbGoDialog ? kGoGlyphSize : kArrowGlyphSize;
  const TqvScrollDirection direction = GetGlyphDirection(AButton);
  if (AState == nbsDisabled || !GetControl()->GetEnabled()) {
    DrawTriangle(qvOffsetRect(R, 1, 1), direction, size, clBtnHighlight);
    DrawTriangle(R, direction, size, clBtnShadow);
    return;
  }
  const TRect glyph = AState == nbsPressed ? qvOffsetRect(R, 1, 1) : R;
  DrawTriangle(glyph, direction, size, AState == nbsHotTrack ? GetParentInfo()->GetHotColor() : clBtnText);
}

void TqvPCStandardPainter::DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R) {
  const TqvPCNavigatorButtonState state = GetParentInfo()->GetNavigatorButtonState(AButton);
  if (state == nbsPressed)
    Draw3DFrame(R, clBtnShadow, cl3DDkShadow, clBtnHighlight, cl3DLight);
  else
    Draw3DFrame(R, cl3DLight, clBtnHighlight, cl3DDkShadow, clBtnShadow);
  Canvas()->SetBrushColor(clBtnFace);
  Canvas()->FillRect(qvDeflatedRect(R, 2));
  DrawNavigatorGlyph(AButton, R, state);
}

// ---------------------------------------------------------------------------------------------
// Standard painter: repaints

void TqvPCStandardPainter::RepaintNavigatorButton(TqvPCNavigatorButton AButton, TqvPCNavigatorButtonState) {
  for (const TqvPCNavigatorButtonInfo& info : FNavigatorButtonInfos)
    if (info.Button == AButton) Invalidate(info.Bounds);
}

void TqvPCStandardPainter::RepaintNavigatorArea() { Invalidate(FNavigatorArea); }

void TqvPCStandardPainter::RepaintTab(Integer VisibleIndex, TqvTabChangeKind AKind) {
  if (VisibleIndex < 0 || VisibleIndex >= GetParentInfo()->GetVisibleTabCount()) return;
  TqvTab* tab = GetParentInfo()->GetTab(VisibleIndex);
  if (GetControl()->IsTextVertical()) tab->FreeRotatedText();
  if (AKind == tckActive && !tab->IsActive() && GetPainterClass()->MovesActiveRow()) {
    // A formerly active tab that grew covered its neighbours: its whole band is repainted.
    const TqvTabSide side = tab->GetSide();
    Invalidate(side == tsTop || side == tsLeft ? GetParentInfo()->GetBeforeBand() : GetParentInfo()->GetAfterBand());
    return;
  }
  Invalidate(tab->GetVisibleRect());
}
