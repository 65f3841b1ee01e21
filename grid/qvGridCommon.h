// What every part of the data grid shares: the stored-layout protocol through which views and
// their items give away and take back their layout, the text formats of stored values (hex
// text, Boolean text, set text, the "Filter" value) and the grid's resource strings.
//
// One C++ name per interface and operation, for every unit of the grid (where the descriptions
// of the grid name one thing twice, this is the name the code uses):
//   IqvStoredLayoutObject, IqvStoredLayoutParent   the stored-layout protocol (this header; not
//                                                  "IqvStoredObject")
//   IqvGridDataControllerHooks                     what the grid data controller answers for the
//                                                  view (grid mode, scrolling, own stored
//                                                  properties; not "IqvGridDataController")
//   IqvGridDataControllerViewLink                  the view that owns a grid data controller
//                                                  (qvGridCustomView.h; not
//                                                  "IqvGridDataControllerLink")
//   IqvFilterControl                               grid/qvFilterControl.h: GetCaption, GetCount,
//                                                  GetCriteria, GetItemLink, GetFieldName,
//                                                  GetProperties, GetValueTypeClass
//   IqvNavigator, IqvNavigatorOwner                grid/qvNavigator.h
//   TqvGridItemDataBinding::GetDefaultRepositoryItem   (not "GetDefaultPropertiesClass")
//   TqvGridTableViewInfo::GetGridLineColor             (not "GetGridLineColorFromOptions")
//   hit-test class operations                      GetHitTestCode, GetCursor,
//                                                  GetDragAndDropObjectClass (metaclass record)
//   drag-open infos                                Matches, Open (not "Run")
//   TqvGridCustomozationFormHitTest                spelled so, as everywhere it is named
//   TqvCustomGrid::GetGridPainter                  the grid's painter handler (GetPainter is the
//                                                  control's look-and-feel painter)
//   HexDigitValue                                  platform/rtl/SysUtils.h (-1 for a non-digit);
//                                                  HexToString raises for it
//   ShowCustomFilterDialog, ShowFilterControlDialog    the filter dialogs' own declarations
//                                                  (grid/qvFilterDialog.h,
//                                                  grid/qvFilterControlDialog.h) hold
// Resource strings of the grid framework take the identities 64500 to 64599.
#pragma once

#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"

class TqvDataFilterCriteria;

// The grid lines a grid draws between its cells.
enum TqvGridLines { glBoth, glNone, glVertical, glHorizontal };

// ---------------------------------------------------------------------------------------------
// Stored layout protocol

// An object of a stored layout: its name and named properties whose values are variants. A
// property that does not convert raises (EPropertyConvertError, EqvHexStringConvertError) and
// keeps its value.
class IqvStoredLayoutObject : public virtual IInterface {
 public:
  virtual String GetObjectName() = 0;
  // Adds the names of the stored properties; False: the object stores nothing.
  virtual bool GetProperties(TStrings* AProperties) = 0;
  virtual void GetPropertyValue(const String& AName, Variant& AValue) = 0;
  virtual void SetPropertyValue(const String& AName, const Variant& AValue) = 0;
};

// A parent of stored objects. GetChildren lists (name, object) pairs; an empty name means the
// child's own stored name applies.
class IqvStoredLayoutParent : public virtual IInterface {
 public:
  virtual TObject* CreateChild(const String& AObjectName, const String& AClassName) = 0;
  virtual void DeleteChild(const String& AObjectName, TObject* AObject) = 0;
  virtual void GetChildren(TStrings* AChildren) = 0;
};

// ---------------------------------------------------------------------------------------------
// Value conversion (no state)

QJ_EXCEPTION(EqvHexStringConvertError, Exception)

// Each byte as two upper-case hexadecimal digits, first byte first.
String StringToHex(const String& AData);
// The bytes of digit pairs from the start; a last unpaired digit is ignored. Any character that
// is not a hexadecimal digit (see HexDigitValue in platform/rtl/SysUtils.h) raises
// EqvHexStringConvertError naming the text.
String HexToString(const String& AText);
// "TRUE" or "FALSE" in any case; anything else raises EPropertyConvertError naming the text.
bool StringToBoolean(const String& AText);

// The index of the first name equal to AText without regard to case, -1 when none.
Integer IndexOfName(const String& AText, const std::vector<String>& ANames);
// A set of ASize bytes (1 to 4; members 0 to 31) as "[Name1,Name2]" in member order, "[]" when
// empty. A member beyond ANames raises EPropertyConvertError.
String SetToString(Cardinal ASet, Integer ASize, const std::vector<String>& ANames);
// The text must be bracketed, else EPropertyConvertError naming it and ASet is kept. Pieces
// between commas are compared with the names without regard to case and without trimming; an
// unmatched or empty piece is ignored. The members found replace the whole set.
void StringToSet(const String& AText, Cardinal& ASet, Integer ASize, const std::vector<String>& ANames);

// The stored "Filter" value of a view: "Hex:" and the hex text of the criteria stream.
constexpr const char* qvStoredFilterPrefix = "Hex:";
Variant GetStoredFilterValue(TqvDataFilterCriteria* ACriteria);
// Reads a stored "Filter" value into ACriteria. The value must begin with "Hex:" (else
// EqvHexStringConvertError naming it); its stream is read into a criteria object of its own
// first and given to ACriteria only once the whole stream was read, so a value that does not
// convert or a stream that does not read (EReadError) leaves the filter as it was.
void SetStoredFilterValue(TqvDataFilterCriteria* ACriteria, const Variant& AValue);
