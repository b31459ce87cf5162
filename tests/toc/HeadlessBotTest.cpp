// SPDX-License-Identifier: GPL-3.0-or-later
#include "TocTestServer.h"
#include "app/TestFiles.h"
#include "support/QtPrinters.h"
#include "support/RunningProgram.h"
#include "support/TestState.h"

#include "chatlink/ChatScanner.h"
#include "toc/HeadlessBot.h"
#include "toc/TocClient.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// "password" roasted with "Tic/Toc".
constexpr char kRoasted[] = "0x2408105c23001130";

// The built program, run as a bot against our server with nothing on its
// standard input.
struct HeadlessBot : ::testing::Test, FreshHome, RunningProgram {
    TocTestServer server;

    HeadlessBot() : RunningProgram(home.path()) { process.setStandardInputFile(QProcess::nullDevice()); }
    QByteArray read(const QString& path) { return readFile(home.path() + path); }
    bool write(const QString& path, const QByteArray& bytes) { return writeFile(home.path() + path, bytes); }
    // Silence made by sox, 8 kHz mono, in the home folder; its path.
    QString wav(const QString& name)
    {
        QString path = home.path() + u'/' + name + QStringLiteral(".wav");
        EXPECT_EQ(QProcess::execute(QStringLiteral("sox"), {"-n", "-r", "8000", "-c", "1", path, "trim", "0", "0.3"}),
                  0);
        return path;
    }

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/.local/share/quillon")));
        ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/.config/quillon")));
        wav(QStringLiteral("tone"));
        ASSERT_TRUE(write(QStringLiteral("/password"), "password\n"));
        // A name the chat command must carry escaped.
        ASSERT_TRUE(write(QStringLiteral("/.local/share/quillon/playlist.txt"),
                          "Blue \"Tone\" \\;" + home.path().toUtf8() + "/tone.wav\r\n"));
    }

    // Options '|'-separated; the exit status of the whole run.
    int runWith(const QString& options) { return run(options.split(u'|', Qt::SkipEmptyParts)); }
    // The owner says `line` in the room joined last; the bot's next `n`
    // commands (fewer if they do not come).
    QList<QByteArray> ownerSays(const QByteArray& line, qsizetype n)
    {
        const qsizetype before = server.commands().size();
        server.sendMessage(
            TocTestServer::CHAT_IN_ENC(server.lastRoom(), "Owner One", "<FONT COLOR=\"#000000\">" + line + "</FONT>"));
        server.waitForCommands(before + n, kCeiling);
        return server.commands().mid(before);
    }
    QByteArray ownerSays(const QByteArray& line) { return ownerSays(line, 1).value(0); }
    // Signed on and in the room: the join is the fourth command.
    bool joined() { return server.waitForCommands(4, kCeiling); }
};

TEST_F(HeadlessBot, RunsFromTheStoreAndAPasswordFileThroughALostConnectionUntilTerm)
{
    // Everything but the password and one override comes from the store;
    // the owner is named as the service compares names, not as it shows them.
    ASSERT_TRUE(write(QStringLiteral("/.config/quillon/quillon.conf"),
                      "[bot]\nscreenname=Quill Bot\nroom=Other Room\nexchange=5\nowner=ownerone\n"
                      "[toc]\nserver=127.0.0.1:"
                          + QByteArray::number(server.port()) + "\n"));
    server.actAsToc2();
    ASSERT_TRUE(
        start(QStringLiteral("--bot|--password-file|%1/password|--room|Music Room").arg(home.path()).split(u'|')));
    ASSERT_TRUE(server.waitForCommands(4, kCeiling));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login login.oscar.aol.com 29999 quillbot " + QByteArray(kRoasted)
                                                + " English "));
    EXPECT_EQ(server.commands().mid(1),
              (QList<QByteArray> {"toc_init_done", "toc_chat_leave \"0\"", "toc_chat_join \"5\" \"Music Room\""}));
    const QByteArray answer = ownerSays("p Blue \"Tone\" \\");
    EXPECT_TRUE(answer.startsWith("toc_chat_send 77 \"")) << answer.constData();
    EXPECT_TRUE(answer.contains("Blue \\\"Tone\\\" \\\\</U>")) << answer.constData();

    // Dropped, it comes back after the first wait, joins the same room
    // again and answers the owner there.
    server.closeClient();
    ASSERT_TRUE(server.greeted(2, kCeiling));
    ASSERT_TRUE(server.waitForCommands(3, kCeiling));
    EXPECT_EQ(server.commands().mid(1), (QList<QByteArray> {"toc_init_done", "toc_chat_join \"5\" \"Music Room\""}));
    EXPECT_TRUE(err.contains("toc: connection lost; trying again in 1 s\n"));
    EXPECT_TRUE(ownerSays("p Blue").startsWith("toc_chat_send 78 \""));

    // SIGTERM: the closing line goes to the room before the sign-off, and
    // the files are whole.
    process.terminate();
    ASSERT_TRUE(ended() && QTest::qWaitFor([&] { return server.clientGone(); }, kCeiling));
    EXPECT_EQ(status(), 0);
    EXPECT_TRUE(server.commands().constLast().startsWith("toc_chat_send 78 \""));
    EXPECT_TRUE(server.commands().constLast().endsWith(" unloaded.\""));
    EXPECT_TRUE(read(QStringLiteral("/.config/quillon/settings.quillon")).contains("[loads]:2"));
    EXPECT_TRUE(read(QStringLiteral("/.local/share/quillon/playlist.txt")).startsWith("Blue \"Tone\" \\;"));
    EXPECT_TRUE(read(QStringLiteral("/.config/quillon/quillon.conf")).contains("room=Other Room"));
    EXPECT_TRUE(err.endsWith("toc: signed off\n"));
    // The password file was made readable by all.
    EXPECT_TRUE(err.startsWith("quillon: warning: others than its owner can read or change the password file "
                               + home.path().toUtf8() + "/password; mend it with: chmod go-rwx "));
}

// Retrying would only lock the account; the TOC2 try that auto makes
// first on a TOC1 server does not count as one.
TEST_F(HeadlessBot, AWrongPasswordEndsTheRunWith78WithoutAnotherTry)
{
    server.actAsToc1("quillbot", "0x00");
    const QString options = QStringLiteral("--bot|--toc-server|127.0.0.1:%1|--screen-name|Quill Bot|--password-file|"
                                           "%2/password|--room|Music Room|--owner|Owner One")
                                .arg(server.port())
                                .arg(home.path());
    // A password file only its owner may read draws no warning.
    ASSERT_TRUE(QFile::setPermissions(home.path() + QStringLiteral("/password"), QFile::ReadOwner));
    EXPECT_EQ(runWith(options), 78);
    EXPECT_EQ(server.connectionsAccepted(), 2);
    EXPECT_TRUE(err.contains("toc: the server refused the screen name or password (error 980)"));
    EXPECT_FALSE(err.contains("trying again in") || err.contains("warning") || err.contains("reported error"));

    // Bad options are usage errors that name what is wrong, and the value.
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("|--toc-server|localhost:5190:"), "quillon: --toc-server takes "},
        {QStringLiteral("|--authorizer|host name:99"), "quillon: --authorizer takes "},
        {QStringLiteral("|--toc-version|3"), "quillon: --toc-version takes 1, 2 or auto, not \"3\" "},
        {QStringLiteral("|--exchange|x4"),
         "quillon: --exchange takes a whole number from -32768 to 32767, not \"x4\" "},
        {QStringLiteral("|--bogus"), "quillon: Unknown option 'bogus'. (see --help)\n"},
        {QStringLiteral("|stray"), "quillon: unexpected argument \"stray\" (see --help)\n"},
        {QStringLiteral("|--password-file"), "quillon: Missing value after '--password-file'. (see --help)\n"},
    };
    for (const auto& [extra, error] : cases) {
        EXPECT_EQ(runWith(options + extra), 2) << error;
        EXPECT_TRUE(err.startsWith(error)) << err.constData();
    }
    // A bad value in the store ends the run with 78, which a service manager
    // does not restart after: a restart would not mend it. Options given
    // leave their keys unread.
    const QString store = home.path() + QStringLiteral("/.config/quillon/quillon.conf");
    const QString fromStore
        = QStringLiteral("--bot|--screen-name|Quill Bot|--password-file|%1/password|--room|R|--owner|O")
              .arg(home.path());
    const char* const stored[][2] = {
        {"port=abc", "port under [toc] is \"abc\"; it takes a port from 1 to 65535"},
        {"server=127.0.0.1:5200:1", "server under [toc] is \"127.0.0.1:5200:1\"; it takes HOST, HOST:PORT, "},
        {"authorizer=host name", "authorizer under [toc] is \"host name\"; it takes HOST, HOST:PORT, "},
        {"authorizerport=0", "authorizerport under [toc] is \"0\"; it takes a port from 1 to 65535"},
        {"version=7", "version under [toc] is \"7\"; it takes 1, 2 or auto"},
    };
    for (const auto& [line, error] : stored) {
        ASSERT_TRUE(write(QStringLiteral("/.config/quillon/quillon.conf"), QByteArray("[toc]\n") + line + '\n'));
        EXPECT_EQ(runWith(fromStore), 78) << line;
        EXPECT_TRUE(err.startsWith("quillon: " + store.toUtf8() + ": the key " + error)) << err.constData();
    }
    ASSERT_TRUE(write(QStringLiteral("/.config/quillon/quillon.conf"), "[bot]\nexchange=4x\n[toc]\nport=abc\n"));
    EXPECT_EQ(runWith(fromStore + QStringLiteral("|--toc-server|127.0.0.1:1")), 78);
    EXPECT_TRUE(err.contains(": the key exchange under [bot] is \"4x\"; it takes a whole number from -32768 to "
                             "32767\n"));
    EXPECT_EQ(server.connectionsAccepted(), 2);
}

// The owner drives it from the chat alone: a queue that plays in turn as
// each song really ends, the volume and the queue kept across a restart,
// and a prefix that makes the owner's other lines chat. (The replies'
// words and the choice by number are the command tests'.)
TEST_F(HeadlessBot, AnOwnerInTheRoomSetsTheVolumeAndQueues)
{
    QByteArray playlist;
    for (const char* name : {"love alpha", "love beta", "love gamma", "other"})
        playlist += name + QByteArray(";") + wav(QLatin1String(name)).toUtf8() + "\r\n";
    ASSERT_TRUE(write(QStringLiteral("/.local/share/quillon/playlist.txt"), playlist));
    ASSERT_TRUE(write(QStringLiteral("/.config/quillon/quillon.conf"),
                      "[bot]\nscreenname=Quill Bot\nroom=Music Room\nowner=Owner One\nsendrate=50\n"
                      "[toc]\nserver=127.0.0.1\nport="
                          + QByteArray::number(server.port()) + "\n"));
    server.actAsToc2();
    const QStringList options {"--bot", "--password-file", home.path() + QStringLiteral("/password")};
    ASSERT_TRUE(start(options));
    ASSERT_TRUE(joined());
    const auto says = [](const QByteArray& command, const QByteArray& text) {
        return command.startsWith("toc_chat_send ") && command.contains(text);
    };

    EXPECT_TRUE(says(ownerSays("vol 30"), "<u>Volume</u> 30"));
    EXPECT_TRUE(says(ownerSays("q love gamma"), "<u>Queued</u> love gamma \xc2\xbb place 1"));
    EXPECT_TRUE(says(ownerSays("q other"), "<u>Queued</u> other \xc2\xbb place 2"));
    // As each song ends, the queue's next follows.
    const QList<QByteArray> played = ownerSays("p love beta", 3);
    ASSERT_EQ(played.size(), 3);
    EXPECT_TRUE(says(played[0], "love beta</U>"));
    EXPECT_TRUE(says(played[1], "love gamma</U>"));
    EXPECT_TRUE(says(played[2], "other</U>"));
    EXPECT_EQ(process.state(), QProcess::Running);
    EXPECT_TRUE(says(ownerSays("q love alpha"), "<u>Queued</u> love alpha \xc2\xbb place 1"));

    // Started again with a prefix: the volume and the queue are what they
    // were, and the owner's lines without the prefix are chat.
    process.terminate();
    ASSERT_TRUE(ended());
    EXPECT_EQ(read(QStringLiteral("/.local/share/quillon/queue.txt")), "love alpha\r\n");
    ASSERT_TRUE(start(options + QStringList {"--prefix", "!"}));
    ASSERT_TRUE(server.greeted(2, kCeiling));
    ASSERT_TRUE(joined());
    // Lines are answered in turn: an answer to "ver" would come first.
    server.sendMessage(TocTestServer::CHAT_IN_ENC(server.lastRoom(), "Owner One", "ver"));
    const QByteArray answer = ownerSays("!vol");
    EXPECT_TRUE(says(answer, "<u>Volume</u> 30")) << answer.constData();
    EXPECT_TRUE(says(ownerSays("!q"), "<u>Queue</u> 1 love alpha\""));
}

// The pace the server asks for is logged as it falls and as it comes back
// to the store's a minute later (announced here for the queue, whose clock
// is the steady one).
TEST(HeadlessBotLog, SaysWhenThePaceFallsAndWhenItIsBack)
{
    TestState form;
    NoWindows desktop;
    ChatScanner scanner {form.options, form.templates, desktop, form.ui};
    TocClient toc;
    TextValue owner;
    BotMode botMode {form.options.useBot, owner, toc, scanner, form.ui};
    ::HeadlessBot bot(form.options.useBot, botMode, toc, {});
    testing::internal::CaptureStderr();
    toc.setSendRate(BotMode::sendRate());
    toc.sendQueue().slowDown();
    Q_EMIT toc.sendRateChanged(BotMode::sendRate());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "toc: the server says the bot sends too fast; sending at most 0.5 a second for a minute\n"
              "toc: sending at most 1 a second again\n");
}

}  // namespace
