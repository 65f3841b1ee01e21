// The custom filter dialog of one grid column: up to two conditions on the column, joined by AND
// or OR, each an operator and a value typed in an editor of the column's kind. Also the test
// whether a filter fits that dialog, and the base of the filter dialogs' forms.
#pragma once

#include "core/qvFilter.h"
#include "grid/qvFilterControlUtils.h"
#include "platform/forms/Forms.h"

class TqvLookAndFeel;

// A form of the filter dialogs, owned by the application. Its window belongs to the window of
// the form active when it was made, unless some other form stays on top (then to none).
class TqvFilterDialogForm : public TForm {
  QJ_CLASS(TqvFilterDialogForm, TForm)
 public:
  explicit TqvFilterDialogForm(TComponent* AOwner);
  HWND GetOwnerWindow() const { return FOwnerWindow; }

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  HWND FOwnerWindow = nullptr;
};

// True when ACriteria (a data controller's filter) cannot be shown in the custom filter dialog:
// a root that is not AND, or an entry that is not a comparison or pattern on a column not used
// before (alone, or two of them on one column in an AND or OR list). Changes nothing.
bool IsComplexFilter(TqvFilterCriteria* ACriteria);
