#include <gtest/gtest.h>

#include <functional>

#include "skin/pe_resources.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

using namespace testing; // the image builder
using Library = std::unique_ptr<CPeResourceLibrary>;
constexpr std::uint32_t kDir = 0x80000000u; // the entry points at a subdirectory

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "-";
}

// A small skin package. Data entries in tree order: EXTRA "E", 134 "I",
// LANG 159 "1" and "2" (two languages), SKINBASE "B", SKINMASK "M".
PeImage SkinImage(bool pe32plus) {
    auto named = [](const char* name, const char* payload) {
        return ResItem{ResKey::Named(name), {Bytes(payload)}};
    };
    return BuildPeImage(
        {ResType{ResKey::Named("SKININFO"), {named("EXTRA", "E"), {ResKey::Id(134), {Bytes("I")}}}},
         ResType{ResKey::Named("LANG"), {{ResKey::Id(159), {Bytes("1"), Bytes("2")}}}},
         ResType{ResKey::Id(2), {named("SKINBASE", "B"), named("SKINMASK", "M")}}},
        pe32plus);
}

// Every resource of SkinImage as found ("-" when not), or "refused".
std::string Found(const Library& lib) {
    if (!lib)
        return "refused";
    return Text(lib->FindBitmap("SKINBASE")) + Text(lib->FindBitmap("SKINMASK")) +
           Text(lib->FindResource("SKININFO", ResourceName::Id(134))) +
           Text(lib->FindResource("SKININFO", ResourceName::Named("EXTRA"))) +
           Text(lib->FindResource("LANG", ResourceName::Id(159)));
}

class PeResourcesBothFormats : public ::testing::TestWithParam<bool> {};

TEST_P(PeResourcesBothFormats, FindsResourcesByTypeAndNameCaseInsensitively) {
    auto lib = CPeResourceLibrary::FromBytes(SkinImage(GetParam()).bytes);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(Found(lib), "BMIE1"); // the first language is the one used
    EXPECT_EQ(lib->Entries().size(), 5u);
    EXPECT_EQ(Text(lib->FindBitmap("skinmask")), "M");
    EXPECT_EQ(Text(lib->FindResource("SkinInfo", ResourceName::Named("extra"))), "E");
    EXPECT_FALSE(lib->FindBitmap("SKINFOCUS"));
    // An id and a name that spells it differ; a bitmap is RT_BITMAP, not a
    // custom type that happens to hold a resource of that name.
    EXPECT_FALSE(lib->FindResource("SKININFO", ResourceName::Named("134")));
    EXPECT_FALSE(lib->FindResource("SKININFO", ResourceName::Named("SKINBASE")));
    EXPECT_FALSE(lib->FindBitmap("EXTRA"));
}

// Damage to the headers refuses the file; damage inside the tree loses only
// the resources it reaches, and loops end.
TEST_P(PeResourcesBothFormats, DamageLosesOnlyWhatItReaches) {
    const PeImage good = SkinImage(GetParam());
    const std::uint32_t pe = PeImage::kPeOffset;
    const std::uint32_t dir = good.resourceDirEntry;
    const std::uint32_t base = good.dataEntries[4];
    const std::uint32_t bitmaps = good.typeEntries[2];
    const std::uint32_t bitmapsDir = good.nameEntries[3] - 16 - PeImage::kRsrcFileOffset;
    const auto* rva = &good.bytes[good.dataEntries[5]]; // of SKINMASK, the last payload
    const std::size_t maskAt = rva[0] + 256 * rva[1] - PeImage::kRsrcRva + PeImage::kRsrcFileOffset;
    // SKINMASK's language table made the last thing in the section, its one
    // entry pointing at SKINBASE's data.
    const std::uint32_t maskLanguage = good.langEntries[5];
    auto maskLanguageLast = [&](auto& b) {
        Put32(b, good.sectionTable + 8, maskLanguage + 8 - PeImage::kRsrcFileOffset);
        Put32(b, maskLanguage + 4, good.dataEntries[4] - PeImage::kRsrcFileOffset);
    };
    using Damage = std::function<void(std::vector<std::uint8_t>&)>;
    const std::tuple<const char*, Damage, const char*> cases[] = {
        {"not MZ", [](auto& b) { b[0] = 'X'; }, "refused"},
        {"PE header far outside", [](auto& b) { Put32(b, 0x3C, 0xFFFFFFF0); }, "refused"},
        {"bad signature", [&](auto& b) { b[pe + 2] = 'X'; }, "refused"},
        {"unknown magic", [&](auto& b) { Put16(b, pe + 24, 0x107); }, "refused"},
        {"optional header past EOF", [&](auto& b) { Put16(b, pe + 20, 0xFFFF); }, "refused"},
        {"section table past EOF", [&](auto& b) { Put16(b, pe + 6, 0xFFFF); }, "refused"},
        {"no directory 2", [&](auto& b) { Put32(b, dir - 20, 2); }, "refused"},
        {"empty directory", [&](auto& b) { Put32(b, dir, 0); }, "refused"},
        {"directory in no section", [&](auto& b) { Put32(b, dir, 0x9000); }, "refused"},
        {"section past EOF", [&](auto& b) { Put32(b, good.sectionTable + 20, 0x7FFFFFF0); },
         "refused"},
        {"data RVA in no section", [&](auto& b) { Put32(b, base, 0x50000); }, "-MIE1"},
        {"data RVA wrapping", [&](auto& b) { Put32(b, base, 0xFFFFFFF0); }, "-MIE1"},
        {"virtual size cuts the tree", [&](auto& b) { Put32(b, good.sectionTable + 8, 16); },
         "-----"}, // what lies past it in the file is padding
        {"size past EOF", [&](auto& b) { Put32(b, base + 4, 0x10000); }, "-MIE1"},
        {"size wrapping", [&](auto& b) { Put32(b, base + 4, 0xFFFFFFFF); }, "-MIE1"},
        {"cut before the last payload", [&](auto& b) { b.resize(maskAt); }, "B-IE1"},
        {"first language bad", [&](auto& b) { Put32(b, good.dataEntries[2], 0x50000); }, "BMIE2"},
        {"name past the end", [&](auto& b) { Put32(b, good.nameEntries[3], kDir | 0x7FFFFF00); },
         "-MIE1"},
        {"absurd entry count", [](auto& b) { Put16(b, PeImage::kRsrcFileOffset + 14, 0xFFFF); },
         "-----"},
        {"subdirectory past the section", [&](auto& b) { Put32(b, bitmaps + 4, 0xFFFFFFFF); },
         "--IE1"},
        {"type loops to the root", [&](auto& b) { Put32(b, bitmaps + 4, kDir); }, "--IE1"},
        {"name loops to its type, language to the root",
         [&](auto& b) {
             Put32(b, good.nameEntries[3] + 4, kDir | bitmapsDir);
             Put32(b, good.langEntries[5] + 4, kDir);
         },
         "--IE1"},
        {"a table ending the section", maskLanguageLast, "BBIE1"},
        {"a table one entry longer than the section",
         [&](auto& b) { maskLanguageLast(b), Put16(b, maskLanguage - 2, 2); }, "B-IE1"},
    };
    for (const auto& [what, damage, found] : cases) {
        auto bytes = good.bytes;
        damage(bytes);
        EXPECT_EQ(Found(CPeResourceLibrary::FromBytes(bytes)), found) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(PeResources, PeResourcesBothFormats, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

} // namespace
} // namespace mixora
