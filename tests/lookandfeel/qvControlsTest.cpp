// The base control: its scroll-bar layout (tables of content sizes, the both-bars rule, an
// oscillating layout), the wheel, dialog keys, focus on click, a control freed inside its own
// handlers, the internal drag-and-drop and the standard drag, font listeners, the capture
// object, metric changes and middle-button anchor scrolling, all through real input.
#include "qvControlsTestSupport.h"

namespace {

// Content of a given pixel size, scrolled by pixels, logging every scroll it is asked for.
class TContentControl : public TqvControl {
  QJ_INLINE_CLASS(TContentControl, TqvControl)
 public:
  explicit TContentControl(TComponent* AOwner) : TqvControl(AOwner) {}

  TSize Content{100, 100};
  TPoint Pos;
  bool AllowHide = true;
  // The page is measured with the bars as they are now, not with the computed ones.
  bool MeasureWithRealBars = false;
  // Pages this many times the client (big pages without a big window).
  Integer PageScale = 1;
  // The horizontal bar is wanted exactly while it is not shown.
  bool Flap = false;
  bool RefuseFocus = false;
  bool WithoutFocusToo = false;
  bool ArmsDragAndDrop = false;
  TqvMouseWheelScrollingKind WheelKind = mwskNone;
  TColor Paper = clNone;
  std::vector<std::string> Log;
  std::vector<TComponent*> Children;
  TPoint LastAfterMouseDown{-1, -1};

  void SetContent(Integer w, Integer h) {
    Content = {w, h};
    UpdateScrollBars();
  }
  using TqvControl::GetClientBounds;

 protected:
  bool IsPixelScrollBar(TScrollBarKind) const override { return true; }
  void InitScrollBarsParameters() override {
    if (Flap) {
      SetScrollBarInfo(sbHorizontal, 0, GetHScrollBar()->GetVisible() ? 50 : 500, 1, 100, 0, true, true);
      return;
    }
    TRect c = GetClientBounds();
    if (MeasureWithRealBars) {
      c = GetBounds();
      if (GetHScrollBar()->GetVisible()) c.Bottom -= GetHScrollBar()->GetHeight();
      if (GetVScrollBar()->GetVisible()) c.Right -= GetVScrollBar()->GetWidth();
    }
    SetScrollBarInfo(sbHorizontal, 0, Content.cx - 1, 1, c.Width() * PageScale, Pos.X, true, AllowHide);
    SetScrollBarInfo(sbVertical, 0, Content.cy - 1, 1, c.Height(), Pos.Y, true, AllowHide);
  }
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) override {
    Log.push_back(std::string(AKind == sbHorizontal ? "H " : "V ") + ScrollCodeName(ACode) + " " + std::to_string(APos));
    (AKind == sbHorizontal ? Pos.X : Pos.Y) = APos;
  }
  TqvMouseWheelScrollingKind GetMouseWheelScrollingKind() const override {
    return WheelKind != mwskNone ? WheelKind : TqvControl::GetMouseWheelScrollingKind();
  }
  bool IsFocused() override { return !RefuseFocus && TqvControl::IsFocused(); }
  bool AllowMouseDownWithoutFocus() const override { return WithoutFocusToo; }
  bool StartDragAndDrop(TPoint) override { return ArmsDragAndDrop; }
  void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) override {
    LastAfterMouseDown = {X, Y};
    TqvControl::AfterMouseDown(AButton, X, Y);
  }
  void AddChildComponent(TComponent* AChild) override {
    Children.push_back(AChild);
    TqvControl::AddChildComponent(AChild);
  }
  void RemoveChildComponent(TComponent* AChild) override {
    std::erase(Children, AChild);
    TqvControl::RemoveChildComponent(AChild);
  }
  void Paint() override {
    TqvControl::Paint();
    if (Paper == clNone) return;
    GetCanvas()->SetBrushColor(Paper);
    GetCanvas()->FillRect(GetBounds());
  }
};

// Controls and drag objects for single cases.
class TBare : public TqvControl {
  QJ_INLINE_CLASS(TBare, TqvControl)
 public:
  using TqvControl::TqvControl;
  bool HasScrollBars() const override { return false; }
};

class TUnfocusable : public TContentControl {
  QJ_INLINE_CLASS(TUnfocusable, TContentControl)
 public:
  using TContentControl::TContentControl;

 protected:
  bool MayFocus() const override { return false; }
};

// Refuses every standard drag it is asked to start.
class TRefusing : public TContentControl {
  QJ_INLINE_CLASS(TRefusing, TContentControl)
 public:
  using TContentControl::TContentControl;

 protected:
  bool StartDrag(TDragObject*) override { return false; }
};

// Counts the redraws its dirty flag asks for.
class TDirtyObject : public TqvDragAndDropObject {
  QJ_INLINE_CLASS(TDirtyObject, TqvDragAndDropObject)
 public:
  using TqvDragAndDropObject::TqvDragAndDropObject;
  int Changes = 0;

 protected:
  void DirtyChanged() override { ++Changes; }
};

// Frees its control when the operation ends.
class TFreeingObject : public TqvDragAndDropObject {
  QJ_INLINE_CLASS(TFreeingObject, TqvDragAndDropObject)
 public:
  using TqvDragAndDropObject::TqvDragAndDropObject;

 protected:
  void EndDragAndDrop(bool) override { Free(GetControl()); }
};

class Controls : public TqvControlsTest {
 protected:
  // A 200 x 150 control at (20, 20) on a shown form.
  TContentControl* MakeControl(Integer w = 200, Integer h = 150) {
    FForm = NewForm();
    TContentControl* c = Add<TContentControl>(FForm, Bounds(20, 20, w, h));
    Show(FForm);
    return c;
  }
  uint32_t Pixel(TControl* c, TPoint p) const {
    const TSurface* s = Headless::WindowSurface(FForm->GetHandle());
    RECT win;
    GetWindowRect(FForm->GetHandle(), &win);
    const TPoint screen = c->ClientToScreen(p);
    return s->Row(screen.Y - win.Top)[screen.X - win.Left] & 0xFFFFFF;
  }
  static uint32_t RGBOf(TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
  }

  TForm* FForm = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Scroll-bar layout

struct TLayoutCase {
  const char* Name;
  TSize Content;
  TScrollStyle ScrollBars;
  bool AllowHide;
  bool HVisible, VVisible, HEnabled, VEnabled, Grip;
  TRect ClientBounds;
};

void PrintTo(const TLayoutCase& c, std::ostream* os) { *os << c.Name; }

class ControlLayout : public Controls, public ::testing::WithParamInterface<TLayoutCase> {};

TEST_P(ControlLayout, BarsFollowTheContent) {
  const TLayoutCase& c = GetParam();
  TContentControl* control = MakeControl();
  control->AllowHide = c.AllowHide;
  control->SetScrollBars(c.ScrollBars);
  control->SetContent(c.Content.cx, c.Content.cy);
  EXPECT_EQ(control->IsHScrollBarVisible(), c.HVisible);
  EXPECT_EQ(control->IsVScrollBarVisible(), c.VVisible);
  EXPECT_EQ(control->GetSizeGrip()->GetVisible(), c.Grip);
  EXPECT_EQ(control->GetClientBounds(), c.ClientBounds);
  if (c.HVisible) {
    EXPECT_EQ(control->GetHScrollBar()->GetEnabled(), c.HEnabled);
    EXPECT_EQ(control->GetHScrollBar()->GetBoundsRect(), Rect(0, c.ClientBounds.Bottom, c.ClientBounds.Right, 150));
  }
  if (c.VVisible) {
    EXPECT_EQ(control->GetVScrollBar()->GetEnabled(), c.VEnabled);
    EXPECT_EQ(control->GetVScrollBar()->GetBoundsRect(), Rect(c.ClientBounds.Right, 0, 200, c.ClientBounds.Bottom));
  }
  if (c.Grip) {
    EXPECT_EQ(control->GetSizeGrip()->GetBoundsRect(), Rect(183, 133, 200, 150));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlLayout,
    ::testing::Values(
        TLayoutCase{"fits", {100, 100}, ssBoth, true, false, false, true, true, false, Rect(0, 0, 200, 150)},
        TLayoutCase{"exactly fits", {200, 150}, ssBoth, true, false, false, true, true, false, Rect(0, 0, 200, 150)},
        TLayoutCase{"wide", {300, 100}, ssBoth, true, true, false, true, true, false, Rect(0, 0, 200, 133)},
        TLayoutCase{"tall", {100, 300}, ssBoth, true, false, true, true, true, false, Rect(0, 0, 183, 150)},
        TLayoutCase{"wide only because the vertical bar takes room", {190, 160}, ssBoth, true, true, true, true, true,
                    true, Rect(0, 0, 183, 133)},
        TLayoutCase{"both", {300, 300}, ssBoth, true, true, true, true, true, true, Rect(0, 0, 183, 133)},
        TLayoutCase{"horizontal bars only", {300, 300}, ssHorizontal, true, true, false, true, true, false,
                    Rect(0, 0, 200, 133)},
        TLayoutCase{"no bars", {300, 300}, ssNone, true, false, false, true, true, false, Rect(0, 0, 200, 150)},
        TLayoutCase{"nothing to scroll and no hiding: disabled", {100, 100}, ssBoth, false, true, true, false, false,
                    true, Rect(0, 0, 183, 133)}));

TEST_F(Controls, ABorderNarrowsTheClientAndTheBarsSitInsideIt) {
  TContentControl* control = MakeControl();
  control->SetBorderStyle(qvcbsDefault);
  control->SetContent(300, 300);
  EXPECT_EQ(control->GetClientBounds(), Rect(1, 1, 182, 132)) << "the ultra-flat border is 1 pixel";
  EXPECT_EQ(control->GetHScrollBar()->GetBoundsRect(), Rect(1, 132, 182, 149));
  EXPECT_EQ(control->GetSizeGrip()->GetBoundsRect(), Rect(182, 132, 199, 149));
  control->GetLookAndFeel()->SetKind(lfStandard);
  control->UpdateScrollBars();
  EXPECT_EQ(control->GetClientBounds(), Rect(2, 2, 181, 131)) << "the standard border is 2 pixels";
}

TEST_F(Controls, TheBorderIsPaintedAndTheContentClippedInsideIt) {
  TContentControl* control = MakeControl();
  control->Paper = clRed;
  control->SetBorderStyle(qvcbsDefault);
  control->Repaint();
  EXPECT_EQ(Pixel(control, {0, 0}), RGBOf(clBtnShadow));
  EXPECT_EQ(Pixel(control, {199, 75}), RGBOf(clBtnShadow));
  EXPECT_EQ(Pixel(control, {1, 1}), RGBOf(clRed));
}

TEST_F(Controls, TwoBarsThatEachShowOnlyForTheOtherBothGo) {
  TContentControl* control = MakeControl();
  control->MeasureWithRealBars = true;
  control->SetContent(300, 300);
  ASSERT_TRUE(control->IsHScrollBarVisible() && control->IsVScrollBarVisible());
  control->SetContent(195, 145);
  EXPECT_FALSE(control->IsHScrollBarVisible());
  EXPECT_FALSE(control->IsVScrollBarVisible());
  EXPECT_FALSE(control->GetSizeGrip()->GetVisible());
  control->SetContent(300, 300);
  control->SetContent(195, 300);
  EXPECT_TRUE(control->IsHScrollBarVisible()) << "the content is taller than the control: both stay";
  EXPECT_TRUE(control->IsVScrollBarVisible());
}

TEST_F(Controls, AnOscillatingLayoutSettlesWithTheBarShownDisabled) {
  TContentControl* control = MakeControl();
  control->Flap = true;
  control->UpdateScrollBars();
  EXPECT_TRUE(control->IsHScrollBarVisible());
  EXPECT_FALSE(control->GetHScrollBar()->GetEnabled());
  EXPECT_FALSE(control->IsUpdatingScrollBars());
  control->UpdateScrollBars();
  EXPECT_TRUE(control->IsHScrollBarVisible()) << "the next layout comes to the same rest";
}

TEST_F(Controls, PagesBeyondSixteenBitsStillPageForward) {
  TContentControl* control = MakeControl(200, 150);
  control->PageScale = 300;
  control->SetContent(100000, 100);
  ASSERT_TRUE(control->IsHScrollBarVisible());
  EXPECT_EQ(control->GetHScrollBar()->GetLargeChange(), 32767);
  EXPECT_EQ(control->GetHScrollBar()->GetData().LargeChange, 32767);
}

TEST_F(Controls, ScrollBarMetricChangesResizeTheBars) {
  TContentControl* control = MakeControl();
  control->SetContent(300, 300);
  NONCLIENTMETRICS m;
  m.iScrollWidth = 25;
  m.iScrollHeight = 21;
  SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &m, SPIF_SENDCHANGE);
  Pump();
  EXPECT_EQ(control->GetVScrollBar()->GetWidth(), 25);
  EXPECT_EQ(control->GetHScrollBar()->GetHeight(), 21);
  EXPECT_EQ(control->GetClientBounds(), Rect(0, 0, 175, 129));
  m.iScrollWidth = m.iScrollHeight = 0;
  SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &m, SPIF_SENDCHANGE);
  Pump();
  EXPECT_EQ(control->GetVScrollBar()->GetWidth(), 17);
}

TEST_F(Controls, AControlWithoutScrollBarsHasNone) {
  FForm = NewForm();
  TBare* bare = Add<TBare>(FForm, Bounds(0, 0, 100, 100));
  Show(FForm);
  EXPECT_EQ(bare->GetHScrollBar(), nullptr);
  EXPECT_EQ(bare->GetSizeGrip(), nullptr);
  EXPECT_FALSE(bare->IsVScrollBarVisible());
  bare->UpdateScrollBars();
  EXPECT_EQ(bare->GetControlCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// Scrolling by the bars and the wheel

TEST_F(Controls, TheBarsScrollTheirControl) {
  TContentControl* control = MakeControl();
  control->SetContent(300, 300);
  TqvControlScrollBar* v = control->GetVScrollBar();
  Click(v, {8, v->GetHeight() - 5});
  EXPECT_EQ(control->Log, (std::vector<std::string>{"V LineDown 1", "V EndScroll 1"}));
  EXPECT_EQ(v->GetPosition(), 1);
  EXPECT_TRUE(control->Focused()) << "a click on a bar focuses its control";
}

struct TWheelCase {
  const char* Name;
  TSize Content;
  TqvMouseWheelScrollingKind Kind;
  int Delta;
  UINT Lines;
  std::vector<std::string> Log;
};

void PrintTo(const TWheelCase& c, std::ostream* os) { *os << c.Name; }

class ControlWheel : public Controls, public ::testing::WithParamInterface<TWheelCase> {};

TEST_P(ControlWheel, TurnsScrollLineByLine) {
  const TWheelCase& c = GetParam();
  UINT savedLines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &savedLines, 0);
  SystemParametersInfo(SPI_SETWHEELSCROLLLINES, c.Lines, nullptr, 0);
  TContentControl* control = MakeControl();
  control->SetContent(c.Content.cx, c.Content.cy);
  control->WheelKind = c.Kind;
  control->SetFocus();
  MoveTo(control, {50, 50});
  Headless::Wheel(c.Delta);
  Pump();
  SystemParametersInfo(SPI_SETWHEELSCROLLLINES, savedLines, nullptr, 0);
  EXPECT_EQ(control->Log, c.Log);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlWheel,
    ::testing::Values(
        TWheelCase{"down", {300, 300}, mwskNone, -120, 3, {"V LineDown 0", "V LineDown 0", "V LineDown 0"}},
        TWheelCase{"up", {300, 300}, mwskNone, 120, 3, {"V LineUp 0", "V LineUp 0", "V LineUp 0"}},
        TWheelCase{"one line", {300, 300}, mwskNone, -120, 1, {"V LineDown 0"}},
        TWheelCase{"no lines", {300, 300}, mwskNone, -120, 0, {}},
        TWheelCase{"no vertical bar", {300, 100}, mwskNone, -120, 3, {}},
        TWheelCase{"a horizontal wheel", {300, 100}, mwskHorizontal, -120, 2, {"H LineDown 0", "H LineDown 0"}}));

// ---------------------------------------------------------------------------------------------
// Keys, focus and the mouse

struct TDlgCodeCase {
  TqvDialogKeys Keys;
  LRESULT Code;
};

class ControlDialogKeys : public Controls, public ::testing::WithParamInterface<TDlgCodeCase> {};

TEST_P(ControlDialogKeys, AnswerTheKeysTheControlWants) {
  TContentControl* control = MakeControl();
  control->SetKeys(GetParam().Keys);
  EXPECT_EQ(SendMessage(control->GetHandle(), WM_GETDLGCODE, 0, 0), GetParam().Code);
}

INSTANTIATE_TEST_SUITE_P(Table, ControlDialogKeys,
                         ::testing::Values(TDlgCodeCase{0, 0}, TDlgCodeCase{dkBit(dkArrows) | dkBit(dkTab), 3},
                                           TDlgCodeCase{dkBit(dkChars), 0x80},
                                           TDlgCodeCase{dkBit(dkAllKeys) | dkBit(dkArrows) | dkBit(dkChars) | dkBit(dkTab),
                                                        4 + 1 + 0x80 + 2}));

TEST_F(Controls, AClickFocusesAControlThatMayHaveTheFocus) {
  TContentControl* control = MakeControl();
  auto* other = Add<TContentControl>(FForm, Bounds(250, 20, 100, 100));
  other->SetFocus();
  std::vector<std::string> log;
  control->OnFocusChanged = [&](TObject*) { log.push_back(control->Focused() ? "in" : "out"); };
  Click(control, {50, 50});
  EXPECT_TRUE(control->Focused());
  EXPECT_TRUE(control->GetTabStop());
  other->SetFocus();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"in", "out"}));
}

TEST_F(Controls, AControlThatMayNotFocusIsNoTabStopAndClicksLeaveTheFocus) {
  FForm = NewForm();
  TUnfocusable* control = Add<TUnfocusable>(FForm, Bounds(20, 20, 200, 150));
  Show(FForm);
  EXPECT_FALSE(control->GetTabStop()) << "TabStop starts as MayFocus says";
  Click(control, {50, 50});
  EXPECT_FALSE(control->Focused());
}

struct TRefusedFocusCase {
  const char* Name;
  bool WithoutFocusToo;
  std::vector<std::string> Log;
};

void PrintTo(const TRefusedFocusCase& c, std::ostream* os) { *os << c.Name; }

class ControlRefusedFocus : public Controls, public ::testing::WithParamInterface<TRefusedFocusCase> {};

TEST_P(ControlRefusedFocus, DropsTheMouseDownUnlessTheControlAllowsIt) {
  TContentControl* control = MakeControl();
  control->RefuseFocus = true;
  control->WithoutFocusToo = GetParam().WithoutFocusToo;
  std::vector<std::string> log;
  control->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { log.push_back("down"); };
  Down(control, {50, 50});
  EXPECT_EQ(log, GetParam().Log);
  EXPECT_EQ(GetCapture() == control->GetHandle(), GetParam().WithoutFocusToo) << "a dropped press releases the capture";
  Up();
}

INSTANTIATE_TEST_SUITE_P(Table, ControlRefusedFocus,
                         ::testing::Values(TRefusedFocusCase{"dropped", false, {}},
                                           TRefusedFocusCase{"allowed without focus", true, {"down"}}));

struct TFreeInHandlerCase {
  const char* Name;
  void (*Arm)(TContentControl*);
};

void PrintTo(const TFreeInHandlerCase& c, std::ostream* os) { *os << c.Name; }

class ControlFreedInHandler : public Controls, public ::testing::WithParamInterface<TFreeInHandlerCase> {};

// Freed inside its own handler, the control stops there: nothing touches it afterwards (the
// sanitizer build watches for it).
TEST_P(ControlFreedInHandler, EndsTheOperationQuietly) {
  TContentControl* control = MakeControl();
  control->SetContent(300, 300);
  Add<TContentControl>(FForm, Bounds(250, 20, 100, 100))->SetFocus();
  TAliveToken alive = control->AliveToken();
  GetParam().Arm(control);
  Click(control, {50, 50});
  MoveTo(FForm, {300, 250});
  EXPECT_FALSE(alive.Alive()) << GetParam().Name;
  EXPECT_EQ(GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlFreedInHandler,
    ::testing::Values(
        TFreeInHandlerCase{"mouse down", [](TContentControl* c) {
                             c->OnMouseDown = [](TObject* s, TMouseButton, TShiftState, Integer, Integer) { Free(s); };
                           }},
        TFreeInHandlerCase{"mouse up", [](TContentControl* c) {
                             c->OnMouseUp = [](TObject* s, TMouseButton, TShiftState, Integer, Integer) { Free(s); };
                           }},
        TFreeInHandlerCase{"focus change", [](TContentControl* c) { c->OnFocusChanged = [](TObject* s) { Free(s); }; }},
        TFreeInHandlerCase{"click", [](TContentControl* c) { c->OnClick = [](TObject* s) { Free(s); }; }}));

TEST_F(Controls, AtDesignTimeOnlyARunningOperationOrTheBarsTakeTheMouse) {
  TContentControl* control = MakeControl();
  control->SetContent(300, 300);
  control->SetDesigning(true);
  EXPECT_EQ(control->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(10, 10)), 0);
  EXPECT_EQ(control->GetVScrollBar()->Perform(CM_DESIGNHITTEST, 0, 0), 1);
  control->SetDesigning(false);
  EXPECT_EQ(control->Perform(WM_ERASEBKGND, 0, 0), 1) << "no background of its own: nothing erased";
}

TEST_F(Controls, AControlWiderThanSixteenBitsGetsTheTruePoint) {
  FForm = NewForm();
  TContentControl* control = Add<TContentControl>(FForm, Bounds(-39700, 20, 40000, 100));
  Show(FForm);
  Click(control, {39800, 10});
  EXPECT_EQ(control->LastAfterMouseDown, (TPoint{39800, 10}));
  control->SetContent(100000, 50);
  ASSERT_TRUE(control->IsHScrollBarVisible()) << "a bar too long for an off-screen bitmap";
  control->Repaint();
  EXPECT_EQ(Pixel(control, {39985, 86}), RGBOf(clBtnFace)) << "paints straight onto its window";
}

TEST_F(Controls, EnteringAndLeavingAreReportedOnce) {
  TContentControl* control = MakeControl();
  std::vector<std::string> log;
  control->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  control->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
  MoveTo(control, {50, 50});
  MoveTo(control, {60, 50});
  MoveTo(FForm, {300, 250});
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(Controls, FontListenersHearTheControlsFontChange) {
  struct TListener : IqvFontListener {
    std::vector<TFont*> Fonts;
    void FontChanged(TObject*, TFont* AFont) override { Fonts.push_back(AFont); }
  } first, second;
  TContentControl* control = MakeControl();
  control->AddFontListener(&first);
  control->AddFontListener(&second);
  control->AddFontListener(&first);
  control->GetFont()->SetSize(14);
  control->RemoveFontListener(&second);
  control->GetFont()->SetSize(15);
  EXPECT_EQ(first.Fonts, (std::vector<TFont*>{control->GetFont(), control->GetFont()}));
  EXPECT_EQ(second.Fonts, (std::vector<TFont*>{control->GetFont()}));
}

TEST_F(Controls, TheCaptureObjectHearsWhenAnotherTakesTheCapture) {
  struct TCaptureObject : TObject, IqvMouseCaptureObject {
    int Lost = 0;
    void CaptureLost() override { ++Lost; }
  };
  TContentControl* control = MakeControl();
  TCaptureObject first, second;
  control->SetMouseCaptureObject(&first);
  EXPECT_EQ(GetCapture(), control->GetHandle());
  control->SetMouseCaptureObject(&second);
  EXPECT_EQ(first.Lost, 1);
  control->SetMouseCaptureObject(nullptr);
  EXPECT_EQ(second.Lost, 1);
  EXPECT_EQ(GetCapture(), nullptr);
  control->SetMouseCaptureObject(&first);
  Click(control, {50, 50});
  EXPECT_EQ(control->GetMouseCaptureObject(), nullptr) << "a mouse-up ends the mouse operation";
}

TEST_F(Controls, TheCanvasIsTheScreensUntilTheWindowExists) {
  auto control = MakeOwned<TContentControl>(nullptr);
  TqvCanvas* measuring = control->GetCanvas();
  EXPECT_TRUE(measuring->InheritsFrom<TqvScreenCanvas>());
  EXPECT_GT(measuring->TextWidth("Qq"), 0);
  FForm = NewForm();
  control->SetParent(FForm);
  control->HandleNeeded();
  EXPECT_FALSE(control->GetCanvas()->InheritsFrom<TqvScreenCanvas>());
  control->SetParent(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Internal drag and drop

// Logs every step of the operation into its control's log.
class TLoggingDragObject : public TqvDragAndDropObject {
  QJ_INLINE_CLASS(TLoggingDragObject, TqvDragAndDropObject)
 public:
  using TqvDragAndDropObject::TqvDragAndDropObject;
  static inline bool Immediate = false;
  bool GetImmediateStart() override { return Immediate; }

 protected:
  void Add(const std::string& s) { static_cast<TContentControl*>(GetControl())->Log.push_back(s); }
  static std::string At(TPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; }
  void BeginDragAndDrop() override {
    Add("begin " + At(GetCurMousePos()));
    TqvDragAndDropObject::BeginDragAndDrop();
  }
  void DragAndDrop(TPoint P, bool& Accepted) override {
    Add("drag " + At(P) + " from " + At(GetPrevMousePos()));
    Accepted = P.X < 100;
    TqvDragAndDropObject::DragAndDrop(P, Accepted);
  }
  void AfterDragAndDrop(bool Accepted) override {
    Add(std::string("after ") + (Accepted ? "accepted" : "refused"));
    TqvDragAndDropObject::AfterDragAndDrop(Accepted);
  }
  void EndDragAndDrop(bool Accepted) override { Add(std::string("end ") + (Accepted ? "accepted" : "refused")); }
};

class ControlDragAndDrop : public Controls {
 protected:
  TContentControl* Armed() {
    TLoggingDragObject::Immediate = false;
    TContentControl* control = MakeControl();
    control->ArmsDragAndDrop = true;
    control->SetDragAndDropObjectClass(&TLoggingDragObject::StaticClass());
    return control;
  }
};

TEST_F(ControlDragAndDrop, StartsOutsideTheDragSquareAndEndsAcceptedOnRelease) {
  TContentControl* control = Armed();
  Down(control, {50, 50});
  EXPECT_EQ(control->GetDragAndDropState(), ddsPressed);
  MoveTo(control, {53, 52});
  EXPECT_EQ(control->GetDragAndDropState(), ddsPressed) << "inside the drag threshold";
  MoveTo(control, {60, 50});
  EXPECT_EQ(control->GetDragAndDropState(), ddsDragging);
  EXPECT_EQ(Screen->GetCursor(), crDrag);
  MoveTo(control, {120, 50});
  EXPECT_EQ(Screen->GetCursor(), crNoDrop);
  Up();
  EXPECT_EQ(control->Log, (std::vector<std::string>{"begin (60,50)", "drag (60,50) from (60,50)",
                                                     "drag (120,50) from (60,50)", "after accepted", "end accepted"}));
  EXPECT_EQ(control->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(Screen->GetCursor(), crDefault) << "the cursor before the drag comes back";
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlDragAndDrop, EscapeEndsItRefusedAndRestoresTheCursor) {
  TContentControl* control = Armed();
  Screen->SetCursor(crHandPoint);
  Down(control, {50, 50});
  MoveTo(control, {70, 50});
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(control->Log.back(), "end refused");
  EXPECT_EQ(control->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(Screen->GetCursor(), crHandPoint);
  Up();
  EXPECT_EQ(control->Log.back(), "end refused") << "the release after it finishes nothing";
}

TEST_F(ControlDragAndDrop, CancelModeEndsItRefused) {
  TContentControl* control = Armed();
  Down(control, {50, 50});
  MoveTo(control, {70, 50});
  control->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_EQ(control->Log.back(), "end refused");
  Up();
}

TEST_F(ControlDragAndDrop, AnObjectAskingForAnImmediateStartBeginsAtThePress) {
  TContentControl* control = Armed();
  TLoggingDragObject::Immediate = true;
  Down(control, {50, 50});
  EXPECT_EQ(control->GetDragAndDropState(), ddsDragging);
  Up();
  EXPECT_EQ(control->Log.front(), "begin (50,50)");
  TLoggingDragObject::Immediate = false;
}

TEST_F(ControlDragAndDrop, AReleaseInsideTheSquareIsAClick) {
  TContentControl* control = Armed();
  int clicks = 0;
  control->OnClick = [&](TObject*) { ++clicks; };
  Click(control, {50, 50});
  EXPECT_TRUE(control->Log.empty());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(control->GetDragAndDropState(), ddsNone);
}

TEST_F(ControlDragAndDrop, TheObjectsDirtyFlagFollowsItsSteps) {
  TContentControl* control = MakeControl();
  TDirtyObject object(control);
  EXPECT_EQ(object.GetCurMousePos(), (TPoint{-1, -1}));
  EXPECT_EQ(object.GetDragAndDropCursor(true), crDrag);
  EXPECT_EQ(object.GetDragAndDropCursor(false), crNoDrop);
  MoveTo(control, {30, 40});
  object.DoBeginDragAndDrop();
  EXPECT_EQ(object.GetCurMousePos(), (TPoint{30, 40}));
  EXPECT_EQ(object.GetPrevMousePos(), (TPoint{30, 40}));
  EXPECT_EQ(object.Changes, 1) << "the start redraws";
  bool accepted = true;
  object.DoDragAndDrop({35, 45}, accepted);
  EXPECT_FALSE(object.GetDirty());
  object.DoEndDragAndDrop(true);
  EXPECT_TRUE(object.GetDirty());
  EXPECT_EQ(object.Changes, 2);
}

TEST_F(ControlDragAndDrop, AControlFreedWhenTheOperationEndsStopsThere) {
  TContentControl* control = MakeControl();
  control->ArmsDragAndDrop = true;
  control->SetDragAndDropObjectClass(&TFreeingObject::StaticClass());
  TAliveToken alive = control->AliveToken();
  Down(control, {50, 50});
  MoveTo(control, {70, 50});
  Up();
  EXPECT_FALSE(alive.Alive());
}

// ---------------------------------------------------------------------------------------------
// Standard drag

TEST_F(Controls, AnAutomaticDragStartsOnceThePointerLeavesTheSquareAndCopiesWithCtrl) {
  TContentControl* control = MakeControl();
  control->SetDragMode(dmAutomatic);
  auto* target = Add<TContentControl>(FForm, Bounds(250, 20, 100, 100));
  TObject* dropped = nullptr;
  target->OnDragOver = [](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) { accept = true; };
  target->OnDragDrop = [&](TObject*, TObject* source, Integer, Integer) { dropped = source; };
  const TPoint start = control->ClientToScreen({50, 50});
  RunWhenIdle({[&] { Headless::MoveMouse(start.X + 3, start.Y); }, [&] { Headless::MoveMouse(start.X + 12, start.Y); }});
  Down(control, {50, 50});
  Headless::SetIdleHandler(nullptr);
  EXPECT_TRUE(control->Dragging()) << "the pointer left the square of twice the threshold";
  Headless::KeyDown(VK_CONTROL);
  MoveTo(target, {50, 50});
  EXPECT_EQ(GetCursor(), Screen->GetCursors(crqvDragCopy));
  Headless::KeyUp(VK_CONTROL);
  MoveTo(target, {52, 50});
  EXPECT_EQ(GetCursor(), Screen->GetCursors(crDrag));
  Up();
  EXPECT_EQ(dropped, control);
  EXPECT_FALSE(control->Dragging());
}

TEST_F(Controls, AnAutomaticDragThatIsReleasedInTheSquareIsAClick) {
  TContentControl* control = MakeControl();
  control->SetDragMode(dmAutomatic);
  int clicks = 0;
  control->OnClick = [&](TObject*) { ++clicks; };
  RunWhenIdle({[] { Headless::MouseUp(); }});
  Down(control, {50, 50});
  Headless::SetIdleHandler(nullptr);
  EXPECT_FALSE(control->Dragging());
  EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, AStandardDragTheControlRefusesIsCancelled) {
  FForm = NewForm();
  TRefusing* control = Add<TRefusing>(FForm, Bounds(20, 20, 200, 150));
  Show(FForm);
  control->BeginDrag(false, 2);
  MoveTo(control, {50, 50});
  MoveTo(control, {60, 60});
  EXPECT_FALSE(control->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Anchor scrolling

class ControlAnchorScrolling : public Controls {
 protected:
  TContentControl* Scrollable(TSize content = {600, 600}) {
    TContentControl* control = MakeControl();
    control->SetContent(content.cx, content.cy);
    control->SetFocus();
    FAnchor = control->ClientToScreen({100, 70});
    return control;
  }
  void MoveBy(Integer dx, Integer dy) { Headless::MoveMouse(FAnchor.X + dx, FAnchor.Y + dy); }
  size_t Count(TContentControl* c, const std::string& s) { return size_t(std::count(c->Log.begin(), c->Log.end(), s)); }
  TPoint FAnchor;
};

TEST_F(ControlAnchorScrolling, AFarPointerScrollsEveryTickAndReleasingEnds) {
  TContentControl* control = Scrollable();
  String anchorClass;
  HCURSOR idle = nullptr, moving = nullptr;
  RunWhenIdle({[&] {
                 anchorClass = GetClassName(WindowFromPoint(FAnchor));
                 idle = GetCursor();
                 MoveBy(0, 14 + 55);
               },
               [&] { moving = GetCursor(); }, [] {}, [] {}, [] { Headless::MouseUp(2); }});
  Down(control, {100, 70}, 2);
  EXPECT_EQ(anchorClass, "STATIC") << "the anchor window sits at the pointer";
  EXPECT_EQ(idle, Screen->GetCursors(crqvFullScroll));
  EXPECT_EQ(moving, Screen->GetCursors(crqvDownScroll));
  EXPECT_EQ(Count(control, "V LineDown 0"), 3u) << "speed 12: one line every 20 ms tick";
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(WindowFromPoint(FAnchor), control->GetHandle()) << "and goes with the mode";
}

TEST_F(ControlAnchorScrolling, ANearerPointerScrollsSlower) {
  TContentControl* control = Scrollable();
  std::vector<std::function<void()>> steps = {[&] { MoveBy(-(14 + 25), 0); }};
  for (int i = 0; i < 14; ++i) steps.push_back([] {});
  steps.push_back([] { Headless::MouseUp(2); });
  RunWhenIdle(steps);
  Down(control, {100, 70}, 2);
  EXPECT_EQ(control->Log, (std::vector<std::string>{"H LineUp 0", "H LineUp 0"})) << "speed 6: every 7 ticks";
}

TEST_F(ControlAnchorScrolling, AMiddleClickWithoutMovementStaysOnUntilEscape) {
  TContentControl* control = Scrollable();
  bool escaped = false;
  RunWhenIdle({[] { Headless::MouseUp(2); }, [] {}, [&] {
                 escaped = true;
                 Headless::PressKey(VK_ESCAPE);
               }});
  Down(control, {100, 70}, 2);
  EXPECT_TRUE(escaped) << "the release without a move kept the mode on";
  EXPECT_TRUE(control->Log.empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlAnchorScrolling, AnotherButtonEndsItWithoutReachingTheControl) {
  TContentControl* control = Scrollable();
  std::vector<std::string> buttons;
  control->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, Integer, Integer) {
    buttons.push_back(std::to_string(b));
  };
  RunWhenIdle({[] { Headless::MouseUp(2); }, [] { Headless::MouseDown(0); }});
  Down(control, {100, 70}, 2);
  Headless::SetIdleHandler(nullptr);
  Headless::MouseUp(0);
  Pump();
  EXPECT_EQ(buttons, (std::vector<std::string>{"2"})) << "the left press that ended the mode was swallowed";
}

TEST_F(ControlAnchorScrolling, InTheNeutralZoneNothingScrolls) {
  TContentControl* control = Scrollable();
  RunWhenIdle({[&] { MoveBy(5, 5); }, [] {}, [] {}, [] {}, [] { Headless::PressKey(VK_ESCAPE); }});
  Down(control, {100, 70}, 2);
  EXPECT_TRUE(control->Log.empty());
}

TEST_F(ControlAnchorScrolling, WithoutAVerticalBarTheVerticalAxisIsNeutral) {
  TContentControl* control = Scrollable({600, 100});
  RunWhenIdle({[&] { MoveBy(0, 200); }, [] {}, [&] { MoveBy(80, 200); }, [] {}, [] { Headless::PressKey(VK_ESCAPE); }});
  Down(control, {100, 70}, 2);
  EXPECT_EQ(control->Log, (std::vector<std::string>{"H LineDown 0"}));
}

TEST_F(ControlAnchorScrolling, WithoutBarsTheModeDoesNotStart) {
  TContentControl* control = Scrollable({50, 50});
  Down(control, {100, 70}, 2);
  EXPECT_EQ(GetCapture(), nullptr) << "nothing waits for input";
  Up(2);
}

// ---------------------------------------------------------------------------------------------
// Child components

TEST_F(Controls, ChildComponentsAttachToTheirControlAndDetachWhenEitherGoes) {
  TContentControl* control = MakeControl();
  auto* child = New<TqvControlChildComponent>(control, true);
  EXPECT_EQ(child->Owner(), FForm) << "owned by the control's owner";
  EXPECT_EQ(child->GetControl(), control);
  EXPECT_EQ(child->GetParentComponent(), control);
  EXPECT_TRUE(child->HasParent());
  Free(child);
  auto* streamed = New<TqvControlChildComponent>(nullptr);
  streamed->SetParentComponent(control);
  EXPECT_EQ(control->Children, (std::vector<TComponent*>{streamed}));
  EXPECT_EQ(streamed->GetControl(), control);
  Free(control);
  EXPECT_EQ(streamed->GetControl(), nullptr) << "the control went first";
  EXPECT_FALSE(streamed->HasParent());
  Free(streamed);
}

TEST_F(Controls, AFreedChildComponentLeavesItsControl) {
  TContentControl* control = MakeControl();
  auto* child = New<TqvControlChildComponent>(nullptr);
  child->SetParentComponent(control);
  auto* unowned = New<TqvControlChildComponent>(control, false);
  EXPECT_EQ(unowned->Owner(), nullptr);
  Free(child);
  EXPECT_TRUE(control->Children.empty());
  Free(unowned);
}

}  // namespace
