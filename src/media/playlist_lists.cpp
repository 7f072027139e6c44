// M3U and PLS lists: one entry per line, read leniently, since these files
// come from every player and editor there is.
#include "media/playlist_lists.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

namespace mixora {
namespace {

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Calls `line` with every line of `bytes`, a UTF-8 byte-order mark dropped.
template <typename Fn> void ForEachLine(std::string_view bytes, Fn line) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        line(Trim(bytes.substr(0, end)));
        if (end == std::string_view::npos) {
            break;
        }
        bytes.remove_prefix(end + 1);
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// One entry as a path: URIs of files decoded, other URIs dropped, relative
// paths (also written with backslashes, as lists made on Windows are) taken
// from the list's folder.
void AddEntry(std::vector<std::string>& out, std::string_view entry, std::string_view folder) {
    // A zero byte names no file, and would split the entry in a saved list.
    if (entry.empty() || entry.find('\0') != std::string_view::npos) {
        return;
    }
    if (IsRemoteUri(entry)) {
        return;
    }
    if (entry.starts_with("file:")) {
        std::string path = LocalPathFromUri(entry);
        if (!path.empty()) {
            out.push_back(std::move(path));
        }
        return;
    }
    std::string path(entry);
    if (path.front() == '/') {
        out.push_back(std::move(path));
        return;
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    out.push_back(std::string(folder) + "/" + path);
}

} // namespace

ListFormat ListFormatOf(std::string_view path) {
    if (EndsWithNoCase(path, ".pla")) {
        return ListFormat::Pla;
    }
    if (EndsWithNoCase(path, ".m3u") || EndsWithNoCase(path, ".m3u8")) {
        return ListFormat::M3u;
    }
    if (EndsWithNoCase(path, ".pls")) {
        return ListFormat::Pls;
    }
    return ListFormat::None;
}

bool IsRemoteUri(std::string_view text) {
    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return !(colon == 4 && EndsWithNoCase(text.substr(0, colon), "file"));
}

std::string LocalPathFromUri(std::string_view uri) {
    if (uri.size() < 5 || !EndsWithNoCase(uri.substr(0, 5), "file:")) {
        return {};
    }
    uri.remove_prefix(5);
    // file:///path or file://localhost/path; file:/path is seen too.
    if (uri.starts_with("//")) {
        uri.remove_prefix(2);
        const std::size_t slash = uri.find('/');
        if (slash == std::string_view::npos) {
            return {};
        }
        const std::string_view host = uri.substr(0, slash);
        if (!host.empty() && host != "localhost") {
            return {};
        }
        uri.remove_prefix(slash);
    }
    if (!uri.starts_with('/')) {
        return {};
    }
    std::string path;
    path.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size()) {
            const int hi = HexValue(uri[i + 1]);
            const int lo = HexValue(uri[i + 2]);
            if (hi >= 0 && lo >= 0) {
                path.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        path.push_back(uri[i]);
    }
    // A path with a zero byte in it names no file.
    if (path.find('\0') != std::string::npos) {
        return {};
    }
    return path;
}

std::vector<std::string> ParseM3u(std::string_view bytes, std::string_view folder) {
    std::vector<std::string> paths;
    ForEachLine(bytes, [&](std::string_view line) {
        if (!line.starts_with('#')) {
            AddEntry(paths, line, folder);
        }
    });
    return paths;
}

std::vector<std::string> ParsePls(std::string_view bytes, std::string_view folder) {
    // Numbers may come in any order and with gaps; the list plays by them.
    std::multimap<std::uint64_t, std::string> byNumber;
    ForEachLine(bytes, [&](std::string_view line) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq < 5) {
            return;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.size() < 5 || !EndsWithNoCase(key.substr(0, 4), "file")) {
            return;
        }
        std::uint64_t n = 0;
        for (const char c : key.substr(4)) {
            if (c < '0' || c > '9' || n > 1'000'000'000) {
                return;
            }
            n = n * 10 + static_cast<std::uint64_t>(c - '0');
        }
        std::vector<std::string> one;
        AddEntry(one, Trim(line.substr(eq + 1)), folder);
        if (!one.empty()) {
            byNumber.emplace(n, std::move(one.front()));
        }
    });
    std::vector<std::string> paths;
    paths.reserve(byNumber.size());
    for (auto& [n, path] : byNumber) {
        paths.push_back(std::move(path));
    }
    return paths;
}

} // namespace mixora
