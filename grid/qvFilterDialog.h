// The custom filter dialog of one grid column: up to two conditions on the column, joined by AND
// or OR, each an operator and a value typed in an editor of the column's kind. Also the test
// whether a filter fits that dialog, and the base of the filter dialogs' forms.
#pragma once

#include "core/qvFilter.h"
#include "grid/qvFilterControlUtils.h"
#include "platform/forms/Forms.h"

#include <vector>

class TBevel;
class TLabel;
class TqvButton;
class TqvComboBox;
class TqvLookAndFeel;
class TqvRadioButton;

// A form of the filter dialogs, owned by the application. Its window belongs to the window of
// the form active when it was made, unless some other form stays on top (then to none).
class TqvFilterDialogForm : public TForm {
  QJ_CLASS(TqvFilterDialogForm, TForm)
 public:
  explicit TqvFilterDialogForm(TComponent* AOwner);
  HWND GetOwnerWindow() const { return FOwnerWindow; }

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  HWND FOwnerWindow = nullptr;
};

// True when ACriteria (a data controller's filter) cannot be shown in the custom filter dialog:
// a root that is not AND, or an entry that is not a comparison or pattern on a column not used
// before (alone, or two of them on one column in an AND or OR list). Changes nothing.
bool IsComplexFilter(TqvFilterCriteria* ACriteria);

// The texts of both filter dialogs' buttons.
extern const TResourceString sqvFilterDialogOk;
extern const TResourceString sqvFilterDialogCancel;
extern const TResourceString sqvFilterDialogCaption;
extern const TResourceString sqvFilterDialogTitle;
extern const TResourceString sqvFilterDialogUse;
extern const TResourceString sqvFilterDialogSingleCharacter;
extern const TResourceString sqvFilterDialogCharacters;

// The custom filter dialog of one column: two operator lists, each with a value editor made by
// the column's helper.
class TqvFilterDialog : public TqvFilterDialogForm {
  QJ_CLASS(TqvFilterDialog, TqvFilterDialogForm)
 public:
  static constexpr Integer DefaultClientWidth = 414;
  static constexpr Integer DefaultClientHeight = 175;

  // Builds the labels, choosers, radio buttons and buttons at their places.
  explicit TqvFilterDialog(TComponent* AOwner);
  ~TqvFilterDialog() override;

  // Fills the dialog for the column AItemLink of ACriteria: operators, value editors and the
  // column's conditions shown.
  void Init(TqvFilterCriteria* ACriteria, TObject* AItemLink, TqvCustomEditProperties* AProperties,
            const String& ACaption, TqvValueTypeClass AValueTypeClass, TqvLookAndFeel* ALookAndFeel,
            TqvFilterEditHelperClass AHelper);
  // Replaces the column's conditions by the dialog's (after OK); the root becomes AND.
  void ApplyChanges();

  // The operator chosen in chooser 1 or 2; froNone for none and for the empty entry.
  TqvFilterRowOperator GetOperator(Integer AIndex) const;
  // Chooses the entry of AOperator (froNone: the empty entry of chooser 2, none in chooser 1).
  void SetOperator(Integer AIndex, TqvFilterRowOperator AOperator);
  TqvFilterRowOperators GetOperators() const { return FOperators; }

  TLabel* GetTitleLabel() const { return FTitleLabel; }
  TLabel* GetColumnCaptionLabel() const { return FColumnCaptionLabel; }
  TqvComboBox* GetOperatorCombo(Integer AIndex) const { return FOperatorCombos[AIndex]; }
  TqvCustomEdit* GetValueEdit(Integer AIndex) const { return FValueEdits[AIndex]; }
  TqvRadioButton* GetAndButton() const { return FAndButton; }
  TqvRadioButton* GetOrButton() const { return FOrButton; }
  TLabel* GetSingleLabel() const { return FSingleLabel; }
  TLabel* GetSeriesLabel() const { return FSeriesLabel; }
  TqvButton* GetOkButton() const { return FOkButton; }
  TqvButton* GetCancelButton() const { return FCancelButton; }

 protected:
  // After OK: both values are validated, read and checked; any error keeps the dialog open.
  bool CloseQuery() override;

 private:
  // The operators' entries, in operator order, after an empty one in chooser 2.
  void FillOperators(Integer AIndex);
  void ShowCondition(Integer AIndex, TqvFilterCriteriaItem* AItem);
  // The accepted wildcards of editor AIndex follow its operator; the hints follow both.
  void OperatorChanged(Integer AIndex);
  void ReadValue(Integer AIndex);
  void AddCondition(TqvFilterCriteriaItemList* AList, Integer AIndex);
  // Fits the bottom rows to their measured texts (see the .cpp).
  void LayoutBottomRows();

  TLabel* FTitleLabel = nullptr;
  TLabel* FColumnCaptionLabel = nullptr;
  TBevel* FLine = nullptr;
  TqvComboBox* FOperatorCombos[2] = {};
  TLabel* FPlaceHolders[2] = {};
  TqvRadioButton* FAndButton = nullptr;
  TqvRadioButton* FOrButton = nullptr;
  TLabel* FSingleLabel = nullptr;
  TLabel* FSeriesLabel = nullptr;
  TqvButton* FOkButton = nullptr;
  TqvButton* FCancelButton = nullptr;
  // Made without owner by the helper; freed with the dialog.
  TqvCustomEdit* FValueEdits[2] = {};

  TqvFilterCriteria* FCriteria = nullptr;
  TObject* FItemLink = nullptr;
  TqvCustomEditProperties* FProperties = nullptr;
  TqvValueTypeClass FValueTypeClass = nullptr;
  TqvFilterEditHelperClass FHelper = nullptr;
  TqvFilterRowOperators FOperators = 0;
  // Each chooser's entries: the operator of each line.
  std::vector<TqvFilterRowOperator> FEntries[2];
  Variant FValues[2];
  String FDisplayTexts[2];
};

// Runs the custom filter dialog for the column AItemLink of ACriteria (a data controller's
// filter): up to two conditions on the column with AProperties' editor kind, under ACaption.
// True when the user pressed OK and the column's conditions were replaced. False without a
// dialog when no helper covers AProperties' class or when the filter is complex (the dialog
// would change what the other conditions mean), and False on Cancel.
bool ShowCustomFilterDialog(TqvFilterCriteria* ACriteria, TObject* AItemLink, TqvCustomEditProperties* AProperties,
                            const String& ACaption, TqvValueTypeClass AValueTypeClass, TqvLookAndFeel* ALookAndFeel);
