#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/temp_dir.h"
#include "skin/pe_resources.h"
#include "skin/program_resources.h"
#include "skin/skin_packages.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

using namespace testing; // the image builder

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "-";
}

TEST(SkinPackages, ListsEveryDllInAnyCaseInTheFoldersOwnOrder) {
    TempDir dir;
    for (const char* name : {"a.dll", "B.DLL", "Blue.v2.Dll", "notes.txt", "dll"})
        dir.Write(name, "not even a library");
    std::filesystem::create_directory(dir.File("x.dll"));
    const auto packages = ListSkinPackages(dir.path());
    EXPECT_THAT(packages,
                ::testing::UnorderedElementsAre(SkinPackage{"a", dir.File("a.dll")},
                                                SkinPackage{"B", dir.File("B.DLL")},
                                                SkinPackage{"Blue.v2", dir.File("Blue.v2.Dll")}));
    // Not sorted: a menu position found now must name the same file when the
    // choice comes back, so the order is the folder's own on every listing.
    std::vector<SkinPackage> inFolderOrder;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        for (const auto& package : packages) {
            if (package.path == dir.File(entry.path().filename().string()))
                inFolderOrder.push_back(package);
        }
    }
    EXPECT_EQ(packages, inFolderOrder);
    EXPECT_TRUE(ListSkinPackages(dir.File("missing")).empty());
    EXPECT_TRUE(ListSkinPackages(dir.File("notes.txt")).empty());
}

// The program's resources as the tests see them: .bmp files whose 14-byte
// file header is dropped, and custom resources by id or name.
const auto kBase = Bytes("BM" + std::string(12, '\0') + "program-base");
const auto kShort = Bytes("BM" + std::string(11, '\0'));
const auto kNotBmp = Bytes("XX" + std::string(12, '\0') + "pixels");
const auto kInfo = Bytes("info");
const EmbeddedResource kTable[] = {
    {nullptr, "SkinBase", -1, kBase.data(), kBase.data() + kBase.size()},
    {nullptr, "SHORT", -1, kShort.data(), kShort.data() + kShort.size()},
    {nullptr, "NOTBMP", -1, kNotBmp.data(), kNotBmp.data() + kNotBmp.size()},
    {"SKININFO", nullptr, 134, kInfo.data(), kInfo.data() + kInfo.size()},
    {"Lang", "Extra", -1, kInfo.data(), kInfo.data() + kInfo.size()},
};

TEST(SkinPackagesSource, APackageWithFaceAndMaskIsTheSourceAnythingElseFallsBack) {
    TempDir dir;
    for (bool withMask : {true, false}) {
        std::vector<ResItem> bitmaps{{ResKey::Named("SKINBASE"), {Bytes("package-base")}}};
        if (withMask) {
            bitmaps.push_back({ResKey::Named("SKINMASK"), {Bytes("package-mask")}});
        }
        const auto image = BuildPeImage({{ResKey::Id(2), bitmaps}}, true).bytes;
        dir.Write(withMask ? "Blue.dll" : "NoMask.dll", std::string(image.begin(), image.end()));
    }
    dir.Write("text.dll", "hello");
    const CProgramResources program(kTable);
    const CSkinSource source = OpenSkinSource(dir.File("Blue.dll"), program);
    EXPECT_TRUE(source.IsPackage());
    EXPECT_EQ(Text(source.Module().FindBitmap("SKINBASE")), "package-base");
    // What the package lacks is missing, never taken from the program.
    EXPECT_FALSE(source.Module().FindResource("SKININFO", ResourceName::Id(134)));

    for (const std::string& file : {std::string(), dir.File("text.dll"), dir.File("NoMask.dll")}) {
        const CSkinSource fallback = OpenSkinSource(file, program);
        EXPECT_FALSE(fallback.IsPackage()) << file;
        EXPECT_EQ(&fallback.Module(), &program) << file;
    }
}

} // namespace
} // namespace mixora
