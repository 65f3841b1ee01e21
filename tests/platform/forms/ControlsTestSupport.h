// Fixture of the control and form tests: a clean headless window system, forms freed after
// each test, message boxes recorded instead of shown, and small test controls.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/KeyInput.h"

// A windowed control that can take the focus, paints itself in one colour and records the
// messages that reach its WndProc.
class TProbeControl : public TCustomControl {
  QJ_INLINE_CLASS(TProbeControl, TCustomControl)
 public:
  explicit TProbeControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    FControlStyle |= csAcceptsControls;
  }
  std::vector<UINT> Messages;
  std::vector<std::string>* Log = nullptr;
  LRESULT DlgCode = 0;
  LRESULT DialogKeyAnswer = 0;
  TColor PaintColor = clNone;

  int Count(UINT msg) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), msg)); }
  void WndProc(TMessage& M) override {
    Messages.push_back(M.Msg);
    if (M.Msg == WM_GETDLGCODE) {
      M.Result = DlgCode;
      return;
    }
    if (M.Msg == CM_DIALOGKEY && DialogKeyAnswer) {
      M.Result = DialogKeyAnswer;
      if (Log) Log->push_back(GetName() + ":dialogkey");
      return;
    }
    TCustomControl::WndProc(M);
  }

 protected:
  void Paint() override {
    if (PaintColor == clNone) return;
    GetCanvas()->GetBrush()->SetColor(PaintColor);
    GetCanvas()->FillRect(GetClientRect());
  }
  void DoEnter() override {
    if (Log) Log->push_back(GetName() + ":enter");
    TCustomControl::DoEnter();
  }
  void DoExit() override {
    if (Log) Log->push_back(GetName() + ":exit");
    TCustomControl::DoExit();
  }
};

// A graphic control painting one colour, recording its messages too.
class TProbeGraphic : public TGraphicControl {
  QJ_INLINE_CLASS(TProbeGraphic, TGraphicControl)
 public:
  explicit TProbeGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
  std::vector<UINT> Messages;
  TColor PaintColor = clRed;
  int Paints = 0;
  int Count(UINT msg) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), msg)); }
  void WndProc(TMessage& M) override {
    Messages.push_back(M.Msg);
    TGraphicControl::WndProc(M);
  }

 protected:
  void Paint() override {
    ++Paints;
    GetCanvas()->GetBrush()->SetColor(PaintColor);
    GetCanvas()->FillRect(GetClientRect());
  }
};

class TFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(Backend().Name()) != "headless") SetBackend(CreateHeadlessBackend());
    Headless::Reset();
    Headless::SetThreadWait(0);
    Headless::MoveMouse(1270, 1010);
    Application->SetMessageBoxFunc([this](const String& text, const String&, UINT) {
      Boxes.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    Headless::SetIdleHandler(nullptr);
    while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
    Application->CancelHint();
    Application->SetMessageBoxFunc(nullptr);
    Application->OnException = nullptr;
    Application->OnIdle = nullptr;
    Screen->SetCursor(crDefault);
    Headless::Reset();
  }

  // A form of the given client size, not shown yet.
  static TForm* NewForm(Integer w = 300, Integer h = 200, Integer x = 100, Integer y = 100) {
    auto* f = New<TForm>(nullptr);
    f->SetBounds(x, y, w, h);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    return f;
  }

  template <class T>
  static T* Add(TWinControl* parent, const char* name, TRect bounds) {
    auto* c = New<T>(parent);
    c->SetName(name);
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    return c;
  }

  // The screen pixel (0x00RRGGBB) of a form's window at a point of its client area.
  static uint32_t ClientPixel(TCustomForm* form, TPoint client) {
    const TSurface* s = Headless::WindowSurface(form->GetHandle());
    RECT win;
    GetWindowRect(form->GetHandle(), &win);
    TPoint screen = form->ClientToScreen(client);
    return s->Row(screen.Y - win.Top)[screen.X - win.Left] & 0xFFFFFF;
  }

  std::vector<String> Boxes;
};

constexpr uint32_t kRedPixel = 0xFF0000;
