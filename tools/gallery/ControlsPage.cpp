// The base control page: the library's custom control with each border style, showing no
// scroll bars, either one, both with the size grip between them, and bars that cannot hide
// shown disabled; the border and the bars come from the variant's painter.
#include "GalleryPage.h"
#include "lookandfeel/qvControls.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kSampleHeight = 150;
constexpr Integer kLineHeight = 16;

// Numbered lines of text wider and taller than the control as asked, scrolled by pixels.
class TSampleContent : public TqvControl {
  QJ_INLINE_CLASS(TSampleContent, TqvControl)
 public:
  TSampleContent(TComponent* AOwner) : TqvControl(AOwner) { SetBorderStyle(qvcbsDefault); }
  TSize Content;
  bool AllowHide = true;

 protected:
  bool IsPixelScrollBar(TScrollBarKind) const override { return true; }
  void InitScrollBarsParameters() override {
    const TRect c = GetClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, Content.cx - 1, kLineHeight, c.Width(), FOffset.X, true, AllowHide);
    SetScrollBarInfo(sbVertical, 0, Content.cy - 1, kLineHeight, c.Height(), FOffset.Y, true, AllowHide);
  }
  void Scroll(TScrollBarKind AKind, TScrollCode, Integer& APos) override {
    (AKind == sbHorizontal ? FOffset.X : FOffset.Y) = APos;
    Invalidate();
  }
  void Paint() override {
    TqvControl::Paint();
    TqvCanvas* canvas = GetCanvas();
    const TRect c = GetClientBounds();
    canvas->SetBrushColor(clWindow);
    canvas->FillRect(c);
    canvas->GetFont()->SetColor(clWindowText);
    canvas->GetBrush()->SetStyle(bsClear);
    const Integer lines = Content.cy / kLineHeight;
    for (Integer top = c.Top - FOffset.Y % kLineHeight, line = FOffset.Y / kLineHeight + 1; top < c.Bottom && line <= lines;
         top += kLineHeight, ++line)
      canvas->DrawText("Line " + IntToStr(line) + " of the content", Rect(c.Left + 4 - FOffset.X, top, c.Right, top + kLineHeight),
                       tfLeft | tfVCenter | tfSingleLine);
    canvas->GetBrush()->SetStyle(bsSolid);
  }

 private:
  TPoint FOffset;
};

struct TControlSample {
  const char* Caption;
  TqvControlBorderStyle Border;
  TSize Content;
  bool AllowHide;
};

const TControlSample kControlSamples[] = {
    {"No border, nothing to scroll", qvcbsNone, {100, 64}, true},
    {"No border, wide content", qvcbsNone, {600, 64}, true},
    {"No border, tall content", qvcbsNone, {100, 600}, true},
    {"No border, both bars and the grip", qvcbsNone, {600, 600}, true},
    {"Border, nothing to scroll", qvcbsDefault, {100, 64}, true},
    {"Border, wide content", qvcbsDefault, {600, 64}, true},
    {"Border, tall content", qvcbsDefault, {100, 600}, true},
    {"Border, both bars and the grip", qvcbsDefault, {600, 600}, true},
    {"Border, bars that do not hide", qvcbsDefault, {100, 64}, false},
};

void BuildControlsPage(TWinControl* Parent) {
  for (Integer i = 0; i < Integer(std::size(kControlSamples)); ++i) {
    const TControlSample& s = kControlSamples[i];
    const TPoint p = Cell(i, kMargin, kSampleHeight + 40);
    AddLabel(Parent, p.X, p.Y, s.Caption);
    auto* control = New<TSampleContent>(Parent);
    control->SetBorderStyle(s.Border);
    control->Content = s.Content;
    control->AllowHide = s.AllowHide;
    control->SetBounds(p.X, p.Y + 20, kCellWidth, kSampleHeight);
    control->SetParent(Parent);
    control->UpdateScrollBars();
  }
}

const TGalleryPageRegistration ControlsPage("Base control", 202, &BuildControlsPage);

}  // namespace
