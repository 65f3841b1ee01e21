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
// Where the parts live: qvEditProperties.cpp (properties, buttons, alignment, values,
// provider), qvEditViewInfo.cpp (view infos).
#pragma once

#include <functional>
#include <vector>

#include "core/qvClasses.h"
#include "lookandfeel/qvGraphics.h"
#include "platform/rtl/Collection.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Variants.h"

class TqvCustomEditProperties;
class TWinControl;

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

  template <class Cls>
  static TqvEditPropertiesMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvEditPropertiesMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetPropertiesValuesClass = &Cls::PropertiesValuesClass;
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

  // Class-level operations of this object's class.
  const TqvEditPropertiesMetaClass& GetClassInfo() const {
    return *static_cast<const TqvEditPropertiesMetaClass*>(ClassType());
  }
  TqvCustomEditPropertiesValuesClass GetPropertiesValuesClass() const {
    return GetClassInfo().GetPropertiesValuesClass();
  }

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
  virtual bool IsDisplayFormatDefined(bool AIsEditing);
  virtual bool IsValueChangeNotifiedByText() const { return false; }
  virtual bool WantsTabKey() const { return false; }
  virtual bool WantsNavigationKeys() const { return false; }
  // The text a value shows without a control.
  virtual String GetDisplayText(const Variant& AEditValue, bool AFullText = false);
  virtual TqvEditSupportedOperations GetSupportedOperations() const;
  virtual bool IsEditValueValid(Variant& AEditValue, bool AEditFocused);
  virtual bool CanRevertEditValue() const { return false; }
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
