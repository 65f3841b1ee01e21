// The registry of tab painter classes.
#include "pagecontrol/qvPCPaintersFactory.h"

#include <algorithm>
#include <memory>

#include "core/qvClasses.h"
#include "pagecontrol/qvPCConsts.h"

QJ_IMPLEMENT_CLASS(TqvPCPaintersFactory)

const TResourceString sqvPCNoStylesRegistered{63410, "There are no styles registered"};
const TResourceString sqvPCPainterClassIsNil{63411, "PCPainterClass is nil"};

namespace {

struct TFactoryHolder {
  TFactoryHolder() {
    Factory = MakeOwned<TqvPCPaintersFactory>();
    Factory->RegisterPainterClass(&TqvPCTabsPainter::StaticClass());
    Factory->RegisterPainterClass(&TqvPCButtonsPainter::StaticClass());
    Factory->RegisterPainterClass(&TqvPCFlatButtonsPainter::StaticClass());
    Factory->RegisterPainterClass(&TqvPCFlatPainter::StaticClass());
  }
  ~TFactoryHolder() {
    Factory.reset();
    Finalized = true;
  }
  TOwned<TqvPCPaintersFactory> Factory;
  static inline bool Finalized = false;
};

}  // namespace

TqvPCPaintersFactory* PaintersFactory() {
  if (TFactoryHolder::Finalized) return nullptr;
  static TFactoryHolder holder;
  return holder.Factory.get();
}

void TqvPCPaintersFactory::RegisterPainterClass(TqvPCPainterClass APainterClass) {
  if (APainterClass && std::find(FPainterClasses.begin(), FPainterClasses.end(), APainterClass) == FPainterClasses.end())
    FPainterClasses.push_back(APainterClass);
}

void TqvPCPaintersFactory::UnregisterPainterClass(TqvPCPainterClass APainterClass) {
  std::erase(FPainterClasses, APainterClass);
}

TqvPCPainterClass TqvPCPaintersFactory::GetPainterClass(TqvPCStyleID AStyleID) const {
  for (TqvPCPainterClass c : FPainterClasses)
    if (c->GetStyleID() == AStyleID) return c;
  return nullptr;
}

TqvPCStyleID TqvPCPaintersFactory::GetStyleByLookAndFeel(TqvLookAndFeel* ALookAndFeel) const {
  for (auto it = FPainterClasses.rbegin(); it != FPainterClasses.rend(); ++it)
    if ((*it)->IsDefaultForLookAndFeel(ALookAndFeel)) return (*it)->GetStyleID();
  return -1;
}

TqvPCStyleID TqvPCPaintersFactory::GetDefaultStyleID(TqvLookAndFeel* ALookAndFeel) const {
  if (FPainterClasses.empty()) RaisePCError("TqvPCPaintersFactory", "GetDefaultStyleID", &sqvPCNoStylesRegistered);
  for (auto it = FPainterClasses.rbegin(); it != FPainterClasses.rend(); ++it)
    if ((*it)->AllowsNativeStyle(ALookAndFeel)) return (*it)->GetStyleID();
  return FPainterClasses.front()->GetStyleID();
}

TOwned<TqvPCCustomPainter> TqvPCPaintersFactory::CreatePainter(TqvPCPainterClass APainterClass,
                                                               TqvCustomTabControl* AControl) const {
  if (!APainterClass) RaisePCError("TqvPCPaintersFactory", "GetPainterInstance", &sqvPCPainterClassIsNil);
  return TOwned<TqvPCCustomPainter>(APainterClass->Create(AControl));
}
