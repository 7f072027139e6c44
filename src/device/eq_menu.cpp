#include "device/eq_menu.h"

#include <vector>

#include "device/device_window.h"
#include "device/language_text.h"
#include "device/menu_template.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {

void ShowEqMenu(CDeviceWindow& frame, int controlId, const IResourceModule& resources,
                const CLanguageText& language) {
    auto menu = LoadMenuTemplate(resources, kEqMenuResource);
    if (!menu || menu->empty()) {
        return;
    }
    std::vector<MenuItem> items;
    for (const MenuTemplateItem& item : menu->front().items) {
        MenuItem line{item.id, item.text, false};
        if (item.id != 0) {
            // The English text is the key of its translation.
            if (language.Translate("EQ", item.text, line.text)) {
                line.encoding = language.Encoding();
            }
        }
        items.push_back(std::move(line));
    }

    const CSkinControl* control = frame.Skin().Controls().Find(controlId);
    if (!control) {
        return;
    }
    const RECT box = control->m_rgn.Bounds();
    const POINT at =
        frame.Host().ClientToScreen({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    frame.Host().TrackPopupMenu(items, at);
}

} // namespace mixora
