// The text edit control: the three value forms kept in step, the text settings applied to the
// inner edit, keys, lookup navigation and completion while typing, selection and clipboard.
#include <algorithm>
#include <cstring>

#include "core/qvVariants.h"
#include "editors/qvEditPaintUtils.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/Clipbrd.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomTextEdit)
QJ_IMPLEMENT_CLASS(TqvTextEdit)

namespace {

using TClickLock = TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick>;

const TqvEditKindRegistration TextEditRegistration(&TqvTextEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextTextEdit);

// The text is single-byte: a character is a byte, so Length and a caret position count characters.
String FirstChars(const String& S, Integer ACount) { return S.substr(0, size_t(std::max(0, ACount))); }

}  // namespace

TqvCustomEditClass TqvCustomTextEditProperties::ContainerClass() { return &TqvTextEdit::StaticClass(); }

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomTextEdit::TqvCustomTextEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

TqvCustomTextEdit::~TqvCustomTextEdit() {
  if (FLookupData) FLookupData->SetOnSelectItem(nullptr);
  FLookupData.reset();
}

TqvCustomEditPropertiesClass TqvCustomTextEdit::PropertiesClass() { return &TqvCustomTextEditProperties::StaticClass(); }

TqvCustomEditPropertiesClass TqvTextEdit::PropertiesClass() { return &TqvTextEditProperties::StaticClass(); }

void TqvCustomTextEdit::AfterConstruction() {
  {
    TValueScope constructing(FConstructing, true);
    inherited::AfterConstruction();
    SetBounds(GetLeft(), GetTop(), 121, 21);
    if (TqvCustomInnerTextEdit* inner = InnerTextEditControl()) inner->SetColor(clWindow);
    SetParentColor(false);
    if (TqvCustomTextEditLookupDataClass lookupClass = GetProperties()->GetLookupDataClass()) {
      FLookupData.reset(lookupClass->Create(this));
      FLookupData->SetOnSelectItem([this](TObject* Sender) { LookupDataChanged(Sender); });
    }
  }
  PropertiesChanged(GetActiveProperties());
}

void TqvCustomTextEdit::BeforeDestruction() {
  if (FLookupData) FLookupData->SetOnSelectItem(nullptr);
  inherited::BeforeDestruction();
}

IqvCustomInnerEdit* TqvCustomTextEdit::CreateInnerEdit() {
  TqvInnerEditClass innerClass = GetInnerEditClass();
  if (!innerClass) return nullptr;
  TComponent* control = innerClass->Create(this);
  if (auto* inner = As<TqvCustomInnerTextEdit>(control)) return inner->GetHelper();
  return dynamic_cast<IqvCustomInnerEdit*>(control);
}

TqvInnerEditClass TqvCustomTextEdit::GetInnerEditClass() const { return &TqvCustomInnerTextEdit::StaticClass(); }

TqvCustomInnerTextEdit* TqvCustomTextEdit::InnerTextEditControl() const {
  return GetInnerEdit() ? As<TqvCustomInnerTextEdit>(GetInnerEdit()->GetControl()) : nullptr;
}

IqvInnerTextEdit* TqvCustomTextEdit::GetInnerTextEdit() const {
  return dynamic_cast<IqvInnerTextEdit*>(GetInnerEdit());
}

void TqvCustomTextEdit::Loaded() {
  inherited::Loaded();
  RefreshContainerAtCursor(false);
}

// ---------------------------------------------------------------------------------------------
// Inner edit: appearance and placement

void TqvCustomTextEdit::AdjustInnerEditAppearance() {
  TqvCustomInnerTextEdit* inner = InnerTextEditControl();
  if (!inner || FConstructing || IsInnerEditUnavailable()) return;
  TLockSwitchScope<TqvInnerTextEditBase, &TqvInnerTextEditBase::LockBounds> locked(inner);
  TqvCustomTextEditViewInfo* viewInfo = GetViewInfo();
  inner->SetColor(viewInfo->BackgroundColor);
  if (TFont* font = GetStyle()->GetFont()) {
    TOwned<TFont> copy = MakeOwned<TFont>();
    copy->Assign(font);
    copy->SetColor(viewInfo->TextColor);
    inner->SetFont(copy.get());
  }
}

bool TqvCustomTextEdit::CanShowInnerEdit() {
  if (FForceHideInnerEdit) return false;
  if (FForceShowInnerEdit) return true;
  if (IsListEditingStyle(GetProperties()->GetEditingStyle()) || IsInnerEditUnavailable() || IsDesigning()) return false;
  return IsActiveControl() || GetProperties()->GetAlignment()->GetHorz() == taLeftJustify;
}

void TqvCustomTextEdit::SetInnerEditVisibilityOverride(bool AForceHidden, bool AForceShown) {
  FForceHideInnerEdit = AForceHidden;
  FForceShowInnerEdit = AForceShown;
}

void TqvCustomTextEdit::GetInnerControlRegion(const TRect& AClientRect, TWinControl* AControl, TRect& ARegion,
                                              bool& AHasRegion) {
  if (!CanShowInnerEdit()) {
    ARegion = TRect{};
    AHasRegion = true;
    return;
  }
  inherited::GetInnerControlRegion(AClientRect, AControl, ARegion, AHasRegion);
  TqvCustomTextEditViewInfo* viewInfo = GetViewInfo();
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  if (AHasRegion && !IsInplace() && viewInfo->GetNativeState() != 0 && viewInfo->ComboBoxStyle &&
      (style == esEdit || style == esEditList)) {
    --ARegion.Right;
    --ARegion.Bottom;
  }
}

void TqvCustomTextEdit::AdjustInnerEditPosition() {
  TqvCustomInnerTextEdit* inner = InnerTextEditControl();
  if (!inner || IsInnerEditUnavailable() || FAdjustingInnerEdit) return;
  TValueScope adjusting(FAdjustingInnerEdit, true, AliveToken());
  TqvCanvas* canvas = GetCanvas();
  canvas->SetFont(inner->GetFont());
  const Integer height = canvas->TextHeight("Wg");
  const TRect cr = GetViewInfo()->ClientRect;
  const bool themed = IsInplace() && GetViewInfo()->GetNativeState() != 0;
  Integer top = cr.Top + 1;
  switch (GetProperties()->GetAlignment()->GetVert()) {
    case taTopJustify: break;
    case taBottomJustify:
      top = cr.Bottom - height + 1 + (themed ? 1 : 0);
      top = std::max(top, cr.Top + 1);
      break;
    case taVCenter:
      top = cr.Top + (cr.Bottom - cr.Top - height + (themed ? 1 : 0)) / 2 + 1;
      if (IsInplace()) top = std::max(top, cr.Top + 1);
      break;
  }
  // Buttons on the left side move the text's start (the window region clips the right side).
  const TRect bounds{std::max(cr.Left, GetViewInfo()->InnerEditRect.Left) + 1, top, cr.Right, top + height};
  if (inner->GetBoundsRect() != bounds) inner->SetBoundsRect(bounds);
  TRect r = cr;
  if (IsInplace()) {
    ++r.Top;
    --r.Bottom;
  }
  AlignControls(inner, r);
}

bool TqvCustomTextEdit::RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) {
  if (!HandleAllocated() || IsDestroying()) return false;
  TAliveToken alive = AliveToken();
  const bool changed = inherited::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  if (!alive) return changed;
  if (changed) AdjustInnerEditAppearance();
  SetDoubleBuffered(!CanShowInnerEdit());
  return changed;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TqvCustomTextEdit::PropertiesChanged(TObject* Sender) {
  if (IsDestroying()) return;
  TAliveToken alive = AliveToken();
  TqvCustomTextEditProperties* properties = GetProperties();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (inner) inner->SetAlignment(properties->GetAssignedAlignment()->GetHorz());
  if (FLookupData) {
    FLookupData->PropertiesChanged();
    const TqvEditEditingStyle style = properties->GetEditingStyle();
    if (!FLookupUpdating && (HasPopupWindow() || style == esEditList || style == esFixedList))
      FLookupData->SynchronizeItemIndex();
  }
  if (!alive) return;
  if (!IsInnerEditUnavailable() && !CanShowInnerEdit()) UpdateDisplayedText();
  if (inner && !IsInnerEditUnavailable()) {
    inner->SetAlignment(properties->GetAlignment()->GetHorz());
    inner->SetAutoSelect(properties->GetAutoSelect() && !IsInplace());
    inner->SetCharCase(properties->GetCharCase());
    inner->SetEchoMode(properties->GetEchoMode());
    inner->SetHideSelection(properties->GetHideSelection());
    inner->SetMaxLength(properties->GetMaxLength());
    inner->SetOEMConvert(properties->GetOEMConvert());
    inner->SetReadOnly(properties->GetReadOnly());
    CheckEditorValueBounds();
    if (alive && !IsPosting()) CheckDisplayValue();
    if (alive) UpdateDisplayedText();
  }
  if (!alive) return;
  inherited::PropertiesChanged(Sender);
  if (alive && inner && !IsInnerEditUnavailable()) inner->GetControl()->Invalidate();
}

void TqvCustomTextEdit::CheckEditorValueBounds() {
  TqvCustomTextEditProperties* properties = GetProperties();
  if (GetDataBinding()->IsDesigning() && properties->SupportsValueBounds() && !IsInnerEditUnavailable() &&
      properties->GetMinValue() != properties->GetMaxValue())
    CheckEditValueBounds();
}

void TqvCustomTextEdit::CheckDisplayValue() {
  if (IsInnerEditUnavailable()) return;
  TqvCustomTextEditProperties* properties = GetProperties();
  const TqvEditEditingStyle style = properties->GetEditingStyle();
  if (style == esEditList || style == esFixedList) {
    if (GetModifiedAfterEnter()) {
      String text;
      GetDisplayValue(text);
      Variant value = text;
      if (!properties->IsDisplayValueValid(value, true)) {
        TModifiedStateScope saved(this);
        GetDataBinding()->SetDisplayText(properties->GetDefaultDisplayValue());
      }
    } else {
      SynchronizeDisplayValue();
    }
  } else if (!GetModifiedAfterEnter()) {
    GetDataBinding()->UpdateDisplayValue();
  }
  if (!CanShowInnerEdit()) UpdateDisplayedText();
}

// ---------------------------------------------------------------------------------------------
// Values

void TqvCustomTextEdit::GetDisplayValue(String& AText) {
  AText.clear();
  if (IqvCustomInnerEdit* inner = GetInnerEdit()) AText = VarToStr(inner->GetEditValue());
}

String TqvCustomTextEdit::InternalGetText() {
  String text;
  GetDisplayValue(text);
  return text;
}

bool TqvCustomTextEdit::InternalSetText(const String& AText) { return TrySetDisplayText(AText); }

void TqvCustomTextEdit::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  AEditValue = ADisplayValue;
}

void TqvCustomTextEdit::SetInnerEditValue(const Variant& Value) {
  if (IqvCustomInnerEdit* inner = GetInnerEdit()) inner->SetEditValue(Value);
}

void TqvCustomTextEdit::LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) {
  DisplayToEditValue(FLookupData ? FLookupData->GetDisplayText(AKey) : String(), AEditValue, false);
}

bool TqvCustomTextEdit::TrySetDisplayText(const String& AText) {
  Variant value = AText.substr(0, AText.find('\0'));
  if (!GetProperties()->IsDisplayValueValid(value, IsEditFocused())) return false;
  if (IsUserChange() && !DoEditing()) return false;
  InternalSetDisplayValue(value);
  return true;
}

void TqvCustomTextEdit::InternalSetDisplayValue(const Variant& Value) {
  TAliveToken alive = AliveToken();
  GetDataBinding()->SetDisplayText(Value);
  if (!alive || IsUserChange()) return;
  ResetFindSelection();
  SynchronizeEditValue();
  if (alive) SetEditModified(false);
}

void TqvCustomTextEdit::SetValidatedDisplayValue(const Variant& Value) {
  const bool findSelection = FFindSelection;
  TAliveToken alive = AliveToken();
  TFinally restore([&] {
    if (alive) FFindSelection = findSelection;
  });
  if (FLookupData && GetProperties()->GetEditingStyle() == esEdit && !FLookupData->ContainsText(VarToStr(Value)))
    GetProperties()->DoNewLookupDisplayText(this, VarToStr(Value));
  if (alive) inherited::SetValidatedDisplayValue(Value);
}

void TqvCustomTextEdit::SynchronizeDisplayValue() {
  TqvCustomTextEditProperties* properties = GetProperties();
  const bool focused = IsEditFocused();
  Variant displayValue;
  if (properties->CanValidate()) {
    Variant value = GetEditValue();
    const bool valid = properties->IsEditValueValid(value, focused);
    if (focused || valid) {
      if (valid)
        properties->PrepareDisplayValue(GetEditValue(), displayValue, focused);
      else
        displayValue = properties->GetDefaultDisplayValue();
    } else {
      try {
        displayValue = VarIsDateEx(GetEditValue()) ? DateTimeToStr(VarToDateTime(GetEditValue()))
                                                   : VarToStr(GetEditValue());
      } catch (const std::exception& E) {
        if (!IsVariantConversionError(E)) throw;
        displayValue = String();
      }
    }
  } else {
    properties->PrepareDisplayValue(GetEditValue(), displayValue, focused);
  }
  TAliveToken alive = AliveToken();
  {
    TModifiedStateScope saved(this);
    GetDataBinding()->SetDisplayText(displayValue);
  }
  if (!alive) return;
  ResetFindSelection();
  if (alive) UpdateDisplayedText();
}

void TqvCustomTextEdit::SynchronizeEditValue() {
  TqvCustomTextEditProperties* properties = GetProperties();
  const bool compare = properties->CanCompareEditValue();
  const Variant old = compare ? GetEditValue() : Variant();
  String text;
  GetDisplayValue(text);
  Variant value;
  DisplayToEditValue(text, value, IsEditFocused());
  AssignEditValue(value);
  const bool changed = compare && !VarEqualsExact(old, value);
  if (IsUserChange())
    SetModifiedAfterEnter(true);
  else
    SetEditModified(false);
  if (!changed) return;
  TAliveToken alive = AliveToken();
  DoEditValueChanged();
  if (alive && !properties->IsValueChangeNotifiedByText()) DoChange();
}

void TqvCustomTextEdit::InnerEditChange(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::InnerEditChange(Sender);
  if (alive && !GetViewInfo()->IsInnerEditShown) UpdateDisplayedText();
}

void TqvCustomTextEdit::UpdateDisplayedText() {
  if (IsDestroying() || !GetViewInfo()) return;
  {
    TOwned<TqvCustomEditViewData> viewData = CreateViewData();
    String text;
    GetDisplayValue(text);
    static_cast<TqvCustomTextEditViewData*>(viewData.get())->DisplayValueToDrawText(text, GetViewInfo());
  }
  if (!HandleAllocated()) return;
  CalculateViewInfoAtCursor();
  CalculateFindSelection();
  InvalidateRect(Rect(0, 0, GetWidth(), GetHeight()), false);
}

void TqvCustomTextEdit::CalculateFindSelection() {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  if (!IsListEditingStyle(style)) return;
  TqvCustomTextEditViewInfo* viewInfo = GetViewInfo();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (style == esNoEdit || !FFindSelection || !GetProperties()->GetIncrementalSearch() || !inner) {
    viewInfo->SelLength = 0;
    return;
  }
  if (viewInfo->DrawSelected) {
    viewInfo->SelStart = 0;
    viewInfo->SelLength = std::max(0, Length(viewInfo->Text) - inner->GetSelLength());
    viewInfo->SelTextColor = clHighlight;
    viewInfo->SelBackgroundColor = clHighlightText;
  } else {
    viewInfo->SelStart = inner->GetSelStart();
    viewInfo->SelLength = inner->GetSelLength();
    viewInfo->SelTextColor = clHighlightText;
    viewInfo->SelBackgroundColor = clHighlight;
  }
  viewInfo->RowsValid = false;
}

void TqvCustomTextEdit::SetFindSelection(bool AValue) {
  if (!HandleAllocated() || AValue == FFindSelection) {
    FFindSelection = AValue;
    return;
  }
  FFindSelection = AValue;
  CalculateViewInfoAtCursor();
  UpdateDisplayedText();
}

void TqvCustomTextEdit::ResetFindSelection() {
  if (GetProperties()->UseLookupData()) SetFindSelection(false);
}

// ---------------------------------------------------------------------------------------------
// Editing state and keys

bool TqvCustomTextEdit::CanStartEditing() { return GetProperties()->GetEditingStyle() != esNoEdit; }

bool TqvCustomTextEdit::IsValidChar(char AChar) {
  return inherited::IsValidChar(AChar) || GetProperties()->GetValidChars().test(static_cast<unsigned char>(AChar));
}

bool TqvCustomTextEdit::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  if (inherited::CanKeyDownModifyEdit(Key, Shift) || Key == VK_BACK || Key == VK_DELETE) return true;
  if (!FLookupData || FLookupData->IsEmpty() || !CanSynchronizeLookupData(false)) return false;
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT: return !HasPopupWindow();
    case VK_UP:
    case VK_DOWN: return !HasPopupWindow() && !(Shift & ssAlt);
    default: return false;
  }
}

bool TqvCustomTextEdit::CanKeyPressModifyEdit(char Key) {
  const auto c = static_cast<unsigned char>(Key);
  return c == 8 || c == 22 || c == 24 || c >= 32;
}

TqvEditSizeProperties TqvCustomTextEdit::GetAutoSizeConstraints() {
  TqvEditSizeProperties size = inherited::GetAutoSizeConstraints();
  if (GetViewInfo()) {
    size.MaxLineCount = 1;
    size.Width = 0;
  }
  return size;
}

void TqvCustomTextEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  TqvCustomTextEditProperties* properties = GetProperties();
  const TqvEditEditingStyle style = properties->GetEditingStyle();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (style == esFixedList && (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
    SetFindSelection(false);
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    if (alive && inner) inner->SetKeyHandled(true);
    return;
  }
  if (inner) inner->SetKeyHandled(true);
  const bool findSelection = FFindSelection;
  const Word originalKey = Key;
  inherited::DoEditKeyDown(Key, Shift);
  if (!alive) return;
  if (originalKey == VK_RETURN && findSelection) SelectAll();
  if (!alive) return;
  const bool navigationKey = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    if (!(Shift & ssShift) && inner && inner->GetSelLength() > 0) {
      const Integer caret = Key == VK_LEFT ? inner->GetSelStart() : inner->GetSelStart() + inner->GetSelLength();
      inner->SetSelStart(caret);
      inner->SetSelLength(0);
      Key = 0;
    }
    SetFindSelection(false);
  } else if (navigationKey || ((Key == VK_HOME || Key == VK_END) && style == esFixedList)) {
    if (properties->UseLookupData() && FLookupData && CanSynchronizeLookupData(false) && !FLookupData->IsEmpty()) {
      NavigateLookup(Key, Shift);
      Key = 0;
    } else if (navigationKey && !(inner && inner->IsMultiLine())) {
      DoAfterKeyDown(Key, Shift);
      Key = 0;
    }
  } else if (Key == VK_DELETE) {
    if (style == esEditList) {
      DoAfterKeyDown(Key, Shift);
      Key = 0;
    } else {
      SetFindSelection(false);
    }
  }
  if (!alive) return;
  if (Key == VK_END && style != esFixedList && inner && inner->GetSelLength() == 0) SetFindSelection(false);
  if (Key != 0 && inner) inner->SetKeyHandled(false);
}

void TqvCustomTextEdit::NavigateLookup(Word Key, TShiftState Shift) {
  const Variant oldKey = FLookupData->GetCurrentKey();
  TqvEditLookupDirection direction = eldNext;
  switch (Key) {
    case VK_PRIOR: direction = (Shift & ssCtrl) ? eldFirst : eldPageUp; break;
    case VK_NEXT: direction = (Shift & ssCtrl) ? eldLast : eldPageDown; break;
    case VK_END: direction = eldLast; break;
    case VK_HOME: direction = eldFirst; break;
    case VK_UP: direction = eldPrev; break;
    default: direction = eldNext; break;
  }
  TAliveToken alive = AliveToken();
  {
    TClickLock locked(this);
    FLookupData->Go(direction, false);
  }
  if (!alive || VarEqualsBooleanAware(oldKey, FLookupData->GetCurrentKey())) return;
  ModifiedByLookup();
  if (alive) PostByLookup();
}

void TqvCustomTextEdit::ModifiedByLookup() {
  SetModifiedAfterEnter(true);
  if (!IsClickLocked()) Click();
}

void TqvCustomTextEdit::PostByLookup() {
  TAliveToken alive = AliveToken();
  TChangeEventsScope locked(this);
  if (CanPostEditValue() && GetProperties()->GetImmediatePost() && ValidateEdit(true) && alive) {
    TValueScope posting(FPostingFromLookup, true, alive);
    PostEditValue();
  }
}

bool TqvCustomTextEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  TAliveToken alive = AliveToken();
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!alive) return false;
  const bool handled = CanSynchronizeLookupData(true) && !HasPopupWindow() && GetProperties()->UseLookupData() &&
                       FLookupData && !FLookupData->IsEmpty() && CanUseMouseWheel(Shift);
  if (!handled || !DoEditing() || !alive) return handled;
  const Variant oldKey = FLookupData->GetCurrentKey();
  TChangeEventsScope locked(this);
  {
    TClickLock clickLock(this);
    FLookupData->Go(WheelDelta > 0 ? eldPrev : eldNext, false);
  }
  if (alive && !VarEqualsBooleanAware(oldKey, FLookupData->GetCurrentKey())) {
    ModifiedByLookup();
    if (alive && CanPostEditValue() && GetProperties()->GetImmediatePost() && ValidateEdit(true) && alive) {
      TValueScope posting(FPostingFromLookup, true, alive);
      PostEditValue();
    }
  }
  return true;
}

void TqvCustomTextEdit::LookupDataChanged(TObject*) {
  Variant value;
  LookupKeyToEditValue(FLookupData->GetCurrentKey(), value);
  const bool changed = !VarEqualsBooleanAware(value, GetEditValue());
  if (changed && !DoEditing()) return;
  TAliveToken alive = AliveToken();
  {
    TModifiedStateScope saved(this);
    SetEditValue(value);
  }
  if (!alive) return;
  if (changed) SetModifiedAfterEnter(true);
  SelectAll();
  if (alive) RefreshContainerAtCursor(false);
}

// ---------------------------------------------------------------------------------------------
// Completion while typing

bool TqvCustomTextEdit::CanCompleteByLookup() {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  if (style == esEditList || style == esFixedList) return true;
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return false;
  const Integer selLength = inner->GetSelLength();
  return (selLength == 0 && inner->GetSelStart() == Length(InternalGetText())) || FFindSelection || selLength > 0;
}

bool TqvCustomTextEdit::LocateAndComplete(String& S) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  String text = S;
  const char trail = inner ? inner->GetPendingTrailByte() : '\0';
  if (trail != '\0') text += trail;
  String tail;
  const bool found = FLookupData->Locate(text, tail, false);
  if (found) {
    S = text;
    if (trail != '\0' && !S.empty()) {
      tail.insert(tail.begin(), S.back());
      S.pop_back();
    }
  }
  FFindSelection = found;
  TAliveToken alive = AliveToken();
  if (S.empty()) {
    if (GetProperties()->GetEditingStyle() != esFixedList) InternalSetDisplayValue(String());
    FFindSelection = false;
  }
  if (!alive) return found;
  if (found) {
    GetDataBinding()->SetDisplayText(S + tail);
    if (!alive) return found;
    if (inner) {
      inner->SetSelStart(Length(S));
      inner->SetSelLength(Length(tail));
    }
  }
  UpdateDisplayedText();
  return found;
}

void TqvCustomTextEdit::DoEditKeyPress(char& Key) {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (inner) inner->SetKeyHandled(true);
  TAliveToken alive = AliveToken();
  inherited::DoEditKeyPress(Key);
  if (!alive || Key == 0) return;
  FLookupUpdating = false;
  TqvCustomTextEditProperties* properties = GetProperties();
  const TqvEditEditingStyle style = properties->GetEditingStyle();
  const bool useLookup = properties->UseLookupData() && FLookupData;
  const Integer oldKey = useLookup ? FLookupData->GetItemIndex() : -1;
  const bool wasFound = FFindSelection;
  bool found = false;
  {
    TValueScope userChange(UserChangeFlag(), true, alive);
    if (style == esFixedList && Key == '\b' && !properties->GetIncrementalSearch()) {
      Key = 0;
      SetFindSelection(false);
    }
    {
      TClickLock clickLock(this);
      const String text = InternalGetText();
      const auto c = static_cast<unsigned char>(Key);
      if (Key == '\b' && useLookup) {
        if (style == esEditList && !text.empty() && !FFindSelection && inner) {
          const Integer caret = inner->GetSelStart();
          inner->SetSelStart(caret);
          inner->SetSelLength(Length(text) - caret);
          FFindSelection = true;
        }
        if (FFindSelection && inner) {
          String s = FirstChars(text, inner->GetSelStart());
          if (!s.empty()) s.pop_back();
          FLookupUpdating = true;
          found = LocateAndComplete(s);
        }
        if (style == esFixedList) Key = 0;
      } else if (c >= 32 && useLookup && inner) {
        if (CanCompleteByLookup()) {
          const Integer selStart = inner->GetSelStart(), selLength = inner->GetSelLength();
          String s;
          if (selLength > 0)
            s = FirstChars(text, selStart) + Key;
          else if (style == esFixedList)
            s = String(1, Key);
          else
            s = FirstChars(text, selStart) + Key + text.substr(size_t(std::min(selStart, Length(text))));
          FLookupUpdating = true;
          found = LocateAndComplete(s);
          if (alive && style == esFixedList && !properties->GetIncrementalSearch() && !found) {
            s = String(1, Key);
            found = LocateAndComplete(s);
          }
        }
        if (alive && (style == esEditList || style == esFixedList) && !found) {
          Key = 0;
          if (style == esEditList && !InternalGetText().empty()) FFindSelection = true;
          if (style == esFixedList && properties->GetIncrementalSearch() && wasFound) FFindSelection = true;
        }
      }
    }
  }
  if (!alive) return;
  if (useLookup && FLookupData->GetItemIndex() != oldKey) {
    ModifiedByLookup();
    if (!alive) return;
    TChangeEventsScope locked(this);
    if (found && CanPostEditValue() && properties->GetImmediatePost() && ValidateEdit(true) && alive) {
      const bool findSelection = FFindSelection;
      {
        TValueScope posting(FPostingFromLookup, true, alive);
        PostEditValue();
      }
      if (alive) FFindSelection = findSelection;
    }
  }
  if (!alive) return;
  if (found) Key = 0;
  if (Key != 0 && inner) inner->SetKeyHandled(false);
}

// ---------------------------------------------------------------------------------------------
// Selection and clipboard

Integer TqvCustomTextEdit::GetSelStart() {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || style == esNoEdit || (style == esFixedList && !FFindSelection)) return 0;
  return inner->GetSelStart();
}

Integer TqvCustomTextEdit::GetSelLength() {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || style == esNoEdit || (style == esFixedList && !FFindSelection)) return 0;
  return inner->GetSelLength();
}

String TqvCustomTextEdit::GetSelText() {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  return inner ? inner->GetSelText() : String();
}

void TqvCustomTextEdit::SetSelStart(Integer Value) {
  if (GetProperties()->GetEditingStyle() == esNoEdit) return;
  if (IqvInnerTextEdit* inner = GetInnerTextEdit()) inner->SetSelStart(Value);
}

void TqvCustomTextEdit::SetSelLength(Integer Value) {
  if (GetProperties()->GetEditingStyle() == esNoEdit) return;
  if (IqvInnerTextEdit* inner = GetInnerTextEdit()) inner->SetSelLength(Value);
}

void TqvCustomTextEdit::SetSelection(Integer AStart, Integer ALength) {
  SetSelStart(AStart);
  SetSelLength(ALength);
}

Integer TqvCustomTextEdit::GetCaretCharIndex() {
  TqvCustomInnerTextEdit* inner = InnerTextEditControl();
  return inner ? inner->GetCaretCharIndex() : 0;
}

void TqvCustomTextEdit::LockClick(bool ALock) {
  if (ALock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TqvCustomTextEdit::SelectAll() {
  if (IqvInnerTextEdit* inner = GetInnerTextEdit()) inner->SelectAll();
}

void TqvCustomTextEdit::SetSelText(const String& AText) {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  if (style == esNoEdit && IsUserChange()) return;
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  if (IsListEditingStyle(style)) SelectAll();
  const String text = InternalGetText();
  const Integer length = Length(text);
  const Integer selStart = std::clamp(inner->GetSelStart(), 0, length);
  const Integer selLength = std::clamp(inner->GetSelLength(), 0, length - selStart);
  const String before = FirstChars(text, selStart), after = text.substr(size_t(selStart + selLength));
  const Integer maxLength = GetProperties()->GetMaxLength();
  String newText;
  Integer caret = 0;
  if (IsUserChange() && (style == esEdit || style == esNoEdit) && maxLength > 0) {
    // Counted in characters, and the caret placed in characters too.
    const String prefix = before + AText;
    caret = std::min(maxLength, Length(prefix));
    if (selStart >= caret) return;
    newText = FirstChars(prefix + after, maxLength);
  } else {
    newText = before + AText + after;
    caret = selStart + Length(AText);
  }
  if (TrySetDisplayText(newText)) SetSelStart(caret);
}

void TqvCustomTextEdit::ClearSelection() {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner || inner->GetSelLength() == 0) return;
  const String text = InternalGetText();
  const Integer selStart = inner->GetSelStart();
  const String newText = FirstChars(text, selStart) + text.substr(size_t(selStart + inner->GetSelLength()));
  if (TrySetDisplayText(newText)) SetSelStart(selStart);
}

void TqvCustomTextEdit::Clear() { TrySetDisplayText(String()); }

void TqvCustomTextEdit::CopyToClipboard() {
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  if (IsListEditingStyle(GetProperties()->GetEditingStyle())) SelectAll();
  if (inner->GetSelLength() > 0) inner->CopyToClipboard();
}

void TqvCustomTextEdit::CutToClipboard() {
  const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
  if (style == esNoEdit && IsUserChange()) return;
  IqvInnerTextEdit* inner = GetInnerTextEdit();
  if (!inner) return;
  if (IsListEditingStyle(style)) SelectAll();
  if (inner->GetSelLength() == 0) return;
  inner->CopyToClipboard();
  const String text = InternalGetText();
  const Integer selStart = inner->GetSelStart();
  const String newText = FirstChars(text, selStart) + text.substr(size_t(selStart + inner->GetSelLength()));
  if (TrySetDisplayText(newText)) SetSelStart(selStart);
}

void TqvCustomTextEdit::PasteFromClipboard() {
  if (Clipboard()->HasFormat(CF_TEXT)) SetSelText(Clipboard()->GetAsText());
}

// ---------------------------------------------------------------------------------------------
// Focus, activation and the inner edit's window hook

void TqvCustomTextEdit::Activate(TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  inherited::Activate(AEditData);
  if (!alive || !HandleAllocated()) return;
  SetSelStart(0);
  if (GetProperties()->GetAutoSelect()) SelectAll();
}

void TqvCustomTextEdit::DoExit() {
  TAliveToken alive = AliveToken();
  inherited::DoExit();
  if (alive) SetFindSelection(false);
}

void TqvCustomTextEdit::InnerEditWindowProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS) {
    if (IqvInnerTextEdit* inner = GetInnerTextEdit(); inner && inner->GetAutoSelect()) inner->SelectAll();
    return;
  }
  inherited::InnerEditWindowProc(Message);
}

void TqvCustomTextEdit::UnhookInnerEditWindowProc() {
  inherited::UnhookInnerEditWindowProc();
  TqvCustomInnerTextEdit* inner = InnerTextEditControl();
  if (!inner || IsInnerEditUnavailable() || !inner->HandleAllocated() || GetFocus() != inner->GetHandle()) return;
  // The window learns of the focus it got while the hook kept the message from it.
  const bool autoSelect = inner->GetAutoSelect();
  inner->SetAutoSelect(false);
  TAliveToken alive = inner->AliveToken();
  SendMessage(inner->GetHandle(), WM_SETFOCUS, 0, 0);
  if (alive) inner->SetAutoSelect(autoSelect);
}

// ---------------------------------------------------------------------------------------------
// Window messages

void TqvCustomTextEdit::WMGetText(TMessage& Message) {
  const auto size = static_cast<Integer>(Message.WParam);
  auto* buffer = reinterpret_cast<char*>(Message.LParam);
  if (size < 1 || !buffer) {
    Message.Result = 0;
    return;
  }
  const String text = InternalGetText();
  const Integer count = std::min(Length(text), size - 1);
  std::memcpy(buffer, text.data(), size_t(count));
  buffer[count] = '\0';
  Message.Result = count;
}

void TqvCustomTextEdit::WMSetText(TMessage& Message) {
  Message.Result = 0;
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  if (InternalSetText(text ? String(text) : String())) Message.Result = 1;
}

void TqvCustomTextEdit::WMClear(TMessage&) {
  if (GetProperties()->GetReadOnly()) return;
  TValueScope userChange(UserChangeFlag(), true, AliveToken());
  ClearSelection();
}

void TqvCustomTextEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: WMGetText(Message); return;
    case WM_GETTEXTLENGTH: Message.Result = Length(InternalGetText()); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case WM_CLEAR: WMClear(Message); return;
    default: inherited::Dispatch(Message);
  }
}
