// Drawing-context holders: what a block saves, selects or creates on a device context is put back
// or freed when the block ends, also when a paint handler raises.
//
//   TSavedDCScope       a DC's whole state (clip, objects, colours, origins)
//   TSelectObjectScope  one object selected into a DC, the one it replaced put back
//   TMeasureDC          the screen's DC, a font selected, for measuring text outside a paint
//   TMemoryDC           a memory DC, a bitmap selected, for drawing off screen
//   TOwnedGdiObject     a pen, brush, bitmap, font or region deleted with its holder
//
// None of them raises at its end. The holders live on the stack; only TOwnedGdiObject moves.
#pragma once

#include "platform/os/Gdi.h"

class TSavedDCScope {
 public:
  explicit TSavedDCScope(HDC ADC) : FDC(ADC), FLevel(SaveDC(ADC)) {}
  ~TSavedDCScope() { RestoreDC(FDC, FLevel); }
  TSavedDCScope(const TSavedDCScope&) = delete;
  TSavedDCScope& operator=(const TSavedDCScope&) = delete;

 private:
  HDC FDC;
  int FLevel;
};

class TSelectObjectScope {
 public:
  TSelectObjectScope(HDC ADC, HGDIOBJ AObject) : FDC(ADC), FOld(SelectObject(ADC, AObject)) {}
  ~TSelectObjectScope() { SelectObject(FDC, FOld); }
  TSelectObjectScope(const TSelectObjectScope&) = delete;
  TSelectObjectScope& operator=(const TSelectObjectScope&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// Without a font the DC keeps its own (the system font).
class TMeasureDC {
 public:
  explicit TMeasureDC(HFONT AFont = nullptr);
  ~TMeasureDC();
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  HDC Handle() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

// Compatible with ACompatible (nullptr: the screen). The bitmap stays its owner's.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC ACompatible = nullptr, HBITMAP ABitmap = nullptr);
  ~TMemoryDC();
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Handle() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

class TOwnedGdiObject {
 public:
  TOwnedGdiObject() = default;
  explicit TOwnedGdiObject(HGDIOBJ AObject) : FObject(AObject) {}
  ~TOwnedGdiObject() { Reset(); }
  TOwnedGdiObject(TOwnedGdiObject&& AOther) noexcept : FObject(AOther.Release()) {}
  TOwnedGdiObject& operator=(TOwnedGdiObject&& AOther) noexcept {
    Reset(AOther.Release());
    return *this;
  }
  TOwnedGdiObject(const TOwnedGdiObject&) = delete;
  TOwnedGdiObject& operator=(const TOwnedGdiObject&) = delete;

  HGDIOBJ Get() const { return FObject; }
  // Deletes the object held and holds AObject instead.
  void Reset(HGDIOBJ AObject = nullptr) {
    if (FObject && FObject != AObject) DeleteObject(FObject);
    FObject = AObject;
  }
  // Hands the object to the caller, who deletes it.
  HGDIOBJ Release() {
    HGDIOBJ object = FObject;
    FObject = nullptr;
    return object;
  }

 private:
  HGDIOBJ FObject = nullptr;
};
