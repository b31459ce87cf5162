#include "TocSession.h"

#include "toc/ModToc.h"

using SignOn = TocSession;

TEST_F(SignOn, GreetingThenSignOnFrameThenLoginCommand)
{
    connectClient(QStringLiteral("Marl Bot"), QStringLiteral("secret"));
    EXPECT_EQ(server.greeting(), "FLAPON\r\n\r\n");
    EXPECT_TRUE(server.frames().isEmpty());
    EXPECT_EQ(toc.state(), MarlTOCSock::State::GreetingSent);

    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitFor([&] { return server.frames().size() >= 2; }));
    const FlapFrame signOnFrame = server.frames()[0];
    EXPECT_EQ(signOnFrame.marker, '*');
    EXPECT_EQ(signOnFrame.type, 1);
    // Two capitalised words, six letters: the name goes out lower-case,
    // without its blank, with length 00 06.
    EXPECT_EQ(signOnFrame.payload, QByteArray("\0\0\0\1\0\1\0\x07" "marlbot", 15));
    EXPECT_EQ(server.frames()[1].type, 2);
    EXPECT_EQ(server.commands().value(0),
              "toc2_login login.example 29999 marlbot " + RoastPassword("secret")
                  + " English  \"MarlSockTOC2.0\" 160 US \"\" \"\" 3 0 30303 -kentucky -utf8 52093817");
    EXPECT_TRUE(server.commandsEndInNul());
    EXPECT_EQ(toc.state(), MarlTOCSock::State::SigningOn);
}

TEST_F(SignOn, SixLetterNameOfTwoWords)
{
    reachSigningOn(QStringLiteral("Ab Cdef"), QString());
    EXPECT_EQ(server.frames()[0].payload, QByteArray("\0\0\0\1\0\1\0\x06" "abcdef", 14));
    EXPECT_TRUE(server.commands().value(0).startsWith("toc2_login login.example 29999 abcdef 0x English  \""));
    EXPECT_EQ(toc.screenName(), QStringLiteral("abcdef"));
}

TEST_F(SignOn, OptionalAuthorizerArgumentsAreEmptyAndZero)
{
    toc.Login(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("127.0.0.1"), server.port());
    ASSERT_TRUE(waitFor([&] { return server.greeting().size() == 10; }));
    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitForCommands(1));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login  0 x 0x2d English"));
}

TEST_F(SignOn, OnlyTheVersionOnePayloadIsAnswered)
{
    connectClient();
    server.sendFrame(1, QByteArray("\0\0\0\2", 4));
    server.sendFrame(1, QByteArray("\0\0\0\1\0", 5));
    server.sendFrame(2, TocTestServer::SIGN_ON());
    ASSERT_TRUE(waitFor([&] { return log.packets == 3; }));
    EXPECT_TRUE(server.frames().isEmpty());
    server.sendFrame(1, TocTestServer::signOnPayload());
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 2; }));
}

TEST_F(SignOn, Config2SendsInitDoneThenLoggedInWithTheLists)
{
    reachSigningOn();
    server.sendMessage(TocTestServer::SIGN_ON());
    server.sendMessage("CONFIG2:m:1\ng:Friends\nb:Alice\nb:Bob:alias\nd:Carol\np:Dave\ndone:\n");
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedIn"); }));
    ASSERT_TRUE(waitForCommands(2));
    EXPECT_EQ(server.commands()[1], "toc_init_done");
    EXPECT_EQ(log.events, QStringList{"LoggedIn(marlbot|Group [Friends]\r\nAlice\r\nBob\r\n|Carol\r\n)"});
    EXPECT_EQ(toc.state(), MarlTOCSock::State::SignedOn);
}

TEST_F(SignOn, NickBeforeConfig2NamesTheLoginAsTheServerWroteIt)
{
    reachSigningOn();
    server.sendMessage(TocTestServer::SIGN_ON());
    server.sendMessage(TocTestServer::NICK("Marl Bot"));
    server.sendMessage(TocTestServer::CONFIG2("done:\n"));
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedIn"); }));
    EXPECT_EQ(log.events, QStringList{"LoggedIn(Marl Bot||)"});
    EXPECT_EQ(toc.screenName(), QStringLiteral("Marl Bot"));
}

TEST_F(SignOn, SequenceNumbersCountFromOneAndSkipNothingAcrossLogins)
{
    signOn();
    toc.tmrAntiIdle_Timer();
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 4; }));
    QList<quint16> sequences;
    for (const FlapFrame& f : server.frames())
        sequences.append(f.sequence);
    EXPECT_EQ(sequences, (QList<quint16>{1, 2, 3, 4}));

    // Nothing sent while not connected takes a number.
    toc.LogOff();
    toc.ChatLeave(7);
    toc.tmrAntiIdle_Timer();
    reachSigningOn();
    EXPECT_EQ(server.frames()[0].sequence, 5);
    EXPECT_EQ(server.frames()[1].sequence, 6);
}

TEST_F(SignOn, SequenceRunsTo65534ThenZero)
{
    signOn();  // frames 1 to 3
    for (int i = 4; i <= 65533; ++i)
        toc.tmrAntiIdle_Timer();
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 65533; }, 30000));
    toc.tmrAntiIdle_Timer();
    toc.tmrAntiIdle_Timer();
    toc.tmrAntiIdle_Timer();
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 65536; }));
    EXPECT_EQ(server.frames()[65532].sequence, 65533);
    EXPECT_EQ(server.frames()[65533].sequence, 65534);
    EXPECT_EQ(server.frames()[65534].sequence, 0);
    EXPECT_EQ(server.frames()[65535].sequence, 1);
}

TEST_F(SignOn, KeepAliveIsAnEmptyTypeFiveFrameOnlyWhileSwitchedOn)
{
    EXPECT_FALSE(toc.tmrAntiIdle.isActive());
    EXPECT_EQ(toc.tmrAntiIdle.interval(), 60000);
    toc.AntiIdle(true);
    EXPECT_TRUE(toc.tmrAntiIdle.isActive());
    signOn();
    toc.tmrAntiIdle_Timer();
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 4; }));
    EXPECT_EQ(server.frames()[3].type, 5);
    EXPECT_TRUE(server.frames()[3].payload.isEmpty());
    toc.AntiIdle(false);
    EXPECT_FALSE(toc.tmrAntiIdle.isActive());
}

TEST_F(SignOn, SendPacketFramesAnyPayloadItCanDescribe)
{
    signOn();
    toc.SendPacket(2, QByteArray());
    toc.SendPacket(300, "no such type");
    toc.SendPacket(-1, "no such type");
    toc.SendPacket(2, QByteArray(65536, 'x'));
    toc.SendPacket(9, QByteArray(65535, 'y'));
    ASSERT_TRUE(waitFor([&] { return server.frames().size() == 5; }));
    const FlapFrame empty = server.frames()[3];
    EXPECT_EQ(empty.type, 2);
    EXPECT_EQ(empty.sequence, 4);
    EXPECT_TRUE(empty.payload.isEmpty());
    const FlapFrame full = server.frames()[4];
    EXPECT_EQ(full.type, 9);
    EXPECT_EQ(full.sequence, 5);
    EXPECT_EQ(full.payload, QByteArray(65535, 'y'));
}

TEST_F(SignOn, LogOffClosesAndRaisesLoggedOffOnce)
{
    signOn();
    log.events.clear();
    // What was said just before still reaches the server.
    toc.ChatLeave(7);
    toc.LogOff();
    EXPECT_EQ(log.events, QStringList{"LoggedOff(marlbot)"});
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);
    ASSERT_TRUE(waitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(server.commands().last(), "toc_chat_leave \"7\"");
    // The socket's own close does not announce a second LoggedOff.
    EXPECT_EQ(log.events, QStringList{"LoggedOff(marlbot)"});
}

TEST_F(SignOn, ServerCloseRaisesLoggedOffAndANewLoginWorks)
{
    signOn();
    log.events.clear();
    server.closeClient();
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedOff"); }));
    EXPECT_EQ(log.events, QStringList{"LoggedOff(marlbot)"});
    EXPECT_EQ(toc.state(), MarlTOCSock::State::Disconnected);
    signOn();
    EXPECT_EQ(server.connectionsAccepted(), 2);
}
