// Byte order and IPv4 address helpers.
#include "platform/net/WinSock.h"

#include <bit>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr bool HostIsLittleEndian() { return std::endian::native == std::endian::little; }

Cardinal FromHostBytes(Cardinal HostValue) {
  Byte bytes[4] = {Byte(HostValue >> 24), Byte(HostValue >> 16), Byte(HostValue >> 8), Byte(HostValue)};
  Cardinal net = 0;
  std::memcpy(&net, bytes, sizeof net);
  return net;
}

std::vector<String> SplitDots(const String& Text) {
  std::vector<String> parts(1);
  for (char c : Text) {
    if (c == '.')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// One part of a classic address in C notation (decimal, 0 octal, 0x hex), at most 32 bits.
std::optional<Cardinal> ParseClassicPart(const String& Part) {
  int base = 10;
  size_t pos = 0;
  if (Part.size() > 1 && Part[0] == '0' && (Part[1] == 'x' || Part[1] == 'X')) {
    base = 16;
    pos = 2;
  } else if (Part.size() > 1 && Part[0] == '0') {
    base = 8;
    pos = 1;
  }
  if (pos >= Part.size()) return std::nullopt;  // empty, or a bare "0x"
  UInt64 value = 0;
  for (; pos < Part.size(); ++pos) {
    int digit = HexDigitValue(Part[pos]);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<Cardinal>(value);
}

}  // namespace

Word WsHtons(Word HostShort) {
  return HostIsLittleEndian() ? static_cast<Word>((HostShort >> 8) | (HostShort << 8)) : HostShort;
}

Cardinal WsHtonl(Cardinal HostLong) { return HostIsLittleEndian() ? __builtin_bswap32(HostLong) : HostLong; }

Word WsNtohs(Word NetShort) { return WsHtons(NetShort); }

Cardinal WsNtohl(Cardinal NetLong) { return WsHtonl(NetLong); }

Cardinal WsInetAddr(const String& Text) {
  std::vector<String> parts = SplitDots(Text);
  if (parts.size() > 4) return WS_INADDR_NONE;
  std::vector<Cardinal> values;
  for (const String& part : parts) {
    std::optional<Cardinal> value = ParseClassicPart(part);
    if (!value) return WS_INADDR_NONE;
    values.push_back(*value);
  }
  // Every part but the last is one byte; the last fills the bytes left.
  Cardinal host = 0;
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    if (values[i] > 0xFF) return WS_INADDR_NONE;
    host |= values[i] << (24 - 8 * i);
  }
  const size_t lastBits = 32 - 8 * (values.size() - 1);
  if (lastBits < 32 && values.back() >> lastBits) return WS_INADDR_NONE;
  host |= values.back();
  return FromHostBytes(host);
}

bool WsParseIPv4(const String& Text, Cardinal& NetAddr) {
  std::vector<String> parts = SplitDots(Text);
  if (parts.size() != 4) return false;
  Cardinal host = 0;
  for (const String& part : parts) {
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    Cardinal value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + static_cast<Cardinal>(c - '0');
    }
    if (value > 255) return false;
    host = (host << 8) | value;
  }
  NetAddr = FromHostBytes(host);
  return true;
}

String WsInetNtoa(Cardinal NetAddr) {
  Byte bytes[4];
  std::memcpy(bytes, &NetAddr, sizeof bytes);
  String text;
  for (int i = 0; i < 4; ++i) {
    if (i) text += '.';
    text += std::to_string(bytes[i]);
  }
  return text;
}
