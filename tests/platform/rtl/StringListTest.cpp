#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "RtlTestSupport.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"

namespace {

using Lines = std::vector<String>;

Lines LinesOf(const TStrings& list) {
  Lines result;
  for (Integer i = 0; i < list.GetCount(); ++i) result.push_back(list[i]);
  return result;
}

void Fill(TStrings& list, const Lines& lines) {
  list.Clear();
  for (const String& s : lines) list.Add(s);
}

TObject* Tag(intptr_t n) { return reinterpret_cast<TObject*>(n); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sorting, searching and duplicates

TEST(StringListSorted, AddPlacesLinesAndAppliesTheDuplicateRule) {
  struct Case {
    TDuplicates mode;
    Lines expected;
    Integer indexOfDuplicate;  // what Add("B") returns
    const char* error;
  };
  const Case cases[] = {
      {dupIgnore, {"a", "b", "c"}, 1, "no error"},
      {dupAccept, {"a", "B", "b", "c"}, 1, "no error"},
      {dupError, {"a", "b", "c"}, -1, "String list does not allow duplicates"},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.mode);
    for (const char* s : {"c", "a", "b"}) list.Add(s);
    Integer index = -1;
    EXPECT_EQ(ErrorOf<EStringListError>([&] { index = list.Add("B"); }), c.error) << c.mode;
    EXPECT_EQ(index, c.indexOfDuplicate) << c.mode;
    EXPECT_EQ(LinesOf(list), c.expected) << c.mode;
  }
}

TEST(StringListSorted, IgnoredDuplicateKeepsItsObject) {
  TStringList list;
  list.SetSorted(true);
  list.AddObject("x", Tag(1));
  EXPECT_EQ(list.AddObject("X", Tag(2)), 0);
  EXPECT_EQ(list.GetObject(0), Tag(1));
}

TEST(StringListSorted, AcceptedDuplicatesGoBeforeTheirEqualsAndFindTheFirst) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  list.AddObject("k", Tag(1));
  list.AddObject("k", Tag(2));
  list.AddObject("z", Tag(3));
  list.AddObject("k", Tag(4));
  EXPECT_EQ(list.GetObject(0), Tag(4));
  EXPECT_EQ(list.GetObject(2), Tag(1));
  EXPECT_EQ(list.IndexOf("K"), 0);
}

TEST(StringListSorted, FindGivesThePositionOrTheInsertionPoint) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"delta", "alpha", "charlie", "echo"}) list.Add(s);
  struct Case {
    const char* s;
    bool found;
    Integer index;
  };
  const Case cases[] = {{"alpha", true, 0},  {"ALPHA", true, 0},    {"bravo", false, 1},
                        {"echo", true, 3},   {"foxtrot", false, 4}, {"", false, 0},
                        {"Charlie", true, 1}};
  for (const Case& c : cases) {
    Integer index = -1;
    EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
    EXPECT_EQ(index, c.index) << c.s;
    EXPECT_EQ(list.IndexOf(c.s), c.found ? c.index : -1) << c.s;
  }
}

TEST(StringListSorted, CaseSensitivityChangesOrderAndSearch) {
  TStringList list;
  for (const char* s : {"B", "b", "A", "a"}) list.Add(s);
  list.SetCaseSensitive(true);
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "A", "b", "B"}));
  EXPECT_EQ(list.IndexOf("B"), 3);
  EXPECT_EQ(list.IndexOf("c"), -1);
  // Switching back re-sorts, so the binary search stays right.
  list.SetCaseSensitive(false);
  Integer index;
  EXPECT_TRUE(list.Find("b", index));
  EXPECT_EQ(index, 2);
}

TEST(StringListSorted, OperationsThatWouldBreakTheOrderAreRefused) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"a", "b", "c"}) list.Add(s);
  const char* sortedError = "Operation not allowed on sorted list";
  EXPECT_EQ(ErrorOf<EStringListError>([&] { list.Insert(0, "z"); }), sortedError);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { list.InsertObject(0, "z", nullptr); }), sortedError);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { list.Put(0, "z"); }), sortedError);
  EXPECT_EQ(ErrorOf<EStringListError>([&] { list.Move(0, 2); }), sortedError);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
}

TEST(StringListSort, CustomSortUsesThePlatformQuicksort) {
  TStringList list;
  Fill(list, {"ccc", "a", "bb", "dd", "e", "fff", "g", "hh"});
  list.CustomSort([](TStringList* l, Integer i1, Integer i2) {
    return Length(l->Get(i1)) - Length(l->Get(i2));
  });
  EXPECT_EQ(LinesOf(list), (Lines{"g", "e", "a", "hh", "bb", "dd", "ccc", "fff"}));
}

TEST(StringListSort, SortKeepsObjectsWithTheirLines) {
  TStringList list;
  list.AddObject("pear", Tag(1));
  list.AddObject("Apple", Tag(2));
  list.AddObject("fig", Tag(3));
  list.Sort();
  EXPECT_EQ(LinesOf(list), (Lines{"Apple", "fig", "pear"}));
  EXPECT_EQ(list.GetObject(0), Tag(2));
  EXPECT_EQ(list.IndexOfObject(Tag(1)), 2);
  EXPECT_EQ(list.IndexOfObject(Tag(9)), -1);
}

// ---------------------------------------------------------------------------------------------
// Editing

TEST(StringList, EditingKeepsObjectsAndChecksIndexes) {
  TStringList list;
  list.AddObject("one", Tag(1));
  list.AddObject("two", Tag(2));
  list.InsertObject(0, "zero", Tag(0));
  list.Append("three");
  list.Exchange(0, 3);
  EXPECT_EQ(LinesOf(list), (Lines{"three", "one", "two", "zero"}));
  EXPECT_EQ(list.GetObject(3), Tag(0));
  list.Move(3, 1);
  EXPECT_EQ(LinesOf(list), (Lines{"three", "zero", "one", "two"}));
  EXPECT_EQ(list.GetObject(1), Tag(0));
  list.Put(0, "3");
  list.Delete(2);
  EXPECT_EQ(LinesOf(list), (Lines{"3", "zero", "two"}));
  EXPECT_EQ(list.IndexOf("TWO"), 2);

  const std::pair<std::function<void()>, const char*> errors[] = {
      {[&] { list.Get(3); }, "List index out of bounds (3)"},
      {[&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {[&] { list.Insert(4, "x"); }, "List index out of bounds (4)"},
      {[&] { list.PutObject(5, nullptr); }, "List index out of bounds (5)"},
      {[&] { list.Exchange(0, 3); }, "List index out of bounds (3)"},
  };
  for (const auto& [action, message] : errors)
    EXPECT_EQ(ErrorOf<EStringListError>(action), message);
  EXPECT_EQ(LinesOf(list), (Lines{"3", "zero", "two"}));
}

TEST(StringList, ChangeEventsFireOncePerChangeOrPerUpdate) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changing;
  };
  list.OnChange = [&](TObject*) { ++changed; };
  list.Add("a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(changed, 1);
  list.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  list.EndUpdate();  // unmatched: ignored
  list.SetText("x\ny");
  EXPECT_EQ(changed, 3);
  TStringList empty;
  empty.OnChange = [&](TObject*) { ++changed; };
  empty.Clear();
  EXPECT_EQ(changed, 3);
}

TEST(StringList, AssignAddStringsAndEquals) {
  TStringList source;
  source.AddObject("a", Tag(1));
  source.AddObject("b", Tag(2));
  source.SetDelimiter(';');
  TStringList copy;
  copy.Add("old");
  copy.Assign(&source);
  EXPECT_TRUE(copy.Equals(&source));
  EXPECT_EQ(copy.GetObject(1), Tag(2));
  EXPECT_EQ(copy.GetDelimiter(), ';');
  copy.Assign(&copy);
  EXPECT_EQ(copy.GetCount(), 2);
  copy.AddStrings(&copy);
  EXPECT_EQ(LinesOf(copy), (Lines{"a", "b", "a", "b"}));
  EXPECT_FALSE(copy.Equals(&source));
  TStringList differentCase;
  Fill(differentCase, {"A", "b"});
  EXPECT_FALSE(differentCase.Equals(&source));  // exact comparison

  EXPECT_EQ(ErrorOf<EConvertError>([&] { copy.Assign(nullptr); }),
            "Cannot assign a nil to a TStringList");
  TCollection collection(nullptr);
  EXPECT_EQ(ErrorOf<EConvertError>([&] { copy.Assign(&collection); }),
            "Cannot assign a TCollection to a TStringList");
  EXPECT_EQ(copy.GetCount(), 4);
}

// ---------------------------------------------------------------------------------------------
// Text, CommaText, DelimitedText

TEST(StringListText, ReadsEveryLineBreakAndWritesCrLf) {
  struct Case {
    String text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {" x \t", {" x \t"}},
      {String("a\0b\nc", 5), {"a"}},
  };
  TStringList list;
  for (const Case& c : cases) {
    list.SetText(c.text);
    EXPECT_EQ(LinesOf(list), c.lines) << c.text;
  }
  Fill(list, {"a", "", "b"});
  EXPECT_EQ(list.GetText(), "a\r\n\r\nb\r\n");
  list.Clear();
  EXPECT_EQ(list.GetText(), "");
}

TEST(StringListText, CommaTextQuotesWhatNeedsIt) {
  struct Case {
    Lines lines;
    String text;
  };
  const Case cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"a", "b"}, "a,b"},
      {{"a", "", "b"}, "a,,b"},
      {{"b c"}, "\"b c\""},
      {{"d\"e"}, "\"d\"\"e\""},
      {{"f,g"}, "\"f,g\""},
      {{"tab\there"}, "\"tab\there\""},
      {{"caf\xe9"}, "caf\xe9"},
      {{"it's"}, "it's"},
  };
  TStringList list;
  for (const Case& c : cases) {
    Fill(list, c.lines);
    EXPECT_EQ(list.GetCommaText(), c.text);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(LinesOf(back), c.lines) << c.text;
  }
}

TEST(StringListText, CommaTextParsesThePlatformWay) {
  struct Case {
    String text;
    Lines lines;
  };
  const Case cases[] = {
      {"a b", {"a", "b"}},
      {"  a , b  ", {"a", "b"}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"a,", {"a", ""}},
      {"a, ", {"a"}},
      {",a", {"", "a"}},
      {"\"ab\"cd,e", {"ab", "cd", "e"}},
      {"\"abc", {"abc"}},
      {"\"\"", {""}},
      {"   ", {}},
      {String("a,b\0,c", 6), {"a", "b"}},
  };
  TStringList list;
  for (const Case& c : cases) {
    list.SetCommaText(c.text);
    EXPECT_EQ(LinesOf(list), c.lines) << c.text;
  }
}

TEST(StringListText, DelimitedTextUsesTheListSettings) {
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  list.SetDelimitedText("a b;'c;d';e");
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c;d", "e"}));
  EXPECT_EQ(list.GetDelimitedText(), "a;b;'c;d';e");
  list.SetStrictDelimiter(true);
  list.SetDelimitedText(" a b ;c");
  EXPECT_EQ(LinesOf(list), (Lines{" a b ", "c"}));
  EXPECT_EQ(list.GetDelimitedText(), " a b ;c");
  // CommaText keeps its own rules whatever the settings.
  EXPECT_EQ(list.GetCommaText(), "\" a b \",c");
}

// ---------------------------------------------------------------------------------------------
// Names and values

TEST(StringListValues, NamesAndValuesByNameOrIndex) {
  TStringList list;
  Fill(list, {"Width=10", "mode=x=y", "plain", "=empty"});
  struct Case {
    Integer index;
    const char* name;
    const char* value;
  };
  const Case cases[] = {{0, "Width", "10"}, {1, "mode", "x=y"}, {2, "", ""}, {3, "", "empty"}};
  for (const Case& c : cases) {
    EXPECT_EQ(list.GetName(c.index), c.name) << c.index;
    EXPECT_EQ(list.GetValueFromIndex(c.index), c.value) << c.index;
  }
  EXPECT_EQ(list.GetValue("WIDTH"), "10");
  EXPECT_EQ(list.GetValue("plain"), "");
  EXPECT_EQ(list.IndexOfName("Mode"), 1);
  EXPECT_EQ(list.IndexOfName("missing"), -1);
  EXPECT_EQ(list.GetValueFromIndex(-1), "");
}

TEST(StringListValues, SettingValuesReplacesAddsOrDeletes) {
  TStringList list;
  Fill(list, {"a=1", "b=2"});
  list.SetValue("A", "9");
  list.SetValue("c", "3");
  list.SetValue("b", "");
  list.SetValue("nothing", "");
  EXPECT_EQ(LinesOf(list), (Lines{"A=9", "c=3"}));
  list.SetValueFromIndex(1, "4");
  EXPECT_EQ(list[1], "c=4");
  list.SetNameValueSeparator(':');
  list.SetValue("key", "v");
  EXPECT_EQ(list[2], "key:v");
  EXPECT_EQ(list.GetValue("key"), "v");
}

// ---------------------------------------------------------------------------------------------
// Streams

TEST(StringListStreams, SaveAndLoadThroughAStream) {
  TStringList list;
  Fill(list, {"first", "", "last"});
  TMemoryStream stream;
  list.SaveToStream(&stream);
  EXPECT_EQ(stream.GetSize(), 15);
  stream.SetPosition(7);  // loading starts at the stream's position
  TStringList back;
  back.LoadFromStream(&stream);
  EXPECT_EQ(LinesOf(back), (Lines{"", "last"}));
  EXPECT_THROW(back.LoadFromFile("/nonexistent/dir/list.txt"), EFOpenError);
  EXPECT_EQ(LinesOf(back), (Lines{"", "last"}));
}

TEST(StringListStreams, SaveAndLoadThroughAFile) {
  const String path = ::testing::TempDir() + "rtl-classes-stringlist.txt";
  TStringList list;
  Fill(list, {"caf\xe9", "x=1"});
  list.SaveToFile(path);
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_TRUE(back.Equals(&list));
  std::remove(path.c_str());
}

// ---------------------------------------------------------------------------------------------
// A descendant that supplies only the abstract members gets the rest from TStrings.

namespace {

class TPlainStrings : public TStrings {
  QJ_INLINE_CLASS(TPlainStrings, TStrings)
 public:
  Lines Items;
  std::vector<TObject*> Objects;
  int UpdateStarts = 0, UpdateEnds = 0;

  String Get(Integer Index) const override { return Items.at(static_cast<size_t>(Index)); }
  Integer GetCount() const override { return static_cast<Integer>(Items.size()); }
  TObject* GetObject(Integer Index) const override {
    return Objects.at(static_cast<size_t>(Index));
  }
  void PutObject(Integer Index, TObject* AObject) override {
    Objects.at(static_cast<size_t>(Index)) = AObject;
  }
  void Insert(Integer Index, const String& S) override {
    Items.insert(Items.begin() + Index, S);
    Objects.insert(Objects.begin() + Index, nullptr);
  }
  void Delete(Integer Index) override {
    Items.erase(Items.begin() + Index);
    Objects.erase(Objects.begin() + Index);
  }
  void Clear() override {
    Items.clear();
    Objects.clear();
  }

 protected:
  void SetUpdateState(bool Updating) override { ++(Updating ? UpdateStarts : UpdateEnds); }
};

}  // namespace

TEST(StringsBase, DefaultOperationsWorkThroughTheAbstractMembers) {
  TPlainStrings list;
  list.AddObject("one", Tag(1));
  list.SetCommaText("one,two,\"three four\"");
  EXPECT_EQ(list.UpdateStarts, 1);
  EXPECT_EQ(list.UpdateEnds, 1);
  list.PutObject(0, Tag(1));
  list.Put(0, "uno");
  EXPECT_EQ(list.GetObject(0), Tag(1));  // Put keeps the object
  list.Exchange(0, 2);
  EXPECT_EQ(list.Items, (Lines{"three four", "two", "uno"}));
  EXPECT_EQ(list.GetObject(2), Tag(1));
  list.Move(2, 0);
  EXPECT_EQ(list.Items, (Lines{"uno", "three four", "two"}));
  EXPECT_EQ(list.IndexOf("TWO"), 2);
  EXPECT_EQ(list.IndexOfObject(Tag(1)), 0);
  EXPECT_EQ(list.GetText(), "uno\r\nthree four\r\ntwo\r\n");
  TStringList copy;
  copy.Assign(&list);
  EXPECT_TRUE(copy.Equals(&list));
  EXPECT_EQ(copy.GetObject(0), Tag(1));
}
