// The editor control: the error message queue it owns, posting errors in place, the empty
// validation error, permission, change events under a lock, the clear and click keys, button
// clicks, in-place activation by key and mouse, clipboard messages, and repository items.
#include "qvEditTestSupport.h"
#include "support/ResourceTexts.h"

namespace {

class TTestItemForLoading : public TqvEditRepositoryItemOf<TTestEditProperties> {
  QJ_INLINE_CLASS(TTestItemForLoading, TqvEditRepositoryItemOf<TTestEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};

class EditControl : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    FEdit = NewEdit();
    ShowForm();
  }
  void Focus() {
    FEdit->SetFocus();
    Pump();
  }
  // Makes the editor modified since it got the focus, as typing does.
  void Modify(const String& AText = "x") {
    Focus();
    Type(AText);
  }

  TTestEdit* FEdit = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The error message

TEST_F(EditControl, PostedErrorIsRaisedFromTheEditorsOwnQueue) {
  FEdit->PostEditError("later");
  EXPECT_TRUE(Errors.empty());
  Pump();
  EXPECT_EQ(Errors, std::vector<String>({"later"}));
}

TEST_F(EditControl, ErrorMessagesNotPostedByTheEditorAreIgnored) {
  String text = "forged";
  // A foreign poster hands a pointer: the editor neither reads nor frees it.
  PostMessage(FEdit->GetHandle(), WM_QV_EDITERROR, reinterpret_cast<WPARAM>(&text), 0);
  PostMessage(FEdit->GetHandle(), WM_QV_EDITERROR, 12345, 0);
  Pump();
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(text, "forged");
}

TEST_F(EditControl, EachPostedErrorIsRaisedOnce) {
  FEdit->PostEditError("one");
  FEdit->PostEditError("two");
  Pump();
  // A replay of an id already used raises nothing.
  PostMessage(FEdit->GetHandle(), WM_QV_EDITERROR, 1, 0);
  Pump();
  EXPECT_EQ(Errors, std::vector<String>({"one", "two"}));
}

TEST_F(EditControl, ErrorOfAnEditorWithoutWindowIsRaisedAtOnce) {
  TTestEdit* loose = New<TTestEdit>(FForm);
  EXPECT_THROW(loose->PostEditError("now"), Exception);
  EXPECT_FALSE(loose->HandleAllocated());
}

// ---------------------------------------------------------------------------------------------
// Validation and posting

TEST_F(EditControl, EmptyErrorTextFocusesWithoutRaisingAndLeavesPendingMessages) {
  FEdit->Props()->OnValidate = [](TObject*, Variant&, TCaption& AErrorText, bool& AError) {
    AError = true;
    AErrorText.clear();
  };
  Modify();
  FocusOther();  // leaving is refused silently: the editor keeps the focus
  EXPECT_TRUE(FEdit->Focused());
  EXPECT_TRUE(Errors.empty());
  FEdit->PostEditError("pending");
  EXPECT_FALSE(FEdit->ValidateEdit(true));
  EXPECT_TRUE(FEdit->Focused());
  EXPECT_TRUE(Errors.empty());  // nothing was processed inside the validation
  EXPECT_TRUE(FEdit->GetModifiedAfterEnter());
  Pump();
  EXPECT_EQ(Errors, std::vector<String>({"pending"}));
}

TEST_F(EditControl, ErrorTextDefaultsToTheLibraryText) {
  FEdit->Props()->OnValidate = [](TObject*, Variant&, TCaption& AErrorText, bool& AError) {
    AError = AErrorText == "Invalid input value. Use escape key to abandon changes";
  };
  Modify();
  try {
    FEdit->ValidateEdit(true);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid input value. Use escape key to abandon changes");
  }
  EXPECT_FALSE(FEdit->ValidateEdit(false));
}

TEST_F(EditControl, ValidatedValueIsNotValidatedAgainUntilModified) {
  Integer calls = 0;
  FEdit->Props()->OnValidate = [&](TObject*, Variant& AValue, TCaption&, bool&) {
    ++calls;
    AValue = String("replaced");
  };
  Modify("b");
  EXPECT_TRUE(FEdit->ValidateEdit(true));
  EXPECT_EQ(FEdit->Text, "replaced");
  EXPECT_TRUE(FEdit->ValidateEdit(true));
  EXPECT_EQ(calls, 1);
  Type("c");
  EXPECT_TRUE(FEdit->ValidateEdit(true));
  EXPECT_EQ(calls, 2);
}

TEST_F(EditControl, FailedInplacePostIsReportedAndKeepsTheValueModified) {
  TTestEdit* edit = NewEdit(true);
  edit->Props()->SetValidateOnEnter(true);
  edit->OnPostEditValue = [](TObject*) { throw Exception("grid refused"); };
  TqvCustomEditData* data = nullptr;
  edit->Activate(data);
  Pump();
  Type("z");
  Press(VK_RETURN);
  EXPECT_EQ(Errors, std::vector<String>({"grid refused"}));
  EXPECT_TRUE(edit->GetEditModified());
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(edit->IsPosting());
  delete data;
}

TEST_F(EditControl, FailedStandalonePostReachesTheCaller) {
  Modify();
  FEdit->Binding()->Fail = true;
  EXPECT_THROW(FEdit->PostEditValue(), Exception);
  EXPECT_TRUE(FEdit->GetModifiedAfterEnter());
  EXPECT_FALSE(FEdit->IsPosting());
}

TEST_F(EditControl, EnterWithoutValidateOnEnterNeitherValidatesNorPosts) {
  Integer calls = 0;
  FEdit->Props()->OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++calls; };
  Modify();
  Press(VK_RETURN);
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(FEdit->Binding()->Stored.empty());
}

// ---------------------------------------------------------------------------------------------
// Value, permission and change events

TEST_F(EditControl, ValueFromCodeIsNotModified) {
  Modify();
  FEdit->SetEditValue(String("code"));
  EXPECT_FALSE(FEdit->GetEditModified());
  EXPECT_FALSE(FEdit->GetModifiedAfterEnter());
  EXPECT_EQ(FEdit->Text, "code");
}

TEST_F(EditControl, ClearKeyIsAUserChangeThatNeedsPermission) {
  FEdit->Props()->SetClearKey(ShortCut(VK_DELETE, ssCtrl));
  FEdit->SetEditValue(String("full"));
  Focus();
  bool allow = false;
  Integer asked = 0;
  FEdit->OnEditing = [&](TObject*, bool& ACanEdit) {
    ++asked;
    ACanEdit = allow;
  };
  Press(VK_DELETE, skCtrl);
  EXPECT_GT(asked, 0);
  EXPECT_EQ(FEdit->Text, "full");
  EXPECT_FALSE(FEdit->GetModifiedAfterEnter());
  allow = true;
  Press(VK_DELETE, skCtrl);
  EXPECT_TRUE(VarIsNull(FEdit->TqvCustomEdit::GetEditValue()));
  EXPECT_TRUE(FEdit->GetModifiedAfterEnter());
  EXPECT_TRUE(FEdit->GetEditModified());
}

TEST_F(EditControl, TypingIsRefusedByOnEditing) {
  Focus();
  FEdit->OnEditing = [](TObject*, bool& ACanEdit) { ACanEdit = false; };
  Type("q");
  EXPECT_EQ(FEdit->Text, "");
  EXPECT_FALSE(FEdit->GetModifiedAfterEnter());
}

TEST_F(EditControl, ReadOnlyPropertiesRefuseEditing) {
  FEdit->Props()->SetReadOnly(true);
  EXPECT_FALSE(FEdit->CanModify());
  EXPECT_FALSE(FEdit->DoEditing());
  FEdit->Props()->SetReadOnly(false);
  EXPECT_TRUE(FEdit->DoEditing());
}

TEST_F(EditControl, ChangeEventsUnderALockFireOnceAtTheLastUnlock) {
  Integer changes = 0, valueChanges = 0;
  FEdit->Props()->OnChange = [&](TObject*) { ++changes; };
  FEdit->Props()->OnEditValueChanged = [&](TObject*) { ++valueChanges; };
  FEdit->LockChangeEvents(true);
  FEdit->LockChangeEvents(true);
  FEdit->SetEditValue(String("1"));
  FEdit->SetEditValue(String("2"));
  FEdit->LockChangeEvents(false);
  EXPECT_EQ(changes, 0);
  FEdit->LockChangeEvents(false);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(valueChanges, 1);
  FEdit->LockChangeEvents(false);  // unmatched: nothing
  FEdit->SetEditValue(String("2"));  // equal value: no change
  EXPECT_EQ(changes, 1);
}

TEST_F(EditControl, UnlockWithoutInvokeDropsPendingEvents) {
  Integer changes = 0;
  FEdit->Props()->OnChange = [&](TObject*) { ++changes; };
  FEdit->LockChangeEvents(true);
  FEdit->SetEditValue(String("1"));
  FEdit->LockChangeEvents(false, false);
  EXPECT_EQ(changes, 0);
}

TEST_F(EditControl, EscRestoresTheValueOnEnterOnlyWhileRevertingIsAllowed) {
  FEdit->SetEditValue(String("start"));
  Modify("x");
  FEdit->Props()->Revertable = false;
  Press(VK_ESCAPE);
  EXPECT_EQ(FEdit->Text, "startx");
  FEdit->Props()->Revertable = true;
  Press(VK_ESCAPE);
  EXPECT_EQ(FEdit->Text, "start");
  EXPECT_FALSE(FEdit->GetModifiedAfterEnter());
}

TEST_F(EditControl, ValueSetDuringThePermissionQueryIsIgnored) {
  FEdit->SetEditValue(String("kept"));
  FEdit->OnEditing = [&](TObject*, bool&) { FEdit->SetEditValue(String("sneaked")); };
  EXPECT_TRUE(FEdit->DoEditing());
  EXPECT_EQ(FEdit->Text, "kept");
}

TEST_F(EditControl, AutoSizeGivesTheHeightTheEditorNeeds) {
  TTestEdit* edit = New<TTestEdit>(FForm);
  edit->SetParent(FForm);
  edit->SetBounds(10, 60, 100, 100);
  const TSize size = edit->GetProperties()->GetEditSize(edit->GetCanvas(), edit->GetStyle(), false, edit->GetEditValue(),
                                                        TqvEditSizeProperties{1, 100});
  EXPECT_EQ(edit->GetHeight(), size.cy);
  EXPECT_EQ(edit->GetWidth(), 100);
  edit->SetAutoSize(false);
  edit->SetBounds(10, 60, 100, 50);
  EXPECT_EQ(edit->GetHeight(), 50);
}

TEST_F(EditControl, TabMovesToTheNextControl) {
  Focus();
  Press(VK_TAB);
  EXPECT_TRUE(FOther->Focused());
}

TEST_F(EditControl, LoadedEditorTakesItsRepositoryItem) {
  auto* item = New<TTestItemForLoading>(FForm);
  TTestEdit* edit = New<TTestEdit>(FForm);
  FForm->BeginLoading();
  edit->SetRepositoryItem(item);
  FForm->EndLoading();
  EXPECT_EQ(edit->GetActiveProperties(), item->GetProperties());
  EXPECT_FALSE(edit->GetOwnProperties()->OnPropertiesChanged);
  edit->SetRepositoryItem(nullptr);
  EXPECT_TRUE(edit->GetOwnProperties()->OnPropertiesChanged);
}

// ---------------------------------------------------------------------------------------------
// Keys and buttons

TEST_F(EditControl, ClickKeyWithoutButtonsReachesOnKeyDown) {
  Integer keyDowns = 0, clicks = 0;
  FEdit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keyDowns += Key == VK_RETURN; };
  FEdit->Props()->OnButtonClick = [&](TObject*, Integer) { ++clicks; };
  Focus();
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(keyDowns, 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(EditControl, ClickKeyWithButtonsClicksTheDefaultButtonInsteadOfOnKeyDown) {
  FEdit->Props()->GetButtons()->Add();
  FEdit->Props()->GetButtons()->Add()->SetDefault(true);
  FEdit->RefreshContainerAtCursor();
  ASSERT_EQ(FEdit->GetViewInfo()->GetButtonCount(), 2);
  Integer keyDowns = 0;
  std::vector<Integer> clicked;
  FEdit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keyDowns += Key == VK_RETURN; };
  FEdit->Props()->OnButtonClick = [&](TObject*, Integer AIndex) { clicked.push_back(AIndex); };
  Focus();
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(keyDowns, 0);
  EXPECT_EQ(clicked, std::vector<Integer>({1}));
}

TEST_F(EditControl, PressAndReleaseOverOneButtonClicksItOnce) {
  FEdit->Props()->GetButtons()->Add();
  FEdit->Props()->GetButtons()->Add();
  FEdit->RefreshContainerAtCursor();
  ASSERT_EQ(FEdit->GetViewInfo()->GetButtonCount(), 2);
  std::vector<Integer> clicked;
  FEdit->Props()->OnButtonClick = [&](TObject*, Integer AIndex) { clicked.push_back(AIndex); };
  const TRect b = FEdit->GetViewInfo()->GetButton(0)->Bounds;
  const TPoint centre{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  Click(FEdit, centre);
  EXPECT_EQ(clicked, std::vector<Integer>({FEdit->GetViewInfo()->GetButton(0)->ButtonIndex}));
  Down(FEdit, centre);
  MoveTo(FEdit, {2, 2});
  Up();
  EXPECT_EQ(clicked.size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// In-place activation

class EditInplace : public EditControl {
 protected:
  void SetUp() override {
    EditControl::SetUp();
    FEdit->SetVisible(false);
    FInplace = NewEdit(true);
    FInplace->SetVisible(false);
  }
  void TearDown() override {
    delete FData;
    EditControl::TearDown();
  }
  TTestEdit* FInplace = nullptr;
  TqvCustomEditData* FData = nullptr;
};

TEST_F(EditInplace, KeyThatStartsEditingBecomesTheFirstCharacter) {
  FInplace->ActivateByKey('k', FData);
  Pump();
  EXPECT_TRUE(FInplace->GetVisible());
  EXPECT_TRUE(FInplace->Focused());
  EXPECT_EQ(FInplace->Text, "k");
  EXPECT_TRUE(FInplace->GetModifiedAfterEnter());
}

TEST_F(EditInplace, NavigationKeysGoToTheAfterKeyDownHandler) {
  std::vector<Word> keys;
  FInplace->OnAfterKeyDown = [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); };
  FInplace->Activate(FData);
  Pump();
  Press(VK_DOWN);
  Press(VK_PRIOR);
  Press('A');
  EXPECT_EQ(keys, std::vector<Word>({VK_DOWN, VK_PRIOR}));
}

TEST_F(EditInplace, RefusedActivationKeyOnlyActivates) {
  FInplace->ActivateByKey('#', FData);
  Pump();
  EXPECT_TRUE(FInplace->Focused());
  EXPECT_EQ(FInplace->Text, "");
  EXPECT_FALSE(FInplace->GetEditModified());
}

TEST_F(EditInplace, ActivationMakesEditDataAndResetsClearedData) {
  FInplace->Activate(FData);
  ASSERT_NE(FData, nullptr);
  EXPECT_EQ(FData->GetEdit(), FInplace);
  EXPECT_EQ(FInplace->GetEditData(), FData);
  const Integer resets = FInplace->ResetEditDataCount;
  FData->Clear();  // current data: reset at once
  EXPECT_EQ(FInplace->ResetEditDataCount, resets + 1);
  EXPECT_FALSE(FData->GetCleared());
}

TEST_F(EditInplace, ClearedDataThatIsNotCurrentResetsAtItsNextActivation) {
  TqvCustomEditData* other = nullptr;
  FInplace->Activate(FData);
  FInplace->Activate(other);
  const Integer resets = FInplace->ResetEditDataCount;
  FData->Clear();
  EXPECT_TRUE(FData->GetCleared());
  EXPECT_EQ(FInplace->ResetEditDataCount, resets);
  FInplace->Activate(FData);
  EXPECT_EQ(FInplace->ResetEditDataCount, resets + 1);
  EXPECT_FALSE(FData->GetCleared());
  delete other;
}

TEST_F(EditInplace, EditDataOutlivesItsEditor) {
  FInplace->Activate(FData);
  Free(FInplace);
  FInplace = nullptr;
  EXPECT_EQ(FData->GetEdit(), nullptr);
  FData->Clear();
  EXPECT_TRUE(FData->GetCleared());
}

TEST_F(EditInplace, ActivationByMouseReplaysTheClickAndArmsTheDoubleClick) {
  std::vector<std::string> log;
  FInplace->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) {
    log.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
  };
  FInplace->OnDblClick = [&](TObject*) { log.push_back("double"); };
  FInplace->ActivateByMouse(ssLeft, 30, 20, FData);  // the form's client point (30, 20)
  EXPECT_EQ(log, std::vector<std::string>({"down 20,10"}));
  // The second press of the double click that started editing arrives within the time.
  const LPARAM pos = MAKELPARAM(20, 10);
  SendMessage(FInplace->GetHandle(), WM_LBUTTONUP, 0, pos);
  SendMessage(FInplace->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, pos);
  EXPECT_EQ(log, std::vector<std::string>({"down 20,10", "double", "down 20,10"}));
  SendMessage(FInplace->GetHandle(), WM_LBUTTONUP, 0, pos);
  SendMessage(FInplace->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, pos);
  EXPECT_EQ(log.back(), "down 20,10");  // the timer served one double click
}

TEST_F(EditInplace, DeactivateValidates) {
  FInplace->Props()->OnValidate = [](TObject*, Variant& AValue, TCaption& AErrorText, bool& AError) {
    AError = VarToStr(AValue) == "no";
    AErrorText = "refused";
  };
  FInplace->ActivateByKey('n', FData);
  Pump();
  Type("o");
  EXPECT_THROW(FInplace->Deactivate(), Exception);
  Press(VK_BACK);
  FInplace->Text = "ok";
  FInplace->SetModifiedAfterEnter(true);
  EXPECT_TRUE(FInplace->Deactivate());
}

TEST_F(EditInplace, InplaceEditorStartsWithoutAutoSizeAndIgnoresIt) {
  EXPECT_FALSE(FInplace->GetAutoSize());
  FInplace->SetAutoSize(true);
  EXPECT_FALSE(FInplace->GetAutoSize());
  EXPECT_TRUE(New<TTestEdit>(FForm)->GetAutoSize());
}

TEST_F(EditInplace, MouseWheelNeedsTheSettingOrCtrlInPlace) {
  EXPECT_TRUE(FEdit->CanUseMouseWheel(0));
  FInplace->Props()->SetUseMouseWheel(false);
  EXPECT_FALSE(FInplace->CanUseMouseWheel(0));
  EXPECT_TRUE(FInplace->CanUseMouseWheel(ssCtrl));
}

// ---------------------------------------------------------------------------------------------
// Clipboard messages

TEST_F(EditControl, ClipboardMessagesRunTheEditorsOperations) {
  SendMessage(FEdit->GetHandle(), WM_COPY, 0, 0);
  SendMessage(FEdit->GetHandle(), WM_CUT, 0, 0);
  SendMessage(FEdit->GetHandle(), WM_PASTE, 0, 0);
  FEdit->Props()->SetReadOnly(true);
  SendMessage(FEdit->GetHandle(), WM_CUT, 0, 0);
  SendMessage(FEdit->GetHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(FEdit->Log, std::vector<std::string>({"copy", "cut", "paste by user", "copy"}));
}

// ---------------------------------------------------------------------------------------------
// Repository items

class EditRepositoryItem : public EditControl {
 protected:
  TqvEditRepositoryItem* NewItem(TqvEditRepositoryItemClass AClass) {
    return FRepository->CreateItemEx(AClass, FForm);
  }
  TqvEditRepository* FRepository = nullptr;
  void SetUp() override {
    EditControl::SetUp();
    FRepository = New<TqvEditRepository>(FForm);
  }
};

class TTestItem : public TqvEditRepositoryItemOf<TTestEditProperties> {
  QJ_INLINE_CLASS(TTestItem, TqvEditRepositoryItemOf<TTestEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};

TEST_F(EditRepositoryItem, EditorUsesTheItemsPropertiesAndFallsBackWhenItDies) {
  TqvEditRepositoryItem* item = NewItem(&TTestItem::StaticClass());
  FEdit->SetRepositoryItem(item);
  EXPECT_EQ(FEdit->GetActiveProperties(), item->GetProperties());
  EXPECT_EQ(item->GetListenerCount(), 1);
  const Integer changes = FEdit->PropertiesChangedCount;
  Free(item);
  EXPECT_EQ(FEdit->GetRepositoryItem(), nullptr);
  EXPECT_EQ(FEdit->GetActiveProperties(), FEdit->GetOwnProperties());
  EXPECT_EQ(FEdit->PropertiesChangedCount, changes + 1);  // the view follows its own properties
  FEdit->GetOwnProperties()->SetReadOnly(true);
  EXPECT_EQ(FEdit->PropertiesChangedCount, changes + 2);
  EXPECT_EQ(FEdit->GetOwnProperties()->GetDefaultValuesProvider(), FEdit->GetDataBinding()->GetDefaultValuesProvider());
}

TEST_F(EditRepositoryItem, RepositoryFreedWithItsItemsLeavesEditorsWorking) {
  TqvEditRepositoryItem* item = NewItem(&TTestItem::StaticClass());
  FEdit->SetRepositoryItem(item);
  Free(FRepository);
  FRepository = nullptr;
  EXPECT_EQ(FEdit->GetActiveProperties(), FEdit->GetOwnProperties());
  Modify("still");
  EXPECT_EQ(FEdit->Text, "still");
}

TEST_F(EditRepositoryItem, AlignmentChangeOfTheItemReachesEveryEditorUsingIt) {
  TqvEditRepositoryItem* item = NewItem(&TTestItem::StaticClass());
  TTestEdit* second = NewEdit();
  TTestEdit* bystander = NewEdit();
  FEdit->SetRepositoryItem(item);
  second->SetRepositoryItem(item);
  const Integer first = FEdit->PropertiesChangedCount, other = second->PropertiesChangedCount,
                none = bystander->PropertiesChangedCount;
  item->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  EXPECT_EQ(FEdit->PropertiesChangedCount, first + 1);
  EXPECT_EQ(second->PropertiesChangedCount, other + 1);
  EXPECT_EQ(bystander->PropertiesChangedCount, none);
  FEdit->GetOwnProperties()->GetAlignment()->SetHorz(taCenter);  // not in use: silent
  EXPECT_EQ(FEdit->PropertiesChangedCount, first + 1);
}

TEST_F(EditRepositoryItem, ItemOfAnotherKindIsNotAcceptable) {
  TqvEditRepositoryItem* good = NewItem(&TTestItem::StaticClass());
  TqvEditRepositoryItem* base = NewItem(&TqvEditRepositoryItem::StaticClass());
  FEdit->SetRepositoryItem(good);
  try {
    FEdit->SetRepositoryItem(base);
    ADD_FAILURE() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The repository item is not acceptable");
  }
  EXPECT_EQ(FEdit->GetRepositoryItem(), good);
  EXPECT_EQ(base->GetListenerCount(), 0);
}

TEST_F(EditRepositoryItem, ItemChangesReachTheEditorAndOwnPropertiesStaySilent) {
  TqvEditRepositoryItem* item = NewItem(&TTestItem::StaticClass());
  FEdit->SetRepositoryItem(item);
  FEdit->Props()->SetReadOnly(true);
  EXPECT_FALSE(FEdit->CanModify());
  FEdit->SetProperties(FEdit->GetOwnProperties());  // ignored while an item is set
  FEdit->SetRepositoryItem(nullptr);
  EXPECT_TRUE(FEdit->CanModify());
  EXPECT_EQ(item->GetListenerCount(), 0);
}

TEST_F(EditRepositoryItem, FreedEditorLeavesItsItem) {
  TqvEditRepositoryItem* item = NewItem(&TTestItem::StaticClass());
  FEdit->SetRepositoryItem(item);
  Free(FEdit);
  FEdit = nullptr;
  EXPECT_EQ(item->GetListenerCount(), 0);
  item->PropertiesChanged();
}

// ---------------------------------------------------------------------------------------------
// In-place edit list

class InplaceEditList : public TEditControlTest {
 protected:
  TqvInplaceEditList FList;
};

TEST_F(InplaceEditList, OneHiddenEditorPerPropertiesObject) {
  auto shared = MakeOwned<TTestEditProperties>(nullptr);
  auto equal = MakeOwned<TTestEditProperties>(nullptr);
  TqvCustomEdit* first = FList.GetEdit(shared.get());
  EXPECT_TRUE(first->IsExactly<TTestEdit>());
  EXPECT_TRUE(first->IsInplace());
  EXPECT_FALSE(first->GetVisible());
  EXPECT_EQ(FList.GetEdit(shared.get()), first);
  EXPECT_NE(FList.GetEdit(equal.get()), first);
  EXPECT_EQ(FList.Count(), 2);
}

TEST_F(InplaceEditList, GetEditAppliesTheCurrentSettingsEveryTime) {
  auto properties = MakeOwned<TTestEditProperties>(nullptr);
  TqvCustomEdit* edit = FList.GetEdit(properties.get());
  EXPECT_FALSE(edit->GetActiveProperties()->GetValidateOnEnter());
  properties->SetValidateOnEnter(true);
  properties->Revertable = false;
  EXPECT_EQ(FList.GetEdit(properties.get()), edit);
  EXPECT_TRUE(edit->GetActiveProperties()->GetValidateOnEnter());
  EXPECT_FALSE(static_cast<TTestEdit*>(edit)->Props()->Revertable);
  EXPECT_NE(edit->GetActiveProperties(), properties.get());
}

TEST_F(InplaceEditList, ByPropertiesClassMatchesTheExactClass) {
  auto properties = MakeOwned<TTestEditProperties>(nullptr);
  TqvCustomEdit* edit = FList.GetEdit(properties.get());
  EXPECT_EQ(FList.GetEditByPropertiesClass(&TTestEditProperties::StaticClass()), edit);
  TqvCustomEdit* other = FList.GetEditByPropertiesClass(&TTestOtherEditProperties::StaticClass());
  EXPECT_TRUE(other->IsExactly<TTestOtherEdit>());
  EXPECT_TRUE(other->GetVisible());
  EXPECT_EQ(FList.FindEdit(other->GetOwnProperties()), other);
  EXPECT_EQ(FList.GetEditByPropertiesClass(&TTestOtherEditProperties::StaticClass()), other);
}

TEST_F(InplaceEditList, RemoveItemFreesTheEditorAndIgnoresUnknownKeys) {
  auto properties = MakeOwned<TTestEditProperties>(nullptr);
  auto unknown = MakeOwned<TTestEditProperties>(nullptr);
  TqvCustomEdit* edit = FList.GetEdit(properties.get());
  TAliveToken alive = edit->AliveToken();
  FList.RemoveItem(unknown.get());
  EXPECT_EQ(FList.Count(), 1);
  FList.RemoveItem(properties.get());
  EXPECT_EQ(FList.Count(), 0);
  EXPECT_FALSE(alive);
  EXPECT_THROW(FList.Items(0), EListError);
}

// ---------------------------------------------------------------------------------------------
// Data binding

TEST_F(EditControl, StandaloneBindingGivesNeutralAnswersAndOwnsTheProvider) {
  TqvEditDataBinding* binding = FEdit->GetDataBinding();
  EXPECT_TRUE(binding->CanModify());
  EXPECT_TRUE(binding->SetEditMode());
  EXPECT_EQ(binding->GetOwner(), FEdit);
  ASSERT_NE(binding->GetDefaultValuesProvider(), nullptr);
  EXPECT_EQ(FEdit->GetOwnProperties()->GetDefaultValuesProvider(), binding->GetDefaultValuesProvider());
  FEdit->Text = "shown";
  EXPECT_EQ(VarToStr(binding->GetDisplayValue()), "shown");
  EXPECT_FALSE(binding->GetModified());
}

TEST_F(EditControl, InplaceEditorHasNoProviderFromItsBinding) {
  TTestEdit* edit = NewEdit(true);
  EXPECT_EQ(edit->GetOwnProperties()->GetDefaultValuesProvider(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Routines

TEST(EditRoutines, MouseKeysFromShiftStates) {
  EXPECT_EQ(ShiftStateToMouseKeys(ssShift | ssCtrl | ssLeft | ssRight | ssMiddle), WPARAM(4 | 8 | 1 | 2 | 0x10));
  EXPECT_EQ(ShiftStateToMouseKeys(ssAlt), WPARAM(0));
  EXPECT_EQ(MouseButtonToShiftState(mbRight), TShiftState(ssRight));
  EXPECT_EQ(MouseCodeToShiftState(cmbNone), TShiftState(0));
  EXPECT_EQ(MouseCodeToShiftState(cmbMiddle), TShiftState(ssMiddle));
}

TEST(EditRoutines, VarEqualsExactNeedsTheSameType) {
  EXPECT_TRUE(VarEqualsExact(Variant(1), Variant(1)));
  EXPECT_FALSE(VarEqualsExact(Variant(1), Variant(String("1"))));
  EXPECT_FALSE(VarEqualsExact(Variant(1), Variant(1.0)));
  EXPECT_TRUE(VarEqualsExact(Null(), Null()));
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------------
// Inner edit

class EditInnerEdit : public TEditControlTest {
 protected:
  void SetUp() override {
    TEditControlTest::SetUp();
    FEdit = static_cast<TTestInnerEditEdit*>(
        TqvCustomEdit::CreateInplace(&TTestInnerEditEdit::StaticClass(), FForm, GetInplace()));
    FEdit->SetAutoSize(false);
    FEdit->SetBoundsRect(Rect(10, 10, 150, 31));
    FEdit->SetParent(FForm);
    ShowForm();
  }
  void TearDown() override {
    delete FData;
    TEditControlTest::TearDown();
  }
  virtual bool GetInplace() const { return false; }
  TTestInnerEdit* Inner() const { return static_cast<TTestInnerEdit*>(FEdit->GetInnerEdit()->GetControl()); }

  TTestInnerEditEdit* FEdit = nullptr;
  TqvCustomEditData* FData = nullptr;
};

TEST_F(EditInnerEdit, InnerEditIsTheContainersInnerControlAndFollowsReadOnly) {
  ASSERT_NE(FEdit->GetInnerEdit(), nullptr);
  EXPECT_EQ(FEdit->GetInnerControl(), Inner());
  EXPECT_EQ(Inner()->GetParent(), FEdit);
  EXPECT_FALSE(Inner()->GetReadOnly());
  FEdit->Props()->SetReadOnly(true);
  EXPECT_TRUE(Inner()->GetReadOnly());
}

TEST_F(EditInnerEdit, TypingIntoTheInnerEditModifiesAndFiresOnChange) {
  Integer changes = 0;
  FEdit->Props()->OnChange = [&](TObject*) { ++changes; };
  FEdit->SetFocus();
  Pump();
  EXPECT_TRUE(Inner()->Focused());
  Type("hi");
  EXPECT_EQ(Inner()->GetText(), "hi");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(FEdit->GetModifiedAfterEnter());
  EXPECT_TRUE(FEdit->GetEditModified());
}

TEST_F(EditInnerEdit, ChangeWithoutFocusIsNotAModification) {
  Integer changes = 0;
  FEdit->Props()->OnChange = [&](TObject*) { ++changes; };
  Inner()->SetText("set by code");
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(FEdit->GetModifiedAfterEnter());
}

// With its inner edit focused, the editor's place in the tab order is the inner edit's: Tab and
// Shift+Tab from the inner edit reach the controls after and before the editor, never the
// editor itself (which would only hand the focus back to its inner edit).
TEST_F(EditInnerEdit, TabAndShiftTabFromTheInnerEditLeaveTheEditor) {
  TEdit* after = Add<TEdit>(FForm, Rect(10, 240, 110, 262));
  struct TStep {
    unsigned Shift;
    TWinControl* Expected;
    const char* Name;
  };
  for (const TStep& step : {TStep{0, after, "Tab"}, TStep{skShift, FOther, "Shift+Tab"}}) {
    Inner()->SetFocus();
    Pump();
    ASSERT_TRUE(Inner()->Focused());
    Press(VK_TAB, step.Shift);
    EXPECT_TRUE(step.Expected->Focused()) << step.Name;
  }
  Inner()->SetFocus();
  Pump();
  std::vector<TWinControl*> order;
  FForm->GetTabOrderList(order);
  EXPECT_EQ(std::count(order.begin(), order.end(), FEdit), 0);
  EXPECT_EQ(std::count(order.begin(), order.end(), Inner()), 1);
  FOther->SetFocus();
  Pump();
  order.clear();
  FForm->GetTabOrderList(order);
  EXPECT_EQ(std::count(order.begin(), order.end(), FEdit), 1);
}

class EditInnerEditInplace : public EditInnerEdit {
 protected:
  bool GetInplace() const override { return true; }
};

TEST_F(EditInnerEditInplace, ActivationKeyPassesTheHookedInnerEditOnlyDuringActivation) {
  FEdit->ActivateByKey('k', FData);
  Pump();
  EXPECT_EQ(FEdit->HookedChars, std::vector<char>({'k'}));
  EXPECT_EQ(Inner()->GetText(), "k");
  Type("m");
  EXPECT_EQ(Inner()->GetText(), "km");
  EXPECT_EQ(FEdit->HookedChars, std::vector<char>({'k'}));
}

TEST_F(EditInnerEditInplace, TabStaysWithTheGridWhenTheEditorHasAnInnerEdit) {
  EXPECT_FALSE(FEdit->GetKeys() & dkBit(dkTab));
  EXPECT_TRUE(FEdit->GetKeys() & dkBit(dkArrows));
}

TEST_F(EditInnerEdit, FreeingTheEditorFreesTheInnerEdit) {
  TAliveToken inner = Inner()->AliveToken();
  Free(FEdit);
  EXPECT_FALSE(inner);
}

// ---------------------------------------------------------------------------------------------
// Filter words

TEST(EditorsUnit, FilterWordsGoThroughTheLocalisableGetter) {
  {
    TResourceTextScope texts{{&sqvFilterOperatorEqual, "gleich"}};
    EXPECT_EQ(GetFilterResourceString(&sqvFilterOperatorEqual), "gleich");
  }
  EXPECT_EQ(GetFilterResourceString(&sqvFilterOperatorEqual), "equals");
}

}  // namespace
