// The drawing interface: device contexts, GDI objects, raster operations, text, edges and frame
// controls, system colours. Names follow the original platform so that drawing code translates
// line by line; numeric values are ours except the raster operation codes, which are truth tables.
//
// Where the parts live: GdiObjects.cpp (the object table: pens, brushes, fonts, bitmaps,
// regions), GdiDC.cpp (device contexts, selection, state, origins, clipping), GdiPrimitives.cpp
// (raster operations, fills, blits, lines, shapes), GdiPaths.cpp (paths), GdiEdges.cpp (3D edges
// and frame controls), GdiBitmaps.cpp (BMP files, system and resource bitmaps), GdiImageList.cpp
// (image lists), GdiDragImage.cpp (drag images), GdiGlyphs.cpp (glyphs drawn at the device
// pixels of a high-DPI surface), GdiSysColors.cpp (system colours),
// GdiFonts.cpp (fonts and metrics), GdiText.cpp (text output and DrawText), GdiTextShaping.cpp
// (simple runs of single-byte text); the shared records are in GdiInternal.h and
// GdiTextEngine.h.
#pragma once

#include <functional>
#include <vector>

#include "platform/os/WinTypes.h"

// ---------------------------------------------------------------------------------------------
// Object records

constexpr int LF_FACESIZE = 32;

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth{};
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;
};

struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONTA = LOGFONT;

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  BYTE tmFirstChar = 0x20;
  BYTE tmLastChar = 0xFF;
  BYTE tmDefaultChar = '?';
  BYTE tmBreakChar = ' ';
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRICA = TEXTMETRIC;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: top-down rows
  WORD biPlanes = 1;
  WORD biBitCount = 32;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// ---------------------------------------------------------------------------------------------
// Constants

inline const HGDIOBJ HGDI_ERROR = reinterpret_cast<HGDIOBJ>(~uintptr_t(0));
constexpr int GDI_ERROR = -1;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Pens
constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
               PS_INSIDEFRAME = 6, PS_ALTERNATE = 8, PS_STYLE_MASK = 0x0F;
// Brushes
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;
// Object types
constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
                OBJ_REGION = 8, OBJ_MEMDC = 10;
// Stock objects
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
              DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
// Font weights and attributes
constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
               FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134,
               CHINESEBIG5_CHARSET = 136, ARABIC_CHARSET = 178, OEM_CHARSET = 255;
constexpr BYTE DEFAULT_QUALITY = 0, ANTIALIASED_QUALITY = 4, NONANTIALIASED_QUALITY = 3;
constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0, FF_ROMAN = 0x10,
               FF_SWISS = 0x20, FF_MODERN = 0x30;
constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;

// Background modes, ROP2 codes (1 + a truth table of pen P = 0b1100 and destination D = 0b1010)
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
              R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10,
              R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15,
              R2_WHITE = 16;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
constexpr int ALTERNATE = 1, WINDING = 2;

// Raster operations: bits 16-23 hold the truth table over pattern 0xF0, source 0xCC, dest 0xAA.
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
                MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021,
                PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009,
                BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// Text alignment
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
               TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256;
// ExtTextOut
constexpr UINT ETO_OPAQUE = 0x02, ETO_CLIPPED = 0x04, ETO_RTLREADING = 0x80;
// DrawText
constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
               DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
               DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000,
               DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
               DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
               DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;

// Regions
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

// DrawEdge
constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
               BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
               EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3,
               BF_TOPRIGHT = 0x6, BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF,
               BF_DIAGONAL = 0x10, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000,
               BF_FLAT = 0x4000, BF_MONO = 0x8000;

// DrawFrameControl
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2,
               DFCS_CAPTIONRESTORE = 0x3, DFCS_CAPTIONHELP = 0x4;
constexpr UINT DFCS_MENUARROW = 0x0, DFCS_MENUCHECK = 0x1, DFCS_MENUBULLET = 0x2,
               DFCS_MENUARROWRIGHT = 0x4;
constexpr UINT DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
               DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8, DFCS_SCROLLSIZEGRIPRIGHT = 0x10;
constexpr UINT DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2,
               DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10;
constexpr UINT DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
               DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;

// System colour indexes
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1, COLOR_ACTIVECAPTION = 2,
              COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
              COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
              COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
              COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15, COLOR_BTNSHADOW = 16,
              COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19,
              COLOR_BTNHIGHLIGHT = 20, COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_BTNHILIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
              COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
              COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30, COLOR_ENDCOLORS = 30;

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC);  // positive: that level; negative: relative to the top

// Device pixels a logical unit of what a DC draws on: above 1 for a window on a high-DPI screen
// and for a bitmap made compatible with one; 1 for other bitmaps and bad handles.
double GetDeviceScale(HDC dc);

// Draws a glyph (a check mark, a radio circle, an arrow, a sign) at the device resolution of a
// DC. On a high-DPI window the pixels under the glyph's rectangle go into a bitmap of their
// device size, the glyph is drawn there at Scale() times its logical size, and what the DC may
// show of it goes back when the scope ends, thrown or not: slopes and curves step by one device
// pixel instead of a doubled one. Elsewhere DC() is the DC itself and Scale() is 1, so the glyph
// is drawn exactly as without the scope. Glyph code places everything through Map and Length.
class TDeviceGlyphScope {
 public:
  // R in the DC's logical coordinates.
  TDeviceGlyphScope(HDC dc, const TRect& R);
  ~TDeviceGlyphScope();
  TDeviceGlyphScope(const TDeviceGlyphScope&) = delete;
  TDeviceGlyphScope& operator=(const TDeviceGlyphScope&) = delete;

  HDC DC() const { return FFine ? FFine : FDC; }
  double Scale() const { return FScale; }
  // The glyph's rectangle in DC()'s coordinates.
  TRect Rect() const { return Map(FLogical); }
  // A point or rectangle of the DC's logical coordinates in DC()'s coordinates.
  TPoint Map(TPoint P) const;
  TRect Map(const TRect& R) const;
  // A logical length (a pen width, a glyph size) in DC()'s units: a whole number of device pixels.
  Integer Length(Integer L) const;
  // A convex polygon through pixels of the DC's logical coordinates in one colour, filled and
  // outlined as Polygon draws it (corner pixels included): at device pixels it covers the device
  // pixels of its corner pixels and steps along its slopes by one device pixel.
  void ConvexPolygon(const TPoint* Points, int Count, COLORREF Color) const;
  // An image of a masked image list at At (logical), its mask keeping what lies under it. At
  // device pixels the picture is pixel art made larger by whole steps (Scale2x, Scale3x), so its
  // slopes keep one device pixel steps; other scales take the nearest pixel.
  void DrawImage(HIMAGELIST List, int Index, TPoint At) const;

 private:
  HDC FDC;
  TRect FLogical;
  double FScale = 1;
  HDC FFine = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  TPoint FSurfaceOffset;  // the DC's logical (0,0) on its surface
  TRect FDevice;          // the glyph's device pixels on the surface
};

// The device kind of a DC: OBJ_DC for surface DCs, OBJ_MEMDC for memory DCs, 0 for a bad handle.
DWORD GetDCObjectType(HDC dc);

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetWindowOrgEx(HDC dc, LPPOINT org);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetViewportOrgEx(HDC dc, LPPOINT org);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old);
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetBrushOrgEx(HDC dc, LPPOINT org);
BOOL LPtoDP(HDC dc, LPPOINT points, int count);
BOOL DPtoLP(HDC dc, LPPOINT points, int count);

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);  // a region is copied into the clip: returns its kind
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
int GetDeviceCaps(HDC dc, int index);
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSX = 88, LOGPIXELSY = 90,
              NUMCOLORS = 24, RASTERCAPS = 38;

// ---------------------------------------------------------------------------------------------
// Objects

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
// An 8 x 8 checkerboard of single pixels over a monochrome pattern: black where x + y is even,
// white where it is odd; AInverted the other way round. Dotted lines and halftone fills.
HBRUSH CreateCheckerBrush(bool AInverted = false);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Bits are 1 (monochrome, rows padded to 16 bits, bit 7 leftmost, 1 = white) or 32 (0x00RRGGBB).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
constexpr UINT DIB_RGB_COLORS = 0, BI_RGB = 0;
// A 32-bit bitmap whose pixels (0x00RRGGBB, rows of width*4 bytes, top-down when biHeight < 0)
// stay accessible through *bits while the bitmap lives.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int index);
int GetObject(HGDIOBJ obj, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ obj);
inline DWORD GetObjectType(HDC dc) { return GetDCObjectType(dc); }
COLORREF GetNearestColor(HDC dc, COLORREF color);

// ---------------------------------------------------------------------------------------------
// Regions and clipping

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, LPRECT rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);

int SelectClipRgn(HDC dc, HRGN rgn);  // device coordinates; 0 removes the clip region
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int GetClipRgn(HDC dc, HRGN rgn);  // 1 with a copy, 0 when the DC has no clip region, -1 on error
int GetClipBox(HDC dc, LPRECT rect);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
BOOL RectVisible(HDC dc, const RECT* rect);
BOOL PtVisible(HDC dc, int x, int y);

// ---------------------------------------------------------------------------------------------
// Primitives

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
// Where the monochrome mask is 1 the foreground operation applies, elsewhere the background one
// (MAKEROP4(fore, back)).
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, HBITMAP mask,
             int maskX, int maskY, DWORD rop4);
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000) | fore; }
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old);
BOOL GetCurrentPositionEx(HDC dc, LPPOINT pos);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL InvertRgn(HDC dc, HRGN rgn);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);

// Paths: lines, shapes and text between BeginPath and EndPath make the path instead of drawing.
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL StrokePath(HDC dc);
BOOL FillPath(HDC dc);
BOOL StrokeAndFillPath(HDC dc);
BOOL SelectClipPath(HDC dc, int mode);
HRGN PathToRegion(HDC dc);

// ---------------------------------------------------------------------------------------------
// Text (strings are Windows-1252; count -1 means up to the terminating zero)

int DrawText(HDC dc, const char* text, int count, LPRECT rect, UINT format);
int DrawTextEx(HDC dc, char* text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params);
BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx);
LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int tabPositions, const int* tabStops,
                   int tabOrigin);
DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int tabPositions, const int* tabStops);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, int* fit, int* dx, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
BOOL GetCharWidth(HDC dc, UINT first, UINT last, int* widths);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* widths);
BOOL SetTextJustification(HDC dc, int breakExtra, int breakCount);
int GetTextFace(HDC dc, int count, char* name);

// ---------------------------------------------------------------------------------------------
// System colours

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
// Changes system colours and tells every window (WM_SYSCOLORCHANGE through the hook below).
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);
// Restores the palettes (tests pin them): the classic greys, and with themes on the theme's
// light face (kThemedFaceColor, Theme.h) with the 3-D colours that go with it.
void ResetSysColors();
// Set by the window system: broadcasts WM_SYSCOLORCHANGE to the top-level windows.
using TSysColorChangeHandler = void (*)();
void SetSysColorChangeHandler(TSysColorChangeHandler handler);

// ---------------------------------------------------------------------------------------------
// Bitmap files and resource bitmaps

// Decodes a BMP file (1, 4, 8, 16, 24 or 32 bits, uncompressed or bit fields); nullptr when the
// data is not a well-formed BMP. A 1-bit file with a black and white palette gives a monochrome
// bitmap, everything else a 32-bit one.
HBITMAP ReadBitmapFile(const uint8_t* data, size_t size);
// Encodes a bitmap as a BMP file of 1, 4, 8, 24 or 32 bits a pixel (palettes hold the colours
// used, or the nearest of a fixed palette when there are too many); empty on a bad handle or depth.
std::vector<uint8_t> WriteBitmapFile(HBITMAP bitmap, int bitsPerPixel);

// Names below 0x10000 are numeric ids (MAKEINTRESOURCE of the window system header).
inline bool IS_INTRESOURCE(const char* name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }
// System bitmaps, drawn by us in the classic look.
constexpr int OBM_CLOSE = 32754, OBM_UPARROW = 32753, OBM_DNARROW = 32752, OBM_RGARROW = 32751,
              OBM_LFARROW = 32750, OBM_CHECK = 32760, OBM_CHECKBOXES = 32759, OBM_COMBO = 32738,
              OBM_MNARROW = 32739;
// A system bitmap (instance 0 and an OBM_ id) or a registered resource bitmap by name; the
// caller deletes it. nullptr when unknown.
HBITMAP LoadBitmap(HINSTANCE instance, const char* name);
// Resource bitmaps the program ships are drawings of its own, registered by name. The factory
// draws a new bitmap on every load; an empty factory unregisters the name.
using TBitmapResourceFactory = std::function<HBITMAP()>;
void RegisterBitmapResource(const String& name, TBitmapResourceFactory factory);

// ---------------------------------------------------------------------------------------------
// Image lists

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR = 0x0000, ILC_COLORDDB = 0x00FE, ILC_COLOR4 = 0x0004,
               ILC_COLOR8 = 0x0008, ILC_COLOR16 = 0x0010, ILC_COLOR24 = 0x0018, ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_MASK = 0x0010, ILD_IMAGE = 0x0020,
               ILD_BLEND25 = 0x0002, ILD_FOCUS = 0x0002, ILD_BLEND50 = 0x0004, ILD_SELECTED = 0x0004,
               ILD_BLEND = 0x0004;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);  // removes every image
// Adds the images of a strip (its width a multiple of the image width); returns the first index
// or -1. Without a mask bitmap the images are opaque.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask is made from a colour (CLR_DEFAULT: the strip's bottom-left pixel); masked pixels of
// the image turn black so that transparent drawing works as on the original platform.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);  // -1 removes all
BOOL ImageList_Copy(HIMAGELIST dst, int dstIndex, HIMAGELIST src, int srcIndex, UINT flags);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// bk: CLR_NONE transparent, CLR_DEFAULT the list's colour; fg: the blend colour (CLR_DEFAULT:
// the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style);
// The embossed look of disabled glyphs: the image's non-white opaque pixels drawn in the
// highlight colour one pixel down and right, then in the shadow colour.
BOOL ImageList_DrawDisabled(HIMAGELIST list, int index, HDC dc, int x, int y);
// New 32-bit and monochrome bitmaps holding a copy of one image and its mask (mask may be null).
BOOL ImageList_GetImageBitmaps(HIMAGELIST list, int index, HBITMAP* image, HBITMAP* mask);

// Drag images: an image list image shown over a locked window (or the screen when the window is
// null) at window-relative positions, the pixels under it saved and restored as it moves.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int hotX, int hotY);
BOOL ImageList_SetDragCursorImage(HIMAGELIST list, int index, int hotX, int hotY);
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragShowNolock(BOOL show);
BOOL ImageList_DragLeave(HWND lock);
void ImageList_EndDrag();
// The list holding the drag image (nullptr when no drag is on); position and hot spot.
HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotSpot);
