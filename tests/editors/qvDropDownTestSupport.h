// Fixture of the drop-down editor tests: the text edit fixture plus the drop-down button and the
// list of an open popup.
#pragma once

#include "editors/qvDropDownEdit.h"
#include "qvExtEditorsTestSupport.h"
#include "qvTextEditTestSupport.h"

class TDropDownTest : public TTextEditTest {
 protected:
  static TqvCustomEditListBox* List(TqvCustomDropDownEdit* AEdit) { return AEdit->GetLookupData()->GetListBox(); }
  // The drop-down button's centre in the edit's client coordinates.
  static TPoint DropDownButtonCentre(TqvCustomDropDownEdit* AEdit) {
    return RectCentre(AEdit->GetViewInfo()->GetButton(0)->Bounds);
  }
  static void ClickListItem(TqvCustomDropDownEdit* AEdit, Integer AIndex) {
    TqvCustomEditListBox* list = List(AEdit);
    const TRect r = list->ItemRect(AIndex);
    Click(list, {r.Left + 5, (r.Top + r.Bottom) / 2});
  }
};
