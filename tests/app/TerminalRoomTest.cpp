#include "toc/WaitFor.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 30000;

const QByteArray kVersion = "quillon\xc2\xb3\xc2\xb7\xc2\xb2";
// What the program puts before its posts, and the input box's HTML after.
const QByteArray kFont = "<FONT FACE=\"MS Reference Serif\"><FONT COLOR=#0080ff></u></i></b>";
const QByteArray kTail = "<FONT LANG=\"0\"> ";

// The program's environment: its files in a folder of its own, no display.
QProcessEnvironment environment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "NO_COLOR", "TERM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    return env;
}

QByteArray withoutAttributes(QByteArray text)
{
    static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*m"));
    return QString::fromUtf8(text).remove(sgr).toUtf8();
}

// The built program with its files in a folder of its own, through pipes
// or on a pseudo-terminal (script's), where input ends as Ctrl-D ends it.
struct Quillon {
    QTemporaryDir home;
    QProcessEnvironment env = environment(home);
    QProcess program;
    QByteArray out, err;

    void start(QStringList arguments, bool onTerminal = false)
    {
        program.setProcessEnvironment(env);
        QObject::connect(&program, &QProcess::readyReadStandardOutput,
                         [this] { out += program.readAllStandardOutput(); });
        QObject::connect(&program, &QProcess::readyReadStandardError,
                         [this] { err += program.readAllStandardError(); });
        arguments.prepend(QStringLiteral(QUILLON_BINARY));
        if (onTerminal)
            arguments = {QStringLiteral("-qefc"), u'\'' + arguments.join(QStringLiteral("' '")) + u'\'',
                         QStringLiteral("/dev/null")};
        program.start(onTerminal ? QStringLiteral("script") : arguments.takeFirst(), arguments);
    }
    // Waits until the output holds `text`, attributes aside.
    bool waitForOut(const QByteArray& text)
    {
        return waitFor([&] { return withoutAttributes(out).contains(text); }, kTimeoutMs);
    }
    // Ends the input and answers the exit status.
    int end()
    {
        program.closeWriteChannel();
        waitFor([&] { return program.state() == QProcess::NotRunning; }, kTimeoutMs);
        out += program.readAllStandardOutput();
        err += program.readAllStandardError();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }
};

TEST(TerminalRoom, OnATerminalEveryLineReadsSpeakerFirstAndTypedLinesAreNotRepeated)
{
    const struct {
        const char* variable;
        const char* value;
        bool styled;
    } cases[] = {{"TERM", "xterm", true}, {"NO_COLOR", "1", false}, {"TERM", "dumb", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        Quillon room;
        room.env.insert(QString::fromLatin1(c.variable), QString::fromLatin1(c.value));
        room.start({QStringLiteral("--screen-name"), QStringLiteral("me")}, true);
        ASSERT_TRUE(room.waitForOut("found screen name [me]")) << room.out.toStdString();
        room.program.write("/as bob: hello all\n");
        ASSERT_TRUE(room.waitForOut("\nbob: hello all"));
        room.program.write("ver\n");
        ASSERT_TRUE(room.waitForOut("Quillon 3.2"));
        EXPECT_EQ(room.end(), 0);

        EXPECT_EQ(room.out.contains('\x1b'), c.styled);
        if (c.styled) {
            EXPECT_TRUE(room.out.contains("\x1b[0;1mme\x1b[0m: \x1b[0;36mfound screen name [me]\x1b[0m\r\n"));
            EXPECT_TRUE(room.out.contains("\x1b[0;1mbob\x1b[0m: hello all\r\n"));
        }
        const QByteArray text = withoutAttributes(room.out);
        for (const QByteArray& line :
             {"me: " + kVersion + " ( ", QByteArray("me: found screen name [me]\r\n"),
              QByteArray("/as bob: hello all\r\nbob: hello all\r\n"), QByteArray("ver\r\nme: Quillon 3.2\r\n"),
              "me: ( " + kVersion + " ) unloaded.\r\n"})
            EXPECT_TRUE(text.contains(line)) << line.toStdString() << " not in:\n" << text.toStdString();
        // What was typed shows once, as the terminal echoed it; no HTML.
        EXPECT_EQ(text.count("ver\r\n"), 1);
        EXPECT_FALSE(text.contains("me: /as"));
        EXPECT_FALSE(text.contains('<')) << text.toStdString();
    }
}

TEST(TerminalRoom, ThroughAPipeEachPostIsWrittenAsTyped)
{
    Quillon run;
    run.start({QStringLiteral("--screen-name"), QStringLiteral("me")});
    ASSERT_TRUE(run.waitForOut("found screen name"));
    run.program.write("/as bob: hello all\nver\n");
    ASSERT_TRUE(run.waitForOut("Quillon 3.2"));
    EXPECT_EQ(run.end(), 0);
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(kFont + kVersion + " <i>(</i> ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(kTail));
    EXPECT_EQ(lines.mid(1),
              (QList<QByteArray> {kFont + "found screen name [me]" + kTail, kFont + "Quillon 3.2" + kTail,
                                  kFont + "<i>(</i> " + kVersion + " <i>) unloaded." + kTail, ""}));
    EXPECT_EQ(run.err, "");
}

TEST(TerminalRoom, ADisplayThatDoesNotAnswerStartsTheTerminalRoomUnlessTheWindowsAreInsistedOn)
{
    // No X server listens on this display.
    const QString display = QStringLiteral(":8231");
    Quillon gui;
    gui.env.insert(QStringLiteral("DISPLAY"), display);
    gui.start({QStringLiteral("--gui")});
    EXPECT_EQ(gui.end(), 2);
    EXPECT_EQ(gui.out, "");
    EXPECT_EQ(gui.err, "quillon: --gui: cannot open display \":8231\": no X server answers, or it refused\n");

    // Text was asked for through a pipe: plain, and with the typed lines,
    // which no terminal echoed.
    Quillon room;
    room.env.insert(QStringLiteral("DISPLAY"), display);
    room.start({QStringLiteral("--screen-name"), QStringLiteral("me"), QStringLiteral("--room-output"),
                QStringLiteral("text")});
    ASSERT_TRUE(room.waitForOut("found screen name"));
    room.program.write("ver\n");
    ASSERT_TRUE(room.waitForOut("Quillon 3.2"));
    EXPECT_EQ(room.end(), 0);
    EXPECT_EQ(room.err,
              "quillon: cannot open display \":8231\": no X server answers, or it refused; the room runs in "
              "this terminal\n");
    EXPECT_TRUE(room.out.startsWith("me: " + kVersion + " ( ")) << room.out.toStdString();
    EXPECT_TRUE(room.out.contains("\nme: found screen name [me]\nme: ver\nme: Quillon 3.2\n"));
}

}  // namespace
