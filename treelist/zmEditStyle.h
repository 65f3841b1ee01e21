// Edit styles of the tree list's in-place editors: a style per editor with the values it sets
// itself, and style controllers (components) that editors share for the values they do not set.
// An unset value comes from the editor's own controller, else from the default controller, else
// from a hard default. Controllers tell their linked editors of every change.
#pragma once

#include <functional>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/rtl/Component.h"

class TzmInplaceEdit;

enum TzmEditBorderStyle : Byte { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum class TzmEditButtonViewStyle : Byte { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum class TzmEditButtonTransparence : Byte { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };

enum TzmEditEdge : Byte { edgLeft = 1u << 0, edgTop = 1u << 1, edgRight = 1u << 2, edgBottom = 1u << 3 };
using TzmEditEdges = Byte;
constexpr TzmEditEdges zmAllEdges = edgLeft | edgTop | edgRight | edgBottom;

enum class TzmEditStyleValue : Byte {
  svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges, svHotTrack, svShadow
};
// A set of style values: bit n is value n.
using TzmEditStyleValues = Byte;
constexpr TzmEditStyleValues zmStyleValue(TzmEditStyleValue Value) {
  return static_cast<TzmEditStyleValues>(1u << static_cast<unsigned>(Value));
}

using TzmStyleChangedEvent = std::function<void(TObject* Sender, TObject* Link)>;

// Keeps the linked objects (in this library: in-place editors, not owned) and tells each of them
// when the controller changes, unless an update bracket or loading holds the news back.
class TzmStyleController : public TComponent {
  QJ_CLASS(TzmStyleController, TComponent)
 public:
  explicit TzmStyleController(TComponent* AOwner) : TComponent(AOwner) {}

  // Duplicates are allowed; RemoveLink drops the first occurrence.
  virtual void AddLink(TObject* Link);
  virtual void RemoveLink(TObject* Link);
  virtual void ChangeLink(TObject* Link);

  void BeginUpdate() { ++FLockCount; }
  // An end without a matching begin changes nothing, so the controller never falls silent.
  void EndUpdate();
  void Changed();
  void Refresh() { Changed(); }
  Integer GetLinkCount() const { return static_cast<Integer>(FLinks.size()); }
  TObject* GetLink(Integer Index) const { return FLinks.at(static_cast<size_t>(Index)); }

  TzmStyleChangedEvent OnStyleChanged;

 protected:
  void Loaded() override;

 private:
  std::vector<TObject*> FLinks;
  Integer FLockCount = 0;
};

class TzmEditStyleController : public TzmStyleController {
  QJ_CLASS(TzmEditStyleController, TzmStyleController)
 public:
  explicit TzmEditStyleController(TComponent* AOwner);

  void Assign(TPersistent* Source) override;
  // Skips editors linked to another controller, then fires OnStyleChanged.
  void ChangeLink(TObject* Link) override;
  // Back to the defaults of a new controller, heard as one change.
  virtual void RestoreDefaults();

  TColor GetBorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TzmEditBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TzmEditBorderStyle Value);
  TzmEditButtonViewStyle GetButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TzmEditButtonViewStyle Value);
  TzmEditButtonTransparence GetButtonTransparence() const { return FButtonTransparence; }
  void SetButtonTransparence(TzmEditButtonTransparence Value);
  TzmEditEdges GetEdges() const { return FEdges; }
  void SetEdges(TzmEditEdges Value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool GetShadow() const { return FShadow; }
  void SetShadow(bool Value);

 private:
  template <class T>
  void Update(T& Field, T Value);

  TColor FBorderColor = clWindowFrame;
  TzmEditBorderStyle FBorderStyle = xbs3D;
  TzmEditButtonViewStyle FButtonStyle = TzmEditButtonViewStyle::btsDefault;
  TzmEditButtonTransparence FButtonTransparence = TzmEditButtonTransparence::ebtNone;
  TzmEditEdges FEdges = zmAllEdges;
  bool FHotTrack = false;
  bool FShadow = false;
};

// The style of one editor (which owns it). Values not in AssignedValues are inherited.
class TzmEditStyle : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TzmEditStyle, TzmInplaceEdit*>;
  QJ_CLASS(TzmEditStyle, TPersistent)

 public:
  explicit TzmEditStyle(TzmInplaceEdit* AEdit) : FEdit(AEdit) {}
  // Registers the editor with the default controller (a virtual choice, hence after construction).
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Assign(TPersistent* Source) override;
  virtual void Changed();
  virtual void RestoreDefaults();
  // The controller that reaches every editor without one of its own.
  virtual TzmEditStyleController* GetDefaultStyleController() const;
  // The editor's own controller, or nullptr.
  TzmEditStyleController* GetStyleController() const;
  TzmInplaceEdit* GetEdit() const { return FEdit; }

  TzmEditStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TzmEditStyleValues Value);
  bool IsAssigned(TzmEditStyleValue Value) const { return (FAssignedValues & zmStyleValue(Value)) != 0; }

  TColor GetBorderColor() const;
  void SetBorderColor(TColor Value);
  TzmEditBorderStyle GetBorderStyle() const;
  void SetBorderStyle(TzmEditBorderStyle Value);
  TzmEditButtonViewStyle GetButtonStyle() const;
  void SetButtonStyle(TzmEditButtonViewStyle Value);
  TzmEditButtonTransparence GetButtonTransparence() const;
  void SetButtonTransparence(TzmEditButtonTransparence Value);
  TzmEditEdges GetEdges() const;
  void SetEdges(TzmEditEdges Value);
  bool GetHotTrack() const;
  void SetHotTrack(bool Value);
  bool GetShadow() const;
  void SetShadow(bool Value);

 protected:
  // The inherited values: the editor's controller, else the default controller, else the hard
  // defaults. The tree list's style class takes tree-list-wide values instead.
  virtual TColor DefaultBorderColor() const;
  virtual TzmEditBorderStyle DefaultBorderStyle() const;
  virtual TzmEditButtonViewStyle DefaultButtonStyle() const;
  virtual TzmEditButtonTransparence DefaultButtonTransparence() const;
  virtual TzmEditEdges DefaultEdges() const;
  virtual bool DefaultHotTrack() const;
  virtual bool DefaultShadow() const;
  // The controller the inherited values come from, or nullptr.
  TzmEditStyleController* InheritedController() const;

 private:
  template <class T>
  void Update(TzmEditStyleValue Member, T& Field, T Value);

  TzmEditStyleValues FAssignedValues = 0;
  TColor FBorderColor = clWindowFrame;
  TzmEditBorderStyle FBorderStyle = xbs3D;
  TzmEditButtonViewStyle FButtonStyle = TzmEditButtonViewStyle::btsDefault;
  TzmEditButtonTransparence FButtonTransparence = TzmEditButtonTransparence::ebtNone;
  TzmEditEdges FEdges = zmAllEdges;
  TzmInplaceEdit* FEdit;
  bool FHotTrack = false;
  bool FShadow = false;
};

using TzmEditStyleClass = const TzmEditStyle::MetaType*;

// The global controller every editor without its own controller follows (the container unit
// creates it at start and frees it at end; nullptr otherwise).
TzmEditStyleController* DefaultEditStyleController();
void SetDefaultEditStyleController(TzmEditStyleController* Value);
