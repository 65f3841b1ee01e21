// Fixture of the filter builder tests: a filterable component over an unbound data controller
// (items with IDs, captions, editor properties and value types, the controller's filter as the
// criteria), a shown form holding a builder linked to it, and input injected through the
// headless backend.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "support/ControlPixels.h"
#include "core/qvData.h"
#include "editors/qvCheckBox.h"
#include "editors/qvTextEdit.h"
#include "grid/qvFilterControl.h"
#include "support/EnumNames.h"

inline std::string HitKindName(TqvFilterHitKind AKind) {
  return NameOf(AKind, {{fhkNone, "None"}, {fhkButton, "Button"}, {fhkBoolOperator, "BoolOperator"}, {fhkItem, "Item"},
                        {fhkOperator, "Operator"}, {fhkValue, "Value"}, {fhkAddCondition, "AddCondition"},
                        {fhkAddValue, "AddValue"}});
}

// One filterable item: an ID that is not its index, a caption, its editor properties.
class TTestFilterItem : public TObject {
  QJ_INLINE_CLASS(TTestFilterItem, TObject)
 public:
  TTestFilterItem(Integer AID, String ACaption, TqvCustomEditPropertiesClass APropertiesClass)
      : ID(AID), Caption(std::move(ACaption)) {
    if (APropertiesClass) Properties.reset(APropertiesClass->Create(nullptr));
  }
  Integer ID;
  String Caption;
  TOwned<TqvCustomEditProperties> Properties;
};

class TTestFilterDataController : public TqvDataController {
  QJ_INLINE_CLASS(TTestFilterDataController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  Integer GetItemID(TObject* AItem) const override {
    auto* item = dynamic_cast<TTestFilterItem*>(AItem);
    return item ? item->ID : -1;
  }
  String GetItemDisplayName(Integer AItemIndex) const override {
    return static_cast<TTestFilterItem*>(GetItem(AItemIndex))->Caption;
  }
};

// The component whose filter the builder edits: it offers every item of its controller.
class TTestFilterLink : public TComponent, public IqvFilterControl {
  QJ_INLINE_CLASS(TTestFilterLink, TComponent)
 public:
  explicit TTestFilterLink(TComponent* AOwner) : TComponent(AOwner) {
    Controller = MakeOwned<TTestFilterDataController>(nullptr);
  }
  ~TTestFilterLink() override {
    Controller.reset();
    Items.clear();
  }

  // Adds an item of the value type with editor properties of the class (nullptr: none).
  TTestFilterItem* AddItem(Integer AID, const String& ACaption, TqvValueTypeClass AValueType,
                           TqvCustomEditPropertiesClass APropertiesClass = &TqvTextEditProperties::StaticClass()) {
    Items.push_back(MakeOwned<TTestFilterItem>(AID, ACaption, APropertiesClass));
    Controller->AddItem(Items.back().get());
    Controller->ChangeValueTypeClass(Controller->GetItemCount() - 1, AValueType);
    return Items.back().get();
  }

  String GetCaption(Integer AIndex) override { return Item(AIndex)->Caption; }
  Integer GetCount() override { return Hidden ? 0 : Controller->GetItemCount(); }
  TqvFilterCriteria* GetCriteria() override { return Controller->GetFilter(); }
  Integer GetItemLink(Integer AIndex) override { return Item(AIndex)->ID; }
  String GetFieldName(Integer AIndex) override { return "F" + Item(AIndex)->Caption; }
  TqvCustomEditProperties* GetProperties(Integer AIndex) override { return Item(AIndex)->Properties.get(); }
  TqvValueTypeClass GetValueTypeClass(Integer AIndex) override {
    return Controller->GetItemValueTypeClass(AIndex);
  }

  TqvDataFilterCriteria* Filter() const { return Controller->GetFilter(); }
  TTestFilterItem* Item(Integer AIndex) const { return static_cast<TTestFilterItem*>(Controller->GetItem(AIndex)); }

  std::vector<TOwned<TTestFilterItem>> Items;
  TOwned<TTestFilterDataController> Controller;
  bool Hidden = false;
};

// A component that is no filter link.
class TNotAFilterLink : public TComponent {
  QJ_INLINE_CLASS(TNotAFilterLink, TComponent)
 public:
  using TComponent::TComponent;
};

class TFilterControlTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    Form = NewForm(500, 400);
    Link = New<TTestFilterLink>(Form);
    Link->AddItem(10, "Name", TqvStringValueType::Class());
    Link->AddItem(20, "Number", TqvIntegerValueType::Class());
    Link->AddItem(30, "Remark", TqvStringValueType::Class());
    Builder = New<TqvFilterControl>(Form);
    Builder->SetBounds(10, 10, 460, 300);
    Builder->SetParent(Form);
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
  }

  void Show() { TqvControlsTest::Show(Form); }
  // root; 1 Name like "x"; 2 OR group; 3 Number between 1 and 9; 4 Remark in (a, b); shown.
  void MakeSampleRows() {
    AddFilter(nullptr, 0, okLike, String("x"), "x");
    TqvFilterCriteriaItemList* group = Link->Filter()->GetRoot()->AddItemList(fjkOr);
    AddFilter(group, 1, okBetween, VarArrayOf({1, 9}), "1;9");
    AddFilter(group, 2, okInList, VarArrayOf({String("a"), String("b")}), "a;b");
    Linked();
  }
  void Linked() {
    Builder->SetLinkComponent(Link);
    Show();
  }
  // Conditions in the link's own filter, added as the grid would (the link is the item).
  TqvFilterCriteriaItem* AddFilter(TqvFilterCriteriaItemList* AList, Integer AItemIndex, TqvFilterOperatorKind AKind,
                                   const Variant& AValue, const String& AText) {
    return Link->Filter()->AddItem(AList, Link->Item(AItemIndex), AKind, AValue, AText);
  }
  TqvConditionViewInfo* Condition(Integer ARowIndex) const {
    return As<TqvConditionViewInfo>(Builder->GetRow(ARowIndex));
  }
  TqvGroupViewInfo* Group(Integer ARowIndex) const { return As<TqvGroupViewInfo>(Builder->GetRow(ARowIndex)); }
  // A filter file of another view: a condition on Name (ID 10) and one on an item (ID 77) that
  // this fixture's link lacks.
  static void WriteForeignFilter(const String& AFileName) {
    auto other = MakeOwned<TTestFilterLink>(nullptr);
    other->AddItem(77, "Elsewhere", TqvStringValueType::Class());
    other->AddItem(10, "Name", TqvStringValueType::Class());
    other->Filter()->AddItem(nullptr, other->Item(1), okEqual, String("a"), "a");
    other->Filter()->AddItem(nullptr, other->Item(0), okEqual, String("b"), "b");
    auto writer = MakeOwned<TqvFilterControl>(nullptr);
    writer->SetLinkComponent(other.get());
    writer->SaveToFile(AFileName);
  }
  // Focuses an element without activating it.
  void FocusElement(Integer ARowIndex, TqvFilterHitKind AKind, Integer AValueIndex = -1) {
    Builder->GetFocusedInfo().Row = Builder->GetRow(ARowIndex);
    Builder->GetFocusedInfo().ValueIndex = AValueIndex;
    Builder->SetFocusKind(AKind);
  }
  static TPoint Centre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
  // The pixel the window shows at a client point of the builder.
  COLORREF Pixel(TPoint p) const { return ControlPixelOf(Builder, p).Value; }
  static COLORREF RGBOf(TColor c) { return ColorToRGB(c); }
  // Pixels of a colour in a client rectangle of the builder, as the window shows them.
  Integer CountPixels(const TRect& R, TColor AColor) const {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += Pixel({x, y}) == RGBOf(AColor);
    return n;
  }

  TForm* Form = nullptr;
  TTestFilterLink* Link = nullptr;
  TqvFilterControl* Builder = nullptr;
  std::vector<String> Errors;
};
