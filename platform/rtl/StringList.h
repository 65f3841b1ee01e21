// Lists of strings: the abstract TStrings and TStringList (one object per line, optional sorting
// with binary search, duplicate rules, case sensitivity, change events).
//
// Text joins lines with "\r\n" as the original platform does and splits on "\r\n", "\n" or "\r".
// CommaText and DelimitedText follow the platform's quoting: a value is quoted when it holds a
// space, a control character, the quote or the delimiter; unquoted values end at a space unless
// StrictDelimiter is set. Text is cut at its first NUL, as the platform reads it.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/Component.h"

class TStream;
struct TResourceString;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  QJ_CLASS(TStrings, TPersistent)
 public:
  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void Append(const String& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  // Replaces every line by the given ones, in one update.
  void SetLines(const std::vector<String>& Lines);
  // Copies the lines, objects and text settings of another TStrings.
  void Assign(TPersistent* Source) override;
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  // Same lines in the same order (compared exactly; objects are not compared).
  bool Equals(const TStrings* Strings) const;

  virtual Integer IndexOf(const String& S) const;
  virtual Integer IndexOfName(const String& Name) const;
  virtual Integer IndexOfObject(const TObject* AObject) const;

  // The list's change events fire once for a whole update.
  void BeginUpdate();
  void EndUpdate();

  virtual String Get(Integer Index) const = 0;
  virtual void Put(Integer Index, const String& S);
  String operator[](Integer Index) const { return Get(Index); }
  virtual TObject* GetObject(Integer Index) const;
  virtual void PutObject(Integer Index, TObject* AObject);
  virtual Integer GetCount() const = 0;
  virtual Integer GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(Integer) {}

  // Name=value lines.
  String GetName(Integer Index) const;
  String GetValue(const String& Name) const;
  // An empty value deletes the line.
  void SetValue(const String& Name, const String& Value);
  String GetValueFromIndex(Integer Index) const;
  void SetValueFromIndex(Integer Index, const String& Value);

  virtual String GetText() const;
  virtual void SetText(const String& Value);
  String GetCommaText() const;
  void SetCommaText(const String& Value);
  String GetDelimitedText() const;
  void SetDelimitedText(const String& Value);
  char GetDelimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char GetQuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  char GetNameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
  bool GetStrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // The rest of the stream from its position becomes the text; SaveToStream writes GetText().
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName) const;

 protected:
  // Called when the first BeginUpdate starts and the last EndUpdate ends an update.
  virtual void SetUpdateState(bool) {}
  virtual Integer CompareStrings(const String& S1, const String& S2) const;
  Integer GetUpdateCount() const { return FUpdateCount; }
  [[noreturn]] void Error(const TResourceString* Msg, Integer Data) const;

 private:
  String DelimitedText(char delimiter, char quote, bool strict) const;
  void SetDelimitedText(const String& Value, char delimiter, char quote, bool strict);
  String::size_type SeparatorPos(const String& S) const { return S.find(FNameValueSeparator); }

  Integer FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
};

class TStringList;
// Returns <0, 0 or >0 as the line at Index1 sorts before, with or after the line at Index2.
using TStringListSortCompare =
    std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

class TStringList : public TStrings {
  QJ_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  ~TStringList() override;

  // On a sorted list the line goes to its place; a duplicate is then ignored (returning the
  // existing line's index and keeping its object), accepted, or refused with EStringListError.
  Integer Add(const String& S) override;
  Integer AddObject(const String& S, TObject* AObject) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  Integer IndexOf(const String& S) const override;
  // Binary search of a sorted list: true when S is present; Index is its position (the first
  // of equal lines when duplicates are accepted) or where it would be inserted.
  virtual bool Find(const String& S, Integer& Index) const;
  virtual void Sort();
  // Sorts an unsorted list with the platform's quicksort (not stable).
  virtual void CustomSort(const TStringListSortCompare& Compare);

  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
  Integer GetCapacity() const override { return FCapacity; }
  void SetCapacity(Integer NewCapacity) override;

  TDuplicates GetDuplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool GetCaseSensitive() const { return FCaseSensitive; }
  // Re-sorts a sorted list under the new comparison.
  void SetCaseSensitive(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const String& S1, const String& S2) const override;
  virtual void InsertItem(Integer Index, const String& S, TObject* AObject);

 private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };

  void CheckIndex(Integer Index) const;
  void Grow();
  void ExchangeItems(Integer Index1, Integer Index2);
  void QuickSort(Integer L, Integer R, const TStringListSortCompare& Compare);

  TStringItem& Item(Integer Index) { return *FList[static_cast<size_t>(Index)]; }
  const TStringItem& Item(Integer Index) const { return *FList[static_cast<size_t>(Index)]; }

  // Lines live behind pointers so inserting into a long list moves pointers, not strings.
  std::vector<std::unique_ptr<TStringItem>> FList;
  Integer FCapacity = 0;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
};
