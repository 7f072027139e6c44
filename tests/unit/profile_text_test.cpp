#include <gtest/gtest.h>

#include <memory>
#include <optional>
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

const std::string kDescription = "[FontColor]\r\nNameColor=0x00DCDCDC\r\n"
                                 "SelectedPLColor=0x0096FF96\r\nPLColor=0x00FF9B78\r\n"
                                 "[ScrollType]\r\nPLScrollType=1\r\nPLScrollReverse=0";
const std::string kTable = "[EQ]\r\nCancel=EqCancel\r\n[RECORDER]\r\nOK=Ok\r\nCancel=RecCancel";

// The search is deliberately not an INI parser; skins rely on each of these.
TEST(ProfileText, LookupKeepsTheQuirksSkinsWereWrittenFor) {
    struct Case {
        std::string text, section, key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {kDescription, "ScrollType", "PLScrollReverse", "0"}, // last line, no line end
        {kDescription, "Bitmaps", "SkinBase", std::nullopt},
        // A key not at a line start is looked for once more, and whatever
        // that finds is taken, even inside another key; a third is not tried.
        {kDescription, "FontColor", "PLColor", "0x00FF9B78"},
        {"[S]\r\nSelectedPLColor=1\r\nPlayingPLColor=2\r\nPLColor=3\r\n", "S", "PLColor", "2"},
        {"[S]\r\nSelectedPLColor=1\r\n", "S", "PLColor", std::nullopt},
        {"[EQ]\r\nLoad=L1\r\nLoad...=L2\r\n", "EQ", "Load", "L1"},
        {"[S]\nKey=1\nKey=2\n", "S", "Key", "2"}, // a line start needs CR LF
        {"Key=1\r\nKey=2", "Key", "Key", "2"},    // the text's start is no line start
        {"xKey=1", "xKey", "Key", std::nullopt},
        // The section is plain text found anywhere; the key anywhere after it.
        {kTable, "RECORDER", "Cancel", "RecCancel"},
        {kTable, "EQ", "OK", "Ok"},
        {"SKIN stuff\r\nBaseSkin=Base", "SKIN", "BaseSkin", "Base"},
        // Any run of '=' is skipped; the value ends at CR, LF, NUL or the end.
        {"[S]\r\nKey==FF\r\n", "S", "Key", "FF"},
        {"[S]\r\nKey 12\r\n", "S", "Key", " 12"},
        {"[S]\r\nKey=a\nb", "S", "Key", "a"},
        {std::string("[S]\r\nKey=a\0b", 11), "S", "Key", "a"},
        // Values of 256 characters or more fail.
        {"[S]\r\nKey=" + std::string(255, 'v') + "\r\n", "S", "Key", std::string(255, 'v')},
        {"[S]\r\nKey=" + std::string(256, 'v') + "\r\n", "S", "Key", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lookup(c.text, c.section, c.key), c.value) << c.text << " / " << c.key;
}

} // namespace
} // namespace mixora
