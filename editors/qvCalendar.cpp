// The month calendar: navigation inside the representable years, metrics and geometry,
// painting, keys, mouse and the arrow auto-repeat; the drop-down calendar's keys.
#include "editors/qvCalendar.h"

#include <algorithm>
#include <cmath>

#include "core/qvFormats.h"
#include "lookandfeel/qvButtons.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomCalendar)
QJ_IMPLEMENT_CLASS(TqvPopupCalendar)
QJ_IMPLEMENT_CLASS(TMonthListBox)

const TResourceString sqvDatePopupToday{62710, "Today"};
const TResourceString sqvDatePopupClear{62711, "Clear"};

namespace {

constexpr Integer kCellCount = 42;
constexpr Integer kDaysPerWeek = 7;
constexpr Integer kWeekRows = 6;
constexpr Integer kTextRightMargin = 3;
constexpr TColor kTodayFrameColor = clMaroon;
// The month list scrolls faster the farther the pointer is from it, by item heights.
constexpr Cardinal kMonthScrollIntervals[] = {500, 250, 100, 50};
constexpr Integer kMonthListCentre = 3;
constexpr Integer kMonthListColumns = 6;

// Months counted from January of year 0: the shown month stays between February of year 1 and
// November of year 9999, whose leading and trailing cells are still valid dates.
constexpr Integer kFirstShownMonth = 12 + 1;
constexpr Integer kLastShownMonth = 9999 * 12 + 10;
constexpr Integer kFirstMonth = 12, kLastMonth = 9999 * 12 + 11;

Integer MonthIndexOf(TDateTime ADate) {
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  return year * 12 + month - 1;
}

TDateTime MonthStart(Integer AMonthIndex) {
  return EncodeDate(Word(AMonthIndex / 12), Word(AMonthIndex % 12 + 1), 1);
}

// A day of the month, its day clamped to the month's length.
TDateTime DateInMonth(Integer AMonthIndex, Integer ADay) {
  AMonthIndex = std::clamp(AMonthIndex, kFirstMonth, kLastMonth);
  const Integer year = AMonthIndex / 12, month = AMonthIndex % 12 + 1;
  return EncodeDate(Word(year), Word(month), Word(ClampDayOfMonth(year, month, ADay)));
}

TDateTime FirstRepresentableDate() { return EncodeDate(1, 1, 1); }
TDateTime LastRepresentableDate() { return EncodeDate(9999, 12, 31); }

Integer WeekColumn(TDateTime ADate) {
  Integer c = DayOfWeek(ADate) - GetFormatController()->FirstWeekDay;
  return c > 0 ? c - 1 : c + 6;
}

TDateTime FirstVisibleOf(TDateTime AFirstDate) {
  const Integer c = WeekColumn(AFirstDate);
  return AFirstDate - (c == 0 ? kDaysPerWeek : c);
}

TDateTime FirstSelectableDate() { return FirstVisibleOf(MonthStart(kFirstShownMonth)); }
TDateTime LastSelectableDate() { return FirstVisibleOf(MonthStart(kLastShownMonth)) + kCellCount - 1; }

TDateTime DayOf(TDateTime ADate) { return TDateTime(Trunc(ADate)); }

String MonthTitle(TDateTime AFirstDate) {
  Word year, month, day;
  DecodeDate(AFirstDate, year, month, day);
  return FormatSettings().LongMonthNames[month - 1] + " " + IntToStr(year);
}

// One character of the short day name: the last for the scripts that put the day's own sign
// there, else the first.
String DayNameLetter(const String& AName, TFontCharset ACharset) {
  if (AName.empty()) return AName;
  const bool last = ACharset == GB2312_CHARSET || ACharset == CHINESEBIG5_CHARSET || ACharset == ARABIC_CHARSET;
  return String(1, last ? AName.back() : AName.front());
}

void DrawTransparentText(TqvCanvas* ACanvas, const String& AText, const TRect& R, TqvTextFlags AFlags, TColor AColor) {
  ACanvas->GetFont()->SetColor(AColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawText(AText, R, AFlags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomCalendar::TqvCustomCalendar(TComponent* AOwner) : TqvControl(AOwner) {
  SetKeys(dkBit(dkArrows));
  const TDateTime today = Date();
  FSelectDate = today;
  FFirstDate = DateInMonth(MonthIndexOf(today), 1);
  FArrowTimer = New<TTimer>(this);
  FArrowTimer->SetEnabled(false);
  FArrowTimer->SetInterval(ArrowRepeatInterval);
  FArrowTimer->SetOnTimer([this](TObject* Sender) { ArrowTimerTick(Sender); });
  FTodayButton = CreateDateButton(sqvDatePopupToday);
  FClearButton = CreateDateButton(sqvDatePopupClear);
  FMonthListBox = New<TMonthListBox>(this);
  FMonthListBox->FreeNotification(this);
  CalculateMetrics();
  SizeToContent();
  PlaceButtons();
}

TqvCustomCalendar::~TqvCustomCalendar() {
  FArrowTimer->SetEnabled(false);
  if (FMonthListBox) {
    FMonthListBox->RemoveFreeNotification(this);
    Free(FMonthListBox);
  }
}

TqvButton* TqvCustomCalendar::CreateDateButton(const TResourceString& ACaption) {
  auto* button = New<TqvButton>(this);
  button->SetUseSystemPaint(false);
  button->SetTabStop(false);
  button->SetCaption(GetLocalizedResourceString(&ACaption));
  button->OnClick = [this](TObject* Sender) { DateButtonClick(Sender); };
  return button;
}

// The buttons live on the calendar's window once it has one.
void TqvCustomCalendar::CreateWnd() {
  inherited::CreateWnd();
  for (TqvButton* button : {FTodayButton, FClearButton}) button->SetParent(this);
  FontChanged();
}

void TqvCustomCalendar::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMonthListBox) FMonthListBox = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Dates

Integer TqvCustomCalendar::ColumnOfDate(TDateTime ADate) const { return WeekColumn(ADate); }

TDateTime TqvCustomCalendar::GetLastDate() const {
  const Integer index = MonthIndexOf(FFirstDate);
  return FFirstDate + GetDaysInMonth(index / 12, index % 12 + 1) - 1;
}

TDateTime TqvCustomCalendar::GetFirstVisibleDate() const { return FirstVisibleOf(FFirstDate); }

TDateTime TqvCustomCalendar::GetLastVisibleDate() const { return GetFirstVisibleDate() + kCellCount - 1; }

void TqvCustomCalendar::SetFirstDate(TDateTime D) {
  D = std::clamp(D, FirstRepresentableDate(), LastRepresentableDate());
  const TDateTime first = MonthStart(std::clamp(MonthIndexOf(D), kFirstShownMonth, kLastShownMonth));
  if (first == FFirstDate) return;
  FFirstDate = first;
  Invalidate();
}

void TqvCustomCalendar::SetSelectDate(TDateTime D) {
  if (D == FSelectDate) return;
  if (D == NullDate) {
    FSelectDate = D;
    Invalidate();
    return;
  }
  D = std::clamp(D, FirstSelectableDate(), LastSelectableDate());
  FSelectDate = D;
  const TDateTime day = DayOf(D);
  if (day < GetFirstVisibleDate()) SetFirstDate(MonthStart(std::max(MonthIndexOf(day) - 1, kFirstShownMonth)));
  if (day > GetLastVisibleDate()) SetFirstDate(day);
  Invalidate();
}

TDateTime TqvCustomCalendar::DateAtPoint(TPoint P) {
  if (!GetClientRect().Contains(P)) return NullDate;
  const Integer top = GetGridTop() + FDaysOfWeekHeight;
  if (P.X < FSideWidth || P.X >= FSideWidth + kDaysPerWeek * FColWidth || P.Y < top ||
      P.Y >= top + kWeekRows * FRowHeight)
    return NullDate;
  const Integer row = (P.Y - top) / FRowHeight, col = (P.X - FSideWidth) / FColWidth;
  return GetFirstVisibleDate() + row * kDaysPerWeek + col;
}

void TqvCustomCalendar::StepMonth(Integer ADelta) { SetFirstDate(MonthStart(std::clamp(MonthIndexOf(FFirstDate) + ADelta, kFirstShownMonth, kLastShownMonth))); }

void TqvCustomCalendar::HidePopup() {
  FArrowTimer->SetEnabled(false);
  FArrowDelta = 0;
  if (!FMonthListBox) return;
  FMonthListBox->StopScrolling();
  if (FMonthListBox->IsOpen()) FMonthListBox->CloseUp(false);
}

void TqvCustomCalendar::DoDateTimeChanged() {
  if (OnDateTimeChanged) OnDateTimeChanged(this);
}

// The header is a pixel higher when flat: the calendar measures itself again.
void TqvCustomCalendar::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  CalculateMetrics();
  SizeToContent();
  PlaceButtons();
  Invalidate();
}

void TqvCustomCalendar::SetDateButtons(TDateButtons Value) {
  if (FDateButtons == Value) return;
  FDateButtons = Value;
  SizeToContent();
  PlaceButtons();
  Invalidate();
}

void TqvCustomCalendar::DateButtonClick(TObject* Sender) {
  TAliveToken alive = AliveToken();
  SetSelectDate(Sender == FTodayButton ? Date() : NullDate);
  DoDateTimeChanged();
  if (alive) HidePopup();
}

// ---------------------------------------------------------------------------------------------
// Metrics and geometry

void TqvCustomCalendar::CalculateMetrics() {
  TqvCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  const Integer w0 = canvas->TextWidth("0"), h0 = canvas->TextHeight("0");
  FColWidth = 3 * w0;
  FSideWidth = 2 * w0;
  FRowHeight = h0 + 2;
  FHeaderHeight = h0 + 4 + (FFlat ? 1 : 0);
  FDaysOfWeekHeight = h0 + 3;
  FButtonWidth = std::max(canvas->TextWidth(GetLocalizedResourceString(&sqvDatePopupToday)),
                          canvas->TextWidth(GetLocalizedResourceString(&sqvDatePopupClear))) +
                 FColWidth;
  FButtonsOffset = GetFont()->GetSize() / 2;
  FButtonHeight = MulDiv(canvas->TextHeight("Wg"), 20, 13);
  FButtonsRegionHeight = GetFont()->GetSize() * 3 / 4 + FButtonHeight + FButtonsOffset;
}

void TqvCustomCalendar::SizeToContent() {
  if (FSizingToContent) return;
  TValueScope adjusting(FSizingToContent, true);
  const Integer border = 2 * GetBorderSize();
  const Integer width = border + 2 * FSideWidth + kDaysPerWeek * FColWidth;
  const Integer height = border + FHeaderHeight + (FFlat ? 0 : 1) + FDaysOfWeekHeight + kWeekRows * FRowHeight + 1 +
                         (HasVisibleButtons() ? FButtonsRegionHeight : 0);
  if (width != GetWidth() || height != GetHeight()) SetBounds(GetLeft(), GetTop(), width, height);
}

// Spread evenly over the width: a lone button is centred, two divide the free room in three.
void TqvCustomCalendar::PlaceButtons() {
  const bool today = IsDateButtonVisible(btnToday), clear = IsDateButtonVisible(btnClear);
  const Integer w = FButtonWidth, width = GetClientWidth(), top = GetButtonsTop();
  FTodayButton->SetBounds((width - w - w * clear) / (2 + clear), top, w, FButtonHeight);
  FClearButton->SetBounds(width - w - (width - w * today - w) / (2 + today), top, w, FButtonHeight);
  FTodayButton->SetVisible(today);
  FClearButton->SetVisible(clear);
}

void TqvCustomCalendar::BoundsChanged() {
  inherited::BoundsChanged();
  SizeToContent();
  PlaceButtons();
}

void TqvCustomCalendar::FontChanged() {
  CalculateMetrics();
  SizeToContent();
  PlaceButtons();
  inherited::FontChanged();
}

TRect TqvCustomCalendar::GetHeaderRect() { return Rect(0, 0, GetClientWidth(), FHeaderHeight); }

TRect TqvCustomCalendar::GetArrowRect(bool ARight) {
  if (!ARight) return Rect(1, 1, FColWidth - 1, FHeaderHeight - 2);
  const Integer w = GetClientWidth();
  return Rect(w - FColWidth, 1, w - 1 - (FFlat ? 0 : 1), FHeaderHeight - 2);
}

Integer TqvCustomCalendar::GetGridTop() const { return FHeaderHeight + (FFlat ? 0 : 1); }

TRect TqvCustomCalendar::GetTitleRect() {
  const Integer bottom = GetGridTop() - 1 - (FFlat ? 0 : 1);
  return Rect(FColWidth, bottom - FHeaderHeight + 2, GetClientWidth() - FColWidth - (FFlat ? 0 : 1), bottom);
}

TRect TqvCustomCalendar::GetCellRect(Integer ARow, Integer ACol) const {
  const Integer left = FSideWidth + ACol * FColWidth, top = GetGridTop() + FDaysOfWeekHeight + ARow * FRowHeight;
  return Rect(left, top, left + FColWidth, top + FRowHeight);
}

Integer TqvCustomCalendar::GetButtonsTop() { return GetClientHeight() + FButtonsOffset - FButtonsRegionHeight; }

bool TqvCustomCalendar::IsArrowRepeating() const { return FArrowTimer->GetEnabled(); }

// ---------------------------------------------------------------------------------------------
// Painting

void TqvCustomCalendar::PaintHeader(TqvCanvas* ACanvas) {
  TqvLookAndFeelPainterClass arrows = TqvUltraFlatLookAndFeelPainter::Class();
  for (bool right : {false, true}) {
    const TRect r = GetArrowRect(right);
    arrows->DrawArrowButton(ACanvas, r, qvbsNormal, right ? arrowRight : arrowLeft);
    ACanvas->ExcludeClipRect(r);
  }
  ACanvas->SetBrushColor(clBtnFace);
  // The raised title's edge takes a row below the header: the face fills it up to the grid.
  ACanvas->FillRect(Rect(0, 0, GetClientWidth(), GetGridTop()));
  const TRect title = GetTitleRect();
  DrawTransparentText(ACanvas, MonthTitle(FFirstDate), title, tfHCenter | tfVCenter | tfSingleLine, clBtnText);
  if (FFlat) {
    ACanvas->SetBrushColor(clBtnText);
    ACanvas->FillRect(Rect(title.Left, title.Bottom, title.Right, title.Bottom + 1));
  } else {
    ACanvas->DrawEdge(title, false, false);
  }
}

void TqvCustomCalendar::PaintDayNames(TqvCanvas* ACanvas) {
  const Integer top = GetGridTop();
  const Integer firstWeekDay = GetFormatController()->FirstWeekDay;
  ACanvas->SetBrushColor(GetColor());
  ACanvas->FillRect(Rect(0, top, GetClientWidth(), top + FDaysOfWeekHeight));
  for (Integer c = 0; c < kDaysPerWeek; ++c) {
    const String& name = FormatSettings().ShortDayNames[(firstWeekDay + c) % kDaysPerWeek];
    const Integer left = FSideWidth + c * FColWidth;
    const TRect r = Rect(left, top, left + FColWidth - kTextRightMargin, top + FDaysOfWeekHeight - 2);
    DrawTransparentText(ACanvas, DayNameLetter(name, GetFont()->GetCharset()), r, tfRight | tfVCenter | tfSingleLine,
                        clWindowText);
  }
  const Integer right = GetClientWidth() - FSideWidth;
  const Integer bottom = top + FDaysOfWeekHeight;
  ACanvas->SetBrushColor(clBtnShadow);
  ACanvas->FillRect(Rect(FSideWidth, bottom - 2, right, bottom - 1));
  ACanvas->SetBrushColor(clWindow);
  ACanvas->FillRect(Rect(FSideWidth, bottom - 1, right, bottom));
}

void TqvCustomCalendar::PaintCells(TqvCanvas* ACanvas) {
  const TDateTime today = Date();
  const TDateTime selected = FSelectDate == NullDate ? today : DayOf(FSelectDate);
  const TDateTime first = GetFirstVisibleDate();
  const TDateTime last = GetLastDate();
  for (Integer i = 0; i < kCellCount; ++i) {
    const TDateTime date = first + i;
    const TRect r = GetCellRect(i / kDaysPerWeek, i % kDaysPerWeek);
    const bool isSelected = date == selected;
    ACanvas->SetBrushColor(isSelected ? clHighlight : GetColor());
    ACanvas->FillRect(r);
    const TColor textColor = isSelected ? clHighlightText : date < FFirstDate || date > last ? clGrayText : clWindowText;
    Word year, month, day;
    DecodeDate(date, year, month, day);
    TRect textRect = r;
    textRect.Right -= kTextRightMargin;
    DrawTransparentText(ACanvas, IntToStr(day), textRect, tfRight | tfVCenter | tfSingleLine, textColor);
    if (date == today) ACanvas->FrameRect(r, kTodayFrameColor);
  }
}

void TqvCustomCalendar::Paint() {
  inherited::Paint();
  TqvCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  canvas->GetBrush()->SetStyle(bsSolid);
  PaintHeader(canvas);
  PaintDayNames(canvas);
  PaintCells(canvas);
  const Integer cellsBottom = GetGridTop() + FDaysOfWeekHeight + kWeekRows * FRowHeight;
  canvas->SetBrushColor(GetColor());
  canvas->FillRect(Rect(0, cellsBottom, GetClientWidth(), GetClientHeight()));
  canvas->FillRect(Rect(0, GetGridTop() + FDaysOfWeekHeight, FSideWidth, cellsBottom));
  canvas->FillRect(Rect(GetClientWidth() - FSideWidth, GetGridTop() + FDaysOfWeekHeight, GetClientWidth(), cellsBottom));
  if (HasVisibleButtons()) {
    const Integer y = GetClientHeight() - FButtonsRegionHeight;
    canvas->SetBrushColor(clBtnShadow);
    canvas->FillRect(Rect(FSideWidth, y, GetClientWidth() - FSideWidth, y + 1));
  }
}

// ---------------------------------------------------------------------------------------------
// Keys

TDateTime TqvCustomCalendar::KeyTargetDate(Word Key, TShiftState Shift) const {
  const TDateTime base = FSelectDate == NullDate ? Date() : DayOf(FSelectDate);
  const bool ctrl = (Shift & ssCtrl) != 0;
  const bool altAlone = (Shift & (ssAlt | ssCtrl | ssShift)) == ssAlt;
  Word year, month, day;
  DecodeDate(base, year, month, day);
  const Integer monthIndex = year * 12 + month - 1;
  switch (Key) {
    case VK_LEFT: return base - 1;
    case VK_RIGHT: return base + 1;
    case VK_UP: return altAlone ? NullDate : base - kDaysPerWeek;
    case VK_DOWN: return altAlone ? NullDate : base + kDaysPerWeek;
    case VK_HOME: return ctrl ? base - (day - 1) : base - WeekColumn(base);
    case VK_END: return ctrl ? DateInMonth(monthIndex, 31) : base + 6 - WeekColumn(base);
    case VK_PRIOR: return DateInMonth(monthIndex - 1, day);
    case VK_NEXT: return DateInMonth(monthIndex + 1, day);
    default: return NullDate;
  }
}

void TqvCustomCalendar::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive) return;
  const TDateTime target = KeyTargetDate(Key, Shift);
  if (target != NullDate) SetSelectDate(target);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TqvCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  FDoubleClicked = (Shift & ssDouble) != 0;
  const TPoint p{X, Y};
  for (bool right : {false, true}) {
    if (!GetArrowRect(right).Contains(p)) continue;
    FArrowDelta = right ? 1 : -1;
    StepMonth(FArrowDelta);
    FArrowTimer->SetEnabled(true);
    return;
  }
  if (GetTitleRect().Contains(p)) {
    if (FMonthListBox) FMonthListBox->PopupForCalendar();
    return;
  }
  const TDateTime date = DateAtPoint(p);
  if (date != NullDate) SetSelectDate(date);
}

void TqvCustomCalendar::ArrowTimerTick(TObject*) {
  if (FArrowDelta != 0 && GetArrowRect(FArrowDelta > 0).Contains(ScreenToClient(GetMouseCursorPos())))
    StepMonth(FArrowDelta);
}

void TqvCustomCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || !(Shift & ssLeft) || FArrowTimer->GetEnabled()) return;
  const TDateTime date = DateAtPoint({X, Y});
  if (date != NullDate) SetSelectDate(date);
}

void TqvCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  if (FArrowTimer->GetEnabled()) {
    FArrowTimer->SetEnabled(false);
    FArrowDelta = 0;
    return;
  }
  const TPoint p{X, Y};
  if (!GetClientRect().Contains(p)) return;
  HidePopup();
  if (!alive) return;
  if (!FDoubleClicked && DateAtPoint(p) != NullDate) DoDateTimeChanged();
}

// ---------------------------------------------------------------------------------------------
// Month list

TMonthListBox::TMonthListBox(TqvCustomCalendar* ACalendar)
    : TqvCustomPopupWindow(ACalendar), FCalendar(ACalendar), FTopDate(NullDate) {
  SetPopupBorderStyle(pfsFlat);
  SetAdjustToChildren(false);
  SetCaptureFocus(false);
  SetIsModal(false);
  FScrollTimer = New<TTimer>(this);
  FScrollTimer->SetEnabled(false);
  FScrollTimer->SetInterval(TqvCustomCalendar::ArrowRepeatInterval);
  FScrollTimer->SetOnTimer([this](TObject* Sender) { ScrollTimerTick(Sender); });
}

TMonthListBox::~TMonthListBox() { FScrollTimer->SetEnabled(false); }

void TMonthListBox::PopupForCalendar() { Popup(nullptr); }

void TMonthListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TMonthListBox::InitPopup() {
  GetFont()->Assign(FCalendar->GetFont());
  FItemHeight = FCalendar->GetHeaderHeight() - 2;
  SetBounds(GetLeft(), GetTop(), GetHorzBordersWidth() + kMonthListColumns * FCalendar->GetColumnWidth(),
            GetBorderWidth(1) + GetBorderWidth(3) + ItemCount * FItemHeight);
  FTopDate = NullDate;
  SetTopDate(MonthStart(std::max(MonthIndexOf(FCalendar->GetFirstDate()) - kMonthListCentre, kFirstMonth)));
  FItemIndex = kMonthListCentre;
}

void TMonthListBox::CalculatePosition(TPoint& P) {
  const TRect title = FCalendar->GetTitleRect();
  const TPoint centre = FCalendar->ClientToScreen({(title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2});
  P = {centre.X - GetWidth() / 2, centre.Y - GetHeight() / 2};
}

void TMonthListBox::DoShowed() {
  inherited::DoShowed();
  if (HandleAllocated()) SetCapture(GetHandle());
}

void TMonthListBox::DoClosed() {
  StopScrolling();
  if (FItemIndex >= 0 && FTopDate != NullDate) FCalendar->SetFirstDate(MonthStart(MonthIndexOf(FTopDate) + FItemIndex));
  inherited::DoClosed();
}

void TMonthListBox::SetTopDate(TDateTime Value) {
  const Integer index = std::clamp(MonthIndexOf(Value), kFirstMonth, kLastMonth - (ItemCount - 1));
  const TDateTime top = MonthStart(index);
  if (top == FTopDate) return;
  FTopDate = top;
  Invalidate();
}

void TMonthListBox::SetItemIndex(Integer Value) {
  if (Value == FItemIndex) return;
  if (HandleAllocated()) {
    for (Integer index : {FItemIndex, Value}) {
      if (index < 0) continue;
      const TRect r = GetItemRect(index);
      InvalidateRect(GetHandle(), &r, false);
    }
  }
  FItemIndex = Value;
}

bool TMonthListBox::IsScrolling() const { return FScrollTimer->GetEnabled(); }

Cardinal TMonthListBox::GetScrollInterval() const { return FScrollTimer->GetInterval(); }

void TMonthListBox::StopScrolling() { FScrollTimer->SetEnabled(false); }

TRect TMonthListBox::GetItemRect(Integer AIndex) {
  const Integer top = GetBorderWidth(1) + AIndex * FItemHeight;
  return Rect(GetBorderWidth(0), top, GetClientWidth() - GetBorderWidth(2), top + FItemHeight);
}

void TMonthListBox::ScrollTimerTick(TObject*) {
  if (FTopDate != NullDate) SetTopDate(MonthStart(std::clamp(MonthIndexOf(FTopDate) + FScrollSign, kFirstMonth, kLastMonth)));
}

void TMonthListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FItemHeight <= 0) return;
  const Integer height = GetClientHeight();
  if (X >= 0 && X < GetClientWidth() && Y >= 0 && Y < height) {
    StopScrolling();
    SetItemIndex(std::clamp((Y - GetBorderWidth(1)) / FItemHeight, 0, ItemCount - 1));
    return;
  }
  SetItemIndex(-1);
  if (Y >= 0 && Y < height) {
    StopScrolling();
    return;
  }
  const Integer distance = Y < 0 ? -Y : Y - height + 1;
  FScrollSign = Y < 0 ? -1 : 1;
  const Cardinal interval = kMonthScrollIntervals[std::min<Integer>(distance / FItemHeight, 3)];
  if (FScrollTimer->GetInterval() != interval) FScrollTimer->SetInterval(interval);
  FScrollTimer->SetEnabled(true);
}

void TMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive) CloseUp(false);
}

void TMonthListBox::Paint() {
  TqvCanvas* canvas = GetQVCanvas();
  canvas->FrameRect(GetClientRect(), clBlack);
  if (FTopDate == NullDate) return;
  canvas->SetFont(GetFont());
  for (Integer i = 0; i < ItemCount; ++i) {
    const bool selected = i == FItemIndex;
    const TRect r = GetItemRect(i);
    canvas->SetBrushColor(selected ? clWindowText : clWindow);
    canvas->FillRect(r);
    DrawTransparentText(canvas, MonthTitle(MonthStart(MonthIndexOf(FTopDate) + i)), r, tfHCenter | tfVCenter | tfSingleLine,
                        selected ? clWindow : clWindowText);
  }
}

// ---------------------------------------------------------------------------------------------
// Drop-down calendar

void TqvPopupCalendar::HidePopup() {
  inherited::HidePopup();
  if (OnHidePopup) OnHidePopup(this);
}

void TqvPopupCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if ((Shift & ssLeft) && EditorDate && !IsArrowRepeating() && !GetClientRect().Contains({X, Y})) {
    TAliveToken alive = AliveToken();
    inherited::MouseMove(Shift, X, Y);
    if (!alive) return;
    const TDateTime date = EditorDate();
    SetSelectDate(date == NullDate ? date : TDateTime(std::trunc(double(date))));
    return;
  }
  inherited::MouseMove(Shift, X, Y);
}

void TqvPopupCalendar::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive) return;
  const bool alt = (Shift & ssAlt) != 0;
  if (Key == VK_RETURN) {
    if (GetMonthListBox() && GetMonthListBox()->IsOpen()) return;
    HidePopup();
    if (alive) DoDateTimeChanged();
  } else if (Key == VK_ESCAPE || (alt && (Key == VK_UP || Key == VK_DOWN)) || (Key == VK_F4 && !alt)) {
    HidePopup();
  }
}
