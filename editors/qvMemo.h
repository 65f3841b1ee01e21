// The memo editor: a multi-line text editor. The container (a text editor) paints the frame and
// its own scroll bars, which mirror and drive the native ones of the inner platform memo that
// edits the text; grid cells paint the first line (or the wrapped text) from the properties.
//
// Text put into the memo as a whole (a paste, a replaced selection) has its line breaks made
// uniform: CR LF, LF CR, a lone CR and a lone LF each become one CR LF. MaxLength counts the text
// before and after the selection.
//
// Where the parts live: qvMemo.cpp (properties, paint model, container), qvMemoInner.cpp (what
// the inner memo window and its helper add to the shared layer of qvInnerEdit.h).
#pragma once

#include "editors/qvTextEdit.h"

class TqvCustomMemo;
class TqvCustomInnerMemo;

// The most characters of a memo's first line that a grid cell shows.
constexpr Integer qvMemoDisplayTextLimit = 250;

// Every line-break form (CR LF, LF CR, lone CR, lone LF) as one CR LF.
String NormalizeLineBreaks(const String& AText);
// The first line of a text (up to a CR or LF within the first ALimit characters), at most ALimit
// characters.
String FirstMemoLine(const String& AText, Integer ALimit = qvMemoDisplayTextLimit);

class TqvCustomMemoProperties : public TqvCustomTextEditProperties {
  QJ_CLASS(TqvCustomMemoProperties, TqvCustomTextEditProperties)
 public:
  // Top vertical alignment, no auto-select.
  explicit TqvCustomMemoProperties(TPersistent* AOwner);
  // The text settings, then ScrollBars, WantReturns, WantTabs and WordWrap, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  bool IsMultiLine() const override { return true; }
  bool WantsTabKey() const override { return FWantTabs; }
  // Without AFullText only the first line, cut at qvMemoDisplayTextLimit characters.
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  // The value itself when the bound value is a BLOB, else the display text.
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;

  // The horizontal part of the editor alignment.
  TAlignment GetAlignment();
  void SetAlignment(TAlignment Value);
  using TqvCustomTextEditProperties::SetAlignment;
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value);
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 private:
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TqvMemoProperties : public TqvCustomMemoProperties {
  QJ_CLASS(TqvMemoProperties, TqvCustomMemoProperties)
 public:
  using TqvCustomMemoProperties::TqvCustomMemoProperties;
};

// Memo text: top-aligned, wrapped unless a horizontal scroll bar shows, whole rows only.
class TqvCustomMemoViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvCustomMemoViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvCustomMemoViewInfo() = default;
  void DrawText(TqvCanvas* ACanvas) override;
};

class TqvCustomMemoViewData : public TqvCustomTextEditViewData {
  QJ_CLASS(TqvCustomMemoViewData, TqvCustomTextEditViewData)
 public:
  using TqvCustomTextEditViewData::TqvCustomTextEditViewData;
  TqvCustomMemoProperties* GetProperties() const {
    return static_cast<TqvCustomMemoProperties*>(TqvCustomEditViewData::GetProperties());
  }
  TqvTextLayoutFlags GetDrawTextFlags() const override;
  void GetDrawTextOffset(TRect& R) const override;
};

// The text insets of a memo by its alignment: left and centre 1 on each side, right (0, 1, 2, 1).
TRect GetMemoDrawTextOffset(const TqvCustomEditViewData* AViewData);
// The memo view info's text in its own text colour, font and rectangle, with its selection.
void DrawMemoText(TqvCanvas* ACanvas, TqvCustomTextEditViewInfo* AViewInfo);

// ---------------------------------------------------------------------------------------------
// Inner memo

using TqvInnerMemoBase = TqvInnerEditControl<TCustomMemo, TqvCustomMemo>;

// Answers the editor's inner-edit interfaces for the inner memo window.
class TqvCustomInnerMemoHelper : public TqvInnerEditHelper<TqvCustomInnerMemo> {
  QJ_CLASS(TqvCustomInnerMemoHelper, TqvInnerEditHelper<TqvCustomInnerMemo>)
 public:
  using TqvInnerEditHelper::TqvInnerEditHelper;

  // The text, not handed back to the editor as its value.
  void SetEditValue(const Variant& Value) override;
  bool IsMultiLine() override { return true; }
};

// The borderless platform memo inside a memo editor. Keys, mouse and focus go to the editor
// first; clipboard and clear messages go through the editor's validating operations; text put
// into it has its line breaks made uniform.
class TqvCustomInnerMemo : public TqvInnerMemoBase {
  QJ_CLASS(TqvCustomInnerMemo, TqvInnerMemoBase)
 public:
  explicit TqvCustomInnerMemo(TComponent* AOwner);
  ~TqvCustomInnerMemo() override;

  TqvCustomInnerMemoHelper* GetHelper() const { return FHelper.get(); }
  // Sets the window text without handing it to the editor as its value.
  void SetTextInternally(const String& AText);

 protected:
  // The editor's scroll bars follow.
  void BoundsApplied(TqvCustomMemo* AContainer) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  // Tab reaches the editor only when its memo wants tabs.
  void KeyPress(char& Key) override;

 private:
  void WMKeyDown(TMessage& Message);
  void WMClipboard(TMessage& Message);
  void WMSetText(TMessage& Message);
  void EMReplaceSel(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void SetMargins();

  TOwned<TqvCustomInnerMemoHelper> FHelper;
  bool FInternalTextSetting = false;
};

// ---------------------------------------------------------------------------------------------
// Memo control

class TqvCustomMemo : public TqvCustomTextEdit {
  QJ_CLASS(TqvCustomMemo, TqvCustomTextEdit)
 public:
  explicit TqvCustomMemo(TComponent* AOwner, bool AIsInplace = false);
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomMemoProperties* GetProperties() const {
    return static_cast<TqvCustomMemoProperties*>(GetActiveProperties());
  }
  TqvCustomInnerMemo* GetInnerMemo() const;
  // The inner memo's lines; setting them assigns the lines.
  TStrings* GetLines() const;
  void SetLines(TStrings* Value);

  // Replaces the selection; a user's insertion is cut to the room MaxLength leaves beside the
  // text before and after the selection.
  void SetSelText(const String& AText) override;
  void ClearSelection() override;
  void CutToClipboard() override;
  void PropertiesChanged(TObject* Sender) override;
  // The container's own bars from the inner memo's native ones.
  void UpdateScrollBars() override;

 protected:
  friend class TqvCustomInnerMemo;

  void AdjustInnerEditPosition() override;
  // The inner memo in the view's background colour and the style's font.
  void AdjustInnerEditAppearance() override;
  void InnerEditChange(TObject* Sender) override;
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool CanPassActivationKey(char AKey) override { return AKey != '\r'; }
  IqvCustomInnerEdit* CreateInnerEdit() override;
  TqvInnerEditClass GetInnerEditClass() const override;
  bool CanShowInnerEdit() override;
  bool HasScrollBars() const override { return true; }
  void InitializeViewData(TqvCustomEditViewData* AViewData) override;
  TqvEditSizeProperties GetAutoSizeConstraints() override;
  void Loaded() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void Dispatch(TMessage& Message) override;

  // Posts the scroll-bar update, once until it runs.
  void PostScrollBarsUpdate();
  // The clear started by the inner memo's clear message.
  void ClearSelectionFromInnerMemo();
  // The editor is clearing the inner memo's selection.
  bool IsClearing() const { return FClearing; }
  // The inner memo's text became the editor's text by a replacement there.
  void InnerTextReplaced();

 private:
  bool FAdjustingInnerMemo = false;
  bool FClearingFromInnerMemo = false;
  bool FClearing = false;
  bool FScrollBarsUpdatePosted = false;
};

class TqvMemo : public TqvCustomMemo {
  QJ_CLASS(TqvMemo, TqvCustomMemo)
 public:
  using TqvCustomMemo::TqvCustomMemo;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvMemoProperties* GetProperties() const { return static_cast<TqvMemoProperties*>(GetActiveProperties()); }
  void SetProperties(TqvMemoProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryMemoItem : public TqvEditRepositoryItemOf<TqvMemoProperties> {
  QJ_CLASS(TqvEditRepositoryMemoItem, TqvEditRepositoryItemOf<TqvMemoProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
