#include "app/TestFiles.h"
#include "support/QtPrinters.h"
#include "support/SmallDisk.h"
#include "toc/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kCeiling = 30000;

const QByteArray kVersion = "quillon\xc2\xb3\xc2\xb7\xc2\xb2";
// What the program puts before its posts, and the input box's HTML after.
const QByteArray kFont = "<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>";
const QByteArray kTail = "<FONT LANG=\"0\"> ";

QByteArray withoutAttributes(const QByteArray& text)
{
    static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*m"));
    return QString::fromUtf8(text).remove(sgr).toUtf8();
}

// The built program in its terminal room, with its files in a folder of its
// own and no display, through pipes or on a pseudo-terminal (script's),
// where input ends as Ctrl-D ends it. Every wait is for what it prints,
// with a ceiling only a hung program reaches.
class Room : public testing::Test {
protected:
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess quillon;
    QByteArray out, err;

    void SetUp() override
    {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "NO_COLOR", "TERM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        QObject::connect(&quillon, &QProcess::readyReadStandardOutput,
                         [this] { out += quillon.readAllStandardOutput(); });
        QObject::connect(&quillon, &QProcess::readyReadStandardError,
                         [this] { err += quillon.readAllStandardError(); });
    }
    void TearDown() override
    {
        quillon.kill();
        quillon.waitForFinished(5000);
        if (HasFailure())
            std::fprintf(stderr, "stdout:\n%s\nstderr:\n%s\n", out.constData(), err.constData());
    }

    void start(QStringList arguments, bool onTerminal = false)
    {
        quillon.setProcessEnvironment(env);
        arguments.prepend(QStringLiteral(QUILLON_BINARY));
        if (onTerminal)
            arguments = {QStringLiteral("-qefc"), u'\'' + arguments.join(QStringLiteral("' '")) + u'\'',
                         QStringLiteral("/dev/null")};
        quillon.start(onTerminal ? QStringLiteral("script") : arguments.takeFirst(), arguments);
        ASSERT_TRUE(quillon.waitForStarted(kCeiling));
    }
    // Starts as "Owner" and waits until the start line has made him the owner.
    void startOwned()
    {
        ASSERT_NO_FATAL_FAILURE(start({"--headless", "--screen-name", "Owner"}));
        ASSERT_TRUE(printed("found screen name [Owner]"));
    }
    void type(const QString& line) { quillon.write(line.toUtf8() + '\n'); }
    // Waits until the output holds `text`, attributes aside.
    bool printed(const QByteArray& text)
    {
        return waitFor([&] { return withoutAttributes(out).contains(text); }, kCeiling);
    }
    bool logged(const QByteArray& text)
    {
        return waitFor([&] { return err.contains(text); }, kCeiling);
    }
    // Types the line and waits until the scanner has read it, with its speaker.
    bool said(const QString& line, const QByteArray& asRead)
    {
        type(line);
        return logged("quillon.scan: said by " + asRead);
    }
    // Ends the input and answers the exit status.
    int end()
    {
        quillon.closeWriteChannel();
        waitFor([&] { return quillon.state() == QProcess::NotRunning; }, kCeiling);
        out += quillon.readAllStandardOutput();
        err += quillon.readAllStandardError();
        return quillon.state() == QProcess::NotRunning && quillon.exitStatus() == QProcess::NormalExit
            ? quillon.exitCode()
            : -1;
    }
    // A folder of empty songs, given as the owner types a path in the room.
    QString music(int songs)
    {
        const QString dir = home.path() + QStringLiteral("/music");
        QDir().mkpath(dir);
        for (int i = 1; i <= songs; ++i)
            writeFile(dir + QStringLiteral("/song number %1 with a long name.mp3").arg(i));
        return QString(dir).replace(u'/', u'\\');
    }
};

TEST_F(Room, OnlyTheOwnerIsObeyedAndNothingHoldsUpHisCommands)
{
    ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/data/quillon")));
    ASSERT_TRUE(writeFile(home.path() + QStringLiteral("/data/quillon/playlist.txt"),
                          "alpha one;/no/alpha one.mp3\r\nalpha two;/no/alpha two.mp3\r\nbeta;/no/beta.mp3\r\n"));
    const QString victim = home.path() + QStringLiteral("/victim");
    ASSERT_TRUE(writeFile(victim));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillon.scan.debug=true"));
    ASSERT_NO_FATAL_FAILURE(start({"--headless", "--screen-name", "Owner"}));

    // Said before the first look at the room, this line hides the start
    // line; "/find-sn" stands for the button that finds the owner again.
    type(QStringLiteral("hello"));
    ASSERT_TRUE(logged("quillon.scan: said by Owner | hello"));
    type(QStringLiteral("/find-sn"));
    ASSERT_TRUE(printed("Found Screen Name: Owner"));

    // A member's HTML cannot make lines of the owner's.
    ASSERT_TRUE(said(QStringLiteral("/as Eve: hello<BR>Owner: del ") + QString(victim).replace(u'/', u'\\'),
                     "Eve | hello&lt;BR&gt;Owner: del "));
    ASSERT_TRUE(said(QStringLiteral("/as Eve: x<BR><B>Owner</B>: end"), "Eve | x&lt;BR&gt;&lt;B&gt;Owner"));
    // "Owner" is listed first and holds an "e", yet stays heard.
    type(QStringLiteral("unx e"));
    ASSERT_TRUE(printed("UnIgnored"));
    // No one can pick in a terminal: the owner narrows the search instead.
    type(QStringLiteral("p alpha"));
    ASSERT_TRUE(printed("2</b> Files Found, Select One."));
    type(QStringLiteral("p beta"));
    EXPECT_TRUE(printed("beta</U>"));
    EXPECT_TRUE(QFile::exists(victim));
    EXPECT_EQ(end(), 0);
}

TEST_F(Room, AKillSoonAfterAChangeKeepsTheChange)
{
    ASSERT_NO_FATAL_FAILURE(startOwned());
    type(QStringLiteral("dir ") + music(300));
    ASSERT_TRUE(printed("F</b>iles:300"));
    const QString playlist = home.path() + QStringLiteral("/data/quillon/playlist.txt");
    const QString settings = home.path() + QStringLiteral("/config/quillon/settings.quillon");
    ASSERT_TRUE(waitFor(
        [&] { return readFile(playlist).count("with a long name;") == 300 && readFile(settings) == "[loads]:2\r\n"; },
        kCeiling));
    ::kill(pid_t(quillon.processId()), SIGKILL);
    ASSERT_TRUE(quillon.waitForFinished(kCeiling));
    EXPECT_EQ(readFile(playlist).count("with a long name;"), 300);
    EXPECT_EQ(readFile(settings), "[loads]:2\r\n");
}

// The disk is full from the start: every write of the playlist fails and
// says why, the old playlist stays whole, and the run ends with status 1
// after the rest of its shut-down.
TEST_F(Room, AFileThatCannotBeWrittenIsSaidAndFailsTheRun)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const QString playlist = disk.path() + QStringLiteral("/quillon/playlist.txt");
    ASSERT_TRUE(QDir().mkpath(disk.path() + QStringLiteral("/quillon")));
    ASSERT_TRUE(writeFile(playlist, "old;/old.mp3\r\n"));
    QFile filler(disk.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) > 0) {
    }
    filler.close();
    env.insert(QStringLiteral("XDG_DATA_HOME"), disk.path());

    ASSERT_NO_FATAL_FAILURE(startOwned());
    type(QStringLiteral("dir ") + music(300));
    ASSERT_TRUE(printed("F</b>iles:301"));
    const QByteArray said = "quillon: Cannot write " + playlist.toUtf8() + ": No space left on device\n";
    EXPECT_TRUE(logged(said));
    EXPECT_EQ(end(), 1);
    EXPECT_TRUE(out.contains("unloaded."));
    EXPECT_EQ(err.count(said), 2);
    EXPECT_EQ(readFile(playlist), "old;/old.mp3\r\n");
}

// Through a pipe, each post is written as the program sends it; and files
// go where relative XDG paths would not have put them.
TEST_F(Room, ThroughAPipeEachPostIsWrittenAsSentAndRelativeXdgPathsAreIgnored)
{
    const QString cwd = home.path() + QStringLiteral("/cwd");
    ASSERT_TRUE(QDir().mkpath(cwd));
    quillon.setWorkingDirectory(cwd);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("relative/data"));
    ASSERT_NO_FATAL_FAILURE(start({"--screen-name", "me"}));
    ASSERT_TRUE(printed("found screen name"));
    type(QStringLiteral("/as bob: hello all\nver"));
    ASSERT_TRUE(printed("Quillon 3.2"));
    EXPECT_EQ(end(), 0);
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(kFont + kVersion + " <i>(</i> ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(kTail));
    EXPECT_EQ(lines.mid(1),
              (QList<QByteArray> {kFont + "found screen name [me]" + kTail, kFont + "Quillon 3.2" + kTail,
                                  kFont + "<i>(</i> " + kVersion + " <i>) unloaded." + kTail, ""}));
    EXPECT_EQ(err, "");
    for (const char* file :
         {"/.config/quillon/settings.quillon", "/.config/quillon/quillon.conf", "/.local/share/quillon/playlist.txt"})
        EXPECT_TRUE(QFile::exists(home.path() + QLatin1String(file))) << file;
    EXPECT_EQ(QDir(cwd).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST_F(Room, ADisplayThatDoesNotAnswerStartsTheTerminalRoomUnlessTheWindowsAreInsistedOn)
{
    // No X server listens on this display.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":8231"));
    QProcess gui;
    gui.setProcessEnvironment(env);
    gui.start(QStringLiteral(QUILLON_BINARY), {QStringLiteral("--gui")});
    ASSERT_TRUE(gui.waitForFinished(kCeiling));
    EXPECT_EQ(gui.exitCode(), 2);
    EXPECT_EQ(gui.readAllStandardOutput(), "");
    EXPECT_EQ(gui.readAllStandardError(),
              "quillon: --gui: cannot open display \":8231\": no X server answers, or it refused\n");

    // Text was asked for through a pipe: plain, with the typed lines, which
    // no terminal echoed.
    ASSERT_NO_FATAL_FAILURE(start({"--screen-name", "me", "--room-output", "text"}));
    ASSERT_TRUE(printed("found screen name"));
    type(QStringLiteral("ver"));
    ASSERT_TRUE(printed("Quillon 3.2"));
    EXPECT_EQ(end(), 0);
    EXPECT_EQ(err,
              "quillon: cannot open display \":8231\": no X server answers, or it refused; the room runs in "
              "this terminal\n");
    EXPECT_TRUE(out.startsWith("me: " + kVersion + " ( "));
    EXPECT_TRUE(out.contains("\nme: found screen name [me]\nme: ver\nme: Quillon 3.2\n"));
}

// On a terminal every line reads speaker first, and what was typed shows
// once, as the terminal echoed it; colours unless the terminal or the
// person says no.
struct TerminalStyle {
    const char* variable;
    const char* value;
    bool styled;
};

class OnATerminal : public Room, public testing::WithParamInterface<TerminalStyle> { };

TEST_P(OnATerminal, EveryLineReadsSpeakerFirstAndTypedLinesAreNotRepeated)
{
    env.insert(QString::fromLatin1(GetParam().variable), QString::fromLatin1(GetParam().value));
    ASSERT_NO_FATAL_FAILURE(start({"--screen-name", "me"}, true));
    ASSERT_TRUE(printed("found screen name [me]"));
    type(QStringLiteral("/as bob: hello all"));
    ASSERT_TRUE(printed("\nbob: hello all"));
    type(QStringLiteral("ver"));
    ASSERT_TRUE(printed("Quillon 3.2"));
    EXPECT_EQ(end(), 0);

    EXPECT_EQ(out.contains("\x1b[0;1mbob\x1b[0m: hello all\r\n"), GetParam().styled);
    EXPECT_EQ(out.contains('\x1b'), GetParam().styled);
    const QByteArray text = withoutAttributes(out);
    for (const QByteArray& line : {"me: " + kVersion + " ( ", QByteArray("me: found screen name [me]\r\n"),
                                   QByteArray("/as bob: hello all\r\nbob: hello all\r\n"),
                                   QByteArray("ver\r\nme: Quillon 3.2\r\n"), "me: ( " + kVersion + " ) unloaded.\r\n"})
        EXPECT_TRUE(text.contains(line)) << line.toStdString();
    EXPECT_EQ(text.count("ver\r\n"), 1);
    EXPECT_FALSE(text.contains("me: /as"));
    EXPECT_FALSE(text.contains('<'));
}

INSTANTIATE_TEST_SUITE_P(TerminalRoom, OnATerminal,
                         testing::Values(TerminalStyle {"TERM", "xterm", true}, TerminalStyle {"NO_COLOR", "1", false},
                                         TerminalStyle {"TERM", "dumb", false}));

}  // namespace
