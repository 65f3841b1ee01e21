// The painter-drawn button, its colours, and the shared glyph lists.
#include "lookandfeel/qvButtons.h"

#include <algorithm>

#include "lookandfeel/qvContainer.h"
#include "lookandfeel/qvControls.h"
#include "platform/forms/Forms.h"

QJ_IMPLEMENT_CLASS(TqvButtonColors)
QJ_IMPLEMENT_CLASS(TqvGlyphList)
QJ_IMPLEMENT_CLASS(TqvGlyphCache)
QJ_IMPLEMENT_CLASS(TqvButtonGlyph)
QJ_IMPLEMENT_CLASS(TqvCustomButton)
QJ_IMPLEMENT_CLASS(TqvButton)

namespace {

constexpr Integer kMaxGlyphs = 4;

TOwned<TqvGlyphCache>& CacheSlot() {
  static TOwned<TqvGlyphCache> cache;
  return cache;
}

TqvGlyphCache& EnsureCache() {
  if (!CacheSlot()) CacheSlot() = MakeOwned<TqvGlyphCache>();
  return *CacheSlot();
}

void FreeCacheWhenEmpty() {
  if (CacheSlot() && CacheSlot()->GetListCount() == 0) CacheSlot().reset();
}

// A pixel of a 32-bit bitmap as the colour it shows.
COLORREF PixelOf(TBitmap* B, Integer X, Integer Y) {
  const uint32_t p = B->ScanLine(Y)[X];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void SetPixelOf(TBitmap* B, Integer X, Integer Y, TColor C) {
  const COLORREF rgb = ColorToRGB(C);
  B->ScanLine(Y)[X] = (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

TOwned<TBitmap> NewWorkBitmap(TSize S) {
  auto b = MakeOwned<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(S.cx, S.cy);
  b->GetCanvas()->GetBrush()->SetColor(clBtnFace);
  b->GetCanvas()->FillRect(Rect(0, 0, S.cx, S.cy));
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Colours

TqvButtonColors::TqvButtonColors(TqvCustomButton* AButton) : FButton(AButton) {}

void TqvButtonColors::SetColor(TqvButtonState AState, TColor Value) {
  const TqvButtonAssignedColors bit = 1u << AState;
  if (Value == clNone || Value == clDefault) {
    if (FColors[AState] == clDefault && !(FAssignedColors & bit)) return;
    FColors[AState] = clDefault;
    FAssignedColors &= ~bit;
  } else {
    if (FColors[AState] == Value && (FAssignedColors & bit)) return;
    FColors[AState] = Value;
    FAssignedColors |= bit;
  }
  FButton->Invalidate();
}

void TqvButtonColors::SetAssignedColors(TqvButtonAssignedColors Value) {
  if (!FButton->HasState(csDesigning) || Value == FAssignedColors) return;
  for (Integer s = qvbsDefault; s <= qvbsDisabled; ++s) {
    const TqvButtonAssignedColors bit = 1u << s;
    if (!(Value & bit)) FColors[s] = clDefault;
    else if (FColors[s] == clDefault) Value &= ~bit;
  }
  FAssignedColors = Value;
  FButton->Invalidate();
}

void TqvButtonColors::Assign(TPersistent* Source) {
  auto* source = As<TqvButtonColors>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  std::copy(std::begin(source->FColors), std::end(source->FColors), std::begin(FColors));
  FAssignedColors = source->FAssignedColors;
  FButton->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Glyph lists

TqvGlyphList::TqvGlyphList(Integer AWidth, Integer AHeight) : TImageList(nullptr, AWidth, AHeight) {}

Integer TqvGlyphList::AddMasked(TBitmap* Image, TColor MaskColor) {
  auto free = std::find(FUsed.begin(), FUsed.end(), false);
  Integer index;
  if (free == FUsed.end()) {
    index = TImageList::AddMasked(Image, MaskColor);
    FUsed.resize(size_t(index) + 1, false);
  } else {
    index = Integer(free - FUsed.begin());
    ReplaceMasked(index, Image, MaskColor);
  }
  FUsed[size_t(index)] = true;
  ++FUsedCount;
  return index;
}

void TqvGlyphList::Delete(Integer Index) {
  if (Index < 0 || size_t(Index) >= FUsed.size() || !FUsed[size_t(Index)]) return;
  FUsed[size_t(Index)] = false;
  --FUsedCount;
}

TqvGlyphCache::~TqvGlyphCache() {
  for (TqvGlyphList* list : FLists) Free(list);
}

TqvGlyphList* TqvGlyphCache::GetList(Integer AWidth, Integer AHeight) {
  for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
    if ((*it)->GetWidth() == AWidth && (*it)->GetHeight() == AHeight) return *it;
  FLists.push_back(New<TqvGlyphList>(AWidth, AHeight));
  return FLists.back();
}

void TqvGlyphCache::ReturnList(TqvGlyphList* AList) {
  if (!AList || AList->GetUsedCount() != 0) return;
  std::erase(FLists, AList);
  Free(AList);
}

TqvGlyphCache* GetGlyphCache() { return CacheSlot().get(); }

// ---------------------------------------------------------------------------------------------
// Glyph

TqvButtonGlyph::TqvButtonGlyph() {
  FSourceBitmap = MakeOwned<TBitmap>();
  FSourceBitmap->OnChange = [this](TObject*) { HandleGlyphChange(); };
  EnsureCache();
}

TqvButtonGlyph::~TqvButtonGlyph() {
  Invalidate();
  FSourceBitmap.reset();
  FreeCacheWhenEmpty();
}

TSize TqvButtonGlyph::GlyphSize() const {
  return {FSourceBitmap->GetWidth() / FNumGlyphs, FSourceBitmap->GetHeight()};
}

void TqvButtonGlyph::Invalidate() {
  if (FGlyphList) {
    for (Integer& index : FIndexes)
      if (index != -1) FGlyphList->Delete(std::exchange(index, -1));
    if (GetGlyphCache()) GetGlyphCache()->ReturnList(FGlyphList);
  }
  std::fill(std::begin(FIndexes), std::end(FIndexes), -1);
  FGlyphList = nullptr;
}

void TqvButtonGlyph::HandleGlyphChange() {
  Invalidate();
  if (OnChange) OnChange(this);
}

void TqvButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  if (Value)
    FSourceBitmap->Assign(Value);
  else
    FSourceBitmap->SetSize(0, 0);
  const Integer w = FSourceBitmap->GetWidth(), h = FSourceBitmap->GetHeight();
  if (h > 0 && w % h == 0) {
    const Integer n = w / h;
    FNumGlyphs = n > kMaxGlyphs || n < 1 ? 1 : n;
  }
  HandleGlyphChange();
}

void TqvButtonGlyph::SetNumGlyphs(Integer Value) {
  if (Value < 1 || Value > kMaxGlyphs || Value == FNumGlyphs) return;
  Invalidate();
  FNumGlyphs = Value;
  HandleGlyphChange();
}

void TqvButtonGlyph::CopySourceImage(TBitmap* ADest, Integer AImage) {
  const TSize s = GlyphSize();
  ADest->GetCanvas()->CopyRect(Rect(0, 0, s.cx, s.cy), FSourceBitmap->GetCanvas(),
                               Rect(AImage * s.cx, 0, (AImage + 1) * s.cx, s.cy));
}

Integer TqvButtonGlyph::BuildImage(TSlot ASlot) {
  if (IsEmpty()) return -1;
  if (FIndexes[ASlot] != -1) return FIndexes[ASlot];
  const TSize s = GlyphSize();
  if (!FGlyphList) FGlyphList = EnsureCache().GetList(s.cx, s.cy);
  TOwned<TBitmap> work = NewWorkBitmap(s);
  const Integer image = ASlot < FNumGlyphs ? ASlot : 0;
  const COLORREF transparent = ColorToRGB(FSourceBitmap->GetTransparentColor());
  if (ASlot != gsDisabled) {
    CopySourceImage(work.get(), image);
    const TColor mask = FSourceBitmap->GetTransparentMode() == tmFixed ? FSourceBitmap->GetTransparentColor() : clDefault;
    return FIndexes[ASlot] = FGlyphList->AddMasked(work.get(), mask);
  }
  TOwned<TBitmap> source = NewWorkBitmap(s);
  CopySourceImage(source.get(), image);
  if (FNumGlyphs == 1) {
    // Embossed: the image's shape in highlight one pixel down and right, then in shadow.
    for (TColor ink : {clBtnHighlight, clBtnShadow}) {
      const Integer d = ink == clBtnHighlight ? 1 : 0;
      for (Integer y = 0; y < s.cy; ++y)
        for (Integer x = 0; x < s.cx; ++x)
          if (PixelOf(source.get(), x, y) != transparent && x + d < s.cx && y + d < s.cy)
            SetPixelOf(work.get(), x + d, y + d, ink);
    }
  } else {
    for (Integer y = 0; y < s.cy; ++y)
      for (Integer x = 0; x < s.cx; ++x) {
        const COLORREF c = PixelOf(source.get(), x, y);
        SetPixelOf(work.get(), x, y,
                   c == transparent       ? clBtnFace
                   : c == RGB(255, 255, 255) ? clBtnHighlight
                   : c == RGB(128, 128, 128) ? clBtnShadow
                                             : TColor(c));
      }
  }
  return FIndexes[ASlot] = FGlyphList->AddMasked(work.get(), clDefault);
}

Integer TqvButtonGlyph::GetStateImageIndex(TqvButtonState AState) {
  switch (AState) {
    case qvbsPressed: return BuildImage(FNumGlyphs < 3 ? gsUp : gsDown);
    case qvbsDisabled: return BuildImage(gsDisabled);
    default: return BuildImage(gsUp);
  }
}

void TqvButtonGlyph::ComputeLayout(TqvCanvas* ACanvas, const TRect& AClient, const String& ACaption,
                                   TButtonLayout ALayout, Integer AMargin, Integer ASpacing, bool ARightToLeft,
                                   TPoint& AGlyphPos, TRect& ATextBounds) {
  if (ARightToLeft && (ALayout == blGlyphLeft || ALayout == blGlyphRight))
    ALayout = ALayout == blGlyphLeft ? blGlyphRight : blGlyphLeft;
  const TPoint cs{AClient.Width(), AClient.Height()};
  const TPoint gs = IsEmpty() ? TPoint{0, 0} : TPoint{GlyphSize().cx, GlyphSize().cy};
  ATextBounds = Rect(0, 0, cs.X, 0);
  if (ACaption.empty())
    ATextBounds = TRect();
  else
    ACanvas->CalcTextRect(ACaption, ATextBounds, 0);
  const TPoint ts{ATextBounds.Width(), ATextBounds.Height()};
  TPoint textPos;
  const bool horizontal = ALayout == blGlyphLeft || ALayout == blGlyphRight;
  if (horizontal) {
    AGlyphPos.Y = (cs.Y - gs.Y + 1) / 2;
    textPos.Y = (cs.Y - ts.Y + 1) / 2;
  } else {
    AGlyphPos.X = (cs.X - gs.X + 1) / 2;
    textPos.X = (cs.X - ts.X + 1) / 2;
  }
  if (ts.X == 0 || gs.X == 0) ASpacing = 0;
  const Integer csAxis = horizontal ? cs.X : cs.Y, gsAxis = horizontal ? gs.X : gs.Y, tsAxis = horizontal ? ts.X : ts.Y;
  if (AMargin == -1) {
    if (ASpacing == -1) {
      AMargin = (csAxis - gsAxis - tsAxis) / 3;
      ASpacing = AMargin;
    } else {
      AMargin = (csAxis - (gsAxis + ASpacing + tsAxis) + 1) / 2;
    }
  } else if (ASpacing == -1) {
    ASpacing = (csAxis - AMargin - gsAxis - tsAxis) / 2;
  }
  switch (ALayout) {
    case blGlyphLeft:
      AGlyphPos.X = AMargin;
      textPos.X = AMargin + gs.X + ASpacing;
      break;
    case blGlyphRight:
      AGlyphPos.X = cs.X - AMargin - gs.X;
      textPos.X = AGlyphPos.X - ASpacing - ts.X;
      break;
    case blGlyphTop:
      AGlyphPos.Y = AMargin;
      textPos.Y = AMargin + gs.Y + ASpacing;
      break;
    case blGlyphBottom:
      AGlyphPos.Y = cs.Y - AMargin - gs.Y;
      textPos.Y = AGlyphPos.Y - ASpacing - ts.Y;
      break;
  }
  AGlyphPos = {AGlyphPos.X + AClient.Left, AGlyphPos.Y + AClient.Top};
  ATextBounds = qvOffsetRect(Rect(0, 0, ts.X, ts.Y), textPos.X + AClient.Left, textPos.Y + AClient.Top);
}

void TqvButtonGlyph::Draw(TqvCanvas* ACanvas, const TRect& AClient, TPoint AOffset, const String& ACaption,
                          TButtonLayout ALayout, Integer AMargin, Integer ASpacing, TqvButtonState AState,
                          bool ARightToLeft) {
  TPoint glyphPos;
  TRect text;
  ComputeLayout(ACanvas, AClient, ACaption, ALayout, AMargin, ASpacing, ARightToLeft, glyphPos, text);
  const Integer index = GetStateImageIndex(AState);
  if (index != -1) FGlyphList->Draw(ACanvas->GetCanvas(), glyphPos.X + AOffset.X, glyphPos.Y + AOffset.Y, index, true);
  if (ACaption.empty()) return;
  text = qvOffsetRect(text, AOffset.X, AOffset.Y);
  ACanvas->GetBrush()->SetStyle(bsClear);
  const TqvTextFlags flags = tfHCenter | tfVCenter;
  if (AState == qvbsDisabled) {
    const TColor color = ACanvas->GetFont()->GetColor();
    ACanvas->GetFont()->SetColor(clBtnHighlight);
    ACanvas->DrawText(ACaption, qvOffsetRect(text, 1, 1), flags);
    ACanvas->GetFont()->SetColor(color);
  }
  ACanvas->DrawText(ACaption, text, flags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------------------------
// Button

TqvCustomButton::TqvCustomButton(TComponent* AOwner) : TButton(AOwner) {
  FGlyph = MakeOwned<TqvButtonGlyph>();
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
  FColors = MakeOwned<TqvButtonColors>(this);
  FQVCanvas = MakeOwned<TqvCanvas>(GetCanvas());
  FLookAndFeel = MakeOwned<TqvLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TqvLookAndFeel*, TqvLookAndFeelValues) { Invalidate(); };
  FThemeChangedNotificator = MakeOwned<TzmThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = [this] { Invalidate(); };
  SetDoubleBuffered(true);
  SetControlStyle(GetControlStyle() | csOpaque);
}

TqvCustomButton::~TqvCustomButton() {
  ::EndMouseTracking(this);
  FThemeChangedNotificator.reset();
  FLookAndFeel.reset();
  FColors.reset();
  FGlyph.reset();
  FQVCanvas.reset();
}

void TqvCustomButton::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TqvCustomButton::SetDropDownMenu(TPopupMenu* Value) {
  if (Value == FDropDownMenu) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
}

void TqvCustomButton::SetGlyph(TBitmap* Value) {
  FGlyph->SetGlyph(Value);
  if (Value) FUseSystemPaint = false;
  Invalidate();
}

void TqvCustomButton::SetKind(TqvButtonKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  Invalidate();
}

void TqvCustomButton::SetLayout(TButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TqvCustomButton::SetMargin(Integer Value) {
  if (Value < -1 || Value == FMargin) return;
  FMargin = Value;
  Invalidate();
}

void TqvCustomButton::SetNumGlyphs(Integer Value) {
  Value = std::clamp(Value, 1, kMaxGlyphs);
  if (Value != FGlyph->GetNumGlyphs()) FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

void TqvCustomButton::SetSpacing(Integer Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Invalidate();
}

void TqvCustomButton::SetUseSystemPaint(bool Value) {
  if (Value == FUseSystemPaint) return;
  FUseSystemPaint = Value;
  Invalidate();
}

TqvLookAndFeelPainterClass TqvCustomButton::GetPainter() const {
  const bool native = FLookAndFeel->GetNativeStyle();
  if (AreThemesAvailable() && (native || (FUseSystemPaint && FLookAndFeel->GetKind() == lfStandard)))
    return TqvWinXPLookAndFeelPainter::Class();
  switch (FLookAndFeel->GetKind()) {
    case lfFlat: return TqvFlatLookAndFeelPainter::Class();
    case lfUltraFlat: return TqvUltraFlatLookAndFeelPainter::Class();
    case lfStandard: break;
  }
  return FLookAndFeel->GetPainter();
}

bool TqvCustomButton::IsSystemPainted() const {
  return FKind == qvbkStandard && FUseSystemPaint && FGlyph->IsEmpty() &&
         ((FLookAndFeel->GetNativeStyle() && AreThemesAvailable()) || FLookAndFeel->GetKind() == lfStandard);
}

bool TqvCustomButton::IsHotTrackActive() const {
  return !IsSystemPainted() && GetPainter()->HasButtonHotTrack() && GetEnabled();
}

TqvButtonState TqvCustomButton::GetDrawState() {
  bool pressed = GetPressed() && !FArrowPressed;
  if (FKind == qvbkDropDown) pressed = FMenuShown;
  if (!GetEnabled()) return qvbsDisabled;
  if (pressed) return qvbsPressed;
  if (FHot) return qvbsHot;
  const bool focused = Focused() || (HasState(csDesigning) && GetDefault());
  if (focused || IsActive()) return qvbsDefault;
  return qvbsNormal;
}

void TqvCustomButton::Paint() {
  if (IsSystemPainted())
    inherited::Paint();
  else
    DrawButton();
}

void TqvCustomButton::DrawButton() {
  TqvLookAndFeelPainterClass painter = GetPainter();
  TRect r = GetClientRect();
  TRect arrow;
  if (FKind == qvbkDropDownButton) {
    arrow = Rect(r.Right - ArrowPartWidth, r.Top, r.Right, r.Bottom);
    r.Right = arrow.Left + 2;  // the main part overlaps the arrow part
  }
  const TqvButtonState state = GetDrawState();
  FQVCanvas->GetFont()->Assign(GetFont());
  TColor color = FColors->GetColor(state);
  FQVCanvas->GetFont()->SetColor(painter->GetButtonGlyphColor(state));
  TAliveToken alive = AliveToken();
  if (OnGetDrawParams) OnGetDrawParams(this, state, color, FQVCanvas->GetFont());
  if (!alive) return;
  // The themed face leaves its rounded corners to the parent's background.
  if (HTHEME theme = painter == TqvWinXPLookAndFeelPainter::Class() ? OpenTheme(totButton) : nullptr;
      theme && IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, PBS_NORMAL)) {
    const TRect client = GetClientRect();
    DrawThemeParentBackground(GetHandle(), FQVCanvas->GetHandle(), &client);
  }
  painter->DrawButton(FQVCanvas.get(), r, "", state, true, color, FQVCanvas->GetFont()->GetColor());
  const Integer shift = state == qvbsPressed ? painter->GetPressedButtonTextShift() : 0;
  FGlyph->Draw(FQVCanvas.get(), r, {shift, shift}, GetCaption(), FLayout, FMargin, FSpacing, state,
               GetBiDiMode() != bdLeftToRight);
  if (FKind == qvbkDropDownButton) {
    const TqvButtonState arrowState = FMenuShown ? qvbsPressed : state;
    painter->DrawButton(FQVCanvas.get(), arrow, "", arrowState, true, color, FQVCanvas->GetFont()->GetColor());
    painter->DrawScrollArrow(FQVCanvas.get(), arrow, arrowState, arrowDown);
  }
  if (Focused() && !FMenuShown) FQVCanvas->DrawFocusRect(painter->CalcButtonFocusRect(FQVCanvas.get(), r));
}

// ---------------------------------------------------------------------------------------------
// Hot tracking

void TqvCustomButton::CMMouseEnter() {
  if (HasState(csDesigning) || FHot || !IsHotTrackActive() || GetCapture()) return;
  BeginMouseTracking(nullptr, Rect(ClientToScreen({0, 0}).X, ClientToScreen({0, 0}).Y, ClientToScreen({0, 0}).X + GetWidth(),
                                   ClientToScreen({0, 0}).Y + GetHeight()),
                     this);
  FHot = true;
  Invalidate();
}

void TqvCustomButton::CMMouseLeave() {
  if (HasState(csDesigning)) return;
  ::EndMouseTracking(this);
  if (FHot && IsHotTrackActive()) {
    FHot = false;
    Invalidate();
  }
}

void TqvCustomButton::MouseLeave() { Perform(CM_MOUSELEAVE, 0, 0); }

void TqvCustomButton::UpdateHotFromCursor() {
  FHot = IsHotTrackActive() && HandleAllocated() && WindowFromPoint(GetCursorScreenPos()) == GetHandle();
}

void TqvCustomButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (alive && !FHot && IsHotTrackActive() && GetClientRect().Contains({X, Y}) && !GetCapture()) CMMouseEnter();
}

// ---------------------------------------------------------------------------------------------
// Drop-down menu

void TqvCustomButton::RequestDropDown() {
  FArrowPressed = true;
  if (HandleAllocated()) PostMessage(GetHandle(), WM_QV_MENUCLOSE1, 0, 0);
}

Integer TqvCustomButton::GetMenuHeight() const {
  NONCLIENTMETRICS metrics;
  Integer height = SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) ? 2 * metrics.iBorderWidth : 2;
  if (!FDropDownMenu) return height;
  TMenuItem* items = FDropDownMenu->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TMenuItem* item = items->GetItem(i);
    Integer itemHeight = GetSystemMetrics(SM_CYMENU);
    if (FDropDownMenu->GetOwnerDraw() && item->GetVisible()) {
      Integer width = 0;
      item->MeasureItem(GetScreenCanvas()->GetCanvas(), width, itemHeight);
    }
    height += itemHeight;
  }
  return height;
}

void TqvCustomButton::ShowDropDownMenu() {
  if (FKind == qvbkStandard || !FDropDownMenu) return;
  FMenuShown = true;
  Repaint();
  TPoint p = ClientToScreen({0, GetHeight()});
  const Integer h = GetMenuHeight();
  // The menu stays inside the work area of the button's monitor.
  const TRect work = GetMonitorWorkArea(Rect(p.X, p.Y, p.X, p.Y));
  if (work.Bottom < p.Y + h) p.Y = p.Y - h - GetHeight() - 2;
  p.Y = std::max(p.Y, work.Top);
  p.X = std::max(p.X, work.Left);
  TAliveToken alive = AliveToken();
  FDropDownMenu->Popup(p.X, p.Y);
  // A command of the menu may have freed the button.
  if (alive && HandleAllocated()) PostMessage(GetHandle(), WM_QV_MENUCLOSE2, 0, 0);
}

void TqvCustomButton::MenuClosed() {
  UpdateHotFromCursor();
  FMenuShown = false;
  Repaint();
  FArrowPressed = false;
}

void TqvCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FKind != qvbkStandard) {
    if (FMenuShown) {
      FClosingClick = true;
      FMenuShown = false;
      SetPressed(false);
      Repaint();
    } else if (FKind == qvbkDropDown || InArrowPart(X)) {
      RequestDropDown();
    }
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TqvCustomButton::Click() {
  if (FKind == qvbkDropDown && !FMenuShown) {
    if (!FClosingClick) RequestDropDown();
    FClosingClick = false;
    return;
  }
  if (FKind != qvbkStandard && FClosingClick) {
    FClosingClick = false;
    return;
  }
  inherited::Click();
}

void TqvCustomButton::KeyDown(Word& Key, TShiftState Shift) {
  if (FKind == qvbkDropDownButton && (Key == VK_UP || Key == VK_DOWN) && (Shift & (ssAlt | ssShift))) {
    if (!FMenuShown) RequestDropDown();
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TqvCustomButton::Dispatch(TMessage& Message) {
  TAliveToken alive = AliveToken();
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      inherited::Dispatch(Message);
      if (alive) CMMouseEnter();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(Message);
      if (alive) CMMouseLeave();
      return;
    case WM_CAPTURECHANGED:
      inherited::Dispatch(Message);
      if (alive && !HasState(csDesigning)) UpdateHotFromCursor();
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      if (!alive) return;
      if (!GetEnabled()) FHot = false;
      Invalidate();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      if (alive) Invalidate();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FKind == qvbkDropDownButton && InArrowPart(GET_X_LPARAM(Message.LParam))) FArrowPressed = true;
      if (Message.Msg == WM_LBUTTONDBLCLK) Message.Msg = WM_LBUTTONDOWN;
      inherited::Dispatch(Message);
      return;
    case WM_LBUTTONUP:
      inherited::Dispatch(Message);
      if (alive) FArrowPressed = false;
      return;
    case WM_QV_MENUCLOSE1: ShowDropDownMenu(); return;
    case WM_QV_MENUCLOSE2: MenuClosed(); return;
    default: inherited::Dispatch(Message);
  }
}
