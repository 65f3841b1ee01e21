// The filter builder dialog: a resizable modal dialog hosting a filter builder linked to a grid
// view, with buttons to open and save ".flt" files, to apply the filter while staying, and to
// close with OK or Cancel. Its bounds are remembered for the next dialog of the process.
#pragma once

#include "grid/qvFilterDialog.h"

class TOpenDialog;
class TPanel;
class TSaveDialog;
class TqvButton;
class TqvCustomFilterControl;
class TqvLookAndFeel;

extern const TResourceString sqvFilterBuilderCaption;
extern const TResourceString sqvFilterBuilderUntitled;

class TfmFilterControlDialog : public TqvFilterDialogForm {
  QJ_CLASS(TfmFilterControlDialog, TqvFilterDialogForm)
 public:
  static constexpr Integer DefaultWidth = 526;
  static constexpr Integer DefaultHeight = 363;
  static constexpr Integer MinWidth = 520;
  static constexpr Integer MinHeight = 165;

  // Builds the dialog's panels, buttons and file dialogs.
  explicit TfmFilterControlDialog(TComponent* AOwner);

  // Takes the builder into the client area above the buttons; the caller keeps owning it.
  void Setup(TqvCustomFilterControl* AFilterControl, const String& AInitialDir);
  // The caption becomes "Filter builder - [name]" and the save dialog proposes the name.
  void SetFileName(const String& AName);
  const String& GetFileName() const { return FFileName; }
  TqvCustomFilterControl* GetFilterControl() const { return FFilterControl; }

  TPanel* GetBottomPanel() const { return FBottomPanel; }
  TqvButton* GetOpenButton() const { return FOpenButton; }
  TqvButton* GetSaveButton() const { return FSaveButton; }
  TqvButton* GetOkButton() const { return FOkButton; }
  TqvButton* GetCancelButton() const { return FCancelButton; }
  TqvButton* GetApplyButton() const { return FApplyButton; }
  TOpenDialog* GetOpenDialog() const { return FOpenDialog; }
  TSaveDialog* GetSaveDialog() const { return FSaveDialog; }

  // The bounds the next dialog opens with (-1 each until a dialog closed).
  static TRect GetRememberedBounds();
  static void ResetRememberedBounds();

 protected:
  void DoClose(TCloseAction& Action) override;
  void KeyDown(Word& Key, TShiftState Shift) override;

 private:
  void OpenClick(TObject* Sender);
  void SaveClick(TObject* Sender);
  void ApplyClick(TObject* Sender);
  void OkClick(TObject* Sender);
  // Places the dialog where the last one closed (inside the work area), else centred.
  void PlaceAtRememberedBounds();

  TPanel* FBottomPanel = nullptr;
  TPanel* FBottomRightPanel = nullptr;
  TqvButton* FOpenButton = nullptr;
  TqvButton* FSaveButton = nullptr;
  TqvButton* FOkButton = nullptr;
  TqvButton* FCancelButton = nullptr;
  TqvButton* FApplyButton = nullptr;
  TOpenDialog* FOpenDialog = nullptr;
  TSaveDialog* FSaveDialog = nullptr;
  TqvCustomFilterControl* FFilterControl = nullptr;
  String FFileName;
};

// Runs the builder dialog for ALinkComponent (a component with IqvFilterControl). ALookAndFeel
// (may be nil) becomes the master of the buttons and the builder; AColor other than clDefault
// colours the builder; AApplyEvent runs on every apply (Apply and OK); AShowEvent is the
// dialog's OnShow; AInitialDir is where the file dialogs start. True when closed with OK.
bool ShowFilterControlDialog(TComponent* ALinkComponent, TqvLookAndFeel* ALookAndFeel, TColor AColor,
                             TNotifyEvent AApplyEvent, TNotifyEvent AShowEvent, const String& AInitialDir);
