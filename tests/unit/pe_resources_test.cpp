#include <gtest/gtest.h>

#include <functional>

#include "fakes/temp_dir.h"
#include "skin/pe_resources.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

using namespace testing; // the image builder
using Library = std::unique_ptr<CPeResourceLibrary>;
constexpr std::uint32_t kDir = 0x80000000u; // entry points at a subdirectory

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "-";
}

// A small skin package: two named bitmaps, a SKININFO with a named and an id
// entry, and a LANG table in two languages. Data entries in tree order:
// EXTRA, 134, LANG first, LANG second, SKINBASE, SKINMASK.
PeImage SkinImage(bool pe32plus) {
    return BuildPeImage({ResType{ResKey::Named("SKININFO"), {ResItem{ResKey::Named("EXTRA"), {Bytes("extra")}},
                                                             ResItem{ResKey::Id(134), {Bytes("info")}}}},
                         ResType{ResKey::Named("LANG"), {ResItem{ResKey::Id(159), {Bytes("lang1"), Bytes("lang2")}}}},
                         ResType{ResKey::Id(2), {ResItem{ResKey::Named("SKINBASE"), {Bytes("base")}},
                                                 ResItem{ResKey::Named("SKINMASK"), {Bytes("mask")}}}}},
                        pe32plus);
}

// Every resource of SkinImage as found, on one line; "refused" for no library.
std::string Found(const Library& lib) {
    if (!lib) {
        return "refused";
    }
    return Text(lib->FindBitmap("SKINBASE")) + " " + Text(lib->FindBitmap("SKINMASK")) + " " +
           Text(lib->FindResource("SKININFO", ResourceName::Id(134))) + " " +
           Text(lib->FindResource("SKININFO", ResourceName::Named("EXTRA"))) + " " +
           Text(lib->FindResource("LANG", ResourceName::Id(159)));
}

class PeResourcesBothFormats : public ::testing::TestWithParam<bool> {};

TEST_P(PeResourcesBothFormats, FindsResourcesByTypeAndNameCaseInsensitively) {
    auto lib = CPeResourceLibrary::FromBytes(SkinImage(GetParam()).bytes);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(Found(lib), "base mask info extra lang1"); // the first language is the one used
    EXPECT_EQ(Text(lib->FindBitmap("skinmask")), "mask");
    EXPECT_EQ(Text(lib->FindResource("SkinInfo", ResourceName::Named("extra"))), "extra");
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
    const std::uint32_t base = good.dataEntries[4];
    const std::uint32_t bitmapType = good.typeEntries[2];
    const std::uint32_t bitmapTypeDir = good.nameEntries[3] - 16 - PeImage::kRsrcFileOffset;
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
        const char* found;
    };
    const Case cases[] = {
        {"not MZ", [](auto& b) { b[0] = 'X'; }, "refused"},
        {"PE header far outside", [](auto& b) { Put32(b, 0x3C, 0xFFFFFFF0); }, "refused"},
        {"bad signature", [&](auto& b) { b[pe + 2] = 'X'; }, "refused"},
        {"unknown magic", [&](auto& b) { Put16(b, pe + 24, 0x107); }, "refused"},
        {"no directory 2", [&](auto& b) { Put32(b, good.resourceDirEntry - 20, 2); }, "refused"},
        {"empty directory", [&](auto& b) { Put32(b, good.resourceDirEntry, 0); }, "refused"},
        {"directory in no section", [&](auto& b) { Put32(b, good.resourceDirEntry, 0x9000); }, "refused"},
        {"optional header past EOF", [&](auto& b) { Put16(b, pe + 20, 0xFFFF); }, "refused"},
        {"section table past EOF", [&](auto& b) { Put16(b, pe + 6, 0xFFFF); }, "refused"},
        {"section data past EOF", [&](auto& b) { Put32(b, good.sectionTable + 20, 0x7FFFFFF0); }, "refused"},
        {"data RVA in no section", [&](auto& b) { Put32(b, base, 0x50000); }, "- mask info extra lang1"},
        {"data RVA zero", [&](auto& b) { Put32(b, base, 0); }, "- mask info extra lang1"},
        {"data RVA wrapping", [&](auto& b) { Put32(b, base, 0xFFFFFFF0); }, "- mask info extra lang1"},
        {"size past EOF", [&](auto& b) { Put32(b, base + 4, 0x10000); }, "- mask info extra lang1"},
        {"size wrapping", [&](auto& b) { Put32(b, base + 4, 0xFFFFFFFF); }, "- mask info extra lang1"},
        {"first language damaged", [&](auto& b) { Put32(b, good.dataEntries[2], 0x50000); },
         "base mask info extra lang2"},
        {"name length past the end", [&](auto& b) { Put32(b, good.nameEntries[3], kDir | 0x7FFFFF00); },
         "- mask info extra lang1"},
        {"absurd root entry count", [](auto& b) { Put16(b, PeImage::kRsrcFileOffset + 14, 0xFFFF); },
         "- - - - -"},
        {"subdirectory past the section", [&](auto& b) { Put32(b, bitmapType + 4, 0xFFFFFFFF); },
         "- - info extra lang1"},
        {"type loops to the root", [&](auto& b) { Put32(b, bitmapType + 4, kDir); }, "- - info extra lang1"},
        {"name loops to its type, language to the root",
         [&](auto& b) {
             Put32(b, good.nameEntries[3] + 4, kDir | bitmapTypeDir);
             Put32(b, good.langEntries[5] + 4, kDir);
         },
         "- - info extra lang1"},
        {"every type loops to the root",
         [&](auto& b) {
             for (auto entry : good.typeEntries) {
                 Put32(b, entry + 4, kDir);
             }
         },
         "- - - - -"},
    };
    for (const Case& c : cases) {
        auto bytes = good.bytes;
        c.damage(bytes);
        EXPECT_EQ(Found(CPeResourceLibrary::FromBytes(bytes)), c.found) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(PeResources, PeResourcesBothFormats, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

TEST(PeResources, OpensAPackageFileAndRefusesWhatIsNoResourceLibrary) {
    TempDir dir;
    const auto image = SkinImage(false).bytes;
    dir.Write("Skin.dll", std::string(image.begin(), image.end()));
    dir.Write("text.dll", "MZ but nothing more");
    EXPECT_EQ(Found(CPeResourceLibrary::Open(dir.File("Skin.dll"))), "base mask info extra lang1");
    for (const char* name : {"text.dll", "missing.dll", ""}) {
        EXPECT_EQ(CPeResourceLibrary::Open(dir.File(name)), nullptr) << name;
    }
}

TEST(PeResources, TruncationAnywhereNeverReadsPastTheEnd) {
    const PeImage good = SkinImage(true);
    for (std::size_t length = 0; length < good.bytes.size(); ++length) {
        auto lib = CPeResourceLibrary::FromBytes({good.bytes.begin(), good.bytes.begin() + length});
        if (length < PeImage::kRsrcFileOffset + 16) {
            EXPECT_EQ(lib, nullptr) << length; // headers or the root directory cut off
        }
        for (const auto& entry : lib ? lib->Entries() : std::vector<CPeResourceLibrary::Entry>{}) {
            EXPECT_LE(std::uint64_t{entry.offset} + entry.size, length);
        }
    }
    // Cut inside the last payload (SKINMASK): everything before it is there.
    const std::size_t maskAt = good.bytes[good.dataEntries[5]] + 256 * good.bytes[good.dataEntries[5] + 1] -
                               PeImage::kRsrcRva + PeImage::kRsrcFileOffset;
    EXPECT_EQ(Found(CPeResourceLibrary::FromBytes({good.bytes.begin(), good.bytes.begin() + maskAt + 3})),
              "base - info extra lang1");
}

// Random damage must never crash, hang or read outside the buffer.
TEST(PeResources, MutationFuzzNeverCrashes) {
    const PeImage images[] = {SkinImage(false), SkinImage(true)};
    std::mt19937 rng(20240613);
    int parsed = 0;
    std::uint64_t checksum = 0;
    for (int round = 0; round < 4000; ++round) {
        auto bytes = images[round % 2].bytes;
        Mutate(bytes, rng, PeImage::kRsrcFileOffset + 0x100);
        auto lib = CPeResourceLibrary::FromBytes(bytes);
        if (!lib) {
            continue;
        }
        ++parsed;
        for (char c : Found(lib)) { // reads every byte of what it finds
            checksum += static_cast<unsigned char>(c);
        }
        for (const auto& entry : lib->Entries()) {
            EXPECT_LE(std::uint64_t{entry.offset} + entry.size, bytes.size());
        }
    }
    EXPECT_GT(parsed, 400);
    EXPECT_GT(checksum, 0u);
}

} // namespace
} // namespace mixora
