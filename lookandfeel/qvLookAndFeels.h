// Look-and-feel settings: which drawing kind a control uses and whether it draws with the
// theme. Values a look and feel does not set itself follow its master, in the end the one
// process-wide root; a change flows down to every follower that does not set the value. The
// controller component edits the root, the application-wide default.
#pragma once

#include <functional>
#include <vector>

#include "core/qvClasses.h"
#include "lookandfeel/qvLookAndFeelPainters.h"

enum TqvLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat };
enum TqvLookAndFeelValue { lfvKind, lfvNativeStyle };
using TqvLookAndFeelValues = Cardinal;  // bit (1 << TqvLookAndFeelValue)
constexpr TqvLookAndFeelValues lfvBit(TqvLookAndFeelValue V) { return 1u << V; }
constexpr TqvLookAndFeelValues lfvAll = lfvBit(lfvKind) | lfvBit(lfvNativeStyle);

class TqvLookAndFeel;

// What a look and feel tells the objects that follow it.
class IqvLookAndFeelListener : public virtual IInterface {
 public:
  virtual TObject* GetObject() = 0;
  virtual void MasterChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) = 0;
  virtual void MasterDestroying(TqvLookAndFeel* Sender) = 0;
};

using TqvLookAndFeelChangedEvent = std::function<void(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues)>;

// The painter of a kind: flat, standard or ultra-flat.
TqvLookAndFeelPainterClass GetLookAndFeelPainterByKind(TqvLookAndFeelKind AKind);

class TqvLookAndFeel : public TqvInterfacedPersistent, public IqvLookAndFeelListener {
  QJ_CLASS(TqvLookAndFeel, TqvInterfacedPersistent)
 public:
  // Follows the root (from AfterConstruction on) until a value is assigned.
  explicit TqvLookAndFeel(TPersistent* AOwner);
  ~TqvLookAndFeel() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  // Copies the own values, the assigned set and the master of another look and feel.
  void Assign(TPersistent* Source) override;

  // The effective values.
  TqvLookAndFeelKind GetKind() const { return FKind; }
  bool GetNativeStyle() const { return FNativeStyle; }
  // Marks the value assigned (so it is stored) and notifies when the effective value changes.
  void SetKind(TqvLookAndFeelKind Value);
  void SetNativeStyle(bool Value);
  TqvLookAndFeelValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TqvLookAndFeelValues Value);
  // Both values follow the master again.
  void Reset() { SetAssignedValues(0); }

  // The explicit master, else the root; none for the root itself.
  TqvLookAndFeel* GetMasterLookAndFeel() const;
  // Ignored for the root and for itself; nullptr follows the root again.
  void SetMasterLookAndFeel(TqvLookAndFeel* Value);
  bool IsRoot() const { return FIsRoot; }

  virtual TqvLookAndFeelKind GetEffectiveKind() const;
  virtual bool GetEffectiveNativeStyle() const;

  void AddChangeListener(IqvLookAndFeelListener* AListener);
  void RemoveChangeListener(IqvLookAndFeelListener* AListener);
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  // The native-theme painter when native style is on and themes are available (with the theme
  // classes of the mask), else the painter of the kind.
  TqvLookAndFeelPainterClass GetPainter() const { return GetAvailablePainter(0); }
  TqvLookAndFeelPainterClass GetAvailablePainter(Cardinal AThemeClassMask) const;

  TObject* GetObject() override { return this; }
  void MasterChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void MasterDestroying(TqvLookAndFeel* Sender) override;

  // Called after the listeners on every change.
  TqvLookAndFeelChangedEvent OnChanged;

 protected:
  void Changed(TqvLookAndFeelValues AChangedValues);

 private:
  friend class TqvLookAndFeelUnits;
  TqvLookAndFeelKind GetDefaultKind() const;
  bool GetDefaultNativeStyle() const;
  void SaveValues();
  void CheckValuesChanged();
  bool HasListener(IqvLookAndFeelListener* AListener) const;

  TqvLookAndFeelValues FAssignedValues = 0;
  std::vector<IqvLookAndFeelListener*> FListeners;
  TqvLookAndFeelKind FKind = lfUltraFlat;
  bool FNativeStyle = false;
  TqvLookAndFeelKind FOwnKind = lfUltraFlat;
  bool FOwnNativeStyle = false;
  bool FDestroying = false;
  bool FIsRoot = false;
  TqvLookAndFeel* FMasterLookAndFeel = nullptr;
  TqvLookAndFeelKind FSavedKind = lfUltraFlat;
  bool FSavedNativeStyle = false;
};

// The process-wide root, or nullptr outside the units' lifetime.
TqvLookAndFeel* RootLookAndFeel();

// The form component that edits the root. The root returns to its defaults when the last
// controller goes.
class TqvLookAndFeelController : public TComponent, public IqvLookAndFeelListener {
  QJ_CLASS(TqvLookAndFeelController, TComponent)
 public:
  explicit TqvLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {}
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TqvLookAndFeelKind GetKind() const;
  void SetKind(TqvLookAndFeelKind Value);
  bool GetNativeStyle() const;
  void SetNativeStyle(bool Value);

  TObject* GetObject() override { return this; }
  void MasterChanged(TqvLookAndFeel*, TqvLookAndFeelValues) override {}
  void MasterDestroying(TqvLookAndFeel*) override {}
};

// The number of controllers registered with the root.
Integer GetLookAndFeelControllerCount();

// The lifetime of the look-and-feel units, in unit order: the graphics unit (colour listener,
// brush cache), the theme manager, the root look and feel, the control foundation (cursors,
// mouse tracking, scroll-bar metrics), the styles and the containers (screen canvas, popup
// hooks); freed in reverse order together with the painters' resources. Make one before the first control and free it after the last.
class TqvLookAndFeelUnits {
 public:
  TqvLookAndFeelUnits();
  ~TqvLookAndFeelUnits();
  TqvLookAndFeelUnits(const TqvLookAndFeelUnits&) = delete;
  TqvLookAndFeelUnits& operator=(const TqvLookAndFeelUnits&) = delete;
};
