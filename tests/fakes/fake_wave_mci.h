#pragma once
// A "waveaudio" device in memory: it keeps every request with what its
// record said, answers with a length the test sets (at position 0), and fails the commands
// the test names; plus Mixora.ini in memory.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/mci.h"
#include "platform/private_profile.h"

namespace mixora {

struct MciRequest {
    std::uint32_t device = 0, msg = 0, flags = 0;
    std::uintptr_t callback = 0;
    MCI_WAVE_SET_PARMS set;
    std::string file;
};

class FakeWaveMci final : public IMci {
public:
    std::vector<MciRequest> requests;
    std::set<std::uint32_t> failing; // messages that fail
    std::uint32_t nextId = 5;
    std::uintptr_t length = 0;

    std::uint32_t SendCommand(std::uint32_t device, std::uint32_t msg, std::uint32_t flags,
                              void* params) override {
        MciRequest& r = requests.emplace_back(MciRequest{device, msg, flags, 0, {}, {}});
        if (msg == MCI_SET) {
            r.set = *static_cast<MCI_WAVE_SET_PARMS*>(params);
        } else if (msg == MCI_SEEK || msg == MCI_RECORD || msg == MCI_PLAY) {
            r.callback = *static_cast<std::uintptr_t*>(params); // their records begin with it
        } else if (msg == MCI_SAVE) {
            r.file = static_cast<MCI_SAVE_PARMS*>(params)->lpfilename;
        }
        if (failing.count(msg)) {
            return MCIERR_HARDWARE;
        }
        if (msg == MCI_OPEN) {
            static_cast<MCI_OPEN_PARMS*>(params)->wDeviceID = nextId++;
        } else if (msg == MCI_STATUS) {
            auto* s = static_cast<MCI_STATUS_PARMS*>(params);
            s->dwReturn = s->dwItem == MCI_STATUS_LENGTH ? length : 0; // the position is 0
        }
        return 0;
    }

    std::vector<std::uint32_t> Messages() const {
        std::vector<std::uint32_t> out;
        for (const auto& r : requests)
            out.push_back(r.msg);
        return out;
    }
    const MciRequest* Last(std::uint32_t msg) const {
        for (auto it = requests.rbegin(); it != requests.rend(); ++it)
            if (it->msg == msg)
                return &*it;
        return nullptr;
    }
};

class MemoryProfile final : public IPrivateProfile {
public:
    std::map<std::string, std::string> values; // "Section/Key"

    int GetInt(const std::string& section, const std::string& key, int def,
               const std::string&) override {
        auto it = values.find(section + "/" + key);
        return it == values.end() || it->second.empty() ? def : std::atoi(it->second.c_str());
    }
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t, const std::string&) override {
        auto it = values.find(section + "/" + key);
        return it == values.end() ? def : it->second;
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string&) override {
        values[section + "/" + key] = value;
        return true;
    }
};

} // namespace mixora
