// Actions: commands that controls and menus share. Executing an action runs its OnExecute, or
// offers it to the application, the active form and its focused control, which may handle it
// as a target (ExecuteAction/UpdateAction).
#pragma once

#include "platform/forms/Controls.h"

using TShortCut = Word;

class TBasicAction : public TComponent {
  QJ_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;

  // Whether the action can work on Target (a control asks before ExecuteTarget/UpdateTarget).
  virtual bool HandlesTarget(TObject*) { return false; }
  virtual void ExecuteTarget(TObject*) {}
  virtual void UpdateTarget(TObject*) {}
  // OnExecute, or the routing to the application, the active form and control. True when
  // someone handled it.
  virtual bool Execute();
  // OnUpdate, or the same routing for updates.
  virtual bool Update();
  TComponent* GetActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  TNotifyEvent OnExecute, OnUpdate;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FActionComponent = nullptr;
};

class TCustomAction : public TBasicAction {
  QJ_CLASS(TCustomAction, TBasicAction)
 public:
  using TBasicAction::TBasicAction;

  // A disabled action does nothing; AutoCheck toggles Checked before running.
  bool Execute() override;

  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value) { SetProp(FCaption, Value); }
  bool GetChecked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of its owner.
  void SetChecked(bool Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value) { SetProp(FEnabled, Value); }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { SetProp(FVisible, Value); }
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { SetProp(FHint, Value); }
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value) { SetProp(FImageIndex, Value); }
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { SetProp(FShortCut, Value); }
  bool GetAutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  Integer GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value) { FGroupIndex = Value; }
  Integer GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }

  // Told after any property change (the clients showing the action refresh themselves).
  TNotifyEvent OnChange;

 protected:
  void Changed();

 private:
  template <class T>
  void SetProp(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }

  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  String FHint;
  Integer FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FAutoCheck = false;
  Integer FGroupIndex = 0;
  Integer FHelpContext = 0;
};

class TAction : public TCustomAction {
  QJ_CLASS(TAction, TCustomAction)
 public:
  using TCustomAction::TCustomAction;
};

// The action the application sends when its hint changes and no OnHint takes it: a control that
// shows hints (a status bar) handles it as its target.
class THintAction : public TCustomAction {
  QJ_CLASS(THintAction, TCustomAction)
 public:
  using TCustomAction::TCustomAction;
};
