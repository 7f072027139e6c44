#include "skin/template_lines.h"

#include <charconv>

namespace mixora {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Splits one line; false when a quoted text does not end on it.
bool SplitLine(std::string_view line, TemplateLine& out) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        TemplateToken token;
        if (line[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    c = line[i++];
                }
                token.text += c;
            }
            if (!closed) {
                return false;
            }
        } else {
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '"') {
                token.text += line[i++];
            }
        }
        out.push_back(std::move(token));
    }
    return true;
}

} // namespace

std::optional<std::vector<TemplateLine>> SplitTemplateLines(std::string_view text) {
    std::vector<TemplateLine> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

        std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#' || line[first] == ';') {
            continue;
        }
        TemplateLine tokens;
        if (!SplitLine(line.substr(first), tokens)) {
            return std::nullopt;
        }
        lines.push_back(std::move(tokens));
    }
    return lines;
}

std::optional<int> TemplateNumber(const TemplateToken& token) {
    if (token.quoted || token.text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    const char* begin = token.text.data();
    const char* end = begin + token.text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace mixora
