// The editing state table of the editor control, standalone and in place: focus in, typing,
// validation that passes and fails, posting, cancelling with Esc, and leaving, each checked by
// the modified flags, the text, the focus, what was posted and which errors were reported.
#include <sstream>

#include "qvEditTestSupport.h"
#include "support/EnumNames.h"

namespace {

enum class TEditMode { Standalone, Inplace };

struct TStateCase {
  const char* Name;
  const char* Script;  // steps separated by blanks: focus, type:<chars>, enter, esc, exit
  bool Revertable;
  const char* Standalone;  // expected state
  const char* Inplace;
};

std::ostream& operator<<(std::ostream& os, const TStateCase& c) { return os << c.Name; }

const TStateCase kStateCases[] = {
    {"FocusIn", "focus", true, "EM0 MAE0 text=a focused=1 posted=[] errors=[]",
     "EM0 MAE0 text=a focused=1 posted=[] errors=[]"},
    {"Type", "focus type:b", true, "EM1 MAE1 text=ab focused=1 posted=[] errors=[]",
     "EM1 MAE1 text=ab focused=1 posted=[] errors=[]"},
    {"EnterValidatesAndPosts", "focus type:b enter", true, "EM1 MAE1 text=ab focused=1 posted=[ab] errors=[]",
     "EM0 MAE0 text=ab focused=1 posted=[ab] errors=[]"},
    {"EnterFailsValidation", "focus type:! enter", true,
     "EM1 MAE1 text=a! focused=1 posted=[] errors=[bad value]",
     "EM1 MAE1 text=a! focused=1 posted=[] errors=[bad value]"},
    {"EscRevertsToTheValueOnEnter", "focus type:bc esc", true, "EM1 MAE0 text=a focused=1 posted=[] errors=[]",
     "EM1 MAE0 text=a focused=1 posted=[] errors=[]"},
    {"EscKeepsTextWhenNotRevertable", "focus type:b esc", false, "EM1 MAE1 text=ab focused=1 posted=[] errors=[]",
     "EM1 MAE1 text=ab focused=1 posted=[] errors=[]"},
    // Leaving validates; the neutral binding reports nothing modified once validated, so
    // nothing is posted.
    {"FocusOutValidates", "focus type:b exit", true, "EM1 MAE0 text=ab focused=0 posted=[] errors=[]",
     "EM1 MAE0 text=ab focused=0 posted=[] errors=[]"},
    {"FocusOutRefusedByValidation", "focus type:! exit", true,
     "EM1 MAE1 text=a! focused=1 posted=[] errors=[bad value]",
     "EM1 MAE1 text=a! focused=1 posted=[] errors=[bad value]"},
    {"EscAfterFailedValidation", "focus type:! enter esc", true,
     "EM1 MAE0 text=a focused=1 posted=[] errors=[bad value]",
     "EM1 MAE0 text=a focused=1 posted=[] errors=[bad value]"},
    {"TypeAgainAfterPostingInPlace", "focus type:b enter type:c", true,
     "EM1 MAE1 text=abc focused=1 posted=[ab] errors=[]", "EM1 MAE1 text=abc focused=1 posted=[ab] errors=[]"},
};

class EditState : public TEditControlTest, public ::testing::WithParamInterface<std::tuple<TEditMode, TStateCase>> {
 protected:
  TEditMode Mode() const { return std::get<0>(GetParam()); }
  const TStateCase& Case() const { return std::get<1>(GetParam()); }

  void SetUp() override {
    TEditControlTest::SetUp();
    FEdit = NewEdit(Mode() == TEditMode::Inplace);
    FEdit->Props()->SetValidateOnEnter(true);
    FEdit->Props()->Revertable = Case().Revertable;
    FEdit->Props()->OnValidate = [](TObject*, Variant& AValue, TCaption& AErrorText, bool& AError) {
      if (VarToStr(AValue).find('!') == String::npos) return;
      AError = true;
      AErrorText = "bad value";
    };
    FEdit->OnPostEditValue = [this](TObject*) { FPosted.push_back(FEdit->Text); };
    if (Mode() == TEditMode::Inplace) FEdit->SetVisible(false);
    ShowForm();
    FocusOther();
    FEdit->SetEditValue(String("a"));
  }
  void TearDown() override {
    delete FEditData;
    TEditControlTest::TearDown();
  }

  void Run(const String& AStep) {
    if (AStep == "focus") {
      if (Mode() == TEditMode::Inplace)
        FEdit->Activate(FEditData);
      else
        FEdit->SetFocus();
      Pump();
    } else if (AStep.rfind("type:", 0) == 0) {
      Type(AStep.substr(5));
    } else if (AStep == "enter") {
      Press(VK_RETURN);
    } else if (AStep == "esc") {
      Press(VK_ESCAPE);
    } else if (AStep == "exit") {
      FocusOther();
    }
  }

  std::string State() {
    std::ostringstream os;
    std::vector<String> posted = FPosted;
    for (const String& s : FEdit->Binding()->Stored) posted.push_back(s);
    os << "EM" << FEdit->GetEditModified() << " MAE" << FEdit->GetModifiedAfterEnter() << " text=" << FEdit->Text
       << " focused=" << FEdit->Focused() << " posted=[";
    for (size_t i = 0; i < posted.size(); ++i) os << (i ? "," : "") << posted[i];
    os << "] errors=[";
    for (size_t i = 0; i < Errors.size(); ++i) os << (i ? "," : "") << Errors[i];
    os << "]";
    return os.str();
  }

  TTestEdit* FEdit = nullptr;
  TqvCustomEditData* FEditData = nullptr;
  std::vector<String> FPosted;
};

TEST_P(EditState, FollowsTheScript) {
  std::istringstream steps(Case().Script);
  for (String step; steps >> step;) Run(step);
  EXPECT_EQ(State(), Mode() == TEditMode::Inplace ? Case().Inplace : Case().Standalone) << Case().Script;
}

INSTANTIATE_TEST_SUITE_P(Table, EditState,
                         ::testing::Combine(::testing::Values(TEditMode::Standalone, TEditMode::Inplace),
                                            ::testing::ValuesIn(kStateCases)),
                         [](const auto& info) {
                           return NameOf(std::get<0>(info.param),
                                         {QJ_NAMED(TEditMode::Standalone), QJ_NAMED(TEditMode::Inplace)}) +
                                  std::get<1>(info.param).Name;
                         });

}  // namespace
