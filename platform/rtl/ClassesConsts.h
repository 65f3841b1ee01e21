// Texts of the class library's errors (lists, string lists, components, collections, classes).
#pragma once

#include "platform/rtl/SysUtils.h"

extern const TResourceString SListIndexError;     // List index out of bounds (%d)
extern const TResourceString SListCapacityError;  // List capacity out of bounds (%d)
extern const TResourceString SListCountError;     // List count out of bounds (%d)
extern const TResourceString SSortedListError;    // Operation not allowed on sorted list
extern const TResourceString SDuplicateString;    // String list does not allow duplicates
extern const TResourceString SAssignError;        // Cannot assign a %s to a %s
extern const TResourceString SInvalidName;        // '%s' is not a valid component name
extern const TResourceString SDuplicateName;      // A component named %s already exists
extern const TResourceString SOwnerCycle;         // %s cannot own itself or one of its owners
extern const TResourceString SInvalidProperty;    // Invalid property value
extern const TResourceString SAbstractItemClass;  // Cannot create an item of abstract class %s
extern const TResourceString SClassNotFound;      // Class %s not found
extern const TResourceString SDuplicateClass;     // A class named %s already exists
