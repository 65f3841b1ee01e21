// The shared solid-brush cache and the system colour change listener with its notifiers.
#include <algorithm>

#include "lookandfeel/qvGraphics.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvSystemPaletteChangedNotifier)
QJ_IMPLEMENT_CLASS(TqvSystemPaletteChangedListener)
QJ_IMPLEMENT_CLASS(TqvSolidBrushCache)

namespace {

// System colours with a system brush of their own: index 0 .. COLOR_ENDCOLORS.
constexpr Cardinal kFirstSystemBrushColor = static_cast<Cardinal>(SysColor(0));
constexpr Cardinal kLastSystemBrushColor = static_cast<Cardinal>(SysColor(COLOR_ENDCOLORS));

// Posted to the cache's own window: the paint that evicted brushes is over.
constexpr UINT kDeleteRetiredBrushes = WM_APP + 0x131;

struct TGraphicsUnit {
  TOwned<TqvSystemPaletteChangedListener> Listener;
  TOwned<TqvSolidBrushCache> Cache;
};

TGraphicsUnit& GraphicsUnit() {
  static TGraphicsUnit unit;
  return unit;
}

}  // namespace

void CallRoutingExceptions(TObject* Sender, const std::function<void()>& Call) {
  try {
    Call();
  } catch (...) {
    Application->HandleException(Sender);
  }
}

// ---------------------------------------------------------------------------------------------
// Notifier and listener

TqvSystemPaletteChangedNotifier::TqvSystemPaletteChangedNotifier() {
  SystemPaletteChangedListener()->AddNotifier(this);
}

TqvSystemPaletteChangedNotifier::~TqvSystemPaletteChangedNotifier() {
  if (GraphicsUnit().Listener) GraphicsUnit().Listener->RemoveNotifier(this);
}

TqvSystemPaletteChangedListener::TqvSystemPaletteChangedListener() {
  FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TqvSystemPaletteChangedListener::~TqvSystemPaletteChangedListener() { DeallocateHWnd(FWindow); }

void TqvSystemPaletteChangedListener::AddNotifier(TqvSystemPaletteChangedNotifier* ANotifier) {
  if (ANotifier && std::find(FNotifiers.begin(), FNotifiers.end(), ANotifier) == FNotifiers.end())
    FNotifiers.push_back(ANotifier);
}

void TqvSystemPaletteChangedListener::RemoveNotifier(TqvSystemPaletteChangedNotifier* ANotifier) {
  std::erase(FNotifiers, ANotifier);
}

void TqvSystemPaletteChangedListener::NotifyAll() {
  // A notifier freed by an earlier one is skipped; one added meanwhile waits for the next change.
  const std::vector<TqvSystemPaletteChangedNotifier*> snapshot = FNotifiers;
  for (TqvSystemPaletteChangedNotifier* n : snapshot) {
    if (std::find(FNotifiers.begin(), FNotifiers.end(), n) == FNotifiers.end()) continue;
    if (n->OnSystemPaletteChanged) CallRoutingExceptions(this, n->OnSystemPaletteChanged);
  }
}

void TqvSystemPaletteChangedListener::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) NotifyAll();
  Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------------------------
// TqvSolidBrushCache

TqvSolidBrushCache::TqvSolidBrushCache(Integer ACapacity)
    : FCapacity(std::max(ACapacity, 1)), FNotifier(MakeOwned<TqvSystemPaletteChangedNotifier>()) {
  FEntries.reserve(size_t(FCapacity));
  FNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
}

TqvSolidBrushCache::~TqvSolidBrushCache() {
  FNotifier.reset();
  DeleteAll();
  DeallocateHWnd(FFlushWindow);
}

HBRUSH TqvSolidBrushCache::GetBrush(TColor Color) {
  const Cardinal value = static_cast<Cardinal>(Color);
  if (value >= kFirstSystemBrushColor && value <= kLastSystemBrushColor)
    return GetSysColorBrush(static_cast<int>(value & 0xFFFFFF));
  Integer index = 0;
  if (FindColor(Color, index)) {
    TEntry& e = FEntries[size_t(index)];
    ++e.UseCount;
    return e.Brush;
  }
  return AddBrush(Color, index);
}

bool TqvSolidBrushCache::FindColor(TColor Color, Integer& AIndex) const {
  const Cardinal value = static_cast<Cardinal>(Color);
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), value,
                             [](const TEntry& e, Cardinal v) { return static_cast<Cardinal>(e.Color) < v; });
  AIndex = static_cast<Integer>(it - FEntries.begin());
  return it != FEntries.end() && static_cast<Cardinal>(it->Color) == value;
}

Integer TqvSolidBrushCache::GetLeastUsedIndex() const {
  Integer result = 0;
  for (Integer i = 1; i < GetCount(); ++i)
    if (FEntries[size_t(i)].UseCount < FEntries[size_t(result)].UseCount) result = i;
  return result;
}

HBRUSH TqvSolidBrushCache::AddBrush(TColor Color, Integer AIndex) {
  if (GetCount() == FCapacity) {
    const Integer victim = GetLeastUsedIndex();
    Retire(FEntries[size_t(victim)].Brush);
    FEntries.erase(FEntries.begin() + victim);
    if (victim < AIndex) --AIndex;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FEntries.insert(FEntries.begin() + AIndex, TEntry{Color, brush, 0});
  return brush;
}

void TqvSolidBrushCache::Retire(HBRUSH Brush) {
  FRetired.push_back(Brush);
  if (FFlushPosted) return;
  if (!FFlushWindow || !IsWindow(FFlushWindow)) FFlushWindow = AllocateHWnd([this](TMessage& M) { FlushWndProc(M); });
  FFlushPosted = PostMessage(FFlushWindow, kDeleteRetiredBrushes, 0, 0) != FALSE;
}

void TqvSolidBrushCache::FlushWndProc(TMessage& Message) {
  if (Message.Msg == kDeleteRetiredBrushes) {
    FFlushPosted = false;
    DeleteRetired();
    return;
  }
  Message.Result = DefWindowProc(FFlushWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TqvSolidBrushCache::DeleteRetired() {
  for (HBRUSH b : FRetired) DeleteObject(b);
  FRetired.clear();
}

void TqvSolidBrushCache::DeleteAll() {
  for (const TEntry& e : FEntries) DeleteObject(e.Brush);
  FEntries.clear();
  DeleteRetired();
}

// ---------------------------------------------------------------------------------------------
// Process-wide objects

TqvSystemPaletteChangedListener* SystemPaletteChangedListener() {
  TGraphicsUnit& u = GraphicsUnit();
  if (!u.Listener) u.Listener = MakeOwned<TqvSystemPaletteChangedListener>();
  return u.Listener.get();
}

TqvSolidBrushCache* SolidBrushCache() {
  TGraphicsUnit& u = GraphicsUnit();
  if (!u.Cache) u.Cache = MakeOwned<TqvSolidBrushCache>();
  return u.Cache.get();
}

HBRUSH GetSolidBrush(TqvCanvas*, TColor Color) { return SolidBrushCache()->GetBrush(Color); }
HBRUSH GetSolidBrushForCanvas(TCanvas*, TColor Color) { return SolidBrushCache()->GetBrush(Color); }

void ResetSolidBrushCache() {
  if (GraphicsUnit().Cache) GraphicsUnit().Cache->DeleteAll();
}

void InitGraphicsUnit() {
  SystemPaletteChangedListener();
  SolidBrushCache();
}

void DoneGraphicsUnit() {
  TGraphicsUnit& u = GraphicsUnit();
  u.Cache.reset();
  u.Listener.reset();
}
