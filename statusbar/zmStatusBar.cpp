// The status bar, its panels and the registry of panel style classes.
#include "statusbar/zmStatusBar.h"

#include "core/qvClasses.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/rtl/Classes.h"
#include "statusbar/zmOffice11.h"

QJ_IMPLEMENT_CLASS(TzmStatusBarPanelStyle)
QJ_IMPLEMENT_CLASS(TzmStatusBarPanel)
QJ_IMPLEMENT_CLASS(TzmStatusBarPanels)
QJ_IMPLEMENT_CLASS(TzmCustomStatusBar)
QJ_IMPLEMENT_CLASS(TzmStatusBar)

namespace {

const TResourceString szmTextPanelStyle{63500, "Text Panel"};
const TResourceString szmContainerPanelStyle{63501, "Container Panel"};
const TResourceString szmKeyboardStatePanelStyle{63502, "Keyboard State Panel"};
const TResourceString szmStateIndicatorPanelStyle{63503, "State Indicator Panel"};
const TResourceString szmCannotDeleteAncestorStyle{
    63504, "Selection contains a component introduced in an ancestor form which cannot be deleted"};

constexpr Integer kDefaultBarHeight = 20;
constexpr Integer kNoStyleMinWidth = 20;
constexpr Integer kDefaultPanelWidth = 50;
constexpr Integer kPanelBorderWidths = 2;   // the bevel's left and right pixel
constexpr Integer kGripHitMargin = 2;       // the grip answers this much beyond its own size

constexpr TComponentState kBarLoading = csLoading | csReading;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Panel style registry

TqvRegisteredClasses* GetRegisteredStatusBarPanelStyles() {
  static TqvRegisteredClasses registry(false);
  static const bool registered = [] {
    registry.Register(&TzmStatusBarTextPanelStyle::StaticClass(), GetLocalizedResourceString(&szmTextPanelStyle));
    registry.Register(&TzmStatusBarContainerPanelStyle::StaticClass(),
                      GetLocalizedResourceString(&szmContainerPanelStyle));
    registry.Register(&TzmStatusBarKeyboardStatePanelStyle::StaticClass(),
                      GetLocalizedResourceString(&szmKeyboardStatePanelStyle));
    registry.Register(&TzmStatusBarStateIndicatorPanelStyle::StaticClass(),
                      GetLocalizedResourceString(&szmStateIndicatorPanelStyle));
    RegisterClass(&TzmStatusBarContainerControl::StaticClass());
    return true;
  }();
  (void)registered;
  return &registry;
}

TzmStatusBarPanelStyleClass FindStatusBarPanelStyleClass(const String& AClassName) {
  if (AClassName.empty()) return nullptr;
  TClass found = GetRegisteredStatusBarPanelStyles()->FindByClassName(AClassName);
  if (!found || !found->InheritsFrom(&TzmStatusBarPanelStyle::StaticClass())) return nullptr;
  return static_cast<TzmStatusBarPanelStyleClass>(found);
}

// ---------------------------------------------------------------------------------------------
// Panel

TzmStatusBarPanel::TzmStatusBarPanel(TCollection* Collection) : TCollectionItem(Collection) {}

TzmStatusBarPanel::~TzmStatusBarPanel() = default;

void TzmStatusBarPanel::AfterConstruction() {
  inherited::AfterConstruction();
  TzmCustomStatusBar* bar = GetStatusBar();
  if (bar && bar->HasState(csDesigning) && !bar->HasState(kBarLoading))
    SetPanelStyleClass(bar->GetDefaultPanelStyleClass());
  ParentBiDiModeChanged();
}

void TzmStatusBarPanel::BeforeDestruction() {
  FPanelStyle.reset();  // while the panel still knows its bar
  inherited::BeforeDestruction();
}

void TzmStatusBarPanel::Assign(TPersistent* Source) {
  auto* source = As<TzmStatusBarPanel>(Source);
  if (!source) return inherited::Assign(Source);
  SetPanelStyleClass(source->FPanelStyleClass);
  if (source->FPanelStyle) SetPanelStyle(source->FPanelStyle.get());
  FBevel = source->FBevel;
  FBiDiMode = source->FBiDiMode;
  FParentBiDiMode = source->FParentBiDiMode;
  FFixed = source->FFixed;
  FMinWidth = source->FMinWidth;
  FMinWidthAssigned = source->FMinWidthAssigned;
  FText = source->FText;
  FVisible = source->FVisible;
  FWidth = source->FWidth;
  FWidthAssigned = source->FWidthAssigned;
  OnDrawPanel = source->OnDrawPanel;
  ParentBiDiModeChanged();
  Changed(false);
}

String TzmStatusBarPanel::GetDisplayName() const { return FText.empty() ? inherited::GetDisplayName() : FText; }

TzmCustomStatusBar* TzmStatusBarPanel::GetStatusBar() const {
  auto* panels = As<TzmStatusBarPanels>(GetCollection());
  return panels ? panels->GetStatusBar() : nullptr;
}

String TzmStatusBarPanel::GetPanelStyleClassName() const {
  return FPanelStyleClass ? FPanelStyleClass->ClassName() : String();
}

void TzmStatusBarPanel::SetPanelStyleClassName(const String& Value) {
  SetPanelStyleClass(FindStatusBarPanelStyleClass(Value));
}

void TzmStatusBarPanel::SetPanelStyleClass(TzmStatusBarPanelStyleClass Value) {
  if (Value == FPanelStyleClass) return;
  DestroyPanelStyle();
  FPanelStyleClass = Value;
  CreatePanelStyle();
}

void TzmStatusBarPanel::SetPanelStyle(TzmStatusBarPanelStyle* Value) {
  if (FPanelStyle && Value) FPanelStyle->Assign(Value);
}

void TzmStatusBarPanel::SetBevel(TzmStatusBarPanelBevel Value) {
  if (Value == FBevel) return;
  FBevel = Value;
  Changed(false);
}

void TzmStatusBarPanel::SetBiDiMode(TBiDiMode Value) {
  FParentBiDiMode = false;
  if (Value == FBiDiMode) return;
  FBiDiMode = Value;
  Changed(false);
}

void TzmStatusBarPanel::SetParentBiDiMode(bool Value) {
  if (Value == FParentBiDiMode) return;
  FParentBiDiMode = Value;
  ParentBiDiModeChanged();
}

void TzmStatusBarPanel::ParentBiDiModeChanged() {
  TzmCustomStatusBar* bar = GetStatusBar();
  if (!FParentBiDiMode || !bar || bar->GetBiDiMode() == FBiDiMode) return;
  FBiDiMode = bar->GetBiDiMode();
  Changed(false);
}

bool TzmStatusBarPanel::GetFixed() const { return !FPanelStyle || FPanelStyle->CanSizing() ? FFixed : true; }

void TzmStatusBarPanel::SetFixed(bool Value) {
  if (Value == FFixed) return;
  FFixed = Value;
  Changed(false);
}

Integer TzmStatusBarPanel::GetMinWidth() { return FMinWidthAssigned ? FMinWidth : GetDefaultMinWidth(); }

void TzmStatusBarPanel::SetMinWidth(Integer Value) {
  FMinWidth = std::max<Integer>(Value, 0);
  FMinWidthAssigned = true;
  if (GetWidth() < FMinWidth) SetWidth(FMinWidth);  // ignored for styles that do not size
  Changed(false);
}

void TzmStatusBarPanel::SetText(const String& Value) {
  if (Value == FText) return;
  FText = Value;
  Changed(false);
}

void TzmStatusBarPanel::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FPanelStyle) FPanelStyle->VisibleChanged();
  Changed(false);
}

Integer TzmStatusBarPanel::GetWidth() { return FWidthAssigned ? FWidth : GetDefaultWidth(); }

void TzmStatusBarPanel::SetWidth(Integer Value) {
  if (FPanelStyle && !FPanelStyle->CanSizing()) return;
  FWidth = std::max(Value, FMinWidth);
  FWidthAssigned = true;
  Changed(false);
}

void TzmStatusBarPanel::CreatePanelStyle() {
  if (FPanelStyleClass) FPanelStyle.reset(FPanelStyleClass->Create(this));
  Changed(false);
}

Integer TzmStatusBarPanel::GetDefaultMinWidth() {
  if (!FPanelStyle) return kNoStyleMinWidth;
  Integer result = FPanelStyle->GetMinWidth();
  if (!FPanelStyle->HasOwnBorders()) result += kPanelBorderWidths;
  TzmCustomStatusBar* bar = GetStatusBar();
  if (bar && IsLastPanel() && bar->IsSizeGripVisible()) result += bar->GetPainterClass()->GetSizeGripSize().cx;
  return result;
}

Integer TzmStatusBarPanel::GetDefaultWidth() {
  if (!FPanelStyle || FPanelStyle->CanSizing()) return kDefaultPanelWidth;
  return GetDefaultMinWidth();
}

void TzmStatusBarPanel::DestroyPanelStyle() {
  TzmCustomStatusBar* bar = GetStatusBar();
  if (FPanelStyle && bar && bar->HasState(csDesigning) &&
      !bar->HasState(kBarLoading | csDestroying | csAncestor) && !FPanelStyle->CanDelete())
    RaiseResourceError(&szmCannotDeleteAncestorStyle);
  FPanelStyle.reset();
}

void TzmStatusBarPanel::PanelStyleChanged() { Changed(false); }

bool TzmStatusBarPanel::IsLastPanel() const {
  const TCollection* panels = GetCollection();
  return panels && GetIndex() == panels->GetCount() - 1;
}

// ---------------------------------------------------------------------------------------------
// Panels

TzmStatusBarPanels::TzmStatusBarPanels(TzmCustomStatusBar* AStatusBar, TCollectionItemClass APanelClass)
    : TCollection(APanelClass), FStatusBar(AStatusBar) {}

TPersistent* TzmStatusBarPanels::GetOwner() { return FStatusBar; }

void TzmStatusBarPanels::Update(TCollectionItem*) {
  if (FStatusBar) FStatusBar->UpdatePanels();
}

// ---------------------------------------------------------------------------------------------
// Bar

TzmCustomStatusBar::TzmCustomStatusBar(TComponent* AOwner)
    : TqvControl(AOwner),
      FImageChangeLink(MakeOwned<TChangeLink>()),
      FThemeChangedNotificator(MakeOwned<TzmThemeChangedNotificator>()) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetAlign(alBottom);
  SetHeight(kDefaultBarHeight);
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChanged(Sender); };
  FThemeChangedNotificator->OnThemeChanged = [this] { ThemeChanged(); };
  zmOffice11::AddRef();
  FSchemeReferenced = true;
}

TzmCustomStatusBar::~TzmCustomStatusBar() {
  if (FSchemeReferenced) zmOffice11::Release();
  FPanels.reset();
}

void TzmCustomStatusBar::AfterConstruction() {
  inherited::AfterConstruction();
  FPanels = CreatePanels();
  InitPainterClass();
}

void TzmCustomStatusBar::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (FSchemeReferenced) zmOffice11::Release();
  FSchemeReferenced = false;
  // The styles go while the bar is whole: watchers stop, containers let go.
  if (FPanels) FPanels->Clear();
}

void TzmCustomStatusBar::SetPanels(TzmStatusBarPanels* Value) { FPanels->Assign(Value); }

void TzmCustomStatusBar::SetPaintStyle(TzmStatusBarPaintStyle Value) {
  if (Value == FPaintStyle) return;
  FPaintStyle = Value;
  UpdatePainter();
}

void TzmCustomStatusBar::SetSizeGrip(bool Value) {
  if (Value == FSizeGrip) return;
  FSizeGrip = Value;
  UpdatePanels();
}

void TzmCustomStatusBar::SetBorderWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  UpdatePanels();
}

void TzmCustomStatusBar::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  FImageChangeLink->SetSender(Value);
  if (FImages) FImages->FreeNotification(this);
  UpdatePanels();
}

TzmStatusBarContainerControl* TzmCustomStatusBar::FindContainer(const String& AName) const {
  for (Integer i = 0; i < GetControlCount(); ++i)
    if (auto* container = As<TzmStatusBarContainerControl>(GetControl(i)); container && SameText(container->GetName(), AName))
      return container;
  return nullptr;
}

bool TzmCustomStatusBar::ExecuteAction(TBasicAction* Action) {
  auto* hint = As<THintAction>(Action);
  TzmStatusBarPanel* panel = hint ? FindAutoHintPanel() : nullptr;
  if (!panel || DoHint()) return inherited::ExecuteAction(Action);
  panel->SetText(hint->GetHint());
  return true;
}

TzmStatusBarPanel* TzmCustomStatusBar::FindAutoHintPanel() const {
  for (Integer i = FPanels->GetCount() - 1; i >= 0; --i) {
    TzmStatusBarPanel* panel = FPanels->GetItem(i);
    if (auto* text = As<TzmStatusBarTextPanelStyle>(panel->GetPanelStyle()); text && text->GetAutoHint()) return panel;
  }
  return nullptr;
}

TzmStatusBarPanel* TzmCustomStatusBar::CreatePanel() { return FPanels->Add(); }

TOwned<TzmStatusBarPanels> TzmCustomStatusBar::CreatePanels() {
  return MakeOwned<TzmStatusBarPanels>(this, GetPanelClass());
}

bool TzmCustomStatusBar::DoHint() {
  if (!OnHint) return false;
  OnHint(this);
  return true;
}

TzmStatusBarPanelStyleClass TzmCustomStatusBar::GetDefaultPanelStyleClass() const {
  return &TzmStatusBarTextPanelStyle::StaticClass();
}

TzmStatusBarPaintStyle TzmCustomStatusBar::GetPaintStyle() const {
  if (FPaintStyle != stpsUseLookAndFeel) return FPaintStyle;
  if (GetLookAndFeel()->GetNativeStyle() && FThemeAvailable) return stpsXP;
  return GetLookAndFeel()->GetKind() == lfUltraFlat ? stpsFlat : stpsStandard;
}

TCollectionItemClass TzmCustomStatusBar::GetPanelClass() const { return &TzmStatusBarPanel::StaticClass(); }

void TzmCustomStatusBar::InitPainterClass() {
  FThemeAvailable = AreThemesAvailable(ThemeClassMask(totStatus));
  switch (GetPaintStyle()) {
    case stpsFlat: FPainterClass = TzmStatusBarFlatPainter::Class(); break;
    case stpsXP:
      FPainterClass = FThemeAvailable ? TzmStatusBarXPPainter::Class() : TzmStatusBarStandardPainter::Class();
      break;
    case stpsOffice11: FPainterClass = TzmStatusBarOffice11Painter::Class(); break;
    case stpsStandard:
    case stpsUseLookAndFeel: FPainterClass = TzmStatusBarStandardPainter::Class(); break;
  }
}

void TzmCustomStatusBar::UpdatePainter() {
  InitPainterClass();
  UpdatePanels();
}

bool TzmCustomStatusBar::IsSizeGripVisible() {
  if (!FSizeGrip) return false;
  TCustomForm* form = GetParentForm(this);
  if (!form || form->GetWindowState() != wsNormal) return false;
  if (form->GetBorderStyle() != bsSizeable && form->GetBorderStyle() != bsSizeToolWin) return false;
  const TPoint corner = form->ScreenToClient(ClientToScreen(GetClientRect().BottomRight()));
  return corner == form->GetClientRect().BottomRight();
}

void TzmCustomStatusBar::ThemeChanged() { UpdatePainter(); }

void TzmCustomStatusBar::UpdatePanels() {
  if (!IsDestroying()) Invalidate();
}

void TzmCustomStatusBar::LookAndFeelChanged(TqvLookAndFeel*, TqvLookAndFeelValues) { UpdatePainter(); }

void TzmCustomStatusBar::FontChanged() {
  inherited::FontChanged();
  for (Integer i = 0; FPanels && i < FPanels->GetCount(); ++i)
    if (TzmStatusBarPanelStyle* style = FPanels->GetItem(i)->GetPanelStyle()) style->ParentFontChanged();
}

std::vector<TzmStatusBarPanelWidthRule> TzmCustomStatusBar::GetPanelWidthRules() {
  std::vector<TzmStatusBarPanelWidthRule> rules;
  for (Integer i = 0; i < FPanels->GetCount(); ++i) {
    TzmStatusBarPanel* panel = FPanels->GetItem(i);
    rules.push_back({panel->GetMinWidth(), panel->GetWidth(), panel->GetFixed()});
  }
  return rules;
}

void TzmCustomStatusBar::Paint() {
  inherited::Paint();
  TqvCanvas* canvas = GetCanvas();
  const TzmStatusBarPainterClass painter = FPainterClass;
  TRect r = GetClientBounds();
  painter->DrawBorder(this, canvas, r);
  if (FPanels->GetCount() == 0) {
    painter->DrawEmptyPanel(this, canvas, r);
  } else {
    const std::vector<Integer> widths = CalculatePanelWidths(GetPanelWidthRules(), painter->GetSeparatorSize(), r.Width());
    Integer x = r.Left;
    for (size_t i = 0; i < widths.size(); ++i) {
      const TRect item{x, r.Top, x + widths[i], r.Bottom};
      if (i % 2 == 0)
        painter->DrawPanel(this, FPanels->GetItem(Integer(i / 2)), item, canvas);
      else
        painter->DrawPanelSeparator(this, canvas, item);
      x = item.Right;
    }
  }
  if (IsSizeGripVisible()) painter->DrawSizeGrip(this, canvas, GetClientBounds());
}

void TzmCustomStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case CM_BIDIMODECHANGED:
      inherited::Dispatch(Message);
      BiDiModeChanged();
      return;
    case WM_SYSCOLORCHANGE:
    case CM_SYSCOLORCHANGE:
      zmOffice11::Refresh();
      inherited::Dispatch(Message);
      UpdatePanels();
      return;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_PARENTFONTCHANGED:
    case WM_SETTINGCHANGE:
    case CM_WININICHANGE:
    case WM_SIZE:
      inherited::Dispatch(Message);
      UpdatePanels();
      return;
    default: inherited::Dispatch(Message);
  }
}

void TzmCustomStatusBar::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    UpdatePanels();
  }
}

void TzmCustomStatusBar::WMNCHitTest(TMessage& Message) {
  inherited::Dispatch(Message);
  if (IsDesigning() || !IsSizeGripVisible()) return;
  const TRect client = GetClientBounds();
  const TSize grip = FPainterClass->GetSizeGripSize();
  const TRect area{client.Right - grip.cx - kGripHitMargin, client.Bottom - grip.cy - kGripHitMargin, client.Right,
                   client.Bottom};
  if (area.Contains(ScreenToClient({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)})))
    Message.Result = HTBOTTOMRIGHT;
}

void TzmCustomStatusBar::BiDiModeChanged() {
  for (Integer i = 0; FPanels && i < FPanels->GetCount(); ++i) FPanels->GetItem(i)->ParentBiDiModeChanged();
  UpdatePanels();
}

void TzmCustomStatusBar::ImageListChanged(TObject*) { UpdatePanels(); }
