// The BLOB editor: kinds and texts, the kind images, the popup memo and image with their buttons,
// the save rules of the closing keys, and the kinds that have no popup.
#include <gtest/gtest.h>

#include "editors/qvBlobEdit.h"
#include "lookandfeel/qvButtons.h"
#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Streams.h"
#include "qvDropDownTestSupport.h"
#include "qvEditorsTestSupport.h"

namespace {

const Variant kNull = Null();

// Learns when a component is freed.
class TComponentWatch {
 public:
  explicit TComponentWatch(TComponent* AComponent) : FWatch(New<TqvFreeNotificator>(nullptr)) {
    FWatch->OnFreeNotification = [this](TComponent*) { FFreed = true; };
    if (AComponent) FWatch->FreeNotification(AComponent);
  }
  bool Freed() const { return FFreed; }

 private:
  TOwned<TqvFreeNotificator> FWatch;
  bool FFreed = false;
};

// ---------------------------------------------------------------------------------------------
// Texts and images of values

struct TBlobTextCase {
  TqvBlobEditKind Kind;
  TqvBlobPaintStyle Style;
  Variant Value;
  const char* Paint;    // what the closed editor shows
  const char* Display;  // GetDisplayText
  Integer Image;        // kind image with bpsIcon
};

std::ostream& operator<<(std::ostream& os, const TBlobTextCase& c) {
  return os << "kind " << c.Kind << " style " << c.Style << " value \"" << VarToStr(c.Value) << "\"";
}

class BlobEditTexts : public ::testing::TestWithParam<TBlobTextCase> {};

TEST_P(BlobEditTexts, PaintTextDisplayTextAndImage) {
  const TBlobTextCase& c = GetParam();
  TOwned<TqvBlobEditProperties> p(New<TqvBlobEditProperties>(nullptr));
  p->SetBlobEditKind(c.Kind);
  p->SetBlobPaintStyle(c.Style);
  EXPECT_EQ(p->GetPaintText(c.Value), c.Paint);
  EXPECT_EQ(p->GetDisplayText(c.Value), c.Display);
  EXPECT_EQ(p->GetImageIndex(c.Value), c.Image);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BlobEditTexts,
    ::testing::Values(TBlobTextCase{bekMemo, bpsDefault, kNull, "(memo)", "", 2},
                      TBlobTextCase{bekMemo, bpsDefault, Variant("abc"), "(MEMO)", "(MEMO)", 3},
                      TBlobTextCase{bekPict, bpsDefault, kNull, "(picture)", "", 4},
                      TBlobTextCase{bekPict, bpsDefault, Variant("xx"), "(PICTURE)", "(PICTURE)", 5},
                      TBlobTextCase{bekOle, bpsDefault, Variant("xx"), "OLE", "OLE", 7},
                      TBlobTextCase{bekOle, bpsDefault, kNull, "OLE", "", 6},
                      TBlobTextCase{bekBlob, bpsDefault, Variant("xx"), "BLOB", "BLOB", 1},
                      TBlobTextCase{bekBlob, bpsIcon, kNull, "", "", 0},
                      TBlobTextCase{bekMemo, bpsIcon, Variant("abc"), "", "", 3},
                      TBlobTextCase{bekMemo, bpsText, Variant("  one\r\ntwo\tthree"), "one  two three",
                                    "one  two three", 3},
                      TBlobTextCase{bekMemo, bpsText, kNull, "", "", 2},
                      TBlobTextCase{bekPict, bpsText, Variant("xx"), "", "(PICTURE)", 5},
                      // No editor, no default values provider: raw data.
                      TBlobTextCase{bekAuto, bpsDefault, Variant("abc"), "BLOB", "BLOB", 1},
                      TBlobTextCase{bekAuto, bpsIcon, kNull, "", "", 0}));

TEST(BlobEditText, AMemoShowsEightyCharactersAndAFullTextRequestTheWholeText) {
  TOwned<TqvBlobEditProperties> p(New<TqvBlobEditProperties>(nullptr));
  p->SetBlobEditKind(bekMemo);
  p->SetBlobPaintStyle(bpsText);
  String text;
  for (Integer i = 0; i < 30; ++i) text += "line\r\n";
  const String shown = p->GetDisplayText(text);
  EXPECT_EQ(shown.size(), 80u);
  EXPECT_EQ(shown.substr(0, 12), "line  line  ");
  EXPECT_EQ(shown.find_first_of("\r\n"), String::npos);
  EXPECT_EQ(p->GetDisplayText(text, true), text);
}

TEST(BlobEditText, KindImagesAreEightOfOneSize) {
  TCustomImageList* images = GetBlobEditImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->GetCount(), 8);
  EXPECT_EQ(images->GetWidth(), images->GetHeight());
}

TEST(BlobEditCell, ACellPaintsTheKindImageOrTheText) {
  TOwned<TqvBlobEditProperties> properties(New<TqvBlobEditProperties>(nullptr));
  properties->SetBlobEditKind(bekPict);
  auto style = MakeOwned<TqvCustomEditStyle>(nullptr, true);
  TOwned<TqvCustomEditViewData> data = properties->CreateViewData(style.get(), true);
  struct {
    Variant Value;
    Integer Image;
    bool Green;
  } cases[] = {{Variant("bytes"), 5, true}, {kNull, 4, false}};
  for (const auto& c : cases) {
    TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
    TEditorsCanvas canvas(150, 20);
    data->Calculate(canvas.Canvas(), Rect(0, 0, 150, 20), Point(-1, -1), cmbNone, 0, info.get(), false);
    data->EditValueToViewInfo(canvas.Canvas(), c.Value, info.get());
    auto* viewInfo = static_cast<TqvBlobEditViewInfo*>(info.get());
    EXPECT_EQ(viewInfo->ImageIndex, c.Image);
    info->Draw(canvas.Canvas());
    EXPECT_EQ(canvas.Count(clGreen) > 0, c.Green) << c.Image;
  }
  properties->SetBlobEditKind(bekMemo);
  properties->SetBlobPaintStyle(bpsText);
  TOwned<TqvCustomEditViewInfo> info(static_cast<TqvCustomEditViewInfo*>(properties->GetViewInfoClass()->Create()));
  TEditorsCanvas canvas(150, 20);
  data->Calculate(canvas.Canvas(), Rect(0, 0, 150, 20), Point(-1, -1), cmbNone, 0, info.get(), false);
  data->EditValueToViewInfo(canvas.Canvas(), Variant("Das Erste\r\nZDF"), info.get());
  EXPECT_EQ(static_cast<TqvBlobEditViewInfo*>(info.get())->Text, "Das Erste  ZDF");
  EXPECT_EQ(static_cast<TqvBlobEditViewInfo*>(info.get())->ImageIndex, -1);
  info->Draw(canvas.Canvas());
  EXPECT_GT(canvas.Count(clWindowText), 0);
}

// ---------------------------------------------------------------------------------------------
// Settings

struct TBlobKindCase {
  TqvBlobEditKind Kind;
  TqvEditButtonKind Button;
};

class BlobEditKindButton : public ::testing::TestWithParam<TBlobKindCase> {};

TEST_P(BlobEditKindButton, KindsWithPopupContentHaveAnArrow) {
  TOwned<TqvBlobEditProperties> p(New<TqvBlobEditProperties>(nullptr));
  p->SetBlobEditKind(GetParam().Kind);
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), GetParam().Button);
}

INSTANTIATE_TEST_SUITE_P(Table, BlobEditKindButton,
                         ::testing::Values(TBlobKindCase{bekMemo, bkDown}, TBlobKindCase{bekPict, bkDown},
                                           TBlobKindCase{bekOle, bkEllipsis}, TBlobKindCase{bekBlob, bkEllipsis}));

TEST(BlobEditProperties, DefaultsAssignAndRegistration) {
  TOwned<TqvBlobEditProperties> a(New<TqvBlobEditProperties>(nullptr));
  EXPECT_TRUE(a->GetAlwaysSaveData());
  EXPECT_EQ(a->GetBlobEditKind(), bekAuto);
  EXPECT_EQ(a->GetBlobPaintStyle(), bpsIcon);
  EXPECT_TRUE(a->GetImmediatePopup());
  EXPECT_TRUE(a->GetMemoWantReturns());
  EXPECT_TRUE(a->GetMemoWantTabs());
  EXPECT_TRUE(a->GetMemoWordWrap());
  EXPECT_TRUE(a->GetPictureAutoSize());
  EXPECT_TRUE(a->GetShowExPopupItems());
  EXPECT_TRUE(a->GetShowPicturePopup());
  EXPECT_EQ(a->GetPopupMinWidth(), 160);
  EXPECT_EQ(a->GetPopupMinHeight(), 140);
  EXPECT_EQ(a->GetSupportedOperations(), esoButtons);
  EXPECT_TRUE(a->DropDownOnClick());
  EXPECT_EQ(a->GetEffectiveKind(), bekBlob);  // no provider

  a->SetBlobEditKind(bekPict);  // properties of no editor edit bitmaps
  EXPECT_EQ(a->GetPictureGraphicClassName(), "TBitmap");
  a->SetAlwaysSaveData(false);
  a->SetBlobPaintStyle(bpsText);
  a->SetMemoMaxLength(12);
  a->SetMemoScrollBars(ssVertical);
  a->SetPictureFilter("*.bmp");
  a->SetShowExPopupItems(false);
  TOwned<TqvBlobEditProperties> b(New<TqvBlobEditProperties>(nullptr));
  b->Assign(a.get());
  EXPECT_EQ(b->GetBlobEditKind(), bekPict);
  EXPECT_FALSE(b->GetAlwaysSaveData());
  EXPECT_EQ(b->GetBlobPaintStyle(), bpsText);
  EXPECT_EQ(b->GetMemoMaxLength(), 12);
  EXPECT_EQ(b->GetMemoScrollBars(), ssVertical);
  EXPECT_EQ(b->GetPictureFilter(), "*.bmp");
  EXPECT_EQ(b->GetPictureGraphicClassName(), "TBitmap");
  EXPECT_FALSE(b->GetShowExPopupItems());
  EXPECT_EQ(b->GetEditValueSource(false), evsValue);
  a->SetBlobEditKind(bekMemo);
  EXPECT_EQ(a->GetEditValueSource(false), evsText);
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TqvBlobEditProperties"),
            &TqvBlobEditProperties::StaticClass());
  TOwned<TqvEditRepositoryBlobItem> item(New<TqvEditRepositoryBlobItem>(nullptr));
  EXPECT_NE(As<TqvBlobEditProperties>(item->GetProperties()), nullptr);
}

// ---------------------------------------------------------------------------------------------
// The popup

class BlobEdit : public TDropDownTest {
 protected:
  void SetUp() override {
    TDropDownTest::SetUp();
    Edit = NewTextEdit<TqvBlobEdit>();
    ShowForm();
  }
  TqvBlobEditProperties* P() const { return Edit->GetProperties(); }
  void Open() {
    Focus(Edit);
    Press(VK_F4);
    Pump();
    ASSERT_TRUE(Edit->GetDroppedDown());
  }

  TqvBlobEdit* Edit = nullptr;
};

TEST_F(BlobEdit, TheMemoPopupHasCancelAndOKWhichWaitsForAChange) {
  Edit->SetEditValue(String("first"));
  Open();
  TqvPopupMemo* memo = Edit->GetPopupMemo();
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->GetParent(), Edit->GetPopupWindow());
  EXPECT_EQ(memo->GetInnerMemo()->GetText(), "first");
  ASSERT_NE(Edit->GetCancelButton(), nullptr);
  ASSERT_NE(Edit->GetOKButton(), nullptr);
  EXPECT_EQ(Edit->GetCancelButton()->GetCaption(), "&Cancel");
  EXPECT_EQ(Edit->GetOKButton()->GetCaption(), "&OK");
  EXPECT_EQ(Edit->GetOKButton()->GetWidth(), Edit->GetCancelButton()->GetWidth());
  // OK to the left of Cancel, both inside the window.
  const Integer h = Edit->GetCancelButton()->GetHeight();
  EXPECT_EQ(Edit->GetCancelButton()->GetLeft() - Edit->GetOKButton()->GetBoundsRect().Right, h / 3);
  EXPECT_EQ(Edit->GetOKButton()->GetTop(), Edit->GetCancelButton()->GetTop());
  // The buttons sit in the system panel below the memo.
  EXPECT_GE(Edit->GetCancelButton()->GetTop(), memo->GetBoundsRect().Bottom);
  EXPECT_LE(Edit->GetCancelButton()->GetBoundsRect().Right, Edit->GetPopupWindow()->GetClientWidth());
  EXPECT_FALSE(Edit->GetOKButton()->GetEnabled());
  Type("x");
  EXPECT_TRUE(Edit->GetOKButton()->GetEnabled());
  Click(Edit->GetOKButton(), {5, 5});
  Pump();
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_TRUE(VarToStr(Edit->GetEditValue()).find('x') != String::npos);
  EXPECT_TRUE(Edit->GetModifiedAfterEnter());
}

TEST_F(BlobEdit, AnEditorsAutomaticKindIsMemoTextAndANullMemoShowsTheEmptyMemoImage) {
  EXPECT_EQ(P()->GetEffectiveKind(), bekMemo);
  EXPECT_EQ(P()->GetEditValueSource(false), evsText);
  Edit->SetEditValue(Null());
  Pump();
  auto* viewInfo = static_cast<TqvBlobEditViewInfo*>(Edit->GetViewInfo());
  EXPECT_EQ(viewInfo->ImageIndex, 2);
  EXPECT_TRUE(viewInfo->Text.empty());
  // The image is centred in the text area.
  const TRect c = viewInfo->ClientRect, i = viewInfo->ImageRect;
  EXPECT_LE(std::abs((c.Left + c.Right) - (i.Left + i.Right)), 1);
  EXPECT_EQ(i.Width(), GetBlobEditImages()->GetWidth());
  Edit->SetEditValue(String("text"));
  Pump();
  EXPECT_EQ(static_cast<TqvBlobEditViewInfo*>(Edit->GetViewInfo())->ImageIndex, 3);
  P()->SetBlobPaintStyle(bpsText);
  Pump();
  viewInfo = static_cast<TqvBlobEditViewInfo*>(Edit->GetViewInfo());
  EXPECT_EQ(viewInfo->ImageIndex, -1);
  EXPECT_EQ(viewInfo->Text, "text");
}

TEST_F(BlobEdit, AClickOnTheValueOpensThePopup) {
  Focus(Edit);
  Click(Edit, {20, Edit->GetHeight() / 2});
  Pump();
  EXPECT_TRUE(Edit->GetDroppedDown());
  EXPECT_NE(Edit->GetPopupMemo(), nullptr);
  Press(VK_ESCAPE);
}

TEST_F(BlobEdit, APopupsControlsLiveAsLongAsIt) {
  Open();
  TComponentWatch watch(Edit->GetPopupMemo());
  Press(VK_ESCAPE);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_TRUE(watch.Freed());
  EXPECT_EQ(Edit->GetPopupMemo(), nullptr);
  EXPECT_EQ(Edit->GetOKButton(), nullptr);
  EXPECT_EQ(Edit->GetCancelButton(), nullptr);
  Edit->SetEditValue(String("again"));
  Open();
  ASSERT_NE(Edit->GetPopupMemo(), nullptr);
  EXPECT_EQ(Edit->GetPopupMemo()->GetInnerMemo()->GetText(), "again");
  Press(VK_ESCAPE);
}

struct TCloseCase {
  bool AlwaysSaveData;
  Word Key;
  unsigned Shift;
  bool Kept;
};

std::ostream& operator<<(std::ostream& os, const TCloseCase& c) {
  return os << "AlwaysSaveData " << c.AlwaysSaveData << " key " << c.Key << " shift " << c.Shift;
}

class BlobEditClose : public BlobEdit, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(BlobEditClose, TheClosingKeysKeepOrDropTheChange) {
  const TCloseCase& c = GetParam();
  P()->SetAlwaysSaveData(c.AlwaysSaveData);
  Edit->SetEditValue(String("old"));
  Open();
  Press(VK_END, skCtrl);
  Type("Z");
  Press(BYTE(c.Key), c.Shift);
  Pump();
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), c.Kept ? "oldZ" : "old");
  EXPECT_EQ(Edit->GetPopupMemo(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, BlobEditClose,
                         ::testing::Values(TCloseCase{true, VK_ESCAPE, skNone, false},
                                           TCloseCase{false, VK_ESCAPE, skNone, false},
                                           TCloseCase{true, VK_F4, skNone, true},
                                           TCloseCase{false, VK_F4, skNone, false},
                                           TCloseCase{true, VK_UP, skAlt, true},
                                           TCloseCase{false, VK_DOWN, skAlt, false},
                                           TCloseCase{false, VK_RETURN, skCtrl, true},
                                           TCloseCase{true, VK_RETURN, skCtrl, true}));

TEST_F(BlobEdit, ClosingOtherThanByCancelKeepsTheChangeOnlyWithAlwaysSaveData) {
  for (bool always : {true, false}) {
    P()->SetAlwaysSaveData(always);
    Edit->SetEditValue(String("old"));
    Open();
    Press(VK_END, skCtrl);
    Type("Q");
    Edit->SetDroppedDown(false);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_EQ(VarToStr(Edit->GetEditValue()), always ? "oldQ" : "old") << always;
  }
}

TEST_F(BlobEdit, TheStylesColourAndFontFollowIntoTheOpenPopup) {
  Open();
  Edit->GetStyle()->SetColor(clYellow);
  Edit->GetStyle()->GetFont()->SetSize(14);
  EXPECT_EQ(Edit->GetPopupMemo()->GetStyle()->GetColor(), clYellow);
  EXPECT_EQ(Edit->GetPopupMemo()->GetStyle()->GetFont()->GetSize(), 14);
  EXPECT_EQ(Edit->GetOKButton()->GetFont()->GetSize(), 14);
  EXPECT_EQ(Edit->GetCancelButton()->GetFont()->GetSize(), 14);
  Press(VK_ESCAPE);
}

TEST_F(BlobEdit, EnterMakesALineUnlessTheMemoWantsNoReturns) {
  Edit->SetEditValue(String("a"));
  Open();
  Press(VK_END, skCtrl);
  Press(VK_RETURN);
  EXPECT_TRUE(Edit->GetDroppedDown());
  Press(VK_ESCAPE);
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), "a");
  P()->SetMemoWantReturns(false);
  Open();
  Press(VK_END, skCtrl);
  Type("b");
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), "ab");
}

TEST_F(BlobEdit, AReadOnlyEditorsPopupHasOnlyAClosebutton) {
  P()->SetReadOnly(true);
  Edit->SetEditValue(String("fixed"));
  Open();
  ASSERT_NE(Edit->GetCancelButton(), nullptr);
  EXPECT_EQ(Edit->GetCancelButton()->GetCaption(), "&Close");
  EXPECT_EQ(Edit->GetOKButton(), nullptr);
  EXPECT_TRUE(Edit->GetPopupMemo()->GetProperties()->GetReadOnly());
  Type("q");
  Press(VK_F4);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), "fixed");
}

TEST_F(BlobEdit, KindsWithoutPopupContentDoNotDropDown) {
  for (TqvBlobEditKind kind : {bekOle, bekBlob}) {
    P()->SetBlobEditKind(kind);
    Edit->SetEditValue(String("raw"));
    Focus(Edit);
    Press(VK_F4);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown()) << kind;
    Click(Edit, DropDownButtonCentre(Edit));
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown()) << kind;
    EXPECT_EQ(Edit->GetPopupMemo(), nullptr);
    EXPECT_EQ(Edit->GetPopupImage(), nullptr);
    EXPECT_EQ(VarToStr(Edit->GetEditValue()), "raw");
  }
  EXPECT_TRUE(Errors.empty());
}

TEST_F(BlobEdit, ACharacterReplacesTheMemoTextWithAutoReplace) {
  P()->SetMemoAutoReplace(true);
  Edit->SetEditValue(String("long text"));
  Focus(Edit);
  Type("k");
  Pump();
  ASSERT_TRUE(Edit->GetDroppedDown());
  EXPECT_EQ(Edit->GetPopupMemo()->GetInnerMemo()->GetText(), "k");
  EXPECT_TRUE(Edit->GetOKButton()->GetEnabled());
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), "k");
}

TEST_F(BlobEdit, InPlaceTheKeyThatStartsEditingReplacesTheMemoText) {
  auto* edit = NewTextEdit<TqvBlobEdit>(true, Rect(10, 60, 170, 80));
  // In place without a data binding there is no default values provider to ask.
  edit->GetProperties()->SetBlobEditKind(bekMemo);
  edit->GetProperties()->SetMemoAutoReplace(true);
  edit->SetEditValue(String("cell text"));
  TqvCustomEditData* data = nullptr;
  edit->ActivateByKey('w', data);
  Pump();
  ASSERT_TRUE(edit->GetDroppedDown());
  ASSERT_NE(edit->GetPopupMemo(), nullptr);
  EXPECT_EQ(edit->GetPopupMemo()->GetInnerMemo()->GetText(), "w");
  Press(VK_RETURN, skCtrl);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "w");
  edit->Deactivate();
  Pump();
  Free(data);
}

TEST_F(BlobEdit, FreeingTheEditorWhileOpenFreesThePopupsControls) {
  Open();
  TComponentWatch watch(Edit->GetPopupMemo());
  Free(Edit);
  Edit = nullptr;
  Pump();
  EXPECT_TRUE(watch.Freed());
}

String SmallBmp() {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(30, 20);
  bitmap.GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap.GetCanvas()->FillRect(Rect(0, 0, 30, 20));
  TStringStream stream;
  bitmap.SaveToStream(&stream);
  return stream.GetDataString();
}

TEST_F(BlobEdit, ThePicturePopupShowsThePictureAndKeepsTheValueWhenUnchanged) {
  P()->SetBlobEditKind(bekPict);
  P()->SetShowExPopupItems(false);
  const String bytes = SmallBmp();
  Edit->SetEditValue(bytes);
  Open();
  TqvPopupImage* image = Edit->GetPopupImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetPicture()->GetWidth(), 30);
  EXPECT_TRUE(image->GetProperties()->GetStretch());
  const TqvPopupMenuItems items = image->GetProperties()->GetPopupMenuLayout()->GetMenuItems();
  EXPECT_EQ(items & (pmiBit(pmiLoad) | pmiBit(pmiSave)), 0u);
  EXPECT_NE(items & pmiBit(pmiCopy), 0u);
  // Auto size: the popup is at least the picture's size.
  EXPECT_GE(image->GetWidth(), 30);
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_EQ(VarToStr(Edit->GetEditValue()), bytes);
  EXPECT_FALSE(Edit->GetModifiedAfterEnter());
}

TEST_F(BlobEdit, APastedPictureIsStoredAndItsClassRemembered) {
  P()->SetBlobEditKind(bekPict);
  P()->SetPictureGraphicClassName("");
  Open();
  EXPECT_FALSE(Edit->GetOKButton()->GetEnabled());
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(12, 9);
  Clipboard()->Assign(&bitmap);
  Press('V', skCtrl);
  EXPECT_TRUE(Edit->GetOKButton()->GetEnabled());
  Click(Edit->GetOKButton(), {5, 5});
  Pump();
  EXPECT_FALSE(Edit->GetDroppedDown());
  TPicture back;
  LoadPictureFromValue(&back, Edit->GetEditValue(), nullptr);
  EXPECT_EQ(back.GetWidth(), 12);
  EXPECT_EQ(P()->GetPictureGraphicClass(), &TBitmap::StaticClass());
}

TEST_F(BlobEdit, ThePictureClosesLikeTheMemoOnF4AndEscape) {
  P()->SetBlobEditKind(bekPict);
  for (bool always : {true, false})
    for (BYTE key : {BYTE(VK_F4), BYTE(VK_ESCAPE)}) {
      P()->SetAlwaysSaveData(always);
      Edit->SetEditValue(SmallBmp());
      Open();
      Press(VK_DELETE, skShift);
      Press(key);
      EXPECT_FALSE(Edit->GetDroppedDown());
      const bool kept = always && key == VK_F4;
      EXPECT_EQ(VarIsNull(Edit->GetEditValue()), kept) << always << " key " << int(key);
    }
}

TEST_F(BlobEdit, ADeletedPictureIsStoredAsNullOnOK) {
  P()->SetBlobEditKind(bekPict);
  Edit->SetEditValue(SmallBmp());
  Open();
  ASSERT_NE(Edit->GetPopupImage(), nullptr);
  Press(VK_DELETE, skShift);
  Press(VK_RETURN);
  EXPECT_FALSE(Edit->GetDroppedDown());
  EXPECT_TRUE(VarIsNull(Edit->GetEditValue()));
}

}  // namespace
