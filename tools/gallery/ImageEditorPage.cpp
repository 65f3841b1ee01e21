// The image editor page: a picture centred, scrolled with its bars, stretched (at the top and
// centred), the same picture stored as a JPEG image, an empty editor with its caption, a
// disabled one, a focused one with its focus frame, and one without a frame as in a grid cell.
#include "GalleryPage.h"
#include "editors/qvImage.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr Integer kImageHeight = 150;

// A landscape of a sky, a sun and two hills, so that cuts and scaling show.
void DrawLandscape(TBitmap& ABitmap, Integer W, Integer H) {
  ABitmap.SetPixelFormat(pf24bit);
  ABitmap.SetSize(W, H);
  TCanvas* c = ABitmap.GetCanvas();
  c->GetBrush()->SetColor(TColor(0xF0C080));
  c->FillRect(Rect(0, 0, W, H));
  c->GetPen()->SetColor(clGreen);
  c->GetBrush()->SetColor(TColor(0x40A040));
  c->Ellipse(-W / 3, H / 2, W * 2 / 3, H * 2);
  c->GetBrush()->SetColor(TColor(0x208020));
  c->Ellipse(W / 3, H * 3 / 5, W * 4 / 3, H * 2);
  c->GetPen()->SetColor(clOlive);
  c->GetBrush()->SetColor(clYellow);
  c->Ellipse(W * 3 / 4 - 14, 10, W * 3 / 4 + 14, 38);
  c->GetBrush()->SetColor(clNavy);
  c->FillRect(Rect(0, 0, W, 3));
}

String PictureValue(bool AJpeg, Integer W, Integer H) {
  TBitmap bitmap;
  DrawLandscape(bitmap, W, H);
  TStringStream stream;
  if (AJpeg) {
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SaveToStream(&stream);
  } else {
    bitmap.SaveToStream(&stream);
  }
  return stream.GetDataString();
}

struct TImageSample {
  const char* Caption;
  Integer PictureWidth, PictureHeight;  // 0: no picture
  bool Jpeg, Center, Stretch, Enabled, Inplace;
};

const TImageSample kImageSamples[] = {
    {"Centred", 160, 100, false, true, false, true, false},
    {"Scrolled with its bars", 320, 220, false, false, false, true, false},
    {"Stretched to the top", 320, 120, false, false, true, true, false},
    {"Stretched and centred", 320, 120, false, true, true, true, false},
    {"A JPEG image", 160, 100, true, true, false, true, false},
    {"Empty, with its caption", 0, 0, false, true, false, true, false},
    {"Disabled", 160, 100, false, true, true, false, false},
    {"No frame (a grid cell)", 160, 100, false, true, true, true, true},
};

void BuildImageEditorPage(TWinControl* Parent) {
  TqvImage* focused = nullptr;
  for (Integer i = 0; i < Integer(std::size(kImageSamples)); ++i) {
    const TImageSample& s = kImageSamples[i];
    const Integer x = kMargin + (i % 4) * (kCellWidth + 24), y = kMargin + (i / 4) * (kImageHeight + kLabelHeight + 24);
    AddLabel(Parent, x, y, s.Caption);
    auto* image = static_cast<TqvImage*>(TqvCustomEdit::CreateInplace(&TqvImage::StaticClass(), Parent, s.Inplace));
    TqvImageProperties* properties = image->GetProperties();
    properties->SetCenter(s.Center);
    properties->SetStretch(s.Stretch);
    properties->SetCaption("(no picture)");
    if (s.Jpeg) properties->SetGraphicClassName("TJPEGImage");
    image->SetBounds(x, y + kLabelHeight + 2, kCellWidth, kImageHeight);
    image->SetEnabled(s.Enabled);
    image->SetParent(Parent);
    if (s.PictureWidth > 0) image->SetEditValue(PictureValue(s.Jpeg, s.PictureWidth, s.PictureHeight));
    if (i == 0) focused = image;
  }
  // The page's first control in tab order takes the focus when the page shows: the first one
  // shows its focus frame.
  if (focused) focused->SetTabOrder(0);
}

const TGalleryPageRegistration ImageEditorPage("Image editor", 717, &BuildImageEditorPage);

}  // namespace
