// The tree of levels of a grid. The root belongs to the grid and is never shown; each child of
// the root is a tab at the top of the grid, each deeper level a detail of its parent. A level
// shows one view (its pattern view), decides whether it can be shown and lays out the frame and
// tabs of its detail area by its options.
#pragma once

#include <vector>

#include "platform/rtl/Component.h"
#include "platform/forms/Graphics.h"

class TqvCustomGrid;
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
  // A negative value is stored as 0.
  Integer GetDetailFrameWidth() const { return FDetailFrameWidth; }
  void SetDetailFrameWidth(Integer AValue);
  // Stored only when it differs from the default (0 for the root, 1 for other levels).
  bool IsDetailFrameWidthStored() const;
  TqvGridDetailTabsPosition GetDetailTabsPosition() const { return FDetailTabsPosition; }
  void SetDetailTabsPosition(TqvGridDetailTabsPosition AValue);

 private:
  TqvGridLevel* FLevel;
  TColor FDetailFrameColor = clDefault;
  Integer FDetailFrameWidth = DefaultDetailFrameWidth;
  TqvGridDetailTabsPosition FDetailTabsPosition = dtpNone;
};

// One level of a grid. The children are components of the form, freed by their parent.
class TqvGridLevel : public TComponent {
  QJ_CLASS(TqvGridLevel, TComponent)
 public:
  explicit TqvGridLevel(TComponent* AOwner);
  ~TqvGridLevel() override;
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
  virtual void AddChild(TqvGridLevel* AChild);
  virtual void RemoveChild(TqvGridLevel* AChild);

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
  // Visible: the view's data controller joins the level's data relation (a top level has none:
  // the root shows no view), a pattern when APattern; else it is detached as a pattern.
  void AttachView(bool AVisible, bool APattern);
  TqvGridLevelOptions* GetOptions() const { return FOptions.get(); }
  void SetOptions(TqvGridLevelOptions* AValue) { FOptions->Assign(AValue); }

  // In slot order (the detail clones of the pattern view and the height limit of detail areas
  // join them with the data relations).
  // True: the grid measures everything again; False: it lays out again.
  virtual void Changed(bool ASize);
  virtual TComponent::MetaType const* GetLevelClass() const { return &TqvGridLevel::StaticClass(); }
  // Rebuilds the visible children and tells the level's view their old and new count.
  virtual void ChildVisibilityChanged(TqvGridLevel* AChild);

 private:
  void RefreshVisibleItems();
  void SetControlOfTree(TqvCustomGrid* AControl);

  String FCaption;
  TqvCustomGrid* FControl = nullptr;
  TqvCustomGridView* FGridView = nullptr;
  std::vector<TqvGridLevel*> FItems;
  TOwned<TqvGridLevelOptions> FOptions;
  TqvGridLevel* FParent = nullptr;
  bool FVisible = true;
  std::vector<TqvGridLevel*> FVisibleItems;
};
