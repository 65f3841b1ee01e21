// The colour dialog: grids of basic and custom colours, red/green/blue fields with a preview,
// and a button that puts the colour defined there into the custom colours.
#include <algorithm>

#include "platform/forms/Dialogs.h"
#include "platform/forms/DialogsInternal.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TColorDialog)

namespace {

const TResourceString SColorTitle = {61220, "Color"};

constexpr int kCustomCount = 16;

constexpr COLORREF kBasicColors[ColorDialogBasicCount] = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),
    RGB(128, 255, 255), RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255),
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(128, 255, 0),   RGB(0, 255, 64),
    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192), RGB(255, 0, 255),
    RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),
    RGB(128, 0, 0),     RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),
    RGB(0, 0, 255),     RGB(0, 0, 160),     RGB(128, 0, 128),   RGB(128, 0, 255),
    RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),      RGB(0, 64, 64),
    RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128),
    RGB(64, 128, 128),  RGB(192, 192, 192), RGB(64, 0, 64),     RGB(255, 255, 255),
};

String CustomColorName(int Index) { return String("Color") + static_cast<char>('A' + Index); }

// A grid of colour cells, 8 a row: a click or the arrow keys choose a cell, a double click
// presses the form's default button.
class TColorCells : public TCustomControl {
  QJ_INLINE_CLASS(TColorCells, TCustomControl)
 public:
  static constexpr Integer kColumns = 8, kCellWidth = 26, kCellHeight = 22;

  TColorCells(TComponent* AOwner, std::vector<TColor> Colors) : TCustomControl(AOwner), FColors(std::move(Colors)) {
    SetTabStop(true);
    SetWidth(kColumns * kCellWidth);
    SetHeight(Rows() * kCellHeight);
  }

  const std::vector<TColor>& GetColors() const { return FColors; }
  void SetCellColor(Integer Index, TColor Value) {
    if (Index < 0 || Index >= Count()) return;
    FColors[Index] = Value;
    Invalidate();
  }
  Integer GetSelected() const { return FSelected; }
  void SetSelected(Integer Value) {
    if (Value < -1 || Value >= Count() || Value == FSelected) return;
    FSelected = Value;
    Invalidate();
    if (FSelected >= 0 && OnSelect) OnSelect(FColors[FSelected]);
  }
  // The first cell of the colour, -1 when none has it.
  Integer IndexOf(TColor Color) const {
    auto it = std::find(FColors.begin(), FColors.end(), Color);
    return it == FColors.end() ? -1 : static_cast<Integer>(it - FColors.begin());
  }
  std::function<void(TColor)> OnSelect;

 protected:
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) {
      M.Result = DLGC_WANTARROWS;
      return;
    }
    TCustomControl::WndProc(M);
  }
  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
    for (Integer i = 0; i < Count(); ++i) {
      TRect cell = CellRect(i);
      c->GetBrush()->SetColor(clBlack);
      c->FrameRect({cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2});
      c->GetBrush()->SetColor(FColors[i]);
      c->FillRect({cell.Left + 3, cell.Top + 3, cell.Right - 3, cell.Bottom - 3});
      if (i == FSelected) {
        c->GetBrush()->SetColor(clBlack);
        c->FrameRect(cell);
        if (Focused()) c->DrawFocusRect({cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1});
      }
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    if (CanFocus()) SetFocus();
    Integer index = (Y / kCellHeight) * kColumns + X / kCellWidth;
    if (X >= 0 && Y >= 0 && X < GetWidth() && index < Count()) SetSelected(index);
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void KeyDown(Word& Key, TShiftState Shift) override {
    Integer from = std::max<Integer>(FSelected, 0);
    Integer to = FSelected < 0 ? 0 : -1;
    switch (Key) {
      case VK_LEFT: to = from - 1; break;
      case VK_RIGHT: to = from + 1; break;
      case VK_UP: to = from - kColumns; break;
      case VK_DOWN: to = from + kColumns; break;
      default: TCustomControl::KeyDown(Key, Shift); return;
    }
    if (FSelected < 0) to = 0;
    if (to >= 0 && to < Count()) SetSelected(to);
    Key = 0;
  }
  void DoEnter() override {
    Invalidate();
    TCustomControl::DoEnter();
  }
  void DoExit() override {
    Invalidate();
    TCustomControl::DoExit();
  }

 private:
  Integer Count() const { return static_cast<Integer>(FColors.size()); }
  Integer Rows() const { return (Count() + kColumns - 1) / kColumns; }
  TRect CellRect(Integer Index) const {
    Integer x = (Index % kColumns) * kCellWidth, y = (Index / kColumns) * kCellHeight;
    return {x, y, x + kCellWidth, y + kCellHeight};
  }

  std::vector<TColor> FColors;
  Integer FSelected = -1;
};

// Reads the custom colours of the dialog's list (white where a line is missing or unreadable).
std::vector<TColor> ReadCustomColors(TStrings* List) {
  std::vector<TColor> colors(kCustomCount, clWhite);
  for (int i = 0; i < kCustomCount; ++i) {
    String value = List->GetValue(CustomColorName(i));
    Integer parsed = 0;
    if (!value.empty() && value.size() <= 6 && TryStrToInt("$" + value, parsed)) colors[i] = parsed;
  }
  return colors;
}

class TColorDialogForm : public TForm {
  QJ_INLINE_CLASS(TColorDialogForm, TForm)
 public:
  TColorDialogForm(TColorDialog* Dialog) : TForm(nullptr), FDialog(Dialog), FColor(ColorToRGB(Dialog->GetColor())) {
    SetBorderStyle(bsDialog);
    SetCaption(LoadResString(&SColorTitle));
    TColorDialogOptions options = Dialog->GetOptions();
    SetClientHeight(290);
    BuildGrids();
    if (!(options & cdPreventFullOpen)) BuildDefinePanel();
    BuildButtons(!(options & (cdPreventFullOpen | cdFullOpen)));
    ShowDefinePanel(options & cdFullOpen);
    if (Integer basic = FBasic->IndexOf(FColor); basic >= 0)
      FBasic->SetSelected(basic);
    else if (Integer custom = FCustom->IndexOf(FColor); custom >= 0)
      FCustom->SetSelected(custom);
    ShowColor();
    BeginLoading();
    SetActiveControl(FBasic);
    EndLoading();
    CentreDialogForm(this);
  }

  TColor ChosenColor() const { return FColor; }
  const std::vector<TColor>& CustomColors() const { return FCustom->GetColors(); }

 private:
  TLabel* AddLabel(const char* Caption, Integer X, Integer Y, TWinControl* Focus, TWinControl* Parent = nullptr) {
    auto* l = New<TLabel>(this);
    l->SetCaption(Caption);
    l->SetBounds(X, Y, 120, 17);
    l->SetParent(Parent ? Parent : this);
    l->SetFocusControl(Focus);
    return l;
  }

  TColorCells* AddGrid(const char* Name, std::vector<TColor> Colors, Integer Y) {
    auto* grid = New<TColorCells>(this, std::move(Colors));
    grid->SetName(Name);
    grid->SetLeft(8);
    grid->SetTop(Y);
    grid->SetParent(this);
    grid->OnSelect = [this](TColor Color) {
      FColor = Color;
      ShowColor();
    };
    grid->OnDblClick = [this](TObject*) { SetModalResult(mrOk); };
    return grid;
  }

  void BuildGrids() {
    std::vector<TColor> basic;
    for (int i = 0; i < ColorDialogBasicCount; ++i) basic.push_back(ColorDialogBasicColor(i));
    FBasic = AddGrid("BasicColors", basic, 26);
    AddLabel("&Basic colors:", 8, 8, FBasic);
    Integer customTop = FBasic->GetTop() + FBasic->GetHeight() + 26;
    FCustom = AddGrid("CustomColors", ReadCustomColors(FDialog->GetCustomColors()), customTop);
    AddLabel("&Custom colors:", 8, FCustom->GetTop() - 18, FCustom);
  }

  TEdit* AddChannel(const char* Name, const char* Caption, Integer Y) {
    auto* e = New<TEdit>(this);
    e->SetName(Name);
    e->SetBounds(68, Y, 50, 23);
    e->SetParent(FDefinePart);
    AddLabel(Caption, 8, Y + 3, e, FDefinePart)->SetWidth(56);
    e->OnChange = [this](TObject*) { ChannelsChanged(); };
    return e;
  }

  void BuildDefinePanel() {
    FDefinePart = New<TPanel>(this);
    FDefinePart->SetName("DefinePart");
    FDefinePart->SetBevelOuter(bvNone);
    FDefinePart->SetBounds(232, 0, 168, 230);
    FDefinePart->SetParent(this);
    FPreview = New<TPanel>(this);
    FPreview->SetName("Preview");
    FPreview->SetBounds(8, 26, 110, 60);
    FPreview->SetBevelOuter(bvLowered);
    FPreview->SetParent(FDefinePart);
    FRed = AddChannel("RedEdit", "&Red:", 100);
    FGreen = AddChannel("GreenEdit", "&Green:", 130);
    FBlue = AddChannel("BlueEdit", "Bl&ue:", 160);
    auto* add = New<TButton>(this);
    add->SetName("AddCustomButton");
    add->SetCaption("&Add to Custom Colors");
    add->SetBounds(8, 196, 150, 25);
    add->SetParent(FDefinePart);
    add->OnClick = [this](TObject*) { AddCustomColor(); };
  }

  // The define part is on the right; closed, the form shows the grids only.
  void ShowDefinePanel(bool Show) {
    if (FDefinePart) FDefinePart->SetVisible(Show);
    SetClientWidth(Show ? 400 : 224);
    if (!FDefine || !Show) return;
    if (FDefine->Focused()) FRed->SetFocus();
    FDefine->SetEnabled(false);
  }

  void BuildButtons(bool DefineButton) {
    if (DefineButton) {
      FDefine = New<TButton>(this);
      FDefine->SetName("DefineButton");
      FDefine->SetCaption("&Define Custom Colors >>");
      FDefine->SetBounds(8, 224, 208, 25);
      FDefine->SetParent(this);
      FDefine->OnClick = [this](TObject*) { ShowDefinePanel(true); };
    }
    auto* ok = New<TButton>(this);
    ok->SetName("OkButton");
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetBounds(8, 258, 75, 25);
    ok->SetParent(this);
    auto* cancel = New<TButton>(this);
    cancel->SetName("CancelButton");
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetBounds(91, 258, 75, 25);
    cancel->SetParent(this);
  }

  void ShowColor() {
    if (!FPreview) return;
    FPreview->SetColor(FColor);
    TValueScope updating(FUpdatingChannels, true);
    FRed->SetText(IntToStr(GetRValue(FColor)));
    FGreen->SetText(IntToStr(GetGValue(FColor)));
    FBlue->SetText(IntToStr(GetBValue(FColor)));
  }

  static BYTE Channel(TEdit* Edit) {
    return static_cast<BYTE>(std::clamp<Integer>(StrToIntDef(Trim(Edit->GetText()), 0), 0, 255));
  }

  void ChannelsChanged() {
    if (FUpdatingChannels || !FBlue) return;
    FColor = RGB(Channel(FRed), Channel(FGreen), Channel(FBlue));
    FPreview->SetColor(FColor);
  }

  // The defined colour goes into the selected custom cell, or the next one in turn.
  void AddCustomColor() {
    Integer index = FCustom->GetSelected();
    if (index < 0) index = FNextCustom++ % kCustomCount;
    FCustom->SetCellColor(index, FColor);
  }

  TColorDialog* FDialog;
  TColor FColor;
  TColorCells* FBasic = nullptr;
  TColorCells* FCustom = nullptr;
  TPanel* FDefinePart = nullptr;
  TPanel* FPreview = nullptr;
  TButton* FDefine = nullptr;
  TEdit* FRed = nullptr;
  TEdit* FGreen = nullptr;
  TEdit* FBlue = nullptr;
  Integer FNextCustom = 0;
  bool FUpdatingChannels = false;
};

}  // namespace

TColor ColorDialogBasicColor(int Index) {
  return Index >= 0 && Index < ColorDialogBasicCount ? static_cast<TColor>(kBasicColors[Index]) : clNone;
}

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(MakeOwned<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }

String TColorDialog::NextEnvironmentAnswer() { return NextDialogAnswer("QJ_COLORDIALOG_ANSWERS", ';'); }

bool TColorDialog::TakeEnvironmentAnswer(const String& Answer) {
  Integer value = 0;
  if (Answer.size() == 7 && Answer[0] == '#' && TryStrToInt("$" + Answer.substr(1), value)) {
    FColor = RGB(static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value));
    return true;
  }
  try {
    FColor = StringToColor(Answer);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

bool TColorDialog::Execute() {
  switch (AnswerHeadless()) {
    case daCancel: return false;
    case daOk: return true;
    case daShow: break;
  }
  TOwned<TColorDialogForm> form(New<TColorDialogForm>(this));
  if (ShowDialogForm(form.get()) != mrOk) return false;
  FColor = form->ChosenColor();
  const std::vector<TColor>& custom = form->CustomColors();
  FCustomColors->Clear();
  for (int i = 0; i < kCustomCount; ++i) FCustomColors->Add(CustomColorName(i) + "=" + IntToHex(custom[i], 6));
  return true;
}
