// With themes on, disabled editors show the themed look's one face colour: the form around
// them, their frame's inner band and their inside are the same light grey, with no block or
// second tone of the classic face.
#include <functional>

#include "editors/qvRadioGroup.h"
#include "platform/os/Theme.h"
#include "qvTextEditTestSupport.h"
#include "support/ControlPixels.h"

namespace {

struct TThemedFaceCase {
  const char* Name;
  std::function<TqvCustomEdit*(TForm*)> Create;
  // Client points that show the face: around the frame, in its inner band and inside.
  std::vector<TPoint> FacePoints;
  friend void PrintTo(const TThemedFaceCase& c, std::ostream* os) { *os << c.Name; }
};

TqvCustomEdit* DisabledTextEdit(TForm* AForm) {
  auto* edit = static_cast<TqvTextEdit*>(TqvCustomEdit::CreateInplace(&TqvTextEdit::StaticClass(), AForm, false));
  edit->SetBoundsRect(Rect(10, 10, 170, 31));
  edit->SetParent(AForm);
  edit->SetEditValue(String("switched off"));
  return edit;
}

TqvCustomEdit* DisabledRadioGroup(TForm* AForm) {
  auto* group = New<TqvRadioGroup>(AForm);
  group->SetBoundsRect(Rect(10, 10, 180, 70));
  group->SetParent(AForm);
  group->SetCaption("Off");
  for (const char* item : {"On", "Off"}) group->GetProperties()->GetItems()->Add()->SetCaption(item);
  group->GetProperties()->SetColumns(2);
  group->SetItemIndex(0);
  return group;
}

class ThemedFace : public TTextEditTest, public ::testing::WithParamInterface<TThemedFaceCase> {};

TEST_P(ThemedFace, ADisabledEditorShowsTheOneFaceColour) {
  const TThemedFaceCase& c = GetParam();
  TqvCustomEdit* edit = c.Create(FForm);
  edit->GetStyle()->GetLookAndFeel()->SetNativeStyle(true);
  edit->SetEnabled(false);
  ShowForm();
  RepaintOverSentinel(edit);
  const TRgb face{kThemedFaceColor};
  EXPECT_EQ(TRgb{ColorToRGB(clBtnFace)}, face);
  EXPECT_EQ(ControlPixelOf(FForm, {5, 5}), face) << "the form";
  for (const TPoint& p : c.FacePoints) EXPECT_EQ(ControlPixelOf(edit, p), face) << "at " << p.X << "," << p.Y;
}

INSTANTIATE_TEST_SUITE_P(
    Editors, ThemedFace,
    ::testing::Values(TThemedFaceCase{"TextEdit", DisabledTextEdit, {{1, 10}, {150, 10}, {158, 10}}},
                      TThemedFaceCase{"RadioGroup", DisabledRadioGroup, {{100, 2}, {160, 2}, {80, 40}, {160, 50}}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
