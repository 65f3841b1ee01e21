#include "platform/data/DBConsts.h"
#include "platform/data/DBFilter.h"
#include "platform/data/DBSQLiteInternal.h"

namespace {

const char* CompareSymbol(TFilterCompare ACompare) {
  switch (ACompare) {
    case TFilterCompare::Equal:
      return "=";
    case TFilterCompare::NotEqual:
      return "<>";
    case TFilterCompare::Less:
      return "<";
    case TFilterCompare::LessEqual:
      return "<=";
    case TFilterCompare::Greater:
      return ">";
    case TFilterCompare::GreaterEqual:
      return ">=";
  }
  return "=";
}

// Turns a condition tree into SQL: names become quoted columns, every literal a parameter
// converted to the type of the column it is compared with.
class TFilterCompiler {
 public:
  TFilterCompiler(const std::vector<TSQLColumn>& AColumns, bool ACaseInsensitive)
      : FColumns(AColumns), FCaseInsensitive(ACaseInsensitive) {}

  TSQLCondition Compile(const TFilterNode& ANode) {
    FResult.Text = Node(ANode);
    return std::move(FResult);
  }

 private:
  const TSQLColumn& Column(const String& AName) const {
    for (const TSQLColumn& column : FColumns)
      if (AnsiSameText(column.Name, AName)) return column;
    throw EDatabaseError(&SFieldNotFound, {AName});
  }

  // The column the node's value operand names, or nullptr when the value is a literal.
  const TSQLColumn* ContextColumn(const TFilterNode& ANode) const {
    for (const TFilterOperand& operand : ANode.Operands)
      if (operand.IsField) return &Column(operand.FieldName);
    return nullptr;
  }

  String Parameter(const Variant& AValue, TFieldType AType) {
    FResult.Params.push_back({AValue, AType});
    return "?";
  }

  String Operand(const TFilterOperand& AOperand, const TSQLColumn* AContext) {
    if (AOperand.IsField) return QuoteIdentifier(Column(AOperand.FieldName).Name);
    if (!AContext) return Parameter(AOperand.Value, ftUnknown);
    try {
      return Parameter(CoerceToFieldType(AOperand.Value, AContext->DataType), AContext->DataType);
    } catch (const EConvertError&) {
    } catch (const EVariantError&) {
    }
    throw EDatabaseError(&SInvalidFieldValue, {VarToStr(AOperand.Value), AContext->Name});
  }

  String Collation(const TSQLColumn* AContext) const {
    return FCaseInsensitive && AContext && IsTextFieldType(AContext->DataType) ? " COLLATE QJ_NOCASE" : "";
  }

  String Joined(const TFilterNode& ANode, const char* AWord) {
    String text;
    for (const auto& child : ANode.Children) {
      if (!text.empty()) text += AWord;
      text += Node(*child);
    }
    return "(" + text + ")";
  }

  // The node's operands as SQL, in the order of the text: each literal's parameter takes the next
  // place. A LIKE pattern is a text whatever the column.
  std::vector<String> Operands(const TFilterNode& ANode, const TSQLColumn* AContext) {
    std::vector<String> sql;
    for (size_t i = 0; i < ANode.Operands.size(); ++i)
      sql.push_back(ANode.Kind == TFilterNodeKind::Like && i == 1 ? Parameter(ANode.Operands[i].Value, ftString)
                                                                  : Operand(ANode.Operands[i], AContext));
    return sql;
  }

  String Node(const TFilterNode& ANode) {
    const TSQLColumn* context = ContextColumn(ANode);
    const std::vector<String> operands = Operands(ANode, context);
    String negation = ANode.Negated ? "NOT " : "";
    switch (ANode.Kind) {
      case TFilterNodeKind::And:
        return Joined(ANode, " AND ");
      case TFilterNodeKind::Or:
        return Joined(ANode, " OR ");
      case TFilterNodeKind::Not:
        return "(NOT " + Node(*ANode.Children.front()) + ")";
      case TFilterNodeKind::Compare:
        return "(" + operands[0] + Collation(context) + " " + CompareSymbol(ANode.Compare) + " " + operands[1] + ")";
      case TFilterNodeKind::Like:
        return "(" + negation + "qj_like(" + operands[0] + ", " + operands[1] + ", " + (FCaseInsensitive ? "1" : "0") +
               "))";
      case TFilterNodeKind::Between:
        return "(" + operands[0] + Collation(context) + " " + negation + "BETWEEN " + operands[1] + " AND " +
               operands[2] + ")";
      case TFilterNodeKind::In: {
        String items;
        for (size_t i = 1; i < operands.size(); ++i) items += (i > 1 ? ", " : "") + operands[i];
        return "(" + operands[0] + Collation(context) + " " + negation + "IN (" + items + "))";
      }
      case TFilterNodeKind::IsNull:
        return "(" + operands[0] + " IS " + negation + "NULL)";
    }
    return String();
  }

  const std::vector<TSQLColumn>& FColumns;
  bool FCaseInsensitive;
  TSQLCondition FResult;
};

}  // namespace

TSQLCondition CompileFilter(const TFilterNode& AFilter, const std::vector<TSQLColumn>& AColumns,
                            bool ACaseInsensitive) {
  return TFilterCompiler(AColumns, ACaseInsensitive).Compile(AFilter);
}
