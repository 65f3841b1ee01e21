// The editor framework: editor properties (the settings of an editor kind, kept apart from any
// control so that one object drives a standalone editor, every cell of a grid column, the
// pooled in-place editor and a repository item), with their edit buttons, alignment, assigned
// values and default values provider.
//
// Class-level operations of the properties family (the classes of the companion objects) live
// in the family's metaclass record, so they answer for the most derived class through a class
// reference as well as through an object, also while an object is being built. A descendant
// replaces one by declaring a static hook of the same name (see TqvEditPropertiesMetaClass).
// The parts of construction that ask the most derived class run in AfterConstruction, so
// properties are made through New, MakeOwned or their metaclass's Create.
//
// The paint model: an edit style (the container style plus the edit buttons' look and the
// drop-down frame), a view data that calculates a view info for bounds and a mouse state, and
// the view info that paints an editor and repaints what changed, all without a control.
//
// Where the parts live: qvEditProperties.cpp (properties, buttons, alignment, values,
// provider), qvEditStyle.cpp (edit style and controller), qvEditViewData.cpp (view data),
// qvEditViewInfo.cpp (view infos), qvEditControl.cpp (the editor control), qvEditInplace.cpp
// (in-place edit list, edit data, data binding), qvEditRepository.cpp (repository, items, the
// registry of editor kinds).
#pragma once

#include <exception>
#include <functional>
#include <vector>

#include "core/qvClasses.h"
#include "lookandfeel/qvContainer.h"
#include "lookandfeel/qvGraphics.h"
#include "platform/rtl/Collection.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/Variants.h"

class TqvCustomEdit;
class TqvCustomEditProperties;
struct TqvCustomEditMetaClass;
using TqvCustomEditClass = const TqvCustomEditMetaClass*;
class TqvCustomEditStyle;
class TqvCustomEditViewData;
class TqvCustomEditViewInfo;
class TWinControl;

using TqvCustomEditViewDataClass =
    const TMetaClassFor<TqvCustomEditViewData, TqvCustomEditProperties*, TqvCustomEditStyle*, bool>*;
// Edit view infos are container view infos; the class made is an edit view info.
using TqvCustomEditViewInfoClass = TqvContainerViewInfoClass;
// Edit styles are container styles; the class made is an edit style.
using TqvCustomEditStyleClass = TqvContainerStyleClass;

// ---------------------------------------------------------------------------------------------
// Small types

enum TqvEditButtonKind { bkEllipsis, bkDown, bkGlyph };
enum TqvEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

// The frame of an editor, in the order of the container's border styles.
enum TqvEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat };
enum TqvEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat };
enum TqvEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TqvEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
// The state an edit button is painted in.
enum TqvEditButtonState { ebbsDisabled, ebbsNormal, ebbsPressed, ebbsHot };

// What an editor kind's values support; grids test the bits.
using TqvEditSupportedOperations = Cardinal;
constexpr TqvEditSupportedOperations esoHotTrack = 0x01,  // cells react to the mouse without an editor
    esoAutoHeight = 0x02, esoFiltering = 0x04, esoHorzAlignment = 0x08, esoButtons = 0x10, esoIncSearch = 0x20,
    esoSorting = 0x40, esoSortingByDisplayText = 0x80;

// What an editor is measured for: at most MaxLineCount rows (0: any) within Width pixels (-1: any).
struct TqvEditSizeProperties {
  Integer MaxLineCount = 0;
  Integer Width = -1;
};

// Where an editor's edit value comes from.
enum TqvEditValueSource { evsValue, evsText, evsKey };

// The provider's display format: bit 0 applies it, bit 1 asks for the format outside editing.
using TqvEditDisplayFormatOptions = Cardinal;
constexpr TqvEditDisplayFormatOptions dfoUseProviderFormat = 0x1, dfoProviderFormatNotEditing = 0x2;

enum TqvEditErrorKind { ekDefault, ekValueOutOfBounds };

// The kinds of large values a data field holds (the blob editor's kind follows it).
enum class TqvBlobKind { None, Blob, Graphic, Memo, Ole };

using TqvEditValidateEvent =
    std::function<void(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error)>;
using TqvEditButtonClickEvent = std::function<void(TObject* Sender, Integer AButtonIndex)>;

extern const TResourceString sqvEditInvalidInputValue;

// ---------------------------------------------------------------------------------------------
// Alignment

// A horizontal alignment that knows whether it was assigned, and a vertical one. A change calls
// back the owner.
class TqvEditAlignment : public TPersistent {
  QJ_CLASS(TqvEditAlignment, TPersistent)
 public:
  explicit TqvEditAlignment(TqvCustomEditProperties* AOwner, TNotifyEvent AOnChanged = nullptr)
      : FOwner(AOwner), FOnChanged(std::move(AOnChanged)) {}

  // Copies Vert, Horz and whether Horz was assigned; then calls back.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TAlignment GetHorz() const { return FHorz; }
  // Marks Horz assigned and calls back, also for the current value.
  void SetHorz(TAlignment Value);
  TqvEditVertAlignment GetVert() const { return FVert; }
  // Calls back only for a different value.
  void SetVert(TqvEditVertAlignment Value);
  bool IsHorzAssigned() const { return FHorzAssigned; }
  // Stored values: Horz while assigned, Vert when not top.
  bool IsHorzStored() const { return FHorzAssigned; }
  bool IsVertStored() const { return FVert != taTopJustify; }
  // Some value differs from the unassigned state.
  bool IsAssigned() const { return FHorzAssigned || IsVertStored(); }

 private:
  friend class TqvCustomEditProperties;
  void Changed();
  // Shows a default without marking Horz assigned (the effective alignment's view).
  void ShowDefaultHorz(TAlignment Value) { FHorz = Value; }

  TAlignment FHorz = taLeftJustify;
  bool FHorzAssigned = false;
  TqvCustomEditProperties* FOwner;
  TqvEditVertAlignment FVert = taTopJustify;
  TNotifyEvent FOnChanged;
};

// ---------------------------------------------------------------------------------------------
// Edit buttons

class TqvEditButton : public TCollectionItem {
  QJ_CLASS(TqvEditButton, TCollectionItem)
 public:
  explicit TqvEditButton(TCollection* Collection) : TCollectionItem(Collection) {}
  ~TqvEditButton() override;
  // The first button of a collection made while its owner is designed becomes the default one.
  void AfterConstruction() override;
  // Copies Default, Glyph, Kind, LeftAlignment, Visible and Width in one collection update.
  void Assign(TPersistent* Source) override;

  bool GetDefault() const { return FDefault; }
  // True clears Default on the other buttons of the collection first.
  void SetDefault(bool Value);
  // The glyph bitmap, made on first read.
  TBitmap* GetGlyph();
  // The glyph when one was made, else nullptr.
  TBitmap* FindGlyph() const { return FGlyph.get(); }
  // Copies Value; nullptr frees the glyph.
  void SetGlyph(TBitmap* Value);
  TqvEditButtonKind GetKind() const { return FKind; }
  void SetKind(TqvEditButtonKind Value);
  bool GetLeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // 0: the painter's default width.
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value);

 private:
  friend class TqvEditButtons;
  void GlyphChanged(TObject* Sender);
  template <class T>
  void SetValue(T& AField, T AValue);

  bool FDefault = false;
  TOwned<TBitmap> FGlyph;
  TqvEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FVisible = true;
  Integer FWidth = 0;
};

class TqvEditButtons : public TOwnedCollection {
  QJ_CLASS(TqvEditButtons, TOwnedCollection)
 public:
  TqvEditButtons(TPersistent* AOwner, TNotifyEvent AOnChange = nullptr);

  TqvEditButton* Add() { return static_cast<TqvEditButton*>(TCollection::Add()); }
  // Raises EListError for a bad index.
  TqvEditButton* GetItem(Integer Index) const { return static_cast<TqvEditButton*>(TCollection::GetItem(Index)); }
  Integer VisibleCount() const;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TNotifyEvent FOnChange;
};

// ---------------------------------------------------------------------------------------------
// Assigned values of the optional properties

class TqvCustomEditPropertiesValues : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvCustomEditPropertiesValues, TPersistent*>;
  QJ_CLASS(TqvCustomEditPropertiesValues, TPersistent)

 public:
  explicit TqvCustomEditPropertiesValues(TPersistent* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return FOwner; }
  // Everything unassigned.
  virtual void RestoreDefaults();

  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

 private:
  TPersistent* FOwner;
  bool FReadOnly = false;
};
using TqvCustomEditPropertiesValuesClass = const TqvCustomEditPropertiesValues::MetaType*;

// ---------------------------------------------------------------------------------------------
// Default values provider: defaults that a data binding supplies from its data

class IqvEditDefaultValuesProvider : public virtual IInterface {
 public:
  // Fires the provider's change event.
  virtual void DefaultValuesChanged() = 0;
  // Detaches the provider from every properties object.
  virtual void ClearUsages() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual TqvBlobKind DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual String DefaultDisplayFormat() = 0;
  virtual String DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual TNotifyEvent GetOnChanged() = 0;
  virtual bool IsDataAware() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsDisplayFormatDefined(bool AIsEditing) = 0;
  virtual bool IsValidChar(char AChar) = 0;
  virtual void SetOnChanged(TNotifyEvent AValue) = 0;
};

// The neutral provider: no data behind it. Freeing it detaches it from every properties object.
class TqvCustomEditDefaultValuesProvider : public TqvInterfacedPersistent, public IqvEditDefaultValuesProvider {
  QJ_CLASS(TqvCustomEditDefaultValuesProvider, TqvInterfacedPersistent)
 public:
  explicit TqvCustomEditDefaultValuesProvider(TPersistent* AOwner) : TqvInterfacedPersistent(AOwner) {}
  ~TqvCustomEditDefaultValuesProvider() override;

  void DefaultValuesChanged() override;
  void ClearUsages() override;
  TAlignment DefaultAlignment() override { return taLeftJustify; }
  TqvBlobKind DefaultBlobKind() override { return TqvBlobKind::Memo; }
  bool DefaultCanModify() override { return true; }
  String DefaultDisplayFormat() override { return String(); }
  String DefaultEditMask() override { return String(); }
  bool DefaultIsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0.0; }
  double DefaultMinValue() override { return 0.0; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  TNotifyEvent GetOnChanged() override { return FOnChanged; }
  bool IsDataAware() override { return false; }
  bool IsBlob() override { return false; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsValidChar(char) override { return true; }
  void SetOnChanged(TNotifyEvent AValue) override { FOnChanged = std::move(AValue); }

 private:
  TNotifyEvent FOnChanged;
};

// ---------------------------------------------------------------------------------------------
// Editor properties

// The metaclass record of the properties family: a factory and the class-level operations.
// Make<Cls> takes each operation from Cls's static hook of the same name, so a class that does
// not declare a hook answers as its parent does.
struct TqvEditPropertiesMetaClass : TMetaClassFor<TqvCustomEditProperties, TPersistent*> {
  using TFactory = TMetaClassFor<TqvCustomEditProperties, TPersistent*>;

  TqvCustomEditPropertiesValuesClass (*GetPropertiesValuesClass)() = nullptr;
  TqvCustomEditStyleClass (*GetStyleClass)() = nullptr;
  TqvCustomEditViewDataClass (*GetViewDataClass)() = nullptr;
  TqvCustomEditViewInfoClass (*GetViewInfoClass)() = nullptr;
  TqvCustomEditClass (*GetContainerClass)() = nullptr;

  template <class Cls>
  static TqvEditPropertiesMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvEditPropertiesMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetPropertiesValuesClass = &Cls::PropertiesValuesClass;
    m.GetStyleClass = &Cls::StyleClass;
    m.GetViewDataClass = &Cls::ViewDataClass;
    m.GetViewInfoClass = &Cls::ViewInfoClass;
    m.GetContainerClass = &Cls::ContainerClass;
    return m;
  }
};
using TqvCustomEditPropertiesClass = const TqvEditPropertiesMetaClass*;

class TqvCustomEditProperties : public TqvInterfacedPersistent {
 public:
  using MetaType = TqvEditPropertiesMetaClass;
  QJ_CLASS(TqvCustomEditProperties, TqvInterfacedPersistent)

 public:
  explicit TqvCustomEditProperties(TPersistent* AOwner);
  ~TqvCustomEditProperties() override;
  // Makes the assigned values of the class's values class and takes the class's default
  // left alignment while editing.
  void AfterConstruction() override;
  // Copies the common settings from other properties in one update (one Changed at the end);
  // OnPropertiesChanged and the owner stay.
  void Assign(TPersistent* Source) override;

  // Class-level hooks (see TqvEditPropertiesMetaClass).
  static TqvCustomEditPropertiesValuesClass PropertiesValuesClass();
  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  // The editor control of this kind.
  static TqvCustomEditClass ContainerClass();

  // Class-level operations of this object's class.
  const TqvEditPropertiesMetaClass& GetClassInfo() const {
    return *static_cast<const TqvEditPropertiesMetaClass*>(ClassType());
  }
  TqvCustomEditPropertiesValuesClass GetPropertiesValuesClass() const {
    return GetClassInfo().GetPropertiesValuesClass();
  }
  TqvCustomEditStyleClass GetStyleClass() const { return GetClassInfo().GetStyleClass(); }
  TqvCustomEditViewDataClass GetViewDataClass() const { return GetClassInfo().GetViewDataClass(); }
  TqvCustomEditViewInfoClass GetViewInfoClass() const { return GetClassInfo().GetViewInfoClass(); }
  TqvCustomEditClass GetContainerClass() const { return GetClassInfo().GetContainerClass(); }
  // A view data of the class's view data class for AStyle.
  TOwned<TqvCustomEditViewData> CreateViewData(TqvCustomEditStyle* AStyle, bool AIsInplace);
  // The size an editor of these properties needs for AEditValue, measured without a control.
  TSize GetEditSize(TqvCanvas* ACanvas, TqvCustomEditStyle* AStyle, bool AIsInplace, const Variant& AEditValue,
                    const TqvEditSizeProperties& ASizeProperties);

  // -- Change notification
  // Suppressed while the update count or the changed-locked flag is set, and while the owning
  // component is being destroyed; otherwise OnPropertiesChanged.
  virtual void Changed();
  void BeginUpdate() { ++FUpdateCount; }
  // Nothing without a matching BeginUpdate; the last one calls Changed when asked.
  void EndUpdate(bool AInvokeChanged = true);
  bool IsChangedLocked() const { return FChangedLocked || FUpdateCount > 0; }
  // Only sets the flag: callers reconfiguring the properties clear it without a notification.
  void SetChangedLocked(bool Value) { FChangedLocked = Value; }

  // -- Alignment
  // The effective alignment, recomputed on every read: the assigned values, Horz from
  // GetDefaultHorzAlignment when not assigned. While the owning component is written to a
  // stream only the assigned values show. A write through the returned object reaches the
  // assigned alignment and calls Changed.
  TqvEditAlignment* GetAlignment();
  virtual void SetAlignment(TqvEditAlignment* Value);
  // The alignment values that were assigned explicitly.
  const TqvEditAlignment* GetAssignedAlignment() const { return FAssignedAlignment.get(); }
  virtual TAlignment GetDefaultHorzAlignment();

  // -- Read-only state
  // The own value while assigned, else the provider's default.
  bool GetReadOnly();
  void SetReadOnly(bool Value);
  // The properties' half of an editor's CanModify.
  bool CanModify();

  // -- Settings
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value);
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TqvEditButtons* GetButtons() const { return FButtons.get(); }
  void SetButtons(TqvEditButtons* Value) { FButtons->Assign(Value); }
  TShortCut GetClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut Value) { FClearKey = Value; }
  TShortCut GetClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value) { FClickKey = Value; }
  bool GetImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool Value) { FImmediatePost = Value; }
  bool GetUseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool IsUseLeftAlignmentOnEditingStored() const {
    return FUseLeftAlignmentOnEditing != GetDefaultUseLeftAlignmentOnEditing();
  }
  bool GetUseMouseWheel() const { return FUseMouseWheel; }
  void SetUseMouseWheel(bool Value) { FUseMouseWheel = Value; }
  bool GetValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }
  TqvCustomEditPropertiesValues* GetAssignedValues() const { return FAssignedValues.get(); }
  bool IsReadOnlyStored() const { return FAssignedValues->GetReadOnly(); }

  // -- Default values provider
  IqvEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider; }
  void SetDefaultValuesProvider(IqvEditDefaultValuesProvider* Value);
  void DefaultValuesChangedHandler(TObject* Sender);
  bool IsProviderDisplayFormatUsed();

  // -- Values, texts and validation
  virtual bool CanValidate() const { return false; }
  virtual bool CanCompareEditValue() const { return false; }
  virtual bool GetDefaultUseLeftAlignmentOnEditing() const { return true; }
  // Drops references to a component that is being freed.
  virtual void FreeNotification(TComponent*) {}
  virtual TqvEditDisplayFormatOptions GetDisplayFormatOptions() const { return 0; }
  virtual void GetValidateErrorText(TqvEditErrorKind AErrorKind, TCaption& AText);
  virtual bool IsDisplayFormatDefined(bool AIsEditing) const;
  virtual bool IsValueChangeNotifiedByText() const { return false; }
  virtual bool WantsTabKey() const { return false; }
  virtual bool WantsNavigationKeys() const { return false; }
  // The text a value shows without a control.
  virtual String GetDisplayText(const Variant& AEditValue, bool AFullText = false);
  virtual TqvEditSupportedOperations GetSupportedOperations() const;
  virtual bool IsEditValueValid(Variant& AEditValue, bool AEditFocused);
  virtual bool CanRevertEditValue() const { return false; }
  // The values are keys of a list whose texts the editor shows (the footer menu offers only a
  // count for such items).
  virtual bool IsLookupEditProperties() const { return false; }
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused);
  // Copies state collected while editing into other properties.
  virtual void UpdateProperties(TqvCustomEditProperties*) {}
  // Fills the default error text and lets OnValidate (with AEdit as Sender) change the value,
  // the text and the error flag. Never raises: the editor acts on AError.
  virtual void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, TObject* AEdit);
  virtual TqvEditValueSource GetEditValueSource(bool AEditFocused) const;

  TqvEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TNotifyEvent OnEditValueChanged;
  TqvEditValidateEvent OnValidate;
  // The change callback of whoever uses the properties; not copied by Assign.
  TNotifyEvent OnPropertiesChanged;

 protected:
  virtual void AlignmentChanged(TObject* Sender);
  virtual void ButtonsChanged(TObject* Sender);
  // The setter of a plain setting of a kind: stores AValue and calls Changed when it differs.
  template <class T>
  void SetValue(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }

 private:
  friend class TqvCustomEditDefaultValuesProvider;
  // The nearest component up the owner chain.
  TComponent* FindOwnerComponent();

  bool FAutoSelect = true;
  bool FBeepOnError = false;
  TOwned<TqvEditButtons> FButtons;
  TShortCut FClearKey = 0;
  TShortCut FClickKey = scCtrl | VK_RETURN;
  bool FImmediatePost = false;
  TOwned<TqvEditAlignment> FAssignedAlignment;
  bool FReadOnly = false;
  Integer FUpdateCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FUseMouseWheel = true;
  bool FValidateOnEnter = false;
  TOwned<TqvEditAlignment> FAlignment;
  TOwned<TqvCustomEditPropertiesValues> FAssignedValues;
  bool FChangedLocked = false;
  IqvEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Paint model of an edit button

// One visible edit button as the edit painting draws it: a plain record that the view data
// fills and the painting reads.
class TqvEditButtonViewInfo : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvEditButtonViewInfo>;
  QJ_CLASS(TqvEditButtonViewInfo, TPersistent)

 public:
  TqvEditButtonViewInfo() = default;
  // Copies what painting and repainting compare.
  void Assign(TPersistent* Source) override;
  // Bounds when this button looks different from AButtonViewInfo, else an empty region.
  virtual TOwned<TqvRegion> GetUpdateRegion(const TqvEditButtonViewInfo* AButtonViewInfo) const;
  // Invalidates Bounds moved by AOffset in AControl (erasing when Erase is set) when this
  // button looks different from AOldButtonViewInfo; true when it did.
  virtual bool Repaint(TWinControl* AControl, const TqvEditButtonViewInfo* AOldButtonViewInfo, const TPoint& AOffset);
  // Style, state, background colour or theme state differ.
  bool LooksDifferent(const TqvEditButtonViewInfo* AOther) const;
  // The theme paints it.
  bool IsNativePainted() const { return NativeState != 0; }

  TRect Bounds;
  TColor BackgroundColor = clWindow;
  bool Default = false;
  bool IsInplace = false;
  TqvEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool FirstInGroup = false;  // the leftmost button of its group
  bool NativeStyle = false;
  bool LastInGroup = false;  // the rightmost button of its group
  TqvEditButtonState State = ebbsNormal;
  TqvEditButtonStyle Style = btsDefault;
  bool Transparent = false;
  bool NativeTransparent = false;  // the theme part has transparent areas
  bool IsSingleDropDown = false;   // the editor's one visible button, of kind bkDown
  Integer NativePart = 0;          // 0: not painted by the theme
  Integer NativeState = 0;
  TBitmap* Glyph = nullptr;  // the button's own
  bool Erase = false;        // invalidating it erases the background
  Integer ButtonIndex = -1;
  TRect VisibleBounds;  // the part that fits into the editor
  Integer Width = 0;
};
using TqvEditButtonViewInfoClass = const TqvEditButtonViewInfo::MetaType*;

// ---------------------------------------------------------------------------------------------
// Edit style and style controller

// The edit values continue the container style's numbering.
constexpr TqvContainerStyleValue svButtonStyle = 8, svButtonTransparency = 9, svPopupBorderStyle = 10;

// The container style plus how edit buttons look, when they are transparent or hidden, and the
// frame of the drop-down window. Each edit value is assigned here or inherited along the
// controller chain, else a default; an in-place style knows only its own values.
class TqvCustomEditStyle : public TqvContainerStyle {
  QJ_CLASS(TqvCustomEditStyle, TqvContainerStyle)
 public:
  TqvCustomEditStyle(TPersistent* AOwner, bool AIsInplace) : TqvContainerStyle(AOwner, AIsInplace) {}
  // From another edit style: the edit values and PopupCloseButton, then the container's values,
  // reported once.
  void Assign(TPersistent* Source) override;
  // The edit values: found along the chain.
  bool IsValueAssigned(TqvContainerStyleValue Value) const override;
  Integer GetStyleValueCount() const override { return 11; }
  bool GetStyleValueName(TqvContainerStyleValue Index, String& Name) const override;

  virtual TqvEditButtonStyle DefaultButtonStyle() const { return btsDefault; }
  virtual TqvEditButtonTransparency DefaultButtonTransparency() const { return ebtNone; }
  virtual TqvEditPopupBorderStyle DefaultPopupBorderStyle() const { return epbsDefault; }

  // The container's border style in the editors' terms.
  TqvEditBorderStyle GetBorderStyle() const { return TqvEditBorderStyle(inherited::GetBorderStyle()); }
  void SetBorderStyle(TqvEditBorderStyle Value) { inherited::SetBorderStyle(TqvContainerBorderStyle(Value)); }
  TqvEditButtonStyle GetButtonStyle() const;
  // Assigns and reports, unless the value is assigned and equal already.
  void SetButtonStyle(TqvEditButtonStyle Value);
  TqvEditButtonTransparency GetButtonTransparency() const;
  void SetButtonTransparency(TqvEditButtonTransparency Value);
  TqvEditPopupBorderStyle GetPopupBorderStyle() const;
  void SetPopupBorderStyle(TqvEditPopupBorderStyle Value);
  bool GetPopupCloseButton() const { return FPopupCloseButton; }
  void SetPopupCloseButton(bool Value);

  // The value assigned here or up the controller chain; false when none is.
  bool InternalGetButtonStyle(TqvEditButtonStyle& Value) const;
  bool InternalGetButtonTransparency(TqvEditButtonTransparency& Value) const;
  bool InternalGetPopupBorderStyle(TqvEditPopupBorderStyle& Value) const;

  // Streamed when assigned here and not hidden by the owning editor.
  bool IsBorderStyleStored() const { return IsValueStored(csvBorderStyle); }
  bool IsButtonStyleStored() const { return IsValueStored(svButtonStyle); }
  bool IsButtonTransparencyStored() const { return IsValueStored(svButtonTransparency); }
  bool IsPopupBorderStyleStored() const { return IsValueStored(svPopupBorderStyle); }

 protected:
  // The parent's colour for a standalone editor with ParentColor and a parent, else clWindow.
  TColor GetDefaultColor() const override;

 private:
  bool IsOwnValue(TqvContainerStyleValue Value) const { return (GetOwnAssignedValues() & csvBit(Value)) != 0; }
  // The next edit style up the controller chain, or nullptr.
  const TqvCustomEditStyle* ControllerEditStyle() const;
  template <class T>
  void SetEditValue(T& AField, T AValue, TqvContainerStyleValue AStyleValue);

  TqvEditButtonStyle FButtonStyle = btsDefault;
  TqvEditButtonTransparency FButtonTransparency = ebtNone;
  TqvEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  bool FPopupCloseButton = true;
};

// The style of a style controller.
class TqvEditStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvEditStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
};

// Shares one edit style among many editors.
class TqvEditStyleController : public TqvStyleController {
  QJ_CLASS(TqvEditStyleController, TqvStyleController)
 public:
  using TqvStyleController::TqvStyleController;
  TqvContainerStyleClass GetStyleClass() const override { return &TqvEditStyle::StaticClass(); }
  TqvEditStyle* GetStyle() const { return static_cast<TqvEditStyle*>(inherited::GetStyle()); }
  // Copies Value into the controller's own style.
  void SetStyle(TqvEditStyle* Value) { inherited::SetStyle(Value); }
};

// ---------------------------------------------------------------------------------------------
// Paint model: view data and view info

// How an editor follows the mouse: not at all, tracking while the mouse is elsewhere, hot.
enum TqvEditHotState { ehsNoHotTrack, ehsNotHot, ehsHot };

// What a grid asks of an editor's paint (bits of PaintOptions).
using TqvEditPaintOptions = Cardinal;
constexpr TqvEditPaintOptions epoMeasuringHeight = 0x1,  // a cell height is being measured
    epoMultiLine = 0x2,                                    // the cell shows several lines
    epoEndEllipsis = 0x4;                                  // the grid asks for an end ellipsis

// What the paint model asks of the editor control it paints; a grid cell has none.
class IqvEditPaintClient : public virtual IInterface {
 public:
  // The control has a background of its own: invalidations erase.
  virtual bool HasBackground() = 0;
  // The control holds the mouse capture.
  virtual bool IsMouseCaptured() = 0;
  // The visible button the mouse was pressed on, -1 for none.
  virtual Integer GetCapturedButtonIndex() = 0;
  virtual bool IsAutoSize() = 0;
};

// The geometry, colours and states an editor is painted with; paints without a control.
class TqvCustomEditViewInfo : public TqvContainerViewInfo {
  QJ_CLASS(TqvCustomEditViewInfo, TqvContainerViewInfo)
 public:
  TqvCustomEditViewInfo() = default;
  ~TqvCustomEditViewInfo() override { SetButtonCount(0); }
  // From an edit view info: frame, buttons and the pressed and hot indexes, then the container's.
  void Assign(TObject* Source) override;
  using TqvContainerViewInfo::GetUpdateRegion;
  // What must be repainted when this view info replaces AViewInfo: changed buttons, or the
  // whole bounds when the frame changed.
  virtual TOwned<TqvRegion> GetUpdateRegion(const TqvContainerViewInfo* AViewInfo) const;
  void Offset(Integer DX, Integer DY) override;

  virtual TqvEditButtonViewInfoClass GetButtonViewInfoClass() const { return &TqvEditButtonViewInfo::StaticClass(); }
  virtual void DrawButton(TqvCanvas* ACanvas, Integer AButtonIndex);
  virtual void DrawButtonBorder(TqvCanvas* ACanvas, Integer AButtonIndex, const TRect& ARect,
                                TqvEditButtonStyle AButtonStyle);
  virtual void DrawButtonContent(TqvCanvas* ACanvas, Integer AButtonIndex, TColor ABackgroundColor,
                                 TColor AContentColor, const TRect& ARect);
  // Some button is hot.
  virtual bool IsHotTrack() const;
  // Whether a hint shows at P, and its text; text editors show one for a cut text.
  bool NeedShowHint(TqvCanvas* ACanvas, const TPoint& P, bool& AIsMultiLine, String& AText);
  virtual bool NeedShowHintInBounds(TqvCanvas* ACanvas, const TPoint& P, const TRect& ABounds, bool& AIsMultiLine,
                                    String& AText, TRect& ATextRect);
  // Invalidates in AControl what differs from AOldViewInfo (everything outside AInnerRect
  // without one); true when a frame or a button was invalidated.
  virtual bool Repaint(TWinControl* AControl, const TqvCustomEditViewInfo* AOldViewInfo, const TRect* AInnerRect);
  void SetButtonCount(Integer ACount);
  Integer GetButtonCount() const { return Integer(ButtonsInfo.size()); }
  TqvEditButtonViewInfo* GetButton(Integer AIndex) const { return ButtonsInfo[size_t(AIndex)].get(); }
  // The border style painted, in the editors' terms.
  TqvEditBorderStyle GetEditBorderStyle() const { return TqvEditBorderStyle(BorderStyle); }
  // The theme state of the frame (0: not theme-painted).
  Integer GetNativeState() const { return ThemeState; }

  TRect BorderExtent;  // border width per side
  std::vector<TOwned<TqvEditButtonViewInfo>> ButtonsInfo;
  bool Enabled = true;
  bool Focused = false;
  TFont* Font = nullptr;
  bool HasBackground = false;
  bool InnerEditVisible = false;
  TqvEditHotState HotState = ehsNoHotTrack;
  TRect InnerControlRect;
  bool ButtonPressed = false;  // a button is being pressed in this calculation
  bool IsInplace = false;
  bool Selected = false;
  TqvEditPaintOptions PaintOptions = 0;
  TqvEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  Integer PressedButtonIndex = -1;
  Integer HotButtonIndex = -1;
  bool HasContentOffsets = false;
  TRect BorderRect;
  bool Transparent = false;  // the grid paints the background itself
  HWND WindowHandle = 0;

 protected:
  // Frame, background and buttons.
  void Paint(TqvCanvas* ACanvas) override;
};

// Computes view infos for one editor kind, style and placement, and measures editors.
class TqvCustomEditViewData : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvCustomEditViewData, TqvCustomEditProperties*, TqvCustomEditStyle*, bool>;
  QJ_CLASS(TqvCustomEditViewData, TPersistent)

 public:
  TqvCustomEditViewData(TqvCustomEditProperties* AProperties, TqvCustomEditStyle* AStyle, bool AIsInplace)
      : Properties(AProperties), Style(AStyle), IsInplace(AIsInplace) {}
  // InitDefaults and InitCacheData of the final class.
  void AfterConstruction() override;

  virtual bool CanPressButton(TqvCustomEditViewInfo*, Integer) { return true; }
  // The border painted in AHotState: none in place, else by the style's border style.
  virtual TqvEditBorderStyle GetBorderStyle(TqvEditHotState AHotState) const;
  virtual void InitDefaults();
  // Takes what the properties and the style say now.
  virtual void InitCacheData();
  // ASize: what the frame and the buttons take; AExtra: room glyph buttons need beyond it.
  virtual void GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                                     TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra);
  // A spin editor holds its button pressed while spinning.
  virtual bool IsButtonPressed(TqvCustomEditViewInfo*, Integer) { return false; }
  virtual void CalculateButtonNativeInfo(TqvEditButtonViewInfo* AButtonViewInfo);
  // Fills AViewInfo for ABounds with the mouse at P.
  virtual void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                         TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  // Takes the button's width from ARect's left or right side.
  virtual void CalculateButtonBounds(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, TRect& ARect,
                                     Integer AButtonVisibleIndex);
  virtual void CalculateButtonsViewInfo(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                        TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                        bool AIsMouseEvent);
  virtual void CalculateButtonViewInfo(TqvCanvas* ACanvas, TqvCustomEditViewInfo* AViewInfo, TRect& ARect,
                                       Integer AButtonVisibleIndex);
  virtual void EditValueToViewInfo(TqvCanvas*, const Variant&, TqvCustomEditViewInfo*) {}
  virtual void GetBorderExtent(TRect& R);
  // The room outside the inner edit area: border, scroll bars and buttons.
  virtual void GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R);
  // Measures with AViewInfo, or with a view info of its own calculated for unbounded bounds.
  virtual void CalculateEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                                           TqvCustomEditViewInfo* AViewInfo, TSize& ABorderSize, TSize& AExtraSize);
  virtual TSize GetEditContentSize(TqvCanvas*, const Variant&, const TqvEditSizeProperties&) { return {}; }
  // A text editor whose text is chosen from a list, not typed, measures one pixel wider.
  virtual bool MeasuresAsList() const { return false; }

  // The frame and buttons plus the content; a Width below the frame part gives that Width.
  TSize GetEditSize(TqvCanvas* ACanvas, const Variant& AEditValue, const TqvEditSizeProperties& ASizeProperties);
  // The button the editor has the mouse pressed on, -1 without an editor.
  Integer GetPressedButtonIndex() const { return Edit ? Edit->GetCapturedButtonIndex() : -1; }
  bool IsFocused() const { return Focused; }
  TqvCustomEditProperties* GetProperties() const { return Properties; }
  TqvCustomEditStyle* GetStyle() const { return Style; }

  TqvCustomEditProperties* const Properties;
  TqvCustomEditStyle* const Style;
  const bool IsInplace;
  // Indexes into ButtonsInfo of the outermost (first placed) and innermost (last placed)
  // button of the left and the right group, -1 for none.
  Integer FirstLeftButton = -1, LastLeftButton = -1, FirstRightButton = -1, LastRightButton = -1;
  TqvEditBorderStyle BorderStyle = ebsNone;  // the style's, cached
  TRect Bounds;
  Integer ButtonsCount = 0;  // visible buttons
  TRect ContentOffset;       // per side, in place
  IqvEditPaintClient* Edit = nullptr;
  TqvContainerState ContainerState = 0;
  bool Enabled = true;
  bool Focused = false;
  TAlignment HorzAlignment = taLeftJustify;
  TControl* HScrollBar = nullptr;  // when visible
  IqvContainerInnerControl* InnerEdit = nullptr;
  bool IsDesigning = false;
  bool Selected = false;
  bool IsValueSource = false;  // the edit value is the value itself
  Integer MaxLineCount = 0;
  bool NativeStyle = false;
  TqvEditPaintOptions PaintOptions = 0;
  bool IsSelected = false;  // active or hot
  Integer SelStart = 0, SelLength = 0;
  TColor SelTextColor = clDefault, SelBackgroundColor = clDefault;
  TqvEditVertAlignment VertAlignment = taTopJustify;
  TControl* VScrollBar = nullptr;  // when visible
  HWND WindowHandle = 0;

 private:
  void CalculateContainerState(const TPoint& P, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo);
  TqvEditButtonStyle ResolveButtonStyle(TqvCustomEditViewInfo* AViewInfo) const;
  TqvEditButtonState CalculateButtonState(TqvCustomEditViewInfo* AViewInfo, Integer AIndex, const TPoint& P,
                                          TqvMouseButton AButton, TShiftState AShift, Integer APreviousPressed);
  void MarkButtonGroups(TqvCustomEditViewInfo* AViewInfo, const TRect& AContent);
};

// Edit repository: named editor settings shared by editors and grid columns

class TqvEditRepository;
class TqvEditRepositoryItem;

// Told by a repository item that it is going away, or that its properties changed.
class IqvEditRepositoryItemListener : public virtual IInterface {
 public:
  virtual void ItemRemoved(TqvEditRepositoryItem* Sender) = 0;
  virtual void PropertiesChanged(TqvEditRepositoryItem* Sender) = 0;
};

// The metaclass record of the repository items: a factory and the class of their properties.
struct TqvEditRepositoryItemMetaClass : TMetaClassFor<TqvEditRepositoryItem, TComponent*> {
  using TFactory = TMetaClassFor<TqvEditRepositoryItem, TComponent*>;

  TqvCustomEditPropertiesClass (*GetPropertiesClass)() = nullptr;

  template <class Cls>
  static TqvEditRepositoryItemMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvEditRepositoryItemMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetPropertiesClass = &Cls::PropertiesClass;
    return m;
  }
};
using TqvEditRepositoryItemClass = const TqvEditRepositoryItemMetaClass*;

// One editor configuration: it owns properties of its kind and tells its listeners about
// changes. The component owner (the form) and the repository both may free it; either way it
// tells its listeners first and leaves its repository and its owner.
class TqvEditRepositoryItem : public TComponent {
 public:
  using MetaType = TqvEditRepositoryItemMetaClass;
  QJ_CLASS(TqvEditRepositoryItem, TComponent)

 public:
  explicit TqvEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TqvEditRepositoryItem() override;
  // Makes the properties of the final class's kind.
  void AfterConstruction() override;

  // Class-level hook (see TqvEditRepositoryItemMetaClass).
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomEditPropertiesClass GetPropertiesClass() const {
    return static_cast<const TqvEditRepositoryItemMetaClass*>(ClassType())->GetPropertiesClass();
  }

  // Tells every listener, newest first.
  virtual void PropertiesChanged();
  // A listener is kept once however often it is added.
  virtual void AddListener(IqvEditRepositoryItemListener* AListener);
  virtual void RemoveListener(IqvEditRepositoryItemListener* AListener);
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  TqvCustomEditProperties* GetProperties() const { return FProperties.get(); }
  // Copies Value into the item's own properties.
  void SetProperties(TqvCustomEditProperties* Value) { FProperties->Assign(Value); }
  TqvEditRepository* GetRepository() const { return FRepository; }
  // Leaves the current repository and joins ARepository (nullptr: none).
  void SetRepository(TqvEditRepository* ARepository);

  // An item is stored inside its repository.
  bool HasParent() override { return FRepository != nullptr; }
  TComponent* GetParentComponent() override;
  // Ignored while loading; otherwise AParent becomes the repository (EInvalidCast when it is
  // not one).
  void SetParentComponent(TComponent* AParent) override;

 private:
  friend class TqvEditRepository;
  // Calls ANotify for every listener from the newest to the oldest; a listener may leave (or
  // make others leave) meanwhile.
  void NotifyListeners(void (IqvEditRepositoryItemListener::*ANotify)(TqvEditRepositoryItem*));

  std::vector<IqvEditRepositoryItemListener*> FListeners;
  TOwned<TqvCustomEditProperties> FProperties;
  TqvEditRepository* FRepository = nullptr;
};

// A repository item of one properties class: the item kinds are instances of this template.
template <class TProperties>
class TqvEditRepositoryItemOf : public TqvEditRepositoryItem {
 public:
  using TqvEditRepositoryItem::TqvEditRepositoryItem;
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TProperties::StaticClass(); }
  TProperties* GetProperties() const { return static_cast<TProperties*>(TqvEditRepositoryItem::GetProperties()); }
  void SetProperties(TProperties* Value) { TqvEditRepositoryItem::SetProperties(Value); }
};

// Holds repository items without owning them as components: the form owns them, the
// repository frees them when it goes away.
class TqvEditRepository : public TComponent {
  QJ_CLASS(TqvEditRepository, TComponent)
 public:
  explicit TqvEditRepository(TComponent* AOwner) : TComponent(AOwner) {}
  // Frees the items, the newest first.
  ~TqvEditRepository() override;

  // An item of AItemClass owned (as a component) by this repository and listed in it.
  virtual TqvEditRepositoryItem* CreateItem(TqvEditRepositoryItemClass AItemClass);
  // An item of AItemClass owned by AOwner, listed in this repository.
  virtual TqvEditRepositoryItem* CreateItemEx(TqvEditRepositoryItemClass AItemClass, TComponent* AOwner);
  // The items whose component owner is Root, in list order.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError for a bad index.
  TqvEditRepositoryItem* Items(Integer Index) const;
  // Frees every item, the newest first.
  void Clear();
  // AItem leaves the repository and stays alive; nothing when it is not listed.
  void RemoveItem(TqvEditRepositoryItem* AItem);

 private:
  friend class TqvEditRepositoryItem;
  // The list side of an item's SetRepository.
  void AddItem(TqvEditRepositoryItem* AItem);
  void ExtractItem(TqvEditRepositoryItem* AItem);

  std::vector<TqvEditRepositoryItem*> FItems;
};

// The process-wide repository without owner that the editor registries fill; made on first
// use.
TqvEditRepository* GetDefaultEditRepository();

// ---------------------------------------------------------------------------------------------
// Registry of editor kinds

// The process-wide registry of editor properties classes, made on first use (no streaming
// registration). Each editor kind registers its properties class with its display text below
// and is found by class name or by short name.
TqvRegisteredClasses* GetRegisteredEditProperties();

// The one way an editor kind registers: a unit's start-up object that registers the properties
// class under its display text (read through GetLocalizedResourceString) and takes it out again
// at shut-down. The registry is made by the first registration, so it outlives them all.
class TqvEditKindRegistration {
 public:
  TqvEditKindRegistration(TqvCustomEditPropertiesClass AClass, PResStringRec ADisplayText);
  ~TqvEditKindRegistration();
  TqvEditKindRegistration(const TqvEditKindRegistration&) = delete;
  TqvEditKindRegistration& operator=(const TqvEditKindRegistration&) = delete;

 private:
  TqvCustomEditPropertiesClass FClass;
};

// Display texts ("ShortName|Description") of the editor kinds.
extern const TResourceString sqvEditDisplayTextMaskEdit;
extern const TResourceString sqvEditDisplayTextSpinEdit;
extern const TResourceString sqvEditDisplayTextMemo;
extern const TResourceString sqvEditDisplayTextComboBox;
extern const TResourceString sqvEditDisplayTextPopupEdit;
extern const TResourceString sqvEditDisplayTextTextEdit;
extern const TResourceString sqvEditDisplayTextCheckBox;
extern const TResourceString sqvEditDisplayTextImage;
extern const TResourceString sqvEditDisplayTextBlobEdit;
extern const TResourceString sqvEditDisplayTextButtonEdit;
extern const TResourceString sqvEditDisplayTextCalcEdit;
extern const TResourceString sqvEditDisplayTextDateEdit;
extern const TResourceString sqvEditDisplayTextCurrencyEdit;
extern const TResourceString sqvEditDisplayTextHyperLink;
extern const TResourceString sqvEditDisplayTextImageComboBox;
extern const TResourceString sqvEditDisplayTextMRUEdit;
extern const TResourceString sqvEditDisplayTextRadioGroup;
extern const TResourceString sqvEditDisplayTextTimeEdit;
extern const TResourceString sqvEditDisplayTextLookupComboBox;
extern const TResourceString sqvEditDisplayTextColorComboBox;
extern const TResourceString sqvEditDisplayTextTrackBar;
extern const TResourceString sqvEditDisplayTextProgressBar;
extern const TResourceString sqvEditDisplayTextLabel;

// ---------------------------------------------------------------------------------------------
// Editor control base

class TqvCustomEditData;
class TqvEditDataBinding;
class TTimer;

using TqvEditEditingEvent = std::function<void(TObject* Sender, bool& CanEdit)>;

extern const TResourceString sqvEditRepositoryItemNotAcceptable;

// The inner window control through which an editor edits its text.
class IqvCustomInnerEdit : public IqvContainerInnerControl {
 public:
  // The control's text as a value.
  virtual Variant GetEditValue() = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  // Nests a lock on the control's bounds.
  virtual void LockBounds(bool ALock) = 0;
  // Focus without selecting the text.
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& Value) = 0;
  virtual void SetParent(TWinControl* AParent) = 0;
  virtual void SetOnChange(TNotifyEvent Handler) = 0;
  virtual void SetReadOnly(bool Value) = 0;
};

// The class of an inner edit: a window control made with the editor as its owner.
using TqvInnerEditClass = const TMetaClassFor<TComponent, TComponent*>*;
using TqvEditDataClass = const TMetaClassFor<TqvCustomEditData, TqvCustomEdit*>*;
using TqvEditDataBindingClass = const TMetaClassFor<TqvEditDataBinding, TqvCustomEdit*>*;
// A class of default values providers (made with their data binding as owner).
using TqvEditDefaultValuesProviderClass = const TqvCustomEditDefaultValuesProvider::MetaType*;

// The metaclass record of the editors: a factory (owner, in place) and the properties class.
struct TqvCustomEditMetaClass : TMetaClassFor<TqvCustomEdit, TComponent*, bool> {
  using TFactory = TMetaClassFor<TqvCustomEdit, TComponent*, bool>;

  TqvCustomEditPropertiesClass (*GetPropertiesClass)() = nullptr;

  template <class Cls>
  static TqvCustomEditMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvCustomEditMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetPropertiesClass = &Cls::PropertiesClass;
    return m;
  }
};

// Hears an editor's repository item for the editor.
class TqvEditRepositoryItemListenerEditHelper : public TObject, public IqvEditRepositoryItemListener {
  QJ_CLASS(TqvEditRepositoryItemListenerEditHelper, TObject)
 public:
  explicit TqvEditRepositoryItemListenerEditHelper(TqvCustomEdit* AEdit) : FEdit(AEdit) {}
  // The item goes away: the editor forgets it without leaving it.
  void ItemRemoved(TqvEditRepositoryItem* Sender) override;
  // The editor takes the item's changed properties, unless it is loading or going away.
  void PropertiesChanged(TqvEditRepositoryItem* Sender) override;

 private:
  TqvCustomEdit* FEdit;
};

// The control base of every editor: a container that holds an edit value, knows whether the
// user changed it, asks permission before a change, validates on commit and posts the value
// (to its data binding, or in place to the grid through OnPostEditValue). It runs standalone or
// as a pooled in-place editor that a grid activates by a key or a mouse click.
//
// A failed validation keeps the text, the modified state and the focus and raises the error
// text (an empty text only focuses and beeps). In place, an error while posting reaches the
// caller as it does standalone, and the value stays modified.
class TqvCustomEdit : public TqvContainer, public IqvEditPaintClient {
 public:
  using MetaType = TqvCustomEditMetaClass;
  QJ_CLASS(TqvCustomEdit, TqvContainer)

 public:
  explicit TqvCustomEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  // An editor of AClass for a grid (AIsInplace) or a filter row.
  static TqvCustomEdit* CreateInplace(TqvCustomEditClass AClass, TComponent* AOwner, bool AIsInplace);

  // Class-level hook (see TqvCustomEditMetaClass).
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomEditPropertiesClass GetPropertiesClass() const {
    return static_cast<const TqvCustomEditMetaClass*>(ClassType())->GetPropertiesClass();
  }

  // -- Properties and repository item
  // The repository item's properties while one is set (and no stream is read or written),
  // else the own ones.
  TqvCustomEditProperties* GetActiveProperties() const;
  TqvCustomEditProperties* GetProperties() const { return GetActiveProperties(); }
  // Copies Value into the own properties; nothing while a repository item is set.
  void SetProperties(TqvCustomEditProperties* Value);
  TqvCustomEditProperties* GetOwnProperties() const { return FProperties.get(); }
  TqvEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  // Raises "The repository item is not acceptable" for an item of another kind; the old item
  // stays.
  void SetRepositoryItem(TqvEditRepositoryItem* Value);
  TqvCustomEditStyle* GetStyle() const;
  void SetStyle(TqvCustomEditStyle* Value);
  TqvCustomEditViewInfo* GetViewInfo() const;
  TqvEditDataBinding* GetDataBinding() const { return FDataBinding.get(); }
  IqvCustomInnerEdit* GetInnerEdit() const { return FInnerEdit; }
  bool IsInplace() const override { return FIsInplace; }
  bool GetAutoSize() const { return FAutoSize; }
  // Ignored in place.
  void SetAutoSize(bool Value) override;

  // -- Value and modified state
  virtual Variant GetEditValue();
  // Ignored during a permission check; a user change needs permission.
  virtual void SetEditValue(const Variant& Value);
  bool IsEditValueStored() const { return !VarIsNull(FEditValue); }
  bool GetEditModified() const { return FEditModified; }
  // False also clears ModifiedAfterEnter.
  void SetEditModified(bool Value);
  bool GetModifiedAfterEnter() const { return FModifiedAfterEnter; }
  // True also marks the value unvalidated and modified.
  void SetModifiedAfterEnter(bool Value);
  bool IsPosting() const { return FPosting; }
  bool IsUserChange() const { return FUserChange; }
  // Nested; the last unlock with AInvokeChangedOnUnlock fires the pending OnChange, then the
  // pending OnEditValueChanged.
  void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true);
  void DoChange();
  void DoEditValueChanged();

  // -- Editing protocol
  // Whether a change may start: the binding is editing already, or CanModify, OnEditing and
  // (standalone) the binding's edit mode allow it.
  bool DoEditing();
  virtual bool CanModify();
  // Validates a value modified since the editor got the focus. On an error: with
  // ARaiseException the editor takes the focus, beeps and raises the error text (an empty text
  // raises nothing); without it only false is returned.
  bool ValidateEdit(bool ARaiseException);
  // In place through OnPostEditValue, standalone into the data binding; an exception leaves
  // the value modified and reaches the caller.
  void PostEditValue();
  bool CanPostEditValue();
  // Esc: back to the value saved on enter, when the properties allow reverting.
  virtual void Reset();
  void DoAfterKeyDown(Word& Key, TShiftState Shift);

  // -- In-place activation (driven by the grid's editing controller)
  virtual void Activate(TqvCustomEditData*& AEditData);
  // The key that started editing becomes the first typed character, when the editor passes it.
  virtual void ActivateByKey(char AKey, TqvCustomEditData*& AEditData);
  // Replays the click at X, Y (the parent's client coordinates).
  virtual void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData);
  // Validates; true when the editor may be left.
  virtual bool Deactivate();
  TqvCustomEditData* GetEditData() const { return FEditData; }

  // -- Operations of the editor kinds
  virtual void Clear() {}
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  virtual void SelectAll() {}
  virtual bool HasPopupWindow() const { return false; }
  virtual bool IsEditFocused() { return Focused(); }
  virtual void DisplayToEditValue(const Variant&, Variant&, bool) {}
  // Sets the inner edit's text.
  virtual void SetInnerEditValue(const Variant&) {}
  virtual void SynchronizeDisplayValue() {}
  virtual void SynchronizeEditValue() {}
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused);
  virtual void GetDisplayValue(String& AText) { AText.clear(); }
  virtual void PropertiesChanged(TObject* Sender);
  // Clears the per-cell state (drop-down editors: the popup size).
  virtual void ResetEditData() {}
  // Shows an error text asynchronously: the text waits in the editor's own queue until the
  // posted error message raises it (at once while the editor has no window).
  void PostEditError(const String& AText);

  // -- Buttons and view
  Integer GetButtonIndexAt(const TPoint& P) const;
  Integer GetCaptureButtonIndex() const { return FCaptureButtonIndex; }
  void CalculateViewInfoAtCursor();
  void RefreshContainerAtCursor(bool AIsMouseEvent = false);
  // No inner edit, or its window is not usable now.
  bool IsInnerEditUnavailable();
  bool CanUseMouseWheel(TShiftState Shift);
  bool IsActiveControl();

  // IqvEditPaintClient
  bool HasBackground() override { return TqvContainer::HasBackground(); }
  bool IsMouseCaptured() override;
  Integer GetCapturedButtonIndex() override { return FCaptureButtonIndex; }
  bool IsAutoSize() override { return FAutoSize; }

  // Keys the editor does not use (the grid moves between cells with them).
  TKeyEvent OnAfterKeyDown;
  TqvEditEditingEvent OnEditing;
  // Posting of an in-place editor.
  TNotifyEvent OnPostEditValue;

  // The container's and control's handlers.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Click() override;
  void DblClick() override;
  void SetFocus() override;
  // While the inner edit, not the editor, is the form's active control, the inner edit takes
  // the editor's place: stepping from it then skips the editor, which would only hand the
  // focus back.
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  TPopupMenu* GetPopupMenu() override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

 protected:
  friend class TqvEditRepositoryItemListenerEditHelper;
  friend class TqvEditDataBinding;

  // The control's own forms of these names stay visible beside the editor's.
  using TqvContainer::CanAutoSize;
  using TqvContainer::HasBackground;

  // -- Virtual operations of the editor kinds, in the base's order
  virtual void AdjustInnerEditPosition();
  virtual void EndPostEditValue() { FPosting = false; }
  virtual void BeginPostEditValue() { FPosting = true; }
  virtual bool CanAutoSize() { return true; }
  virtual bool CanAutoWidth() { return false; }
  virtual bool CanKeyDownModifyEdit(Word, TShiftState) { return false; }
  virtual bool CanKeyPressModifyEdit(char) { return false; }
  // Change handler of the inner control.
  virtual void InnerEditChange(TObject* Sender);
  virtual IqvCustomInnerEdit* CreateInnerEdit();
  virtual TOwned<TqvCustomEditViewData> CreateViewData();
  virtual void ClickDefaultButton();
  virtual void DoButtonClick(Integer AButtonVisibleIndex);
  virtual void DoButtonDown(Integer) {}
  virtual void DoButtonUp(Integer) {}
  virtual void DoEditKeyDown(Word& Key, TShiftState Shift);
  virtual void DoEditKeyPress(char& Key) { ValidateKeyPress(Key); }
  virtual void DoEditKeyUp(Word&, TShiftState) {}
  virtual TqvEditSizeProperties GetAutoSizeConstraints();
  virtual TqvEditDataBindingClass GetDataBindingClass() const;
  virtual TqvEditDataClass GetEditDataClass() const { return nullptr; }
  virtual TqvInnerEditClass GetInnerEditClass() const { return nullptr; }
  // Focuses (with the focus lock), selects, beeps when asked, and raises a non-empty text.
  virtual void DoValidationError(const String& AErrorText);
  virtual void InitializeInnerEdit();
  virtual void InitializeViewData(TqvCustomEditViewData* AViewData);
  virtual bool CanStartEditing() { return true; }
  virtual TPopupMenu* GetDefaultPopupMenu() { return nullptr; }
  virtual void InternalSetDisplayValue(const Variant&) {}
  virtual void InternalSetEditValue(const Variant& Value, bool AValidate);
  // InternalSetDisplayValue with the modified state kept.
  virtual void SetValidatedDisplayValue(const Variant& Value);
  virtual bool CanClickWhileLoading() { return false; }
  virtual bool CanShowInnerEdit() { return false; }
  virtual bool IsClickKey(Word Key, TShiftState Shift);
  virtual bool IsRepositoryItemAcceptable(TqvEditRepositoryItem* AItem);
  virtual bool IsValidChar(char AChar);
  // Compares the pressed and hot buttons with AOldViewInfo: releases, clicks and presses.
  virtual void ProcessButtonsStateChange(TqvCustomEditViewInfo* AOldViewInfo);
  virtual void RepositoryItemChanged() {}
  virtual void RepositoryItemChanging() {}
  virtual bool CanPassActivationKey(char) { return true; }
  virtual bool TrySetDisplayText(const String&) { return false; }
  virtual void UpdateDisplayedText() {}
  virtual bool ValidateKeyDown(Word& Key, TShiftState Shift);
  virtual bool ValidateKeyPress(char& Key);
  virtual void InnerEditWindowProc(TMessage& Message);
  virtual void HookInnerEditWindowProc();
  virtual void UnhookInnerEditWindowProc();

  // The user-action flag (see IsUserChange), for a flag scope around the kinds' own user changes.
  bool& UserChangeFlag() { return FUserChange; }
  // Stores the edit value as it is, without touching the display (the kinds that take their
  // value from their text).
  void AssignEditValue(const Variant& Value) { FEditValue = Value; }

  // Locks change events for a block; the unlock fires the pending events unless the block's
  // exception unwinds.
  static void LockChangeEventsOf(TqvCustomEdit* AEdit) { AEdit->LockChangeEvents(true); }
  static void UnlockChangeEventsOf(TqvCustomEdit* AEdit, bool ACompleted) { AEdit->LockChangeEvents(false, ACompleted); }
  using TChangeEventsScope = TUpdateScope<TqvCustomEdit, &LockChangeEventsOf, &UnlockChangeEventsOf>;

  // The container's and control's members.
  TqvContainerStyleClass GetStyleClass() const override;
  TqvContainerViewInfoClass GetViewInfoClass() const override;
  TqvContainerStyleValues GetNotPublishedStyleValues() const override;
  void GetVisibleBounds(TRect& R) override;
  bool RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void SetInnerControlBounds() override;
  bool IsTabKeyHandledByControl() override { return true; }
  void ThemeChanged() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void CreateHandle() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusChanged() override;
  void MouseLeave(TControl* AControl) override;

 private:
  struct TModifiedState {
    bool EditModified;
    bool ModifiedAfterEnter;
  };

  void SaveModifiedState();
  void RestoreModifiedState();

 protected:
  // Keeps (EditModified, ModifiedAfterEnter) for a block and restores them on leaving it.
  using TModifiedStateScope =
      TUpdateScope<TqvCustomEdit, &TqvCustomEdit::SaveModifiedState, &TqvCustomEdit::RestoreModifiedState>;

 private:
  void ExitHandling();
  void RepositoryItemRemoved();
  void ActivePropertiesChangedHandler(TObject* Sender) { PropertiesChanged(Sender); }
  void AttachPropertiesHandler(TqvCustomEditProperties* AProperties);
  void WMClipboard(TMessage& Message);
  void WMEditError(TMessage& Message);
  void ReplayMouse(TShiftState Shift, Integer X, Integer Y);
  // The inner control is the parent form's active control.
  bool IsInnerControlActive();
  bool IsLoadingOrDestroying() const { return HasState(csLoading | csDestroying) || IsDestroying(); }

  Integer FCaptureButtonIndex = -1;
  Integer FChangeEventsLockCount = 0;
  bool FChangePending = false;
  bool FEditValueChangedPending = false;
  TOwned<TTimer> FClickTimer;
  TqvCustomEditData* FEditData = nullptr;
  TOwned<TqvEditRepositoryItemListenerEditHelper> FRepositoryItemListener;
  bool FInDoEditing = false;
  bool FLastFocused = false;
  IqvCustomInnerEdit* FInnerEdit = nullptr;
  bool FValidated = false;
  const bool FIsInplace;
  bool FPosting = false;
  bool FUserChange = false;
  bool FEditModified = false;
  bool FModifiedAfterEnter = false;
  TPopupMenu* FDefaultPopupMenu = nullptr;
  Variant FSavedValue;
  std::vector<TModifiedState> FSavedStates;
  TqvEditRepositoryItem* FRepositoryItem = nullptr;
  bool FFocusLock = false;
  TWndMethod FPrevInnerEditWindowProc;
  bool FInnerEditHooked = false;
  TOwned<TqvEditDataBinding> FDataBinding;
  Variant FEditValue;
  TOwned<TqvCustomEditProperties> FProperties;
  bool FRepainting = false;
  bool FAutoSize = true;
  // Error texts waiting for their posted message, by id; a message whose id is not here was
  // not posted by this editor.
  std::vector<std::pair<WPARAM, String>> FPendingErrors;
  WPARAM FNextErrorId = 1;
};

// The value binding of a standalone editor: the seam where data-aware editors plug a field
// in. This one binds to nothing and gives neutral answers.
class TqvEditDataBinding : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvEditDataBinding, TqvCustomEdit*>;
  QJ_CLASS(TqvEditDataBinding, TPersistent)

 public:
  explicit TqvEditDataBinding(TqvCustomEdit* AEdit) : FEdit(AEdit) {}
  ~TqvEditDataBinding() override;
  // Makes the provider of the final class.
  void AfterConstruction() override;
  TPersistent* GetOwner() override;

  virtual bool IsDesigning();
  virtual bool CanModify() { return true; }
  virtual void DefaultValuesChanged();
  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual Variant GetDisplayValue();
  virtual bool GetModified();
  virtual Variant GetStoredValue();
  virtual void Reset();
  virtual void SetDisplayText(const Variant& Value);
  // Whether the bound data accepts editing now.
  virtual bool SetEditMode() { return true; }
  // A standalone editor posts nowhere.
  virtual void StoreEditValue(const Variant&) {}
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual void UpdateDisplayValue();
  virtual TqvEditDefaultValuesProviderClass GetDefaultValuesProviderClass() const;
  // A standalone editor finished loading.
  virtual void EditLoaded() {}

  TqvCustomEdit* GetEdit() const { return FEdit; }
  // nullptr when there is none.
  IqvEditDefaultValuesProvider* GetDefaultValuesProvider() const;

 private:
  TqvCustomEdit* FEdit;
  TOwned<TqvCustomEditDefaultValuesProvider> FDefaultValuesProvider;
};

// State an in-place editor keeps per cell between activations. Clear marks it stale; the
// editor resets it at once when it is its current data, else at the next activation.
class TqvCustomEditData : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomEditData, TqvCustomEdit*>;
  QJ_CLASS(TqvCustomEditData, TObject)

 public:
  explicit TqvCustomEditData(TqvCustomEdit* AEdit);
  ~TqvCustomEditData() override;
  void Clear();
  bool GetCleared() const { return FCleared; }
  void SetCleared(bool Value) { FCleared = Value; }
  // nullptr once the editor was freed.
  TqvCustomEdit* GetEdit() const { return FEdit; }

 private:
  bool FCleared = false;
  TqvCustomEdit* FEdit;
  TOwned<TqvFreeNotificator> FFreeNotificator;
};

// The pool of hidden in-place editors of a grid or filter control: one editor per properties
// object (by identity), reused for every cell edited with those properties.
class TqvInplaceEditList {
 public:
  struct TEntry {
    TqvCustomEdit* Edit;
    TqvCustomEditProperties* Properties;  // the key, not owned
  };

  TqvInplaceEditList() = default;
  TqvInplaceEditList(const TqvInplaceEditList&) = delete;
  TqvInplaceEditList& operator=(const TqvInplaceEditList&) = delete;
  // Frees every editor, the last entry first.
  virtual ~TqvInplaceEditList();

  // A hidden in-place editor of AProperties' kind.
  virtual TqvCustomEdit* CreateEdit(TqvCustomEditProperties* AProperties);
  // The editor of AProperties (made on first use) with AProperties' current settings.
  TqvCustomEdit* GetEdit(TqvCustomEditProperties* AProperties);
  // The first editor whose properties are exactly of APropertiesClass, or a new one (neither
  // hidden nor assigned) keyed by its own properties.
  TqvCustomEdit* GetEditByPropertiesClass(TqvCustomEditPropertiesClass APropertiesClass);
  // Frees the editor of AProperties; nothing for an unknown key.
  void RemoveItem(TqvCustomEditProperties* AProperties);
  TqvCustomEdit* FindEdit(TqvCustomEditProperties* AProperties) const;
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  const TEntry& Items(Integer AIndex) const;
  void Clear();

 private:
  std::vector<TEntry> FItems;
};

// Mouse and key conversions the editors share.
TShiftState MouseButtonToShiftState(TMouseButton AButton);
TShiftState MouseCodeToShiftState(TqvMouseButton AButton);
WPARAM ShiftStateToMouseKeys(TShiftState AShift);
// Same variant type and equal values.
bool VarEqualsExact(const Variant& A, const Variant& B);
void SendKeyDownToEdit(TqvCustomEdit* AEdit, Word AKey);
void SendCharToEdit(TWinControl* AControl, char AChar);
