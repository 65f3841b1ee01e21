#include "platform/forms/ImgList.h"
#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

// A strip of two 4 x 4 images on a fuchsia key: a red 2 x 2 square top-left, then a blue one.
void PaintStrip(TBitmap& strip) {
  FillBitmap(strip, 8, 4, clFuchsia);
  strip.GetCanvas()->GetBrush()->SetColor(clRed);
  strip.GetCanvas()->FillRect(Rect(0, 0, 2, 2));
  strip.GetCanvas()->GetBrush()->SetColor(clBlue);
  strip.GetCanvas()->FillRect(Rect(4, 0, 6, 2));
}

HBITMAP MakeStripResource() {
  TBitmap strip;
  PaintStrip(strip);
  return strip.ReleaseHandle();
}

class ImgList : public GraphicsTestBase {
 protected:
  void SetUp() override {
    GraphicsTestBase::SetUp();
    PaintStrip(FStrip);
    FillBitmap(FTarget, 12, 12, clLime);
  }
  TColor At(Integer x, Integer y) { return PixelOf(FTarget, x, y); }

  TImageList FList{nullptr, 4, 4};
  TBitmap FStrip;
  TBitmap FTarget;
};

TEST_F(ImgList, StripsAddOneImagePerWidth) {
  EXPECT_EQ(FList.GetCount(), 0);
  EXPECT_EQ(FList.AddMasked(&FStrip, clFuchsia), 0);
  EXPECT_EQ(FList.GetCount(), 2);
  EXPECT_EQ(FList.Add(&FStrip, nullptr), 2);
  EXPECT_EQ(FList.GetCount(), 4);
  FList.Delete(0);
  EXPECT_EQ(FList.GetCount(), 3);
  FList.Clear();
  EXPECT_EQ(FList.GetCount(), 0);
}

TEST_F(ImgList, BadArgumentsRaise) {
  TBitmap empty;
  EXPECT_THROW(FList.Add(&empty, nullptr), EInvalidOperation);
  EXPECT_THROW(FList.AddMasked(nullptr, clNone), EInvalidOperation);
  EXPECT_THROW(FList.Delete(0), EInvalidOperation);
  FList.AddMasked(&FStrip, clFuchsia);
  EXPECT_THROW(FList.Delete(2), EInvalidOperation);
  EXPECT_THROW(FList.Replace(-1, &FStrip, nullptr), EInvalidOperation);
  EXPECT_THROW(FList.SetWidth(0), EInvalidOperation);
  EXPECT_EQ(FList.GetCount(), 2);
  EXPECT_NO_THROW(FList.Draw(FTarget.GetCanvas(), 0, 0, 7));
  EXPECT_EQ(At(0, 0), clLime);
}

TEST_F(ImgList, MaskedImagesDrawTransparently) {
  FList.AddMasked(&FStrip, clFuchsia);
  FList.Draw(FTarget.GetCanvas(), 2, 2, 1);
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(3, 3), clBlue);
  EXPECT_EQ(At(4, 4), clLime) << "the key colour is clear";
  EXPECT_EQ(At(5, 2), clLime);
}

TEST_F(ImgList, UnmaskedListsDrawOpaque) {
  FList.SetMasked(false);
  FList.Add(&FStrip, nullptr);
  FList.Draw(FTarget.GetCanvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(3, 3), clFuchsia);
}

TEST_F(ImgList, NoMaskColourMakesOpaqueImages) {
  FList.AddMasked(&FStrip, clNone);
  FList.Draw(FTarget.GetCanvas(), 0, 0, 0);
  EXPECT_EQ(At(3, 3), clFuchsia);
}

TEST_F(ImgList, DefaultMaskColourIsTheBottomLeftPixel) {
  FList.AddMasked(&FStrip, clDefault);
  FList.Draw(FTarget.GetCanvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(3, 3), clLime);
}

TEST_F(ImgList, DisabledDrawingEmbossesTheGlyph) {
  FList.AddMasked(&FStrip, clFuchsia);
  FList.Draw(FTarget.GetCanvas(), 2, 2, 0, false);
  TColor shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
  TColor highlight = static_cast<TColor>(ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(2, 2), shadow);
  EXPECT_EQ(At(3, 3), shadow);
  EXPECT_EQ(At(4, 4), highlight) << "the highlight one pixel down and right";
  EXPECT_EQ(At(5, 5), clLime);
  EXPECT_EQ(CountColor(FTarget, Rect(0, 0, 12, 12), clRed), 0);
}

TEST_F(ImgList, GetBitmapDrawsOverTheBitmap) {
  FList.AddMasked(&FStrip, clFuchsia);
  TBitmap out;
  EXPECT_TRUE(FList.GetBitmap(1, &out));
  EXPECT_EQ(out.GetWidth(), 4);
  EXPECT_EQ(out.GetHeight(), 4);
  EXPECT_EQ(PixelOf(out, 0, 0), clBlue);
  EXPECT_EQ(PixelOf(out, 3, 3), clWhite);
  EXPECT_FALSE(FList.GetBitmap(5, &out));
}

TEST_F(ImgList, ReplaceMaskedSwapsOneImage) {
  FList.AddMasked(&FStrip, clFuchsia);
  TBitmap green;
  FillBitmap(green, 4, 4, clYellow);
  green.GetCanvas()->SetPixel(0, 0, clNavy);
  FList.ReplaceMasked(0, &green, clYellow);
  FList.Draw(FTarget.GetCanvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clNavy);
  EXPECT_EQ(At(1, 1), clLime);
}

TEST_F(ImgList, NewSizeOrMaskingEmptiesTheList) {
  FList.AddMasked(&FStrip, clFuchsia);
  FList.SetSize(2, 2);
  EXPECT_EQ(FList.GetCount(), 0);
  EXPECT_EQ(FList.AddMasked(&FStrip, clFuchsia), 0);
  EXPECT_EQ(FList.GetCount(), 4);
  FList.SetMasked(false);
  EXPECT_EQ(FList.GetCount(), 0);
}

TEST_F(ImgList, ChangeLinksHearEveryChange) {
  TChangeLink link;
  std::vector<TObject*> senders;
  link.OnChange = [&](TObject* s) { senders.push_back(s); };
  FList.RegisterChanges(&link);
  EXPECT_EQ(link.GetSender(), &FList);
  FList.AddMasked(&FStrip, clFuchsia);
  FList.Delete(0);
  FList.SetBkColor(clWhite);
  EXPECT_EQ(senders, (std::vector<TObject*>{&FList, &FList, &FList}));
  FList.UnRegisterChanges(&link);
  EXPECT_EQ(link.GetSender(), nullptr);
  FList.Clear();
  EXPECT_EQ(senders.size(), 3u);
}

TEST_F(ImgList, UpdatesBatchNotifications) {
  int changes = 0;
  FList.OnChange = [&](TObject*) { ++changes; };
  FList.BeginUpdate();
  FList.AddMasked(&FStrip, clFuchsia);
  FList.Add(&FStrip, nullptr);
  EXPECT_EQ(changes, 0);
  FList.EndUpdate();
  EXPECT_EQ(changes, 1);
  FList.BeginUpdate();
  FList.EndUpdate();
  EXPECT_EQ(changes, 1);
}

TEST_F(ImgList, LinksAndListsOutliveEachOther) {
  auto* list = New<TImageList>(nullptr);
  {
    TChangeLink early;
    early.SetSender(list);
    list->Clear();
  }
  TChangeLink late;
  late.SetSender(list);
  Free(list);
  EXPECT_EQ(late.GetSender(), nullptr);
}

TEST_F(ImgList, ALinkMayLeaveWhileBeingTold) {
  TChangeLink first, second;
  int secondCalls = 0;
  first.OnChange = [&](TObject*) { second.SetSender(nullptr); };
  second.OnChange = [&](TObject*) { ++secondCalls; };
  first.SetSender(&FList);
  second.SetSender(&FList);
  FList.Clear();
  EXPECT_EQ(secondCalls, 0);
  EXPECT_EQ(second.GetSender(), nullptr);
}

TEST_F(ImgList, OwnedListsGoWithTheirOwner) {
  auto* owner = New<TComponent>(nullptr);
  auto* list = New<TImageList>(owner);
  TChangeLink link;
  link.SetSender(list);
  Free(owner);
  EXPECT_EQ(link.GetSender(), nullptr);
}

TEST_F(ImgList, ResourceStripsLoadByName) {
  RegisterBitmapResource("QJTESTSTRIP", &MakeStripResource);
  TImageList list(nullptr);
  EXPECT_TRUE(list.GetResource(rtBitmap, "QJTestStrip", 0, 0, clFuchsia));
  EXPECT_EQ(list.GetWidth(), 4);
  EXPECT_EQ(list.GetHeight(), 4);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_TRUE(list.ResourceLoad(rtBitmap, "QJTestStrip", clFuchsia));
  EXPECT_EQ(list.GetCount(), 4);
  list.Draw(FTarget.GetCanvas(), 0, 0, 3);
  EXPECT_EQ(At(0, 0), clBlue);
  EXPECT_EQ(At(3, 3), clLime);
  EXPECT_FALSE(list.GetResource(rtBitmap, "QJNoSuchStrip", 0, 0, clFuchsia));
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_TRUE(list.GetResource(rtBitmap, "QJTestStrip", 4, lrTransparent, clNone));
  EXPECT_EQ(list.GetCount(), 2);
  list.Draw(FTarget.GetCanvas(), 6, 6, 0);
  EXPECT_EQ(At(6, 6), clRed);
  EXPECT_EQ(At(9, 9), clLime);
  RegisterBitmapResource("QJTESTSTRIP", nullptr);
}

TEST_F(ImgList, AssignCopiesImagesAndSettings) {
  FList.AddMasked(&FStrip, clFuchsia);
  FList.SetBkColor(clWhite);
  TImageList copy(nullptr);
  copy.Assign(&FList);
  EXPECT_EQ(copy.GetWidth(), 4);
  EXPECT_EQ(copy.GetCount(), 2);
  EXPECT_EQ(copy.GetBkColor(), clWhite);
  copy.SetBkColor(clNone);
  copy.Draw(FTarget.GetCanvas(), 0, 0, 1);
  EXPECT_EQ(At(0, 0), clBlue);
  EXPECT_EQ(At(3, 3), clLime);
}

}  // namespace
