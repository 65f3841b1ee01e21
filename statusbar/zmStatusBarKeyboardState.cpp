// The keyboard-state style, the key appearances and the keyboard-state watcher.
#include <algorithm>
#include <chrono>

#include "platform/forms/Controls.h"
#include "statusbar/zmStatusBar.h"

QJ_IMPLEMENT_CLASS(TzmStatusBarKeyStateAppearance)
QJ_IMPLEMENT_CLASS(TzmStatusBarKeyboardStateNotifier)
QJ_IMPLEMENT_CLASS(TzmStatusBarKeyboardStatePanelStyle)

namespace {

constexpr Integer kCellTextMargins = 4;
constexpr Integer kCellBorderWidths = 2;  // a cell's bevel, left and right
constexpr Integer kNoKeysMinWidth = 50;

struct TKeyDefinition {
  TzmStatusBarKeyboardState Key;
  Word Code;
  const char* ActiveCaption;
  const char* InactiveCaption;
};

// In the order the keys are shown.
const TKeyDefinition kKeys[] = {
    {zmksCapsLock, VK_CAPITAL, "CAPS", "CAPS"},
    {zmksNumLock, VK_NUMLOCK, "NUM", "NUM"},
    {zmksScrollLock, VK_SCROLL, "SCRL", "SCRL"},
    {zmksInsert, VK_INSERT, "OVR", "INS"},
};

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

// ---------------------------------------------------------------------------------------------
// Keyboard-state style

TzmStatusBarKeyboardStatePanelStyle::TzmStatusBarKeyboardStatePanelStyle(TzmStatusBarPanel* AOwner)
    : TzmStatusBarPanelStyle(AOwner) {
  for (const TKeyDefinition& key : kKeys)
    FAppearances[size_t(key.Key)] = MakeOwned<TzmStatusBarKeyStateAppearance>(
        key.Key, key.Code, key.ActiveCaption, GetFont()->GetColor(), key.InactiveCaption, clBtnShadow,
        [this](TObject*) { StyleChanged(); });
  if (TzmCustomStatusBar* bar = GetStatusBar()) {
    FNotifier = MakeOwned<TzmStatusBarKeyboardStateNotifier>(bar);
    for (const TKeyDefinition& key : kKeys) FNotifier->AddKey(key.Code);
  }
}

TzmStatusBarKeyboardStatePanelStyle::~TzmStatusBarKeyboardStatePanelStyle() = default;

void TzmStatusBarKeyboardStatePanelStyle::BeforeDestruction() {
  if (FNotifier) {
    for (const TKeyDefinition& key : kKeys) FNotifier->RemoveKey(key.Code);
    FNotifier.reset();
  }
  inherited::BeforeDestruction();
}

void TzmStatusBarKeyboardStatePanelStyle::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = As<TzmStatusBarKeyboardStatePanelStyle>(Source);
  if (!source) return;
  SetKeyboardStates(source->FKeyboardStates);
  SetFullRect(source->FFullRect);
  for (size_t i = 0; i < FAppearances.size(); ++i) FAppearances[i]->Assign(source->FAppearances[i].get());
}

void TzmStatusBarKeyboardStatePanelStyle::SetKeyboardStates(TzmStatusBarKeyboardStates Value) {
  Value &= zmksAll;
  if (Value == FKeyboardStates) return;
  FKeyboardStates = Value;
  StyleChanged();
}

void TzmStatusBarKeyboardStatePanelStyle::SetFullRect(bool Value) {
  if (Value == FFullRect) return;
  FFullRect = Value;
  StyleChanged();
}

std::vector<TzmStatusBarKeyStateAppearance*> TzmStatusBarKeyboardStatePanelStyle::GetShownKeys() const {
  std::vector<TzmStatusBarKeyStateAppearance*> keys;
  for (const TKeyDefinition& key : kKeys)
    if (FKeyboardStates & zmksBit(key.Key)) keys.push_back(GetKeyAppearance(key.Key));
  return keys;
}

bool TzmStatusBarKeyboardStatePanelStyle::IsKeyActive(const TzmStatusBarKeyStateAppearance& AKey) const {
  TzmCustomStatusBar* bar = GetStatusBar();
  return !(bar && bar->HasState(csDesigning)) && IsKeyToggledOn(GetWindowSystemKeyState(AKey.GetCode()));
}

Integer TzmStatusBarKeyboardStatePanelStyle::GetCellWidth(TzmStatusBarKeyStateAppearance& AKey,
                                                          TqvCanvas* ACanvas) const {
  return AKey.GetCellWidth(ACanvas) + (FFullRect ? 0 : kCellBorderWidths);
}

void TzmStatusBarKeyboardStatePanelStyle::DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) {
  inherited::DrawContent(ACanvas, R, APainter);
  TzmCustomStatusBar* bar = GetStatusBar();
  const bool enabled = !bar || bar->GetEnabled();
  ACanvas->SetFont(GetFont());
  const std::vector<TzmStatusBarKeyStateAppearance*> keys = GetShownKeys();
  Integer x = R.Left;
  for (TzmStatusBarKeyStateAppearance* key : keys) {
    const bool active = IsKeyActive(*key);
    const TRect cell{x, R.Top, x + GetCellWidth(*key, ACanvas), R.Bottom};
    TRect text = cell;
    if (!FFullRect) APainter->DrawPanelBorder(bar, GetPanel()->GetBevel(), text, ACanvas);
    ACanvas->GetFont()->SetColor(active ? key->GetActiveFontColor() : key->GetInactiveFontColor());
    ACanvas->GetBrush()->SetStyle(bsClear);
    ACanvas->DrawText(active ? key->GetActiveCaption() : key->GetInactiveCaption(), text,
                      tfHCenter | tfVCenter | tfSingleLine, enabled);
    ACanvas->GetBrush()->SetStyle(bsSolid);
    x = cell.Right + APainter->GetSeparatorSize();
  }
}

Integer TzmStatusBarKeyboardStatePanelStyle::GetMinWidth() {
  const std::vector<TzmStatusBarKeyStateAppearance*> keys = GetShownKeys();
  TzmCustomStatusBar* bar = GetStatusBar();
  if (keys.empty() || !bar) return kNoKeysMinWidth;
  TqvCanvas* canvas = bar->GetCanvas();
  canvas->SetFont(GetFont());
  Integer result = bar->GetPainterClass()->GetSeparatorSize() * Integer(keys.size() - 1);
  for (TzmStatusBarKeyStateAppearance* key : keys) result += GetCellWidth(*key, canvas);
  return result;
}

void TzmStatusBarKeyboardStatePanelStyle::RestoreDefaults() {
  FKeyboardStates = zmksAll;
  inherited::RestoreDefaults();
}
