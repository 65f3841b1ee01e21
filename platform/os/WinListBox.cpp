// The "LISTBOX" window class.
#include "platform/os/WinTextControls.h"

void RegisterListBoxClass() {}
