// The tree list's stored layout: round trips through an INI file and the registry store, the
// order keys, bands found by their ID, paths, stale sections, unnamed columns, malformed values,
// and the automatic store and restore.
#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "support/EnumNames.h"
#include "zmTLTestSupport.h"

namespace {

class zmTLLayoutStore : public TzmTreeListTest {
 protected:
  void SetUp() override {
    TzmTreeListTest::SetUp();
    Tree->SetLayoutIniSection("\\Tree");
    Tree->GetBands()->Add()->SetCaption("Second");
    A = Column("A");
    B = Column("B");
    C = Column("C");
    C->SetBandIndex(1);
  }
  String File() { return Folder.File("layout.ini"); }
  std::vector<String> Order() {
    std::vector<String> names;
    for (Integer i = 0; i < Tree->ColumnCount(); ++i) names.push_back(Tree->ColumnAt(i)->GetCaption());
    return names;
  }
  // Writes Values into a fresh INI file, then reads the layout from it.
  void ReadIni(const std::vector<std::tuple<String, String, String>>& Values) {
    std::remove(File().c_str());
    {
      TMemIniFile ini(File());
      for (const auto& [section, ident, value] : Values) ini.WriteString(section, ident, value);
      ini.UpdateFile();
    }
    Tree->LoadFromIniFile(File());
  }

  TTempFolder Folder;
  TEnvScope Config{"XDG_CONFIG_HOME", Folder.Path()};
  TzmTreeListColumn *A = nullptr, *B = nullptr, *C = nullptr;
};

// ------------------------------------------------------------------ round trips

enum class TStoreKind { Ini, Registry };

class zmTLLayoutRoundTrip : public zmTLLayoutStore, public ::testing::WithParamInterface<TStoreKind> {
 protected:
  void Save() {
    if (GetParam() == TStoreKind::Ini) Tree->SaveToIniFile(File());
    else Tree->SaveToRegistry("Software\\QJ\\Tree");
  }
  void Load() {
    if (GetParam() == TStoreKind::Ini) Tree->LoadFromIniFile(File());
    else Tree->LoadFromRegistry("Software\\QJ\\Tree");
  }
};

TEST_P(zmTLLayoutRoundTrip, OrderWidthsVisibilityAndGridComeBack) {
  TzmTreeListBands* bands = Tree->GetBands();
  bands->GetItem(0)->SetWidth(210);
  B->SetWidth(140);
  C->SetVisible(false);
  Tree->SetShowGrid(true);
  Tree->SetBandRowCount(2);
  B->SetIndex(0);
  bands->GetItem(1)->SetIndex(0);
  Save();
  Integer second = bands->GetItem(0)->GetID();
  A->SetIndex(0);
  bands->GetItem(0)->SetIndex(1);
  static_cast<TzmTreeListBand*>(bands->FindItemID(second))->SetWidth(99);
  B->SetWidth(60);
  C->SetVisible(true);
  Tree->SetShowGrid(false);
  Tree->SetBandRowCount(1);
  Load();
  EXPECT_EQ(Order(), (std::vector<String>{"B", "A", "C"}));
  EXPECT_EQ(bands->GetItem(0)->GetCaption(), "Second");
  EXPECT_EQ(bands->GetItem(1)->GetWidth(), 210);
  EXPECT_EQ(B->GetWidth(), 140);
  EXPECT_FALSE(C->GetVisible());
  EXPECT_TRUE(Tree->GetShowGrid());
  EXPECT_EQ(Tree->GetBandRowCount(), 2);
}

TEST_P(zmTLLayoutRoundTrip, MultiSortComesBackInItsSortOrder) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxMultiSort);
  C->SetSorted(TzmTreeListColumnSort::csUp);
  A->SetSorted(TzmTreeListColumnSort::csDown);
  Save();
  A->SetSorted(TzmTreeListColumnSort::csNone);
  C->SetSorted(TzmTreeListColumnSort::csNone);
  B->SetSorted(TzmTreeListColumnSort::csUp);
  Load();
  ASSERT_EQ(Tree->SortedColumnCount(), 2);
  EXPECT_EQ(Tree->SortedColumnAt(0), C);
  EXPECT_EQ(Tree->SortedColumnAt(1), A);
  EXPECT_EQ(A->GetSorted(), TzmTreeListColumnSort::csDown);
  EXPECT_EQ(B->GetSorted(), TzmTreeListColumnSort::csNone);
}

TEST_P(zmTLLayoutRoundTrip, AnAutomaticHeaderRowCountStaysAutomatic) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxAutoHeaderPanelRowCount);
  Save();
  Load();
  EXPECT_TRUE(Tree->GetExtraOptions() & zmxAutoHeaderPanelRowCount);
  Tree->SetHeaderPanelRowCount(3);
  ASSERT_FALSE(Tree->GetExtraOptions() & zmxAutoHeaderPanelRowCount);
  Save();
  Tree->SetHeaderPanelRowCount(1);
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxAutoHeaderPanelRowCount);
  Load();
  EXPECT_EQ(Tree->GetHeaderPanelRowCount(), 3);
  EXPECT_FALSE(Tree->GetExtraOptions() & zmxAutoHeaderPanelRowCount) << "a stored count ends the automatic one";
}

TEST_P(zmTLLayoutRoundTrip, UnnamedColumnsKeepTheirOwnValues) {
  A->SetName("");
  B->SetName("");
  A->SetWidth(70);
  B->SetWidth(130);
  Save();
  A->SetWidth(100);
  B->SetWidth(100);
  Load();
  EXPECT_EQ(A->GetWidth(), 70);
  EXPECT_EQ(B->GetWidth(), 130);
}

TEST_P(zmTLLayoutRoundTrip, TheNodesFollowTheirColumnsStrings) {
  TzmTreeListNode* node = Node("a");
  node->SetStrings(1, "b");
  node->SetStrings(2, "c");
  C->SetIndex(0);
  Save();
  C->SetIndex(2);
  Load();
  EXPECT_EQ(Order(), (std::vector<String>{"C", "A", "B"}));
  EXPECT_EQ(node->GetStrings(0), "c");
  EXPECT_EQ(node->GetStrings(1), "a");
}

INSTANTIATE_TEST_SUITE_P(Stores, zmTLLayoutRoundTrip, ::testing::Values(TStoreKind::Ini, TStoreKind::Registry),
                         [](const auto& Info) {
                           return NameOf(Info.param, {{TStoreKind::Ini, "IniFile"}, {TStoreKind::Registry, "Registry"}});
                         });

// ------------------------------------------------------------------ order keys, bands and paths

TEST_F(zmTLLayoutStore, IndexesSortAsNumbersWithTiesInTheCurrentOrder) {
  ReadIni({{"\\Tree\\Columns\\TreeColumn1", "Index", "10"},
           {"\\Tree\\Columns\\TreeColumn2", "Index", "9"},
           {"\\Tree\\Columns\\TreeColumn3", "Index", "10"}});
  EXPECT_EQ(Order(), (std::vector<String>{"B", "A", "C"}));
  ReadIni({{"\\Tree\\Columns\\TreeColumn1", "Index", "5"},
           {"\\Tree\\Columns\\TreeColumn2", "Index", "-7"},
           {"\\Tree\\Columns\\TreeColumn3", "Index", "x"}});
  EXPECT_EQ(Order(), (std::vector<String>{"B", "C", "A"})) << "-7, the unreadable one at its place 2, then 5";
}

TEST_F(zmTLLayoutStore, BandsAreFoundByTheirIdNotTheirSection) {
  TzmTreeListBands* bands = Tree->GetBands();
  Integer first = bands->GetItem(0)->GetID(), second = bands->GetItem(1)->GetID();
  ReadIni({{"\\Tree\\Band\\Band0", "ID", IntToStr(second)},
           {"\\Tree\\Band\\Band0", "Width", "300"},
           {"\\Tree\\Band\\Band1", "ID", "4711"},
           {"\\Tree\\Band\\Band1", "Width", "310"}});
  EXPECT_EQ(static_cast<TzmTreeListBand*>(bands->FindItemID(second))->GetWidth(), 300);
  EXPECT_NE(static_cast<TzmTreeListBand*>(bands->FindItemID(first))->GetWidth(), 310) << "no band has that ID";
  ReadIni({{"\\Tree\\Band\\Band0", "Index", "1"}, {"\\Tree\\Band\\Band1", "ID", IntToStr(first)},
           {"\\Tree\\Band\\Band1", "Index", "0"}});
  EXPECT_EQ(bands->GetItem(0)->GetID(), first);
}

TEST_F(zmTLLayoutStore, PathsAreNormalised) {
  EXPECT_EQ(NormalizeLayoutPath("Tree\\\\"), "\\Tree");
  EXPECT_EQ(NormalizeLayoutPath("\\Tree"), "\\Tree");
  EXPECT_EQ(NormalizeLayoutPath(""), "");
  Tree->SetLayoutIniSection("Tree\\");
  Tree->SaveToIniFile(File());
  TMemIniFile ini(File());
  EXPECT_TRUE(ini.SectionExists("\\Tree"));
  EXPECT_TRUE(ini.SectionExists("\\Tree\\Columns\\TreeColumn1"));
  EXPECT_TRUE(ini.SectionExists("\\Tree\\Band\\Band1"));
}

TEST_F(zmTLLayoutStore, AnIniFileDropsTheSectionsOfGoneColumnsTheRegistryKeepsThem) {
  Tree->SaveToIniFile(File());
  Tree->SaveToRegistry("Software\\QJ\\Tree");
  Free(C);
  Tree->SaveToIniFile(File());
  Tree->SaveToRegistry("Software\\QJ\\Tree");
  TMemIniFile ini(File());
  EXPECT_FALSE(ini.SectionExists("\\Tree\\Columns\\TreeColumn3"));
  EXPECT_TRUE(ini.SectionExists("\\Tree\\Columns\\TreeColumn2"));
  TRegistry registry(KEY_READ);
  EXPECT_TRUE(registry.KeyExists("\\Software\\QJ\\Tree\\Columns\\TreeColumn3"));
}

TEST_F(zmTLLayoutStore, AnotherControlsSectionsSurviveTheWrite) {
  {
    TMemIniFile ini(File());
    ini.WriteInteger("\\Tree2", "ShowGrid", 1);
    ini.WriteInteger("\\Tree2\\Columns\\X", "Width", 5);
    ini.UpdateFile();
  }
  Tree->SaveToIniFile(File());
  TMemIniFile ini(File());
  EXPECT_TRUE(ini.SectionExists("\\Tree2"));
  EXPECT_TRUE(ini.SectionExists("\\Tree2\\Columns\\X"));
}

// ------------------------------------------------------------------ malformed values

struct TMalformedCase {
  const char* Name;
  const char* Section;  // under \Tree
  const char* Ident;
  const char* Value;
  std::function<String(TTestTreeList*)> Read;
};

void PrintTo(const TMalformedCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLLayoutMalformed : public zmTLLayoutStore, public ::testing::WithParamInterface<TMalformedCase> {};

TEST_P(zmTLLayoutMalformed, AValueOutOfRangeKeepsTheSetting) {
  const TMalformedCase& c = GetParam();
  String before = c.Read(Tree);
  ReadIni({{String("\\Tree") + c.Section, c.Ident, c.Value}});
  EXPECT_EQ(c.Read(Tree), before);
}

TzmTreeListColumn* First(TTestTreeList* T) { return T->ColumnAt(0); }

const TMalformedCase kMalformedCases[] = {
    {"SortedBeyondTheKinds", "\\Columns\\TreeColumn1", "Sorted", "7",
     [](TTestTreeList* T) { return IntToStr(static_cast<Integer>(First(T)->GetSorted())); }},
    {"SortedNegative", "\\Columns\\TreeColumn1", "Sorted", "-1",
     [](TTestTreeList* T) { return IntToStr(static_cast<Integer>(First(T)->GetSorted())); }},
    {"SortedNoNumber", "\\Columns\\TreeColumn1", "Sorted", "up",
     [](TTestTreeList* T) { return IntToStr(static_cast<Integer>(First(T)->GetSorted())); }},
    {"WidthNegative", "\\Columns\\TreeColumn1", "Width", "-50",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetWidth()); }},
    {"WidthHuge", "\\Columns\\TreeColumn1", "Width", "2000000000",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetWidth()); }},
    {"BandIndexBeyondTheBands", "\\Columns\\TreeColumn1", "BandIndex", "42",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetBandIndex()); }},
    {"RowIndexNegative", "\\Columns\\TreeColumn1", "RowIndex", "-3",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetRowIndex()); }},
    {"StoredRowIndexHuge", "\\Columns\\TreeColumn1", "StoredRowIndex", "999",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetStoredRowIndex()); }},
    {"SortedOrderBelowMinusOne", "\\Columns\\TreeColumn1", "SortedOrder", "-9",
     [](TTestTreeList* T) { return IntToStr(First(T)->GetSortedOrder()); }},
    {"BandRowCountAboveTheMost", "", "BandRowCount", "99",
     [](TTestTreeList* T) { return IntToStr(T->GetBandRowCount()); }},
    {"RowHeightNegative", "", "DefaultRowHeight", "-4", [](TTestTreeList* T) { return IntToStr(T->GetRowHeight()); }},
    {"HeaderRowsZero", "", "HeaderPanelRowCount", "0",
     [](TTestTreeList* T) { return IntToStr(T->GetHeaderPanelRowCount()); }},
    {"BandWidthNegative", "\\Band\\Band0", "Width", "-10",
     [](TTestTreeList* T) { return IntToStr(T->GetBands()->GetItem(0)->GetWidth()); }},
};

INSTANTIATE_TEST_SUITE_P(Values, zmTLLayoutMalformed, ::testing::ValuesIn(kMalformedCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(zmTLLayoutStore, BandSectionsNeedTheirIdAndAMissingFileChangesNothing) {
  ReadIni({{"\\Tree\\Band\\Band0", "ID", "0"}});
  Tree->GetBands()->GetItem(0)->SetWidth(222);
  ReadIni({{"\\Tree\\Band\\Band0", "Width", "111"}});
  EXPECT_EQ(Tree->GetBands()->GetItem(0)->GetWidth(), 222) << "no ID: skipped";
  Tree->LoadFromIniFile(Folder.File("missing.ini"));
  EXPECT_EQ(Order(), (std::vector<String>{"A", "B", "C"}));
}

// ------------------------------------------------------------------ the automatic store and restore

TEST_F(zmTLLayoutStore, TheLayoutIsRestoredAfterLoadingAndStoredOnceBeforeDestruction) {
  {
    TMemIniFile ini(File());
    ini.WriteInteger("\\Auto", "ShowGrid", 1);
    ini.UpdateFile();
  }
  auto* tree = New<TTestTreeList>(Form);
  tree->SetName("Auto");
  tree->SetLayoutIniSection("\\Auto");
  tree->SetLayoutIniFile(File());
  tree->SetBehaviorOptions(tree->GetBehaviorOptions() | zmbStoreInIniFile);
  tree->BeginLoading();
  tree->EndLoading();
  EXPECT_TRUE(tree->GetShowGrid()) << "restored after loading";
  tree->SetShowPreviewGrid(false);
  Free(tree);
  TMemIniFile ini(File());
  EXPECT_EQ(ini.ReadInteger("\\Auto", "ShowPreviewGrid", 1), 0) << "stored before destruction";
}

TEST_F(zmTLLayoutStore, AStoreThatFailsInTheDestructorIsReportedAndTheControlStillGoes) {
  auto* tree = New<TTestTreeList>(Form);
  tree->SetName("Auto");
  tree->SetLayoutIniSection("\\Auto");
  tree->SetLayoutIniFile(Folder.File("no/such/folder/layout.ini"));
  tree->SetBehaviorOptions(tree->GetBehaviorOptions() | zmbStoreInIniFile);
  EXPECT_NO_THROW(Free(tree));
  EXPECT_EQ(Boxes.size(), 1u) << "the failure is shown";
}

}  // namespace
