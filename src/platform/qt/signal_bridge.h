#pragma once
#include <QObject>
#include <memory>

#include "platform/window_host.h"

class QSocketNotifier;

namespace mixora {

// SIGTERM and SIGINT (a logout, a kill, Ctrl+C) become WM_CLOSE, so the
// program ends the way it always does and writes its settings. The signal
// handler only writes a byte to a pipe; the window gets the message from the
// event loop.
class SignalBridge final : public QObject {
public:
    explicit SignalBridge(IWindowHost& host, QObject* parent = nullptr);
    ~SignalBridge() override;

private:
    void OnSignal();

    IWindowHost& host_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace mixora
