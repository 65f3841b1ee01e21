// The painters page: every operation of the look-and-feel painter of the variant, in every
// state: buttons, arrows, check boxes, radio buttons, headers, footers, indicators, scroll-bar
// parts, tabs, filter and expand buttons, borders and button rows.
#include "GalleryPage.h"

namespace {

const TqvButtonState kStates[] = {qvbsDefault, qvbsNormal, qvbsHot, qvbsPressed, qvbsDisabled};
const char* const kStateNames[] = {"Default", "Normal", "Hot", "Pressed", "Disabled"};
constexpr Integer kLabelWidth = 110;
constexpr Integer kColumn = 170;  // width of one state's column

// Paints the painter operations through a library canvas over its own canvas.
class TPaintersView : public TCustomControl {
  QJ_INLINE_CLASS(TPaintersView, TCustomControl)
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    TqvCanvas canvas(GetCanvas());
    FCanvas = &canvas;
    FPainter = RootLookAndFeel()->GetPainter();
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(GetClientRect());
    Integer y = 6;
    StateTitles(y);
    Buttons(y += 20);
    ArrowButtons(y += 34);
    ScrollArrows(y += 26);
    CheckBoxes(y += 24);
    RadioButtons(y += 24);
    Headers(y += 24);
    Footers(y += 54);
    Indicators(y += 34);
    ScrollBars(y += 30);
    Tabs(y += 118);
    FilterButtons(y += 92);
    ExpandButtonsAndBorders(y += 28);
    ButtonRows(y += 34);
    FCanvas = nullptr;
  }

 private:
  void Text(const TRect& R, const String& AText, TqvTextFlags AFlags = tfLeft | tfVCenter | tfSingleLine,
            TColor AColor = clBtnText) {
    FCanvas->GetBrush()->SetStyle(bsClear);
    FCanvas->GetFont()->SetColor(AColor);
    FCanvas->DrawText(AText, R, AFlags);
    FCanvas->GetBrush()->SetStyle(bsSolid);
  }
  void Label(Integer y, Integer h, const String& AText) { Text(Rect(6, y, kLabelWidth, y + h), AText); }
  Integer ColumnX(Integer i) const { return kLabelWidth + i * kColumn; }
  // Draws with the clip restored afterwards, as painters that exclude their rectangle need.
  template <class F>
  void Clipped(F&& draw) {
    TOwned<TqvRegion> saved = FCanvas->GetClipRegion();
    draw();
    FCanvas->SetClipRegion(std::move(saved), roCopy);
  }

  void StateTitles(Integer y) {
    Text(Rect(6, y, kLabelWidth, y + 16), StylePainterName(), tfLeft | tfTop | tfSingleLine, clHighlight);
    for (Integer i = 0; i < 5; ++i) Text(Rect(ColumnX(i), y, ColumnX(i) + kColumn, y + 16), kStateNames[i]);
  }
  String StylePainterName() const {
    static const char* const names[] = {"Flat painter", "Standard painter", "Ultra-flat painter", "Native painter"};
    return names[FPainter->GetStyleKind()];
  }

  void Buttons(Integer y) {
    Label(y, 26, "Buttons");
    for (Integer i = 0; i < 5; ++i) FPainter->DrawButton(FCanvas, Bounds(ColumnX(i), y, 100, 26), "&Button", kStates[i]);
  }

  void ArrowButtons(Integer y) {
    Label(y, 20, "Arrow buttons");
    for (Integer i = 0; i < 5; ++i)
      for (Integer d = 0; d < 4; ++d) {
        const Integer x = ColumnX(i) + d * 22;
        FPainter->DrawArrowButton(FCanvas, Bounds(x, y, 20, 20), kStates[i], TqvArrowDirection(d));
      }
  }

  void ScrollArrows(Integer y) {
    Label(y, 16, "Arrows");
    for (Integer i = 0; i < 5; ++i)
      for (Integer d = 0; d < 4; ++d) {
        const Integer x = ColumnX(i) + d * 22;
        FPainter->DrawScrollArrow(FCanvas, Bounds(x, y, 16, 16), kStates[i], TqvArrowDirection(d));
        FPainter->DrawArrow(FCanvas, Bounds(x + 90, y + 4, 12, 12), TqvArrowDirection(d),
                            FPainter->GetButtonGlyphColor(kStates[i]));
      }
  }

  void CheckBoxes(Integer y) {
    Label(y, 13, "Check boxes");
    for (Integer i = 0; i < 5; ++i)
      for (Integer c = 0; c < 2; ++c) {
        FPainter->DrawCheckBox(FCanvas, Bounds(ColumnX(i) + c * 24, y, 13, 13), kStates[i], c == 1);
        FPainter->DrawFilterActivateButton(FCanvas, Bounds(ColumnX(i) + 60 + c * 24, y, 13, 13), kStates[i], c == 1);
      }
  }

  void RadioButtons(Integer y) {
    Label(y, 13, "Radio buttons");
    for (Integer i = 0; i < 5; ++i)
      for (Integer c = 0; c < 4; ++c)
        FPainter->DrawRadioButton(FCanvas, ColumnX(i) + c * 24, y, kStates[i], c % 2 == 1, c >= 2,
                                  c == 3 ? clWindow : clDefault);
  }

  void Headers(Integer y) {
    Label(y, 20, "Headers");
    TFont* font = FCanvas->GetFont();
    for (Integer i = 0; i < 5; ++i) {
      const TRect r = Bounds(ColumnX(i), y, 80, 20);
      TqvBorders neighbours = qvBorder(bRight);
      FPainter->DrawHeader(FCanvas, r, qvDeflatedRect(r, 2), neighbours, FPainter->GetHeaderBorderSides(neighbours),
                           kStates[i], taLeftJustify, vaCenter, false, true, "Column", font, clBtnText,
                           FPainter->DefaultHeaderColor());
      const TRect next = Bounds(r.Right, y, 80, 20);
      FPainter->DrawHeader(FCanvas, next, qvDeflatedRect(next, 2), qvBorder(bLeft),
                           FPainter->GetHeaderBorderSides(qvBorder(bLeft)), kStates[i], taCenter, vaCenter, false, true,
                           "Sorted", font, clBtnText, FPainter->DefaultHeaderColor());
      FPainter->PaintSortOrderMark(FCanvas, Bounds(next.Right - 14, y + 2, 12, 16), i % 2 == 0);
      const TRect ex = Bounds(ColumnX(i), y + 24, 160, 20);
      FPainter->DrawHeaderEx(FCanvas, ex, qvDeflatedRect(ex, 2), 0, qvAllBorders, kStates[i], taRightJustify, vaCenter,
                             false, false, "DrawHeaderEx", font, clBtnText, FPainter->DefaultHeaderColor());
      if (kStates[i] == qvbsPressed) FPainter->DrawHeaderPressed(FCanvas, ex);
    }
  }

  void Footers(Integer y) {
    Label(y, 26, "Footers");
    const TRect band = Rect(kLabelWidth, y, kLabelWidth + 5 * kColumn - 10, y + 26);
    FCanvas->SetBrushColor(FPainter->DefaultFooterColor());
    FCanvas->FillRect(band);
    FPainter->DrawFooterBorder(FCanvas, band);
    const Integer offset = FPainter->GetFooterCellOffset();
    for (Integer i = 0; i < 5; ++i) {
      const TRect cell = Rect(ColumnX(i) + offset, y + offset + 2, ColumnX(i) + kColumn - 14, y + 24 - offset);
      static const TAlignment kAlign[] = {taLeftJustify, taCenter, taRightJustify, taLeftJustify, taRightJustify};
      FPainter->DrawFooterCell(FCanvas, cell, kAlign[i], vaCenter, false, "Sum = 1234", FCanvas->GetFont(),
                               FPainter->DefaultFooterTextColor(), FPainter->DefaultFooterColor());
    }
  }

  void Indicators(Integer y) {
    Label(y, 18, "Indicators");
    for (Integer k = 0; k <= indMultiArrow; ++k) {
      FPainter->DrawIndicatorItem(FCanvas, Bounds(ColumnX(0) + k * 14, y, 12, 18), TqvIndicatorKind(k),
                                  FPainter->DefaultHeaderColor());
      FPainter->DrawIndicatorItemEx(FCanvas, Bounds(ColumnX(1) + k * 14, y, 12, 18), TqvIndicatorKind(k),
                                    FPainter->DefaultHeaderColor());
    }
    Text(Bounds(ColumnX(2), y, 300, 18), "DrawIndicatorItem, DrawIndicatorItemEx");
  }

  void ScrollBar(bool horizontal, const TRect& r, TqvButtonState s) {
    const Integer len = horizontal ? r.Width() : r.Height(), a = 17;
    auto part = [&](Integer from, Integer to) {
      return horizontal ? Rect(r.Left + from, r.Top, r.Left + to, r.Bottom) : Rect(r.Left, r.Top + from, r.Right, r.Top + to);
    };
    FPainter->DrawScrollBarPart(FCanvas, horizontal, part(0, a), spFirstArrow, s);
    FPainter->DrawScrollBarPart(FCanvas, horizontal, part(a, a + 20), spFirstPage, s == qvbsPressed ? s : qvbsNormal);
    FPainter->DrawScrollBarPart(FCanvas, horizontal, part(a + 20, a + 50), spThumb, s);
    FPainter->DrawScrollBarPart(FCanvas, horizontal, part(a + 50, len - a), spSecondPage, qvbsNormal);
    FPainter->DrawScrollBarPart(FCanvas, horizontal, part(len - a, len), spSecondArrow, s);
  }

  void ScrollBars(Integer y) {
    Label(y, 17, "Scroll bars");
    for (Integer i = 0; i < 5; ++i) {
      ScrollBar(true, Bounds(ColumnX(i), y, 140, 17), kStates[i]);
      ScrollBar(false, Bounds(ColumnX(i), y + 22, 17, 88), kStates[i]);
      FCanvas->SetBrushColor(clBtnFace);
      static const TqvScrollBarPart kParts[] = {spFirstArrow, spSecondArrow, spThumb, spFirstPage, spSecondPage};
      for (Integer p = 0; p < 5; ++p)
        FPainter->DrawScrollBarPart(FCanvas, false, Bounds(ColumnX(i) + 24 + p * 22, y + 22, 17, 34), kParts[p],
                                    kStates[i]);
    }
  }

  void Tab(const TRect& r, TqvButtonState s, bool vertical) {
    const TqvBorders borders = qvAllBorders;
    if (FPainter->DrawsWholeTab(vertical)) {
      FPainter->DrawTab(FCanvas, r, borders, "Tab", s, vertical, FCanvas->GetFont(), FPainter->DefaultTabTextColor(),
                        FPainter->DefaultTabColor());
      return;
    }
    const Integer w = FPainter->GetTabBorderWidth(vertical);
    FCanvas->SetBrushColor(s == qvbsPressed ? FPainter->DefaultContentColor() : FPainter->DefaultTabColor());
    FCanvas->FillRect(r);
    if (vertical) {
      FPainter->DrawTabFrame(FCanvas, Rect(r.Left, r.Top, r.Left + w, r.Bottom), 0, borders, true);
      FPainter->DrawTabFrame(FCanvas, Rect(r.Left, r.Top, r.Right, r.Top + w), 1, borders, true);
      FPainter->DrawTabFrame(FCanvas, Rect(r.Left, r.Bottom - w, r.Right, r.Bottom), 3, borders, true);
    } else {
      FPainter->DrawTabFrame(FCanvas, Rect(r.Left, r.Top, r.Left + w, r.Bottom), 0, borders, false);
      FPainter->DrawTabFrame(FCanvas, Rect(r.Left, r.Top, r.Right, r.Top + w), 1, borders, false);
      FPainter->DrawTabFrame(FCanvas, Rect(r.Right - w, r.Top, r.Right, r.Bottom), 2, borders, false);
    }
    Text(r, "Tab", tfHCenter | tfVCenter | tfSingleLine, s == qvbsDisabled ? clGrayText : FPainter->DefaultTabTextColor());
  }

  void Tabs(Integer y) {
    Label(y, 22, "Tabs");
    for (Integer i = 0; i < 5; ++i) {
      const TRect back = Bounds(ColumnX(i), y + 22, 150, 30);
      FCanvas->SetBrushColor(FPainter->DefaultTabsBackgroundColor());
      FCanvas->FillRect(back);
      FPainter->DrawTabsBackground(FCanvas, back, qvBorder(bTop), false);
      Tab(Bounds(ColumnX(i) + 4, y, 70, 23), kStates[i], false);
      Tab(Bounds(ColumnX(i) + 4, y + 58, 70, 22), kStates[i], true);
    }
  }

  void FilterButtons(Integer y) {
    Label(y, 18, "Filter buttons");
    const TSize close = FPainter->GetFilterCloseButtonExtent();
    for (Integer i = 0; i < 5; ++i) {
      FPainter->DrawFilterDropDownButton(FCanvas, Bounds(ColumnX(i), y, 15, 18), kStates[i], false);
      FPainter->DrawFilterDropDownButton(FCanvas, Bounds(ColumnX(i) + 20, y, 15, 18), kStates[i], true);
      FPainter->DrawFilterCloseButton(FCanvas, Bounds(ColumnX(i) + 44, y, close.cx, close.cy), kStates[i]);
      FPainter->DrawFilterArrow(FCanvas, Bounds(ColumnX(i) + 70, y, 15, 18), FPainter->GetButtonGlyphColor(kStates[i]));
    }
  }

  void ExpandButtonsAndBorders(Integer y) {
    Label(y, 24, "Expand, border");
    const Integer e = std::max(FPainter->GetExpandButtonExtent(), 9), s = FPainter->GetSmallExpandButtonSize();
    Clipped([&] {
      FPainter->PaintExpandButton(FCanvas, Bounds(ColumnX(0), y, e, e), false, clDefault);
      FPainter->PaintExpandButton(FCanvas, Bounds(ColumnX(0) + 20, y, e, e), true, clWindow);
    });
    Clipped([&] {
      FCanvas->SetBrushColor(clBtnShadow);
      FPainter->DrawSmallExpandButton(FCanvas, Bounds(ColumnX(0) + 40, y, s, s), false, clWindow);
      FCanvas->SetBrushColor(clBtnShadow);
      FPainter->DrawSmallExpandButton(FCanvas, Bounds(ColumnX(0) + 56, y, s, s), true, clDefault);
    });
    const TRect box = Bounds(ColumnX(1), y - 2, 150, 28);
    FCanvas->SetBrushColor(FPainter->DefaultContentColor());
    FCanvas->FillRect(box);
    FPainter->PaintBorder(FCanvas, box);
    const TRect inner = qvDeflatedRect(box, FPainter->GetBorderWidth());
    Text(inner, "PaintBorder", tfHCenter | tfVCenter | tfSingleLine, FPainter->DefaultContentTextColor());
    const TRect focus = Bounds(ColumnX(2), y - 2, 150, 28);
    FPainter->DrawButton(FCanvas, focus, "Focused", qvbsNormal);
    FCanvas->DrawFocusRect(FPainter->CalcButtonFocusRect(FCanvas, focus));
    const TRect selection = Bounds(ColumnX(3), y - 2, 150, 28);
    FCanvas->SetBrushColor(FPainter->DefaultSelectionColor());
    FCanvas->FillRect(selection);
    Text(selection, "Selection", tfHCenter | tfVCenter | tfSingleLine, FPainter->DefaultSelectionTextColor());
  }

  void ButtonRows(Integer y) {
    Label(y, 22, "Button rows");
    for (Integer i = 0; i < 5; ++i)
      FPainter->DrawButtonFace(FCanvas, Bounds(ColumnX(0) + i * 24, y, 24, 22), kStates[i], 5, i, clBtnShadow);
    for (Integer i = 0; i < 5; ++i)
      FPainter->DrawButtonFace(FCanvas, Bounds(ColumnX(2) + i * 30, y, 30, 22), kStates[i], 1, 0, clBtnShadow);
  }

  TqvCanvas* FCanvas = nullptr;
  TqvLookAndFeelPainterClass FPainter = nullptr;
};

void BuildPaintersPage(TWinControl* Parent) {
  auto* view = New<TPaintersView>(Parent);
  view->SetParent(Parent);
  view->SetBounds(0, 0, GalleryPageSize.cx, GalleryPageSize.cy);
}

const TGalleryPageRegistration PaintersPage("Painters", 200, &BuildPaintersPage);

}  // namespace
