// The image editor: a value that is a picture's bytes (bitmap, icon or JPEG image) shown as is
// with scroll bars, centred or stretched proportionally, with a context menu of clipboard
// commands, delete, load from and save to a file and one custom command; in a grid cell the
// picture is painted from the value without a control.
//
// Pictures come from data nobody checked (database values, files, the clipboard): every decode
// is bounded in pixels (qvMaxPictureSide, qvMaxPicturePixels) and bytes (qvMaxPictureDataSize)
// before anything of the picture's size is allocated, and a picture that a command brings in
// another format is converted to the editor's graphic class, or refused with a message, so that
// its value always reads back.
#pragma once

#include "editors/qvEdit.h"
#include "platform/forms/Graphics.h"

class TCustomImageList;
class TMenuItem;
class TPopupMenu;

enum TqvImageTransparency { gtDefault, gtOpaque, gtTransparent };

// The entries of the editor's context menu.
enum TqvPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TqvPopupMenuItems = Cardinal;
constexpr TqvPopupMenuItems pmiBit(TqvPopupMenuItem AItem) { return 1u << AItem; }
constexpr TqvPopupMenuItems pmiDefaultItems = pmiBit(pmiCut) | pmiBit(pmiCopy) | pmiBit(pmiPaste) |
                                              pmiBit(pmiDelete) | pmiBit(pmiLoad) | pmiBit(pmiSave);

// The largest picture decoded from a value, a file or the clipboard: a side and a pixel count
// (64 MB of pixels), and the most bytes of data read.
constexpr Integer qvMaxPictureSide = 16384;
constexpr Int64 qvMaxPicturePixels = Int64(1) << 24;
constexpr Int64 qvMaxPictureDataSize = Int64(64) << 20;

extern const TResourceString sqvImageMenuCut;
extern const TResourceString sqvImageMenuCopy;
extern const TResourceString sqvImageMenuPaste;
extern const TResourceString sqvImageMenuDelete;
extern const TResourceString sqvImageMenuLoad;
extern const TResourceString sqvImageMenuSave;
extern const TResourceString sqvImageCannotConvert;
extern const TResourceString sqvImageTooLarge;

// The graphic classes known by name: TBitmap, TIcon, TJPEGImage (the platform has no metafile
// class, so "TMetafile" is unknown). Case-insensitive; nullptr for an unknown name.
TGraphicClass FindGraphicClass(const String& AName);
// Whether a picture of ASize may be decoded.
bool IsPictureSizeAcceptable(const TSize& ASize);
// A graphic of AClass (TBitmap when nullptr) decoded from AData, after its header passed the
// bounds. Raises EInvalidGraphic for data of another format or a picture over the bounds.
TOwned<TGraphic> DecodeGraphic(const String& AData, TGraphicClass AClass);
// AGraphic as a graphic of AClass: a copy when it is one already, else converted (bitmaps and
// JPEG images from any picture; icons only from icons). Raises EInvalidGraphic with
// sqvImageCannotConvert when there is no conversion.
TOwned<TGraphic> ConvertGraphic(TGraphic* AGraphic, TGraphicClass AClass);

// Fills APicture from a value: only a string counts (after an optional 8-byte header: LE16 1,
// LE16 0x0100, LE32 length - 8); anything else, an empty string or data that does not decode
// (into AGraphicClass, or a bitmap without one) empties it. Never raises.
void LoadPictureFromValue(TPicture* APicture, const Variant& AValue, TGraphicClass AGraphicClass);
// The picture's bytes as a string; Null for an empty picture.
Variant PictureToValue(TPicture* APicture);

// The six glyphs of the context menu (cut, copy, paste, delete, load, save), shared by every
// image editor; made on first use.
TCustomImageList* GetImageMenuImages();

class TqvCustomImageProperties;

// Which context-menu entries show, and the caption and glyph of the custom one.
class TqvPopupMenuLayout : public TPersistent {
  QJ_CLASS(TqvPopupMenuLayout, TPersistent)
 public:
  explicit TqvPopupMenuLayout(TqvCustomImageProperties* AProperties) : FProperties(AProperties) {}
  ~TqvPopupMenuLayout() override;
  // The entries, the caption and the glyph.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TqvPopupMenuItems GetMenuItems() const { return FMenuItems; }
  void SetMenuItems(TqvPopupMenuItems Value);
  const String& GetCustomMenuItemCaption() const { return FCustomMenuItemCaption; }
  void SetCustomMenuItemCaption(const String& Value);
  // Made on first read.
  TBitmap* GetCustomMenuItemGlyph();
  TBitmap* FindCustomMenuItemGlyph() const { return FCustomMenuItemGlyph.get(); }
  // nullptr frees the glyph.
  void SetCustomMenuItemGlyph(TBitmap* Value);

 private:
  void Changed();

  TqvCustomImageProperties* FProperties;
  TqvPopupMenuItems FMenuItems = pmiDefaultItems;
  String FCustomMenuItemCaption;
  TOwned<TBitmap> FCustomMenuItemGlyph;
};

using TqvImageAssignPictureEvent = std::function<void(TObject* Sender, TPicture* Picture)>;

class TqvCustomImageProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomImageProperties, TqvCustomEditProperties)
 public:
  // A properties object not owned by an editor (a grid column, a repository item) takes
  // "TBitmap" as its graphic class name.
  explicit TqvCustomImageProperties(TPersistent* AOwner);
  ~TqvCustomImageProperties() override;
  // Caption, Center, CustomFilter, GraphicClassName, GraphicTransparency, PopupMenuLayout,
  // Stretch and the two events, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  bool CanValidate() const override { return true; }
  bool CanRevertEditValue() const override { return true; }
  // Empty for Null, else Caption.
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  TqvEditSupportedOperations GetSupportedOperations() const override;
  // Fires OnAssignPicture with the editor's picture.
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit) override;

  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);
  const String& GetCustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const String& Value);
  // The class set (nullptr: none).
  TGraphicClass GetGraphicClass() const { return FGraphicClass; }
  // Changed when it differs.
  void SetGraphicClass(TGraphicClass Value);
  // The stored name while designing or without a class, else the class's name.
  String GetGraphicClassName() const;
  // Stores the name (compared case-sensitively), looks the class up, Changed.
  void SetGraphicClassName(const String& Value);
  // An editor's own properties store a name that is not empty, others one that is not
  // "TBitmap" (letter case ignored).
  bool IsGraphicClassNameStored() const;
  TqvImageTransparency GetGraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TqvImageTransparency Value);
  TqvPopupMenuLayout* GetPopupMenuLayout() const { return FPopupMenuLayout.get(); }
  void SetPopupMenuLayout(TqvPopupMenuLayout* Value) { FPopupMenuLayout->Assign(Value); }
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool Value);
  // The focus frame of a focused standalone editor.
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  // The height of an empty value without a caption in a grid cell.
  Integer GetDefaultHeight() const { return FDefaultHeight; }

  TqvImageAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;

 private:
  bool IsOwnedByEdit() const;

  String FCaption;
  bool FCenter = true;
  String FCustomFilter;
  TGraphicClass FGraphicClass = nullptr;
  String FGraphicClassName;
  TqvImageTransparency FGraphicTransparency = gtDefault;
  TOwned<TqvPopupMenuLayout> FPopupMenuLayout;
  bool FStretch = false;
  bool FShowFocusRect = true;
  Integer FDefaultHeight = 15;
};

class TqvImageProperties : public TqvCustomImageProperties {
  QJ_CLASS(TqvImageProperties, TqvCustomImageProperties)
 public:
  using TqvCustomImageProperties::TqvCustomImageProperties;
};

// What an image is painted with: the picture (the editor's own, or one this view info decoded
// for a grid cell), the caption, the layout flags and the scroll offsets.
class TqvImageViewInfo : public TqvCustomEditViewInfo {
  QJ_CLASS(TqvImageViewInfo, TqvCustomEditViewInfo)
 public:
  TqvImageViewInfo() = default;
  ~TqvImageViewInfo() override;
  void Assign(TObject* Source) override;

  TPicture* GetPicture() const { return FPicture; }
  // A picture of the editor (not owned).
  void SetPicture(TPicture* APicture);
  // A picture of its own, decoded from a cell's value.
  TPicture* GetOwnPicture();
  // Where the picture goes in AContent (see qvImage.cpp).
  TRect GetDestination(const TRect& AContent) const;
  // The content rectangle: the client area less the scroll bars.
  TRect ContentRect;

  String Caption;
  bool Center = true;
  bool Stretch = false;
  bool ShowFocusRect = false;
  TFont* Font = nullptr;
  TPoint ScrollPos;  // the picture's offsets while scrolled

 protected:
  void Paint(TqvCanvas* ACanvas) override;

 private:
  void PaintPicture(TqvCanvas* ACanvas, TRect R);
  TPicture* FPicture = nullptr;
  TOwned<TPicture> FOwnPicture;
  TOwned<TBitmap> FBackground;  // a transparent graphic over the background colour
};

class TqvImageViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvImageViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;
  TqvCustomImageProperties* GetProperties() const {
    return static_cast<TqvCustomImageProperties*>(TqvCustomEditViewData::GetProperties());
  }
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // A grid cell's picture from its value.
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& AEditSizeProperties) override;

  // Set by a live editor: its picture and scroll offsets.
  TPicture* EditPicture = nullptr;
  TPoint ScrollPos;
};

// The image editor control.
class TqvCustomImage : public TqvCustomEdit {
  QJ_CLASS(TqvCustomImage, TqvCustomEdit)
 public:
  explicit TqvCustomImage(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomImage() override;
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomImageProperties* GetProperties() const {
    return static_cast<TqvCustomImageProperties*>(GetActiveProperties());
  }
  TqvImageViewInfo* GetViewInfo() const { return static_cast<TqvImageViewInfo*>(TqvCustomEdit::GetViewInfo()); }

  TPicture* GetPicture() const { return FPicture.get(); }
  // Copies Value.
  void SetPicture(TPicture* Value);
  // Null for an empty picture, else the picture's bytes.
  Variant GetEditValue() override;

  // -- Commands (each runs as the user's)
  void CopyToClipboard() override;
  void CutToClipboard() override;
  // Removes the picture when editing may start.
  void Clear() override;
  void PasteFromClipboard() override;
  // The open dialog; the chosen file replaces the picture.
  void LoadFromFile();
  // The save dialog for a picture that is not empty.
  void SaveToFile();
  virtual void CustomClick();
  // The properties' class, else the class named by GraphicClassName.
  virtual TGraphicClass GetGraphicClass();

  // The built-in context menu (nullptr until first shown), and its preparation before showing.
  TPopupMenu* GetImageMenu() const { return FImageMenu; }
  void UpdateImageMenu();
  // Also while a file dialog of the editor is open.
  bool IsEditFocused() override;
  TPoint GetScrollPos() const { return FScrollPos; }
  // The clipboard format of the picture commands.
  UINT GetClipboardFormat() const;

 protected:
  // -- Overrides of the editor base
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  void InitializeViewData(TqvCustomEditViewData* AViewData) override;
  bool CanAutoSize() override;
  bool CanAutoWidth() override { return true; }
  TqvEditSizeProperties GetAutoSizeConstraints() override;
  void PropertiesChanged(TObject* Sender) override;
  void Dispatch(TMessage& Message) override;

  // -- Scroll bars of the picture (the base control's, not mirrored from an inner control)
  bool HasScrollBars() const override { return true; }
  void UpdateScrollBars() override;
  // The client area less the visible scroll bars.
  TRect GetClientBounds() override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;

  // The picture's change event.
  virtual void PictureChanged(TObject* Sender);
  // Replaces the picture's graphic with AGraphic converted to the graphic class (the result of
  // a command).
  void AcceptGraphic(TGraphic* AGraphic);

 private:
  bool IsScrollable();
  // The largest scroll position each way: the picture less the page, never below 0.
  TSize ScrollLimit();
  bool CanModifyPicture();
  void BuildImageMenu();
  void ShowImageMenu(TPoint AScreenPoint);
  void MenuItemClick(TObject* Sender);
  // Runs a command with the user-command flag set.
  template <class F>
  void RunCommand(F ACommand);

  TOwned<TPicture> FPicture;
  TPopupMenu* FImageMenu = nullptr;
  bool FInternalEditValueSetting = false;
  bool FUserCommand = false;
  bool FDialogOpen = false;
  bool FPictureChanging = false;
  TPoint FScrollPos;
};

class TqvImage : public TqvCustomImage {
  QJ_CLASS(TqvImage, TqvCustomImage)
 public:
  using TqvCustomImage::TqvCustomImage;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvImageProperties* GetProperties() const { return static_cast<TqvImageProperties*>(GetActiveProperties()); }
  void SetProperties(TqvImageProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryImageItem : public TqvEditRepositoryItemOf<TqvImageProperties> {
  QJ_CLASS(TqvEditRepositoryImageItem, TqvEditRepositoryItemOf<TqvImageProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
