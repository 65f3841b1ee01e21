#include "platform/rtl/StringList.h"

#include <algorithm>

#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TStrings)
QJ_IMPLEMENT_CLASS(TStringList)

namespace {

const char* const kLineBreak = "\r\n";

unsigned char Byte8(char c) { return static_cast<unsigned char>(c); }

// The platform reads text up to its first NUL.
String UpToNul(const String& s) { return s.substr(0, s.find('\0')); }

bool IsBlank(char c) { return Byte8(c) >= 1 && Byte8(c) <= ' '; }

// Reads a quoted value starting at the opening quote; a doubled quote stands for one quote.
// An unterminated value runs to the end of the text. pos ends after the closing quote.
String ExtractQuoted(const String& s, size_t& pos, char quote) {
  String result;
  ++pos;
  while (pos < s.size()) {
    char c = s[pos++];
    if (c != quote) {
      result += c;
    } else if (pos < s.size() && s[pos] == quote) {
      result += quote;
      ++pos;
    } else {
      break;
    }
  }
  return result;
}

bool NeedsQuotes(const String& s, char delimiter, char quote, bool strict) {
  for (char c : s) {
    if (c == quote || c == delimiter) return true;
    if (!strict && IsBlank(c)) return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const TResourceString* Msg, Integer Data) const {
  throw EStringListError(Msg, {Data});
}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const {
  return AnsiCompareText(S1, S2);
}

Integer TStrings::Add(const String& S) {
  Integer result = GetCount();
  Insert(result, S);
  return result;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  Integer result = Add(S);
  PutObject(result, AObject);
  return result;
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  TUpdateScope update(*this);
  Integer count = Strings->GetCount();  // fixed up front: Strings may be this list
  for (Integer i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::SetLines(const std::vector<String>& Lines) {
  TUpdateScope update(*this);
  Clear();
  for (const String& line : Lines) Add(line);
}

void TStrings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStrings*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  TUpdateScope update(*this);
  Clear();
  FDelimiter = source->FDelimiter;
  FQuoteChar = source->FQuoteChar;
  FNameValueSeparator = source->FNameValueSeparator;
  FStrictDelimiter = source->FStrictDelimiter;
  AddStrings(source);
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  TUpdateScope update(*this);
  TObject* tempObject = GetObject(Index1);
  String tempString = Get(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, tempString);
  PutObject(Index2, tempObject);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateScope update(*this);
  String tempString = Get(CurIndex);
  TObject* tempObject = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, tempString, tempObject);
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (!Strings) return false;
  Integer count = GetCount();
  if (count != Strings->GetCount()) return false;
  for (Integer i = 0; i < count; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

Integer TStrings::IndexOf(const String& S) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const {
  for (Integer i = 0; i < GetCount(); ++i) {
    String s = Get(i);
    auto p = SeparatorPos(s);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(const TObject* AObject) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;  // unmatched: nothing to end
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Put(Integer Index, const String& S) {
  TObject* tempObject = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, tempObject);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::PutObject(Integer, TObject*) {}

String TStrings::GetName(Integer Index) const {
  String s = Get(Index);
  auto p = SeparatorPos(s);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::GetValue(const String& Name) const {
  Integer i = IndexOfName(Name);
  return i < 0 ? String() : GetValueFromIndex(i);
}

void TStrings::SetValue(const String& Name, const String& Value) {
  Integer i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0) i = Add("");
  Put(i, Name + FNameValueSeparator + Value);
}

String TStrings::GetValueFromIndex(Integer Index) const {
  if (Index < 0) return String();
  String s = Get(Index);
  auto p = SeparatorPos(s);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const String& Value) {
  if (Value.empty()) {
    if (Index >= 0) Delete(Index);
    return;
  }
  if (Index < 0) Index = Add("");
  Put(Index, GetName(Index) + FNameValueSeparator + Value);
}

String TStrings::GetText() const {
  String result;
  for (Integer i = 0; i < GetCount(); ++i) {
    result += Get(i);
    result += kLineBreak;
  }
  return result;
}

void TStrings::SetText(const String& Value) {
  String text = UpToNul(Value);
  TUpdateScope update(*this);
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == String::npos) end = text.size();
    Add(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
}

String TStrings::GetCommaText() const { return DelimitedText(',', '"', false); }

void TStrings::SetCommaText(const String& Value) { SetDelimitedText(Value, ',', '"', false); }

String TStrings::GetDelimitedText() const {
  return DelimitedText(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const String& Value) {
  SetDelimitedText(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

String TStrings::DelimitedText(char delimiter, char quote, bool strict) const {
  Integer count = GetCount();
  if (count == 1 && Get(0).empty()) return String(2, quote);
  String result;
  for (Integer i = 0; i < count; ++i) {
    String s = UpToNul(Get(i));
    if (i > 0) result += delimiter;
    result += NeedsQuotes(s, delimiter, quote, strict) ? AnsiQuotedStr(s, quote) : s;
  }
  return result;
}

void TStrings::SetDelimitedText(const String& Value, char delimiter, char quote, bool strict) {
  const String text = UpToNul(Value);
  auto skipBlanks = [&](size_t& pos) {
    if (!strict)
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
  };
  TUpdateScope update(*this);
  Clear();
  size_t pos = 0;
  skipBlanks(pos);
  while (pos < text.size()) {
    if (text[pos] == quote) {
      Add(ExtractQuoted(text, pos, quote));
    } else {
      size_t start = pos;
      while (pos < text.size() && text[pos] != delimiter && (strict || Byte8(text[pos]) > ' '))
        ++pos;
      Add(text.substr(start, pos - start));
    }
    skipBlanks(pos);
    if (pos < text.size() && text[pos] == delimiter) {
      if (pos + 1 == text.size()) Add("");  // a trailing delimiter ends with an empty value
      ++pos;
      skipBlanks(pos);
    }
  }
}

void TStrings::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->GetSize() - Stream->GetPosition();
  if (size < 0) size = 0;
  if (size > 0x7FFFFFFF) throw EReadError(&SReadError);
  String text(static_cast<size_t>(size), '\0');
  Integer read = text.empty() ? 0 : Stream->Read(text.data(), static_cast<Integer>(size));
  text.resize(static_cast<size_t>(read));
  SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) const {
  String text = GetText();
  Stream->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
}

void TStringList::Changing() {
  if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Grow() {
  Integer delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
  SetCapacity(FCapacity + delta);
}

void TStringList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount()) Error(&SListCapacityError, NewCapacity);
  if (NewCapacity > FCapacity) FList.reserve(static_cast<size_t>(NewCapacity));
  FCapacity = NewCapacity;
}

bool TStringList::Find(const String& S, Integer& Index) const {
  bool found = false;
  Integer L = 0;
  Integer H = GetCount() - 1;
  while (L <= H) {
    Integer I = L + (H - L) / 2;
    Integer C = CompareStrings(Item(I).FString, S);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) {
        found = true;
        if (FDuplicates != dupAccept) L = I;
      }
    }
  }
  Index = L;
  return found;
}

Integer TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  Integer index;
  return Find(S, index) ? index : -1;
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer index = GetCount();
  if (FSorted && Find(S, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) Error(&SDuplicateString, 0);
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  if (GetCount() == FCapacity) Grow();
  FList.insert(FList.begin() + Index, std::make_unique<TStringItem>(TStringItem{S, AObject}));
  Changed();
}

void TStringList::Insert(Integer Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject) {
  if (FSorted) Error(&SSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(&SListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  FList.shrink_to_fit();
  FCapacity = 0;
  Changed();
}

void TStringList::ExchangeItems(Integer Index1, Integer Index2) {
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  // Refused before anything moves, so a sorted list keeps its lines.
  if (FSorted && CurIndex != NewIndex) Error(&SSortedListError, 0);
  TStrings::Move(CurIndex, NewIndex);
}

String TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return Item(Index).FString;
}

void TStringList::Put(Integer Index, const String& S) {
  if (FSorted) Error(&SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  Item(Index).FString = S;
  Changed();
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return Item(Index).FObject;
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  Item(Index).FObject = AObject;
  Changed();
}

// The platform's quicksort over indexes: the pivot is tracked by position as items move. Scans
// stop at the range ends so an inconsistent compare cannot run off the list; the smaller part
// recurses, which bounds the stack without changing the result.
void TStringList::QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare) {
  while (L < R) {
    Integer I = L;
    Integer J = R;
    Integer P = L + (R - L) / 2;
    do {
      while (I < R && Compare(this, I, P) < 0) ++I;
      while (J > L && Compare(this, J, P) > 0) --J;
      if (I <= J) {
        if (I != J) ExchangeItems(I, J);
        if (P == I)
          P = J;
        else if (P == J)
          P = I;
        ++I;
        --J;
      }
    } while (I <= J);
    if (J - L < R - I) {
      if (L < J) QuickSort(L, J, Compare);
      L = I;
    } else {
      if (I < R) QuickSort(I, R, Compare);
      R = J;
    }
  }
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || GetCount() < 2) return;
  Changing();
  QuickSort(0, GetCount() - 1, Compare);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, Integer i1, Integer i2) {
    return list->CompareStrings(list->Item(i1).FString, list->Item(i2).FString);
  });
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    TValueScope unsorted(FSorted, false);
    Sort();
  }
}
