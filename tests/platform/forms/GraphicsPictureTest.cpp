#include <cairo.h>

#include <cstdio>
#include <functional>

#include "platform/forms/Jpeg.h"
#include "platform/rtl/Streams.h"
#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// ICO files made in the test

void Put16(String& s, uint16_t v) {
  s += char(v & 0xFF);
  s += char(v >> 8);
}
void Put32(String& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}

// One directory entry per image; images are (width, height, bits, data).
struct TIcoImage {
  int Width, Height, Bits;
  String Data;
};

String IcoFile(const std::vector<TIcoImage>& images) {
  String s;
  Put16(s, 0);
  Put16(s, 1);
  Put16(s, uint16_t(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (const TIcoImage& img : images) {
    s += char(img.Width & 0xFF);
    s += char(img.Height & 0xFF);
    s += char(0);
    s += char(0);
    Put16(s, 1);
    Put16(s, uint16_t(img.Bits));
    Put32(s, uint32_t(img.Data.size()));
    Put32(s, offset);
    offset += uint32_t(img.Data.size());
  }
  for (const TIcoImage& img : images) s += img.Data;
  return s;
}

String DibHeader(int w, int h, int bits, uint32_t colors) {
  String s;
  Put32(s, 40);
  Put32(s, uint32_t(w));
  Put32(s, uint32_t(h * 2));
  Put16(s, 1);
  Put16(s, uint16_t(bits));
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, colors);
  Put32(s, 0);
  return s;
}

// An AND mask, bottom-up rows padded to 32 bits; transparent(x, y) sets the bit.
template <class F>
String AndMask(int w, int h, F transparent) {
  String s;
  size_t stride = size_t((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    String row(stride, '\0');
    for (int x = 0; x < w; ++x)
      if (transparent(x, y)) row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
    s += row;
  }
  return s;
}

// 4 x 4, two colours (palette red and blue): left half red, right half blue, top row masked.
TIcoImage PaletteImage() {
  String d = DibHeader(4, 4, 1, 2);
  Put32(d, 0x00FF0000);  // red as B G R 0
  Put32(d, 0x000000FF);  // blue
  for (int y = 3; y >= 0; --y) {
    d += char(0x30);  // bits 0 0 1 1
    d += String(3, '\0');
  }
  d += AndMask(4, 4, [](int, int y) { return y == 0; });
  return {4, 4, 1, d};
}

// 32 x 32, 32 bits: opaque green, with a half-transparent white bottom row and a clear corner.
TIcoImage AlphaImage() {
  String d = DibHeader(32, 32, 32, 0);
  for (int y = 31; y >= 0; --y)
    for (int x = 0; x < 32; ++x) {
      uint32_t p = 0xFF00FF00;
      if (y == 31) p = 0x80FFFFFF;
      if (x == 0 && y == 0) p = 0;
      Put32(d, p);
    }
  d += AndMask(32, 32, [](int, int) { return false; });
  return {32, 32, 32, d};
}

cairo_status_t AppendPng(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<String*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// 48 x 48 PNG of opaque navy.
TIcoImage PngImage() {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 48);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  String png;
  cairo_surface_write_to_png_stream(s, &AppendPng, &png);
  cairo_surface_destroy(s);
  return {48, 48, 32, png};
}

class GraphicsIcon : public GraphicsTestBase {
 protected:
  void Load(TIcon& icon, const String& file) {
    TStringStream stream(file);
    icon.LoadFromStream(&stream);
  }
};

TEST_F(GraphicsIcon, PaletteImagesTakeTheirMask) {
  TIcon icon;
  Load(icon, IcoFile({PaletteImage()}));
  EXPECT_EQ(icon.GetWidth(), 4);
  EXPECT_EQ(icon.GetHeight(), 4);
  EXPECT_EQ(icon.GetPixelARGB(0, 0), 0u) << "masked";
  EXPECT_EQ(icon.GetPixelARGB(0, 1), 0xFFFF0000u);
  EXPECT_EQ(icon.GetPixelARGB(3, 3), 0xFF0000FFu);
  EXPECT_TRUE(icon.GetTransparent());
}

TEST_F(GraphicsIcon, TheImageNearestThirtyTwoIsChosen) {
  TIcon icon;
  Load(icon, IcoFile({PaletteImage(), AlphaImage(), PngImage()}));
  EXPECT_EQ(icon.GetWidth(), 32);
  EXPECT_EQ(icon.GetPixelARGB(5, 5), 0xFF00FF00u);
  EXPECT_EQ(icon.GetPixelARGB(0, 0), 0u);
  EXPECT_EQ(icon.GetPixelARGB(5, 31) >> 24, 0x80u);
}

TEST_F(GraphicsIcon, PngImagesDecode) {
  TIcon icon;
  Load(icon, IcoFile({PngImage()}));
  EXPECT_EQ(icon.GetWidth(), 48);
  uint32_t p = icon.GetPixelARGB(10, 10);
  EXPECT_EQ(p >> 24, 0xFFu);
  EXPECT_NEAR(int(p & 0xFF), 128, 1);
}

TEST_F(GraphicsIcon, DrawingBlendsOverTheCanvas) {
  TIcon icon;
  Load(icon, IcoFile({AlphaImage()}));
  TBitmap bmp;
  FillBitmap(bmp, 40, 40, clRed);
  bmp.GetCanvas()->Draw(4, 4, &icon);
  EXPECT_EQ(PixelOf(bmp, 4, 4), clRed) << "clear corner";
  EXPECT_EQ(PixelOf(bmp, 10, 10), clLime);
  EXPECT_TRUE(Near(PixelOf(bmp, 10, 35), static_cast<TColor>(RGB(255, 128, 128)), 2)) << "half white over red";
  EXPECT_EQ(PixelOf(bmp, 36, 36), clRed);
  bmp.GetCanvas()->StretchDraw(Rect(0, 0, 8, 8), &icon);
  EXPECT_EQ(PixelOf(bmp, 4, 4), clLime);
}

TEST_F(GraphicsIcon, AssignsToABitmap) {
  TIcon icon;
  Load(icon, IcoFile({PaletteImage()}));
  TBitmap bmp;
  bmp.Assign(&icon);
  EXPECT_EQ(bmp.GetWidth(), 4);
  EXPECT_EQ(PixelOf(bmp, 0, 0), clWhite);
  EXPECT_EQ(PixelOf(bmp, 0, 2), clRed);
}

TEST_F(GraphicsIcon, SavesTheFileItWasLoadedFrom) {
  String file = IcoFile({PaletteImage(), AlphaImage()});
  TIcon icon;
  Load(icon, file);
  TStringStream out;
  icon.SaveToStream(&out);
  EXPECT_EQ(out.GetDataString(), file);
}

TEST_F(GraphicsIcon, BadFilesRaiseAndSizeIsFixed) {
  String truncated = IcoFile({AlphaImage()});
  truncated.resize(100);
  const String samples[] = {"", String(6, '\0'), "BM not an icon at all", truncated};
  TIcon icon;
  Load(icon, IcoFile({PaletteImage()}));
  for (const String& s : samples) {
    TStringStream stream(s);
    EXPECT_THROW(icon.LoadFromStream(&stream), EInvalidGraphic) << s.size();
    EXPECT_EQ(icon.GetWidth(), 4);
  }
  EXPECT_THROW(icon.SetWidth(16), EInvalidGraphicOperation);
  EXPECT_NO_THROW(icon.SetWidth(4));
}

// ---------------------------------------------------------------------------------------------
// Pictures

class GraphicsPicture : public GraphicsTestBase {
 protected:
  void TearDown() override {
    for (const String& f : FFiles) std::remove(f.c_str());
  }
  String Path(const String& name) {
    FFiles.push_back("/tmp/qj-graphics-picture-" + name);
    return FFiles.back();
  }
  std::vector<String> FFiles;
};

TEST_F(GraphicsPicture, LoadsByFileExtension) {
  TBitmap bmp;
  FillBitmap(bmp, 5, 3, clTeal);
  String bmpPath = Path("a.bmp"), jpgPath = Path("b.JPG"), icoPath = Path("c.ico");
  bmp.SaveToFile(bmpPath);
  TJPEGImage jpeg;
  jpeg.Assign(&bmp);
  jpeg.SaveToFile(jpgPath);
  {
    TFileStream f(icoPath, fmCreate);
    String ico = IcoFile({PaletteImage()});
    f.WriteBuffer(ico.data(), Integer(ico.size()));
  }
  struct Case {
    String Path;
    TClass Class;
    Integer Width;
  } cases[] = {{bmpPath, &TBitmap::StaticClass(), 5}, {jpgPath, &TJPEGImage::StaticClass(), 5}, {icoPath, &TIcon::StaticClass(), 4}};
  for (const Case& c : cases) {
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    pic.LoadFromFile(c.Path);
    ASSERT_NE(pic.GetGraphic(), nullptr);
    EXPECT_EQ(pic.GetGraphic()->ClassType(), c.Class) << c.Path;
    EXPECT_EQ(pic.GetWidth(), c.Width);
    EXPECT_EQ(changes, 1);
  }
}

TEST_F(GraphicsPicture, UnknownExtensionsAndBadFilesKeepThePicture) {
  TPicture pic;
  FillBitmap(*pic.GetBitmap(), 2, 2, clRed);
  String txt = Path("x.txt"), badBmp = Path("bad.bmp");
  {
    TFileStream f(badBmp, fmCreate);
    f.WriteBuffer("BMjunk", 6);
  }
  try {
    pic.LoadFromFile(txt);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.txt)");
  }
  EXPECT_THROW(pic.LoadFromFile(badBmp), EInvalidGraphic);
  EXPECT_THROW(pic.LoadFromFile(Path("missing.bmp")), EFOpenError);
  EXPECT_EQ(pic.GetWidth(), 2);
  EXPECT_EQ(PixelOf(*pic.GetBitmap(), 0, 0), clRed);
}

TEST_F(GraphicsPicture, LoadsFromAStreamBySignature) {
  TBitmap bmp;
  FillBitmap(bmp, 3, 3, clBlue);
  TMemoryStream stream;
  bmp.SaveToStream(&stream);
  stream.SetPosition(0);
  TPicture pic;
  pic.LoadFromStream(&stream);
  EXPECT_TRUE(pic.GetGraphic()->IsExactly<TBitmap>());
  TStringStream junk("no image here");
  EXPECT_THROW(pic.LoadFromStream(&junk), EInvalidGraphic);
  EXPECT_TRUE(pic.GetGraphic()->IsExactly<TBitmap>());
}

TEST_F(GraphicsPicture, FilterStringsListTheFormats) {
  EXPECT_EQ(GraphicFilter(&TGraphic::StaticClass()),
            "All (*.jpg;*.jpeg;*.ico;*.bmp)|*.jpg;*.jpeg;*.ico;*.bmp"
            "|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Icons (*.ico)|*.ico|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicFilter(&TBitmap::StaticClass()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicExtension(&TIcon::StaticClass()), "ico");
}

class TTestGraphic : public TBitmap {
  QJ_CLASS(TTestGraphic, TBitmap)
};
QJ_IMPLEMENT_CLASS(TTestGraphic)

TEST_F(GraphicsPicture, RegisteredFormatsJoinTheRegistry) {
  TGraphicClass cls = &TTestGraphic::StaticClass();
  TPicture::RegisterFileFormat(".qjt", "Test Images", cls);
  EXPECT_EQ(TPicture::GraphicClassOfFile("x.QJT"), cls);
  EXPECT_EQ(GraphicFilter(cls), "All (*.qjt)|*.qjt|Test Images (*.qjt)|*.qjt");
  EXPECT_EQ(GraphicFilter(&TBitmap::StaticClass()), "All (*.qjt;*.bmp)|*.qjt;*.bmp|Test Images (*.qjt)|*.qjt|Bitmaps (*.bmp)|*.bmp");
  TPicture pic;
  TBitmap bmp;
  FillBitmap(bmp, 2, 2, clRed);
  String path = Path("y.qjt");
  bmp.SaveToFile(path);
  pic.LoadFromFile(path);
  EXPECT_TRUE(pic.GetGraphic()->IsExactly<TTestGraphic>());
  EXPECT_THROW(TPicture::RegisterFileFormat("", "x", cls), EInvalidGraphicOperation);
  EXPECT_THROW(TPicture::RegisterFileFormat("x", "x", &TGraphic::StaticClass()), EInvalidGraphicOperation);
  TPicture::UnregisterGraphicClass(cls);
  EXPECT_EQ(TPicture::GraphicClassOfFile("x.qjt"), nullptr);
  EXPECT_EQ(TPicture::GraphicClassOfFile("x.bmp"), &TBitmap::StaticClass());
}

TEST_F(GraphicsPicture, BitmapAndIconAccessReplaceOtherKinds) {
  TPicture pic;
  TIcon* icon = pic.GetIcon();
  EXPECT_TRUE(icon->GetEmpty());
  TBitmap* bmp = pic.GetBitmap();
  EXPECT_TRUE(pic.GetGraphic()->IsExactly<TBitmap>());
  EXPECT_EQ(pic.GetBitmap(), bmp) << "a bitmap stays";
}

// A bitmap that counts the times it is freed the object model's way.
class TFreeCountingBitmap : public TBitmap {
  QJ_INLINE_CLASS(TFreeCountingBitmap, TBitmap)

 public:
  static inline int BeforeDestructions = 0;
  void BeforeDestruction() override {
    ++BeforeDestructions;
    inherited::BeforeDestruction();
  }
};

TEST_F(GraphicsPicture, ReplacedGraphicIsFreedWithBeforeDestruction) {
  TPicture pic;
  TFreeCountingBitmap source;
  pic.SetGraphic(&source);  // the picture keeps a copy of the same class
  ASSERT_TRUE(pic.GetGraphic()->IsExactly<TFreeCountingBitmap>());
  int before = TFreeCountingBitmap::BeforeDestructions;
  pic.SetGraphic(nullptr);
  EXPECT_EQ(TFreeCountingBitmap::BeforeDestructions, before + 1);
}

TEST_F(GraphicsPicture, GraphicChangesReachOnChangeAndAssignCopies) {
  TPicture pic;
  int changes = 0;
  pic.OnChange = [&](TObject*) { ++changes; };
  TBitmap* bmp = pic.GetBitmap();
  changes = 0;
  bmp->SetSize(4, 4);
  EXPECT_EQ(changes, 1);
  bmp->GetCanvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 2);

  TPicture copy;
  copy.Assign(&pic);
  ASSERT_NE(copy.GetGraphic(), pic.GetGraphic());
  EXPECT_EQ(copy.GetWidth(), 4);
  TBitmap standalone;
  FillBitmap(standalone, 7, 1, clRed);
  copy.SetGraphic(&standalone);
  EXPECT_EQ(copy.GetWidth(), 7);
  copy.Assign(nullptr);
  EXPECT_EQ(copy.GetGraphic(), nullptr);
}


// ---------------------------------------------------------------------------------------------
// Sizes read from headers alone

String SavedBytes(TGraphic& g) {
  TStringStream stream;
  g.SaveToStream(&stream);
  return stream.GetDataString();
}

String BitmapBytes(Integer w, Integer h) {
  TBitmap bmp;
  FillBitmap(bmp, w, h, clRed);
  return SavedBytes(bmp);
}

// A core-header (12-byte) bitmap of 3 x 2, 24 bits.
String CoreBitmapBytes() {
  String s = "BM";
  Put32(s, 14 + 12 + 2 * 12);
  Put32(s, 0);
  Put32(s, 26);
  Put32(s, 12);
  Put16(s, 3);
  Put16(s, 2);
  Put16(s, 1);
  Put16(s, 24);
  s += String(2 * 12, '\0');
  return s;
}

struct TSizeCase {
  const char* Name;
  std::function<String()> Data;
  bool Readable;
  TSize Size;
};

std::ostream& operator<<(std::ostream& os, const TSizeCase& c) { return os << c.Name; }

class GraphicSizeTest : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(GraphicSizeTest, ReadsTheSizeFromTheHeader) {
  const TSizeCase& c = GetParam();
  const String data = c.Data();
  TSize size{-1, -1};
  ASSERT_EQ(ReadGraphicSize(reinterpret_cast<const uint8_t*>(data.data()), data.size(), size), c.Readable);
  if (c.Readable) {
    EXPECT_EQ(size.cx, c.Size.cx);
    EXPECT_EQ(size.cy, c.Size.cy);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GraphicSizeTest,
    ::testing::Values(
        TSizeCase{"Bitmap", [] { return BitmapBytes(7, 3); }, true, {7, 3}},
        TSizeCase{"TopDownBitmap",
                  [] {
                    String s = BitmapBytes(7, 3);
                    s[22] = char(0xFD), s[23] = s[24] = s[25] = char(0xFF);  // -3
                    return s;
                  },
                  true, {7, 3}},
        TSizeCase{"CoreBitmap", [] { return CoreBitmapBytes(); }, true, {3, 2}},
        TSizeCase{"BitmapCutInItsHeader", [] { return BitmapBytes(7, 3).substr(0, 20); }, false, {}},
        TSizeCase{"Jpeg",
                  [] {
                    TBitmap bmp;
                    FillBitmap(bmp, 24, 10, clBlue);
                    TJPEGImage jpeg;
                    jpeg.Assign(&bmp);
                    return SavedBytes(jpeg);
                  },
                  true, {24, 10}},
        TSizeCase{"JpegWithoutFrame", [] { return String("\xFF\xD8\xFF\xE0\x00\x04" "ab", 8); }, false, {}},
        TSizeCase{"Icon", [] { return IcoFile({PaletteImage()}); }, true, {4, 4}},
        TSizeCase{"IconTakesItsLargestImage", [] { return IcoFile({PaletteImage(), PngImage(), AlphaImage()}); }, true,
                  {48, 48}},
        TSizeCase{"NoPicture", [] { return String("plain text"); }, false, {}},
        TSizeCase{"Nothing", [] { return String(); }, false, {}}));

}  // namespace
