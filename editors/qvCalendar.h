// The month calendar: a header with the month and year between two arrow buttons, a row of day
// names, a fixed grid of 6 weeks x 7 days and optional "Today" and "Clear" buttons. Clicking the
// title opens a list of seven months that scrolls while the mouse is held above or below it.
// Dates are the runtime's date values; NullDate (-700000) stands for "no date". Navigation stays
// inside the representable years 1..9999: the shown month lies between February of year 1 and
// November of year 9999, so that every cell of the grid is a valid date.
#pragma once

#include "lookandfeel/qvControls.h"
#include "lookandfeel/qvPopupWindow.h"

class TMonthListBox;
class TqvButton;

// Which buttons the calendar shows: bit (1 << TDateButton).
enum TDateButton { btnToday, btnClear };
using TDateButtons = Cardinal;
constexpr TDateButtons DateButtonBit(TDateButton B) { return 1u << B; }
constexpr TDateButtons DefaultDateButtons = DateButtonBit(btnToday) | DateButtonBit(btnClear);

class TqvCustomCalendar : public TqvControl {
  QJ_CLASS(TqvCustomCalendar, TqvControl)
 public:
  static constexpr Cardinal ArrowRepeatInterval = 200;

  explicit TqvCustomCalendar(TComponent* AOwner);
  ~TqvCustomCalendar() override;

  // The first day of the shown month.
  TDateTime GetFirstDate() const { return FFirstDate; }
  // The first day of D's month, kept inside the navigable months.
  virtual void SetFirstDate(TDateTime D);
  TDateTime GetSelectDate() const { return FSelectDate; }
  // Stores D (a null date only that) and shows a month whose grid holds it.
  virtual void SetSelectDate(TDateTime D);
  // The last day of the shown month.
  virtual TDateTime GetLastDate() const;
  // The first and the last of the 42 cells.
  virtual TDateTime GetFirstVisibleDate() const;
  virtual TDateTime GetLastVisibleDate() const;
  // The date of the cell at P (client coordinates), or NullDate.
  virtual TDateTime DateAtPoint(TPoint P);
  // Stops the timers and closes the month list.
  virtual void HidePopup();

  bool GetFlat() const { return FFlat; }
  void SetFlat(bool Value);
  TDateButtons GetDateButtons() const { return FDateButtons; }
  // Shows the buttons in Value and spreads them evenly.
  void SetDateButtons(TDateButtons Value);
  TqvButton* GetTodayButton() const { return FTodayButton; }
  TqvButton* GetClearButton() const { return FClearButton; }
  // nullptr once the list was freed by someone else (a form freed with all the others).
  TMonthListBox* GetMonthListBox() const { return FMonthListBox; }

  // The weekday column 0..6 of a date under the locale's first weekday.
  Integer ColumnOfDate(TDateTime ADate) const;

  // Geometry, client coordinates.
  TRect GetHeaderRect();
  TRect GetTitleRect();
  TRect GetArrowRect(bool ARight);
  TRect GetCellRect(Integer ARow, Integer ACol) const;
  Integer GetGridTop() const;
  Integer GetColumnWidth() const { return FColWidth; }
  Integer GetHeaderHeight() const { return FHeaderHeight; }
  bool IsArrowRepeating() const;

  TNotifyEvent OnDateTimeChanged;

 protected:
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void BoundsChanged() override;
  void FontChanged() override;
  bool HasScrollBars() const override { return false; }
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

  void DoDateTimeChanged();
  bool IsDateButtonVisible(TDateButton AButton) const { return (FDateButtons & DateButtonBit(AButton)) != 0; }

 private:
  void CalculateMetrics();
  void SizeToContent();
  TqvButton* CreateDateButton(const TResourceString& ACaption);
  void PlaceButtons();
  void DateButtonClick(TObject* Sender);
  Integer GetButtonsTop();
  bool HasVisibleButtons() const { return FDateButtons != 0; }
  void StepMonth(Integer ADelta);
  void ArrowTimerTick(TObject* Sender);
  TDateTime KeyTargetDate(Word Key, TShiftState Shift) const;

  void PaintHeader(TqvCanvas* ACanvas);
  void PaintDayNames(TqvCanvas* ACanvas);
  void PaintCells(TqvCanvas* ACanvas);

  TDateTime FFirstDate = 0;
  TDateTime FSelectDate = 0;
  bool FFlat = true;
  TDateButtons FDateButtons = DefaultDateButtons;
  TqvButton* FTodayButton = nullptr;
  TqvButton* FClearButton = nullptr;
  TMonthListBox* FMonthListBox = nullptr;
  TTimer* FArrowTimer = nullptr;
  Integer FArrowDelta = 0;  // -1 / +1 while an arrow repeats
  bool FDoubleClicked = false;
  bool FSizingToContent = false;

  Integer FColWidth = 0;
  Integer FSideWidth = 0;
  Integer FRowHeight = 0;
  Integer FHeaderHeight = 0;
  Integer FDaysOfWeekHeight = 0;
  Integer FButtonWidth = 0;
  Integer FButtonHeight = 0;
  Integer FButtonsOffset = 0;
  Integer FButtonsRegionHeight = 0;
};

// The list of seven months the calendar's title opens, centred on the title. It holds the mouse
// while it shows: the pointer picks a month, holding it above or below the list scrolls one month
// a tick (faster the farther away), and the release closes the list and shows the picked month.
class TMonthListBox : public TqvCustomPopupWindow {
  QJ_CLASS(TMonthListBox, TqvCustomPopupWindow)
 public:
  static constexpr Integer ItemCount = 7;

  explicit TMonthListBox(TqvCustomCalendar* ACalendar);
  ~TMonthListBox() override;

  // Shows the list for the calendar's month and takes the mouse.
  void PopupForCalendar();
  // The first day of the first listed month; NullDate before the first popup.
  TDateTime GetTopDate() const { return FTopDate; }
  void SetTopDate(TDateTime Value);
  // 0..6, or -1 when the pointer is off the items.
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  Integer GetItemHeight() const { return FItemHeight; }
  bool IsScrolling() const;
  Cardinal GetScrollInterval() const;
  void StopScrolling();

 protected:
  void InitPopup() override;
  void CalculatePosition(TPoint& P) override;
  void CreateParams(TCreateParams& Params) override;
  void DoShowed() override;
  void DoClosed() override;
  void Paint() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  TRect GetItemRect(Integer AIndex);
  void ScrollTimerTick(TObject* Sender);

  TqvCustomCalendar* FCalendar;
  TDateTime FTopDate;
  Integer FItemIndex = 3;
  Integer FItemHeight = 0;
  Integer FScrollSign = 1;
  TTimer* FScrollTimer = nullptr;
};

// The calendar of a date editor's drop-down: Enter chooses the selected date, Esc, Alt+Up,
// Alt+Down and F4 close it.
class TqvPopupCalendar : public TqvCustomCalendar {
  QJ_CLASS(TqvPopupCalendar, TqvCustomCalendar)
 public:
  explicit TqvPopupCalendar(TComponent* AOwner) : TqvCustomCalendar(AOwner) {}
  void HidePopup() override;

  TNotifyEvent OnHidePopup;
  // The date of the editor the calendar belongs to: a drag that leaves the calendar selects it
  // again.
  std::function<TDateTime()> EditorDate;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
};

extern const TResourceString sqvDatePopupToday;
extern const TResourceString sqvDatePopupClear;
