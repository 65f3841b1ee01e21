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

class TFont;
class TLabel;

// Layout shared by the pages. Most pages place their samples in a grid of cells, four a row,
// each with a caption above its sample; pages whose samples fill the page's width keep a
// narrower margin and use wider columns.
constexpr Integer kMargin = 12;        // from the page's edges to the grid
constexpr Integer kCellWidth = 220;    // a cell and its sample
constexpr Integer kCellGap = 20;       // between two cells of a row
constexpr Integer kLabelHeight = 16;   // a caption
constexpr Integer kRowHeight = 62;     // a row of one-line samples: caption, sample and space
constexpr Integer kNarrowMargin = 8;   // from the page's edges on pages filled by columns
constexpr Integer kColumnWidth = 240;  // a column of such a page: four fill it

// The top left corner of cell AIndex of the grid whose first row is at ATop.
TPoint Cell(Integer AIndex, Integer ATop = kMargin, Integer ARowHeight = kRowHeight);
// A label showing ACaption in R.
TLabel* AddLabel(TWinControl* Parent, const String& ACaption, const TRect& R);
// A caption at X, Y, AWidth wide and kLabelHeight high.
TLabel* AddLabel(TWinControl* Parent, Integer X, Integer Y, const String& ACaption, Integer AWidth = kCellWidth);
// The width of a text in a font, for sizing a sample to its caption.
Integer TextWidthIn(TFont* AFont, const String& AText);
// A dialog shown on the page: ACaption at kMargin, Y and the form below it, as a child of the
// page (so without its frame). Returns the page coordinate below the form.
Integer AddDialogSample(TWinControl* Parent, const String& ACaption, Integer Y, TWinControl* AForm);

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
