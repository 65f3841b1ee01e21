// The page registry, the variants and the layout helpers.
#include "GalleryPage.h"

#include <algorithm>

#include "platform/forms/Graphics.h"
#include "platform/forms/StdCtrls.h"

namespace {

std::vector<TGalleryPage>& Registry() {
  static std::vector<TGalleryPage> pages;
  return pages;
}

}  // namespace

TGalleryPageRegistration::TGalleryPageRegistration(const char* AName, Integer AOrder, TGalleryPageBuilder ABuild) {
  Registry().push_back({AName, AOrder, ABuild});
}

std::vector<TGalleryPage> GalleryPages() {
  std::vector<TGalleryPage> pages = Registry();
  std::sort(pages.begin(), pages.end(), [](const TGalleryPage& a, const TGalleryPage& b) {
    return a.Order != b.Order ? a.Order < b.Order : a.Name < b.Name;
  });
  return pages;
}

const std::vector<TGalleryVariant>& GalleryVariants() {
  static const std::vector<TGalleryVariant> variants = {
      {"flat-themes-on", lfFlat, false, true},           {"flat-themes-off", lfFlat, false, false},
      {"standard-themes-on", lfStandard, false, true},   {"standard-themes-off", lfStandard, false, false},
      {"ultraflat-themes-on", lfUltraFlat, false, true}, {"ultraflat-themes-off", lfUltraFlat, false, false},
      {"native-themes-on", lfUltraFlat, true, true},     {"native-themes-off", lfUltraFlat, true, false},
  };
  return variants;
}

void ApplyGalleryVariant(const TGalleryVariant& AVariant) {
  ThemeEngine::SetEnabled(AVariant.Themes);
  TqvLookAndFeel* root = RootLookAndFeel();
  root->SetKind(AVariant.Kind);
  root->SetNativeStyle(AVariant.NativeStyle);
}

TPoint Cell(Integer AIndex, Integer ATop, Integer ARowHeight) {
  return {kMargin + (AIndex % 4) * (kCellWidth + kCellGap), ATop + (AIndex / 4) * ARowHeight};
}

TLabel* AddLabel(TWinControl* Parent, const String& ACaption, const TRect& R) {
  auto* label = New<TLabel>(Parent);
  label->SetParent(Parent);
  label->SetBoundsRect(R);
  label->SetCaption(ACaption);
  return label;
}

TLabel* AddLabel(TWinControl* Parent, Integer X, Integer Y, const String& ACaption, Integer AWidth) {
  return AddLabel(Parent, ACaption, Bounds(X, Y, AWidth, kLabelHeight));
}

Integer TextWidthIn(TFont* AFont, const String& AText) {
  TBitmap measure;
  measure.GetCanvas()->GetFont()->Assign(AFont);
  return measure.GetCanvas()->TextWidth(AText);
}

Integer AddDialogSample(TWinControl* Parent, const String& ACaption, Integer Y, TWinControl* AForm) {
  AddLabel(Parent, kMargin, Y, ACaption, GalleryPageSize.cx - 2 * kMargin);
  AForm->SetParent(Parent);
  AForm->SetLeft(kMargin);
  AForm->SetTop(Y + kLabelHeight);
  AForm->Show();
  return AForm->GetTop() + AForm->GetHeight();
}
