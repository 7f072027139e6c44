#pragma once
// The line syntax shared by the program's menu and dialog templates: one
// statement per line, words separated by blanks, texts in double quotes
// (\" and \\ inside them), '#' or ';' at the start of a line for a comment.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mixora {

struct TemplateToken {
    std::string text;
    bool quoted = false;
};

using TemplateLine = std::vector<TemplateToken>;

// The non-empty, non-comment lines of `text`, or nothing when a quoted text
// is left open.
std::optional<std::vector<TemplateLine>> SplitTemplateLines(std::string_view text);

// A decimal number that fills the whole token (an optional '-' first).
std::optional<int> TemplateNumber(const TemplateToken& token);

} // namespace mixora
