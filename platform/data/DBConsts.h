// Texts of the dataset layer's errors.
#pragma once

#include "platform/rtl/SysUtils.h"

extern const TResourceString SFieldNotFound;         // Field '%s' not found
extern const TResourceString SDataSetOpen;           // Cannot perform this operation on an open dataset
extern const TResourceString SDataSetClosed;         // Cannot perform this operation on a closed dataset
extern const TResourceString SDataSetEmpty;          // Cannot perform this operation on an empty dataset
extern const TResourceString SDataSetReadOnly;       // Cannot modify a read-only dataset
extern const TResourceString SNotEditing;            // Dataset not in edit or insert mode
extern const TResourceString SFieldReadOnly;         // Field '%s' cannot be modified
extern const TResourceString SFieldRequired;         // Field '%s' must have a value
extern const TResourceString SFieldRangeError;       // %s is not a valid value for field '%s'. ...
extern const TResourceString SInvalidFieldValue;     // '%s' is not a valid value for field '%s'
extern const TResourceString SDuplicateFieldName;    // Duplicate field name '%s'
extern const TResourceString SLookupInfoError;       // Lookup information for field '%s' is incomplete
extern const TResourceString SRecordNotFound;        // Record not found
extern const TResourceString SRecordChanged;         // Record not found or changed by another user
extern const TResourceString SParameterNotFound;     // Parameter '%s' not found
extern const TResourceString SCircularDataLink;      // Circular datalinks are not allowed
extern const TResourceString SPropDefByLookup;       // Property already defined by lookup field
extern const TResourceString SFieldValueCount;       // Field '%s' needs one value for each of %d fields
extern const TResourceString SFilterSyntax;          // Filter expression error at position %d: %s
extern const TResourceString SFilterUnexpected;      // unexpected '%s'
extern const TResourceString SFilterUnexpectedEnd;   // unexpected end of text
extern const TResourceString SFilterUnterminated;    // unterminated %s
extern const TResourceString SFilterLikePattern;     // LIKE needs a text pattern
extern const TResourceString SFilterTooDeep;         // NOT and parentheses nested more than %d deep
extern const TResourceString SFieldNotSearchable;    // Field '%s' cannot be searched or filtered
extern const TResourceString SDatabaseMissing;       // Missing Database property
extern const TResourceString STableNameMissing;      // Missing TableName property
extern const TResourceString STableNotFound;         // Table '%s' not found
extern const TResourceString SNoRowIds;              // Table '%s' has no row identifiers
extern const TResourceString SNoSQLStatement;        // No SQL statement available
extern const TResourceString SNoResultSet;           // SQL statement does not return a result set
extern const TResourceString SMultipleStatements;    // SQL text holds more than one statement
extern const TResourceString SUnnamedParameter;      // Parameter %d of the SQL text has no name
extern const TResourceString SWriteIgnored;          // The database ignored the write: ...
extern const TResourceString STransactionRolledBack; // %s; the transaction was rolled back
extern const TResourceString SViewAsTable;           // '%s' is a view, not a table: ...
extern const TResourceString STableNameNul;          // A table name cannot hold a NUL character
extern const TResourceString SNotANumber;            // Not a number
extern const TResourceString SNameOutsideCodePage;   // Column name '%s' holds characters outside ...
