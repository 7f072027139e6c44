#include "platform/posix/ini_document.h"

#include <algorithm>
#include <climits>
#include <cstring>

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
    doc.text_.assign(text);
    return doc;
}

IniDocument IniDocument::Adopt(std::string text) {
    IniDocument doc;
    doc.text_ = std::move(text);
    return doc;
}

bool IniDocument::NextLine(std::size_t& pos, LineSpan& line) const {
    if (pos >= text_.size()) {
        return false;
    }
    const char* base = text_.data();
    const void* nl = std::memchr(base + pos, '\n', text_.size() - pos);
    line.start = pos;
    if (nl == nullptr) {
        // A last line cut off after its carriage return reads as the same
        // line with its end: otherwise adding the missing '\n' would change
        // what the line says (a header would appear out of nothing).
        const std::size_t size = text_.size();
        line.bodyEnd = size > pos && text_[size - 1] == '\r' ? size - 1 : size;
        line.next = size;
    } else {
        std::size_t at = static_cast<std::size_t>(static_cast<const char*>(nl) - base);
        line.bodyEnd = at > pos && text_[at - 1] == '\r' ? at - 1 : at;
        line.next = at + 1;
    }
    pos = line.next;
    return true;
}

std::string_view IniDocument::Body(const LineSpan& line) const {
    return std::string_view(text_).substr(line.start, line.bodyEnd - line.start);
}

const IniDocument::SectionSpan& IniDocument::FindSection(std::string_view section) const {
    if (cache_ && EqualNoCase(cache_->name, section)) {
        return *cache_;
    }
    // One pass: the first section of that name, up to the next header.
    SectionSpan span;
    span.name = std::string(section);
    std::size_t pos = 0;
    LineSpan line;
    while (NextLine(pos, line)) {
        auto name = SectionName(Body(line));
        if (!name) {
            continue;
        }
        if (span.found) {
            span.end = line.start;
            break;
        }
        if (EqualNoCase(*name, section)) {
            span.found = true;
            span.bodyStart = line.next;
            span.end = text_.size();
        }
    }
    cache_ = std::move(span);
    return *cache_;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const SectionSpan& span = FindSection(section);
    if (!span.found) {
        return std::nullopt;
    }
    std::size_t pos = span.bodyStart;
    LineSpan line;
    while (pos < span.end && NextLine(pos, line)) {
        auto kv = SplitKey(Body(line));
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
    std::size_t nl = text_.find('\n');
    if (nl == std::string::npos) {
        return "\n";
    }
    return nl > 0 && text_[nl - 1] == '\r' ? "\r\n" : "\n";
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t cut = value.find_first_of("\r\n");
    if (cut != std::string_view::npos) {
        value = value.substr(0, cut);
    }
    std::string text = std::string(key) + "=" + std::string(value);
    const std::string eol = NewLineEnd();
    // Only a line added after the last one gives that line an end; an edit
    // elsewhere leaves the file's last bytes as they were.
    const bool lastLineOpen = !text_.empty() && text_.back() != '\n';

    const SectionSpan& span = FindSection(section);
    if (!span.found) {
        if (lastLineOpen) {
            text_ += eol;
        }
        // The last line is blank when the text ends in two line ends.
        std::string_view t = text_;
        std::size_t lastStart = t.size() < 2 ? 0 : t.rfind('\n', t.size() - 2);
        lastStart = lastStart == std::string_view::npos || t.size() < 2 ? 0 : lastStart + 1;
        std::string_view last = t.substr(lastStart);
        while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) {
            last.remove_suffix(1);
        }
        if (!text_.empty() && !Trim(last).empty()) {
            text_ += eol;
        }
        text_ += "[" + std::string(section) + "]" + eol + text + eol;
        cache_.reset();
        return;
    }
    std::size_t insertAt = span.bodyStart; // after the section's last non-blank line
    std::size_t pos = span.bodyStart;
    LineSpan line;
    while (pos < span.end && NextLine(pos, line)) {
        std::string_view body = Body(line);
        auto kv = SplitKey(body);
        if (kv && EqualNoCase(kv->key, key)) {
            const std::size_t old = line.bodyEnd - line.start;
            text_.replace(line.start, old, text);
            cache_->end = cache_->end + text.size() - old;
            return;
        }
        if (!Trim(body).empty()) {
            insertAt = line.next;
        }
    }
    // After the section's last non-blank line, so the blank line that
    // separates it from the next section stays where it was.
    const std::string added =
        (lastLineOpen && insertAt == text_.size() ? eol : std::string()) + text + eol;
    text_.insert(insertAt, added);
    cache_->end += added.size();
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
