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

    // The bitmap attached in place; fails the test when it is missing or bad.
    void Attach(const char* name, CDib& dib) const {
        const auto bytes = library_->FindBitmap(name);
        ASSERT_TRUE(bytes && dib.AttachPacked(*bytes)) << name;
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

TEST_F(SamplePackage, ItsPanelsHoldTheirControlsWhole) {
    CDib mask, panels;
    Attach("SKINMASK", mask);
    Attach("SKINMASK2", panels);
    const MaskIndex controls = MaskIndex::Build(mask);
    const MaskIndex index = MaskIndex::Build(panels);
    const Region shape = controls.RegionOf(0x000000, kMaskAllButKey);
    // Recorder, playlist and equalizer: each inside the window, each holding
    // its controls entirely, and none a toggle that would hide itself.
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> held = {
        {0xABABAB, {0x000078, 0x320078, 0x640078, 0x960078, 0xC80078, 0xFA0078}},
        {0xA8A8A8, {0x3200C8, 0x6400C8, 0x9600C8, 0xC800C8, 0xFA00C8, 0xC7C700, 0xB10064}},
        {0x474747, {0x3200FA, 0x6400FA}},
    };
    for (const auto& [key, members] : held) {
        const Region panel = index.RegionOf(key, kMaskKeyPixels);
        ASSERT_FALSE(panel.IsEmpty()) << std::hex << key;
        EXPECT_TRUE(panel.Subtract(shape).IsEmpty()) << std::hex << key;
        for (std::uint32_t member : members) {
            const Region r = controls.RegionOf(member, kMaskKeyPixels);
            ASSERT_FALSE(r.IsEmpty()) << std::hex << member;
            EXPECT_TRUE(r.Subtract(panel).IsEmpty()) << std::hex << member;
        }
        for (std::uint32_t toggle : {0x580032u, 0x580064u, 0x580096u})
            EXPECT_TRUE(controls.RegionOf(toggle, kMaskKeyPixels).Intersect(panel).IsEmpty());
    }
}

} // namespace
} // namespace mixora
