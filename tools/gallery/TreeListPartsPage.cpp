// The parts the tree list paints itself from: expand buttons in the three looks, header buttons
// (plain, pressed, sorted, with a drop-down button in its states, with a glyph, in the rows of a
// multi-row header), indicator cells with their glyphs, cell text on the fast and the formatted
// paths, preview text, the focus rectangle and the drop frame.
#include "GalleryPage.h"
#include "TreeListGallery.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/StdCtrls.h"
#include "treelist/zmTLHelpers.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr Integer kPartsColumn = 210;
constexpr Integer kRow = 30;
const TzmTreeListFrameLook kLooks[] = {zmflStandard, zmflFlat, zmflUltraFlat};
const char* const kLookNames[] = {"Standard", "Flat", "Ultra flat"};

class TTreeListPartsView : public TCustomControl {
  QJ_INLINE_CLASS(TTreeListPartsView, TCustomControl)
 public:
  explicit TTreeListPartsView(TComponent* AOwner) : TCustomControl(AOwner) {
    FBuffer = MakeOwned<TBitmap>();
    FGlyph = MakeOwned<TBitmap>();
    FGlyph->SetSize(12, 12);
    TCanvas* glyph = FGlyph->GetCanvas();
    glyph->GetBrush()->SetColor(clWhite);
    glyph->FillRect(Rect(0, 0, 12, 12));
    glyph->GetBrush()->SetColor(clNavy);
    glyph->Ellipse(2, 2, 10, 10);
    FGlyph->SetTransparentColor(clWhite);
  }

 protected:
  void Paint() override {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(clWindow);
    canvas->FillRect(GetClientRect());
    canvas->GetFont()->Assign(GetFont());
    HDC dc = canvas->GetHandle();
    for (Integer look = 0; look < 3; ++look) Look(canvas, dc, look);
    Cells(dc, 3 * kPartsColumn + 10);
  }

 private:
  void Label(HDC DC, Integer X, Integer Y, const String& Text) {
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    TextOut(DC, X, Y, Text.c_str(), static_cast<int>(Text.size()));
  }

  void Header(HDC DC, Integer X, Integer Y, Integer Width, TzmHeaderButtonContent Content) {
    SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
    TRect r = Bounds(X, Y, Width, 20);
    DrawHeaderButtonBuffered(DC, r, r, GetSysColorBrush(COLOR_BTNFACE), FBuffer.get(), Content);
  }

  void Look(TCanvas* Canvas, HDC DC, Integer Index) {
    TzmTreeListFrameLook look = kLooks[Index];
    Integer x = 10 + Index * kPartsColumn, y = 8;
    Label(DC, x, y, kLookNames[Index]);
    y += 24;
    for (Integer i = 0; i < 2; ++i) {
      TRect box = Bounds(x + i * 24, y, 20, 20);
      if (look == zmflStandard) DrawExpandButton(Canvas, box, y + 10, i == 0);
      else DrawFlatExpandButton(DC, box, i == 0);
    }
    y += kRow;
    TzmHeaderButtonContent content;
    content.Look = look;
    content.Text = "Channel";
    Header(DC, x, y, 190, content);
    y += kRow;
    content.Pressed = true;
    content.Text = "Pressed";
    Header(DC, x, y, 190, content);
    content.Pressed = false;
    y += kRow;
    content.Text = "Sorted up";
    content.SortState = TzmTreeListColumnSort::csUp;
    Header(DC, x, y, 190, content);
    y += kRow;
    content.Text = "Sorted down, centred";
    content.SortState = TzmTreeListColumnSort::csDown;
    content.Alignment = taCenter;
    Header(DC, x, y, 190, content);
    content.Alignment = taLeftJustify;
    content.SortState = TzmTreeListColumnSort::csNone;
    const Byte states[] = {zmhbShown, zmhbShown | zmhbHot, zmhbShown | zmhbHot | zmhbPressed, zmDropDownHighlight};
    const char* stateNames[] = {"Drop-down", "Hot", "Pressed", "Filtered"};
    for (Integer i = 0; i < 4; ++i) {
      y += kRow;
      content.Text = stateNames[i];
      content.DropDownState = states[i];
      Header(DC, x, y, 190, content);
    }
    content.DropDownState = 0;
    y += kRow;
    content.Text = "With a glyph and a caption too long to fit";
    content.Glyph = FGlyph.get();
    Header(DC, x, y, 190, content);
    content.Glyph = nullptr;
    y += kRow;
    for (Integer kind = 1; kind <= 3; ++kind) {
      content.Kind = kind;
      content.Text = "Row " + IntToStr(kind);
      Header(DC, x + (kind - 1) * 63, y, 63, content);
    }
    y += kRow;
    for (Integer glyph = 0; glyph <= IndicatorImages()->GetCount(); ++glyph) {
      TRect cell = Bounds(x + glyph * 16, y, 14, 18);
      DrawIndicatorCell(DC, cell, cell, GetSysColorBrush(COLOR_BTNFACE), FBuffer.get(), glyph, look);
    }
  }

  void Cells(HDC DC, Integer X) {
    Integer y = 8;
    Label(DC, X, y, "Cells");
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
    TzmCellTextOptions options;
    const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
    const char* texts[] = {"Left", "Centred", "Right"};
    for (Integer i = 0; i < 3; ++i) {
      y += kRow;
      options.Alignment = alignments[i];
      TRect cell = Bounds(X, y, 200, 20);
      DrawCellTextFast(DC, cell, window, clWindow, FBuffer.get(), texts[i], 99, options);
      FrameRect(DC, &cell, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    options.Alignment = taLeftJustify;
    options.EndEllipsis = true;
    y += kRow;
    TRect ellipsis = Bounds(X, y, 200, 20);
    DrawCellTextFast(DC, ellipsis, window, clWindow, FBuffer.get(), "A cell text too long for its cell ends short", 99,
                     options);
    FrameRect(DC, &ellipsis, GetSysColorBrush(COLOR_BTNSHADOW));
    options.EndEllipsis = false;
    options.MultiLine = true;
    options.Buffered = true;
    y += kRow;
    TRect lines = Bounds(X, y, 200, 36);
    DrawCellTextFast(DC, lines, window, clWindow, FBuffer.get(), "A multi-line cell wraps its words onto two lines",
                     99, options);
    FrameRect(DC, &lines, GetSysColorBrush(COLOR_BTNSHADOW));
    y += 46;
    SetBkColor(DC, RGB(255, 255, 0));
    TzmCellTextOptions marked;
    marked.Opaque = true;
    DrawCellTextFast(DC, Bounds(X, y, 200, 20), window, clWindow, nullptr, "Search match", 6, marked);
    y += kRow;
    TRect preview = Bounds(X, y, 200, 40);
    auto font = MakeOwned<TFont>();
    font->Assign(GetFont());
    font->SetColor(clBlue);
    DrawPreviewText(DC, preview, window, font.get(), FBuffer.get(), clBlue,
                    "Preview text under a row, indented and word-wrapped", 20, true);
    y += 50;
    TRect focus = Bounds(X, y, 200, 20);
    DrawFocusRectangle(DC, focus);
    y += kRow;
    TRect drop = Bounds(X, y, 200, 20);
    InvertFrame(DC, drop);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    TextOut(DC, X + 6, y + 3, "Drop frame", 10);
    y += kRow;
    for (Integer i = 0; i < 2; ++i) DrawSortArrow(DC, Bounds(X + i * 20, y, 16, 16), i == 0);
  }

  TOwned<TBitmap> FBuffer;
  TOwned<TBitmap> FGlyph;
};

void BuildTreeListPartsPage(TWinControl* Parent) {
  New<TTreeListUnitsHolder>(Parent);
  auto* view = New<TTreeListPartsView>(Parent);
  view->SetParent(Parent);
  view->SetBounds(10, 10, GalleryPageSize.cx - 20, GalleryPageSize.cy - 20);
}

const TGalleryPageRegistration TreeListPartsPage("Tree list parts", 1001, &BuildTreeListPartsPage);

}  // namespace
