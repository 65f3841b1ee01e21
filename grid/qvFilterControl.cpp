// The builder control: construction, fonts and settings, the link, applying, files, refreshing,
// scrolling and the window messages it reacts to.
#include "grid/qvFilterControl.h"

#include "editors/qvComboBox.h"

#include <algorithm>

#include "editors/qvTextEdit.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

const TResourceString sqvFilterControlRootCaption{64110, "<root>"};
const TResourceString sqvFilterControlAddCondition{64111, "Add &Condition"};
const TResourceString sqvFilterControlAddGroup{64112, "Add &Group"};
const TResourceString sqvFilterControlRemoveRow{64113, "&Remove Row"};
const TResourceString sqvFilterControlClearAll{64114, "Clear &All"};
const TResourceString sqvFilterControlAddConditionCaption{64115, "press the button to add a new condition"};
const TResourceString sqvFilterControlNullString{64116, "<empty>"};
const TResourceString sqvFilterControlBoolAnd{64117, "AND"};
const TResourceString sqvFilterControlBoolOr{64118, "OR"};
const TResourceString sqvFilterControlBoolNotAnd{64119, "NOT AND"};
const TResourceString sqvFilterControlBoolNotOr{64120, "NOT OR"};

QJ_IMPLEMENT_CLASS(TqvCustomFilterControl)
QJ_IMPLEMENT_CLASS(TqvFilterControl)

String GetBoolOperatorCaption(TqvFilterJoinKind AKind) {
  switch (AKind) {
    case fjkOr: return GetLocalizedResourceString(&sqvFilterControlBoolOr);
    case fjkNotAnd: return GetLocalizedResourceString(&sqvFilterControlBoolNotAnd);
    case fjkNotOr: return GetLocalizedResourceString(&sqvFilterControlBoolNotOr);
    default: return GetLocalizedResourceString(&sqvFilterControlBoolAnd);
  }
}

namespace {

struct TFontDefault {
  TColor Color;
  TFontStyles Style;
};
constexpr TFontDefault kFontDefaults[qvFilterControlFontCount] = {
    {clRed, fsUnderline}, {clGreen, fsUnderline}, {clMaroon, fsUnderline}, {clBlue, 0}};

constexpr Integer kRowMenuItemCount = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomFilterControl::TqvCustomFilterControl(TComponent* AOwner) : TqvControl(AOwner) {}

void TqvCustomFilterControl::AfterConstruction() {
  inherited::AfterConstruction();
  FCriteria.reset(GetCriteriaClass()->Create(this));
  FRootRow = MakeOwned<TqvGroupViewInfo>(this, nullptr, FCriteria->GetRoot());
  FRowList.assign(1, FRootRow.get());
  FViewInfo.reset(GetViewInfoClass()->Create(this));
  for (Integer i = 0; i < qvFilterControlFontCount; ++i) {
    FFonts[i] = MakeOwned<TFont>();
    FFonts[i]->Assign(GetFont());
    FFonts[i]->SetColor(kFontDefaults[i].Color);
    FFonts[i]->SetStyle(kFontDefaults[i].Style);
    FFonts[i]->OnChange = [this](TObject* Sender) { FontsChanged(Sender); };
  }
  CreateInternalControls();
  SetBounds(GetLeft(), GetTop(), DefaultWidth, DefaultHeight);
  FFocusedInfo.Row = FRootRow.get();
  FFocusedInfo.HitKind = fhkBoolOperator;
  FHotTrackOnUnfocused = true;
  FNullString = GetLocalizedResourceString(&sqvFilterControlNullString);
  FShowLevelLines = true;
  UpdateKeys();
  GetFormatController()->AddListener(this);
  SetParentColor(false);
  SetColor(clBtnFace);
  FConstructed = true;
}

void TqvCustomFilterControl::BeforeDestruction() {
  GetFormatController()->RemoveListener(this);
  EndMouseTracking(this);
  inherited::BeforeDestruction();
}

TqvCustomFilterControl::~TqvCustomFilterControl() {
  FValueEditor = nullptr;
  DestroyInternalControls();
  FRowList.clear();
  FRootRow.reset();
  FViewInfo.reset();
  FCriteria.reset();
}

void TqvCustomFilterControl::CreateInternalControls() {
  FValueStyle.reset(static_cast<TqvCustomEditStyle*>(TqvCustomEditStyle::StaticClass().Create(this, true)));
  FValueStyle->SetFont(GetFontValue());
  FValueStyle->GetLookAndFeel()->SetMasterLookAndFeel(GetLookAndFeel());
  FValueStyle->SetButtonTransparency(ebtHideUnselected);
  FMenu = New<TPopupMenu>(this);
  for (Integer tag = 0; tag < kRowMenuItemCount; ++tag) {
    auto* item = New<TMenuItem>(FMenu);
    item->SetTag(tag);
    if (tag != rmiSeparator) item->SetImageIndex(tag);
    item->OnClick = [this](TObject* Sender) { MenuItemClick(Sender); };
    FMenu->GetItems()->Add(item);
  }
  FCombo = static_cast<TqvComboBox*>(TqvCustomEdit::CreateInplace(&TqvComboBox::StaticClass(), this, true));
  FCombo->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(GetLookAndFeel());
  FCombo->SetVisible(false);
  FCombo->SetParentColor(true);
  TqvComboBoxProperties* combo = FCombo->GetProperties();
  combo->SetDropDownListStyle(lsFixedList);
  if (combo->GetButtons()->GetCount() > 0) combo->GetButtons()->GetItem(0)->SetVisible(false);
  FCombo->OnExit = [this](TObject*) { HideCombo(); };
  FCombo->OnKeyPress = [](TObject*, char& Key) {
    if (Key == ' ') Key = 0;
  };
  FCombo->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
    if (Key == VK_SPACE) Key = VK_RETURN;
  };
  combo->OnPopup = [this](TObject*) {
    // The list shows plain entries, whatever the element's font underlines.
    if (TqvCustomTextEditLookupData* lookup = FCombo->GetLookupData())
      if (TqvCustomEditListBox* list = lookup->GetListBox()) list->GetFont()->SetStyle(0);
  };
  combo->OnCloseUp = [this](TObject*) { ComboCloseUp(); };
  FInplaceEditList = std::make_unique<TqvInplaceEditList>();
  FDefaultProperties = MakeOwned<TqvTextEditProperties>(nullptr);
}

void TqvCustomFilterControl::DestroyInternalControls() {
  FInplaceEditList.reset();
  FValueStyle.reset();
  FDefaultProperties.reset();
  if (FCombo) FCombo->Deactivate();
  FreeAndNil(FCombo);
  FreeAndNil(FComboData);
  FreeAndNil(FMenu);
}

void TqvCustomFilterControl::LoadTexts() {
  TMenuItem* items = FMenu->GetItems();
  items->GetItem(rmiAddCondition)->SetCaption(GetLocalizedResourceString(&sqvFilterControlAddCondition));
  items->GetItem(rmiAddGroup)->SetCaption(GetLocalizedResourceString(&sqvFilterControlAddGroup));
  items->GetItem(rmiSeparator)->SetCaption("-");
  FRootRow->Caption = GetLocalizedResourceString(&sqvFilterControlRootCaption);
  FViewInfo->AddConditionCaption = GetLocalizedResourceString(&sqvFilterControlAddConditionCaption);
  FNullString = GetLocalizedResourceString(&sqvFilterControlNullString);
  Refresh();
}

void TqvCustomFilterControl::CreateWnd() {
  inherited::CreateWnd();
  if (FCombo) FCombo->SetParent(this);
  LoadTexts();
}

// ---------------------------------------------------------------------------------------------
// Settings

void TqvCustomFilterControl::UpdateKeys() {
  TqvDialogKeys keys = dkBit(dkAllKeys) | dkBit(dkArrows) | dkBit(dkChars);
  if (FWantTabs) keys |= dkBit(dkTab);
  SetKeys(keys);
}

void TqvCustomFilterControl::SetWantTabs(bool Value) {
  FWantTabs = Value;
  UpdateKeys();
}

void TqvCustomFilterControl::SetNullString(const String& Value) {
  if (FNullString == Value) return;
  FNullString = Value;
  Refresh();
}

bool TqvCustomFilterControl::IsNullStringStored() const {
  return FNullString != GetLocalizedResourceString(&sqvFilterControlNullString);
}

void TqvCustomFilterControl::SetShowLevelLines(bool Value) {
  if (FShowLevelLines == Value) return;
  FShowLevelLines = Value;
  Invalidate();
}

bool TqvCustomFilterControl::IsFontStored(TqvFilterControlFont AIndex) {
  TFont* font = GetFont(AIndex);
  TFont* own = TControl::GetFont();
  return !SameText(font->GetName(), own->GetName()) || font->GetHeight() != own->GetHeight() ||
         font->GetCharset() != own->GetCharset() || font->GetColor() != kFontDefaults[AIndex].Color ||
         font->GetStyle() != kFontDefaults[AIndex].Style;
}

void TqvCustomFilterControl::FontsChanged(TObject*) { Refresh(); }

void TqvCustomFilterControl::FontChanged() {
  inherited::FontChanged();
  if (!FConstructed) return;
  if (HasState(csLoading) && !HasState(csReading) && !HasState(csDesigning)) return;
  TUpdateScope<TqvCustomFilterControl> update(*this);
  TFont* own = TControl::GetFont();
  for (auto& font : FFonts) {
    font->SetName(own->GetName());
    font->SetHeight(own->GetHeight());
    font->SetCharset(own->GetCharset());
  }
}

// ---------------------------------------------------------------------------------------------
// Updating

void TqvCustomFilterControl::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  if (FLockCount == 0) Refresh();
}

void TqvCustomFilterControl::Refresh() {
  if (FLockCount != 0 || FInLayoutChanged) return;
  TValueScope inLayout(FInLayoutChanged, true);
  TCounterScope locked(FLockCount);
  LayoutChanged();
}

void TqvCustomFilterControl::LayoutChanged() {
  if (!FConstructed || HasState(csDestroying) || HasState(csLoading) || !HandleAllocated()) return;
  if (FCombo && FCombo->GetDroppedDown()) return;
  FViewInfo->Calculate();
  const Integer rowHeight = FViewInfo->RowHeight;
  while (FTopRow > 0 && GetClientBounds().Bottom - FViewInfo->AddConditionRect.Bottom >= rowHeight + 2) {
    --FTopRow;
    FViewInfo->Calculate();
  }
  if (FLeftOffset > 0) {
    const Integer excess = GetClientBounds().Right + FLeftOffset - FViewInfo->MaxRowWidth - 2;
    if (excess > 0) {
      FLeftOffset = std::max(0, FLeftOffset - excess);
      FViewInfo->Calculate();
    }
  }
  UpdateScrollBars();
  Invalidate();
}

bool TqvCustomFilterControl::HasItems() {
  IqvFilterControl* link = GetFilterLink();
  return link && link->GetCount() > 0;
}

void TqvCustomFilterControl::Loaded() {
  inherited::Loaded();
  Refresh();
}

void TqvCustomFilterControl::SetParent(TWinControl* AParent) {
  inherited::SetParent(AParent);
  Refresh();
}

void TqvCustomFilterControl::SetEnabled(bool Value) {
  inherited::SetEnabled(Value);
  Refresh();
}

void TqvCustomFilterControl::BoundsChanged() {
  inherited::BoundsChanged();
  if (HandleAllocated()) Refresh();
}

void TqvCustomFilterControl::LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  Refresh();
}

void TqvCustomFilterControl::FocusChanged() {
  inherited::FocusChanged();
  if (!FConstructed || HasState(csDestroying)) return;
  UpdateHotInfoAtCursor();
  Refresh();
}

void TqvCustomFilterControl::UpdateHotInfoAtCursor() {
  if (!HandleAllocated() || FViewInfo->RowHeight == 0) return;
  const TPoint p = ScreenToClient(GetMouseCursorPos());
  FViewInfo->GetHitInfo(0, p, FHotInfo);
}

Integer TqvCustomFilterControl::GetBorderSize() const { return GetPainter()->GetBorderWidth(); }

void TqvCustomFilterControl::Paint() { FViewInfo->Paint(GetCanvas()); }

// ---------------------------------------------------------------------------------------------
// Scrolling

void TqvCustomFilterControl::InitScrollBarsParameters() {
  const Integer rowHeight = FViewInfo ? FViewInfo->RowHeight : 0;
  if (rowHeight == 0) return;
  const TRect client = GetClientBounds();
  SetScrollBarInfo(sbVertical, 0, GetRowCount() - 1, 1, client.Height() / rowHeight - 1, FTopRow, true, true);
  SetScrollBarInfo(sbHorizontal, 0, FViewInfo->MaxRowWidth, 1, client.Width(), FLeftOffset, true, true);
}

void TqvCustomFilterControl::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  const bool vertical = AScrollBarKind == sbVertical;
  TqvControlScrollBar* bar = vertical ? GetVScrollBar() : GetHScrollBar();
  const Integer page = bar ? bar->GetData().PageSize : 0;
  const Integer line = vertical ? 1 : 8;
  Integer value = vertical ? FTopRow : FLeftOffset;
  switch (AScrollCode) {
    case scLineUp: value -= line; break;
    case scLineDown: value += line; break;
    case scPageUp: value -= page; break;
    case scPageDown: value += page; break;
    case scTrack: value = AScrollPos; break;
    default: return;
  }
  if (vertical) {
    SetTopRow(value);
    AScrollPos = FTopRow;
  } else {
    SetLeftOffset(value);
    AScrollPos = FLeftOffset;
  }
}

void TqvCustomFilterControl::SetTopRow(Integer Value) {
  // Before the first layout there is no row height to count visible rows with.
  const Integer rowHeight = FViewInfo ? FViewInfo->RowHeight : 0;
  const Integer last = rowHeight > 0 ? GetRowCount() - GetClientBounds().Height() / rowHeight + 1 : GetRowCount() - 1;
  Value = std::min(Value, last);
  Value = std::max(Value, 0);
  if (Value == FTopRow) return;
  FTopRow = Value;
  Refresh();
}

void TqvCustomFilterControl::SetLeftOffset(Integer Value) {
  const Integer maxWidth = FViewInfo ? FViewInfo->MaxRowWidth : 0;
  Value = std::min(Value, maxWidth - GetClientBounds().Width() + 1);
  Value = std::max(Value, 0);
  if (Value == FLeftOffset) return;
  FLeftOffset = Value;
  Refresh();
}

// ---------------------------------------------------------------------------------------------
// Rows

Integer TqvCustomFilterControl::IndexOfRow(const TqvCustomRowViewInfo* ARow) const {
  auto it = std::find(FRowList.begin(), FRowList.end(), ARow);
  return it == FRowList.end() ? -1 : static_cast<Integer>(it - FRowList.begin());
}

TqvConditionViewInfo* TqvCustomFilterControl::GetFocusedCondition() const {
  return As<TqvConditionViewInfo>(FFocusedInfo.Row);
}

void TqvCustomFilterControl::Clear() {
  TUpdateScope<TqvCustomFilterControl> update(*this);
  ClearRows();
  FCriteria->Clear();
}

void TqvCustomFilterControl::ClearRows() {
  TUpdateScope<TqvCustomFilterControl> update(*this);
  HideValueEditor(false);
  FRootRow->ClearRows();
  FRowList.assign(1, FRootRow.get());
  FFocusedInfo.Row = FRootRow.get();
  FFocusedInfo.HitKind = fhkBoolOperator;
  FFocusedInfo.ValueIndex = -1;
  FHotInfo.Row = nullptr;
  FHotInfo.HitKind = fhkNone;
  FRootRow->BoolOperator = fjkAnd;
  FTopRow = 0;
  FLeftOffset = 0;
}

namespace {

void CollectRows(TqvCustomRowViewInfo* ARow, std::vector<TqvCustomRowViewInfo*>& AList) {
  AList.push_back(ARow);
  if (auto* group = As<TqvGroupViewInfo>(ARow))
    for (TqvCustomRowViewInfo* child : group->Rows) CollectRows(child, AList);
}

}  // namespace

void TqvCustomFilterControl::RebuildRowList() {
  FRowList.clear();
  CollectRows(FRootRow.get(), FRowList);
}

TqvCustomEditProperties* TqvCustomFilterControl::GetDefaultProperties() { return FDefaultProperties.get(); }

TqvFilterControlCriteriaClass TqvCustomFilterControl::GetCriteriaClass() const {
  return &TqvFilterControlCriteria::StaticClass();
}

TqvFilterControlViewInfoClass TqvCustomFilterControl::GetViewInfoClass() const {
  return &TqvFilterControlViewInfo::StaticClass();
}

void TqvCustomFilterControl::ChangeOperatorClass(TqvFilterOperatorClass&) {}

// ---------------------------------------------------------------------------------------------
// Link, apply and texts

bool TqvCustomFilterControl::ApplyFilter() {
  IqvFilterControl* link = GetFilterLink();
  if (!link || !link->GetCriteria()) return false;
  if (!WriteCriteria()) {
    FocusIncompleteRow();
    return false;
  }
  TqvFilterCriteria* target = link->GetCriteria();
  const bool differs = target != FCriteria.get();
  TAliveToken alive = AliveToken();
  try {
    if (differs) target->AssignThroughStream(FCriteria.get());
    if (OnApplyFilter) OnApplyFilter(this);
  } catch (...) {
    if (alive) {
      if (differs) FCriteria->Assign(link->GetCriteria());
      BuildRows();
    }
    throw;
  }
  if (!alive) return true;
  if (differs) FCriteria->Assign(link->GetCriteria());
  BuildRows();
  return true;
}

String TqvCustomFilterControl::GetFilterCaption() {
  WriteCriteria();
  return FCriteria->GetRoot()->GetCount() == 0 ? String() : FCriteria->GetFilterCaption();
}

String TqvCustomFilterControl::GetFilterText() {
  WriteCriteria();
  return FCriteria->GetRoot()->GetCount() == 0 ? String() : FCriteria->GetFilterText();
}

void TqvCustomFilterControl::FillItemList(TStrings* AStrings) {
  if (!AStrings || !HasItems()) return;
  IqvFilterControl* link = GetFilterLink();
  TUpdateScope<TStrings> update(*AStrings);
  AStrings->Clear();
  for (Integer i = 0; i < link->GetCount(); ++i) {
    TqvCustomEditProperties* properties = link->GetProperties(i);
    if (properties && (properties->GetSupportedOperations() & esoFiltering))
      AStrings->AddObject(link->GetCaption(i), reinterpret_cast<TObject*>(static_cast<intptr_t>(i)));
  }
}

void TqvCustomFilterControl::FillOperatorList(TStrings* AStrings) {
  TqvConditionViewInfo* condition = GetFocusedCondition();
  if (!AStrings || !HasItems() || !condition) return;
  TUpdateScope<TStrings> update(*AStrings);
  AStrings->Clear();
  for (Integer op = froEquals; op < qvFilterRowOperatorCount; ++op)
    if (froIncludes(condition->SupportedOperators, TqvFilterRowOperator(op)))
      AStrings->AddObject(GetOperatorCaption(op), reinterpret_cast<TObject*>(static_cast<intptr_t>(op)));
}

// ---------------------------------------------------------------------------------------------
// Files

void TqvCustomFilterControl::LoadFromFile(const String& AFileName) {
  if (!HasItems()) RaiseResourceError<EqvFilterControlError>(&sqvFilterControlCantBuild);
  TOwned<TFileStream> stream = MakeOwned<TFileStream>(AFileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream.get());
}

void TqvCustomFilterControl::LoadFromStream(TStream* AStream) {
  if (!HasItems()) RaiseResourceError<EqvFilterControlError>(&sqvFilterControlCantBuild);
  HideValueEditor(false);
  // Read and converted beside the shown filter: a stream that fails anywhere changes nothing.
  TOwned<TqvFilterControlCriteria> loaded(GetCriteriaClass()->Create(this));
  loaded->ReadData(AStream);
  TOwned<TqvGroupViewInfo> root = BuildRoot(loaded.get());
  TUpdateScope<TqvCustomFilterControl> update(*this);
  FCriteria->Assign(loaded.get());
  ClearRows();
  AdoptRows(root.get());
  RebuildRowList();
}

void TqvCustomFilterControl::SaveToFile(const String& AFileName) {
  if (!WriteCriteria()) {
    FocusIncompleteRow();
    Abort();
  }
  TOwned<TFileStream> stream = MakeOwned<TFileStream>(AFileName, fmCreate);
  FCriteria->WriteData(stream.get());
}

void TqvCustomFilterControl::SaveToStream(TStream* AStream) {
  if (!WriteCriteria()) {
    FocusIncompleteRow();
    Abort();
  }
  FCriteria->WriteData(AStream);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvCustomFilterControl::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
  if (Message.Msg == CM_ENABLEDCHANGED && FConstructed) Refresh();
}

// ---------------------------------------------------------------------------------------------
// The published builder

TqvFilterControl::TqvFilterControl(TComponent* AOwner) : TqvCustomFilterControl(AOwner) {}

TqvFilterControl::~TqvFilterControl() {
  if (FLinkComponent) FLinkComponent->RemoveFreeNotification(this);
}

IqvFilterControl* TqvFilterControl::GetFilterLink() { return dynamic_cast<IqvFilterControl*>(FLinkComponent); }

void TqvFilterControl::SetLinkComponent(TComponent* AComponent) {
  if (AComponent && !dynamic_cast<IqvFilterControl*>(AComponent)) return;
  if (FLinkComponent != AComponent) {
    if (FLinkComponent) FLinkComponent->RemoveFreeNotification(this);
    FLinkComponent = AComponent;
    if (FLinkComponent) FLinkComponent->FreeNotification(this);
  }
  if (FLinkComponent)
    UpdateFromLink();
  else
    Clear();
}

void TqvFilterControl::UpdateFromLink() {
  TqvFilterCriteria* criteria = GetFilterLink()->GetCriteria();
  if (!criteria) {
    Clear();
    return;
  }
  if (criteria != GetCriteria()) GetCriteria()->Assign(criteria);
  BuildRows();
}

void TqvFilterControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLinkComponent) {
    FLinkComponent = nullptr;
    if (!HasState(csDestroying)) Clear();
  }
}
