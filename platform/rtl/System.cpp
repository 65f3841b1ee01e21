#include "platform/rtl/System.h"

const TObject::MetaType& TObject::StaticClass() {
  static const MetaType meta = MetaType::Make<TObject>("TObject", nullptr);
  return meta;
}
