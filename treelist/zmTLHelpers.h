// Stateless helpers of the tree list: drawing its parts (expand buttons in three looks, button
// faces, header buttons with drop-down button, sort arrow and glyph, indicator cells, cell and
// preview text, focus rectangles, drop frames), measuring word-wrapped text, comparing sort keys,
// and the auto-scroll timer procedure. Several drawing routines can go through an off-screen
// bitmap the caller owns (grown only when too small), so that a part reaches the screen in one
// copy.
#pragma once

#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Variants.h"
#include "treelist/zmTL.h"

class TCanvas;
class TFont;
class TBitmap;
class TCustomImageList;
class TzmTreeListColumn;

// ---------------------------------------------------------------------------------------------
// Measuring and small helpers

// The text lines Text needs word-wrapped in Width - Indent (less 2 pixels a side) with lines of
// LineHeight (0: the font's height of "Wg"); at most MaxLines unless it is -1. Height receives
// the lines' height plus 3. 0 for an empty text or MaxLines 0.
Integer CalcWrappedLineCount(const String& Text, Integer Width, Integer LineHeight, Integer MaxLines, TFont* Font,
                             bool Tight, Integer Indent, Integer& Height);
bool RectIsPoint(const TRect& Rect);
// Equal after upper-casing by the code page's rules.
bool SameTextAnsi(const String& A, const String& B);
[[noreturn]] void RaiseTreeListError(const String& Message);

// ---------------------------------------------------------------------------------------------
// Sorting

// A value read once for sorting: the rank of its kind and its typed key (a number as a key
// compared field by field, a text as a text), so that comparing two of them reads no Variant
// and copies no text. Default: Empty.
class TzmSortValue {
 public:
  TzmSortValue() = default;
  explicit TzmSortValue(const Variant& Value) { *this = Value; }
  TzmSortValue& operator=(const Variant& Value);
  // The order of CompareVariants.
  static Integer Compare(const TzmSortValue& A, const TzmSortValue& B);

 private:
  enum TRank : Byte { rkNull, rkEmpty, rkNumber, rkText, rkOther };
  static Integer CompareNumbers(const TzmSortValue& A, const TzmSortValue& B);

  TRank FRank = rkEmpty;
  // Numbers: NaN last, then the value as a double, then exact values (integers, Booleans,
  // currency, in ten-thousandths) before floating ones of the same double, then the exact value.
  // Every field is totally ordered, so the key order is too.
  bool FIsNaN = false;
  bool FFloating = false;
  double FApprox = 0;
  __int128 FExact = 0;
  String FText;
};

// A node's sort value in one sorted column, chained to its value in the next sorted column.
struct TNodeVariant {
  TzmTreeListNode* Node = nullptr;
  TzmSortValue Value;
  bool Descending = false;
  TNodeVariant* Next = nullptr;
};

// A total order of values: Null first, then Empty, numbers (by value; NaN after all numbers),
// texts (the code page's collation), anything else last. Values of different kinds never
// compare equal, so sorting is always well defined.
Integer CompareVariants(const Variant& V1, const Variant& V2);
// Texts by the code page's case-sensitive collation, other values as CompareVariants.
Integer CompareVariantsCaseSensitive(const Variant& V1, const Variant& V2);
// The chains compared key by key (a descending key negated); 0 when every key is equal.
Integer CompareKeyChain(const TNodeVariant* A, const TNodeVariant* B);
Integer CompareKeyChainCaseSensitive(const TNodeVariant* A, const TNodeVariant* B);
// The chains, then the nodes' identity (Control's CompareNodeIdentity) for equal keys.
Integer CompareSortKeys(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B);
Integer CompareSortKeysCaseSensitive(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B);
// Control's OnCompareNodes decides; its 0 goes to the nodes' identity.
Integer CompareSortKeysByEvent(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B);
// Orders references by address as pointers (never by their difference).
Integer CompareFirstValues(const void* A, const void* B);
// By the columns' SortedOrder.
Integer CompareSortedOrder(const TzmTreeListColumn* A, const TzmTreeListColumn* B);

// ---------------------------------------------------------------------------------------------
// Drawing

// Only for an existing list and 0 <= Index < count.
void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* Images, Integer Index);
// An indicator or other glyph of an image list centred in Rect, at the device pixels of a
// high-DPI window.
void DrawGlyphCentered(HDC DC, const TRect& Rect, TCustomImageList* Images, Integer Index);
void DrawBitmapCentered(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap);
// The standard look: a 9 x 9 box around CenterY with a minus, or a plus.
void DrawExpandButton(TCanvas* Canvas, const TRect& Rect, Integer CenterY, bool Plus);
void DrawBitmapExpandButton(TCanvas* Canvas, const TRect& Rect, bool Plus);
// The flat looks: an 11 x 11 box with a shadow at the right and bottom.
void DrawFlatExpandButton(HDC DC, const TRect& Rect, bool Plus);
// A triangle 8 wide and 7 high around Rect's centre, drawn in a 3-D outline.
void DrawSortArrow(HDC DC, const TRect& Rect, bool Up);
// A button face in a look; Kind is 0 for a plain button, 1 to 3 for a button of a multi-row
// header (1 first, 2 last, 3 both). Rect becomes the content area.
void DrawButtonFace(HDC DC, TRect& Rect, HBRUSH Brush, bool Pressed, Integer Kind, TzmTreeListFrameLook Look);
// The flat looks show a pressed button by inversion.
void DrawButtonFaceInverted(HDC DC, TRect& Rect, HBRUSH Brush, bool Pressed, Integer Kind, TzmTreeListFrameLook Look);
// State: zmhbHot, zmhbPressed and zmDropDownHighlight.
void DrawDropDownButton(HDC DC, const TRect& Rect, Byte State);
constexpr Byte zmDropDownHighlight = 8;
// The header drop-down zone and the sort arrow's width.
constexpr Integer zmDropDownZoneWidth = 15;
constexpr Integer zmSortArrowWidth = 16;

// What a header button shows.
struct TzmHeaderButtonContent {
  String Text;
  bool Pressed = false;
  Integer MultiLineIndex = 0;  // 0 single line with an end ellipsis, 1 word-wrapped
  TAlignment Alignment = taLeftJustify;
  TzmTreeListColumnSort SortState = TzmTreeListColumnSort::csNone;
  TBitmap* Glyph = nullptr;
  Integer Kind = 0;
  TzmTreeListFrameLook Look = zmflStandard;
  Byte DropDownState = 0;
};

// A face, then the drop-down button, the sort arrow and the glyph from the right and left of the
// content, then the caption in the DC's font and text colour.
void DrawHeaderButton(HDC DC, const TRect& Rect, HBRUSH Brush, const TzmHeaderButtonContent& Content);
// The same through Buffer; only the part inside VisibleRect reaches DC.
void DrawHeaderButtonBuffered(HDC DC, const TRect& Rect, const TRect& VisibleRect, HBRUSH Brush, TBitmap* Buffer,
                              const TzmHeaderButtonContent& Content);
void DrawIndicatorFace(HDC DC, TRect& Rect, HBRUSH Brush);
// GlyphPlusOne: 0 for none, else the indicator image's index + 1.
void DrawIndicatorCell(HDC DC, const TRect& Rect, const TRect& VisibleRect, HBRUSH Brush, TBitmap* Buffer,
                       Integer GlyphPlusOne, TzmTreeListFrameLook Look);

// How a cell's text is drawn.
struct TzmCellTextOptions {
  bool MultiLine = false;
  bool EndEllipsis = false;
  TAlignment Alignment = taLeftJustify;
  bool Buffered = false;
  bool TopInsetTwo = false;
  // The text over a background the DC's colour fills behind each glyph; nothing else drawn.
  bool Opaque = false;
};

// The first Count characters of Text (clamped to the text) in a cell: one clipped output for a
// single line in a pure colour, else the formatted path (through Buffer when Buffered).
void DrawCellTextFast(HDC DC, const TRect& Rect, HBRUSH Brush, TColor Color, TBitmap* Buffer, const String& Text,
                      Integer Count, const TzmCellTextOptions& Options);
void DrawCellTextRect(HDC DC, const TRect& Rect, HBRUSH Brush, const String& Text, Integer Count,
                      const TzmCellTextOptions& Options);
void DrawPreviewText(HDC DC, const TRect& Rect, HBRUSH Brush, TFont* Font, TBitmap* Buffer, TColor TextColor,
                     const String& Text, Integer Indent, bool Buffered);
void DrawPreviewTextRect(HDC DC, const TRect& Rect, HBRUSH Brush, TFont* Font, TColor TextColor, const String& Text,
                         Integer Indent);
// The dotted focus rectangle in black and white, the same on every background.
void DrawFocusRectangle(HDC DC, const TRect& Rect);
// A one-pixel inverted frame; a second call removes it.
void InvertFrame(HDC DC, const TRect& Rect);
