#include "support/QtPrinters.h"
#include "toc/WaitFor.h"

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
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(kTimeoutMs);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString playerctl(const QString& arguments)
{
    return run(QStringLiteral("playerctl"), QStringLiteral("-p quillon ").append(arguments).split(u' '));
}

// The program in the local room of this terminal, with its files in a
// folder of its own and every line it posts kept in order.
class Quillon {
public:
    explicit Quillon(const QString& home, QProcessEnvironment env = QProcessEnvironment::systemEnvironment(),
                     const QStringList& arguments = {"--headless", "--screen-name", "me"})
    {
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
        });
        m_process.start(QStringLiteral(QUILLON_BINARY), arguments);
    }
    ~Quillon()
    {
        m_process.kill();
        m_process.waitForFinished(kTimeoutMs);
    }

    void say(const QString& line) { m_process.write(line.toUtf8() + '\n'); }
    QProcess& process() { return m_process; }
    QByteArray errors() { return m_process.readAllStandardError(); }

    // The first line not taken yet that holds the text; empty when none comes in time.
    QString lineWith(const QString& text)
    {
        qsizetype at = -1;
        const QRegularExpression holding(".*" + QRegularExpression::escape(text) + ".*");
        if (!waitFor([&] { return (at = m_lines.indexOf(holding, m_taken)) >= 0; }, kTimeoutMs))
            return {};
        m_taken = at + 1;
        return m_lines.at(at);
    }
    // The owner is known once the start line has come back.
    bool ownerFound() { return !lineWith(QStringLiteral("found screen name")).isEmpty(); }
    // The closing line, then a normal end.
    bool unloaded()
    {
        return !lineWith(QStringLiteral("unloaded")).isEmpty()
            && waitFor([&] { return m_process.state() == QProcess::NotRunning; }, kTimeoutMs)
            && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QStringList m_lines;
    qsizetype m_taken = 0;
};

TEST(MediaKeys, DoWhatTheOwnersCommandsDoAndTellTheDesktopWhatPlays)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    for (const char* tool : {"playerctl", "sox", "lame"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is missing (packages playerctl, sox, lame)";
    // Songs long enough to be still playing when the test has done; the second is tagged.
    QTemporaryDir home;
    const QString alpha = home.filePath("Alpha.wav"), beta = home.filePath("Beta.mp3");
    run("sox", {"-n", "-r", "8000", "-c", "1", alpha, "synth", "30", "sine", "440"});
    run("lame", {"--quiet", "--tt", "Blue Morning", "--ta", "Ana Reyes", "--tl", "Harbour", alpha, beta});
    Quillon quillon(home.path());
    ASSERT_TRUE(quillon.ownerFound()) << quillon.errors().constData();
    quillon.say("dir " + QString(home.path()).replace(u'/', u'\\'));
    ASSERT_FALSE(quillon.lineWith("ir - F</b>iles:2").isEmpty());

    // Each key says in the room exactly what the owner's command says; with
    // nothing chosen yet, play-pause starts the first song.
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
    for (const auto& [command, said, status] : steps) {
        SCOPED_TRACE(command);
        const QString typed = command;
        if (typed.startsWith("key "))
            playerctl(typed.mid(4));
        else
            quillon.say(typed);
        const QString line = quillon.lineWith(said);
        ASSERT_FALSE(line.isEmpty());
        EXPECT_EQ(line, firstLines.try_emplace(said, line).first->second);
        EXPECT_EQ(playerctl("status"), status);
        if (firstLines.size() == 1) {
            EXPECT_EQ(playerctl("metadata xesam:title"), "Alpha");
            EXPECT_EQ(playerctl("metadata xesam:artist"), "");
            EXPECT_TRUE(waitFor([] { return playerctl("metadata mpris:length") == "30000000"; }, kTimeoutMs));
            EXPECT_TRUE(waitFor([] { return playerctl("position").toDouble() > 0; }, kTimeoutMs));
        } else if (QLatin1String(said) == "Beta") {
            EXPECT_EQ(playerctl("metadata --format {{title}}|{{artist}}|{{album}}"), "Blue Morning|Ana Reyes|Harbour");
        }
    }

    // Quit is the normal shut-down.
    run("dbus-send",
        {"--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.quillon", "/org/mpris/MediaPlayer2",
         "org.mpris.MediaPlayer2.Quit"});
    EXPECT_TRUE(quillon.unloaded());
}

// Told to stop by the desktop session, the windows shut down as the owner's
// "end" would: the files and the windows' places are written.
TEST(MediaKeys, TheWindowsShutDownOnSigtermAsOnTheOwnersEnd)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    if (QStandardPaths::findExecutable(QStringLiteral("playerctl")).isEmpty())
        GTEST_SKIP() << "playerctl is missing (package playerctl)";
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    Quillon quillon(home.path(), env, {});
    // The media keys are published once the windows are up.
    ASSERT_TRUE(waitFor([] { return playerctl(QStringLiteral("status")) == QLatin1String("Stopped"); }, kTimeoutMs));
    const QString config = home.path() + QStringLiteral("/config/quillon/");
    ASSERT_TRUE(QFile::remove(config + QStringLiteral("settings.quillon")));
    quillon.process().terminate();
    ASSERT_TRUE(quillon.process().waitForFinished(kTimeoutMs));
    EXPECT_EQ(quillon.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quillon.process().exitCode(), 0);
    EXPECT_TRUE(QFile::exists(config + QStringLiteral("settings.quillon")));
    EXPECT_TRUE(QFile::exists(config + QStringLiteral("windows.conf")));
}

TEST(NoSessionBus, NothingIsSaidAndTheProgramWorksAsBefore)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES"})
        env.remove(variable);
    // Where the bus would be found without its address.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    Quillon quillon(home.path(), env);
    ASSERT_TRUE(quillon.ownerFound());
    quillon.say(QStringLiteral("end"));
    EXPECT_TRUE(quillon.unloaded());
    EXPECT_EQ(quillon.errors(), QByteArray());
}

}  // namespace
