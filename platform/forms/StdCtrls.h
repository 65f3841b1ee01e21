// Standard controls: the edit, memo and list box wrap the window system's "EDIT" and "LISTBOX"
// classes (created as subclasses, notifications reflected back as CN_ messages); the button,
// check box, radio button, group box and label are drawn by the class library itself.
//
// Where the parts live: StdCtrls.cpp (the controls drawn by the library), StdCtrlsEdit.cpp
// (TCustomEdit, TCustomMemo and the memo's lines), StdCtrlsListBox.cpp (TCustomListBox and its
// items).
#pragma once

#include <memory>

#include "platform/forms/Controls.h"
#include "platform/forms/Menus.h"  // TOwnerDrawState
#include "platform/rtl/StringList.h"


enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// The model of a scroll bar: its direction, a line or page step (1 .. 32767), the scroll codes
// (in the order of the SB_ codes) and the event that reports a scroll; the handler may change
// the position.
enum TScrollBarKind { sbHorizontal, sbVertical };
using TScrollBarInc = SmallInt;
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;

// Makes a control's window a subclass of a registered window class: the control keeps its own
// class name and procedure, unhandled messages go to the class's procedure.
void CreateSubClass(TCreateParams& Params, const char* ClassName);

// ---------------------------------------------------------------------------------------------
// Edit

class TCustomEdit : public TWinControl {
  QJ_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  // Converts the text already there too.
  void SetCharCase(TEditCharCase Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // 0: no limit of ours (the window's own maximum); a negative length changes nothing.
  Integer GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetModified();
  void SetModified(bool Value);
  bool GetCanUndo();

  // Selection, 0-based; set positions are clamped to the text by the window.
  Integer GetSelStart();
  void SetSelStart(Integer Value);
  Integer GetSelLength();
  void SetSelLength(Integer Value);
  String GetSelText();
  void SetSelText(const String& Value);
  void SelectAll();
  void ClearSelection();
  void Clear();
  void Undo();
  void ClearUndo();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change();
  void DoEnter() override;

 private:
  void CNCommand(TMessage& M);
  void ApplyCharCaseToText();
  void UpdateStyleBit(DWORD Bit, bool On);

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  Integer FMaxLength = 0;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FModified = false;
  bool FCreating = false;
};

class TEdit : public TCustomEdit {
  QJ_CLASS(TEdit, TCustomEdit)
 public:
  using TCustomEdit::TCustomEdit;
};

// ---------------------------------------------------------------------------------------------
// Memo

class TCustomMemo : public TCustomEdit {
  QJ_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // The memo's lines as the window shows them (wrapped lines count as lines).
  TStrings* GetLines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // The caret's line and column, 0-based.
  TPoint GetCaretPos();
  void SetCaretPos(TPoint Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void KeyPress(char& Key) override;

 private:
  TOwned<TStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
  QJ_CLASS(TMemo, TCustomMemo)
 public:
  using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------------------------------------
// List box

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };


using TDrawItemEvent = std::function<void(TWinControl* Control, Integer Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, Integer Index, Integer& Height)>;
using TLBGetDataEvent = std::function<void(TWinControl* Control, Integer Index, String& Data)>;
using TLBGetDataObjectEvent = std::function<void(TWinControl* Control, Integer Index, TObject*& DataObject)>;
// The index of the item whose text starts with FindString, -1 when none.
using TLBFindDataEvent = std::function<Integer(TWinControl* Control, const String& FindString)>;

class TCustomListBox : public TWinControl {
  QJ_CLASS(TCustomListBox, TWinControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  // The items; kept by the control while it has no window.
  TStrings* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  void AddItem(const String& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }
  void Clear() { FItems->Clear(); }
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();

  TListBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  // The number of items of a virtual list (the items of any other list).
  Integer GetCount();
  void SetCount(Integer Value);
  // -1: none. An index outside the items changes nothing.
  Integer GetItemIndex();
  void SetItemIndex(Integer Value);
  // Raise EListError for an index outside the items.
  bool GetSelected(Integer Index);
  void SetSelected(Integer Index, bool Value);
  Integer GetSelCount();
  Integer GetTopIndex();
  void SetTopIndex(Integer Value);
  Integer GetItemHeight();
  // Values below 1 are refused (the previous height stays).
  void SetItemHeight(Integer Value);
  // The item under a client point; -1 (Existing) or the item count when there is none.
  Integer ItemAtPos(TPoint Pos, bool Existing);
  // The client rectangle of an item; the item count gives the place after the last one.
  TRect ItemRect(Integer Index);

  Integer GetColumns() const { return FColumns; }
  void SetColumns(Integer Value);
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool GetExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  Integer GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(Integer Value);
  Integer GetScrollWidth();
  void SetScrollWidth(Integer Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Typing selects the first item starting with the characters typed within half a second.
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  TCanvas* GetCanvas() const { return FCanvas.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

 protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyPress(char& Key) override;
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);
  virtual String DoGetData(Integer Index);
  virtual TObject* DoGetDataObject(Integer Index);
  virtual Integer DoFindData(const String& Data);

 private:
  void CNCommand(TMessage& M);
  void CNDrawItem(TMessage& M);
  void CNMeasureItem(TMessage& M);
  void WMSize(TMessage& M);
  void UpdateColumnWidth();
  Integer FindPrefix(const String& Prefix);
  void CheckIndex(Integer Index);

  TOwned<TStrings> FItems;
  TOwned<TStringList> FSaveItems;  // the items while there is no window
  std::vector<uint8_t> FSaveSelection;
  TOwned<TControlCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  Integer FCount = 0;
  Integer FSaveItemIndex = -1;
  Integer FSaveTopIndex = 0;
  Integer FItemHeight = 16;
  Integer FColumns = 0;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FIntegralHeight = false;
  bool FSorted = false;
  Integer FTabWidth = 0;
  Integer FScrollWidth = 0;
  TBorderStyle FBorderStyle = bsSingle;
  bool FAutoComplete = true;
  String FFilter;
  DWORD FLastKeyTime = 0;
};

class TListBox : public TCustomListBox {
  QJ_CLASS(TListBox, TCustomListBox)
 public:
  using TCustomListBox::TCustomListBox;
};

// ---------------------------------------------------------------------------------------------
// Buttons

class TButtonControl : public TCustomControl {
  QJ_CLASS(TButtonControl, TCustomControl)
 public:
  explicit TButtonControl(TComponent* AOwner);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 protected:
  void Dispatch(TMessage& Message) override;
  void DoExit() override;
  // Pressed look while the mouse or the space bar holds the button down.
  bool GetPressed() const { return FPressed; }
  void SetPressed(bool Value);
  // The mouse is over the button (the hot look of a themed button).
  bool GetMouseInside() const { return FMouseInside; }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  // What a click, the space bar or the accelerator does.
  virtual void Press() = 0;
  // Draws the caption with DrawText flags in the control's font (grey when disabled).
  void DrawCaption(TRect& R, UINT Flags);

 private:
  bool FPressed = false;
  bool FMouseInside = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
  bool FWordWrap = false;
};

class TButton : public TButtonControl {
  QJ_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Sets the form's ModalResult, then runs OnClick.
  void Click() override;
  // Enter presses this button: it is focused, or it is the default and no button is focused.
  bool IsActive();

 protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Press() override { Click(); }

 private:
  // The theme's push button in the button's state, with the caption and the focus rectangle.
  void PaintThemed(HTHEME ATheme);
  Integer ThemeState() const;

  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;  // as last painted
  TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
  QJ_CLASS(TCustomCheckBox, TButtonControl)
 public:
  explicit TCustomCheckBox(TComponent* AOwner);
  // Which side of the box the caption is on (taLeftJustify: the caption left of the box).
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TCheckBoxState GetState() const { return FState; }
  virtual void SetState(TCheckBoxState Value);
  bool GetChecked() const { return FState == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  // Set while code changes the state: no OnClick then.
  bool GetClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
  void Click() override;

 protected:
  virtual void Toggle();
  void Press() override { Toggle(); }
  // Sets the state and repaints; false when it was the state already.
  bool ChangeState(TCheckBoxState Value);
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  virtual UINT FrameKind() const;

 private:
  TAlignment FAlignment = taRightJustify;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
  bool FClicksDisabled = false;
};

class TCheckBox : public TCustomCheckBox {
  QJ_CLASS(TCheckBox, TCustomCheckBox)
 public:
  using TCustomCheckBox::TCustomCheckBox;
};

// Checking one radio button unchecks the others of the same parent.
class TRadioButton : public TCustomCheckBox {
  QJ_CLASS(TRadioButton, TCustomCheckBox)
 public:
  explicit TRadioButton(TComponent* AOwner);
  void SetState(TCheckBoxState Value) override;

 protected:
  void Toggle() override;
  void DoEnter() override;
  UINT FrameKind() const override;
  void Dispatch(TMessage& Message) override;

 private:
  void UncheckSiblings();
};

class TCustomGroupBox : public TCustomControl {
  QJ_CLASS(TCustomGroupBox, TCustomControl)
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
  QJ_CLASS(TGroupBox, TCustomGroupBox)
 public:
  using TCustomGroupBox::TCustomGroupBox;
};

// ---------------------------------------------------------------------------------------------
// Label

class TCustomLabel : public TGraphicControl {
  QJ_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout GetLayout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // '&' marks the accelerator character ("&&" shows one '&').
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // The control that its accelerator focuses.
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

 protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  // Draws (or measures, with DT_CALCRECT) the caption in Rect.
  virtual void DoDrawText(TCanvas* Canvas, TRect& Rect, UINT Flags);
  // AutoSize: the caption's size (the right edge stays put for right-aligned text).
  void AdjustSize() override;

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  QJ_CLASS(TLabel, TCustomLabel)
 public:
  using TCustomLabel::TCustomLabel;
};
