#include "platform/gst/gst_runtime.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gst/effect_element.h"

namespace mixora {

bool EnsureGstreamer(std::string* why) {
    static std::once_flag once;
    static std::string failure;
    std::call_once(once, [] {
        GError* error = nullptr;
        if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, &error)) {
            failure = std::string("GStreamer could not be started: ") +
                      (error ? error->message : "unknown reason");
            g_clear_error(&error);
            return;
        }
        if (!RegisterEffectElement()) {
            failure = "the effect element could not be registered with GStreamer";
        }
    });
    if (!failure.empty() && why) {
        *why = failure;
    }
    return failure.empty();
}

} // namespace mixora
