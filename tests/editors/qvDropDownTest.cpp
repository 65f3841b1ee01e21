// Scripted drop-down sequences over every drop-down editor kind: open by Alt+Down, F4, the
// button or typing; choose by keys and mouse; close by Esc, Alt+Up, an outside click, focus loss
// and a second click on the button. Input goes through the headless backend. Whatever the popup
// holds, the form keeps an active caption while it is open.
#include <functional>

#include "editors/qvCalcEdit.h"
#include "editors/qvComboBox.h"
#include "editors/qvDateEdit.h"
#include "editors/qvImageComboBox.h"
#include "editors/qvPopupEdit.h"
#include "platform/forms/ExtCtrls.h"
#include "qvDropDownTestSupport.h"

namespace {

// An editor kind under test: how to make it with the items "Alpha", "Beta", "Gamma", whether its
// popup is a list to choose from.
struct TDropDownKind {
  const char* Name;
  std::function<TqvCustomDropDownEdit*(TDropDownTest*)> Make;
  bool ChoosesFromList;
  friend void PrintTo(const TDropDownKind& k, std::ostream* os) { *os << k.Name; }
};

class TDropDownSequenceTest : public TDropDownTest {
 public:
  template <class T>
  T* MakeEdit() {
    return NewTextEdit<T>();
  }
  using TDropDownTest::Click;
  using TDropDownTest::ClickListItem;
  using TDropDownTest::DropDownButtonCentre;
  using TDropDownTest::FocusOther;
  TEdit* Other() const { return FOther; }
};

TqvCustomDropDownEdit* MakeCombo(TDropDownTest* T) {
  auto* combo = static_cast<TDropDownSequenceTest*>(T)->MakeEdit<TqvComboBox>();
  TStrings* items = combo->GetProperties()->GetItems();
  for (const char* s : {"Alpha", "Beta", "Gamma"}) items->Add(s);
  return combo;
}

TqvCustomDropDownEdit* MakeFixedListCombo(TDropDownTest* T) {
  auto* combo = static_cast<TqvComboBox*>(MakeCombo(T));
  combo->GetProperties()->SetDropDownListStyle(lsFixedList);
  return combo;
}

// A panel with an edit to take the focus inside the popup.
TqvCustomDropDownEdit* MakePopupEdit(TDropDownTest* T) {
  auto* edit = static_cast<TDropDownSequenceTest*>(T)->MakeEdit<TqvPopupEdit>();
  TWinControl* form = edit->GetParent();
  auto* panel = New<TPanel>(form);
  panel->SetBounds(200, 60, 120, 80);
  panel->SetParent(form);
  auto* inner = New<TEdit>(panel);
  inner->SetBounds(5, 5, 100, 21);
  inner->SetParent(panel);
  edit->GetProperties()->SetPopupControl(panel);
  return edit;
}

TqvCustomDropDownEdit* MakeImageCombo(TDropDownTest* T) {
  auto* combo = static_cast<TDropDownSequenceTest*>(T)->MakeEdit<TqvImageComboBox>();
  Integer value = 10;
  for (const char* s : {"Alpha", "Beta", "Gamma"}) {
    TqvImageComboBoxItem* item = combo->GetProperties()->GetItems()->Add();
    item->SetDescription(s);
    item->SetValue(value);
    value += 10;
  }
  return combo;
}

const TDropDownKind kKinds[] = {
    {"ImageCombo", MakeImageCombo, true},
    {"Combo", MakeCombo, true},
    {"FixedListCombo", MakeFixedListCombo, true},
    {"PopupEdit", MakePopupEdit, false},
};

using TDropDownStep = std::function<void(TDropDownSequenceTest*, TqvCustomDropDownEdit*)>;

struct TSequence {
  const char* Name;
  std::vector<TDropDownStep> Steps;
  bool Open;                 // open at the end
  const char* Text;          // the text at the end, for list kinds (nullptr: not checked)
  bool NeedsList = false;    // only for kinds that choose from a list
};

const TDropDownStep kAltDown = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_DOWN, skAlt); };
const TDropDownStep kAltUp = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_UP, skAlt); };
const TDropDownStep kF4 = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_F4); };
const TDropDownStep kDown = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_DOWN); };
const TDropDownStep kEnter = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_RETURN); };
const TDropDownStep kEscape = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Press(VK_ESCAPE); };
const TDropDownStep kDropDownButton = [](TDropDownSequenceTest* T, TqvCustomDropDownEdit* E) { T->Click(E, T->DropDownButtonCentre(E)); };
const TDropDownStep kClickGamma = [](TDropDownSequenceTest* T, TqvCustomDropDownEdit* E) { T->ClickListItem(E, 2); };
const TDropDownStep kOutside = [](TDropDownSequenceTest* T, TqvCustomDropDownEdit*) { T->Click(T->Other(), {5, 5}); };
const TDropDownStep kFocusOther = [](TDropDownSequenceTest* T, TqvCustomDropDownEdit*) { T->FocusOther(); };
const TDropDownStep kTypeB = [](TDropDownSequenceTest*, TqvCustomDropDownEdit*) { Type("b"); };

const TSequence kSequences[] = {
    {"AltDownOpens", {kAltDown}, true, ""},
    {"AltDownTwiceAcceptsTheHighlight", {kAltDown, kDown, kAltDown}, false, "Alpha", true},
    {"AltUpClosesAndAccepts", {kAltDown, kDown, kDown, kAltUp}, false, "Beta", true},
    {"F4Opens", {kF4}, true, ""},
    {"F4TogglesAndAccepts", {kF4, kDown, kF4}, false, "Alpha", true},
    {"EnterAccepts", {kF4, kDown, kDown, kDown, kEnter}, false, "Gamma", true},
    {"EscapeCancels", {kF4, kDown, kDown, kEscape}, false, "", true},
    {"EscapeCloses", {kF4, kEscape}, false, ""},
    {"ButtonOpens", {kDropDownButton}, true, ""},
    {"SecondButtonClickOnlyCloses", {kDropDownButton, kDropDownButton}, false, ""},
    {"ClickOnAnItemAccepts", {kDropDownButton, kClickGamma}, false, "Gamma", true},
    {"OutsideClickCloses", {kF4, kOutside}, false, ""},
    {"FocusLossCloses", {kF4, kFocusOther}, false, ""},
    {"OutsideClickKeepsTheText", {kF4, kDown, kOutside}, false, "", true},
    {"TypingOpens", {kTypeB}, true, nullptr},
    {"TypingOpensAndSearches", {kTypeB}, true, "Beta", true},
    {"TypingThenEnterAccepts", {kTypeB, kEnter}, false, "Beta", true},
};

struct TDropDownCase {
  const TDropDownKind* Kind;
  const TSequence* Sequence;
};

std::vector<TDropDownCase> AllCases() {
  std::vector<TDropDownCase> cases;
  for (const TDropDownKind& kind : kKinds)
    for (const TSequence& sequence : kSequences)
      if (kind.ChoosesFromList || !sequence.NeedsList) cases.push_back({&kind, &sequence});
  return cases;
}

class TDropDownSequence : public TDropDownSequenceTest, public ::testing::WithParamInterface<TDropDownCase> {};

TEST_P(TDropDownSequence, EndsInTheExpectedState) {
  const TDropDownCase& c = GetParam();
  TqvCustomDropDownEdit* edit = c.Kind->Make(this);
  ShowForm();
  edit->SetFocus();
  Pump();
  for (const TDropDownStep& step : c.Sequence->Steps) step(this, edit);
  EXPECT_EQ(edit->GetDroppedDown(), c.Sequence->Open);
  if (c.Kind->ChoosesFromList && c.Sequence->Text) {
    EXPECT_EQ(edit->GetText(), String(c.Sequence->Text));
  }
  // Enter never reaches the text as a character.
  EXPECT_EQ(edit->GetText().find('\r'), String::npos);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TDropDownSequence, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<TDropDownCase>& info) {
                           return std::string(info.param.Kind->Name) + "_" + info.param.Sequence->Name;
                         });

// Popups that take the focus (the calendar, the calculator, a panel with an edit) become the
// active window; the form's caption stays active all the same, as with a list.
class TDropDownCaption : public TDropDownSequenceTest, public ::testing::WithParamInterface<TDropDownKind> {};

TEST_P(TDropDownCaption, TheFormKeepsAnActiveCaptionWhileOpen) {
  TqvCustomDropDownEdit* edit = GetParam().Make(this);
  FForm->SetCaption("Form");
  ShowForm();
  edit->SetFocus();
  Pump();
  const TSurface* surface = Headless::WindowSurface(FForm->GetHandle());
  const TPoint captionPoint{FForm->GetWidth() / 2, 10};
  auto caption = [&] { return surface->Row(captionPoint.Y)[captionPoint.X] & 0xFFFFFF; };
  auto rgb = [](int sysColor) {
    const COLORREF c = GetSysColor(sysColor);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
  };
  ASSERT_EQ(caption(), rgb(COLOR_ACTIVECAPTION));
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(caption(), rgb(COLOR_ACTIVECAPTION));
  Press(VK_ESCAPE);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(caption(), rgb(COLOR_ACTIVECAPTION));
}

TqvCustomDropDownEdit* MakeDateEdit(TDropDownTest* T) {
  return static_cast<TDropDownSequenceTest*>(T)->MakeEdit<TqvDateEdit>();
}

TqvCustomDropDownEdit* MakeCalcEdit(TDropDownTest* T) {
  return static_cast<TDropDownSequenceTest*>(T)->MakeEdit<TqvCalcEdit>();
}

const TDropDownKind kCaptionKinds[] = {
    {"Combo", MakeCombo, true},
    {"PopupEdit", MakePopupEdit, false},
    {"DateEdit", MakeDateEdit, false},
    {"CalcEdit", MakeCalcEdit, false},
};

INSTANTIATE_TEST_SUITE_P(Kinds, TDropDownCaption, ::testing::ValuesIn(kCaptionKinds),
                         [](const ::testing::TestParamInfo<TDropDownKind>& info) { return std::string(info.param.Name); });

}  // namespace
