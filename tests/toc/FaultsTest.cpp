#include "TocSession.h"

#include <memory>
#include <utility>

struct Faults : TocSession {
    using S = TocTestServer;
    using State = MarlTOCSock::State;
    QByteArray chat(const QByteArray& text) { return server.frame(2, S::CHAT_IN_ENC(7, "Al", false, text)); }
    // Runs `handler` for every chat line the client raises.
    template <typename F> void onChat(F handler)
    {
        QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc,
                         [handler](qint32, const QString&, bool, const QString& text) mutable { handler(text); });
    }
};

TEST_F(Faults, ServerClosingMidFrameEndsTheSessionCleanly)
{
    signOn();
    server.send(chat("whole") + chat("cut short").first(10));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events, (QStringList {"IncomingChatMessage(7|Al|false|whole)", "LoggedOff(marlbot)"}));
    EXPECT_EQ(toc.state(), State::Disconnected);

    // The cut-off bytes do not leak into the next connection.
    signOn();
    server.send(chat("fresh"));
    ASSERT_TRUE(waitFor([&] { return log.has("IncomingChatMessage"); }));
    EXPECT_EQ(log.events, QStringList {"IncomingChatMessage(7|Al|false|fresh)"});
}

TEST_F(Faults, JunkFramesAreSkippedAndBytesThatAreNoFramesDropTheConnection)
{
    signOn();
    server.sendFrame(9, "whatever");
    server.sendFrame(2, QByteArray("\xff\xfe\0\x01:::", 7));
    server.sendFrame(5, QByteArray());
    server.send(chat("still here"));
    ASSERT_TRUE(waitFor([&] { return log.has("IncomingChatMessage"); }));
    EXPECT_EQ(log.events, QStringList {"IncomingChatMessage(7|Al|false|still here)"});
    EXPECT_EQ(toc.state(), State::SignedOn);

    server.send("HTTP/1.1 400 Bad Request\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.failures, 1);
    EXPECT_EQ(toc.state(), State::Disconnected);
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    signOn();
}

TEST_F(Faults, LogOffInsideAHandlerStopsTheBurstAndIsAnnouncedOnceDespiteTheClose)
{
    signOn();
    onChat([&](const QString& text) {
        if (text == QLatin1String("quit"))
            toc.LogOff();
    });
    server.send(chat("quit") + chat("after"));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff") && server.clientGone(); }));
    EXPECT_EQ(log.events, (QStringList {"IncomingChatMessage(7|Al|false|quit)", "LoggedOff(marlbot)"}));
    signOn();
}

TEST_F(Faults, SigningOnAgainOnTheLastFrameBeforeACloseKeepsTheNewConnection)
{
    signOn();
    onChat([&](const QString&) {
        toc.Login(QStringLiteral("Marl Bot"), QStringLiteral("secret"), QStringLiteral("127.0.0.1"), server.port());
    });
    server.send(chat("again"));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() == 2 && server.greeting().size() == 10; }));
    EXPECT_EQ(toc.state(), State::GreetingSent);
    EXPECT_EQ(log.events, QStringList {"IncomingChatMessage(7|Al|false|again)"});
}

TEST_F(Faults, HandlerThatLetsEventsRunLosesNothingAndSeesTheCloseLast)
{
    signOn();
    onChat([&, served = false](const QString&) mutable {
        if (std::exchange(served, true))
            return;
        // Like a reply that waits a moment: more data arrives and is read
        // meanwhile, and must still be handled after this frame.
        server.send(chat("during"));
        toc.SendChat(7, QStringLiteral("ping"));
        waitFor([&] { return server.commands().contains("toc_chat_send 7 \"ping\""); });
        // The close, too, is noticed in here and takes the bytes that came
        // with it; it is announced after them.
        const qint64 before = toc.bytesReceived();
        server.send(chat("last words"));
        server.closeClient();
        waitFor([&] { return toc.bytesReceived() > before; });
    });
    server.send(chat("first"));
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events,
              (QStringList {"IncomingChatMessage(7|Al|false|first)", "IncomingChatMessage(7|Al|false|during)",
                            "IncomingChatMessage(7|Al|false|last words)", "LoggedOff(marlbot)"}));
}

TEST_F(Faults, DestroyingAConnectedClientAnnouncesNothing)
{
    auto own = std::make_unique<MarlTOCSock>();
    TocEventLog ownLog(*own);
    own->Login(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1"), server.port());
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }));
    own.reset();
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_TRUE(ownLog.events.isEmpty());
}
