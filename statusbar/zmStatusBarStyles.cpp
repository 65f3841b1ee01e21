// The base panel style, the text style, and the container style with its control.
#include "platform/forms/ImgList.h"
#include "platform/rtl/Scopes.h"
#include "statusbar/zmStatusBar.h"

QJ_IMPLEMENT_CLASS(TzmStatusBarTextPanelStyle)
QJ_IMPLEMENT_CLASS(TzmStatusBarContainerControl)
QJ_IMPLEMENT_CLASS(TzmStatusBarContainerPanelStyle)

namespace {

constexpr Integer kImageLeftMargin = 1;
constexpr Integer kImageTextGap = 2;
constexpr Integer kTextMargin = 2;

TqvTextFlags AlignmentFlags(TAlignment AAlignment) {
  switch (AAlignment) {
    case taRightJustify: return tfRight;
    case taCenter: return tfHCenter;
    case taLeftJustify: break;
  }
  return tfLeft;
}

TqvTextFlags EllipsisFlags(TzmStatusBarEllipsisType AType) {
  switch (AType) {
    case zmetTruncate: return tfEndEllipsis;
    case zmetSmartPath: return tfPathEllipsis;
    case zmetNone: break;
  }
  return 0;
}

bool IsDesigning(TzmCustomStatusBar* ABar) { return ABar && ABar->HasState(csDesigning); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Base style

TzmStatusBarPanelStyle::TzmStatusBarPanelStyle(TzmStatusBarPanel* AOwner)
    : FOwner(AOwner), FFont(MakeOwned<TFont>()) {
  if (TzmCustomStatusBar* bar = GetStatusBar()) FFont->Assign(bar->GetFont());
  FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TzmStatusBarPanelStyle::~TzmStatusBarPanelStyle() = default;

void TzmStatusBarPanelStyle::Assign(TPersistent* Source) {
  auto* source = As<TzmStatusBarPanelStyle>(Source);
  if (!source) return inherited::Assign(Source);
  TUpdateScope update(GetPanel()->GetCollection());
  RestoreDefaults();
  SetAlignment(source->FAlignment);
  if (source->FColorAssigned) SetColor(source->FColor);
  if (source->FParentFont)
    ParentFontChanged();
  else
    SetFont(source->FFont.get());
}

TPersistent* TzmStatusBarPanelStyle::GetOwner() { return FOwner; }

TzmCustomStatusBar* TzmStatusBarPanelStyle::GetStatusBar() const { return FOwner ? FOwner->GetStatusBar() : nullptr; }

void TzmStatusBarPanelStyle::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  StyleChanged();
}

TColor TzmStatusBarPanelStyle::GetColor() const { return FColorAssigned ? FColor : GetDefaultColor(); }

void TzmStatusBarPanelStyle::SetColor(TColor Value) {
  FColor = Value;
  FColorAssigned = true;
  StyleChanged();
}

void TzmStatusBarPanelStyle::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (FParentFont) ParentFontChanged();
  StyleChanged();
}

void TzmStatusBarPanelStyle::StyleChanged() {
  if (FOwner) FOwner->PanelStyleChanged();
}

void TzmStatusBarPanelStyle::AdjustTextRect(TRect& R) {
  TzmCustomStatusBar* bar = GetStatusBar();
  if (!bar || FOwner->GetIndex() != bar->GetPanels()->GetCount() - 1 || !bar->IsSizeGripVisible()) return;
  R.Right -= bar->GetPainterClass()->GetSizeGripSize().cx;
}

TColor TzmStatusBarPanelStyle::GetDefaultColor() const {
  TzmCustomStatusBar* bar = GetStatusBar();
  return bar ? bar->GetColor() : clBtnFace;
}

void TzmStatusBarPanelStyle::DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) {
  APainter->DrawPanelBackground(GetStatusBar(), FOwner, R, ACanvas);
}

void TzmStatusBarPanelStyle::ParentFontChanged() {
  TzmCustomStatusBar* bar = GetStatusBar();
  if (!FParentFont || !bar) return;
  TValueScope changing(FChangingParentFont, true);
  FFont->Assign(bar->GetFont());
}

void TzmStatusBarPanelStyle::RestoreDefaults() {
  FAlignment = taLeftJustify;
  FColorAssigned = false;
  FParentFont = true;
  ParentFontChanged();
  StyleChanged();
}

void TzmStatusBarPanelStyle::FontChanged(TObject*) {
  if (!FChangingParentFont) FParentFont = false;
  StyleChanged();
}

// ---------------------------------------------------------------------------------------------
// Text style

void TzmStatusBarTextPanelStyle::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = As<TzmStatusBarTextPanelStyle>(Source);
  if (!source) return;
  SetAutoHint(source->FAutoHint);
  SetImageIndex(source->FImageIndex);
  SetEllipsisType(source->FEllipsisType);
}

void TzmStatusBarTextPanelStyle::SetAutoHint(bool Value) {
  if (Value == FAutoHint) return;
  if (TzmCustomStatusBar* bar = GetStatusBar(); bar && Value)
    for (Integer i = 0; i < bar->GetPanels()->GetCount(); ++i)
      if (auto* text = As<TzmStatusBarTextPanelStyle>(bar->GetPanels()->GetItem(i)->GetPanelStyle())) text->FAutoHint = false;
  FAutoHint = Value;
  StyleChanged();
}

void TzmStatusBarTextPanelStyle::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  StyleChanged();
}

void TzmStatusBarTextPanelStyle::SetEllipsisType(TzmStatusBarEllipsisType Value) {
  if (Value == FEllipsisType) return;
  FEllipsisType = Value;
  StyleChanged();
}

void TzmStatusBarTextPanelStyle::DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) {
  inherited::DrawContent(ACanvas, R, APainter);
  TzmCustomStatusBar* bar = GetStatusBar();
  const bool enabled = !bar || bar->GetEnabled();
  TCustomImageList* images = bar ? bar->GetImages() : nullptr;
  if (images && FImageIndex >= 0 && FImageIndex < images->GetCount()) {
    images->Draw(ACanvas->GetCanvas(), R.Left + kImageLeftMargin, R.Top + (R.Height() - images->GetHeight()) / 2,
                 FImageIndex, enabled);
    R.Left += images->GetWidth() + kImageTextGap;
  }
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->SetFont(GetFont());
  R.Left += kTextMargin;
  R.Right -= kTextMargin;
  String text = GetPanel()->GetText();
  if (OnGetText) OnGetText(this, R, text);
  ACanvas->DrawText(text, R, tfSingleLine | tfVCenter | AlignmentFlags(GetAlignment()) | EllipsisFlags(FEllipsisType),
                    enabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void TzmStatusBarTextPanelStyle::RestoreDefaults() {
  FAutoHint = false;
  FImageIndex = -1;
  FEllipsisType = zmetNone;
  inherited::RestoreDefaults();
}

// ---------------------------------------------------------------------------------------------
// Container control

TzmStatusBarContainerControl::TzmStatusBarContainerControl(TComponent* AOwner) : TqvControl(AOwner) {
  SetControlStyle(GetControlStyle() | csAcceptsControls);
}

void TzmStatusBarContainerControl::BeforeDestruction() {
  if (TzmStatusBarContainerPanelStyle* style = FPanelStyle) {
    FPanelStyle = nullptr;
    style->FContainer = nullptr;
    style->GetPanel()->SetPanelStyleClass(nullptr);
  }
  inherited::BeforeDestruction();
}

void TzmStatusBarContainerControl::Paint() {
  TqvCanvas* canvas = GetCanvas();
  TzmCustomStatusBar* bar = FPanelStyle ? FPanelStyle->GetStatusBar() : nullptr;
  if (bar) {
    // The bar's background as it shows behind this control, then the panel's.
    TRect r = qvOffsetRect(bar->GetClientRect(), -GetLeft(), -GetTop());
    bar->GetPainterClass()->DrawBorder(bar, canvas, r);
    bar->GetPainterClass()->DrawPanelBackground(bar, FPanelStyle->GetPanel(), GetClientRect(), canvas);
  } else {
    canvas->SetBrushColor(clBtnFace);
    canvas->FillRect(GetClientRect());
  }
  if (HasState(csDesigning)) {
    canvas->GetBrush()->SetStyle(bsDiagCross);
    canvas->GetBrush()->SetColor(clBtnShadow);
    canvas->FrameRect(GetClientRect(), clDefault, 1);
    canvas->GetBrush()->SetStyle(bsSolid);
  }
}

// ---------------------------------------------------------------------------------------------
// Container style

TzmStatusBarContainerPanelStyle::TzmStatusBarContainerPanelStyle(TzmStatusBarPanel* AOwner)
    : TzmStatusBarPanelStyle(AOwner) {
  TzmCustomStatusBar* bar = GetStatusBar();
  if (!IsDesigning(bar) || bar->HasState(csLoading | csReading | csUpdating)) return;
  auto* container = New<TzmStatusBarContainerControl>(bar->Owner());
  container->SetParent(bar);
  container->SetName(bar->GetName() + "Container" + IntToStr(AOwner->GetID()));
  FContainer = container;
  container->FPanelStyle = this;
}

void TzmStatusBarContainerPanelStyle::BeforeDestruction() {
  if (TzmStatusBarContainerControl* container = FContainer) {
    FContainer = nullptr;
    container->FPanelStyle = nullptr;
    if (!IsBarBusy()) Free(container);
  }
  inherited::BeforeDestruction();
}

void TzmStatusBarContainerPanelStyle::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = As<TzmStatusBarContainerPanelStyle>(Source);
  if (!source) return;
  SetAlignControl(source->FAlignControl);
  TzmCustomStatusBar* bar = GetStatusBar();
  if (bar && source->FContainer) SetContainer(bar->FindContainer(source->FContainer->GetName()));
}

void TzmStatusBarContainerPanelStyle::SetAlignControl(bool Value) {
  if (Value == FAlignControl) return;
  FAlignControl = Value;
  StyleChanged();
}

void TzmStatusBarContainerPanelStyle::SetContainer(TzmStatusBarContainerControl* Value) {
  if (Value == FContainer) return;
  if (TzmStatusBarContainerControl* old = FContainer) {
    FContainer = nullptr;
    old->FPanelStyle = nullptr;
    if (!IsBarBusy()) Free(old);
  }
  if (Value) {
    if (Value->FPanelStyle) Value->FPanelStyle->FContainer = nullptr;
    Value->FPanelStyle = this;
    FContainer = Value;
  }
  StyleChanged();
}

bool TzmStatusBarContainerPanelStyle::CanDelete() { return !FContainer || !FContainer->HasState(csAncestor); }

void TzmStatusBarContainerPanelStyle::DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) {
  inherited::DrawContent(ACanvas, R, APainter);
  if (!FContainer) return;
  AdjustTextRect(R);
  FContainer->SetBoundsRect(R);
  if (!FAlignControl || IsDesigning(GetStatusBar())) return;
  for (Integer i = 0; i < FContainer->GetControlCount(); ++i)
    FContainer->GetControl(i)->SetBounds(0, 0, FContainer->GetWidth(), FContainer->GetHeight());
}

void TzmStatusBarContainerPanelStyle::VisibleChanged() {
  if (FContainer) FContainer->SetVisible(GetPanel()->GetVisible());
}

bool TzmStatusBarContainerPanelStyle::IsBarBusy() const {
  TzmCustomStatusBar* bar = GetStatusBar();
  return !bar || bar->HasState(csLoading | csReading | csDestroying | csUpdating);
}
