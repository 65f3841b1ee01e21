#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "platform/net/WinSock.h"

namespace {

// The address bytes as they lie in memory (network order).
String Bytes(Cardinal NetAddr) {
  Byte b[4];
  std::memcpy(b, &NetAddr, sizeof b);
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
  return text;
}

TEST(WinSockByteOrder, PutsTheMostSignificantByteFirstInMemory) {
  Word netShort = WsHtons(0x1234);
  Byte s[2];
  std::memcpy(s, &netShort, sizeof s);
  EXPECT_EQ(s[0], 0x12);
  EXPECT_EQ(s[1], 0x34);
  EXPECT_EQ(Bytes(WsHtonl(0x0A0B0C0D)), "0A 0B 0C 0D");
  EXPECT_EQ(WsNtohs(WsHtons(0xBEEF)), 0xBEEF);
  EXPECT_EQ(WsNtohl(WsHtonl(0xDEADBEEF)), 0xDEADBEEFu);
  EXPECT_EQ(WsNtohl(WsHtonl(690524)), 690524u);
}

struct TAddrCase {
  const char* Text;
  const char* Expected;  // memory bytes, or nullptr for WS_INADDR_NONE
};

TEST(WinSockInetAddr, ReadsTheClassicForms) {
  const TAddrCase cases[] = {
      {"192.168.1.2", "C0 A8 01 02"},
      {"127.0.0.1", "7F 00 00 01"},
      {"0.0.0.0", "00 00 00 00"},
      {"10.1", "0A 00 00 01"},             // last part fills three bytes
      {"1.2.3", "01 02 00 03"},            // last part fills two bytes
      {"0x7f.1", "7F 00 00 01"},           // hexadecimal part
      {"010.0.0.1", "08 00 00 01"},        // leading zero means octal
      {"3232235778", "C0 A8 01 02"},       // one 32-bit part
      {"1.2.65535", "01 02 FF FF"},
      {"", nullptr},
      {"1..2", nullptr},
      {"1.2.3.4.5", nullptr},
      {"256.1.1.1", nullptr},
      {"1.2.65536", nullptr},
      {"4294967296", nullptr},
      {"08.1.1.1", nullptr},               // 8 is no octal digit
      {"0x.1.1.1", nullptr},
      {"1.2.3.4 ", nullptr},
      {" 1.2.3.4", nullptr},
      {"1.2.3.", nullptr},
      {"a.b.c.d", nullptr},
      {"-1.2.3.4", nullptr},
  };
  for (const TAddrCase& c : cases) {
    SCOPED_TRACE(c.Text);
    Cardinal addr = WsInetAddr(c.Text);
    if (c.Expected)
      EXPECT_EQ(Bytes(addr), c.Expected);
    else
      EXPECT_EQ(addr, WS_INADDR_NONE);
  }
  EXPECT_EQ(WsInetAddr(String("1.2.3.4\0", 8)), WS_INADDR_NONE);  // an embedded NUL is no digit
  EXPECT_EQ(WsInetAddr("255.255.255.255"), WS_INADDR_NONE);     // the platform's ambiguity
}

TEST(WinSockParseIPv4, AcceptsOnlyFourPlainDecimalParts) {
  const TAddrCase cases[] = {
      {"192.168.1.2", "C0 A8 01 02"}, {"255.255.255.255", "FF FF FF FF"}, {"0.0.0.0", "00 00 00 00"},
      {"10.1", nullptr},       {"1.2.3", nullptr},      {"010.0.0.1", nullptr},  {"0x7f.0.0.1", nullptr},
      {"256.0.0.1", nullptr},  {"1.2.3.4.5", nullptr},  {"1.2.3.", nullptr},     {"", nullptr},
      {" 1.2.3.4", nullptr},   {"1.2.3.4 ", nullptr},   {"+1.2.3.4", nullptr},   {"1000.2.3.4", nullptr},
  };
  for (const TAddrCase& c : cases) {
    SCOPED_TRACE(c.Text);
    Cardinal addr = 0x55555555;
    bool ok = WsParseIPv4(c.Text, addr);
    EXPECT_EQ(ok, c.Expected != nullptr);
    EXPECT_EQ(Bytes(addr), c.Expected ? c.Expected : "55 55 55 55");  // untouched on failure
  }
}

TEST(WinSockInetNtoa, WritesTheDottedFormBack) {
  for (const char* text : {"192.168.1.2", "0.0.0.0", "255.255.255.255", "10.0.0.1"}) {
    Cardinal addr = 0;
    ASSERT_TRUE(WsParseIPv4(text, addr));
    EXPECT_EQ(WsInetNtoa(addr), text);
  }
}

}  // namespace
