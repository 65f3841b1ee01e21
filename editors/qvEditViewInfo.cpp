// The paint model: edit view infos and their button view infos.
#include <algorithm>

#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Controls.h"

QJ_IMPLEMENT_CLASS(TqvEditButtonViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomEditViewInfo)

// ---------------------------------------------------------------------------------------------
// TqvEditButtonViewInfo

void TqvEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* source = As<TqvEditButtonViewInfo>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  IsSingleDropDown = source->IsSingleDropDown;
  NativeState = source->NativeState;
  BackgroundColor = source->BackgroundColor;
  Bounds = source->Bounds;
  Style = source->Style;
  Glyph = source->Glyph;
  ButtonIndex = source->ButtonIndex;
  Kind = source->Kind;
  NativeStyle = source->NativeStyle;
  State = source->State;
  Transparent = source->Transparent;
}

bool TqvEditButtonViewInfo::LooksDifferent(const TqvEditButtonViewInfo* AOther) const {
  return Style != AOther->Style || State != AOther->State || BackgroundColor != AOther->BackgroundColor ||
         NativeState != AOther->NativeState;
}

TOwned<TqvRegion> TqvEditButtonViewInfo::GetUpdateRegion(const TqvEditButtonViewInfo* AButtonViewInfo) const {
  if (!LooksDifferent(AButtonViewInfo)) return MakeOwned<TqvRegion>();
  return MakeOwned<TqvRegion>(Bounds);
}

bool TqvEditButtonViewInfo::Repaint(TWinControl* AControl, const TqvEditButtonViewInfo* AOldButtonViewInfo,
                                    const TPoint& AOffset) {
  if (!LooksDifferent(AOldButtonViewInfo)) return false;
  if (AControl && AControl->HandleAllocated()) {
    const TRect r = qvOffsetRect(Bounds, AOffset.X, AOffset.Y);
    InvalidateRect(AControl->GetHandle(), &r, Erase);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomEditViewInfo

void TqvCustomEditViewInfo::SetButtonCount(Integer ACount) {
  const size_t count = size_t(std::max(ACount, 0));
  if (count == ButtonsInfo.size()) return;
  if (count < ButtonsInfo.size()) {
    while (ButtonsInfo.size() > count) ButtonsInfo.pop_back();
    return;
  }
  while (ButtonsInfo.size() < count) ButtonsInfo.emplace_back(GetButtonViewInfoClass()->Create());
}

void TqvCustomEditViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvCustomEditViewInfo>(Source)) {
    BorderColor = source->BorderColor;
    BorderStyle = source->BorderStyle;
    ThemeState = source->ThemeState;
    SetButtonCount(source->GetButtonCount());
    for (Integer i = 0; i < GetButtonCount(); ++i) GetButton(i)->Assign(source->GetButton(i));
    PressedButtonIndex = source->PressedButtonIndex;
    HotButtonIndex = source->HotButtonIndex;
  }
  inherited::Assign(Source);
}

TOwned<TqvRegion> TqvCustomEditViewInfo::GetUpdateRegion(const TqvContainerViewInfo* AViewInfo) const {
  auto region = MakeOwned<TqvRegion>();
  auto* old = As<TqvCustomEditViewInfo>(AViewInfo);
  const bool sameFrame = old && (old->BorderColor == BorderColor || GetEditBorderStyle() == ebsNone) &&
                         old->BorderStyle == BorderStyle && old->GetButtonCount() == GetButtonCount() &&
                         old->ThemeState == ThemeState;
  if (!sameFrame) {
    if (!Bounds.IsEmpty()) region->Combine(MakeOwned<TqvRegion>(Bounds), roUnion);
    return region;
  }
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TOwned<TqvRegion> button = GetButton(i)->GetUpdateRegion(old->GetButton(i));
    if (!button->IsEmpty()) region->Combine(std::move(button), roUnion);
  }
  return region;
}

void TqvCustomEditViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  InnerControlRect = qvOffsetRect(InnerControlRect, DX, DY);
  BorderRect = qvOffsetRect(BorderRect, DX, DY);
  for (auto& button : ButtonsInfo) {
    button->Bounds = qvOffsetRect(button->Bounds, DX, DY);
    button->VisibleBounds = qvOffsetRect(button->VisibleBounds, DX, DY);
  }
}

void TqvCustomEditViewInfo::DrawButton(TqvCanvas* ACanvas, Integer AButtonIndex) {
  DrawEditButton(ACanvas, this, AButtonIndex);
}

void TqvCustomEditViewInfo::DrawButtonBorder(TqvCanvas* ACanvas, Integer AButtonIndex, const TRect& ARect,
                                             TqvEditButtonStyle AButtonStyle) {
  DrawEditButtonBorder(ACanvas, this, AButtonIndex, ARect, AButtonStyle);
}

void TqvCustomEditViewInfo::DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor,
                                              TColor AContentColor, const TRect& ARect) {
  DrawEditButtonContent(ACanvas, GetButton(AButtonIndex), ABackgroundColor, AContentColor, ARect);
}

bool TqvCustomEditViewInfo::IsHotTrack() const {
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [](const auto& b) { return b->State == ebbsHot; });
}

bool TqvCustomEditViewInfo::NeedShowHint(TqvCanvas* ACanvas, const TPoint& P, bool& AIsMultiLine, String& AText) {
  AText.clear();
  TRect textRect;
  return NeedShowHintInBounds(ACanvas, P, TRect{}, AIsMultiLine, AText, textRect);
}

bool TqvCustomEditViewInfo::NeedShowHintInBounds(TqvCanvas*, const TPoint&, const TRect&, bool& AIsMultiLine,
                                                 String& AText, TRect& ATextRect) {
  AIsMultiLine = false;
  AText.clear();
  ATextRect = TRect{};
  return false;
}

bool TqvCustomEditViewInfo::Repaint(TWinControl* AControl, const TqvCustomEditViewInfo* AOldViewInfo,
                                    const TRect* AInnerRect) {
  HWND wnd = AControl && AControl->HandleAllocated() ? AControl->GetHandle() : 0;
  const TRect inner = AInnerRect ? qvIntersectRect(*AInnerRect, InnerEditRect) : TRect{};
  if (!AOldViewInfo) {
    if (wnd) InvalidateRectOutside(wnd, Bounds, inner, HasBackground);
    return false;
  }
  bool frameChanged = false;
  TRect keep;
  if (AOldViewInfo->ThemeState != ThemeState || AOldViewInfo->GetButtonCount() != GetButtonCount()) {
    frameChanged = true;
    keep = inner;
  } else if (AOldViewInfo->BorderStyle != BorderStyle ||
             (AOldViewInfo->BorderColor != BorderColor && GetEditBorderStyle() != ebsNone)) {
    frameChanged = true;
    keep = ClientRect;
  }
  bool invalidated = false;
  if (frameChanged && !Bounds.IsEmpty() && Bounds != keep) {
    if (wnd) InvalidateRectOutside(wnd, Bounds, keep, AOldViewInfo->HasBackground);
    invalidated = true;
  }
  if (AOldViewInfo->GetButtonCount() == GetButtonCount())
    for (Integer i = 0; i < GetButtonCount(); ++i)
      invalidated |= GetButton(i)->Repaint(AControl, AOldViewInfo->GetButton(i), TPoint{});
  return invalidated;
}

void TqvCustomEditViewInfo::Paint(TqvCanvas* ACanvas) { DrawEditViewInfo(ACanvas, this); }
