// The paint model of text editors: the view data that places and measures the display text,
// the view info that draws it (with its selection, through cached rows) and decides on a hint.
#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvTextEdit.h"
#include "platform/os/Gdi.h"

QJ_IMPLEMENT_CLASS(TqvCustomTextEditViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomTextEditViewData)

namespace {

constexpr Integer kUnbounded = qvUnboundedExtent;

TqvEditEditingStyle EditingStyleOf(const TqvCustomEditViewData* AViewData) {
  auto* properties = As<TqvCustomTextEditProperties>(AViewData->Properties);
  return properties ? properties->GetEditingStyle() : esEdit;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Routines

TRect GetTextEditDrawTextOffset(const TqvCustomEditViewData* AViewData) {
  TRect r = GetDrawTextOffsetByAlignment(AViewData->HorzAlignment, AViewData->IsInplace);
  if (!AViewData->IsInplace && As<TqvCustomTextEditViewData>(AViewData) && IsListEditingStyle(EditingStyleOf(AViewData))) {
    ++r.Left;
    if (AViewData->VertAlignment == taTopJustify) {
      ++r.Top;
      --r.Bottom;
    }
  }
  return r;
}

void CalculateWrappedTextFlags(TqvCanvas* ACanvas, TqvCustomTextEditViewData* AViewData,
                               TqvCustomTextEditViewInfo* AViewInfo) {
  if (TFont* font = AViewData->Style->GetFont()) ACanvas->SetFont(font);
  const TqvTextLayoutFlags flags = AViewData->GetDrawTextFlags();
  AViewInfo->TextFlags = flags;
  if (!(AViewInfo->PaintOptions & epoMultiLine)) return;
  const TqvTextLayoutFlags layoutFlags = (flags & ~tlSingleLine) | tlWordBreak | tlWholeRowsOnly | tlReturnRowCount;
  TRect offset;
  AViewData->GetDrawTextOffset(offset);
  Integer width = AViewInfo->TextRect.Width() + offset.Left + offset.Right - GetEditTextOffsets(AViewData).X -
                  AViewData->ContentOffset.Left - AViewData->ContentOffset.Right;
  if (AViewData->Properties->GetAlignment()->GetHorz() == taRightJustify) ++width;
  const TqvTextLayoutParams params = CalcTextLayoutParams(ACanvas, layoutFlags);
  TqvTextRows rows;
  Integer count = 0;
  LayoutTextRows(ACanvas, AViewInfo->Text, Rect(0, 0, width, kUnbounded), 0, count, rows, params);
  if (count <= 1) return;
  AViewInfo->TextFlags = (flags & ~tlSingleLine) | tlWordBreak | tlWholeRowsOnly;
  if (count * params.TextHeight > AViewInfo->TextRect.Height()) AViewInfo->TextFlags &= ~tlVertMask;
}

void DrawTextWithSelection(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo, const String& AText,
                           Integer ALeftInset, Integer ARightInset, Integer ARowLimit, TColor ASelTextColor,
                           TColor ASelBkColor, Integer ASelLength, Integer ASelStart, TqvTextLayoutFlags AFlags,
                           const TRect& ARect) {
  TqvCustomTextEditViewInfo& v = *AViewInfo;
  if (!v.RowsValid) {
    v.RowsValid = true;
    v.TextRowCount = 0;
    v.TextRows.clear();
    if (AText.empty()) return;
    TqvTextLayoutFlags flags = AFlags;
    v.TextParams = CalcTextLayoutParams(ACanvas, flags);
    v.TextClipRect = ARect;
    v.TextClipRect.Left += ALeftInset;
    v.TextClipRect.Right -= ARightInset;
    if (v.TextClipRect.IsEmpty()) return;
    const bool complete =
        LayoutTextRows(ACanvas, AText, v.TextClipRect, ARowLimit, v.TextRowCount, v.TextRows, v.TextParams);
    v.TextEllipsis = false;
    if (ARowLimit > 0 && v.TextRowCount >= ARowLimit) {
      v.TextRowCount = ARowLimit;
      v.TextEllipsis = !complete;
      if (v.TextEllipsis) {
        flags = (flags | tlEndEllipsis | tlWholeRowsOnly) & ~tlSingleLine;
        v.TextParams = CalcTextLayoutParams(ACanvas, flags);
      }
    }
    PlaceTextRows(ACanvas->GetHandle(), v.TextClipRect, v.TextParams, v.TextRowCount, v.TextRows);
    const Integer length = Integer(AText.size());
    if (ASelStart < 0 || ASelStart > length) ASelLength = 0;
    if (ASelStart + ASelLength > length) ASelLength = std::max(0, length - ASelStart);
    v.SelStart = ASelStart;
    v.SelLength = ASelLength;
    v.SelTextColor = ASelTextColor;
    v.SelBackgroundColor = ASelBkColor;
  }
  if (v.TextRowCount == 0) return;
  ACanvas->SetFont(ACanvas->GetFont());  // the font made current on the device context
  DrawTextRows(ACanvas->GetHandle(), AText, v.TextClipRect, v.TextParams, v.TextEllipsis, v.SelTextColor,
               v.SelBackgroundColor, v.SelLength, v.SelStart, v.TextRowCount, v.TextRows);
}

void DrawTextEditText(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo) {
  const String text = AViewInfo->Text.substr(0, AViewInfo->Text.find('\0'));
  if (text.empty()) return;
  if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
  ACanvas->GetFont()->SetColor(AViewInfo->DrawSelected ? clHighlightText : AViewInfo->TextColor);
  AViewInfo->PrepareCanvasFont(ACanvas->GetFont());
  DrawTextWithSelection(ACanvas, AViewInfo, text, 0, 0, AViewInfo->MaxLineCount, AViewInfo->SelTextColor,
                        AViewInfo->SelBackgroundColor, AViewInfo->SelLength, AViewInfo->SelStart,
                        AViewInfo->TextFlags, AViewInfo->TextRect);
}

void PaintTextEditViewInfo(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo) {
  TqvCustomTextEditViewInfo& v = *AViewInfo;
  TqvEditNativeFrameKind kind = enfkThemeContent;
  if (v.ComboBoxStyle) kind = IsListEditingStyle(v.EditingStyle) ? enfkClient : enfkComboBox;
  DrawEditViewInfo(ACanvas, AViewInfo, !(v.Transparent || v.DrawSelected), kind);
  TRect r = v.InnerEditRect;
  if (!v.IsInplace) {
    if (v.GetNativeState() == 0 && !v.Transparent && v.EditingStyle != esNoEdit)
      ACanvas->FrameRect(r, v.BackgroundColor);
    r = qvDeflatedRect(r, 1);
  }
  if (v.DrawSelected) {
    ACanvas->SetBrushColor(clHighlight);
    ACanvas->FillRect(r);
  }
  if (!(v.InnerEditVisible && v.IsInnerEditShown)) v.DrawText(ACanvas);
  if (!v.IsInnerEditShown && v.Focused && !v.IsInplace && !v.IsPopupOpen) {
    ACanvas->GetFont()->SetColor(v.DrawSelected ? clHighlightText : clBtnText);
    ACanvas->SetBrushColor(v.DrawSelected ? clHighlight : v.BackgroundColor);
    ACanvas->SetFont(ACanvas->GetFont());
    ::DrawFocusRect(ACanvas->GetHandle(), &r);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvCustomTextEditViewInfo

void TqvCustomTextEditViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvCustomTextEditViewInfo>(Source)) {
    DrawSelected = source->DrawSelected;
    EditingStyle = source->EditingStyle;
    IsPopupOpen = source->IsPopupOpen;
    IsInnerEditShown = source->IsInnerEditShown;
    ComboBoxStyle = source->ComboBoxStyle;
    Text = source->Text;
    TextFlags = source->TextFlags;
    MaxLineCount = source->MaxLineCount;
    SelStart = source->SelStart;
    SelLength = source->SelLength;
    SelTextColor = source->SelTextColor;
    SelBackgroundColor = source->SelBackgroundColor;
    TextRect = source->TextRect;
    RowsValid = false;
  }
  inherited::Assign(Source);
}

void TqvCustomTextEditViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  TextRect = qvOffsetRect(TextRect, DX, DY);
  if (!RowsValid) return;
  TextClipRect = qvOffsetRect(TextClipRect, DX, DY);
  for (TqvTextRow& row : TextRows) {
    row.X += DX;
    row.Y += DY;
  }
}

void TqvCustomTextEditViewInfo::Paint(TqvCanvas* ACanvas) { PaintTextEditViewInfo(ACanvas, this); }

void TqvCustomTextEditViewInfo::DrawText(TqvCanvas* ACanvas) { DrawTextEditText(ACanvas, this); }

bool TqvCustomTextEditViewInfo::NeedShowHintInBounds(TqvCanvas* ACanvas, const TPoint& P, const TRect& ABounds,
                                                     bool& AIsMultiLine, String& AText, TRect& ATextRect) {
  AIsMultiLine = false;
  AText.clear();
  ATextRect = TRect{};
  const TPoint origin = Bounds.TopLeft();
  const TPoint p{P.X + origin.X, P.Y + origin.Y};
  TRect area = TextRect;
  if (!ABounds.IsEmpty()) area = qvIntersectRect(area, ABounds);
  if (!area.Contains(p) || Text.empty()) return false;
  if (Font) ACanvas->SetFont(Font);
  const TqvTextLayoutFlags flags = (TextFlags & ~tlVertMask) | tlReturnRowCount;
  const TqvTextLayoutParams params = CalcTextLayoutParams(ACanvas, flags);
  TRect layoutRect = TextRect;
  layoutRect.Bottom = layoutRect.Top + kUnbounded;
  if (flags & tlSingleLine) layoutRect.Right = layoutRect.Left + kUnbounded;
  TqvTextRows rows;
  Integer count = 0;
  bool needed = !LayoutTextRows(ACanvas, Text, layoutRect, MaxLineCount, count, rows, params);
  const Integer layoutWidth = TextRect.Width();
  Integer bottom = TextRect.Top;
  for (Integer i = 0; i < count && !needed; ++i) {
    const TqvTextRow& row = rows[size_t(i)];
    String rowText = Text.substr(size_t(row.Offset), size_t(row.Length));
    while (!rowText.empty() && rowText.back() == ' ') rowText.pop_back();
    const Integer width = ACanvas->TextWidth(rowText);
    bottom += row.Height > 0 ? row.Height : params.RowHeight;
    needed = width > layoutWidth || TextRect.Left + width > area.Right || bottom > area.Bottom;
  }
  if (!needed) return false;
  AIsMultiLine = !(TextFlags & tlSingleLine);
  AText = Text;
  ATextRect = qvOffsetRect(TextRect, -origin.X, -origin.Y);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomTextEditViewData

TqvCustomTextEdit* TqvCustomTextEditViewData::GetTextEdit() const { return dynamic_cast<TqvCustomTextEdit*>(Edit); }

bool TqvCustomTextEditViewData::IsInnerEditVisible() const {
  TqvCustomTextEdit* edit = GetTextEdit();
  return edit && edit->CanShowInnerEdit();
}

void TqvCustomTextEditViewData::InitCacheData() {
  inherited::InitCacheData();
  TqvCustomEditProperties* properties = Properties;
  PlainText = (properties->GetDisplayFormatOptions() & dfoUseProviderFormat) &&
              properties->GetEditValueSource(true) == evsValue && properties->GetEditValueSource(false) == evsText &&
              properties->GetDefaultValuesProvider() &&
              properties->GetDefaultValuesProvider()->IsDisplayFormatDefined(
                  !(properties->GetDisplayFormatOptions() & dfoProviderFormatNotEditing));
}

void TqvCustomTextEditViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TqvMouseButton AButton, TShiftState AShift,
                                          TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TqvCustomTextEditViewInfo*>(AViewInfo);
  viewInfo->DrawSelected = false;
  viewInfo->EditingStyle = GetProperties()->GetEditingStyle();
  viewInfo->Font = Style->GetFont();
  viewInfo->IsInnerEditShown = IsInnerEditVisible();
  TqvCustomTextEdit* edit = GetTextEdit();
  viewInfo->IsPopupOpen = edit && edit->HasPopupWindow();
  TRect offset;
  GetDrawTextOffset(offset);
  viewInfo->TextRect = viewInfo->InnerEditRect;
  viewInfo->TextRect.Left += offset.Left;
  viewInfo->TextRect.Top += offset.Top;
  viewInfo->TextRect.Right -= offset.Right;
  viewInfo->TextRect.Bottom -= offset.Bottom;
  viewInfo->MaxLineCount = MaxLineCount;
  viewInfo->RowsValid = false;
  CalculateTextLayout(ACanvas, viewInfo);
}

TqvTextLayoutFlags TqvCustomTextEditViewData::GetDrawTextFlags() const {
  TqvTextLayoutFlags flags = tlSingleLine | tlKeepLeftInside | tlKeepTopInside;
  switch (HorzAlignment) {
    case taRightJustify: flags |= tlHRight; break;
    case taCenter: flags |= tlHCenter; break;
    default: break;
  }
  switch (VertAlignment) {
    case taBottomJustify: flags |= tlVBottom; break;
    case taVCenter: flags |= tlVCenter; break;
    default: break;
  }
  return flags;
}

void TqvCustomTextEditViewData::GetDrawTextOffset(TRect& R) const { R = GetTextEditDrawTextOffset(this); }

void TqvCustomTextEditViewData::CalculateTextLayout(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo) {
  TqvCustomTextEditProperties* properties = GetProperties();
  if (!properties->IsMultiLine() && (properties->GetSupportedOperations() & esoAutoHeight) &&
      (PaintOptions & epoMultiLine))
    CalculateWrappedTextFlags(ACanvas, this, AViewInfo);
  else
    AViewInfo->TextFlags = GetDrawTextFlags();
  if (AViewInfo->PaintOptions & epoEndEllipsis) AViewInfo->TextFlags |= tlEndEllipsis;
  AViewInfo->ComboBoxStyle = IsComboBoxStyle();
}

void TqvCustomTextEditViewData::DisplayValueToDrawText(const Variant& ADisplayValue,
                                                       TqvCustomTextEditViewInfo* AViewInfo) {
  AViewInfo->Text = GetProperties()->DisplayValueToDisplayText(ADisplayValue);
  AViewInfo->RowsValid = false;
}

void TqvCustomTextEditViewData::EditValueToViewInfo(TqvCanvas*, const Variant& AEditValue,
                                                    TqvCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TqvCustomTextEditViewInfo*>(AViewInfo);
  Variant displayValue;
  if (PlainText)
    displayValue = VarToStr(AEditValue);
  else
    GetProperties()->EditValueToDisplayValue(AEditValue, IsFocused(), displayValue);
  DisplayValueToDrawText(displayValue, viewInfo);
  CopySelectionToViewInfo(viewInfo);
}

void TqvCustomTextEditViewData::CopySelectionToViewInfo(TqvCustomTextEditViewInfo* AViewInfo) const {
  AViewInfo->SelStart = SelStart;
  AViewInfo->SelLength = SelLength;
  if (SelLength == 0) return;
  AViewInfo->SelTextColor = SelTextColor == clDefault ? clHighlightText : SelTextColor;
  AViewInfo->SelBackgroundColor = SelBackgroundColor == clDefault ? clHighlight : SelBackgroundColor;
}

void TqvCustomTextEditViewData::GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R) {
  inherited::GetClientExtent(AViewInfo, R);
  if (!IsInplace && IsComboBoxStyle() && IsNativeThemeUsable(NativeStyle, totEdit)) ++R.Right;
}

TSize TqvCustomTextEditViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                    const TqvEditSizeProperties& ASizeProperties) {
  const TSize base = inherited::GetEditContentSize(ACanvas, AEditValue, ASizeProperties);
  Variant displayValue;
  if (PlainText)
    displayValue = VarToStr(AEditValue);
  else
    GetProperties()->EditValueToDisplayValue(AEditValue, IsFocused(), displayValue);
  const String text = GetProperties()->DisplayValueToDisplayText(displayValue);
  const TSize size = CalculateEditTextSize(ACanvas, this, text, true, ASizeProperties, GetDrawTextFlags());
  return {std::max(base.cx, size.cx), std::max(base.cy, size.cy)};
}

bool TqvCustomTextEditViewData::MeasuresAsList() const {
  return !IsInplace && IsListEditingStyle(GetProperties()->GetEditingStyle()) &&
         !(IsComboBoxStyle() && IsNativeThemeUsable(NativeStyle, totEdit));
}
