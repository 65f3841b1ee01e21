#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(EFilerError)
QJ_IMPLEMENT_CLASS(EPropertyConvertError)

namespace {

struct TClassRegistry {
  std::mutex Lock;
  std::vector<TPersistentClass> Classes;

  TPersistentClass Find(const String& name) const {
    for (TPersistentClass c : Classes)
      if (SameText(c->Name, name)) return c;
    return nullptr;
  }
  bool Registered(TPersistentClass c) const {
    return std::find(Classes.begin(), Classes.end(), c) != Classes.end();
  }
};

TClassRegistry& Registry() {
  static TClassRegistry registry;
  return registry;
}

}  // namespace

void RegisterClass(TPersistentClass AClass) {
  TClassRegistry& reg = Registry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  // Check the whole chain first so a name clash registers nothing.
  std::vector<TPersistentClass> chain;
  for (TPersistentClass c = AClass; c && !reg.Registered(c); c = c->Parent) {
    if (reg.Find(c->Name)) throw EFilerError(&SDuplicateClass, {c->ClassName()});
    chain.push_back(c);
    if (c == &TPersistent::StaticClass()) break;
  }
  reg.Classes.insert(reg.Classes.end(), chain.begin(), chain.end());
}

void RegisterClasses(std::initializer_list<TPersistentClass> AClasses) {
  for (TPersistentClass c : AClasses) RegisterClass(c);
}

void UnRegisterClass(TPersistentClass AClass) {
  TClassRegistry& reg = Registry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  auto it = std::find(reg.Classes.begin(), reg.Classes.end(), AClass);
  if (it != reg.Classes.end()) reg.Classes.erase(it);
}

void UnRegisterClasses(std::initializer_list<TPersistentClass> AClasses) {
  for (TPersistentClass c : AClasses) UnRegisterClass(c);
}

TPersistentClass GetClass(const String& AClassName) {
  TClassRegistry& reg = Registry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  return reg.Find(AClassName);
}

TPersistentClass FindClass(const String& AClassName) {
  TPersistentClass result = GetClass(AClassName);
  if (!result) throw EClassNotFound(&SClassNotFound, {AClassName});
  return result;
}
