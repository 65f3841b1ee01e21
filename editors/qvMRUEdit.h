// The MRU editor: a combo box that remembers the most recently used texts, newest first, with an
// extra ellipsis button for the application. Texts are compared as the lookup list compares
// them (without regard to case), so "abc" entered again moves the listed "ABC" to the top.
#pragma once

#include "editors/qvComboBox.h"

class TqvCustomMRUEditProperties : public TqvCustomComboBoxProperties {
  QJ_CLASS(TqvCustomMRUEditProperties, TqvCustomComboBoxProperties)
 public:
  // A second button, an ellipsis and the default one, carries the button glyph; a free text.
  explicit TqvCustomMRUEditProperties(TPersistent* AOwner);
  // The combo settings, then MaxItemCount, ShowEllipsis and OnButtonClick, in one update.
  void Assign(TPersistent* Source) override;
  static TqvCustomEditClass ContainerClass();

  // 0: no limit. A negative value is stored as 0; a smaller limit trims the list at once.
  Integer GetMaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(Integer Value);
  bool GetShowEllipsis() const { return FShowEllipsis; }
  // Shows or hides the ellipsis button; the glyph goes with it to button 1, or back to button 0.
  void SetShowEllipsis(bool Value);
  // The remembered texts, newest first.
  TStrings* GetItems() const { return GetLookupItems(); }
  // Cuts the list to MaxItemCount (when it is above 0).
  void TrimItems();
  // Hands the remembered texts to another MRU properties object (an in-place editor's to its
  // column's).
  void UpdateProperties(TqvCustomEditProperties* Target) override;

  // Fired by the ellipsis button (button 1). It stands beside the editor properties' own
  // OnButtonClick (every button, with its index), which it hides under this class's name.
  TNotifyEvent OnButtonClick;

 private:
  Integer FMaxItemCount = 0;
  bool FShowEllipsis = true;
};

class TqvMRUEditProperties : public TqvCustomMRUEditProperties {
  QJ_CLASS(TqvMRUEditProperties, TqvCustomMRUEditProperties)
 public:
  using TqvCustomMRUEditProperties::TqvCustomMRUEditProperties;
};

class TqvCustomMRUEdit : public TqvCustomComboBox {
  QJ_CLASS(TqvCustomMRUEdit, TqvCustomComboBox)
 public:
  using TqvCustomComboBox::TqvCustomComboBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomMRUEditProperties* GetProperties() const {
    return static_cast<TqvCustomMRUEditProperties*>(GetActiveProperties());
  }

  // An empty text is ignored; a listed text moves to the top; a new one is inserted there and
  // the list is cut to MaxItemCount.
  virtual void AddItem(const String& AText);

  // In place, a text changed since the editor was entered is remembered.
  bool Deactivate() override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  void BeginPostEditValue() override;
  void DoButtonClick(Integer AButtonVisibleIndex) override;
  void DoEnter() override;

 private:
  String FTextAtEnter;
};

class TqvMRUEdit : public TqvCustomMRUEdit {
  QJ_CLASS(TqvMRUEdit, TqvCustomMRUEdit)
 public:
  using TqvCustomMRUEdit::TqvCustomMRUEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvMRUEditProperties* GetProperties() const { return static_cast<TqvMRUEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvMRUEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryMRUItem : public TqvEditRepositoryItemOf<TqvMRUEditProperties> {
  QJ_CLASS(TqvEditRepositoryMRUItem, TqvEditRepositoryItemOf<TqvMRUEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
