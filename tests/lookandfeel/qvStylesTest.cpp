// Styles: assigned values and their notifications, the lookup of parts through own entries and
// chains of style sheets (also while the owner is written), view parameters resolved value by
// value, sheet validity, change fan-out, freed styles and sheets, default-font changes, captions
// and the repository.
#include "LookAndFeelTestSupport.h"
#include "lookandfeel/qvStyles.h"
#include "platform/rtl/Classes.h"

namespace {

// An owner whose written state can be switched, as a stream writer would.
class TOwnerComponent : public TComponent {
  QJ_INLINE_CLASS(TOwnerComponent, TComponent)
 public:
  using TComponent::TComponent;
  void SetWriting(bool Value) { SetComponentStateFlag(csWriting, Value); }
};

// Styles with defaults: even parts in one font, odd parts in another, clWindow and clWindowText.
class TTestStyles : public TqvStyles {
  QJ_INLINE_CLASS(TTestStyles, TqvStyles)
 public:
  explicit TTestStyles(TPersistent* AOwner) : TqvStyles(AOwner) { SetUseBitmaps(true); }
  std::vector<Integer> Changes;
  TFont EvenFont, OddFont;
  // When set, the odd parts show this font (a control's, say).
  TFont* ControlFont = nullptr;
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override {
    TqvStyles::GetDefaultViewParams(Index, AData, AParams);
    AParams.Color = clWindow;
    AParams.TextColor = clWindowText;
    AParams.Font = Index % 2 == 0 ? &EvenFont : ControlFont ? ControlFont : &OddFont;
  }

 protected:
  void Changed(Integer Index) override { Changes.push_back(Index); }
};

class TTestStyleSheet : public TqvCustomStyleSheet {
  QJ_INLINE_CLASS(TTestStyleSheet, TqvCustomStyleSheet)
 public:
  using TqvCustomStyleSheet::TqvCustomStyleSheet;
  TqvCustomStylesClass GetStyleSetClass() const override { return &TTestStyles::StaticClass(); }
  TTestStyles* Styles() const { return static_cast<TTestStyles*>(GetStyles()); }
};

// Counts what a style tells its listeners.
struct TStyleListener : IqvStyleListener {
  int Changes = 0;
  int Removals = 0;
  void StyleChanged(TqvCustomStyle*) override { ++Changes; }
  void StyleRemoved(TqvCustomStyle*) override { ++Removals; }
};

class Styles : public TLookAndFeelTest {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    FOwner = MakeOwned<TOwnerComponent>(nullptr);
    FRepository = New<TqvStyleRepository>(FOwner.get());
  }
  void TearDown() override {
    FOwner.reset();
    TLookAndFeelTest::TearDown();
  }
  TqvStyle* NewStyle(const char* name = "") {
    auto* style = static_cast<TqvStyle*>(FRepository->CreateStyle(&TqvStyle::StaticClass()));
    style->SetName(name);
    return style;
  }
  TTestStyleSheet* NewSheet(const char* name = "") {
    auto* sheet = static_cast<TTestStyleSheet*>(FRepository->CreateStyleSheet(&TTestStyleSheet::StaticClass()));
    sheet->SetName(name);
    return sheet;
  }
  TOwned<TTestStyles> NewStyles() { return MakeOwned<TTestStyles>(FOwner.get()); }
  static String Name(TqvStyle* s) { return s ? s->GetName() : "none"; }

  TOwned<TOwnerComponent> FOwner;
  TqvStyleRepository* FRepository = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Assigned values

struct TAssignCase {
  const char* Name;
  void (*Act)(TqvStyle*);
  TqvStyleValues Assigned;
  int Notifications;
};

void PrintTo(const TAssignCase& c, std::ostream* os) { *os << c.Name; }

class StyleAssignment : public Styles, public ::testing::WithParamInterface<TAssignCase> {};

TEST_P(StyleAssignment, MarksTheValuesAndNotifies) {
  const TAssignCase& c = GetParam();
  TqvStyle* style = NewStyle();
  TStyleListener listener;
  style->AddListener(&listener);
  c.Act(style);
  EXPECT_EQ(style->GetAssignedValues(), c.Assigned) << c.Name;
  EXPECT_EQ(listener.Changes, c.Notifications) << c.Name;
  style->RemoveListener(&listener);
}

void GiveBitmap(TqvStyle* s) {
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  s->SetBitmap(&bitmap);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StyleAssignment,
    ::testing::Values(
        TAssignCase{"colour", [](TqvStyle* s) { s->SetColor(clRed); }, svBit(svColor), 1},
        TAssignCase{"the same colour twice", [](TqvStyle* s) { s->SetColor(clRed); s->SetColor(clRed); }, svBit(svColor), 1},
        TAssignCase{"clDefault takes the colour back",
                    [](TqvStyle* s) {
                      s->SetColor(clRed);
                      s->SetColor(clDefault);
                    },
                    0, 2},
        TAssignCase{"text colour", [](TqvStyle* s) { s->SetTextColor(clBlue); }, svBit(svTextColor), 1},
        TAssignCase{"a font, even one like the style's own",
                    [](TqvStyle* s) {
                      TFont same;
                      same.Assign(s->GetFont());
                      s->SetFont(&same);
                    },
                    svBit(svFont), 1},
        TAssignCase{"a bitmap", [](TqvStyle* s) { GiveBitmap(s); }, svBit(svBitmap), 1},
        TAssignCase{"an empty bitmap takes it back",
                    [](TqvStyle* s) {
                      GiveBitmap(s);
                      TBitmap empty;
                      s->SetBitmap(&empty);
                    },
                    0, 2},
        TAssignCase{"the set itself",
                    [](TqvStyle* s) {
                      s->SetAssignedValues(svBit(svFont));
                      s->SetAssignedValues(svBit(svFont));
                    },
                    svBit(svFont), 1},
        TAssignCase{"defaults again, in one notification",
                    [](TqvStyle* s) {
                      s->SetColor(clRed);
                      s->SetTextColor(clBlue);
                      GiveBitmap(s);
                      s->RestoreDefaults();
                    },
                    0, 4}));

TEST_F(Styles, RestoringDefaultsEmptiesTheValuesButKeepsTheFont) {
  TqvStyle* style = NewStyle();
  style->SetColor(clRed);
  style->GetFont()->SetSize(20);
  GiveBitmap(style);
  style->RestoreDefaults();
  EXPECT_EQ(style->GetColor(), clDefault);
  EXPECT_EQ(style->GetTextColor(), clDefault);
  EXPECT_TRUE(style->GetBitmap()->GetEmpty());
  EXPECT_EQ(style->GetFont()->GetSize(), 20);
  EXPECT_FALSE(TqvCustomStyle::IsValueAssigned(style, svFont));
  EXPECT_FALSE(TqvCustomStyle::IsValueAssigned(nullptr, svColor));
}

TEST_F(Styles, AssigningAStyleCopiesItsValuesAndExactlyItsSet) {
  TqvStyle* source = NewStyle();
  source->SetColor(clRed);
  source->SetTextColor(clBlue);
  TqvStyle* target = NewStyle();
  GiveBitmap(target);
  target->Assign(source);
  EXPECT_EQ(target->GetColor(), clRed);
  EXPECT_EQ(target->GetTextColor(), clBlue);
  EXPECT_EQ(target->GetAssignedValues(), svBit(svColor) | svBit(svTextColor)) << "the font copy is not an assignment";
}

// ---------------------------------------------------------------------------------------------
// Lookup through sheets

struct TLookupCase {
  const char* Name;
  bool Writing;
  std::vector<String> Expected;  // parts 1 .. 4
};

void PrintTo(const TLookupCase& c, std::ostream* os) { *os << c.Name; }

class StyleLookup : public Styles, public ::testing::WithParamInterface<TLookupCase> {};

// Own {1: A}; the sheet {1: B, 2: C}; the sheet's sheet {3: D}.
TEST_P(StyleLookup, OwnEntriesThenTheSheetChain) {
  TqvStyle *a = NewStyle("A"), *b = NewStyle("B"), *c = NewStyle("C"), *d = NewStyle("D");
  TTestStyleSheet* sheet = NewSheet("Sheet");
  TTestStyleSheet* base = NewSheet("Base");
  sheet->Styles()->SetValue(1, b);
  sheet->Styles()->SetValue(2, c);
  base->Styles()->SetValue(3, d);
  sheet->Styles()->SetStyleSheet(base);
  auto styles = NewStyles();
  styles->SetValue(1, a);
  styles->SetStyleSheet(sheet);
  FOwner->SetWriting(GetParam().Writing);
  std::vector<String> found;
  for (Integer i = 1; i <= 4; ++i) found.push_back(Name(styles->GetValue(i)));
  FOwner->SetWriting(false);
  EXPECT_EQ(found, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, StyleLookup,
                         ::testing::Values(TLookupCase{"reading", false, {"A", "C", "D", "none"}},
                                           TLookupCase{"while written only own entries", true, {"A", "none", "none", "none"}}));

TEST_F(Styles, EntriesStaySortedAndFindGivesTheInsertPlace) {
  auto styles = NewStyles();
  TqvStyle* s = NewStyle();
  for (Integer i : {7, 2, 9, 4}) styles->SetValue(i, s);
  std::vector<Integer> order;
  for (Integer i = 0; i < styles->GetCount(); ++i) order.push_back(styles->GetEntryIndex(i));
  EXPECT_EQ(order, (std::vector<Integer>{2, 4, 7, 9}));
  Integer position = -1;
  EXPECT_FALSE(styles->Find(5, position));
  EXPECT_EQ(position, 2);
  EXPECT_TRUE(styles->Find(9, position));
  EXPECT_EQ(position, 3);
}

TEST_F(Styles, SettingWhatTheSheetSuppliesMakesNoEntry) {
  TqvStyle* b = NewStyle("B");
  TTestStyleSheet* sheet = NewSheet();
  sheet->Styles()->SetValue(1, b);
  auto styles = NewStyles();
  styles->SetStyleSheet(sheet);
  styles->Changes.clear();
  styles->SetValue(1, b);
  EXPECT_EQ(styles->GetCount(), 0);
  EXPECT_TRUE(styles->Changes.empty());
  TqvStyle* a = NewStyle("A");
  styles->SetValue(1, a);
  styles->SetValue(1, nullptr);
  EXPECT_EQ(Name(styles->GetValue(1)), "B") << "without an own entry the sheet answers again";
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{1, 1}));
}

TEST_F(Styles, AStyleOnTwoPartsIsHeardForTheOtherAfterOneLetsItGo) {
  TqvStyle* shared = NewStyle();
  auto styles = NewStyles();
  styles->SetValue(1, shared);
  styles->SetValue(2, shared);
  styles->SetValue(1, NewStyle());
  styles->Changes.clear();
  shared->SetColor(clRed);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{2}));
}

TEST_F(Styles, AFreedStyleLeavesEveryUserAndEachNotifiesItsPart) {
  TqvStyle* style = NewStyle();
  auto first = NewStyles();
  auto second = NewStyles();
  first->SetValue(3, style);
  first->SetValue(5, style);
  second->SetValue(1, style);
  first->Changes.clear();
  second->Changes.clear();
  Free(style);
  EXPECT_EQ(first->Changes, (std::vector<Integer>{5, 3}));
  EXPECT_EQ(second->Changes, (std::vector<Integer>{1}));
  EXPECT_EQ(first->GetCount(), 0);
  EXPECT_EQ(FRepository->GetCount(), 0);
}

TEST_F(Styles, ChangesOfASheetsStylesReachEveryUserAtThatPart) {
  TqvStyle* style = NewStyle();
  TTestStyleSheet* base = NewSheet();
  TTestStyleSheet* sheet = NewSheet();
  base->Styles()->SetValue(4, style);
  sheet->Styles()->SetStyleSheet(base);
  auto user = NewStyles();
  user->SetStyleSheet(sheet);
  user->Changes.clear();
  style->SetColor(clRed);
  EXPECT_EQ(base->Styles()->Changes.back(), 4);
  EXPECT_EQ(sheet->Styles()->Changes.back(), 4) << "the sheet that falls back to the changed one hears it";
  EXPECT_EQ(user->Changes, (std::vector<Integer>{4}));
}

TEST_F(Styles, ChangingTheSheetNotifiesThePartsOfBothChainsOnce) {
  TTestStyleSheet* old = NewSheet();
  TTestStyleSheet* fresh = NewSheet();
  TTestStyleSheet* behind = NewSheet();
  old->Styles()->SetValue(2, NewStyle());
  old->Styles()->SetValue(6, NewStyle());
  fresh->Styles()->SetValue(6, NewStyle());
  behind->Styles()->SetValue(1, NewStyle());
  fresh->Styles()->SetStyleSheet(behind);
  auto styles = NewStyles();
  styles->SetStyleSheet(old);
  styles->Changes.clear();
  styles->SetStyleSheet(fresh);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{2, 6, 1}));
  EXPECT_EQ(old->GetUserCount(), 0);
  EXPECT_EQ(fresh->GetUserCount(), 1);
}

TEST_F(Styles, AFreedSheetLeavesItsUsersWithoutOne) {
  TTestStyleSheet* sheet = NewSheet();
  sheet->Styles()->SetValue(3, NewStyle());
  auto styles = NewStyles();
  styles->SetStyleSheet(sheet);
  styles->Changes.clear();
  Free(sheet);
  EXPECT_EQ(styles->GetStyleSheet(), nullptr);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{3}));
  EXPECT_EQ(FRepository->GetStyleSheetCount(), 0);
}

struct TSheetCase {
  const char* Name;
  bool Valid;
};

void PrintTo(const TSheetCase& c, std::ostream* os) { *os << c.Name; }

class StyleSheetValidity : public Styles, public ::testing::WithParamInterface<TSheetCase> {};

TEST_P(StyleSheetValidity, InvalidSheetsAreIgnoredSilently) {
  TTestStyleSheet* a = NewSheet();
  TTestStyleSheet* b = NewSheet();
  auto* plain = static_cast<TqvCustomStyleSheet*>(FRepository->CreateStyleSheet(&TqvCustomStyleSheet::StaticClass()));
  const String name = GetParam().Name;
  TqvCustomStyles* target = a->Styles();
  TqvCustomStyleSheet* candidate = b;
  if (name == "a sheet of another Styles class") candidate = plain;
  if (name == "the own sheet") candidate = a;
  if (name == "a cycle") b->Styles()->SetStyleSheet(a);
  if (name == "a longer cycle") {
    TTestStyleSheet* c = NewSheet();
    b->Styles()->SetStyleSheet(c);
    c->Styles()->SetStyleSheet(a);
  }
  target->SetStyleSheet(candidate);
  EXPECT_EQ(target->GetStyleSheet() == candidate, GetParam().Valid) << name;
  EXPECT_EQ(target->IsValidStyleSheet(nullptr), true);
}

INSTANTIATE_TEST_SUITE_P(Table, StyleSheetValidity,
                         ::testing::Values(TSheetCase{"a sheet of the same class", true},
                                           TSheetCase{"a sheet of another Styles class", false},
                                           TSheetCase{"the own sheet", false}, TSheetCase{"a cycle", false},
                                           TSheetCase{"a longer cycle", false}));

// ---------------------------------------------------------------------------------------------
// View parameters and default fonts

struct TParamsCase {
  const char* Name;
  bool PreferredColour, OwnColour, OwnFont, OwnBitmap;
  TColor Color;
  bool OwnFontResult, BitmapResult;
};

void PrintTo(const TParamsCase& c, std::ostream* os) { *os << c.Name; }

class StyleViewParams : public Styles, public ::testing::WithParamInterface<TParamsCase> {};

TEST_P(StyleViewParams, EachValueFromThePreferredStyleThePartsStyleOrTheDefaults) {
  const TParamsCase& c = GetParam();
  TqvStyle* own = NewStyle();
  if (c.OwnColour) own->SetColor(clRed);
  if (c.OwnFont) own->GetFont()->SetSize(30);
  if (c.OwnBitmap) GiveBitmap(own);
  TqvStyle* preferred = NewStyle();
  if (c.PreferredColour) preferred->SetColor(clLime);
  auto styles = NewStyles();
  styles->SetValue(0, own);
  TqvViewParams params;
  styles->GetViewParams(0, nullptr, preferred, params);
  EXPECT_EQ(params.Color, c.Color) << c.Name;
  EXPECT_EQ(params.Font, c.OwnFontResult ? own->GetFont() : &styles->EvenFont) << c.Name;
  EXPECT_EQ(params.Bitmap == own->GetBitmap(), c.BitmapResult) << c.Name;
  EXPECT_EQ(params.TextColor, clWindowText) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Table, StyleViewParams,
                         ::testing::Values(TParamsCase{"all defaults", false, false, false, false, clWindow, false, false},
                                           TParamsCase{"the part's colour", false, true, false, false, clRed, false, false},
                                           TParamsCase{"the preferred colour wins", true, true, false, false, clLime, false,
                                                       false},
                                           TParamsCase{"the part's font and bitmap", false, false, true, true, clWindow,
                                                       true, true}));

TEST_F(Styles, ABitmapOnlyWhenAssignedAndNotEmpty) {
  TqvStyle* style = NewStyle();
  auto styles = NewStyles();
  styles->SetValue(0, style);
  EXPECT_EQ(styles->GetBitmap(0), nullptr);
  GiveBitmap(style);
  EXPECT_EQ(styles->GetBitmap(0), style->GetBitmap());
  EXPECT_EQ(styles->GetBitmap(1), nullptr);
}

TEST_F(Styles, ADefaultFontChangeNotifiesThePartsShowingIt) {
  auto styles = NewStyles();
  TqvStyle* withFont = NewStyle();
  withFont->GetFont()->SetSize(30);
  styles->SetValue(2, withFont);
  TqvViewParams params;
  styles->GetViewParams(5, nullptr, nullptr, params);
  EXPECT_EQ(styles->GetMaxDefaultViewParamsIndex(), 5);
  styles->Changes.clear();
  styles->FontChanged(nullptr, &styles->EvenFont);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{0, 4})) << "part 2 has its own font, part 6 was never asked for";
  EXPECT_TRUE(styles->UsesDefaultFont(0));
  EXPECT_FALSE(styles->UsesDefaultFont(2));
}

TEST_F(Styles, AControlsFontChangeReachesTheStylesListeningToIt) {
  auto styles = NewStyles();
  auto* form = New<TForm>(nullptr);
  auto* control = New<TqvControl>(form);
  control->SetParent(form);
  styles->ControlFont = control->GetFont();
  control->AddFontListener(styles.get());
  TqvViewParams params;
  styles->GetViewParams(3, nullptr, nullptr, params);
  styles->Changes.clear();
  control->GetFont()->SetSize(17);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{1, 3})) << "the odd parts show the control's font";
  control->RemoveFontListener(styles.get());
  Free(form);
}

// ---------------------------------------------------------------------------------------------
// Sheets and the repository

TEST_F(Styles, ASheetsCaptionIsItsNameUntilSetOtherwise) {
  TTestStyleSheet* sheet = NewSheet("Grey");
  EXPECT_EQ(sheet->GetCaption(), "Grey");
  sheet->SetCaption("GREY");
  sheet->SetName("Dark");
  EXPECT_EQ(sheet->GetCaption(), "Dark") << "a caption equal to the name is no caption of its own";
  sheet->SetCaption("Evening");
  sheet->SetName("Night");
  EXPECT_EQ(sheet->GetCaption(), "Evening");
  TTestStyleSheet* copy = NewSheet("Copy");
  TTestStyleSheet* base = NewSheet();
  sheet->Styles()->SetStyleSheet(base);
  copy->Assign(sheet);
  EXPECT_EQ(copy->GetCaption(), "Evening");
  EXPECT_EQ(copy->GetStyles()->GetStyleSheet(), base) << "the styles copy their sheet";
}

TEST_F(Styles, TheRepositoryListsAndStreamsItsStylesAndSheets) {
  TqvStyle* mine = NewStyle("Mine");
  TOwnerComponent other(nullptr);
  auto* foreign = static_cast<TqvStyle*>(FRepository->CreateItemEx(&TqvStyle::StaticClass(), &other));
  TTestStyleSheet* sheet = NewSheet("Sheet");
  EXPECT_EQ(mine->GetParentComponent(), FRepository);
  EXPECT_EQ(foreign->Owner(), &other);
  EXPECT_EQ(FRepository->GetCount(), 2);
  std::vector<TComponent*> children;
  FRepository->GetChildren([&](TComponent* c) { children.push_back(c); }, FRepository);
  EXPECT_EQ(children, (std::vector<TComponent*>{mine, sheet})) << "styles first, only those owned by the root";
  sheet->Styles()->SetValue(0, foreign);
  std::vector<TComponent*> links;
  sheet->GetFakeComponentLinks(links);
  EXPECT_EQ(links, (std::vector<TComponent*>{&other}));
  EXPECT_THROW(mine->SetParentComponent(&other), EInvalidCast);
  auto* second = New<TqvStyleRepository>(FOwner.get());
  mine->SetParentComponent(second);
  EXPECT_EQ(mine->GetStyleRepository(), second);
  EXPECT_EQ(FRepository->GetCount(), 1);
  EXPECT_EQ(second->GetItem(0), mine);
  Free(foreign);
}

TEST_F(Styles, ClearingTheRepositoryFreesItsStylesAndTheirUsersHear) {
  TqvStyle* style = NewStyle();
  auto styles = NewStyles();
  styles->SetValue(7, style);
  styles->Changes.clear();
  FRepository->Clear();
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{7}));
  EXPECT_EQ(styles->GetValue(7), nullptr);
  NewSheet();
  Free(FRepository);
  FRepository = nullptr;
  EXPECT_EQ(FOwner->GetComponentCount(), 0) << "sheets went with the repository";
}

TEST_F(Styles, OnlyStyleAndSheetClassesAreMadeByTheRepository) {
  EXPECT_THROW(FRepository->CreateStyle(&TqvStyleRepository::StaticClass()), EInvalidCast);
  EXPECT_THROW(FRepository->CreateStyleSheet(&TqvStyle::StaticClass()), EInvalidCast);
}

TEST_F(Styles, TheStyleClassIsRegisteredForStreaming) { EXPECT_EQ(GetClass("TqvStyle"), &TqvStyle::StaticClass()); }

}  // namespace
