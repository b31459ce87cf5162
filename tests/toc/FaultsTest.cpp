#include "TocSession.h"

#include <memory>

using Faults = TocSession;

TEST_F(Faults, ServerClosingMidFrameEndsTheSessionCleanly)
{
    signOn();
    log.events.clear();
    const QByteArray chat = server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, "cut short"));
    server.send(server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, "whole")) + chat.first(10));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|false|whole)", "LoggedOff(marlbot)"}));
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);

    // The cut-off bytes do not leak into the next connection.
    log.events.clear();
    signOn();
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "fresh"));
    ASSERT_TRUE(waitFor([&] { return log.has("IncomingChatMessage"); }));
    EXPECT_EQ(log.events.last(), "IncomingChatMessage(7|Al|false|fresh)");
}

TEST_F(Faults, BytesThatAreNotFramesDropTheConnectionAndSayWhy)
{
    signOn();
    log.events.clear();
    server.send("HTTP/1.1 400 Bad Request\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.failures, 1);
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    signOn();
}

TEST_F(Faults, RefusedSignOnIsAnErrorThenTheClose)
{
    reachSigningOn();
    server.sendMessage(TocTestServer::ERROR(980));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events, (QStringList{"Error(980)", "LoggedOff(marlbot)"}));
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);
}

TEST_F(Faults, UnknownFrameTypesAndJunkPayloadsOnlyRaiseIncomingPacket)
{
    signOn();
    log.events.clear();
    server.sendFrame(9, "whatever");
    server.sendFrame(2, QByteArray("\xff\xfe\0\x01:::", 7));
    server.sendFrame(5, QByteArray());
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "still here"));
    ASSERT_TRUE(waitFor([&] { return log.has("IncomingChatMessage"); }));
    EXPECT_EQ(log.events, QStringList{"IncomingChatMessage(7|Al|false|still here)"});
    EXPECT_EQ(toc.state(), MarlTOCSock::State::SignedOn);
}

TEST_F(Faults, ServerThatNeverAnswersCanBeLeftForANewLogin)
{
    connectClient();
    EXPECT_EQ(toc.state(), MarlTOCSock::State::GreetingSent);
    // No sign-on frame ever comes; the owner signs on again.
    signOn();
    EXPECT_EQ(server.connectionsAccepted(), 2);
    // Dropping the first connection announced nothing.
    EXPECT_FALSE(log.has("LoggedOff"));
}

TEST_F(Faults, RefusedConnectionIsReportedAndANewLoginWorks)
{
    const quint16 deadPort = server.port();
    server.stopListening();
    toc.Login(QStringLiteral("Marl Bot"), QStringLiteral("pw"), QStringLiteral("127.0.0.1"), deadPort);
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Connecting);
    ASSERT_TRUE(waitFor([&] { return log.failures == 1; }));
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);
    EXPECT_TRUE(log.events.isEmpty());

    TocTestServer second;
    toc.Login(QStringLiteral("Marl Bot"), QStringLiteral("pw"), QStringLiteral("127.0.0.1"), second.port());
    ASSERT_TRUE(waitFor([&] { return second.greeting() == "FLAPON\r\n\r\n"; }));
}

TEST_F(Faults, LogOffInsideAHandlerStopsTheRestOfTheBurst)
{
    signOn();
    log.events.clear();
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc,
            [&](qint32, const QString&, bool, const QString& text) {
                if (text == QLatin1String("quit"))
                    toc.LogOff();
            });
    server.send(server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, "quit"))
                + server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, "after")));
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|false|quit)", "LoggedOff(marlbot)"}));
    signOn();
}

TEST_F(Faults, LoggingOffOnTheLastFrameBeforeACloseIsAnnouncedOnce)
{
    signOn();
    log.events.clear();
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc, [&] { toc.LogOff(); });
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "bye"));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|false|bye)", "LoggedOff(marlbot)"}));
}

TEST_F(Faults, SigningOnAgainOnTheLastFrameBeforeACloseKeepsTheNewConnection)
{
    signOn();
    log.events.clear();
    const int accepted = server.connectionsAccepted();
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc, [&] {
        toc.Login(QStringLiteral("Marl Bot"), QStringLiteral("secret"), QStringLiteral("127.0.0.1"), server.port());
    });
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "again"));
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return server.connectionsAccepted() > accepted && server.greeting().size() == 10; }));
    EXPECT_EQ(toc.state(), MarlTOCSock::State::GreetingSent);
    EXPECT_EQ(log.events, QStringList{"IncomingChatMessage(7|Al|false|again)"});
}

TEST_F(Faults, HandlerThatLetsEventsRunLosesNothing)
{
    signOn();
    log.events.clear();
    bool served = false;
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc,
            [&](qint32, const QString&, bool, const QString& text) {
                if (text != QLatin1String("first") || served)
                    return;
                served = true;
                // Like a reply that waits a moment: more data arrives and is
                // read meanwhile, and must still be handled after this frame.
                server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "during"));
                toc.SendChat(7, QStringLiteral("ping"));
                waitFor([&] { return server.commands().contains("toc_chat_send 7 \"ping\""); });
            });
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "first"));
    ASSERT_TRUE(waitFor([&] { return log.events.size() == 2; }));
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|false|first)",
                                       "IncomingChatMessage(7|Al|false|during)"}));
}

TEST_F(Faults, CloseSeenWhileAHandlerLetsEventsRunComesAfterTheLastFrames)
{
    signOn();
    log.events.clear();
    bool served = false;
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc, [&] {
        if (served)
            return;
        served = true;
        const qint64 before = toc.bytesReceived();
        server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "last words"));
        server.closeClient();
        // The close is noticed here, inside the handler, and takes the
        // bytes that came with it.
        waitFor([&] { return toc.bytesReceived() > before; });
    });
    server.sendMessage(TocTestServer::CHAT_IN_ENC(7, "Al", false, "first"));
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|false|first)",
                                       "IncomingChatMessage(7|Al|false|last words)", "LoggedOff(marlbot)"}));
}

TEST_F(Faults, DestroyingAConnectedClientAnnouncesNothing)
{
    auto own = std::make_unique<MarlTOCSock>();
    int loggedOff = 0;
    QObject::connect(own.get(), &MarlTOCSock::LoggedOff, [&] { ++loggedOff; });
    own->Login(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("127.0.0.1"), server.port());
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }));
    own.reset();
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(loggedOff, 0);
}
