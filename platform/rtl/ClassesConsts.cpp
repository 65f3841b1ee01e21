#include "platform/rtl/ClassesConsts.h"

const TResourceString SListIndexError = {64820, "List index out of bounds (%d)"};
const TResourceString SListCapacityError = {64821, "List capacity out of bounds (%d)"};
const TResourceString SListCountError = {64822, "List count out of bounds (%d)"};
const TResourceString SSortedListError = {64823, "Operation not allowed on sorted list"};
const TResourceString SDuplicateString = {64824, "String list does not allow duplicates"};
const TResourceString SAssignError = {64825, "Cannot assign a %s to a %s"};
const TResourceString SInvalidName = {64826, "'%s' is not a valid component name"};
const TResourceString SDuplicateName = {64827, "A component named %s already exists"};
const TResourceString SOwnerCycle = {64828, "%s cannot own itself or one of its owners"};
const TResourceString SInvalidProperty = {64829, "Invalid property value"};
const TResourceString SAbstractItemClass = {64830, "Cannot create an item of abstract class %s"};
const TResourceString SClassNotFound = {64831, "Class %s not found"};
const TResourceString SDuplicateClass = {64832, "A class named %s already exists"};
