// The state indicators of state-indicator panels and their seven lamp bitmaps, drawn in code.
#include <array>

#include "platform/os/Gdi.h"
#include "statusbar/zmStatusBar.h"

QJ_IMPLEMENT_CLASS(TzmStatusBarStateIndicatorItem)
QJ_IMPLEMENT_CLASS(TzmStatusBarStateIndicators)
QJ_IMPLEMENT_CLASS(TzmStatusBarStateIndicatorPanelStyle)

namespace {

// A round lamp on a background that drawing leaves transparent (the bottom-left pixel's colour).
constexpr Integer kLampSize = 16;
constexpr uint32_t kLampBackground = 0xFF00FF;
// Distances from the lamp's centre, in half pixels, squared against (2x - 15)^2 + (2y - 15)^2.
constexpr Integer kLampRadius2 = 14 * 14;  // outside: background
constexpr Integer kFaceRadius2 = 11 * 11;  // between this and the lamp radius: the rim
constexpr Integer kShineX = 5, kShineY = 5, kShineRadius2 = 2;  // whole pixels: the highlight

struct TLamp {
  const char* ResourceName;
  uint32_t Face;  // 0x00RRGGBB
};

const std::array<TLamp, 7> kLamps = {{
    {"ZMSTATUSBAR_GRAY", 0xA0A0A0},
    {"ZMSTATUSBAR_YELLOW", 0xF8D820},
    {"ZMSTATUSBAR_BLUE", 0x3070E0},
    {"ZMSTATUSBAR_GREEN", 0x30B830},
    {"ZMSTATUSBAR_RED", 0xE03028},
    {"ZMSTATUSBAR_TEAL", 0x10A8A8},
    {"ZMSTATUSBAR_PURPLE", 0x9840C0},
}};

// Each channel scaled by APercent (above 100 moves towards white).
uint32_t Shade(uint32_t AColor, Integer APercent) {
  uint32_t result = 0;
  for (Integer shift = 0; shift <= 16; shift += 8) {
    const Integer channel = Integer((AColor >> shift) & 0xFF);
    const Integer shaded = APercent <= 100 ? channel * APercent / 100 : channel + (255 - channel) * (APercent - 100) / 100;
    result |= uint32_t(shaded) << shift;
  }
  return result;
}

uint32_t LampPixel(uint32_t AFace, Integer X, Integer Y) {
  const Integer dx = 2 * X - (kLampSize - 1), dy = 2 * Y - (kLampSize - 1);
  const Integer distance2 = dx * dx + dy * dy;
  if (distance2 > kLampRadius2) return kLampBackground;
  if (distance2 > kFaceRadius2) return Shade(AFace, 55);
  const Integer sx = X - kShineX, sy = Y - kShineY;
  if (sx * sx + sy * sy <= kShineRadius2) return Shade(AFace, 175);
  return Shade(AFace, 100 + 30 - 4 * Y);  // lighter at the top
}

HBITMAP MakeLampBitmap(const TLamp& ALamp) {
  std::array<uint32_t, kLampSize * kLampSize> bits;
  for (Integer y = 0; y < kLampSize; ++y)
    for (Integer x = 0; x < kLampSize; ++x) bits[size_t(y * kLampSize + x)] = LampPixel(ALamp.Face, x, y);
  return CreateBitmap(kLampSize, kLampSize, 1, 32, bits.data());
}

void RegisterLamps() {
  for (const TLamp& lamp : kLamps) RegisterBitmapResource(lamp.ResourceName, [&lamp] { return MakeLampBitmap(lamp); });
}

}  // namespace

String GetStateIndicatorResourceName(TzmStatusBarStateIndicatorType AType) { return kLamps[size_t(AType)].ResourceName; }

void RegisterStateIndicatorBitmaps() {
  static const bool registered = (RegisterLamps(), true);
  (void)registered;
}

// ---------------------------------------------------------------------------------------------
// Items

TzmStatusBarStateIndicatorItem::TzmStatusBarStateIndicatorItem(TCollection* Collection)
    : TCollectionItem(Collection), FIndicatorBitmap(MakeOwned<TBitmap>()) {
  LoadBitmap();
}

TzmStatusBarStateIndicatorItem::~TzmStatusBarStateIndicatorItem() = default;

void TzmStatusBarStateIndicatorItem::Assign(TPersistent* Source) {
  auto* source = As<TzmStatusBarStateIndicatorItem>(Source);
  if (!source) return inherited::Assign(Source);
  FIndicatorType = source->FIndicatorType;
  FVisible = source->FVisible;
  LoadBitmap();
  Changed(false);
}

void TzmStatusBarStateIndicatorItem::SetIndicatorType(TzmStatusBarStateIndicatorType Value) {
  if (FIndicatorType == Value) return;
  FIndicatorType = Value;
  LoadBitmap();
  Changed(false);
}

void TzmStatusBarStateIndicatorItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(false);
}

void TzmStatusBarStateIndicatorItem::LoadBitmap() {
  RegisterStateIndicatorBitmaps();
  FIndicatorBitmap->LoadFromResourceName(nullptr, GetStateIndicatorResourceName(FIndicatorType));
  FIndicatorBitmap->SetTransparent(true);
}

TzmStatusBarStateIndicators::TzmStatusBarStateIndicators()
    : TCollection(&TzmStatusBarStateIndicatorItem::StaticClass()) {}

void TzmStatusBarStateIndicators::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// State-indicator style

TzmStatusBarStateIndicatorPanelStyle::TzmStatusBarStateIndicatorPanelStyle(TzmStatusBarPanel* AOwner)
    : TzmStatusBarPanelStyle(AOwner), FIndicators(MakeOwned<TzmStatusBarStateIndicators>()) {
  FIndicators->OnChange = [this](TObject*) { StyleChanged(); };
}

void TzmStatusBarStateIndicatorPanelStyle::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  auto* source = As<TzmStatusBarStateIndicatorPanelStyle>(Source);
  if (!source) return;
  SetSpacing(source->FSpacing);
  FIndicators->Assign(source->FIndicators.get());
}

void TzmStatusBarStateIndicatorPanelStyle::SetSpacing(Integer Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  StyleChanged();
}

void TzmStatusBarStateIndicatorPanelStyle::DrawContent(TqvCanvas* ACanvas, TRect R, TzmStatusBarPainterClass APainter) {
  inherited::DrawContent(ACanvas, R, APainter);
  Integer x = R.Left + FSpacing;
  for (Integer i = 0; i < FIndicators->GetCount(); ++i) {
    TzmStatusBarStateIndicatorItem* item = FIndicators->GetItem(i);
    TBitmap* bitmap = item->GetIndicatorBitmap();
    if (!item->GetVisible() || bitmap->GetEmpty()) continue;
    ACanvas->Draw(x, R.Top + (R.Height() - bitmap->GetHeight()) / 2, bitmap);
    x += bitmap->GetWidth() + FSpacing;
  }
}

Integer TzmStatusBarStateIndicatorPanelStyle::GetMinWidth() {
  if (FIndicators->GetCount() == 0) return inherited::GetMinWidth();
  Integer result = FSpacing;
  for (Integer i = 0; i < FIndicators->GetCount(); ++i) {
    TzmStatusBarStateIndicatorItem* item = FIndicators->GetItem(i);
    if (item->GetVisible() && !item->GetIndicatorBitmap()->GetEmpty())
      result += item->GetIndicatorBitmap()->GetWidth() + FSpacing;
  }
  return result;
}

void TzmStatusBarStateIndicatorPanelStyle::RestoreDefaults() {
  FSpacing = 4;
  inherited::RestoreDefaults();
}
