#include "platform/qt/power_events.h"

#include <QDBusConnection>

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

void PowerEvents::OnPrepareForSleep(bool goingToSleep) {
    if (goingToSleep && beforeSuspend_) {
        beforeSuspend_();
    }
    host_.PostMessage(WM_POWERBROADCAST, goingToSleep ? PBT_APMSUSPEND : PBT_APMRESUMESUSPEND, 0);
}

} // namespace mixora
