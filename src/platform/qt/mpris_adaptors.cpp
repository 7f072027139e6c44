#include "platform/qt/mpris_adaptors.h"

#include <algorithm>

#include "platform/qt/mpris_service.h"

namespace mixora {
namespace {

QVariant Property(MprisService& s, const char* name) {
    return s.PlayerProperties().value(QString::fromLatin1(name));
}

constexpr double kMicroseconds = 1'000'000.0;

} // namespace

MprisRootAdaptor::MprisRootAdaptor(MprisService& service)
    : QDBusAbstractAdaptor(&service), s_(service) {}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"),      QStringLiteral("audio/ogg"),
            QStringLiteral("audio/flac"),      QStringLiteral("audio/x-wav"),
            QStringLiteral("audio/mp4"),       QStringLiteral("audio/x-vorbis+ogg"),
            QStringLiteral("audio/x-mpegurl"), QStringLiteral("audio/x-scpls")};
}

void MprisRootAdaptor::Raise() {
    s_.Raise();
}

void MprisRootAdaptor::Quit() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Quit();
    }
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService& service)
    : QDBusAbstractAdaptor(&service), s_(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return Property(s_, "PlaybackStatus").toString();
}

QString MprisPlayerAdaptor::LoopStatus() const {
    return Property(s_, "LoopStatus").toString();
}

void MprisPlayerAdaptor::SetLoopStatus(const QString& status) {
    IRemotePlayer* p = s_.Player();
    if (p == nullptr) {
        return;
    }
    if (status == QLatin1String("None")) {
        p->SetRepeatMode(0);
    } else if (status == QLatin1String("Track")) {
        p->SetRepeatMode(1);
    } else if (status == QLatin1String("Playlist")) {
        p->SetRepeatMode(2);
    }
}

bool MprisPlayerAdaptor::Shuffle() const {
    return Property(s_, "Shuffle").toBool();
}

void MprisPlayerAdaptor::SetShuffle(bool on) {
    IRemotePlayer* p = s_.Player();
    if (p == nullptr) {
        return;
    }
    if (on) {
        p->SetRepeatMode(3);
    } else if (p->Status().repeatMode == 3) {
        p->SetRepeatMode(2);
    }
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    return Property(s_, "Metadata").toMap();
}

double MprisPlayerAdaptor::Volume() const {
    return Property(s_, "Volume").toDouble();
}

void MprisPlayerAdaptor::SetVolume(double volume) {
    if (IRemotePlayer* p = s_.Player()) {
        p->SetVolume(volume);
    }
}

qlonglong MprisPlayerAdaptor::Position() const {
    IRemotePlayer* p = s_.Player();
    return p != nullptr ? static_cast<qlonglong>(p->PositionSeconds() * kMicroseconds) : 0;
}

bool MprisPlayerAdaptor::CanGoNext() const {
    return Property(s_, "CanGoNext").toBool();
}

bool MprisPlayerAdaptor::CanPlay() const {
    return Property(s_, "CanPlay").toBool();
}

bool MprisPlayerAdaptor::CanSeek() const {
    return Property(s_, "CanSeek").toBool();
}

void MprisPlayerAdaptor::Next() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::Next);
    }
}

void MprisPlayerAdaptor::Previous() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::Previous);
    }
}

void MprisPlayerAdaptor::Pause() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::Pause);
    }
}

void MprisPlayerAdaptor::PlayPause() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::PlayPause);
    }
}

void MprisPlayerAdaptor::Stop() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::Stop);
    }
}

void MprisPlayerAdaptor::Play() {
    if (IRemotePlayer* p = s_.Player()) {
        p->Transport(TransportCommand::Play);
    }
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    IRemotePlayer* p = s_.Player();
    if (p == nullptr) {
        return;
    }
    const double length = p->Status().lengthSeconds;
    const double target = p->PositionSeconds() + static_cast<double>(offset) / kMicroseconds;
    // Past the end is the next track; before the start is the start.
    if (length > 0.0 && target >= length) {
        p->Transport(TransportCommand::Next);
        return;
    }
    p->SeekTo(std::max(0.0, target));
    s_.AnnounceSeek();
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    IRemotePlayer* p = s_.Player();
    if (p == nullptr) {
        return;
    }
    const QVariantMap meta = Metadata();
    const double length = p->Status().lengthSeconds;
    const double target = static_cast<double>(position) / kMicroseconds;
    // A request for another track than the one playing is stale.
    if (meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>() != track ||
        target < 0.0 || target > length) {
        return;
    }
    p->SeekTo(target);
    s_.AnnounceSeek();
}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    s_.OpenItems({uri.toStdString()}, OpenMode::Replace);
}

InstanceAdaptor::InstanceAdaptor(MprisService& service)
    : QDBusAbstractAdaptor(&service), s_(service) {}

void InstanceAdaptor::Open(const QStringList& items, bool enqueue) {
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(items.size()));
    for (const QString& item : items) {
        list.push_back(item.toStdString());
    }
    if (!list.empty()) {
        s_.OpenItems(std::move(list), enqueue ? OpenMode::Append : OpenMode::Replace);
    }
    s_.Raise();
}

} // namespace mixora
