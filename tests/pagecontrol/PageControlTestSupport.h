// Fixture of the page control tests: the control fixture (clean headless window system, classic
// colours, themes on, forms freed after each test, input at client points), tab controls on
// shown forms, their pixels, and a painter of fixed measures whose tabs are as long as their
// captions say ("30" is 30 pixels long), for exact layout tables.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "lookandfeel/qvControlsTestSupport.h"
#include "support/ControlPixels.h"
#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCPainters.h"
#include "pagecontrol/qvPCPaintersFactory.h"

inline std::ostream& operator<<(std::ostream& os, const TqvPCLineIndexBounds& b) {
  return os << "[" << b.First << ".." << b.Last << "]";
}
inline std::ostream& operator<<(std::ostream& os, const TqvTabCorrection& c) {
  return os << "{" << c.Left << "," << c.Top << "," << c.Right << "," << c.Bottom << "}";
}
inline std::ostream& operator<<(std::ostream& os, const TqvPCMargins& m) {
  return os << "{" << m.Left << "," << m.Top << "," << m.Right << "," << m.Bottom << "}";
}

// Tabs as long as their captions, rows FixedHeight thick, intervals and the minimal tab width
// as set; areas, navigator buttons and repaints of the standard painter.
class TFixedPainter : public TqvPCStandardPainter {
  QJ_INLINE_CLASS(TFixedPainter, TqvPCStandardPainter)
 public:
  static constexpr TqvPCStyleID Style = 90;
  static inline Integer FixedHeight = 20;
  static inline TPoint Intervals{0, 0};
  static inline Integer MinWidth = 10;
  static inline bool MovesRow = true;

  using TqvPCStandardPainter::TqvPCStandardPainter;
  static TqvPCStyleID StyleID() { return Style; }
  static String StyleName() { return "Fixed"; }
  static bool ActiveRowMoves() { return MovesRow; }

  Integer GetStandardStyleOf() const override { return tssTabs; }
  Integer GetTabNormalHeight() override { return FixedHeight; }
  Integer GetTabNormalWidth(TqvTab* ATab) override { return std::stoi(ATab->GetCaption()); }
  Integer GetMinTabNormalWidth() override { return MinWidth; }
  TPoint GetTabsIntervals() override { return Intervals; }
  TColor GetTabColor(Integer) override { return clBtnFace; }

  static void Reset() {
    FixedHeight = 20;
    Intervals = {0, 0};
    MinWidth = 10;
    MovesRow = true;
  }

 protected:
  void DrawTabFrame(Integer) override {}
};

// The message of the exception ACall raises, or "(no error)".
template <class TCall>
std::string MessageOf(TCall ACall) {
  try {
    ACall();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

class TPageControlTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    TFixedPainter::Reset();
    PaintersFactory()->RegisterPainterClass(&TFixedPainter::StaticClass());
  }
  void TearDown() override {
    TqvControlsTest::TearDown();
    PaintersFactory()->UnregisterPainterClass(&TFixedPainter::StaticClass());
  }

  // A tab control of the given size on a new form (not shown).
  template <class T = TqvCustomTabControl>
  T* NewTabControl(Integer w = 300, Integer h = 200, TForm** AForm = nullptr) {
    TForm* form = NewForm(w + 40, h + 40);
    if (AForm) *AForm = form;
    return Add<T>(form, Bounds(10, 10, w, h));
  }
  // Tabs with these captions (with TFixedPainter: these lengths).
  static void AddTabs(TqvCustomTabControl* AControl, const std::vector<Integer>& ALengths) {
    for (Integer w : ALengths) AControl->GetTabs()->Add(IntToStr(w));
  }
  static std::vector<Integer> Rows(TqvCustomTabControl* AControl) {
    std::vector<Integer> rows;
    for (Integer i = 0; i < AControl->GetVisibleTabs()->GetCount(); ++i)
      rows.push_back(AControl->GetVisibleTabs()->GetTab(i)->GetRow());
    return rows;
  }
  static std::vector<Integer> DisplayRows(TqvCustomTabControl* AControl) {
    std::vector<Integer> rows;
    for (Integer i = 0; i < AControl->GetVisibleTabs()->GetCount(); ++i)
      rows.push_back(AControl->GetVisibleTabs()->GetTab(i)->GetDisplayRow());
    return rows;
  }
  static std::vector<Integer> Widths(TqvCustomTabControl* AControl) {
    std::vector<Integer> widths;
    for (Integer i = 0; i < AControl->GetVisibleTabs()->GetCount(); ++i)
      widths.push_back(AControl->GetVisibleTabs()->GetTab(i)->GetNormalWidth());
    return widths;
  }
  static TqvTab* VisibleTab(TqvCustomTabControl* AControl, Integer i) { return AControl->GetVisibleTabs()->GetTab(i); }

  static TRgb Rgb(TColor c) { return {ColorToRGB(c)}; }
  // The pixel of a control's client point on its shown form.
  static TRgb ControlPixel(TControl* AControl, TPoint P) {
    return ControlPixelOf(AControl, P);
  }
  // Whether R (client coordinates of AControl) shows text ink of a colour on a background.
  static bool ShowsInk(TControl* AControl, const TRect& R, TColor AInk, TColor ABackground) {
    return ControlShowsInk(AControl, R, AInk, ABackground);
  }
  static void Repaint(TControl* AControl) {
    AControl->Invalidate();
    Pump();
  }
};
