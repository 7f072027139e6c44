#pragma once
// An INI text held line by line, so that every line the program does not
// write (comments, unknown keys, other sections, blank lines, the user's
// own spacing and line ends) comes back out byte for byte.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mixora {

class IniDocument {
public:
    static IniDocument Parse(std::string_view text);

    // The value of `key` in the first section named `section` (both matched
    // without regard to case), blanks around it removed and one pair of
    // enclosing double quotes taken off; nothing when either is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Replaces the key's line in place, or adds "key=value" at the end of the
    // section, or adds the section at the end of the text. A line break in
    // `value` ends it there: one value can never become several lines.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

private:
    struct Line {
        std::string text; // without its line end
        std::string eol;  // "\r\n", "\n" or "" (last line without one)
    };
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::string NewLineEnd() const;

    std::vector<Line> lines_;
};

// Classic profile number: optional sign, then decimal digits; 0 when the text
// does not begin with a number; saturates at the limits of int.
int ParseProfileInt(std::string_view text);

} // namespace mixora
