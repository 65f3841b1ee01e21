// The value editors of filter conditions: the operators a filter row offers, their captions and
// their mapping onto the criteria's operator kinds; one stateless helper per editor kind that
// configures a value editor from an item's editor properties, says which operators fit and moves
// values between editor and filter; the registry that finds the helper of a properties class;
// and the check of an entered value against the item's value type.
//
// Helpers are class-level objects: each helper class has exactly one instance, made on first
// use, and its class reference is a pointer to that instance (as value types are). Operations
// inherited from a parent helper are plain C++ inheritance.
#pragma once

#include "core/qvClasses.h"
#include "core/qvDataStorage.h"
#include "core/qvFilter.h"
#include "editors/qvEdit.h"

class TqvCustomFilterEditHelper;
class TqvInplaceEditList;
class TWinControl;

// ---------------------------------------------------------------------------------------------
// Row operators

enum TqvFilterRowOperator : Byte {
  froNone, froEquals, froNotEquals, froLess, froLessOrEqual, froGreater, froGreaterOrEqual, froLike, froNotLike,
  froBlank, froNotBlank, froBetween, froNotBetween, froIn, froNotIn, froYesterday, froToday, froTomorrow,
  froLastWeek, froLastMonth, froLastYear, froThisWeek, froThisMonth, froThisYear, froNextWeek, froNextMonth,
  froNextYear
};
constexpr Integer qvFilterRowOperatorCount = froNextYear + 1;

// A set of row operators: bit n for operator n.
using TqvFilterRowOperators = Cardinal;
constexpr TqvFilterRowOperators froBit(TqvFilterRowOperator AOperator) { return 1u << AOperator; }
// The operators AFrom to ATo, both included.
constexpr TqvFilterRowOperators froRange(TqvFilterRowOperator AFrom, TqvFilterRowOperator ATo) {
  TqvFilterRowOperators result = 0;
  for (Integer op = AFrom; op <= ATo; ++op) result |= 1u << op;
  return result;
}
constexpr bool froIncludes(TqvFilterRowOperators ASet, TqvFilterRowOperator AOperator) {
  return (ASet & froBit(AOperator)) != 0;
}

// The caption of an operator ("equals" ...), read from the string table on each call; empty for
// froNone and for any value outside the operators.
String GetOperatorCaption(Integer AOperator);
// froNone and the blanks map to equal and not equal (the blanks with a Null value).
TqvFilterOperatorKind RowOperatorToOperatorKind(TqvFilterRowOperator AOperator);
// Equal and not equal with a Null value are the blanks; LIKE keeps its operator whatever the value.
TqvFilterRowOperator OperatorKindToRowOperator(TqvFilterOperatorKind AKind, bool AIsNull);
// Like and not like: the wildcards of the criteria are part of their values.
inline bool IsLikeOperator(TqvFilterRowOperator AOperator) { return AOperator == froLike || AOperator == froNotLike; }

// ---------------------------------------------------------------------------------------------
// Helpers

// The class reference of a helper: its one instance.
using TqvFilterEditHelperClass = const TqvCustomFilterEditHelper*;

// The metaclass record of the helpers: their class-level instance.
struct TqvFilterEditHelperMetaClass : TMetaClass {
  TqvFilterEditHelperClass (*GetHelper)() = nullptr;

  template <class Cls>
  static TqvFilterEditHelperMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvFilterEditHelperMetaClass m;
    m.Name = AName;
    m.Parent = AParent;
    m.GetHelper = &Cls::Class;
    return m;
  }
};

// Declares a helper class and its class reference Cls::Class().
#define QJ_FILTER_EDIT_HELPER(Cls, ParentCls) \
  QJ_CLASS(Cls, ParentCls)                    \
                                              \
 public:                                      \
  static TqvFilterEditHelperClass Class();    \
                                              \
 private:

// The operations every helper answers, in the order of the class-level slots.
class TqvCustomFilterEditHelper : public TObject {
 public:
  using MetaType = TqvFilterEditHelperMetaClass;
  QJ_FILTER_EDIT_HELPER(TqvCustomFilterEditHelper, TObject)

 public:
  // Clears the handlers a copied column's properties would still call.
  virtual void ResetPropertiesEvents(TqvCustomEditProperties* AProperties) const;
  // Turns the active properties of AEdit into value-editor properties of the item's AProperties.
  virtual void PrepareValueEdit(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties) const;
  // Drop-down and spin properties keep their buttons.
  virtual bool KeepsEditButtons(TqvCustomEditProperties* AProperties) const;
  // The editor a value is entered in; nullptr in the base.
  virtual TqvCustomEditClass GetValueEditClass() const { return nullptr; }
  // The value entered and its text; the base leaves both.
  virtual void ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties, Variant& AValue,
                               String& ADisplayText) const;
  // The builder asks for the extended set, the custom filter dialog for the simple one.
  virtual TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const;
  // Makes AProperties (the value editor's own) value-editor properties derived from AItemProperties.
  virtual void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                                 bool AKeepButtons) const;
  // Shows a filter value in the editor; the base does nothing.
  virtual void WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                                const Variant& AValue) const;
  // A row shows the value's stored text instead of the editor's rendering of the value.
  virtual bool ShowsDisplayText() const { return false; }

  // The properties class the value editor uses, nullptr without a value editor.
  TqvCustomEditPropertiesClass GetValueEditPropertiesClass() const;
};

// Free text in a text edit; the parent of most helpers.
class TqvFilterTextEditHelper : public TqvCustomFilterEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterTextEditHelper, TqvCustomFilterEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  void ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties, Variant& AValue,
                       String& ADisplayText) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
  void WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                        const Variant& AValue) const override;
};

// Long texts: only the pattern and blank tests make sense.
class TqvFilterMemoHelper : public TqvFilterTextEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterMemoHelper, TqvFilterTextEditHelper)
 public:
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
};

// The MRU edit's button adds to its list; a value editor has no use for it.
class TqvFilterMRUEditHelper : public TqvFilterTextEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterMRUEditHelper, TqvFilterTextEditHelper)
 public:
  bool KeepsEditButtons(TqvCustomEditProperties*) const override { return false; }
};

// Links: typed as text in a hyperlink edit.
class TqvFilterHyperLinkEditHelper : public TqvFilterTextEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterHyperLinkEditHelper, TqvFilterTextEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
};

// Masked texts: a mask leaves no room for patterns.
class TqvFilterMaskEditHelper : public TqvFilterTextEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterMaskEditHelper, TqvFilterTextEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// A value typed or chosen from the item's list.
class TqvFilterComboBoxHelper : public TqvFilterMaskEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterComboBoxHelper, TqvFilterMaskEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// A value chosen among the item's images and descriptions.
class TqvFilterImageComboBoxHelper : public TqvFilterComboBoxHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterImageComboBoxHelper, TqvFilterComboBoxHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
  // The text is the item's full display text of the value.
  void ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties, Variant& AValue,
                       String& ADisplayText) const override;
};

// Numbers: comparisons and ranges, no patterns.
class TqvFilterSpinEditHelper : public TqvFilterMaskEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterSpinEditHelper, TqvFilterMaskEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// Amounts: comparisons and ranges; the value editor accepts any amount and a blank one.
class TqvFilterCurrencyEditHelper : public TqvFilterTextEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterCurrencyEditHelper, TqvFilterTextEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// Numbers worked out on a calculator: comparisons and ranges.
class TqvFilterCalcEditHelper : public TqvFilterMaskEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterCalcEditHelper, TqvFilterMaskEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// Dates: comparisons, ranges and the dates relative to today.
class TqvFilterDateEditHelper : public TqvFilterMaskEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterDateEditHelper, TqvFilterMaskEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
};

// Times: the spin helper's operators; a new value editor starts at midnight.
class TqvFilterTimeEditHelper : public TqvFilterSpinEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterTimeEditHelper, TqvFilterSpinEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  void PrepareValueEdit(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties) const override;
};

// A check box item: its two values chosen from a list of their display texts.
class TqvFilterCheckBoxHelper : public TqvCustomFilterEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterCheckBoxHelper, TqvCustomFilterEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  // The value editor's combo box lists the checked and the unchecked display text; no copy.
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
  // No line chosen is Null.
  void ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties, Variant& AValue,
                       String& ADisplayText) const override;
  // A grayed (Null) value chooses no line.
  void WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                        const Variant& AValue) const override;
  bool ShowsDisplayText() const override { return true; }
};

// A radio group item: its buttons' captions in a list.
class TqvFilterRadioGroupHelper : public TqvCustomFilterEditHelper {
  QJ_FILTER_EDIT_HELPER(TqvFilterRadioGroupHelper, TqvCustomFilterEditHelper)
 public:
  TqvCustomEditClass GetValueEditClass() const override;
  TqvFilterRowOperators GetOperators(TqvCustomEditProperties* AProperties, bool AExtended) const override;
  void PrepareProperties(TqvCustomEditProperties* AProperties, TqvCustomEditProperties* AItemProperties,
                         bool AKeepButtons) const override;
  // No line chosen is the group's default value and caption.
  void ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties, Variant& AValue,
                       String& ADisplayText) const override;
  void WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                        const Variant& AValue) const override;
  bool ShowsDisplayText() const override { return true; }
};

// ---------------------------------------------------------------------------------------------
// Registry

// Helpers by properties class. Each helper is stored under the parent of the properties class it
// is registered for, and found for the nearest registered ancestor of the parent of the class
// asked about: one registration covers the class and its siblings.
class TqvFilterEditsController : public TqvRegisteredClassList {
 public:
  // AClass is a properties class and AValue a helper's class (ClassType of its instance).
  void Register(TClass AClass, TClass AValue) override;
  void Unregister(TClass AClass, TClass AValue) override;

  void Register(TqvCustomEditPropertiesClass APropertiesClass, TqvFilterEditHelperClass AHelper);
  void Unregister(TqvCustomEditPropertiesClass APropertiesClass, TqvFilterEditHelperClass AHelper);
  // nullptr when no registered class covers APropertiesClass.
  TqvFilterEditHelperClass FindHelper(TClass APropertiesClass) const;
};

// The process-wide registry, made with the built-in helpers on first use.
TqvFilterEditsController* GetFilterEditsController();

// A value editor for an item with AItemProperties: with AInplaceEditList the list's pooled
// editor of the helper's value editor properties class, else a new editor without owner that
// the caller owns. Prepared by the helper either way. nullptr when the helper has no editor.
TqvCustomEdit* CreateValueEdit(TqvFilterEditHelperClass AHelper, TqvCustomEditProperties* AItemProperties,
                               TqvInplaceEditList* AInplaceEditList);

// With a value type: an empty text of a non-string item becomes Null; a value that does not
// convert to the type (like and not like take any text) gives AControl the focus and raises
// "Invalid value". Without a value type nothing happens.
void VerifyFilterValue(TWinControl* AControl, Variant& AValue, TqvFilterRowOperator AOperator,
                       TqvValueTypeClass AValueTypeClass);

// The criteria's wildcards are accepted in a text-based AEdit exactly while ALike. Only the set of
// accepted characters changes: the user's text is never edited. Nothing for other editors.
void SetFilterValueWildcards(TqvCustomEdit* AEdit, TqvFilterCriteria* ACriteria, bool ALike);

extern const TResourceString sqvFilterInvalidValue;
