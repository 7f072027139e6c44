#include "device/menu_template.h"

#include <charconv>
#include <string_view>

#include "skin/resource_source.h"

namespace mixora {
namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// Reads a quoted text at the start of `s`; the rest follows in `s`.
std::optional<std::string> TakeQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] != '"') {
            out.push_back(s[i]);
        } else if (i + 1 < s.size() && s[i + 1] == '"') {
            out.push_back('"');
            ++i;
        } else {
            s = Trim(s.substr(i + 1));
            return out;
        }
    }
    return std::nullopt;
}

bool StartsWithWord(std::string_view& s, std::string_view word) {
    if (s.substr(0, word.size()) != word ||
        (s.size() > word.size() && s[word.size()] != ' ' && s[word.size()] != '\t')) {
        return false;
    }
    s = Trim(s.substr(word.size()));
    return true;
}

// ", 40002[, MENUBARBREAK ...]" after an item's text.
std::optional<MenuTemplateItem> ParseItemTail(std::string text, std::string_view rest) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = rest.find(',', start);
        fields.push_back(Trim(rest.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() < 2 || !fields[0].empty()) {
        return std::nullopt;
    }
    MenuTemplateItem item;
    item.text = std::move(text);
    const std::string_view number = fields[1];
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), item.id);
    if (ec != std::errc{} || end != number.data() + number.size() || item.id == 0 ||
        item.id > 0xFFFF) {
        return std::nullopt;
    }
    for (std::size_t f = 2; f < fields.size(); ++f) {
        if (fields[f] == "MENUBARBREAK") {
            item.flags |= MF_MENUBARBREAK;
        } else if (fields[f] == "MENUBREAK") {
            item.flags |= MF_MENUBREAK;
        } else {
            return std::nullopt;
        }
    }
    return item;
}

} // namespace

std::optional<std::vector<MenuTemplatePopup>>
ParseMenuTemplate(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<MenuTemplatePopup> popups;
    bool inPopup = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t eol = std::min(text.find('\n', pos), text.size());
        std::string_view line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!inPopup) {
            if (!StartsWithWord(line, "POPUP")) {
                return std::nullopt;
            }
            std::optional<std::string> name = TakeQuoted(line);
            if (!name || !line.empty()) {
                return std::nullopt;
            }
            popups.push_back({std::move(*name), {}});
            inPopup = true;
        } else if (line == "END") {
            inPopup = false;
        } else if (StartsWithWord(line, "MENUITEM")) {
            if (line == "SEPARATOR") {
                popups.back().items.push_back({});
                continue;
            }
            std::optional<std::string> itemText = TakeQuoted(line);
            if (!itemText) {
                return std::nullopt;
            }
            std::optional<MenuTemplateItem> item = ParseItemTail(std::move(*itemText), line);
            if (!item) {
                return std::nullopt;
            }
            popups.back().items.push_back(std::move(*item));
        } else {
            return std::nullopt;
        }
    }
    if (inPopup) {
        return std::nullopt;
    }
    return popups;
}

std::optional<std::vector<MenuTemplatePopup>> LoadMenuTemplate(const IResourceModule& module,
                                                               int id) {
    const auto bytes = module.FindResource("MENU", ResourceName::Id(id));
    if (!bytes) {
        return std::nullopt;
    }
    return ParseMenuTemplate(*bytes);
}

} // namespace mixora
