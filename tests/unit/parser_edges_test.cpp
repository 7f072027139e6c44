// Edges of the readers of outside bytes that the broader tests step over:
// each case is a file a user or a skin author can really produce.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/menu_template.h"
#include "platform/posix/ini_document.h"
#include "platform/posix/registry_store.h"
#include "skin/dialog_template.h"
#include "skin/dib.h"

namespace mixora {
namespace {

TEST(IniEdges, ANumberEndsAtTheFirstNonDigitAndEmptyQuotesGiveAnEmptyValue) {
    EXPECT_EQ(ParseProfileInt("12ab34"), 12);
    EXPECT_EQ(ParseProfileInt(" 7 5"), 7);
    auto doc = IniDocument::Parse("[Settings]\nSkin_File=\"\"\nName=\"a\"\n");
    EXPECT_EQ(doc.Get("Settings", "Skin_File"), "");
    EXPECT_EQ(doc.Get("Settings", "Name"), "a");
}

TEST(RegistryEdges, AWrappedHexValueLosesItsBackslashAndIndent) {
    auto keys =
        ParseRegistryText("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\EQ]\r\n"
                          "\"Rock\"=hex:01,02,\\\r\n  03,04\r\n\"After\"=dword:00000010\r\n");
    ASSERT_TRUE(keys.has_value());
    ASSERT_EQ(keys->size(), 1u);
    ASSERT_EQ((*keys)[0].values.size(), 2u);
    EXPECT_EQ((*keys)[0].values[0].data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ((*keys)[0].values[1].data, (std::vector<std::uint8_t>{0x10, 0, 0, 0}));
    // Nine digits do not fit a double word: no value, the line kept as written.
    auto odd = ParseRegistryText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"n\"=dword:000000010\n");
    ASSERT_TRUE(odd.has_value() && odd->size() == 1u);
    EXPECT_TRUE((*odd)[0].values.empty());
    EXPECT_EQ((*odd)[0].keptLines, std::vector<std::string>{"\"n\"=dword:000000010"});
}

// A 1 x 1 24-bit picture whose info header states `headerSize` bytes.
std::vector<std::uint8_t> OnePixel(std::uint32_t headerSize) {
    std::vector<std::uint8_t> b(40 + 4, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, headerSize);
    put32(4, 1);             // width
    put32(8, 1);             // height
    put32(12, 1 | 24 << 16); // planes, bits per pixel
    b[40] = 0x30;            // blue, green, red of the one pixel
    b[41] = 0x20;
    b[42] = 0x10;
    return b;
}

TEST(DibEdges, AnInfoHeaderShorterThanFortyBytesIsRefused) {
    auto topDown = OnePixel(40);
    topDown[8] = topDown[9] = topDown[10] = topDown[11] = 0xFF; // height -1
    CDib upsideDown;
    EXPECT_FALSE(upsideDown.AttachPacked(topDown));
    for (std::uint32_t size : {0u, 12u, 39u}) {
        CDib dib;
        EXPECT_FALSE(dib.AttachPacked(OnePixel(size))) << size;
        EXPECT_TRUE(dib.IsEmpty()) << size;
    }
    CDib dib;
    const auto bytes = OnePixel(40);
    ASSERT_TRUE(dib.AttachPacked(bytes));
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0x102030u);
}

TEST(DialogEdges, EscapedQuotesAreTextAndNegativeSizesAreRefused) {
    auto dialog = ParseDialogTemplate("caption \"Say \\\"hi\\\" \\\\ bye\"\nsize 10 10\n"
                                      "button 1 0 0 5 5 \"OK\"\n");
    ASSERT_TRUE(dialog.has_value());
    EXPECT_EQ(dialog->caption, "Say \"hi\" \\ bye");
    EXPECT_FALSE(ParseDialogTemplate("size 10 10\nbutton 1 0 0 -5 5 \"OK\"\n").has_value());
    EXPECT_FALSE(ParseDialogTemplate("size 10 10\nbutton 1 0 0 5 -5 \"OK\"\n").has_value());
}

TEST(MenuEdges, ACommandIdMustFitSixteenBits) {
    auto menu = [](const char* text) {
        const std::string_view t(text);
        return ParseMenuTemplate({reinterpret_cast<const std::uint8_t*>(t.data()), t.size()});
    };
    auto last = menu("POPUP \"P\"\n    MENUITEM \"Last\", 65535\nEND\n");
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ((*last)[0].items[0].id, 65535u);
    EXPECT_FALSE(menu("POPUP \"P\"\n    MENUITEM \"Past\", 65536\nEND\n").has_value());
}

} // namespace
} // namespace mixora
