#pragma once
// The registry kept in one human-readable REGEDIT4 text file.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace mixora {

class IDebugOutput;
class IMessageBox;

struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

struct RegistryKey {
    std::string path; // as first created, e.g. "HKEY_LOCAL_MACHINE\Software\Ostrel"
    std::vector<RegistryValue> values; // in the order they were first set
    // Lines under this key that are not understood (comments, notes, values
    // of a form not known here): kept as they were, written back after its
    // values.
    std::vector<std::string> keptLines;
};

// The keys of a REGEDIT4 text. Lines that are not understood do not damage
// it: they are kept, in `preamble` when they stand before the first key.
// Nothing only when the text is no REGEDIT4 text at all.
std::optional<std::vector<RegistryKey>>
ParseRegistryText(const std::string& text, std::vector<std::string>* preamble = nullptr);
std::string FormatRegistryText(const std::vector<RegistryKey>& keys,
                               const std::vector<std::string>& preamble = {});

class RegistryStore final : public IRegistry {
public:
    // Reads `path` when it exists. A file that is no REGEDIT4 text at all is
    // set aside under a new name beside it (never deleted) and the store
    // starts empty; a file that exists but cannot be read is left alone and
    // nothing is saved over it. Either is told on `debug` and once through
    // `messages` (may be null), with the path; so is the first failure to
    // save, with its reason.
    RegistryStore(std::string path, IDebugOutput* debug, IMessageBox* messages = nullptr);

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
    void Tell(IDebugOutput* debug, const std::string& text);

    std::string path_;
    IMessageBox* messages_ = nullptr;
    bool warned_ = false;
    std::vector<std::string> preamble_;
    std::vector<RegistryKey> keys_;
    std::unordered_map<std::string, std::size_t> keyIndex_; // lower-case path -> keys_ index
    std::map<HKEY, std::string> handles_;                   // open handle -> full key path
    HKEY nextHandle_ = 0x1000;
};

} // namespace mixora
