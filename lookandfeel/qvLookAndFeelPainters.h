// The look-and-feel painters: the drawing vocabulary of every control, cell, header, footer,
// filter button, tab, indicator and scroll bar of the library. A painter holds no state; each
// kind is one immutable instance, and a painter "class reference" is a pointer to it, so
// identity tests are pointer comparisons. Base operations call the painter's other operations
// virtually, so a painter that borrows another's drawing calls the base operation on that one.
//
// Where the parts live: qvLookAndFeelPainters.cpp (the base painter and shared glyphs),
// qvLookAndFeelPaintersStandard.cpp, qvLookAndFeelPaintersFlat.cpp (flat and ultra-flat),
// qvLookAndFeelPaintersNative.cpp (the native-theme painter), qvLookAndFeelPaintersRadio.cpp
// (the radio-button glyph cache), qvLookAndFeelPaintersResources.cpp (indicator images and
// scroll-bar patterns).
#pragma once

#include <array>
#include <functional>

#include "lookandfeel/qvGraphics.h"
#include "platform/forms/Controls.h"
#include "platform/os/Theme.h"

class TImageList;

enum TqvButtonState { qvbsDefault, qvbsNormal, qvbsHot, qvbsPressed, qvbsDisabled };
enum TqvAlignmentVert { vaTop, vaBottom, vaCenter };
enum TqvArrowDirection { arrowUp, arrowDown, arrowLeft, arrowRight };
enum TqvPainterStyle { psFlat, psStandard, psUltraFlat, psNative };
enum TqvScrollBarPart { spNone, spFirstArrow, spSecondArrow, spThumb, spFirstPage, spSecondPage };
enum TqvIndicatorKind { indNone, indArrow, indEdit, indInsert, indMultiDot, indMultiArrow };
// The frame styles of popup windows.
enum TqvPopupFrameStyle { pfsNone, pfsSingle, pfsFlat, pfs3D };

// Paints a cell's background itself and answers true, or answers false to have it filled.
using TqvPainterBackgroundEvent = std::function<bool(TqvCanvas* ACanvas, const TRect& R)>;

using TqvArrowPoints = std::array<TPoint, 3>;

class TqvCustomLookAndFeelPainter;
using TqvLookAndFeelPainterClass = const TqvCustomLookAndFeelPainter*;

// The base painter: a neutral, borderless look and the shared glyph algorithms. Operations are
// declared in slot order.
class TqvCustomLookAndFeelPainter {
 public:
  static TqvLookAndFeelPainterClass Class();
  TqvCustomLookAndFeelPainter(const TqvCustomLookAndFeelPainter&) = delete;
  TqvCustomLookAndFeelPainter& operator=(const TqvCustomLookAndFeelPainter&) = delete;
  virtual ~TqvCustomLookAndFeelPainter() = default;

  virtual bool IsNativePainter() const { return false; }
  virtual void DrawFilterArrow(TqvCanvas* ACanvas, const TRect& R, TColor AColor) const;
  virtual void DrawTextContent(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR, TAlignment AAlignH,
                               TqvAlignmentVert AAlignV, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                               TFont* AFont, TColor ATextColor, TColor AColor,
                               const TqvPainterBackgroundEvent& AOnDrawBackground) const;
  virtual TRect GetFooterCellContentBounds(const TRect& R) const;
  virtual TRect GetFooterCellTextBounds(const TRect& R) const;
  virtual TqvPainterStyle GetStyleKind() const { return psStandard; }

  virtual TColor DefaultContentColor() const { return clWindow; }
  virtual TColor DefaultContentTextColor() const { return clWindowText; }
  virtual TColor DefaultFilterBoxColor() const { return clBtnShadow; }
  virtual TColor DefaultFilterBoxTextColor() const { return clBtnHighlight; }
  virtual TColor DefaultFixedSeparatorColor() const { return clBtnText; }
  virtual TColor DefaultFooterColor() const { return clBtnFace; }
  virtual TColor DefaultFooterTextColor() const { return clBtnText; }
  virtual TColor DefaultGridLineColor() const { return clBtnShadow; }
  virtual TColor DefaultGroupColor() const { return clBtnFace; }
  virtual TColor DefaultGroupTextColor() const { return clBtnText; }
  virtual TColor DefaultGroupByBoxColor() const { return clBtnShadow; }
  virtual TColor DefaultGroupByBoxTextColor() const { return clBtnFace; }
  virtual TColor DefaultHeaderColor() const { return clBtnFace; }
  virtual TColor DefaultHeaderTextColor() const { return clBtnText; }
  virtual TColor DefaultBandBackgroundColor() const { return clBtnShadow; }
  virtual TColor DefaultBandBackgroundTextColor() const { return clBtnFace; }
  virtual TColor DefaultInactiveColor() const { return clBtnFace; }
  virtual TColor DefaultInactiveTextColor() const { return clBtnText; }
  virtual TColor DefaultPreviewTextColor() const { return clBlue; }
  virtual TColor DefaultRowSeparatorColor() const { return DefaultGridLineColor(); }
  virtual TColor DefaultSelectionColor() const { return clHighlight; }
  virtual TColor DefaultSelectionTextColor() const { return clHighlightText; }
  virtual TColor DefaultSeparatorColor() const { return clBtnFace; }
  virtual TColor DefaultTabColor() const { return clBtnFace; }
  virtual TColor DefaultTabTextColor() const { return clBtnText; }
  virtual TColor DefaultTabsBackgroundColor() const { return clBtnFace; }

  virtual void DrawArrow(TqvCanvas* ACanvas, const TRect& R, TqvArrowDirection ADirection, TColor AColor) const;
  virtual void DrawArrowButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                               TqvArrowDirection ADirection, bool ADrawBorder = true) const;
  virtual void DrawArrowBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const;
  virtual void DrawScrollArrow(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                               TqvArrowDirection ADirection) const;
  virtual Integer GetBorderWidth() const { return 0; }
  virtual void PaintBorder(TqvCanvas*, const TRect&) const {}
  virtual Integer GetButtonBorderWidth(TqvButtonState = qvbsNormal) const { return 0; }
  virtual TColor GetButtonFaceColor(TqvButtonState) const { return clBtnFace; }
  virtual TRect CalcButtonFocusRect(TqvCanvas* ACanvas, const TRect& R) const;
  virtual Integer GetButtonTextMargin() const { return 0; }
  virtual Integer GetPressedButtonTextShift() const { return 0; }
  virtual TColor GetButtonGlyphColor(TqvButtonState AState) const;
  virtual TqvButtonState GetButtonGlyphState(TqvButtonState AState) const { return AState; }
  virtual void DrawButton(TqvCanvas* ACanvas, const TRect& R, const String& ACaption, TqvButtonState AState,
                          bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault) const;
  virtual void DrawButtonFace(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, Integer ACount,
                              Integer AIndex, TColor ABorderColor) const;
  virtual void DrawButtonBorder(TqvCanvas*, const TRect&, TqvButtonState) const {}
  virtual void PaintExpandButton(TqvCanvas*, const TRect&, bool /*AExpanded*/, TColor /*AColor*/) const {}
  virtual void DrawSmallExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const;
  virtual Integer GetExpandButtonExtent() const { return 0; }
  virtual bool HasButtonHotTrack() const { return false; }
  virtual Integer GetSmallExpandButtonSize() const { return 9; }
  virtual Integer GetCheckBoxBorderWidth() const { return 2; }
  virtual TColor GetCheckBoxBackgroundColor(TqvButtonState AState) const;
  virtual void DrawCheckMark(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, bool AChecked,
                             TColor AColor) const;
  virtual void DrawCheckBoxFrame(TqvCanvas*, const TRect&, TqvButtonState) const {}
  virtual void DrawCheckBox(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, bool AChecked) const;
  virtual void DrawRadioButton(TqvCanvas* ACanvas, Integer X, Integer Y, TqvButtonState AState, bool AChecked,
                               bool AHighlightRing, TColor ABackgroundColor, bool AHighlightAll = false) const;
  virtual void DrawHeader(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR, TqvBorders ANeighbors,
                          TqvBorders ABorders, TqvButtonState AState, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                          bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
                          TColor ATextColor, TColor AColor,
                          const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual void DrawHeaderEx(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR, TqvBorders ANeighbors,
                            TqvBorders ABorders, TqvButtonState AState, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                            bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
                            TColor ATextColor, TColor AColor,
                            const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual void DrawHeaderFrame(TqvCanvas*, const TRect&, TqvBorders /*ANeighbors*/, TqvBorders /*ABorders*/) const {}
  virtual void DrawHeaderPressed(TqvCanvas* ACanvas, const TRect& R) const;
  virtual void PaintSortOrderMark(TqvCanvas*, const TRect&, bool /*AAscending*/) const {}
  virtual TqvBorders GetHeaderBorderSides(TqvBorders) const { return qvAllBorders; }
  virtual Integer GetHeaderBorderWidth() const { return 0; }
  virtual TRect GetHeaderContentBounds(const TRect& R, TqvBorders ABorders) const;
  virtual bool HeaderItemsBeforeBackground() const { return true; }
  virtual Integer GetHeaderHeightForFont(Integer AFontHeight) const;
  // Text width + 4, plus the header border width for each of a left and a right border.
  virtual Integer GetHeaderWidthForText(TqvCanvas* ACanvas, TqvBorders ABorders, const String& AText,
                                        TFont* AFont) const;
  virtual bool IsHeaderHotTracked() const { return false; }
  virtual TSize GetSortMarkAreaSize() const;
  virtual TSize GetSortOrderMarkSize() const { return {0, 0}; }
  virtual void DrawFooterCell(TqvCanvas* ACanvas, const TRect& R, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                              bool AMultiLine, const String& AText, TFont* AFont, TColor ATextColor, TColor AColor,
                              const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual TqvBorders GetFooterBorderSides() const { return qvAllBorders; }
  virtual Integer GetFooterBorderWidth() const { return 0; }
  virtual Integer GetFooterCellBorderWidth() const { return 0; }
  virtual Integer GetFooterCellOffset() const { return 0; }
  virtual bool FooterItemsBeforeBackground() const { return true; }
  virtual void DrawFooterBorder(TqvCanvas*, const TRect&) const {}
  virtual void DrawFooterCellBorder(TqvCanvas*, const TRect&) const {}
  virtual void DrawFilterActivateButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                        bool AChecked) const;
  virtual void DrawFilterCloseButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const;
  virtual void DrawFilterDropDownButton(TqvCanvas*, const TRect&, TqvButtonState, bool /*AActive*/) const {}
  virtual TSize GetFilterActivateButtonExtent() const { return {13, 13}; }
  virtual TSize GetFilterCloseButtonExtent() const { return {16, 14}; }
  // Height 0: the caller's height.
  virtual TSize GetFilterDropDownButtonExtent() const { return {15, 0}; }
  virtual TqvPopupFrameStyle GetFilterPopupBorderStyle() const { return pfsSingle; }
  virtual void DrawTab(TqvCanvas*, const TRect&, TqvBorders, const String&, TqvButtonState, bool /*AVertical*/,
                       TFont*, TColor /*ATextColor*/, TColor /*AColor*/) const {}
  // ASide: 0 left, 1 top, 2 right, 3 bottom.
  virtual void DrawTabFrame(TqvCanvas*, const TRect&, Integer /*ASide*/, TqvBorders, bool /*AVertical*/) const {}
  virtual void DrawTabsBackground(TqvCanvas*, const TRect&, TqvBorders, bool /*AVertical*/) const {}
  virtual bool DrawsWholeTab(bool) const { return false; }
  virtual bool IsTabHotTracked(bool) const { return false; }
  virtual Integer GetTabBorderWidth(bool) const { return 0; }
  virtual void DrawIndicatorItem(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind, TColor AColor,
                                 const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual void DrawIndicatorItemEx(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind, TColor AColor,
                                   const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const;
  virtual bool IndicatorItemsBeforeBackground() const { return true; }
  virtual void DrawScrollBarPart(TqvCanvas*, bool /*AHorizontal*/, const TRect&, TqvScrollBarPart,
                                 TqvButtonState) const {}

  // Shared glyph algorithms (not overridable).
  static TqvArrowPoints CalculateArrowPoints(TRect R, TqvArrowDirection ADirection, bool AProportional);
  void DrawCloseCross(TqvCanvas* ACanvas, const TRect& R, TColor AColor, TqvButtonState AState) const;
  static void DrawExpandSign(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor);
  static void DrawIndicatorKindImage(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind);
  void DrawSortOrderTriangle(TqvCanvas* ACanvas, const TRect& R, TColor AShadowColor, TColor ALightColor,
                             bool AAscending) const;
  static TqvArrowDirection GetScrollButtonArrowDirection(bool AHorizontal, TqvScrollBarPart APart);

 protected:
  TqvCustomLookAndFeelPainter() = default;
  // A filled polygon with pen and brush in one colour.
  static void DrawPolygon(TqvCanvas* ACanvas, std::span<const TPoint> APoints, TColor AColor);
  // The page parts of a scroll bar: the shared pattern, pressed or not.
  static void DrawScrollBarPage(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState);
};

// The 3D look.
class TqvStandardLookAndFeelPainter : public TqvCustomLookAndFeelPainter {
 public:
  static TqvLookAndFeelPainterClass Class();

  TqvPainterStyle GetStyleKind() const override { return psStandard; }
  Integer GetBorderWidth() const override { return 2; }
  void PaintBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonBorderWidth(TqvButtonState AState = qvbsNormal) const override;
  Integer GetButtonTextMargin() const override { return 1; }
  Integer GetPressedButtonTextShift() const override { return 1; }
  void DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  Integer GetExpandButtonExtent() const override { return 12; }
  bool HasButtonHotTrack() const override { return false; }
  void DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders ANeighbors,
                       TqvBorders ABorders) const override;
  void PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  Integer GetHeaderBorderWidth() const override { return 1; }
  TSize GetSortOrderMarkSize() const override { return {8, 7}; }
  Integer GetFooterBorderWidth() const override { return 1; }
  Integer GetFooterCellBorderWidth() const override { return 1; }
  Integer GetFooterCellOffset() const override { return 1; }
  void DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                bool AActive) const override;
  void DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                    bool AVertical) const override;
  void DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders, bool AVertical) const override;
  Integer GetTabBorderWidth(bool) const override { return 1; }
  void DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R, TqvScrollBarPart APart,
                         TqvButtonState AState) const override;

 protected:
  TqvStandardLookAndFeelPainter() = default;

 private:
  static void DrawScrollBarButtonFrame(TqvCanvas* ACanvas, const TRect& R, bool APressedArrow);
};

// Thin raised and sunken lines.
class TqvFlatLookAndFeelPainter : public TqvCustomLookAndFeelPainter {
 public:
  static TqvLookAndFeelPainterClass Class();

  TqvPainterStyle GetStyleKind() const override { return psFlat; }
  Integer GetBorderWidth() const override { return 1; }
  void PaintBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonBorderWidth(TqvButtonState AState = qvbsNormal) const override;
  Integer GetButtonTextMargin() const override { return 1; }
  Integer GetPressedButtonTextShift() const override { return 1; }
  void DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  Integer GetExpandButtonExtent() const override { return 11; }
  bool HasButtonHotTrack() const override { return false; }
  void DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders ANeighbors,
                       TqvBorders ABorders) const override;
  void PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  Integer GetHeaderBorderWidth() const override { return 1; }
  TSize GetSortOrderMarkSize() const override { return {8, 7}; }
  Integer GetFooterBorderWidth() const override { return 1; }
  Integer GetFooterCellBorderWidth() const override { return 1; }
  Integer GetFooterCellOffset() const override { return 1; }
  void DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                bool AActive) const override;
  void DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                    bool AVertical) const override;
  void DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders, bool AVertical) const override;
  Integer GetTabBorderWidth(bool) const override { return 1; }
  void DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R, TqvScrollBarPart APart,
                         TqvButtonState AState) const override;

 protected:
  TqvFlatLookAndFeelPainter() = default;
};

// Single-pixel lines, clBtnText frames and hot and pressed faces blended from the system colours:
// the look of the application.
class TqvUltraFlatLookAndFeelPainter : public TqvCustomLookAndFeelPainter {
 public:
  static TqvLookAndFeelPainterClass Class();

  TqvPainterStyle GetStyleKind() const override { return psUltraFlat; }
  Integer GetBorderWidth() const override { return 1; }
  void PaintBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonBorderWidth(TqvButtonState AState = qvbsNormal) const override;
  TColor GetButtonFaceColor(TqvButtonState AState) const override;
  TRect CalcButtonFocusRect(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonTextMargin() const override { return 2; }
  Integer GetPressedButtonTextShift() const override { return 0; }
  TColor GetButtonGlyphColor(TqvButtonState AState) const override;
  TqvButtonState GetButtonGlyphState(TqvButtonState) const override { return qvbsNormal; }
  void DrawButtonFace(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, Integer ACount, Integer AIndex,
                      TColor ABorderColor) const override;
  void DrawButtonBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  Integer GetExpandButtonExtent() const override { return 11; }
  bool HasButtonHotTrack() const override { return true; }
  void DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void DrawHeaderEx(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR, TqvBorders ANeighbors,
                    TqvBorders ABorders, TqvButtonState AState, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                    bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                    TColor AColor, const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawHeaderFrame(TqvCanvas* ACanvas, const TRect& R, TqvBorders ANeighbors,
                       TqvBorders ABorders) const override;
  void PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  TqvBorders GetHeaderBorderSides(TqvBorders ANeighbors) const override;
  Integer GetHeaderBorderWidth() const override { return 1; }
  TSize GetSortOrderMarkSize() const override { return {7, 8}; }
  TqvBorders GetFooterBorderSides() const override { return qvBorder(bRight) | qvBorder(bBottom); }
  Integer GetFooterBorderWidth() const override { return 1; }
  Integer GetFooterCellBorderWidth() const override { return 1; }
  Integer GetFooterCellOffset() const override { return 2; }
  void DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                bool AActive) const override;
  TSize GetFilterCloseButtonExtent() const override { return {16, 15}; }
  void DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                    bool AVertical) const override;
  void DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders, bool AVertical) const override;
  Integer GetTabBorderWidth(bool) const override { return 1; }
  void DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R, TqvScrollBarPart APart,
                         TqvButtonState AState) const override;

 protected:
  TqvUltraFlatLookAndFeelPainter() = default;
};

// Draws through the visual styles; each operation falls back to the standard drawing when the
// theme class it needs does not open.
class TqvWinXPLookAndFeelPainter : public TqvStandardLookAndFeelPainter {
 public:
  static TqvLookAndFeelPainterClass Class();

  bool IsNativePainter() const override { return true; }
  TqvPainterStyle GetStyleKind() const override { return psNative; }
  void DrawArrowButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, TqvArrowDirection ADirection,
                       bool ADrawBorder = true) const override;
  void DrawArrowBorder(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  Integer GetBorderWidth() const override;
  void PaintBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonBorderWidth(TqvButtonState AState = qvbsNormal) const override;
  // The push button's fill colour; clBtnFace when the theme has none.
  TColor GetButtonFaceColor(TqvButtonState AState) const override;
  TRect CalcButtonFocusRect(TqvCanvas* ACanvas, const TRect& R) const override;
  Integer GetButtonTextMargin() const override { return 2; }
  Integer GetPressedButtonTextShift() const override { return 0; }
  // The push button's text colour; the standard glyph colour when the theme has none.
  TColor GetButtonGlyphColor(TqvButtonState AState) const override;
  void DrawButton(TqvCanvas* ACanvas, const TRect& R, const String& ACaption, TqvButtonState AState,
                  bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault) const override;
  void PaintExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  void DrawSmallExpandButton(TqvCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
  Integer GetExpandButtonExtent() const override;
  bool HasButtonHotTrack() const override { return true; }
  Integer GetSmallExpandButtonSize() const override;
  Integer GetCheckBoxBorderWidth() const override;
  void DrawCheckMark(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState, bool AChecked,
                     TColor AColor) const override;
  void DrawCheckBoxFrame(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void DrawRadioButton(TqvCanvas* ACanvas, Integer X, Integer Y, TqvButtonState AState, bool AChecked,
                       bool AHighlightRing, TColor ABackgroundColor, bool AHighlightAll = false) const override;
  void DrawHeader(TqvCanvas* ACanvas, const TRect& R, const TRect& ATextR, TqvBorders ANeighbors,
                  TqvBorders ABorders, TqvButtonState AState, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                  bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                  TColor AColor, const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawHeaderPressed(TqvCanvas*, const TRect&) const override {}
  void PaintSortOrderMark(TqvCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  Integer GetHeaderBorderWidth() const override;
  bool HeaderItemsBeforeBackground() const override { return false; }
  bool IsHeaderHotTracked() const override { return true; }
  TSize GetSortOrderMarkSize() const override { return {7, 8}; }
  void DrawFooterCell(TqvCanvas* ACanvas, const TRect& R, TAlignment AAlignH, TqvAlignmentVert AAlignV,
                      bool AMultiLine, const String& AText, TFont* AFont, TColor ATextColor, TColor AColor,
                      const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const override;
  Integer GetFooterBorderWidth() const override;
  Integer GetFooterCellBorderWidth() const override;
  Integer GetFooterCellOffset() const override;
  bool FooterItemsBeforeBackground() const override { return false; }
  void DrawFooterBorder(TqvCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterCloseButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState) const override;
  void DrawFilterDropDownButton(TqvCanvas* ACanvas, const TRect& R, TqvButtonState AState,
                                bool AActive) const override;
  TSize GetFilterActivateButtonExtent() const override;
  TSize GetFilterCloseButtonExtent() const override;
  void DrawTab(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders, const String& AText, TqvButtonState AState,
               bool AVertical, TFont* AFont, TColor ATextColor, TColor AColor) const override;
  void DrawTabFrame(TqvCanvas* ACanvas, const TRect& R, Integer ASide, TqvBorders ABorders,
                    bool AVertical) const override;
  void DrawTabsBackground(TqvCanvas* ACanvas, const TRect& R, TqvBorders ABorders, bool AVertical) const override;
  bool DrawsWholeTab(bool AVertical) const override;
  bool IsTabHotTracked(bool AVertical) const override;
  Integer GetTabBorderWidth(bool) const override { return 1; }
  void DrawIndicatorItem(TqvCanvas* ACanvas, const TRect& R, TqvIndicatorKind AKind, TColor AColor,
                         const TqvPainterBackgroundEvent& AOnDrawBackground = nullptr) const override;
  void DrawScrollBarPart(TqvCanvas* ACanvas, bool AHorizontal, const TRect& R, TqvScrollBarPart APart,
                         TqvButtonState AState) const override;

  // Text through the theme; nothing for an empty text. ABounds and ABkColor are not used.
  virtual void DrawThemedText(TqvCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState, const TRect& ABounds,
                              const TRect& ATextR, TAlignment AAlignH, TqvAlignmentVert AAlignV, bool AMultiLine,
                              bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                              TColor ABkColor) const;

 protected:
  TqvWinXPLookAndFeelPainter() = default;
};

// The push-button theme state of a button state: normal 1, hot 2, pressed 3, disabled 4,
// default 5.
Integer ButtonStateToThemeState(TqvButtonState AState);
// The ScrollBar theme part of a thumb's gripper for a bar's direction; the scroll bar measures
// its minimum thumb with the same part the native painter draws.
Integer ScrollBarGripperThemePart(bool AHorizontal);

// ---------------------------------------------------------------------------------------------
// Shared resources

// The five 5 x 9 indicator glyphs (index = kind - 1), masked by white.
TImageList* GetIndicatorImages();
// The two 8 x 8 scroll-bar page patterns: 0 highlight and face, 1 dark shadow and black.
TBitmap* GetScrollBarPatternBitmap(Integer AIndex);
// Repaints the patterns with the current system colours (made first when missing).
void RefreshScrollBarPatternBitmaps();

namespace qvLookAndFeelPainters {

// 48 radio-button glyphs synthesised from the system's radio image: highlight ring x painter
// style (flat, standard, ultra-flat) x checked x state (normal, hot, pressed, disabled). The
// images are built on first draw and emptied by a system colour change.
class TqvRadioButtonImageList : public TObject {
  QJ_CLASS(TqvRadioButtonImageList, TObject)
 public:
  static constexpr Integer ImageCount = 48;

  TqvRadioButtonImageList();
  ~TqvRadioButtonImageList() override;

  // Makes the 48 images unless they exist; AHighlightAll holds until they are emptied.
  void BuildImages(bool AHighlightAll);
  // clDefault: the image alone; a colour fills the glyph box outside the circle. An index outside
  // the list draws nothing. On a high-DPI window the glyph is drawn at the device pixels from the
  // image's roles and colours instead of the image (which holds one pixel a unit).
  void Draw(TqvCanvas* ACanvas, Integer AIndex, Integer X, Integer Y, TColor ABackgroundColor);
  void ClearImages();
  Integer GetCount() const;
  TSize GetGlyphSize() const;
  // Style 0..2 from a painter style (the native style maps to the standard one); state with
  // qvbsDefault counted as qvbsNormal.
  static Integer ImageIndex(bool AHighlightRing, TqvPainterStyle AStyle, bool AChecked, TqvButtonState AState);

 private:
  TOwned<TImageList> FImages;
  TOwned<TBitmap> FDrawBitmap;
  TOwned<TBitmap> FMaskBitmap;
  TOwned<TqvSystemPaletteChangedNotifier> FNotifier;
  bool FHighlightAll = false;  // of the images built
};

TqvRadioButtonImageList* GetRadioButtonImageList();
void FreeRadioButtonImageList();

}  // namespace qvLookAndFeelPainters

// Frees the shared resources of the painters (indicator images, patterns, radio glyphs).
void DonePainterUnit();
