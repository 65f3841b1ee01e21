#include "dataaware/qvDBFilter.h"

#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvFilterSQLNullOperator)
QJ_IMPLEMENT_CLASS(TqvFilterSQLNotNullOperator)
QJ_IMPLEMENT_CLASS(TqvDBFilterOperatorAdapter)

bool UsesSQLNullSyntax(const TDataSet* ADataSet) {
  return ADataSet->GetUsesSQLNullSyntax() || AnsiUpperCase(ADataSet->ClassName()).find("QUERY") != String::npos;
}

void TqvDBFilterOperatorAdapter::PrepareOperatorClass(TqvFilterCriteriaItem*, TDataSet* ADataSet,
                                                      TqvFilterOperatorClass& AOperatorClass) {
  if (!ADataSet || !AOperatorClass || !AOperatorClass->InheritsFrom(&TqvFilterNullOperator::StaticClass())) return;
  if (!UsesSQLNullSyntax(ADataSet)) return;
  if (AOperatorClass->InheritsFrom(&TqvFilterNotNullOperator::StaticClass()))
    AOperatorClass = &TqvFilterSQLNotNullOperator::StaticClass();
  else
    AOperatorClass = &TqvFilterSQLNullOperator::StaticClass();
}

TqvDBAdapterList* DBFilterOperatorAdapters() {
  static TOwned<TqvDBAdapterList> adapters = [] {
    auto list = MakeOwned<TqvDBAdapterList>();
    list->RegisterAdapter(&TDataSet::StaticClass(), &TqvDBFilterOperatorAdapter::StaticClass());
    return list;
  }();
  return adapters.get();
}

TqvDBFilterOperatorAdapter* FindFilterOperatorAdapter(const TDataSet* ADataSet) {
  return As<TqvDBFilterOperatorAdapter>(DBFilterOperatorAdapters()->FindAdapterFor(ADataSet));
}
