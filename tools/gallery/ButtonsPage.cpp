// The buttons page: the painter-drawn button in each state (normal, default, hot, pressed,
// disabled), with a glyph in each layout, per-state colours, the two drop-down kinds (their menu
// opens on a click; a split button shown hot), and a system-painted button for comparison.
#include "GalleryPage.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kButtonWidth = 110;
constexpr Integer kButtonHeight = 28;
constexpr Integer kButtonColumn = 130;

// A button the page puts into a state through its own handlers.
class TGalleryButton : public TqvButton {
  QJ_INLINE_CLASS(TGalleryButton, TqvButton)
 public:
  using TqvButton::TqvButton;
  void Hover() { Perform(CM_MOUSEENTER, 0, 0); }
  void ShowPressed() { SetPressed(true); }  // not Press(), which a click runs
};

// A 64 x 16 strip of four images: a green disc, a dimmed one, a pressed one, a blue one.
TOwned<TBitmap> GlyphStrip(Integer ACount) {
  auto strip = MakeOwned<TBitmap>();
  strip->SetPixelFormat(pf32bit);
  strip->SetSize(16 * ACount, 16);
  TCanvas* c = strip->GetCanvas();
  c->GetBrush()->SetColor(clOlive);
  c->FillRect(Rect(0, 0, 16 * ACount, 16));
  const TColor inks[] = {clGreen, clGray, clLime, clBlue};
  for (Integer i = 0; i < ACount; ++i) {
    c->GetBrush()->SetColor(inks[i]);
    c->GetPen()->SetColor(clBlack);
    c->Ellipse(i * 16 + 2, 2, i * 16 + 14, 14);
  }
  return strip;
}

TGalleryButton* AddButton(TWinControl* Parent, const String& ACaption, TPoint At, Integer AWidth = kButtonWidth,
                          Integer AHeight = kButtonHeight) {
  auto* b = New<TGalleryButton>(Parent);
  b->SetBounds(At.X, At.Y, AWidth, AHeight);
  b->SetParent(Parent);
  b->SetCaption(ACaption);
  b->SetUseSystemPaint(false);
  // No button takes the focus when the page shows, so each keeps the state it is put in and the
  // default button shows its default frame.
  b->SetTabStop(false);
  return b;
}

void BuildStates(TWinControl* Parent, Integer Y) {
  const char* const names[] = {"Normal", "Default", "Hot", "Pressed", "Disabled"};
  AddLabel(Parent, "States", Rect(10, Y + 6, 120, Y + 22));
  for (Integer i = 0; i < 5; ++i) {
    TGalleryButton* b = AddButton(Parent, names[i], {130 + i * kButtonColumn, Y});
    b->HandleNeeded();
    switch (i) {
      case 1: b->SetDefault(true); break;
      case 2: b->Hover(); break;
      case 3: b->ShowPressed(); break;
      case 4: b->SetEnabled(false); break;
      default: break;
    }
  }
}

void BuildGlyphs(TWinControl* Parent, Integer Y) {
  const char* const names[] = {"Left", "Right", "Top", "Bottom"};
  AddLabel(Parent, "Glyph layouts", Rect(10, Y + 18, 120, Y + 34));
  TOwned<TBitmap> strip = GlyphStrip(1);
  for (Integer i = 0; i < 4; ++i) {
    TGalleryButton* b = AddButton(Parent, names[i], {130 + i * kButtonColumn, Y}, kButtonWidth, 52);
    b->SetGlyph(strip.get());
    b->SetLayout(TButtonLayout(i));
  }
  TGalleryButton* spread = AddButton(Parent, "Spread", {130 + 4 * kButtonColumn, Y}, kButtonWidth, 52);
  spread->SetGlyph(strip.get());
  spread->SetSpacing(-1);

  Y += 64;
  AddLabel(Parent, "Glyph states", Rect(10, Y + 6, 120, Y + 22));
  TOwned<TBitmap> four = GlyphStrip(4);
  const char* const states[] = {"Up", "Pressed", "Disabled 1", "Disabled 4"};
  for (Integer i = 0; i < 4; ++i) {
    TGalleryButton* b = AddButton(Parent, states[i], {130 + i * kButtonColumn, Y});
    b->SetGlyph(i == 2 ? strip.get() : four.get());
    b->HandleNeeded();
    if (i == 1) b->ShowPressed();
    if (i >= 2) b->SetEnabled(false);
  }
}

void BuildColoursAndKinds(TWinControl* Parent, Integer Y) {
  AddLabel(Parent, "Colours", Rect(10, Y + 6, 120, Y + 22));
  TGalleryButton* yellow = AddButton(Parent, "Yellow face", {130, Y});
  yellow->GetColors()->SetColor(qvbsNormal, clYellow);
  yellow->GetColors()->SetColor(qvbsDefault, clYellow);
  TGalleryButton* font = AddButton(Parent, "Red text", {130 + kButtonColumn, Y});
  font->OnGetDrawParams = [](TqvCustomButton*, TqvButtonState, TColor&, TFont* AFont) { AFont->SetColor(clRed); };

  Y += 44;
  AddLabel(Parent, "Drop-down kinds", Rect(10, Y + 6, 120, Y + 22));
  TPopupMenu* menu = NewPopupMenu(Parent, "", paLeft, false,
                                  {NewItem("Satellites", 0, true, true, nullptr), NewItem("Transponders", 0, false, true, nullptr),
                                   NewLine(), NewItem("Channels", 0, false, false, nullptr)});
  const TqvButtonKind kinds[] = {qvbkDropDown, qvbkDropDownButton, qvbkDropDownButton};
  const char* const captions[] = {"Drop down", "Split", "Split, hot"};
  for (Integer i = 0; i < 3; ++i) {
    TGalleryButton* b = AddButton(Parent, captions[i], {130 + i * kButtonColumn, Y});
    b->SetKind(kinds[i]);
    b->SetDropDownMenu(menu);
    b->HandleNeeded();
    if (i == 2) b->Hover();
  }

  Y += 44;
  AddLabel(Parent, "System painted", Rect(10, Y + 6, 120, Y + 22));
  auto* system = New<TqvButton>(Parent);
  system->SetBounds(130, Y, kButtonWidth, kButtonHeight);
  system->SetParent(Parent);
  system->SetCaption("Platform");
  system->SetTabStop(false);
  system->GetLookAndFeel()->SetKind(lfStandard);
}

void BuildButtonsPage(TWinControl* Parent) {
  BuildStates(Parent, 12);
  BuildGlyphs(Parent, 60);
  BuildColoursAndKinds(Parent, 200);
}

const TGalleryPageRegistration ButtonsPage("Buttons", 203, &BuildButtonsPage);

}  // namespace
