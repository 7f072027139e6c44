#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/profile_text.h"

namespace mixora {
namespace {

// The text is copied into a buffer of exactly its length, so a read past the
// end shows up under the sanitizer.
std::optional<std::string> Lookup(const std::string& text, std::string_view section,
                                  std::string_view key) {
    auto exact = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), exact.get());
    std::string out = "untouched";
    if (!LookupProfileText(exact.get(), text.size(), section, key, out)) {
        EXPECT_EQ(out, "untouched");
        return std::nullopt;
    }
    return out;
}

const std::string kDescription = "[FontColor]\r\n"
                                 "NameColor=0x00DCDCDC\r\n"
                                 "SelectedPLColor=0x0096FF96\r\n"
                                 "PLColor=0x00FF9B78\r\n"
                                 "PlayingPLColor=0x006464FF\r\n"
                                 "[ScrollType]\r\n"
                                 "PLScrollType=1\r\n"
                                 "PLScrollReverse=0";

TEST(ProfileText, ReadsSkinDescriptionValues) {
    EXPECT_EQ(Lookup(kDescription, "FontColor", "NameColor"), "0x00DCDCDC");
    EXPECT_EQ(ParseHex(*Lookup(kDescription, "FontColor", "PLColor")), 0xFF9B78u);
    EXPECT_EQ(ParseHex(*Lookup(kDescription, "FontColor", "NameColor")), 0xDCDCDCu);
    EXPECT_EQ(Lookup(kDescription, "ScrollType", "PLScrollType"), "1");
    // Last line, no line end: the value runs to the end of the text.
    EXPECT_EQ(Lookup(kDescription, "ScrollType", "PLScrollReverse"), "0");
    EXPECT_FALSE(Lookup(kDescription, "Bitmaps", "SkinBase"));
    EXPECT_FALSE(Lookup(kDescription, "FontColor", "Missing"));
    std::string out = "untouched";
    EXPECT_FALSE(LookupProfileText(nullptr, 10, "FontColor", "NameColor", out));
    EXPECT_EQ(out, "untouched");
}

TEST(ProfileText, EqualsSignsAndValueEnds) {
    EXPECT_EQ(ParseHex(*Lookup("[S]\r\nKey==FF\r\n", "S", "Key")), 0xFFu);
    EXPECT_EQ(Lookup("[S]\r\nKey===\r\nx", "S", "Key"), "");
    EXPECT_EQ(Lookup("[S]\r\nKey=\r\nNext=1\r\n", "S", "Key"), "");
    EXPECT_EQ(ParseHex(*Lookup("[S]\r\nKey=\r\n", "S", "Key")), 0u);
    // No "=" at all: the value starts right behind the key.
    EXPECT_EQ(Lookup("[S]\r\nKey 12\r\n", "S", "Key"), " 12");
    EXPECT_EQ(Lookup("[S]\r\nKey=a\nb", "S", "Key"), "a");
    EXPECT_EQ(Lookup(std::string("[S]\r\nKey=a\0b", 11), "S", "Key"), "a");
    EXPECT_EQ(Lookup("[S]\r\nKey=", "S", "Key"), "");
}

TEST(ProfileText, KeyInsideALongerKeyIsRetriedOnceOnly) {
    // "PLColor" first appears inside "SelectedPLColor"; the second occurrence
    // is taken.
    EXPECT_EQ(Lookup(kDescription, "FontColor", "PLColor"), "0x00FF9B78");
    // The second occurrence is taken wherever it stands, even inside another
    // key; a third, proper one is never tried.
    EXPECT_EQ(
        Lookup("[S]\r\nSelectedPLColor=1\r\nPlayingPLColor=2\r\nPLColor=3\r\n", "S", "PLColor"),
        "2");
    EXPECT_FALSE(Lookup("[S]\r\nSelectedPLColor=1\r\n", "S", "PLColor"));
    // A key at the start of a line is taken at once.
    EXPECT_EQ(Lookup("[EQ]\r\nLoad=L1\r\nLoad...=L2\r\n", "EQ", "Load"), "L1");
    // A line start needs CR LF; LF alone does not count.
    EXPECT_EQ(Lookup("[S]\nKey=1\nKey=2\n", "S", "Key"), "2");
}

TEST(ProfileText, SearchIsNotConfinedToTheSection) {
    const std::string table = "[EQ]\r\nCancel=EqCancel\r\n[RECORDER]\r\nOK=Ok\r\nCancel=RecCancel";
    EXPECT_EQ(Lookup(table, "RECORDER", "Cancel"), "RecCancel");
    EXPECT_EQ(Lookup(table, "EQ", "Cancel"), "EqCancel");
    // Missing from its section, found in a later one.
    EXPECT_EQ(Lookup(table, "EQ", "OK"), "Ok");
    // The section name is plain text; brackets are not needed to match.
    EXPECT_EQ(Lookup("SKIN stuff\r\nBaseSkin=Base", "SKIN", "BaseSkin"), "Base");
}

TEST(ProfileText, ValuesOf256CharactersOrMoreFail) {
    EXPECT_EQ(Lookup("[S]\r\nKey=" + std::string(255, 'v') + "\r\n", "S", "Key"),
              std::string(255, 'v'));
    EXPECT_FALSE(Lookup("[S]\r\nKey=" + std::string(256, 'v') + "\r\n", "S", "Key"));
    EXPECT_FALSE(Lookup("[S]\r\nKey=" + std::string(300, 'v'), "S", "Key"));
}

TEST(ProfileText, NeverReadsOutsideTheGivenLength) {
    // The text goes on behind `length`; only the first bytes count.
    const std::string text = "[S]\r\nKey=12345\r\n";
    std::string out;
    ASSERT_TRUE(LookupProfileText(text.data(), 12, "S", "Key", out));
    EXPECT_EQ(out, "123");
    EXPECT_FALSE(LookupProfileText(text.data(), 7, "S", "Key", out));
    // A key at the very start of the text has no line before it.
    EXPECT_EQ(Lookup("Key=1\r\nKey=2", "Key", "Key"), "2");
    EXPECT_EQ(Lookup("xKey=1", "xKey", "Key"), std::nullopt);
    EXPECT_FALSE(Lookup("", "S", "Key"));
}

TEST(ProfileText, ParseHexSkipsEverythingButHexDigits) {
    EXPECT_EQ(ParseHex(""), 0u);
    EXPECT_EQ(ParseHex("2"), 2u);
    EXPECT_EQ(ParseHex("0x00DCDCDC"), 0xDCDCDCu);
    EXPECT_EQ(ParseHex("0x00ff9b78"), 0xFF9B78u);
    EXPECT_EQ(ParseHex("=FF"), 0xFFu);
    EXPECT_EQ(ParseHex("1 2-g3"), 0x123u);
    EXPECT_EQ(ParseHex("zz"), 0u);
    EXPECT_EQ(ParseHex("123456789"), 0x23456789u); // only the low 32 bits are kept
    // A language id read from its fifth character on.
    EXPECT_EQ(ParseHex(std::string_view("00000404").substr(4)), 0x0404u);
}

} // namespace
} // namespace mixora
