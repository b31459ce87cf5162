#include "support/QtPrinters.h"
#include "TocTestServer.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 30000;

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
// folder of its own.
struct HeadlessBot : ::testing::Test {
    QTemporaryDir home;
    TocTestServer server;
    // Kept apart: a server that stopped listening no longer knows it.
    const quint16 port = server.port();
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
        ASSERT_TRUE(write(QStringLiteral("/tone.wav"), silentWav()));
        // A name with a double quote and a trailing backslash, which the
        // chat command must carry escaped.
        ASSERT_TRUE(write(QStringLiteral("/data/quillon/playlist.txt"),
                          "Blue \"Tone\" \\;" + home.path().toUtf8() + "/tone.wav\r\n"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        bot.setProcessEnvironment(env);
        QObject::connect(&bot, &QProcess::readyReadStandardError, [this] { errors += bot.readAllStandardError(); });
    }

    void TearDown() override
    {
        bot.kill();
        bot.waitForFinished(5000);
        if (HasFailure())
            std::fprintf(stderr, "the bot's stderr:\n%s\n", (errors + bot.readAllStandardError()).constData());
    }

    // Options with '|' between them, after the bot's own unless told not to.
    void start(const QString& options = {}, bool withBot = true)
    {
        const QString own = QStringLiteral("--headless|--bot|--toc-server|127.0.0.1:%1|--screen-name|Quill Bot|"
                                           "--password|secret|--room|Music Room");
        bot.start(QStringLiteral(QUILLON_BINARY), (withBot ? own.arg(port).split(u'|') : QStringList())
                                                      + options.split(u'|', Qt::SkipEmptyParts));
        ASSERT_TRUE(bot.waitForStarted(kTimeoutMs));
    }
    bool waitForCommands(qsizetype n) { return waitFor([&] { return server.commands().size() >= n; }, kTimeoutMs); }
    // Waits for the bot to end, and answers whether it ended normally.
    bool endedNormally()
    {
        return waitFor([&] { return bot.state() == QProcess::NotRunning; }, kTimeoutMs)
               && bot.exitStatus() == QProcess::NormalExit && bot.exitCode() == 0
               && read(QStringLiteral("/config/quillon/settings.quillon")).contains("[loads]:2");
    }
};

TEST_F(HeadlessBot, SignsOnJoinsAnswersTheOwnerAndShutsDownAtTheEndOfInput)
{
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("--exchange|5|--authorizer|login.example|--owner|Owner One")));
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }, kTimeoutMs));
    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitForCommands(1));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login login.example 29999 quillbot 0x"));

    server.sendMessage(TocTestServer::SIGN_ON());
    server.sendMessage(TocTestServer::NICK("Quill Bot"));
    server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
    ASSERT_TRUE(waitForCommands(4));
    EXPECT_EQ(server.commands().mid(1, 3), (QList<QByteArray>{
                                               "toc_init_done",
                                               "toc_chat_leave \"0\"",
                                               "toc_chat_join \"5\" \"Music Room\"",
                                           }));

    server.sendMessage(TocTestServer::CHAT_JOIN(77, "Music Room"));
    server.sendMessage(
        TocTestServer::CHAT_IN_ENC(77, "Owner One", false, "<FONT COLOR=\"#000000\">p Blue \"Tone\" \\</FONT>"));
    ASSERT_TRUE(waitForCommands(5));
    EXPECT_EQ(server.commands()[4],
              "toc_chat_send 77 \"<FONT FACE=\\\"MS Reference Serif\\\"><FONT COLOR=#0080ff></u></i></b>"
              "<FONT COLOR=#0080ff>\xc2\xbb <U><FONT COLOR=#0080c0>Playing</U> <FONT COLOR=#0080ff>\xc2\xbb"
              "<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>Blue \\\"Tone\\\" \\\\</U> <FONT COLOR=#0080ff >"
              "\xc2\xbb<FONT COLOR=#000000> <U><FONT COLOR=#0080c0><u>1</u><FONT COLOR=#000000><FONT "
              "COLOR=#0080ff>\"");

    bot.closeWriteChannel();
    EXPECT_TRUE(endedNormally());
    // Its last line went to the room before it left, and its files are whole.
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_TRUE(server.commands().constLast().startsWith("toc_chat_send 77 \""));
    EXPECT_TRUE(server.commands().constLast().endsWith(" unloaded.\""));
    EXPECT_TRUE(read(QStringLiteral("/data/quillon/playlist.txt")).startsWith("Blue \"Tone\" \\;"));
    errors += bot.readAllStandardError();
    EXPECT_TRUE(errors.contains("toc: signed on as Quill Bot"));
    EXPECT_TRUE(errors.contains("toc: joined room Music Room (id 77)"));
}

TEST_F(HeadlessBot, ARefusedConnectionIsLoggedAndATermSignalStillEndsTheBotNormally)
{
    server.stopListening();
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitFor([&] { return errors.contains("toc: connection failed") || bot.state() != QProcess::Running; },
                        kTimeoutMs));
    EXPECT_TRUE(errors.contains("toc: connecting to 127.0.0.1:" + QByteArray::number(port) + '\n'));
    EXPECT_EQ(bot.state(), QProcess::Running);
    bot.terminate();
    EXPECT_TRUE(endedNormally());
}

TEST_F(HeadlessBot, BadOptionsAreRefusedBeforeAnythingStarts)
{
    for (const char* options : {"--exchange|five", "--authorizer|host:99999"}) {
        ASSERT_NO_FATAL_FAILURE(start(QString::fromLatin1(options)));
        ASSERT_TRUE(bot.waitForFinished(kTimeoutMs));
        EXPECT_EQ(bot.exitCode(), 2) << options;
    }
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("--headless|--room|r"), false));
    ASSERT_TRUE(bot.waitForFinished(kTimeoutMs));
    EXPECT_EQ(bot.exitCode(), 2);
    EXPECT_EQ(server.connectionsAccepted(), 0);
}

// The bot on a TOC1 server of today, told to speak TOC1 or left to its
// default, auto.
struct HeadlessBotOnToc1 : HeadlessBot, ::testing::WithParamInterface<const char*> {
    // "password" roasted with "Tic/Toc".
    static constexpr char kRoasted[] = "0x2408105c23001130";
    bool autoDialect() const { return QByteArray(GetParam()) == "auto"; }

    // The one place that says how the bot is started and ended.
    void startBot(const QByteArray& accountPassword = kRoasted)
    {
        server.actAsToc1("quillbot", accountPassword);
        start(QStringLiteral("--password|password|--owner|Owner One")
              + (autoDialect() ? QString() : QStringLiteral("|--toc-version|") + QLatin1String(GetParam())));
    }
    bool stopBot()
    {
        bot.closeWriteChannel();
        return endedNormally();
    }

    // The owner says `line` in room 0; the command the bot sends next.
    QByteArray ownerSays(const QByteArray& line)
    {
        const qsizetype before = server.commands().size();
        server.sendMessage(TocTestServer::CHAT_IN(0, "Owner One", false, "<FONT COLOR=\"#000000\">" + line + "</FONT>"));
        return waitForCommands(before + 1) ? server.commands()[before] : QByteArray();
    }
};

TEST_P(HeadlessBotOnToc1, SignsOnJoinsRoomZeroAndAnswersTheOwnerThereAtAnyLength)
{
    const QByteArray tone = ';' + home.path().toUtf8() + "/tone.wav\r\n";
    const QByteArray longName = "Long " + QByteArray(2100, 'o');
    ASSERT_TRUE(write(QStringLiteral("/data/quillon/playlist.txt"), "Blue" + tone + longName + tone));
    ASSERT_NO_FATAL_FAILURE(startBot());
    ASSERT_TRUE(waitFor([&] { return errors.contains("toc: joined room Music Room (id 0)"); }, kTimeoutMs));
    EXPECT_EQ(server.commands(), (QList<QByteArray>{
                                     "toc_signon login.oscar.aol.com 29999 quillbot 0x2408105c23001130 english "
                                     "\"MarlSockTOC1.0\"",
                                     "toc_init_done",
                                     "toc_chat_leave \"0\"",
                                     "toc_chat_join \"4\" \"Music Room\"",
                                 }));
    if (autoDialect()) {
        EXPECT_EQ(server.connectionsAccepted(), 2);
        ASSERT_EQ(server.earlierCommands().size(), 1);
        EXPECT_TRUE(server.earlierCommands()[0].startsWith(
            "toc2_login login.oscar.aol.com 29999 quillbot 0x2408105c23001130 English  \"MarlSockTOC2.0\""));
        EXPECT_TRUE(errors.contains("toc: trying TOC2 first"));
        EXPECT_TRUE(errors.contains("toc: the server closed the connection after toc2_login without SIGN_ON; "
                                    "signing on again with TOC1"));
    } else {
        EXPECT_EQ(server.connectionsAccepted(), 1);
        EXPECT_TRUE(errors.contains("toc: speaking TOC1\n"));
    }

    const QByteArray head = "toc_chat_send 0 \"";
    EXPECT_TRUE(ownerSays("p Blue").startsWith(head + "<FONT"));
    // Cut to fit, so the server, which hangs up on a longer command, keeps us.
    const QByteArray cut = ownerSays("p Long");
    EXPECT_TRUE(cut.startsWith(head) && cut.endsWith('"')) << cut.constData();
    EXPECT_TRUE(cut.contains("Long ooo"));
    EXPECT_LE(cut.size() + 1, 2048);
    EXPECT_GT(cut.size() + 1, 2040);
    EXPECT_TRUE(ownerSays("p Blue").startsWith(head));
    EXPECT_FALSE(server.clientGone());

    EXPECT_TRUE(stopBot());
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_TRUE(server.commands().constLast().startsWith(head));
    EXPECT_TRUE(server.commands().constLast().endsWith(" unloaded.\""));
}

INSTANTIATE_TEST_SUITE_P(Dialects, HeadlessBotOnToc1, ::testing::Values("1", "auto"));

TEST_F(HeadlessBot, ATocVersionOtherThanOneTwoOrAutoIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(start(QStringLiteral("--toc-version|3")));
    ASSERT_TRUE(bot.waitForFinished(kTimeoutMs));
    EXPECT_EQ(bot.exitCode(), 2);
    EXPECT_TRUE((errors + bot.readAllStandardError()).contains("--toc-version takes 1, 2 or auto"));
    EXPECT_EQ(server.connectionsAccepted(), 0);
}
} // namespace
