// Styles: how the numbered parts of a view look. A style holds an optional background bitmap,
// background colour, font and text colour, each marked assigned or not. A Styles object maps
// part numbers to styles; a part without a style of its own falls back to a style sheet (a
// named, reusable Styles object, which may fall back to another sheet), and values still
// missing come from the owner's defaults. Styles and sheets live in a style repository. Every
// change flows back to the Styles objects that use the changed part.
#pragma once

#include <vector>

#include "lookandfeel/qvControls.h"

enum TqvStyleValue { svBitmap, svColor, svFont, svTextColor };
using TqvStyleValues = Cardinal;  // bit (1 << TqvStyleValue)
constexpr TqvStyleValues svBit(TqvStyleValue V) { return 1u << V; }

// A part resolved: the objects are not owned (they belong to a style or to the defaults).
struct TqvViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};

class TqvCustomStyle;
class TqvCustomStyles;
class TqvCustomStyleSheet;
class TqvStyle;
class TqvStyleRepository;

// The users of a style hear of its changes and of its end.
class IqvStyleListener : public virtual IInterface {
 public:
  virtual void StyleChanged(TqvCustomStyle* AStyle) = 0;
  virtual void StyleRemoved(TqvCustomStyle* AStyle) = 0;
};

// ---------------------------------------------------------------------------------------------
// Styles

class TqvCustomStyle : public TComponent {
  QJ_CLASS(TqvCustomStyle, TComponent)
 public:
  explicit TqvCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}
  // Every listener, last to first, hears StyleRemoved; then the style leaves its repository.
  void BeforeDestruction() override;

  // Every listener, last to first, hears StyleChanged.
  virtual void Changed();
  virtual void AddListener(IqvStyleListener* AListener);
  virtual void RemoveListener(IqvStyleListener* AListener);
  virtual void RestoreDefaults() {}
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  // False for no style.
  static bool IsValueAssigned(const TqvStyle* AStyle, TqvStyleValue AValue);

  TqvStyleRepository* GetStyleRepository() const { return FRepository; }
  // Leaves the old repository's list and joins the new one's (nullptr: none).
  void MoveToRepository(TqvStyleRepository* ARepository);
  // The streaming parent is the repository; raises EInvalidCast for anything else.
  bool HasParent() override { return FRepository != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;

 private:
  std::vector<IqvStyleListener*> FListeners;
  TqvStyleRepository* FRepository = nullptr;
};

using TqvCustomStyleClass = const TComponent::MetaType*;

class TqvStyle : public TqvCustomStyle {
  QJ_CLASS(TqvStyle, TqvCustomStyle)
 public:
  explicit TqvStyle(TComponent* AOwner);
  ~TqvStyle() override;

  // From a style: every value, then exactly the source's assigned set.
  void Assign(TPersistent* Source) override;
  // Nothing assigned, no bitmap, both colours clDefault (the font keeps its values).
  void RestoreDefaults() override;

  TqvStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TqvStyleValues Value);
  // Copied in: a bitmap is assigned while it is not empty, a font always.
  TBitmap* GetBitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* Value) { FBitmap->Assign(Value); }
  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  // clDefault takes the value back out of the assigned set.
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);

 private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);
  void SetValueAssigned(TqvStyleValue AValue, bool AAssigned);

  TqvStyleValues FAssignedValues = 0;
  TOwned<TBitmap> FBitmap;
  TColor FColor = clDefault;
  TOwned<TFont> FFont;
  TColor FTextColor = clDefault;
  bool FRestoring = false;
};

// ---------------------------------------------------------------------------------------------
// Styles objects

// Part numbers mapped to styles, kept sorted by number; the owner is the view, level, item or
// sheet it belongs to. A part without an own style falls back to the style sheet's chain.
class TqvCustomStyles : public TqvInterfacedPersistent, public IqvStyleListener {
  QJ_CLASS(TqvCustomStyles, TqvInterfacedPersistent)
 public:
  explicit TqvCustomStyles(TPersistent* AOwner) : TqvInterfacedPersistent(AOwner) {}
  // Lets go of every style and of the sheet.
  void BeforeDestruction() override;
  // From Styles: only the sheet; descendants copy their own entries.
  void Assign(TPersistent* Source) override;

  // The own style, else the sheet chain's (not while the owner is being written, so that only
  // own styles are stored).
  TqvStyle* GetValue(Integer Index) const;
  // Nothing when AStyle is what GetValue answers already, the sheet's included.
  void SetValue(Integer Index, TqvStyle* AStyle);
  // The own entries in ascending part order.
  Integer GetCount() const { return static_cast<Integer>(FEntries.size()); }
  Integer GetEntryIndex(Integer APosition) const { return FEntries[size_t(APosition)].Index; }
  TqvStyle* GetEntryStyle(Integer APosition) const { return FEntries[size_t(APosition)].Style; }
  // Binary search; not found: APosition is where the entry would go.
  bool Find(Integer Index, Integer& APosition) const;
  void Delete(Integer APosition);
  void Clear();

  TqvCustomStyleSheet* GetStyleSheet() const { return FStyleSheet; }
  // Ignored for the current sheet and for a sheet that is not valid.
  void SetStyleSheet(TqvCustomStyleSheet* Value);
  // No sheet; or a sheet of exactly this class that is not the own sheet and whose chain does
  // not lead back to it.
  bool IsValidStyleSheet(TqvCustomStyleSheet* ASheet) const;
  // The sheet whose own styles these are, if any.
  TqvCustomStyleSheet* GetOwningStyleSheet() const { return FOwningStyleSheet; }

  void StyleChanged(TqvCustomStyle* AStyle) override;
  void StyleRemoved(TqvCustomStyle* AStyle) override;

 protected:
  // A part's look changed; descendants repaint their owner.
  virtual void Changed(Integer /*Index*/) {}
  virtual void NotifyStyleChanged(Integer Index);

 private:
  friend class TqvCustomStyleSheet;
  struct TEntry {
    Integer Index;
    TqvStyle* Style;
  };
  bool IsOwnerWriting() const;
  bool UsesStyle(const TqvStyle* AStyle) const;
  void ReleaseStyle(TqvStyle* AStyle);
  static void GatherIndexes(TqvCustomStyleSheet* ASheet, std::vector<Integer>& AIndexes);

  std::vector<TEntry> FEntries;
  TqvCustomStyleSheet* FStyleSheet = nullptr;
  TqvCustomStyleSheet* FOwningStyleSheet = nullptr;
  bool FDestroying = false;
};

using TqvCustomStylesClass = const TqvInterfacedPersistent::MetaType*;

// Styles resolved into view parameters, with defaults per part from the descendant.
class TqvStyles : public TqvCustomStyles, public IqvFontListener {
  QJ_CLASS(TqvStyles, TqvCustomStyles)
 public:
  explicit TqvStyles(TPersistent* AOwner) : TqvCustomStyles(AOwner) {}

  // Each value from AStyle when assigned there, else from the part's style when assigned there,
  // else from GetDefaultViewParams.
  void GetViewParams(Integer Index, TObject* AData, const TqvStyle* AStyle, TqvViewParams& AParams);
  // The base sets no bitmap; descendants fill colour, font and text colour.
  virtual void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams);
  // The part's style has no font of its own.
  virtual bool UsesDefaultFont(Integer Index);
  // The part's own, non-empty bitmap, or nullptr.
  TBitmap* GetBitmap(Integer Index);
  // The highest part whose defaults were asked for.
  Integer GetMaxDefaultViewParamsIndex() const { return FMaxDefaultViewParamsIndex; }

  // A font a control's listener reports: the parts that show it as their default font (up to
  // the highest one whose defaults were asked for) are notified.
  void FontChanged(TObject* Sender, TFont* AFont) override { ApplyDefaultFontChange(Sender, AFont); }
  void ApplyDefaultFontChange(TObject* Sender, TFont* AFont);

 protected:
  bool GetUseBitmaps() const { return FUseBitmaps; }
  void SetUseBitmaps(bool Value) { FUseBitmaps = Value; }

 private:
  bool FUseBitmaps = false;
  Integer FMaxDefaultViewParamsIndex = 0;
};

// ---------------------------------------------------------------------------------------------
// Style sheets and the repository

// A named, reusable Styles object that other Styles objects fall back to.
class TqvCustomStyleSheet : public TqvComponent {
  QJ_CLASS(TqvCustomStyleSheet, TqvComponent)
 public:
  explicit TqvCustomStyleSheet(TComponent* AOwner);
  // Makes the own Styles object of the class GetStyleSetClass names.
  void AfterConstruction() override;
  // The users fall back to no sheet any more; the sheet leaves its repository.
  void BeforeDestruction() override;
  // From a sheet: the caption, then the styles.
  void Assign(TPersistent* Source) override;

  virtual TqvCustomStylesClass GetStyleSetClass() const { return &TqvCustomStyles::StaticClass(); }
  TqvCustomStyles* GetStyles() const { return FStyles.get(); }
  void SetStyles(TqvCustomStyles* Value) { FStyles->Assign(Value); }
  // The explicit caption, else the name. A caption equal to the name (without case) is no
  // explicit caption.
  String GetCaption() const;
  void SetCaption(const String& Value);
  // True for a sheet made at design time; stored as the hidden "BuiltIn" value.
  bool GetBuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(bool Value) { FBuiltIn = Value; }
  Integer GetUserCount() const { return static_cast<Integer>(FUsers.size()); }

  // The owners of the styles the sheet uses, when they are not the sheet's owner.
  void GetFakeComponentLinks(std::vector<TComponent*>& AList) override;

  TqvStyleRepository* GetStyleRepository() const { return FRepository; }
  void MoveToRepository(TqvStyleRepository* ARepository);
  bool HasParent() override { return FRepository != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;

 private:
  friend class TqvCustomStyles;
  void AttachStyles(TqvCustomStyles* AStyles);
  void DetachStyles(TqvCustomStyles* AStyles);
  void BroadcastIndexChange(Integer Index);

  String FCaption;
  TOwned<TqvCustomStyles> FStyles;
  std::vector<TqvCustomStyles*> FUsers;
  bool FBuiltIn = false;
  TqvStyleRepository* FRepository = nullptr;
};

using TqvCustomStyleSheetClass = const TComponent::MetaType*;

// Holds the styles and style sheets of a form and frees them with itself.
class TqvStyleRepository : public TComponent {
  QJ_CLASS(TqvStyleRepository, TComponent)
 public:
  explicit TqvStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
  // Frees the styles, then the sheets.
  void BeforeDestruction() override;

  // Made with the repository (or AOwner) as owner and listed here. The class must be a style
  // (a style sheet) class; anything else raises EInvalidCast.
  virtual TqvCustomStyle* CreateStyle(TqvCustomStyleClass AStyleClass) { return CreateItemEx(AStyleClass, this); }
  virtual TqvCustomStyle* CreateItemEx(TqvCustomStyleClass AStyleClass, TComponent* AOwner);
  virtual TqvCustomStyleSheet* CreateStyleSheet(TqvCustomStyleSheetClass ASheetClass) {
    return CreateStyleSheetEx(ASheetClass, this);
  }
  virtual TqvCustomStyleSheet* CreateStyleSheetEx(TqvCustomStyleSheetClass ASheetClass, TComponent* AOwner);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvCustomStyle* GetItem(Integer Index) const { return FItems[size_t(Index)]; }
  Integer GetStyleSheetCount() const { return static_cast<Integer>(FStyleSheets.size()); }
  TqvCustomStyleSheet* GetStyleSheet(Integer Index) const { return FStyleSheets[size_t(Index)]; }
  // For streaming: the styles owned by Root, then the sheets owned by Root, in list order.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  // Free the styles (the sheets), last to first.
  void Clear();
  void FreeAllStyleSheets();

 private:
  friend class TqvCustomStyle;
  friend class TqvCustomStyleSheet;
  void AddItem(TqvCustomStyle* AItem);
  void RemoveItem(TqvCustomStyle* AItem);
  void AddStyleSheet(TqvCustomStyleSheet* ASheet);
  void RemoveStyleSheet(TqvCustomStyleSheet* ASheet);

  std::vector<TqvCustomStyle*> FItems;
  std::vector<TqvCustomStyleSheet*> FStyleSheets;
};

// Registers the style class for streaming; the look-and-feel units run it.
void InitStylesUnit();
