// The clipboard object: text round trips, buffers, nesting opens, pictures and formats.
#include "ControlsTestSupport.h"
#include "platform/forms/Clipbrd.h"

namespace {

// Each test has a clipboard object of its own, freed before the window system is reset.
class ClipbrdTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Previous = SetClipboard(new TClipboard());
    Clipboard()->Clear();
  }
  void TearDown() override {
    delete SetClipboard(Previous);
    TFormsTest::TearDown();
  }
  TClipboard* Previous = nullptr;
};

TEST_F(ClipbrdTest, TextRoundTripsWithEveryByteOfTheCodePage) {
  String text = "Caf\xE9 \x80 line one\r\nline two";
  Clipboard()->SetAsText(text);
  EXPECT_EQ(Clipboard()->GetAsText(), text);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(GetClipboardText(nullptr), text) << "other readers of the clipboard see it too";
  SetClipboardText(nullptr, "from elsewhere");
  EXPECT_EQ(Clipboard()->GetAsText(), "from elsewhere");
  Clipboard()->SetAsText(String("cut\0hidden", 10));
  EXPECT_EQ(Clipboard()->GetAsText(), "cut") << "text stops at a zero byte";
}

TEST_F(ClipbrdTest, TextBuffersAreFilledWithinTheirSize) {
  Clipboard()->SetTextBuf("channel list");
  char buffer[8];
  EXPECT_EQ(Clipboard()->GetTextBuf(buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "channel");
  EXPECT_EQ(Clipboard()->GetTextBuf(buffer, 0), 0);
  EXPECT_EQ(Clipboard()->GetTextBuf(nullptr, 8), 0);
  Clipboard()->SetTextBuf(nullptr);
  EXPECT_EQ(Clipboard()->GetAsText(), "");
}

TEST_F(ClipbrdTest, OpenNestsAndRefusesWhileAnotherWindowHoldsIt) {
  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->SetAsText("one");
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->IsOpen());
  EXPECT_NE(GetOpenClipboardWindow(), nullptr);
  Clipboard()->Close();
  Clipboard()->Close();  // one too many: nothing happens
  EXPECT_FALSE(Clipboard()->IsOpen());

  TForm* other = NewForm();
  ASSERT_TRUE(OpenClipboard(other->GetHandle()));
  EXPECT_THROW(Clipboard()->SetAsText("two"), EClipboardException);
  CloseClipboard();
  EXPECT_EQ(Clipboard()->GetAsText(), "one") << "the refused change left the text alone";
  EXPECT_FALSE(Clipboard()->IsOpen());
}

TEST_F(ClipbrdTest, PicturesGoOnAsBitmapsAndComeBack) {
  TPicture picture;
  TBitmap* bitmap = picture.GetBitmap();
  bitmap->SetSize(3, 2);
  bitmap->GetCanvas()->SetPixel(1, 1, clRed);
  EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
  Clipboard()->Assign(&picture);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT)) << "a picture replaces the text";
  EXPECT_EQ(Clipboard()->GetFormatCount(), 1);
  EXPECT_EQ(Clipboard()->GetFormats(0), CF_BITMAP);
  EXPECT_THROW(Clipboard()->GetFormats(1), EListError);

  TPicture back;
  back.Assign(Clipboard());
  ASSERT_EQ(back.GetWidth(), 3);
  EXPECT_EQ(back.GetBitmap()->GetCanvas()->GetPixel(1, 1), clRed);
  TBitmap direct;
  direct.Assign(Clipboard());
  EXPECT_EQ(direct.GetHeight(), 2);
}

TEST_F(ClipbrdTest, EmptyPicturesAndMissingBitmapsAreRefused) {
  Clipboard()->SetAsText("kept");
  TPicture empty;
  EXPECT_THROW(Clipboard()->Assign(&empty), EClipboardException);
  EXPECT_EQ(Clipboard()->GetAsText(), "kept");
  TPicture target;
  EXPECT_THROW(target.Assign(Clipboard()), EClipboardException);
  EXPECT_FALSE(Clipboard()->IsOpen()) << "a failure closes what it opened";
}

}  // namespace
