// Image combo box: value to description and image, defaults for unknown values, the edit value
// taken from the chosen item, values set from code leaving the modified flags, the image index of
// new items, and the supported operations.
#include "editors/qvImageComboBox.h"
#include "qvDropDownTestSupport.h"
#include "qvEditorsTestSupport.h"

namespace {

class TImageComboBoxTest : public TDropDownTest {
 protected:
  TqvImageComboBox* NewImageCombo() { return NewTextEdit<TqvImageComboBox>(); }
  static void AddItem(TqvCustomImageComboBoxProperties* P, const char* ADescription, const Variant& AValue,
                      Integer AImage = -1) {
    TqvImageComboBoxItem* item = P->GetItems()->Add();
    item->SetDescription(ADescription);
    item->SetValue(AValue);
    item->SetImageIndex(AImage);
  }
  // 16 x 16 images of one colour each.
  TImageList* NewImages(const std::vector<TColor>& AColors) {
    auto* images = New<TImageList>(FForm);
    images->SetWidth(16);
    images->SetHeight(16);
    for (TColor color : AColors) {
      auto square = MakeOwned<TBitmap>();
      square->SetPixelFormat(pf32bit);
      square->SetSize(16, 16);
      square->GetCanvas()->GetBrush()->SetColor(color);
      square->GetCanvas()->FillRect(Rect(0, 0, 16, 16));
      images->Add(square.get(), nullptr);
    }
    return images;
  }
  TImageList* NewImages(Integer ACount) { return NewImages(std::vector<TColor>(size_t(ACount), clGray)); }
};

struct TComboValueCase {
  const char* Name;
  Variant Value;
  const char* Text;
  Integer Image;
};

class TImageComboBoxValueTest : public TImageComboBoxTest, public ::testing::WithParamInterface<TComboValueCase> {};

TEST_P(TImageComboBoxValueTest, ShowsTheItemOrTheDefaults) {
  const TComboValueCase& c = GetParam();
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, "V", 0, 3);
  AddItem(p, "H", 1, 4);
  p->SetDefaultDescription("?");
  p->SetDefaultImageIndex(9);
  Integer image = -2;
  String text;
  p->GetValueImageAndText(c.Value, image, text);
  EXPECT_EQ(text, String(c.Text));
  EXPECT_EQ(image, c.Image);
  EXPECT_EQ(p->GetDisplayText(c.Value), String(c.Text));
  ShowForm();
  combo->SetEditValue(c.Value);
  Pump();
  EXPECT_EQ(combo->GetText(), String(c.Text));
}

INSTANTIATE_TEST_SUITE_P(Values, TImageComboBoxValueTest,
                         ::testing::Values(TComboValueCase{"Zero", 0, "V", 3}, TComboValueCase{"One", 1, "H", 4},
                                           TComboValueCase{"OneAsText", String("1"), "H", 4},
                                           TComboValueCase{"Unknown", 5, "?", 9},
                                           TComboValueCase{"Null", Null(), "?", 9}),
                         [](const ::testing::TestParamInfo<TComboValueCase>& info) { return info.param.Name; });

TEST_F(TImageComboBoxTest, WithoutDescriptionsOnlyTheImageShowsAndNoIncrementalSearch) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  p->SetImages(NewImages(2));
  AddItem(p, "V", 0, 0);
  EXPECT_TRUE(p->GetSupportedOperations() & esoIncSearch);
  p->SetShowDescriptions(false);
  EXPECT_FALSE(p->GetSupportedOperations() & esoIncSearch);
  EXPECT_EQ(p->GetSupportedOperations() & ~esoButtons, 0xCCu);
  Integer image = -1;
  String text;
  p->GetValueImageAndText(0, image, text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(image, 0);
  ShowForm();
  combo->SetEditValue(0);
  Pump();
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(combo->GetViewInfo());
  const TRect r = viewInfo->InnerEditRect;  // centred in the text rectangle, left of the button
  EXPECT_EQ(viewInfo->ImageRect.Left - r.Left + (r.Width() - 16) % 2, r.Right - viewInfo->ImageRect.Right);
}

TEST_F(TImageComboBoxTest, ChoosingTheFirstItemWithEnterSetsItsValueNotItsDescription) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  const char* fec[] = {"AUTO", "1/2", "2/3", "3/4", "5/6", "6/7", "7/8", "8/9"};
  for (Integer i = 0; i < 8; ++i) AddItem(p, fec[i], i);
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(combo->GetDroppedDown());
  const Variant value = combo->GetEditValue();
  EXPECT_EQ(VarType(value), VarType(Variant(0)));
  EXPECT_EQ(value.AsInteger(), 0);
  EXPECT_EQ(combo->GetText(), "AUTO");
  EXPECT_EQ(combo->GetItemIndex(), 0);
}

TEST_F(TImageComboBoxTest, AValueSetFromCodeLeavesTheModifiedFlags) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, "V", 0);
  AddItem(p, "H", 1);
  ShowForm();
  combo->SetEditValue(1);
  Pump();
  EXPECT_EQ(combo->GetText(), "H");
  EXPECT_EQ(combo->GetItemIndex(), 1);
  EXPECT_FALSE(combo->GetEditModified());
  EXPECT_FALSE(combo->GetModifiedAfterEnter());
}

TEST_F(TImageComboBoxTest, NewItemsTakeTheirIndexAsImageWhileThereAreEnoughImages) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  p->SetImages(NewImages(5));
  std::vector<Integer> images;
  for (Integer i = 0; i < 7; ++i) images.push_back(p->GetItems()->Add()->GetImageIndex());
  EXPECT_EQ(images, (std::vector<Integer>{0, 1, 2, 3, 4, -1, -1}));
  EXPECT_TRUE(VarIsNull(p->GetItems()->GetItem(0)->GetValue()));
}

TEST_F(TImageComboBoxTest, AFreedImageListIsForgotten) {
  TqvImageComboBox* combo = NewImageCombo();
  TImageList* images = NewImages(2);
  combo->GetProperties()->SetImages(images);
  combo->GetProperties()->SetLargeImages(images);
  Free(images);
  EXPECT_EQ(combo->GetProperties()->GetImages(), nullptr);
  EXPECT_EQ(combo->GetProperties()->GetLargeImages(), nullptr);
}

TEST_F(TImageComboBoxTest, FindsItemsByDescriptionIgnoringCaseOnlyWithDescriptions) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, "Horizontal", 1);
  EXPECT_NE(p->FindItemByDescription("HORIZONTAL"), nullptr);
  EXPECT_TRUE(p->FindLookupText("horizontal"));
  p->SetShowDescriptions(false);
  EXPECT_EQ(p->FindItemByDescription("Horizontal"), nullptr);
}

TEST_F(TImageComboBoxTest, TheListUsesTheLargeImagesWhileTheEditShowsTheSmallOnes) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  p->SetImages(NewImages(2));
  auto* large = New<TImageList>(FForm);
  large->SetWidth(40);
  large->SetHeight(40);
  p->SetLargeImages(large);
  AddItem(p, "V", 0, 0);
  AddItem(p, "H", 1, 1);
  ShowForm();
  combo->SetEditValue(1);
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  EXPECT_EQ(List(combo)->ItemRect(0).Height(), 42);
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(combo->GetViewInfo());
  EXPECT_EQ(viewInfo->ImageRect.Width(), 16);
  EXPECT_EQ(viewInfo->ImageIndex, 1);
}

TEST_F(TImageComboBoxTest, MultiLineDescriptionsMakeTallerRowsAndThePopupTakesTheEditWidth) {
  TqvImageComboBox* combo = NewImageCombo();
  TqvImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, "short", 0);
  AddItem(p, "a description long enough to need several lines in a popup as wide as the edit", 1);
  p->SetMultiLineText(true);
  ShowForm();
  Focus(combo);
  Press(VK_F4);
  ASSERT_TRUE(combo->GetDroppedDown());
  TqvCustomEditListBox* list = List(combo);
  EXPECT_GT(list->ItemRect(1).Height(), 2 * list->ItemRect(0).Height() - 2);
  EXPECT_EQ(combo->GetPopupWindow()->GetWidth(), combo->GetPopupWindow()->GetPopupOwnerRect().Width());
}

// A standalone edit with its drop-down button: the image stands in the text rectangle, 2 pixels
// in from its side (or centred without descriptions), clear of the button and of the text.
struct TImageAlignCase {
  const char* Name;
  TqvImageAlign Align;
  bool Descriptions;
  friend void PrintTo(const TImageAlignCase& c, std::ostream* os) { *os << c.Name; }
};

class TImageComboBoxAlignTest : public TImageComboBoxTest, public ::testing::WithParamInterface<TImageAlignCase> {};

TEST_P(TImageComboBoxAlignTest, TheImageStandsInTheTextRectangle) {
  const TImageAlignCase& c = GetParam();
  auto properties = MakeOwned<TqvImageComboBoxProperties>(nullptr);
  properties->SetImages(NewImages(std::vector<TColor>{clRed}));
  properties->SetImageAlign(c.Align);
  properties->SetShowDescriptions(c.Descriptions);
  AddItem(properties.get(), "Horizontal", 0, 0);
  auto style = MakeOwned<TqvCustomEditStyle>(nullptr, false);
  style->SetFont(FForm->GetFont());
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), false);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
  TEditorsCanvas canvas(150, 22);
  data->Calculate(canvas.Canvas(), Rect(0, 0, 150, 22), Point(-1, -1), cmbNone, 0, info.get(), false);
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(info.get());
  data->EditValueToViewInfo(canvas.Canvas(), 0, info.get());
  info->Draw(canvas.Canvas());
  ASSERT_EQ(info->GetButtonCount(), 1);
  const TRect button = info->GetButton(0)->Bounds;
  const TRect client = viewInfo->ClientRect;
  const TRect text{client.Left, client.Top, button.Left, client.Bottom};
  const TRect red = InkBoxOf(canvas.Width(), canvas.Height(), ~COLORREF(0),
                             [&](int x, int y) { return canvas.Is(x, y, clRed) ? RGB(255, 0, 0) : ~COLORREF(0); });
  EXPECT_EQ(red, viewInfo->ImageRect);
  EXPECT_EQ(red.Width(), 16);
  EXPECT_EQ(red, qvIntersectRect(red, text)) << "inside the text rectangle " << text;
  EXPECT_TRUE(qvIntersectRect(red, button).IsEmpty()) << "clear of the button " << button;
  if (c.Descriptions)
    EXPECT_TRUE(qvIntersectRect(red, viewInfo->TextRect).IsEmpty()) << "clear of the text " << viewInfo->TextRect;
  if (!c.Descriptions)
    EXPECT_LE(std::abs((red.Left - text.Left) - (text.Right - red.Right)), 1) << "centred";
  else if (c.Align == iaRight)
    EXPECT_EQ(red.Right, text.Right - 2);
  else
    EXPECT_EQ(red.Left, text.Left + 2);
  EXPECT_EQ(canvas.Count(TEditorsCanvas::Paper, client), 0) << "unpainted pixels";
}

INSTANTIATE_TEST_SUITE_P(Aligns, TImageComboBoxAlignTest,
                         ::testing::Values(TImageAlignCase{"Left", iaLeft, true}, TImageAlignCase{"Right", iaRight, true},
                                           TImageAlignCase{"CentredWithoutDescriptions", iaRight, false}),
                         [](const ::testing::TestParamInfo<TImageAlignCase>& info) { return info.param.Name; });

// A grid cell paints without an editor: the item's image and description, or nothing for a value
// without an item and without a default image.
TEST_F(TImageComboBoxTest, ACellPaintsTheImageAndTextOfItsValue) {
  auto properties = MakeOwned<TqvImageComboBoxProperties>(nullptr);
  TImageList* images = NewImages(std::vector<TColor>{clRed, clLime});
  properties->SetImages(images);
  AddItem(properties.get(), "V", 0, 0);
  AddItem(properties.get(), "H", 1, 1);
  auto style = MakeOwned<TqvCustomEditStyle>(nullptr, true);
  style->SetFont(FForm->GetFont());
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), true);
  for (const auto& [value, text, lime] : {std::tuple{Variant(1), "H", true}, std::tuple{Variant(4), "", false}}) {
    TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
    TEditorsCanvas canvas(150, 20);
    data->Calculate(canvas.Canvas(), Rect(0, 0, 150, 20), Point(-1, -1), cmbNone, 0, info.get(), false);
    data->EditValueToViewInfo(canvas.Canvas(), value, info.get());
    auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(info.get());
    EXPECT_EQ(viewInfo->Text, String(text));
    info->Draw(canvas.Canvas());
    EXPECT_EQ(canvas.Count(clLime) > 0, lime) << text;
    EXPECT_EQ(canvas.Count(clRed), 0);
    const TRect textArea = Rect(14, 0, 110, 20);
    EXPECT_EQ(canvas.Count(clWindow, textArea) < textArea.Width() * textArea.Height(), String(text) != "")
        << "the description";
  }
}

TEST_F(TImageComboBoxTest, RegisteredAndInTheRepository) {
  EXPECT_NE(GetRegisteredEditProperties()->FindByClassName("TqvImageComboBoxProperties"), nullptr);
  auto* repository = New<TqvEditRepository>(FForm);
  auto* item = repository->CreateItem(&TqvEditRepositoryImageComboBoxItem::StaticClass());
  EXPECT_TRUE(item->GetProperties()->InheritsFrom(&TqvImageComboBoxProperties::StaticClass()));
  EXPECT_EQ(static_cast<TqvImageComboBoxProperties*>(item->GetProperties())->GetEditingStyle(), esFixedList);
}

}  // namespace
