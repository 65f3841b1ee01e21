// The tree list's layout and drag feedback: the areas and items a tree list with bands, a fixed
// band, header rows, an indicator and rows lays out (outlined and named), and the pictures its
// drags show (a dragged header, the drop arrows, a dragged node, the pan window).
#include <algorithm>

#include "GalleryPage.h"
#include "TreeListGallery.h"
#include "platform/forms/Graphics.h"
#include "platform/os/Gdi.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLFeedback.h"
#include "treelist/zmTLResources.h"

namespace {

// A tree list whose layout the view draws; it is never shown itself.
TCustomzmTreeListControl* SampleTree(TComponent* Owner) {
  auto* tree = New<TCustomzmTreeListControl>(Owner);
  tree->SetBounds(0, 0, 520, 330);
  tree->BeginUpdate();
  tree->SetBandsVisible(true);
  tree->SetIndicatorVisible(true);
  TzmTreeListBands* bands = tree->GetBands();
  bands->GetItem(0)->SetCaption("Channel");
  bands->GetItem(0)->SetFixed(TzmGridBandFixed::bfLeft);
  bands->Add()->SetCaption("Tuning");
  const char* captions[] = {"Name", "Number", "Frequency", "Symbol rate", "Polarity"};
  const Integer bandOf[] = {0, 0, 1, 1, 1};
  const Integer widths[] = {120, 60, 150, 150, 110};
  for (Integer i = 0; i < 5; ++i) {
    TzmTreeListColumn* column = tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Owner);
    column->SetCaption(captions[i]);
    column->SetBandIndex(bandOf[i]);
    column->SetWidth(widths[i]);
  }
  for (Integer s = 0; s < 3; ++s) {
    TzmTreeListNode* satellite = tree->AddNode(nullptr);
    satellite->SetStrings(0, "Satellite " + IntToStr(s + 1));
    for (Integer c = 0; c < 4; ++c) satellite->AddChild()->SetStrings(0, "Channel " + IntToStr(c + 1));
  }
  tree->EndUpdate();
  tree->GetRootNode(0)->SetExpanded(true);
  tree->SetLeftCoord(40);
  return tree;
}

class TTreeListLayoutView : public TCustomControl {
  QJ_INLINE_CLASS(TTreeListLayoutView, TCustomControl)
 public:
  explicit TTreeListLayoutView(TComponent* AOwner) : TCustomControl(AOwner), FTree(SampleTree(this)) {}

 protected:
  void Paint() override {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(clWindow);
    canvas->FillRect(GetClientRect());
    canvas->GetFont()->Assign(GetFont());
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    TzmTreeListDrawInfo info;
    FTree->CalcDrawInfo(info);
    const TPoint at{10, 30};
    Label(dc, at.X, 8, "Layout of a 520 x 330 tree list (scrolled " + IntToStr(FTree->GetHorzOffset()) +
                           " pixels, band 'Channel' fixed at the left)");
    auto box = [&](const TRect& R, TColor Color, const String& Text) {
      if (R.IsEmpty()) return;
      TRect r = Rect(R.Left + at.X, R.Top + at.Y, R.Right + at.X, R.Bottom + at.Y);
      HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
      FrameRect(dc, &r, brush);
      DeleteObject(brush);
      TRect text = Rect(r.Left + 3, r.Top + 1, r.Right - 2, r.Bottom);
      DrawText(dc, Text.c_str(), Length(Text), &text, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    };
    box(info.ClientBounds, clGray, "");
    box(info.BandCornerRect, clMaroon, "");
    box(info.HeaderCornerRect, clMaroon, "");
    box(info.IndicatorRect, clMaroon, "");
    box(info.EmptyRightRect, clGray, "empty");
    TRect below = info.BelowRowsRect;
    below.Right = std::min(below.Right, info.ClientBounds.Right);
    box(below, clGray, "below the rows");
    for (const auto& band : info.Bands) {
      box(band.VisibleBounds, clNavy, FTree->GetBands()->VisibleItems(band.BandIndex)->GetCaption());
    }
    for (const auto& header : info.Headers)
      box(header.VisibleBounds, clGreen, FTree->ColumnAt(header.ColumnIndex)->GetCaption());
    Integer y = info.RowsRect.Top;
    for (const auto& row : info.Rows) {
      TRect r = Rect(info.RowsRect.Left, y, std::min(info.ContentRight + 1, info.RowsRect.Right), y + row.Height);
      Integer indent = 0, textLeft = 0;
      FTree->GetNodeIndent(row.Node, indent, textLeft);
      box(r, clTeal, String(static_cast<size_t>(indent / 4), ' ') + row.Node->GetStrings(0));
      y += row.Height;
    }

    Integer x = 560, top = 30;
    Label(dc, x, 8, "Drag feedback (popups above the screen)");
    TOwned<TBitmap> header(FTree->CreateHeaderDragImage(2));
    Label(dc, x, top, "Dragged header");
    canvas->Draw(x, top + 18, header.get());
    top += 60;
    TBitmap arrows;
    Integer extent = FTree->GetMetrics().HeaderRowHeight + 18;
    PaintDropArrows(&arrows, extent);
    Label(dc, x, top, "Drop arrows (shaped window)");
    HRGN region = DropArrowsRegion(extent);
    OffsetRgn(region, x, top + 18);
    SelectClipRgn(dc, region);
    canvas->Draw(x, top + 18, &arrows);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
    top += extent + 40;
    Label(dc, x, top, "Dragged node");
    TOwned<TBitmap> node(FTree->CreateNodeDragImage(FTree->GetRootNode(0)->GetItem(1), 0));
    canvas->Draw(x, top + 18, node.get());
    top += node->GetHeight() + 40;
    Label(dc, x, top, "Pan windows (both bars, one bar each)");
    for (Integer i = 0; i < 3; ++i) {
      TBitmap pan;
      PaintPanPicture(&pan, i != 2, i != 1);
      Integer left = x + i * 50;
      HRGN ellipse = CreateEllipticRgn(left, top + 18, left + zmPanPictureSize + 1, top + 18 + zmPanPictureSize + 1);
      SelectClipRgn(dc, ellipse);
      canvas->Draw(left, top + 18, &pan);
      SelectClipRgn(dc, nullptr);
      DeleteObject(ellipse);
    }
  }

 private:
  void Label(HDC DC, Integer X, Integer Y, const String& Text) {
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    TextOut(DC, X, Y, Text.c_str(), static_cast<int>(Text.size()));
  }

  TCustomzmTreeListControl* FTree;
};

void BuildTreeListLayoutPage(TWinControl* Parent) {
  New<TTreeListUnitsHolder>(Parent);
  auto* view = New<TTreeListLayoutView>(Parent);
  view->SetParent(Parent);
  view->SetBounds(10, 10, GalleryPageSize.cx - 20, GalleryPageSize.cy - 20);
}

const TGalleryPageRegistration TreeListLayoutPage("Tree list layout", 1002, &BuildTreeListLayoutPage);

}  // namespace
