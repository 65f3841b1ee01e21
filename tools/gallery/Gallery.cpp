// The gallery: the library's controls, one page per subsystem, in every look-and-feel variant.
//   gallery                 a window with the page and variant lists
//   gallery --shot DIR      renders every page in every variant headlessly to DIR/<page>-<variant>.png
//   gallery --shot DIR --page NAME   only that page
//   gallery --shot DIR --variant NAME   only that variant (with or without --page)
//   QJ_DPI=192 gallery --shot DIR    the shots at that resolution (device pixels)
//   gallery --list          the page names, one a line (CTest shoots each page as its own test)
// A page that raises makes --shot fail (exit code 1) after the other pages are written.
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "GalleryPage.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Backend.h"
#include "platform/os/Surface.h"

namespace {

struct TOptions {
  String ShotDir;
  String Page;
  String Variant;
  bool List = false;
  bool Help = false;
};

bool ParseOptions(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const String arg = argv[i];
    if (arg == "--shot" && i + 1 < argc)
      o.ShotDir = argv[++i];
    else if (arg == "--page" && i + 1 < argc)
      o.Page = argv[++i];
    else if (arg == "--variant" && i + 1 < argc)
      o.Variant = argv[++i];
    else if (arg == "--list")
      o.List = true;
    else if (arg == "--help" || arg == "-h")
      o.Help = true;
    else
      return false;
  }
  return true;
}

bool WritePng(const TSurface& surface, const std::filesystem::path& file) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, surface.Width);
  std::vector<unsigned char> data(size_t(stride) * size_t(surface.Height));
  for (Integer y = 0; y < surface.Height; ++y)
    std::memcpy(data.data() + size_t(y) * size_t(stride), surface.Row(y), size_t(surface.Width) * 4);
  cairo_surface_t* s =
      cairo_image_surface_create_for_data(data.data(), CAIRO_FORMAT_RGB24, surface.Width, surface.Height, stride);
  const bool ok = cairo_surface_write_to_png(s, file.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

// A borderless form of the page size with the page built on it.
TCustomForm* BuildPageForm(const TGalleryPage& page) {
  TCustomForm* form = TCustomForm::CreateNew(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, GalleryPageSize.cx, GalleryPageSize.cy);
  page.Build(form);
  return form;
}

bool ShootPage(const TGalleryPage& page, const TGalleryVariant& variant, const std::filesystem::path& dir) {
  const std::filesystem::path file = dir / (page.Name + "-" + variant.Name + ".png");
  try {
    ApplyGalleryVariant(variant);
    TOwned<TCustomForm> form(BuildPageForm(page));
    form->Show();
    RedrawWindow(form->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    const TSurface* surface = Headless::WindowSurface(form->GetHandle());
    if (!surface || !WritePng(*surface, file)) {
      std::fprintf(stderr, "gallery: cannot write %s\n", file.c_str());
      return false;
    }
    std::printf("%s\n", file.c_str());
    return true;
  } catch (const Exception& e) {
    std::fprintf(stderr, "gallery: page %s (%s) failed: %s\n", page.Name.c_str(), variant.Name, e.Message().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gallery: page %s (%s) failed: %s\n", page.Name.c_str(), variant.Name, e.what());
  }
  return false;
}

int Shoot(const TOptions& o) {
  std::error_code ec;
  std::filesystem::create_directories(o.ShotDir, ec);
  bool ok = true, anyPage = false, anyVariant = false;
  for (const TGalleryPage& page : GalleryPages()) {
    if (!o.Page.empty() && page.Name != o.Page) continue;
    anyPage = true;
    for (const TGalleryVariant& variant : GalleryVariants()) {
      if (!o.Variant.empty() && variant.Name != o.Variant) continue;
      anyVariant = true;
      ok = ShootPage(page, variant, o.ShotDir) && ok;
    }
  }
  if (!anyPage) std::fprintf(stderr, "gallery: no page %s\n", o.Page.c_str());
  else if (!anyVariant) std::fprintf(stderr, "gallery: no variant %s\n", o.Variant.c_str());
  return ok && anyPage && anyVariant ? 0 : 1;
}

// The interactive window: the page list above the variant list on the left, each as wide as its
// longest name and as high as its items, and the page on the right at its full size.
class TGalleryForm {
 public:
  TGalleryForm() : FForm(TCustomForm::CreateNew(nullptr)) {
    FForm->SetCaption("QJ Editor gallery");
    FForm->SetBounds(20, 20, GalleryPageSize.cx, GalleryPageSize.cy);
    std::vector<String> pageNames, variantNames;
    for (const TGalleryPage& page : GalleryPages()) pageNames.push_back(page.Name);
    for (const TGalleryVariant& variant : GalleryVariants()) variantNames.push_back(variant.Name);
    FPages = MakeList(pageNames);
    FVariants = MakeList(variantNames);
    FListWidth = std::max(ListWidth(FPages, pageNames), ListWidth(FVariants, variantNames));
    FPages->SetBounds(0, 0, FListWidth, ListHeight(FPages));
    FVariants->SetBounds(0, FPages->GetHeight() + kListGap, FListWidth, ListHeight(FVariants));
    FForm->SetClientWidth(FListWidth + GalleryPageSize.cx);
    FForm->SetClientHeight(std::max(GalleryPageSize.cy, FVariants->GetTop() + FVariants->GetHeight()));
    FPages->SetItemIndex(0);
    FVariants->SetItemIndex(kDefaultVariant);
    Rebuild();
  }

  TCustomForm* Form() const { return FForm.get(); }

 private:
  static constexpr Integer kListGap = 8;          // between the two lists
  static constexpr Integer kListTextMargin = 12;  // around a list's longest name
  static constexpr Integer kDefaultVariant = 4;   // ultraflat-themes-on, as the 192-dpi shots of CTest

  TListBox* MakeList(const std::vector<String>& Names) {
    TListBox* list = New<TListBox>(FForm.get());
    list->SetParent(FForm.get());
    for (const String& name : Names) list->GetItems()->Add(name);
    list->OnClick = [this](TObject*) { Rebuild(); };
    return list;
  }

  static Integer ListWidth(TListBox* List, const std::vector<String>& Names) {
    Integer widest = 0;
    for (const String& name : Names) widest = std::max(widest, TextWidthIn(List->GetFont(), name));
    return widest + 2 * kListTextMargin;
  }

  static Integer ListHeight(TListBox* List) {
    return List->GetItems()->GetCount() * List->GetItemHeight() + (List->GetHeight() - List->GetClientHeight());
  }

  void Rebuild() {
    const std::vector<TGalleryPage> pages = GalleryPages();
    const Integer page = FPages->GetItemIndex(), variant = FVariants->GetItemIndex();
    if (page < 0 || page >= Integer(pages.size()) || variant < 0) return;
    ApplyGalleryVariant(GalleryVariants()[size_t(variant)]);
    FHost.reset(New<TPanel>(nullptr));
    FHost->SetBevelOuter(bvNone);
    FHost->SetParent(FForm.get());
    FHost->SetBounds(FListWidth, 0, GalleryPageSize.cx, GalleryPageSize.cy);
    pages[size_t(page)].Build(FHost.get());
  }

  TOwned<TCustomForm> FForm;
  TListBox* FPages = nullptr;
  TListBox* FVariants = nullptr;
  Integer FListWidth = 0;
  TOwned<TPanel> FHost;
};

int RunInteractive() {
  TGalleryForm gallery;
  Application->SetMainForm(gallery.Form());
  Application->Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options) || options.Help) {
    std::fprintf(stderr, "usage: gallery [--shot DIR [--page NAME] [--variant NAME] | --list]\n");
    return options.Help ? 0 : 2;
  }
  if (options.List) {
    for (const TGalleryPage& page : GalleryPages()) std::printf("%s\n", page.Name.c_str());
    return 0;
  }
  if (!options.ShotDir.empty()) {
    SetBackend(CreateHeadlessBackend());
    Headless::SetScreenSize(GalleryPageSize.cx + 100, GalleryPageSize.cy + 100);
    if (const int dpi = RequestedScreenDpi()) Headless::SetScreenDpi(dpi);
  }
  TqvLookAndFeelUnits units;
  return options.ShotDir.empty() ? RunInteractive() : Shoot(options);
}
