// The paint model: edit button view infos.
#include "editors/qvEdit.h"
#include "platform/forms/Controls.h"

QJ_IMPLEMENT_CLASS(TqvEditButtonViewInfo)

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
