// The tree list control core: construction, update brackets, metrics, option and appearance
// setters, the container's hooks, and binding, hiding and posting the in-place editor.
#include "treelist/zmTL.h"
#include "treelist/zmTLFeedback.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTLColumn.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TCustomzmTreeList)
QJ_IMPLEMENT_CLASS(TzmTreeListCellViewData)

namespace {

constexpr Integer kDefaultWidth = 250;
constexpr Integer kDefaultHeight = 150;
constexpr Integer kIndicatorWidth = 12;
constexpr Integer kExpandButtonSize = 16;
constexpr Integer kDefaultIndent = 16;
constexpr Integer kLeastRowHeight = 16;
constexpr Integer kLeastStatusPanelHeight = 17;
const char* const kMeasureText = "Wg";

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TCustomzmTreeList::TCustomzmTreeList(TComponent* AOwner)
    : TCustomzmContainer(AOwner),
      FBandCaptionFont(MakeOwned<TFont>()),
      FHeaderCaptionFont(MakeOwned<TFont>()),
      FPreviewTextFont(MakeOwned<TFont>()),
      FNodeImagesLink(MakeOwned<TChangeLink>()),
      FNodeStateImagesLink(MakeOwned<TChangeLink>()),
      FCellViewData(MakeOwned<TzmTreeListCellViewData>()),
      FScratchFont(MakeOwned<TFont>()) {
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csDisplayDragImage);
  SetBounds(GetLeft(), GetTop(), kDefaultWidth, kDefaultHeight);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  FPreviewTextFont->SetColor(clBlue);
  auto changed = [this](TObject* Sender) { MetricsSourceChanged(Sender); };
  FBandCaptionFont->OnChange = changed;
  FHeaderCaptionFont->OnChange = changed;
  FPreviewTextFont->OnChange = changed;
  FNodeImagesLink->OnChange = changed;
  FNodeStateImagesLink->OnChange = changed;
  CreateExpandButtonGlyphs();
}

TCustomzmTreeList::~TCustomzmTreeList() {
  LinkImages(FNodeImages, FNodeImagesLink.get(), nullptr);
  LinkImages(FNodeStateImages, FNodeStateImagesLink.get(), nullptr);
}

// The nodes go while the control is whole: their deletion events may still read it.
void TCustomzmTreeList::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (TWinControl* form = std::exchange(FCustomizeForm, nullptr)) Free(form);
  ResetEditedCell();
  ClearVisibleNodes();
  DeleteAllNodes();
}

void TCustomzmTreeList::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  Params.WindowClass.style |= CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  if (FBorderKind == 1 && FFrameLook == zmflStandard) {
    if (GetCtl3D()) {
      Params.Style &= ~WS_BORDER;
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  } else if (FFrameLook != zmflStandard && FBorderKind == 0) {
    Params.Style &= ~WS_BORDER;
  }
}

void TCustomzmTreeList::Loaded() {
  inherited::Loaded();
  LayoutChanged();
}

void TCustomzmTreeList::DoExit() {
  inherited::DoExit();
  LeaveEditing();
}

void TCustomzmTreeList::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // The list is going: it has let go of the change link already, so the reference only drops.
  if (AComponent == FNodeImages || AComponent == FNodeStateImages) {
    (AComponent == FNodeImages ? FNodeImages : FNodeStateImages) = nullptr;
    LayoutChanged();
  }
  if (AComponent == FCustomizeForm) FCustomizeForm = nullptr;
  if (AComponent == FActiveEditor) {
    FActiveEditor = nullptr;
    FEditorColumn = -1;
    FEditorNode = nullptr;
  }
}

void TCustomzmTreeList::SetParent(TWinControl* AParent) {
  inherited::SetParent(AParent);
  if (TCustomForm* form = GetParentForm(this)) FOwnerFormName = form->GetName();
}

// ---------------------------------------------------------------------------------------------
// Update brackets and metrics

void TCustomzmTreeList::BeginUpdate() {
  ++FUpdateLockCount;
  if (FInteractionState == tlsNodeDown) FPendingEditorOnRelease = true;
  ResetEditedCell();
  SetInteractionState(tlsIdle);
  HideEditor(false);
  ClearVisibleNodes();
  BeginSelection();
}

void TCustomzmTreeList::EndUpdate() {
  if (FUpdateLockCount == 0) return;
  --FUpdateLockCount;
  LayoutChanged();
  EndSelection();
}

void TCustomzmTreeList::LayoutChanged() {
  if (FUpdateLockCount > 0) return;
  TCounterScope locked(FUpdateLockCount);
  UpdateMetrics();
}

void TCustomzmTreeList::MetricsSourceChanged(TObject*) { LayoutChanged(); }

void TCustomzmTreeList::UpdateMetrics() {
  if (HasState(csLoading) || IsDestroying()) return;
  {
    TMeasureDC screen;
    TCanvas canvas;
    TCanvasDCScope bound(&canvas, screen.Handle());
    MeasureMetrics(&canvas);
  }
  ClearVisibleNodes();
  BandsChanged();
  RebuildVisibleNodes();
  BeforeUpdateMetrics();
  if (!FBuildingVisibleNodes) RebuildVisibleNodes();
  UpdateScrollBars();
  ClampScrollPosition();
  HideScrollBarsWhenFitting();
  Invalidate();
}

void TCustomzmTreeList::Resize() {
  inherited::Resize();
  if (IsDestroying() || HasState(csLoading)) return;
  UpdateRowCounts();
  // A bar shown or hidden by the scroll bar update resizes the client: that update goes on.
  if (FUpdatingScrollBars) return;
  ClearRowHeightCache();
  // A resize never raises out of an open edit: a refused value is given up.
  EndEditingQuietly();
  HideScrollBarsWhenFitting();
  UpdateScrollBars();
  ClampScrollPosition();
}

void TCustomzmTreeList::MeasureMetrics(TCanvas* Canvas) {
  FMetrics.HeaderRowCount = GetHeaderPanelRowCount();
  FMetrics.HeaderLineCount = GetHeaderMinRowCount();
  Integer bandRows = GetBandRowCount();
  FIsFlat = FFrameLook != zmflStandard;
  FIsStandardPaint = FRowPaintStyle == 0;
  Integer raised = FIsFlat ? 0 : 1;

  Canvas->SetFont(FBandCaptionFont.get());
  FMetrics.BandTextHeight = Canvas->TextHeight(kMeasureText);
  FMetrics.BandRowHeight = FBandsVisible ? bandRows * FMetrics.BandTextHeight + 5 + raised : 0;
  Canvas->SetFont(FHeaderCaptionFont.get());
  FMetrics.HeaderRowHeight = Canvas->TextHeight(kMeasureText) * FMetrics.HeaderLineCount + 5 + raised;
  FMetrics.HeaderAreaHeight = FHeadersVisible ? FMetrics.HeaderRowHeight * FMetrics.HeaderRowCount : 0;
  FMetrics.IndicatorWidth = FIndicatorVisible ? kIndicatorWidth : 0;

  Canvas->SetFont(GetFont());
  FMetrics.TextHeight = Canvas->TextHeight(kMeasureText);
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  FMetrics.FooterRowHeight = FMetrics.TextHeight + 7;
  FMetrics.FooterHeight = FFooterVisible ? FMetrics.FooterRowHeight * FMetrics.HeaderRowCount + 3 + raised : 0;
  FMetrics.NodeFooterHeight = FMetrics.FooterRowHeight * FMetrics.HeaderRowCount + 2 + (bothGrids ? 1 : 0);
  FMetrics.StatusPanelHeight = IsStatusPanelShown() ? std::max(FMetrics.TextHeight + 5, kLeastStatusPanelHeight) : 0;
  FMetrics.HorzScrollStep = Canvas->TextWidth("0");

  FMetrics.ImageWidth = FNodeImages ? FNodeImages->GetWidth() : 0;
  FMetrics.ImageHeight = FNodeImages ? FNodeImages->GetHeight() : 0;
  FMetrics.StateImageWidth = FNodeStateImages ? FNodeStateImages->GetWidth() : 0;
  FMetrics.StateImageHeight = FNodeStateImages ? FNodeStateImages->GetHeight() : 0;
  FMetrics.ButtonWidth = FMetrics.ButtonHeight = kExpandButtonSize;
  FMetrics.Indent = kDefaultIndent;

  Integer grid = bothGrids ? 1 : 0;
  FMetrics.MinRowHeight = std::max(FMetrics.TextHeight + 3, kLeastRowHeight);
  for (Integer tallest : {FMetrics.ImageHeight, FMetrics.StateImageHeight, GetMaxColumnLineHeight(Canvas)})
    if ((grid + FMetrics.MinRowHeight) * FMetrics.HeaderRowCount < tallest) FMetrics.MinRowHeight = tallest;
  FMetrics.MinRowHeight += grid + (IsInvertSelection() ? 2 : 0);
  if (!FMetrics.RowHeightAssigned) FMetrics.RowHeight = FMetrics.MinRowHeight;
  FMetrics.RowHeight = std::max(FMetrics.RowHeight, FMetrics.MinRowHeight);
  if (FMetrics.RowHeight == FMetrics.MinRowHeight) FMetrics.RowHeightAssigned = false;

  FMetrics.NewItemRowGap = FIsFlat ? 5 : 6;
  FMetrics.NewItemRowHeight = FMetrics.HeaderRowCount == 1 ? FMetrics.RowHeight + FMetrics.NewItemRowGap : 0;
  if (!IsNewItemRowShown() || GetVisibleBandCount() == 0) FMetrics.NewItemRowHeight = 0;
  Canvas->SetFont(FPreviewTextFont.get());
  FMetrics.PreviewTextHeight = Canvas->TextHeight(kMeasureText);
}

// ---------------------------------------------------------------------------------------------
// Options and appearance

void TCustomzmTreeList::SetBehaviorOptions(TzmTreeListOptions Value) {
  if (Value == FBehaviorOptions) return;
  FBehaviorOptions = Value;
  LayoutChanged();
}

void TCustomzmTreeList::SetExtraOptions(TzmTreeListOptions Value) {
  if (Value == FExtraOptions) return;
  FExtraOptions = Value;
  LayoutChanged();
}

void TCustomzmTreeList::SetBandCaptionFont(TFont* Value) { FBandCaptionFont->Assign(Value); }
void TCustomzmTreeList::SetHeaderCaptionFont(TFont* Value) { FHeaderCaptionFont->Assign(Value); }

void TCustomzmTreeList::LinkImages(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value) {
  if (Field == Value) return;
  if (Field) {
    Field->UnRegisterChanges(Link);
    RemoveFreeNotification(Field);
  }
  Field = Value;
  if (Field) {
    Field->RegisterChanges(Link);
    Field->FreeNotification(this);
  }
}

void TCustomzmTreeList::SetNodeImages(TCustomImageList* Value) {
  if (Value == FNodeImages) return;
  TUpdateScope scope(this);
  LinkImages(FNodeImages, FNodeImagesLink.get(), Value);
}

void TCustomzmTreeList::SetNodeStateImages(TCustomImageList* Value) {
  if (Value == FNodeStateImages) return;
  TUpdateScope scope(this);
  LinkImages(FNodeStateImages, FNodeStateImagesLink.get(), Value);
}

namespace {

template <class T>
bool Store(T& Field, T Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

}  // namespace

void TCustomzmTreeList::SetFrameLook(TzmTreeListFrameLook Value) {
  if (!Store(FFrameLook, Value)) return;
  if (HandleAllocated()) RecreateWnd();
  LayoutChanged();
}

void TCustomzmTreeList::SetBandsVisible(bool Value) {
  if (Store(FBandsVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetHeadersVisible(bool Value) {
  if (Store(FHeadersVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetShowGrid(bool Value) {
  if (Store(FShowGrid, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetShowPreviewGrid(bool Value) {
  if (Store(FShowPreviewGrid, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetIndicatorVisible(bool Value) {
  if (Store(FIndicatorVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetFooterVisible(bool Value) {
  if (Store(FFooterVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetNewItemRowFocused(bool Value) {
  if (Value == FNewItemRowFocused || (Value && !IsNewItemRowShown())) return;
  FNewItemRowFocused = Value;
  if (!HandleAllocated() || IsUpdateLocked()) return;
  if (FFocusedNode) InvalidateNode(FFocusedNode, false);
  TzmTreeListDrawInfo info;
  CalcAreaRects(info);
  if (!info.NewItemRowRect.IsEmpty()) InvalidateRect(GetHandle(), &info.NewItemRowRect, FALSE);
}

void TCustomzmTreeList::SetRootLinesVisible(bool Value) {
  if (Store(FRootLinesVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetRowPaintStyle(TzmRowPaintStyle Value) {
  if (Store(FRowPaintStyle, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetNewItemRowVisible(bool Value) {
  if (!Store(FNewItemRowVisible, Value)) return;
  if (!Value) SetNewItemRowFocused(false);
  LayoutChanged();
}

void TCustomzmTreeList::SetRowFootersVisible(bool Value) {
  if (Store(FRowFootersVisible, Value)) LayoutChanged();
}

void TCustomzmTreeList::SetBorderKind(Byte Value) {
  if (!Store(FBorderKind, Value)) return;
  if (HandleAllocated()) RecreateWnd();
  LayoutChanged();
}

void TCustomzmTreeList::SetScrollBars(TScrollStyle Value) {
  if (!Store(FScrollBars, Value)) return;
  UpdateScrollBars();
  ClampScrollPosition();
}

void TCustomzmTreeList::SetAppearance(const TzmTreeListAppearance& Value) {
  if (Value == FAppearance) return;
  FAppearance = Value;
  Invalidate();
}

void TCustomzmTreeList::SetRowHeight(Integer Value) {
  if (Value == FMetrics.RowHeight) return;
  FMetrics.RowHeight = Value;
  FMetrics.RowHeightAssigned = true;
  LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Container hooks

TzmEditStyle* TCustomzmTreeList::CreateEditStyle(TzmInplaceEdit* Edit) { return New<TzmTreeListEditStyle>(Edit, this); }

TColor TCustomzmTreeList::GetEditColor() {
  TColor color = inherited::GetEditColor();
  Integer column = GetFocusedColumn();
  if (column >= 0) color = GetColumnColor(column);
  if (OnGetEditorColor) OnGetEditorColor(this, color);
  return color;
}

TFont* TCustomzmTreeList::GetEditFont() {
  Integer column = GetFocusedColumn();
  return column >= 0 && IsColumnFontAssigned(column) ? GetColumnFont(column) : inherited::GetEditFont();
}

bool TCustomzmTreeList::IsEditorStale() { return FFocusedVisibleColumn != FEditorVisibleColumn; }

bool TCustomzmTreeList::EditorWantsTab() { return HasBehavior(zmbEditorWantsTab) && GetKeyState(VK_CONTROL) >= 0; }

void TCustomzmTreeList::GoToAdjacentColumn(bool ABackward) {
  EndEditing();
  Integer column = FFocusedVisibleColumn + (ABackward ? -1 : 1);
  if (column >= 0 && column < GetVisibleColumnCount()) SetFocusedNodeColumn(FFocusedNode, column, true);
}

// ---------------------------------------------------------------------------------------------
// Editing

bool TCustomzmTreeList::IsEditorShown() {
  return FInteractionState == tlsEditing && !HasState(csDesigning) && FUpdateLockCount == 0 && HandleAllocated();
}

void TCustomzmTreeList::SetInteractionState(TzmTreeListState State) {
  FInteractionState = State;
  if (State != tlsEditing) return;
  if (FActiveEditor) FActiveEditor->CaretToEnd();
  EndSearch();
}

void TCustomzmTreeList::EndSearch() {
  if (!FSearchActive) return;
  FSearchActive = false;
  if (!IsUpdateLocked() && !IsDestroying() && FFocusedNode) InvalidateNode(FFocusedNode, false);
}

TzmInplaceEdit* TCustomzmTreeList::CreateEditor() { return New<TzmInplaceTreeListTextEdit>(this); }

void TCustomzmTreeList::GetEditorText(String& Text) {
  Text.clear();
  if (FInteractionState == tlsEditing && FActiveEditor) FActiveEditor->GetDisplayText(Text);
}

void TCustomzmTreeList::SetEditorText(const String& Text) {
  if (FInteractionState == tlsEditing && FActiveEditor) FActiveEditor->SetEditText(Text);
}

void TCustomzmTreeList::InitEditor(TzmInplaceEdit* Editor) {
  Editor->SetClosing(false);
  {
    TMeasureDC screen;
    Editor->SetColor(static_cast<TColor>(GetNearestColor(screen.Handle(), ColorToRGB(GetEditColor()))));
  }
  Editor->SetFont(GetEditFont());
  Editor->SetContentMargins(Rect(1, 0, 0, 0));
}

void TCustomzmTreeList::GetEditorValue(TzmTreeListNode*, TzmInplaceEdit*, Variant& Value) { Value = String(); }

void TCustomzmTreeList::GetEditorDefaultValue(TzmTreeListNode*, Integer, TzmInplaceEdit*, Variant& Value) {
  Value = String();
}

void TCustomzmTreeList::BindEditor(TzmInplaceEdit* Editor) {
  FActiveEditor = Editor;
  Integer column = GetFocusedColumn();
  FEditorColumn = column >= 0 ? column : 0;
  FEditorNode = FFocusedNode;
  FEditorVisibleColumn = FFocusedVisibleColumn;
  Editor->SetParent(this);
  if (!FEditorNode) return;
  TUpdateScope<TCustomzmTreeList, &TCustomzmTreeList::BeginInitEdit, &TCustomzmTreeList::EndInitEdit> initEdit(this);
  InitEditor(Editor);
  Variant value;
  GetEditorValue(FEditorNode, Editor, value);
  Editor->SetModified(false);
  if (IsReadOnly()) Editor->SetStoredReadOnly(true);
  Editor->SetActive(true);
}

void TCustomzmTreeList::PostEditorValue() {
  if (FEditorColumn == -1 || !FEditorNode || !FActiveEditor) return;
  if (FActiveEditor->GetModified()) {
    Variant value;
    GetEditorDefaultValue(FEditorNode, FEditorColumn, FActiveEditor, value);
  }
  DoNodeEdited(FEditorNode, FEditorColumn);
}

void TCustomzmTreeList::HideEditor(bool Refocus) {
  TzmInplaceEdit* editor = FActiveEditor;
  if (!editor) return;
  editor->SetClosing(true);
  bool hadFocus = editor->HandleAllocated() && GetFocus() == editor->GetHandle();
  TFinally close([&] {
    FEditorColumn = -1;
    FEditorNode = nullptr;
    editor->HideEdit();
    // The form already counts the control as its focused one while the editor has the focus:
    // the window itself takes it back.
    if ((Refocus || hadFocus) && HandleAllocated() && IsWindowVisible(GetHandle()) && !FCancelingEditor && CanFocus()) {
      SetFocus();
      if (!Focused()) ::SetFocus(GetHandle());
    }
  });
  if (!editor->HasState(csDestroying)) PostEditorValue();
}

void TCustomzmTreeList::EndEditing() {
  if (FInteractionState != tlsEditing) return;
  if (!IsDestroying() && FActiveEditor) FActiveEditor->ValidateEdit();
  SetInteractionState(tlsIdle);
  HideEditor(true);
}

void TCustomzmTreeList::LeaveEditing() {
  if (FInteractionState != tlsEditing) return;
  if (!IsDestroying() && FActiveEditor) FActiveEditor->ValidateEdit();
  SetInteractionState(tlsIdle);
  HideEditor(false);
}

void TCustomzmTreeList::EndEditingQuietly() {
  if (FInteractionState != tlsEditing) return;
  if (FActiveEditor) {
    try {
      FActiveEditor->ValidateEdit();
    } catch (EzmEditInvalidInput&) {
      FActiveEditor->CancelEdit();
    }
  }
  SetInteractionState(tlsIdle);
  HideEditor(false);
}

void TCustomzmTreeList::ResetEditedCell() {
  if (!IsDestroying()) EndEditingQuietly();
  FEditorColumn = -1;
  FEditorNode = nullptr;
}

void TCustomzmTreeList::DoNodeEdited(TzmTreeListNode* Node, Integer Column) {
  if (OnNodeEdited) OnNodeEdited(this, Node, Column);
}

void TCustomzmTreeList::DoCanEditNode(TzmTreeListNode* Node, bool& Allow) {
  if (OnCanEditNode) OnCanEditNode(this, Node, Allow);
}

void TCustomzmTreeList::DoEditChange(Integer Column) {
  if (OnEditorTextChanged) OnEditorTextChanged(this, Column);
}

void TCustomzmTreeList::DoEditValidate(Integer Column, String& ErrorText, bool& Accept) {
  if (OnEditorValidate) OnEditorValidate(this, Column, ErrorText, Accept);
}
