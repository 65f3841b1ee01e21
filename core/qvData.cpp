#include "core/qvData.h"

QJ_IMPLEMENT_CLASS(TqvDataController)

void TqvDataController::AfterConstruction() {
  inherited::AfterConstruction();
  ActiveChanged(true);
}

TObject* TqvDataController::GetItem(Integer AIndex) const { return GetField(AIndex)->GetItem(); }
