// The painter-drawn button: who paints it, its glyph strip and the shared glyph lists, the layout
// of glyph and caption, its states (hot, pressed, default, disabled), per-state colours, and the
// click and drop-down-menu sequences through real input.
#include "lookandfeel/qvButtons.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "qvControlsTestSupport.h"
#include "support/ControlPixels.h"

namespace {

TOwned<TBitmap> Strip(Integer w, Integer h, TColor ink = clBlack) {
  auto b = MakeOwned<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->GetCanvas()->GetBrush()->SetColor(clOlive);
  b->GetCanvas()->FillRect(Rect(0, 0, w, h));
  b->GetCanvas()->GetBrush()->SetColor(ink);
  if (h > 4) b->GetCanvas()->FillRect(Rect(2, 2, std::max(3, w - 2), h - 2));
  return b;
}

class Button : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm();
    FButton = Add<TqvButton>(FForm, Rect(10, 10, 85, 35));
    FButton->SetCaption("OK");
    Show(FForm);
  }
  TForm* FForm = nullptr;
  TqvButton* FButton = nullptr;
};

TEST_F(Button, APlainStandardButtonIsSystemPaintedUntilItGetsAGlyph) {
  FButton->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_TRUE(FButton->IsSystemPainted());
  FButton->GetLookAndFeel()->SetKind(lfFlat);
  EXPECT_FALSE(FButton->IsSystemPainted());
  FButton->GetLookAndFeel()->SetKind(lfStandard);
  FButton->SetGlyph(Strip(16, 16).get());
  EXPECT_FALSE(FButton->IsSystemPainted());
  EXPECT_FALSE(FButton->GetUseSystemPaint());
  FButton->SetGlyph(nullptr);
  EXPECT_FALSE(FButton->IsSystemPainted());
}

TEST_F(Button, ThePainterFollowsTheLookAndFeel) {
  FButton->SetUseSystemPaint(false);
  FButton->GetLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(TqvFlatLookAndFeelPainter::Class(), FButton->GetPainter());
  FButton->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(TqvUltraFlatLookAndFeelPainter::Class(), FButton->GetPainter());
  FButton->GetLookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(TqvWinXPLookAndFeelPainter::Class(), FButton->GetPainter());
  ThemeEngine::SetEnabled(false);
  EXPECT_EQ(TqvUltraFlatLookAndFeelPainter::Class(), FButton->GetPainter());
}

struct TStripCase {
  Integer Width, Height, NumGlyphs;
};

class ButtonGlyphStrip : public Button, public ::testing::WithParamInterface<TStripCase> {};

TEST_P(ButtonGlyphStrip, GivesTheNumberOfImages) {
  FButton->SetNumGlyphs(2);
  FButton->SetGlyph(Strip(GetParam().Width, GetParam().Height).get());
  EXPECT_EQ(GetParam().NumGlyphs, FButton->GetNumGlyphs());
}

INSTANTIATE_TEST_SUITE_P(Strips, ButtonGlyphStrip,
                         ::testing::Values(TStripCase{16, 16, 1}, TStripCase{32, 16, 2}, TStripCase{64, 16, 4},
                                           TStripCase{80, 16, 1}, TStripCase{30, 16, 2}, TStripCase{0, 0, 2}));

TEST_F(Button, NumGlyphsIsClampedToOneToFour) {
  FButton->SetGlyph(Strip(64, 16).get());
  FButton->SetNumGlyphs(9);
  EXPECT_EQ(4, FButton->GetNumGlyphs());
  FButton->SetNumGlyphs(0);
  EXPECT_EQ(1, FButton->GetNumGlyphs());
  FButton->SetNumGlyphs(-3);
  EXPECT_EQ(1, FButton->GetNumGlyphs());
}

TEST_F(Button, AGlyphNarrowerThanItsImageCountIsIgnored) {
  FButton->SetGlyph(Strip(3, 16).get());
  FButton->SetNumGlyphs(4);
  EXPECT_TRUE(FButton->GetButtonGlyph()->IsEmpty());
  EXPECT_EQ(-1, FButton->GetButtonGlyph()->GetStateImageIndex(qvbsNormal));
  FButton->Repaint();
  EXPECT_EQ(nullptr, FButton->GetButtonGlyph()->GetGlyphList());
}

TEST_F(Button, StatesPickTheirImagesFromTheStrip) {
  TqvButtonGlyph* glyph = FButton->GetButtonGlyph();
  FButton->SetGlyph(Strip(32, 16).get());
  const Integer up = glyph->GetStateImageIndex(qvbsNormal);
  EXPECT_EQ(up, glyph->GetStateImageIndex(qvbsHot));
  EXPECT_EQ(up, glyph->GetStateImageIndex(qvbsPressed)) << "fewer than three images: pressed shows the first";
  EXPECT_NE(up, glyph->GetStateImageIndex(qvbsDisabled));
  FButton->SetGlyph(Strip(48, 16).get());
  EXPECT_NE(glyph->GetStateImageIndex(qvbsNormal), glyph->GetStateImageIndex(qvbsPressed));
}

TEST_F(Button, ADisabledSingleImageIsEmbossed) {
  FButton->SetGlyph(Strip(16, 16).get());
  TqvButtonGlyph* glyph = FButton->GetButtonGlyph();
  const Integer index = glyph->GetStateImageIndex(qvbsDisabled);
  TBitmap out;
  out.SetPixelFormat(pf32bit);
  out.SetSize(16, 16);
  out.GetCanvas()->GetBrush()->SetColor(clWhite);
  out.GetCanvas()->FillRect(Rect(0, 0, 16, 16));
  glyph->GetGlyphList()->Draw(out.GetCanvas(), 0, 0, index);
  auto rgb = [&](Integer x, Integer y) {
    const uint32_t p = out.ScanLine(y)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  EXPECT_EQ(ColorToRGB(clBtnShadow), rgb(5, 5));
  EXPECT_EQ(ColorToRGB(clBtnHighlight), rgb(14, 14));
}

TEST_F(Button, ButtonsWithGlyphsOfOneSizeShareAListThatGoesWithThem) {
  auto* second = Add<TqvButton>(FForm, Rect(100, 10, 175, 35));
  FButton->SetGlyph(Strip(16, 16).get());
  second->SetGlyph(Strip(16, 16, clRed).get());
  Pump();
  FButton->GetButtonGlyph()->GetStateImageIndex(qvbsNormal);
  second->GetButtonGlyph()->GetStateImageIndex(qvbsNormal);
  ASSERT_NE(nullptr, GetGlyphCache());
  EXPECT_EQ(FButton->GetButtonGlyph()->GetGlyphList(), second->GetButtonGlyph()->GetGlyphList());
  EXPECT_EQ(1, GetGlyphCache()->GetListCount());
  Free(FButton);
  EXPECT_EQ(1, GetGlyphCache()->GetListCount());
  Free(second);
  EXPECT_EQ(nullptr, GetGlyphCache());
}

TEST_F(Button, FreedSlotsOfAGlyphListAreReused) {
  TqvGlyphList list(16, 16);
  auto image = Strip(16, 16);
  EXPECT_EQ(0, list.AddMasked(image.get(), clDefault));
  EXPECT_EQ(1, list.AddMasked(image.get(), clDefault));
  list.Delete(0);
  EXPECT_EQ(1, list.GetUsedCount());
  EXPECT_EQ(0, list.AddMasked(image.get(), clDefault));
  EXPECT_EQ(2, list.GetCount());
}

TEST_F(Button, MarginAndSpacingMinusOneShareTheFreeRoomInThree) {
  FButton->SetGlyph(Strip(16, 16).get());
  TqvCanvas canvas(FButton->GetCanvas());
  canvas.GetFont()->Assign(FButton->GetFont());
  const String caption = "Apply";
  const Integer textWidth = canvas.TextWidth(caption);
  TPoint glyphPos;
  TRect text;
  FButton->GetButtonGlyph()->ComputeLayout(&canvas, Rect(0, 0, 75, 25), caption, blGlyphLeft, -1, -1, false, glyphPos,
                                           text);
  const Integer margin = (75 - 16 - textWidth) / 3;
  EXPECT_EQ(margin, glyphPos.X);
  EXPECT_EQ(margin + 16 + margin, text.Left);
  EXPECT_EQ((25 - 16 + 1) / 2, glyphPos.Y);
  FButton->GetButtonGlyph()->ComputeLayout(&canvas, Rect(0, 0, 75, 25), caption, blGlyphLeft, -1, -1, true, glyphPos,
                                           text);
  EXPECT_EQ(75 - margin - 16, glyphPos.X) << "right to left puts the glyph on the right";
}

TEST_F(Button, ColoursResetWithNoneAndDefault) {
  TqvButtonColors* colors = FButton->GetColors();
  colors->SetColor(qvbsHot, clYellow);
  EXPECT_EQ(1u << qvbsHot, colors->GetAssignedColors());
  colors->SetColor(qvbsHot, clNone);
  EXPECT_EQ(clDefault, colors->GetColor(qvbsHot));
  EXPECT_EQ(0u, colors->GetAssignedColors());
  colors->SetAssignedColors(1u << qvbsNormal);
  EXPECT_EQ(0u, colors->GetAssignedColors()) << "the set changes only through the colours at run time";
}

TEST_F(Button, TheStateFollowsMouseFocusAndEnabling) {
  auto* edit = Add<TEdit>(FForm, Rect(10, 100, 100, 120));
  edit->SetFocus();
  Pump();
  FButton->SetUseSystemPaint(false);
  FButton->GetLookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(qvbsNormal, FButton->GetDrawState());
  MoveTo(FButton, {10, 10});
  EXPECT_TRUE(FButton->IsHot());
  EXPECT_EQ(qvbsHot, FButton->GetDrawState());
  Down(FButton, {10, 10});
  EXPECT_EQ(qvbsPressed, FButton->GetDrawState());
  Up();
  MoveTo(FForm, {300, 250});
  EXPECT_FALSE(FButton->IsHot());
  EXPECT_EQ(qvbsDefault, FButton->GetDrawState()) << "focused by the click";
  FButton->SetEnabled(false);
  EXPECT_EQ(qvbsDisabled, FButton->GetDrawState());
}

// The themed face has rounded corners: the four corner pixels show the parent's background,
// and every other pixel is painted.
TEST_F(Button, AThemedFaceShowsTheParentAtItsCorners) {
  FForm->SetColor(clYellow);
  FButton->SetUseSystemPaint(false);
  FButton->GetLookAndFeel()->SetNativeStyle(true);
  ASSERT_FALSE(FButton->IsSystemPainted());
  RepaintOverSentinel(FButton);
  const std::vector<COLORREF> pixels = ControlPixelsOf(FButton);
  EXPECT_EQ(0, std::count(pixels.begin(), pixels.end(), SentinelRGB)) << "unpainted pixels";
  const Integer w = FButton->GetClientWidth() - 1, h = FButton->GetClientHeight() - 1;
  for (const TPoint corner : {TPoint{0, 0}, TPoint{w, 0}, TPoint{0, h}, TPoint{w, h}})
    EXPECT_EQ(ColorToRGB(clYellow), ControlPixelOf(FButton, corner).Value) << corner.X << "," << corner.Y;
}

TEST_F(Button, TheStandardLookHasNoHotState) {
  FButton->SetUseSystemPaint(false);
  FButton->GetLookAndFeel()->SetKind(lfStandard);
  MoveTo(FButton, {10, 10});
  EXPECT_FALSE(FButton->IsHot());
}

TEST_F(Button, AStandardClickFiresOnClick) {
  Integer clicks = 0;
  FButton->OnClick = [&](TObject*) { ++clicks; };
  Click(FButton, {10, 10});
  EXPECT_EQ(1, clicks);
}

// A button with a drop-down menu of two items and a script for the menu's loop.
class DropDownButton : public Button {
 protected:
  void SetUp() override {
    Button::SetUp();
    FMenu = New<TPopupMenu>(FForm);
    for (const char* caption : {"First", "Second"}) {
      auto* item = New<TMenuItem>(FMenu);
      item->SetCaption(caption);
      item->OnClick = [this, caption](TObject*) { Chosen.push_back(caption); };
      FMenu->GetItems()->Add(item);
    }
    FButton->SetDropDownMenu(FMenu);
    FButton->OnClick = [this](TObject*) { Chosen.push_back("click"); };
  }
  // Each time the menu loop waits, the next key of the script is pressed (0: the left button
  // goes up; a menu opened by a press runs while the button is still down).
  static void Script(std::vector<Word> keys) {
    std::vector<TInputStep> steps;
    for (Word key : keys)
      steps.push_back([key] {
        if (key == 0)
          Headless::MouseUp(0);
        else
          Headless::PressKey(static_cast<BYTE>(key));
      });
    RunWhenIdle(std::move(steps));
  }
  // A press on the button that opens the menu, then the script.
  void PressButton(TPoint p) {
    MoveTo(FButton, p);
    Headless::MouseDown(0);
    Pump();
  }
  TPopupMenu* FMenu = nullptr;
  std::vector<std::string> Chosen;
};

TEST_F(DropDownButton, ADropDownKindOpensTheMenuInsteadOfClicking) {
  FButton->SetKind(qvbkDropDown);
  Script({0, VK_DOWN, VK_RETURN});
  PressButton({10, 10});
  Pump();
  EXPECT_EQ((std::vector<std::string>{"First"}), Chosen);
  EXPECT_FALSE(FButton->IsMenuShown());
  EXPECT_EQ(FButton->ClientToScreen({0, FButton->GetHeight()}), FMenu->GetPopupPoint());
}

TEST_F(DropDownButton, TheMainPartOfASplitButtonClicksAndItsArrowOpensTheMenu) {
  FButton->SetKind(qvbkDropDownButton);
  Click(FButton, {10, 10});
  EXPECT_EQ((std::vector<std::string>{"click"}), Chosen);
  bool escaped = false;
  RunWhenIdle({[] { Headless::MouseUp(0); }, [&] {
                 escaped = true;
                 Headless::PressKey(VK_ESCAPE);
               }});
  PressButton({FButton->GetWidth() - 5, 10});
  Pump();
  EXPECT_TRUE(escaped) << "the menu ran";
  EXPECT_EQ((std::vector<std::string>{"click"}), Chosen);
}

TEST_F(DropDownButton, AltDownOpensTheMenuOfASplitButton) {
  FButton->SetKind(qvbkDropDownButton);
  FButton->SetFocus();
  Pump();
  Script({VK_DOWN, VK_DOWN, VK_RETURN});
  Headless::PressKey(VK_DOWN, skAlt);
  Pump();
  EXPECT_EQ((std::vector<std::string>{"Second"}), Chosen);
}

TEST_F(DropDownButton, AtTheBottomOfTheWorkAreaTheMenuOpensAboveTheButton) {
  FForm->SetTop(1024 - 40 - 80);
  FButton->SetKind(qvbkDropDown);
  Script({0, VK_ESCAPE});
  PressButton({10, 10});
  Pump();
  const TPoint below = FButton->ClientToScreen({0, FButton->GetHeight()});
  EXPECT_EQ(below.Y - FButton->GetMenuHeight() - FButton->GetHeight() - 2, FMenu->GetPopupPoint().Y);
  EXPECT_LE(FMenu->GetPopupPoint().Y + FButton->GetMenuHeight(), 984);
}

TEST_F(DropDownButton, AMenuCommandThatFreesTheButtonIsSafe) {
  FButton->SetKind(qvbkDropDown);
  TAliveToken alive = FButton->AliveToken();
  FMenu->GetItems()->GetItem(0)->OnClick = [this](TObject*) { Free(FButton); };
  Script({0, VK_DOWN, VK_RETURN});
  PressButton({10, 10});
  Pump();
  EXPECT_FALSE(alive);
}

TEST_F(DropDownButton, AFreedMenuIsForgotten) {
  Free(FMenu);
  EXPECT_EQ(nullptr, FButton->GetDropDownMenu());
  FButton->SetKind(qvbkDropDown);
  Click(FButton, {10, 10});
  Pump();
  EXPECT_FALSE(FButton->IsMenuShown());
}

}  // namespace
