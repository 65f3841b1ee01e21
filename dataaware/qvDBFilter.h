// Filter expressions for datasets: the adapter that picks the operators of a dataset's conditions,
// and the NULL operators of SQL ("IS NULL", "IS NOT NULL" instead of "= NULL", "<> NULL").
#pragma once

#include "core/qvFilter.h"
#include "dataaware/qvDB.h"

class TqvFilterSQLNullOperator : public TqvFilterNullOperator {
  QJ_CLASS(TqvFilterSQLNullOperator, TqvFilterNullOperator)
 public:
  using TqvFilterNullOperator::TqvFilterNullOperator;
  String GetExpressionText() override { return "IS"; }
};

class TqvFilterSQLNotNullOperator : public TqvFilterNotNullOperator {
  QJ_CLASS(TqvFilterSQLNotNullOperator, TqvFilterNotNullOperator)
 public:
  using TqvFilterNotNullOperator::TqvFilterNotNullOperator;
  String GetExpressionText() override { return "IS NOT"; }
};

class TqvDBFilterOperatorAdapter : public TqvDBAdapterItem {
  QJ_CLASS(TqvDBFilterOperatorAdapter, TqvDBAdapterItem)
 public:
  using TqvDBAdapterItem::TqvDBAdapterItem;

  // A blank test (a NULL operator class) on a dataset that reads SQL's NULL syntax gets the SQL
  // operator; every other class stays.
  virtual void PrepareOperatorClass(TqvFilterCriteriaItem* AItem, TDataSet* ADataSet,
                                    TqvFilterOperatorClass& AOperatorClass);
};

// A dataset whose filters read "IS NULL": it says so, or (for datasets that do not tell) its
// class name contains "Query" in any case.
bool UsesSQLNullSyntax(const TDataSet* ADataSet);

// The process-wide registry of filter operator adapters; TDataSet has the plain one.
TqvDBAdapterList* DBFilterOperatorAdapters();
// The adapter for ADataSet's class; nullptr for none (or no dataset).
TqvDBFilterOperatorAdapter* FindFilterOperatorAdapter(const TDataSet* ADataSet);
