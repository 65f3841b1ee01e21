// String helpers with the original platform's 1-based positions, case mapping and collation of
// the Windows-1252 code page by tables of our own, and the conversions to UTF-8 and UTF-16.
#include <algorithm>
#include <array>

#include "platform/rtl/SysUtils.h"

namespace {

inline Byte B(char c) { return static_cast<Byte>(c); }
inline char C(Integer b) { return static_cast<char>(b); }

struct TSpan {
  size_t Start = 0;
  size_t Len = 0;
};

// Clamps a 1-based position and count to a 0-based span inside a string of the given size.
TSpan ClampSpan(size_t size, Integer index, Integer count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > size) return {};
  size_t start = static_cast<size_t>(index) - 1;
  return {start, std::min(static_cast<size_t>(count), size - start)};
}

template <class S>
S CopyImpl(const S& s, Integer index, Integer count) {
  TSpan span = ClampSpan(s.size(), index, count);
  return s.substr(span.Start, span.Len);
}

template <class S>
void DeleteImpl(S& s, Integer index, Integer count) {
  if (index < 1) return;
  TSpan span = ClampSpan(s.size(), index, count);
  if (span.Len) s.erase(span.Start, span.Len);
}

template <class S>
void InsertImpl(const S& source, S& s, Integer index) {
  size_t at = index < 1 ? 0 : std::min(static_cast<size_t>(index) - 1, s.size());
  s.insert(at, source);
}

template <class S>
Integer PosImpl(const S& substr, const S& s, size_t from) {
  if (substr.empty() || from > s.size()) return 0;
  size_t at = s.find(substr, from);
  return at == S::npos ? 0 : static_cast<Integer>(at) + 1;
}

// Blanks, as the platform trims them: every character up to and including the space.
template <class Ch>
bool IsTrimBlank(Ch c) {
  return static_cast<std::make_unsigned_t<Ch>>(c) <= 0x20;
}

template <class S>
S TrimImpl(const S& s, bool left, bool right) {
  size_t start = 0, end = s.size();
  if (left)
    while (start < end && IsTrimBlank(s[start])) ++start;
  if (right)
    while (end > start && IsTrimBlank(s[end - 1])) --end;
  return s.substr(start, end - start);
}

// ---------------------------------------------------------------------------------------------
// The code page's letters and collation

// Diacritic weights, in the order the platform sorts a letter's variants after the plain one.
enum TDiacritic : Byte {
  dNone, dAcute, dGrave, dCircumflex, dCaron, dRing, dDiaeresis, dTilde, dCedilla, dStroke,
  dHook, dOrdinal, dSuperscript, dLigature
};

struct TLetterInfo {
  Byte Code;
  const char* Base;  // the plain letters it sorts as (two for the ligatures)
  TDiacritic Mark;
  Byte Other;  // the other case of the letter, 0 when it has none
};

// Every letter of the code page outside ASCII; upper case first, then its lower case partner.
const TLetterInfo KLetters[] = {
    {0xC0, "a", dGrave, 0xE0},      {0xC1, "a", dAcute, 0xE1},     {0xC2, "a", dCircumflex, 0xE2},
    {0xC3, "a", dTilde, 0xE3},      {0xC4, "a", dDiaeresis, 0xE4}, {0xC5, "a", dRing, 0xE5},
    {0xC6, "ae", dLigature, 0xE6},  {0xC7, "c", dCedilla, 0xE7},   {0xC8, "e", dGrave, 0xE8},
    {0xC9, "e", dAcute, 0xE9},      {0xCA, "e", dCircumflex, 0xEA}, {0xCB, "e", dDiaeresis, 0xEB},
    {0xCC, "i", dGrave, 0xEC},      {0xCD, "i", dAcute, 0xED},     {0xCE, "i", dCircumflex, 0xEE},
    {0xCF, "i", dDiaeresis, 0xEF},  {0xD0, "d", dStroke, 0xF0},    {0xD1, "n", dTilde, 0xF1},
    {0xD2, "o", dGrave, 0xF2},      {0xD3, "o", dAcute, 0xF3},     {0xD4, "o", dCircumflex, 0xF4},
    {0xD5, "o", dTilde, 0xF5},      {0xD6, "o", dDiaeresis, 0xF6}, {0xD8, "o", dStroke, 0xF8},
    {0xD9, "u", dGrave, 0xF9},      {0xDA, "u", dAcute, 0xFA},     {0xDB, "u", dCircumflex, 0xFB},
    {0xDC, "u", dDiaeresis, 0xFC},  {0xDD, "y", dAcute, 0xFD},     {0xDE, "th", dLigature, 0xFE},
    {0x8A, "s", dCaron, 0x9A},      {0x8C, "oe", dLigature, 0x9C}, {0x8E, "z", dCaron, 0x9E},
    {0x9F, "y", dDiaeresis, 0xFF},
};

// Lower-case letters without an upper-case partner in the code page.
const TLetterInfo KCaselessLetters[] = {
    {0xDF, "ss", dLigature, 0}, {0x83, "f", dHook, 0}, {0xAA, "a", dOrdinal, 0},
    {0xBA, "o", dOrdinal, 0},
};

// Symbols in the platform's sort order; all of them sort before digits and letters.
const char KSymbolOrder[] =
    " \xA0!\"#$%&()*,./:;?@[\\]^_`{|}~\xA1\xA6\xA8\xAF\xB4\xB8\xBF\x88\x98\x91\x92\x82\x93\x94"
    "\x84\x8B\x9B\xAB\xBB\x96\x97\x86\x87\x95\x85\x89\xA7\xB6\xB7\xA9\xAE\x99\xB0\xA4\xA2\xA3\xA5"
    "\x80+\xB1<=>\xD7\xF7\xAC";

// Characters that word sort passes over, so "co-op" sorts next to "coop"; they only decide
// between strings that are otherwise equal.
const char KWordSortIgnored[] = "'-\xAD";

constexpr Word KSymbolBase = 0x100;
constexpr Word KDigitBase = 0x200;
constexpr Word KLetterBase = 0x300;
constexpr Word KMicroPrimary = KLetterBase + 26;

struct TCollationElement {
  Word Primary = 0;
  Byte Secondary = 0;
  Byte Tertiary = 0;  // 0 lower case or caseless, 1 upper case
};

struct TCharWeights {
  TCollationElement Elements[2];
  Byte Count = 0;            // 0: ignorable in the first three levels
  Byte IgnorableWeight = 0;  // order among the ignorable characters
};

struct TCodePageTables {
  std::array<Byte, 256> Upper{};
  std::array<Byte, 256> Lower{};
  std::array<TCharWeights, 256> Weights{};
};

Word LetterPrimary(char base) { return static_cast<Word>(KLetterBase + (base - 'a')); }

void SetLetter(TCodePageTables& t, Byte code, const char* base, TDiacritic mark, Byte tertiary) {
  TCharWeights& w = t.Weights[code];
  w.Count = 0;
  for (const char* p = base; *p && w.Count < 2; ++p)
    w.Elements[w.Count++] = {LetterPrimary(*p), mark, tertiary};
}

void BuildLetters(TCodePageTables& t) {
  for (Integer c = 'a'; c <= 'z'; ++c) {
    const char base[2] = {C(c), 0};
    SetLetter(t, B(C(c)), base, dNone, 0);
    SetLetter(t, B(C(c - 32)), base, dNone, 1);
    t.Upper[c] = static_cast<Byte>(c - 32);
    t.Lower[c - 32] = static_cast<Byte>(c);
  }
  for (const TLetterInfo& l : KLetters) {
    SetLetter(t, l.Code, l.Base, l.Mark, 1);
    SetLetter(t, l.Other, l.Base, l.Mark, 0);
    t.Upper[l.Other] = l.Code;
    t.Lower[l.Code] = l.Other;
  }
  for (const TLetterInfo& l : KCaselessLetters) SetLetter(t, l.Code, l.Base, l.Mark, 0);
  t.Weights[0xB5] = {{{KMicroPrimary, dNone, 0}}, 1, 0};
}

void BuildDigitsAndSymbols(TCodePageTables& t) {
  for (Integer d = 0; d <= 9; ++d)
    t.Weights['0' + d] = {{{static_cast<Word>(KDigitBase + d), dNone, 0}}, 1, 0};
  const Byte superscripts[3] = {0xB9, 0xB2, 0xB3};
  for (Integer d = 1; d <= 3; ++d)
    t.Weights[superscripts[d - 1]] = {{{static_cast<Word>(KDigitBase + d), dSuperscript, 0}}, 1, 0};
  const Byte fractions[3] = {0xBC, 0xBD, 0xBE};
  for (Integer i = 0; i < 3; ++i)
    t.Weights[fractions[i]] = {{{static_cast<Word>(KDigitBase + 10 + i), dNone, 0}}, 1, 0};
  Word next = KSymbolBase;
  for (const char* p = KSymbolOrder; *p; ++p) t.Weights[B(*p)] = {{{next++, dNone, 0}}, 1, 0};
}

// Control characters, the code page's five undefined bytes and word sort's hyphens and
// apostrophes are ignored until the last level.
void BuildIgnorables(TCodePageTables& t) {
  for (Integer c = 0; c < 256; ++c) {
    TCharWeights& w = t.Weights[c];
    if (w.Count == 0) w.IgnorableWeight = static_cast<Byte>(c < 0x20 ? c : 0x20);
  }
  Byte weight = 0x40;
  for (const char* p = KWordSortIgnored; *p; ++p) t.Weights[B(*p)] = {{}, 0, weight++};
}

TCodePageTables BuildTables() {
  TCodePageTables t;
  for (Integer c = 0; c < 256; ++c) t.Upper[c] = t.Lower[c] = static_cast<Byte>(c);
  BuildLetters(t);
  BuildDigitsAndSymbols(t);
  BuildIgnorables(t);
  return t;
}

const TCodePageTables& Tables() {
  static const TCodePageTables tables = BuildTables();
  return tables;
}

// Walks the collation elements of a string, skipping the ignorable characters and expanding the
// ligatures into their two letters.
class TElementCursor {
 public:
  explicit TElementCursor(const String& s) : FText(s), FWeights(Tables().Weights) { SkipIgnorable(); }
  bool AtEnd() const { return FIndex >= FText.size(); }
  const TCollationElement& Current() const { return FWeights[B(FText[FIndex])].Elements[FSub]; }
  void Next() {
    if (++FSub >= FWeights[B(FText[FIndex])].Count) {
      FSub = 0;
      ++FIndex;
      SkipIgnorable();
    }
  }

 private:
  void SkipIgnorable() {
    while (FIndex < FText.size() && FWeights[B(FText[FIndex])].Count == 0) ++FIndex;
  }
  const String& FText;
  const std::array<TCharWeights, 256>& FWeights;
  size_t FIndex = 0;
  Byte FSub = 0;
};

enum class TLevel { Primary, Secondary, Tertiary };

Integer ElementWeight(const TCollationElement& e, TLevel level) {
  switch (level) {
    case TLevel::Primary: return e.Primary;
    case TLevel::Secondary: return e.Secondary;
    case TLevel::Tertiary: return e.Tertiary;
  }
  return 0;
}

Integer CompareLevel(const String& a, const String& b, TLevel level) {
  TElementCursor ca(a), cb(b);
  for (; !ca.AtEnd() && !cb.AtEnd(); ca.Next(), cb.Next()) {
    Integer d = ElementWeight(ca.Current(), level) - ElementWeight(cb.Current(), level);
    if (d != 0) return d;
  }
  return Integer(!ca.AtEnd()) - Integer(!cb.AtEnd());
}

// Compares the ignorable characters: fewer first, then by where they stand, then by kind.
Integer CompareIgnorables(const String& a, const String& b) {
  const auto& weights = Tables().Weights;
  size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && weights[B(a[i])].Count != 0) ++i;
    while (j < b.size() && weights[B(b[j])].Count != 0) ++j;
    if (i >= a.size() || j >= b.size()) return Integer(i < a.size()) - Integer(j < b.size());
    if (i != j) return i < j ? -1 : 1;
    Integer d = weights[B(a[i])].IgnorableWeight - weights[B(b[j])].IgnorableWeight;
    if (d != 0) return d;
    ++i;
    ++j;
  }
}

Integer Sign(Integer v) { return (v > 0) - (v < 0); }

Integer OrdinalCompare(const String& a, const String& b, const std::array<Byte, 256>* map) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    Byte x = B(a[i]), y = B(b[i]);
    if (map) {
      x = (*map)[x];
      y = (*map)[y];
    }
    if (x != y) return Integer(x) - Integer(y);
  }
  return Integer(a.size() > n) - Integer(b.size() > n);
}

// Word-sort collation: letters first by their base, then by accents, then lower case before
// upper case; only strings equal at every level (case aside when ignoring it) compare equal.
Integer Collate(const String& a, const String& b, bool ignoreCase) {
  Integer d = CompareLevel(a, b, TLevel::Primary);
  if (d == 0) d = CompareLevel(a, b, TLevel::Secondary);
  if (d == 0 && !ignoreCase) d = CompareLevel(a, b, TLevel::Tertiary);
  if (d == 0) d = CompareIgnorables(a, b);
  if (d == 0) d = OrdinalCompare(a, b, ignoreCase ? &Tables().Lower : nullptr);
  return Sign(d);
}

String MapBytes(const String& s, const std::array<Byte, 256>& map) {
  String out(s);
  for (char& c : out) c = C(map[B(c)]);
  return out;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? C(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? C(c + 32) : c; }

// ---------------------------------------------------------------------------------------------
// Code page <-> Unicode

constexpr char32_t KReplacement = 0xFFFD;

// Unicode of the bytes 0x80..0x9F; the five undefined ones map to the C1 control of their value.
const char16_t KHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t AnsiToCodePoint(char c) {
  Byte b = B(c);
  return b >= 0x80 && b < 0xA0 ? KHighControls[b - 0x80] : char32_t(b);
}

// The byte for a code point, or '?' when the code page has none.
char CodePointToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return C(static_cast<Integer>(cp));
  for (Integer i = 0; i < 32; ++i)
    if (KHighControls[i] == cp) return C(0x80 + i);
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += C(static_cast<Integer>(cp));
  } else if (cp < 0x800) {
    out += C(static_cast<Integer>(0xC0 | (cp >> 6)));
    out += C(static_cast<Integer>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out += C(static_cast<Integer>(0xE0 | (cp >> 12)));
    out += C(static_cast<Integer>(0x80 | ((cp >> 6) & 0x3F)));
    out += C(static_cast<Integer>(0x80 | (cp & 0x3F)));
  } else {
    out += C(static_cast<Integer>(0xF0 | (cp >> 18)));
    out += C(static_cast<Integer>(0x80 | ((cp >> 12) & 0x3F)));
    out += C(static_cast<Integer>(0x80 | ((cp >> 6) & 0x3F)));
    out += C(static_cast<Integer>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(WideString& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// Decodes one code point at i and advances i; malformed input (overlong forms, surrogates,
// truncated sequences, stray continuation bytes) gives the replacement character for one byte.
char32_t DecodeUtf8(const std::string& s, size_t& i) {
  Byte lead = B(s[i++]);
  if (lead < 0x80) return lead;
  Integer extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 && lead <= 0xEF ? 2
                  : lead >= 0xC2 && lead <= 0xDF ? 1 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) > s.size()) return KReplacement;
  char32_t cp = lead & (0x3F >> extra);
  for (Integer k = 0; k < extra; ++k) {
    Byte cont = B(s[i + static_cast<size_t>(k)]);
    if ((cont & 0xC0) != 0x80) return KReplacement;
    cp = (cp << 6) | (cont & 0x3F);
  }
  static const char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return KReplacement;
  i += static_cast<size_t>(extra);
  return cp;
}

// Decodes one code point of UTF-16 at i; a lone surrogate gives the replacement character.
char32_t DecodeUtf16(const WideString& w, size_t& i) {
  char32_t unit = w[i++];
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit <= 0xDBFF && i < w.size() && w[i] >= 0xDC00 && w[i] <= 0xDFFF)
    return 0x10000 + ((unit - 0xD800) << 10) + (w[i++] - 0xDC00);
  return KReplacement;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Positions

String Copy(const String& s, Integer index, Integer count) { return CopyImpl(s, index, count); }
WideString Copy(const WideString& s, Integer index, Integer count) {
  return CopyImpl(s, index, count);
}

Integer Pos(const String& substr, const String& s) { return PosImpl(substr, s, 0); }
Integer Pos(const WideString& substr, const WideString& s) { return PosImpl(substr, s, 0); }

Integer PosEx(const String& substr, const String& s, Integer offset) {
  if (offset < 1) return 0;
  return PosImpl(substr, s, static_cast<size_t>(offset) - 1);
}

void Delete(String& s, Integer index, Integer count) { DeleteImpl(s, index, count); }
void Delete(WideString& s, Integer index, Integer count) { DeleteImpl(s, index, count); }

void Insert(const String& source, String& s, Integer index) { InsertImpl(source, s, index); }
void Insert(const WideString& source, WideString& s, Integer index) {
  InsertImpl(source, s, index);
}

String StringOfChar(char c, Integer count) {
  return count > 0 ? String(static_cast<size_t>(count), c) : String();
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     bool replaceAll, bool ignoreCase) {
  if (oldPattern.empty()) return s;
  const String haystack = ignoreCase ? AnsiUpperCase(s) : s;
  const String needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  String out;
  size_t from = 0;
  for (;;) {
    size_t at = haystack.find(needle, from);
    if (at == String::npos) break;
    out.append(s, from, at - from);
    out += newPattern;
    from = at + needle.size();
    if (!replaceAll) break;
  }
  out.append(s, from, String::npos);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Trimming and case

String Trim(const String& s) { return TrimImpl(s, true, true); }
String TrimLeft(const String& s) { return TrimImpl(s, true, false); }
String TrimRight(const String& s) { return TrimImpl(s, false, true); }
WideString Trim(const WideString& s) { return TrimImpl(s, true, true); }

String UpperCase(const String& s) {
  String out(s);
  std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
  return out;
}

String LowerCase(const String& s) {
  String out(s);
  std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
  return out;
}

String AnsiUpperCase(const String& s) { return MapBytes(s, Tables().Upper); }
String AnsiLowerCase(const String& s) { return MapBytes(s, Tables().Lower); }
char AnsiUpperChar(char c) { return C(Tables().Upper[B(c)]); }
char AnsiLowerChar(char c) { return C(Tables().Lower[B(c)]); }

bool IsAnsiLetter(char c) { return AnsiUpperChar(c) != AnsiLowerChar(c) || c == '\xDF' || c == '\xAA' || c == '\xBA'; }

// ---------------------------------------------------------------------------------------------
// Comparison

Integer CompareStr(const String& a, const String& b) { return OrdinalCompare(a, b, nullptr); }

Integer CompareText(const String& a, const String& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    Integer x = B(AsciiUpper(a[i])), y = B(AsciiUpper(b[i]));
    if (x != y) return x - y;
  }
  return Integer(a.size() > n) - Integer(b.size() > n);
}

bool SameText(const String& a, const String& b) { return CompareText(a, b) == 0; }

Integer AnsiCompareStr(const String& a, const String& b) {
  return a == b ? 0 : Collate(a, b, false);
}

Integer AnsiCompareText(const String& a, const String& b) {
  return a == b ? 0 : Collate(a, b, true);
}

bool AnsiSameText(const String& a, const String& b) {
  return a.size() == b.size() && AnsiLowerCase(a) == AnsiLowerCase(b);
}

bool AnsiSameStr(const String& a, const String& b) { return a == b; }

// ---------------------------------------------------------------------------------------------
// Quoting and delimiters

String QuotedStr(const String& s) { return AnsiQuotedStr(s, '\''); }

String AnsiQuotedStr(const String& s, char quote) {
  String out(1, quote);
  for (char c : s) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

// Extracts the quoted text at the start of s (a doubled quote is one quote). s comes back
// unchanged when it does not both start and end with the quote and either nothing could be
// extracted or the quote never closed.
String AnsiDequotedStr(const String& s, char quote) {
  if (s.empty()) return s;
  String out;
  size_t i = 0;
  if (s[0] == quote) {
    for (i = 1; i < s.size(); ++i) {
      if (s[i] != quote) {
        out += s[i];
      } else if (i + 1 < s.size() && s[i + 1] == quote) {
        out += s[i++];
      } else {
        ++i;  // past the closing quote
        break;
      }
    }
  }
  bool consumedAll = s[0] == quote && i >= s.size();
  bool wrapped = s.front() == quote && s.back() == quote;
  if ((out.empty() || consumedAll) && !wrapped) return s;
  return out;
}

bool IsDelimiter(const String& delimiters, const String& s, Integer index) {
  if (index < 1 || index > Length(s)) return false;
  return delimiters.find(s[static_cast<size_t>(index) - 1]) != String::npos;
}

Integer LastDelimiter(const String& delimiters, const String& s) {
  size_t at = s.find_last_of(delimiters);
  return at == String::npos ? 0 : static_cast<Integer>(at) + 1;
}

// ---------------------------------------------------------------------------------------------
// Conversions

namespace {

bool IsPlainAscii(const std::string& AText) {
  return std::all_of(AText.begin(), AText.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

String Utf8ToAnsi(std::string&& utf8) {
  if (IsPlainAscii(utf8)) return std::move(utf8);
  return Utf8ToAnsi(static_cast<const std::string&>(utf8));
}

String Utf8ToAnsi(const std::string& utf8) {
  // Plain ASCII reads the same in both: the common case, copied as it is.
  if (IsPlainAscii(utf8)) return utf8;
  String out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += CodePointToAnsi(DecodeUtf8(utf8, i));
  return out;
}

std::string AnsiToUtf8(const String& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) AppendUtf8(out, AnsiToCodePoint(c));
  return out;
}

WideString AnsiToWide(const String& s) {
  WideString out;
  out.reserve(s.size());
  for (char c : s) out += static_cast<char16_t>(AnsiToCodePoint(c));
  return out;
}

String WideToAnsi(const WideString& w) {
  String out;
  out.reserve(w.size());
  for (size_t i = 0; i < w.size();) out += CodePointToAnsi(DecodeUtf16(w, i));
  return out;
}

std::string WideToUtf8(const WideString& w) {
  std::string out;
  out.reserve(w.size());
  for (size_t i = 0; i < w.size();) AppendUtf8(out, DecodeUtf16(w, i));
  return out;
}

WideString Utf8ToWide(const std::string& utf8) {
  WideString out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) AppendUtf16(out, DecodeUtf8(utf8, i));
  return out;
}
