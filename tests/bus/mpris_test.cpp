// Mixora on a private session bus (the test runs under dbus-run-session):
// MPRIS calls and properties as a desktop applet sees them, and drops on the
// window. A second start handing its files over is tested end to end.
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>

#include <fstream>

#include "platform/gst/media_tags.h"
#include "platform/qt/file_drop.h"
#include "platform/qt/mpris_service.h"

using namespace mixora;

namespace {

const QString kName = QStringLiteral("org.mpris.MediaPlayer2.mixora");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A player that keeps what it was asked and answers with `status`.
struct FakePlayer final : IRemotePlayer {
    PlayerStatus status;
    std::vector<TransportCommand> commands;
    std::vector<std::pair<std::vector<std::string>, OpenMode>> opened;
    std::vector<std::string> dropped;
    POINT dropPoint;
    double volume = -1.0, seekedTo = -1.0, position = 0.0;
    int repeat = -1;
    std::function<void()> listener;

    PlayerStatus Status() override { return status; }
    double PositionSeconds() override { return position; }
    void Transport(TransportCommand c) override { commands.push_back(c); }
    void SeekTo(double seconds) override { seekedTo = seconds; }
    void SetVolume(double f) override { volume = f; }
    void SetRepeatMode(int mode) override { repeat = mode; }
    void Open(std::vector<std::string> items, OpenMode mode) override {
        opened.emplace_back(std::move(items), mode);
    }
    void Drop(std::vector<std::string> items, POINT at) override {
        dropped = std::move(items);
        dropPoint = at;
    }
    void Quit() override {}
    void SetStatusListener(std::function<void()> changed) override { listener = changed; }
};

template <typename Done> bool SpinUntil(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

struct Mpris : ::testing::Test {
    FakePlayer player;
    MprisService service{[] { return nullptr; }};
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");

    Mpris() {
        player.status.entryCount = 3;
        EXPECT_EQ(service.Claim({}, false), InstanceClaim::Owner);
        service.Attach(player);
    }
    ~Mpris() override { QDBusConnection::disconnectFromBus("client"); }

    // A call from the other connection, answered while this thread's loop runs.
    QDBusMessage Call(const QString& iface, const QString& method, QVariantList args = {}) {
        QDBusMessage m = QDBusMessage::createMethodCall(kName, kPath, iface, method);
        m.setArguments(args);
        QDBusPendingCall call = client.asyncCall(m);
        EXPECT_TRUE(SpinUntil([&] { return call.isFinished(); }));
        return call.reply();
    }
    QVariant Get(const QString& name) {
        const QDBusMessage r = Call(kProperties, QStringLiteral("Get"), {kPlayer, name});
        return r.arguments().value(0).value<QDBusVariant>().variant();
    }
    void Set(const QString& name, const QVariant& value) {
        Call(kProperties, QStringLiteral("Set"),
             {kPlayer, name, QVariant::fromValue(QDBusVariant(value))});
    }
};

TEST_F(Mpris, MethodsReachThePlayerAndTheStatusFollows) {
    EXPECT_EQ(Get(QStringLiteral("PlaybackStatus")).toString(), "Stopped");
    player.status.playback = PlaybackStatus::Paused;
    EXPECT_EQ(Get(QStringLiteral("PlaybackStatus")).toString(), "Paused");
    Call(kPlayer, QStringLiteral("PlayPause"));
    Call(kPlayer, QStringLiteral("Next"));
    Call(kPlayer, QStringLiteral("Previous"));
    Call(kPlayer, QStringLiteral("Stop"));
    EXPECT_EQ(player.commands, (std::vector{TransportCommand::PlayPause, TransportCommand::Next,
                                            TransportCommand::Previous, TransportCommand::Stop}));
    Set(QStringLiteral("Volume"), 0.25);
    EXPECT_EQ(player.volume, 0.25);
    player.status.volume = 0.5;
    EXPECT_EQ(Get(QStringLiteral("Volume")).toDouble(), 0.5);
    Set(QStringLiteral("LoopStatus"), QStringLiteral("Track"));
    EXPECT_EQ(player.repeat, 1);
    Set(QStringLiteral("Shuffle"), true);
    EXPECT_EQ(player.repeat, 3);
    Call(kPlayer, QStringLiteral("OpenUri"), {QStringLiteral("file:///m/x.ogg")});
    ASSERT_EQ(player.opened.size(), 1u);
    EXPECT_EQ(player.opened[0].first, std::vector<std::string>{"file:///m/x.ogg"});
    EXPECT_EQ(player.opened[0].second, OpenMode::Replace);
}

TEST_F(Mpris, PositionsAreInMicroseconds) {
    player.status.entry = 1;
    player.status.lengthSeconds = 100.0;
    player.position = 30.0;
    EXPECT_EQ(Get(QStringLiteral("Position")).toLongLong(), 30000000LL);
    const QDBusObjectPath track(QStringLiteral("/org/mixora/track/1"));
    Call(kPlayer, QStringLiteral("SetPosition"),
         {QVariant::fromValue(track), QVariant::fromValue(qlonglong{40000000})});
    EXPECT_EQ(player.seekedTo, 40.0);
    Call(kPlayer, QStringLiteral("Seek"), {QVariant::fromValue(qlonglong{-5000000})});
    EXPECT_EQ(player.seekedTo, 25.0);
}

TEST_F(Mpris, TaggedFilesNameTheirTitleArtistAndAlbum) {
    // The tags as the module's reader finds them in a file.
    QTemporaryDir dir;
    const std::string wav = dir.filePath(QStringLiteral("t.wav")).toStdString();
    // A wave file of two silent 16-bit samples, then the tags.
    std::ofstream(wav, std::ios::binary) << std::string("RIFF(\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
                                                        "\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0"
                                                        "data\x04\0\0\0\0\0\0\0",
                                                        48);
    TagLib::RIFF::WAV::File file(wav.c_str());
    file.ID3v2Tag()->setTitle(TagLib::String("Überall", TagLib::String::UTF8));
    file.ID3v2Tag()->setArtist("Band");
    file.ID3v2Tag()->setAlbum("Record");
    ASSERT_TRUE(file.save());
    service.SetTagReader(ReadMediaTags);
    player.status.entry = 0;
    player.status.path = wav;
    const QVariantMap tagged = qdbus_cast<QVariantMap>(Get(QStringLiteral("Metadata")));
    EXPECT_EQ(tagged.value("xesam:title").toString(), QString::fromUtf8("Überall"));
    EXPECT_EQ(tagged.value("xesam:artist").toStringList(), QStringList{"Band"});
    EXPECT_EQ(tagged.value("xesam:album").toString(), "Record");
    const QDBusMessage root =
        Call(kProperties, QStringLiteral("Get"),
             {QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Identity")});
    EXPECT_EQ(root.arguments().value(0).value<QDBusVariant>().variant().toString(), "Mixora");
}

// Catches the PropertiesChanged signals the client connection sees.
class SignalCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QDBusMessage> seen;
public Q_SLOTS:
    void Catch(const QDBusMessage& m) { seen.push_back(m); }
};

TEST_F(Mpris, PropertiesChangedCarriesWhatChanged) {
    SignalCatcher catcher;
    ASSERT_TRUE(client.connect(QString(), kPath, kProperties, QStringLiteral("PropertiesChanged"),
                               &catcher, SLOT(Catch(QDBusMessage))));
    player.status.playback = PlaybackStatus::Playing;
    player.status.entry = 2;
    player.status.path = "/m/a b.ogg";
    player.status.lengthSeconds = 183.5;
    player.listener();
    ASSERT_TRUE(SpinUntil([&] { return !catcher.seen.empty(); }));
    const QList<QVariant> args = catcher.seen[0].arguments();
    EXPECT_EQ(args.value(0).toString(), kPlayer);
    const QVariantMap changed = qdbus_cast<QVariantMap>(args.value(1));
    EXPECT_EQ(changed.value("PlaybackStatus").toString(), "Playing");
    const QVariantMap meta = qdbus_cast<QVariantMap>(changed.value("Metadata"));
    EXPECT_EQ(meta.value("mpris:length").toLongLong(), 183500000LL);
    EXPECT_EQ(meta.value("mpris:trackid").value<QDBusObjectPath>().path(), "/org/mixora/track/2");
    EXPECT_EQ(meta.value("xesam:url").toString(), "file:///m/a%20b.ogg");
    EXPECT_EQ(meta.value("xesam:title").toString(), "a b"); // untagged: the file's name
    EXPECT_FALSE(changed.contains("Volume"));               // unchanged
    EXPECT_FALSE(changed.contains("LoopStatus"));
    // Nothing changed, nothing sent.
    player.listener();
    Call(kPlayer, QStringLiteral("Stop"));
    EXPECT_EQ(catcher.seen.size(), 1u);
}

TEST(FileDropTest, DroppedUrlsReachThePlayerWithThePoint) {
    FakePlayer player;
    QWidget window;
    FileDrop drop(window, player);
    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_FALSE(enter.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/m/a b.ogg"), QUrl("http://radio/s")});
    QDragEnterEvent over(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &over);
    EXPECT_TRUE(over.isAccepted());
    QDropEvent event(QPointF(12, 34), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
    EXPECT_TRUE(event.isAccepted());
    ASSERT_TRUE(SpinUntil([&] { return !player.dropped.empty(); }));
    EXPECT_EQ(player.dropped, (std::vector<std::string>{"/m/a b.ogg", "http://radio/s"}));
    EXPECT_EQ(player.dropPoint, (POINT{12, 34}));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "mpris_test.moc"
