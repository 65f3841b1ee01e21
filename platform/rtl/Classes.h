// The class library core in one include: persistent objects and components, lists of pointers,
// string lists, collections, and the registry of classes by name.
//
// Where the parts live: the headers included below, and ClassRegistry.cpp (the registry of
// classes by name and the filer's error class).
#pragma once

#include <initializer_list>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QJ_EXCEPTION(EFilerError, EStreamError)
// A property value given as text that does not convert to the property's type.
QJ_EXCEPTION(EPropertyConvertError, Exception)

using TPersistentClass = TClass;

// Registers a class under its name, with its ancestors up to TPersistent. Registering a class
// twice does nothing; another class of the same name raises EFilerError.
void RegisterClass(TPersistentClass AClass);
void RegisterClasses(std::initializer_list<TPersistentClass> AClasses);
// Removes this class only (not its ancestors).
void UnRegisterClass(TPersistentClass AClass);
void UnRegisterClasses(std::initializer_list<TPersistentClass> AClasses);
// The registered class of that name (case-insensitive), or nullptr.
TPersistentClass GetClass(const String& AClassName);
// As GetClass, but raises EClassNotFound "Class %s not found".
TPersistentClass FindClass(const String& AClassName);
