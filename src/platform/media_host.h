#pragma once
// What a media control needs from the main window beyond IWindowHost: a way
// back to the UI thread from the media engine's own threads, and the place
// where the media's picture is shown. The window host implements it.
#include <cstdint>
#include <functional>

#include "platform/messages.h"

namespace mixora {

class IMediaHost {
public:
    virtual ~IMediaHost() = default;

    // Any thread. Queues `task` to run later on the UI thread from the
    // message loop, in order with the messages posted to the window. Tasks
    // still queued when the host goes away are dropped.
    virtual void PostTask(std::function<void()> task) = 0;

    // UI thread. Hands a message to the window procedure now. Meant for
    // tasks that have checked the message is still wanted (its control still
    // exists) at the moment of delivery: a posted message could not be
    // recalled any more once its control is gone.
    virtual LRESULT DeliverMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // UI thread. Shows `pixels` (`width` x `height`, 0xAARRGGBB, rows top
    // first, copied before returning) over the window's picture, stretched to
    // `rect` (window coordinates), inside the window's outline. Only `rect`
    // is repainted. Null pixels take the picture away again and the window's
    // own picture shows there.
    virtual void SetMediaPicture(const RECT& rect, const std::uint32_t* pixels, int width,
                                 int height) = 0;
};

} // namespace mixora
