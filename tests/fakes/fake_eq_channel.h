#pragma once
// The driver's equalizer as the program sees it through the channel: one
// record, reachable or not, and every set remembered.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "device/eq_channel.h"
#include "device/eq_record.h"

namespace mixora {

class FakeEqChannel final : public IEqChannel {
public:
    EqRecord record{};
    bool reachable = true;
    std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> sets;
    int gets = 0;

    bool GetEqProperty(std::uint32_t id, std::span<std::uint8_t> value) override {
        ++gets;
        if (!reachable || id != kEqRecordId || value.size() != record.size())
            return false;
        std::copy(record.begin(), record.end(), value.begin());
        return true;
    }
    bool SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value) override {
        sets.emplace_back(id, std::vector<std::uint8_t>(value.begin(), value.end()));
        if (!reachable)
            return false;
        if (id == kEqRecordId && value.size() == record.size()) {
            std::copy(value.begin(), value.end(), record.begin());
        }
        return true;
    }
};

} // namespace mixora
