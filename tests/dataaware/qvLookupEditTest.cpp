// The lookup edit framework over an unbound list of names: text to key, locating typed text,
// incremental filtering, key navigation, the list field index, the busy count and the locks.
#include "core/qvData.h"
#include "core/qvDataStorage.h"
#include "dataaware/qvLookupEdit.h"
#include "tests/editors/qvTextEditTestSupport.h"

namespace qvLookupEditTests {

class TNameColumn : public TObject {
  QJ_INLINE_CLASS(TNameColumn, TObject)
};

// Lookup properties over an unbound list: the key is a record index, the text the record's name.
class TNameLookupProperties : public TqvCustomLookupEditProperties {
  QJ_INLINE_CLASS(TNameLookupProperties, TqvCustomLookupEditProperties)
 public:
  explicit TNameLookupProperties(TPersistent* AOwner)
      : TqvCustomLookupEditProperties(AOwner), List(New<TqvDataController>(nullptr)) {
    List->SetMultiSelect(false);
    ConnectListDataController();
  }
  ~TNameLookupProperties() override { DisconnectListDataController(); }
  static TqvCustomEditClass ContainerClass();

  Integer GetListColumnCount() const override { return List->GetItemCount(); }
  TqvCustomDataController* GetListDataController() const override { return List.get(); }
  String GetDisplayTextByKey(const Variant& AKey) override {
    const Integer column = GetListItemIndex();
    if (column == -1 || VarIsNull(AKey) || VarIsEmpty(AKey)) return String();
    const Integer record = AKey.AsInteger();
    return record >= 0 && record < List->GetRecordCount() ? List->GetDisplayText(record, column) : String();
  }
  void MakeFocusedRowVisible() override {
    if (FailShowingRow) throw Exception("no room");
  }

  // Replaces the list: one column per name list, records in order.
  void Fill(const std::vector<std::vector<String>>& AColumns) {
    List->BeginUpdate();
    while (List->GetItemCount() > 0) List->RemoveItem(List->GetItem(0));
    Columns.clear();
    for (size_t c = 0; c < AColumns.size(); ++c) {
      Columns.push_back(std::make_unique<TNameColumn>());
      List->AddItem(Columns.back().get());
      List->ChangeValueTypeClass(Integer(c), TqvStringValueType::Class());
    }
    List->SetRecordCount(AColumns.empty() ? 0 : Integer(AColumns[0].size()));
    for (size_t c = 0; c < AColumns.size(); ++c)
      for (size_t r = 0; r < AColumns[c].size(); ++r) List->SetValue(Integer(r), Integer(c), AColumns[c][r]);
    List->EndUpdate();
  }

  TOwned<TqvDataController> List;
  std::vector<std::unique_ptr<TNameColumn>> Columns;
  bool FailShowingRow = false;
};

class TNameLookupEdit : public TqvCustomLookupEdit {
  QJ_INLINE_CLASS(TNameLookupEdit, TqvCustomLookupEdit)
 public:
  using TqvCustomLookupEdit::TqvCustomLookupEdit;
  static TqvCustomEditPropertiesClass PropertiesClass() { return &TNameLookupProperties::StaticClass(); }
  TNameLookupProperties* Props() const { return static_cast<TNameLookupProperties*>(GetActiveProperties()); }
};

inline TqvCustomEditClass TNameLookupProperties::ContainerClass() { return &TNameLookupEdit::StaticClass(); }

const std::vector<String> kNames = {"Smith", "Jones", "Smith", "Brown", "Smythe"};

class LookupEditTest : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Edit = NewTextEdit<TNameLookupEdit>();
    Props()->Fill({kNames});
    Data()->SetCurrentKeyFromRecord(-1);
  }
  TNameLookupProperties* Props() const { return Edit->Props(); }
  TqvDataController* List() const { return Props()->List.get(); }
  TqvCustomLookupEditLookupData* Data() const { return Edit->GetLookupEditData(); }
  Variant ToKey(const String& AText) {
    Variant key;
    Edit->DisplayToEditValue(AText, key, true);
    return key;
  }
  static String KeyText(const Variant& AKey) { return VarIsNull(AKey) ? String("Null") : VarToStr(AKey); }

  TNameLookupEdit* Edit = nullptr;
};

// -- Text to key

struct TTextToKeyCase {
  const char* Name;
  Integer CurrentKey;
  const char* Text;
  const char* Key;
};

class LookupTextToKey : public LookupEditTest, public ::testing::WithParamInterface<TTextToKeyCase> {};

TEST_P(LookupTextToKey, GivesTheKeyOfTheText) {
  const TTextToKeyCase& c = GetParam();
  Data()->SetCurrentKeyFromRecord(c.CurrentKey);
  EXPECT_EQ(KeyText(ToKey(c.Text)), c.Key);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupTextToKey,
    ::testing::Values(TTextToKeyCase{"EqualTextKeepsTheCurrentKey", 2, "Smith", "2"},
                      TTextToKeyCase{"OtherTextFindsTheRecordExactly", 0, "Jones", "1"},
                      TTextToKeyCase{"FirstOfTwoEqualTextsWithoutAKey", -1, "Smith", "0"},
                      TTextToKeyCase{"APrefixIsNoMatch", 1, "Smi", "Null"},
                      TTextToKeyCase{"UnknownTextGivesTheEmptyKey", 0, "White", "Null"}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// -- Locating typed text

struct TLocateCase {
  const char* Name;
  const char* Typed;
  bool Found;
  const char* Head;
  const char* Tail;
  Integer Record;
};

class LookupLocate : public LookupEditTest, public ::testing::WithParamInterface<TLocateCase> {};

TEST_P(LookupLocate, FindsTheFirstRecordTheTextStarts) {
  const TLocateCase& c = GetParam();
  String text = c.Typed, tail;
  EXPECT_EQ(Data()->Locate(text, tail, false), c.Found);
  if (!c.Found) {
    EXPECT_FALSE(Data()->IsFocusedRowSelected());
    return;
  }
  EXPECT_EQ(text, c.Head);
  EXPECT_EQ(tail, c.Tail);
  EXPECT_EQ(KeyText(Data()->GetCurrentKey()), std::to_string(c.Record));
  EXPECT_EQ(List()->GetFocusedRecordIndex(), c.Record);
  EXPECT_TRUE(Data()->IsFocusedRowSelected());
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupLocate,
                         ::testing::Values(TLocateCase{"TakesTheListsLetterCase", "smi", true, "Smi", "th", 0},
                                           TLocateCase{"WholeText", "JONES", true, "Jones", "", 1},
                                           TLocateCase{"LaterRecord", "smy", true, "Smy", "the", 4},
                                           TLocateCase{"NoRecordStartsSo", "x", false, "", "", -1}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupEditTest, WithoutColumnsNothingIsFoundAndTheListIsEmpty) {
  Props()->Fill({});
  EXPECT_EQ(Props()->GetListItemIndex(), -1);
  String text = "S", tail;
  EXPECT_FALSE(Data()->Locate(text, tail, false));
  EXPECT_FALSE(Props()->FindLookupText("Smith"));
  EXPECT_FALSE(Data()->FindAndFocusText("Smith"));
  EXPECT_TRUE(Data()->IsEmpty());
  EXPECT_TRUE(VarIsNull(ToKey("Smith")));
}

// -- Incremental filtering while the list is open

struct TFilterCase {
  const char* Name;
  TqvEditDropDownListStyle Style;
  Integer RowsAfterMiss;
  const char* FilterAfterMiss;
};

class LookupFiltering : public LookupEditTest, public ::testing::WithParamInterface<TFilterCase> {};

TEST_P(LookupFiltering, ATextWithoutMatchKeepsOrEmptiesTheList) {
  const TFilterCase& c = GetParam();
  Props()->SetDropDownListStyle(c.Style);
  Data()->DropDown();
  String text = "Sm", tail;
  ASSERT_TRUE(Data()->Locate(text, tail, false));
  EXPECT_EQ(List()->GetRowCount(), 3);
  text = "Smx";
  EXPECT_FALSE(Data()->Locate(text, tail, false));
  EXPECT_EQ(List()->GetRowCount(), c.RowsAfterMiss);
  EXPECT_EQ(List()->GetIncrementalFilterText(), c.FilterAfterMiss);
  Data()->ResetListItemIndex();
  EXPECT_EQ(List()->GetRowCount(), 5) << "closing the list clears the filter";
  EXPECT_FALSE(List()->IsListenerLocked());
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupFiltering,
                         ::testing::Values(TFilterCase{"FixedListKeepsThePreviousFilter", lsEditFixedList, 3, "Sm"},
                                           TFilterCase{"EditListIsFilteredToNothing", lsEditList, 0, "Smx"}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupEditTest, WithoutIncrementalFilteringTheOpenListIsSearched) {
  Props()->SetIncrementalFiltering(false);
  Data()->DropDown();
  String text = "br", tail;
  ASSERT_TRUE(Data()->Locate(text, tail, false));
  EXPECT_EQ(List()->GetRowCount(), 5);
  EXPECT_EQ(List()->GetFocusedRecordIndex(), 3);
  Data()->ResetListItemIndex();
}

// -- Keys

struct TMoveCase {
  const char* Name;
  Integer From;
  TqvEditLookupDirection Direction;
  bool Cycle;
  Integer To;
};

class LookupMoveCurrent : public LookupEditTest, public ::testing::WithParamInterface<TMoveCase> {
 protected:
  void SetUp() override {
    LookupEditTest::SetUp();
    std::vector<String> names;
    for (Integer i = 0; i < 10; ++i) names.push_back("Name" + IntToStr(i));
    Props()->Fill({names});
    Props()->SetDropDownRows(3);
  }
};

TEST_P(LookupMoveCurrent, MovesTheKeyAndChoosesIt) {
  const TMoveCase& c = GetParam();
  Data()->SetCurrentKeyFromRecord(c.From);
  Integer chosen = 0;
  Data()->SetOnSelectItem([&](TObject*) { ++chosen; });
  Data()->Go(c.Direction, c.Cycle);
  EXPECT_EQ(KeyText(Data()->GetCurrentKey()), std::to_string(c.To));
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(Data()->IsFocusedRowSelected());
  EXPECT_FALSE(List()->IsListenerLocked());
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupMoveCurrent,
                         ::testing::Values(TMoveCase{"First", 5, eldFirst, false, 0},
                                           TMoveCase{"Last", 5, eldLast, false, 9},
                                           TMoveCase{"Next", 5, eldNext, false, 6},
                                           TMoveCase{"NextStopsAtTheEnd", 9, eldNext, false, 9},
                                           TMoveCase{"NextWraps", 9, eldNext, true, 0},
                                           TMoveCase{"Previous", 5, eldPrev, false, 4},
                                           TMoveCase{"PreviousWraps", 0, eldPrev, true, 9},
                                           TMoveCase{"PageDownByDropDownRows", 2, eldPageDown, false, 5},
                                           TMoveCase{"PageDownStopsAtTheEnd", 8, eldPageDown, false, 9},
                                           TMoveCase{"PageDownWrapsAtTheLastRow", 9, eldPageDown, true, 0},
                                           TMoveCase{"PageUpByDropDownRows", 5, eldPageUp, false, 2},
                                           TMoveCase{"PageUpStopsAtTheTop", 1, eldPageUp, false, 0},
                                           TMoveCase{"PageUpWrapsAtTheFirstRow", 0, eldPageUp, true, 9}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupEditTest, NavigationKeys) {
  struct {
    Word Key;
    TShiftState Shift;
    bool Navigates;
  } cases[] = {{VK_NEXT, 0, true},       {VK_PRIOR, 0, true},       {VK_UP, 0, true},      {VK_DOWN, 0, true},
               {VK_DOWN, ssAlt, false},  {VK_HOME, 0, false},       {VK_HOME, ssCtrl, true}, {VK_END, ssCtrl, true},
               {VK_LEFT, 0, false}};
  for (const auto& c : cases)
    EXPECT_EQ(Props()->IsLookupNavigationKey(c.Key, c.Shift), c.Navigates) << c.Key << " " << c.Shift;
}

// -- The list field index

TEST_F(LookupEditTest, TheListFieldIndexStaysWithinTheColumns) {
  Props()->Fill({kNames, kNames, kNames, kNames, kNames, kNames});
  Props()->SetListFieldIndex(5);
  ASSERT_EQ(Props()->GetListFieldIndex(), 5);
  Props()->Fill({kNames, kNames, kNames});
  EXPECT_EQ(Props()->GetListItemIndex(), 2) << "a stored 5 with three columns reads as the last column";
  struct {
    Integer Written;
    Integer Stored;
  } writes[] = {{5, 2}, {-3, 0}, {1, 1}};
  for (const auto& w : writes) {
    Props()->SetListFieldIndex(w.Written);
    EXPECT_EQ(Props()->GetListFieldIndex(), w.Stored) << w.Written;
  }
}

// -- Change notification

TEST_F(LookupEditTest, AListChangeCallsChangedUnlessTheLookupIsBusy) {
  Integer changes = 0;
  Props()->OnPropertiesChanged = [&](TObject*) { ++changes; };
  List()->SetValue(0, 0, String("Smith2"));
  EXPECT_EQ(changes, 1);
  {
    TqvLookupBusyScope busy(Props());
    List()->SetValue(0, 0, String("Smith3"));
  }
  EXPECT_EQ(changes, 1);
  {
    TqvLookupListLockScope locked(Props());
    List()->SetValue(0, 0, String("Smith4"));
  }
  EXPECT_EQ(changes, 1);
}

TEST_F(LookupEditTest, AListChangeWhileTheEditPostsDoesNotCallChanged) {
  auto* inplace = NewTextEdit<TNameLookupEdit>(true, Rect(10, 40, 170, 61));
  TNameLookupProperties* props = inplace->Props();
  props->Fill({kNames});
  Integer changes = 0;
  props->OnPropertiesChanged = [&](TObject*) { ++changes; };
  inplace->OnPostEditValue = [&](TObject*) { props->List->SetValue(1, 0, String("Jones2")); };
  inplace->PostEditValue();
  EXPECT_EQ(props->List->GetDisplayText(1, 0), "Jones2");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(props->IsLookupDataBusy());
}

// -- Failures

TEST_F(LookupEditTest, EveryLockIsReleasedWhenTheWorkRaises) {
  Props()->FailShowingRow = true;
  EXPECT_THROW(Data()->DropDown(), Exception);
  EXPECT_FALSE(Data()->GetListVisible());
  EXPECT_FALSE(List()->IsListenerLocked());
  EXPECT_FALSE(Props()->IsLookupDataBusy());
  EXPECT_THROW(Data()->Go(eldNext, false), Exception);
  EXPECT_FALSE(List()->IsListenerLocked());
  EXPECT_FALSE(Props()->IsLookupDataBusy());
}

TEST_F(LookupEditTest, DropDownAndCloseUpBracketTheListLock) {
  Data()->SetCurrentKeyFromRecord(3);
  Data()->DropDown();
  EXPECT_TRUE(Data()->GetListVisible());
  EXPECT_TRUE(List()->IsListenerLocked());
  EXPECT_EQ(List()->GetFocusedRecordIndex(), 3) << "the list opens on the key's record";
  Data()->ResetListItemIndex();
  EXPECT_FALSE(Data()->GetListVisible());
  EXPECT_FALSE(List()->IsListenerLocked());
  Data()->ResetListItemIndex();
  EXPECT_FALSE(List()->IsListenerLocked()) << "a second close-up leaves the lock alone";
}

TEST_F(LookupEditTest, ChoosingTakesTheFocusedRowOnlyWhenItIsTheSelectedOne) {
  Integer chosen = 0;
  Data()->SetOnSelectItem([&](TObject*) { ++chosen; });
  List()->ChangeFocusedRecordIndex(3);
  List()->SetFocusedRowSelected(false);
  Data()->SelectItem();
  EXPECT_EQ(chosen, 0);
  List()->SetFocusedRowSelected(true);
  Data()->SelectItem();
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(KeyText(Data()->GetCurrentKey()), "3");
}

TEST_F(LookupEditTest, TheShownTextIsTheKeysText) {
  ShowForm();
  Edit->SetEditValue(3);
  EXPECT_EQ(Edit->GetText(), "Brown");
  EXPECT_EQ(Props()->GetDisplayText(1), "Jones");
  EXPECT_EQ(Edit->GetWidth(), 160) << "the fixture's bounds";
  TOwned<TNameLookupEdit> loose(New<TNameLookupEdit>(nullptr));
  EXPECT_EQ(loose->GetWidth(), 145);
}

}  // namespace qvLookupEditTests
