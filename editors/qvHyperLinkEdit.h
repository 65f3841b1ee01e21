// The hyperlink editor: a text editor that shows its text as a link (underlined, in LinkColor)
// and opens it on its start key, a double click or (with SingleClick) a click.
//
// Opening hands the text to the platform's shell open, which starts the desktop's opener with an
// argument vector (no shell reads it). Only http, https, ftp and mailto links and existing files
// are opened: a cell's text from a file must not launch anything else.
#pragma once

#include "editors/qvTextEdit.h"

// Whether a link text may be opened: an http, https, ftp or mailto URL, or a text without a URL
// scheme (which the shell opens only as an existing file).
bool IsHyperLinkTargetAllowed(const String& ATarget);

class TqvCustomHyperLinkEditProperties : public TqvCustomTextEditProperties {
  QJ_CLASS(TqvCustomHyperLinkEditProperties, TqvCustomTextEditProperties)
 public:
  explicit TqvCustomHyperLinkEditProperties(TPersistent* AOwner);
  // The text settings, then LinkColor, SingleClick, StartKey and OnStartClick, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  // Cells react to the mouse with SingleClick.
  TqvEditSupportedOperations GetSupportedOperations() const override;

  TColor GetLinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor Value);
  bool GetSingleClick() const { return FSingleClick; }
  void SetSingleClick(bool Value);
  TShortCut GetStartKey() const { return FStartKey; }
  void SetStartKey(TShortCut Value);

  // Replaces the opening of the link (Sender: the editor).
  TNotifyEvent OnStartClick;

 private:
  TColor FLinkColor = clBlue;
  bool FSingleClick = false;
  TShortCut FStartKey = scCtrl | VK_RETURN;
};

class TqvHyperLinkEditProperties : public TqvCustomHyperLinkEditProperties {
  QJ_CLASS(TqvHyperLinkEditProperties, TqvCustomHyperLinkEditProperties)
 public:
  using TqvCustomHyperLinkEditProperties::TqvCustomHyperLinkEditProperties;
};

class TqvHyperLinkEditViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvHyperLinkEditViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvHyperLinkEditViewInfo() = default;
  void Assign(TObject* Source) override;
  bool IsHotTrack() const override { return SingleClick || inherited::IsHotTrack(); }
  // Underlined, in the link colour (the hot text colour while hot and not selected).
  void PrepareCanvasFont(TFont* AFont) override;

  TColor LinkColor = clBlue;
  bool SingleClick = false;
};

class TqvHyperLinkEditViewData : public TqvCustomTextEditViewData {
  QJ_CLASS(TqvHyperLinkEditViewData, TqvCustomTextEditViewData)
 public:
  using TqvCustomTextEditViewData::TqvCustomTextEditViewData;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
};

class TqvCustomHyperLinkEdit : public TqvCustomTextEdit {
  QJ_CLASS(TqvCustomHyperLinkEdit, TqvCustomTextEdit)
 public:
  using TqvCustomTextEdit::TqvCustomTextEdit;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomHyperLinkEditProperties* GetProperties() const {
    return static_cast<TqvCustomHyperLinkEditProperties*>(GetActiveProperties());
  }

  // OnStartClick alone when assigned; otherwise the trimmed text, when not blank and allowed,
  // goes to the shell's open verb (shown maximised).
  virtual void DoStart();

  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  // Nothing in place with SingleClick, so that the click that opened the editor can open the link.
  void SelectAll() override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) override;

 protected:
  void AdjustInnerEditAppearance() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;

 private:
  bool IsInTextArea(const TPoint& P) const;
  void ShowHandCursor();
  void RestoreCursor();

  bool FHandShown = false;
  TCursor FSavedCursor = crDefault;
  TCursor FSavedInnerCursor = crDefault;
};

class TqvHyperLinkEdit : public TqvCustomHyperLinkEdit {
  QJ_CLASS(TqvHyperLinkEdit, TqvCustomHyperLinkEdit)
 public:
  using TqvCustomHyperLinkEdit::TqvCustomHyperLinkEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvHyperLinkEditProperties* GetProperties() const {
    return static_cast<TqvHyperLinkEditProperties*>(GetActiveProperties());
  }
  void SetProperties(TqvHyperLinkEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryHyperLinkItem : public TqvEditRepositoryItemOf<TqvHyperLinkEditProperties> {
  QJ_CLASS(TqvEditRepositoryHyperLinkItem, TqvEditRepositoryItemOf<TqvHyperLinkEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
