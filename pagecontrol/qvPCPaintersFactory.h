// The process-wide registry of tab painter classes (the styles), in registration order: it
// creates painters for controls and chooses the default style from a look and feel. It is made
// on first use and freed at exit; after that it is not made again.
#pragma once

#include <vector>

#include "pagecontrol/qvPCPainters.h"

extern const TResourceString sqvPCNoStylesRegistered;
extern const TResourceString sqvPCPainterClassIsNil;

class TqvPCPaintersFactory : public TObject {
  QJ_CLASS(TqvPCPaintersFactory, TObject)
 public:
  // Appends the class unless it is registered already.
  void RegisterPainterClass(TqvPCPainterClass APainterClass);
  void UnregisterPainterClass(TqvPCPainterClass APainterClass);
  // The first registered class of that style; nullptr when none.
  TqvPCPainterClass GetPainterClass(TqvPCStyleID AStyleID) const;
  // From the last class to the first, the first that is the look and feel's default; -1 when none.
  TqvPCStyleID GetStyleByLookAndFeel(TqvLookAndFeel* ALookAndFeel) const;
  // The last class that allows the native style, else the first registered; raises without any.
  TqvPCStyleID GetDefaultStyleID(TqvLookAndFeel* ALookAndFeel) const;
  // Raises for a nil class.
  TOwned<TqvPCCustomPainter> CreatePainter(TqvPCPainterClass APainterClass, TqvCustomTabControl* AControl) const;
  void ReleasePainter(TOwned<TqvPCCustomPainter>& APainter) const { APainter.reset(); }
  Integer GetPainterClassCount() const { return static_cast<Integer>(FPainterClasses.size()); }
  TqvPCPainterClass GetPainterClasses(Integer Index) const { return FPainterClasses.at(size_t(Index)); }

 private:
  std::vector<TqvPCPainterClass> FPainterClasses;
};

// The single factory with the four styles registered (Tabs, Buttons, FlatButtons, Flat);
// nullptr once the process is shutting down.
TqvPCPaintersFactory* PaintersFactory();
