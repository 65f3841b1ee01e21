// The popup edit: a drop-down edit whose popup shows any control of the form (PopupControl).
// Opening takes the control out of its place into the popup, filling it; closing (and freeing
// the edit while open) puts it back exactly as it was: parent, Align, bounds, a form's border
// and visibility.
#pragma once

#include "editors/qvDropDownEdit.h"

extern const TResourceString sqvCircularReferencingError;

class TqvPopupEditPopupWindowViewInfo : public TqvCustomEditPopupWindowViewInfo {
  QJ_CLASS(TqvPopupEditPopupWindowViewInfo, TqvCustomEditPopupWindowViewInfo)
 public:
  using TqvCustomEditPopupWindowViewInfo::TqvCustomEditPopupWindowViewInfo;
  // The popup edit's own 3-D frame.
  void DrawBorder(TqvCanvas* ACanvas, TRect& R) override;
};

class TqvPopupEditPopupWindow : public TqvCustomEditPopupWindow {
  QJ_CLASS(TqvPopupEditPopupWindow, TqvCustomEditPopupWindow)
 public:
  using TqvCustomEditPopupWindow::TqvCustomEditPopupWindow;

 protected:
  TqvContainerViewInfoClass GetViewInfoClass() const override;
};

class TqvCustomPopupEditProperties : public TqvCustomDropDownEditProperties {
  QJ_CLASS(TqvCustomPopupEditProperties, TqvCustomDropDownEditProperties)
 public:
  // Auto size, sizeable, 250 x 200 with a minimum of 100 x 100.
  explicit TqvCustomPopupEditProperties(TPersistent* AOwner);
  ~TqvCustomPopupEditProperties() override;
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  TqvCustomEditPopupWindowClass GetPopupWindowClass() const override;
  bool PopupShowsLookupData() const override { return false; }
  bool PopupWindowTakesFocus() const override { return true; }
  // A freed PopupControl is forgotten.
  void FreeNotification(TComponent* AComponent) override;

  TControl* GetPopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);

 private:
  TControl* FPopupControl = nullptr;
  TOwned<TqvFreeNotificator> FPopupControlWatch;
};

class TqvPopupEditProperties : public TqvCustomPopupEditProperties {
  QJ_CLASS(TqvPopupEditProperties, TqvCustomPopupEditProperties)
 public:
  // Opens on typing and on in-place activation.
  explicit TqvPopupEditProperties(TPersistent* AOwner);
  static TqvCustomEditClass ContainerClass();
};

class TqvCustomPopupEdit : public TqvCustomDropDownEdit {
  QJ_CLASS(TqvCustomPopupEdit, TqvCustomDropDownEdit)
 public:
  using TqvCustomDropDownEdit::TqvCustomDropDownEdit;
  // An open popup gives its control back first.
  void BeforeDestruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomPopupEditProperties* GetProperties() const {
    return static_cast<TqvCustomPopupEditProperties*>(GetActiveProperties());
  }

  bool CanDropDown() override { return GetProperties()->GetPopupControl() != nullptr; }
  // Refuses a PopupControl that is the popup window, the edit, one of its parents or one of its
  // children ("Circular referencing is not allowed"), before anything moves.
  void DoInitPopup() override;
  TWinControl* GetPopupFocusedControl() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void PositionPopupContent(const TRect& AClientRect) override;
  void PositionPopupWindow() override;
  void PopupWindowClosed(TObject* Sender) override;

  virtual void RestorePopupControlData();
  virtual void SavePopupControlData();

 private:
  struct TSavedControl {
    bool Saved = false;
    TAlign Align = alNone;
    TFormBorderStyle BorderStyle = bsNone;
    TRect Bounds;
    TWinControl* Parent = nullptr;
    bool Visible = false;
  };
  TSavedControl FSaved;
};

class TqvPopupEdit : public TqvCustomPopupEdit {
  QJ_CLASS(TqvPopupEdit, TqvCustomPopupEdit)
 public:
  using TqvCustomPopupEdit::TqvCustomPopupEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvPopupEditProperties* GetProperties() const { return static_cast<TqvPopupEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvPopupEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryPopupItem : public TqvEditRepositoryItemOf<TqvPopupEditProperties> {
  QJ_CLASS(TqvEditRepositoryPopupItem, TqvEditRepositoryItemOf<TqvPopupEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
