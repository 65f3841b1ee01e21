// The hyperlink editor: properties, the link look, and the control's ways to open the link.
#include "editors/qvHyperLinkEdit.h"

#include "platform/forms/Forms.h"
#include "platform/os/Shell.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomHyperLinkEditProperties)
QJ_IMPLEMENT_CLASS(TqvHyperLinkEditProperties)
QJ_IMPLEMENT_CLASS(TqvHyperLinkEditViewInfo)
QJ_IMPLEMENT_CLASS(TqvHyperLinkEditViewData)
QJ_IMPLEMENT_CLASS(TqvCustomHyperLinkEdit)
QJ_IMPLEMENT_CLASS(TqvHyperLinkEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryHyperLinkItem)

namespace {

const TqvEditKindRegistration HyperLinkRegistration(&TqvHyperLinkEditProperties::StaticClass(),
                                                    &sqvEditDisplayTextHyperLink);

}  // namespace

bool IsHyperLinkTargetAllowed(const String& ATarget) {
  const String scheme = UrlScheme(Trim(ATarget));
  return scheme.empty() || scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto";
}

// ---------------------------------------------------------------------------------------------
// TqvCustomHyperLinkEditProperties

TqvCustomHyperLinkEditProperties::TqvCustomHyperLinkEditProperties(TPersistent* AOwner)
    : TqvCustomTextEditProperties(AOwner) {
  SetAutoSelect(false);
}

TqvCustomEditViewDataClass TqvCustomHyperLinkEditProperties::ViewDataClass() {
  return &TqvHyperLinkEditViewData::StaticClass();
}

TqvCustomEditViewInfoClass TqvCustomHyperLinkEditProperties::ViewInfoClass() {
  return &TqvHyperLinkEditViewInfo::StaticClass();
}

TqvCustomEditClass TqvCustomHyperLinkEditProperties::ContainerClass() { return &TqvHyperLinkEdit::StaticClass(); }

void TqvCustomHyperLinkEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomHyperLinkEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetLinkColor(source->FLinkColor);
  SetSingleClick(source->FSingleClick);
  SetStartKey(source->FStartKey);
  OnStartClick = source->OnStartClick;
}

TqvEditSupportedOperations TqvCustomHyperLinkEditProperties::GetSupportedOperations() const {
  return inherited::GetSupportedOperations() | (FSingleClick ? esoHotTrack : 0);
}

void TqvCustomHyperLinkEditProperties::SetLinkColor(TColor Value) {
  if (FLinkColor == Value) return;
  FLinkColor = Value;
  Changed();
}

void TqvCustomHyperLinkEditProperties::SetSingleClick(bool Value) {
  if (FSingleClick == Value) return;
  FSingleClick = Value;
  Changed();
}

void TqvCustomHyperLinkEditProperties::SetStartKey(TShortCut Value) {
  if (FStartKey == Value) return;
  FStartKey = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Paint model

void TqvHyperLinkEditViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvHyperLinkEditViewInfo>(Source)) {
    LinkColor = source->LinkColor;
    SingleClick = source->SingleClick;
  }
  inherited::Assign(Source);
}

void TqvHyperLinkEditViewInfo::PrepareCanvasFont(TFont* AFont) {
  AFont->SetStyle(AFont->GetStyle() | fsUnderline);
  if (DrawSelected) return;  // the selection's colours stay
  const bool hot = (ContainerState & cstBit(cstHot)) != 0;
  AFont->SetColor(SingleClick && hot && !Selected ? clHotLight : LinkColor);
}

void TqvHyperLinkEditViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                         TqvMouseButton AButton, TShiftState AShift,
                                         TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* properties = static_cast<TqvCustomHyperLinkEditProperties*>(Properties);
  auto* viewInfo = static_cast<TqvHyperLinkEditViewInfo*>(AViewInfo);
  viewInfo->LinkColor = properties->GetLinkColor();
  viewInfo->SingleClick = properties->GetSingleClick();
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
}

// ---------------------------------------------------------------------------------------------
// TqvCustomHyperLinkEdit

TqvCustomEditPropertiesClass TqvCustomHyperLinkEdit::PropertiesClass() {
  return &TqvCustomHyperLinkEditProperties::StaticClass();
}

TqvCustomEditPropertiesClass TqvHyperLinkEdit::PropertiesClass() { return &TqvHyperLinkEditProperties::StaticClass(); }

void TqvCustomHyperLinkEdit::DoStart() {
  TqvCustomHyperLinkEditProperties* properties = GetProperties();
  if (properties->OnStartClick) {
    properties->OnStartClick(this);
    return;
  }
  String text;
  GetDisplayValue(text);
  text = Trim(text);
  if (text.empty() || !IsHyperLinkTargetAllowed(text)) return;
  ShellExecute(HandleAllocated() ? GetHandle() : nullptr, "OPEN", text.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void TqvCustomHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key != 0 && ShortCut(Key, Shift) == GetProperties()->GetStartKey()) {
    Key = 0;
    DoStart();
    return;
  }
  inherited::KeyDown(Key, Shift);
}

bool TqvCustomHyperLinkEdit::IsInTextArea(const TPoint& P) const { return GetViewInfo()->InnerEditRect.Contains(P); }

void TqvCustomHyperLinkEdit::DblClick() {
  TAliveToken alive = AliveToken();
  inherited::DblClick();
  if (!alive || GetProperties()->GetSingleClick() || !HandleAllocated()) return;
  if (IsInTextArea(ScreenToClient(GetCursorScreenPos()))) DoStart();
}

void TqvCustomHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft || !GetProperties()->GetSingleClick()) return;
  // A release that ends a selection by the mouse only selects.
  if (IsInTextArea({X, Y}) && GetSelLength() == 0) DoStart();
}

void TqvCustomHyperLinkEdit::SelectAll() {
  if (IsInplace() && GetProperties()->GetSingleClick()) return;
  inherited::SelectAll();
}

void TqvCustomHyperLinkEdit::ShowHandCursor() {
  if (FHandShown) return;
  FHandShown = true;
  FSavedCursor = GetCursor();
  SetCursor(crHandPoint);
  if (IqvCustomInnerEdit* inner = GetInnerEdit()) {
    FSavedInnerCursor = inner->GetControl()->GetCursor();
    inner->GetControl()->SetCursor(crHandPoint);
  }
}

void TqvCustomHyperLinkEdit::RestoreCursor() {
  if (!FHandShown) return;
  FHandShown = false;
  SetCursor(FSavedCursor);
  if (IqvCustomInnerEdit* inner = GetInnerEdit()) inner->GetControl()->SetCursor(FSavedInnerCursor);
}

void TqvCustomHyperLinkEdit::MouseEnter(TControl* AControl) {
  TAliveToken alive = AliveToken();
  inherited::MouseEnter(AControl);
  if (alive && GetProperties()->GetSingleClick()) ShowHandCursor();
}

void TqvCustomHyperLinkEdit::MouseLeave(TControl* AControl) {
  TAliveToken alive = AliveToken();
  inherited::MouseLeave(AControl);
  if (alive) RestoreCursor();
}

void TqvCustomHyperLinkEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y,
                                             TqvCustomEditData*& AEditData) {
  if (GetProperties()->GetSingleClick()) {
    ShowHandCursor();
    if (HandleAllocated()) ::SetCursor(Screen->GetCursors(crHandPoint));
  }
  inherited::ActivateByMouse(Shift, X, Y, AEditData);
}

void TqvCustomHyperLinkEdit::AdjustInnerEditAppearance() {
  inherited::AdjustInnerEditAppearance();
  IqvCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || IsInnerEditUnavailable()) return;
  TOwned<TFont> font = MakeOwned<TFont>();
  font->Assign(inner->GetControl()->GetFont());
  font->SetStyle(font->GetStyle() | fsUnderline);
  font->SetColor(GetProperties()->GetLinkColor());
  inner->GetControl()->SetFont(font.get());
}
