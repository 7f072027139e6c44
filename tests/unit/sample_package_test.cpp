// The sample skin package the build places next to the program (Ember.dll):
// read back through the same code the skin menu uses, it must be a complete
// skin with a normal scrollbar and its three hideable panels.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "skin/dib.h"
#include "skin/mask_regions.h"
#include "skin/pe_resources.h"
#include "skin/profile_text.h"
#include "skin/program_resources.h"

namespace mixora {
namespace {

class SamplePackage : public ::testing::Test {
protected:
    void SetUp() override {
        // The unit tests live in <build>/tests, the program and its package in <build>.
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        const auto dll = self.parent_path().parent_path() / "Ember.dll";
        if (error || !std::filesystem::is_regular_file(dll, error))
            GTEST_SKIP() << "Ember.dll is built only with MIXORA_BUILD_APP=ON";
        path_ = dll.string();
        library_ = CPeResourceLibrary::Open(path_);
        ASSERT_NE(library_, nullptr) << path_ << " does not parse as a resource library";
    }

    std::string path_;
    std::unique_ptr<CPeResourceLibrary> library_;
};

TEST_F(SamplePackage, IsTheSkinSourceWithItsOwnDescriptionAndNoBorrowedBitmaps) {
    const CProgramResources program;
    const CSkinSource source = OpenSkinSource(path_, program);
    ASSERT_TRUE(source.IsPackage());
    const auto face = source.Module().FindBitmap("SKINBASE");
    const auto builtIn = program.FindBitmap("SKINBASE");
    ASSERT_TRUE(face && builtIn);
    EXPECT_FALSE(std::equal(face->begin(), face->end(), builtIn->begin(), builtIn->end()));
    const auto panels = source.Module().FindBitmap("SKINMASK2");
    const auto basePanels = program.FindBitmap("SKINMASK2");
    ASSERT_TRUE(panels && basePanels);
    EXPECT_NE(panels->data(), basePanels->data()); // its own, not borrowed

    const auto info = source.Module().FindResource("SKININFO", ResourceName::Id(134));
    ASSERT_TRUE(info);
    auto lookup = [&](const char* section, const char* key) {
        std::string value = "<missing>";
        LookupProfileText(reinterpret_cast<const char*>(info->data()), info->size(), section, key,
                          value);
        return value;
    };
    EXPECT_EQ(lookup("ScrollType", "PLScrollReverse"), "0");          // a normal scrollbar
    EXPECT_EQ(ParseHex(lookup("FontColor", "NameColor")), 0x6AC2FFu); // amber, 0x00BBGGRR
}

} // namespace
} // namespace mixora
