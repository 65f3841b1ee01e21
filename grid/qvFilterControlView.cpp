// Layout, hit test and painting of the builder: rows of buttons and underlined texts, values
// drawn by the view infos of real editors, dotted level lines, all composed off screen.
#include <algorithm>

#include "editors/qvTextEdit.h"
#include "platform/os/Gdi.h"
#include "grid/qvFilterControl.h"
#include "platform/os/GdiScopes.h"

QJ_IMPLEMENT_CLASS(TqvFilterControlPainter)
QJ_IMPLEMENT_CLASS(TqvFilterControlViewInfo)

namespace {

// Room between a button or a text and the next one.
constexpr Integer kElementGap = 8;
// A row's button starts this far right of the indent, and is this much lower than the row.
constexpr Integer kButtonIndent = 4;
constexpr Integer kButtonHeightMargin = 4;

// A rectangle of ASize whose left edge is X, centred vertically in ARow.
TRect CentredIn(const TRect& ARow, Integer X, TSize ASize) {
  const Integer top = ARow.Top + (ARow.Height() - ASize.cy) / 2;
  return Bounds(X, top, ASize.cx, ASize.cy);
}

// A text's extent grown by 2 in both directions.
TSize TextBox(TqvCanvas* ACanvas, TFont* AFont, const String& AText) {
  ACanvas->SetFont(AFont);
  const TSize size = ACanvas->TextExtent(AText);
  return {size.cx + 2, size.cy + 2};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Level-line brush

// Set where x and y have the same parity.
HBRUSH GetFilterLevelLineBrush() {
  static const TOwnedGdiObject brush(CreateCheckerBrush(true));
  return brush.Get();
}

// ---------------------------------------------------------------------------------------------
// Rows

Integer TqvCustomRowViewInfo::GetWidth() const { return ButtonRect.Width() + Indent + 5; }

void TqvCustomRowViewInfo::Calculate(const TRect& ABounds) {
  TqvFilterControlViewInfo* viewInfo = Control->GetViewInfo();
  TqvCanvas* canvas = viewInfo->BitmapCanvas.get();
  Bounds = ABounds;
  const bool root = Parent == nullptr;
  ButtonText = root ? GetLocalizedResourceString(&sqvFilterControlRootButton) : String("...");
  Level = 0;
  for (const TqvGroupViewInfo* p = Parent; p; p = p->Parent) ++Level;
  Indent = Level * ABounds.Height();
  canvas->SetFont(Control->GetFont());
  const Integer width = root ? canvas->TextWidth(ButtonText + "00") : 3 * canvas->TextWidth("0");
  ButtonRect = CentredIn(ABounds, ABounds.Left + Indent + kButtonIndent, {width, viewInfo->RowHeight - kButtonHeightMargin});
  const TqvFilterHitInfo& focused = Control->GetFocusedInfo();
  const TqvFilterHitInfo& hot = Control->GetHotInfo();
  if (!viewInfo->Enabled)
    ButtonState = qvbsDisabled;
  else if (focused.Row == this && focused.HitKind == fhkButton)
    ButtonState = qvbsDefault;
  else if (Control->CanHotTrack() && hot.Row == this && hot.HitKind == fhkButton)
    ButtonState = qvbsHot;
  else
    ButtonState = qvbsNormal;
}

void TqvCustomRowViewInfo::GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo) {
  if (ButtonRect.Contains(P)) AInfo.HitKind = fhkButton;
}

Integer TqvGroupViewInfo::GetWidth() const {
  return inherited::GetWidth() + BoolOperatorRect.Width() + CaptionRect.Width() + 2 * kElementGap;
}

void TqvGroupViewInfo::Calculate(const TRect& ABounds) {
  inherited::Calculate(ABounds);
  TqvCanvas* canvas = Control->GetViewInfo()->BitmapCanvas.get();
  BoolOperatorText = GetBoolOperatorCaption(BoolOperator);
  BoolOperatorRect = CentredIn(ABounds, ButtonRect.Right + kElementGap,
                               TextBox(canvas, Control->GetFontBoolOperator(), BoolOperatorText));
  CaptionRect = CentredIn(ABounds, BoolOperatorRect.Right + kElementGap, TextBox(canvas, Control->GetFont(), Caption));
}

void TqvGroupViewInfo::GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo) {
  inherited::GetHitInfo(P, AInfo);
  if (AInfo.HitKind == fhkNone && BoolOperatorRect.Contains(P)) AInfo.HitKind = fhkBoolOperator;
}

Integer TqvConditionViewInfo::GetWidth() const {
  Integer values = 0;
  if (HasValues() && Values->GetCount() > 0) {
    const Integer right = IsInList() ? Values->AddButtonRect.Right : Values->GetValue(Values->GetCount() - 1)->ValueRect.Right;
    values = right - OperatorRect.Right;
  }
  return inherited::GetWidth() + ItemRect.Width() + OperatorRect.Width() + values + 2 * kElementGap;
}

void TqvConditionViewInfo::Calculate(const TRect& ABounds) {
  inherited::Calculate(ABounds);
  TqvCanvas* canvas = Control->GetViewInfo()->BitmapCanvas.get();
  ItemRect = CentredIn(ABounds, ButtonRect.Right + kElementGap, TextBox(canvas, Control->GetFontItem(), ItemText));
  OperatorText = GetOperatorCaption(Operator);
  OperatorRect =
      CentredIn(ABounds, ItemRect.Right + kElementGap, TextBox(canvas, Control->GetFontCondition(), OperatorText));
  Values->Calculate();
}

void TqvConditionViewInfo::GetHitInfo(const TPoint& P, TqvFilterHitInfo& AInfo) {
  inherited::GetHitInfo(P, AInfo);
  if (AInfo.HitKind != fhkNone) return;
  if (ItemRect.Contains(P)) {
    AInfo.HitKind = fhkItem;
  } else if (OperatorRect.Contains(P)) {
    AInfo.HitKind = fhkOperator;
  } else if (HasValues()) {
    if (IsInList() && Values->AddButtonRect.Contains(P)) {
      AInfo.HitKind = fhkAddValue;
    } else if (const Integer index = Values->ValueAt(P); index >= 0) {
      AInfo.HitKind = fhkValue;
      AInfo.ValueIndex = index;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Values

namespace {

// Locks the change notification of properties and detaches their default values provider while
// a value is measured and laid out; both come back at the end.
class TPropertiesMeasureScope {
 public:
  explicit TPropertiesMeasureScope(TqvCustomEditProperties* AProperties)
      : FProperties(AProperties),
        FLocked(AProperties->IsChangedLocked()),
        FProvider(AProperties->GetDefaultValuesProvider()) {
    FProperties->SetChangedLocked(true);
    FProperties->SetDefaultValuesProvider(nullptr);
  }
  ~TPropertiesMeasureScope() {
    FProperties->SetDefaultValuesProvider(FProvider);
    FProperties->SetChangedLocked(FLocked);
  }
  TPropertiesMeasureScope(const TPropertiesMeasureScope&) = delete;
  TPropertiesMeasureScope& operator=(const TPropertiesMeasureScope&) = delete;

 private:
  TqvCustomEditProperties* FProperties;
  bool FLocked;
  IqvEditDefaultValuesProvider* FProvider;
};

}  // namespace

void TqvValuesViewInfo::Calculate() {
  TqvConditionViewInfo* row = Condition;
  if (!row->HasValues()) {
    for (Integer i = 0; i < GetCount(); ++i) GetValue(i)->ValueRect = TRect{};
    AddButtonRect = TRect{};
    return;
  }
  TqvCustomFilterControl* control = row->Control;
  TqvFilterControlViewInfo* viewInfo = control->GetViewInfo();
  TqvCanvas* canvas = viewInfo->BitmapCanvas.get();
  TFont* valueFont = control->GetFontValue();
  TqvCustomEditStyle* style = control->GetValueStyle();
  const TqvFilterHitInfo& hot = control->GetHotInfo();
  const TqvFilterHitInfo& focused = control->GetFocusedInfo();
  const bool canHotTrack = control->CanHotTrack();
  const bool focusInside = control->HasFocusInside();
  Integer x = row->OperatorRect.Right + kElementGap;
  Separator.clear();
  if (row->IsBetween()) {
    Separator = GetFilterResourceString(&sqvFilterAndCaption);
  } else if (row->IsInList()) {
    canvas->SetFont(valueFont);
    x += canvas->TextWidth("(");
    Separator = ", ";
  }
  canvas->SetFont(valueFont);
  const Integer separatorWidth = canvas->TextWidth(Separator);
  for (Integer i = 0; i < GetCount(); ++i) {
    TqvValueInfo* value = GetValue(i);
    const bool isNull = VarIsNull(value->Value);
    TqvCustomEditProperties* properties = isNull ? control->GetDefaultProperties() : row->EditorProperties.get();
    const Variant displayValue = isNull                                  ? Variant(control->GetNullString())
                                 : row->EditorHelper->ShowsDisplayText() ? Variant(value->ValueText)
                                                                         : value->Value;
    TPropertiesMeasureScope scope(properties);
    value->ValueViewInfo.reset(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
    const bool editing = control->GetEditState() == fesValueEditor || control->GetEditState() == fesItemList ||
                         control->GetEditState() == fesOperatorList ||
                         control->GetEditState() == fesBoolOperatorList;
    const bool highlighted =
        canHotTrack && ((hot.Row == row && hot.HitKind == fhkValue && hot.ValueIndex == i && !editing) ||
                        (focusInside && focused.Row == row && focused.HitKind == fhkValue && focused.ValueIndex == i));
    style->SetTextColor(valueFont->GetColor());
    style->SetButtonTransparency(highlighted ? ebtNone : ebtHideInactive);
    style->SetColor(highlighted ? clWindow : control->GetColor());
    TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style, true);
    data->Enabled = viewInfo->Enabled;
    if (!row->EditorHelper->KeepsEditButtons(properties)) data->ButtonsCount = 0;
    TSize size = data->GetEditSize(canvas, displayValue, TqvEditSizeProperties{1, -1});
    if (highlighted) size.cx = std::max(size.cx, viewInfo->MinValueWidth);
    value->ValueRect = CentredIn(row->Bounds, x, size);
    data->Calculate(canvas, value->ValueRect, Point(-1, -1), cmbNone, 0, value->ValueViewInfo.get(), false);
    data->EditValueToViewInfo(canvas, displayValue, value->ValueViewInfo.get());
    x += size.cx + 4;
    if (row->IsBetween() || row->IsInList()) x += separatorWidth + kElementGap;
  }
  AddButtonRect = TRect{};
  if (row->IsInList() && GetCount() > 0) {
    canvas->SetFont(valueFont);
    const Integer left = GetValue(GetCount() - 1)->ValueRect.Right + canvas->TextWidth(")0");
    AddButtonRect = CentredIn(row->Bounds, left, {canvas->TextWidth("000"), viewInfo->RowHeight - kButtonHeightMargin});
    if (!viewInfo->Enabled)
      AddButtonState = qvbsDisabled;
    else if (focused.Row == row && focused.HitKind == fhkAddValue)
      AddButtonState = qvbsDefault;
    else if (canHotTrack && hot.Row == row && hot.HitKind == fhkAddValue)
      AddButtonState = qvbsHot;
    else
      AddButtonState = qvbsNormal;
  }
}

// ---------------------------------------------------------------------------------------------
// Control metrics

TqvFilterControlViewInfo::TqvFilterControlViewInfo(TqvCustomFilterControl* AControl)
    : Control(AControl), Painter(MakeOwned<TqvFilterControlPainter>(AControl)) {
  Bitmap = MakeOwned<TBitmap>();
  BitmapCanvas = MakeOwned<TqvCanvas>(Bitmap->GetCanvas());
}

TqvFilterControlViewInfo::~TqvFilterControlViewInfo() = default;

void TqvFilterControlViewInfo::Calculate() {
  Bitmap->SetSize(Control->GetWidth(), Control->GetHeight());
  Enabled = Control->HasItems() && Control->GetEnabled();
  TqvCanvas* canvas = BitmapCanvas.get();
  RowHeight = canvas->FontHeight(Control->GetFont());
  // FontHeight left the control's font on the canvas: the digit is measured in it.
  MinValueWidth = 12 * canvas->TextWidth("0");
  for (TqvFilterControlFont font : {fcfBoolOperator, fcfItem, fcfCondition})
    RowHeight = std::max(RowHeight, canvas->FontHeight(Control->GetFont(font)));
  TqvCustomEditStyle* style = Control->GetValueStyle();
  style->SetTextColor(Control->GetFontValue()->GetColor());
  const Integer valueHeight = Control->GetDefaultProperties()
                                  ->GetEditSize(canvas, style, true, String("Yy"), TqvEditSizeProperties{1, 10})
                                  .cy;
  RowHeight = static_cast<Integer>(Round(std::max(RowHeight, valueHeight) * 3 / 2.0));

  const TRect client = Control->GetClientBounds();
  TRect bounds = Rect(client.Left - Control->GetLeftOffset(), client.Top, client.Right, client.Top + RowHeight);
  bounds = qvOffsetRect(bounds, 0, -Control->GetTopRow() * RowHeight);
  MaxRowWidth = 0;
  TqvCustomRowViewInfo* last = Control->GetRootRow();
  for (Integer i = 0; i < Control->GetRowCount(); ++i) {
    last = Control->GetRow(i);
    last->Calculate(bounds);
    MaxRowWidth = std::max(MaxRowWidth, last->GetWidth());
    bounds = qvOffsetRect(bounds, 0, RowHeight);
  }
  canvas->SetFont(Control->GetFont());
  const Integer width = canvas->TextWidth(AddConditionCaption + "00");
  AddConditionRect = CentredIn(bounds, bounds.Left + last->Indent + kButtonIndent, {width, RowHeight - kButtonHeightMargin});
  MaxRowWidth = std::max(MaxRowWidth, width + last->Indent + kButtonIndent);
  CalculateButtonState();
  CalculateFocusRect();
}

void TqvFilterControlViewInfo::CalculateRow(TqvCustomRowViewInfo* ARow) {
  if (!ARow || RowHeight == 0) return;
  ARow->Calculate(ARow->Bounds);
}

void TqvFilterControlViewInfo::CalculateButtonState() {
  const TqvFilterHitInfo& hot = Control->GetHotInfo();
  if (!Enabled)
    ButtonState = qvbsDisabled;
  else if (Control->GetFocusedInfo().HitKind == fhkAddCondition)
    ButtonState = qvbsDefault;
  else if (Control->CanHotTrack() && hot.HitKind == fhkAddCondition)
    ButtonState = qvbsHot;
  else
    ButtonState = qvbsNormal;
}

void TqvFilterControlViewInfo::CalculateFocusRect() {
  if (!Control->HasItems()) {
    FocusRect = qvDeflatedRect(Control->GetClientBounds(), 2);
    return;
  }
  const TqvFilterHitInfo& focused = Control->GetFocusedInfo();
  TRect R;
  auto* group = As<TqvGroupViewInfo>(focused.Row);
  auto* condition = As<TqvConditionViewInfo>(focused.Row);
  switch (focused.HitKind) {
    case fhkBoolOperator:
      if (group) R = group->BoolOperatorRect;
      break;
    case fhkItem:
      if (condition) R = condition->ItemRect;
      break;
    case fhkOperator:
      if (condition) R = condition->OperatorRect;
      break;
    case fhkValue:
      if (condition && focused.ValueIndex >= 0 && focused.ValueIndex < condition->Values->GetCount())
        R = condition->Values->GetValue(focused.ValueIndex)->ValueRect;
      break;
    default:
      break;  // the buttons show their default state instead
  }
  FocusRect = R.IsEmpty() ? TRect{} : qvDeflatedRect(R, -1);
}

void TqvFilterControlViewInfo::GetHitInfo(TShiftState AShift, const TPoint& P, TqvFilterHitInfo& AInfo) {
  AInfo = TqvFilterHitInfo{};
  AInfo.MousePos = P;
  AInfo.Shift = AShift;
  AInfo.Row = Control->GetFocusedInfo().Row ? Control->GetFocusedInfo().Row : Control->GetRootRow();
  if (!Control->GetClientBounds().Contains(P)) return;
  if (AddConditionRect.Contains(P)) {
    AInfo.HitKind = fhkAddCondition;
    return;
  }
  for (Integer i = std::max(0, Control->GetTopRow()); i < Control->GetRowCount(); ++i) {
    TqvCustomRowViewInfo* row = Control->GetRow(i);
    if (!row->Bounds.Contains(P)) continue;
    AInfo.Row = row;
    row->GetHitInfo(P, AInfo);
    return;
  }
}

// ---------------------------------------------------------------------------------------------
// Painting

void TqvFilterControlViewInfo::Paint(TqvCanvas* ACanvas) {
  TqvCanvas* canvas = BitmapCanvas.get();
  const TRect client = Control->GetClientBounds();
  canvas->SetBrushColor(Control->GetColor());
  canvas->FillRect(client);
  for (Integer i = std::max(0, Control->GetTopRow()); i < Control->GetRowCount(); ++i) {
    TqvCustomRowViewInfo* row = Control->GetRow(i);
    if (ACanvas->RectVisible(row->Bounds)) Painter->PaintRow(row);
    if (row->Bounds.Top > client.Bottom) break;
  }
  TqvLookAndFeelPainterClass painter = Control->GetLookAndFeel()->GetPainter();
  canvas->SetFont(Control->GetFont());
  painter->DrawButton(canvas, AddConditionRect, AddConditionCaption, ButtonState, true);
  if (!FocusRect.IsEmpty() && Control->HasFocusInside()) canvas->DrawFocusRect(FocusRect);
  painter->PaintBorder(canvas, Rect(0, 0, Control->GetWidth(), Control->GetHeight()));
  ACanvas->Draw(0, 0, Bitmap.get());
}

void TqvFilterControlPainter::DrawText(TqvCanvas* ACanvas, Integer X, Integer Y, const String& AText) {
  TCanvas* canvas = ACanvas->GetCanvas();
  canvas->GetBrush()->SetStyle(bsClear);
  if (Control->GetViewInfo()->Enabled) {
    canvas->TextOut(X, Y, AText);
    return;
  }
  TFont* font = canvas->GetFont();
  const TColor color = font->GetColor();
  font->SetColor(clBtnHighlight);
  canvas->TextOut(X + 1, Y + 1, AText);
  canvas->GetBrush()->SetStyle(bsClear);
  font->SetColor(clBtnShadow);
  canvas->TextOut(X, Y, AText);
  font->SetColor(color);
}

void TqvFilterControlPainter::PaintRow(TqvCustomRowViewInfo* ARow) {
  TqvFilterControlViewInfo* viewInfo = Control->GetViewInfo();
  TqvCanvas* canvas = viewInfo->BitmapCanvas.get();
  canvas->SetBrushColor(Control->GetColor());
  canvas->FillRect(ARow->Bounds);
  canvas->SetFont(Control->GetFont());
  Control->GetLookAndFeel()->GetPainter()->DrawButton(canvas, ARow->ButtonRect, ARow->ButtonText, ARow->ButtonState,
                                                      true);
  if (auto* group = As<TqvGroupViewInfo>(ARow)) {
    canvas->SetFont(Control->GetFont());
    DrawText(canvas, group->CaptionRect.Left, group->CaptionRect.Top + 1, group->Caption);
    canvas->SetFont(Control->GetFontBoolOperator());
    DrawText(canvas, group->BoolOperatorRect.Left + 1, group->BoolOperatorRect.Top + 1, group->BoolOperatorText);
  } else if (auto* condition = As<TqvConditionViewInfo>(ARow)) {
    canvas->SetFont(Control->GetFontItem());
    DrawText(canvas, condition->ItemRect.Left + 1, condition->ItemRect.Top + 1, condition->ItemText);
    canvas->SetFont(Control->GetFontCondition());
    DrawText(canvas, condition->OperatorRect.Left + 1, condition->OperatorRect.Top + 1, condition->OperatorText);
    if (condition->HasValues()) PaintValues(canvas, condition);
  }
  canvas->GetBrush()->SetStyle(bsSolid);
  if (Control->GetShowLevelLines() && ARow->Parent) PaintLevelLines(canvas, ARow);
}

void TqvFilterControlPainter::PaintValues(TqvCanvas* ACanvas, TqvConditionViewInfo* ACondition) {
  TqvValuesViewInfo* values = ACondition->Values.get();
  for (Integer i = 0; i < values->GetCount(); ++i) {
    TqvValueInfo* value = values->GetValue(i);
    if (value->ValueViewInfo) value->ValueViewInfo->Draw(ACanvas);
  }
  const Integer count = values->GetCount();
  if (count == 0) return;
  if (ACondition->IsBetween()) {
    ACanvas->SetFont(Control->GetFontCondition());
    for (Integer i = 0; i + 1 < count; ++i) {
      const TRect& r = values->GetValue(i)->ValueRect;
      ACanvas->SetBrushColor(Control->GetColor());
      DrawText(ACanvas, r.Right + 4, r.Top + 1, values->Separator);
    }
  } else if (ACondition->IsInList()) {
    ACanvas->SetFont(Control->GetFontValue());
    for (Integer i = 0; i + 1 < count; ++i) {
      const TRect& r = values->GetValue(i)->ValueRect;
      ACanvas->SetBrushColor(Control->GetColor());
      DrawText(ACanvas, r.Right + 2, r.Top + 1, values->Separator);
    }
    DrawText(ACanvas, ACondition->OperatorRect.Right + 4, ACondition->OperatorRect.Top, "(");
    const TRect& last = values->GetValue(count - 1)->ValueRect;
    DrawText(ACanvas, last.Right + 3, last.Top + 1, ")");
    ACanvas->GetBrush()->SetStyle(bsSolid);
    Control->GetLookAndFeel()->GetPainter()->DrawButton(ACanvas, values->AddButtonRect, "+", values->AddButtonState,
                                                        true);
  }
}

void TqvFilterControlPainter::PaintLevelLines(TqvCanvas* ACanvas, TqvCustomRowViewInfo* ARow) {
  HDC dc = ACanvas->GetHandle();
  const COLORREF oldBack = SetBkColor(dc, ColorToRGB(cl3DDkShadow));
  const COLORREF oldText = SetTextColor(dc, ColorToRGB(Control->GetColor()));
  HBRUSH brush = GetFilterLevelLineBrush();
  auto fill = [&](Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
    if (AWidth <= 0 || AHeight <= 0) return;
    const RECT r{ALeft, ATop, ALeft + AWidth, ATop + AHeight};
    FillRect(dc, &r, brush);
  };
  const Integer half = ARow->Bounds.Height() / 2;
  const Integer buttonHalf = ARow->ButtonRect.Width() / 2;
  const Integer x = ARow->Parent->ButtonRect.Left + buttonHalf;
  const Integer top = ARow->Bounds.Top;
  fill(x, top, 1, half);
  if (!ARow->IsLastChild()) fill(x, top + half, 1, half + 1);
  fill(x, top + half, ARow->ButtonRect.Left - 3 - x, 1);
  for (const TqvGroupViewInfo* ancestor = ARow->Parent; ancestor && ancestor->Parent; ancestor = ancestor->Parent)
    if (!ancestor->IsLastChild()) fill(ancestor->Parent->ButtonRect.Left + buttonHalf, top, 1, ARow->Bounds.Height());
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}
