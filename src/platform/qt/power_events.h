#pragma once
#include <QObject>
#include <functional>

#include "platform/window_host.h"

namespace mixora {

// Suspend and resume of the machine, from logind's PrepareForSleep signal on
// the system bus, arrive at the window as WM_POWERBROADCAST with
// PBT_APMSUSPEND (going to sleep) or PBT_APMRESUMESUSPEND (woken up).
// Without a system bus nothing arrives.
class PowerEvents final : public QObject {
    Q_OBJECT
public:
    explicit PowerEvents(IWindowHost& host, QObject* parent = nullptr);
    bool Connected() const { return connected_; }
    // Runs at once when the machine is about to sleep, before the window
    // hears of it: logind may suspend as soon as the signal is handled.
    void SetBeforeSuspend(std::function<void()> work) { beforeSuspend_ = std::move(work); }

public slots:
    void OnPrepareForSleep(bool goingToSleep);

private:
    IWindowHost& host_;
    std::function<void()> beforeSuspend_;
    bool connected_ = false;
};

} // namespace mixora
