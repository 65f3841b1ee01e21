// The panel styles on painted bars: the base style's font, colour and copying; the text style's
// alignment, ellipses, image, hint panel and text event; state indicators side by side; keyboard
// states with the window system's keys (Insert toggled, a held lock key, the watcher's repaint,
// a bar freed while a key changes); a container panel placing its control.
#include "StatusBarTestSupport.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/ImgList.h"

namespace {

class PanelStyles : public TStatusBarTest {
 protected:
  void SetUp() override {
    TStatusBarTest::SetUp();
    FForm = NewForm(400, 100, bsDialog);  // no grip
    FBar = AddBar(FForm);
  }
  template <class T>
  T* AddStyled(const char* AClassName, Integer AWidth = 0) {
    TzmStatusBarPanel* panel = AddPanel(FBar, AClassName);
    if (AWidth) panel->SetWidth(AWidth);
    return static_cast<T*>(panel->GetPanelStyle());
  }
  // The bounding box of the pixels of a colour within R of the bar.
  TRect InkOf(TColor AColor, const TRect& R) const {
    TRect box{R.Right, R.Bottom, R.Left, R.Top};
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (ControlPixel(FBar, {x, y}) == Rgb(AColor)) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box.Right <= box.Left ? TRect() : box;
  }

  TForm* FForm = nullptr;
  TzmStatusBar* FBar = nullptr;
};

// ------------------------------------------------------------------ base style

TEST_F(PanelStyles, FontFollowsTheBarUntilSetAndColourUntilAssigned) {
  auto* style = AddStyled<TzmStatusBarTextPanelStyle>("TzmStatusBarTextPanelStyle");
  EXPECT_TRUE(style->GetParentFont());
  FBar->GetFont()->SetSize(14);
  EXPECT_EQ(style->GetFont()->GetSize(), 14);
  style->GetFont()->SetStyle(fsBold);
  EXPECT_FALSE(style->GetParentFont()) << "a font of its own";
  FBar->GetFont()->SetSize(9);
  EXPECT_EQ(style->GetFont()->GetSize(), 14);
  style->SetParentFont(true);
  EXPECT_EQ(style->GetFont()->GetSize(), 9);
  EXPECT_EQ(style->GetColor(), clBtnFace);
  EXPECT_FALSE(style->IsColorAssigned());
  FBar->SetColor(clYellow);
  EXPECT_EQ(style->GetColor(), clYellow);
  style->SetColor(clAqua);
  EXPECT_EQ(style->GetColor(), clAqua);
  style->RestoreDefaults();
  EXPECT_FALSE(style->IsColorAssigned());
}

TEST_F(PanelStyles, AssignCopiesAlignmentAssignedColourAndOwnFont) {
  auto* source = AddStyled<TzmStatusBarTextPanelStyle>("TzmStatusBarTextPanelStyle");
  auto* target = AddStyled<TzmStatusBarTextPanelStyle>("TzmStatusBarTextPanelStyle");
  source->SetAlignment(taCenter);
  source->SetColor(clAqua);
  source->GetFont()->SetSize(20);
  source->SetEllipsisType(zmetSmartPath);
  source->SetImageIndex(3);
  target->SetAutoHint(true);
  target->Assign(source);
  EXPECT_EQ(target->GetAlignment(), taCenter);
  EXPECT_EQ(target->GetColor(), clAqua);
  EXPECT_FALSE(target->GetParentFont());
  EXPECT_EQ(target->GetFont()->GetSize(), 20);
  EXPECT_EQ(target->GetEllipsisType(), zmetSmartPath);
  EXPECT_EQ(target->GetImageIndex(), 3);
  EXPECT_FALSE(target->GetAutoHint()) << "the defaults first";
  TzmStatusBarPanel* keys = AddPanel(FBar, "TzmStatusBarKeyboardStatePanelStyle");
  keys->SetPanelStyle(source);
  EXPECT_EQ(keys->GetPanelStyle()->GetAlignment(), taCenter) << "a style of another kind gives the common part";
}

// ------------------------------------------------------------------ text style

TEST_F(PanelStyles, TextIsAlignedInsideTwoPixelMargins) {
  TzmStatusBarPanel* left = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  TzmStatusBarPanel* right = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  left->SetWidth(200);
  left->SetText("WWW");
  right->SetText("WWW");
  right->GetPanelStyle()->SetAlignment(taRightJustify);
  Show(FForm);
  const TRect l = ControlInkBox(FBar, Rect(1, 3, 199, 19), clBtnFace), r = ControlInkBox(FBar, Rect(203, 3, 399, 19), clBtnFace);
  ASSERT_FALSE(l.IsEmpty());
  ASSERT_FALSE(r.IsEmpty());
  EXPECT_LE(l.Left, 1 + 2 + 1) << "inside the bevel and the margin";
  EXPECT_GE(l.Left, 1 + 2);
  EXPECT_GE(r.Right, 399 - 2 - 1);
  EXPECT_LE(r.Right, 399 - 2);
  EXPECT_NEAR((l.Top + l.Bottom) / 2, 11, 2) << "centred in the panel area below the margin";
}

TEST_F(PanelStyles, EllipsesCutALongTextAtTheEndOrInThePath) {
  const String path =
      "C:\\Receivers\\Satellite\\Channel lists\\Backups\\autumn 2023\\before the update\\channels.dat";
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  panel->SetText(path);
  auto* style = static_cast<TzmStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  style->SetAlignment(taRightJustify);
  style->SetEllipsisType(zmetTruncate);
  Show(FForm);
  TqvCanvas* canvas = FBar->GetCanvas();
  canvas->SetFont(style->GetFont());
  ASSERT_GT(canvas->TextWidth(path), 400) << "longer than the panel";
  const TRect text = ControlInkBox(FBar, Rect(1, 3, 399, 19), clBtnFace);
  EXPECT_GE(text.Left, 3) << "cut inside the margins";
  EXPECT_LE(text.Right, 397);
  EXPECT_GT(text.Width(), 300);
  // The last pixels of the line: three dots on the baseline, or the tall letters of the file name.
  const TRect end = ControlInkBox(FBar, Rect(text.Right - 8, 3, text.Right, 19), clBtnFace);
  EXPECT_LE(end.Height(), 3) << "an end ellipsis";
  style->SetEllipsisType(zmetSmartPath);
  Repaint(FBar);
  const TRect pathEnd = ControlInkBox(FBar, Rect(390, 3, 397, 19), clBtnFace);
  EXPECT_GT(pathEnd.Height(), 5) << "a path ellipsis keeps \"channels.dat\" at the end";
  EXPECT_TRUE(Shows(FBar, Rect(3, 3, 397, 19), clWindowText));
}

TEST_F(PanelStyles, AnImageOfTheBarsListComesBeforeTheText) {
  auto* images = New<TImageList>(FForm);
  images->SetSize(16, 16);
  TBitmap green;
  green.SetPixelFormat(pf32bit);
  green.SetSize(16, 16);
  green.GetCanvas()->GetBrush()->SetColor(clLime);
  green.GetCanvas()->FillRect(Rect(0, 0, 16, 16));
  images->Add(&green, nullptr);
  FBar->SetImages(images);
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  panel->SetText("WWW");
  auto* style = static_cast<TzmStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  style->SetImageIndex(0);
  Show(FForm);
  EXPECT_EQ(InkOf(clLime, Rect(0, 0, 100, 20)), Rect(2, 3, 18, 19)) << "x = R.Left + 1, centred";
  EXPECT_GE(ControlInkBox(FBar, Rect(18, 3, 100, 19), clBtnFace).Left, 1 + 16 + 2 + 2) << "the text after the image";
  style->SetImageIndex(1);
  Repaint(FBar);
  EXPECT_EQ(InkOf(clLime, Rect(0, 0, 100, 20)), TRect()) << "an index equal to the count draws nothing";
  EXPECT_LE(ControlInkBox(FBar, Rect(1, 3, 100, 19), clBtnFace).Left, 4) << "and the text stays at the left";
}

TEST_F(PanelStyles, OnGetTextReplacesTheTextInTheNarrowedRectangle) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  panel->SetText("");
  auto* style = static_cast<TzmStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  TRect seen;
  style->OnGetText = [&](TObject* Sender, const TRect& R, String& AText) {
    EXPECT_EQ(Sender, style);
    seen = R;
    AText = "Receiver 192.168.0.10:9000";
  };
  FBar->GetFont()->SetColor(clRed);
  Show(FForm);
  EXPECT_EQ(seen, Rect(3, 3, 397, 19));
  EXPECT_TRUE(Shows(FBar, Rect(3, 3, 100, 19), clRed));
}

TEST_F(PanelStyles, DisabledBarsGreyTheirText) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarTextPanelStyle");
  panel->SetText("WWWW");
  FBar->GetFont()->SetColor(clRed);
  FBar->SetEnabled(false);
  Show(FForm);
  EXPECT_FALSE(Shows(FBar, Rect(3, 3, 100, 19), clRed));
  EXPECT_TRUE(Shows(FBar, Rect(3, 3, 100, 19), clBtnShadow)) << "embossed";
}

TEST_F(PanelStyles, OnlyOneTextPanelTakesHints) {
  auto* first = AddStyled<TzmStatusBarTextPanelStyle>("TzmStatusBarTextPanelStyle");
  auto* second = AddStyled<TzmStatusBarTextPanelStyle>("TzmStatusBarTextPanelStyle");
  first->SetAutoHint(true);
  second->SetAutoHint(true);
  EXPECT_FALSE(first->GetAutoHint());
  EXPECT_TRUE(second->GetAutoHint());
  second->SetAutoHint(false);
  EXPECT_FALSE(second->GetAutoHint());
}

// ------------------------------------------------------------------ state indicators

TEST_F(PanelStyles, IndicatorsSitSideBySideSpacingApart) {
  auto* style = AddStyled<TzmStatusBarStateIndicatorPanelStyle>("TzmStatusBarStateIndicatorPanelStyle");
  EXPECT_EQ(style->GetSpacing(), 4);
  EXPECT_EQ(style->GetMinWidth(), 20) << "no indicators";
  style->GetIndicators()->Add()->SetIndicatorType(sitRed);
  TzmStatusBarStateIndicatorItem* hidden = style->GetIndicators()->Add();
  hidden->SetVisible(false);
  style->GetIndicators()->Add()->SetIndicatorType(sitGreen);
  EXPECT_EQ(style->GetMinWidth(), 44) << "two visible 16-pixel lamps";
  TzmStatusBarPanel* panel = style->GetPanel();
  EXPECT_EQ(panel->GetWidth(), 46) << "and the bevel";
  AddPanel(FBar);
  Show(FForm);
  const TRgb red = ControlPixel(FBar, {1 + 4 + 8, 11}), green = ControlPixel(FBar, {1 + 4 + 20 + 8, 11});
  EXPECT_NE(red, green);
  EXPECT_NE(red, Rgb(clBtnFace));
  EXPECT_NE(green, Rgb(clBtnFace));
  EXPECT_EQ(ControlPixel(FBar, {1 + 4 + 16 + 2, 11}), Rgb(clBtnFace)) << "the spacing between them";
  style->SetSpacing(10);
  EXPECT_EQ(panel->GetWidth(), 10 + 26 + 26 + 2);
}

// ------------------------------------------------------------------ keyboard states

class KeyboardStatePanel : public PanelStyles {
 protected:
  void SetUp() override {
    PanelStyles::SetUp();
    FStyle = AddStyled<TzmStatusBarKeyboardStatePanelStyle>("TzmStatusBarKeyboardStatePanelStyle");
    AddPanel(FBar);
    for (TzmStatusBarKeyboardState key : {zmksCapsLock, zmksNumLock, zmksScrollLock, zmksInsert}) {
      FStyle->GetKeyAppearance(key)->SetActiveFontColor(clRed);
      FStyle->GetKeyAppearance(key)->SetInactiveFontColor(clBlue);
    }
    Show(FForm);
    FForm->SetFocus();
  }
  // The cells of the shown keys, left to right, in the bar's client coordinates.
  std::vector<TRect> Cells() {
    std::vector<TRect> cells;
    TqvCanvas* canvas = FBar->GetCanvas();
    canvas->SetFont(FStyle->GetFont());
    Integer x = 0;  // the panel has no bevel of its own; the cells have theirs
    for (TzmStatusBarKeyboardState key : {zmksCapsLock, zmksNumLock, zmksScrollLock, zmksInsert}) {
      if (!(FStyle->GetKeyboardStates() & zmksBit(key))) continue;
      const Integer w = FStyle->GetKeyAppearance(key)->GetCellWidth(canvas) + 2;
      cells.push_back(Rect(x, 2, x + w, 20));
      x += w + 2;
    }
    return cells;
  }

  TzmStatusBarKeyboardStatePanelStyle* FStyle = nullptr;
};

TEST_F(KeyboardStatePanel, KeysAndAppearancesStartAsListed) {
  EXPECT_EQ(FStyle->GetKeyboardStates(), zmksAll);
  EXPECT_FALSE(FStyle->GetFullRect());
  EXPECT_TRUE(FStyle->HasOwnBorders());
  EXPECT_FALSE(FStyle->CanSizing());
  const char* const active[] = {"CAPS", "NUM", "SCRL", "OVR"};
  const char* const inactive[] = {"CAPS", "NUM", "SCRL", "INS"};
  const Word codes[] = {20, 144, 145, 45};
  for (TzmStatusBarKeyboardState key : {zmksCapsLock, zmksNumLock, zmksScrollLock, zmksInsert}) {
    TzmStatusBarKeyStateAppearance* a = FStyle->GetKeyAppearance(key);
    EXPECT_EQ(a->GetKey(), key);
    EXPECT_EQ(a->GetCode(), codes[key]);
    EXPECT_EQ(a->GetActiveCaption(), active[key]);
    EXPECT_EQ(a->GetInactiveCaption(), inactive[key]);
  }
  auto* fresh = AddStyled<TzmStatusBarKeyboardStatePanelStyle>("TzmStatusBarKeyboardStatePanelStyle");
  EXPECT_EQ(fresh->GetInsertKeyAppearance()->GetActiveFontColor(), fresh->GetFont()->GetColor());
  EXPECT_EQ(fresh->GetInsertKeyAppearance()->GetInactiveFontColor(), clBtnShadow);
  ASSERT_NE(fresh->GetNotifier(), nullptr);
  EXPECT_EQ(fresh->GetNotifier()->GetWatchedKeys().size(), 4u);
}

TEST_F(KeyboardStatePanel, MinimumWidthIsTheCellsAndTheGapsBetweenThem) {
  const std::vector<TRect> cells = Cells();
  EXPECT_EQ(FStyle->GetMinWidth(), cells.back().Right - cells.front().Left);
  FStyle->SetKeyboardStates(zmksBit(zmksInsert));
  EXPECT_EQ(FStyle->GetMinWidth(), Cells()[0].Width());
  FStyle->SetFullRect(true);
  EXPECT_EQ(FStyle->GetMinWidth(), Cells()[0].Width() - 2) << "no cell borders";
  FStyle->SetKeyboardStates(0);
  EXPECT_EQ(FStyle->GetMinWidth(), 50);
}

TEST_F(KeyboardStatePanel, InsertToggledOnShowsOvrInTheActiveColour) {
  const TRect insertCell = Cells()[3];
  EXPECT_TRUE(ShowsInk(FBar, insertCell, clBlue));
  EXPECT_FALSE(ShowsInk(FBar, insertCell, clRed));
  Headless::PressKey(VK_INSERT);
  Pump();
  Repaint(FBar);
  EXPECT_TRUE(ShowsInk(FBar, insertCell, clRed)) << "OVR";
  EXPECT_FALSE(ShowsInk(FBar, insertCell, clBlue));
  EXPECT_TRUE(ShowsInk(FBar, Cells()[0], clBlue)) << "Caps Lock is off";
  EXPECT_EQ(ControlPixel(FBar, {insertCell.Left, 10}), Rgb(clBtnShadow)) << "each cell in the panel's bevel";
}

TEST_F(KeyboardStatePanel, AHeldLockKeyStillShowsOn) {
  const TRect caps = Cells()[0];
  Headless::KeyDown(VK_CAPITAL);
  Pump();
  Repaint(FBar);
  EXPECT_TRUE(ShowsInk(FBar, caps, clRed)) << "down and toggled on";
  Headless::KeyUp(VK_CAPITAL);
  Pump();
  Repaint(FBar);
  EXPECT_TRUE(ShowsInk(FBar, caps, clRed));
  Headless::KeyDown(VK_CAPITAL);
  Pump();
  Repaint(FBar);
  EXPECT_TRUE(ShowsInk(FBar, caps, clBlue)) << "pressed again: off while still held";
  Headless::KeyUp(VK_CAPITAL);
}

TEST_F(KeyboardStatePanel, TheWatcherRepaintsTheBarWhenAKeyChanges) {
  const TRect num = Cells()[1];
  ASSERT_TRUE(ShowsInk(FBar, num, clBlue));
  Headless::PressKey(VK_NUMLOCK);
  EXPECT_TRUE(PumpUntil([&] { return ShowsInk(FBar, num, clRed); })) << "no repaint asked for by anyone else";
}

TEST_F(KeyboardStatePanel, ABarFreedWhileAKeyChangesIsNotTouched) {
  Headless::PressKey(VK_SCROLL);
  Pump();
  Free(FForm);
  FForm = nullptr;
  FBar = nullptr;
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  Pump();
  SUCCEED();
}

TEST_F(KeyboardStatePanel, FullRectDrawsOneFieldWithoutCellBorders) {
  FStyle->SetFullRect(true);
  Repaint(FBar);
  EXPECT_EQ(ControlPixel(FBar, {0, 10}), Rgb(clBtnShadow)) << "the panel's bevel";
  EXPECT_FALSE(ShowsInk(FBar, Rect(2, 4, FStyle->GetMinWidth(), 18), clBtnHighlight)) << "no cell edges";
}

// ------------------------------------------------------------------ container

TEST_F(PanelStyles, AContainerTakesThePanelsContentRectangleAndItsControlFillsIt) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  panel->SetWidth(150);
  AddPanel(FBar);
  auto* style = static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
  EXPECT_EQ(style->GetContainer(), nullptr) << "made at run time: none";
  auto* container = New<TzmStatusBarContainerControl>(FForm);
  container->SetName("Progress");
  container->SetParent(FBar);
  auto* inner = New<TPanel>(FForm);
  inner->SetParent(container);
  style->SetContainer(container);
  EXPECT_EQ(container->GetPanelStyle(), style);
  Show(FForm);
  EXPECT_EQ(container->GetBoundsRect(), Rect(1, 3, 149, 19));
  EXPECT_EQ(inner->GetBoundsRect(), Rect(0, 0, 148, 16));
  EXPECT_EQ(FBar->FindContainer("progress"), container);
  panel->SetVisible(false);
  EXPECT_FALSE(container->GetVisible());
  panel->SetVisible(true);
  style->SetAlignControl(false);
  inner->SetBounds(5, 5, 20, 5);
  Repaint(FBar);
  EXPECT_EQ(inner->GetBoundsRect(), Rect(5, 5, 25, 10)) << "left where it is";
}

TEST_F(PanelStyles, FreeingTheContainerLeavesThePanelWithoutAStyle) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  auto* container = New<TzmStatusBarContainerControl>(FForm);
  container->SetParent(FBar);
  static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle())->SetContainer(container);
  Free(container);
  EXPECT_EQ(panel->GetPanelStyle(), nullptr);
}

TEST_F(PanelStyles, ReplacingTheStyleFreesItsContainer) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  auto* container = New<TzmStatusBarContainerControl>(FForm);
  container->SetParent(FBar);
  static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle())->SetContainer(container);
  TAliveToken alive = container->AliveToken();
  panel->SetPanelStyleClassName("TzmStatusBarTextPanelStyle");
  EXPECT_FALSE(alive);
}

TEST_F(PanelStyles, AContainerOutlivesABarThatIsFreed) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  auto* container = New<TzmStatusBarContainerControl>(FForm);
  container->SetParent(FBar);
  static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle())->SetContainer(container);
  TAliveToken alive = container->AliveToken();
  Free(FBar);
  FBar = nullptr;
  ASSERT_TRUE(alive) << "its owner frees it";
  EXPECT_EQ(container->GetPanelStyle(), nullptr);
}

// A container as an inherited form would bring it.
class TAncestorContainer : public TzmStatusBarContainerControl {
  QJ_INLINE_CLASS(TAncestorContainer, TzmStatusBarContainerControl)
 public:
  explicit TAncestorContainer(TComponent* AOwner) : TzmStatusBarContainerControl(AOwner) {
    SetComponentStateFlag(csAncestor, true);
  }
};

TEST_F(PanelStyles, AtDesignTimeTheContainerIsMadeAndNamed) {
  FBar->SetName("StatusBar1");
  FBar->SetDesigning(true);
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  auto* style = static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
  ASSERT_NE(style->GetContainer(), nullptr);
  EXPECT_EQ(style->GetContainer()->GetName(), "StatusBar1Container" + IntToStr(panel->GetID()));
  EXPECT_EQ(style->GetContainer()->Owner(), FForm);
  EXPECT_EQ(style->GetContainer()->GetParent(), FBar);
  EXPECT_TRUE(style->CanDelete());
  FBar->SetDesigning(false);
}

TEST_F(PanelStyles, AStyleWhoseContainerCameFromAnAncestorCannotBeDeletedAtDesignTime) {
  TzmStatusBarPanel* panel = AddPanel(FBar, "TzmStatusBarContainerPanelStyle");
  auto* style = static_cast<TzmStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
  auto* container = New<TAncestorContainer>(FForm);
  container->SetParent(FBar);
  style->SetContainer(container);
  EXPECT_FALSE(style->CanDelete());
  FBar->SetDesigning(true);
  EXPECT_THROW(panel->SetPanelStyleClassName(""), Exception);
  EXPECT_EQ(panel->GetPanelStyle(), style) << "kept";
  FBar->SetDesigning(false);
  panel->SetPanelStyleClassName("");
  EXPECT_EQ(panel->GetPanelStyle(), nullptr) << "at run time it goes";
}

TEST_F(PanelStyles, AssignLinksTheContainerOfTheSameName) {
  auto* source = AddStyled<TzmStatusBarContainerPanelStyle>("TzmStatusBarContainerPanelStyle");
  auto* target = AddStyled<TzmStatusBarContainerPanelStyle>("TzmStatusBarContainerPanelStyle");
  auto* container = New<TzmStatusBarContainerControl>(FForm);
  container->SetName("Gauge");
  container->SetParent(FBar);
  source->SetContainer(container);
  source->SetAlignControl(false);
  target->Assign(source);
  EXPECT_FALSE(target->GetAlignControl());
  EXPECT_EQ(target->GetContainer(), container);
  EXPECT_EQ(source->GetContainer(), nullptr) << "a container serves one panel";
}

}  // namespace
