// Byte order and IPv4 address helpers of the socket layer.
//
// The names carry a "Ws" prefix so they never clash with the C library's own inet_addr/htons
// family (which may be macros). Addresses travel as a Cardinal in network byte order: its bytes
// in memory are the four parts in the order they are written ("192.168.1.2" -> C0 A8 01 02).
#pragma once

#include "platform/rtl/System.h"

// What WsInetAddr answers for text it cannot read (also the value of "255.255.255.255").
inline constexpr Cardinal WS_INADDR_NONE = 0xFFFFFFFFu;
inline constexpr Cardinal WS_INADDR_ANY = 0;

// Host to network order and back; on a big-endian host they change nothing.
Word WsHtons(Word HostShort);
Cardinal WsHtonl(Cardinal HostLong);
Word WsNtohs(Word NetShort);
Cardinal WsNtohl(Cardinal NetLong);

// The socket library's classic dotted-address reader: one to four parts separated by dots, each
// decimal, octal (leading 0) or hexadecimal (leading 0x); the last part fills the remaining bytes
// ("10.1" is 10.0.0.1). Returns the address in network order, or WS_INADDR_NONE for anything
// else (empty text, blanks, a part out of range, more than four parts).
Cardinal WsInetAddr(const String& Text);

// Strict reading for user input: exactly four decimal parts 0..255 without signs, blanks or
// leading zeros. True and the address in network order on success; NetAddr is untouched on failure.
bool WsParseIPv4(const String& Text, Cardinal& NetAddr);

// "a.b.c.d" of an address in network order.
String WsInetNtoa(Cardinal NetAddr);
