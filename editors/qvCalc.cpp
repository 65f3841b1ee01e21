// The pocket calculator: button table, engine, layout and sizing, painting, keys and mouse.
#include "editors/qvCalc.h"

#include <algorithm>
#include <cmath>

#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomCalculator)

const TResourceString sqvCalcError{62700, "Error"};

namespace {

constexpr TColor kMaroon = 0x000080, kRed = 0x0000FF, kBlue = 0xFF0000, kNavy = 0x800000;

struct TButtonDefinition {
  const char* Caption;
  TColor Color;
};

constexpr TButtonDefinition kButtonDefinitions[qvCalcButtonCount] = {
    {"Back", kMaroon}, {"CE", kMaroon}, {"C", kMaroon},   {"MC", kRed},    {"MR", kRed},  {"MS", kRed},
    {"M+", kRed},      {"0", kBlue},    {"1", kBlue},     {"2", kBlue},    {"3", kBlue},  {"4", kBlue},
    {"5", kBlue},      {"6", kBlue},    {"7", kBlue},     {"8", kBlue},    {"9", kBlue},  {"+/-", kBlue},
    {",", kBlue},      {"/", kRed},     {"*", kRed},      {"-", kRed},     {"+", kRed},   {"sqrt", kNavy},
    {"%", kNavy},      {"1/x", kNavy},  {"=", kRed}};

// The main block, rows 1..4 by columns 0..4.
constexpr TqvCalcButtonKind kMainBlock[4][5] = {{cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
                                                {cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
                                                {cbNum1, cbNum2, cbNum3, cbSub, cbRev},
                                                {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual}};
constexpr TqvCalcButtonKind kMemoryColumn[4] = {cbMC, cbMR, cbMS, cbMP};

// The reference design the automatic sizing scales: 198 x 131 pixels at a button height of 22.
constexpr Integer kBaseButtonHeight = 22, kBaseButtonWidth = 28, kBaseGap = 3, kBaseFontSize = 8;
constexpr Integer kBaseClientWidth = 198, kBaseClientHeight = 131;
constexpr Integer kFocusRectInset = 3;
constexpr Integer kBoldFontSize = 10;

bool IsDigitButton(TqvCalcButtonKind AKind) { return AKind >= cbNum0 && AKind <= cbNum9; }
bool IsArithmeticOperation(TqvCalcButtonKind AKind) { return AKind >= cbDiv && AKind <= cbAdd; }
bool IsMemoryButton(TqvCalcButtonKind AKind) { return AKind >= cbMC && AKind <= cbMP; }
bool IsExponentText(const String& AText) { return AText.find_first_of("Ee") != String::npos; }

TqvCalcButtonKind CharToButton(char AChar) {
  if (AChar >= '0' && AChar <= '9') return TqvCalcButtonKind(cbNum0 + (AChar - '0'));
  if (AChar == FormatSettings().DecimalSeparator) return cbDecimal;
  switch (AChar) {
    case '/': return cbDiv;
    case '*': return cbMul;
    case '-': return cbSub;
    case '+': return cbAdd;
    case '@': return cbSqrt;
    case '%': return cbPercent;
    case '=':
    case '\r': return cbEqual;
    case '\b': return cbBack;
    case '\x1B': return cbClear;
    default: return cbNone;
  }
}

TqvCalcButtonKind KeyToButton(Word AKey, TShiftState AShift) {
  const bool ctrl = (AShift & ssCtrl) != 0;
  switch (AKey) {
    case VK_BACK: return cbBack;
    case VK_DELETE: return cbCancel;
    case VK_ESCAPE: return cbClear;
    case VK_F9: return cbSign;
    case VK_RETURN: return cbEqual;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'R': return ctrl ? cbMR : cbRev;
    case 'L': return ctrl ? cbMC : cbNone;
    case 'M': return ctrl ? cbMS : cbNone;
    case 'P': return ctrl ? cbMP : cbNone;
    default: return cbNone;
  }
}

constexpr char kCopyChar = '\x03', kPasteChar = '\x16';

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomCalculator::TqvCustomCalculator(TComponent* AOwner) : TqvControl(AOwner) {
  SetControlStyle(csCaptureMouse | csOpaque);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  SetKeys(dkBit(dkArrows) | dkBit(dkChars) | dkBit(dkTab) | dkBit(dkAllKeys));
  CreateButtons();
  Reset();
}

TqvCustomCalculator::~TqvCustomCalculator() = default;

void TqvCustomCalculator::CreateButtons() {
  for (Integer i = 0; i < qvCalcButtonCount; ++i) {
    TqvCalcButton& button = FButtons[i];
    button.Kind = TqvCalcButtonKind(i);
    button.Caption = kButtonDefinitions[i].Caption;
    button.Color = kButtonDefinitions[i].Color;
  }
  FButtons[cbDecimal].Caption = String(1, FormatSettings().DecimalSeparator);
  LayoutButtons();
}

void TqvCustomCalculator::Reset() {
  FPendingOperation = cbEqual;
  FState = TqvCalcState::Ready;
  FMemory = 0;
  UpdateMemoryButtons();
}

void TqvCustomCalculator::ClearError() {
  if (FState != TqvCalcState::Error) return;
  FState = TqvCalcState::Ready;
  FPendingOperation = cbEqual;
}

TqvLookAndFeelPainterClass TqvCustomCalculator::GetPainter() const { return TqvStandardLookAndFeelPainter::Class(); }

void TqvCustomCalculator::HidePopup() {
  if (OnHidePopup) OnHidePopup(this);
}

void TqvCustomCalculator::SetAutoFontSize(bool Value) {
  if (FAutoFontSize == Value) return;
  FAutoFontSize = Value;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TqvCustomCalculator::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  InvalidateButton(cbEqual);
}

void TqvCustomCalculator::SetCalcBorderStyle(TBorderStyle Value) {
  if (FCalcBorderStyle == Value) return;
  FCalcBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TqvCustomCalculator::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  // A quick second click is a second press, not a double click.
  Params.WindowClass.style &= ~CS_DBLCLKS;
  if (FIsPopup || FCalcBorderStyle != bsSingle) return;
  if (GetCtl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

// ---------------------------------------------------------------------------------------------
// Display

String TqvCustomCalculator::DisplayText() {
  String text;
  GetDisplayText(text);
  return text;
}

void TqvCustomCalculator::ChangeDisplayText(const String& AText) {
  if (DisplayText() == AText) return;
  TAliveToken alive = AliveToken();
  SetDisplayText(AText);
  if (alive && OnDisplayChange) OnDisplayChange(this);
}

Extended TqvCustomCalculator::GetDisplayValue() {
  if (FState == TqvCalcState::Error) return 0;
  String text = Trim(DisplayText());
  if (text.empty()) text = "0";
  double value = 0;
  // A host may hold text that is no number yet (a lone "-"): it counts as 0 rather than raising
  // out of a key or mouse handler.
  if (!TryStrToFloat(text, value) || !std::isfinite(value)) return 0;
  return value;
}

void TqvCustomCalculator::SetDisplayValue(Extended X) {
  ChangeDisplayText(FloatToStrF(X, TFloatFormat::ffGeneral, std::max<Integer>(2, FPrecision), 0));
}

void TqvCustomCalculator::CopyToClipboard() { Clipboard()->SetAsText(DisplayText()); }

void TqvCustomCalculator::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const String text = Trim(StringReplace(Clipboard()->GetAsText(), FormatSettings().CurrencyString, ""));
  double value = 0;
  if (text.empty() || !TryStrToFloat(text, value) || !std::isfinite(value)) {
    SetDisplayValue(0);
    return;
  }
  SetDisplayValue(value);
  FState = TqvCalcState::Entering;
}

// ---------------------------------------------------------------------------------------------
// Engine

void TqvCustomCalculator::Beep() const {
  if (FBeepOnError) MessageBeep(0);
}

void TqvCustomCalculator::Error() {
  FState = TqvCalcState::Error;
  ChangeDisplayText(GetLocalizedResourceString(&sqvCalcError));
  Beep();
  if (OnError) OnError(this);
}

// Every computed value goes through here: an overflow or any other non-finite value is an error.
void TqvCustomCalculator::ShowResult(Extended X) {
  if (std::isfinite(X))
    SetDisplayValue(X);
  else
    Error();
}

// A new number starts after a result, and also over a number in exponent form (a recalled
// memory or a result of a pending operation), where typed digits would extend the exponent.
void TqvCustomCalculator::BeginEntry() {
  if (FState != TqvCalcState::Ready && !IsExponentText(DisplayText())) return;
  FState = TqvCalcState::Entering;
  ChangeDisplayText("0");
}

void TqvCustomCalculator::AppendDigit(char ADigit) {
  BeginEntry();
  String text = DisplayText();
  if (text == "0") text.clear();
  const Integer minusPos = Pos("-", text);
  if (Length(text) < minusPos + std::max<Integer>(2, FPrecision))
    ChangeDisplayText(text + ADigit);
  else
    Beep();
}

void TqvCustomCalculator::BackSpace() {
  BeginEntry();
  const String text = DisplayText();
  if (text.size() <= 1 || (text.size() == 2 && text[0] == '-'))
    ChangeDisplayText("0");
  else
    ChangeDisplayText(text.substr(0, text.size() - 1));
}

void TqvCustomCalculator::ApplyUnary(TqvCalcButtonKind AButton) {
  FState = IsArithmeticOperation(FPendingOperation) ? TqvCalcState::Entering : TqvCalcState::Ready;
  const Extended x = GetDisplayValue();
  if (AButton == cbSqrt) {
    if (x < 0)
      Error();
    else
      ShowResult(std::sqrt(x));
  } else if (x == 0) {
    Error();
  } else {
    ShowResult(1 / x);
  }
}

void TqvCustomCalculator::ApplyOperation(TqvCalcButtonKind AButton) {
  if (FState == TqvCalcState::Entering) {
    FState = TqvCalcState::Ready;
    Extended x = GetDisplayValue();
    if (AButton == cbPercent) {
      if (FPendingOperation == cbDiv || FPendingOperation == cbMul)
        x = x / 100;
      else if (FPendingOperation == cbSub || FPendingOperation == cbAdd)
        x = FOperand * x / 100;
    }
    switch (FPendingOperation) {
      case cbDiv:
        if (x == 0) {
          Error();
          return;
        }
        ShowResult(FOperand / x);
        break;
      case cbMul: ShowResult(FOperand * x); break;
      case cbSub: ShowResult(FOperand - x); break;
      case cbAdd: ShowResult(FOperand + x); break;
      default: break;
    }
    if (FState == TqvCalcState::Error) return;
  }
  FPendingOperation = AButton;
  FOperand = GetDisplayValue();
  if ((AButton == cbPercent || AButton == cbEqual) && OnResult) OnResult(this);
}

void TqvCustomCalculator::MemoryOperation(TqvCalcButtonKind AButton) {
  switch (AButton) {
    case cbMS:
      FState = TqvCalcState::Ready;
      FMemory = GetDisplayValue();
      break;
    case cbMP: {
      FState = TqvCalcState::Ready;
      const Extended sum = FMemory + GetDisplayValue();
      if (!std::isfinite(sum)) {
        Error();
        return;
      }
      FMemory = sum;
      break;
    }
    case cbMR:
      FState = TqvCalcState::Ready;
      BeginEntry();
      SetDisplayValue(FMemory);
      return;
    default: FMemory = 0; break;
  }
  UpdateMemoryButtons();
}

void TqvCustomCalculator::ButtonClick(TqvCalcButtonKind AButton) {
  if (OnButtonClick) {
    TAliveToken alive = AliveToken();
    OnButtonClick(this, AButton);
    if (!alive) return;
  }
  if (AButton >= cbNone) return;
  if (FState == TqvCalcState::Error && AButton != cbCancel && AButton != cbClear) {
    Error();
    return;
  }
  if (AButton == cbDecimal) {
    BeginEntry();
    const String text = DisplayText();
    if (text.find(FormatSettings().DecimalSeparator) == String::npos)
      ChangeDisplayText(text + FormatSettings().DecimalSeparator);
  } else if (IsDigitButton(AButton)) {
    AppendDigit(char('0' + (AButton - cbNum0)));
  } else if (AButton == cbBack) {
    BackSpace();
  } else if (AButton == cbSign) {
    const Extended x = GetDisplayValue();
    SetDisplayValue(x == 0 ? 0 : -x);
  } else if (AButton == cbCancel || AButton == cbClear) {
    FState = TqvCalcState::Ready;
    SetDisplayValue(0);
    FPendingOperation = cbEqual;
  } else if (AButton == cbSqrt || AButton == cbRev) {
    ApplyUnary(AButton);
  } else if (IsMemoryButton(AButton)) {
    MemoryOperation(AButton);
  } else {
    ApplyOperation(AButton);
  }
}

void TqvCustomCalculator::UpdateMemoryButtons() {
  FButtons[cbMC].Disabled = FMemory == 0;
  FButtons[cbMR].Disabled = FMemory == 0;
  InvalidateButton(cbMC);
  InvalidateButton(cbMR);
}

// ---------------------------------------------------------------------------------------------
// Layout and sizing

void TqvCustomCalculator::LayoutButtons() {
  const Integer W = FButtonWidth, H = FButtonHeight, Gh = FHorzGap, Gv = FVertGap;
  auto rowTop = [&](Integer r) { return r * (H + Gv) + Gv; };
  auto rowBottom = [&](Integer r) { return (r + 1) * (H + Gv); };
  for (Integer r = 1; r <= 4; ++r) FButtons[kMemoryColumn[r - 1]].Bounds = Rect(Gh, rowTop(r), Gh + W, rowBottom(r));
  const Integer x0 = W + 2 * Gh + 4;
  for (Integer r = 1; r <= 4; ++r)
    for (Integer c = 0; c < 5; ++c)
      FButtons[kMainBlock[r - 1][c]].Bounds = Rect(x0 + Gh + c * (W + Gh), rowTop(r), x0 + (c + 1) * (W + Gh), rowBottom(r));
  Integer right = FButtons[cbEqual].Bounds.Right;
  for (TqvCalcButtonKind kind : {cbClear, cbCancel, cbBack}) {
    FButtons[kind].Bounds = Rect(right - FWideButtonWidth, Gv, right, Gv + H);
    right -= FWideButtonWidth + Gv;
  }
}

// The largest button height from 22 up whose total height comes nearer to the room available.
Integer TqvCustomCalculator::SearchButtonHeight(Integer AClientWidth, Integer AClientHeight) const {
  const Integer available = std::min(AClientHeight, MulDiv(AClientWidth, kBaseClientHeight, kBaseClientWidth));
  Integer best = kBaseButtonHeight, bestDistance = available;
  for (Integer b = kBaseButtonHeight;; ++b) {
    const Integer total = 5 * b + 6 * MulDiv(b, kBaseGap, kBaseButtonHeight);
    const Integer distance = std::abs(total - available);
    if (distance >= bestDistance) break;
    best = b;
    bestDistance = distance;
  }
  return best;
}

void TqvCustomCalculator::CalcMetrics(Integer AClientWidth, Integer AClientHeight) {
  const Integer H = FAutoFontSize ? SearchButtonHeight(AClientWidth, AClientHeight)
                                  : 2 * GetCanvas()->FontHeight(GetFont());
  FButtonHeight = H;
  FButtonWidth = MulDiv(H, kBaseButtonWidth, kBaseButtonHeight);
  FHorzGap = FVertGap = MulDiv(H, kBaseGap, kBaseButtonHeight);
  FWideButtonWidth = MulDiv(FButtonWidth, 17, 10);
  FFontSize = MulDiv(H, kBaseFontSize, kBaseButtonHeight);
  FCalcHeight = 5 * H + 6 * FVertGap;
  FCalcWidth = 6 * FButtonWidth + 8 * FHorzGap + 4;
}

void TqvCustomCalculator::BoundsChanged() {
  inherited::BoundsChanged();
  if (FLayingOut) return;
  TValueScope layingOut(FLayingOut, true);
  CalcMetrics(GetClientWidth(), GetClientHeight());
  LayoutButtons();
  SetClientSize({FCalcWidth, FCalcHeight});
  Invalidate();
}

void TqvCustomCalculator::FontChanged() {
  if (!HasState(csLoading)) {
    SetParentFont(false);
    BoundsChanged();
  }
  inherited::FontChanged();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TqvCustomCalculator::InvalidateButton(TqvCalcButtonKind AKind) {
  if (AKind < cbNone && HandleAllocated()) InvalidateRect(FButtons[AKind].Bounds, false);
}

TqvButtonState TqvCustomCalculator::GetButtonState(const TqvCalcButton& AButton) {
  if (AButton.Disabled || !GetEnabled()) return qvbsDisabled;
  if (AButton.Pressed) return qvbsPressed;
  if (AButton.Kind == FHotButton && AButton.Kind != FDownButton) return qvbsHot;
  if (AButton.Kind == cbEqual && Focused()) return qvbsDefault;
  return qvbsNormal;
}

void TqvCustomCalculator::DrawCalcButton(TqvCanvas* ACanvas, const TqvCalcButton& AButton) {
  const TqvButtonState state = GetButtonState(AButton);
  GetPainter()->DrawButton(ACanvas, AButton.Bounds, "", state);
  TRect textBounds = AButton.Bounds;
  if (state == qvbsPressed) {
    const Integer shift = GetPainter()->GetPressedButtonTextShift();
    textBounds = qvOffsetRect(textBounds, shift, shift);
  }
  ACanvas->GetFont()->SetColor(AButton.Color);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawText(AButton.Caption, textBounds, tfHCenter | tfVCenter | tfSingleLine | tfShowPrefix,
                    state != qvbsDisabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  if (AButton.Kind == cbEqual && FShowFocusRect && Focused())
    ACanvas->DrawFocusRect(qvDeflatedRect(AButton.Bounds, kFocusRectInset));
}

void TqvCustomCalculator::Paint() {
  inherited::Paint();
  TqvCanvas* canvas = GetCanvas();
  canvas->SetBrushColor(GetColor());
  canvas->FillRect(GetClientRect());
  canvas->SetFont(GetFont());
  if (FAutoFontSize) {
    canvas->GetFont()->SetSize(FFontSize);
    canvas->GetFont()->SetStyle(FFontSize >= kBoldFontSize ? TFontStyles(fsBold) : 0);
  }
  for (const TqvCalcButton& button : FButtons) DrawCalcButton(canvas, button);
}

void TqvCustomCalculator::FocusChanged() {
  inherited::FocusChanged();
  InvalidateButton(cbEqual);
}

void TqvCustomCalculator::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
  if (Message.Msg == CM_ENABLEDCHANGED) Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void TqvCustomCalculator::SetButtonPressed(TqvCalcButtonKind AKind, bool APressed) {
  if (AKind >= cbNone || FButtons[AKind].Pressed == APressed) return;
  FButtons[AKind].Pressed = APressed;
  InvalidateButton(AKind);
  if (HandleAllocated()) Update();
}

void TqvCustomCalculator::ReleaseKeyButton() {
  SetButtonPressed(FKeyDownButton, false);
  FKeyDownButton = cbNone;
}

void TqvCustomCalculator::PressKeyButton(TqvCalcButtonKind AKind) {
  if (AKind == cbNone || AKind == FKeyDownButton) return;
  ReleaseKeyButton();
  FKeyDownButton = AKind;
  SetButtonPressed(AKind, true);
  if (AKind != cbBack) ButtonClick(AKind);
}

void TqvCustomCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (alive) PressKeyButton(KeyToButton(Key, Shift));
}

void TqvCustomCalculator::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  inherited::KeyPress(Key);
  if (!alive) return;
  if (Key == kPasteChar) {
    PasteFromClipboard();
  } else if (Key == kCopyChar) {
    CopyToClipboard();
  } else if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
    // Ctrl makes control characters of letters (Ctrl+M is a carriage return); those are the
    // memory keys of key down, not characters.
    return;
  }
  const TqvCalcButtonKind button = CharToButton(Key);
  if (button == cbBack && FKeyDownButton == cbBack)
    ButtonClick(cbBack);
  else
    PressKeyButton(button);
}

void TqvCustomCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyUp(Key, Shift);
  if (alive) ReleaseKeyButton();
}

// ---------------------------------------------------------------------------------------------
// Mouse

TqvCalcButtonKind TqvCustomCalculator::ButtonAt(TPoint P) const {
  for (const TqvCalcButton& button : FButtons)
    if (button.Bounds.Contains(P)) return button.Kind;
  return cbNone;
}

bool TqvCustomCalculator::FocusOnClick() { return !FIsPopup && inherited::FocusOnClick(); }

void TqvCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  const TqvCalcButtonKind kind = ButtonAt({X, Y});
  if (kind == cbNone || FButtons[kind].Disabled) return;
  SetMouseCapture(true);
  FTracking = true;
  FDownButton = kind;
  SetButtonPressed(kind, true);
}

void TqvCustomCalculator::SetHotButton(TqvCalcButtonKind AKind) {
  if (FHotButton == AKind) return;
  const TqvCalcButtonKind old = FHotButton;
  FHotButton = AKind;
  for (TqvCalcButtonKind kind : {old, AKind})
    if (kind != cbNone && !FButtons[kind].Disabled) InvalidateButton(kind);
}

void TqvCustomCalculator::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  const TqvCalcButtonKind kind = ButtonAt({X, Y});
  if (FTracking)
    SetButtonPressed(FDownButton, kind == FDownButton);
  else if (GetPainter()->HasButtonHotTrack() && GetEnabled() && !Dragging())
    SetHotButton(kind);
}

void TqvCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || !FTracking) return;
  FTracking = false;
  const TqvCalcButtonKind kind = FDownButton;
  const bool click = kind != cbNone && FButtons[kind].Pressed && Button == mbLeft;
  SetButtonPressed(kind, false);
  SetMouseCapture(false);
  FDownButton = cbNone;
  if (click) ButtonClick(kind);
}

void TqvCustomCalculator::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  SetHotButton(cbNone);
}
