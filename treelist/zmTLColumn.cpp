// Tree list columns: effective settings, setters, assignment, the value flow between node and
// editor, the view data of cells drawn without an editor; and the tree list's edit style.
#include "treelist/zmTLColumn.h"

#include <algorithm>

#include "platform/forms/Graphics.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmMaskEdit.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TzmTreeListEditStyle)
QJ_IMPLEMENT_CLASS(TzmTreeListColumn)
QJ_IMPLEMENT_CLASS(TzmTreeListMaskColumn)

namespace {

bool SameFont(TFont* A, TFont* B) {
  return A->GetName() == B->GetName() && A->GetHeight() == B->GetHeight() && A->GetStyle() == B->GetStyle() &&
         A->GetColor() == B->GetColor() && A->GetCharset() == B->GetCharset() && A->GetPitch() == B->GetPitch();
}

template <class T>
bool StoreChanged(T& Field, T Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Edit style

TzmEditButtonViewStyle zmTreeListButtonStyle(TzmTreeListFrameLook Look) {
  switch (Look) {
    case zmflFlat: return TzmEditButtonViewStyle::btsFlat;
    case zmflUltraFlat: return TzmEditButtonViewStyle::btsHotFlat;
    default: return TzmEditButtonViewStyle::bts3D;
  }
}

TzmEditBorderStyle TzmTreeListEditStyle::DefaultBorderStyle() const {
  return FTreeList && FTreeList->GetShowGrid() ? xbsNone : xbsSingle;
}

TzmEditButtonViewStyle TzmTreeListEditStyle::DefaultButtonStyle() const {
  return zmTreeListButtonStyle(FTreeList ? FTreeList->GetFrameLook() : zmflStandard);
}

// ---------------------------------------------------------------------------------------------
// Construction and the control

TzmTreeListColumn::TzmTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TzmTreeListColumn::~TzmTreeListColumn() { LeaveTreeList(); }

void TzmTreeListColumn::AfterConstruction() {
  inherited::AfterConstruction();
  FViewData.reset(GetEditorClass()->Ops->GetViewDataClass()->Create());
}

void TzmTreeListColumn::BeforeDestruction() {
  if (FTreeList && !FTreeList->IsDestroying()) {
    // An open edit is posted while the strings still line up with the columns.
    FTreeList->ResetEditedCell();
    Integer index = GetIndex();
    for (Integer i = 0; i < FTreeList->GetRootCount(); ++i) FTreeList->DeleteColumnStrings(FTreeList->GetRootNode(i), index);
    for (TzmTreeListNode* node : FTreeList->GetHiddenNodes()) FTreeList->DeleteColumnStrings(node, index);
  }
  LeaveTreeList();
  inherited::BeforeDestruction();
}

void TzmTreeListColumn::LeaveTreeList() {
  if (FTreeList) FTreeList->RemoveColumn(this);
}

void TzmTreeListColumn::SetTreeList(TCustomzmTreeListControl* Value) {
  if (Value == FTreeList) return;
  LeaveTreeList();
  if (Value) Value->AddColumn(this);
}

TComponent* TzmTreeListColumn::GetParentComponent() { return FTreeList; }

void TzmTreeListColumn::SetParentComponent(TComponent* Value) {
  if (HasState(csLoading)) return;
  auto* control = As<TCustomzmTreeListControl>(Value);
  if (control || !Value) SetTreeList(control);
}

void TzmTreeListColumn::SetName(const String& NewName) {
  inherited::SetName(NewName);
  if (OnNameChanged) OnNameChanged(this);
}

Integer TzmTreeListColumn::GetIndex() { return FTreeList ? FTreeList->IndexOfColumn(this) : -1; }

void TzmTreeListColumn::SetIndex(Integer NewIndex) {
  Integer current = GetIndex();
  if (current < 0) return;
  NewIndex = std::clamp(NewIndex, 0, FTreeList->ColumnCount() - 1);
  if (NewIndex == current) return;
  FTreeList->ResetEditedCell();
  FTreeList->MoveColumnStrings(current, NewIndex);
  FTreeList->MoveColumn(current, NewIndex);
  Changed(true);
}

Integer TzmTreeListColumn::SortedIndex() const { return FTreeList ? FTreeList->IndexOfSortedColumn(this) : -1; }

void TzmTreeListColumn::Changed(bool LayoutOnly) {
  if (FTreeList && !FTreeList->HasState(csLoading)) FTreeList->ColumnsChanged(LayoutOnly ? nullptr : this);
}

void TzmTreeListColumn::ApplyDefaultWidth() {
  if (!IsAssigned(zmcvWidth)) FWidth = std::max(GetDefaultWidth(), FMinWidth);
}

// ---------------------------------------------------------------------------------------------
// Effective settings

TAlignment TzmTreeListColumn::GetAlignment() {
  return IsAssigned(zmcvAlignment) ? FAlignment : GetDefaultAlignment();
}

String TzmTreeListColumn::GetCaption() { return IsAssigned(zmcvCaption) ? FCaption : GetDefaultCaption(); }

Integer TzmTreeListColumn::GetMaxLength() { return IsAssigned(zmcvMaxLength) ? FMaxLength : GetDefaultMaxLength(); }

TColor TzmTreeListColumn::GetColor() const {
  if (IsAssigned(zmcvColor)) return FColor;
  return FTreeList ? FTreeList->GetColor() : clWindow;
}

bool TzmTreeListColumn::GetReadOnly() {
  bool readOnly = IsAssigned(zmcvReadOnly) ? FReadOnly : GetDefaultReadOnly();
  return readOnly || (FTreeList && FTreeList->GetReadOnly());
}

TFont* TzmTreeListColumn::GetFont() {
  if (!FFont) {
    FFont = MakeOwned<TFont>();
    FollowControlFont();
    FFont->OnChange = [this](TObject*) {
      if (!FCopyingControlFont) FontChanged();
    };
  } else if (!IsAssigned(zmcvFont)) {
    FollowControlFont();
  }
  return FFont.get();
}

void TzmTreeListColumn::FollowControlFont() {
  if (!FTreeList || SameFont(FFont.get(), FTreeList->GetFont())) return;
  TValueScope copying(FCopyingControlFont, true);
  FFont->Assign(FTreeList->GetFont());
}

TBitmap* TzmTreeListColumn::GetHeaderGlyph() {
  if (!FHeaderGlyph) FHeaderGlyph = MakeOwned<TBitmap>();
  return FHeaderGlyph.get();
}

Integer TzmTreeListColumn::GetRowIndex() const {
  if (!FTreeList) return FRowIndex;
  return std::clamp(FStoredRowIndex, 0, std::max(FTreeList->GetHeaderPanelRowCount() - 1, 0));
}

Integer TzmTreeListColumn::GetColIndex() const {
  if (!FTreeList) return -1;
  Integer row = GetRowIndex(), position = -1, count = 0;
  for (TzmTreeListColumn* column : FTreeList->FColumnList) {
    if (!column->FVisible || column->FBandIndex != FBandIndex || column->GetRowIndex() != row) continue;
    if (column == this) position = count;
    ++count;
  }
  return position >= 0 ? position : count - 1;
}

// ---------------------------------------------------------------------------------------------
// Setters

template <class T>
void TzmTreeListColumn::StoreAssigned(TzmColumnAssignedValue Bit, T& Field, T Value) {
  if (IsAssigned(Bit) && Field == Value) return;
  Field = Value;
  FAssignedValues |= Bit;
  Changed(false);
}

void TzmTreeListColumn::SetAlignment(TAlignment Value) { StoreAssigned(zmcvAlignment, FAlignment, Value); }
void TzmTreeListColumn::SetColor(TColor Value) { StoreAssigned(zmcvColor, FColor, Value); }
void TzmTreeListColumn::SetReadOnly(bool Value) { StoreAssigned(zmcvReadOnly, FReadOnly, Value); }

void TzmTreeListColumn::SetCaption(const String& Value) {
  if (IsAssigned(zmcvCaption) && FCaption == Value) return;
  FCaption = Value;
  FAssignedValues |= zmcvCaption;
  ApplyDefaultWidth();
  Changed(false);
}

void TzmTreeListColumn::SetMaxLength(Integer Value) {
  if (Value == GetMaxLength()) return;
  FMaxLength = Value;
  FAssignedValues |= zmcvMaxLength;
  Changed(false);
}

void TzmTreeListColumn::SetWidth(Integer Value) {
  Value = std::max(Value, FMinWidth);
  if (!IsAssigned(zmcvWidth) && Value == GetDefaultWidth()) return;
  if (IsAssigned(zmcvWidth) && Value == FWidth) return;
  FWidth = Value;
  FAssignedValues |= zmcvWidth;
  Changed(false);
}

void TzmTreeListColumn::SetMinWidth(Integer Value) {
  Value = std::max(Value, 0);
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  SetWidth(FWidth);
  Changed(false);
}

void TzmTreeListColumn::SetCharCase(TEditCharCase Value) {
  if (StoreChanged(FCharCase, Value)) Changed(true);
}

void TzmTreeListColumn::SetDisableCaption(bool Value) {
  if (StoreChanged(FDisableCaption, Value)) Changed(true);
}

void TzmTreeListColumn::SetDisableCustomizing(bool Value) {
  if (StoreChanged(FDisableCustomizing, Value)) Changed(true);
}

void TzmTreeListColumn::SetDisableHeaderButton(bool Value) {
  if (StoreChanged(FDisableHeaderButton, Value)) Changed(true);
}

void TzmTreeListColumn::SetHeaderAlignment(TAlignment Value) {
  if (StoreChanged(FHeaderAlignment, Value)) Changed(true);
}

void TzmTreeListColumn::SetHeaderMaxLineCount(Integer Value) {
  if (StoreChanged(FHeaderMaxLineCount, std::max(Value, 0))) Changed(true);
}

void TzmTreeListColumn::SetOEMConvert(bool Value) {
  if (StoreChanged(FOEMConvert, Value)) Changed(false);
}

void TzmTreeListColumn::SetPasswordChar(char Value) {
  if (StoreChanged(FPasswordChar, Value)) Changed(false);
}

void TzmTreeListColumn::SetSizing(bool Value) {
  if (StoreChanged(FSizing, Value)) Changed(false);
}

void TzmTreeListColumn::SetVertAlignment(TTextLayout Value) {
  if (StoreChanged(FVertAlignment, Value)) Changed(false);
}

void TzmTreeListColumn::SetVisible(bool Value) {
  if (StoreChanged(FVisible, Value)) Changed(false);
}

void TzmTreeListColumn::SetFont(TFont* Value) {
  {
    TFont* font = GetFont();
    TValueScope copying(FCopyingControlFont, true);
    font->Assign(Value);
  }
  FontChanged();
}

void TzmTreeListColumn::FontChanged() {
  FAssignedValues |= zmcvFont;
  Changed(true);
}

void TzmTreeListColumn::SetHeaderGlyph(TBitmap* Value) {
  if (!Value) FHeaderGlyph.reset();
  else GetHeaderGlyph()->Assign(Value);
  Changed(true);
}

void TzmTreeListColumn::SetBandIndex(Integer Value) {
  if (FTreeList) Value = std::clamp(Value, -1, FTreeList->GetBandCount() - 1);
  if (StoreChanged(FBandIndex, Value)) Changed(false);
}

void TzmTreeListColumn::SetRowIndex(Integer Value) {
  if (FTreeList) Value = std::clamp(Value, 0, std::max(FTreeList->GetHeaderPanelRowCount() - 1, 0));
  if (Value == GetRowIndex()) return;
  FRowIndex = FStoredRowIndex = Value;
  Changed(false);
}

void TzmTreeListColumn::SetColIndex(Integer Value) {
  if (!FTreeList || Value == GetColIndex() || FBandIndex == -1) return;
  Integer row = GetRowIndex();
  std::vector<Integer> columns = FTreeList->ColumnsInRow(FBandIndex, row);
  if (columns.empty()) return;
  Integer count = static_cast<Integer>(columns.size());
  Value = std::clamp(Value, 0, count - 1);
  Integer target = FTreeList->GetHeaderColumnIndex(FTreeList->GetBandVisibleIndex(FBandIndex), row, Value);
  if (target < 0) return;
  SetIndex(target + (Value == count - 1 ? 1 : 0));
}

void TzmTreeListColumn::SetSorted(TzmTreeListColumnSort Value) {
  if (Value == FSorted) return;
  if (!FTreeList || FTreeList->HasState(csLoading)) {
    FSorted = Value;
    Changed(false);
    return;
  }
  TCustomzmTreeListControl* control = FTreeList;
  TzmTreeListSortingScope sorting(control);
  if (Value != TzmTreeListColumnSort::csNone) {
    TUpdateScope update(control);
    FSorted = Value;
    control->AddSortedColumn(this);
  } else {
    FSorted = Value;
    control->RemoveSortedColumn(this);
    Changed(false);
  }
}

// ---------------------------------------------------------------------------------------------
// Defaults and assignment

void TzmTreeListColumn::RestoreDefaults() {
  FAssignedValues = 0;
  if (FFont && FTreeList) {
    TValueScope copying(FCopyingControlFont, true);
    FFont->Assign(FTreeList->GetFont());
  }
  FMinWidth = 20;
  ApplyDefaultWidth();
  FDisableEditor = FDisableCaption = FDisableCustomizing = false;
  FHeaderAlignment = taLeftJustify;
  FSizing = true;
  if (FSorted != TzmTreeListColumnSort::csNone && FTreeList) FTreeList->RemoveSortedColumn(this);
  FSorted = TzmTreeListColumnSort::csNone;
  FTabStop = true;
  FVertAlignment = tlTop;
}

void TzmTreeListColumn::Assign(TPersistent* Source) {
  auto* source = As<TzmTreeListColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(FTreeList);
  RestoreDefaults();
  AssignSettings(source);
}

// The minimum width goes first so that a narrower assigned width survives it.
void TzmTreeListColumn::AssignSettings(TzmTreeListColumn* Source) {
  SetMinWidth(Source->FMinWidth);
  if (Source->IsAssigned(zmcvAlignment)) SetAlignment(Source->GetAlignment());
  if (Source->IsAssigned(zmcvCaption)) SetCaption(Source->GetCaption());
  if (Source->IsAssigned(zmcvReadOnly)) SetReadOnly(Source->GetReadOnly());
  if (Source->IsAssigned(zmcvWidth)) SetWidth(Source->FWidth);
  if (Source->IsAssigned(zmcvColor)) SetColor(Source->GetColor());
  if (Source->IsAssigned(zmcvFont)) SetFont(Source->GetFont());
  if (Source->IsAssigned(zmcvMaxLength)) SetMaxLength(Source->GetMaxLength());
  SetCharCase(Source->FCharCase);
  SetOEMConvert(Source->FOEMConvert);
  SetPasswordChar(Source->FPasswordChar);
  SetDisableDragging(Source->FDisableDragging);
  SetDisableCaption(Source->FDisableCaption);
  SetDisableCustomizing(Source->FDisableCustomizing);
  SetDisableEditor(Source->FDisableEditor);
  SetDisableHeaderButton(Source->FDisableHeaderButton);
  SetHeaderAlignment(Source->FHeaderAlignment);
  if (Source->FHeaderGlyph) SetHeaderGlyph(Source->FHeaderGlyph.get());
  SetSizing(Source->FSizing);
  SetSorted(Source->FSorted);
  SetVertAlignment(Source->FVertAlignment);
  SetVisible(Source->FVisible);
  SetTabStop(Source->FTabStop);
  SetBandIndex(Source->FBandIndex);
  SetRowIndex(Source->GetRowIndex());
  SetColIndex(Source->GetColIndex());
  SetHeaderMaxLineCount(Source->FHeaderMaxLineCount);
}

// ---------------------------------------------------------------------------------------------
// Value flow and drawing

TzmInplaceEditClass TzmTreeListColumn::GetEditorClass() { return &TzmInplaceTreeListTextEdit::StaticClass(); }

void TzmTreeListColumn::InitEditor(TzmInplaceEdit* Edit) {
  Edit->SetStoredReadOnly(GetReadOnly());
  TAliveToken alive = AliveToken();
  Edit->OnChange = [this, alive](TObject*) {
    if (alive) DoChange();
  };
  Edit->OnValidate = [this, alive](TObject*, String& ErrorText, bool& Accept) {
    if (alive) DoValidate(ErrorText, Accept);
  };
  auto* text = As<TzmInplaceTextEdit>(Edit);
  if (!text) return;
  text->SetCharCase(FCharCase);
  text->SetStoredMaxLength(GetMaxLength());
  text->SetOEMConvert(FOEMConvert);
  text->SetPasswordChar(FPasswordChar);
  if (text->HandleAllocated()) text->EmptyUndoBuffer();
}

void TzmTreeListColumn::InitEditValue(TzmTreeListNode* Node, TzmInplaceEdit* Edit, Variant& Value) {
  Edit->SetText(Node->GetStrings(GetIndex()));
  Value = Edit->GetText();
}

void TzmTreeListColumn::StoreEditValue(TzmTreeListNode* Node, TzmInplaceEdit* Edit, Variant& Value) {
  if (!FTreeList) return;
  Integer index = GetIndex();
  if (As<TzmInplaceTextEdit>(Edit)) FTreeList->SetNodeString(Node, index, Edit->GetText());
  FTreeList->GetNodeVariant(Node, index, Value);
}

void TzmTreeListColumn::DoChange() {
  if (!FTreeList || FTreeList->GetEditorInitializing()) return;
  TAliveToken alive = AliveToken();
  FTreeList->DoEditChange(GetIndex());
  if (alive && OnChange) OnChange(this);
}

void TzmTreeListColumn::DoValidate(String& ErrorText, bool& Accept) {
  if (!FTreeList || FTreeList->GetEditorInitializing()) return;
  TAliveToken alive = AliveToken();
  FTreeList->DoEditValidate(GetIndex(), ErrorText, Accept);
  if (alive && OnValidate) OnValidate(this, ErrorText, Accept);
}

void TzmTreeListColumn::GetDisplayText(TzmTreeListNode* Node, String& Text) { Text = Node->GetStrings(GetIndex()); }

void TzmTreeListColumn::GetEditText(const Variant&, const String& Text, String& Result) { Result = Text; }

bool TzmTreeListColumn::CanHeaderDropDown() { return !FDisableHeaderButton && !HasState(csDesigning); }

Integer TzmTreeListColumn::GetBestFitWidth(TCanvas* Canvas, TzmTreeListNode* Node) {
  return Canvas->TextWidth(ConvertCharCase(Node->GetStrings(GetIndex()), FCharCase));
}

void TzmTreeListColumn::DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode, bool ASelected,
                                         bool AFocused, bool ANewItemRow, String& AText, TColor& AColor, TFont* AFont,
                                         TAlignment& AAlignment, bool& ADone) {
  if (!OnCustomDrawCell) return;
  TObject* sender = FTreeList ? static_cast<TObject*>(FTreeList) : this;
  OnCustomDrawCell(sender, ACanvas, ARect, ANode, this, ASelected, AFocused, ANewItemRow, AText, AColor, AFont,
                   AAlignment, ADone);
}

void TzmTreeListColumn::PrepareViewData(TzmEditViewData* ViewData, TzmTreeListCellViewData* Cell) {
  ViewData->IsEnabled = true;
  ViewData->IsFocused = false;
  ViewData->IsSelected = Cell->IsHotTracked;
  ViewData->BorderColor = clNone;
  ViewData->BorderStyle = xbsNone;
  ViewData->ButtonStyle = zmTreeListButtonStyle(FTreeList ? FTreeList->GetFrameLook() : zmflStandard);
  ViewData->ButtonTransparent = false;
  ViewData->Edges = zmAllEdges;
  ViewData->Shadow = false;
  ViewData->IsTransparent = Cell->DrawsMarkedPart;
  ViewData->TransparentText = Cell->DrawsMarkedPart;
  ViewData->ContentMargins = Rect(1, 0, 0, 0);
  ViewData->ViewRect = Cell->EditorBounds;
  ViewData->TextLayout = Cell->IsMultiLine ? 3 : static_cast<Byte>(FVertAlignment);
  ViewData->FontHandle = Cell->FontHandle;
  ViewData->BrushHandle = Cell->BrushHandle;
  ViewData->BackColor = ColorToRGB(Cell->BackColor);
  ViewData->ForeColor = ColorToRGB(Cell->ForeColor);
  ViewData->HorzAlignment = Cell->TextAlignment;
  ViewData->HasTextArea = false;
  ViewData->DrawValue = Cell->Text;
  ViewData->TextLength = Cell->MarkedLength;
  ViewData->MeasureOnly = false;
  if (auto* text = As<TzmTextEditViewData>(ViewData)) {
    text->CharCase = FCharCase;
    text->UsesEndEllipsis = Cell->UsesEndEllipsis;
    text->PasswordChar = FPasswordChar;
  }
}

// ---------------------------------------------------------------------------------------------
// Mask columns

void TzmTreeListMaskColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FEditMask.clear();
}

void TzmTreeListMaskColumn::AssignSettings(TzmTreeListColumn* Source) {
  inherited::AssignSettings(Source);
  if (auto* mask = As<TzmTreeListMaskColumn>(Source)) {
    FEditMask = mask->FEditMask;
    FIgnoreMaskBlank = mask->FIgnoreMaskBlank;
  }
}

TzmInplaceEditClass TzmTreeListMaskColumn::GetEditorClass() { return &TzmInplaceTreeListMaskEdit::StaticClass(); }

void TzmTreeListMaskColumn::InitEditor(TzmInplaceEdit* Edit) {
  inherited::InitEditor(Edit);
  if (auto* mask = As<TzmInplaceMaskEdit>(Edit)) {
    mask->SetStoredEditMask(FEditMask);
    mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
  }
}
