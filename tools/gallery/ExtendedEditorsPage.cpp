// The extended editors page: the calculator with its display in a panel (fresh, after a sum
// with a memory, in the Error state, disabled, large, and sized without the automatic font
// size), and the calendar (flat, raised, without a selection, and in a larger font).
#include "GalleryPage.h"
#include "editors/qvCalc.h"
#include "core/qvFormats.h"
#include "editors/qvCalendar.h"
#include "platform/rtl/DateTime.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kDisplayHeight = 20;

// A calculator showing its display in a sunken panel above it.
class TGalleryCalculator : public TqvCustomCalculator {
  QJ_INLINE_CLASS(TGalleryCalculator, TqvCustomCalculator)
 public:
  explicit TGalleryCalculator(TComponent* AOwner) : TqvCustomCalculator(AOwner) {}
  TPanel* Display = nullptr;

 protected:
  void GetDisplayText(String& Text) override { Text = Display->GetCaption(); }
  void SetDisplayText(const String& Text) override { Display->SetCaption(Text); }
};

TGalleryCalculator* AddCalculator(TWinControl* Parent, Integer X, Integer Y, const String& ACaption,
                                  const char* AScript) {
  AddLabel(Parent, X, Y, ACaption, kColumnWidth);
  auto* display = New<TPanel>(Parent);
  display->SetParent(Parent);
  display->SetBounds(X, Y + kLabelHeight, 202, kDisplayHeight);
  display->SetBevelOuter(bvLowered);
  display->SetAlignment(taRightJustify);
  display->SetColor(clWindow);
  display->SetCaption("0");
  auto* calc = New<TGalleryCalculator>(Parent);
  calc->Display = display;
  calc->SetParent(Parent);
  calc->SetBounds(X, Y + kLabelHeight + kDisplayHeight + 2, 202, 133);
  calc->SetBeepOnError(false);
  for (const char* p = AScript; *p; ++p) {
    switch (*p) {
      case 'M': calc->ButtonClick(cbMS); break;
      case 'E': calc->ButtonClick(cbEqual); break;
      case '+': calc->ButtonClick(cbAdd); break;
      case '/': calc->ButtonClick(cbDiv); break;
      default: calc->ButtonClick(TqvCalcButtonKind(cbNum0 + (*p - '0'))); break;
    }
  }
  return calc;
}

TqvCustomCalendar* AddCalendar(TWinControl* Parent, Integer X, Integer Y, const String& ACaption) {
  AddLabel(Parent, X, Y, ACaption, kColumnWidth);
  auto* calendar = New<TqvCustomCalendar>(Parent);
  calendar->SetLeft(X);
  calendar->SetTop(Y + kLabelHeight);
  calendar->SetParent(Parent);
  return calendar;
}

void BuildExtendedEditorsPage(TWinControl* Parent) {
  Integer x = kNarrowMargin;
  AddCalculator(Parent, x, kNarrowMargin, "Calculator", "");
  AddCalculator(Parent, x += kColumnWidth, kNarrowMargin, "12 + 30 = with 42 in memory", "12+30EM");
  AddCalculator(Parent, x += kColumnWidth, kNarrowMargin, "1 / 0 = (Error)", "1/0E");
  AddCalculator(Parent, x += kColumnWidth, kNarrowMargin, "Disabled", "7")->SetEnabled(false);
  const Integer y = kNarrowMargin + kLabelHeight + kDisplayHeight + 150;
  TGalleryCalculator* largeCalc = AddCalculator(Parent, kNarrowMargin, y, "Sized 400 x 260 (bold captions)", "");
  largeCalc->SetClientSize({400, 260});
  TGalleryCalculator* fixed =
      AddCalculator(Parent, kNarrowMargin + 2 * kColumnWidth, y, "Font 10, no automatic size", "");
  fixed->GetFont()->SetSize(10);
  fixed->SetAutoFontSize(false);
  fixed->SetCalcBorderStyle(bsSingle);

  constexpr Integer kCalendarTop = 500;
  x = kNarrowMargin;
  TqvCustomCalendar* first = AddCalendar(Parent, x, kCalendarTop, "Calendar in the window colour");
  first->SetColor(clWindow);
  first->SetSelectDate(Date() + 3);
  TqvCustomCalendar* raised = AddCalendar(Parent, x += kColumnWidth, kCalendarTop, "Raised title, no buttons");
  raised->SetFlat(false);
  raised->SetDateButtons(0);
  AddCalendar(Parent, x += kColumnWidth, kCalendarTop, "No selection (today selected)")->SetSelectDate(NullDate);
  TqvCustomCalendar* large = AddCalendar(Parent, x += kColumnWidth, kCalendarTop - 60, "Font 11, Today only");
  large->GetFont()->SetSize(11);
  large->SetDateButtons(DateButtonBit(btnToday));
  large->SetColor(clWindow);
}

const TGalleryPageRegistration ExtendedEditorsPage("Extended editors", 700, &BuildExtendedEditorsPage);

}  // namespace
