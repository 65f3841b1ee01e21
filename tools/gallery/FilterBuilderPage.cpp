// The filter builder page: a builder linked to a channel list with a filter of nested groups,
// ranges, lists, blanks and patterns; one with level lines off and large fonts; a disabled one;
// and one without a link. The custom filter dialog page: the dialog on a text column with two
// conditions joined by OR, and on a number column.
#include "GalleryPage.h"
#include "core/qvData.h"
#include "editors/qvCheckBox.h"
#include "editors/qvDateEdit.h"
#include "editors/qvTextEdit.h"
#include "grid/qvFilterControl.h"
#include "grid/qvFilterDialog.h"
#include "platform/rtl/DateTime.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kFilterCaptionWidth = 400;

// An item of the channel list: its ID, caption and editor properties.
class TGalleryFilterItem : public TObject {
  QJ_INLINE_CLASS(TGalleryFilterItem, TObject)
 public:
  TGalleryFilterItem(Integer AID, String ACaption, TqvCustomEditPropertiesClass APropertiesClass)
      : ID(AID), Caption(std::move(ACaption)), Properties(APropertiesClass->Create(nullptr)) {}
  Integer ID;
  String Caption;
  TOwned<TqvCustomEditProperties> Properties;
};

class TGalleryFilterController : public TqvDataController {
  QJ_INLINE_CLASS(TGalleryFilterController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  Integer GetItemID(TObject* AItem) const override {
    auto* item = dynamic_cast<TGalleryFilterItem*>(AItem);
    return item ? item->ID : -1;
  }
};

// The channel list whose filter the builders edit; it lives as long as the page's parent.
class TGalleryFilterLink : public TComponent, public IqvFilterControl {
  QJ_INLINE_CLASS(TGalleryFilterLink, TComponent)
 public:
  explicit TGalleryFilterLink(TComponent* AOwner) : TComponent(AOwner) {
    FController = MakeOwned<TGalleryFilterController>(nullptr);
    Add(1, "Channel", TqvStringValueType::Class());
    Add(2, "Frequency", TqvIntegerValueType::Class());
    Add(3, "Symbol rate", TqvIntegerValueType::Class());
    Add(4, "Provider", TqvStringValueType::Class());
    Add(5, "Added", TqvDateTimeValueType::Class(), &TqvDateEditProperties::StaticClass());
    Add(6, "Scrambled", TqvBooleanValueType::Class(), &TqvCheckBoxProperties::StaticClass());
  }
  ~TGalleryFilterLink() override {
    FController.reset();
    FItems.clear();
  }

  String GetCaption(Integer AIndex) override { return Item(AIndex)->Caption; }
  Integer GetCount() override { return FController->GetItemCount(); }
  TqvFilterCriteria* GetCriteria() override { return FController->GetFilter(); }
  Integer GetItemLink(Integer AIndex) override { return Item(AIndex)->ID; }
  String GetFieldName(Integer) override { return String(); }
  TqvCustomEditProperties* GetProperties(Integer AIndex) override { return Item(AIndex)->Properties.get(); }
  TqvValueTypeClass GetValueTypeClass(Integer AIndex) override { return FController->GetItemValueTypeClass(AIndex); }

  TGalleryFilterItem* Item(Integer AIndex) const {
    return static_cast<TGalleryFilterItem*>(FController->GetItem(AIndex));
  }
  void Condition(TqvFilterCriteriaItemList* AList, Integer AItem, TqvFilterOperatorKind AKind, const Variant& AValue,
                 const String& AText) {
    FController->GetFilter()->AddItem(AList, Item(AItem), AKind, AValue, AText);
  }

 private:
  void Add(Integer AID, const String& ACaption, TqvValueTypeClass AType,
           TqvCustomEditPropertiesClass AProperties = &TqvTextEditProperties::StaticClass()) {
    FItems.push_back(MakeOwned<TGalleryFilterItem>(AID, ACaption, AProperties));
    FController->AddItem(FItems.back().get());
    FController->ChangeValueTypeClass(FController->GetItemCount() - 1, AType);
  }

  std::vector<TOwned<TGalleryFilterItem>> FItems;
  TOwned<TGalleryFilterController> FController;
};

TqvFilterControl* AddBuilder(TWinControl* Parent, const TRect& ABounds, TComponent* ALink) {
  auto* builder = New<TqvFilterControl>(Parent);
  builder->SetBoundsRect(ABounds);
  builder->SetParent(Parent);
  builder->SetLinkComponent(ALink);
  return builder;
}

void BuildFilterBuilderPage(TWinControl* Parent) {
  auto* link = New<TGalleryFilterLink>(Parent);
  TqvFilterCriteriaItemList* root = link->GetCriteria()->GetRoot();
  link->Condition(nullptr, 0, okLike, String("BBC%"), "BBC%");
  TqvFilterCriteriaItemList* group = root->AddItemList(fjkOr);
  link->Condition(group, 1, okBetween, VarArrayOf({10700, 11700}), "10700;11700");
  link->Condition(group, 2, okInList, VarArrayOf({22000, 27500, 29900}), "22000;27500;29900");
  TqvFilterCriteriaItemList* inner = group->AddItemList(fjkNotAnd);
  link->Condition(inner, 3, okEqual, Null(), "");
  link->Condition(inner, 0, okNotEqual, String(""), "");
  link->Condition(nullptr, 3, okNotLike, String("Test_"), "Test_");
  link->Condition(nullptr, 4, okGreaterEqual, VarFromDateTime(EncodeDate(2026, 3, 1)), "3/1/2026");
  auto* scrambled = static_cast<TqvCheckBoxProperties*>(link->Item(5)->Properties.get());
  link->Condition(nullptr, 5, okEqual, scrambled->GetValueUnchecked(),
                  scrambled->GetDisplayText(scrambled->GetValueUnchecked()));

  const Integer wide = 610;
  AddLabel(Parent, kNarrowMargin, kNarrowMargin, "Linked, nested groups, ranges, lists, blanks and patterns",
           kFilterCaptionWidth);
  TqvFilterControl* main = AddBuilder(Parent, Bounds(kNarrowMargin, kNarrowMargin + kLabelHeight, wide, 290), link);
  main->GetFocusedInfo().Row = main->GetRow(3);
  main->GetFocusedInfo().ValueIndex = 1;
  main->SetFocusKind(fhkValue);

  const Integer y2 = kNarrowMargin + kLabelHeight + 300;
  AddLabel(Parent, kNarrowMargin, y2, "Level lines off, larger fonts, NullString \"(none)\"", kFilterCaptionWidth);
  TqvFilterControl* large = AddBuilder(Parent, Bounds(kNarrowMargin, y2 + kLabelHeight, wide, 360), link);
  large->SetShowLevelLines(false);
  large->TControl::GetFont()->SetHeight(-15);
  large->SetNullString("(none)");

  const Integer x2 = kNarrowMargin + wide + 12;
  const Integer narrow = GalleryPageSize.cx - x2 - kNarrowMargin;
  AddLabel(Parent, x2, kNarrowMargin, "Disabled", kFilterCaptionWidth);
  TqvFilterControl* disabled = AddBuilder(Parent, Bounds(x2, kNarrowMargin + kLabelHeight, narrow, 200), link);
  disabled->SetEnabled(false);
  AddLabel(Parent, x2, kNarrowMargin + kLabelHeight + 210, "Without a link", kFilterCaptionWidth);
  AddBuilder(Parent, Bounds(x2, kNarrowMargin + 2 * kLabelHeight + 210, narrow, 150), nullptr);
}

const TGalleryPageRegistration FilterBuilderPage("FilterBuilder", 800, &BuildFilterBuilderPage);

// A custom filter dialog for the link's item, placed on the page.
void AddCustomFilterDialog(TWinControl* Parent, TGalleryFilterLink* ALink, Integer AItem, Integer X, Integer Y) {
  TGalleryFilterItem* item = ALink->Item(AItem);
  auto* dialog = New<TqvFilterDialog>(Parent);
  dialog->Init(ALink->GetCriteria(), item, item->Properties.get(), item->Caption, ALink->GetValueTypeClass(AItem),
               nullptr, GetFilterEditsController()->FindHelper(item->Properties->ClassType()));
  dialog->SetParent(Parent);
  dialog->SetLeft(X);
  dialog->SetTop(Y);
  dialog->Show();
}

void BuildCustomFilterDialogPage(TWinControl* Parent) {
  auto* link = New<TGalleryFilterLink>(Parent);
  TqvFilterCriteriaItemList* pair = link->GetCriteria()->GetRoot()->AddItemList(fjkOr);
  link->Condition(pair, 0, okLike, String("BBC%"), "BBC%");
  link->Condition(pair, 0, okNotEqual, String("BBC Test_1"), "BBC Test_1");
  AddLabel(Parent, kNarrowMargin, kNarrowMargin, "A text column: like or does not equal", kFilterCaptionWidth);
  AddCustomFilterDialog(Parent, link, 0, kNarrowMargin, kNarrowMargin + kLabelHeight);
  AddLabel(Parent, kNarrowMargin, 260, "A number column without a filter", kFilterCaptionWidth);
  AddCustomFilterDialog(Parent, link, 1, kNarrowMargin, 260 + kLabelHeight);
}

const TGalleryPageRegistration CustomFilterDialogPage("CustomFilterDialog", 800, &BuildCustomFilterDialogPage);

}  // namespace
