// The tab model: display captions, the tab list and its index errors, the first tab's
// selection, visibility and the selection that follows a hidden tab, multi-selection, image
// indexes, the image wrapper's errors, bitmap turns and the kinds of tabs.
#include "PageControlTestSupport.h"
#include "platform/forms/ImgList.h"

namespace {

// ------------------------------------------------------------------ display captions

struct TCaptionCase {
  const char* Caption;
  const char* Display;
};

class TabDisplayCaption : public ::testing::TestWithParam<TCaptionCase> {};

TEST_P(TabDisplayCaption, Text) { EXPECT_EQ(GetParam().Display, GetTabDisplayCaption(GetParam().Caption)); }

INSTANTIATE_TEST_SUITE_P(Table, TabDisplayCaption,
                         ::testing::Values(TCaptionCase{"A&&B", "A&B"}, TCaptionCase{"&File", "File"},
                                           TCaptionCase{"End&", "End_"}, TCaptionCase{"SAT && TP Edit", "SAT & TP Edit"},
                                           TCaptionCase{"&&&x", "&x"}, TCaptionCase{"", ""}, TCaptionCase{"&", "_"},
                                           TCaptionCase{"plain", "plain"}));

// ------------------------------------------------------------------ the list

class TabModel : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl();
  }
  TqvTabs* Tabs() const { return FControl->GetTabs(); }
  TqvCustomTabControl* FControl = nullptr;
};

TEST_F(TabModel, IndexErrorsNameTheClassAndTheOperation) {
  Tabs()->Add("A");
  Tabs()->Add("B");
  EXPECT_EQ("TqvTabs.Insert: Tab's index (3) out of bounds", MessageOf([&] { Tabs()->Insert(3, "C"); }));
  EXPECT_EQ("TqvTabs.Insert: Tab's index (-1) out of bounds", MessageOf([&] { Tabs()->Insert(-1, "C"); }));
  EXPECT_EQ("TqvTabs.Delete: Tab's index (2) out of bounds", MessageOf([&] { Tabs()->Delete(2); }));
  EXPECT_EQ("TqvTabs.Get: Tab's index (5) out of bounds", MessageOf([&] { Tabs()->Get(5); }));
  EXPECT_EQ("TqvTabs.GetTab: Tab's index (-1) out of bounds", MessageOf([&] { Tabs()->GetTab(-1); }));
  EXPECT_EQ("TqvTabs.GetVisibleTab: TabVisibleIndex (2) must be between 0 and 1",
            MessageOf([&] { Tabs()->GetVisibleTab(2); }));
  EXPECT_EQ(2, Tabs()->GetCount()) << "the list is unchanged";
  EXPECT_EQ("TqvVisibleTabList.GetTab: TabVisibleIndex (7) must be between 0 and 1",
            MessageOf([&] { FControl->GetVisibleTabs()->GetTab(7); }));
  Tabs()->Clear();
  EXPECT_EQ("TqvVisibleTabList.GetTab: There are no visible tabs",
            MessageOf([&] { FControl->GetVisibleTabs()->GetTab(0); }));
}

TEST_F(TabModel, InsertingRenumbersAndKeepsCaptionsAndObjects) {
  Tabs()->Add("A");
  Tabs()->Add("C");
  Tabs()->Insert(1, "&B");
  TObject marker;
  Tabs()->PutObject(2, &marker);
  EXPECT_EQ("&B", Tabs()->Get(1));
  EXPECT_EQ("B", Tabs()->GetTab(1)->GetDisplayCaption());
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(i, Tabs()->GetTab(i)->GetIndex());
  EXPECT_EQ(1, Tabs()->GetTab(2)->GetImageIndex()) << "the image index stays the index it was made with";
  EXPECT_EQ(1, Tabs()->GetTab(1)->GetImageIndex());
  EXPECT_EQ(&marker, Tabs()->GetObject(2));
  Tabs()->Delete(0);
  EXPECT_EQ(0, Tabs()->GetTab(0)->GetIndex());
  EXPECT_EQ(&marker, Tabs()->GetObject(1));
  Tabs()->Put(0, "Renamed");
  EXPECT_EQ("Renamed", Tabs()->Get(0));
}

TEST_F(TabModel, TheFirstTabOfAnEmptyControlIsSelectedWithoutAskingAndLaterOnesAreNot) {
  Integer changing = 0, changes = 0;
  FControl->OnChanging = [&](TObject*, bool&) { ++changing; };
  FControl->OnChange = [&](TObject*) { ++changes; };
  Tabs()->Add("A");
  EXPECT_EQ(0, FControl->GetTabIndex());
  Tabs()->Insert(0, "B");
  EXPECT_EQ(0, FControl->GetTabIndex()) << "later inserts leave TabIndex alone";
  EXPECT_EQ(0, changing);
  EXPECT_EQ(0, changes);
}

TEST_F(TabModel, NothingIsSelectedWhileLoading) {
  FControl->BeginLoading();
  Tabs()->Add("A");
  EXPECT_EQ(-1, FControl->GetTabIndex());
  FControl->EndLoading();
}

TEST_F(TabModel, ANegativeImageIndexIsStoredAsMinusOne) {
  Tabs()->Add("A");
  Tabs()->GetTab(0)->SetImageIndex(-7);
  EXPECT_EQ(-1, Tabs()->GetTab(0)->GetImageIndex());
}

TEST_F(TabModel, HidingAndShowingKeepTheVisibleListSorted) {
  for (const char* c : {"A", "B", "C", "D"}) Tabs()->Add(c);
  Tabs()->GetTab(1)->SetVisible(false);
  Tabs()->GetTab(3)->SetVisible(false);
  EXPECT_EQ(2, Tabs()->GetVisibleCount());
  EXPECT_EQ(2, Tabs()->GetVisibleTab(1)->GetIndex());
  EXPECT_EQ(-1, Tabs()->GetTab(1)->GetVisibleIndex());
  EXPECT_EQ(TRect(), Tabs()->GetTab(1)->GetVisibleRect());
  Tabs()->GetTab(1)->SetVisible(true);
  EXPECT_EQ(1, Tabs()->GetTab(1)->GetVisibleIndex());
  Integer position = -1;
  EXPECT_FALSE(FControl->GetVisibleTabs()->Find(3, position));
  EXPECT_EQ(3, position) << "where the hidden tab would stand";
}

TEST_F(TabModel, WithoutRequiredSelectionAHiddenSelectedTabStaysSelected) {
  for (const char* c : {"A", "B", "C"}) Tabs()->Add(c);
  FControl->SetTabIndex(1);
  Tabs()->GetTab(1)->SetVisible(false);
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ(1, FControl->GetActiveVisibleIndex()) << "the active place is the follower's";
  Tabs()->GetTab(2)->SetVisible(false);
  EXPECT_EQ(0, FControl->GetActiveVisibleIndex()) << "beyond them all: the last visible tab";
}

// A control whose selection must be a visible tab, as the page control's.
class TVisibleSelectionControl : public TqvCustomTabControl {
  QJ_INLINE_CLASS(TVisibleSelectionControl, TqvCustomTabControl)
 public:
  using TqvCustomTabControl::TqvCustomTabControl;
  bool RequireVisibleSelection() const override { return true; }
};

TEST_F(TabModel, HidingTheSelectedTabSelectsItsFollowerOrTheNewLast) {
  auto* control = NewTabControl<TVisibleSelectionControl>();
  for (const char* c : {"A", "B", "C"}) control->GetTabs()->Add(c);
  control->SetTabIndex(1);
  control->GetTabs()->GetTab(1)->SetVisible(false);
  EXPECT_EQ(2, control->GetTabIndex());
  control->GetTabs()->GetTab(2)->SetVisible(false);
  EXPECT_EQ(0, control->GetTabIndex());
  control->GetTabs()->GetTab(0)->SetVisible(false);
  EXPECT_EQ(-1, control->GetTabIndex());
  control->GetTabs()->GetTab(1)->SetVisible(true);
  control->SetTabIndex(0);
  EXPECT_EQ(-1, control->GetTabIndex()) << "a hidden tab's index selects nothing";
}

TEST_F(TabModel, OnlyTheButtonStylesSelectSeveralTabs) {
  for (const char* c : {"A", "B", "C"}) Tabs()->Add(c);
  FControl->SetStyle(1);
  Tabs()->GetTab(2)->SetSelected(true);
  EXPECT_FALSE(Tabs()->GetTab(2)->GetSelected()) << "not the selected tab: ignored";
  Tabs()->GetTab(0)->SetSelected(true);
  EXPECT_TRUE(Tabs()->GetTab(0)->GetSelected());
  FControl->SetStyle(2);
  Tabs()->GetTab(0)->SetSelected(false);
  Tabs()->GetTab(2)->SetSelected(true);
  EXPECT_FALSE(FControl->IsMultiSelectionActive()) << "the first of several";
  Tabs()->GetTab(1)->SetSelected(true);
  EXPECT_TRUE(FControl->IsMultiSelectionActive());
  FControl->SetTabIndex(1);
  for (Integer i = 0; i < 3; ++i) EXPECT_FALSE(Tabs()->GetTab(i)->GetSelected()) << "a new selection clears them";
}

TEST_F(TabModel, AssignCopiesTheTabsSettings) {
  Tabs()->Add("&One");
  Tabs()->Add("Two");
  TqvTab* source = Tabs()->GetTab(0);
  source->SetEnabled(false);
  source->SetHighlighted(true);
  source->SetImageIndex(-1);
  Tabs()->GetTab(1)->Assign(source);
  EXPECT_EQ("&One", Tabs()->GetTab(1)->GetCaption());
  EXPECT_EQ("One", Tabs()->GetTab(1)->GetDisplayCaption());
  EXPECT_FALSE(Tabs()->GetTab(1)->GetEnabled());
  EXPECT_TRUE(Tabs()->GetTab(1)->GetHighlighted());
  EXPECT_EQ(-1, Tabs()->GetTab(1)->GetImageIndex());
}

TEST_F(TabModel, ANewCaptionIsMeasuredAndLaidOut) {
  FControl->SetStyle(TFixedPainter::Style);
  AddTabs(FControl, {30, 40});
  EXPECT_EQ(30, VisibleTab(FControl, 1)->GetPosition().X);
  Tabs()->Put(0, "50");
  EXPECT_EQ(50, VisibleTab(FControl, 0)->GetNormalWidth());
  EXPECT_EQ(50, VisibleTab(FControl, 1)->GetPosition().X);
}

// ------------------------------------------------------------------ images and bitmaps

TEST_F(TabModel, TheImageWrapperNamesItsErrors) {
  TqvPCImageList* wrapper = FControl->GetImageList();
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(16, 16);
  EXPECT_EQ("TqvPCImageList.Draw: BaseImages is not assigned",
            MessageOf([&] { wrapper->Draw(target.GetCanvas(), 0, 0, true, clBtnFace, 0); }));
  auto* images = New<TImageList>(GetParentForm(FControl));
  images->SetSize(8, 8);
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(16, 8);
  images->Add(&picture, nullptr);
  FControl->SetImages(images);
  EXPECT_EQ((TSize{8, 8}), wrapper->GetImageSize());
  EXPECT_EQ("TqvPCImageList.Draw: Index (2) must be between 0 and 1",
            MessageOf([&] { wrapper->Draw(target.GetCanvas(), 0, 0, true, clBtnFace, 2); }));
  EXPECT_EQ("(no error)", MessageOf([&] { wrapper->Draw(target.GetCanvas(), 0, 0, true, clBtnFace, 1); }));
  Free(images);
  EXPECT_EQ(nullptr, FControl->GetImages()) << "the freed list lets go";
  EXPECT_EQ((TSize{0, 0}), wrapper->GetImageSize());
}

TEST_F(TabModel, TabImageIndexesGoThroughTheEventAndTheImages) {
  Tabs()->Add("A");
  Tabs()->Add("B");
  EXPECT_EQ(-1, FControl->GetTabImageIndex(1)) << "no images";
  auto* images = New<TImageList>(GetParentForm(FControl));
  images->SetSize(8, 8);
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(16, 8);
  images->Add(&picture, nullptr);
  FControl->SetImages(images);
  EXPECT_EQ(1, FControl->GetTabImageIndex(1));
  FControl->OnGetImageIndex = [](TObject*, Integer TabIndex, Integer& ImageIndex) { ImageIndex = TabIndex + 1; };
  EXPECT_EQ(1, FControl->GetTabImageIndex(0));
  EXPECT_EQ(-1, FControl->GetTabImageIndex(1)) << "beyond the images";
}

TEST(TabBitmap, QuarterTurnsAndAHalfTurn) {
  // 3 x 2 pixels numbered 1..6 row by row.
  auto make = [] {
    auto bitmap = MakeOwned<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(3, 2);
    for (Integer y = 0; y < 2; ++y)
      for (Integer x = 0; x < 3; ++x) bitmap->ScanLine(y)[x] = uint32_t(1 + y * 3 + x);
    return bitmap;
  };
  auto pixels = [](TBitmap* b) {
    std::vector<uint32_t> v;
    for (Integer y = 0; y < b->GetHeight(); ++y)
      for (Integer x = 0; x < b->GetWidth(); ++x) v.push_back(b->ScanLine(y)[x]);
    return v;
  };
  auto anticlockwise = make();
  RotateTabBitmap(anticlockwise.get(), 1);
  EXPECT_EQ(2, anticlockwise->GetWidth());
  EXPECT_EQ((std::vector<uint32_t>{3, 6, 2, 5, 1, 4}), pixels(anticlockwise.get()));
  auto clockwise = make();
  RotateTabBitmap(clockwise.get(), 2);
  EXPECT_EQ((std::vector<uint32_t>{4, 1, 5, 2, 6, 3}), pixels(clockwise.get()));
  auto half = make();
  RotateTabBitmap(half.get(), 3);
  EXPECT_EQ((std::vector<uint32_t>{6, 5, 4, 3, 2, 1}), pixels(half.get()));
}

TEST(TabBitmap, AHalfTurnReversesTheMiddleRowOfAnOddHeight) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(2, 3);
  for (Integer y = 0; y < 3; ++y)
    for (Integer x = 0; x < 2; ++x) bitmap.ScanLine(y)[x] = uint32_t(1 + y * 2 + x);
  RotateTabBitmap(&bitmap, 3);
  EXPECT_EQ(4u, bitmap.ScanLine(1)[0]);
  EXPECT_EQ(3u, bitmap.ScanLine(1)[1]);
  EXPECT_EQ(6u, bitmap.ScanLine(0)[0]);
}

TEST(TabKinds, SideAndOrientation) {
  EXPECT_EQ(tkTopHorizontal, GetTabKind(tsTop, ttoHorizontal));
  EXPECT_EQ(tkTopTopToBottom, GetTabKind(tsTop, ttoTopToBottom));
  EXPECT_EQ(tkBottomHorizontal, GetTabKind(tsBottom, ttoHorizontal));
  EXPECT_EQ(tkBottomBottomToTop, GetTabKind(tsBottom, ttoBottomToTop));
  EXPECT_EQ(tkLeftHorizontal, GetTabKind(tsLeft, ttoHorizontal));
  EXPECT_EQ(tkLeftBottomToTop, GetTabKind(tsLeft, ttoBottomToTop));
  EXPECT_EQ(tkLeftTopToBottom, GetTabKind(tsLeft, ttoTopToBottom));
  EXPECT_EQ(tkRightHorizontal, GetTabKind(tsRight, ttoHorizontal));
  EXPECT_EQ(tkRightBottomToTop, GetTabKind(tsRight, ttoBottomToTop));
  EXPECT_EQ(9, Integer(tkRightHorizontal));
  EXPECT_EQ(5, Integer(tkLeftTopToBottom));
}

}  // namespace
