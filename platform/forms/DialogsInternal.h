// Helpers shared by the dialog units.
#pragma once

#include "platform/rtl/System.h"

class TCustomForm;
class TWinControl;

// Takes the first item off a separated answer list in an environment variable and returns it
// trimmed ("" when the variable is unset or empty; the last item unsets it).
String NextDialogAnswer(const char* Variable, char Separator);

// The active form's client centre, or the screen's centre, for placing a dialog.
void CentreDialogForm(TCustomForm* Form);
