// Editor properties: construction through the most derived class, the change and lock protocol,
// the effective alignment, read-only state, buttons, validation, the default values provider,
// Assign, and the display text and value conversions of the base properties.
#include <gtest/gtest.h>

#include "editors/qvEdit.h"

namespace {

// A component whose stream state the tests set.
class TStateComponent : public TComponent {
  QJ_INLINE_CLASS(TStateComponent, TComponent)
 public:
  using TComponent::TComponent;
  void SetWriting(bool Value) { SetComponentStateFlag(csWriting, Value); }
};

// Counts the properties' change notifications.
struct TPropertiesChangeCounter {
  explicit TPropertiesChangeCounter(TqvCustomEditProperties* AProperties) {
    AProperties->OnPropertiesChanged = [this](TObject*) { ++Count; };
  }
  Integer Count = 0;
};

class TTestProvider : public TqvCustomEditDefaultValuesProvider {
  QJ_INLINE_CLASS(TTestProvider, TqvCustomEditDefaultValuesProvider)
 public:
  TTestProvider() : TqvCustomEditDefaultValuesProvider(nullptr) {}
  TAlignment DefaultAlignment() override { return Alignment; }
  bool DefaultReadOnly() override { return ReadOnly; }
  bool DefaultCanModify() override { return CanModifyValue; }
  bool IsDisplayFormatDefined(bool AIsEditing) override {
    AskedEditing = AIsEditing;
    return FormatDefined;
  }

  TAlignment Alignment = taRightJustify;
  bool ReadOnly = false;
  bool CanModifyValue = true;
  bool FormatDefined = true;
  bool AskedEditing = false;
};

// A values class and properties classes that answer differently from their parents.
class TTestPropertiesValues : public TqvCustomEditPropertiesValues {
  QJ_INLINE_CLASS(TTestPropertiesValues, TqvCustomEditPropertiesValues)
 public:
  using TqvCustomEditPropertiesValues::TqvCustomEditPropertiesValues;
};

class TTestProperties : public TqvCustomEditProperties {
  QJ_INLINE_CLASS(TTestProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
  static TqvCustomEditPropertiesValuesClass PropertiesValuesClass() { return &TTestPropertiesValues::StaticClass(); }
  bool GetDefaultUseLeftAlignmentOnEditing() const override { return false; }
  bool CanValidate() const override { return Validates; }
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return Options; }
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override {
    return AEditFocused ? FocusedSource : UnfocusedSource;
  }

  bool Validates = true;
  TqvEditDisplayFormatOptions Options = 0;
  TqvEditValueSource FocusedSource = evsValue;
  TqvEditValueSource UnfocusedSource = evsText;
};

// Declares no hooks of its own: answers as its parent.
class TTestDerivedProperties : public TTestProperties {
  QJ_INLINE_CLASS(TTestDerivedProperties, TTestProperties)
 public:
  using TTestProperties::TTestProperties;
};

TOwned<TqvCustomEditProperties> NewProperties(TPersistent* AOwner = nullptr) {
  return MakeOwned<TqvCustomEditProperties>(AOwner);
}

// ---------------------------------------------------------------------------------------------
// Construction through the most derived class

TEST(EditPropertiesClass, ConstructionAsksTheMostDerivedClass) {
  auto properties = MakeOwned<TTestDerivedProperties>(nullptr);
  EXPECT_TRUE(properties->GetAssignedValues()->IsExactly<TTestPropertiesValues>());
  EXPECT_FALSE(properties->GetUseLeftAlignmentOnEditing());
  EXPECT_FALSE(properties->IsUseLeftAlignmentOnEditingStored());
}

TEST(EditPropertiesClass, AClassReferenceCreatesAndAnswers) {
  TqvCustomEditPropertiesClass cls = &TTestDerivedProperties::StaticClass();
  EXPECT_EQ(cls->GetPropertiesValuesClass(), &TTestPropertiesValues::StaticClass());
  TOwned<TqvCustomEditProperties> properties(cls->Create(nullptr));
  EXPECT_TRUE(properties->IsExactly<TTestDerivedProperties>());
  EXPECT_TRUE(properties->GetAssignedValues()->IsExactly<TTestPropertiesValues>());
  EXPECT_EQ(TqvCustomEditProperties::StaticClass().GetPropertiesValuesClass(),
            &TqvCustomEditPropertiesValues::StaticClass());
}

TEST(EditPropertiesClass, FreshPropertiesHoldTheDefaults) {
  auto p = NewProperties();
  EXPECT_TRUE(p->GetAutoSelect());
  EXPECT_FALSE(p->GetBeepOnError());
  EXPECT_EQ(p->GetButtons()->GetCount(), 0);
  EXPECT_EQ(p->GetClearKey(), 0);
  EXPECT_EQ(p->GetClickKey(), 16397);
  EXPECT_FALSE(p->GetImmediatePost());
  EXPECT_TRUE(p->GetUseLeftAlignmentOnEditing());
  EXPECT_TRUE(p->GetUseMouseWheel());
  EXPECT_FALSE(p->GetValidateOnEnter());
  EXPECT_FALSE(p->GetReadOnly());
  EXPECT_FALSE(p->IsReadOnlyStored());
  EXPECT_EQ(p->GetDefaultValuesProvider(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Change and lock protocol

TEST(EditPropertiesChanged, UpdatesCollectOneChange) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->BeginUpdate();
  p->BeginUpdate();
  p->SetAutoSelect(false);
  p->SetReadOnly(true);
  p->EndUpdate();
  EXPECT_EQ(changes.Count, 0);
  p->EndUpdate();
  EXPECT_EQ(changes.Count, 1);
}

TEST(EditPropertiesChanged, EndUpdateWithoutInvokingIsSilent) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->BeginUpdate();
  p->SetAutoSelect(false);
  p->EndUpdate(false);
  EXPECT_EQ(changes.Count, 0);
  EXPECT_FALSE(p->IsChangedLocked());
}

TEST(EditPropertiesChanged, UnmatchedEndUpdateDoesNothing) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->EndUpdate();
  EXPECT_EQ(changes.Count, 0);
  p->SetAutoSelect(false);
  EXPECT_EQ(changes.Count, 1) << "the count did not go below zero";
}

TEST(EditPropertiesChanged, ChangedLockSuppressesWithoutCatchingUp) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->SetChangedLocked(true);
  EXPECT_TRUE(p->IsChangedLocked());
  p->SetAutoSelect(false);
  p->SetChangedLocked(false);
  EXPECT_EQ(changes.Count, 0);
}

TEST(EditPropertiesChanged, SilentWhileTheOwnerIsDestroyed) {
  TComponent owner(nullptr);
  auto p = NewProperties(&owner);
  TPropertiesChangeCounter changes(p.get());
  owner.Destroying();
  p->SetAutoSelect(false);
  EXPECT_EQ(changes.Count, 0);
}

// ---------------------------------------------------------------------------------------------
// Effective alignment

TEST(EditPropertiesAlignment, FreshAlignmentIsLeftTopAndStoresNothing) {
  auto p = NewProperties();
  TqvEditAlignment* a = p->GetAlignment();
  EXPECT_EQ(a->GetHorz(), taLeftJustify);
  EXPECT_EQ(a->GetVert(), taTopJustify);
  EXPECT_FALSE(a->IsHorzStored());
  EXPECT_FALSE(a->IsVertStored());
}

TEST(EditPropertiesAlignment, AProviderSuppliesTheUnassignedHorz) {
  auto p = NewProperties();
  TTestProvider provider;
  p->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_FALSE(p->GetAlignment()->IsHorzStored());
  p->GetAlignment()->SetHorz(taCenter);
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taCenter) << "an assigned value wins over the provider";
}

TEST(EditPropertiesAlignment, SettingHorzToItsValueAssignsAndNotifiesOnce) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->GetAlignment()->SetHorz(taLeftJustify);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_TRUE(p->GetAlignment()->IsHorzStored());
  EXPECT_TRUE(p->GetAssignedAlignment()->IsHorzAssigned());
}

TEST(EditPropertiesAlignment, SettingVertToItsValueIsSilent) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->GetAlignment()->SetVert(taTopJustify);
  EXPECT_EQ(changes.Count, 0);
  p->GetAlignment()->SetVert(taVCenter);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(p->GetAlignment()->GetVert(), taVCenter);
  EXPECT_TRUE(p->GetAlignment()->IsVertStored());
}

TEST(EditPropertiesAlignment, SetAlignmentCopiesAndNotifies) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  TqvEditAlignment value(nullptr);
  value.SetHorz(taRightJustify);
  value.SetVert(taBottomJustify);
  p->SetAlignment(&value);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_EQ(p->GetAlignment()->GetVert(), taBottomJustify);
}

// While the owner is written to a stream only the assigned values show, and a write through
// the object read then is not lost.
TEST(EditPropertiesAlignment, AWriteWhileStreamingReachesTheProperties) {
  TStateComponent owner(nullptr);
  auto p = NewProperties(&owner);
  TTestProvider provider;
  p->SetDefaultValuesProvider(&provider);
  p->GetAlignment()->SetVert(taVCenter);
  TPropertiesChangeCounter changes(p.get());
  owner.SetWriting(true);
  TqvEditAlignment* streamed = p->GetAlignment();
  EXPECT_FALSE(streamed->IsHorzStored()) << "the provider's default is not streamed";
  EXPECT_TRUE(streamed->IsVertStored());
  streamed->SetHorz(taCenter);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_TRUE(p->GetAssignedAlignment()->IsHorzAssigned());
  EXPECT_EQ(p->GetAssignedAlignment()->GetHorz(), taCenter);
  owner.SetWriting(false);
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taCenter);
}

TEST(EditPropertiesAlignment, StreamingWithNothingAssignedShowsTheDefault) {
  TStateComponent owner(nullptr);
  auto p = NewProperties(&owner);
  TTestProvider provider;
  p->SetDefaultValuesProvider(&provider);
  owner.SetWriting(true);
  EXPECT_EQ(p->GetAlignment()->GetHorz(), taRightJustify);
}

TEST(EditPropertiesAlignment, AssignCopiesTheAssignedFlag) {
  TqvEditAlignment a(nullptr), b(nullptr);
  Integer calls = 0;
  TqvEditAlignment c(nullptr, [&](TObject*) { ++calls; });
  a.SetHorz(taCenter);
  c.Assign(&a);
  EXPECT_TRUE(c.IsHorzAssigned());
  EXPECT_EQ(c.GetHorz(), taCenter);
  c.Assign(&b);
  EXPECT_FALSE(c.IsHorzAssigned());
  EXPECT_EQ(calls, 2);
}

// ---------------------------------------------------------------------------------------------
// Read-only state

struct TReadOnlyCase {
  const char* Name;
  bool Assigned;
  bool ReadOnly;
  bool HasProvider;
  bool ProviderReadOnly;
  bool ProviderCanModify;
  bool ExpectedReadOnly;
  bool ExpectedCanModify;
  friend void PrintTo(const TReadOnlyCase& c, std::ostream* os) { *os << c.Name; }
};

class EditPropertiesReadOnlyTest : public ::testing::TestWithParam<TReadOnlyCase> {};

TEST_P(EditPropertiesReadOnlyTest, CombinesTheOwnValueWithTheProvider) {
  const TReadOnlyCase& c = GetParam();
  auto p = NewProperties();
  TTestProvider provider;
  provider.ReadOnly = c.ProviderReadOnly;
  provider.CanModifyValue = c.ProviderCanModify;
  if (c.HasProvider) p->SetDefaultValuesProvider(&provider);
  if (c.Assigned) p->SetReadOnly(c.ReadOnly);
  EXPECT_EQ(p->GetReadOnly(), c.ExpectedReadOnly);
  EXPECT_EQ(p->CanModify(), c.ExpectedCanModify);
  EXPECT_EQ(p->IsReadOnlyStored(), c.Assigned);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditPropertiesReadOnlyTest,
    ::testing::Values(TReadOnlyCase{"Unassigned", false, false, false, false, true, false, true},
                      TReadOnlyCase{"AssignedTrue", true, true, false, false, true, true, false},
                      TReadOnlyCase{"AssignedFalseWinsOverTheProvider", true, false, true, true, false, false, true},
                      TReadOnlyCase{"ProviderReadOnly", false, false, true, true, true, true, false},
                      TReadOnlyCase{"ProviderCannotModify", false, false, true, false, false, false, false},
                      TReadOnlyCase{"ProviderAllows", false, false, true, false, true, false, true}),
    [](const ::testing::TestParamInfo<TReadOnlyCase>& info) { return String(info.param.Name); });

TEST(EditPropertiesReadOnly, AssigningNotifiesOncePerValue) {
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  p->SetReadOnly(false);
  EXPECT_EQ(changes.Count, 1) << "assigning the default still assigns";
  p->SetReadOnly(false);
  EXPECT_EQ(changes.Count, 1);
  p->SetReadOnly(true);
  EXPECT_EQ(changes.Count, 2);
}

// ---------------------------------------------------------------------------------------------
// Edit buttons

TEST(EditButtons, OneDefaultButton) {
  auto p = NewProperties();
  TqvEditButtons* buttons = p->GetButtons();
  for (Integer i = 0; i < 3; ++i) buttons->Add();
  buttons->GetItem(0)->SetDefault(true);
  buttons->GetItem(1)->SetDefault(true);
  EXPECT_FALSE(buttons->GetItem(0)->GetDefault());
  EXPECT_TRUE(buttons->GetItem(1)->GetDefault());
  EXPECT_FALSE(buttons->GetItem(2)->GetDefault());
}

TEST(EditButtons, FreshButtonsHoldTheDefaults) {
  auto p = NewProperties();
  TqvEditButton* b = p->GetButtons()->Add();
  EXPECT_FALSE(b->GetDefault());
  EXPECT_EQ(b->GetKind(), bkDown);
  EXPECT_FALSE(b->GetLeftAlignment());
  EXPECT_TRUE(b->GetVisible());
  EXPECT_EQ(b->GetWidth(), 0);
  EXPECT_EQ(b->FindGlyph(), nullptr);
}

TEST(EditButtons, TheFirstButtonOfADesignedOwnerIsTheDefault) {
  TComponent owner(nullptr);
  owner.SetDesigning(true);
  auto p = NewProperties(&owner);
  EXPECT_TRUE(p->GetButtons()->Add()->GetDefault());
  EXPECT_FALSE(p->GetButtons()->Add()->GetDefault());
  auto loading = NewProperties(&owner);
  owner.BeginLoading();
  EXPECT_FALSE(loading->GetButtons()->Add()->GetDefault());
  owner.EndLoading();
  auto plain = NewProperties();
  EXPECT_FALSE(plain->GetButtons()->Add()->GetDefault());
}

TEST(EditButtons, EveryChangeReachesTheProperties) {
  auto p = NewProperties();
  TqvEditButton* b = p->GetButtons()->Add();
  TPropertiesChangeCounter changes(p.get());
  b->SetKind(bkEllipsis);
  b->SetKind(bkEllipsis);
  b->SetWidth(20);
  b->SetVisible(false);
  b->SetLeftAlignment(true);
  b->SetDefault(true);
  EXPECT_EQ(changes.Count, 5);
  p->GetButtons()->Add();
  EXPECT_EQ(changes.Count, 6);
}

TEST(EditButtons, TheGlyphIsMadeOnFirstReadAndNotifies) {
  auto p = NewProperties();
  TqvEditButton* b = p->GetButtons()->Add();
  TPropertiesChangeCounter changes(p.get());
  TBitmap* glyph = b->GetGlyph();
  ASSERT_NE(glyph, nullptr);
  EXPECT_EQ(b->FindGlyph(), glyph);
  glyph->SetSize(8, 8);
  EXPECT_GE(changes.Count, 1) << "a change of the bitmap reaches the properties";
  b->SetGlyph(nullptr);
  EXPECT_EQ(b->FindGlyph(), nullptr);
}

TEST(EditButtons, VisibleCount) {
  auto p = NewProperties();
  for (Integer i = 0; i < 4; ++i) p->GetButtons()->Add();
  p->GetButtons()->GetItem(1)->SetVisible(false);
  EXPECT_EQ(p->GetButtons()->VisibleCount(), 3);
}

TEST(EditButtons, AssignCopiesEverySetting) {
  auto p = NewProperties();
  TqvEditButton* a = p->GetButtons()->Add();
  TqvEditButton* b = p->GetButtons()->Add();
  a->SetKind(bkGlyph);
  a->SetWidth(17);
  a->SetLeftAlignment(true);
  a->SetVisible(false);
  a->GetGlyph()->SetSize(5, 6);
  TPropertiesChangeCounter changes(p.get());
  b->Assign(a);
  EXPECT_EQ(changes.Count, 1) << "one collection update";
  EXPECT_EQ(b->GetKind(), bkGlyph);
  EXPECT_EQ(b->GetWidth(), 17);
  EXPECT_TRUE(b->GetLeftAlignment());
  EXPECT_FALSE(b->GetVisible());
  ASSERT_NE(b->FindGlyph(), nullptr);
  EXPECT_EQ(b->FindGlyph()->GetWidth(), 5);
}

// ---------------------------------------------------------------------------------------------
// Validation

TEST(EditPropertiesValidation, WithoutValidationNothingChanges) {
  auto p = NewProperties();
  bool called = false;
  p->OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { called = true; };
  TObject edit;
  Variant value = 5;
  TCaption text;
  bool error = true;
  p->ValidateDisplayValue(value, text, error, &edit);
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(called);
  EXPECT_TRUE(error);
}

TEST(EditPropertiesValidation, FillsTheDefaultText) {
  auto p = MakeOwned<TTestProperties>(nullptr);
  Variant value = 5;
  TCaption text;
  bool error = false;
  p->ValidateDisplayValue(value, text, error, nullptr);
  EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
  TCaption own = "Too long";
  p->ValidateDisplayValue(value, own, error, nullptr);
  EXPECT_EQ(own, "Too long");
}

TEST(EditPropertiesValidation, OnValidateNeedsAnEditor) {
  auto p = MakeOwned<TTestProperties>(nullptr);
  Integer calls = 0;
  TObject* sender = nullptr;
  p->OnValidate = [&](TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error) {
    ++calls;
    sender = Sender;
    DisplayValue = "fixed";
    ErrorText = "refused";
    Error = true;
  };
  Variant value = "raw";
  TCaption text;
  bool error = false;
  p->ValidateDisplayValue(value, text, error, nullptr);
  EXPECT_EQ(calls, 0);
  TObject edit;
  p->ValidateDisplayValue(value, text, error, &edit);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(sender, &edit);
  EXPECT_EQ(value.AsString(), "fixed");
  EXPECT_EQ(text, "refused");
  EXPECT_TRUE(error);
}

// ---------------------------------------------------------------------------------------------
// Default values provider

TEST(EditDefaultValuesProvider, FreeingItDetachesEveryUser) {
  auto a = NewProperties();
  auto b = NewProperties();
  auto other = NewProperties();
  auto provider = std::make_unique<TTestProvider>();
  TTestProvider kept;
  a->SetDefaultValuesProvider(provider.get());
  b->SetDefaultValuesProvider(provider.get());
  other->SetDefaultValuesProvider(&kept);
  provider.reset();
  EXPECT_EQ(a->GetDefaultValuesProvider(), nullptr);
  EXPECT_EQ(b->GetDefaultValuesProvider(), nullptr);
  EXPECT_EQ(other->GetDefaultValuesProvider(), &kept);
  EXPECT_EQ(a->GetAlignment()->GetHorz(), taLeftJustify);
}

TEST(EditDefaultValuesProvider, TheNeutralProviderAnswers) {
  TqvCustomEditDefaultValuesProvider provider(nullptr);
  IqvEditDefaultValuesProvider* i = &provider;
  EXPECT_EQ(i->DefaultAlignment(), taLeftJustify);
  EXPECT_EQ(i->DefaultBlobKind(), TqvBlobKind::Memo);
  EXPECT_TRUE(i->DefaultCanModify());
  EXPECT_EQ(i->DefaultDisplayFormat(), "");
  EXPECT_EQ(i->DefaultEditMask(), "");
  EXPECT_FALSE(i->DefaultIsFloatValue());
  EXPECT_EQ(i->DefaultMaxLength(), 0);
  EXPECT_EQ(i->DefaultMaxValue(), 0.0);
  EXPECT_EQ(i->DefaultMinValue(), 0.0);
  EXPECT_FALSE(i->DefaultReadOnly());
  EXPECT_FALSE(i->DefaultRequired());
  EXPECT_EQ(i->GetInstance(), &provider);
  EXPECT_FALSE(i->IsDataAware());
  EXPECT_FALSE(i->IsBlob());
  EXPECT_FALSE(i->IsDisplayFormatDefined(false));
  EXPECT_TRUE(i->IsValidChar('x'));
}

TEST(EditDefaultValuesProvider, DefaultValuesChangedFiresTheEvent) {
  TqvCustomEditDefaultValuesProvider provider(nullptr);
  auto p = NewProperties();
  TPropertiesChangeCounter changes(p.get());
  provider.SetOnChanged([&](TObject* Sender) { p->DefaultValuesChangedHandler(Sender); });
  provider.DefaultValuesChanged();
  EXPECT_EQ(changes.Count, 1);
}

struct TDisplayFormatCase {
  const char* Name;
  TqvEditDisplayFormatOptions Options;
  bool HasProvider;
  bool Editing;
  bool ProviderDefined;
  bool Expected;
  bool ExpectedAskedEditing;
  friend void PrintTo(const TDisplayFormatCase& c, std::ostream* os) { *os << c.Name; }
};

class EditPropertiesDisplayFormatTest : public ::testing::TestWithParam<TDisplayFormatCase> {};

TEST_P(EditPropertiesDisplayFormatTest, AsksTheProvider) {
  const TDisplayFormatCase& c = GetParam();
  auto p = MakeOwned<TTestProperties>(nullptr);
  p->Options = c.Options;
  TTestProvider provider;
  provider.FormatDefined = c.ProviderDefined;
  if (c.HasProvider) p->SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p->IsDisplayFormatDefined(c.Editing), c.Expected);
  if (c.Expected) {
    EXPECT_EQ(provider.AskedEditing, c.ExpectedAskedEditing);
  }
  EXPECT_EQ(p->IsProviderDisplayFormatUsed(), c.HasProvider && c.ProviderDefined && (c.Options & dfoUseProviderFormat));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditPropertiesDisplayFormatTest,
    ::testing::Values(
        TDisplayFormatCase{"NeverWhileEditing", dfoUseProviderFormat, true, true, true, false, false},
        TDisplayFormatCase{"NotWithoutOption", 0, true, false, true, false, false},
        TDisplayFormatCase{"NotWithoutProvider", dfoUseProviderFormat, false, false, true, false, false},
        TDisplayFormatCase{"AsksAsEditing", dfoUseProviderFormat, true, false, true, true, true},
        TDisplayFormatCase{"AsksAsNotEditing", dfoUseProviderFormat | dfoProviderFormatNotEditing, true, false, true,
                           true, false},
        TDisplayFormatCase{"ProviderHasNone", dfoUseProviderFormat, true, false, false, false, false}),
    [](const ::testing::TestParamInfo<TDisplayFormatCase>& info) { return String(info.param.Name); });

TEST(EditPropertiesDisplayFormat, TheProviderFormatNeedsTheTextAsEditValue) {
  auto p = MakeOwned<TTestProperties>(nullptr);
  p->Options = dfoUseProviderFormat;
  TTestProvider provider;
  p->SetDefaultValuesProvider(&provider);
  EXPECT_TRUE(p->IsProviderDisplayFormatUsed());
  p->UnfocusedSource = evsValue;
  EXPECT_FALSE(p->IsProviderDisplayFormatUsed());
  p->UnfocusedSource = evsText;
  p->FocusedSource = evsText;
  EXPECT_FALSE(p->IsProviderDisplayFormatUsed());
}

// ---------------------------------------------------------------------------------------------
// Assign

TEST(EditPropertiesAssign, CopiesTheCommonSettingsWithOneChange) {
  auto source = NewProperties();
  TTestProvider provider;
  source->SetAutoSelect(false);
  source->SetBeepOnError(true);
  source->SetClearKey(46);
  source->SetClickKey(13);
  source->SetImmediatePost(true);
  source->SetUseLeftAlignmentOnEditing(false);
  source->SetUseMouseWheel(false);
  source->SetValidateOnEnter(true);
  source->SetReadOnly(true);
  source->GetAlignment()->SetHorz(taRightJustify);
  source->GetButtons()->Add()->SetKind(bkEllipsis);
  source->SetDefaultValuesProvider(&provider);
  Integer validations = 0;
  source->OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++validations; };
  source->OnPropertiesChanged = [](TObject*) {};

  auto target = NewProperties();
  TPropertiesChangeCounter changes(target.get());
  target->Assign(source.get());
  EXPECT_EQ(changes.Count, 1);
  EXPECT_FALSE(target->GetAutoSelect());
  EXPECT_TRUE(target->GetBeepOnError());
  EXPECT_EQ(target->GetClearKey(), 46);
  EXPECT_EQ(target->GetClickKey(), 13);
  EXPECT_TRUE(target->GetImmediatePost());
  EXPECT_FALSE(target->GetUseLeftAlignmentOnEditing());
  EXPECT_FALSE(target->GetUseMouseWheel());
  EXPECT_TRUE(target->GetValidateOnEnter());
  EXPECT_TRUE(target->GetReadOnly());
  EXPECT_TRUE(target->IsReadOnlyStored());
  EXPECT_EQ(target->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_TRUE(target->GetAlignment()->IsHorzStored());
  ASSERT_EQ(target->GetButtons()->GetCount(), 1);
  EXPECT_EQ(target->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_EQ(target->GetDefaultValuesProvider(), &provider);
  ASSERT_TRUE(bool(target->OnValidate));
  Variant v;
  TCaption t;
  bool e = false;
  target->OnValidate(nullptr, v, t, e);
  EXPECT_EQ(validations, 1);
  changes.Count = 0;
  target->SetAutoSelect(true);
  EXPECT_EQ(changes.Count, 1) << "OnPropertiesChanged is the target's own";
}

TEST(EditPropertiesAssign, AnUnassignedReadOnlyStaysUnassigned) {
  auto source = NewProperties();
  auto target = NewProperties();
  target->SetReadOnly(true);
  target->Assign(source.get());
  EXPECT_FALSE(target->IsReadOnlyStored());
  EXPECT_FALSE(target->GetReadOnly());
}

TEST(EditPropertiesAssign, OtherSourcesRaise) {
  auto target = NewProperties();
  TqvEditAlignment alignment(nullptr);
  EXPECT_THROW(target->Assign(&alignment), EConvertError);
}

// ---------------------------------------------------------------------------------------------
// Display texts and value conversions of the base properties

struct TPropertiesValueCase {
  const char* Name;
  Variant Value;
  friend void PrintTo(const TPropertiesValueCase& c, std::ostream* os) { *os << c.Name; }
};

class EditPropertiesValueTest : public ::testing::TestWithParam<TPropertiesValueCase> {};

TEST_P(EditPropertiesValueTest, ShowNoTextAndKeepTheValue) {
  const TPropertiesValueCase& c = GetParam();
  auto p = NewProperties();
  EXPECT_EQ(p->GetDisplayText(c.Value), "");
  EXPECT_EQ(p->GetDisplayText(c.Value, true), "");
  for (bool focused : {false, true}) {
    Variant display = "previous";
    p->PrepareDisplayValue(c.Value, display, focused);
    EXPECT_EQ(display.VarType(), c.Value.VarType());
    EXPECT_TRUE(c.Value.IsNull() || c.Value.IsEmpty() || display == c.Value);
    Variant edit = c.Value;
    EXPECT_TRUE(p->IsEditValueValid(edit, focused));
    EXPECT_EQ(edit.VarType(), c.Value.VarType());
    EXPECT_EQ(p->GetEditValueSource(focused), evsValue);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditPropertiesValueTest,
    ::testing::Values(TPropertiesValueCase{"Null", Variant::Null()}, TPropertiesValueCase{"Empty", Variant()},
                      TPropertiesValueCase{"Text", Variant("Das Erste")},
                      TPropertiesValueCase{"Integer", Variant(12345)}, TPropertiesValueCase{"Double", Variant(1.5)},
                      TPropertiesValueCase{"Boolean", Variant(true)}),
    [](const ::testing::TestParamInfo<TPropertiesValueCase>& info) { return String(info.param.Name); });

TEST(EditPropertiesOperations, ButtonsAreTheOnlyBaseOperation) {
  auto p = NewProperties();
  EXPECT_EQ(p->GetSupportedOperations(), 0u);
  p->GetButtons()->Add()->SetVisible(false);
  EXPECT_EQ(p->GetSupportedOperations(), esoButtons);
  EXPECT_FALSE(p->CanValidate());
  EXPECT_FALSE(p->CanCompareEditValue());
  EXPECT_FALSE(p->CanRevertEditValue());
  EXPECT_FALSE(p->IsValueChangeNotifiedByText());
  EXPECT_FALSE(p->WantsTabKey());
  EXPECT_FALSE(p->WantsNavigationKeys());
}

}  // namespace
