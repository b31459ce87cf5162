// SPDX-License-Identifier: GPL-3.0-or-later
#include "TocTestServer.h"
#include "app/TestFiles.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include "chatlink/ChatScanner.h"
#include "controls/UserStore.h"
#include "toc/BotMode.h"
#include "toc/BotSettings.h"
#include "toc/Reconnector.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;
using State = TocClient::State;

TEST(ReconnectSchedule, DoublesToFiveMinutesStartsOverAfterTenSignedOnAndJittersByATenth)
{
    Ms now {0};
    double jitter = 0;
    ReconnectSchedule schedule {[&] { return now; }, [&] { return jitter; }};
    for (Ms wait : {1s, 2s, 4s, 8s, 16s, 32s, 64s, 128s, 256s, 300s, 300s})
        EXPECT_EQ(schedule.lost(), wait);
    schedule.signedOn();
    now += 10min;
    EXPECT_EQ(schedule.lost(), 1s);
    EXPECT_EQ(schedule.lost(), 2s);
    schedule.signedOn();
    now += 10min - 1ms;
    EXPECT_EQ(schedule.lost(), 4s);
    // Signed on long ago, but the last connection never signed on.
    now += 1h;
    EXPECT_EQ(schedule.lost(), 8s);
    jitter = 0.999;
    EXPECT_EQ(schedule.lost(), 16s + 1598ms);
    EXPECT_EQ(schedule.lost(true), 10min + 59940ms);
}

// A client kept signed on against our server, which plays its answers.
struct ReconnectorTest : ::testing::Test {
    TocTestServer server;
    TocClient toc;
    Reconnector reconnect {toc, [this] {
                               toc.signOn(QStringLiteral("Marl Bot"), QStringLiteral("secret"),
                                          QStringLiteral("127.0.0.1"), server.port());
                           }};

    // The next try, answered with `answer` (a sign-on when empty) and closed.
    void tryAnswering(const QByteArray& answer)
    {
        const int next = server.connectionsAccepted() + 1;
        reconnect.onRetryDue();
        ASSERT_TRUE(server.greeted(next));
        server.sendSignOnFrame();
        ASSERT_TRUE(server.waitForCommands(1));
        if (answer.isEmpty())
            server.acceptLogin();
        else
            server.sendMessage(answer);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return toc.state() == (answer.isEmpty() ? State::SignedOn : State::SigningOn); }));
        // Once signed on, not even "too often" makes the next wait longer.
        if (answer.isEmpty())
            server.sendMessage("ERROR:983");
        server.closeClient();
        ASSERT_TRUE(QTest::qWaitFor([&] { return toc.state() == State::Disconnected; }));
    }
};

TEST_F(ReconnectorTest, AWrongPasswordStopsItTooOftenWaitsTenMinutesALossOneSecond)
{
    QList<qint16> refused;
    QObject::connect(&reconnect, &Reconnector::refused, [&](qint16 code) { refused.append(code); });
    QList<Reconnector::Milliseconds> waits;
    QObject::connect(&reconnect, &Reconnector::waiting,
                     [&](const QString&, Reconnector::Milliseconds wait) { waits.append(wait); });
    reconnect.setSchedule(ReconnectSchedule({}, [] { return 0.0; }));
    // Not even auto tries TOC1 on a refusal: that would be a second try.
    toc.setDialect(TocDialect::Auto);
    reconnect.start();
    ASSERT_NO_FATAL_FAILURE(tryAnswering("ERROR:980"));
    EXPECT_EQ(refused, QList<qint16> {980});
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
    reconnect.onRetryDue();
    EXPECT_EQ(toc.state(), State::Disconnected);

    reconnect.start();
    ASSERT_NO_FATAL_FAILURE(tryAnswering({}));
    EXPECT_TRUE(reconnect.isWaiting());
    ASSERT_FALSE(waits.isEmpty());
    EXPECT_EQ(waits.constLast(), 1s);
    ASSERT_NO_FATAL_FAILURE(tryAnswering("ERROR:983"));
    EXPECT_EQ(waits.constLast(), 10min);
    EXPECT_EQ(server.connectionsAccepted(), 3);
    EXPECT_EQ((QStringList {Reconnector::describeWait(59499ms), Reconnector::describeWait(60s),
                            Reconnector::describeWait(61s)}),
              (QStringList {"59 s", "1 min", "1 min 1 s"}));
}

// The bot panel over the options, the owner as the room revealed it and a
// scanner on a desktop without chat clients, linked as the main form links
// them, pointing at our server.
struct BotPanel : ::testing::Test {
    TocTestServer server;
    NoWindows desktop;
    FakeUserInterface ui;
    Options options;
    ChatTemplates templates;
    TextValue owner {QStringLiteral("Scanned Owner")};
    ChatScanner scanner {options, templates, desktop, ui};
    TocClient toc;
    BotMode botMode {options.useBot, owner, toc, scanner, ui};

    BotPanel()
    {
        // The store's pace is the one signing on uses: these ten commands
        // go at once.
        writeSetting(BotMode::kBotGroup, BotMode::kSendRateKey, QStringLiteral("100"));
        botMode.attachClient();
        botMode.setServer({QStringLiteral("127.0.0.1"), server.port()});
        botMode.account.screenName.setText(QStringLiteral("Marl Bot"));
        botMode.account.password.setText(QStringLiteral("secret"));
    }
};

TEST_F(BotPanel, TheBoxSwapsTheScannerForThePanelWhoseJoinLeavesTheRoomJoinedLast)
{
    scanner.startScanning();
    // The owner named for bot mode stands only while bot mode is on.
    const QString scanned = owner.text();
    botMode.namedOwner.setText(QStringLiteral(" Owner One "));
    botMode.onOwnerEdited();
    EXPECT_EQ(owner.text(), scanned);
    options.useBot.setValue(true);
    botMode.onUseBotClicked();
    EXPECT_TRUE(botMode.panelShown.value());
    EXPECT_FALSE(scanner.isScanning());
    EXPECT_EQ(owner.text(), "Owner One");

    botMode.onSignOnClicked();
    EXPECT_EQ(botMode.status.text(), "Connecting");
    ASSERT_TRUE(server.greeted(1));
    server.sendSignOnFrame();
    ASSERT_TRUE(server.waitForCommands(1));
    EXPECT_EQ(botMode.session(), BotMode::Session::SignedOff);
    // A room line before the sign-on is complete is nobody's command.
    QStringList heard;
    QObject::connect(&botMode, &BotMode::lineReceived,
                     [&](const QString& who, const QString& what) { heard.append(who + u':' + what); });
    server.sendMessage(TocTestServer::CHAT_IN_ENC(1, "Owner One", "ver"));
    server.acceptLogin();
    ASSERT_TRUE(QTest::qWaitFor([&] { return botMode.session() == BotMode::Session::SignedOn; }));
    EXPECT_EQ(botMode.status.text(), "Signed On!");
    // The room's markup is taken out; a bracket that closes no tag stays.
    server.sendMessage(TocTestServer::CHAT_IN_ENC(1, "Owner One", "<b>info</b> a><i>b <c"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }));
    EXPECT_EQ(heard, QStringList {"Owner One:info a>b <c"});

    botMode.join();
    server.sendMessage(TocTestServer::CHAT_JOIN(1234, "Chat"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return toc.lastChatId() == 1234; }));
    botMode.account.room.setText(QStringLiteral("Music Room"));
    for (const char* exchange : {"four", "40000", "", " 5 "}) {
        botMode.account.exchange.setText(QString::fromLatin1(exchange));
        botMode.join();
    }
    botMode.part();
    const QByteArray leave = "toc_chat_leave \"1234\"";
    EXPECT_EQ(server.sentAfterSignOn(8),
              (QList<QByteArray> {"toc_chat_leave \"0\"", "toc_chat_join \"4\" \"Chat\"", leave, leave, leave, leave,
                                  "toc_chat_join \"5\" \"Music Room\"", leave}));
    EXPECT_EQ(ui.messages, QStringList(3, QStringLiteral("TOC Bot: ") + BotMode::kBadExchange));

    // At shut-down what still waits is dropped, and the log says how much.
    const std::pair<qsizetype, const char*> waiting[] = {
        {0, ""}, {1, "toc: 1 queued line dropped at shut-down\n"}, {2, "toc: 2 queued lines dropped at shut-down\n"}};
    for (const auto& [n, said] : waiting) {
        toc.setSendRate(SendQueue::kSlowest);
        while (toc.sendQueue().size() < n)
            toc.sendChat(1234, QStringLiteral("late"));
        testing::internal::CaptureStderr();
        botMode.closing();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), said);
    }

    botMode.onSignOnClicked();
    EXPECT_EQ(botMode.session(), BotMode::Session::SignedOff);
    EXPECT_FALSE(botMode.reconnect.isRunning());
    options.useBot.setValue(false);
    botMode.onUseBotClicked();
    EXPECT_FALSE(botMode.panelShown.value());
    EXPECT_TRUE(scanner.isScanning());
    EXPECT_EQ(owner.text(), scanned);
    botMode.namedOwner.setText({});
    botMode.onOwnerEdited();
}

// The window's bot mode reads the store as the command line reads its
// options; a value it cannot use is shown in a box at sign-on and its
// default taken.
TEST_F(BotPanel, StoredHostsMayCarryTheirPortAndBadValuesAreShownThenLeftForTheDefaults)
{
    BotMode stored {options.useBot, owner, toc, scanner, ui};
    const std::pair<const char*, const char*> values[] = {{"server", "127.0.0.1:5200"},
                                                          {"port", "abc"},
                                                          {"authorizer", "[::1]"},
                                                          {"authorizerport", "70000"},
                                                          {"version", "7"}};
    for (const auto& [key, value] : values)
        writeSetting("toc", key, value);
    EXPECT_EQ(stored.server(), (TocEndpoint {QStringLiteral("127.0.0.1"), 5200}));
    EXPECT_EQ(stored.authorizer(), (TocEndpoint {QStringLiteral("::1"), 29999}));
    EXPECT_EQ(stored.dialect(), TocDialect::Toc2);
    stored.signOn();
    stored.logOff();
    const QString head = QStringLiteral("TOC Bot: ")
        + QSettings(QStringLiteral("quillon"), QStringLiteral("quillon")).fileName() + QStringLiteral(": the key ");
    EXPECT_EQ(ui.messages,
              QStringList({head + "port under [toc] is \"abc\"; it takes a port from 1 to 65535; the default is used.",
                           head
                               + "authorizerport under [toc] is \"70000\"; it takes a port from 1 to 65535; the "
                                 "default is used.",
                           head + "version under [toc] is \"7\"; it takes 1, 2 or auto; the default is used."}));
    // A host set for the run leaves the stored one and its port unread.
    EXPECT_EQ(botMode.storedProblems().size(), 2);
    // A send rate above 0 up to 100 is taken; any other, or none, leaves the default.
    const std::pair<const char*, double> rates[]
        = {{"100", 100}, {"0.5", 0.5}, {"0", 1}, {"-1", 1}, {"100.5", 1}, {"fast", 1}, {"", 1}};
    for (const auto& [text, rate] : rates) {
        writeSetting("bot", "sendrate", text);
        EXPECT_EQ(BotMode::sendRate(), rate) << text;
    }
}

// A host may carry its port; whatever could be read two ways, or names no
// host, gives nothing rather than a guess.
TEST(TocEndpoint, TakesANameADottedAddressOrABracketedIpv6AddressEachWithAPort)
{
    const QString label(63, u'a');
    const QString longest = label + '.' + label + '.' + label + '.' + label.chopped(2) + '.';
    const std::pair<QString, TocEndpoint> taken[] = {{" a-b_c.example.:65535 ", {"a-b_c.example.", 65535}},
                                                     {"10.0.0.1:1", {"10.0.0.1", 1}},
                                                     {"::1", {"::1", 5190}},
                                                     {"[fe80::1%eth0]:80", {"fe80::1%eth0", 80}},
                                                     {longest, {longest, 5190}}};
    for (const auto& [text, endpoint] : taken)
        EXPECT_EQ(TocEndpoint::parse(text, 5190), endpoint) << qPrintable(text);
    const QStringList refused
        = QStringLiteral("|host:0|host:65536|host:+80|[::1|[::1]x|[::1]:|[1.2.3.4]|1.2.3|1.2.3.4.|a..b|a b|::1%")
              .split(u'|')
        + QStringList {label + u'a', longest.chopped(1) + "a."};
    for (const QString& text : refused)
        EXPECT_FALSE(TocEndpoint::parse(text, 5190)) << qPrintable(text);
}

TEST(BotSettings, PasswordFromFileCredentialEnvironmentOrCommandLineInThatOrder)
{
    QTemporaryDir dir;
    const auto file = [&](const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeFile(dir.filePath(name), bytes));
        return dir.filePath(name);
    };
    QProcessEnvironment environment;
    BotOptions options;
    options.screenName = QStringLiteral("Quill Bot");
    options.room = QStringLiteral("Music Room");
    options.owner = QStringLiteral("Owner One");
    // The password found, or the usage error.
    const auto password = [&] {
        const auto r = resolveBotSettings(options, environment);
        return std::holds_alternative<UsageError>(r) ? QStringLiteral("error: ") + std::get<UsageError>(r).message
                                                     : std::get<HeadlessBotSettings>(r).password;
    };
    for (const std::optional<QString>& none : {std::optional<QString>(), std::optional(QString())}) {
        options.password = none;  // an empty --password is none
        EXPECT_TRUE(password().startsWith(QStringLiteral("error: --bot needs a password")));
    }
    options.password = QStringLiteral("from option");
    EXPECT_EQ(password(), "from option");
    environment.insert(QStringLiteral("QUILLON_TOC_PASSWORD"), QStringLiteral("from environment"));
    EXPECT_EQ(password(), "from environment");
    // A credentials folder without our credential is passed over.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("credentials")));
    environment.insert(QStringLiteral("CREDENTIALS_DIRECTORY"), dir.filePath(QStringLiteral("credentials")));
    EXPECT_EQ(password(), "from environment");
    file(QStringLiteral("credentials/toc-password"), "from credential\n");
    EXPECT_EQ(password(), "from credential");
    // Only the first line counts, without its line end; blanks are kept.
    options.passwordFile = file(QStringLiteral("pw"), " from file \r\nsecond line\n");
    EXPECT_EQ(password(), " from file ");
    options.passwordFile = file(QStringLiteral("empty"), "\nsecond line\n");
    EXPECT_TRUE(password().startsWith(QStringLiteral("error: the password file "))) << password().toStdString();
    options.passwordFile = dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(password().startsWith(QStringLiteral("error: cannot read the password file ")));
}

}  // namespace
