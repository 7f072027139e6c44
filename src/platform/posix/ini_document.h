#pragma once
// An INI text held as the one string it was read as, so that every line the
// program does not write (comments, unknown keys, other sections, blank
// lines, the user's own spacing and line ends) comes back out byte for byte,
// and a large file costs its own size in memory and nothing per line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mixora {

class IniDocument {
public:
    static IniDocument Parse(std::string_view text);
    // Takes the text without copying it.
    static IniDocument Adopt(std::string text);

    // The value of `key` in the first section named `section` (both matched
    // without regard to case), blanks around it removed and one pair of
    // enclosing double quotes taken off; nothing when either is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Replaces the key's line in place, or adds "key=value" at the end of the
    // section, or adds the section at the end of the text. A line break in
    // `value` ends it there: one value can never become several lines.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& Serialize() const { return text_; }

private:
    struct LineSpan {
        std::size_t start = 0;
        std::size_t bodyEnd = 0; // before "\r\n" or "\n"
        std::size_t next = 0;    // start of the next line
    };
    // Where the first section of a name lies. The last one asked for is
    // remembered (and kept right through edits inside it), so the ten keys
    // of the settings cost two passes over a large file, not twenty.
    struct SectionSpan {
        std::string name;
        bool found = false;
        std::size_t bodyStart = 0; // after the header line
        std::size_t end = 0;       // the next header line, or the end of the text
    };
    const SectionSpan& FindSection(std::string_view section) const;
    // The line at `pos`, moving `pos` to the next; false at the end.
    bool NextLine(std::size_t& pos, LineSpan& line) const;
    std::string_view Body(const LineSpan& line) const;
    std::string NewLineEnd() const;

    std::string text_;
    mutable std::optional<SectionSpan> cache_;
};

// Classic profile number: optional sign, then decimal digits; 0 when the text
// does not begin with a number; saturates at the limits of int.
int ParseProfileInt(std::string_view text);

} // namespace mixora
