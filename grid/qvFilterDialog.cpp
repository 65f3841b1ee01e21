// The custom filter dialog and the base of the filter dialogs' forms.
#include "grid/qvFilterDialog.h"

#include <algorithm>
#include <vector>

#include "editors/qvRadioGroup.h"
#include "editors/qvComboBox.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvFilterDialogForm)

// ---------------------------------------------------------------------------------------------
// Dialog forms

namespace {

// The window a filter dialog belongs to: the active form's, unless another form stays on top.
HWND FindDialogOwnerWindow(TCustomForm* ADialog) {
  for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* form = Screen->GetCustomForm(i);
    if (form != ADialog && form->GetFormStyle() == fsStayOnTop) return nullptr;
  }
  TForm* active = Screen->GetActiveForm();
  return active && active != ADialog && active->HandleAllocated() ? active->GetHandle() : nullptr;
}

}  // namespace

TqvFilterDialogForm::TqvFilterDialogForm(TComponent* AOwner) : TForm(AOwner) {
  FOwnerWindow = FindDialogOwnerWindow(this);
}

void TqvFilterDialogForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!GetParent()) Params.WndParent = FOwnerWindow;
}

// ---------------------------------------------------------------------------------------------
// Complex filters

namespace {

// A comparison or a pattern: what one line of the dialog shows.
bool IsSimpleCondition(TqvCustomFilterCriteriaItem* AItem) {
  if (!AItem || AItem->IsItemList()) return false;
  return static_cast<TqvFilterCriteriaItem*>(AItem)->GetOperatorKind() <= okNotLike;
}

TObject* LinkOf(TqvCustomFilterCriteriaItem* AItem) {
  return static_cast<TqvFilterCriteriaItem*>(AItem)->GetItemLinkObject();
}

}  // namespace

bool IsComplexFilter(TqvFilterCriteria* ACriteria) {
  TqvFilterCriteriaItemList* root = ACriteria->GetRoot();
  if (root->GetJoinKind() != fjkAnd) return true;
  std::vector<TObject*> used;
  auto isUsed = [&](TObject* ALink) { return std::find(used.begin(), used.end(), ALink) != used.end(); };
  for (Integer i = 0; i < root->GetCount(); ++i) {
    TqvCustomFilterCriteriaItem* entry = root->GetItem(i);
    TObject* link = nullptr;
    if (!entry->IsItemList()) {
      if (!IsSimpleCondition(entry)) return true;
      link = LinkOf(entry);
    } else {
      auto* list = static_cast<TqvFilterCriteriaItemList*>(entry);
      if (list->GetCount() != 2 || (list->GetJoinKind() != fjkAnd && list->GetJoinKind() != fjkOr)) return true;
      if (!IsSimpleCondition(list->GetItem(0)) || !IsSimpleCondition(list->GetItem(1))) return true;
      link = LinkOf(list->GetItem(0));
      if (LinkOf(list->GetItem(1)) != link) return true;
    }
    if (isUsed(link)) return true;
    used.push_back(link);
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// The custom filter dialog

const TResourceString sqvFilterDialogCaption{64150, "Custom Filter"};
const TResourceString sqvFilterDialogTitle{64151, "Show rows where:"};
const TResourceString sqvFilterDialogUse{64152, "Use"};
const TResourceString sqvFilterDialogSingleCharacter{64153, "to represent any single character"};
const TResourceString sqvFilterDialogCharacters{64154, "to represent any series of characters"};
const TResourceString sqvFilterDialogOk{64155, "OK"};
const TResourceString sqvFilterDialogCancel{64156, "Cancel"};
const TResourceString sqvFilterDialogAnd{64157, "AND"};
const TResourceString sqvFilterDialogOr{64158, "OR"};

QJ_IMPLEMENT_CLASS(TqvFilterDialog)

namespace {

template <class T>
T* AddControl(TqvFilterDialog* ADialog, const TRect& ABounds) {
  auto* control = New<T>(ADialog);
  control->SetBoundsRect(ABounds);
  control->SetParent(ADialog);
  return control;
}

// The bottom rows' spacing: the margins at the sides and below, the gap between the two buttons,
// the step from one hint to the next, and where the buttons stand beside the first hint.
constexpr Integer kSideMargin = 8, kRightMargin = 9, kHintsBottomMargin = 9, kButtonsBottomMargin = 8, kButtonGap = 7;
constexpr Integer kHintStep = 19, kHintLeading = 6, kButtonsBelowHint = 10, kMinButtonWidth = 75;
constexpr Integer kButtonTextPadding = 16;

TLabel* AddLabel(TqvFilterDialog* ADialog, const TRect& ABounds, const String& ACaption) {
  auto* label = AddControl<TLabel>(ADialog, ABounds);
  label->SetCaption(ACaption);
  label->SetBoundsRect(ABounds);
  return label;
}

}  // namespace

TqvFilterDialog::TqvFilterDialog(TComponent* AOwner) : TqvFilterDialogForm(AOwner) {
  SetBorderIcons(biSystemMenu);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  GetFont()->SetHeight(-11);
  SetClientWidth(DefaultClientWidth);
  SetClientHeight(DefaultClientHeight);
  SetCaption(GetLocalizedResourceString(&sqvFilterDialogCaption));
  FTitleLabel = AddLabel(this, Bounds(8, 8, 87, 13), GetLocalizedResourceString(&sqvFilterDialogTitle));
  // The line first: the opaque column caption covers it.
  FLine = AddControl<TBevel>(this, Bounds(8, 34, 396, 4));
  FLine->SetShape(bsTopLine);
  FColumnCaptionLabel = AddLabel(this, Bounds(8, 27, 71, 13), "ColumnCaption");
  for (Integer i = 0; i < 2; ++i) {
    const Integer top = i == 0 ? 46 : 96;
    TqvComboBox* combo = AddControl<TqvComboBox>(this, Bounds(8, top, 193, 21));
    combo->GetProperties()->SetDropDownListStyle(lsFixedList);
    combo->GetProperties()->OnEditValueChanged = [this, i](TObject*) { OperatorChanged(i); };
    combo->SetTabOrder(i == 0 ? 0 : 3);
    FOperatorCombos[i] = combo;
    FPlaceHolders[i] = AddLabel(this, Bounds(208, top, 193, 21), "");
    FPlaceHolders[i]->SetAutoSize(false);
    FPlaceHolders[i]->SetVisible(false);
  }
  FAndButton = AddControl<TqvRadioButton>(this, Bounds(56, 74, 60, 17));
  FAndButton->SetCaption("&And");
  FAndButton->SetChecked(true);
  FAndButton->SetTabOrder(1);
  FOrButton = AddControl<TqvRadioButton>(this, Bounds(120, 74, 65, 17));
  FOrButton->SetCaption("&Or");
  FOrButton->SetTabOrder(2);
  FSingleLabel = AddLabel(this, Bounds(8, 134, 185, 13), "Use ? to represent any single character");
  FSeriesLabel = AddLabel(this, Bounds(8, 153, 200, 13), "Use * to represent any series of characters");
  FOkButton = AddControl<TqvButton>(this, Bounds(248, 144, 75, 23));
  FOkButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogOk));
  FOkButton->SetDefault(true);
  FOkButton->SetModalResult(mrOk);
  FOkButton->SetTabOrder(4);
  FCancelButton = AddControl<TqvButton>(this, Bounds(330, 144, 75, 23));
  FCancelButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogCancel));
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetTabOrder(5);
}

TqvFilterDialog::~TqvFilterDialog() {
  for (TqvCustomEdit*& edit : FValueEdits) {
    Free(edit);
    edit = nullptr;
  }
}

void TqvFilterDialog::Init(TqvFilterCriteria* ACriteria, TObject* AItemLink, TqvCustomEditProperties* AProperties,
                           const String& ACaption, TqvValueTypeClass AValueTypeClass, TqvLookAndFeel* ALookAndFeel,
                           TqvFilterEditHelperClass AHelper) {
  FCriteria = ACriteria;
  FItemLink = AItemLink;
  FProperties = AProperties;
  FValueTypeClass = AValueTypeClass;
  FHelper = AHelper;
  FOperators = AHelper->GetOperators(AProperties, false);
  const String use = GetLocalizedResourceString(&sqvFilterDialogUse);
  FSingleLabel->SetCaption(use + " " + ACriteria->GetUnderscoreWildcard() + " " +
                           GetLocalizedResourceString(&sqvFilterDialogSingleCharacter));
  FSeriesLabel->SetCaption(use + " " + ACriteria->GetPercentWildcard() + " " +
                           GetLocalizedResourceString(&sqvFilterDialogCharacters));
  FillOperators(0);
  FillOperators(1);
  const bool isString = AValueTypeClass && AValueTypeClass->IsString();
  if (froIncludes(FOperators, froLike) && isString)
    SetOperator(0, froLike);
  else if (froIncludes(FOperators, froEquals))
    SetOperator(0, froEquals);
  else if (!FEntries[0].empty())
    SetOperator(0, FEntries[0].front());
  SetOperator(1, froNone);
  for (Integer i = 0; i < 2; ++i) {
    FValueEdits[i] = CreateValueEdit(AHelper, AProperties, nullptr);
    if (!FValueEdits[i]) continue;
    FValueEdits[i]->SetParent(this);
    FValueEdits[i]->SetBoundsRect(FPlaceHolders[i]->GetBoundsRect());
    FValueEdits[i]->SetTabOrder(FOperatorCombos[i]->GetTabOrder() + 1);
  }
  FAndButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogAnd));
  FOrButton->SetCaption(GetLocalizedResourceString(&sqvFilterDialogOr));
  FColumnCaptionLabel->SetTransparent(false);
  FColumnCaptionLabel->SetCaption(ACaption + " ");
  if (TqvFilterCriteriaItem* first = ACriteria->FindItemByItemLink(AItemLink)) {
    ShowCondition(0, first);
    TqvFilterCriteriaItemList* list = first->GetParent();
    if (list && list != ACriteria->GetRoot() && list->GetCount() > 1) {
      (list->GetJoinKind() == fjkAnd ? FAndButton : FOrButton)->SetChecked(true);
      TqvCustomFilterCriteriaItem* second = list->GetItem(1);
      if (second != first && !second->IsItemList()) ShowCondition(1, static_cast<TqvFilterCriteriaItem*>(second));
    }
  }
  OperatorChanged(0);
  OperatorChanged(1);
  LayoutBottomRows();
  if (ALookAndFeel) {
    for (TqvCustomEdit* edit : {static_cast<TqvCustomEdit*>(FOperatorCombos[0]),
                                static_cast<TqvCustomEdit*>(FOperatorCombos[1]), FValueEdits[0], FValueEdits[1]})
      if (edit) edit->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    for (TqvRadioButton* button : {FAndButton, FOrButton}) button->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    for (TqvButton* button : {FOkButton, FCancelButton}) button->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
  }
}

// The hints and the buttons keep the stored order and spacing, measured from their texts: the
// second hint a line below the first, the buttons wide enough for their captions at the right
// margin, and the dialog wide enough that the longer hint ends a margin before the OK button.
void TqvFilterDialog::LayoutBottomRows() {
  FSeriesLabel->SetTop(FSingleLabel->GetTop() + std::max(kHintStep, FSingleLabel->GetHeight() + kHintLeading));
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  for (TqvButton* button : {FOkButton, FCancelButton})
    button->SetWidth(std::max(kMinButtonWidth, canvas->TextWidth(button->GetCaption()) + kButtonTextPadding));
  const Integer hintsRight = std::max(FSingleLabel->GetLeft() + FSingleLabel->GetWidth(),
                                      FSeriesLabel->GetLeft() + FSeriesLabel->GetWidth());
  const Integer buttons = FOkButton->GetWidth() + kButtonGap + FCancelButton->GetWidth();
  SetClientWidth(std::max(DefaultClientWidth, hintsRight + kSideMargin + buttons + kRightMargin));
  const Integer buttonsTop = FSingleLabel->GetTop() + kButtonsBelowHint;
  FCancelButton->SetBounds(GetClientWidth() - kRightMargin - FCancelButton->GetWidth(), buttonsTop,
                           FCancelButton->GetWidth(), FCancelButton->GetHeight());
  FOkButton->SetBounds(FCancelButton->GetLeft() - kButtonGap - FOkButton->GetWidth(), buttonsTop, FOkButton->GetWidth(),
                       FOkButton->GetHeight());
  FLine->SetWidth(GetClientWidth() - FLine->GetLeft() - kRightMargin - 1);
  const Integer bottom = std::max(FSeriesLabel->GetTop() + FSeriesLabel->GetHeight() + kHintsBottomMargin,
                                  FOkButton->GetTop() + FOkButton->GetHeight() + kButtonsBottomMargin);
  SetClientHeight(std::max(DefaultClientHeight, bottom));
}

void TqvFilterDialog::FillOperators(Integer AIndex) {
  std::vector<TqvFilterRowOperator>& entries = FEntries[AIndex];
  entries.clear();
  if (AIndex == 1) entries.push_back(froNone);
  for (Integer op = froEquals; op < qvFilterRowOperatorCount; ++op)
    if (froIncludes(FOperators, TqvFilterRowOperator(op))) entries.push_back(TqvFilterRowOperator(op));
  TqvComboBoxProperties* properties = FOperatorCombos[AIndex]->GetProperties();
  TStrings* items = properties->GetItems();
  {
    TUpdateScope update(items);
    items->Clear();
    for (TqvFilterRowOperator op : entries) items->Add(GetOperatorCaption(op));
  }
  properties->SetDropDownRows(static_cast<Integer>(entries.size()));
}

TqvFilterRowOperator TqvFilterDialog::GetOperator(Integer AIndex) const {
  const Integer index = FOperatorCombos[AIndex]->GetItemIndex();
  return index >= 0 && index < static_cast<Integer>(FEntries[AIndex].size()) ? FEntries[AIndex][size_t(index)] : froNone;
}

void TqvFilterDialog::SetOperator(Integer AIndex, TqvFilterRowOperator AOperator) {
  const auto& entries = FEntries[AIndex];
  const auto it = std::find(entries.begin(), entries.end(), AOperator);
  FOperatorCombos[AIndex]->SetItemIndex(it != entries.end() ? static_cast<Integer>(it - entries.begin()) : -1);
}

void TqvFilterDialog::ShowCondition(Integer AIndex, TqvFilterCriteriaItem* AItem) {
  const TqvFilterOperatorKind kind = AItem->GetOperatorKind();
  if (kind > okNotLike) return;
  SetOperator(AIndex, OperatorKindToRowOperator(kind, FCriteria->IsNullValue(AItem->GetValue())));
  if (FValueEdits[AIndex]) FHelper->WriteFilterValue(FValueEdits[AIndex], FProperties, AItem->GetValue());
}

void TqvFilterDialog::OperatorChanged(Integer AIndex) {
  if (!FCriteria) return;
  SetFilterValueWildcards(FValueEdits[AIndex], FCriteria, IsLikeOperator(GetOperator(AIndex)));
  const bool like = IsLikeOperator(GetOperator(0)) || IsLikeOperator(GetOperator(1));
  FSingleLabel->SetVisible(like);
  FSeriesLabel->SetVisible(like);
}

void TqvFilterDialog::ReadValue(Integer AIndex) {
  FValues[AIndex] = Null();
  FDisplayTexts[AIndex] = String();
  if (!FValueEdits[AIndex]) return;
  FHelper->ReadFilterValue(FValueEdits[AIndex], FProperties, FValues[AIndex], FDisplayTexts[AIndex]);
  VerifyFilterValue(FValueEdits[AIndex], FValues[AIndex], GetOperator(AIndex), FValueTypeClass);
}

bool TqvFilterDialog::CloseQuery() {
  if (!inherited::CloseQuery()) return false;
  if (GetModalResult() != mrOk || !FHelper) return true;
  try {
    for (TqvCustomEdit* edit : FValueEdits)
      if (edit && !edit->ValidateEdit(true)) return false;
    if (FOkButton->CanFocus()) FOkButton->SetFocus();
    ReadValue(0);
    // Without a second operator its value is not asked for: a stale text cannot block OK.
    if (GetOperator(1) != froNone) ReadValue(1);
  } catch (...) {
    Application->HandleException(this);
    return false;
  }
  return true;
}

void TqvFilterDialog::AddCondition(TqvFilterCriteriaItemList* AList, Integer AIndex) {
  const TqvFilterRowOperator op = GetOperator(AIndex);
  if (op == froNone) return;
  const String blank = GetFilterResourceString(&sqvFilterBlankCaption);
  Variant value = FValues[AIndex];
  String text = FDisplayTexts[AIndex];
  if (op == froBlank || op == froNotBlank) {
    value = Null();
    text = blank;
  } else if (VarIsNull(value) || (VarIsStr(value) && VarToStr(value).empty())) {
    text = blank;
  }
  FCriteria->AddItem(AList, FItemLink, RowOperatorToOperatorKind(op), value, text);
}

void TqvFilterDialog::ApplyChanges() {
  TUpdateScope update(FCriteria);
  FCriteria->GetRoot()->SetJoinKind(fjkAnd);
  FCriteria->RemoveItemByItemLink(FItemLink);
  if (GetOperator(1) != froNone) {
    TqvFilterCriteriaItemList* list = FCriteria->GetRoot()->AddItemList(FOrButton->GetChecked() ? fjkOr : fjkAnd);
    AddCondition(list, 0);
    AddCondition(list, 1);
  } else {
    AddCondition(FCriteria->GetRoot(), 0);
  }
}

bool ShowCustomFilterDialog(TqvFilterCriteria* ACriteria, TObject* AItemLink, TqvCustomEditProperties* AProperties,
                            const String& ACaption, TqvValueTypeClass AValueTypeClass, TqvLookAndFeel* ALookAndFeel) {
  if (!ACriteria || !AProperties) return false;
  TqvFilterEditHelperClass helper = GetFilterEditsController()->FindHelper(AProperties->ClassType());
  if (!helper || IsComplexFilter(ACriteria)) return false;
  TOwned<TqvFilterDialog> dialog(New<TqvFilterDialog>(Application));
  dialog->Init(ACriteria, AItemLink, AProperties, ACaption, AValueTypeClass, ALookAndFeel, helper);
  if (dialog->ShowModal() != mrOk) return false;
  dialog->ApplyChanges();
  return true;
}
