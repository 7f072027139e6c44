#pragma once
// Mixora on the session bus: the MPRIS 2 player the desktop's media keys and
// sound applets drive, and the one-instance hand-over. The bus name
// org.mpris.MediaPlayer2.mixora doubles as the lock that keeps a second
// copy from running: whoever owns it is the running Mixora, and a later
// start hands its files to it and ends.
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <string>
#include <vector>

#include "platform/gst/media_tags.h"
#include "platform/remote_player.h"

class QWidget;

namespace mixora {

enum class InstanceClaim {
    // This process owns the name and serves the bus.
    Owner,
    // Another Mixora runs; it has taken the items and been raised.
    HandedOver,
    // Another Mixora holds the name but did not answer.
    Unreachable,
    // No session bus: run alone, without D-Bus.
    NoBus,
};

class MprisService final : public QObject {
    Q_OBJECT
public:
    // `window` gives the window to raise (null before there is one).
    explicit MprisService(std::function<QWidget*()> window);
    ~MprisService() override;

    // Takes the bus name, or hands `items` (absolute paths or URIs) and
    // `enqueue` to the Mixora that has it. Blocks for one round trip to the
    // bus (a few milliseconds), more only while another copy answers.
    InstanceClaim Claim(const std::vector<std::string>& items, bool enqueue);

    // From now on requests reach `player`; those that came before it (a
    // second start during start-up) are run now, in order.
    void Attach(IRemotePlayer& player);
    // Before the player goes away; requests then wait as before Attach.
    void Detach();

    // Where the playing file's title, artist and album come from (the media
    // module's tag reader); without one the title is the file's name.
    void SetTagReader(std::function<bool(const std::string&, MediaTags&)> reader) {
        readTags_ = std::move(reader);
    }

    // ---- what the adaptors ask (UI thread) --------------------------------
    IRemotePlayer* Player() { return player_; }
    void Raise();
    void OpenItems(std::vector<std::string> items, OpenMode mode);
    void AnnounceSeek();
    QVariantMap PlayerProperties();

private:
    void StatusChanged();
    QVariantMap Metadata(const PlayerStatus& s);

    std::function<QWidget*()> window_;
    QDBusConnection bus_;
    bool registered_ = false;
    IRemotePlayer* player_ = nullptr;
    std::vector<std::pair<std::vector<std::string>, OpenMode>> pending_;
    QVariantMap announced_;
    std::function<bool(const std::string&, MediaTags&)> readTags_;
    // The last file whose tags were read: the status is compared after every
    // message, the tags are read once per file.
    std::string taggedPath_;
    MediaTags tagged_;
};

} // namespace mixora
