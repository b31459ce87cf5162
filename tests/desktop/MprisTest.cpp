#include "toc/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// The built program on a private session bus (the test runs inside
// dbus-run-session), driven by a media controller nobody here wrote.
namespace {

constexpr int kTimeoutMs = 30000;

bool have(const char* program)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

// The program in the local room of this terminal, with its files in a
// folder of its own and every line it posts kept in order.
class Quillon {
public:
    explicit Quillon(const QString& home, QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
    {
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_out += m_process.readAllStandardOutput();
            for (qsizetype end; (end = m_out.indexOf('\n')) >= 0; m_out.remove(0, end + 1))
                m_lines.append(QString::fromUtf8(m_out.left(end)));
        });
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { errors += m_process.readAllStandardError(); });
        m_process.start(QStringLiteral(QUILLON_BINARY),
                        {QStringLiteral("--headless"), QStringLiteral("--screen-name"), QStringLiteral("me")});
    }
    ~Quillon()
    {
        m_process.kill();
        m_process.waitForFinished(kTimeoutMs);
    }

    qint64 pid() const { return m_process.processId(); }
    void say(const QString& line) { m_process.write(line.toUtf8() + '\n'); }
    void endInput() { m_process.closeWriteChannel(); }

    // The first line not taken yet that holds the text; empty when none
    // comes in time.
    QString lineWith(const QString& text)
    {
        QString found;
        waitFor(
            [&] {
                for (qsizetype i = m_taken; i < m_lines.size(); ++i) {
                    if (m_lines.at(i).contains(text)) {
                        found = m_lines.at(i);
                        m_taken = i + 1;
                        return true;
                    }
                }
                return false;
            },
            kTimeoutMs);
        return found;
    }
    // The owner is known once the start line has come back.
    bool ownerFound() { return !lineWith(QStringLiteral("found screen name")).isEmpty(); }

    bool endedNormally()
    {
        return waitFor([&] { return m_process.state() == QProcess::NotRunning; }, kTimeoutMs)
            && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    QByteArray errors;

private:
    QProcess m_process;
    QByteArray m_out;
    QStringList m_lines;
    qsizetype m_taken = 0;
};

// What the command printed, once it has ended.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kTimeoutMs))
        return QStringLiteral("(no answer)");
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString playerctl(const QString& player, const QStringList& arguments)
{
    return run(QStringLiteral("playerctl"), QStringList {QStringLiteral("-p"), player} + arguments);
}

QString playerctl(const QStringList& arguments)
{
    return playerctl(QStringLiteral("quillon"), arguments);
}

QString playerctl(const QString& argument)
{
    return playerctl(argument.split(u' '));
}

// Asks until the answer is the one wanted; the answer last given.
QString playerctlUntil(const QString& argument, const std::function<bool(const QString&)>& wanted)
{
    QString answer;
    waitFor([&] { return wanted(answer = playerctl(argument)); }, kTimeoutMs);
    return answer;
}

struct MediaKeys : ::testing::Test {
    QTemporaryDir home;

    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
        if (!have("playerctl") || !have("sox"))
            GTEST_SKIP() << "playerctl or sox is missing (packages playerctl, sox)";
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/data/quillon")));
    }

    // A song long enough to be still playing when the test has done.
    QString song(const QString& file)
    {
        const QString path = home.path() + u'/' + file;
        run(QStringLiteral("sox"), QStringLiteral("-n -r 8000 -c 1 %1 synth 30 sine 440").arg(path).split(u' '));
        EXPECT_TRUE(QFile::exists(path));
        return path;
    }

    void writePlaylist(const QStringList& lines)
    {
        QFile file(home.path() + QStringLiteral("/data/quillon/playlist.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    }
};

TEST_F(MediaKeys, DoWhatTheOwnersCommandsDoAndTellTheDesktopWhatPlays)
{
    const QString alpha = song(QStringLiteral("alpha.wav"));
    const QString beta = song(QStringLiteral("beta.wav"));
    ASSERT_NO_FATAL_FAILURE(
        writePlaylist({QStringLiteral("Alpha Tone;") + alpha, QStringLiteral("Beta Tone;") + beta}));
    Quillon quillon(home.path());
    ASSERT_TRUE(quillon.ownerFound()) << quillon.errors.constData();

    // Every change of status reaches a client that only listens.
    QProcess follower;
    follower.start(QStringLiteral("playerctl"), QStringLiteral("-p quillon --follow status").split(u' '));
    QStringList statuses;
    QObject::connect(&follower, &QProcess::readyReadStandardOutput, [&] {
        for (const QString& status : QString::fromUtf8(follower.readAllStandardOutput()).split(u'\n')) {
            if (!status.isEmpty() && (statuses.isEmpty() || statuses.constLast() != status))
                statuses.append(status);
        }
    });
    ASSERT_TRUE(waitFor([&] { return !statuses.isEmpty(); }, kTimeoutMs));
    EXPECT_EQ(statuses, QStringList {QStringLiteral("Stopped")});
    EXPECT_EQ(playerctl(QStringLiteral("metadata")), QString());

    // Nothing chosen yet: play-pause starts the first song.
    playerctl(QStringLiteral("play-pause"));
    const QString alphaByKey = quillon.lineWith(QStringLiteral("Alpha Tone"));
    ASSERT_FALSE(alphaByKey.isEmpty());
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Playing"));
    EXPECT_EQ(playerctl(QStringLiteral("metadata xesam:title")), QStringLiteral("Alpha Tone"));
    const QString alphaTrack = playerctl(QStringLiteral("metadata mpris:trackid"));
    EXPECT_TRUE(alphaTrack.startsWith(QStringLiteral("'/org/quillon/Quillon/track/"))) << alphaTrack.toStdString();
    EXPECT_EQ(playerctl(QStringLiteral("metadata xesam:url")), QUrl::fromLocalFile(alpha).toString());
    EXPECT_EQ(playerctlUntil(QStringLiteral("metadata mpris:length"), [](const QString& a) { return !a.isEmpty(); }),
              QStringLiteral("30000000"));
    EXPECT_GT(playerctlUntil(QStringLiteral("position"), [](const QString& a) { return a.toDouble() > 0; }).toDouble(),
              0);

    // Each key says in the room exactly what the owner's command says.
    playerctl(QStringLiteral("play-pause"));
    const QString pausedByKey = quillon.lineWith(QStringLiteral("Paused."));
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Paused"));
    quillon.say(QStringLiteral("unpause"));
    const QString unpausedByOwner = quillon.lineWith(QStringLiteral("Unpaused."));
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Playing"));
    quillon.say(QStringLiteral("pause"));
    EXPECT_EQ(quillon.lineWith(QStringLiteral("Paused.")), pausedByKey);
    playerctl(QStringLiteral("play"));
    EXPECT_EQ(quillon.lineWith(QStringLiteral("Unpaused.")), unpausedByOwner);

    playerctl(QStringLiteral("next"));
    const QString betaByKey = quillon.lineWith(QStringLiteral("Beta Tone"));
    ASSERT_FALSE(betaByKey.isEmpty());
    EXPECT_EQ(playerctl(QStringLiteral("metadata xesam:title")), QStringLiteral("Beta Tone"));
    EXPECT_NE(playerctl(QStringLiteral("metadata mpris:trackid")), alphaTrack);
    quillon.say(QStringLiteral("prev"));
    EXPECT_EQ(quillon.lineWith(QStringLiteral("Alpha Tone")), alphaByKey);
    quillon.say(QStringLiteral("next"));
    EXPECT_EQ(quillon.lineWith(QStringLiteral("Beta Tone")), betaByKey);

    quillon.say(QStringLiteral("stop"));
    const QString stoppedByOwner = quillon.lineWith(QStringLiteral("Stopped."));
    ASSERT_FALSE(stoppedByOwner.isEmpty());
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Stopped"));
    playerctl(QStringLiteral("play"));
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Playing"));
    playerctl(QStringLiteral("stop"));
    EXPECT_EQ(quillon.lineWith(QStringLiteral("Stopped.")), stoppedByOwner);
    EXPECT_EQ(playerctl(QStringLiteral("status")), QStringLiteral("Stopped"));

    playerctl(QStringLiteral("volume 0.25"));
    EXPECT_DOUBLE_EQ(playerctl(QStringLiteral("volume")).toDouble(), 0.25);

    EXPECT_TRUE(waitFor([&] { return statuses.size() >= 9; }, kTimeoutMs));
    EXPECT_EQ(
        statuses,
        QString(QStringLiteral("Stopped Playing Paused Playing Paused Playing Stopped Playing Stopped")).split(u' '));
    follower.kill();
    follower.waitForFinished(kTimeoutMs);

    // Quit is the normal shut-down: the closing line, then the end.
    run(QStringLiteral("dbus-send"),
        QStringLiteral("--session --print-reply --dest=org.mpris.MediaPlayer2.quillon "
                       "/org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit")
            .split(u' '));
    EXPECT_FALSE(quillon.lineWith(QStringLiteral("unloaded")).isEmpty());
    EXPECT_TRUE(quillon.endedNormally());
}

TEST_F(MediaKeys, ASecondProgramTakesANameOfItsOwn)
{
    QTemporaryDir otherHome;
    Quillon first(home.path());
    ASSERT_TRUE(first.ownerFound());
    Quillon second(otherHome.path());
    ASSERT_TRUE(second.ownerFound());
    const QString instance = QStringLiteral("quillon.instance") + QString::number(second.pid());
    QStringList players = playerctl(QStringLiteral("-l")).split(u'\n');
    players.sort();
    EXPECT_EQ(players, (QStringList {QStringLiteral("quillon"), instance}));
    // Each answers for itself.
    EXPECT_EQ(playerctl(instance, {QStringLiteral("status")}), QStringLiteral("Stopped"));
    first.endInput();
    second.endInput();
    EXPECT_TRUE(first.endedNormally());
    EXPECT_TRUE(second.endedNormally());
}

TEST(NoSessionBus, NothingIsSaidAndTheProgramWorksAsBefore)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES"})
        env.remove(QString::fromLatin1(variable));
    // Where the bus would be found without its address.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    Quillon quillon(home.path(), env);
    ASSERT_TRUE(quillon.ownerFound());
    quillon.say(QStringLiteral("ver"));
    EXPECT_FALSE(quillon.lineWith(QStringLiteral("Quillon 3.2")).isEmpty());
    quillon.endInput();
    EXPECT_TRUE(quillon.endedNormally());
    EXPECT_EQ(quillon.errors, QByteArray());
}

}  // namespace
