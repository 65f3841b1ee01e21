// The settings wrapper over INI files and the registry store, the cell text routine's paths and
// layout, and the small drawing helpers.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/Graphics.h"
#include "platform/os/GdiTestSupport.h"
#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "support/EnumNames.h"
#include "treelist/zmUtils.h"

namespace {

// ------------------------------------------------------------------ unit counters

TEST(zmUnitCounter, NestedStartsActOnceAndTheLastEndReleases) {
  TzmUnitCounter counter;
  EXPECT_TRUE(counter.Start());
  EXPECT_FALSE(counter.Start()) << "a second start does nothing";
  EXPECT_FALSE(counter.End());
  EXPECT_TRUE(counter.End()) << "the end matching the first start releases";
  EXPECT_FALSE(counter.Started());
}

TEST(zmUnitCounter, AnEndWithoutStartDoesNotSpoilTheNextStart) {
  TzmUnitCounter counter;
  EXPECT_FALSE(counter.End());
  EXPECT_TRUE(counter.Start());
  EXPECT_TRUE(counter.End());
}

// ------------------------------------------------------------------ settings

// One wrapper test runs on each store: an INI file read at every call, one held in memory, and
// the registry store.
enum class TRegIniStoreKind { IniFile, MemIniFile, Registry };

std::string StoreName(TRegIniStoreKind kind) {
  return NameOf(kind, {QJ_NAMED(TRegIniStoreKind::IniFile), QJ_NAMED(TRegIniStoreKind::MemIniFile),
                       QJ_NAMED(TRegIniStoreKind::Registry)});
}

class RegIniWrapper : public testing::TestWithParam<TRegIniStoreKind> {
 protected:
  RegIniWrapper() : FConfig("XDG_CONFIG_HOME", FFolder.Path()) {
    switch (GetParam()) {
      case TRegIniStoreKind::IniFile: FStore = MakeOwned<TIniFile>(FFolder.File("layout.ini")); break;
      case TRegIniStoreKind::MemIniFile: FStore = MakeOwned<TMemIniFile>(FFolder.File("layout.ini")); break;
      case TRegIniStoreKind::Registry: FStore = MakeOwned<TRegIniFile>("Software\\QJ\\Layouts"); break;
    }
    Wrapper.SetRegIniObject(FStore.get());
  }

  // A malformed value written as text behind the wrapper's back.
  void WriteRaw(const String& section, const String& ident, const String& value) {
    if (auto* ini = As<TCustomIniFile>(FStore.get())) return ini->WriteString(section, ident, value);
    As<TRegIniFile>(FStore.get())->WriteString(section.substr(1), ident, value);
  }

  TTempFolder FFolder;
  TEnvScope FConfig;
  TOwned<TObject> FStore;
  TzmRegIniWrapper Wrapper;
};

TEST_P(RegIniWrapper, ValuesRoundTrip) {
  Wrapper.WriteInteger("\\Form_List", "Width", -120);
  Wrapper.WriteBool("\\Form_List\\Columns\\A", "Visible", true);
  Wrapper.WriteBool("\\Form_List\\Columns\\B", "Visible", false);
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_List", "Width", 0), -120);
  EXPECT_TRUE(Wrapper.ReadBool("\\Form_List\\Columns\\A", "Visible", false));
  EXPECT_FALSE(Wrapper.ReadBool("\\Form_List\\Columns\\B", "Visible", true));
}

TEST_P(RegIniWrapper, MissingAndMalformedValuesReadAsTheDefault) {
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_List", "Width", 77), 77);
  EXPECT_TRUE(Wrapper.ReadBool("\\Form_List", "Visible", true));
  WriteRaw("\\Form_List", "Width", "wide");
  WriteRaw("\\Form_List", "Index", "");
  WriteRaw("\\Form_List", "Visible", "perhaps");
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_List", "Width", 77), 77);
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_List", "Index", -1), -1);
  EXPECT_FALSE(Wrapper.ReadBool("\\Form_List", "Visible", false));
}

TEST_P(RegIniWrapper, EraseSectionDropsOneSection) {
  Wrapper.WriteInteger("\\Form_List", "Width", 1);
  Wrapper.WriteInteger("\\Form_Tree", "Width", 2);
  Wrapper.EraseSection("\\Form_List");
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_List", "Width", -1), -1);
  EXPECT_EQ(Wrapper.ReadInteger("\\Form_Tree", "Width", -1), 2);
}

INSTANTIATE_TEST_SUITE_P(Stores, RegIniWrapper,
                         testing::Values(TRegIniStoreKind::IniFile, TRegIniStoreKind::MemIniFile,
                                         TRegIniStoreKind::Registry),
                         [](const testing::TestParamInfo<TRegIniStoreKind>& info) { return StoreName(info.param); });

class RegIniWrapperIni : public testing::Test {
 protected:
  TTempFolder FFolder;
  TIniFile Ini{FFolder.File("shared.ini")};
  TzmRegIniWrapper Wrapper;
  void SetUp() override { Wrapper.SetRegIniObject(&Ini); }
  std::vector<String> Sections() { return Ini.SectionNames(); }
};

TEST_F(RegIniWrapperIni, PrefixEraseKeepsOtherControlsSections) {
  for (const char* section : {"\\Form_List", "\\Form_List\\Columns\\A", "\\Form_ListX", "\\Form_List2\\Columns\\A",
                              "\\form_list\\Columns\\B"})
    Ini.WriteInteger(section, "Width", 1);
  Wrapper.EraseSectionsWithPrefix("\\Form_List");
  EXPECT_EQ(Sections(), (std::vector<String>{"\\Form_ListX", "\\Form_List2\\Columns\\A", "\\form_list\\Columns\\B"}))
      << "the section and the sections below it go; a longer name or another case stays";
}

TEST_F(RegIniWrapperIni, ReadSectionsListsEverySection) {
  Ini.WriteInteger("\\A", "X", 1);
  Ini.WriteInteger("\\A\\B", "X", 1);
  TStringList list;
  Wrapper.ReadSections(&list);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list[1], "\\A\\B");
}

class RegIniWrapperRegistry : public testing::Test {
 protected:
  TTempFolder FFolder;
  TEnvScope FConfig{"XDG_CONFIG_HOME", FFolder.Path()};
};

TEST_F(RegIniWrapperRegistry, SectionsLieBelowTheSettingsKeyAndPrefixEraseLeavesThem) {
  TRegIniFile reg("Software\\QJ\\Layouts");
  TzmRegIniWrapper wrapper;
  wrapper.SetRegIniObject(&reg);
  wrapper.WriteInteger("\\Form_List\\Columns\\A", "Width", 40);
  TRegistry check(KEY_READ);
  EXPECT_TRUE(check.KeyExists("\\Software\\QJ\\Layouts\\Form_List\\Columns\\A"));
  EXPECT_FALSE(check.KeyExists("\\Form_List"));
  TStringList sections;
  wrapper.ReadSections(&sections);
  EXPECT_EQ(sections.GetCount(), 1);
  EXPECT_EQ(sections[0], "Form_List");
  wrapper.EraseSectionsWithPrefix("\\Form_List");
  EXPECT_EQ(wrapper.ReadInteger("\\Form_List\\Columns\\A", "Width", 0), 40) << "old subkeys stay on the registry";
  wrapper.EraseSection("\\Form_List");
  EXPECT_EQ(wrapper.ReadInteger("\\Form_List\\Columns\\A", "Width", 0), 0);
}

// ------------------------------------------------------------------ cell text

constexpr COLORREF kYellow = RGB(255, 255, 0);

class CellText : public testing::Test {
 protected:
  CellText() {
    FFont = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    FBrush = CreateSolidBrush(kBlue);
  }
  ~CellText() override {
    DeleteObject(FFont);
    DeleteObject(FBrush);
  }

  Integer Draw(const String& text, TRect cell, TRect textRect, TzmCellTextFlags flags, Integer* lineHeight = nullptr,
               Integer count = -2) {
    return DrawCellText(Canvas.DC(), text, count == -2 ? Length(text) : count, cell, textRect, flags, FBrush, FFont,
                        kYellow, kBlack, lineHeight);
  }
  // The box of the pixels inside R that are not the background colour.
  TRect GlyphBox(const TRect& R) {
    TRect box{R.Right, R.Bottom, R.Left, R.Top};
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (Canvas.At(x, y) != kYellow)
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    return box;
  }
  Integer TextWidth(const String& text) {
    HGDIOBJ old = SelectObject(Canvas.DC(), FFont);
    SIZE size;
    GetTextExtentPoint32(Canvas.DC(), text.c_str(), Length(text), &size);
    SelectObject(Canvas.DC(), old);
    return size.cx;
  }

  TPixelCanvas Canvas{120, 60, kWhite};
  HFONT FFont;
  HBRUSH FBrush;
};

TEST_F(CellText, OpaqueFastPathFillsTheCellWithTheBackgroundAndAlignsRight) {
  TRect cell{10, 10, 110, 40}, text{12, 12, 100, 38};
  EXPECT_EQ(Draw("ab", cell, text, zmctRight), 0);
  EXPECT_EQ(Canvas.Count(kBlue), 0) << "the fast path fills with the background colour, not the brush";
  EXPECT_EQ(Canvas.At(10, 10), kYellow);
  EXPECT_EQ(Canvas.At(109, 39), kYellow);
  EXPECT_EQ(Canvas.At(9, 9), kWhite);
  TRect glyphs = GlyphBox(cell);
  EXPECT_LE(glyphs.Right, 100);
  EXPECT_GE(glyphs.Left, 100 - TextWidth("ab")) << "flush right in the text rectangle";
  EXPECT_EQ(glyphs.Top >= 12, true);
}

TEST_F(CellText, FittingTextWithEllipsisStaysOnTheFastPath) {
  TRect cell{0, 0, 120, 20};
  Draw("fits", cell, cell, zmctEndEllipsis);
  EXPECT_EQ(Canvas.Count(kBlue), 0) << "no brush fill: ExtTextOut painted the background";
}

TEST_F(CellText, ALineBreakWithEllipsisTakesTheFormattedPath) {
  TRect cell{0, 0, 120, 20};
  Draw("one\ntwo", cell, cell, zmctEndEllipsis);
  EXPECT_GT(Canvas.Count(kBlue), 0) << "the formatted path fills the cell with the brush";
  EXPECT_EQ(Canvas.Count(kYellow), 0) << "and draws the text without background";
}

TEST_F(CellText, TooWideTextFillsRightOfTheTextRectAndClipsThere) {
  TRect cell{0, 0, 120, 20}, text{0, 0, 40, 20};
  Draw("a rather long cell text", cell, text, 0);
  for (int x = 40; x < 120; ++x) ASSERT_EQ(Canvas.At(x, 10), kBlue) << x;
  EXPECT_EQ(Canvas.At(0, 0), kYellow);
}

TEST_F(CellText, TransparentOutputLeavesTheBackground) {
  TRect cell{0, 0, 120, 20};
  Draw("x", cell, cell, zmctTransparent);
  EXPECT_EQ(Canvas.Count(kYellow), 0);
  EXPECT_EQ(Canvas.Count(kBlue), 0);
  EXPECT_GT(Canvas.Count(kBlack), 0);
}

TEST_F(CellText, MeasureGivesTheCellHeightAndTheLineHeight) {
  TRect cell{0, 0, 60, 20}, text{2, 2, 58, 18};
  Integer line = 0;
  Integer single = Draw("abc", cell, text, zmctMeasure, &line);
  EXPECT_GT(line, 0);
  EXPECT_EQ(single, 4 + line);
  Integer wrapped = Draw("a few words that need lines", cell, text, zmctMeasure | zmctWordWrap, &line);
  EXPECT_GE(wrapped, 4 + 2 * line) << "word wrap measures several lines";
  EXPECT_EQ(Canvas.Count(kBlack), 0) << "measuring draws no text";
}

TEST_F(CellText, FocusRectangleSurroundsTheTextRectGrownByOne) {
  TRect cell{0, 0, 120, 40}, text{10, 10, 60, 30};
  Draw("", cell, text, zmctFocusRect | zmctFocusAroundText);
  EXPECT_TRUE(GlyphBox(cell).IsEmpty()) << "no focus rectangle around an empty text";
  Draw("", cell, text, zmctFocusRect);
  EXPECT_NE(Canvas.At(9, 9), kYellow) << "the dotted frame starts one pixel outside";
  EXPECT_EQ(Canvas.At(11, 15), kYellow);
}

TEST_F(CellText, CountIsClampedToTheText) {
  TRect cell{0, 0, 120, 20};
  Draw("ab", cell, cell, 0, nullptr, 500);
  auto whole = Canvas.Snapshot();
  Canvas.Clear(kWhite);
  Draw("ab", cell, cell, 0);
  EXPECT_EQ(Canvas.Snapshot(), whole) << "a count past the text draws the text";
  Canvas.Clear(kWhite);
  Draw("ab", cell, cell, 0, nullptr, -7);
  EXPECT_EQ(Canvas.Count(kBlack), 0) << "a negative count draws nothing";
}

TEST_F(CellText, TheDCKeepsItsFontAndColours) {
  SetTextColor(Canvas.DC(), kBlue);
  SetBkColor(Canvas.DC(), kWhite);
  SetBkMode(Canvas.DC(), OPAQUE);
  HGDIOBJ font = GetCurrentObject(Canvas.DC(), OBJ_FONT);
  TRect cell{0, 0, 120, 20};
  Draw("x", cell, cell, zmctTransparent | zmctFocusRect);
  EXPECT_EQ(GetTextColor(Canvas.DC()), kBlue);
  EXPECT_EQ(GetBkColor(Canvas.DC()), kWhite);
  EXPECT_EQ(GetBkMode(Canvas.DC()), OPAQUE);
  EXPECT_EQ(GetCurrentObject(Canvas.DC(), OBJ_FONT), font);
}

// ------------------------------------------------------------------ drawing helpers

TEST(zmDrawing, HalftoneBrushIsAOnePixelCheckerboardWhileTheUnitRuns) {
  EXPECT_EQ(HalftoneBrush(), nullptr);
  zmUtilsStart();
  TPixelCanvas canvas(8, 8);
  SetTextColor(canvas.DC(), kBlack);
  SetBkColor(canvas.DC(), kWhite);
  RECT r{0, 0, 8, 8};
  FillRect(canvas.DC(), &r, HalftoneBrush());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(canvas.At(x, y), (x + y) % 2 == 0 ? kBlack : kWhite) << x << "," << y;
  zmUtilsEnd();
  EXPECT_EQ(HalftoneBrush(), nullptr);
}

TEST(zmDrawing, GlyphOnBrushPaintsTheBrushWhereTheBitmapIsTransparent) {
  TBitmap glyph;
  glyph.SetSize(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) glyph.ScanLine(y)[x] = x < 2 ? 0x00FF00 : 0xFF0000;  // green, then red
  glyph.SetTransparentColor(clLime);
  TPixelCanvas canvas(10, 10);
  HBRUSH brush = CreateSolidBrush(kBlue);
  DrawGlyphOnBrush(canvas.DC(), brush, {3, 3, 7, 5}, &glyph);
  DeleteObject(brush);
  EXPECT_EQ(canvas.At(3, 3), kBlue);
  EXPECT_EQ(canvas.At(4, 4), kBlue);
  EXPECT_EQ(canvas.At(5, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(6, 4), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(7, 3), kWhite);
  EXPECT_EQ(canvas.At(3, 5), kWhite);
}

TEST(zmDrawing, ShadowEdgesFillTheBottomAndRightBands) {
  TPixelCanvas canvas(12, 12);
  HBRUSH brush = CreateSolidBrush(kBlack);
  FillShadowEdges(canvas.DC(), {2, 2, 10, 10}, 2, brush);
  DeleteObject(brush);
  EXPECT_EQ(canvas.Count(kBlack), 8 * 2 + 6 * 2);
  EXPECT_EQ(canvas.At(2, 8), kBlack);
  EXPECT_EQ(canvas.At(8, 2), kBlack);
  EXPECT_EQ(canvas.At(7, 7), kWhite);
}

TEST(zmDrawing, EnsureBitmapSizeNeverShrinks) {
  TBitmap bitmap;
  bitmap.SetSize(10, 4);
  EnsureBitmapSize(&bitmap, 6, 8);
  EXPECT_EQ(bitmap.GetWidth(), 10);
  EXPECT_EQ(bitmap.GetHeight(), 8);
}

}  // namespace
