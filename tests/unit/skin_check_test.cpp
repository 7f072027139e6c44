// Skin packages that would kill, hide or lock in the window are refused
// before anything of them is loaded, each with its reason; the built-in skin
// and a plain package pass. The packages are built here, byte by byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "fakes/temp_dir.h"
#include "pe_image_builder.h"
#include "skin/program_resources.h"
#include "skin/skin_check.h"
#include "skin/skin_packages.h"

using namespace mixora;
using mixora::testing::Put16;
using mixora::testing::Put32;

namespace {

// Mask colours the control and panel tables document: "Change skin" is
// 0x64FA64, the body 0x00FF00, the recorder panel 0xABABAB.
constexpr std::uint32_t kChangeSkin = 0x64FA64;
constexpr std::uint32_t kBody = 0x00FF00;
constexpr std::uint32_t kRecorderPanel = 0xABABAB;

// A packed bitmap: 40-byte header, colour table, pixel rows.
std::vector<std::uint8_t> Header(int w, int h, int bpp, std::uint32_t compression,
                                 std::uint32_t sizeImage, std::uint32_t colours = 0) {
    std::vector<std::uint8_t> b;
    Put32(b, 0, 40);
    Put32(b, 4, static_cast<std::uint32_t>(w));
    Put32(b, 8, static_cast<std::uint32_t>(h));
    Put16(b, 12, 1);
    Put16(b, 14, static_cast<std::uint32_t>(bpp));
    Put32(b, 16, compression);
    Put32(b, 20, sizeImage);
    Put32(b, 32, colours);
    b.resize(40 + 4 * colours, 0);
    return b;
}

std::vector<std::uint8_t> Picture(int w, int h, const std::function<std::uint32_t(int, int)>& at) {
    auto b = Header(w, h, 24, 0, 0);
    const int row = (3 * w + 3) & ~3;
    b.resize(40 + static_cast<std::size_t>(row * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                b[40 + static_cast<std::size_t>((h - 1 - y) * row + 3 * x + c)] =
                    static_cast<std::uint8_t>(at(x, y) >> (8 * c));
    return b;
}

// An RLE8 bitmap that claims any size with a few bytes of runs.
std::vector<std::uint8_t> Rle8(int w, int h) {
    auto b = Header(w, h, 8, 1, 4, 1);
    for (std::uint8_t v : {0, 1, 0, 1}) // end of line, end of bitmap
        b.push_back(v);
    return b;
}

// A 40 x 30 face; its mask is body with a "Change skin" block at 5..10.
std::map<std::string, std::vector<std::uint8_t>> GoodSkin() {
    return {{"SKINBASE", Picture(40, 30, [](int, int) { return 0x808080u; })},
            {"SKINMASK", Picture(40, 30, [](int x, int y) {
                 return x >= 5 && x < 10 && y >= 5 && y < 10 ? kChangeSkin : kBody;
             })}};
}

std::vector<std::uint8_t> Package(const std::map<std::string, std::vector<std::uint8_t>>& bitmaps) {
    std::vector<mixora::testing::ResItem> items;
    for (const auto& [name, bytes] : bitmaps)
        items.push_back({mixora::testing::ResKey::Named(name), {bytes}});
    return mixora::testing::BuildPeImage(
               {mixora::testing::ResType{mixora::testing::ResKey::Id(2), items}}, false)
        .bytes;
}

std::optional<SkinError> Check(const std::map<std::string, std::vector<std::uint8_t>>& bitmaps) {
    return CheckSkinPackageBytes(Package(bitmaps));
}

} // namespace

TEST(SkinCheck, TheBuiltInSkinAndAPlainPackagePass) {
    EXPECT_FALSE(CheckSkinResources(CProgramResources()).has_value());
    EXPECT_FALSE(Check(GoodSkin()).has_value());
}

TEST(SkinCheck, HugeDeclaredSizesAreRefusedBeforeAnyPixelIsMade) {
    struct Case {
        const char* what;
        const char* name;
        std::vector<std::uint8_t> bitmap;
    };
    const Case cases[] = {
        {"1 KB RLE8 face of 65535 x 65535", "SKINBASE", Rle8(65535, 65535)},
        {"strip 4097 high", "PLAYNO", Picture(1, 4097, [](int, int) { return 0u; })},
    };
    for (const Case& c : cases) {
        auto skin = GoodSkin();
        skin[c.name] = c.bitmap;
        auto error = Check(skin);
        ASSERT_TRUE(error.has_value()) << c.what;
        EXPECT_EQ(error->category, SkinProblem::TooLarge) << c.what;
        EXPECT_EQ(error->where, c.name);
        EXPECT_NE(error->description.find("4096 x 4096"), std::string::npos) << error->description;
    }
    // At the limit itself a bitmap is allowed; ten of them together are not.
    auto skin = GoodSkin();
    skin["SKINFOCUS"] = Rle8(4096, 4096);
    EXPECT_FALSE(Check(skin).has_value());
    for (const char* name : {"SKINDOWN", "SKINMASK2", "PLAYSTS", "EQONSTS", "MUTESTS", "REPEATSTS",
                             "VOICECSTS", "PLAYNO", "RECORDNO"})
        skin[name] = Rle8(4096, 4096);
    auto error = Check(skin);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->category, SkinProblem::TooMuchPixelData);
}

TEST(SkinCheck, APackageWithoutAReachableChangeSkinControlIsRefused) {
    auto noControl = GoodSkin();
    noControl["SKINMASK"] = Picture(40, 30, [](int, int) { return kBody; });
    auto otherSize = GoodSkin();
    otherSize["SKINMASK"] = Picture(20, 15, [](int, int) { return kChangeSkin; });
    auto tiny = GoodSkin();
    tiny["SKINMASK"] = Picture(1, 1, [](int, int) { return kChangeSkin; });
    // The control lies wholly inside the recorder panel, which can be hidden.
    auto hidden = GoodSkin();
    hidden["SKINMASK2"] = Picture(40, 30, [](int x, int y) {
        return x >= 2 && x < 12 && y >= 2 && y < 12 ? kRecorderPanel : 0u;
    });
    auto partly = GoodSkin();
    partly["SKINMASK2"] = Picture(40, 30, [](int x, int) { return x < 7 ? kRecorderPanel : 0u; });

    EXPECT_EQ(Check(noControl)->category, SkinProblem::NoChangeSkin);
    EXPECT_EQ(Check(otherSize)->category, SkinProblem::SizeMismatch);
    EXPECT_NE(Check(otherSize)->description.find("20 x 15"), std::string::npos);
    EXPECT_EQ(Check(tiny)->category, SkinProblem::SizeMismatch);
    EXPECT_EQ(Check(hidden)->category, SkinProblem::ChangeSkinHidden);
    EXPECT_FALSE(Check(partly).has_value());
}
