// The tree list's in-place editors: text and mask editors in every border style, hot-tracked,
// shadowed, with a password character and with masks, beside cells drawn from the editors' view
// data without a live editor, and the tree list's indicator glyphs.
#include "GalleryPage.h"
#include "TreeListGallery.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Gdi.h"
#include "treelist/zmCntner.h"
#include "treelist/zmMaskEdit.h"
#include "treelist/zmTLResources.h"

namespace {

constexpr Integer kEditorLabelWidth = 150;
constexpr Integer kEditWidth = 170;
constexpr Integer kEditorRowHeight = 34;

// A container whose editors may change their cells.
class TEditorsContainer : public TCustomzmContainer {
  QJ_INLINE_CLASS(TEditorsContainer, TCustomzmContainer)
 public:
  explicit TEditorsContainer(TComponent* AOwner) : TCustomzmContainer(AOwner) { SetColor(clBtnFace); }
  bool CanEditorModify() override { return true; }
  bool IsEditorValidChar(char) override { return true; }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(GetClientRect());
  }
};

// Cells drawn by the editor classes from view data, as the tree list draws cells without an
// editor, and the indicator glyphs.
class TCellsView : public TCustomControl {
  QJ_INLINE_CLASS(TCellsView, TCustomControl)
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(clWindow);
    canvas->FillRect(GetClientRect());
    HDC dc = canvas->GetHandle();
    Cell(dc, 0, "Left aligned", taLeftJustify, 0, xbsNone, false);
    Cell(dc, 1, "Centred", taCenter, 1, xbsSingle, false);
    Cell(dc, 2, "Right aligned", taRightJustify, 1, xbsFlat, false);
    Cell(dc, 3, "A text too long for the cell ends in an ellipsis", taLeftJustify, 1, xbs3D, true);
    Cell(dc, 4, "A multi-line cell wraps its words onto the lines below", taLeftJustify, 3, xbsNone, false, '\0', 44);
    Cell(dc, 5, "secret", taLeftJustify, 1, xbsSingle, false, '*');
    for (Integer i = 0; i < IndicatorImages()->GetCount(); ++i) IndicatorImages()->Draw(canvas, 8 + i * 20, 250, i);
  }

 private:
  void Cell(HDC DC, Integer Row, const String& Text, TAlignment Alignment, Byte Layout, TzmEditBorderStyle Border,
            bool Ellipsis, char Password = '\0', Integer Height = 24) {
    Integer top = 6 + Row * 30 + (Row > 4 ? 20 : 0);
    auto data = MakeOwned<TzmTextEditViewData>();
    data->IsEnabled = true;
    data->BorderStyle = Border;
    data->BorderColor = clNavy;
    data->Edges = zmAllEdges;
    data->ViewRect = Bounds(8, top, 200, Height);
    data->HorzAlignment = Alignment;
    data->TextLayout = Layout;
    data->UsesEndEllipsis = Ellipsis;
    data->PasswordChar = Password;
    data->DrawValue = Text;
    data->FontHandle = GetFont()->GetHandle();
    data->BrushHandle = GetSysColorBrush(COLOR_WINDOW);
    data->BackColor = GetSysColor(COLOR_WINDOW);
    data->ForeColor = GetSysColor(COLOR_WINDOWTEXT);
    TzmInplaceTextEdit::ClassOps().Draw(DC, data->ViewRect, data.get(), nullptr);
  }
};

TLabel* Caption(TWinControl* Parent, Integer X, Integer Y, const String& Text) {
  return AddLabel(Parent, Text, Bounds(X, Y, kEditorLabelWidth, 20));
}

// An editor shown over its cell (without taking the focus, so every editor looks at rest).
template <class E>
E* Editor(TEditorsContainer* Container, Integer Row, const String& Label, const String& Value) {
  Integer y = 10 + Row * kEditorRowHeight;
  Caption(Container, 10, y + 4, Label);
  auto* edit = New<E>(Container);
  edit->SetParent(Container);
  edit->SetBounds(kEditorLabelWidth + 10, y, kEditWidth, 24);
  edit->SetEditValue(Value);
  edit->ShowEdit();
  return edit;
}

void BuildTreeListEditorsPage(TWinControl* Parent) {
  New<TTreeListUnitsHolder>(Parent);
  Caption(Parent, 10, 8, "In-place editors");
  auto* container = New<TEditorsContainer>(Parent);
  container->SetParent(Parent);
  container->SetBounds(10, 30, 360, 16 * kEditorRowHeight);

  Editor<TzmInplaceTextEdit>(container, 0, "3D border", "Channel name");
  Editor<TzmInplaceTextEdit>(container, 1, "Single border", "Transponder")->GetStyle()->SetBorderStyle(xbsSingle);
  Editor<TzmInplaceTextEdit>(container, 2, "Thick border", "Satellite")->GetStyle()->SetBorderStyle(xbsThick);
  Editor<TzmInplaceTextEdit>(container, 3, "Flat border", "Favourites")->GetStyle()->SetBorderStyle(xbsFlat);
  auto* none = Editor<TzmInplaceTextEdit>(container, 4, "No border", "Genre");
  none->GetStyle()->SetBorderStyle(xbsNone);
  auto* hot = Editor<TzmInplaceTextEdit>(container, 5, "Hot-tracked (hot)", "Flat when hot");
  hot->GetStyle()->SetBorderStyle(xbsNone);
  hot->GetStyle()->SetHotTrack(true);
  hot->SetSelected(true);
  hot->UpdateShape();
  auto* edges = Editor<TzmInplaceTextEdit>(container, 6, "Left and bottom edges", "Edges");
  edges->GetStyle()->SetBorderStyle(xbsSingle);
  edges->GetStyle()->SetEdges(edgLeft | edgBottom);
  Editor<TzmInplaceTextEdit>(container, 7, "Shadow", "Shadowed")->GetStyle()->SetShadow(true);
  Editor<TzmInplaceTextEdit>(container, 8, "Password", "secret")->SetPasswordChar('*');
  auto* upper = Editor<TzmInplaceTextEdit>(container, 9, "Upper case", "converted");
  upper->SetCharCase(ecUpperCase);
  Editor<TzmInplaceTextEdit>(container, 10, "Right aligned", "12345")->SetAlignment(taRightJustify);
  auto* disabled = Editor<TzmInplaceTextEdit>(container, 11, "Disabled", "Read only");
  disabled->SetEnabled(false);
  auto* phone = Editor<TzmInplaceMaskEdit>(container, 12, "Mask (999)000-0000", "");
  phone->SetEditMask("(999)000-0000;1;_");
  auto* date = Editor<TzmInplaceMaskEdit>(container, 13, "Mask !90/90/0000", "");
  date->SetEditMask("!90/90/0000;1;_");
  date->SetEditValue("1/2/2024");
  auto* code = Editor<TzmInplaceMaskEdit>(container, 14, "Mask >LL-0000", "");
  code->SetEditMask(">LL-0000;1;*");
  code->SetEditValue("QJ-1234");
  auto* cursor = Editor<TzmInplaceMaskEdit>(container, 15, "Mask, editing", "");
  cursor->SetEditMask("00:00;1;_");
  cursor->SetEditValue("12:3");
  cursor->ActivateEdit(Bounds(kEditorLabelWidth + 12, 12 + 15 * kEditorRowHeight, kEditWidth - 4, 20));
  cursor->SetCursor(3);

  Caption(Parent, 400, 8, "Cells drawn without an editor");
  auto* cells = New<TCellsView>(Parent);
  cells->SetParent(Parent);
  cells->SetBounds(400, 30, 220, 280);
}

const TGalleryPageRegistration TreeListEditorsPage("Tree list editors", 1000, &BuildTreeListEditorsPage);

}  // namespace
