// The key appearances of keyboard-state panels and the keyboard-state watcher.
#include <algorithm>
#include <chrono>

#include "platform/forms/Controls.h"
#include "statusbar/zmStatusBar.h"

QJ_IMPLEMENT_CLASS(TzmStatusBarKeyStateAppearance)
QJ_IMPLEMENT_CLASS(TzmStatusBarKeyboardStateNotifier)

namespace {

constexpr Integer kCellTextMargins = 4;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Key appearance

TzmStatusBarKeyStateAppearance::TzmStatusBarKeyStateAppearance(TzmStatusBarKeyboardState AKey, Word ACode,
                                                               const String& AActiveCaption, TColor AActiveFontColor,
                                                               const String& AInactiveCaption,
                                                               TColor AInactiveFontColor, TNotifyEvent AOnChange)
    : FKey(AKey),
      FCode(ACode),
      FActiveCaption(AActiveCaption),
      FActiveFontColor(AActiveFontColor),
      FInactiveCaption(AInactiveCaption),
      FInactiveFontColor(AInactiveFontColor),
      FOnChange(std::move(AOnChange)) {}

void TzmStatusBarKeyStateAppearance::Assign(TPersistent* Source) {
  auto* source = As<TzmStatusBarKeyStateAppearance>(Source);
  if (!source) return inherited::Assign(Source);
  FActiveCaption = source->FActiveCaption;
  FActiveFontColor = source->FActiveFontColor;
  FInactiveCaption = source->FInactiveCaption;
  FInactiveFontColor = source->FInactiveFontColor;
  Changed();
}

void TzmStatusBarKeyStateAppearance::SetActiveCaption(const String& Value) {
  FActiveCaption = Value;
  Changed();
}

void TzmStatusBarKeyStateAppearance::SetActiveFontColor(TColor Value) {
  FActiveFontColor = Value;
  Changed();
}

void TzmStatusBarKeyStateAppearance::SetInactiveCaption(const String& Value) {
  FInactiveCaption = Value;
  Changed();
}

void TzmStatusBarKeyStateAppearance::SetInactiveFontColor(TColor Value) {
  FInactiveFontColor = Value;
  Changed();
}

Integer TzmStatusBarKeyStateAppearance::GetCellWidth(TqvCanvas* ACanvas) const {
  return std::max(ACanvas->TextWidth(FActiveCaption), ACanvas->TextWidth(FInactiveCaption)) + kCellTextMargins;
}

void TzmStatusBarKeyStateAppearance::Changed() {
  if (FOnChange) FOnChange(this);
}

// ---------------------------------------------------------------------------------------------
// Watcher

Byte GetWindowSystemKeyState(Word AKey) {
  const SHORT state = GetKeyState(AKey);
  return Byte(((state & 0x8000) ? 0x80 : 0) | (state & 0x01));
}

TzmStatusBarKeyboardStateNotifier::TzmStatusBarKeyboardStateNotifier(TControl* AStatusBar, TzmKeyStateReader AReader,
                                                                     Cardinal APollInterval)
    : TThread(false),
      FReader(std::move(AReader)),
      FPollInterval(APollInterval),
      FTarget(std::make_shared<TRepaintTarget>(TRepaintTarget{AStatusBar, AStatusBar->AliveToken()})) {
  SetPriority(tpIdle);
}

void TzmStatusBarKeyboardStateNotifier::BeforeDestruction() {
  FTarget->StatusBar = nullptr;  // repaints already posted find no target
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStopping = true;
  }
  FWake.notify_all();
  inherited::BeforeDestruction();
}

void TzmStatusBarKeyboardStateNotifier::AddKey(Word ACode) {
  const Byte state = FReader(ACode);
  std::lock_guard<std::mutex> guard(FLock);
  std::erase_if(FKeys, [ACode](const TzmStatusBarKeyboardStateWatchedKey& key) { return key.Code == ACode; });
  FKeys.push_back({ACode, state});
}

void TzmStatusBarKeyboardStateNotifier::RemoveKey(Word ACode) {
  std::lock_guard<std::mutex> guard(FLock);
  auto it = std::find_if(FKeys.begin(), FKeys.end(),
                         [ACode](const TzmStatusBarKeyboardStateWatchedKey& key) { return key.Code == ACode; });
  if (it != FKeys.end()) FKeys.erase(it);
}

std::vector<TzmStatusBarKeyboardStateWatchedKey> TzmStatusBarKeyboardStateNotifier::GetWatchedKeys() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FKeys;
}

void TzmStatusBarKeyboardStateNotifier::Execute() {
  while (WaitInterval())
    if (ReadKeys()) PostRepaint();
}

bool TzmStatusBarKeyboardStateNotifier::WaitInterval() {
  std::unique_lock<std::mutex> lock(FLock);
  FWake.wait_for(lock, std::chrono::milliseconds(FPollInterval), [this] { return FStopping; });
  return !FStopping && !GetTerminated();
}

bool TzmStatusBarKeyboardStateNotifier::ReadKeys() {
  std::lock_guard<std::mutex> guard(FLock);
  bool changed = false;
  for (TzmStatusBarKeyboardStateWatchedKey& key : FKeys) {
    const Byte state = FReader(key.Code);
    if (state == key.State) continue;
    key.State = state;
    changed = true;
  }
  return changed;
}

void TzmStatusBarKeyboardStateNotifier::PostRepaint() {
  Queue([target = FTarget] {
    if (target->StatusBar && target->Alive) target->StatusBar->Invalidate();
  });
}
