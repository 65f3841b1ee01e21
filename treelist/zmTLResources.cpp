// The tree list's cursors and glyphs (drawn here), timers, scratch bitmaps, captions and the
// measuring DC; the date captions; the check-edit style controller; all units in one scope.
#include "treelist/zmTLResources.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/os/CursorPicture.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmCntner.h"
#include "treelist/zmTLColumn.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TzmCheckEditStyleController)

const TResourceString SzmCustomize = {38802, "Customize"};
const TResourceString SzmBandsCaption = {38809, "    Bands    "};
const TResourceString SzmHeadersCaption = {38810, "   Headers   "};
const TResourceString SzmToday = {38903, "Today"};
const TResourceString SzmClear = {38904, "Clear"};

namespace {

using TPictureRows = std::vector<const char*>;

// ---------------------------------------------------------------------------------------------
// Pictures: 'X' black, '.' white, ' ' transparent (white in glyphs).

constexpr int kCursorSize = 16;
constexpr int kGlyphSize = 12;
constexpr int kHotSpot = 7;

// The tree list's cursors are black shapes with a white outline; the arrows of the scroll
// cursors point away from a centre dot.
enum TCursorPart : unsigned { cpDot = 1, cpUp = 2, cpDown = 4, cpLeft = 8, cpRight = 16 };

using TCursorGrid = std::vector<std::string>;

TCursorGrid EmptyGrid() { return TCursorGrid(kCursorSize, std::string(kCursorSize, ' ')); }

void Outline(TCursorGrid& Grid) {
  TCursorGrid src = Grid;
  for (int y = 0; y < kCursorSize; ++y)
    for (int x = 0; x < kCursorSize; ++x) {
      if (src[y][x] != ' ') continue;
      bool touches = (x > 0 && src[y][x - 1] == 'X') || (x + 1 < kCursorSize && src[y][x + 1] == 'X') ||
                     (y > 0 && src[y - 1][x] == 'X') || (y + 1 < kCursorSize && src[y + 1][x] == 'X');
      if (touches) Grid[y][x] = '.';
    }
}

TCursorGrid ScrollGrid(unsigned Parts) {
  TCursorGrid g = EmptyGrid();
  for (int i = 0; i < 4; ++i)
    for (int w = 7 - i; w <= 8 + i; ++w) {
      if (Parts & cpUp) g[1 + i][w] = 'X';
      if (Parts & cpDown) g[14 - i][w] = 'X';
      if (Parts & cpLeft) g[w][1 + i] = 'X';
      if (Parts & cpRight) g[w][14 - i] = 'X';
    }
  if (Parts & cpDot)
    for (int y = 6; y <= 9; ++y)
      for (int x = 6; x <= 9; ++x) g[y][x] = 'X';
  Outline(g);
  return g;
}

TCursorGrid DeleteGrid() {
  TCursorGrid g = EmptyGrid();
  for (int y = 2; y <= 13; ++y)
    for (int x = 2; x <= 13; ++x)
      if (std::abs(x - y) <= 1 || std::abs(x + y - 15) <= 1) g[y][x] = 'X';
  Outline(g);
  return g;
}

const TCursorGrid kDragCopy = {"X               ", "XX              ", "X.X             ", "X..X            ",
                               "X...X           ", "X....X          ", "X.....X         ", "X..XXXXX        ",
                               "X.X  XXXXXXX    ", "XX   X.....X    ", "X    X..X..X    ", "     X.XXX.X    ",
                               "     X..X..X    ", "     X.....X    ", "     XXXXXXX    ", "                "};
const TCursorGrid kMultiDragCopy = {"X               ", "XX              ", "X.X             ", "X..X            ",
                                    "X...X           ", "X....X   XXXXXXX", "X.....X  X.....X", "X..XXXXX X.....X",
                                    "X.X  XXXXXXX...X", "XX   X.....X...X", "X    X..X..X...X", "     X.XXX.XXXXX",
                                    "     X..X..X    ", "     X.....X    ", "     XXXXXXX    ", "                "};

struct TCursorEntry {
  TCursor Id;
  HCURSOR (*Make)();
};

const TCursorEntry kCursors[] = {
    {crzmTLDelete, [] { return CursorFromPicture(DeleteGrid(), kHotSpot, kHotSpot); }},
    {crzmTLFullScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpUp | cpDown | cpLeft | cpRight), kHotSpot, kHotSpot); }},
    {crzmTLHorScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpLeft | cpRight), kHotSpot, kHotSpot); }},
    {crzmTLVerScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpUp | cpDown), kHotSpot, kHotSpot); }},
    {crzmTLUpScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpUp), kHotSpot, kHotSpot); }},
    {crzmTLRightScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpRight), kHotSpot, kHotSpot); }},
    {crzmTLDownScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpDown), kHotSpot, kHotSpot); }},
    {crzmTLLeftScroll, [] { return CursorFromPicture(ScrollGrid(cpDot | cpLeft), kHotSpot, kHotSpot); }},
    {crzmTLDragCopy, [] { return CursorFromPicture(kDragCopy, 0, 0); }},
    {crzmTLMultiDragCopy, [] { return CursorFromPicture(kMultiDragCopy, 0, 0); }},
};

// The indicator glyphs, black on white (white is their transparent colour).
const TPictureRows kIndicatorArrow = {"            ", "            ", "    X       ", "    XX      ",
                                  "    XXX     ", "    XXXX    ", "    XXXXX   ", "    XXXX    ",
                                  "    XXX     ", "    XX      ", "    X       ", "            "};
const TPictureRows kIndicatorEdit = {"            ", "   XX XX    ", "     X      ", "     X      ",
                                 "     X      ", "     X      ", "     X      ", "     X      ",
                                 "     X      ", "     X      ", "   XX XX    ", "            "};
const TPictureRows kIndicatorInsert = {"            ", "            ", "     X      ", "  X  X  X   ",
                                   "   X X X    ", "    XXX     ", "  XXXXXXX   ", "    XXX     ",
                                   "   X X X    ", "  X  X  X   ", "     X      ", "            "};
const TPictureRows kIndicatorMultiDot = {"            ", "            ", "            ", "            ",
                                     "            ", "     XX     ", "    XXXX    ", "    XXXX    ",
                                     "     XX     ", "            ", "            ", "            "};
const TPictureRows kIndicatorMultiArrow = {"            ", "            ", " X          ", " XX         ",
                                       " XXX        ", " XXXX   XX  ", " XXXXX XXXX ", " XXXX  XXXX ",
                                       " XXX    XX  ", " XX         ", " X          ", "            "};

HBITMAP GlyphOf(const TPictureRows& Rows) {
  uint32_t pixels[kGlyphSize * kGlyphSize];
  for (int y = 0; y < kGlyphSize; ++y)
    for (int x = 0; x < kGlyphSize; ++x) pixels[y * kGlyphSize + x] = Rows[y][x] == 'X' ? 0 : 0xFFFFFF;
  return CreateBitmap(kGlyphSize, kGlyphSize, 1, 32, pixels);
}

struct TGlyphEntry {
  const char* Name;
  TBitmapResourceFactory Make;
};

const TGlyphEntry kIndicatorGlyphs[] = {
    {"ZMGRID_ARROW", [] { return GlyphOf(kIndicatorArrow); }},
    {"ZMGRID_EDIT", [] { return GlyphOf(kIndicatorEdit); }},
    {"ZMGRID_INSERT", [] { return GlyphOf(kIndicatorInsert); }},
    {"ZMGRID_MULTIDOT", [] { return GlyphOf(kIndicatorMultiDot); }},
    {"ZMGRID_MULTIARROW", [] { return GlyphOf(kIndicatorMultiArrow); }},
};

// ---------------------------------------------------------------------------------------------
// The tree list unit

struct TTreeListResources {
  std::vector<std::pair<TCursor, HCURSOR>> Cursors;
  TOwned<TBitmap> DragArrow, Plus, Minus;
  TCustomImageList* Indicators = nullptr;
  String Customize, Bands, Headers;
  HDC MeasureDC = nullptr;
};

TzmUnitCounter TreeListCounter;
TTreeListResources Resources;

void LoadCursors() {
  for (const TCursorEntry& entry : kCursors) {
    HCURSOR cursor = entry.Make();
    Resources.Cursors.emplace_back(entry.Id, cursor);
    Screen->SetCursors(entry.Id, cursor);
  }
}

void FreeCursors() {
  for (auto& [id, cursor] : Resources.Cursors) {
    Screen->SetCursors(id, nullptr);
    DestroyCursor(cursor);
  }
  Resources.Cursors.clear();
}

TCustomImageList* LoadIndicatorImages() {
  auto* list = New<TImageList>(nullptr);
  list->SetSize(kGlyphSize, kGlyphSize);
  for (const TGlyphEntry& glyph : kIndicatorGlyphs) {
    RegisterBitmapResource(glyph.Name, glyph.Make);
    list->ResourceLoad(rtBitmap, glyph.Name, clWhite);
  }
  return list;
}

// ---------------------------------------------------------------------------------------------
// The date captions unit

TzmUnitCounter DateCounter;
String Today, Clear;
Integer FirstDay = 0;

}  // namespace

void zmTreeListUnitStart() {
  if (!TreeListCounter.Start()) return;
  RegisterClasses({&TzmTreeListColumn::StaticClass(), &TzmTreeListMaskColumn::StaticClass()});
  LoadCursors();
  Resources.DragArrow = MakeOwned<TBitmap>();
  Resources.Plus = MakeOwned<TBitmap>();
  Resources.Minus = MakeOwned<TBitmap>();
  Resources.Indicators = LoadIndicatorImages();
  Resources.Customize = LoadResString(&SzmCustomize);
  Resources.Bands = LoadResString(&SzmBandsCaption);
  Resources.Headers = LoadResString(&SzmHeadersCaption);
  Resources.MeasureDC = GetDC(nullptr);
}

void zmTreeListUnitEnd() {
  if (!TreeListCounter.End()) return;
  ReleaseDC(nullptr, Resources.MeasureDC);
  Resources.MeasureDC = nullptr;
  FreeAndNil(Resources.Indicators);
  Resources.DragArrow.reset();
  Resources.Plus.reset();
  Resources.Minus.reset();
  FreeCursors();
  Resources.Customize.clear();
  Resources.Bands.clear();
  Resources.Headers.clear();
}

TCustomImageList* IndicatorImages() { return Resources.Indicators; }
TBitmap* DragArrowBitmap() { return Resources.DragArrow.get(); }
TBitmap* ExpandPlusBitmap() { return Resources.Plus.get(); }
TBitmap* ExpandMinusBitmap() { return Resources.Minus.get(); }
HDC TreeListMeasureDC() { return Resources.MeasureDC; }
const String& CustomizeCaption() { return Resources.Customize; }
const String& BandsCaption() { return Resources.Bands; }
const String& HeadersCaption() { return Resources.Headers; }

Integer FirstDayFromLocale(Integer LocaleDay) {
  Integer day = LocaleDay + 1;
  return day > 6 ? 0 : day;
}

void zmDateCaptionsStart() {
  if (!DateCounter.Start()) return;
  Today = LoadResString(&SzmToday);
  Clear = LoadResString(&SzmClear);
  FirstDay = FirstDayFromLocale(FormatSettings().FirstDayOfWeek);
}

void zmDateCaptionsEnd() {
  if (!DateCounter.End()) return;
  Today.clear();
  Clear.clear();
}

const String& TodayCaption() { return Today; }
const String& ClearCaption() { return Clear; }
Integer FirstDayOfWeek() { return FirstDay; }

// ---------------------------------------------------------------------------------------------
// TzmCheckEditStyleController

TzmCheckEditStyleController::TzmCheckEditStyleController(TComponent* AOwner) : TzmEditStyleController(AOwner) {
  TUpdateScope<TzmStyleController> scope(*this);
  SetBorderStyle(xbsNone);
  SetButtonStyle(TzmEditButtonViewStyle::bts3D);
}

void TzmCheckEditStyleController::RestoreDefaults() {
  TUpdateScope<TzmStyleController> scope(*this);
  inherited::RestoreDefaults();
  SetBorderStyle(xbsNone);
  SetButtonStyle(TzmEditButtonViewStyle::bts3D);
}

// ---------------------------------------------------------------------------------------------
// All units

TzmTreeListUnits::TzmTreeListUnits() {
  zmUtilsStart();
  zmCntnerStart();
  zmEditorStart();
  zmDateCaptionsStart();
  zmTreeListUnitStart();
}

TzmTreeListUnits::~TzmTreeListUnits() {
  zmTreeListUnitEnd();
  zmDateCaptionsEnd();
  zmEditorEnd();
  zmCntnerEnd();
  zmUtilsEnd();
}
