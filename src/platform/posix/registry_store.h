#pragma once
// The registry kept in one human-readable REGEDIT4 text file.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace mixora {

class IDebugOutput;

struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

struct RegistryKey {
    std::string path; // as first created, e.g. "HKEY_LOCAL_MACHINE\Software\Ostrel"
    std::vector<RegistryValue> values; // in the order they were first set
};

// The keys of a REGEDIT4 text, or nothing when the text is damaged.
std::optional<std::vector<RegistryKey>> ParseRegistryText(const std::string& text);
std::string FormatRegistryText(const std::vector<RegistryKey>& keys);

class RegistryStore final : public IRegistry {
public:
    // Reads `path` when it exists. A file that cannot be understood is set
    // aside under a new name beside it (never deleted), reported on `debug`,
    // and the store starts empty.
    RegistryStore(std::string path, IDebugOutput* debug);

    LONG OpenKey(HKEY root, const std::string& subKey, HKEY* result) override;
    LONG CreateKey(HKEY root, const std::string& subKey, HKEY* result) override;
    LONG CloseKey(HKEY key) override;
    LONG EnumValue(HKEY key, DWORD index, std::string* name, DWORD* nameSize, DWORD* type,
                   std::uint8_t* data, DWORD* dataSize) override;
    LONG QueryValue(HKEY key, const std::string& name, DWORD* type, std::uint8_t* data,
                    DWORD* dataSize) override;
    LONG SetValue(HKEY key, const std::string& name, DWORD type,
                  std::span<const std::uint8_t> data) override;
    LONG DeleteValue(HKEY key, const std::string& name) override;

private:
    std::optional<std::string> ResolvePath(HKEY root, const std::string& subKey) const;
    RegistryKey* FindKey(const std::string& fullPath);
    RegistryKey* KeyOfHandle(HKEY key);
    HKEY NewHandle(const std::string& fullPath);
    LONG Save();

    std::string path_;
    std::vector<RegistryKey> keys_;
    std::map<HKEY, std::string> handles_; // open handle -> full key path
    HKEY nextHandle_ = 0x1000;
};

} // namespace mixora
