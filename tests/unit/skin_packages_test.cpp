#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "skin/pe_resources.h"
#include "skin/profile_text.h"
#include "skin/program_resources.h"
#include "skin/resource_source.h"
#include "skin/skin_packages.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

namespace fs = std::filesystem;
using testing::BuildPeImage;
using testing::Bytes;
using testing::ResItem;
using testing::ResKey;
using testing::ResType;
using ::testing::UnorderedElementsAre;

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<not found>");
}

class TempFolder {
public:
    TempFolder()
        : path_(fs::temp_directory_path() /
                ("mixora_skins_" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string Path() const { return path_.string(); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(path_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return Path() + "/" + name;
    }

private:
    fs::path path_;
};

TEST(SkinPackages, ListsEveryDllInAnyCaseAndNothingElse) {
    TempFolder folder;
    folder.Write("a.dll", Bytes("not even a library"));
    folder.Write("B.DLL", Bytes(""));
    folder.Write("Blue.v2.Dll", Bytes(""));
    folder.Write("notes.txt", Bytes(""));
    folder.Write("dll", Bytes(""));
    fs::create_directory(folder.Path() + "/x.dll");

    const auto packages = ListSkinPackages(folder.Path());
    EXPECT_THAT(packages,
                UnorderedElementsAre(SkinPackage{"a", folder.Path() + "/a.dll"},
                                     SkinPackage{"B", folder.Path() + "/B.DLL"},
                                     SkinPackage{"Blue.v2", folder.Path() + "/Blue.v2.Dll"}));
    // The order is the folder's own, the same on every listing, so a menu
    // position found now names the same file when the choice comes back.
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        if (entry.is_regular_file() && entry.path().extension() != ".txt" &&
            entry.path().has_extension()) {
            listed.push_back(entry.path().filename().string());
        }
    }
    ASSERT_EQ(listed.size(), packages.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(packages[i].path, folder.Path() + "/" + listed[i]);
    }
}

TEST(SkinPackages, MissingOrEmptyFolderOffersNothing) {
    TempFolder folder;
    EXPECT_TRUE(ListSkinPackages(folder.Path()).empty());
    EXPECT_TRUE(ListSkinPackages(folder.Path() + "/missing").empty());
    EXPECT_TRUE(ListSkinPackages(folder.Write("file", Bytes("x"))).empty());
}

// The program's resources as the tests see them: a base face, a mask, a
// description.
const std::vector<std::uint8_t> kBaseBmp = Bytes("BM" + std::string(12, '\0') + "program-base");
const std::vector<std::uint8_t> kMaskBmp = Bytes("BM" + std::string(12, '\0') + "program-mask");
const std::vector<std::uint8_t> kShortBmp = Bytes("BM" + std::string(11, '\0'));
const std::vector<std::uint8_t> kNotBmp = Bytes("XX" + std::string(12, '\0') + "pixels");
const std::vector<std::uint8_t> kInfo = Bytes("[FontColor]\r\nPLColor=1");
const std::vector<std::uint8_t> kNamed = Bytes("named");

const EmbeddedResource kTable[] = {
    {nullptr, "SKINBASE", -1, kBaseBmp.data(), kBaseBmp.data() + kBaseBmp.size()},
    {nullptr, "SkinMask", -1, kMaskBmp.data(), kMaskBmp.data() + kMaskBmp.size()},
    {nullptr, "SHORT", -1, kShortBmp.data(), kShortBmp.data() + kShortBmp.size()},
    {nullptr, "NOTBMP", -1, kNotBmp.data(), kNotBmp.data() + kNotBmp.size()},
    {"SKININFO", nullptr, 134, kInfo.data(), kInfo.data() + kInfo.size()},
    {"Lang", "Extra", -1, kNamed.data(), kNamed.data() + kNamed.size()},
};

TEST(SkinPackagesProgramResources, BitmapsLoseTheirFileHeader) {
    const CProgramResources resources(kTable);
    EXPECT_EQ(Text(resources.FindBitmap("skinbase")), "program-base");
    EXPECT_EQ(Text(resources.FindBitmap("SKINMASK")), "program-mask");
    EXPECT_FALSE(resources.FindBitmap("SHORT"));
    EXPECT_FALSE(resources.FindBitmap("NOTBMP"));
    EXPECT_FALSE(resources.FindBitmap("SKINFOCUS"));
    EXPECT_FALSE(resources.FindBitmap("Extra")); // a custom resource is no bitmap

    EXPECT_EQ(Text(resources.FindResource("SkinInfo", ResourceName::Id(134))),
              "[FontColor]\r\nPLColor=1");
    EXPECT_EQ(Text(resources.FindResource("LANG", ResourceName::Named("EXTRA"))), "named");
    EXPECT_FALSE(resources.FindResource("SKININFO", ResourceName::Id(135)));
    EXPECT_FALSE(resources.FindResource("SKININFO", ResourceName::Named("134")));
    EXPECT_FALSE(resources.FindResource("SKINBASE", ResourceName::Named("SKINBASE")));
}

TEST(SkinPackagesProgramResources, CarriesBothLanguageTables) {
    const CProgramResources resources;
    for (int id : {159, 160}) {
        const auto table = resources.FindResource("LANG", ResourceName::Id(id));
        ASSERT_TRUE(table) << id;
        EXPECT_GT(table->size(), 0u);
        // Embedded data lives as long as the program: a second look gives
        // the very same bytes.
        EXPECT_EQ(resources.FindResource("lang", ResourceName::Id(id))->data(), table->data());
    }
    EXPECT_FALSE(resources.FindResource("LANG", ResourceName::Id(161)));
}

std::int32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                     (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
}

TEST(SkinPackagesProgramResources, CarriesTheBaseSkin) {
    const CProgramResources resources;
    for (const char* name : {"SKINBASE", "SKINFOCUS", "SKINDOWN", "SKINMASK", "SKINMASK2"}) {
        const auto dib = resources.FindBitmap(name);
        ASSERT_TRUE(dib) << name;
        ASSERT_GE(dib->size(), 40u) << name;
        // A 40-byte info header right behind the dropped file header, on a
        // 4-byte boundary like any resource; 520 x 419 at 24 bits.
        EXPECT_EQ(Le32(*dib, 0), 40) << name;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(dib->data()) % 4, 0u) << name;
        EXPECT_EQ(Le32(*dib, 4), 520) << name;
        EXPECT_EQ(Le32(*dib, 8), 419) << name;
        EXPECT_EQ((*dib)[14], 24) << name;
    }
    for (const char* name :
         {"PLAYSTS", "EQONSTS", "MUTESTS", "REPEATSTS", "VOICECSTS", "PLAYNO", "RECORDNO"}) {
        EXPECT_TRUE(resources.FindBitmap(name)) << name;
    }
    const auto info = resources.FindResource("SKININFO", ResourceName::Id(134));
    ASSERT_TRUE(info);
    std::string color;
    EXPECT_TRUE(LookupProfileText(reinterpret_cast<const char*>(info->data()), info->size(),
                                  "FontColor", "NameColor", color));
}

std::vector<std::uint8_t> Package(bool withMask) {
    std::vector<ResItem> bitmaps{ResItem{ResKey::Named("SKINBASE"), {Bytes("package-base")}}};
    if (withMask) {
        bitmaps.push_back(ResItem{ResKey::Named("SKINMASK"), {Bytes("package-mask")}});
    }
    return BuildPeImage({ResType{ResKey::Named("SKININFO"),
                                 {ResItem{ResKey::Id(134), {Bytes("package-info")}}}},
                         ResType{ResKey::Id(2), bitmaps}},
                        true)
        .bytes;
}

TEST(SkinPackagesSource, APackageWithFaceAndMaskIsTheSource) {
    TempFolder folder;
    const CProgramResources program(kTable);
    const CSkinSource source = OpenSkinSource(folder.Write("Blue.dll", Package(true)), program);
    EXPECT_TRUE(source.IsPackage());
    EXPECT_EQ(Text(source.Module().FindBitmap("SKINBASE")), "package-base");
    EXPECT_EQ(Text(source.Module().FindResource("SKININFO", ResourceName::Id(134))),
              "package-info");
    // What the package lacks is simply missing; there is no mixing with the
    // program's own resources.
    EXPECT_FALSE(source.Module().FindBitmap("SKINFOCUS"));
}

TEST(SkinPackagesSource, AnythingElseFallsBackToTheProgramsResources) {
    TempFolder folder;
    const CProgramResources program(kTable);
    for (const std::string& file :
         {std::string(), folder.Path() + "/missing.dll", folder.Write("text.dll", Bytes("hello")),
          folder.Write("NoMask.dll", Package(false)), folder.Path()}) {
        const CSkinSource source = OpenSkinSource(file, program);
        EXPECT_FALSE(source.IsPackage()) << file;
        EXPECT_EQ(&source.Module(), &program) << file;
        EXPECT_EQ(Text(source.Module().FindBitmap("SKINBASE")), "program-base") << file;
    }
}

} // namespace
} // namespace mixora
