// Image editor: values to pictures (with bitmap, JPEG and icon fixtures made here, truncated and
// oversized ones among them), conversion to the graphic class on paste and load, the commands and
// their keys, the context menu's rules, scrolling, layout and painting.
#include <cstdio>
#include <optional>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvImage.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Streams.h"
#include "qvEditorsTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Fixture files

String BytesOf(TGraphic& AGraphic) {
  TStringStream stream;
  AGraphic.SaveToStream(&stream);
  return stream.GetDataString();
}

void Fill(TBitmap& ABitmap, Integer W, Integer H, TColor AColor) {
  ABitmap.SetPixelFormat(pf24bit);
  ABitmap.SetSize(W, H);
  ABitmap.GetCanvas()->GetBrush()->SetColor(AColor);
  ABitmap.GetCanvas()->FillRect(Rect(0, 0, W, H));
}

String BmpFile(Integer W, Integer H, TColor AColor = clRed) {
  TBitmap bitmap;
  Fill(bitmap, W, H, AColor);
  return BytesOf(bitmap);
}

String JpegFile(Integer W, Integer H, TColor AColor = clBlue) {
  TBitmap bitmap;
  Fill(bitmap, W, H, AColor);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  jpeg.Compress();
  return BytesOf(jpeg);
}

void Put16(String& S, size_t At, uint16_t V) {
  S[At] = char(V & 0xFF);
  S[At + 1] = char(V >> 8);
}
void Put32(String& S, size_t At, uint32_t V) {
  for (int i = 0; i < 4; ++i) S[At + size_t(i)] = char((V >> (8 * i)) & 0xFF);
}

// A bitmap file whose header claims W x H pixels, with the data of a small one.
String BmpClaiming(Integer W, Integer H) {
  String s = BmpFile(4, 4);
  Put32(s, 18, uint32_t(W));
  Put32(s, 22, uint32_t(H));
  return s;
}

// A small JPEG image whose frame header claims W x H pixels (big-endian after the marker).
String JpegClaiming(Integer W, Integer H) {
  String s = JpegFile(8, 8);
  for (size_t i = 2; i + 9 < s.size(); ++i)
    if (uint8_t(s[i]) == 0xFF && uint8_t(s[i + 1]) == 0xC0) {
      s[i + 5] = char(H >> 8), s[i + 6] = char(H & 0xFF);
      s[i + 7] = char(W >> 8), s[i + 8] = char(W & 0xFF);
      break;
    }
  return s;
}

// An icon file of one 2 x 2 true-colour image.
String IcoFile() {
  String d(6 + 16 + 40 + 2 * 2 * 4 + 2 * 4, '\0');
  Put16(d, 2, 1);
  Put16(d, 4, 1);
  d[6] = 2, d[7] = 2;
  Put16(d, 10, 1);
  Put16(d, 12, 32);
  Put32(d, 14, uint32_t(d.size() - 22));
  Put32(d, 18, 22);
  Put32(d, 22, 40);
  Put32(d, 26, 2);
  Put32(d, 30, 4);
  Put16(d, 34, 1);
  Put16(d, 36, 32);
  for (size_t p = 0; p < 4; ++p) Put32(d, 62 + p * 4, 0xFF00FF00);
  return d;
}

String WithHeader(const String& AData) {
  String header(8, '\0');
  Put16(header, 0, 1);
  Put16(header, 2, 0x0100);
  Put32(header, 4, uint32_t(AData.size()));
  return header + AData;
}

const char* ClassNameOf(const TPicture& APicture) {
  return APicture.GetGraphic() ? APicture.GetGraphic()->ClassType()->Name : "none";
}

// ---------------------------------------------------------------------------------------------
// Values to pictures

struct TValueCase {
  const char* Name;
  std::function<Variant()> Value;
  TGraphicClass Class;
  const char* Loaded;  // the graphic's class, "none" for an empty picture
  TSize Size;
};

std::ostream& operator<<(std::ostream& os, const TValueCase& c) { return os << c.Name; }

class TqvImageValueTest : public ::testing::TestWithParam<TValueCase> {
 protected:
  void SetUp() override { ResetSysColors(); }
};

TEST_P(TqvImageValueTest, LoadsOrEmptiesWithoutAnError) {
  const TValueCase& c = GetParam();
  TPicture picture;
  Fill(*picture.GetBitmap(), 3, 3, clLime);  // whatever was there goes
  ASSERT_NO_THROW(LoadPictureFromValue(&picture, c.Value(), c.Class));
  EXPECT_STREQ(ClassNameOf(picture), c.Loaded);
  EXPECT_EQ(picture.GetWidth(), c.Size.cx);
  EXPECT_EQ(picture.GetHeight(), c.Size.cy);
}

const TGraphicClass kBitmap = &TBitmap::StaticClass();
const TGraphicClass kJpeg = &TJPEGImage::StaticClass();
const TGraphicClass kIcon = &TIcon::StaticClass();

INSTANTIATE_TEST_SUITE_P(
    Table, TqvImageValueTest,
    ::testing::Values(
        TValueCase{"Null", [] { return Null(); }, kBitmap, "none", {0, 0}},
        TValueCase{"Integer", [] { return Variant(42); }, kBitmap, "none", {0, 0}},
        TValueCase{"EmptyString", [] { return Variant(String()); }, kBitmap, "none", {0, 0}},
        TValueCase{"NotAPicture", [] { return Variant(String("a channel name")); }, kBitmap, "none", {0, 0}},
        TValueCase{"Bitmap", [] { return Variant(BmpFile(4, 3)); }, kBitmap, "TBitmap", {4, 3}},
        TValueCase{"BitmapWithoutClass", [] { return Variant(BmpFile(4, 3)); }, nullptr, "TBitmap", {4, 3}},
        TValueCase{"BitmapAfterHeader", [] { return Variant(WithHeader(BmpFile(5, 2))); }, kBitmap, "TBitmap", {5, 2}},
        TValueCase{"HeaderOfAnotherLength",
                   [] { return Variant(WithHeader(BmpFile(5, 2)) + "x"); }, kBitmap, "none", {0, 0}},
        TValueCase{"HeaderOnly", [] { return Variant(WithHeader(String())); }, kBitmap, "none", {0, 0}},
        TValueCase{"Jpeg", [] { return Variant(JpegFile(16, 8)); }, kJpeg, "TJPEGImage", {16, 8}},
        TValueCase{"JpegAfterHeader", [] { return Variant(WithHeader(JpegFile(8, 8))); }, kJpeg, "TJPEGImage", {8, 8}},
        TValueCase{"JpegReadAsBitmap", [] { return Variant(JpegFile(8, 8)); }, kBitmap, "none", {0, 0}},
        TValueCase{"BitmapReadAsJpeg", [] { return Variant(BmpFile(8, 8)); }, kJpeg, "none", {0, 0}},
        TValueCase{"Icon", [] { return Variant(IcoFile()); }, kIcon, "TIcon", {2, 2}},
        TValueCase{"TruncatedBitmap",
                   [] {
                     const String s = BmpFile(20, 20);
                     return Variant(s.substr(0, s.size() / 2));
                   },
                   kBitmap, "none", {0, 0}},
        TValueCase{"BitmapHeaderOnly", [] { return Variant(BmpFile(20, 20).substr(0, 20)); }, kBitmap, "none", {0, 0}},
        TValueCase{"TruncatedJpegHeader", [] { return Variant(JpegFile(16, 16).substr(0, 40)); }, kJpeg, "none", {0, 0}},
        TValueCase{"OversizedBitmap", [] { return Variant(BmpClaiming(5000, 5000)); }, kBitmap, "none", {0, 0}},
        TValueCase{"BitmapWiderThanAnySide", [] { return Variant(BmpClaiming(qvMaxPictureSide + 1, 1)); }, kBitmap,
                   "none", {0, 0}},
        // Without the bound the decoder would fill a gigabyte of pixels for these few bytes.
        TValueCase{"OversizedJpeg", [] { return Variant(JpegClaiming(16000, 16000)); }, kJpeg, "none", {0, 0}}));

TEST(TqvImageValue, ATruncatedJpegScanDecodesToItsDeclaredSize) {
  const String s = JpegFile(64, 64);
  TPicture picture;
  LoadPictureFromValue(&picture, Variant(s.substr(0, s.size() - 40)), kJpeg);
  EXPECT_EQ(picture.GetWidth(), 64);
}

TEST(TqvImageValue, PictureBytesRoundTrip) {
  TPicture picture;
  EXPECT_TRUE(VarIsNull(PictureToValue(&picture)));
  Fill(*picture.GetBitmap(), 6, 2, clTeal);
  const Variant value = PictureToValue(&picture);
  ASSERT_TRUE(VarIsStr(value));
  TPicture back;
  LoadPictureFromValue(&back, value, nullptr);
  EXPECT_EQ(back.GetWidth(), 6);
  EXPECT_EQ(back.GetBitmap()->GetCanvas()->GetPixel(1, 1), clTeal);
}

TEST(TqvImageGraphicClasses, FoundByNameIgnoringCase) {
  EXPECT_EQ(FindGraphicClass("TBitmap"), kBitmap);
  EXPECT_EQ(FindGraphicClass("tjpegimage"), kJpeg);
  EXPECT_EQ(FindGraphicClass("TICON"), kIcon);
  EXPECT_EQ(FindGraphicClass("TMetafile"), nullptr);
  EXPECT_EQ(FindGraphicClass(""), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Conversion to the graphic class

struct TConvertCase {
  const char* Name;
  std::function<TOwned<TGraphic>()> Source;
  TGraphicClass Target;
  const char* Result;  // nullptr: refused
};

std::ostream& operator<<(std::ostream& os, const TConvertCase& c) { return os << c.Name; }

class TqvImageConvertTest : public ::testing::TestWithParam<TConvertCase> {};

TOwned<TGraphic> Decoded(const String& AData, TGraphicClass AClass) { return DecodeGraphic(AData, AClass); }

TEST_P(TqvImageConvertTest, ConvertsSoThatTheValueReadsBack) {
  const TConvertCase& c = GetParam();
  TOwned<TGraphic> source = c.Source();
  if (!c.Result) {
    EXPECT_THROW(ConvertGraphic(source.get(), c.Target), EInvalidGraphic);
    return;
  }
  TOwned<TGraphic> converted = ConvertGraphic(source.get(), c.Target);
  EXPECT_STREQ(converted->ClassType()->Name, c.Result);
  TPicture picture;
  picture.SetGraphic(converted.get());
  TPicture back;
  LoadPictureFromValue(&back, PictureToValue(&picture), c.Target);
  EXPECT_EQ(back.GetWidth(), source->GetWidth()) << "the stored value reads back with the class";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvImageConvertTest,
    ::testing::Values(
        TConvertCase{"BitmapToBitmap", [] { return Decoded(BmpFile(4, 4), kBitmap); }, kBitmap, "TBitmap"},
        TConvertCase{"BitmapWithoutClass", [] { return Decoded(BmpFile(4, 4), kBitmap); }, nullptr, "TBitmap"},
        TConvertCase{"JpegToBitmap", [] { return Decoded(JpegFile(8, 8), kJpeg); }, kBitmap, "TBitmap"},
        TConvertCase{"JpegWithoutClass", [] { return Decoded(JpegFile(8, 8), kJpeg); }, nullptr, "TBitmap"},
        TConvertCase{"BitmapToJpeg", [] { return Decoded(BmpFile(9, 5), kBitmap); }, kJpeg, "TJPEGImage"},
        TConvertCase{"IconToBitmap", [] { return Decoded(IcoFile(), kIcon); }, kBitmap, "TBitmap"},
        TConvertCase{"IconToJpeg", [] { return Decoded(IcoFile(), kIcon); }, kJpeg, "TJPEGImage"},
        TConvertCase{"IconToIcon", [] { return Decoded(IcoFile(), kIcon); }, kIcon, "TIcon"},
        TConvertCase{"BitmapToIcon", [] { return Decoded(BmpFile(4, 4), kBitmap); }, kIcon, nullptr},
        TConvertCase{"JpegToIcon", [] { return Decoded(JpegFile(8, 8), kJpeg); }, kIcon, nullptr}));

// ---------------------------------------------------------------------------------------------
// Properties

TEST(TqvImageProperties, GraphicClassNameDependsOnTheOwner) {
  TOwned<TqvImageProperties> column = MakeOwned<TqvImageProperties>(nullptr);
  EXPECT_EQ(column->GetGraphicClassName(), "TBitmap");
  EXPECT_EQ(column->GetGraphicClass(), kBitmap);
  EXPECT_FALSE(column->IsGraphicClassNameStored());
  column->SetGraphicClassName("tbitmap");
  EXPECT_EQ(column->GetGraphicClass(), kBitmap);
  column->SetGraphicClassName("TJPEGImage");
  EXPECT_TRUE(column->IsGraphicClassNameStored());
  column->SetGraphicClassName("TMetafile");
  EXPECT_EQ(column->GetGraphicClass(), nullptr);
  EXPECT_EQ(column->GetGraphicClassName(), "TMetafile") << "an unknown class keeps its name";
}

TEST(TqvImageProperties, TextsAndOperations) {
  TOwned<TqvImageProperties> properties = MakeOwned<TqvImageProperties>(nullptr);
  properties->SetCaption("(no logo)");
  EXPECT_EQ(properties->GetDisplayText(Null()), "");
  EXPECT_EQ(properties->GetDisplayText(Variant(BmpFile(2, 2))), "(no logo)");
  EXPECT_NE(properties->GetSupportedOperations() & esoAutoHeight, 0u);
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TqvImageProperties"), &TqvImageProperties::StaticClass());
}

TEST(TqvImageProperties, AssignCopiesTheSettingsAndTheMenuLayout) {
  TOwned<TqvImageProperties> a = MakeOwned<TqvImageProperties>(nullptr), b = MakeOwned<TqvImageProperties>(nullptr);
  a->SetCaption("c");
  a->SetCenter(false);
  a->SetStretch(true);
  a->SetCustomFilter("Pictures|*.bmp");
  a->SetGraphicClassName("TJPEGImage");
  a->SetGraphicTransparency(gtOpaque);
  a->GetPopupMenuLayout()->SetMenuItems(pmiBit(pmiCopy) | pmiBit(pmiCustom));
  a->GetPopupMenuLayout()->SetCustomMenuItemCaption("Send");
  Fill(*a->GetPopupMenuLayout()->GetCustomMenuItemGlyph(), 4, 4, clRed);
  int changes = 0;
  b->OnPropertiesChanged = [&](TObject*) { ++changes; };
  b->Assign(a.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b->GetCaption(), "c");
  EXPECT_FALSE(b->GetCenter());
  EXPECT_TRUE(b->GetStretch());
  EXPECT_EQ(b->GetCustomFilter(), "Pictures|*.bmp");
  EXPECT_EQ(b->GetGraphicClass(), kJpeg);
  EXPECT_EQ(b->GetGraphicTransparency(), gtOpaque);
  EXPECT_EQ(b->GetPopupMenuLayout()->GetMenuItems(), pmiBit(pmiCopy) | pmiBit(pmiCustom));
  EXPECT_EQ(b->GetPopupMenuLayout()->GetCustomMenuItemCaption(), "Send");
  ASSERT_NE(b->GetPopupMenuLayout()->FindCustomMenuItemGlyph(), nullptr);
  EXPECT_EQ(b->GetPopupMenuLayout()->FindCustomMenuItemGlyph()->GetWidth(), 4);
}

// ---------------------------------------------------------------------------------------------
// Layout without a control

struct TDestinationCase {
  TSize Picture;
  TRect Content;
  bool Stretch, Center;
  TPoint Scroll;
  TRect Expected;
};

std::ostream& operator<<(std::ostream& os, const TDestinationCase& c) {
  return os << c.Picture << (c.Stretch ? " stretched" : "") << (c.Center ? " centred" : "");
}

class TqvImageDestinationTest : public ::testing::TestWithParam<TDestinationCase> {};

TEST_P(TqvImageDestinationTest, PlacesThePicture) {
  const TDestinationCase& c = GetParam();
  TPicture picture;
  Fill(*picture.GetBitmap(), c.Picture.cx, c.Picture.cy, clRed);
  TqvImageViewInfo info;
  info.SetPicture(&picture);
  info.Stretch = c.Stretch;
  info.Center = c.Center;
  info.ScrollPos = c.Scroll;
  EXPECT_EQ(info.GetDestination(c.Content), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvImageDestinationTest,
    ::testing::Values(
        TDestinationCase{{200, 100}, {0, 0, 100, 100}, true, false, {}, {0, 0, 100, 50}},
        TDestinationCase{{200, 100}, {0, 0, 100, 100}, true, true, {}, {0, 25, 100, 75}},
        TDestinationCase{{100, 200}, {10, 10, 110, 110}, true, true, {}, {35, 10, 85, 110}},
        TDestinationCase{{30, 20}, {0, 0, 90, 90}, true, false, {}, {0, 0, 90, 60}},
        TDestinationCase{{30, 20}, {0, 0, 100, 100}, false, true, {}, {35, 40, 65, 60}},
        TDestinationCase{{300, 200}, {0, 0, 100, 100}, false, true, {}, {-100, -50, 200, 150}},
        TDestinationCase{{300, 200}, {2, 2, 102, 102}, false, false, {16, 8}, {-14, -6, 286, 194}}));

class TqvImageCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSysColors();
    FProperties = MakeOwned<TqvImageProperties>(nullptr);
    FStyle.reset(static_cast<TqvCustomEditStyle*>(TqvCustomEditStyle::StaticClass().Create(nullptr, false)));
  }
  TSize ContentSize(const Variant& AValue, Integer AWidth = -1) {
    TEditorsCanvas canvas(10, 10);
    TqvEditSizeProperties size;
    size.Width = AWidth;
    TOwned<TqvCustomEditViewData> viewData = FProperties->CreateViewData(FStyle.get(), true);
    return viewData->GetEditContentSize(canvas.Canvas(), AValue, size);
  }
  TOwned<TqvImageProperties> FProperties;
  TOwned<TqvCustomEditStyle> FStyle;
};

TEST_F(TqvImageCellTest, ContentSizes) {
  EXPECT_EQ(ContentSize(Null()), (TSize{0, 15}));
  EXPECT_EQ(ContentSize(Variant(BmpFile(30, 12))), (TSize{30, 12}));
  FProperties->SetStretch(true);
  EXPECT_EQ(ContentSize(Variant(BmpFile(200, 100)), 50), (TSize{50, 25}));
  EXPECT_EQ(ContentSize(Variant(BmpFile(4, 6)), 1), (TSize{1, 2})) << "1.5 rounds to even";
  EXPECT_EQ(ContentSize(Variant(BmpFile(4, 10)), 1), (TSize{1, 2})) << "2.5 rounds to even";
  EXPECT_EQ(ContentSize(Variant(BmpFile(200, 100)), 0), (TSize{200, 100})) << "no width: the picture's size";
  FProperties->SetCaption("(none)");
  TEditorsCanvas canvas(10, 10);
  canvas.Canvas()->SetFont(FStyle->GetFont());
  EXPECT_EQ(ContentSize(Null()), canvas.Canvas()->TextExtent("(none)"));
}

TEST_F(TqvImageCellTest, PaintsTheValueStretchedIntoTheCell) {
  FProperties->SetStretch(true);
  FProperties->SetCenter(true);
  TOwned<TqvCustomEditViewData> viewData = FProperties->CreateViewData(FStyle.get(), true);
  TOwned<TqvImageViewInfo> info(static_cast<TqvImageViewInfo*>(FProperties->GetViewInfoClass()->Create()));
  TEditorsCanvas canvas(60, 40);
  viewData->EditValueToViewInfo(canvas.Canvas(), Variant(BmpFile(40, 10, clRed)), info.get());
  viewData->Calculate(canvas.Canvas(), Rect(0, 0, 60, 40), Point(-1, -1), cmbNone, 0, info.get(), false);
  info->Draw(canvas.Canvas());
  EXPECT_EQ(canvas.InkBox(), Rect(0, 0, 60, 40)) << "the background fills the cell";
  EXPECT_EQ(canvas.Count(clRed), 60 * 15) << "60 x 15 at the centre";
  EXPECT_TRUE(canvas.Is(30, 20, clRed));
  EXPECT_FALSE(canvas.Is(30, 5, clRed));
}

// ---------------------------------------------------------------------------------------------
// The control

class TqvImageTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FPreviousClipboard = SetClipboard(new TClipboard());
    FForm = NewForm(400, 300);
    FImage = New<TqvImage>(FForm);
    FImage->SetBounds(10, 10, 140, 100);
    FImage->SetParent(FForm);
    FImage->GetProperties()->OnChange = [this](TObject*) { ++Changes; };
    Show(FForm);
    FImage->SetFocus();
    Pump();
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
  }
  void TearDown() override {
    SetDialogExecuteHandler(&TOpenDialog::StaticClass(), nullptr);
    for (const String& f : FFiles) std::remove(f.c_str());
    delete SetClipboard(FPreviousClipboard);
    TqvControlsTest::TearDown();
  }
  void SetValue(const String& AData) { FImage->SetEditValue(Variant(AData)); }
  void PutBitmapOnClipboard(Integer W, Integer H, TColor AColor = clYellow) {
    TBitmap bitmap;
    Fill(bitmap, W, H, AColor);
    Clipboard()->Assign(&bitmap);
  }
  String File(const String& AName, const String& AData) {
    const String path = "/tmp/qj-image-editor-" + AName;
    TFileStream f(path, fmCreate);
    if (!AData.empty()) f.WriteBuffer(AData.data(), Integer(AData.size()));
    FFiles.push_back(path);
    return path;
  }
  void AnswerOpenDialog(std::optional<String> AFile) {
    SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [AFile](TCommonDialog* D) {
      if (!AFile) return daCancel;
      static_cast<TOpenDialog*>(D)->SetFileName(*AFile);
      return daOk;
    });
  }
  // The stored value read back with the editor's graphic class.
  TSize ValueSize() {
    TPicture back;
    LoadPictureFromValue(&back, FImage->GetEditValue(), FImage->GetGraphicClass());
    return {back.GetWidth(), back.GetHeight()};
  }

  TClipboard* FPreviousClipboard = nullptr;
  TForm* FForm = nullptr;
  TqvImage* FImage = nullptr;
  std::vector<String> FFiles;
  std::vector<String> Errors;
  Integer Changes = 0;
};

TEST_F(TqvImageTest, AValueFromCodeIsNotAModification) {
  SetValue(BmpFile(30, 20));
  EXPECT_EQ(FImage->GetPicture()->GetWidth(), 30);
  EXPECT_FALSE(FImage->GetEditModified());
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(ValueSize(), (TSize{30, 20}));
}

TEST_F(TqvImageTest, DeleteMarksModifiedAndFiresTheChange) {
  SetValue(BmpFile(30, 20));
  FImage->Clear();
  EXPECT_TRUE(VarIsNull(FImage->GetEditValue()));
  EXPECT_TRUE(FImage->GetModifiedAfterEnter());
  EXPECT_EQ(Changes, 1);
}

TEST_F(TqvImageTest, ImmediatePostPostsACommand) {
  int posted = 0;
  FImage->GetProperties()->SetImmediatePost(true);
  FImage->GetProperties()->OnAssignPicture = [&](TObject*, TPicture* P) {
    ++posted;
    EXPECT_EQ(P, FImage->GetPicture());
  };
  SetValue(BmpFile(30, 20));
  EXPECT_EQ(posted, 0);
  FImage->Clear();
  EXPECT_EQ(posted, 1) << "validated on the way to the post";
}

struct TImageKeyCase {
  const char* Name;
  BYTE Key;
  unsigned Shift;
  bool ReadOnly;
  bool Copied, Kept;
};

std::ostream& operator<<(std::ostream& os, const TImageKeyCase& c) { return os << c.Name; }

class TqvImageKeyTest : public TqvImageTest, public ::testing::WithParamInterface<TImageKeyCase> {};

TEST_P(TqvImageKeyTest, ClipboardKeys) {
  const TImageKeyCase& c = GetParam();
  SetValue(BmpFile(12, 7, clRed));
  FImage->GetProperties()->SetReadOnly(c.ReadOnly);
  Clipboard()->SetAsText("before");
  Press(c.Key, c.Shift);
  EXPECT_EQ(Clipboard()->HasFormat(CF_BITMAP), c.Copied);
  EXPECT_EQ(!VarIsNull(FImage->GetEditValue()), c.Kept);
}

INSTANTIATE_TEST_SUITE_P(Table, TqvImageKeyTest,
                         ::testing::Values(TImageKeyCase{"CtrlC", 'C', skCtrl, false, true, true},
                                           TImageKeyCase{"CtrlInsert", VK_INSERT, skCtrl, false, true, true},
                                           TImageKeyCase{"CtrlX", 'X', skCtrl, false, true, false},
                                           TImageKeyCase{"ShiftDelete", VK_DELETE, skShift, false, true, false},
                                           TImageKeyCase{"ShiftDeleteReadOnly", VK_DELETE, skShift, true, true, true},
                                           TImageKeyCase{"DeleteAlone", VK_DELETE, 0, false, false, true}));

TEST_F(TqvImageTest, PasteKeysTakeTheClipboardPicture) {
  PutBitmapOnClipboard(9, 4);
  Press('V', skCtrl);
  EXPECT_EQ(FImage->GetPicture()->GetWidth(), 9);
  FImage->Clear();
  Press(VK_INSERT, skShift);
  EXPECT_EQ(FImage->GetPicture()->GetWidth(), 9);
  EXPECT_TRUE(FImage->GetModifiedAfterEnter());
}

struct TPasteCase {
  const char* ClassName;
  const char* Stored;  // the graphic after the paste, nullptr: refused and kept
};

std::ostream& operator<<(std::ostream& os, const TPasteCase& c) { return os << c.ClassName; }

class TqvImagePasteTest : public TqvImageTest, public ::testing::WithParamInterface<TPasteCase> {};

TEST_P(TqvImagePasteTest, APasteIsStoredInTheGraphicClass) {
  const TPasteCase& c = GetParam();
  FImage->GetProperties()->SetGraphicClassName(c.ClassName);
  if (FImage->GetGraphicClass() == kIcon) SetValue(IcoFile());
  PutBitmapOnClipboard(9, 4);
  const Variant before = FImage->GetEditValue();
  if (!c.Stored) {
    EXPECT_THROW(FImage->PasteFromClipboard(), EInvalidGraphic);
    EXPECT_TRUE(VarEqualsExact(FImage->GetEditValue(), before)) << "the picture stays";
    return;
  }
  FImage->PasteFromClipboard();
  EXPECT_STREQ(ClassNameOf(*FImage->GetPicture()), c.Stored);
  EXPECT_EQ(ValueSize(), (TSize{9, 4})) << "the value reads back";
}

INSTANTIATE_TEST_SUITE_P(Table, TqvImagePasteTest,
                         ::testing::Values(TPasteCase{"", "TBitmap"}, TPasteCase{"TBitmap", "TBitmap"},
                                           TPasteCase{"TJPEGImage", "TJPEGImage"}, TPasteCase{"TIcon", nullptr}));

TEST_F(TqvImageTest, PasteWithoutAPictureDoesNothing) {
  SetValue(BmpFile(3, 3));
  Clipboard()->SetAsText("text");
  FImage->PasteFromClipboard();
  EXPECT_EQ(FImage->GetPicture()->GetWidth(), 3);
  EXPECT_FALSE(FImage->GetModifiedAfterEnter());
}

struct TLoadCase {
  const char* Name;
  const char* ClassName;
  const char* FileName;
  std::function<String()> Data;
  const char* Stored;  // nullptr: refused with a message, the picture kept
  TSize Size;
};

std::ostream& operator<<(std::ostream& os, const TLoadCase& c) { return os << c.Name; }

class TqvImageLoadTest : public TqvImageTest, public ::testing::WithParamInterface<TLoadCase> {};

TEST_P(TqvImageLoadTest, ALoadedFileIsStoredInTheGraphicClass) {
  const TLoadCase& c = GetParam();
  FImage->GetProperties()->SetGraphicClassName(c.ClassName);
  SetValue(FImage->GetGraphicClass() == kIcon  ? IcoFile()
           : FImage->GetGraphicClass() == kJpeg ? JpegFile(3, 3)
                                                : BmpFile(3, 3));
  const Variant before = FImage->GetEditValue();
  AnswerOpenDialog(File(c.FileName, c.Data()));
  if (!c.Stored) {
    EXPECT_THROW(FImage->LoadFromFile(), EInvalidGraphic);
    EXPECT_TRUE(VarEqualsExact(FImage->GetEditValue(), before)) << "the picture stays";
    EXPECT_FALSE(FImage->GetModifiedAfterEnter());
    return;
  }
  FImage->LoadFromFile();
  EXPECT_STREQ(ClassNameOf(*FImage->GetPicture()), c.Stored);
  EXPECT_EQ(ValueSize(), c.Size) << "the value reads back";
  EXPECT_TRUE(FImage->GetModifiedAfterEnter());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvImageLoadTest,
    ::testing::Values(
        TLoadCase{"BitmapAsBitmap", "TBitmap", "a.bmp", [] { return BmpFile(7, 5); }, "TBitmap", {7, 5}},
        TLoadCase{"JpegAsBitmap", "TBitmap", "b.jpg", [] { return JpegFile(16, 8); }, "TBitmap", {16, 8}},
        TLoadCase{"JpegWithoutClass", "", "c.jpeg", [] { return JpegFile(8, 16); }, "TBitmap", {8, 16}},
        TLoadCase{"BitmapAsJpeg", "TJPEGImage", "d.bmp", [] { return BmpFile(7, 5); }, "TJPEGImage", {7, 5}},
        TLoadCase{"IconAsIcon", "TIcon", "e.ico", [] { return IcoFile(); }, "TIcon", {2, 2}},
        TLoadCase{"BitmapAsIcon", "TIcon", "f.bmp", [] { return BmpFile(7, 5); }, nullptr, {}},
        TLoadCase{"TruncatedBitmap", "TBitmap", "g.bmp", [] { return BmpFile(40, 40).substr(0, 300); }, nullptr, {}},
        TLoadCase{"EmptyFile", "TBitmap", "h.bmp", [] { return String(); }, nullptr, {}},
        TLoadCase{"OversizedBitmap", "TBitmap", "i.bmp", [] { return BmpClaiming(5000, 5000); }, nullptr, {}},
        TLoadCase{"OversizedJpeg", "TBitmap", "j.jpg", [] { return JpegClaiming(16000, 16000); }, nullptr, {}},
        TLoadCase{"UnknownExtension", "TBitmap", "k.txt", [] { return BmpFile(2, 2); }, nullptr, {}}));

TEST_F(TqvImageTest, ACancelledLoadChangesNothing) {
  SetValue(BmpFile(3, 3));
  AnswerOpenDialog(std::nullopt);
  FImage->LoadFromFile();
  EXPECT_EQ(FImage->GetPicture()->GetWidth(), 3);
  EXPECT_FALSE(FImage->GetModifiedAfterEnter());
}

TEST_F(TqvImageTest, TheEditCountsAsFocusedWhileItsDialogIsOpen) {
  auto* other = Add<TEdit>(FForm, Rect(200, 10, 300, 30));
  other->SetFocus();
  Pump();
  ASSERT_FALSE(FImage->IsEditFocused());
  bool focusedMeanwhile = false;
  SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [&](TCommonDialog*) {
    focusedMeanwhile = FImage->IsEditFocused();
    return daCancel;
  });
  FImage->LoadFromFile();
  EXPECT_TRUE(focusedMeanwhile);
  EXPECT_FALSE(FImage->IsEditFocused());
}

TEST_F(TqvImageTest, AReadOnlyEditorLoadsNothing) {
  FImage->GetProperties()->SetReadOnly(true);
  bool asked = false;
  SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [&](TCommonDialog*) {
    asked = true;
    return daCancel;
  });
  FImage->LoadFromFile();
  EXPECT_FALSE(asked);
}

// ---------------------------------------------------------------------------------------------
// Context menu

enum TMenuEntry { meCut, meCopy, mePaste, meDelete, meLoad, meSave, meCustom };
constexpr Integer kEntryPositions[] = {0, 1, 2, 3, 5, 6, 8};

struct TMenuCase {
  const char* Name;
  const char* ClassName;
  bool ReadOnly, Empty, BitmapOnClipboard;
  std::array<bool, 7> Enabled;
};

std::ostream& operator<<(std::ostream& os, const TMenuCase& c) { return os << c.Name; }

class TqvImageMenuTest : public TqvImageTest, public ::testing::WithParamInterface<TMenuCase> {};

TEST_P(TqvImageMenuTest, EnablesTheEntries) {
  const TMenuCase& c = GetParam();
  FImage->GetProperties()->SetGraphicClassName(c.ClassName);
  if (!c.Empty)
    SetValue(FImage->GetGraphicClass() == kIcon   ? IcoFile()
             : FImage->GetGraphicClass() == kJpeg ? JpegFile(4, 4)
                                                  : BmpFile(4, 4));
  FImage->GetProperties()->SetReadOnly(c.ReadOnly);
  if (c.BitmapOnClipboard)
    PutBitmapOnClipboard(2, 2);
  else
    Clipboard()->SetAsText("text");
  FImage->UpdateImageMenu();
  TMenuItem* items = FImage->GetImageMenu()->GetItems();
  for (Integer e = meCut; e <= meCustom; ++e)
    EXPECT_EQ(items->GetItem(kEntryPositions[e])->GetEnabled(), c.Enabled[size_t(e)]) << "entry " << e;
}

//                                            cut    copy   paste  delete load   save   custom
INSTANTIATE_TEST_SUITE_P(
    Table, TqvImageMenuTest,
    ::testing::Values(
        TMenuCase{"EmptyBitmap", "TBitmap", false, true, true, {false, false, true, false, true, false, true}},
        TMenuCase{"Bitmap", "TBitmap", false, false, false, {true, true, false, true, true, true, true}},
        TMenuCase{"ReadOnly", "TBitmap", true, false, true, {false, true, false, false, false, true, true}},
        TMenuCase{"Jpeg", "TJPEGImage", false, false, true, {true, true, true, true, true, true, true}},
        TMenuCase{"Icon", "TIcon", false, false, true, {false, false, false, true, true, true, true}},
        TMenuCase{"NoClass", "", false, false, true, {true, true, true, true, true, true, true}}));

TEST_F(TqvImageTest, MenuItemsShowByTheLayout) {
  TqvPopupMenuLayout* layout = FImage->GetProperties()->GetPopupMenuLayout();
  FImage->UpdateImageMenu();
  TMenuItem* items = FImage->GetImageMenu()->GetItems();
  ASSERT_EQ(items->GetCount(), 9);
  EXPECT_EQ(items->GetItem(0)->GetCaption(), "Cu&t");
  EXPECT_EQ(items->GetItem(6)->GetCaption(), "Save &As...");
  EXPECT_TRUE(items->GetItem(4)->GetVisible());
  EXPECT_FALSE(items->GetItem(7)->GetVisible()) << "no custom entry, no second separator";
  EXPECT_FALSE(items->GetItem(8)->GetVisible());
  layout->SetMenuItems(pmiBit(pmiCopy) | pmiBit(pmiCustom));
  layout->SetCustomMenuItemCaption("&Send");
  FImage->UpdateImageMenu();
  EXPECT_FALSE(items->GetItem(0)->GetVisible());
  EXPECT_TRUE(items->GetItem(1)->GetVisible());
  EXPECT_FALSE(items->GetItem(4)->GetVisible()) << "neither load nor save";
  EXPECT_TRUE(items->GetItem(7)->GetVisible());
  EXPECT_EQ(items->GetItem(8)->GetCaption(), "&Send");
}

TEST_F(TqvImageTest, TheKeyboardOpensTheMenuAtTenTen) {
  RunWhenIdle({[] { Headless::PressKey(VK_ESCAPE); }});
  Press(VK_APPS);
  ASSERT_NE(FImage->GetImageMenu(), nullptr);
  EXPECT_EQ(FImage->GetImageMenu()->GetPopupPoint(), FImage->ClientToScreen({10, 10}));
}

TEST_F(TqvImageTest, TheCustomEntryRunsTheCustomClick) {
  int clicks = 0;
  FImage->GetProperties()->OnCustomClick = [&](TObject* S) {
    EXPECT_EQ(S, FImage);
    ++clicks;
  };
  FImage->GetProperties()->GetPopupMenuLayout()->SetMenuItems(pmiBit(pmiCustom));
  RunWhenIdle({[] { Headless::PressKey(VK_DOWN); }, [] { Headless::PressKey(VK_RETURN); }});
  const TPoint at = FImage->ClientToScreen({30, 30});
  Headless::Click(at.X, at.Y, 1);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(FImage->GetImageMenu()->GetPopupPoint(), at);
}

TEST_F(TqvImageTest, AnOwnPopupMenuReplacesTheBuiltInOne) {
  auto* own = New<TPopupMenu>(FForm);
  own->GetItems()->Add(NewItem("Own", 0, false, true, nullptr));
  FImage->SetPopupMenu(own);
  RunWhenIdle({[] { Headless::PressKey(VK_ESCAPE); }});
  Press(VK_APPS);
  EXPECT_EQ(FImage->GetImageMenu(), nullptr);
  EXPECT_EQ(own->GetPopupComponent(), FImage);
}

// ---------------------------------------------------------------------------------------------
// Scrolling

TEST_F(TqvImageTest, APictureLargerThanTheEditScrollsByEightPixelLines) {
  FImage->GetProperties()->SetCenter(false);
  SetValue(BmpFile(300, 200));
  ASSERT_TRUE(FImage->GetHScrollBar()->GetVisible());
  ASSERT_TRUE(FImage->GetVScrollBar()->GetVisible());
  const TRect content = FImage->GetViewInfo()->ContentRect;
  Integer pos = 0;
  FImage->GetVScrollBar()->OnScroll(FImage->GetVScrollBar(), scLineDown, pos);
  EXPECT_EQ(FImage->GetScrollPos(), (TPoint{0, 8}));
  FImage->GetHScrollBar()->OnScroll(FImage->GetHScrollBar(), scBottom, pos);
  EXPECT_EQ(FImage->GetScrollPos().X, 300 - content.Width()) << "limited to the picture less the page";
  EXPECT_EQ(FImage->GetViewInfo()->GetDestination(content).Left, content.Left - (300 - content.Width()));
  SetValue(BmpFile(310, 210));
  EXPECT_EQ(FImage->GetScrollPos(), (TPoint{0, 0})) << "a new picture starts at the top left";
}

TEST_F(TqvImageTest, AScrollPositionNeverGoesBelowZero) {
  FImage->GetProperties()->SetCenter(false);
  SetValue(BmpFile(400, 20));  // wider than the edit, not taller
  EXPECT_TRUE(FImage->GetHScrollBar()->GetVisible());
  EXPECT_FALSE(FImage->GetVScrollBar()->GetVisible());
  Integer pos = 50;
  FImage->GetVScrollBar()->OnScroll(FImage->GetVScrollBar(), scPosition, pos);
  EXPECT_EQ(pos, 0);
  FImage->GetVScrollBar()->OnScroll(FImage->GetVScrollBar(), scPageDown, pos);
  EXPECT_EQ(FImage->GetScrollPos(), (TPoint{0, 0}));
}

TEST_F(TqvImageTest, CentredOrStretchedPicturesDoNotScroll) {
  SetValue(BmpFile(300, 200));
  EXPECT_FALSE(FImage->GetHScrollBar()->GetVisible()) << "centred by default";
  FImage->GetProperties()->SetCenter(false);
  EXPECT_TRUE(FImage->GetHScrollBar()->GetVisible());
  FImage->GetProperties()->SetStretch(true);
  EXPECT_FALSE(FImage->GetHScrollBar()->GetVisible());
  EXPECT_FALSE(FImage->GetVScrollBar()->GetVisible());
}

TEST_F(TqvImageTest, AutoSizeTakesThePicturesSize) {
  SetValue(BmpFile(60, 30));
  FImage->SetAutoSize(true);
  const TRect content = FImage->GetViewInfo()->ContentRect;
  EXPECT_EQ(content.Width(), 60);
  EXPECT_EQ(content.Height(), 30);
}

}  // namespace
