// The custom filter dialog and the base of the filter dialogs' forms.
#include "grid/qvFilterDialog.h"

#include <algorithm>
#include <vector>

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
