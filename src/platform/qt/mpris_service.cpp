#include "platform/qt/mpris_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

#include "platform/qt/mpris_adaptors.h"

namespace mixora {
namespace {

const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.mixora");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// A hand-over waits this long for the running copy (it may be busy with a
// modal dialog, which keeps answering the bus).
constexpr int kHandOverTimeoutMs = 10000;

// Whether a session bus can be there at all. Without this look, the bus
// library would try to start one for the display (a fork and a failed exec
// on every start outside a desktop session).
bool SessionBusAnnounced() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

bool IsUriText(const std::string& item) {
    return item.find("://") != std::string::npos;
}

QString LoopStatusOf(int mode) {
    switch (mode) {
    case 1:
        return QStringLiteral("Track");
    case 2:
    case 3: // random order goes on for ever, as the whole list again would
        return QStringLiteral("Playlist");
    default:
        return QStringLiteral("None");
    }
}

} // namespace

MprisService::MprisService(std::function<QWidget*()> window)
    : window_(std::move(window)), bus_(QString()) {
    new MprisRootAdaptor(*this);
    new MprisPlayerAdaptor(*this);
    new InstanceAdaptor(*this);
}

MprisService::~MprisService() {
    Detach();
    if (registered_) {
        bus_.unregisterObject(kObjectPath);
        bus_.unregisterService(kBusName);
    }
}

InstanceClaim MprisService::Claim(const std::vector<std::string>& items, bool enqueue) {
    if (!SessionBusAnnounced()) {
        return InstanceClaim::NoBus;
    }
    bus_ = QDBusConnection::sessionBus();
    if (!bus_.isConnected() || bus_.interface() == nullptr) {
        return InstanceClaim::NoBus;
    }
    // The object is there before the name: a second start may call it the
    // moment the name is taken.
    if (!bus_.registerObject(kObjectPath, this)) {
        return InstanceClaim::NoBus;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(kBusName, QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        registered_ = true;
        return InstanceClaim::Owner;
    }
    bus_.unregisterObject(kObjectPath);
    QStringList list;
    for (const std::string& item : items) {
        list << QString::fromStdString(item);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        kBusName, kObjectPath, QStringLiteral("org.mixora.Instance"), QStringLiteral("Open"));
    call << list << enqueue;
    const QDBusMessage answer = bus_.call(call, QDBus::Block, kHandOverTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage ? InstanceClaim::HandedOver
                                                       : InstanceClaim::Unreachable;
}

void MprisService::Attach(IRemotePlayer& player) {
    player_ = &player;
    if (registered_) {
        // Without the bus nobody listens: changes are not even compared.
        announced_ = PlayerProperties();
        player.SetStatusListener([this] { StatusChanged(); });
    }
    auto pending = std::move(pending_);
    pending_.clear();
    for (auto& [items, mode] : pending) {
        player.Open(std::move(items), mode);
    }
}

void MprisService::Detach() {
    if (player_ != nullptr) {
        player_->SetStatusListener({});
        player_ = nullptr;
    }
}

void MprisService::Raise() {
    QWidget* w = window_ ? window_() : nullptr;
    if (w == nullptr) {
        return;
    }
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
}

void MprisService::OpenItems(std::vector<std::string> items, OpenMode mode) {
    if (player_ == nullptr) {
        pending_.emplace_back(std::move(items), mode);
    } else {
        player_->Open(std::move(items), mode);
    }
}

void MprisService::AnnounceSeek() {
    if (player_ == nullptr) {
        return;
    }
    if (auto* adaptor = findChild<MprisPlayerAdaptor*>()) {
        Q_EMIT adaptor->Seeked(static_cast<qlonglong>(player_->PositionSeconds() * 1'000'000.0));
    }
}

QVariantMap MprisService::Metadata(const PlayerStatus& s) {
    QVariantMap m;
    if (s.entry < 0) {
        m.insert(QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(
                     QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return m;
    }
    m.insert(
        QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mixora/track/%1").arg(s.entry))));
    if (s.lengthSeconds > 0.0) {
        m.insert(QStringLiteral("mpris:length"),
                 static_cast<qlonglong>(s.lengthSeconds * 1'000'000.0 + 0.5));
    }
    const QString text = QString::fromStdString(s.path);
    const QUrl url = IsUriText(s.path) ? QUrl(text) : QUrl::fromLocalFile(text);
    if (s.path != taggedPath_) {
        taggedPath_ = s.path;
        tagged_ = {};
        if (readTags_ && !IsUriText(s.path)) {
            readTags_(s.path, tagged_);
        }
    }
    // Without a title tag the title is the file's name without its extension,
    // as the playlist shows it.
    m.insert(QStringLiteral("xesam:title"), tagged_.title.empty()
                                                ? QFileInfo(url.path()).completeBaseName()
                                                : QString::fromStdString(tagged_.title));
    if (!tagged_.artist.empty()) {
        m.insert(QStringLiteral("xesam:artist"),
                 QStringList{QString::fromStdString(tagged_.artist)});
    }
    if (!tagged_.album.empty()) {
        m.insert(QStringLiteral("xesam:album"), QString::fromStdString(tagged_.album));
    }
    m.insert(QStringLiteral("xesam:url"), url.toString(QUrl::FullyEncoded));
    return m;
}

QVariantMap MprisService::PlayerProperties() {
    const PlayerStatus s = player_ != nullptr ? player_->Status() : PlayerStatus{};
    QVariantMap p;
    p.insert(QStringLiteral("PlaybackStatus"),
             s.playback == PlaybackStatus::Playing  ? QStringLiteral("Playing")
             : s.playback == PlaybackStatus::Paused ? QStringLiteral("Paused")
                                                    : QStringLiteral("Stopped"));
    p.insert(QStringLiteral("LoopStatus"), LoopStatusOf(s.repeatMode));
    p.insert(QStringLiteral("Shuffle"), s.repeatMode == 3);
    p.insert(QStringLiteral("Volume"), s.volume);
    p.insert(QStringLiteral("Metadata"), Metadata(s));
    const bool any = s.entryCount > 0;
    p.insert(QStringLiteral("CanGoNext"), any);
    p.insert(QStringLiteral("CanGoPrevious"), any);
    p.insert(QStringLiteral("CanPlay"), any);
    p.insert(QStringLiteral("CanPause"), any);
    p.insert(QStringLiteral("CanSeek"), s.lengthSeconds > 0.0);
    return p;
}

void MprisService::StatusChanged() {
    const QVariantMap now = PlayerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (announced_.value(it.key()) != it.value()) {
            changed.insert(it.key(), it.value());
        }
    }
    announced_ = now;
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

} // namespace mixora
