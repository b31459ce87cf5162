#include "toc/WaitFor.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The built program on a pseudo-terminal, as a person runs it.
class OnTerminal {
public:
    OnTerminal(const QStringList& arguments, const QProcessEnvironment& env)
    {
        QList<QByteArray> args{QUILLON_BINARY}, vars;
        for (const QString& argument : arguments)
            args.append(argument.toUtf8());
        for (const QString& var : env.toStringList())
            vars.append(var.toUtf8());
        std::vector<char*> argv, envp;
        for (QByteArray& a : args)
            argv.push_back(a.data());
        for (QByteArray& v : vars)
            envp.push_back(v.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        m_pid = ::forkpty(&m_terminal, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~OnTerminal()
    {
        if (m_pid > 0 && m_status < 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_terminal >= 0)
            ::close(m_terminal);
    }

    bool started() const { return m_pid > 0; }
    // Reads what the terminal shows until `text` is among it, attributes aside.
    bool waitFor(const QByteArray& text)
    {
        const QDeadlineTimer deadline(kTimeoutMs);
        while (!withoutAttributes(m_shown).contains(text) && !deadline.hasExpired() && readSome()) {
        }
        return withoutAttributes(m_shown).contains(text);
    }
    void type(const QByteArray& line) { [[maybe_unused]] const auto n = ::write(m_terminal, line + "\r", line.size() + 1); }
    // Ends the input as Ctrl-D does, and answers the program's exit status.
    int end()
    {
        [[maybe_unused]] const auto n = ::write(m_terminal, "\x04", 1);
        const QDeadlineTimer deadline(kTimeoutMs);
        while (!deadline.hasExpired() && readSome()) {
        }
        int status = 0;
        if (::waitpid(m_pid, &status, 0) == m_pid)
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return m_status;
    }
    const QByteArray& shown() const { return m_shown; }

private:
    // False once the program has closed the terminal.
    bool readSome()
    {
        pollfd ready{m_terminal, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            return true;
        char buffer[4096];
        const ssize_t got = ::read(m_terminal, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_shown.append(buffer, got);
        return true;
    }

    pid_t m_pid = -1;
    int m_terminal = -1;
    int m_status = -1;
    QByteArray m_shown;
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
        QTemporaryDir home;
        QProcessEnvironment env = environment(home);
        env.insert(QString::fromLatin1(c.variable), QString::fromLatin1(c.value));
        OnTerminal room({QStringLiteral("--screen-name"), QStringLiteral("me")}, env);
        ASSERT_TRUE(room.started());
        ASSERT_TRUE(room.waitFor("found screen name [me]")) << room.shown().toStdString();
        room.type("/as bob: hello all");
        ASSERT_TRUE(room.waitFor("\nbob: hello all"));
        room.type("ver");
        ASSERT_TRUE(room.waitFor("Quillon 3.2"));
        EXPECT_EQ(room.end(), 0);

        const QByteArray& shown = room.shown();
        EXPECT_EQ(shown.contains('\x1b'), c.styled);
        if (c.styled) {
            EXPECT_TRUE(shown.contains("\x1b[0;1mme\x1b[0m: \x1b[0;36mfound screen name [me]\x1b[0m\r\n"));
            EXPECT_TRUE(shown.contains("\x1b[0;1mbob\x1b[0m: hello all\r\n"));
        }
        const QByteArray text = withoutAttributes(shown);
        for (const QByteArray& line : {"me: " + kVersion + " ( ", QByteArray("me: found screen name [me]\r\n"),
                                       QByteArray("/as bob: hello all\r\nbob: hello all\r\n"),
                                       QByteArray("ver\r\nme: Quillon 3.2\r\n"),
                                       "me: ( " + kVersion + " ) unloaded.\r\n"})
            EXPECT_TRUE(text.contains(line)) << line.toStdString() << " not in:\n" << text.toStdString();
        // What was typed shows once, as the terminal echoed it; no HTML.
        EXPECT_EQ(text.count("ver\r\n"), 1);
        EXPECT_FALSE(text.contains("me: /as"));
        EXPECT_FALSE(text.contains('<')) << text.toStdString();
    }
}

// Reads stdout and stderr of a program started through pipes.
struct Piped {
    QTemporaryDir home;
    QProcess program;
    QByteArray out, err;

    void start(const QStringList& arguments, const QProcessEnvironment& env)
    {
        program.setProcessEnvironment(env);
        QObject::connect(&program, &QProcess::readyReadStandardOutput, [this] { out += program.readAllStandardOutput(); });
        QObject::connect(&program, &QProcess::readyReadStandardError, [this] { err += program.readAllStandardError(); });
        program.start(QStringLiteral(QUILLON_BINARY), arguments);
    }
    bool waitForOut(const QByteArray& text) { return waitFor([&] { return out.contains(text); }, kTimeoutMs); }
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

TEST(TerminalRoom, ThroughAPipeEachPostIsWrittenAsTyped)
{
    Piped run;
    run.start({QStringLiteral("--screen-name"), QStringLiteral("me")}, environment(run.home));
    ASSERT_TRUE(run.waitForOut("found screen name"));
    run.program.write("/as bob: hello all\nver\n");
    ASSERT_TRUE(run.waitForOut("Quillon 3.2"));
    EXPECT_EQ(run.end(), 0);
    QList<QByteArray> lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(kFont + kVersion + " <i>(</i> ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(kTail));
    EXPECT_EQ(lines.mid(1), (QList<QByteArray>{kFont + "found screen name [me]" + kTail, kFont + "Quillon 3.2" + kTail,
                                               kFont + "<i>(</i> " + kVersion + " <i>) unloaded." + kTail, ""}));
    EXPECT_EQ(run.err, "");
}

TEST(TerminalRoom, ADisplayThatDoesNotAnswerStartsTheTerminalRoomUnlessTheWindowsAreInsistedOn)
{
    Piped gui;
    QProcessEnvironment env = environment(gui.home);
    // No X server listens on this display.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":8231"));
    gui.start({QStringLiteral("--gui")}, env);
    EXPECT_EQ(gui.end(), 2);
    EXPECT_EQ(gui.out, "");
    EXPECT_EQ(gui.err, "quillon: --gui: cannot open display \":8231\": no X server answers, or it refused\n");

    // Text was asked for: the lines typed through the pipe, which no
    // terminal echoed, are among them.
    Piped room;
    room.start({QStringLiteral("--screen-name"), QStringLiteral("me"), QStringLiteral("--room-output"),
                QStringLiteral("text")},
               env);
    ASSERT_TRUE(room.waitForOut("found screen name"));
    room.program.write("ver\n");
    ASSERT_TRUE(room.waitForOut("Quillon 3.2"));
    EXPECT_EQ(room.end(), 0);
    EXPECT_EQ(room.err, "quillon: cannot open display \":8231\": no X server answers, or it refused; the room runs in "
                        "this terminal\n");
    EXPECT_TRUE(room.out.startsWith("me: " + kVersion + " ( ")) << room.out.toStdString();
    EXPECT_TRUE(room.out.contains("\nme: found screen name [me]\nme: ver\nme: Quillon 3.2\n"));
}

} // namespace
