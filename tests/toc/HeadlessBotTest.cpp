#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr int kTimeoutMs = 30000;
// "password" roasted with "Tic/Toc".
constexpr char kRoasted[] = "0x2408105c23001130";

// A quarter second of silence: 8 kHz, mono, 16-bit PCM.
QByteArray silentWav()
{
    const auto le = [](quint32 v, int size) {
        v = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&v), size);
    };
    const QByteArray pcm(4000, '\0');
    return "RIFF" + le(36 + pcm.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(16000, 4)
        + le(2, 2) + le(16, 2) + "data" + le(pcm.size(), 4) + pcm;
}

// The built program, run as a bot against our server with its files in a
// folder of its own and nothing on its standard input.
struct HeadlessBot : ::testing::Test {
    QTemporaryDir home;
    TocTestServer server;
    QProcess bot;
    // Everything the bot wrote on stderr so far.
    QByteArray errors;

    QByteArray read(const QString& path)
    {
        QFile f(home.path() + path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool write(const QString& path, const QByteArray& bytes)
    {
        QFile f(home.path() + path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/data/quillon")));
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/config/quillon")));
        ASSERT_TRUE(write(QStringLiteral("/tone.wav"), silentWav()));
        ASSERT_TRUE(write(QStringLiteral("/password"), "password\n"));
        // A name with a double quote and a trailing backslash, which the
        // chat command must carry escaped.
        ASSERT_TRUE(write(QStringLiteral("/data/quillon/playlist.txt"),
                          "Blue \"Tone\" \\;" + home.path().toUtf8() + "/tone.wav\r\n"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        for (const char* name : {"JOURNAL_STREAM", "CREDENTIALS_DIRECTORY", "QUILLON_TOC_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        bot.setProcessEnvironment(env);
        bot.setStandardInputFile(QProcess::nullDevice());
        QObject::connect(&bot, &QProcess::readyReadStandardError, [this] { errors += bot.readAllStandardError(); });
    }

    void TearDown() override
    {
        bot.kill();
        bot.waitForFinished(5000);
        if (HasFailure())
            std::fprintf(stderr, "the bot's stderr:\n%s\n", (errors + bot.readAllStandardError()).constData());
    }

    // The options that make a whole bot of it, '|' between them.
    QString botOptions() const
    {
        return QStringLiteral("--bot|--toc-server|127.0.0.1:%1|--screen-name|Quill Bot|--password-file|%2/password|"
                              "--room|Music Room|--owner|Owner One")
            .arg(server.port())
            .arg(home.path());
    }
    void start(const QString& options)
    {
        bot.start(QStringLiteral(QUILLON_BINARY), options.split(u'|', Qt::SkipEmptyParts));
        ASSERT_TRUE(bot.waitForStarted(kTimeoutMs));
    }
    bool waitForCommands(qsizetype n)
    {
        return waitFor([&] { return server.commands().size() >= n; }, kTimeoutMs);
    }
    bool ended()
    {
        return waitFor([&] { return bot.state() == QProcess::NotRunning; }, kTimeoutMs);
    }
    // SIGTERM ends the run the normal way: its last line goes to the room
    // before it signs off, and its files are whole.
    void terminate()
    {
        bot.terminate();
        ASSERT_TRUE(ended());
        EXPECT_EQ(bot.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(bot.exitCode(), 0);
        ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
        EXPECT_TRUE(server.commands().constLast().endsWith(" unloaded.\""));
        EXPECT_TRUE(read(QStringLiteral("/config/quillon/settings.quillon")).contains("[loads]:2"));
        EXPECT_TRUE(read(QStringLiteral("/data/quillon/playlist.txt")).startsWith("Blue \"Tone\" \\;"));
    }
    // The server's part of a TOC2 sign-on on its newest connection, up to
    // the bot's toc_init_done.
    void signOn(int connection)
    {
        ASSERT_TRUE(waitFor(
            [&] { return server.connectionsAccepted() == connection && server.greeting().size() == 10; }, kTimeoutMs));
        server.sendFrame(1, TocTestServer::signOnPayload());
        ASSERT_TRUE(waitForCommands(1));
        server.sendMessage(TocTestServer::SIGN_ON());
        server.sendMessage(TocTestServer::NICK("Quill Bot"));
        server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
        ASSERT_TRUE(waitForCommands(2));
        EXPECT_EQ(server.commands()[1], "toc_init_done");
    }
    // The owner says `line` in room `id` as a TOC2 or TOC1 server writes
    // it; the command the bot sends next.
    QByteArray ownerSays(qint64 id, const QByteArray& line, bool toc1 = false)
    {
        const QByteArray html = "<FONT COLOR=\"#000000\">" + line + "</FONT>";
        const qsizetype before = server.commands().size();
        server.sendMessage(toc1 ? TocTestServer::CHAT_IN(id, "Owner One", false, html)
                                : TocTestServer::CHAT_IN_ENC(id, "Owner One", false, html));
        return waitForCommands(before + 1) ? server.commands()[before] : QByteArray();
    }
};

TEST_F(HeadlessBot, RunsFromTheStoreAndAPasswordFileThroughALostConnectionUntilTerm)
{
    // Everything but the password and one override comes from the store.
    ASSERT_TRUE(write(QStringLiteral("/config/quillon/quillon.conf"),
                      "[bot]\nscreenname=Quill Bot\nroom=Other Room\nexchange=5\nowner=Owner One\n"
                      "[toc]\nserver=127.0.0.1\nport="
                          + QByteArray::number(server.port()) + "\n"));
    ASSERT_NO_FATAL_FAILURE(
        start(QStringLiteral("--bot|--password-file|%1/password|--room|Music Room").arg(home.path())));
    ASSERT_NO_FATAL_FAILURE(signOn(1));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login login.oscar.aol.com 29999 quillbot " + QByteArray(kRoasted)
                                                + " English "));
    ASSERT_TRUE(waitForCommands(4));
    EXPECT_EQ(server.commands().mid(2, 2),
              (QList<QByteArray> {"toc_chat_leave \"0\"", "toc_chat_join \"5\" \"Music Room\""}));
    server.sendMessage(TocTestServer::CHAT_JOIN(77, "Music Room"));
    const QByteArray answer = ownerSays(77, "p Blue \"Tone\" \\");
    EXPECT_TRUE(answer.startsWith("toc_chat_send 77 \"")) << answer.constData();
    EXPECT_TRUE(answer.contains("Blue \\\"Tone\\\" \\\\</U>")) << answer.constData();

    // The server drops it: it comes back after the first wait, joins the
    // same room again and answers the owner there.
    server.closeClient();
    ASSERT_NO_FATAL_FAILURE(signOn(2));
    EXPECT_TRUE(errors.contains("toc: connection lost; trying again in 1 s\n"));
    ASSERT_TRUE(waitForCommands(3));
    EXPECT_EQ(server.commands()[2], "toc_chat_join \"5\" \"Music Room\"");
    server.sendMessage(TocTestServer::CHAT_JOIN(78, "Music Room"));
    EXPECT_TRUE(ownerSays(78, "p Blue").startsWith("toc_chat_send 78 \""));

    ASSERT_NO_FATAL_FAILURE(terminate());
    EXPECT_TRUE(server.commands().constLast().startsWith("toc_chat_send 78 \""));
    EXPECT_TRUE(read(QStringLiteral("/config/quillon/quillon.conf")).contains("room=Other Room"));
    errors += bot.readAllStandardError();
    EXPECT_TRUE(errors.endsWith("toc: signed off\n"));
}

// Left to its default, auto, the bot finds that a TOC1 server of today hangs
// up on toc2_login and signs on again with TOC1.
TEST_F(HeadlessBot, OnAToc1ServerSignsOnAgainWithToc1AndAnswersInRoomZeroAtAnyLength)
{
    const QByteArray tone = ';' + home.path().toUtf8() + "/tone.wav\r\n";
    ASSERT_TRUE(write(QStringLiteral("/data/quillon/playlist.txt"),
                      "Blue \"Tone\" \\" + tone + "Long " + QByteArray(2100, 'o') + tone));
    server.actAsToc1("quillbot", kRoasted);
    ASSERT_NO_FATAL_FAILURE(start(botOptions()));
    ASSERT_TRUE(waitFor([&] { return errors.contains("toc: joined room Music Room (id 0)"); }, kTimeoutMs));
    EXPECT_EQ(server.connectionsAccepted(), 2);
    EXPECT_EQ(server.earlierCommands(),
              QList<QByteArray> {"toc2_login login.oscar.aol.com 29999 quillbot 0x2408105c23001130 English  "
                                 "\"MarlSockTOC2.0\" 160 US \"\" \"\" 3 0 30303 -kentucky -utf8 52093817"});
    EXPECT_EQ(server.commands(),
              (QList<QByteArray> {
                  "toc_signon login.oscar.aol.com 29999 quillbot 0x2408105c23001130 english \"MarlSockTOC1.0\"",
                  "toc_init_done",
                  "toc_chat_leave \"0\"",
                  "toc_chat_join \"4\" \"Music Room\"",
              }));
    EXPECT_TRUE(errors.contains("toc: trying TOC2 first"));
    EXPECT_TRUE(errors.contains("toc: the server closed the connection after toc2_login without SIGN_ON; "
                                "signing on again with TOC1"));

    const QByteArray head = "toc_chat_send 0 \"";
    EXPECT_TRUE(ownerSays(0, "p Blue", true).startsWith(head + "<FONT"));
    // Cut to fit, so the server, which hangs up on a longer command, keeps us.
    const QByteArray cut = ownerSays(0, "p Long", true);
    EXPECT_TRUE(cut.startsWith(head) && cut.endsWith('"')) << cut.constData();
    EXPECT_TRUE(cut.contains("Long ooo"));
    EXPECT_LE(cut.size() + 1, 2048);
    EXPECT_GT(cut.size() + 1, 2040);
    EXPECT_TRUE(ownerSays(0, "p Blue", true).startsWith(head));
    EXPECT_FALSE(server.clientGone());

    ASSERT_NO_FATAL_FAILURE(terminate());
    EXPECT_TRUE(server.commands().constLast().startsWith(head));
}

// A wrong password ends the run at once: one more try would only lock the
// account, and the TOC2 try that auto makes first does not count as one.
TEST_F(HeadlessBot, AWrongPasswordEndsTheRunWithoutAnotherConnection)
{
    server.actAsToc1("quillbot", "0x00");
    ASSERT_NO_FATAL_FAILURE(start(botOptions()));
    ASSERT_TRUE(ended());
    EXPECT_EQ(bot.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bot.exitCode(), 78);
    EXPECT_EQ(server.connectionsAccepted(), 2);
    EXPECT_TRUE(server.commands().value(0).startsWith("toc_signon login.oscar.aol.com 29999 quillbot "
                                                      + QByteArray(kRoasted) + ' '));
    errors += bot.readAllStandardError();
    EXPECT_TRUE(errors.contains("toc: the server refused the screen name or password (error 980)"));
    EXPECT_FALSE(errors.contains("trying again in"));
    // Shut-down leaves the client alone once it is signed off.
    EXPECT_EQ(errors.count("toc: signed off\n"), 1);
    EXPECT_TRUE(read(QStringLiteral("/config/quillon/settings.quillon")).contains("[loads]:2"));
}

TEST_F(HeadlessBot, BadOptionsAreUsageErrorsThatNameWhatIsWrong)
{
    const QString options = botOptions();
    const struct {
        QString options;
        const char* error;
    } cases[] = {
        {options + QStringLiteral("|--toc-server|localhost:5190:"), "quillon: --toc-server takes "},
        {options + QStringLiteral("|--authorizer|host:99999"), "quillon: --authorizer takes "},
        {QString(options).remove(QStringLiteral("|--owner|Owner One")), "quillon: --bot needs --owner "},
        {QStringLiteral("--headless|--room|r"), "quillon: --room needs --bot "},
        {options + QStringLiteral("|--toc-version|3"), "quillon: --toc-version takes 1, 2 or auto "},
    };
    for (const auto& c : cases) {
        errors.clear();
        ASSERT_NO_FATAL_FAILURE(start(c.options));
        ASSERT_TRUE(ended());
        EXPECT_EQ(bot.exitCode(), 2) << c.error;
        EXPECT_TRUE(errors.startsWith(c.error)) << errors.constData();
    }
    EXPECT_EQ(server.connectionsAccepted(), 0);

    // On the journal each line says how much it matters.
    const QString journal = home.filePath(QStringLiteral("journal"));
    ASSERT_TRUE(write(QStringLiteral("/journal"), {}));
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(journal).constData(), &st), 0);
    QProcessEnvironment env = bot.processEnvironment();
    env.insert(QStringLiteral("JOURNAL_STREAM"), QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino));
    bot.setProcessEnvironment(env);
    bot.setStandardErrorFile(journal);
    ASSERT_NO_FATAL_FAILURE(start(cases[2].options + QStringLiteral("|--password|pw")));
    ASSERT_TRUE(ended());
    const QList<QByteArray> lines = read(QStringLiteral("/journal")).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("<4>quillon: warning: --password shows the password")) << lines[0].constData();
    EXPECT_TRUE(lines[1].startsWith("<3>quillon: --bot needs --owner ")) << lines[1].constData();
}

}  // namespace
