// The page control's message texts and the form of its errors: the class name, a point, the
// operation, a colon and a blank, then the message.
#pragma once

#include "platform/rtl/SysUtils.h"

extern const TResourceString sqvPCTabIndexOutOfBounds;
extern const TResourceString sqvPCVisibleIndexOutOfRange;
extern const TResourceString sqvPCNoVisibleTabs;
extern const TResourceString sqvPCBaseImagesNotAssigned;
extern const TResourceString sqvPCImageIndexOutOfRange;
extern const TResourceString sqvPCNoTabs;

// Raises Exception "<AClassName>.<AOperation>: <message>".
[[noreturn]] void RaisePCError(const char* AClassName, const char* AOperation, PResStringRec AMessage,
                               TFormatArgs AArgs = {});
