// Simple runs of single-byte text are laid out from the font's glyph cache; the full path
// itemizes and shapes. On a table of texts and fonts both paths must draw the same pixels and
// give the same widths and character positions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/os/GdiTextEngine.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/os/GdiTestSupport.h"

namespace {

struct TFontCase {
  const char* Name;
  LONG Height;
  LONG Weight;
  bool Italic;
  const char* Face;
};

const TFontCase kFonts[] = {
    {"grid", -11, FW_NORMAL, false, "DejaVu Sans"},
    {"dialog", -13, FW_NORMAL, false, "DejaVu Sans"},
    {"bold caption", -12, FW_BOLD, false, "DejaVu Sans"},
    {"italic", -15, FW_NORMAL, true, "DejaVu Sans"},
    {"fixed", -12, FW_NORMAL, false, "DejaVu Sans Mono"},
    {"cell height", 18, FW_NORMAL, false, "DejaVu Serif"},
};

const char* const kTexts[] = {
    "Das Erste HD 123", "ZDF HD", "AVAWAT Ta To Ty LT", "fi fl ffi office", "11494 H 22000", "Astra 19.2E",
    "(HD) 1.5", "12:30 - 14:00", "Caf\xE9 TV", "\xD6sterreich", "\x84quoted\x93 \x80 100", "r, y. f' T, Y; P. F,",
    "a", " ", "  two  spaces  ", "\xA0nbsp\xA0", "x\ty", "soft\xADhyphen", "\xB5 \xAA \xBA \xDF \xFF", "...",
    "Wi-Fi & W.A.V.", "\x8A\x9A\x8E\x9E\x9F", "MiXeD CaSe 0123456789",
};

struct TRendering {
  std::vector<uint32_t> Pixels;
  int Width = 0;
  std::vector<int> Ends;
};

class GdiTextShaping : public ::testing::TestWithParam<TFontCase> {
 protected:
  ~GdiTextShaping() override { SetSimpleTextShaping(true); }

  HFONT MakeFont() const {
    LOGFONT lf;
    lf.lfHeight = GetParam().Height;
    lf.lfWeight = GetParam().Weight;
    lf.lfItalic = GetParam().Italic;
    std::strcpy(lf.lfFaceName, GetParam().Face);
    return CreateFontIndirect(&lf);
  }

  // A fresh font each time: its face has an empty cache, so every text is laid out anew.
  TRendering Render(const char* text, bool simple) {
    SetSimpleTextShaping(simple);
    HFONT font = MakeFont();
    HDC dc = FCanvas.DC();
    HGDIOBJ old = SelectObject(dc, font);
    FCanvas.Clear(RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 96));
    TextOut(dc, 3, 2, text, int(std::strlen(text)));
    RECT cell{3, 30, 63, 50};  // narrow: the ellipsis fitting measures many prefixes
    DrawText(dc, text, -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    RECT right{0, 52, 236, 76};
    DrawText(dc, text, -1, &right, DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX);
    TRendering r;
    r.Pixels = FCanvas.Snapshot();
    SIZE size;
    int fit = 0;
    r.Ends.resize(std::strlen(text));
    GetTextExtentExPoint(dc, text, int(std::strlen(text)), -1, &fit, r.Ends.data(), &size);
    r.Width = size.cx;
    SelectObject(dc, old);
    DeleteObject(font);
    SetSimpleTextShaping(true);
    return r;
  }

  TPixelCanvas FCanvas{240, 80};
};

// Whether a text takes the simple path with a fresh face of the font.
bool LaidOutSimply(HFONT font, const String& text) {
  TFontFace& face = FaceOfFont(font);
  TShapedText shaped;
  shaped.Utf8 = AnsiToUtf8(text);
  size_t offset = 0;
  for (char c : text) {
    shaped.Utf8Offsets.push_back(offset);
    offset += AnsiToUtf8(String(1, c)).size();
  }
  shaped.Utf8Offsets.push_back(offset);
  return ShapeSimpleRun(face, text, shaped);
}

TEST_P(GdiTextShaping, BothPathsDrawTheSamePixelsAndPositions) {
  for (const char* text : kTexts) {
    TRendering full = Render(text, false);
    TRendering simple = Render(text, true);
    EXPECT_EQ(simple.Width, full.Width) << GetParam().Name << ": \"" << text << "\"";
    EXPECT_EQ(simple.Ends, full.Ends) << GetParam().Name << ": \"" << text << "\"";
    EXPECT_TRUE(simple.Pixels == full.Pixels) << GetParam().Name << ": \"" << text << "\" draws differently";
  }
}

// The path is really taken for plain texts, and never for texts with control characters.
TEST_P(GdiTextShaping, PlainTextsTakeTheSimplePath) {
  HFONT font = MakeFont();
  EXPECT_TRUE(LaidOutSimply(font, "Das Erste HD 123")) << GetParam().Name;
  EXPECT_TRUE(LaidOutSimply(font, "12:30")) << GetParam().Name;
  EXPECT_FALSE(LaidOutSimply(font, "x\ty")) << GetParam().Name;
  DeleteObject(font);
}

INSTANTIATE_TEST_SUITE_P(Fonts, GdiTextShaping, ::testing::ValuesIn(kFonts),
                         [](const auto& info) {
                           std::string name = info.param.Name;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
