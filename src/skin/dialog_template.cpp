#include "skin/dialog_template.h"

#include <array>
#include <cstdint>
#include <limits>
#include <utility>

#include "skin/resource_source.h"
#include "skin/template_lines.h"

namespace mixora {
namespace {

constexpr std::array<std::pair<std::string_view, DialogControlKind>, 6> kClasses = {{
    {"static", DialogControlKind::Static},
    {"radio", DialogControlKind::RadioButton},
    {"groupbox", DialogControlKind::GroupBox},
    {"edit", DialogControlKind::Edit},
    {"listbox", DialogControlKind::ListBox},
    {"button", DialogControlKind::Button},
}};

std::optional<DialogControlKind> ClassOf(const TemplateToken& token) {
    if (token.quoted) {
        return std::nullopt;
    }
    for (const auto& [name, kind] : kClasses) {
        if (token.text == name) {
            return kind;
        }
    }
    return std::nullopt;
}

bool ParseControl(const TemplateLine& line, DialogControlKind kind, DialogControl& out) {
    if (line.size() < 6) {
        return false;
    }
    std::array<int, 5> n{};
    for (std::size_t i = 0; i < n.size(); ++i) {
        auto value = TemplateNumber(line[i + 1]);
        if (!value) {
            return false;
        }
        n[i] = *value;
    }
    // Right and bottom must be numbers too: a box that runs past the largest
    // int is as damaged as a negative size.
    constexpr int kMax = std::numeric_limits<int>::max();
    if (n[3] < 0 || n[4] < 0 || n[1] > kMax - n[3] || n[2] > kMax - n[4]) {
        return false;
    }
    // The far edges are worked out in 64 bits: a control whose right or
    // bottom edge would not fit an int is refused, never wrapped around.
    const std::int64_t right = std::int64_t{n[1]} + n[3];
    const std::int64_t bottom = std::int64_t{n[2]} + n[4];
    if (right > std::numeric_limits<int>::max() || bottom > std::numeric_limits<int>::max()) {
        return false;
    }
    out.kind = kind;
    out.id = n[0];
    out.rect = {n[1], n[2], static_cast<int>(right), static_cast<int>(bottom)};
    bool hasText = false;
    for (std::size_t i = 6; i < line.size(); ++i) {
        const TemplateToken& token = line[i];
        if (token.quoted) {
            if (hasText) {
                return false;
            }
            out.text = token.text;
            hasText = true;
        } else if (token.text == "sort") {
            out.sorted = true;
        } else if (token.text == "notify") {
            out.notify = true;
        } else if (token.text == "default") {
            out.defaultButton = true;
        } else if (token.text != "autohscroll") {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text) {
    auto lines = SplitTemplateLines(text);
    if (!lines) {
        return std::nullopt;
    }
    DialogTemplate tmpl;
    for (const TemplateLine& line : *lines) {
        const TemplateToken& head = line.front();
        if (head.quoted) {
            return std::nullopt;
        }
        if (head.text == "caption") {
            if (line.size() != 2 || !line[1].quoted) {
                return std::nullopt;
            }
            tmpl.caption = line[1].text;
        } else if (head.text == "size") {
            if (line.size() != 3) {
                return std::nullopt;
            }
            auto w = TemplateNumber(line[1]);
            auto h = TemplateNumber(line[2]);
            if (!w || !h || *w <= 0 || *h <= 0) {
                return std::nullopt;
            }
            tmpl.width = *w;
            tmpl.height = *h;
        } else if (auto kind = ClassOf(head)) {
            DialogControl control;
            if (!ParseControl(line, *kind, control)) {
                return std::nullopt;
            }
            tmpl.controls.push_back(std::move(control));
        } else {
            return std::nullopt;
        }
    }
    if (tmpl.width == 0) {
        return std::nullopt;
    }
    return tmpl;
}

std::optional<DialogTemplate> LoadDialogTemplate(const IResourceModule& resources, int id) {
    auto bytes = resources.FindResource("DIALOG", ResourceName::Id(id));
    if (!bytes) {
        return std::nullopt;
    }
    return ParseDialogTemplate(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

} // namespace mixora
