#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/FakeUserInterface.h"
#include "support/NoWindows.h"
#include "support/QtPrinters.h"

#include "chatlink/ChatScanner.h"
#include "controls/UserStore.h"
#include "toc/BotMode.h"

#include <QDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

using State = MarlTOCSock::State;

// Whether this process's connection to the port has TCP keep-alive on.
bool keepsAliveTo(quint16 port)
{
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
        const int n = fd.fileName().toInt();
        sockaddr_in peer {};
        socklen_t size = sizeof peer;
        if (::getpeername(n, reinterpret_cast<sockaddr*>(&peer), &size) != 0 || peer.sin_family != AF_INET
            || ntohs(peer.sin_port) != port)
            continue;
        int on = 0;
        socklen_t length = sizeof on;
        return ::getsockopt(n, SOL_SOCKET, SO_KEEPALIVE, &on, &length) == 0 && on == 1;
    }
    return false;
}

// Bot mode over the form's holders, the TOC client and a scanner on a
// desktop without chat clients, linked as the main form links them.
struct BotRig : FormState {
    NoWindows desktop;
    FakeUserInterface ui;
    ChatScanner chat1 {*this, desktop, ui};
    MarlTOCSock toc;
    BotMode botMode {*this, toc, chat1, ui};

    BotRig() { botMode.attachClient(); }
};

// Bot mode whose panel points at our server.
struct BotModeTest : ::testing::Test, BotRig {
    TocTestServer server;

    BotModeTest()
    {
        botMode.setServer({QStringLiteral("127.0.0.1"), server.port()});
        botMode.setAuthorizer({QStringLiteral("login.example"), 29999});
        botSN.setText(QStringLiteral("Marl Bot"));
        botPW.setText(QStringLiteral("secret"));
        chkBot.setValue(1);
    }

    // Clicks Signon and plays the server's part of a sign-on.
    void signOn()
    {
        ASSERT_EQ(skinButton6.caption(), "Signon");
        ASSERT_NO_FATAL_FAILURE(answerSignOn([this] { botMode.skinButton6_Click(); }));
    }

    // The server's part of the sign-on that `start` begins, watching the
    // label and the button on the way.
    template <typename Start> void answerSignOn(Start start)
    {
        const int before = server.connectionsAccepted();
        start();
        EXPECT_EQ(labToc.caption(), "Connecting");
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
        server.sendFrame(1, TocTestServer::signOnPayload());
        ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
        EXPECT_EQ(skinButton6.caption(), "Signon");
        server.sendMessage(TocTestServer::SIGN_ON());
        server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
        ASSERT_TRUE(waitFor([&] { return skinButton6.caption() == QLatin1String("Logoff"); }));
        EXPECT_EQ(labToc.caption(), "Signed On!");
        EXPECT_EQ(toc.state(), State::SignedOn);
    }

    // Clicks Join and confirms the join as room `id`.
    void join(qint32 id)
    {
        botMode.skinButton7_Click();
        server.sendMessage(TocTestServer::CHAT_JOIN(id, txtChat.text().toUtf8()));
        ASSERT_TRUE(waitFor([&] { return toc.LastChatID() == id; }));
    }

    // The commands after the login and toc_init_done, once there are n.
    QList<QByteArray> sentAfterSignOn(qsizetype n)
    {
        EXPECT_TRUE(waitFor([&] { return server.commands().size() >= 2 + n; }));
        return server.commands().mid(2);
    }
};

TEST_F(BotModeTest, CheckingTheBoxMakesRoomForThePanelAndStopsTheScanner)
{
    chkBot.setValue(0);
    chat1.scan_on();
    chkBot.setValue(1);
    botMode.chkBot_Click();
    EXPECT_EQ(List1Height.value(), 2130);
    EXPECT_FALSE(chat1.isScanning());
    chkBot.setValue(0);
    botMode.chkBot_Click();
    EXPECT_EQ(List1Height.value(), 3600);
    EXPECT_TRUE(chat1.isScanning());
}

TEST_F(BotModeTest, ALostConnectionIsSignedOnAgainWithTheRoomUntilTheOwnerLeavesBotMode)
{
    Reconnector& reconnect = botMode.reconnect;
    reconnect.setSchedule(ReconnectSchedule({}, [] { return 0.0; }));
    ASSERT_NO_FATAL_FAILURE(signOn());
    EXPECT_TRUE(toc.tmrAntiIdle.isActive());
    EXPECT_TRUE(keepsAliveTo(server.port()));
    ASSERT_NO_FATAL_FAILURE(join(31));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return skinButton6.caption() == QLatin1String("Signon"); }));
    EXPECT_EQ(labToc.caption(), "Retry in 1 s");
    EXPECT_TRUE(reconnect.isWaiting());
    EXPECT_EQ(reconnect.tmrRetry.interval(), 1000);
    EXPECT_FALSE(toc.tmrAntiIdle.isActive());

    // The room joined by hand is joined again, with nothing left first.
    ASSERT_NO_FATAL_FAILURE(answerSignOn([&] { reconnect.tmrRetry_Timer(); }));
    EXPECT_EQ(sentAfterSignOn(1), QList<QByteArray> {"toc_chat_join \"4\" \"Chat\""});

    // Nobody listens any more: each failed try waits twice as long.
    server.stopListening();
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return reconnect.isWaiting(); }));
    reconnect.tmrRetry_Timer();
    ASSERT_TRUE(waitFor([&] { return labToc.caption() == QLatin1String("Retry in 4 s"); }));
    EXPECT_EQ(toc.state(), State::Disconnected);

    // Signon by hand tries at once; leaving bot mode ends the retries.
    botMode.skinButton6_Click();
    ASSERT_TRUE(waitFor([&] { return labToc.caption() == QLatin1String("Retry in 8 s"); }));
    chkBot.setValue(0);
    botMode.chkBot_Click();
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
}

TEST_F(BotModeTest, LogoffRefusalAndSilenceEachEndOrDelayTheRetries)
{
    Reconnector& reconnect = botMode.reconnect;
    reconnect.setSchedule(ReconnectSchedule({}, [] { return 0.0; }));
    ASSERT_NO_FATAL_FAILURE(signOn());
    // The panel's name and password; the authorizer is only named in the login.
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login login.example 29999 marlbot 0x270c005d311b "));
    // Logoff offers Signon again; the label keeps its text.
    botMode.skinButton6_Click();
    EXPECT_EQ(skinButton6.caption(), "Signon");
    EXPECT_EQ(labToc.caption(), "Signed On!");
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));

    // A server that never answers the sign-on is left after a while.
    botMode.skinButton6_Click();
    ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() == 2 && server.greeting().size() == 10; }));
    EXPECT_TRUE(reconnect.tmrSignOnWait.isActive());
    reconnect.tmrSignOnWait_Timer();
    EXPECT_EQ(toc.state(), State::Disconnected);
    EXPECT_EQ(labToc.caption(), "Retry in 1 s");
    EXPECT_TRUE(waitFor([&] { return server.clientGone(); }));

    // "Connecting too often" waits ten minutes; a wrong password ends it all.
    const auto refuse = [&](int error) {
        const int before = server.connectionsAccepted();
        reconnect.tmrRetry_Timer();
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
        server.sendFrame(1, TocTestServer::signOnPayload());
        server.sendMessage(TocTestServer::ERROR(error));
        server.closeClient();
        ASSERT_TRUE(waitFor([&] { return toc.state() == State::Disconnected; }));
    };
    ASSERT_NO_FATAL_FAILURE(refuse(983));
    EXPECT_EQ(labToc.caption(), "Retry in 10 min");
    EXPECT_EQ(reconnect.tmrRetry.interval(), 600000);
    ASSERT_NO_FATAL_FAILURE(refuse(980));
    EXPECT_EQ(labToc.caption(), "Wrong name or password");
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
    reconnect.tmrRetry_Timer();
    EXPECT_EQ(toc.state(), State::Disconnected);
}

TEST_F(BotModeTest, JoinLeavesTheRoomJoinedLastFirstAndRefusesABadExchange)
{
    ASSERT_NO_FATAL_FAILURE(signOn());
    ASSERT_NO_FATAL_FAILURE(join(1234));
    txtChat.setText(QStringLiteral("Music Room"));
    for (const char* exchange : {"four", "40000", "", " 5 "}) {
        txtEx.setText(QString::fromLatin1(exchange));
        botMode.skinButton7_Click();
    }
    botMode.skinButton8_Click();
    EXPECT_EQ(sentAfterSignOn(8),
              (QList<QByteArray> {
                  "toc_chat_leave \"0\"",
                  "toc_chat_join \"4\" \"Chat\"",
                  "toc_chat_leave \"1234\"",
                  "toc_chat_leave \"1234\"",
                  "toc_chat_leave \"1234\"",
                  "toc_chat_leave \"1234\"",
                  "toc_chat_join \"5\" \"Music Room\"",
                  "toc_chat_leave \"1234\"",
              }));
    EXPECT_EQ(ui.messages, QStringList(3, QStringLiteral("TOC Bot: ") + BotMode::kBadExchange));
    EXPECT_EQ(toc.state(), State::SignedOn);
}

TEST_F(BotModeTest, TheNamedOwnerRulesOnlyWhileBotModeIsOnAndIsRemembered)
{
    lbuser.setCaption(QStringLiteral("Found One"));
    botMode.botOwner.setText(QStringLiteral("Owner One"));
    botMode.botOwner_Change();
    EXPECT_EQ(lbuser.caption(), "Owner One");
    // The bot's own tag coming back from the server does not take over.
    lbuser.setCaption(QStringLiteral("Marl Bot"));
    EXPECT_EQ(lbuser.caption(), "Owner One");
    chkBot.setValue(0);
    botMode.chkBot_Click();
    EXPECT_EQ(lbuser.caption(), "Found One");
    // The next start knows the owner but leaves lbuser alone until bot mode.
    const BotRig next;
    EXPECT_EQ(next.botMode.botOwner.text(), "Owner One");
    EXPECT_EQ(next.lbuser.caption(), FormState::kUnknownOwner);
    SaveSetting(BotMode::kBotGroup, BotMode::kOwnerKey, QString());
}

// The hosts and the dialect come from the per-user store unless set for
// the run; a stored value that means nothing counts as missing.
TEST(BotStore, HostsAndDialectStoredOrSetForTheRun)
{
    BotRig t;
    EXPECT_EQ(t.botMode.server(), (TocEndpoint {QStringLiteral("toc.oscar.aol.com"), 5190}));
    EXPECT_EQ(t.botMode.authorizer(), (TocEndpoint {QStringLiteral("login.oscar.aol.com"), 29999}));
    SaveSetting(BotMode::kGroup, BotMode::kServerKey, QStringLiteral(" 127.0.0.1 "));
    SaveSetting(BotMode::kGroup, BotMode::kPortKey, QStringLiteral("9898"));
    SaveSetting(BotMode::kGroup, BotMode::kAuthorizerKey, QStringLiteral("auth.example"));
    SaveSetting(BotMode::kGroup, BotMode::kAuthPortKey, QStringLiteral("70000"));
    EXPECT_EQ(t.botMode.server(), (TocEndpoint {QStringLiteral("127.0.0.1"), 9898}));
    EXPECT_EQ(t.botMode.authorizer(), (TocEndpoint {QStringLiteral("auth.example"), 29999}));
    t.botMode.setServer({QStringLiteral("elsewhere.example"), 1});
    EXPECT_EQ(t.botMode.server(), (TocEndpoint {QStringLiteral("elsewhere.example"), 1}));
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kServerKey), " 127.0.0.1 ");

    // The GUI's dialect is TOC2 when the store holds none.
    const QList<std::pair<QString, TocDialect>> stored {{"", TocDialect::Toc2},     {"3", TocDialect::Toc2},
                                                        {"toc1", TocDialect::Toc2}, {" Auto ", TocDialect::Auto},
                                                        {"2", TocDialect::Toc2},    {"1", TocDialect::Toc1}};
    for (const auto& [text, dialect] : stored) {
        SaveSetting(BotMode::kGroup, BotMode::kVersionKey, text);
        EXPECT_EQ(t.botMode.dialect(), dialect) << qPrintable(text);
    }
    t.botMode.setDialect(TocDialect::Auto);
    for (const TocDialect dialect : {TocDialect::Toc2, TocDialect::Auto, TocDialect::Toc1}) {
        BotMode::storeDialect(dialect);
        EXPECT_EQ(BotMode::storedDialect(), dialect);
    }
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kVersionKey), "1");
    EXPECT_EQ(t.botMode.dialect(), TocDialect::Auto);
    for (const QString& key :
         {BotMode::kServerKey, BotMode::kPortKey, BotMode::kAuthorizerKey, BotMode::kAuthPortKey, BotMode::kVersionKey})
        SaveSetting(BotMode::kGroup, key, QString());
}

TEST(TocEndpoint, AcceptsHostNamesIpv4AndBracketedIpv6AndPrintsWhatParsesBack)
{
    // What is given, and how it prints.
    const QList<std::pair<QString, QString>> good {{" 127.0.0.1:9898 ", "127.0.0.1:9898"},
                                                   {"[::1]:65535", "[::1]:65535"},
                                                   {"[::1]", "[::1]:5190"},
                                                   {"fe80::2", "[fe80::2]:5190"},
                                                   {"toc.example.org.", "toc.example.org.:5190"},
                                                   {"my_host-2:1", "my_host-2:1"},
                                                   {"[fe80::1%eth0]:7", "[fe80::1%eth0]:7"}};
    for (const auto& [text, printed] : good) {
        const auto parsed = TocEndpoint::parse(text, 5190);
        ASSERT_TRUE(parsed) << qPrintable(text);
        EXPECT_EQ(parsed->toString(), printed);
        EXPECT_EQ(TocEndpoint::parse(printed, 1), parsed) << qPrintable(text);
    }
    // Each bad one fails at once instead of at connect time.
    const QStringList bad = QString::fromUtf8("|:5190|host:|host:0|host:65536|host:12x|host:+1|[::1|[::1]x|[::1]:|"
                                              "localhost:5190:|127.0.0.1::5190|host name:99|ho\x01st:5190|1[::1]:272|"
                                              "[127.0.0.1]:5|[host]:5|a..b|.a|1.2.3:5|1.2.3.256|1.2.3.4.:5|host/x|"
                                              "caf\xc3\xa9\tbar")
                                .split(u'|');
    for (const QString& text : bad)
        EXPECT_FALSE(TocEndpoint::parse(text, 5190)) << qPrintable(text);
}

}  // namespace
