#include "platform/posix/ini_document.h"

#include <algorithm>
#include <climits>

namespace mixora {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string_view StripBom(std::string_view s) {
    if (s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF") {
        s.remove_prefix(3);
    }
    return s;
}

// The section name of a header line, or nothing when it is not one.
std::optional<std::string_view> SectionName(std::string_view line) {
    std::string_view t = Trim(StripBom(line));
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    t.remove_prefix(1);
    std::size_t close = t.find(']');
    if (close != std::string_view::npos) {
        t = t.substr(0, close);
    }
    return Trim(t);
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> SplitKey(std::string_view line) {
    std::string_view t = Trim(StripBom(line));
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return std::nullopt;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyValue{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

} // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        Line line;
        if (nl == std::string_view::npos) {
            line.text = std::string(text);
            text = {};
        } else {
            std::string_view body = text.substr(0, nl);
            if (!body.empty() && body.back() == '\r') {
                body.remove_suffix(1);
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
            line.text = std::string(body);
            text.remove_prefix(nl + 1);
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i].text);
        if (name && EqualNoCase(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text)) {
        ++i;
    }
    return i;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    auto header = FindSection(section);
    if (!header) {
        return std::nullopt;
    }
    std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        auto kv = SplitKey(lines_[i].text);
        if (kv && EqualNoCase(kv->key, key)) {
            std::string_view v = kv->value;
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
                v = v.substr(1, v.size() - 2);
            }
            return std::string(v);
        }
    }
    return std::nullopt;
}

std::string IniDocument::NewLineEnd() const {
    // New lines follow the file's own convention.
    for (const Line& l : lines_) {
        if (!l.eol.empty()) {
            return l.eol;
        }
    }
    return "\n";
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t cut = value.find_first_of("\r\n");
    if (cut != std::string_view::npos) {
        value = value.substr(0, cut);
    }
    std::string text = std::string(key) + "=" + std::string(value);
    std::string eol = NewLineEnd();
    // Only a line added after the last one gives that line an end; an edit
    // elsewhere leaves the file's last bytes as they were.
    auto endLastLine = [&] {
        if (!lines_.empty() && lines_.back().eol.empty()) {
            lines_.back().eol = eol;
        }
    };

    auto header = FindSection(section);
    if (!header) {
        endLastLine();
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) {
            lines_.push_back({"", eol});
        }
        lines_.push_back({"[" + std::string(section) + "]", eol});
        lines_.push_back({text, eol});
        return;
    }
    std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        auto kv = SplitKey(lines_[i].text);
        if (kv && EqualNoCase(kv->key, key)) {
            lines_[i].text = text;
            return;
        }
    }
    // After the section's last non-blank line, so the blank line that
    // separates it from the next section stays where it was.
    std::size_t at = end;
    while (at > *header + 1 && Trim(lines_[at - 1].text).empty()) {
        --at;
    }
    if (at == lines_.size()) {
        endLastLine();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{text, eol});
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

int ParseProfileInt(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) {
            v = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        v = -v;
    }
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace mixora
