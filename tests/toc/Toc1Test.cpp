#include "TocSession.h"

#include <functional>

namespace {

using S = TocTestServer;
using State = MarlTOCSock::State;

// A client against our server acting as a TOC1 server of today; every
// dialect the client settles on is kept in order.
struct Toc1 : TocSession {
    QList<TocDialect> settled;
    const QString loggedIn = QStringLiteral("LoggedIn(marlbot|Group [Buddies]\r\nOwner One\r\n|)");

    void SetUp() override
    {
        // "password" roasted with "Tic/Toc".
        server.actAsToc1("marlbot", "0x2408105c23001130");
        QObject::connect(&toc, &MarlTOCSock::dialectSettled, [this](TocDialect d) { settled.append(d); });
    }
    void signOnWith(TocDialect dialect)
    {
        toc.setDialect(dialect);
        toc.Login(QStringLiteral("Marl Bot"), QStringLiteral("password"), QStringLiteral("127.0.0.1"), server.port(),
                  QStringLiteral("login.example"), 29999);
        ASSERT_TRUE(waitFor([&] { return toc.state() == State::SignedOn && server.commands().size() == 2; }));
    }
};

TEST_F(Toc1, SignsOnWithTocSignonAndRaisesTheEventsOfTheToc1Messages)
{
    ASSERT_NO_FATAL_FAILURE(signOnWith(TocDialect::Toc1));
    EXPECT_EQ(server.frames()[0].payload, QByteArray("\0\0\0\1\0\1\0\x07marlbot", 15));
    EXPECT_EQ(server.commands(),
              (QList<QByteArray> {
                  "toc_signon login.example 29999 marlbot 0x2408105c23001130 english \"MarlSockTOC1.0\"",
                  "toc_init_done",
              }));
    EXPECT_EQ(log.events, QStringList {loggedIn});
    EXPECT_TRUE(settled.isEmpty());

    // Each message and the event it raises; none where the text is empty.
    const QList<std::pair<QByteArray, QString>> cases {
        {"SIGN_ON:TOC1.0", ""},
        // A message both dialects share.
        {S::CHAT_JOIN(0, "Music Room"), "JoinedChat(Music Room|0)"},
        // The message is everything after the fourth colon.
        {S::CHAT_IN(0, "Al B", false, "<b>time: 12:30 :)</b>"),
         "IncomingChatMessage(0|Al B|false|<b>time: 12:30 :)</b>)"},
        {S::CHAT_IN(0, "Al", true, "psst"), "IncomingChatMessage(0|Al|true|psst)"},
        {"chat_in:0:Al:t:x", "IncomingChatMessage(0|Al|false|x)"},
        {"CHAT_IN:0:Al:F", ""},
        {"CHAT_IN:zero:Al:F:x", ""},
        {"IM_IN:Al B:F:hi: there", "IncomingMessage(Al B|hi: there)"},
        {"IM_IN:Al B:T", ""},
        {"UPDATE_BUDDY:Al B:T:0:0:0: O", "BuddyOnline(Al B)"},
        {"UPDATE_BUDDY:Al:t:0", "BuddyOnline(Al)"},
        {"UPDATE_BUDDY:Cy:F:0:0:0: O", "BuddyOffline(Cy)"},
        // Names with blanks, and a server that writes the TOC2 way.
        {"CONFIG:m 1\ng Friends\nb Bob Smith\nd Carol Ann\np Dave\nb:Al:alias\nx\n",
         "LoggedIn(marlbot|Group [Friends]\r\nBob Smith\r\nAl\r\n|Carol Ann\r\n)"},
    };
    sayExpecting(cases);
    EXPECT_EQ(toc.LastChatID(), 0);
    // Only the second CONFIG was answered.
    EXPECT_EQ(sentAfterSignOn(1), QList<QByteArray> {"toc_init_done"});
}

TEST_F(Toc1, BuddyAndDenyCommandsTakeTheirToc1FormsTheOthersStayAsTheyAre)
{
    ASSERT_NO_FATAL_FAILURE(signOnWith(TocDialect::Toc1));
    const QList<std::pair<std::function<void()>, QByteArray>> calls {
        {[&] { toc.AddBuddy("Al B", "Friends"); }, "toc_add_buddy \"alb\""},
        {[&] { toc.RemoveBuddy("Al B", "Friends"); }, "toc_remove_buddy \"alb\""},
        {[&] { toc.BlockUser("Al B"); }, "toc_add_deny \"alb\""},
        {[&] { toc.UnBlockUser("Al B"); }, "toc_remove_deny \"alb\""},
        {[&] { toc.SendIm("Al B", "(hi)", false); }, "toc_send_im \"alb\" \"\\(hi\\)\""},
    };
    QList<QByteArray> expected;
    for (const auto& [call, command] : calls) {
        call();
        expected.append(command);
    }
    EXPECT_EQ(sentAfterSignOn(expected.size()), expected);
    // Such a server hangs up on an empty command, which is heard as any close.
    toc.SendPacket2(QByteArray());
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(toc.state(), State::Disconnected);
}

TEST_F(Toc1, AutoSignsOnAgainWithToc1WhenHungUpOnAndKeepsItWithoutAnyLoggedOff)
{
    ASSERT_NO_FATAL_FAILURE(signOnWith(TocDialect::Auto));
    EXPECT_EQ(server.connectionsAccepted(), 2);
    EXPECT_EQ(server.earlierCommands().size(), 1);
    EXPECT_TRUE(server.commands().value(0).startsWith("toc_signon "));
    EXPECT_EQ(settled, QList<TocDialect> {TocDialect::Toc1});
    EXPECT_EQ(toc.speaking(), TocDialect::Toc1);
    EXPECT_EQ(log.events, QStringList {loggedIn});

    // The next sign-on of the run goes straight to TOC1, even when auto is
    // set again; choosing TOC2 starts over.
    toc.LogOff();
    ASSERT_NO_FATAL_FAILURE(signOnWith(TocDialect::Auto));
    EXPECT_EQ(server.connectionsAccepted(), 3);
    EXPECT_EQ(log.events, (QStringList {loggedIn, "LoggedOff(marlbot)", loggedIn}));
    toc.setDialect(TocDialect::Toc2);
    EXPECT_EQ(toc.speaking(), TocDialect::Toc2);
}

// A TOC2 server that answers toc2_login in any way settles auto on TOC2,
// and its refusal is reported, never taken for a TOC1 server.
using AutoOnToc2 = TocSession;

TEST_F(AutoOnToc2, ARefusalOrAnAnsweredSignOnKeepsToc2)
{
    QList<TocDialect> settled;
    QObject::connect(&toc, &MarlTOCSock::dialectSettled, [&](TocDialect d) { settled.append(d); });
    toc.setDialect(TocDialect::Auto);
    const QList<std::pair<QByteArray, QStringList>> answers {
        {S::ERROR(980), {"Error(980)", "LoggedOff(marlbot)"}},
        {S::SIGN_ON(), {"LoggedOff(marlbot)"}},
    };
    for (const auto& [answer, events] : answers) {
        log.events.clear();
        ASSERT_NO_FATAL_FAILURE(reachSigningOn());
        EXPECT_TRUE(server.commands().value(0).startsWith("toc2_login ")) << answer.constData();
        server.sendMessage(answer);
        server.closeClient();
        ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); })) << answer.constData();
        EXPECT_EQ(log.events, events);
    }
    EXPECT_EQ(settled, QList<TocDialect> {TocDialect::Toc2});
    EXPECT_EQ(server.connectionsAccepted(), 2);
}

}  // namespace
