// The tree of levels of a grid. The root belongs to the grid and is never shown; each child of
// the root is a tab at the top of the grid, each deeper level a detail of its parent. A level
// shows one view (its pattern view), decides whether it can be shown, links its view's data
// controller to the parent view's through a data relation, makes the detail clones of its view
// and says how the frame and tabs of its detail area look (options and styles).
#pragma once

#include <functional>
#include <vector>

#include "lookandfeel/qvStyles.h"
#include "platform/rtl/Component.h"
#include "platform/forms/Graphics.h"

class TqvCustomDataRelation;
class TqvCustomGrid;
class TqvCustomGridRecord;
class TqvCustomGridView;
class TqvGridLevel;

enum TqvGridDetailTabsPosition { dtpNone, dtpLeft, dtpTop };

// How a level draws the detail area of its children: the frame and the tabs.
class TqvGridLevelOptions : public TPersistent {
  QJ_CLASS(TqvGridLevelOptions, TPersistent)
 public:
  static constexpr Integer DefaultDetailFrameWidth = 1;

  explicit TqvGridLevelOptions(TqvGridLevel* ALevel);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TqvGridLevel* GetLevel() const { return FLevel; }
  // clDefault: the painter's fixed separator colour.
  TColor GetDetailFrameColor() const { return FDetailFrameColor; }
  void SetDetailFrameColor(TColor AValue);
  // The colour the frame is drawn in: DetailFrameColor, or for clDefault the grid's look-and-feel
  // painter's fixed separator colour.
  TColor GetActualDetailFrameColor() const;
  // A negative value is stored as 0.
  Integer GetDetailFrameWidth() const { return FDetailFrameWidth; }
  void SetDetailFrameWidth(Integer AValue);
  // Stored only when it differs from the default (0 for the root, 1 for other levels).
  bool IsDetailFrameWidthStored() const;
  TqvGridDetailTabsPosition GetDetailTabsPosition() const { return FDetailTabsPosition; }
  void SetDetailTabsPosition(TqvGridDetailTabsPosition AValue);
  bool IsDetailTabsPositionStored() const { return FDetailTabsPosition != dtpNone; }

 private:
  TqvGridLevel* FLevel;
  TColor FDetailFrameColor = clDefault;
  Integer FDetailFrameWidth = DefaultDetailFrameWidth;
  TqvGridDetailTabsPosition FDetailTabsPosition = dtpNone;
};

// AStyle is nullptr on entry; a style given back wins over the level's Tab style.
using TqvGridGetTabStyleEvent = std::function<void(TqvGridLevel* Sender, TqvGridLevel* ATabLevel, TqvStyle*& AStyle)>;

// Styles of a level's detail area: its tabs (Tab) and the strip behind them (TabsBackground).
// Defaults: the grid's font and the look-and-feel painter's tab colours. A change measures the
// grid again.
class TqvGridLevelStyles : public TqvStyles {
  QJ_CLASS(TqvGridLevelStyles, TqvStyles)
 public:
  static constexpr Integer lsTab = 0;
  static constexpr Integer lsTabsBackground = 1;

  explicit TqvGridLevelStyles(TPersistent* AOwner) : TqvStyles(AOwner) {}
  // The sheet, Tab, TabsBackground and OnGetTabStyle.
  void Assign(TPersistent* Source) override;
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override;

  // The owner when it is a level.
  TqvGridLevel* GetLevel() const;
  // The Tab params of the tab of ATabLevel (a child of the level): OnGetTabStyle is asked first.
  void GetTabParams(TqvGridLevel* ATabLevel, TqvViewParams& AParams);

  TqvStyle* GetTab() const { return GetValue(lsTab); }
  void SetTab(TqvStyle* AValue) { SetValue(lsTab, AValue); }
  TqvStyle* GetTabsBackground() const { return GetValue(lsTabsBackground); }
  void SetTabsBackground(TqvStyle* AValue) { SetValue(lsTabsBackground, AValue); }

  TqvGridGetTabStyleEvent OnGetTabStyle;

 protected:
  void Changed(Integer AIndex) override;
};

// AGridView holds the level's view on entry; the view it holds afterwards is cloned (nullptr: no
// clone). AMasterRecord is the master view's record that shows the master record, nullptr
// when its view data has none.
using TqvGridLevelGetGridViewEvent =
    std::function<void(TqvGridLevel* Sender, TqvCustomGridRecord* AMasterRecord, TqvCustomGridView*& AGridView)>;

// One level of a grid. The children are components of the form, freed by their parent. Code
// that fires an event of the level checks its AliveToken afterwards.
class TqvGridLevel : public TComponent {
  QJ_CLASS(TqvGridLevel, TComponent)
 public:
  explicit TqvGridLevel(TComponent* AOwner);
  ~TqvGridLevel() override;
  // The styles, from GetStylesClass.
  void AfterConstruction() override;
  // Frees the children (last first), lets go of its view and leaves its parent.
  void BeforeDestruction() override;

  // -- Tree
  TqvCustomGrid* GetControl() const { return FControl; }
  // The root level is told its grid by the grid.
  void SetControl(TqvCustomGrid* AControl) { SetControlOfTree(AControl); }
  TqvGridLevel* GetParent() const { return FParent; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvGridLevel* GetItem(Integer AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
  Integer GetVisibleCount() const { return static_cast<Integer>(FVisibleItems.size()); }
  TqvGridLevel* GetVisibleItem(Integer AIndex) const { return FVisibleItems.at(static_cast<size_t>(AIndex)); }
  // The position in the parent's visible children; -1 when hidden.
  Integer GetVisibleIndex() const;
  // A new child of GetLevelClass, owned by the grid's owner.
  TqvGridLevel* Add();
  // Appends AChild (leaving its old parent) and links its view to this level's view. A child
  // that would become its own ancestor, or a grid's root level, is refused with
  // EInvalidOperation; nothing changes then.
  virtual void AddChild(TqvGridLevel* AChild);
  // AChild leaves the tree with its children: no parent, no data relation, no grid.
  virtual void RemoveChild(TqvGridLevel* AChild);
  // The link in the data controller of the parent's view; nullptr for the root, for a level
  // whose parent has no view and while the level is not in a tree.
  TqvCustomDataRelation* GetDataRelation() const { return FDataRelation; }

  // -- Predicates
  // The grid's root level.
  bool IsRoot() const;
  // The parent is the grid's root level.
  bool IsTop() const;
  // The grid's active level.
  bool IsActive() const;
  // Visible, and every parent too.
  bool VisibleInTree() const;
  // Visible; a top level must also be active; the parent actually visible (the root counts).
  bool ActuallyVisible() const;
  // False: the grid's active level becomes its first visible tab. True makes a top level the
  // active one; anything else is ignored.
  void SetActive(bool AValue);

  // -- Properties
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& AValue);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool AValue);
  TqvCustomGridView* GetGridView() const { return FGridView; }
  // A view another level shows moves here; the old view goes back to its home grid.
  void SetGridView(TqvCustomGridView* AValue);
  // Visible: the view's data controller joins the level's data relation, a pattern when
  // APattern; else it is detached as a pattern.
  void AttachView(bool AVisible, bool APattern);
  // 0: detail areas of any height. A negative value is stored as 0.
  Integer GetMaxDetailHeight() const { return FMaxDetailHeight; }
  void SetMaxDetailHeight(Integer AValue);
  TqvGridLevelOptions* GetOptions() const { return FOptions.get(); }
  void SetOptions(TqvGridLevelOptions* AValue) { FOptions->Assign(AValue); }
  TqvGridLevelStyles* GetStyles() const { return FStyles.get(); }
  void SetStyles(TqvGridLevelStyles* AValue) { FStyles->Assign(AValue); }

  // -- Streaming: a top level's parent is its grid, any other level's its parent level
  bool HasParent() override { return true; }
  TComponent* GetParentComponent() override;
  // A grid means its root level; anything but a grid or a level raises EInvalidCast.
  void SetParentComponent(TComponent* Value) override;
  // The children owned by Root.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  // In slot order.
  // The clone of the view (or of the one OnGetGridView chooses) for one master record of the
  // parent's view, linked to ARelation: built inside an update whose queued changes are dropped.
  // nullptr without a view or while the level is hidden. When building fails, the clone is
  // freed and the exception goes on.
  virtual TqvCustomGridView* CreateDetailClone(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex);
  // True: the grid measures everything again; False: it lays out again.
  virtual void Changed(bool ASize);
  // Cuts AHeight to MaxDetailHeight when that is set and smaller.
  virtual void LimitDetailHeight(Integer& AHeight);
  virtual TComponent::MetaType const* GetLevelClass() const { return &TqvGridLevel::StaticClass(); }
  virtual TqvCustomStylesClass GetStylesClass() const;
  // Rebuilds the visible children and tells the level's view their old and new count.
  virtual void ChildVisibilityChanged(TqvGridLevel* AChild);

  TqvGridLevelGetGridViewEvent OnGetGridView;

 private:
  void RefreshVisibleItems();
  void SetControlOfTree(TqvCustomGrid* AControl);
  // Makes AChild's relation in this level's view's data controller and attaches AChild's view.
  void LinkChild(TqvGridLevel* AChild);
  void UnlinkChild(TqvGridLevel* AChild);
  void CheckNewChild(TqvGridLevel* AChild) const;
  TqvCustomGridRecord* FindMasterRecord(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) const;
  TqvCustomGridView* BuildDetailClone(TqvCustomGridView* APattern, TqvCustomDataRelation* ARelation,
                                      Integer AMasterRecordIndex);

  String FCaption;
  TqvCustomGrid* FControl = nullptr;
  TqvCustomDataRelation* FDataRelation = nullptr;
  TqvCustomGridView* FGridView = nullptr;
  std::vector<TqvGridLevel*> FItems;
  Integer FMaxDetailHeight = 0;
  TOwned<TqvGridLevelOptions> FOptions;
  TqvGridLevel* FParent = nullptr;
  TOwned<TqvGridLevelStyles> FStyles;
  bool FVisible = true;
  std::vector<TqvGridLevel*> FVisibleItems;
};
