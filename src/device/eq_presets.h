#pragma once
// The equalizer presets built into the program. Each carries a deleted mark
// that the user sets by deleting the preset; the marks survive between runs
// as the settings file's preset mask.
#include <array>
#include <cstdint>

namespace mixora {

struct BuiltinPreset {
    std::int32_t deleted = 0; // 0 shown, 1 deleted
    const char* name = "";
    std::array<std::int32_t, 10> gains{}; // bands 1..10, -1200..1200
};

class CBuiltinPresets {
public:
    static constexpr int kCount = 15;

    CBuiltinPresets();

    int Count() const { return kCount; }
    const BuiltinPreset& At(int index) const { return table_[static_cast<std::size_t>(index)]; }
    bool IsDeleted(int index) const { return table_[static_cast<std::size_t>(index)].deleted != 0; }
    void SetDeleted(int index, bool deleted) {
        table_[static_cast<std::size_t>(index)].deleted = deleted ? 1 : 0;
    }

    // Bit i set for each deleted preset i.
    std::uint32_t DeletedMask() const;
    // Marks preset i deleted for each set bit i; clear bits change nothing.
    void ApplyDeletedMask(std::uint32_t mask);

private:
    std::array<BuiltinPreset, kCount> table_;
};

} // namespace mixora
