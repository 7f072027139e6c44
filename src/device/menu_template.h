#pragma once
// Popup menus kept as program resources of type "MENU", in the resource
// script's own words:
//
//   POPUP "Env"
//       MENUITEM "Generic", 40002
//       MENUITEM "Stone Corridor", 40015, MENUBARBREAK
//       MENUITEM SEPARATOR
//   END
//
// Blank lines and lines starting with ';' are skipped; a '"' inside a text
// is written twice.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mixora {

class IResourceModule;

inline constexpr std::uint32_t MF_MENUBREAK = 0x40;
inline constexpr std::uint32_t MF_MENUBARBREAK = 0x20;

struct MenuTemplateItem {
    std::uint32_t id = 0; // 0: a separator
    std::string text;
    std::uint32_t flags = 0;
};

struct MenuTemplatePopup {
    std::string text;
    std::vector<MenuTemplateItem> items;
};

// The popups of a menu text; nothing when a line cannot be understood.
std::optional<std::vector<MenuTemplatePopup>> ParseMenuTemplate(std::span<const std::uint8_t> text);
// Menu resource `id` of `module`; nothing when it is missing or damaged.
std::optional<std::vector<MenuTemplatePopup>> LoadMenuTemplate(const IResourceModule& module,
                                                               int id);

} // namespace mixora
