// Driving modal dialogs of ours in tests: a script of steps run in idle turns of the modal loop,
// each given the active form, plus a scratch folder of files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ControlsTestSupport.h"
#include "platform/forms/Dialogs.h"
#include "platform/rtl/FileUtils.h"

class TDialogsTest : public TFormsTest {
 protected:
  // A step that only looks (or changes the focus) runs on into the next; one that injects input
  // ends the idle turn, since the loop needs an idle turn with input to go on.
  struct TStep {
    template <class F>
    TStep(F Fn, bool Injects = false) : Fn(std::move(Fn)), Injects(Injects) {}
    std::function<void(TCustomForm*)> Fn;
    bool Injects;
  };

  // Runs the steps once the dialog is the active modal form: each idle turn runs the steps up to
  // and including the next one that injects input.
  static void Script(std::initializer_list<TStep> steps) {
    std::vector<TInputStep> turns;
    std::vector<TStep> turn;
    for (const TStep& step : steps) {
      turn.push_back(step);
      if (!step.Injects) continue;
      turns.push_back(Turn(std::move(turn)));
      turn.clear();
    }
    if (!turn.empty()) turns.push_back(Turn(std::move(turn)));
    RunWhenIdle(std::move(turns), [] { return ActiveModalForm() != nullptr; });
  }

  template <class F>
  static TStep Act(F Fn) {
    return TStep(std::move(Fn), true);
  }

  template <class T>
  static T* Find(TCustomForm* Dialog, const char* Name) {
    auto* c = dynamic_cast<T*>(Dialog->FindComponent(Name));
    if (!c) ADD_FAILURE() << "no control " << Name;
    return c;
  }

  static TStep Keys(BYTE vk, unsigned shift = skNone) {
    return Act([=](TCustomForm*) { Headless::PressKey(vk, shift); });
  }
  static TStep Type(const String& text) {
    return Act([=](TCustomForm*) { Headless::TypeText(text); });
  }
  static void ClickAt(TControl* Control, TPoint Client) {
    TPoint p = Control->ClientToScreen(Client);
    Headless::Click(p.X, p.Y);
  }
  static void ClickCentre(TControl* Control) { ClickAt(Control, {Control->GetWidth() / 2, Control->GetHeight() / 2}); }

 private:
  static TCustomForm* ActiveModalForm() {
    TCustomForm* form = Screen->GetActiveCustomForm();
    return form && (form->GetFormState() & fsModal) ? form : nullptr;
  }
  static TInputStep Turn(std::vector<TStep> ASteps) {
    return [ASteps] {
      TCustomForm* form = ActiveModalForm();
      for (const TStep& step : ASteps) step.Fn(form);
    };
  }
};

// A fresh folder with files, removed afterwards.
class TScratchFolder {
 public:
  TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qj-dialogs-XXXXXX").string();
    Path = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(Path, error);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  String File(const String& name, const char* content = "x") const {
    String full = Path + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full) << content;
    return full;
  }
  String Folder(const String& name) const {
    std::filesystem::create_directories(Path + "/" + name);
    return Path + "/" + name;
  }
  std::string Path;
};
