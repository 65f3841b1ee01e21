// The controller library's name for a flag set for a block (see platform/rtl/Scopes.h).
#pragma once

#include "core/qvCustomData.h"
#include "platform/rtl/Scopes.h"

using TqvFlagScope = TValueScope<bool>;
