#include "platform/posix/registry_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unordered_map>

#include "platform/message_box.h"
#include "platform/posix/atomic_file.h"
#include "platform/system_info.h"

namespace mixora {
namespace {

constexpr const char* kHeader = "REGEDIT4";

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\') {
            if (!cur.empty()) {
                parts.push_back(cur);
            }
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) {
        parts.push_back(cur);
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) {
            out.push_back('\\');
        }
        out += p;
    }
    return out;
}

std::optional<std::string> RootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) {
        return "HKEY_LOCAL_MACHINE";
    }
    if (root == HKEY_CURRENT_USER) {
        return "HKEY_CURRENT_USER";
    }
    return std::nullopt;
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string Hex(const std::vector<std::uint8_t>& data) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        if (i) {
            out.push_back(',');
        }
        out += buf;
    }
    return out;
}

std::string FormatValue(const RegistryValue& v) {
    std::string line = v.name.empty() ? "@" : Quote(v.name);
    line.push_back('=');
    const auto& d = v.data;
    bool plainText = v.type == REG_SZ && !d.empty() && d.back() == 0 &&
                     std::find(d.begin(), d.end() - 1, 0) == d.end() - 1;
    if (plainText) {
        std::string text(d.begin(), d.end() - 1);
        if (!HasLineBreak(text)) {
            return line + Quote(text);
        }
    }
    if (v.type == REG_DWORD && d.size() == 4) {
        char buf[16];
        unsigned value = d[0] | (d[1] << 8) | (d[2] << 16) | (unsigned(d[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", value);
        return line + buf;
    }
    if (v.type == REG_BINARY) {
        return line + "hex:" + Hex(d);
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
    return line + buf + Hex(d);
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> ReadQuoted(const std::string& s, std::size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\\') {
            if (++pos >= s.size()) {
                return std::nullopt;
            }
            out.push_back(s[pos]);
        } else if (c == '"') {
            ++pos;
            return out;
        } else {
            out.push_back(c);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadHexBytes(const std::string& s) {
    std::vector<std::uint8_t> out;
    std::size_t pos = 0;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        c = Lower(c);
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
        if (pos >= s.size())
            break;
        if (pos + 1 >= s.size())
            return std::nullopt;
        int hi = nibble(s[pos]), lo = nibble(s[pos + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        pos += 2;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
        if (pos < s.size()) {
            if (s[pos] != ',')
                return std::nullopt;
            ++pos;
        }
    }
    return out;
}

std::optional<RegistryValue> ParseValueLine(const std::string& line) {
    RegistryValue v;
    std::size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else {
        auto name = ReadQuoted(line, pos);
        if (!name)
            return std::nullopt;
        v.name = *name;
    }
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    ++pos;
    std::string rest = line.substr(pos);
    if (!rest.empty() && rest[0] == '"') {
        std::size_t p = 0;
        auto text = ReadQuoted(rest, p);
        if (!text || p != rest.size())
            return std::nullopt;
        v.type = REG_SZ;
        v.data.assign(text->begin(), text->end());
        v.data.push_back(0);
        return v;
    }
    if (rest.rfind("dword:", 0) == 0) {
        std::string digits = rest.substr(6);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        unsigned value = 0;
        for (char c : digits) {
            c = Lower(c);
            int n = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
            if (n < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(n);
        }
        v.type = REG_DWORD;
        v.data = {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                  std::uint8_t(value >> 24)};
        return v;
    }
    std::string bytes;
    if (rest.rfind("hex:", 0) == 0) {
        v.type = REG_BINARY;
        bytes = rest.substr(4);
    } else if (rest.rfind("hex(", 0) == 0) {
        std::size_t close = rest.find("):");
        if (close == std::string::npos || close == 4 || close > 12)
            return std::nullopt;
        unsigned type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            char c = Lower(rest[i]);
            int n = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
            if (n < 0)
                return std::nullopt;
            type = type * 16 + static_cast<unsigned>(n);
        }
        v.type = type;
        bytes = rest.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto data = ReadHexBytes(bytes);
    if (!data)
        return std::nullopt;
    v.data = std::move(*data);
    return v;
}

} // namespace

static std::string LowerCase(std::string s) {
    for (char& c : s) {
        c = Lower(c);
    }
    return s;
}

std::optional<std::vector<RegistryKey>> ParseRegistryText(const std::string& text,
                                                          std::vector<std::string>* preamble) {
    std::vector<RegistryKey> keys;
    std::vector<std::string> front;
    // Hash lookups keep the parse linear however many keys the store holds.
    // Values are searched in place while a key has few of them (the common
    // case, and no allocation); a key with many gets an index of its own.
    constexpr std::size_t kLinearValues = 16;
    std::unordered_map<std::string, std::size_t> keyIndex;
    std::unordered_map<std::size_t, std::unordered_map<std::string, std::size_t>> valueIndex;
    bool sawHeader = false;
    std::optional<std::size_t> current;
    bool skipping = false; // under a key header that was not understood
    auto keep = [&](std::string_view raw) {
        (current ? keys[*current].keptLines : front).emplace_back(raw);
    };
    auto addValue = [&](RegistryValue value) {
        auto& values = keys[*current].values;
        std::optional<std::size_t> at;
        auto indexed = valueIndex.find(*current);
        if (indexed != valueIndex.end()) {
            if (auto it = indexed->second.find(LowerCase(value.name)); it != indexed->second.end())
                at = it->second;
        } else {
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (EqualNoCase(values[i].name, value.name)) {
                    at = i;
                    break;
                }
            }
        }
        if (at) {
            values[*at] = std::move(value);
            return;
        }
        values.push_back(std::move(value));
        if (indexed != valueIndex.end()) {
            indexed->second.emplace(LowerCase(values.back().name), values.size() - 1);
        } else if (values.size() > kLinearValues) {
            auto& index = valueIndex[*current];
            for (std::size_t i = 0; i < values.size(); ++i)
                index.emplace(LowerCase(values[i].name), i);
        }
    };

    // One pass over the physical lines. A line ending in a backslash
    // continues on the next (long hex values are wrapped that way); only then
    // is a joined copy made. `raw` is what is kept of a line not understood:
    // the physical lines exactly as they were.
    std::string joined;
    std::string rawJoined;
    bool continued = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t nl = text.find('\n', start);
        std::string_view physical = std::string_view(text).substr(
            start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!physical.empty() && physical.back() == '\r')
            physical.remove_suffix(1);
        start = nl == std::string::npos ? text.size() + 1 : nl + 1;

        std::string_view logical = physical;
        std::string_view raw = physical;
        if (continued) {
            std::size_t p = physical.find_first_not_of(" \t");
            joined += p == std::string_view::npos ? std::string_view{} : physical.substr(p);
            rawJoined += '\n';
            rawJoined += physical;
            logical = joined;
            raw = rawJoined;
        }
        const bool continues = !logical.empty() && logical.back() == '\\' &&
                               logical.find("hex") != std::string_view::npos &&
                               logical.front() != '[';
        if (continues) {
            if (!continued) {
                joined.assign(logical);
                rawJoined.assign(raw);
            }
            joined.pop_back();
            continued = true;
            continue;
        }
        continued = false;

        std::string_view line = logical;
        if (!sawHeader && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        std::size_t a = line.find_first_not_of(" \t");
        if (a == std::string_view::npos)
            continue; // blank lines are layout, written anew
        std::size_t b = line.find_last_not_of(" \t");
        line = line.substr(a, b - a + 1);
        if (!sawHeader) {
            if (line == kHeader) {
                sawHeader = true;
            } else if (line[0] == '[') {
                return std::nullopt; // keys before the header: not this format at all
            } else {
                front.emplace_back(raw);
            }
            continue;
        }
        if (line[0] == ';') {
            keep(raw);
            continue;
        }
        if (line[0] == '[') {
            auto parts = SplitPath(line.back() == ']' ? std::string(line.substr(1, line.size() - 2))
                                                      : std::string{});
            if (parts.empty() ||
                (parts[0] != "HKEY_LOCAL_MACHINE" && parts[0] != "HKEY_CURRENT_USER")) {
                keep(raw);
                skipping = true;
                continue;
            }
            skipping = false;
            std::string path = JoinPath(parts);
            auto [it, added] = keyIndex.emplace(LowerCase(path), keys.size());
            if (added)
                keys.push_back({std::move(path), {}, {}});
            current = it->second;
            continue;
        }
        auto value = (current && !skipping) ? ParseValueLine(std::string(line)) : std::nullopt;
        if (!value) {
            keep(raw);
            continue;
        }
        addValue(std::move(*value));
    }
    // A wrapped value that the end of the file cuts off (`continued` still
    // set) is half a value, a write that never finished: it is dropped, not
    // guessed at, and not kept either, since written back before other lines
    // it would swallow them.
    if (!sawHeader && text.find_first_not_of(" \t\r\n") != std::string::npos)
        return std::nullopt;
    if (preamble)
        *preamble = std::move(front);
    return keys;
}

namespace {

// A kept line is written so that it reads back as it was: the reader takes
// one carriage return off each physical line, so a line that itself ends in
// one gets another (otherwise a trailing backslash would come to continue
// the line on the next read).
std::string KeptText(const std::string& line) {
    std::string out;
    for (char c : line + "\n") {
        if (c == '\n' && !out.empty() && out.back() == '\r') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

} // namespace

std::string FormatRegistryText(const std::vector<RegistryKey>& keys,
                               const std::vector<std::string>& preamble) {
    std::string out = std::string(kHeader) + "\n";
    for (const std::string& line : preamble) {
        out += KeptText(line);
    }
    for (const RegistryKey& k : keys) {
        out += "\n[" + k.path + "]\n";
        for (const RegistryValue& v : k.values) {
            out += FormatValue(v) + "\n";
        }
        // After the values: a kept line that looks like a key header must
        // not take the values of this key with it on the next read.
        for (const std::string& line : k.keptLines) {
            out += KeptText(line);
        }
    }
    return out;
}

RegistryStore::RegistryStore(std::string path, IDebugOutput* debug, IMessageBox* messages)
    : path_(std::move(path)), messages_(messages) {
    RemoveStaleTemporaries(path_);
    std::string readError;
    auto text = ReadWholeFile(path_, &readError);
    if (!text) {
        struct stat st {};
        if (::stat(path_.c_str(), &st) != 0 && errno == ENOENT) {
            return; // a first run
        }
        // It exists but cannot be read: never replace what we cannot keep.
        Tell(debug, "Mixora could not read its registry store " + path_ + ": " + readError +
                        ".\nEqualizer presets and effect settings changed in this session will "
                        "not be saved.");
        path_.clear();
        warned_ = true;
        return;
    }
    auto keys = ParseRegistryText(*text, &preamble_);
    if (keys) {
        keys_ = std::move(*keys);
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            keyIndex_.emplace(LowerCase(keys_[i].path), i);
        }
        return;
    }
    // Keep what the user had: move it aside under a name that is free. The
    // link, when it is one, stays as it is; what it leads to is moved.
    const std::string real = ResolveLinks(path_);
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string aside = real + ".damaged-" + stamp;
    struct stat st {};
    for (int n = 1; ::stat(aside.c_str(), &st) == 0; ++n) {
        aside = real + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    bool moved = std::rename(real.c_str(), aside.c_str()) == 0;
    Tell(debug, moved ? "Mixora could not read its registry store " + path_ +
                            " and starts without saved presets and effect settings.\nThe old file "
                            "was kept as " +
                            aside + "."
                      : "Mixora could not read its registry store " + path_ +
                            " and could not set it aside either.\nEqualizer presets and effect "
                            "settings changed in this session will not be saved.");
    if (!moved) {
        // Never overwrite a file we could not keep a copy of.
        path_.clear();
        warned_ = true;
    }
}

void RegistryStore::Tell(IDebugOutput* debug, const std::string& text) {
    if (debug) {
        debug->OutputDebugString(text);
    }
    if (messages_) {
        messages_->MessageBox(text, "Mixora", MB_OK | MB_ICONWARNING);
    }
}

std::optional<std::string> RegistryStore::ResolvePath(HKEY root, const std::string& subKey) const {
    std::string base;
    if (auto name = RootName(root)) {
        base = *name;
    } else {
        auto it = handles_.find(root);
        if (it == handles_.end())
            return std::nullopt;
        base = it->second;
    }
    auto parts = SplitPath(base);
    for (auto& p : SplitPath(subKey))
        parts.push_back(p);
    return JoinPath(parts);
}

RegistryKey* RegistryStore::FindKey(const std::string& fullPath) {
    auto it = keyIndex_.find(LowerCase(fullPath));
    return it == keyIndex_.end() ? nullptr : &keys_[it->second];
}

RegistryKey* RegistryStore::KeyOfHandle(HKEY key) {
    auto it = handles_.find(key);
    if (it == handles_.end())
        return nullptr;
    return FindKey(it->second);
}

HKEY RegistryStore::NewHandle(const std::string& fullPath) {
    HKEY h = nextHandle_++;
    handles_[h] = fullPath;
    return h;
}

LONG RegistryStore::Save() {
    if (path_.empty())
        return ERROR_CANTWRITE;
    std::string error;
    if (WriteFileAtomically(path_, FormatRegistryText(keys_, preamble_), &error)) {
        warned_ = false; // a later failure is news again
        return ERROR_SUCCESS;
    }
    // Once, not at every slider step while the folder stays read-only.
    if (!warned_) {
        warned_ = true;
        Tell(nullptr, "Mixora could not save its registry store to " + path_ + ": " + error +
                          ".\nEqualizer presets and effect settings may be lost when Mixora ends.");
    }
    return ERROR_CANTWRITE;
}

LONG RegistryStore::OpenKey(HKEY root, const std::string& subKey, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    auto path = ResolvePath(root, subKey);
    if (!path)
        return ERROR_INVALID_HANDLE;
    // The roots themselves always exist.
    bool isRoot = SplitPath(*path).size() == 1;
    RegistryKey* key = FindKey(*path);
    if (!key && !isRoot)
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(key ? key->path : *path);
    return ERROR_SUCCESS;
}

LONG RegistryStore::CreateKey(HKEY root, const std::string& subKey, HKEY* result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    auto path = ResolvePath(root, subKey);
    if (!path)
        return ERROR_INVALID_HANDLE;
    auto parts = SplitPath(*path);
    LONG rc = ERROR_SUCCESS;
    bool added = false;
    for (std::size_t n = 2; n <= parts.size(); ++n) {
        std::vector<std::string> prefix(parts.begin(),
                                        parts.begin() + static_cast<std::ptrdiff_t>(n));
        std::string p = JoinPath(prefix);
        if (!FindKey(p)) {
            keyIndex_.emplace(LowerCase(p), keys_.size());
            keys_.push_back({p, {}, {}});
            added = true;
        }
    }
    if (added)
        rc = Save();
    RegistryKey* key = FindKey(*path);
    *result = NewHandle(key ? key->path : *path);
    return rc;
}

LONG RegistryStore::CloseKey(HKEY key) {
    if (RootName(key))
        return ERROR_SUCCESS;
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegistryStore::EnumValue(HKEY key, DWORD index, std::string* name, DWORD* nameSize,
                              DWORD* type, std::uint8_t* data, DWORD* dataSize) {
    if (!handles_.count(key) && !RootName(key))
        return ERROR_INVALID_HANDLE;
    RegistryKey* k = RootName(key) ? nullptr : KeyOfHandle(key);
    if (!k || index >= k->values.size())
        return ERROR_NO_MORE_ITEMS;
    const RegistryValue& v = k->values[index];
    LONG rc = ERROR_SUCCESS;
    if (nameSize) {
        if (v.name.size() + 1 > *nameSize) {
            rc = ERROR_MORE_DATA;
        } else if (name) {
            *name = v.name;
        }
        *nameSize = static_cast<DWORD>(v.name.size());
    } else if (name) {
        *name = v.name;
    }
    if (type)
        *type = v.type;
    if (dataSize) {
        if (data) {
            if (v.data.size() > *dataSize) {
                rc = ERROR_MORE_DATA;
            } else {
                std::copy(v.data.begin(), v.data.end(), data);
            }
        }
        *dataSize = static_cast<DWORD>(v.data.size());
    }
    return rc;
}

LONG RegistryStore::QueryValue(HKEY key, const std::string& name, DWORD* type, std::uint8_t* data,
                               DWORD* dataSize) {
    if (!handles_.count(key) && !RootName(key))
        return ERROR_INVALID_HANDLE;
    RegistryKey* k = RootName(key) ? nullptr : KeyOfHandle(key);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const RegistryValue& v) { return EqualNoCase(v.name, name); });
    if (it == k->values.end())
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = it->type;
    if (!dataSize)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    LONG rc = ERROR_SUCCESS;
    if (data) {
        if (it->data.size() > *dataSize) {
            rc = ERROR_MORE_DATA;
        } else {
            std::copy(it->data.begin(), it->data.end(), data);
        }
    }
    *dataSize = static_cast<DWORD>(it->data.size());
    return rc;
}

LONG RegistryStore::SetValue(HKEY key, const std::string& name, DWORD type,
                             std::span<const std::uint8_t> data) {
    if (RootName(key))
        return ERROR_ACCESS_DENIED;
    RegistryKey* k = KeyOfHandle(key);
    if (!k)
        return handles_.count(key) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    if (HasLineBreak(name))
        return ERROR_INVALID_PARAMETER;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const RegistryValue& v) { return EqualNoCase(v.name, name); });
    RegistryValue value{it == k->values.end() ? name : it->name, type, {data.begin(), data.end()}};
    if (it == k->values.end()) {
        k->values.push_back(std::move(value));
    } else {
        *it = std::move(value);
    }
    return Save();
}

LONG RegistryStore::DeleteValue(HKEY key, const std::string& name) {
    RegistryKey* k = KeyOfHandle(key);
    if (!k)
        return handles_.count(key) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const RegistryValue& v) { return EqualNoCase(v.name, name); });
    if (it == k->values.end())
        return ERROR_FILE_NOT_FOUND;
    k->values.erase(it);
    return Save();
}

} // namespace mixora
