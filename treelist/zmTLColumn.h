// Columns of the tree list with columns, and the edit style of its in-place editors.
//
// A column is a component (owned by a form, usually) that belongs to one control. It carries the
// appearance and editing settings of its cells, chooses and configures the editor class that
// edits them, moves a node's text into the editor and back, and fills the view data with which
// that editor class draws a cell without a live editor. Six settings and the maximum length are
// either assigned on the column or taken from a default (the column's or the control's).
#pragma once

#include <functional>

#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"

class TCustomzmTreeListControl;
class TBitmap;

// The settings a column may have assigned (a set of these flags).
enum TzmColumnAssignedValue : Byte {
  zmcvAlignment = 1u << 0,
  zmcvCaption = 1u << 1,
  zmcvReadOnly = 1u << 2,
  zmcvWidth = 1u << 3,
  zmcvColor = 1u << 4,
  zmcvFont = 1u << 5,
  zmcvMaxLength = 1u << 6,
};
using TzmColumnAssignedValues = Byte;

class TzmTreeListColumn;

using TzmTLCustomDrawCell = std::function<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode, TzmTreeListColumn* AColumn,
    bool ASelected, bool AFocused, bool ANewItemRow, String& AText, TColor& AColor, TFont* AFont,
    TAlignment& AAlignment, bool& ADone)>;
using TzmTLCustomDrawHeader =
    std::function<void(TObject* Sender, TzmTreeListColumn* AColumn, TCanvas* ACanvas, const TRect& ARect,
                       String& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                       TzmTreeListColumnSort& ASorted, bool& ADone)>;

// The button style of the tree list's editors for a frame look: 3D, flat or hot flat.
TzmEditButtonViewStyle zmTreeListButtonStyle(TzmTreeListFrameLook Look);

// The edit style of the tree list's in-place editors: the values they do not set come from the
// tree list (no border over a grid, a single one without; buttons by the frame look).
class TzmTreeListEditStyle : public TzmEditStyle {
  QJ_CLASS(TzmTreeListEditStyle, TzmEditStyle)
 public:
  TzmTreeListEditStyle(TzmInplaceEdit* AEdit, TCustomzmTreeList* ATreeList) : TzmEditStyle(AEdit), FTreeList(ATreeList) {}
  TCustomzmTreeList* GetTreeList() const { return FTreeList; }

 protected:
  TColor DefaultBorderColor() const override { return clWindowFrame; }
  TzmEditBorderStyle DefaultBorderStyle() const override;
  TzmEditButtonViewStyle DefaultButtonStyle() const override;
  TzmEditButtonTransparence DefaultButtonTransparence() const override {
    return TzmEditButtonTransparence::ebtNone;
  }
  TzmEditEdges DefaultEdges() const override { return zmAllEdges; }
  bool DefaultHotTrack() const override { return false; }
  bool DefaultShadow() const override { return false; }

 private:
  TCustomzmTreeList* FTreeList;
};

class TzmTreeListColumn : public TComponent {
 public:
  using MetaType = TMetaClassFor<TzmTreeListColumn, TComponent*>;
  QJ_CLASS(TzmTreeListColumn, TComponent)
  friend class TCustomzmTreeListControl;

 public:
  explicit TzmTreeListColumn(TComponent* AOwner);
  ~TzmTreeListColumn() override;
  // The view data comes from the editor class (a virtual choice, hence after construction).
  void AfterConstruction() override;
  // Takes the column's strings out of the nodes and leaves the control.
  void BeforeDestruction() override;

  // Copies every setting of another column, inside the control's update bracket.
  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();

  TCustomzmTreeListControl* GetTreeList() const { return FTreeList; }
  void SetTreeList(TCustomzmTreeListControl* Value);
  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void SetName(const String& NewName) override;

  // Value flow between node and editor
  virtual TzmInplaceEditClass GetEditorClass();
  // Read-only state, change and validation handlers, and the text settings of a text editor.
  virtual void InitEditor(TzmInplaceEdit* Edit);
  // The node's text into the editor; Value is the text read back (case and limit applied).
  virtual void InitEditValue(TzmTreeListNode* Node, TzmInplaceEdit* Edit, Variant& Value);
  // A text editor's text into the node; Value is then the node's value.
  virtual void StoreEditValue(TzmTreeListNode* Node, TzmInplaceEdit* Edit, Variant& Value);
  virtual bool CanEditCell() { return !FDisableEditor; }
  virtual void GetDisplayText(TzmTreeListNode* Node, String& Text);
  virtual void GetEditText(const Variant& Value, const String& Text, String& Result);

  // Drawing and layout
  // Fills the editor view data that draws a cell from the control's cell view data.
  virtual void PrepareViewData(TzmEditViewData* ViewData, TzmTreeListCellViewData* Cell);
  TzmEditViewData* GetViewData() const { return FViewData.get(); }
  virtual bool HasCustomDrawCell() { return static_cast<bool>(OnCustomDrawCell); }
  virtual void DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TzmTreeListNode* ANode, bool ASelected,
                                bool AFocused, bool ANewItemRow, String& AText, TColor& AColor, TFont* AFont,
                                TAlignment& AAlignment, bool& ADone);
  // The width of the node's text in the column's character case.
  virtual Integer GetBestFitWidth(TCanvas* Canvas, TzmTreeListNode* Node);
  virtual Integer GetLineHeight(TCanvas*) { return 0; }
  virtual Integer GetExtraHeight() { return 0; }
  virtual void GetHotCursor(TCursor&) {}
  virtual bool IsHotCell() { return false; }
  virtual bool CanMouseEdit() { return false; }
  virtual bool CanHeaderDropDown();
  // The position in the control's column list, -1 without a control.
  virtual Integer GetIndex();
  // Moves the column (and every node's string of it) to NewIndex, clamped.
  virtual void SetIndex(Integer NewIndex);
  // The position among the control's sorted columns, -1 when not sorted.
  Integer SortedIndex() const;
  TzmTreeListNode* GetCurrentNode() const { return FCurrentNode; }
  void SetCurrentNode(TzmTreeListNode* Value) { FCurrentNode = Value; }

  // Settings (effective values: assigned, else the default)
  TzmColumnAssignedValues GetAssignedValues() const { return FAssignedValues; }
  bool IsAssigned(TzmColumnAssignedValue Value) const { return (FAssignedValues & Value) != 0; }
  TAlignment GetAlignment();
  void SetAlignment(TAlignment Value);
  String GetCaption();
  void SetCaption(const String& Value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TColor GetColor() const;
  void SetColor(TColor Value);
  bool GetDisableCaption() const { return FDisableCaption; }
  void SetDisableCaption(bool Value);
  bool GetDisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool Value);
  bool GetDisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool Value) { FDisableDragging = Value; }
  bool GetDisableEditor() const { return FDisableEditor; }
  void SetDisableEditor(bool Value) { FDisableEditor = Value; }
  bool GetDisableHeaderButton() const { return FDisableHeaderButton; }
  void SetDisableHeaderButton(bool Value);
  // Made on first read as a copy of the control's font, which it follows while not assigned.
  TFont* GetFont();
  void SetFont(TFont* Value);
  TAlignment GetHeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment Value);
  // An empty bitmap is made on first read.
  TBitmap* GetHeaderGlyph();
  bool HasHeaderGlyph() const { return static_cast<bool>(FHeaderGlyph); }
  // nullptr drops the glyph; otherwise the column takes a copy.
  void SetHeaderGlyph(TBitmap* Value);
  Integer GetMaxLength();
  void SetMaxLength(Integer Value);
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetReadOnly();
  void SetReadOnly(bool Value);
  bool GetSizing() const { return FSizing; }
  void SetSizing(bool Value);
  TzmTreeListColumnSort GetSorted() const { return FSorted; }
  void SetSorted(TzmTreeListColumnSort Value);
  Integer GetSortedOrder() const { return FSortedOrder; }
  void SetSortedOrder(Integer Value) { FSortedOrder = Value; }
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  TTextLayout GetVertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TTextLayout Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  Integer GetWidth() const { return FWidth; }
  // Never below MinWidth; the default width stays unassigned.
  void SetWidth(Integer Value);
  Integer GetBandIndex() const { return FBandIndex; }
  void SetBandIndex(Integer Value);
  Integer GetRowIndex() const;
  void SetRowIndex(Integer Value);
  Integer GetStoredRowIndex() const { return FStoredRowIndex; }
  void SetStoredRowIndex(Integer Value) { FStoredRowIndex = Value; }
  // The position among the visible columns of the same band and header row.
  Integer GetColIndex() const;
  void SetColIndex(Integer Value);
  Integer GetHeaderMaxLineCount() const { return FHeaderMaxLineCount; }
  void SetHeaderMaxLineCount(Integer Value);

  TNotifyEvent OnChange;
  TzmTLCustomDrawCell OnCustomDrawCell;
  TzmTLCustomDrawHeader OnCustomDrawColumnHeader;
  TzmEditValidateEvent OnValidate;
  TNotifyEvent OnNameChanged;

 protected:
  virtual void DoChange();
  virtual void DoValidate(String& ErrorText, bool& Accept);
  virtual void FontChanged();
  virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
  virtual String GetDefaultCaption() { return String(); }
  virtual Integer GetDefaultMaxLength() { return 0; }
  virtual bool GetDefaultReadOnly() { return false; }
  virtual Integer GetDefaultWidth() { return 100; }
  // The control's column-changed handling: the whole layout (LayoutOnly) or this column.
  void Changed(bool LayoutOnly);
  // Puts the default width back unless a width is assigned.
  void ApplyDefaultWidth();
  // Copies the settings other than the assigned values (and the mask column's mask).
  virtual void AssignSettings(TzmTreeListColumn* Source);

 private:
  template <class T>
  void StoreAssigned(TzmColumnAssignedValue Bit, T& Field, T Value);
  void FollowControlFont();
  void LeaveTreeList();

  TCustomzmTreeListControl* FTreeList = nullptr;
  TAlignment FAlignment = taLeftJustify;
  String FCaption;
  TEditCharCase FCharCase = ecNormal;
  TColor FColor = clWindow;
  bool FDisableCaption = false;
  bool FDisableCustomizing = false;
  bool FDisableEditor = false;
  bool FDisableDragging = false;
  TOwned<TFont> FFont;
  TAlignment FHeaderAlignment = taLeftJustify;
  TOwned<TBitmap> FHeaderGlyph;
  Integer FMaxLength = 0;
  Integer FMinWidth = 20;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  Integer FSortedOrder = -1;
  bool FSizing = true;
  bool FTabStop = true;
  TTextLayout FVertAlignment = tlTop;
  bool FVisible = true;
  Integer FWidth = 100;
  TzmColumnAssignedValues FAssignedValues = 0;
  Integer FBandIndex = 0;
  Integer FRowIndex = 0;
  Integer FHeaderMaxLineCount = 1;
  Integer FStoredRowIndex = 0;
  TOwned<TzmEditViewData> FViewData;
  bool FDisableHeaderButton = false;
  TzmTreeListColumnSort FSorted = TzmTreeListColumnSort::csNone;
  TzmTreeListNode* FCurrentNode = nullptr;
  bool FCopyingControlFont = false;
};

using TzmTreeListColumnClass = const TzmTreeListColumn::MetaType*;

// A column edited through an edit mask.
class TzmTreeListMaskColumn : public TzmTreeListColumn {
  QJ_CLASS(TzmTreeListMaskColumn, TzmTreeListColumn)
 public:
  using TzmTreeListColumn::TzmTreeListColumn;

  void RestoreDefaults() override;
  TzmInplaceEditClass GetEditorClass() override;
  void InitEditor(TzmInplaceEdit* Edit) override;

  const String& GetEditMask() const { return FEditMask; }
  void SetEditMask(const String& Value) { FEditMask = Value; }
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }

 protected:
  void AssignSettings(TzmTreeListColumn* Source) override;

 private:
  String FEditMask;
  bool FIgnoreMaskBlank = false;
};
