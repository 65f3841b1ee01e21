// The container of in-place editors (the base of the tree list control) and the hint window in
// which the tree list shows the whole text of a truncated cell.
//
// The container answers its editors' questions through virtual hooks (may the cell change, is a
// character valid, which colour, font and style, does the editor want Tab, does a second click
// become a double click) and scrolls on the mouse wheel. Its unit owns two globals: the shadow
// brush of editor shadows and the default edit style controller.
#pragma once

#include "platform/forms/Controls.h"
#include "treelist/zmEditStyle.h"

class TzmInplaceEdit;

// The platform's flat scroll bar modes.
enum TzmFlatScrollMode : Byte { zmfsRegular = 0, zmfsEncarta = 1, zmfsFlat = 2 };

class TCustomzmContainer : public TCustomControl {
  QJ_CLASS(TCustomzmContainer, TCustomControl)
  friend class TzmInplaceEdit;

 public:
  explicit TCustomzmContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

  // Hooks of the editors (the tree list answers most of them).
  virtual bool CanEditorModify() { return false; }
  virtual bool IsEditorValidChar(char /*Ch*/) { return false; }
  // A new style object for the editor (owned by the editor).
  virtual TzmEditStyle* CreateEditStyle(TzmInplaceEdit* Edit);
  // Sends ALines line-scroll messages up or down.
  virtual void ScrollByWheel(bool AUp, Integer ALines);
  virtual TColor GetEditColor() { return GetColor(); }
  virtual TFont* GetEditFont() { return GetFont(); }
  virtual bool IsReadOnly() { return false; }
  virtual bool GetFocusCellOption() { return false; }
  // The editor's keys before it handles them: the base fires OnKeyDown.
  virtual void EditorKeyDown(Word& Key, TShiftState Shift);
  // While true the editor drops its key messages.
  virtual bool IsEditorStale() { return false; }
  virtual bool ConvertsEditorClicks() { return false; }
  virtual bool GetEditorExtOption() { return false; }
  virtual bool EditorWantsTab() { return false; }
  virtual void GoToAdjacentColumn(bool /*ABackward*/) {}
  // The editor gained the focus, or lost it to a window other than the container.
  virtual void EditorFocusChanged() {}
  virtual void BeginInitEdit() { FEditorInitializing = true; }
  virtual void EndInitEdit() { FEditorInitializing = false; }
  virtual Integer GetEditorLookAndFeelKind() { return 2; }

  bool GetEditorInitializing() const { return FEditorInitializing; }
  TzmFlatScrollMode GetFlatScrollMode() const { return FFlatScrollMode; }
  void SetFlatScrollMode(TzmFlatScrollMode Value);
  BOOL GetScrollInfo(int Bar, SCROLLINFO& Info);
  int SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw);

 protected:
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  // Automatic size adjustment is off.
  void AdjustSize() override {}

 private:
  void WMMouseWheel(TMessage& Message);
  void ApplyFlatScrollMode();

  bool FEditorInitializing = false;
  TzmFlatScrollMode FFlatScrollMode = zmfsRegular;
  Integer FWheelDelta = 0;  // wheel movement not yet scrolled, below one notch
};

// A small topmost window that never takes the focus or the mouse, sized to its text.
class TzmContainerHintWindow : public TCustomControl {
  QJ_CLASS(TzmContainerHintWindow, TCustomControl)
 public:
  explicit TzmContainerHintWindow(TComponent* AOwner);

  // At Point (screen), wrapped at the screen width, in Font's face at the status-bar size.
  void ShowHint(TPoint Point, const String& Text, TFont* Font);
  // MaxWidth <= 0 wraps at the screen width; AUseFontSize takes Font's size as well. The window
  // stays inside the work area of the monitor at Point.
  void ShowHintEx(TPoint Point, Integer MaxWidth, const String& Text, TFont* Font, bool AUseFontSize);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// The brush of editor shadows (button-shadow colour); lives between the unit's start and end.
HBRUSH ShadowBrush();

// Removes the first queued message of that id for the window, if any; a removed quit message is
// posted again.
void RemovePendingMessage(HWND Window, UINT MessageId);

// Start: the shadow brush and the default edit style controller; end: both go.
void zmCntnerStart();
void zmCntnerEnd();
