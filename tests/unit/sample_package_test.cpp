// The sample skin package the build places next to the program (Ember.dll):
// read back through the same code the skin menu uses, it must be a complete
// skin with its own layout, a normal scrollbar and no panel mask.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "skin/dib.h"
#include "skin/mask_regions.h"
#include "skin/pe_resources.h"
#include "skin/profile_text.h"
#include "skin/program_resources.h"
#include "skin/resource_source.h"

namespace mixora {
namespace {

namespace fs = std::filesystem;

// The unit tests live in <build>/tests, the program and its package in <build>.
std::string PackagePath() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const fs::path dll = self.parent_path().parent_path() / "Ember.dll";
    return fs::is_regular_file(dll, error) ? dll.string() : std::string{};
}

class SamplePackage : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = PackagePath();
        if (path_.empty()) {
            GTEST_SKIP() << "Ember.dll is not next to the program (it is built only with "
                            "MIXORA_BUILD_APP=ON, target mixora_sample_skin)";
        }
        library_ = CPeResourceLibrary::Open(path_);
        ASSERT_NE(library_, nullptr) << path_ << " does not parse as a resource library";
    }

    // The bitmap attached in place; fails the test when it is missing or bad.
    void Attach(const char* name, CDib& dib) const {
        const auto bytes = library_->FindBitmap(name);
        ASSERT_TRUE(bytes.has_value()) << name;
        ASSERT_TRUE(dib.AttachPacked(*bytes)) << name;
    }

    std::string Description() const {
        const auto bytes = library_->FindResource("SKININFO", ResourceName::Id(134));
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string{};
    }

    std::string path_;
    std::unique_ptr<CPeResourceLibrary> library_;
};

TEST_F(SamplePackage, CarriesEveryBitmapButThePanelMask) {
    for (const char* name : {"SKINBASE", "SKINFOCUS", "SKINDOWN", "SKINMASK", "PLAYSTS", "EQONSTS",
                             "MUTESTS", "REPEATSTS", "VOICECSTS", "PLAYNO", "RECORDNO"}) {
        EXPECT_TRUE(library_->FindBitmap(name).has_value()) << name;
    }
    EXPECT_FALSE(library_->FindBitmap("SKINMASK2").has_value());
    EXPECT_TRUE(library_->FindResource("SKININFO", ResourceName::Id(134)).has_value());
}

TEST_F(SamplePackage, FacesAndMaskArePacked24BitDibsOfOneSize) {
    for (const char* name : {"SKINBASE", "SKINFOCUS", "SKINDOWN", "SKINMASK"}) {
        CDib dib;
        Attach(name, dib);
        EXPECT_EQ(dib.GetSize(), (CSize{520, 419})) << name;
        EXPECT_EQ(dib.BitsPerPixel(), 24) << name;
        EXPECT_EQ(dib.ColorCount(), 0u) << name;
    }
    // Packed: the resource starts with the 40-byte info header, no "BM" file header.
    const auto base = library_->FindBitmap("SKINBASE");
    ASSERT_TRUE(base.has_value());
    ASSERT_GE(base->size(), 40u);
    EXPECT_EQ((*base)[0], 40);
    EXPECT_EQ(base->size(), 40u + 1560u * 419u); // 520 pixels of 3 bytes: rows need no padding

    CDib face;
    Attach("SKINBASE", face);
    std::uint32_t corner = 1;
    ASSERT_TRUE(face.GetPixelRgb(0, 0, &corner));
    EXPECT_EQ(corner, 0x000000u) << "outside the window stays black";
}

TEST_F(SamplePackage, MaskHasItsOwnLayout) {
    CDib mask;
    Attach("SKINMASK", mask);
    const MaskIndex index = MaskIndex::Build(mask);
    ASSERT_TRUE(index.IsValid());
    auto box = [&](std::uint32_t key) { return index.RegionOf(key, kMaskKeyPixels).Bounds(); };

    // A large Play / Pause in a lower transport row.
    EXPECT_EQ(box(0xFA0064), (RECT{246, 174, 276, 193}));
    // Title on the left of the display, the playing time on its right.
    const RECT title = box(0x373737);
    EXPECT_EQ(title, (RECT{156, 114, 300, 130}));
    EXPECT_LT(title.right, box(0x9B0032).left);
    // Seven playlist lines of 13 pixels.
    const RECT firstLine = box(0xC7C700);
    const RECT list = index.RegionOf(0xC7C7C7, kMaskKeyPixels)
                          .Union(index.RegionOf(0xC7C700, kMaskKeyPixels))
                          .Union(index.RegionOf(0xC7C7FF, kMaskKeyPixels))
                          .Bounds();
    EXPECT_EQ(firstLine.bottom - firstLine.top, 13);
    EXPECT_EQ(box(0xC7C7FF).left, firstLine.right) << "length column ends the first line";
    EXPECT_EQ((list.bottom - list.top) / (firstLine.bottom - firstLine.top), 7);
    // A straight vertical scrollbar with its thumb resting at the top.
    const RECT slider = index.RegionOf(0xB10064, kMaskKeyPixels)
                            .Union(index.RegionOf(0xB16464, kMaskKeyPixels))
                            .Bounds();
    const RECT thumb = box(0xB16464);
    EXPECT_GT(slider.bottom - slider.top, slider.right - slider.left);
    EXPECT_EQ(thumb.top, slider.top);
    EXPECT_EQ(thumb.left, slider.left);
    EXPECT_EQ(thumb.right, slider.right);

    // Strips are cut to the new button boxes: three looks across, states down.
    CDib play;
    Attach("PLAYSTS", play);
    EXPECT_EQ(play.GetSize(), (CSize{3 * 30, 2 * 19}));
}

TEST_F(SamplePackage, DescriptionAsksForANormalScrollbar) {
    const std::string info = Description();
    ASSERT_FALSE(info.empty());
    EXPECT_NE(info.find("PLScrollReverse=0\r\n"), std::string::npos);
    std::string value;
    ASSERT_TRUE(LookupProfileText(info.data(), info.size(), "ScrollType", "PLScrollReverse", value));
    EXPECT_EQ(ParseHex(value), 0u);
    ASSERT_TRUE(LookupProfileText(info.data(), info.size(), "ScrollType", "PLScrollType", value));
    EXPECT_EQ(value, "0");
    ASSERT_TRUE(LookupProfileText(info.data(), info.size(), "FontColor", "NameColor", value));
    EXPECT_EQ(ParseHex(value), 0x6AC2FFu); // amber title text (0x00BBGGRR)
}

TEST_F(SamplePackage, IsPickedAsTheSkinSourceWithoutFallingBackPerBitmap) {
    const CProgramResources program;
    const CSkinSource source = OpenSkinSource(path_, program);
    ASSERT_TRUE(source.IsPackage());
    // The face comes from the package, not from the program's own skin...
    const auto face = source.Module().FindBitmap("SKINBASE");
    const auto builtIn = program.FindBitmap("SKINBASE");
    ASSERT_TRUE(face.has_value());
    ASSERT_TRUE(builtIn.has_value());
    EXPECT_NE(face->data(), builtIn->data());
    EXPECT_FALSE(std::equal(face->begin(), face->end(), builtIn->begin(), builtIn->end()));
    // ...and the panel mask it lacks stays missing instead of borrowing the base skin's.
    EXPECT_TRUE(program.FindBitmap("SKINMASK2").has_value());
    EXPECT_FALSE(source.Module().FindBitmap("SKINMASK2").has_value());
}

} // namespace
} // namespace mixora
