// The gallery's pages: each page is one file that registers itself at start-up, so adding a
// page edits no shared file:
//
//   void BuildGridPage(TWinControl* Parent) { ... controls owned by and placed on Parent ... }
//   const TGalleryPageRegistration GridPage("Grid", 400, &BuildGridPage);
//
// A page is built once per variant on a fresh parent of GalleryPageSize. Before it is built the
// root look and feel holds the variant's kind and native style and themes are switched for it,
// so controls that follow the root show the variant without looking at it.
#pragma once

#include <vector>

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/Controls.h"

constexpr TSize GalleryPageSize{1000, 720};

struct TGalleryVariant {
  const char* Name;  // part of the shot's file name
  TqvLookAndFeelKind Kind;
  bool NativeStyle;
  bool Themes;
};

using TGalleryPageBuilder = void (*)(TWinControl* Parent);

struct TGalleryPage {
  String Name;    // list caption and the first part of the shot's file name
  Integer Order;  // pages are listed by order (subsystem number x 100), then by name
  TGalleryPageBuilder Build;
};

class TGalleryPageRegistration {
 public:
  TGalleryPageRegistration(const char* AName, Integer AOrder, TGalleryPageBuilder ABuild);
};

// The registered pages in their order.
std::vector<TGalleryPage> GalleryPages();
// Every look-and-feel kind and the native style, each with themes on and off.
const std::vector<TGalleryVariant>& GalleryVariants();
// Sets the root look and feel and the theme switch for a variant.
void ApplyGalleryVariant(const TGalleryVariant& AVariant);
