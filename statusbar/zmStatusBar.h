// The status bar: a row of panels whose content is drawn by exchangeable panel styles and whose
// frame is drawn by a painter chosen from the paint style.
//
// Where the parts live: zmStatusBarLayout.cpp (the panels' widths), zmStatusBarIndicators.cpp
// (the state indicators and their bitmaps), zmStatusBarKeyboardState.cpp (the key appearances
// and the keyboard-state watcher).
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "lookandfeel/qvGraphics.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Threads.h"

class TControl;

// ---------------------------------------------------------------------------------------------
// Panel widths

// What the layout needs of one panel.
struct TzmStatusBarPanelWidthRule {
  Integer MinWidth = 0;
  Integer Width = 0;
  bool Fixed = true;
};

// Spreads AAvailableWidth over the panels and the fixed separators of ASeparatorSize between
// them: the result holds 2n - 1 widths, panel, separator, panel ... A fixed panel keeps its
// width; the last panel takes up what is left unless an earlier panel is not fixed.
std::vector<Integer> CalculatePanelWidths(std::span<const TzmStatusBarPanelWidthRule> APanels,
                                          Integer ASeparatorSize, Integer AAvailableWidth);

// ---------------------------------------------------------------------------------------------
// State indicators

enum TzmStatusBarStateIndicatorType { sitOff, sitYellow, sitBlue, sitGreen, sitRed, sitTeal, sitPurple };

// The program's bitmap resource of an indicator type ("ZMSTATUSBAR_GRAY" ...). The seven
// bitmaps are drawn in code and registered on first use.
String GetStateIndicatorResourceName(TzmStatusBarStateIndicatorType AType);
void RegisterStateIndicatorBitmaps();

class TzmStatusBarStateIndicatorItem : public TCollectionItem {
  QJ_CLASS(TzmStatusBarStateIndicatorItem, TCollectionItem)
 public:
  explicit TzmStatusBarStateIndicatorItem(TCollection* Collection);
  ~TzmStatusBarStateIndicatorItem() override;
  void Assign(TPersistent* Source) override;

  TzmStatusBarStateIndicatorType GetIndicatorType() const { return FIndicatorType; }
  // Loads the type's bitmap.
  void SetIndicatorType(TzmStatusBarStateIndicatorType Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // Drawn transparently: its bottom-left colour is the background.
  TBitmap* GetIndicatorBitmap() const { return FIndicatorBitmap.get(); }

 private:
  void LoadBitmap();

  TzmStatusBarStateIndicatorType FIndicatorType = sitOff;
  bool FVisible = true;
  TOwned<TBitmap> FIndicatorBitmap;
};

// The indicators of a state-indicator panel; a change of an item or of the list calls OnChange.
class TzmStatusBarStateIndicators : public TCollection {
  QJ_CLASS(TzmStatusBarStateIndicators, TCollection)
 public:
  TzmStatusBarStateIndicators();
  TzmStatusBarStateIndicatorItem* Add() { return static_cast<TzmStatusBarStateIndicatorItem*>(TCollection::Add()); }
  TzmStatusBarStateIndicatorItem* GetItem(Integer Index) const {
    return static_cast<TzmStatusBarStateIndicatorItem*>(TCollection::GetItem(Index));
  }

  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem* Item) override;
};

// ---------------------------------------------------------------------------------------------
// Keyboard states

enum TzmStatusBarKeyboardState { zmksCapsLock, zmksNumLock, zmksScrollLock, zmksInsert };
using TzmStatusBarKeyboardStates = Cardinal;  // bit (1 << TzmStatusBarKeyboardState)
constexpr TzmStatusBarKeyboardStates zmksBit(TzmStatusBarKeyboardState S) { return 1u << S; }
constexpr TzmStatusBarKeyboardStates zmksAll =
    zmksBit(zmksCapsLock) | zmksBit(zmksNumLock) | zmksBit(zmksScrollLock) | zmksBit(zmksInsert);

// How a keyboard-state panel shows one key, active (toggled on) and inactive. Every setter
// stores the value and calls the change event.
class TzmStatusBarKeyStateAppearance : public TPersistent {
  QJ_CLASS(TzmStatusBarKeyStateAppearance, TPersistent)
 public:
  TzmStatusBarKeyStateAppearance(TzmStatusBarKeyboardState AKey, Word ACode, const String& AActiveCaption,
                                 TColor AActiveFontColor, const String& AInactiveCaption, TColor AInactiveFontColor,
                                 TNotifyEvent AOnChange);
  // Copies the captions and colours.
  void Assign(TPersistent* Source) override;

  TzmStatusBarKeyboardState GetKey() const { return FKey; }
  Word GetCode() const { return FCode; }
  const String& GetActiveCaption() const { return FActiveCaption; }
  void SetActiveCaption(const String& Value);
  TColor GetActiveFontColor() const { return FActiveFontColor; }
  void SetActiveFontColor(TColor Value);
  const String& GetInactiveCaption() const { return FInactiveCaption; }
  void SetInactiveCaption(const String& Value);
  TColor GetInactiveFontColor() const { return FInactiveFontColor; }
  void SetInactiveFontColor(TColor Value);
  // The wider of the two captions in the canvas's font, plus 4.
  Integer GetCellWidth(TqvCanvas* ACanvas) const;

 private:
  void Changed();

  TzmStatusBarKeyboardState FKey;
  Word FCode;
  String FActiveCaption;
  TColor FActiveFontColor;
  String FInactiveCaption;
  TColor FInactiveFontColor;
  TNotifyEvent FOnChange;
};

// The state byte of a key as the keyboard state holds it: 0x80 while the key is down, 0x01
// while it is toggled on. A reader is called from the watcher thread.
using TzmKeyStateReader = std::function<Byte(Word AKey)>;
// The window system's key state (Insert included: the window system counts its presses).
Byte GetWindowSystemKeyState(Word AKey);
// Bit 0, so that a toggle key held down (0x81) still shows on.
constexpr bool IsKeyToggledOn(Byte AState) { return (AState & 0x01) != 0; }

struct TzmStatusBarKeyboardStateWatchedKey {
  Word Code = 0;
  Byte State = 0;  // as last seen
};

// The keyboard-state watcher: a thread at idle priority that reads the watched keys every poll
// interval and, when a state changed, posts a repaint of the status bar to the GUI thread. It
// never waits for the GUI thread, and the posted repaint reaches the bar only while the bar
// lives and the watcher has not been freed. Freeing it (on the GUI thread) wakes and joins the
// thread at once.
class TzmStatusBarKeyboardStateNotifier : public TThread {
  QJ_CLASS(TzmStatusBarKeyboardStateNotifier, TThread)
 public:
  static constexpr Cardinal DefaultPollInterval = 100;  // ms

  explicit TzmStatusBarKeyboardStateNotifier(TControl* AStatusBar, TzmKeyStateReader AReader = GetWindowSystemKeyState,
                                             Cardinal APollInterval = DefaultPollInterval);
  void BeforeDestruction() override;

  // Drops an entry with that code, then watches the key from its state now.
  void AddKey(Word ACode);
  // Stops watching the first entry with that code.
  void RemoveKey(Word ACode);
  std::vector<TzmStatusBarKeyboardStateWatchedKey> GetWatchedKeys() const;
  const TzmKeyStateReader& GetReader() const { return FReader; }

 protected:
  void Execute() override;

 private:
  // Where the posted repaints go; read and cleared on the GUI thread only.
  struct TRepaintTarget {
    TControl* StatusBar;
    TAliveToken Alive;
  };

  // Sleeps one interval; false once the watcher is told to stop.
  bool WaitInterval();
  // Reads every watched key; true when one changed.
  bool ReadKeys();
  void PostRepaint();

  const TzmKeyStateReader FReader;
  const Cardinal FPollInterval;
  const std::shared_ptr<TRepaintTarget> FTarget;
  mutable std::mutex FLock;  // guards the keys and the stop flag
  std::condition_variable FWake;
  bool FStopping = false;
  std::vector<TzmStatusBarKeyboardStateWatchedKey> FKeys;
};
