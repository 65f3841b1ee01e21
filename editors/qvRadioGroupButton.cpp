// The radio glyph numbering of the editors and the look-and-feel radio button.
#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvRadioGroup.h"
#include "lookandfeel/qvContainer.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvRadioButton)

using qvLookAndFeelPainters::GetRadioButtonImageList;
using qvLookAndFeelPainters::TqvRadioButtonImageList;

namespace {

constexpr Integer kGlyphsPerFocus = 24, kGlyphsPerStyle = 8, kGlyphsPerCheck = 4;

TqvButtonState GlyphStateToPainterState(TqvRadioGlyphState AState) {
  switch (AState) {
    case rgsDisabled: return qvbsDisabled;
    case rgsNormal: return qvbsNormal;
    case rgsPressed: return qvbsPressed;
    case rgsHot: return qvbsHot;
  }
  return qvbsNormal;
}

// Text margins (left, top, right, bottom) of a standalone button by word wrap, alignment and
// native style.
TRect StandaloneTextMargins(bool AWordWrap, TAlignment AAlignment, bool ANative) {
  const bool right = AAlignment == taRightJustify;
  if (!AWordWrap) {
    if (right) return ANative ? TRect{3, -1, 0, 0} : TRect{5, -1, 0, 0};
    return ANative ? TRect{0, -1, 1, 0} : TRect{2, -1, 1, 0};
  }
  if (right) return ANative ? TRect{3, -1, 0, 0} : TRect{5, -1, 2, 0};
  return ANative ? TRect{0, -1, 3, 0} : TRect{2, -1, 6, 0};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Glyphs

Integer RadioGlyphIndex(bool AFocused, TqvLookAndFeelKind AStyle, bool AChecked, TqvRadioGlyphState AState) {
  return (AFocused ? kGlyphsPerFocus : 0) + Integer(AStyle) * kGlyphsPerStyle + (AChecked ? kGlyphsPerCheck : 0) +
         Integer(AState);
}

TqvRadioGlyphState RadioButtonStateToGlyphState(TqvRadioButtonState AState) {
  switch (AState) {
    case rbsDisabled: return rgsDisabled;
    case rbsHot: return rgsHot;
    case rbsNormal: return rgsNormal;
    case rbsPressed: return rgsPressed;
  }
  return rgsNormal;
}

Integer RadioGlyphToPainterIndex(Integer AGlyphIndex) {
  const Integer index = std::clamp(AGlyphIndex, 0, RadioGlyphCount - 1);
  const bool focused = index >= kGlyphsPerFocus;
  const Integer style = (index % kGlyphsPerFocus) / kGlyphsPerStyle;
  const bool checked = (index % kGlyphsPerStyle) >= kGlyphsPerCheck;
  const auto state = TqvRadioGlyphState(index % kGlyphsPerCheck);
  return TqvRadioButtonImageList::ImageIndex(focused, TqvPainterStyle(style), checked, GlyphStateToPainterState(state));
}

TSize RadioGlyphSize() { return GetRadioButtonImageList()->GetGlyphSize(); }

void DrawRadioGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, Integer AGlyphIndex, TColor ABackgroundColor,
                    bool AHighlighted) {
  TqvRadioButtonImageList* list = GetRadioButtonImageList();
  list->BuildImages(AHighlighted);
  list->Draw(ACanvas, RadioGlyphToPainterIndex(AGlyphIndex), X, Y, ABackgroundColor);
}

Integer RadioGlyphThemeState(bool AChecked, TqvRadioGlyphState AState) {
  static constexpr Integer unchecked[] = {4, 1, 3, 2}, checked[] = {8, 5, 7, 6};
  return (AChecked ? checked : unchecked)[AState];
}

// ---------------------------------------------------------------------------------------------
// Radio button

TqvRadioButton::TqvRadioButton(TComponent* AOwner)
    : TRadioButton(AOwner),
      FCanvas(MakeOwned<TqvCanvas>(GetCanvas())),
      FLookAndFeel(MakeOwned<TqvLookAndFeel>(this)) {
  FLookAndFeel->OnChanged = [this](TqvLookAndFeel*, TqvLookAndFeelValues) { LookAndFeelChanged(); };
  SetControlStyle(GetControlStyle() | csDoubleClicks);
  SetParentBackground(true);
}

TqvRadioButton::~TqvRadioButton() {
  FLookAndFeel->OnChanged = nullptr;
  FLookAndFeel.reset();
  FCanvas.reset();
}

void TqvRadioButton::LookAndFeelChanged() { Invalidate(); }

bool TqvRadioButton::IsNativeStyle() const { return IsNativeThemeUsable(FLookAndFeel->GetNativeStyle(), totButton); }

void TqvRadioButton::AdjustTextRect(TRect& R, bool ANativeStyle) {
  const TRect m = IsInplace() ? (ANativeStyle ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0})
                              : StandaloneTextMargins(GetWordWrap(), GetAlignment(), ANativeStyle);
  R.Left += m.Left;
  R.Top += m.Top;
  R.Right -= m.Right;
  R.Bottom -= m.Bottom;
}

void TqvRadioButton::SetButtonState(TqvRadioButtonState Value) {
  if (Value == FButtonState) return;
  FButtonState = Value;
  if (!HandleAllocated()) return;
  const TRect glyph = qvDeflatedRect(FGlyphRect, -1);
  InvalidateRect(GetHandle(), &glyph, FALSE);
}

void TqvRadioButton::UpdateButtonState() {
  if (!GetEnabled()) return SetButtonState(rbsDisabled);
  if (HasState(csDesigning) || !HandleAllocated()) return SetButtonState(rbsNormal);
  const TPoint p = ScreenToClient(GetCursorScreenPos());
  const bool over = GetClientRect().Contains(p) && WindowFromPoint(GetCursorScreenPos()) == GetHandle();
  if (GetCapture() == GetHandle()) return SetButtonState(over ? rbsPressed : rbsHot);
  const bool buttonDown = (GetCurrentShiftState() & (ssLeft | ssRight | ssMiddle)) != 0;
  SetButtonState(over && !buttonDown ? rbsHot : rbsNormal);
}

void TqvRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (alive) UpdateButtonState();
}

void TqvRadioButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive) UpdateButtonState();
}

void TqvRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive) UpdateButtonState();
}

void TqvRadioButton::Dispatch(TMessage& Message) {
  TAliveToken alive = AliveToken();
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      if (alive) UpdateButtonState();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(Message);
      if (alive) SetButtonState(GetEnabled() ? rbsNormal : rbsDisabled);
      return;
    default: inherited::Dispatch(Message);
  }
}

TRect TqvRadioButton::DrawGlyph(const TRect& AClient, bool ANative) {
  const bool glyphLeft = GetAlignment() == taRightJustify;
  const bool checked = GetChecked();
  const TqvRadioGlyphState state = RadioButtonStateToGlyphState(FButtonState);
  TqvCanvas* canvas = FCanvas.get();
  if (ANative) {
    HTHEME theme = OpenTheme(totButton);
    const Integer themeState = RadioGlyphThemeState(checked, state);
    SIZE size{13, 13};
    GetThemePartSize(theme, canvas->GetHandle(), BP_RADIOBUTTON, themeState, nullptr, TS_TRUE, &size);
    const Integer top = (AClient.Height() - size.cy) / 2;
    const TRect glyph = glyphLeft ? Bounds(0, top, size.cx, size.cy) : Bounds(AClient.Right - size.cx, top, size.cx, size.cy);
    if (GetParentBackground() && !IsInplace())
      DrawThemeParentBackground(GetHandle(), canvas->GetHandle(), &AClient);
    else {
      canvas->SetBrushColor(GetColor());
      canvas->FillRect(AClient);
    }
    DrawThemeBackground(theme, canvas->GetHandle(), BP_RADIOBUTTON, themeState, &glyph, nullptr);
    return glyph;
  }
  const TSize size = RadioGlyphSize();
  const Integer top = (AClient.Height() - size.cy) / 2;
  const Integer left = glyphLeft ? (IsInplace() ? 0 : 1) : AClient.Right - size.cx;
  const TRect glyph = Bounds(left, top, size.cx, size.cy);
  const auto kind = FLookAndFeel->GetKind();
  DrawRadioGlyph(canvas, glyph.Left, glyph.Top, RadioGlyphIndex(Focused(), kind, checked, state), GetColor(),
                 HasState(csDesigning));
  canvas->SetBrushColor(GetColor());
  FillRectOutside(canvas, AClient, glyph, GetColor());
  return glyph;
}

void TqvRadioButton::Paint() {
  const TRect client = GetClientRect();
  const bool native = IsNativeStyle();
  FGlyphRect = DrawGlyph(client, native);

  TRect text = GetAlignment() == taRightJustify ? Rect(FGlyphRect.Right, 0, client.Right, client.Bottom)
                                                 : Rect(0, 0, FGlyphRect.Left, client.Bottom);
  AdjustTextRect(text, native);
  const String caption = GetText();
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  if (!GetEnabled()) canvas->GetFont()->SetColor(clBtnShadow);
  canvas->RequiredState(csHandleValid | csFontValid);
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
  const UINT flags = DT_LEFT | (GetWordWrap() ? DT_WORDBREAK | DT_NOCLIP : DT_VCENTER | DT_SINGLELINE);
  TRect measured = text;
  DrawText(dc, caption.data(), Integer(caption.size()), &measured, flags | DT_CALCRECT);
  TRect drawn = text;
  if (GetWordWrap()) {
    // Wrapped text is centred by its height.
    drawn.Top = text.Top + (text.Height() - measured.Height()) / 2;
    drawn.Bottom = drawn.Top + measured.Height();
  }
  DrawText(dc, caption.data(), Integer(caption.size()), &drawn, flags);
  if (!Focused() || caption.empty()) return;
  TRect focus = Rect(drawn.Left, text.Top + (text.Height() - measured.Height()) / 2, drawn.Left + measured.Width(),
                     text.Top + (text.Height() - measured.Height()) / 2 + measured.Height());
  focus = qvDeflatedRect(focus, -1);
  ++focus.Bottom;
  focus = Rect(std::max(focus.Left, client.Left), std::max(focus.Top, client.Top), std::min(focus.Right, client.Right),
               std::min(focus.Bottom, client.Bottom));
  canvas->GetBrush()->SetColor(GetColor());
  canvas->DrawFocusRect(focus);
}
