#include "TocTestServer.h"
#include "WaitFor.h"
#include "support/QtPrinters.h"

#include "controls/UserStore.h"
#include "support/TestForm.h"
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

// A main form over fakes whose bot panel points at our server.
struct BotModeTest : ::testing::Test {
    TocTestServer server;
    TestForm t;
    // Every line the bot hands to the chat-line handler: "who|what|date".
    QStringList lines;

    BotModeTest()
    {
        t->botMode.setServer({QStringLiteral("127.0.0.1"), server.port()});
        t->botMode.setAuthorizer({QStringLiteral("login.example"), 29999});
        t->botSN.setText(QStringLiteral("Marl Bot"));
        t->botPW.setText(QStringLiteral("secret"));
        t->chkBot.setValue(1);
        QObject::connect(&t->botMode, &BotMode::aimchatscan,
                         [this](const QString& who, const QString& what, const QString& date) {
                             lines.append(who + u'|' + what + u'|' + date);
                         });
    }

    // Clicks Signon and plays the server's part of a sign-on, watching the
    // label and the button on the way.
    void signOn()
    {
        ASSERT_EQ(t->skinButton6.caption(), "Signon");
        ASSERT_NO_FATAL_FAILURE(answerSignOn([this] { t->botMode.skinButton6_Click(); }));
    }

    // The server's part of the sign-on that `start` begins.
    template <typename Start> void answerSignOn(Start start)
    {
        const int before = server.connectionsAccepted();
        start();
        EXPECT_EQ(t->labToc.caption(), "Connecting");
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
        server.sendFrame(1, TocTestServer::signOnPayload());
        ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
        EXPECT_EQ(t->skinButton6.caption(), "Signon");
        server.sendMessage(TocTestServer::SIGN_ON());
        server.sendMessage(TocTestServer::CONFIG2("m:1\ndone:\n"));
        ASSERT_TRUE(waitFor([&] { return t->skinButton6.caption() == QLatin1String("Logoff"); }));
        EXPECT_EQ(t->labToc.caption(), "Signed On!");
        EXPECT_EQ(t->toc.state(), State::SignedOn);
    }

    // Clicks Join and confirms the join as room `id`.
    void join(qint32 id)
    {
        t->botMode.skinButton7_Click();
        server.sendMessage(TocTestServer::CHAT_JOIN(id, t->txtChat.text().toUtf8()));
        ASSERT_TRUE(waitFor([&] { return t->toc.LastChatID() == id; }));
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
    t->chkBot.setValue(0);
    t->chat1.scan_on();
    t->chkBot.setValue(1);
    t->botMode.chkBot_Click();
    EXPECT_EQ(t->List1Height.value(), 2130);
    EXPECT_FALSE(t->chat1.isScanning());
    t->chkBot.setValue(0);
    t->botMode.chkBot_Click();
    EXPECT_EQ(t->List1Height.value(), 3600);
    EXPECT_TRUE(t->chat1.isScanning());
}

TEST_F(BotModeTest, AfterAStartThatCountedTheLoadsTheFirstClickSignsOn)
{
    t->lstsettings.addItem(QStringLiteral("[loads]:3"));
    t->settings.applyAtStartUp();
    ASSERT_EQ(t->skinButton6.caption(), "Signon");

    ASSERT_NO_FATAL_FAILURE(signOn());
    EXPECT_EQ(server.connectionsAccepted(), 1);
    // The panel's name and password, the authorizer only named in the login.
    EXPECT_EQ(server.commands()[0],
              "toc2_login login.example 29999 marlbot 0x270c005d311b English  "
              "\"MarlSockTOC2.0\" 160 US \"\" \"\" 3 0 30303 -kentucky -utf8 52093817");
    // Logoff offers Signon again; the label keeps its text.
    t->botMode.skinButton6_Click();
    EXPECT_EQ(t->skinButton6.caption(), "Signon");
    EXPECT_EQ(t->labToc.caption(), "Signed On!");
    EXPECT_TRUE(waitFor([&] { return server.clientGone(); }));
}

TEST_F(BotModeTest, ALostConnectionIsSignedOnAgainWithTheRoomUntilTheOwnerLeavesBotMode)
{
    Reconnector& reconnect = t->botMode.reconnect;
    reconnect.setSchedule(ReconnectSchedule({}, [] { return 0.0; }));
    ASSERT_NO_FATAL_FAILURE(signOn());
    EXPECT_TRUE(t->toc.tmrAntiIdle.isActive());
    EXPECT_TRUE(keepsAliveTo(server.port()));
    ASSERT_NO_FATAL_FAILURE(join(31));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return t->skinButton6.caption() == QLatin1String("Signon"); }));
    EXPECT_EQ(t->labToc.caption(), "Retry in 1 s");
    EXPECT_TRUE(reconnect.isWaiting());
    EXPECT_EQ(reconnect.tmrRetry.interval(), 1000);
    EXPECT_FALSE(t->toc.tmrAntiIdle.isActive());

    // The room joined by hand is joined again, with nothing left first.
    ASSERT_NO_FATAL_FAILURE(answerSignOn([&] { reconnect.tmrRetry_Timer(); }));
    EXPECT_EQ(sentAfterSignOn(1), QList<QByteArray> {"toc_chat_join \"4\" \"Chat\""});

    // Nobody listens any more: each failed try waits twice as long.
    server.stopListening();
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return reconnect.isWaiting(); }));
    reconnect.tmrRetry_Timer();
    ASSERT_TRUE(waitFor([&] { return t->labToc.caption() == QLatin1String("Retry in 4 s"); }));
    EXPECT_EQ(t->toc.state(), State::Disconnected);

    // Signon by hand tries at once; leaving bot mode ends the retries.
    t->botMode.skinButton6_Click();
    ASSERT_TRUE(waitFor([&] { return t->labToc.caption() == QLatin1String("Retry in 8 s"); }));
    t->chkBot.setValue(0);
    t->botMode.chkBot_Click();
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
}

TEST_F(BotModeTest, LogoffRefusalAndSilenceEachEndOrDelayTheRetries)
{
    Reconnector& reconnect = t->botMode.reconnect;
    reconnect.setSchedule(ReconnectSchedule({}, [] { return 0.0; }));
    ASSERT_NO_FATAL_FAILURE(signOn());
    t->botMode.skinButton6_Click();  // Logoff
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());

    // A server that never answers the sign-on is left after a while.
    t->botMode.skinButton6_Click();
    ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() == 2 && server.greeting().size() == 10; }));
    EXPECT_TRUE(reconnect.tmrSignOnWait.isActive());
    reconnect.tmrSignOnWait_Timer();
    EXPECT_EQ(t->toc.state(), State::Disconnected);
    EXPECT_EQ(t->labToc.caption(), "Retry in 1 s");
    EXPECT_TRUE(waitFor([&] { return server.clientGone(); }));

    // "Connecting too often" waits ten minutes; a wrong password ends it all.
    const auto refuse = [&](int error) {
        const int before = server.connectionsAccepted();
        reconnect.tmrRetry_Timer();
        ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > before && server.greeting().size() == 10; }));
        server.sendFrame(1, TocTestServer::signOnPayload());
        server.sendMessage(TocTestServer::ERROR(error));
        server.closeClient();
        ASSERT_TRUE(waitFor([&] { return t->toc.state() == State::Disconnected; }));
    };
    ASSERT_NO_FATAL_FAILURE(refuse(983));
    EXPECT_EQ(t->labToc.caption(), "Retry in 10 min");
    EXPECT_EQ(reconnect.tmrRetry.interval(), 600000);
    ASSERT_NO_FATAL_FAILURE(refuse(980));
    EXPECT_EQ(t->labToc.caption(), "Wrong name or password");
    EXPECT_FALSE(reconnect.isWaiting() || reconnect.isRunning());
    reconnect.tmrRetry_Timer();
    EXPECT_EQ(t->toc.state(), State::Disconnected);
}

TEST_F(BotModeTest, TheNamedOwnerRulesOnlyWhileBotModeIsOnAndIsRemembered)
{
    t->lbuser.setCaption(QStringLiteral("Found One"));
    t->botMode.botOwner.setText(QStringLiteral("Owner One"));
    t->botMode.botOwner_Change();
    EXPECT_EQ(t->lbuser.caption(), "Owner One");
    // The bot's own tag coming back from the server does not take over.
    t->lbuser.setCaption(QStringLiteral("Marl Bot"));
    EXPECT_EQ(t->lbuser.caption(), "Owner One");
    t->chkBot.setValue(0);
    t->botMode.chkBot_Click();
    EXPECT_EQ(t->lbuser.caption(), "Found One");
    t.reset();
    EXPECT_EQ(t->botMode.botOwner.text(), "Owner One");
    EXPECT_EQ(t->lbuser.caption(), MainForm::kUnknownOwner);
    SaveSetting(BotMode::kBotGroup, BotMode::kOwnerKey, QString());
}

TEST_F(BotModeTest, JoinLeavesTheRoomJoinedLastFirstAndRefusesABadExchange)
{
    ASSERT_NO_FATAL_FAILURE(signOn());
    t->botMode.skinButton7_Click();
    ASSERT_EQ(sentAfterSignOn(2).size(), 2);
    server.sendMessage(TocTestServer::CHAT_JOIN(1234, "Chat"));
    ASSERT_TRUE(waitFor([&] { return t->toc.LastChatID() == 1234; }));
    t->txtChat.setText(QStringLiteral("Music Room"));
    for (const char* exchange : {"four", "40000", "", " 5 "}) {
        t->txtEx.setText(QString::fromLatin1(exchange));
        t->botMode.skinButton7_Click();
    }
    t->botMode.skinButton8_Click();
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
    EXPECT_EQ(t.ui.messages, QStringList(3, QStringLiteral("TOC Bot: ") + BotMode::kBadExchange));
    EXPECT_EQ(t->toc.state(), State::SignedOn);
}

TEST_F(BotModeTest, RoomLinesReachTheHandlerUntaggedAndOnlyTheOwnerIsAnsweredEscaped)
{
    ASSERT_NO_FATAL_FAILURE(signOn());
    ASSERT_NO_FATAL_FAILURE(join(31));
    t->lbuser.setCaption(QStringLiteral("Owner One"));
    // A song name with a double quote and a trailing backslash.
    t->labFile.setCaption(QStringLiteral("say \"hi\" C:\\x\\"));
    server.sendMessage(TocTestServer::CHAT_IN_ENC(31, "Owner One", false, "<FONT COLOR=\"#000000\">p?</FONT>"));
    server.sendMessage(TocTestServer::CHAT_IN_ENC(31, "Some One", false, "p?"));
    server.sendMessage(TocTestServer::CHAT_IN_ENC(12, "Other", true, "<b>x</b> a > b <i"));
    ASSERT_TRUE(waitFor([&] { return lines.size() == 3; }));
    EXPECT_EQ(lines, QStringList({"Owner One|p?|0", "Some One|p?|0", "Other|x a > b <i|0"}));
    // Once the Part arrives, every reply sent before it has arrived too.
    t->botMode.skinButton8_Click();
    EXPECT_EQ(sentAfterSignOn(4).mid(2),
              (QList<QByteArray> {
                  "toc_chat_send 31 \"P</b>laying [say \\\"hi\\\" C:\\\\x\\\\]\"",
                  "toc_chat_leave \"31\"",
              }));
}

TEST_F(BotModeTest, UnloadPostsItsLastLineThenClosesTheConnection)
{
    ASSERT_NO_FATAL_FAILURE(signOn());
    ASSERT_NO_FATAL_FAILURE(join(5));
    t->txtFont.setText(QStringLiteral("<b>"));
    t->Form_Unload();
    EXPECT_EQ(t->toc.state(), State::Disconnected);
    EXPECT_FALSE(t->botMode.reconnect.isWaiting());
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(server.commands().constLast(),
              "toc_chat_send 5 \"<b><i>(</i> quillon\xc2\xb3\xc2\xb7\xc2\xb2 <i>) unloaded.\"");
}

TEST_F(BotModeTest, UnloadWhileSignedOffLeavesTheClientAlone)
{
    int changes = 0;
    QObject::connect(&t->toc, &MarlTOCSock::stateChanged, [&] { ++changes; });
    QObject::connect(&t->toc, &MarlTOCSock::LoggedOff, [&] { ++changes; });
    t->Form_Unload();
    EXPECT_EQ(changes, 0);
}

// The hosts come from the per-user store unless set for the run.
TEST(BotHosts, DefaultsStoredHostsAndABadStoredPort)
{
    TocTestServer server;
    TestForm t;
    EXPECT_EQ(t->botMode.server(), (TocEndpoint {QStringLiteral("toc.oscar.aol.com"), 5190}));
    EXPECT_EQ(t->botMode.authorizer(), (TocEndpoint {QStringLiteral("login.oscar.aol.com"), 29999}));

    SaveSetting(BotMode::kGroup, BotMode::kServerKey, QStringLiteral("127.0.0.1"));
    SaveSetting(BotMode::kGroup, BotMode::kPortKey, QString::number(server.port()));
    SaveSetting(BotMode::kGroup, BotMode::kAuthorizerKey, QStringLiteral("auth.example"));
    SaveSetting(BotMode::kGroup, BotMode::kAuthPortKey, QStringLiteral("70000"));
    t->botSN.setText(QStringLiteral("Quill"));
    t->botMode.skinButton6_Click();
    EXPECT_TRUE(waitFor([&] { return server.greeting().size() == 10; }));
    server.sendFrame(1, TocTestServer::signOnPayload());
    EXPECT_TRUE(waitFor([&] { return server.commands().size() == 1; }));
    EXPECT_TRUE(server.commands().value(0).startsWith("toc2_login auth.example 29999 quill "));

    // A host set for the run wins over the store without changing it.
    t->botMode.setServer({QStringLiteral("elsewhere.example"), 1});
    EXPECT_EQ(t->botMode.server(), (TocEndpoint {QStringLiteral("elsewhere.example"), 1}));
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kServerKey), "127.0.0.1");
    for (const QString& key : {BotMode::kServerKey, BotMode::kPortKey, BotMode::kAuthorizerKey, BotMode::kAuthPortKey})
        SaveSetting(BotMode::kGroup, key, QString());
}

// The GUI's dialect is the per-user store's, TOC2 when it holds none.
TEST(BotDialect, StoredOrSetForTheRunAndUsedBySignon)
{
    TestForm t;
    const QList<std::pair<QString, TocDialect>> stored {
        {"", TocDialect::Toc2}, {"3", TocDialect::Toc2}, {" auto", TocDialect::Auto}, {"1", TocDialect::Toc1}};
    for (const auto& [text, dialect] : stored) {
        SaveSetting(BotMode::kGroup, BotMode::kVersionKey, text);
        EXPECT_EQ(t->botMode.dialect(), dialect) << qPrintable(text);
    }

    TocTestServer server;
    server.actAsToc1("quill", "0x2408105c23001130");
    t->botMode.setServer({QStringLiteral("127.0.0.1"), server.port()});
    t->botSN.setText(QStringLiteral("Quill"));
    t->botPW.setText(QStringLiteral("password"));
    t->botMode.skinButton6_Click();
    ASSERT_TRUE(waitFor([&] { return t->skinButton6.caption() == QLatin1String("Logoff"); }));
    EXPECT_TRUE(server.commands().value(0).startsWith("toc_signon "));

    // A dialect set for the run wins over the store without changing it.
    t->botMode.setDialect(TocDialect::Auto);
    EXPECT_EQ(t->botMode.dialect(), TocDialect::Auto);
    BotMode::storeDialect(TocDialect::Toc2);
    EXPECT_EQ(t->botMode.dialect(), TocDialect::Auto);
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kVersionKey), "2");
    SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QString());
}

TEST(TocEndpoint, AcceptsHostNamesIpv4AndBracketedIpv6AndPrintsWhatParsesBack)
{
    const struct {
        const char* text;
        const char* host;
        quint16 port;
    } good[] = {
        {" 127.0.0.1:9898 ", "127.0.0.1", 9898},
        {"[::1]:65535", "::1", 65535},
        {"[::1]", "::1", 5190},
        {"fe80::2", "fe80::2", 5190},
        {"toc.example.org.", "toc.example.org.", 5190},
        {"my_host-2:1", "my_host-2", 1},
        {"[fe80::1%eth0]:7", "fe80::1%eth0", 7},
    };
    for (const auto& g : good) {
        const auto parsed = TocEndpoint::parse(QString::fromLatin1(g.text), 5190);
        ASSERT_TRUE(parsed) << g.text;
        EXPECT_EQ(*parsed, (TocEndpoint {QString::fromLatin1(g.host), g.port})) << g.text;
        EXPECT_EQ(TocEndpoint::parse(parsed->toString(), 1), parsed) << g.text;
    }
    // Each bad one fails at once instead of at connect time.
    for (const char* bad : {"",
                            ":5190",
                            "host:",
                            "host:0",
                            "host:65536",
                            "host:12x",
                            "host:+1",
                            "[::1",
                            "[::1]x",
                            "[::1]:",
                            "localhost:5190:",
                            "127.0.0.1::5190",
                            "host name:99",
                            "ho\x01st:5190",
                            "1[::1]:272",
                            "[127.0.0.1]:5",
                            "[host]:5",
                            "a..b",
                            ".a",
                            "1.2.3:5",
                            "1.2.3.256",
                            "1.2.3.4.:5",
                            "host/x",
                            "caf\xc3\xa9\tbar"})
        EXPECT_FALSE(TocEndpoint::parse(QString::fromUtf8(bad), 5190)) << bad;
}

}  // namespace
