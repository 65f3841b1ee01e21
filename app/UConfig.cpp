// The settings file, the address and port rules and the stored window state.
#include "app/UConfig.h"

#include <algorithm>

#include "platform/net/WinSock.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"

bool IsValidReceiverAddress(const String& AText) {
  Cardinal address = 0;
  return WsParseIPv4(AText, address);
}

bool TryReceiverPort(const String& AText, Integer& APort) {
  constexpr size_t kMaxDigits = 5;  // 65000 has five
  if (AText.empty() || AText.size() > kMaxDigits) return false;
  if (!std::all_of(AText.begin(), AText.end(), IsDigitChar)) return false;
  const Integer port = StrToInt(AText);
  if (port < ReceiverSettings::MinPort || port > ReceiverSettings::MaxPort) return false;
  APort = port;
  return true;
}

TSTBAddr DefaultSTBAddr() { return {ReceiverSettings::DefaultAddress, ReceiverSettings::DefaultPort}; }

TSTBAddr LoadSettings(const String& AFileName) {
  using namespace ReceiverSettings;
  TSTBAddr result = DefaultSTBAddr();
  TIniFile ini(AFileName);
  const String address = ini.ReadString(Section, AddressKey, "");
  if (IsValidReceiverAddress(address)) result.Address = address;
  TryReceiverPort(ini.ReadString(Section, PortKey, ""), result.Port);
  return result;
}

void SaveSettings(const TSTBAddr& AAddr, const String& AFileName) {
  using namespace ReceiverSettings;
  TMemIniFile ini(AFileName);
  ini.WriteString(Section, AddressKey, AAddr.Address);
  ini.WriteInteger(Section, PortKey, AAddr.Port);
  ini.UpdateFile();
}

// ---------------------------------------------------------------------------------------------
// Window state

namespace {

const String kWindowStateKey = String("\\") + WindowStateStore::Key;

TWindowState StoredStateOf(Integer AValue) {
  switch (AValue) {
    case wsMinimized: return wsMinimized;
    case wsMaximized: return wsMaximized;
    default: return wsNormal;
  }
}

// The rectangle moved and shrunk into the work area of the monitor nearest to it.
TRect ClampToWorkArea(const TRect& ABounds) {
  using namespace WindowStateStore;
  const TRect work = Screen->MonitorFromRect(ABounds, mdNearest)->GetWorkareaRect();
  const Integer width = std::clamp(ABounds.Width(), std::min(MinWidth, work.Width()), work.Width());
  const Integer height = std::clamp(ABounds.Height(), std::min(MinHeight, work.Height()), work.Height());
  const Integer left = std::clamp(ABounds.Left, work.Left, work.Right - width);
  const Integer top = std::clamp(ABounds.Top, work.Top, work.Bottom - height);
  return Bounds(left, top, width, height);
}

}  // namespace

Integer ReadIntegerDefault(TRegistry& ARegistry, const String& AName, Integer ADefault) {
  if (!ARegistry.ValueExists(AName) || ARegistry.GetDataType(AName) != rdInteger) return ADefault;
  return ARegistry.ReadInteger(AName);
}

void LoadWindowState(TCustomForm* AForm) {
  using namespace WindowStateStore;
  TRegistry registry(KEY_READ);
  if (!registry.OpenKeyReadOnly(kWindowStateKey)) return;
  const TRect current = AForm->GetBoundsRect();
  const TRect stored = Bounds(ReadIntegerDefault(registry, Left, current.Left),
                              ReadIntegerDefault(registry, Top, current.Top),
                              ReadIntegerDefault(registry, Width, current.Width()),
                              ReadIntegerDefault(registry, Height, current.Height()));
  AForm->SetBoundsRect(ClampToWorkArea(stored));
  AForm->SetWindowState(StoredStateOf(ReadIntegerDefault(registry, State, wsNormal)));
}

bool SaveWindowState(TCustomForm* AForm) {
  using namespace WindowStateStore;
  TRect normal = AForm->GetBoundsRect();
  WINDOWPLACEMENT placement;
  if (AForm->HandleAllocated() && GetWindowPlacement(AForm->GetHandle(), &placement))
    normal = placement.rcNormalPosition;
  try {
    TRegistry registry(KEY_ALL_ACCESS);
    if (!registry.OpenKey(kWindowStateKey, true)) return false;
    registry.WriteInteger(Width, normal.Width());
    registry.WriteInteger(Height, normal.Height());
    registry.WriteInteger(Left, normal.Left);
    registry.WriteInteger(Top, normal.Top);
    registry.WriteInteger(State, AForm->GetWindowState());
    return true;
  } catch (const Exception&) {
    return false;
  }
}
