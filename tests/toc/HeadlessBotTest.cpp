#include "QtPrinters.h"
#include "TocTestServer.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kStartTimeoutMs = 30000;

// A quarter second of a 440 Hz tone: 8 kHz, mono, 16-bit PCM.
QByteArray toneWav()
{
    const int rate = 8000;
    const int samples = rate / 4;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const auto value = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
        qToLittleEndian(value, pcm.data() + 2 * i);
    }
    auto le32 = [](quint32 v) {
        QByteArray b(4, Qt::Uninitialized);
        qToLittleEndian(v, b.data());
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, Qt::Uninitialized);
        qToLittleEndian(v, b.data());
        return b;
    };
    return "RIFF" + le32(36 + pcm.size()) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) + le32(rate)
           + le32(rate * 2) + le16(2) + le16(16) + "data" + le32(pcm.size()) + pcm;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

    QString dataDir() const { return home.path() + QStringLiteral("/data/quillon"); }
    QString configDir() const { return home.path() + QStringLiteral("/config/quillon"); }

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir().mkpath(dataDir()));
        const QString song = home.path() + QStringLiteral("/tone.wav");
        ASSERT_TRUE(writeFile(song, toneWav()));
        // A name with a double quote and a trailing backslash, which the
        // chat command must carry escaped.
        ASSERT_TRUE(writeFile(dataDir() + QStringLiteral("/playlist.txt"),
                              "Blue \"Tone\" \\;" + song.toUtf8() + "\r\n"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        bot.setProcessEnvironment(env);
        QObject::connect(&bot, &QProcess::readyReadStandardError, [this] { errors += bot.readAllStandardError(); });
    }

    void TearDown() override
    {
        if (bot.state() != QProcess::NotRunning) {
            bot.kill();
            bot.waitForFinished(5000);
        }
        if (HasFailure())
            std::fprintf(stderr, "the bot's stderr:\n%s\n", (errors + bot.readAllStandardError()).constData());
    }

    void start(const QStringList& extra)
    {
        bot.start(QStringLiteral(QUILLON_BINARY),
                  QStringList{QStringLiteral("--headless"), QStringLiteral("--bot"), QStringLiteral("--toc-server"),
                              QStringLiteral("127.0.0.1:") + QString::number(port),
                              QStringLiteral("--screen-name"), QStringLiteral("Quill Bot"),
                              QStringLiteral("--password"), QStringLiteral("secret"), QStringLiteral("--room"),
                              QStringLiteral("Music Room")}
                      + extra);
        ASSERT_TRUE(bot.waitForStarted(kStartTimeoutMs));
    }

    bool waitForCommands(qsizetype n, int timeoutMs = kStartTimeoutMs)
    {
        return waitFor([&] { return server.commands().size() >= n; }, timeoutMs);
    }
};

TEST_F(HeadlessBot, SignsOnJoinsAnswersTheOwnerAndShutsDownAtTheEndOfInput)
{
    ASSERT_NO_FATAL_FAILURE(start({QStringLiteral("--exchange"), QStringLiteral("5"), QStringLiteral("--authorizer"),
                                   QStringLiteral("login.example"), QStringLiteral("--owner"),
                                   QStringLiteral("Owner One")}));
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }, kStartTimeoutMs));
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
    ASSERT_TRUE(waitFor([&] { return bot.state() == QProcess::NotRunning; }, kStartTimeoutMs));
    EXPECT_EQ(bot.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bot.exitCode(), 0);
    // Its last line went to the room before it left.
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_TRUE(server.commands().constLast().startsWith("toc_chat_send 77 \""));
    EXPECT_TRUE(server.commands().constLast().endsWith(" unloaded.\""));
    EXPECT_TRUE(readFile(dataDir() + QStringLiteral("/playlist.txt")).startsWith("Blue \"Tone\" \\;"));
    EXPECT_TRUE(readFile(configDir() + QStringLiteral("/settings.quillon")).contains("[loads]:2"));
    errors += bot.readAllStandardError();
    EXPECT_TRUE(errors.contains("toc: signed on as Quill Bot"));
    EXPECT_TRUE(errors.contains("toc: joined room Music Room (id 77)"));
}

TEST_F(HeadlessBot, ARefusedConnectionIsLoggedAndATermSignalStillEndsTheBotNormally)
{
    server.stopListening();
    ASSERT_NO_FATAL_FAILURE(start({}));
    ASSERT_TRUE(waitFor([&] { return errors.contains("toc: connection failed") || bot.state() != QProcess::Running; },
                        kStartTimeoutMs));
    EXPECT_TRUE(errors.contains("toc: connecting to 127.0.0.1:" + QByteArray::number(port) + '\n'));
    EXPECT_EQ(bot.state(), QProcess::Running);
    bot.terminate();
    ASSERT_TRUE(waitFor([&] { return bot.state() == QProcess::NotRunning; }, kStartTimeoutMs));
    EXPECT_EQ(bot.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bot.exitCode(), 0);
    EXPECT_TRUE(readFile(configDir() + QStringLiteral("/settings.quillon")).contains("[loads]:2"));
}

TEST_F(HeadlessBot, BadOptionsAreRefusedBeforeAnythingStarts)
{
    for (const QStringList& extra : {QStringList{QStringLiteral("--exchange"), QStringLiteral("five")},
                                     QStringList{QStringLiteral("--authorizer"), QStringLiteral("host:99999")}}) {
        bot.start(QStringLiteral(QUILLON_BINARY),
                  QStringList{QStringLiteral("--bot"), QStringLiteral("--screen-name"), QStringLiteral("b"),
                              QStringLiteral("--password"), QStringLiteral("p"), QStringLiteral("--room"),
                              QStringLiteral("r")}
                      + extra);
        ASSERT_TRUE(bot.waitForFinished(kStartTimeoutMs));
        EXPECT_EQ(bot.exitCode(), 2) << extra.join(u' ').toStdString();
    }
    bot.start(QStringLiteral(QUILLON_BINARY),
              {QStringLiteral("--headless"), QStringLiteral("--room"), QStringLiteral("r")});
    ASSERT_TRUE(bot.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(bot.exitCode(), 2);
    EXPECT_EQ(server.connectionsAccepted(), 0);
}

} // namespace
