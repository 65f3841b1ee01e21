// The message dialog form of ours, for button sets the window system's message box has no row for.
#include <algorithm>
#include <memory>

#include "platform/forms/Dialogs.h"
#include "platform/forms/DialogsInternal.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

namespace {

const TResourceString SMsgDlgEmptySet = {61206, "A message dialog needs at least one button"};
const TResourceString SMsgDlgBadAnswer = {61207, "The answer is not a button of the message dialog"};

struct TButtonInfo {
  TMsgDlgBtn Button;
  const char* Caption;
  const char* Answer;  // the word of the answer list
  TModalResult Result;
};

const TButtonInfo kButtons[] = {
    {mbYes, "&Yes", "yes", mrYes},
    {mbNo, "&No", "no", mrNo},
    {mbOK, "OK", "ok", mrOk},
    {mbCancel, "Cancel", "cancel", mrCancel},
    {mbAbort, "&Abort", "abort", mrAbort},
    {mbRetry, "&Retry", "retry", mrRetry},
    {mbIgnore, "&Ignore", "ignore", mrIgnore},
    {mbAll, "&All", "all", mrAll},
    {mbNoToAll, "N&o to All", "notoall", mrNoToAll},
    {mbYesToAll, "Yes to &All", "yestoall", mrYesToAll},
};

constexpr Integer kButtonWidth = 75, kButtonHeight = 25, kGap = 8, kMargin = 12, kIconSize = 32;

TMsgDlgButtons ShownButtons(TMsgDlgButtons Buttons) { return Buttons & ~MsgDlgButton(mbHelp); }

// The type's sign: a coloured disc with its letter, drawn by us.
class TMessageIcon : public TGraphicControl {
  QJ_INLINE_CLASS(TMessageIcon, TGraphicControl)
 public:
  TMessageIcon(TComponent* AOwner, TMsgDlgType Type) : TGraphicControl(AOwner), FType(Type) {}

 protected:
  void Paint() override {
    static const struct {
      TColor Color;
      const char* Sign;
    } kSigns[] = {{clYellow, "!"}, {clRed, "X"}, {clBlue, "i"}, {clBlue, "?"}};
    if (FType == mtCustom) return;
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(kSigns[FType].Color);
    c->GetPen()->SetColor(clBlack);
    c->Ellipse(0, 0, GetWidth(), GetHeight());
    c->GetFont()->SetColor(FType == mtWarning ? clBlack : clWhite);
    c->GetFont()->SetStyle(fsBold);
    c->GetBrush()->SetStyle(bsClear);
    TSize text = c->TextExtent(kSigns[FType].Sign);
    c->TextOut((GetWidth() - text.cx) / 2, (GetHeight() - text.cy) / 2, kSigns[FType].Sign);
  }

 private:
  TMsgDlgType FType;
};

TMessageDlgHandler& Handler() {
  static TMessageDlgHandler handler;
  return handler;
}

const TButtonInfo* EscapeButton(TMsgDlgButtons Buttons) {
  const TButtonInfo* last = nullptr;
  for (TMsgDlgBtn preferred : {mbCancel, mbNo})
    for (const TButtonInfo& b : kButtons)
      if (b.Button == preferred && (Buttons & MsgDlgButton(b.Button))) return &b;
  for (const TButtonInfo& b : kButtons)
    if (Buttons & MsgDlgButton(b.Button)) last = &b;
  return last;
}

bool IsButtonResult(TMsgDlgButtons Buttons, Integer Result) {
  for (const TButtonInfo& b : kButtons)
    if (b.Result == Result && (Buttons & MsgDlgButton(b.Button))) return true;
  return false;
}

// The environment list's answer for the set: mrNone when there is none or it names no button.
Integer EnvironmentAnswer(TMsgDlgButtons Buttons) {
  String answer = NextDialogAnswer("QJ_MESSAGEDLG_ANSWERS", ',');
  for (const TButtonInfo& b : kButtons)
    if (SameText(answer, b.Answer) && (Buttons & MsgDlgButton(b.Button))) return b.Result;
  return mrNone;
}

}  // namespace

TMessageDlgHandler SetMessageDlgHandler(TMessageDlgHandler Handler_) {
  TMessageDlgHandler previous = std::move(Handler());
  Handler() = std::move(Handler_);
  return previous;
}

TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton) {
  Buttons = ShownButtons(Buttons);
  if (Buttons == 0) throw EInvalidOperation(&SMsgDlgEmptySet);
  TOwned<TForm> form(New<TForm>(nullptr));
  form->SetBorderStyle(bsDialog);
  form->SetCaption(MessageDlgCaption(DlgType));
  form->SetPosition(poDesigned);

  Integer textLeft = kMargin;
  if (DlgType != mtCustom) {
    auto* icon = New<TMessageIcon>(form.get(), DlgType);
    icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    icon->SetParent(form.get());
    textLeft += kIconSize + kMargin;
  }
  auto* text = New<TLabel>(form.get());
  text->SetName("Message");
  text->SetShowAccelChar(false);
  text->SetAutoSize(true);
  text->SetParent(form.get());
  text->SetLeft(textLeft);
  text->SetTop(kMargin);
  text->SetCaption(Msg);

  std::vector<const TButtonInfo*> shown;
  for (const TButtonInfo& b : kButtons)
    if (Buttons & MsgDlgButton(b.Button)) shown.push_back(&b);
  const TButtonInfo* defaultInfo = shown.front();
  for (const TButtonInfo* b : shown)
    if (b->Button == DefaultButton) defaultInfo = b;
  const TButtonInfo* escape = EscapeButton(Buttons);

  Integer rowWidth = static_cast<Integer>(shown.size()) * (kButtonWidth + kGap) - kGap;
  Integer clientWidth = std::max(rowWidth, textLeft + text->GetWidth() - kMargin) + 2 * kMargin;
  Integer buttonsTop = std::max(text->GetTop() + text->GetHeight(), kMargin + kIconSize) + kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonsTop + kButtonHeight + kMargin);

  Integer x = (clientWidth - rowWidth) / 2;
  TButton* defaultButton = nullptr;
  for (const TButtonInfo* b : shown) {
    auto* button = New<TButton>(form.get());
    button->SetName(String(b->Answer) + "Button");
    button->SetCaption(b->Caption);
    button->SetModalResult(b->Result);
    button->SetDefault(b == defaultInfo);
    button->SetCancel(b == escape);
    button->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
    button->SetParent(form.get());
    if (b == defaultInfo) defaultButton = button;
    x += kButtonWidth + kGap;
  }
  // A form not shown yet takes its active control only while loading.
  form->BeginLoading();
  form->SetActiveControl(defaultButton);
  form->EndLoading();
  return form.release();
}

Integer ShowMessageDialogForm(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer DefaultButton,
                              Integer X, Integer Y) {
  Buttons = ShownButtons(Buttons);
  if (Handler()) {
    TMessageDlgHandler handler = Handler();
    Integer answer = handler(Msg, DlgType, Buttons);
    if (answer != mrNone) {
      if (!IsButtonResult(Buttons, answer)) throw EInvalidOperation(&SMsgDlgBadAnswer);
      return answer;
    }
  }
  if (Integer answer = EnvironmentAnswer(Buttons); answer != mrNone) return answer;
  TOwned<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons, DefaultButton));
  if (X >= 0 && Y >= 0)
    form->SetBounds(X, Y, form->GetWidth(), form->GetHeight());
  else
    CentreDialogForm(form.get());
  return form->ShowModal();
}
