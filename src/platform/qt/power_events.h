#pragma once
#include <QDBusUnixFileDescriptor>
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
    // hears of it. While it is set, logind is asked to wait for it (a
    // "delay" sleep inhibitor, let go once the work is done and taken again
    // on waking).
    void SetBeforeSuspend(std::function<void()> work);

public slots:
    void OnPrepareForSleep(bool goingToSleep);

private:
    void TakeSleepDelay();

    IWindowHost& host_;
    std::function<void()> beforeSuspend_;
    // Held open, it makes logind wait before suspending; closed, it lets go.
    QDBusUnixFileDescriptor sleepDelay_;
    bool connected_ = false;
};

} // namespace mixora
