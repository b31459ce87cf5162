// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Mpris.h"
#include "app/TestFiles.h"
#include "desktop/RunningCopy.h"
#include "support/QtPrinters.h"
#include "support/RunningProgram.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <memory>

#include <sys/prctl.h>

// The kernel's guard against writable code (Linux 6.3); older headers lack it.
#ifndef PR_SET_MDWE
#define PR_SET_MDWE 65
#define PR_GET_MDWE 66
#define PR_MDWE_REFUSE_EXEC_GAIN 1
#endif

// The built program on a private session bus (the test runs inside
// dbus-run-session), driven by a media controller nobody here wrote.
namespace {

constexpr int kTimeoutMs = RunningProgram::kCeiling;

// What the command printed (its errors too when merged), once it has ended.
QString run(const QString& program, const QStringList& arguments,
            QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
{
    QProcess process;
    process.setProcessChannelMode(channels);
    process.start(program, arguments);
    process.waitForFinished(kTimeoutMs);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString playerctl(const QString& arguments)
{
    return run(QStringLiteral("playerctl"), QStringLiteral("-p quillon ").append(arguments).split(u' '));
}

// The program in the local room of this terminal, with "me" as its owner.
const QStringList kOwned {"--headless", "--screen-name", "me"};

bool missingTools(const std::initializer_list<const char*>& tools)
{
    for (const char* tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::printf("skipped: %s is missing\n", tool);
            return true;
        }
    }
    return qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
}

// A radio station on this machine: an endless MP3 whose title comes every
// kInterval bytes, as Icecast and Shoutcast servers send it. Twice as fast
// as it plays, so the player always has enough.
class Station : public QObject {
public:
    static constexpr int kInterval = 8192;
    explicit Station(QByteArray audio) : m_audio(std::move(audio))
    {
        m_server.listen(QHostAddress::LocalHost);
        // Whatever a listener asks, the answer is the stream; its request
        // is left unread.
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection()) {
                client->write("ICY 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: Loopback Radio\r\nicy-metaint: "
                              + QByteArray::number(kInterval) + "\r\n\r\n");
                m_sent.insert(client, 0);
            }
        });
        connect(&m_pace, &QTimer::timeout, this, &Station::send);
        m_pace.start(100);
    }
    quint16 port() const { return m_server.serverPort(); }
    // The station goes off the air.
    void stop()
    {
        m_pace.stop();
        for (QTcpSocket* client : m_sent.keys())
            client->disconnectFromHost();
        m_sent.clear();
        m_server.close();
    }

    QString title;

private:
    void send()
    {
        for (auto [client, at] : m_sent.asKeyValueRange()) {  // at: the count kept in m_sent
            QByteArray chunk;
            for (int i = 0; i < 3200; ++i) {
                chunk += m_audio.at(at % m_audio.size());
                if (++at % kInterval == 0)
                    chunk += metadata();
            }
            client->write(chunk);
        }
    }
    QByteArray metadata() const
    {
        QByteArray block = "StreamTitle='" + title.toUtf8() + "';";
        block.append(QByteArray((16 - block.size() % 16) % 16, '\0'));
        return char(block.size() / 16) + block;
    }

    QTcpServer m_server;
    QTimer m_pace;
    QByteArray m_audio;
    // Each listener and how much of the stream it has been sent.
    QHash<QTcpSocket*, qint64> m_sent;
};

// What the player tells the desktop: each PropertiesChanged's Metadata.
class MetadataHeard : public QObject {
    Q_OBJECT
public:
    MetadataHeard()
    {
        QDBusConnection::sessionBus().connect(
            {}, QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"), this, SLOT(changed(QString, QVariantMap, QStringList)));
    }
    QList<QVariantMap> sent;
public Q_SLOTS:
    void changed(const QString&, const QVariantMap& properties, const QStringList&)
    {
        if (properties.contains(QStringLiteral("Metadata")))
            sent.append(qdbus_cast<QVariantMap>(properties.value(QStringLiteral("Metadata"))));
    }
};

double position()
{
    return playerctl(QStringLiteral("position")).toDouble();
}

// Run as the bot's unit runs it, with memory never both writable and
// executable, the player library plays; each key says in the room exactly
// what the owner's command says, and the desktop hears of each song once,
// with its length and cover, and seeks and shuffles.
TEST(MediaKeys, DoWhatTheOwnersCommandsDoAndTellTheDesktopWhatPlays)
{
    if (missingTools({"playerctl", "sox", "lame", "ffmpeg"}))
        GTEST_SKIP() << "needs a session bus (dbus-run-session), playerctl, sox, lame and ffmpeg";
    // Songs long enough to be still playing when the test has done; the second is tagged.
    QTemporaryDir home;
    const QString alpha = home.filePath("Alpha.wav"), cover = home.filePath("cover.png");
    run("sox", {"-n", "-r", "8000", "-c", "1", alpha, "synth", "30", "sine", "440"});
    run("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "color=c=red:s=32x32", "-frames:v", "1", cover});
    run("lame",
        {"--quiet", "--tt", "Blue Morning", "--ta", "Ana Reyes", "--tl", "Harbour", "--ti", cover, alpha,
         home.filePath("Beta.mp3")});
    // What the unit's MemoryDenyWriteExecute asks, where the kernel offers it.
    if (prctl(PR_GET_MDWE, 0, 0, 0, 0) < 0)
        std::printf("note: this kernel cannot refuse writable code; played without that guard\n");
    MetadataHeard heard;
    RunningProgram quillon(home.path());
    quillon.process.setChildProcessModifier([] { prctl(PR_SET_MDWE, PR_MDWE_REFUSE_EXEC_GAIN, 0, 0, 0); });
    ASSERT_TRUE(quillon.start(kOwned, "found screen name"));
    // One name each on the bus: a second copy (on files of its own) takes
    // the name of its instance.
    {
        RunningProgram second(home.path());
        ASSERT_TRUE(second.start({"--headless", "--profile", "two"}, "found screen name"));
        const QString name = "org.mpris.MediaPlayer2.quillon";
        QStringList names = QDBusConnection::sessionBus().interface()->registeredServiceNames().value().filter(name);
        names.sort();
        EXPECT_EQ(names, QStringList({name, name + ".instance" + QString::number(second.process.processId())}));
    }
    quillon.type("dir " + home.path().replace(u'/', u'\\'));
    ASSERT_FALSE(quillon.lineWith("ir - F</b>iles:2").isEmpty());

    // With nothing chosen yet, play-pause starts the first song.
    // A key's line and the owner's command, the room's line (a part of it), the status.
    const char* const steps[][3] = {
        {"key play-pause", "Alpha", "Playing"}, {"key play-pause", "Paused.", "Paused"},
        {"unpause", "Unpaused.", "Playing"},    {"pause", "Paused.", "Paused"},
        {"key play", "Unpaused.", "Playing"},   {"key next", "Beta", "Playing"},
        {"prev", "Alpha", "Playing"},           {"next", "Beta", "Playing"},
        {"stop", "Stopped.", "Stopped"},        {"key play", "Unpaused.", "Playing"},
        {"key stop", "Stopped.", "Stopped"},
    };
    std::map<QString, QString> firstLines;
    bool betaHeard = false;
    for (const auto& [command, said, status] : steps) {
        SCOPED_TRACE(command);
        const QString typed = command;
        typed.startsWith("key ") ? void(playerctl(typed.mid(4))) : quillon.type(typed);
        const QString line = quillon.lineWith(said);
        ASSERT_FALSE(line.isEmpty());
        EXPECT_EQ(line, firstLines.try_emplace(said, line).first->second);
        EXPECT_EQ(playerctl("status"), status);
        if (firstLines.size() == 1) {
            EXPECT_EQ(playerctl("metadata --format {{title}}|{{artist}}"), "Alpha|");
            EXPECT_TRUE(QTest::qWaitFor([] { return playerctl("metadata mpris:length") == "30000000"; }, kTimeoutMs));
            ASSERT_TRUE(QTest::qWaitFor([] { return position() > 1; }, kTimeoutMs));
            ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.sent.isEmpty(); }, kTimeoutMs));
            ASSERT_EQ(heard.sent.size(), 1);
            EXPECT_EQ(heard.sent.at(0).value("mpris:length").toLongLong(), 30000000);
            EXPECT_FALSE(heard.sent.at(0).contains("mpris:artUrl"));

            playerctl("position 20");
            EXPECT_TRUE(QTest::qWaitFor([] { return position() >= 20; }, kTimeoutMs));
            playerctl("position 10-");
            EXPECT_TRUE(QTest::qWaitFor([] { return position() < 15; }, kTimeoutMs));
            playerctl("shuffle On");
            EXPECT_FALSE(quillon.lineWith("random on").isEmpty());
            EXPECT_EQ(playerctl("shuffle"), "On");
            playerctl("shuffle Off");
            EXPECT_FALSE(quillon.lineWith("random off").isEmpty());
        } else if (QLatin1String(said) == "Beta") {
            EXPECT_EQ(playerctl("metadata --format {{title}}|{{artist}}|{{album}}"), "Blue Morning|Ana Reyes|Harbour");
            if (std::exchange(betaHeard, true))
                continue;
            ASSERT_TRUE(QTest::qWaitFor([] { return position() > 1; }, kTimeoutMs));
            ASSERT_TRUE(QTest::qWaitFor([&] { return heard.sent.size() >= 2; }, kTimeoutMs));
            ASSERT_EQ(heard.sent.size(), 2);
            // To the millisecond libmpv tells (an MP3 carries its encoder's
            // padding), in the second the room shows.
            const qint64 length = heard.sent.at(1).value("mpris:length").toLongLong();
            EXPECT_EQ(std::llround(double(length) / 1e6), 30) << length;
            EXPECT_EQ(length % 1000, 0) << length;
            const QUrl art(heard.sent.at(1).value("mpris:artUrl").toString());
            EXPECT_TRUE(art.toLocalFile().startsWith(home.filePath(".cache/quillon/")));
            EXPECT_EQ(readFile(art.toLocalFile()), readFile(cover));
        }
    }

    // What is neither a file nor a stream is refused, and the caller told.
    EXPECT_TRUE(
        run("playerctl", {"-p", "quillon", "open", "file://" + home.filePath("none.mp3")}, QProcess::MergedChannels)
            .contains("Not a file or an http(s) stream"));

    // An address opened from the desktop joins the playlist (its ";" kept as
    // %3B) and plays; the station's own titles reach the room, as text, and
    // the desktop; a station going off the air stops the player and nothing
    // else.
    const QString wav = home.filePath("tone.wav"), mp3 = home.filePath("tone.mp3");
    run("sox", {"-n", "-r", "44100", "-c", "2", wav, "synth", "10", "sine", "440"});
    // Frames only, with no tag or header: the file loops without a seam.
    run("lame", {"--quiet", "-t", "-b", "128", wav, mp3});
    const QByteArray audio = readFile(mp3);
    ASSERT_FALSE(audio.isEmpty());
    Station station(audio);
    station.title = "Ana & Bo - Blue <Morning>";
    const QString address = QStringLiteral("http://127.0.0.1:%1/radio;live").arg(station.port());
    playerctl("open " + address);
    ASSERT_FALSE(quillon.lineWith("radio").isEmpty());
    EXPECT_FALSE(quillon.lineWith("Ana &amp; Bo - Blue &lt;Morning&gt;").isEmpty());
    EXPECT_TRUE(
        QTest::qWaitFor([] { return playerctl("metadata xesam:title") == "Ana & Bo - Blue <Morning>"; }, kTimeoutMs));
    EXPECT_EQ(playerctl("metadata mpris:length"), "");

    station.title = "Second Song";
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl("metadata xesam:title") == "Second Song"; }, kTimeoutMs));
    quillon.type("p?");
    EXPECT_FALSE(quillon.lineWith("Second Song").isEmpty());

    station.stop();
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl("status") == "Stopped"; }, kTimeoutMs));

    // One volume for the desktop and the room's "vol", kept for the next start.
    playerctl("volume 0.3");
    quillon.type("vol");
    EXPECT_FALSE(quillon.lineWith("Volume</u> 30").isEmpty());
    quillon.type("vol 60");
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl("volume").toDouble() == 0.6; }, kTimeoutMs));

    // Quit is the normal shut-down.
    run("dbus-send",
        {"--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.quillon", "/org/mpris/MediaPlayer2",
         "org.mpris.MediaPlayer2.Quit"});
    EXPECT_TRUE(quillon.unloaded());
    EXPECT_EQ(readFile(home.filePath(".local/share/quillon/playlist.txt")),
              QStringLiteral("Alpha;%1\r\nBeta;%2\r\nradio;%3\r\n")
                  .arg(alpha, home.filePath("Beta.mp3"), QString(address).replace(u';', "%3B"))
                  .toUtf8());
    RunningProgram again(home.path());
    ASSERT_TRUE(again.start(kOwned, "found screen name"));
    EXPECT_TRUE(QTest::qWaitFor([] { return playerctl("volume").toDouble() == 0.6; }, kTimeoutMs));
}

// Told to stop by the desktop session, the windows shut down as the owner's
// "end" would: the files and the windows' places are written.
TEST(MediaKeys, TheWindowsShutDownOnSigtermAsOnTheOwnersEnd)
{
    if (missingTools({"playerctl"}))
        GTEST_SKIP() << "needs a session bus (dbus-run-session) and playerctl";
    QTemporaryDir home;
    RunningProgram quillon(home.path());
    quillon.env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    quillon.env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    ASSERT_TRUE(quillon.start({}));
    // The media keys are published once the windows are up.
    ASSERT_TRUE(
        QTest::qWaitFor([] { return playerctl(QStringLiteral("status")) == QLatin1String("Stopped"); }, kTimeoutMs));
    // A copy in the terminal on the same files stops and raises no window.
    EXPECT_EQ(RunningProgram(home.path()).run({"--headless"}), 2);
    const QString config = home.path() + QStringLiteral("/.config/quillon/");
    ASSERT_TRUE(QFile::remove(config + QStringLiteral("settings.quillon")));
    quillon.process.terminate();
    ASSERT_TRUE(quillon.ended());
    EXPECT_EQ(quillon.status(), 0);
    for (const char* file : {"settings.quillon", "windows.conf"})
        EXPECT_TRUE(QFile::exists(config + QLatin1String(file))) << file;
}

// A window on the bus under the program's name, in this process.
class RaisableRoot : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanRaise READ canRaise)
public:
    bool canRaise() const { return true; }
    int raised = 0;
public Q_SLOTS:
    void Raise() { ++raised; }
};

// A second copy raises the window of the copy that holds its files, and
// not that of another copy which took the name first.
TEST(MediaKeys, OnlyTheCopyHoldingTheFilesIsRaised)
{
    if (missingTools({}))
        GTEST_SKIP() << "needs a session bus (dbus-run-session)";
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.quillon");
    RaisableRoot root;
    ASSERT_TRUE(bus.registerObject(Mpris::kObjectPath, &root, QDBusConnection::ExportAllContents));
    ASSERT_TRUE(bus.registerService(name));
    EXPECT_FALSE(raiseRunningCopy(QCoreApplication::applicationPid() + 1));
    EXPECT_EQ(root.raised, 0);
    EXPECT_TRUE(raiseRunningCopy(QCoreApplication::applicationPid()));
    EXPECT_EQ(root.raised, 1);
    bus.unregisterService(name);
    bus.unregisterObject(Mpris::kObjectPath);
}

TEST(NoSessionBus, NothingIsSaidAndTheProgramWorksAsBefore)
{
    QTemporaryDir home;
    RunningProgram quillon(home.path());
    quillon.env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    // Where the bus would be found without its address.
    quillon.env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    ASSERT_TRUE(quillon.start(kOwned, "found screen name"));
    quillon.type(QStringLiteral("end"));
    EXPECT_TRUE(quillon.unloaded());
    EXPECT_EQ(quillon.err, QByteArray());
}

}  // namespace

#include "MprisTest.moc"
