// A plain object for a controller's item or a relation's level: the tests need its identity only.
#pragma once

#include "platform/rtl/System.h"

class TTestItem : public TObject {
  QJ_INLINE_CLASS(TTestItem, TObject)
};
