// The edit painting page: editors painted from their view info alone, in every border style and
// editor state, and edit buttons of every style, kind and state, in the variant's look.
#include "GalleryPage.h"
#include "editors/qvEdit.h"
#include "editors/qvEditPaintUtils.h"
#include "editors/qvEditPopupWindowViewInfo.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"

namespace {

constexpr Integer kEditLabelWidth = 110;
constexpr Integer kEditColumn = 176;
constexpr TSize kEditSize{160, 22};

const char* const kBorderNames[] = {"None", "Single", "Thick", "Flat", "3D", "Ultra-flat"};
const char* const kButtonStyleNames[] = {"Default", "3D", "Flat", "Simple", "Hot-flat", "Ultra-flat"};
const char* const kEditButtonStateNames[] = {"Disabled", "Normal", "Pressed", "Hot"};

// How one sample editor is calculated.
struct TEditSample {
  bool Enabled = true;
  bool Focused = false;
  bool Hot = false;
  bool Inplace = false;
  bool Shadow = false;
};

// Paints the samples through a library canvas over its own canvas.
class TEditPaintingView : public TCustomControl {
  QJ_INLINE_CLASS(TEditPaintingView, TCustomControl)
 public:
  using TCustomControl::TCustomControl;

  void AfterConstruction() override {
    inherited::AfterConstruction();
    FProperties = MakeOwned<TqvCustomEditProperties>(nullptr);
    FGlyph = MakeOwned<TBitmap>();
    PaintGlyph(FGlyph.get());
  }

 protected:
  void Paint() override {
    TqvCanvas canvas(GetCanvas());
    FCanvas = &canvas;
    canvas.SetBrushColor(clBtnFace);
    canvas.FillRect(GetClientRect());
    Integer y = 6;
    Titles(y, {"Normal", "Hot", "Focused", "Disabled", "In place"});
    for (Integer style = ebsNone; style <= ebsUltraFlat; ++style) BorderRow(y += 30, TqvEditBorderStyle(style));
    ButtonLayoutRow(y += 40);
    Titles(y += 44, {"Disabled", "Normal", "Pressed", "Hot"});
    for (Integer style = bts3D; style <= btsUltraFlat; ++style) ButtonRow(y += 30, TqvEditButtonStyle(style));
    ThemedButtonRow(y += 30);
    Titles(y += 44, {"Single", "3D frame", "Flat", "Client edge, shadow", "Opened above"});
    PopupRow(y += 22);
    SpinRow(y += 140);
    FCanvas = nullptr;
  }

 private:
  static void PaintGlyph(TBitmap* ABitmap) {
    ABitmap->SetSize(12, 12);
    TCanvas* c = ABitmap->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 12, 12));
    c->GetBrush()->SetColor(clNavy);
    c->FillRect(Rect(2, 2, 10, 10));
    c->GetBrush()->SetColor(clYellow);
    c->FillRect(Rect(4, 4, 8, 8));
    ABitmap->SetTransparentColor(clFuchsia);
    ABitmap->SetTransparent(true);
  }

  void Text(const TRect& R, const String& AText, TColor AColor = clBtnText) {
    FCanvas->GetBrush()->SetStyle(bsClear);
    FCanvas->GetFont()->SetColor(AColor);
    FCanvas->DrawText(AText, R, tfLeft | tfVCenter | tfSingleLine);
    FCanvas->GetBrush()->SetStyle(bsSolid);
  }
  void Label(Integer y, const String& AText) { Text(Rect(6, y, kEditLabelWidth, y + kEditSize.cy), AText); }
  void Titles(Integer y, std::initializer_list<const char*> ANames) {
    Integer x = kEditLabelWidth;
    for (const char* name : ANames) {
      Text(Rect(x, y, x + kEditColumn, y + 18), name, clHighlight);
      x += kEditColumn;
    }
  }

  void SetButtons(std::initializer_list<std::pair<TqvEditButtonKind, bool>> AButtons) {
    TqvEditButtons* buttons = FProperties->GetButtons();
    buttons->Clear();
    for (const auto& [kind, left] : AButtons) {
      TqvEditButton* b = buttons->Add();
      b->SetKind(kind);
      b->SetLeftAlignment(left);
      if (kind == bkGlyph) b->SetGlyph(FGlyph.get());
    }
  }

  // Calculates and paints one editor at (x, y); a hot sample has the mouse over its text.
  void PaintEditor(Integer x, Integer y, TqvCustomEditStyle* AStyle, const TEditSample& ASample) {
    TOwned<TqvCustomEditViewData> data = FProperties->CreateViewData(AStyle, ASample.Inplace);
    data->Enabled = ASample.Enabled;
    data->Focused = ASample.Focused;
    TqvCustomEditViewInfo info;
    const TRect bounds = Bounds(x, y, kEditSize.cx + (ASample.Shadow ? 3 : 0), kEditSize.cy + (ASample.Shadow ? 3 : 0));
    const TPoint mouse = ASample.Hot ? Point(x + 20, y + kEditSize.cy / 2) : Point(-1, -1);
    data->Calculate(FCanvas, bounds, mouse, cmbNone, 0, &info, false);
    info.Draw(FCanvas);
    if (!info.InnerEditRect.IsEmpty())
      Text(qvDeflatedRect(info.InnerEditRect, 1), " Text", ASample.Enabled ? info.TextColor : clBtnShadow);
  }

  TOwned<TqvCustomEditStyle> NewStyle(bool AInplace = false) {
    return TOwned<TqvCustomEditStyle>(
        static_cast<TqvCustomEditStyle*>(TqvCustomEditStyle::StaticClass().Create(nullptr, AInplace)));
  }

  void BorderRow(Integer y, TqvEditBorderStyle ABorder) {
    Label(y, String(kBorderNames[ABorder]) + " border");
    SetButtons({{bkEllipsis, false}, {bkDown, false}});
    TOwned<TqvCustomEditStyle> style = NewStyle();
    style->SetBorderStyle(ABorder);
    const TEditSample samples[] = {{}, {.Hot = true}, {.Focused = true}, {.Enabled = false}};
    for (Integer i = 0; i < 4; ++i) PaintEditor(kEditLabelWidth + i * kEditColumn, y, style.get(), samples[i]);
    TOwned<TqvCustomEditStyle> inplace = NewStyle(true);
    PaintEditor(kEditLabelWidth + 4 * kEditColumn, y, inplace.get(), {.Inplace = true});
  }

  void ButtonLayoutRow(Integer y) {
    Label(y, "Layouts");
    TOwned<TqvCustomEditStyle> style = NewStyle();
    style->SetBorderStyle(ebsSingle);
    SetButtons({{bkGlyph, true}, {bkEllipsis, false}, {bkDown, false}});
    PaintEditor(kEditLabelWidth, y, style.get(), {.Hot = true});
    style->SetShadow(true);
    style->SetHotTrack(false);
    PaintEditor(kEditLabelWidth + kEditColumn, y, style.get(), {.Shadow = true});
    TOwned<TqvCustomEditStyle> ultraFlat = NewStyle();
    ultraFlat->SetBorderStyle(ebsUltraFlat);
    PaintEditor(kEditLabelWidth + 2 * kEditColumn, y, ultraFlat.get(), {.Focused = true});
    TOwned<TqvCustomEditStyle> hideInactive = NewStyle();
    hideInactive->SetButtonTransparency(ebtHideInactive);
    PaintEditor(kEditLabelWidth + 3 * kEditColumn, y, hideInactive.get(), {});
    hideInactive->SetButtonTransparency(ebtAlways);
    PaintEditor(kEditLabelWidth + 4 * kEditColumn, y, hideInactive.get(), {.Focused = true});
  }

  // One button of each kind in each state.
  void ButtonRow(Integer y, TqvEditButtonStyle AStyle) {
    Label(y, String(kButtonStyleNames[AStyle]) + " buttons");
    for (Integer state = ebbsDisabled; state <= ebbsHot; ++state)
      for (Integer kind = bkEllipsis; kind <= bkGlyph; ++kind) {
        TqvEditButtonViewInfo b;
        b.Bounds = Bounds(kEditLabelWidth + state * kEditColumn + kind * 28, y, 22, kEditSize.cy);
        b.VisibleBounds = b.Bounds;
        b.Style = AStyle;
        b.State = TqvEditButtonState(state);
        b.Kind = TqvEditButtonKind(kind);
        b.Glyph = FGlyph.get();
        b.BackgroundColor = clWindow;
        b.FirstInGroup = b.LastInGroup = true;
        DrawEditButtonBorder(FCanvas, &b, b.Bounds, AStyle, false);
      }
  }

  // Drop-down windows with a system panel (size grip and close button), one per frame kind.
  void PopupRow(Integer y) {
    Label(y, "Drop-downs");
    struct TPopupSample {
      TqvEditPopupBorderStyle BorderStyle;
      bool ClientEdge, Shadow;
      TqvSizeGripCorner Corner;
    };
    const TPopupSample samples[] = {{epbsSingle, false, false, sgcBottomRight},
                                    {epbsFrame3D, false, false, sgcBottomRight},
                                    {epbsFlat, false, false, sgcBottomRight},
                                    {epbsFrame3D, true, true, sgcBottomRight},
                                    {epbsSingle, false, true, sgcTopRight}};
    for (Integer i = 0; i < 5; ++i) {
      TqvCustomEditPopupWindowViewInfo info;
      info.PopupBorderStyle = samples[i].BorderStyle;
      info.ClientEdge = samples[i].ClientEdge;
      info.Shadow = samples[i].Shadow;
      info.SizeGripCorner = samples[i].Corner;
      info.NativeStyle = RootLookAndFeel()->GetNativeStyle();
      info.SysPanelStyle = info.Sizeable = info.HasCloseButton = true;
      info.CloseButtonState = i == 2 ? qvbsHot : qvbsNormal;
      info.Bounds = Bounds(0, 0, kEditSize.cx, 110);
      info.Calculate();
      // The window paints in its own coordinates.
      TSavedDCScope saved(FCanvas->GetHandle());
      OffsetViewportOrgEx(FCanvas->GetHandle(), kEditLabelWidth + i * kEditColumn, y, nullptr);
      info.Draw(FCanvas);
      Text(qvDeflatedRect(info.ClientRect, 2), "Items", clBtnText);
    }
  }

  // Spin buttons in each style: a vertical pair (up over down) and a horizontal pair with fast
  // buttons, the up button hot.
  void SpinRow(Integer y) {
    Label(y, "Spin buttons");
    Titles(y - 18, {"3D", "Flat", "Hot-flat", "Ultra-flat", "Themed"});
    const TqvEditButtonStyle styles[] = {bts3D, btsFlat, btsHotFlat, btsUltraFlat, btsDefault};
    for (Integer column = 0; column < 5; ++column) {
      const Integer x = kEditLabelWidth + column * kEditColumn;
      const bool themed = styles[column] == btsDefault;
      TSpinSample vertical(sbpVert);
      vertical.Place(0, Bounds(x, y + 11, 17, 11), themed ? SPNP_DOWN : 0, ebbsNormal);
      vertical.Place(1, Bounds(x, y, 17, 11), themed ? SPNP_UP : 0, ebbsHot);
      TSpinSample horizontal(sbpHorzRight, 4);
      horizontal.Place(2, Bounds(x + 30, y + 2, 20, 18), themed ? SPNP_DOWNHORZ : 0, ebbsNormal);
      horizontal.Place(0, Bounds(x + 50, y + 2, 16, 18), themed ? SPNP_DOWNHORZ : 0, ebbsPressed);
      horizontal.Place(1, Bounds(x + 66, y + 2, 16, 18), themed ? SPNP_UPHORZ : 0, ebbsHot);
      horizontal.Place(3, Bounds(x + 82, y + 2, 20, 18), themed ? SPNP_UPHORZ : 0, ebbsNormal);
      for (TSpinSample* sample : {&vertical, &horizontal}) {
        for (Integer i = 0; i < sample->GetButtonCount(); ++i)
          DrawSpinEditButtonBorder(FCanvas, sample, i, sample->GetButton(i)->Bounds, themed ? bts3D : styles[column],
                                   sample->Position);
      }
    }
  }

  // A spin editor's buttons as its view info paints them.
  class TSpinSample : public TqvCustomEditViewInfo {
   public:
    explicit TSpinSample(TqvSpinEditButtonsPosition APosition, Integer ACount = 2) : Position(APosition) {
      SetButtonCount(ACount);
    }
    void Place(Integer AIndex, const TRect& R, Integer ANativePart, TqvEditButtonState AState) {
      TqvEditButtonViewInfo* b = GetButton(AIndex);
      b->Bounds = b->VisibleBounds = R;
      b->State = AState;
      b->BackgroundColor = clWindow;
      // The themed samples take the spin theme's parts while the variant's theme is usable.
      const bool themed = ANativePart != 0 && IsNativeThemeUsable(RootLookAndFeel()->GetNativeStyle(), totSpin);
      b->NativePart = themed ? ANativePart : 0;
      b->NativeState = themed ? EditButtonStateToThemeState(AState) : 0;
    }
    void DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor, TColor AContentColor,
                           const TRect& ARect) override {
      DrawSpinEditButtonContent(ACanvas, this, AButtonIndex, ABackgroundColor, AContentColor, ARect, Position, 3);
    }
    TqvSpinEditButtonsPosition Position;
  };

  void ThemedButtonRow(Integer y) {
    Label(y, "Themed buttons");
    for (Integer state = ebbsDisabled; state <= ebbsHot; ++state)
      for (Integer kind = bkEllipsis; kind <= bkGlyph; ++kind) {
        TqvEditButtonViewInfo b;
        b.Bounds = Bounds(kEditLabelWidth + state * kEditColumn + kind * 28, y, 22, kEditSize.cy);
        b.VisibleBounds = b.Bounds;
        b.Style = bts3D;
        b.State = TqvEditButtonState(state);
        b.Kind = TqvEditButtonKind(kind);
        b.Glyph = FGlyph.get();
        b.NativeStyle = RootLookAndFeel()->GetNativeStyle();
        b.IsSingleDropDown = kind == bkDown;
        CalculateEditButtonNativeInfo(&b);
        DrawEditButtonBorder(FCanvas, &b, b.Bounds, b.Style, false);
      }
  }

  TqvCanvas* FCanvas = nullptr;
  TOwned<TqvCustomEditProperties> FProperties;
  TOwned<TBitmap> FGlyph;
};

void BuildEditPaintingPage(TWinControl* Parent) {
  auto* view = New<TEditPaintingView>(Parent);
  view->SetParent(Parent);
  view->SetBounds(0, 0, GalleryPageSize.cx, GalleryPageSize.cy);
}

const TGalleryPageRegistration EditPaintingPage("Edit painting", 300, &BuildEditPaintingPage);

}  // namespace
