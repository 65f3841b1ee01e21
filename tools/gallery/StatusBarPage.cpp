// The status bar page: bars in every paint style with every panel style (text with an image,
// aligned and cut texts, state indicators, keyboard states in cells and in one field, a
// container holding a control), every bevel, a disabled bar, an empty bar, a bar with a border,
// and each painter's size grip.
#include "GalleryPage.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/StdCtrls.h"
#include "statusbar/zmStatusBar.h"

namespace {

constexpr Integer kBarWidth = GalleryPageSize.cx - 2 * kNarrowMargin;
constexpr Integer kBarHeight = 22;

struct TPaintStyleRow {
  TzmStatusBarPaintStyle Style;
  const char* Caption;
};

const TPaintStyleRow kRows[] = {
    {stpsStandard, "Standard"},
    {stpsFlat, "Flat"},
    {stpsOffice11, "Gradient"},
    {stpsXP, "Themed (standard when the theme is off)"},
    {stpsUseLookAndFeel, "Look and feel of the variant"},
};

TzmStatusBar* AddBar(TWinControl* Parent, Integer Y, TzmStatusBarPaintStyle AStyle) {
  auto* bar = New<TzmStatusBar>(Parent);
  bar->SetAlign(alNone);
  bar->SetBounds(kNarrowMargin, Y, kBarWidth, kBarHeight);
  bar->SetParent(Parent);
  bar->SetPaintStyle(AStyle);
  return bar;
}

template <class TStyle>
TStyle* AddPanel(TzmStatusBar* ABar, Integer AWidth = 0) {
  TzmStatusBarPanel* panel = ABar->GetPanels()->Add();
  panel->SetPanelStyleClass(&TStyle::StaticClass());
  if (AWidth) panel->SetWidth(AWidth);
  return static_cast<TStyle*>(panel->GetPanelStyle());
}

TzmStatusBarTextPanelStyle* AddText(TzmStatusBar* ABar, const String& AText, Integer AWidth,
                                    TzmStatusBarPanelBevel ABevel = zmpbLowered) {
  auto* style = AddPanel<TzmStatusBarTextPanelStyle>(ABar, AWidth);
  style->GetPanel()->SetText(AText);
  style->GetPanel()->SetBevel(ABevel);
  return style;
}

// A 16 x 16 picture of a receiver: a dark box with a green lamp.
TCustomImageList* MakeImages(TWinControl* Parent) {
  auto* images = New<TImageList>(Parent);
  images->SetSize(16, 16);
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(16, 16);
  TCanvas* c = picture.GetCanvas();
  c->GetBrush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 16, 16));
  c->GetBrush()->SetColor(clNavy);
  c->FillRect(Rect(1, 4, 15, 12));
  c->GetBrush()->SetColor(clLime);
  c->FillRect(Rect(11, 6, 13, 8));
  c->GetBrush()->SetColor(clSilver);
  c->FillRect(Rect(3, 9, 9, 10));
  images->AddMasked(&picture, clFuchsia);
  return images;
}

// Texts: with an image, centred and raised, cut at the end, cut in the path; a container.
void FillFirstBar(TzmStatusBar* ABar, TCustomImageList* AImages) {
  ABar->SetImages(AImages);
  AddText(ABar, "Receiver 192.168.0.10:9000", 200)->SetImageIndex(0);
  AddText(ABar, "Centred, raised", 130, zmpbRaised)->SetAlignment(taCenter);
  auto* cut = AddText(ABar, "A message much longer than its panel, cut at the end", 180);
  cut->SetEllipsisType(zmetTruncate);
  cut->SetAlignment(taRightJustify);
  AddText(ABar, "/home/user/receivers/backups/channels-2023.dat", 200)->SetEllipsisType(zmetSmartPath);
  auto* container = AddPanel<TzmStatusBarContainerPanelStyle>(ABar, 120);
  auto* control = New<TzmStatusBarContainerControl>(ABar->Owner());
  control->SetParent(ABar);
  auto* inner = New<TPanel>(ABar->Owner());
  inner->SetParent(control);
  inner->SetCaption("Container");
  inner->SetColor(clInfoBk);
  container->SetContainer(control);
  AddText(ABar, "Last panel takes the rest", 0, zmpbNone);
}

// Indicators of every kind, keyboard states in cells and in one field, a coloured text.
void FillSecondBar(TzmStatusBar* ABar) {
  auto* lamps = AddPanel<TzmStatusBarStateIndicatorPanelStyle>(ABar);
  for (TzmStatusBarStateIndicatorType type : {sitOff, sitYellow, sitBlue, sitGreen, sitRed, sitTeal, sitPurple})
    lamps->GetIndicators()->Add()->SetIndicatorType(type);
  AddPanel<TzmStatusBarKeyboardStatePanelStyle>(ABar);
  AddPanel<TzmStatusBarKeyboardStatePanelStyle>(ABar)->SetFullRect(true);
  auto* coloured = AddText(ABar, "Own colour and font", 160);
  coloured->SetColor(clInfoBk);
  coloured->GetFont()->SetStyle(fsBold);
  AddText(ABar, "", 0);
}

// Each painter's size grip over its own bar background, as a sizable form's corner shows it.
class TGripsView : public TCustomControl {
  QJ_INLINE_CLASS(TGripsView, TCustomControl)
 public:
  TGripsView(TComponent* AOwner, TzmStatusBar* ABar) : TCustomControl(AOwner), FBar(ABar) {}

 protected:
  void Paint() override {
    TqvCanvas canvas(GetCanvas());
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(GetClientRect());
    const TzmStatusBarPainterClass painters[] = {TzmStatusBarStandardPainter::Class(), TzmStatusBarFlatPainter::Class(),
                                                 TzmStatusBarOffice11Painter::Class(), TzmStatusBarXPPainter::Class()};
    Integer x = 0;
    for (TzmStatusBarPainterClass painter : painters) {
      const TRect r = Bounds(x, 0, 80, GetHeight());
      TRect inside = r;
      painter->DrawBorder(FBar, &canvas, inside);
      painter->DrawSizeGrip(FBar, &canvas, r);
      x += 90;
    }
  }

 private:
  TzmStatusBar* FBar;
};

void BuildStatusBarPage(TWinControl* Parent) {
  // Caps Lock and Insert toggled on, so that both looks of the keys show.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CAPITAL] |= 0x01;
  keys[VK_INSERT] |= 0x01;
  SetKeyboardState(keys);

  TCustomImageList* images = MakeImages(Parent);
  Integer y = kNarrowMargin;
  for (const TPaintStyleRow& row : kRows) {
    AddLabel(Parent, kNarrowMargin, y, row.Caption, kBarWidth);
    FillFirstBar(AddBar(Parent, y += kLabelHeight, row.Style), images);
    FillSecondBar(AddBar(Parent, y += kBarHeight + 4, row.Style));
    y += kBarHeight + 12;
  }
  AddLabel(Parent, kNarrowMargin, y, "Disabled; without panels; with a 3-pixel border", kBarWidth);
  TzmStatusBar* disabled = AddBar(Parent, y += kLabelHeight, stpsStandard);
  FillFirstBar(disabled, images);
  disabled->SetEnabled(false);
  AddBar(Parent, y += kBarHeight + 4, stpsFlat);
  TzmStatusBar* bordered = AddBar(Parent, y += kBarHeight + 4, stpsStandard);
  bordered->SetHeight(kBarHeight + 6);
  bordered->SetBorderWidth(3);
  bordered->SetColor(clTeal);
  AddText(bordered, "Border bands in the bar's colour", 300);
  AddText(bordered, "", 0);
  AddLabel(Parent, kNarrowMargin, y += kBarHeight + 12,
           "Size grips: standard, flat, gradient, themed (with the theme on)", kBarWidth);
  auto* grips = New<TGripsView>(Parent, disabled);
  grips->SetParent(Parent);
  grips->SetBounds(kNarrowMargin, y + kLabelHeight, 4 * 90, kBarHeight);
}

const TGalleryPageRegistration StatusBarPage("Status bar", 500, &BuildStatusBarPage);

}  // namespace
