#include "platform/qt/power_events.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace mixora {

PowerEvents::PowerEvents(IWindowHost& host, QObject* parent) : QObject(parent), host_(host) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) {
        connected_ = bus.connect(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
            this, SLOT(OnPrepareForSleep(bool)));
    }
}

void PowerEvents::SetBeforeSuspend(std::function<void()> work) {
    beforeSuspend_ = std::move(work);
    if (beforeSuspend_) {
        TakeSleepDelay();
    } else {
        sleepDelay_ = QDBusUnixFileDescriptor();
    }
}

void PowerEvents::TakeSleepDelay() {
    if (!connected_ || sleepDelay_.isValid()) {
        return;
    }
    QDBusInterface manager(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    // Without it the program only has the moments logind gives anyway.
    const QDBusReply<QDBusUnixFileDescriptor> lock =
        manager.call(QStringLiteral("Inhibit"), QStringLiteral("sleep"), QStringLiteral("Mixora"),
                     QStringLiteral("Keeping the sound settings"), QStringLiteral("delay"));
    if (lock.isValid()) {
        sleepDelay_ = lock.value();
    }
}

void PowerEvents::OnPrepareForSleep(bool goingToSleep) {
    if (goingToSleep) {
        if (beforeSuspend_) {
            beforeSuspend_();
        }
        sleepDelay_ = QDBusUnixFileDescriptor(); // done: the machine may sleep
    } else if (beforeSuspend_) {
        TakeSleepDelay();
    }
    host_.PostMessage(WM_POWERBROADCAST, goingToSleep ? PBT_APMSUSPEND : PBT_APMRESUMESUSPEND, 0);
}

} // namespace mixora
