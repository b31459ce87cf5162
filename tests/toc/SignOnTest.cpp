#include "TocSession.h"

using SignOn = TocSession;
using State = MarlTOCSock::State;

TEST_F(SignOn, GreetingSignOnFrameLoginCommandNickAndConfig2)
{
    connectClient(QStringLiteral("Ab Cdef"));
    EXPECT_EQ(server.greeting(), "FLAPON\r\n\r\n");
    EXPECT_TRUE(server.frames().isEmpty());
    EXPECT_EQ(toc.state(), State::GreetingSent);

    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitForCommands(1));
    // Two capitalised words, six letters: lower-case, no blank, length 00 06.
    EXPECT_EQ(server.frames()[0].type, 1);
    EXPECT_EQ(server.frames()[0].payload,
              QByteArray("\0\0\0\1\0\1\0\x06"
                         "abcdef",
                         14));
    EXPECT_EQ(server.commands()[0],
              "toc2_login login.example 29999 abcdef 0x270c005d311b"
              " English  \"MarlSockTOC2.0\" 160 US \"\" \"\" 3 0 30303 -kentucky -utf8 52093817");
    EXPECT_EQ(toc.state(), State::SigningOn);

    // A NICK before CONFIG2 names the login as the server wrote it.
    server.sendMessage(TocTestServer::SIGN_ON());
    server.sendMessage(TocTestServer::NICK("Ab Cdef"));
    server.sendMessage("CONFIG2:m:1\ng:Friends\nb:Alice\nb:Bob:alias\nd:Carol\np:Dave\ndone:\n");
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedIn") && server.commands().size() == 2; }));
    EXPECT_EQ(server.commands()[1], "toc_init_done");
    EXPECT_EQ(log.events, QStringList {"LoggedIn(Ab Cdef|Group [Friends]\r\nAlice\r\nBob\r\n|Carol\r\n)"});
    EXPECT_EQ(toc.state(), State::SignedOn);
}

TEST_F(SignOn, WithoutAuthorizerOnlyTheVersionOnePayloadIsAnswered)
{
    toc.Login(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("127.0.0.1"), server.port());
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }));
    server.sendFrame(1, QByteArray("\0\0\0\2", 4));
    server.sendFrame(1, QByteArray("\0\0\0\1\0", 5));
    server.sendFrame(2, TocTestServer::SIGN_ON());
    ASSERT_TRUE(waitFor([&] { return log.packets == 3; }));
    EXPECT_TRUE(server.frames().isEmpty());
    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitForCommands(1));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login  0 x 0x2d English"));
}

TEST_F(SignOn, SequenceCountsFromOneAndNothingSentOfflineTakesANumber)
{
    signOn();
    // The timer's own signal, as when its minute is up, sends the keep-alive.
    ASSERT_TRUE(QMetaObject::invokeMethod(&toc.tmrAntiIdle, "timeout"));
    // LogOff still sends what was said before it, and is announced once.
    toc.ChatLeave(7);
    toc.LogOff();
    EXPECT_EQ(log.events, QStringList {"LoggedOff(marlbot)"});
    EXPECT_EQ(toc.state(), State::Disconnected);
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(log.events, QStringList {"LoggedOff(marlbot)"});
    ASSERT_EQ(server.frames().size(), 5);
    // The keep-alive is an empty type-5 frame.
    EXPECT_EQ(server.frames()[3].type, 5);
    EXPECT_TRUE(server.frames()[3].payload.isEmpty());
    EXPECT_EQ(server.commands().last(), "toc_chat_leave \"7\"");
    for (quint16 i = 0; i < 5; ++i)
        EXPECT_EQ(server.frames()[i].sequence, i + 1);

    toc.SendChat(7, QStringLiteral("lost"));
    toc.tmrAntiIdle_Timer();
    toc.AddCapability(QStringLiteral("CAP-Z"));
    reachSigningOn();
    EXPECT_EQ(server.frames()[0].sequence, 6);
    EXPECT_EQ(server.frames()[1].sequence, 7);
    // The identifier was still recorded while offline.
    toc.AddCapability(QStringLiteral("CAP-Y"));
    ASSERT_TRUE(waitForCommands(2));
    EXPECT_EQ(server.commands()[1], "toc_set_caps \" CAP-Z CAP-Y\"");
}

TEST_F(SignOn, SequenceWrapsAfter65534AndWhatTheHeaderCannotDescribeTakesNoNumber)
{
    signOn();  // frames 1 to 3
    toc.SendPacket(300, "no such type");
    toc.SendPacket(-1, "no such type");
    toc.SendPacket(2, QByteArray(65536, 'x'));
    toc.SendPacket(9, QByteArray(65535, 'y'));
    for (int i = 5; i <= 65536; ++i)
        toc.tmrAntiIdle_Timer();
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 65536; }, 30000));
    EXPECT_EQ(server.frames()[3].type, 9);
    EXPECT_EQ(server.frames()[3].sequence, 4);
    EXPECT_EQ(server.frames()[3].payload, QByteArray(65535, 'y'));
    EXPECT_EQ(server.frames()[65533].sequence, 65534);
    EXPECT_EQ(server.frames()[65534].sequence, 0);
    EXPECT_EQ(server.frames()[65535].sequence, 1);
}
