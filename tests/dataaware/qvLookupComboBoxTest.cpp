// The lookup DB grid and the lookup combo box over the channel table: columns by field name,
// default captions and widths, the record-number scroll bar, key fields and texts, the grid-mode
// cache, lookup-field binding, circular links, registration and the filter builder's editor.
#include "dataaware/qvDBLookupComboBox.h"
#include "dataaware/qvEditDBRegisteredRepositoryItems.h"
#include "grid/qvFilterControlUtils.h"
#include "tests/dataaware/qvDBTestSupport.h"
#include "tests/editors/qvExtEditorsTestSupport.h"
#include "tests/editors/qvTextEditTestSupport.h"

namespace qvLookupComboBoxTests {

// The in-memory database of the dataset tests, held by a fixture of the editor tests.
class TChannelData : public TqvDBTest {
  void TestBody() override {}
};

// The channel table (Id, Name, Freq ...), a list of genres keyed by two fields, and a table of
// programmes whose Genre is a lookup field showing the genre's Title.
class LookupComboBoxTest : public TTextEditTest {
 protected:
  void SetUp() override {
    TTextEditTest::SetUp();
    Data.CreateChannels(12);
    Data.Db->ExecSQL("CREATE TABLE Genres (Id INTEGER, Part INTEGER, Title VARCHAR(20), PRIMARY KEY (Id, Part))");
    Data.Db->ExecSQL("INSERT INTO Genres VALUES (1, 1, 'News'), (1, 2, 'Weather'), (2, 1, 'Sport')");
    Data.Db->ExecSQL("CREATE TABLE Programmes (Id INTEGER PRIMARY KEY, GenreId INTEGER, Name VARCHAR(20))");
    Data.Db->ExecSQL("INSERT INTO Programmes VALUES (1, 2, 'Match'), (2, 1, 'Headlines')");
    Data.Table->Open();
    Props = TOwned<TqvLookupComboBoxProperties>(New<TqvLookupComboBoxProperties>(nullptr));
  }
  void TearDown() override {
    Props.reset();
    Provider.reset();
    TTextEditTest::TearDown();
  }
  // The channel list: key Id, columns Name and Freq.
  void UseChannels(TqvLookupComboBoxProperties* AProperties) {
    AProperties->SetListSource(Data.Source);
    AProperties->SetKeyFieldNames("Id");
    AProperties->SetListFieldNames("Name;Freq");
  }
  // Programmes with the lookup field Genre (GenreId -> Genres.Id, Title), opened.
  TField* MakeProgrammes() {
    Programmes = New<TSQLiteTable>(Data.Owner.get());
    Programmes->SetDatabase(Data.Db);
    Programmes->SetTableName("Programmes");
    for (const char* name : {"Id", "GenreId", "Name"}) {
      TField* f = String(name) == "Name" ? static_cast<TField*>(New<TStringField>(Data.Owner.get()))
                                         : static_cast<TField*>(New<TIntegerField>(Data.Owner.get()));
      f->SetFieldName(name);
      f->SetDataSet(Programmes);
    }
    Genres = Data.MakeQuery("SELECT * FROM Genres WHERE Part = 1");
    auto* genre = New<TStringField>(Data.Owner.get());
    genre->SetFieldName("Genre");
    genre->SetFieldKind(fkLookup);
    genre->SetKeyFields("GenreId");
    genre->SetLookupDataSet(Genres);
    genre->SetLookupKeyFields("Id");
    genre->SetLookupResultField("Title");
    genre->SetDataSet(Programmes);
    Programmes->Open();
    return genre;
  }
  // The properties edit AField, as an editor of a dataset view would.
  void Bind(TqvCustomEditProperties* AProperties, TField* AField) {
    Provider = TOwned<TqvCustomDBEditDefaultValuesProvider>(New<TqvCustomDBEditDefaultValuesProvider>(nullptr));
    Provider->SetField(AField);
    AProperties->SetDefaultValuesProvider(Provider.get());
    AProperties->Changed();
  }
  static String Text(const Variant& AValue) { return VarIsNull(AValue) ? String("Null") : VarToStr(AValue); }

  TChannelData Data;
  TOwned<TqvLookupComboBoxProperties> Props;
  TOwned<TqvCustomDBEditDefaultValuesProvider> Provider;
  TSQLiteTable* Programmes = nullptr;
  TSQLiteQuery* Genres = nullptr;
};

// -- Lookup DB grid

class LookupDBGridTest : public LookupComboBoxTest {
 protected:
  void SetUp() override {
    LookupComboBoxTest::SetUp();
    FCombo = NewTextEdit<TqvLookupComboBox>();
    Grid = FCombo->GetProperties()->GetListGrid();
    Grid->SetParent(FormOf());
    Grid->SetBounds(10, 40, 300, 200);
    Grid->SetDataSource(Data.Source);
    ShowForm();
  }
  TForm* FormOf() { return As<TForm>(Screen->GetCustomForm(0)); }
  TqvLookupComboBox* Combo() const { return FCombo; }
  TqvLookupDBGrid* Grid = nullptr;
  TqvLookupComboBox* FCombo = nullptr;
};

TEST_F(LookupDBGridTest, ColumnsByFieldNamesInOrder) {
  Grid->SetColumnsFieldNames("Name;Freq");
  ASSERT_EQ(Grid->GetColumns()->GetCount(), 2);
  EXPECT_EQ(Grid->GetColumns()->GetItem(0)->GetFieldName(), "Name");
  EXPECT_EQ(Grid->GetColumns()->GetItem(1)->GetField(), Data.Field("Freq"));
  EXPECT_EQ(Grid->GetColumns()->ColumnByFieldName("FREQ"), Grid->GetColumns()->GetItem(1));
  EXPECT_EQ(Grid->GetColumns()->ColumnByFieldName("Price"), nullptr);
  Grid->SetColumnsFieldNames("Id");
  EXPECT_EQ(Grid->GetColumns()->GetCount(), 1);
}

struct TWidthCase {
  const char* Name;
  const char* FieldName;
  Integer DisplayWidth;
  bool ShowHeader;
  const char* Caption;
};

class LookupDBGridWidths : public LookupDBGridTest, public ::testing::WithParamInterface<TWidthCase> {};

TEST_P(LookupDBGridWidths, DefaultCaptionAndWidthComeFromTheField) {
  const TWidthCase& c = GetParam();
  Grid->GetOptions()->SetShowHeader(c.ShowHeader);
  TField* field = Data.Table->FindField(c.FieldName);
  if (field) field->SetDisplayWidth(c.DisplayWidth);
  Grid->SetColumnsFieldNames(c.FieldName);
  TqvLookupDBGridColumn* column = Grid->GetColumns()->GetItem(0);
  if (std::string(c.Caption).size() > 0) column->SetCaption(c.Caption);
  EXPECT_EQ(column->GetCaption(), std::string(c.Caption).empty() ? String(c.FieldName) : String(c.Caption));
  TqvCanvas* canvas = Grid->GetViewInfo()->GetCanvas();
  canvas->SetFont(Grid->GetFont());
  Integer expected = field ? canvas->TextWidth("0") * c.DisplayWidth + 4 : 64;
  if (field && c.ShowHeader)
    expected = std::max(expected, Grid->GetLookAndFeelPainter()->GetHeaderWidthForText(
                                      canvas, qvAllBorders, column->GetCaption(), Grid->GetFont()));
  EXPECT_EQ(column->GetWidth(), std::max(expected, 20));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupDBGridWidths,
    ::testing::Values(TWidthCase{"UnknownFieldShowsItsNameAt64", "Nope", 0, true, ""},
                      TWidthCase{"TenDigitsWithoutHeader", "Name", 10, false, ""},
                      TWidthCase{"TenDigitsWithAShortHeader", "Name", 10, true, ""},
                      TWidthCase{"ALongHeaderWins", "Name", 2, true, "A caption longer than two digits"},
                      TWidthCase{"NeverBelowTheMinimum", "Freq", 1, false, ""}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupDBGridTest, ATenDigitFieldInASevenPixelDigitFontIs74Wide) {
  Grid->GetOptions()->SetShowHeader(false);
  Data.Field("Name")->SetDisplayWidth(10);
  Grid->SetColumnsFieldNames("Name");
  TqvCanvas* canvas = Grid->GetViewInfo()->GetCanvas();
  for (Integer size = 6; size < 20; ++size) {
    Grid->GetFont()->SetSize(size);
    canvas->SetFont(Grid->GetFont());
    if (canvas->TextWidth("0") == 7) {
      EXPECT_EQ(Grid->GetColumns()->GetItem(0)->GetWidth(), 74);
      return;
    }
  }
  GTEST_SKIP() << "no size of the test font has a 7 pixel digit";
}

TEST_F(LookupDBGridTest, GridModeScrollBarRunsOverRecordNumbers) {
  Data.Db->ExecSQL("WITH RECURSIVE n(i) AS (SELECT 13 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                   "INSERT INTO Channels (Id, Name, Freq) SELECT i, 'Ch' || i, i FROM n");
  Data.Table->Refresh();
  Combo()->GetProperties()->SetGridMode(true);
  Grid->SetColumnsFieldNames("Name");
  Data.Table->First();
  Grid->SetHeight(Grid->GetPopupHeight(10));
  Pump();
  ASSERT_EQ(Grid->GetViewInfo()->GetVisibleCount(), 10);
  TqvControlScrollBar* bar = Grid->GetVScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetData().Min, 0);
  EXPECT_EQ(bar->GetData().Max, 1008);
  EXPECT_EQ(bar->GetData().PageSize, 10);
  EXPECT_EQ(bar->GetData().Position, 0);
  Integer pos = 500;
  bar->OnScroll(bar, scTrack, pos);
  EXPECT_EQ(Data.Table->GetRecNo(), 1) << "dragging the thumb does nothing";
  pos = 500;
  bar->OnScroll(bar, scPosition, pos);
  EXPECT_EQ(Data.Table->GetRecNo(), 501);
  EXPECT_EQ(pos, 500);
}

// -- Lookup combo box: keys and texts

TEST_F(LookupComboBoxTest, TextsOfKeysAndKeysOfTexts) {
  UseChannels(Props.get());
  EXPECT_EQ(Props->GetListFieldNames(), "Name;Freq");
  EXPECT_EQ(Props->GetDisplayTextByKey(3), "Ch3");
  EXPECT_EQ(Props->GetDisplayTextByKey(99), "");
  EXPECT_EQ(Props->GetDisplayTextByKey(String("not a number")), "") << "a key that does not convert is no key";
  EXPECT_FALSE(Props->IsKeyFieldDisplayed());
  Props->SetListFieldNames("Id;Name");
  EXPECT_TRUE(Props->IsKeyFieldDisplayed());
  EXPECT_EQ(Props->GetEditValueSource(false), evsText);
}

TEST_F(LookupComboBoxTest, TwoKeyFieldsGiveAnArrayOfNullsAsTheEmptyKey) {
  auto* edit = NewTextEdit<TqvLookupComboBox>();
  TqvLookupComboBoxProperties* p = edit->GetProperties();
  auto* genres = Data.MakeQuery("SELECT * FROM Genres");
  auto* source = New<TDataSource>(Data.Owner.get());
  source->SetDataSet(genres);
  p->SetListSource(source);
  p->SetKeyFieldNames("Id;Part");
  p->SetListFieldNames("Title");
  const Variant empty = p->GetEmptyKeyValue();
  ASSERT_TRUE(VarIsArray(empty));
  EXPECT_EQ(empty.ArrayHighBound() - empty.ArrayLowBound() + 1, 2);
  EXPECT_TRUE(VarIsNull(empty.GetElement(0)) && VarIsNull(empty.GetElement(1)));
  EXPECT_FALSE(p->IsKeyFieldDisplayed());
  Variant key;
  edit->DisplayToEditValue(String("Cinema"), key, true);
  ASSERT_TRUE(VarIsArray(key));
  EXPECT_TRUE(VarIsNull(key.GetElement(0)) && VarIsNull(key.GetElement(1)));
  edit->DisplayToEditValue(String("Weather"), key, true);
  ASSERT_TRUE(VarIsArray(key));
  EXPECT_EQ(key.GetElement(0).AsInteger(), 1);
  EXPECT_EQ(key.GetElement(1).AsInteger(), 2);
  EXPECT_EQ(p->GetDisplayTextByKey(VarArrayOf({2, 1})), "Sport");
}

// -- Grid mode

TEST_F(LookupComboBoxTest, GridModeCachesTextsAndMisses) {
  UseChannels(Props.get());
  Props->SetGridMode(true);
  EXPECT_FALSE(Props->UseIncrementalFiltering()) << "never in grid mode";
  EXPECT_EQ(Props->GetDisplayTextByKey(5), "Ch5");
  EXPECT_EQ(Props->GetDisplayTextByKey(50), "");
  EXPECT_EQ(Props->GetDisplayTextCache()->GetCount(), 2);
  // Behind the controller's back: a cached miss is not located again.
  Data.Db->ExecSQL("INSERT INTO Channels (Id, Name) VALUES (50, 'Fifty')");
  EXPECT_EQ(Props->GetDisplayTextByKey(50), "");
  EXPECT_EQ(Props->GetDisplayTextCache()->GetCount(), 2);
  Props->SetGridMode(false);
  Props->SetGridMode(true);
  EXPECT_EQ(Props->GetDisplayTextCache()->GetCount(), 0) << "switching grid mode off and on empties the cache";
}

TEST_F(LookupComboBoxTest, AChangeOfTheListsDataEmptiesTheCache) {
  UseChannels(Props.get());
  Props->SetGridMode(true);
  EXPECT_EQ(Props->GetDisplayTextByKey(4), "Ch4");
  ASSERT_EQ(Props->GetDisplayTextCache()->GetCount(), 1);
  Data.Table->Locate("Id", 4, 0);
  Data.Table->Edit();
  Data.Field("Name")->SetAsString("Four");
  Data.Table->Post();
  EXPECT_EQ(Props->GetDisplayTextByKey(4), "Four");
}

// -- Lookup field binding

TEST_F(LookupComboBoxTest, ABoundLookupFieldDefinesTheListAndRefusesHandSettings) {
  TField* genre = MakeProgrammes();
  Props->SetListFieldNames("Name");
  Bind(Props.get(), genre);
  ASSERT_TRUE(Props->HasLookupField());
  EXPECT_EQ(Props->GetListGrid()->GetDataSource()->GetDataSet(), Genres);
  EXPECT_EQ(Props->GetKeyFieldNames(), "Id");
  EXPECT_EQ(Props->GetListColumnFieldName(0), "Title") << "the result field's column comes first";
  EXPECT_EQ(Props->GetListItemIndex(), 0);
  EXPECT_EQ(Props->GetListSource(), nullptr);
  EXPECT_EQ(Props->GetDisplayTextByKey(2), "Sport");
  EXPECT_EQ(Props->GetEditValueSource(true), evsKey);
  EXPECT_EQ(Props->GetEditValueSource(false), evsText);
  const std::function<void()> refused[] = {[&] { Props->SetKeyFieldNames("Part"); },
                                           [&] { Props->SetListSource(Data.Source); },
                                           [&] { Props->SetListFieldIndex(1); }};
  for (const auto& set : refused) {
    try {
      set();
      ADD_FAILURE() << "a lookup-defined setting was taken";
    } catch (const EDatabaseError& E) {
      EXPECT_EQ(E.Message(), "Property already defined by lookup field");
    }
  }
  EXPECT_EQ(Props->GetKeyFieldNames(), "Id");
  Props->SetDefaultValuesProvider(nullptr);
  Props->Changed();
  EXPECT_FALSE(Props->HasLookupField());
  EXPECT_EQ(Props->GetKeyFieldNames(), "Id") << "unbinding keeps the settings";
}

struct TCircularCase {
  const char* Name;
  bool OnMaster;
};

class LookupCircularLinks : public LookupComboBoxTest, public ::testing::WithParamInterface<TCircularCase> {};

TEST_P(LookupCircularLinks, AListOnTheEditedDataSetIsRefusedAndNothingChanges) {
  // The edited field belongs to a detail query of the channel table.
  auto* detail = Data.MakeQuery("SELECT * FROM Channels WHERE Id = :Id", false);
  detail->SetDataSource(Data.Source);
  detail->Open();
  auto* detailSource = New<TDataSource>(Data.Owner.get());
  detailSource->SetDataSet(detail);
  Bind(Props.get(), detail->FieldByName("Name"));
  auto* other = New<TDataSource>(Data.Owner.get());
  other->SetDataSet(Data.MakeQuery("SELECT * FROM Genres"));
  Props->SetListSource(other);
  TDataSource* circular = GetParam().OnMaster ? Data.Source : detailSource;
  try {
    Props->SetListSource(circular);
    ADD_FAILURE() << "a circular list source was taken";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Circular datalinks are not allowed");
  }
  EXPECT_EQ(Props->GetListSource(), other);
}

INSTANTIATE_TEST_SUITE_P(Cases, LookupCircularLinks,
                         ::testing::Values(TCircularCase{"TheEditedDataSet", false},
                                           TCircularCase{"ItsMasterDataSet", true}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(LookupComboBoxTest, ALookupFieldWhoseListIsTheEditedMasterIsRefusedBeforeItIsTaken) {
  // Programmes' master is the genre query; a lookup into that query is circular.
  TField* genre = MakeProgrammes();
  auto* genreSource = New<TDataSource>(Data.Owner.get());
  genreSource->SetDataSet(Genres);
  auto* detail = Data.MakeQuery("SELECT * FROM Programmes WHERE GenreId = :Id", false);
  detail->SetDataSource(genreSource);
  auto* key = New<TIntegerField>(Data.Owner.get());
  key->SetFieldName("GenreId");
  key->SetDataSet(detail);
  auto* circular = New<TStringField>(Data.Owner.get());
  circular->SetFieldName("Genre");
  circular->SetFieldKind(fkLookup);
  circular->SetKeyFields("GenreId");
  circular->SetLookupDataSet(Genres);
  circular->SetLookupKeyFields("Id");
  circular->SetLookupResultField("Title");
  circular->SetDataSet(detail);
  detail->Open();
  UseChannels(Props.get());
  Provider = TOwned<TqvCustomDBEditDefaultValuesProvider>(New<TqvCustomDBEditDefaultValuesProvider>(nullptr));
  Provider->SetField(circular);
  Props->SetDefaultValuesProvider(Provider.get());
  EXPECT_THROW(Props->Changed(), EDatabaseError);
  EXPECT_FALSE(Props->HasLookupField()) << "the refused field was not taken";
  EXPECT_EQ(Props->GetListGrid()->GetDataSource(), Data.Source);
  EXPECT_EQ(Props->GetKeyFieldNames(), "Id");
  (void)genre;
}

// -- The edit

TEST_F(LookupComboBoxTest, TypingLocatesAndPostingKeepsTheKey) {
  auto* edit = NewTextEdit<TqvLookupComboBox>();
  UseChannels(edit->GetProperties());
  ShowForm();
  Focus(edit);
  Type("Ch1");
  EXPECT_EQ(edit->GetText(), "Ch1");
  Type("1");
  EXPECT_EQ(edit->GetText(), "Ch11");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(Text(edit->GetEditValue()), "11");
  // Typing opened the list, narrowed to "Ch11"; the open list takes the arrow keys, the key stays.
  ASSERT_TRUE(edit->GetDroppedDown());
  TqvCustomDataController* list = edit->GetProperties()->GetListGrid()->GetDataController();
  Press(VK_DOWN);
  EXPECT_EQ(list->GetFocusedRecordIndex(), 10);
  EXPECT_EQ(Text(edit->GetEditValue()), "11");
  Press(VK_ESCAPE);
  ASSERT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(Text(edit->GetEditValue()), "11");
  // On the closed list the arrow keys move the key.
  Press(VK_DOWN);
  EXPECT_EQ(Text(edit->GetEditValue()), "12");
  EXPECT_EQ(edit->GetText(), "Ch12");
}

TEST_F(LookupComboBoxTest, TheDropDownListsTheRecordsAndTakesTheChosenRow) {
  auto* edit = NewTextEdit<TqvLookupComboBox>();
  UseChannels(edit->GetProperties());
  edit->SetEditValue(2);
  ShowForm();
  Focus(edit);
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  TqvLookupDBGrid* grid = edit->GetProperties()->GetListGrid();
  EXPECT_TRUE(grid->GetPopupMode());
  EXPECT_EQ(grid->GetBorderSize(), 0);
  EXPECT_EQ(grid->GetDataController()->GetFocusedRecordIndex(), 1) << "the list opens on the key";
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(Text(edit->GetEditValue()), "4");
  EXPECT_EQ(edit->GetText(), "Ch4");
  EXPECT_FALSE(grid->GetDataController()->IsListenerLocked());
}

// -- Registration

TEST_F(LookupComboBoxTest, RegisteredAsAnEditorAndAsTheLookupFieldsDefault) {
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  bool listed = false;
  for (Integer i = 0; i < registry->GetCount(); ++i)
    listed |= registry->GetItem(i) == &TqvLookupComboBoxProperties::StaticClass() &&
              registry->GetDisplayText(i) == "LookupComboBox|Represents a lookup combo box control";
  EXPECT_TRUE(listed);
  TField* genre = MakeProgrammes();
  TqvEditRepositoryItem* item = GetDefaultDBEditRepositoryItems()->GetItemByField(genre);
  ASSERT_NE(item, nullptr);
  EXPECT_NE(As<TqvEditRepositoryLookupComboBoxItem>(item), nullptr);
  EXPECT_TRUE(item->GetProperties()->IsLookupEditProperties());
  EXPECT_FALSE(GetDefaultDBEditRepositoryItems()->GetItemByField(Data.Field("Name"))->GetProperties()->IsLookupEditProperties());
}

TEST_F(LookupComboBoxTest, TheFilterBuilderEntersALookupColumnsValueInALookupComboBox) {
  UseChannels(Props.get());
  TqvFilterEditHelperClass helper = GetFilterEditsController()->FindHelper(&TqvLookupComboBoxProperties::StaticClass());
  ASSERT_NE(helper, nullptr);
  const TqvFilterRowOperators expected =
      froBit(froEquals) | froBit(froNotEquals) | froBit(froBlank) | froBit(froNotBlank);
  EXPECT_EQ(helper->GetOperators(Props.get(), false), expected);
  EXPECT_EQ(helper->GetOperators(Props.get(), true), expected);
  TOwned<TqvCustomEdit> edit(CreateValueEdit(helper, Props.get(), nullptr));
  auto* combo = As<TqvLookupComboBox>(edit.get());
  ASSERT_NE(combo, nullptr);
  TqvLookupComboBoxProperties* p = combo->GetProperties();
  EXPECT_EQ(p->GetDropDownListStyle(), lsFixedList);
  EXPECT_TRUE(p->GetDropDownSizeable());
  EXPECT_FALSE(p->GetDropDownAutoSize());
  EXPECT_TRUE(p->GetIncrementalFiltering());
  EXPECT_EQ(p->GetListFieldNames(), "Name;Freq");
  EXPECT_EQ(p->GetDisplayTextByKey(7), "Ch7");
}

// -- The open list under the mouse: a plain combo box and a lookup combo box alike

// A fixed-list combo of twelve entries "Ch1" .. "Ch12" showing four rows: a string list or a
// lookup grid over the channel table.
struct TListMouseCase {
  const char* Name;
  bool Lookup;
};

class ComboListMouse : public LookupComboBoxTest, public ::testing::WithParamInterface<TListMouseCase> {
 protected:
  TqvCustomComboBox* NewCombo() {
    TqvCustomComboBox* combo = nullptr;
    if (GetParam().Lookup) {
      auto* lookup = NewTextEdit<TqvLookupComboBox>();
      lookup->GetProperties()->SetListSource(Data.Source);
      lookup->GetProperties()->SetKeyFieldNames("Id");
      lookup->GetProperties()->SetListFieldNames("Name");
      Grid = lookup->GetProperties()->GetListGrid();
      combo = lookup;
    } else {
      auto* strings = NewTextEdit<TqvComboBox>();
      TStrings* items = strings->GetProperties()->GetItems();
      for (Integer i = 1; i <= 12; ++i) items->Add("Ch" + IntToStr(i));
      combo = strings;
    }
    TqvCustomComboBoxProperties* properties = combo->GetProperties();
    properties->SetDropDownListStyle(lsFixedList);
    properties->SetDropDownRows(4);
    ShowForm();
    Focus(combo);
    return combo;
  }
  // The list control itself, not as the edit answers it.
  TWinControl* List(TqvCustomComboBox* ACombo) const {
    return Grid ? static_cast<TWinControl*>(Grid) : ACombo->GetLookupData()->GetListBox();
  }
  Integer TopRow(TqvCustomComboBox* ACombo) const {
    return Grid ? Grid->GetTopRowIndex() : ACombo->GetLookupData()->GetListBox()->GetTopIndex();
  }
  // The centre of a shown row in the list's client coordinates.
  TPoint RowCentre(TqvCustomComboBox* ACombo, Integer ARow) const {
    if (Grid) {
      TqvLookupGridRowViewInfo* row = Grid->GetViewInfo()->FindRow(ARow);
      return row ? RectCentre(row->Bounds) : TPoint{-1, -1};
    }
    return RectCentre(ACombo->GetLookupData()->GetListBox()->ItemRect(ARow));
  }
  TPoint InCombo(TqvCustomComboBox* ACombo, const TPoint& AListPoint) const {
    return ACombo->ScreenToClient(List(ACombo)->ClientToScreen(AListPoint));
  }
  TqvLookupDBGrid* Grid = nullptr;
};

TEST_P(ComboListMouse, APressInTheEditDraggedIntoTheListChoosesTheRowUnderTheRelease) {
  TqvCustomComboBox* combo = NewCombo();
  Down(combo, {20, combo->GetHeight() / 2});
  ASSERT_TRUE(combo->GetDroppedDown()) << "a press in a fixed-list combo opens it";
  const TPoint target = InCombo(combo, RowCentre(combo, 2));
  ASSERT_GT(target.Y, combo->GetHeight()) << "the list lies below the edit";
  MoveTo(combo, {target.X, target.Y - 2});
  MoveTo(combo, target);
  Up();
  EXPECT_FALSE(combo->GetDroppedDown());
  EXPECT_EQ(combo->GetText(), "Ch3");
}

TEST_P(ComboListMouse, TheWheelScrollsTheOpenListWhereverThePointerIs) {
  TqvCustomComboBox* combo = NewCombo();
  const struct {
    const char* Where;
    bool OverList;
  } places[] = {{"over the list", true}, {"over the edit", false}};
  for (const auto& place : places) {
    SCOPED_TRACE(place.Where);
    Press(VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown());
    ASSERT_EQ(TopRow(combo), 0);
    if (place.OverList)
      MoveTo(List(combo), RowCentre(combo, 1));
    else
      MoveTo(combo, {20, combo->GetHeight() / 2});
    Headless::Wheel(-WHEEL_DELTA);
    Pump();
    EXPECT_GT(TopRow(combo), 0) << "a turn down scrolls";
    const Integer scrolled = TopRow(combo);
    Headless::Wheel(WHEEL_DELTA);
    Pump();
    EXPECT_LT(TopRow(combo), scrolled) << "a turn up scrolls back";
    EXPECT_TRUE(combo->GetDroppedDown()) << "the wheel leaves the list open";
    EXPECT_EQ(combo->GetText(), "") << "the wheel chooses nothing";
    Press(VK_ESCAPE);
    ASSERT_FALSE(combo->GetDroppedDown());
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ComboListMouse,
                         ::testing::Values(TListMouseCase{"Strings", false}, TListMouseCase{"Lookup", true}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace qvLookupComboBoxTests
