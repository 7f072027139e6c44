#include "platform/posix/registry_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

#include "platform/posix/atomic_file.h"
#include "platform/system_info.h"

namespace mixora {
namespace {

constexpr const char* kHeader = "REGEDIT4";

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
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

std::optional<std::vector<RegistryKey>> ParseRegistryText(const std::string& text) {
    // Split into logical lines: a line ending in a backslash continues on the
    // next (long hex values are wrapped that way).
    std::vector<std::string> lines;
    std::string cur;
    bool continued = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t nl = text.find('\n', start);
        std::string line =
            text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (continued) {
            std::size_t p = line.find_first_not_of(" \t");
            line = p == std::string::npos ? std::string{} : line.substr(p);
        }
        cur += line;
        continued = !cur.empty() && cur.back() == '\\' && cur.find("hex") != std::string::npos &&
                    cur.front() != '[';
        if (continued) {
            cur.pop_back();
        } else {
            lines.push_back(cur);
            cur.clear();
        }
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    if (continued)
        return std::nullopt;

    std::vector<RegistryKey> keys;
    bool sawHeader = false;
    RegistryKey* current = nullptr;
    for (std::string& raw : lines) {
        std::string line = raw;
        if (!sawHeader && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        std::size_t a = line.find_first_not_of(" \t");
        if (a == std::string::npos)
            continue;
        std::size_t b = line.find_last_not_of(" \t");
        line = line.substr(a, b - a + 1);
        if (line[0] == ';')
            continue;
        if (!sawHeader) {
            if (line != kHeader)
                return std::nullopt;
            sawHeader = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']')
                return std::nullopt;
            auto parts = SplitPath(line.substr(1, line.size() - 2));
            if (parts.empty() ||
                (parts[0] != "HKEY_LOCAL_MACHINE" && parts[0] != "HKEY_CURRENT_USER"))
                return std::nullopt;
            std::string path = JoinPath(parts);
            auto it = std::find_if(keys.begin(), keys.end(),
                                   [&](const RegistryKey& k) { return EqualNoCase(k.path, path); });
            if (it == keys.end()) {
                keys.push_back({path, {}});
                current = &keys.back();
            } else {
                current = &*it;
            }
            continue;
        }
        if (!current)
            return std::nullopt;
        auto value = ParseValueLine(line);
        if (!value)
            return std::nullopt;
        auto it =
            std::find_if(current->values.begin(), current->values.end(),
                         [&](const RegistryValue& v) { return EqualNoCase(v.name, value->name); });
        if (it == current->values.end()) {
            current->values.push_back(std::move(*value));
        } else {
            *it = std::move(*value);
        }
    }
    if (!sawHeader && !text.empty() && text.find_first_not_of(" \t\r\n") != std::string::npos)
        return std::nullopt;
    return keys;
}

std::string FormatRegistryText(const std::vector<RegistryKey>& keys) {
    std::string out = std::string(kHeader) + "\n";
    for (const RegistryKey& k : keys) {
        out += "\n[" + k.path + "]\n";
        for (const RegistryValue& v : k.values) {
            out += FormatValue(v) + "\n";
        }
    }
    return out;
}

RegistryStore::RegistryStore(std::string path, IDebugOutput* debug) : path_(std::move(path)) {
    auto text = ReadWholeFile(path_);
    if (!text) {
        return;
    }
    auto keys = ParseRegistryText(*text);
    if (keys) {
        keys_ = std::move(*keys);
        return;
    }
    // Keep what the user had: move it aside under a name that is free.
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string aside = path_ + ".damaged-" + stamp;
    struct stat st {};
    for (int n = 1; ::stat(aside.c_str(), &st) == 0; ++n) {
        aside = path_ + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    bool moved = std::rename(path_.c_str(), aside.c_str()) == 0;
    if (debug) {
        debug->OutputDebugString(moved ? "Registry store " + path_ + " is damaged; kept as " + aside
                                       : "Registry store " + path_ +
                                             " is damaged and could not be set aside");
    }
    if (!moved) {
        // Never overwrite a file we could not keep a copy of.
        path_.clear();
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
    auto it = std::find_if(keys_.begin(), keys_.end(),
                           [&](const RegistryKey& k) { return EqualNoCase(k.path, fullPath); });
    return it == keys_.end() ? nullptr : &*it;
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
    return WriteFileAtomically(path_, FormatRegistryText(keys_)) ? ERROR_SUCCESS : ERROR_CANTWRITE;
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
            keys_.push_back({p, {}});
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
