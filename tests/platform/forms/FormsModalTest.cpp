// Modal forms with ModalResult, closing rules (CloseQuery, close actions, caFree), the
// application loop, exceptions, and the calls other threads hand over.
#include "ControlsTestSupport.h"

#include <atomic>
#include <thread>

#include "platform/forms/ExtCtrls.h"
#include "platform/rtl/Threads.h"

namespace {

class FormsModalTest : public TFormsTest {};

TEST_F(FormsModalTest, ShowModalReturnsTheModalResultSetByAClick) {
  TForm* main = NewForm(300, 200, 0, 0);
  main->Show();
  TForm* dialog = NewForm(200, 100, 50, 50);
  auto* ok = Add<TProbeControl>(dialog, "ok", Rect(10, 10, 60, 30));
  ok->OnClick = [dialog](TObject*) { dialog->SetModalResult(mrOk); };
  bool mainEnabledDuringModal = true;
  OnceIdle([&] {
    mainEnabledDuringModal = IsWindowEnabled(main->GetHandle());
    TPoint p = ok->ClientToScreen({5, 5});
    Headless::Click(p.X, p.Y);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(mainEnabledDuringModal) << "other forms are disabled while a modal form runs";
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_FALSE(dialog->GetVisible());
  EXPECT_FALSE(dialog->GetFormState() & fsModal);
  EXPECT_THROW((dialog->Show(), dialog->ShowModal()), EInvalidOperation) << "a visible form cannot go modal";
}

TEST_F(FormsModalTest, CloseQueryCanRefuseAndCloseEndsWithCancel) {
  TForm* dialog = NewForm();
  int asked = 0;
  dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
  OnceIdle([&] {
    dialog->SetModalResult(mrYes);  // refused by the first CloseQuery
    PostMessage(dialog->GetHandle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST_F(FormsModalTest, CaFreeReleasesTheFormAfterTheModalLoop) {
  TForm* dialog = NewForm();
  bool destroyed = false;
  dialog->OnDestroy = [&](TObject*) { destroyed = true; };
  dialog->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  OnceIdle([&] { Headless::PressKey(VK_ESCAPE); });
  dialog->OnKeyDown = [dialog](TObject*, Word& key, TShiftState) {
    if (key == VK_ESCAPE) dialog->SetModalResult(mrAbort);
  };
  dialog->SetKeyPreview(true);
  EXPECT_EQ(dialog->ShowModal(), mrAbort);
  EXPECT_FALSE(destroyed) << "freed only once the current message is done";
  Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->GetCustomFormCount(), 0);
}

TEST_F(FormsModalTest, CloseActionsOfAModelessForm) {
  struct TCase {
    TCloseAction Action;
    bool VisibleAfter;
    bool FreedAfterPump;
  };
  for (TCase c : {TCase{caNone, true, false}, TCase{caHide, false, false}, TCase{caFree, false, true}}) {
    SCOPED_TRACE(static_cast<int>(c.Action));
    TForm* form = NewForm();
    bool freed = false;
    form->OnDestroy = [&](TObject*) { freed = true; };
    form->OnClose = [&](TObject*, TCloseAction& action) { action = c.Action; };
    form->Show();
    form->Close();
    Pump();
    EXPECT_EQ(freed, c.FreedAfterPump);
    if (!freed) {
      EXPECT_EQ(form->GetVisible(), c.VisibleAfter);
      Free(form);
    }
  }
}

TEST_F(FormsModalTest, ClosingTheMainFormEndsRun) {
  // A loop of its own, so the program's application object stays unterminated for the others.
  auto* app = New<TApplication>(nullptr);
  TForm* main = NewForm();
  Application->SetMainForm(main);
  app->SetMainForm(main);
  int idles = 0;
  app->OnIdle = [&](TObject*, bool& done) {
    if (++idles == 1) PostMessage(main->GetHandle(), WM_CLOSE, 0, 0);
    done = false;
  };
  app->Run();
  EXPECT_TRUE(app->GetTerminated());
  EXPECT_FALSE(app->GetRunning());
  EXPECT_TRUE(main->GetVisible()) << "the main form stays; the loop ends";
  EXPECT_FALSE(Application->GetTerminated());
  Application->SetMainForm(nullptr);
  Free(app);
}

TEST_F(FormsModalTest, ExceptionsInHandlersReachOnExceptionOrTheMessageBox) {
  TForm* form = NewForm();
  auto* probe = Add<TProbeControl>(form, "probe", Rect(0, 0, 50, 50));
  probe->OnClick = [](TObject*) { throw EConvertError("bad value"); };
  form->Show();
  Pump();
  TPoint p = probe->ClientToScreen({5, 5});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(Boxes, (std::vector<String>{"bad value."}));
  String seen;
  TObject* sender = nullptr;
  Application->OnException = [&](TObject* s, Exception* e) {
    seen = e->Message();
    sender = s;
  };
  probe->OnClick = [](TObject*) { throw EAbort("silent"); };
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(seen, "") << "EAbort is silent";
  probe->OnClick = [](TObject*) { throw EInvalidOperation("nope"); };
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(seen, "nope");
  EXPECT_EQ(sender, probe);
}

TEST_F(FormsModalTest, TimersFireUnderTheFakeClock) {
  auto* timer = New<TTimer>(nullptr);
  int ticks = 0;
  timer->SetInterval(100);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  Headless::AdvanceClock(99);
  Pump();
  EXPECT_EQ(ticks, 0);
  Headless::AdvanceClock(1);
  Pump();
  EXPECT_EQ(ticks, 1);
  timer->SetEnabled(false);
  Headless::AdvanceClock(500);
  Pump();
  EXPECT_EQ(ticks, 1);
  timer->SetEnabled(true);
  timer->SetInterval(0);
  Headless::AdvanceClock(500);
  Pump();
  EXPECT_EQ(ticks, 1) << "interval 0 stops the timer";
  Free(timer);
}

TEST_F(FormsModalTest, SynchronizeRunsOnTheGuiThreadThroughTheLoop) {
  Headless::SetThreadWait(2000);
  std::atomic<bool> ran{false};
  std::thread::id ranOn;
  std::thread worker([&] {
    TThread::Synchronize(nullptr, [&] {
      ranOn = std::this_thread::get_id();
      ran = true;
    });
  });
  Application->OnIdle = [&](TObject*, bool& done) { done = !ran; };  // no more waiting once it ran
  String failure;
  try {
    for (int i = 0; i < 100 && !ran; ++i) Application->HandleMessage();
  } catch (Exception& e) {
    failure = e.Message();
  }
  worker.join();
  EXPECT_EQ(failure, "");
  EXPECT_TRUE(ran);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

}  // namespace
