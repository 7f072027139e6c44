// Translations reach the screen: table bytes decoded where Qt takes them,
// and Chinese characters drawn with real glyphs, not boxes.
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/qt/display_text.h"
#include "platform/qt/qt_dialog_view.h"
#include "platform/qt/qt_text_rasterizer.h"
#include "skin/dialog_template.h"

using namespace mixora;

namespace {

// Bytes from the published Big5 and GB2312 tables.
const std::string kPlayPauseBig5 = "\xBC\xB7\xA9\xF1/\xBC\xC8\xB0\xB1"; // 撥放/暫停
const std::string kNoneGb = "<\xCE\xDE>";                               // <无>
const std::string kOneGb = "\xD2\xBB";                // 一, and also valid UTF-8 (U+04BB)
const std::string kFunctionBig5 = "\xA5\x5C\xAF\xE0"; // 功能: a '\' trail byte

struct NoLogic final : IDialogController {
    void OnInitDialog(IDialogView&) override {}
    void OnCommand(IDialogView&, int) override {}
    void OnSelChange(IDialogView&, int) override {}
};

// Ink of one character drawn alone at 16 pixels, as 0/1 per pixel.
std::vector<int> Glyph(const char* utf8) {
    constexpr int w = 24, h = 24;
    std::vector<std::uint32_t> pixels(w * h, 0xFF000000);
    QtTextRasterizer text;
    text.DrawText(SurfaceView{pixels, w, h}, RECT{0, 0, w, h}, 2, 2, utf8, 16, 0x00FFFFFF, false,
                  0);
    std::vector<int> ink;
    for (std::uint32_t p : pixels)
        ink.push_back((p & 0xFF) > 0x80);
    return ink;
}

int Count(const std::vector<int>& ink) {
    int n = 0;
    for (int v : ink)
        n += v;
    return n;
}

} // namespace

TEST(DisplayText, TableBytesAreReadInTheirTablesEncoding) {
    EXPECT_EQ(DisplayString(kPlayPauseBig5, TextEncoding::Big5), QString::fromUtf8("撥放/暫停"));
    EXPECT_EQ(DisplayString(kFunctionBig5, TextEncoding::Big5), QString::fromUtf8("功能"));
    EXPECT_EQ(DisplayString(kNoneGb, TextEncoding::Gb2312), QString::fromUtf8("<无>"));
    // The bytes alone cannot tell: only the table's encoding reads them right.
    EXPECT_EQ(DisplayString(kOneGb, TextEncoding::Gb2312), QString::fromUtf8("一"));
    EXPECT_EQ(DisplayString(kOneGb, TextEncoding::Utf8), QString(QChar(0x04BB)));
    // A cut-off or impossible sequence shows one replacement mark; the rest
    // of the text still shows.
    EXPECT_EQ(DisplayString("\xBC\xB7\xFF"
                            "ab\xA9",
                            TextEncoding::Big5),
              QString::fromUtf8("撥\xEF\xBF\xBD"
                                "ab\xEF\xBF\xBD"));
}

TEST(DisplayText, ChineseCharactersDrawAsTheirOwnGlyphs) {
    // Without a CJK font every one of them would be the same box.
    const std::vector<int> bo = Glyph("撥"), zan = Glyph("暫"), wu = Glyph("无");
    for (const auto* g : {&bo, &zan, &wu}) {
        EXPECT_GT(Count(*g), 20);
    }
    EXPECT_NE(bo, zan);
    EXPECT_NE(zan, wu);
    EXPECT_NE(bo, wu);
}
