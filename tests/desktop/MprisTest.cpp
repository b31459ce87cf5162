#include "support/QtPrinters.h"
#include "toc/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

// The built program on a private session bus (the test runs inside
// dbus-run-session), driven by a media controller nobody here wrote.
namespace {

constexpr int kTimeoutMs = 30000;

// What the command printed, once it has ended.
QString run(const QString& program, const QString& arguments)
{
    QProcess process;
    process.start(program, arguments.split(u' '));
    if (!process.waitForFinished(kTimeoutMs))
        return QStringLiteral("(no answer)");
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString playerctl(const QString& arguments, const QString& player = QStringLiteral("quillon"))
{
    return run(QStringLiteral("playerctl"), QStringLiteral("-p %1 %2").arg(player, arguments));
}

// Asks until the answer is not empty and not zero; the answer last given.
QString playerctlUntilSet(const QString& arguments)
{
    QString answer;
    waitFor([&] { return (answer = playerctl(arguments)).toDouble() > 0; }, kTimeoutMs);
    return answer;
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
            while (m_process.canReadLine())
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
        });
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
    QByteArray errors() { return m_process.readAllStandardError(); }

    // The first line not taken yet that holds the text; empty when none
    // comes in time.
    QString lineWith(const QString& text)
    {
        const QRegularExpression holding(QStringLiteral(".*") + QRegularExpression::escape(text)
                                         + QStringLiteral(".*"));
        qsizetype at = -1;
        if (!waitFor([&] { return (at = m_lines.indexOf(holding, m_taken)) >= 0; }, kTimeoutMs))
            return {};
        m_taken = at + 1;
        return m_lines.at(at);
    }
    // The owner is known once the start line has come back.
    bool ownerFound() { return !lineWith(QStringLiteral("found screen name")).isEmpty(); }

    bool endedNormally()
    {
        return waitFor([&] { return m_process.state() == QProcess::NotRunning; }, kTimeoutMs)
            && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QStringList m_lines;
    qsizetype m_taken = 0;
};

struct MediaKeys : ::testing::Test {
    QTemporaryDir home;

    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
        for (const char* tool : {"playerctl", "sox"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is missing (packages playerctl, sox)";
        }
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/data/quillon")));
    }

    // Songs long enough to be still playing when the test has done.
    void writePlaylist(const QStringList& names)
    {
        QFile file(home.path() + QStringLiteral("/data/quillon/playlist.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (const QString& name : names) {
            const QString path = home.path() + u'/' + name + QStringLiteral(".wav");
            run(QStringLiteral("sox"), QStringLiteral("-n -r 8000 -c 1 %1 synth 30 sine 440").arg(path));
            ASSERT_TRUE(QFile::exists(path));
            file.write((name + u';' + path + QStringLiteral("\r\n")).toUtf8());
        }
    }
};

TEST_F(MediaKeys, DoWhatTheOwnersCommandsDoAndTellTheDesktopWhatPlays)
{
    ASSERT_NO_FATAL_FAILURE(writePlaylist({QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    Quillon quillon(home.path());
    ASSERT_TRUE(quillon.ownerFound()) << quillon.errors().constData();

    // Each key says in the room exactly what the owner's command says; with
    // nothing chosen yet, play-pause starts the first song.
    const struct {
        bool byKey;
        const char* command;
        const char* said;  // a part of the room's line
        const char* status;
    } steps[] = {
        {true, "play-pause", "Alpha", "Playing"},   {true, "play-pause", "Paused.", "Paused"},
        {false, "unpause", "Unpaused.", "Playing"}, {false, "pause", "Paused.", "Paused"},
        {true, "play", "Unpaused.", "Playing"},     {true, "next", "Beta", "Playing"},
        {false, "prev", "Alpha", "Playing"},        {false, "next", "Beta", "Playing"},
        {false, "stop", "Stopped.", "Stopped"},     {true, "play", "Unpaused.", "Playing"},
        {true, "stop", "Stopped.", "Stopped"},
    };
    std::map<QString, QString> firstLines;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        if (step.byKey)
            playerctl(QString::fromLatin1(step.command));
        else
            quillon.say(QString::fromLatin1(step.command));
        const QString line = quillon.lineWith(QString::fromLatin1(step.said));
        ASSERT_FALSE(line.isEmpty());
        EXPECT_EQ(line, firstLines.try_emplace(step.said, line).first->second);
        EXPECT_EQ(playerctl(QStringLiteral("status")), step.status);
        if (firstLines.size() == 1) {
            EXPECT_EQ(playerctl(QStringLiteral("metadata xesam:title")), QStringLiteral("Alpha"));
            EXPECT_EQ(playerctlUntilSet(QStringLiteral("metadata mpris:length")), QStringLiteral("30000000"));
            EXPECT_GT(playerctlUntilSet(QStringLiteral("position")).toDouble(), 0);
        }
    }

    playerctl(QStringLiteral("volume 0.25"));
    EXPECT_DOUBLE_EQ(playerctl(QStringLiteral("volume")).toDouble(), 0.25);

    // A second program takes a name of its own, and each answers for itself.
    QTemporaryDir otherHome;
    Quillon second(otherHome.path());
    ASSERT_TRUE(second.ownerFound());
    const QString instance = QStringLiteral("quillon.instance") + QString::number(second.pid());
    QStringList players = run(QStringLiteral("playerctl"), QStringLiteral("-l")).split(u'\n');
    players.sort();
    EXPECT_EQ(players, (QStringList {QStringLiteral("quillon"), instance}));
    EXPECT_EQ(playerctl(QStringLiteral("status"), instance), QStringLiteral("Stopped"));
    second.say(QStringLiteral("end"));
    EXPECT_TRUE(second.endedNormally());

    // Quit is the normal shut-down: the closing line, then the end.
    run(QStringLiteral("dbus-send"),
        QStringLiteral("--session --print-reply --dest=org.mpris.MediaPlayer2.quillon "
                       "/org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit"));
    EXPECT_FALSE(quillon.lineWith(QStringLiteral("unloaded")).isEmpty());
    EXPECT_TRUE(quillon.endedNormally());
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
    // The owner's "end" is the normal shut-down.
    quillon.say(QStringLiteral("end"));
    EXPECT_FALSE(quillon.lineWith(QStringLiteral("unloaded")).isEmpty());
    EXPECT_TRUE(quillon.endedNormally());
    EXPECT_EQ(quillon.errors(), QByteArray());
}

}  // namespace
