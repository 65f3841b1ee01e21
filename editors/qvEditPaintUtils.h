// The edit painting unit: stateless drawing and metric routines of the editors. Glyphs, image-list
// images, arrows and polylines, rectangle fills, the choice of painter, the conversions between
// the text layout's flags and the canvas's, the edit metrics and insets, accelerator marks and
// the size grip of drop-down windows.
//
// Where the parts live: qvEditPaintUtils.cpp (glyphs, arrows, fills, painter choice, flags),
// qvEditPaintUtilsButtons.cpp (edit buttons), qvEditPaintUtilsSpin.cpp (spin buttons),
// qvEditPaintUtilsMetrics.cpp (metrics, text
// insets, accelerator marks, size grip), qvEditPaintUtilsView.cpp (editors painted and
// measured from their view data and view info), qvEditPaintUtilsPopup.cpp (drop-down windows:
// frame, system panel, layout and the popup view info's operations).
#pragma once

#include <span>

#include "editors/qvDrawTextUtils.h"
#include "editors/qvEdit.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "lookandfeel/zmThemeManager.h"

class TCustomImageList;
class TqvCustomEditPopupWindowViewInfo;

// The corner of a drop-down window that holds its size grip.
enum TqvSizeGripCorner { sgcTopLeft, sgcTopRight, sgcBottomLeft, sgcBottomRight };
bool IsSizeGripAtRight(TqvSizeGripCorner ACorner);
bool IsSizeGripAtBottom(TqvSizeGripCorner ACorner);
// ASize at ACorner of ARect.
TRect SizeGripCornerRect(const TRect& ARect, const TSize& ASize, TqvSizeGripCorner ACorner);

// ---------------------------------------------------------------------------------------------
// Themes and painters

// ANativeStyle is set and the theme class opens.
bool IsNativeThemeUsable(bool ANativeStyle, TzmThemeClass AThemeClass);
// The theme state of an edit button state for the button, combo box and spin classes.
Integer EditButtonStateToThemeState(TqvEditButtonState AState);
// The native-theme painter for a native style while themes are available, else the kind's.
TqvLookAndFeelPainterClass GetEditPainterClass(bool ANativeStyle, TqvLookAndFeelKind AKind);
// The margins around the content of part 1, state 1 of a theme class.
TRect GetThemeContentMargins(TzmThemeClass AThemeClass);

// ---------------------------------------------------------------------------------------------
// Glyphs and images

// The glyph exists and holds a picture.
bool IsGlyphAssigned(TBitmap* ABitmap);
// ASize centred in ARect (truncating); with ARoundUp an odd spare width or height moves it one
// pixel right or down.
TPoint CalculateGlyphPosition(const TRect& ARect, const TSize& ASize, bool ARoundUp);
// Enabled: the glyph with its transparent colour replaced by ABackgroundColor (clNone: left
// alone), onto ABackgroundBitmap first when one is given. Disabled: the image list's disabled
// look over the colour, over the bitmap, or straight onto the canvas.
void DrawButtonGlyph(TqvCanvas* ACanvas, Integer X, Integer Y, TBitmap* ABackgroundBitmap, TColor ABackgroundColor,
                     bool AEnabled, TBitmap* AGlyph);
// An image of the list at ARect's top-left, through ABitmap or a bitmap of the list's size
// filled with ABackgroundColor.
void DrawImageListImage(TqvCanvas* ACanvas, TCustomImageList* AImageList, Integer AImageIndex, TBitmap* ABitmap,
                        bool AEnabled, TColor ABackgroundColor, const TRect& ARect);

// ---------------------------------------------------------------------------------------------
// Arrows, lines and fills

// AExtraCount + 1 filled triangles of ASize lines side by side, centred in ARect, one pixel
// right and down when AShifted.
void DrawArrows(TqvCanvas* ACanvas, Integer ASize, const TRect& ARect, TColor AColor, bool AShifted,
                Integer AExtraCount, TqvArrowDirection ADirection);
// A line through APoints and the last point itself. With AUseFillRect the segments, which must
// be horizontal or vertical, are one-pixel rectangles from each point up to the next.
void DrawPolyline(TqvCanvas* ACanvas, std::span<const TPoint> APoints, bool AUseFillRect, TColor AColor);
void FillRectWithBrush(HDC ADC, const TRect& ARect, HBRUSH ABrush);
// ARect outside AInner, as four bands.
void FillRectExcept(TqvCanvas* ACanvas, const TRect& ARect, const TRect& AInner, HBRUSH ABrush);

// ---------------------------------------------------------------------------------------------
// Edit buttons

// The width a button takes: its Width (not below the glyph margin), a glyph's width plus the
// margin, or the scroll-bar arrow's. A themed button first checks that its theme still opens.
Integer GetEditButtonWidth(TqvCanvas* ACanvas, TqvEditButtonViewInfo* AButton);
// The theme part and state of a themed button (part 0: painted classic).
void CalculateEditButtonNativeInfo(TqvEditButtonViewInfo* AButton);
// The button's face and frame in AButtonStyle (the theme's when it paints the button), then its
// content. AViewInfoTransparent: the grid paints the cell's background itself.
void DrawEditButtonBorder(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, const TRect& ARect,
                          TqvEditButtonStyle AButtonStyle, bool AViewInfoTransparent);
// A hot-flat button's face and content colours in its state.
void GetHotFlatButtonColors(const TqvEditButtonViewInfo* AButton, TColor& AFace, TColor& AContent);
TColor GetUltraFlatButtonFaceColor(const TqvEditButtonViewInfo* AButton);
// The ultra-flat frame of a button that is neither pressed nor hot, or that is in place (R then
// lies inside it); false leaves the frame of a pressed or hot standalone button to the caller.
bool DrawUltraFlatButtonPlainFrame(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, TRect& R,
                                   bool AViewInfoTransparent);
// The same for a button of AViewInfo, whose DrawButtonContent draws the content (an editor kind
// with contents of its own, such as spin arrows, keeps the faces).
void DrawEditButtonBorder(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                          const TRect& ARect, TqvEditButtonStyle AButtonStyle);
// The ellipsis, the down arrow or the glyph on ABackgroundColor (left unfilled when the theme
// paints the button).
void DrawEditButtonContent(TqvCanvas* ACanvas, const TqvEditButtonViewInfo* AButton, TColor ABackgroundColor,
                           TColor AContentColor, const TRect& ARect);

// ---------------------------------------------------------------------------------------------
// Spin buttons (the spin editor's view info calls these with its layout)

enum TqvSpinEditButtonsPosition { sbpHorzLeftRight, sbpHorzRight, sbpVert };

// The themed spin part, the 3D, flat and simple faces, or a hot-flat or ultra-flat face whose
// frame kind follows the button's index, the button count (2 or 4) and APosition; the content
// is the view info's DrawButtonContent.
void DrawSpinEditButtonBorder(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                              const TRect& ARect, TqvEditButtonStyle AButtonStyle,
                              TqvSpinEditButtonsPosition APosition);
// Left and right spin arrows are at least this high (7 pixels at the base) where the button is
// high enough, so that narrow horizontal buttons stay readable.
constexpr Integer kMinHorzSpinArrowSize = 4;
// The size of a left or right spin arrow in a button whose inside is AHeight high.
Integer HorzSpinArrowSize(Integer AArrowSize, Integer AHeight);

// ARect filled, then the button's arrow of AArrowSize (at least HorzSpinArrowSize pointing left
// or right; a double arrow for the fast buttons 2 and 3), embossed when disabled and shifted
// while pressed.
void DrawSpinEditButtonContent(TqvCanvas* ACanvas, const TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex,
                               TColor ABackgroundColor, TColor AContentColor, const TRect& ARect,
                               TqvSpinEditButtonsPosition APosition, Integer AArrowSize);

// ---------------------------------------------------------------------------------------------
// Text flags

// Horizontal centre and right, vertical centre and bottom and single line; other bits drop.
TqvTextFlags TextLayoutFlagsToCanvasFlags(TqvTextLayoutFlags AFlags);
TqvTextLayoutFlags CanvasFlagsToTextLayoutFlags(TqvTextFlags AFlags);

// ---------------------------------------------------------------------------------------------
// Metrics and insets

// The standard check glyph: a quarter of the width and a third of the height of the system's
// check-box bitmap, measured once.
TSize CheckBoxGlyphSize();
// The check glyph of a check box: a cell of AGlyph (AGlyphCount cells side by side) when given,
// else the theme's check box with ANativeStyle, else CheckBoxGlyphSize.
TSize GetCheckBoxGlyphSize(TBitmap* AGlyph, Integer AGlyphCount, bool ANativeStyle);
// The arrow of a button of ASize; left and right arrows are lying.
TSize CalculateArrowSize(const TSize& ASize, TqvArrowDirection ADirection);
Integer GetEditBorderWidth(TqvEditBorderStyle ABorderStyle);
// The insets (left, top, right, bottom) of the text rectangle inside an editor's inner area.
TRect GetDrawTextOffsetByAlignment(TAlignment AAlignment, bool AIsInplace);
// Drops '&' marks ("&&" gives one '&'); a final '&' becomes '_'.
String RemoveAccelChars(const String& AText);

// The size grip of a drop-down window in ACorner of ARect. A transparent grip is drawn over the
// canvas's own pixels (the popup's background), never over a copy of the screen.
void DrawSizeGrip(TqvCanvas* ACanvas, const TRect& ARect, TqvSizeGripCorner ACorner, bool ATransparent,
                  bool ANativeStyle);

// ---------------------------------------------------------------------------------------------
// Editors painted from their view info

// The theme state of an editor's frame: disabled, read-only, focused, hot or normal.
Integer GetEditNativeState(const TqvCustomEditViewData* AViewData);
// The native flag and state, the border extent, ClientRect, BorderRect and the colours; true
// when the view data has content offsets.
bool CalculateEditViewInfoBorders(TqvCustomEditViewData* AViewData, TqvCustomEditViewInfo* AViewInfo);
// Text colour: disabled, in-place or the font's; background: the style's colour when enabled,
// else the theme's fill or clBtnFace.
void GetEditColors(const TqvCustomEditViewData* AViewData, const TqvCustomEditViewInfo* AViewInfo,
                   TColor& ABackgroundColor, TColor& ATextColor);
// The inside a themed frame leaves to the editor: the theme's content rectangle, the bounds less
// 3 up to the client's right edge (combo boxes), or the client rectangle (list combo boxes).
enum TqvEditNativeFrameKind { enfkThemeContent, enfkComboBox, enfkClient };

// Frame and background (not under the buttons, unless the first is a partly transparent themed
// one), then each button.
void DrawEditViewInfo(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, bool ADrawBackground = true,
                      TqvEditNativeFrameKind ANativeFrameKind = enfkThemeContent);
// A simple button draws flat while pressed or hot.
void DrawEditButton(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, Integer AButtonIndex);
// The spin theme's states of a spin editor's buttons (parts set by the spin editor), or none.
void CalculateSpinEditButtonsNativeInfo(const TqvCustomEditViewData* AViewData, TqvCustomEditViewInfo* AViewInfo);
// The frame's rectangle as the window region, with the shadow.
void SetEditWindowRegion(const TqvCustomEditViewInfo* AViewInfo, HWND AWindowHandle);

// The view data's border extent: content offsets in place, else the frame (and shadow).
TRect GetEditBorderExtent(const TqvCustomEditViewData* AViewData);
TRect GetEditContentMargins(TqvCanvas* ACanvas, const TqvCustomEditViewData* AViewData);
// The height a glyph button needs beyond its glyph.
Integer GetEditButtonExtraHeight(TqvCanvas* ACanvas, const TqvCustomEditViewInfo* AViewInfo);
// ABounds without the shadow: where the mouse makes the editor hot.
TRect GetEditHotArea(const TqvCustomEditViewInfo* AViewInfo, const TRect& ABounds);
bool HasEditShadow(const TqvCustomEditViewData* AViewData);
// The rectangle a drop-down window aligns to.
TRect GetEditPopupAlignRect(const TqvCustomEditViewInfo* AViewInfo);
// The room a measured text needs beyond its extent.
TPoint GetEditTextOffsets(const TqvCustomEditViewData* AViewData);
// An editor's text in the style's font: unlimited width gives the widest row and one row's
// height, a limited one the given width and the height of the rows that wrap into it.
TSize CalculateEditTextSize(TqvCanvas* ACanvas, const TqvCustomEditViewData* AViewData, const String& AText,
                            bool AAddOffsetX, const TqvEditSizeProperties& ASizeProperties,
                            TqvTextLayoutFlags AFlags);

// ---------------------------------------------------------------------------------------------
// Drop-down windows (see qvEditPopupWindowViewInfo.h)

// The frame's width: 1 themed, else by the border style (single 1, 3D frame 4, flat 2), plus
// the client edge's when asked and shown.
Integer GetPopupBorderWidth(const TqvCustomEditPopupWindowViewInfo* AViewInfo, bool AWithClientEdge);
// 0 without a client edge; 2 themed, else by the border style (single 2, 3D frame 2, flat 1).
Integer GetPopupClientEdgeWidth(const TqvCustomEditPopupWindowViewInfo* AViewInfo);
// The frame and client edge on every side, the shadow at the right and bottom and the system
// panel (and its separator) at the grip's side. Sets the view info's SysPanelHeight and
// SizingBandWidth.
TRect GetPopupBorderExtent(TqvCustomEditPopupWindowViewInfo* AViewInfo);
// Room for the sizing band's height, and themed for the theme's close button and size box.
Integer GetPopupSysPanelHeight(const TqvCustomEditPopupWindowViewInfo* AViewInfo);
// The frame of the border style inside R; R becomes the area inside it.
void DrawPopupBorder(TqvCanvas* ACanvas, const TqvCustomEditPopupWindowViewInfo* AViewInfo, TRect& R);
// The popup editor's frame: as DrawPopupBorder but for its own 3D frame.
void DrawPopupEditPopupBorder(TqvCanvas* ACanvas, const TqvCustomEditPopupWindowViewInfo* AViewInfo, TRect& R);
// The whole window: shadow, frame, separator, client edge, grip, close button and background.
void PaintEditPopupWindow(TqvCanvas* ACanvas, TqvCustomEditPopupWindowViewInfo* AViewInfo);
// In the theme's look (its state taken from CloseButtonState) or the frame kind's painter.
void DrawPopupCloseButton(TqvCanvas* ACanvas, TqvCustomEditPopupWindowViewInfo* AViewInfo);
// The view info's Calculate: client rectangle, sizing area, grip and close button.
void CalculatePopupWindowLayout(TqvCustomEditPopupWindowViewInfo* AViewInfo);
