#include "platform/data/DBConsts.h"

const TResourceString SFieldNotFound = {64900, "Field '%s' not found"};
const TResourceString SDataSetOpen = {64901, "Cannot perform this operation on an open dataset"};
const TResourceString SDataSetClosed = {64902, "Cannot perform this operation on a closed dataset"};
const TResourceString SDataSetEmpty = {64903, "Cannot perform this operation on an empty dataset"};
const TResourceString SDataSetReadOnly = {64904, "Cannot modify a read-only dataset"};
const TResourceString SNotEditing = {64905, "Dataset not in edit or insert mode"};
const TResourceString SFieldReadOnly = {64906, "Field '%s' cannot be modified"};
const TResourceString SFieldRequired = {64907, "Field '%s' must have a value"};
const TResourceString SFieldRangeError = {64908,
                                          "%s is not a valid value for field '%s'. The allowed range is %s to %s"};
const TResourceString SInvalidFieldValue = {64909, "'%s' is not a valid value for field '%s'"};
const TResourceString SDuplicateFieldName = {64910, "Duplicate field name '%s'"};
const TResourceString SLookupInfoError = {64911, "Lookup information for field '%s' is incomplete"};
const TResourceString SRecordNotFound = {64912, "Record not found"};
const TResourceString SRecordChanged = {64913, "Record not found or changed by another user"};
const TResourceString SParameterNotFound = {64914, "Parameter '%s' not found"};
const TResourceString SCircularDataLink = {64915, "Circular datalinks are not allowed"};
const TResourceString SPropDefByLookup = {64916, "Property already defined by lookup field"};
const TResourceString SFieldValueCount = {64917, "'%s' needs one value for each of its %d names"};
const TResourceString SFilterSyntax = {64918, "Filter expression error at position %d: %s"};
const TResourceString SFilterUnexpected = {64919, "unexpected '%s'"};
const TResourceString SFilterUnexpectedEnd = {64920, "unexpected end of text"};
const TResourceString SFilterUnterminated = {64921, "unterminated %s"};
const TResourceString SFilterLikePattern = {64922, "LIKE needs a text pattern"};
const TResourceString SFieldNotSearchable = {64923, "Field '%s' cannot be searched or filtered"};
const TResourceString SDatabaseMissing = {64924, "Missing Database property"};
const TResourceString STableNameMissing = {64925, "Missing TableName property"};
const TResourceString STableNotFound = {64926, "Table '%s' not found"};
const TResourceString SNoRowIds = {64927, "Table '%s' has no row identifiers"};
const TResourceString SNoSQLStatement = {64928, "No SQL statement available"};
const TResourceString SNoResultSet = {64929, "SQL statement does not return a result set"};
const TResourceString SMultipleStatements = {64930, "SQL text holds more than one statement"};
const TResourceString SUnnamedParameter = {64931, "Parameter %d of the SQL text has no name"};
const TResourceString SWriteIgnored = {64932,
                                       "The database ignored the write: a conflict clause or a trigger dropped it"};
const TResourceString STransactionRolledBack = {64933, "%s; the transaction was rolled back"};
const TResourceString SNameOutsideCodePage = {64934, "Column name '%s' holds characters outside the code page"};
const TResourceString SFilterTooDeep = {64935, "NOT and parentheses nested more than %d deep"};
const TResourceString SNotANumber = {64936, "Not a number"};
const TResourceString SViewAsTable = {64937, "'%s' is a view, not a table: a query can read it"};
const TResourceString STableNameNul = {64938, "A table name cannot hold a NUL character"};
