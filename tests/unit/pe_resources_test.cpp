#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "skin/pe_resources.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

using testing::BuildPeImage;
using testing::Bytes;
using testing::PeImage;
using testing::ResItem;
using testing::ResKey;
using testing::ResType;

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<not found>");
}

// A small skin package: two named bitmaps, the description as SKININFO 134
// plus a named SKININFO entry, and a two-language LANG table.
PeImage SkinImage(bool pe32plus) {
    return BuildPeImage(
        {
            ResType{ResKey::Named("SKININFO"),
                    {ResItem{ResKey::Named("EXTRA"), {Bytes("named")}},
                     ResItem{ResKey::Id(134), {Bytes("[FontColor]\r\nNameColor=0x00DCDCDC\r\n")}}}},
            ResType{ResKey::Named("LANG"),
                    {ResItem{ResKey::Id(159), {Bytes("first language"), Bytes("second")}}}},
            ResType{ResKey::Id(2),
                    {ResItem{ResKey::Named("SKINBASE"), {Bytes("base-dib")}},
                     ResItem{ResKey::Named("SKINMASK"), {Bytes("mask-dib")}}}},
        },
        pe32plus);
}

class PeResourcesBothFormats : public ::testing::TestWithParam<bool> {};

TEST_P(PeResourcesBothFormats, FindsBitmapsAndCustomResourcesCaseInsensitively) {
    auto library = CPeResourceLibrary::FromBytes(SkinImage(GetParam()).bytes);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(Text(library->FindBitmap("SKINBASE")), "base-dib");
    EXPECT_EQ(Text(library->FindBitmap("skinmask")), "mask-dib");
    EXPECT_EQ(Text(library->FindResource("SkinInfo", ResourceName::Id(134))),
              "[FontColor]\r\nNameColor=0x00DCDCDC\r\n");
    EXPECT_EQ(Text(library->FindResource("SKININFO", ResourceName::Named("extra"))), "named");
    // The first language of a name is the one used.
    EXPECT_EQ(Text(library->FindResource("lang", ResourceName::Id(159))), "first language");

    EXPECT_FALSE(library->FindBitmap("SKINFOCUS"));
    EXPECT_FALSE(library->FindResource("LANG", ResourceName::Id(160)));
    // An id and a name that spells it are different resources.
    EXPECT_FALSE(library->FindResource("SKININFO", ResourceName::Named("134")));
    // A bitmap is RT_BITMAP, not a custom type that happens to hold one.
    EXPECT_FALSE(library->FindResource("SKININFO", ResourceName::Named("SKINBASE")));
    EXPECT_FALSE(library->FindBitmap("EXTRA"));
}

INSTANTIATE_TEST_SUITE_P(PeResources, PeResourcesBothFormats, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Pe32Plus" : "Pe32"; });

TEST(PeResources, OpensAPackageFileAndRefusesWhatIsNoResourceLibrary) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("mixora_pe_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const auto image = SkinImage(false).bytes;
    {
        std::ofstream(dir / "Skin.dll", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        std::ofstream(dir / "text.dll") << "MZ but nothing more";
    }
    auto library = CPeResourceLibrary::Open((dir / "Skin.dll").string());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(Text(library->FindBitmap("SKINBASE")), "base-dib");

    EXPECT_EQ(CPeResourceLibrary::Open((dir / "text.dll").string()), nullptr);
    EXPECT_EQ(CPeResourceLibrary::Open((dir / "missing.dll").string()), nullptr);
    EXPECT_EQ(CPeResourceLibrary::Open(dir.string()), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(PeResources, RefusesImagesWithoutAUsableResourceDirectory) {
    const PeImage good = SkinImage(false);
    auto refused = [&](auto mutate) {
        PeImage image = good;
        mutate(image);
        return CPeResourceLibrary::FromBytes(image.bytes) == nullptr;
    };
    EXPECT_TRUE(refused([](PeImage& i) { i.bytes[0] = 'X'; }));
    EXPECT_TRUE(refused([](PeImage& i) { i.Put32(0x3C, 0xFFFFFFF0); })); // PE header far outside
    EXPECT_TRUE(
        refused([](PeImage& i) { i.bytes[PeImage::kPeOffset + 2] = 'X'; })); // bad signature
    EXPECT_TRUE(
        refused([](PeImage& i) { i.Put16(PeImage::kPeOffset + 24, 0x107); })); // unknown magic
    EXPECT_TRUE(
        refused([](PeImage& i) { i.Put32(PeImage::kPeOffset + 24 + 92, 2); })); // no directory 2
    EXPECT_TRUE(refused([](PeImage& i) { i.Put32(i.resourceDirEntry, 0); }));   // directory empty
    EXPECT_TRUE(
        refused([](PeImage& i) { i.Put32(i.resourceDirEntry, 0x9000); })); // RVA in no section
    EXPECT_TRUE(refused(
        [](PeImage& i) { i.Put16(PeImage::kPeOffset + 20, 0xFFFF); })); // optional header past EOF
    EXPECT_TRUE(refused(
        [](PeImage& i) { i.Put16(PeImage::kPeOffset + 6, 0xFFFF); })); // section table past EOF
    EXPECT_TRUE(refused(
        [](PeImage& i) { i.Put32(i.sectionTable + 20, 0x7FFFFFF0); })); // section data past EOF
    EXPECT_FALSE(refused([](PeImage&) {}));
}

TEST(PeResources, TruncationAnywhereNeverReadsPastTheEnd) {
    const PeImage good = SkinImage(true);
    for (std::size_t length = 0; length < good.bytes.size(); ++length) {
        std::vector<std::uint8_t> cut(good.bytes.begin(),
                                      good.bytes.begin() + static_cast<std::ptrdiff_t>(length));
        auto library = CPeResourceLibrary::FromBytes(cut);
        if (length < PeImage::kRsrcFileOffset + 16) {
            EXPECT_EQ(library, nullptr) << length; // headers or the root directory cut off
        }
        if (library) {
            for (const auto& entry : library->Entries()) {
                EXPECT_LE(std::uint64_t{entry.offset} + entry.size, length);
            }
        }
    }
    // Cut inside the last payload: everything before it is still there.
    const std::uint32_t lastData = good.dataEntries.back();
    const std::uint32_t lastRva = good.bytes[lastData] | (good.bytes[lastData + 1] << 8);
    std::vector<std::uint8_t> cut(good.bytes.begin(),
                                  good.bytes.begin() +
                                      (lastRva - PeImage::kRsrcRva + PeImage::kRsrcFileOffset + 3));
    auto library = CPeResourceLibrary::FromBytes(cut);
    ASSERT_NE(library, nullptr);
    EXPECT_FALSE(library->FindBitmap("SKINMASK"));
    EXPECT_EQ(Text(library->FindBitmap("SKINBASE")), "base-dib");
}

TEST(PeResources, DamagedEntriesLoseOnlyWhatTheyDamage) {
    const PeImage good = SkinImage(false);
    auto damaged = [&](auto mutate) {
        PeImage image = good;
        mutate(image);
        auto library = CPeResourceLibrary::FromBytes(image.bytes);
        EXPECT_NE(library, nullptr);
        return library;
    };
    // Data entries are, in order: EXTRA, 134, LANG 159 (two), SKINBASE, SKINMASK.
    const auto skinBaseData = good.dataEntries[4];

    // RVA outside every section, size past the end of file, size that wraps.
    for (std::uint32_t rva : {0x50000u, 0x0u, 0xFFFFFFF0u}) {
        auto library = damaged([&](PeImage& i) { i.Put32(skinBaseData, rva); });
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_EQ(Text(library->FindBitmap("SKINMASK")), "mask-dib");
    }
    for (std::uint32_t size : {0x10000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        auto library = damaged([&](PeImage& i) { i.Put32(skinBaseData + 4, size); });
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_EQ(Text(library->FindBitmap("SKINMASK")), "mask-dib");
    }
    // A damaged first language falls through to the next one.
    {
        auto library = damaged([&](PeImage& i) { i.Put32(good.dataEntries[2], 0x50000); });
        EXPECT_EQ(Text(library->FindResource("LANG", ResourceName::Id(159))), "second");
    }
    // A name string whose length runs off the end.
    {
        auto library =
            damaged([&](PeImage& i) { i.Put32(good.nameEntries[3], 0x80000000u | 0x7FFFFF00u); });
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_EQ(Text(library->FindBitmap("SKINMASK")), "mask-dib");
    }
    // An absurd entry count: the root's entries no longer fit, nothing is found.
    {
        auto library = damaged([&](PeImage& i) { i.Put16(PeImage::kRsrcFileOffset + 14, 0xFFFF); });
        EXPECT_TRUE(library->Entries().empty());
    }
    // A subdirectory offset past the section.
    {
        auto library = damaged([&](PeImage& i) { i.Put32(good.typeEntries[2] + 4, 0xFFFFFFFFu); });
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_EQ(Text(library->FindResource("SKININFO", ResourceName::Id(134))),
                  "[FontColor]\r\nNameColor=0x00DCDCDC\r\n");
    }
}

TEST(PeResources, LoopingDirectoriesEndWithoutFindingAnything) {
    const PeImage good = SkinImage(false);
    auto relative = [](std::uint32_t fileOffset) { return fileOffset - PeImage::kRsrcFileOffset; };
    // The bitmap type points back at the root.
    {
        PeImage image = good;
        image.Put32(good.typeEntries[2] + 4, 0x80000000u);
        auto library = CPeResourceLibrary::FromBytes(image.bytes);
        ASSERT_NE(library, nullptr);
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_EQ(Text(library->FindResource("LANG", ResourceName::Id(159))), "first language");
    }
    // A name points at its own type directory; a language entry claims to be
    // a directory and points at the root.
    {
        PeImage image = good;
        const std::uint32_t bitmapTypeDir = relative(good.nameEntries[3]) - 16;
        image.Put32(good.nameEntries[3] + 4, 0x80000000u | bitmapTypeDir);
        image.Put32(good.langEntries[5] + 4, 0x80000000u);
        auto library = CPeResourceLibrary::FromBytes(image.bytes);
        ASSERT_NE(library, nullptr);
        EXPECT_FALSE(library->FindBitmap("SKINBASE"));
        EXPECT_FALSE(library->FindBitmap("SKINMASK"));
    }
    // Every root entry points at the root.
    {
        PeImage image = good;
        for (auto entry : good.typeEntries) {
            image.Put32(entry + 4, 0x80000000u);
        }
        auto library = CPeResourceLibrary::FromBytes(image.bytes);
        ASSERT_NE(library, nullptr);
        EXPECT_TRUE(library->Entries().empty());
    }
}

// Random damage must never crash, hang or read outside the buffer (the
// sanitizer build runs this). Deterministic, so a failure reproduces.
TEST(PeResources, MutationFuzzNeverCrashes) {
    const PeImage images[] = {SkinImage(false), SkinImage(true)};
    std::mt19937 random(20240613);
    const std::uint32_t interesting[] = {0,           1,
                                         0x10,        0x7F,
                                         0x80,        0xFFFF,
                                         0x10000,     0x7FFFFFFF,
                                         0x80000000u, 0x80000010u,
                                         0xFFFFFFFFu, 0x1000,
                                         0x1010,      PeImage::kRsrcFileOffset};
    std::uint64_t checksum = 0;
    for (int round = 0; round < 4000; ++round) {
        PeImage image = images[round % 2];
        const int mutations = 1 + static_cast<int>(random() % 6);
        for (int m = 0; m < mutations; ++m) {
            // Mostly the headers and the tree, where the structure is.
            const std::size_t limit =
                (random() % 4 == 0) ? image.bytes.size() : PeImage::kRsrcFileOffset + 0x100;
            const std::size_t at = random() % (std::min(limit, image.bytes.size()) - 4);
            switch (random() % 4) {
            case 0:
                image.bytes[at] = static_cast<std::uint8_t>(random());
                break;
            case 1:
                image.Put32(at, interesting[random() % std::size(interesting)]);
                break;
            case 2:
                image.Put16(at, static_cast<std::uint16_t>(random()));
                break;
            default:
                image.bytes.resize(std::max<std::size_t>(8, image.bytes.size() - random() % 64));
                break;
            }
        }
        auto library = CPeResourceLibrary::FromBytes(image.bytes);
        if (!library) {
            continue;
        }
        for (const auto& found : {library->FindBitmap("SKINBASE"), library->FindBitmap("SKINMASK"),
                                  library->FindResource("SKININFO", ResourceName::Id(134)),
                                  library->FindResource("LANG", ResourceName::Id(159))}) {
            if (found) {
                for (std::uint8_t b : *found) {
                    checksum += b;
                }
            }
        }
        for (const auto& entry : library->Entries()) {
            EXPECT_LE(std::uint64_t{entry.offset} + entry.size, image.bytes.size());
        }
    }
    EXPECT_GT(checksum, 0u);
}

} // namespace
} // namespace mixora
