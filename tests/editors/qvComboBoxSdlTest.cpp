// A combo box on a real X display: on the SDL backend under Xvfb its popup is a window of its own
// that shows the list on the screen, takes a click on an item and closes, and follows the keys.
#include "editors/qvComboBox.h"
#include "../lookandfeel/qvControlsTestSupport.h"
#include "support/SdlScreen.h"

namespace {

using ComboBoxSdl = TSdlUnitsTest<TqvLookAndFeelUnits>;

TEST_F(ComboBoxSdl, ThePopupListShowsOnTheScreenTakesAClickAndFollowsTheKeys) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(241);
  auto* form = New<TForm>(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 100, 300, 250);
  form->SetColor(clBtnFace);
  auto* combo = static_cast<TqvComboBox*>(TqvCustomEdit::CreateInplace(&TqvComboBox::StaticClass(), form, false));
  combo->SetBounds(10, 10, 160, 21);
  combo->SetParent(form);
  TStrings* items = combo->GetProperties()->GetItems();
  for (const char* s : {"Alpha", "Beta", "Gamma"}) items->Add(s);
  form->Show();
  combo->SetFocus();
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  ASSERT_TRUE(PumpUntil([&] { return form->GetActive(); }));

  // F4 opens and closes; typing searches the open list, Enter accepts. (xdotool's arrow keys do
  // not arrive on this Xvfb's keymap; the headless sequences cover them.)
  ASSERT_TRUE(XDo("key F4"));
  ASSERT_TRUE(PumpUntil([&] { return combo->GetDroppedDown(); })) << "F4 opens";
  ASSERT_TRUE(XDo("key F4"));
  ASSERT_TRUE(PumpUntil([&] { return !combo->GetDroppedDown(); })) << "F4 closes";
  ASSERT_TRUE(XDo("type g"));
  ASSERT_TRUE(PumpUntil([&] { return combo->GetDroppedDown(); })) << "typing opens";
  ASSERT_TRUE(XDo("key Return"));
  EXPECT_TRUE(PumpUntil([&] { return !combo->GetDroppedDown() && combo->GetText() == "Gamma"; }));

  // A click on the drop-down button opens the popup below the edit, on the screen.
  const TRect button = combo->GetViewInfo()->GetButton(0)->Bounds;
  const TPoint buttonCentre = combo->ClientToScreen({(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
  ASSERT_TRUE(XDo("mousemove " + std::to_string(buttonCentre.X) + " " + std::to_string(buttonCentre.Y) + " click 1"));
  ASSERT_TRUE(PumpUntil([&] { return combo->GetDroppedDown(); }));
  TqvCustomEditListBox* list = combo->GetLookupData()->GetListBox();
  ASSERT_NE(list, nullptr);
  const TRect second = list->ItemRect(1);
  const TPoint item = list->ClientToScreen({second.Left + 30, (second.Top + second.Bottom) / 2});
  EXPECT_GT(item.Y, combo->ClientToScreen({0, combo->GetHeight()}).Y - 1) << "the list lies below the edit";
  // The list's window colour, where the form shows its face colour once the popup is gone.
  const TRect first = list->ItemRect(0);
  const TPoint probe = list->ClientToScreen({list->GetWidth() - 4, (first.Top + first.Bottom) / 2});
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(probe.X, probe.Y) == 0xFFFFFF; })) << "the popup paints on the screen";

  // A click on the second item accepts it and closes the popup.
  ASSERT_TRUE(XDo("mousemove " + std::to_string(item.X) + " " + std::to_string(item.Y) + " click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !combo->GetDroppedDown(); }));
  EXPECT_TRUE(PumpUntil([&] { return combo->GetText() == "Beta"; }));
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(probe.X, probe.Y) != 0xFFFFFF; })) << "the window left the screen";
  // The keyboard came back to the form with the popup gone.
  ASSERT_TRUE(XDo("type a"));
  EXPECT_TRUE(PumpUntil([&] { return combo->GetDroppedDown(); })) << "keys reach the edit after the popup closed";

}

}  // namespace
