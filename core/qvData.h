// The unbound data controller: its owner fills it by code (items with value types, the record
// count, values written with SetValue). It is active from the start.
#pragma once

#include "core/qvCustomData.h"

class TqvDataController : public TqvCustomDataController {
  QJ_CLASS(TqvDataController, TqvCustomDataController)
 public:
  using TqvCustomDataController::TqvCustomDataController;

  void AfterConstruction() override;
  // The item of the field at AIndex (owners with their own item lists override it).
  TObject* GetItem(Integer AIndex) const override;
};
