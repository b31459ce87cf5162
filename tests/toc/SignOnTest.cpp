#include "TocSession.h"

using SignOn = TocSession;
using State = MarlTOCSock::State;

TEST_F(SignOn, GreetingSignOnFrameLoginCommandNickAndConfig2)
{
    connectClient(QStringLiteral("Ab Cdef"));
    EXPECT_EQ(server.greeting(), "FLAPON\r\n\r\n");
    EXPECT_TRUE(server.frames().isEmpty());
    EXPECT_EQ(toc.state(), State::GreetingSent);

    server.sendSignOnFrame();
    ASSERT_TRUE(server.waitForCommands(1));
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
    server.sendMessage("SIGN_ON:TOC2.0");
    server.sendMessage("NICK:Ab Cdef");
    server.sendMessage("CONFIG2:m:1\ng:Friends\nb:Alice\nb:Bob:alias\nd:Carol\np:Dave\ndone:\n");
    ASSERT_TRUE(waitFor([&] { return log.has("LoggedIn") && server.commands().size() == 2; }));
    EXPECT_EQ(server.commands()[1], "toc_init_done");
    EXPECT_EQ(log.events, QStringList {"LoggedIn(Ab Cdef|Group [Friends]\r\nAlice\r\nBob\r\n|Carol\r\n)"});
    EXPECT_EQ(toc.state(), State::SignedOn);
}

TEST_F(SignOn, WithoutAuthorizerOnlyTheVersionOnePayloadIsAnswered)
{
    toc.Login(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("127.0.0.1"), server.port());
    ASSERT_TRUE(server.greeted(1));
    server.sendFrame(1, QByteArray("\0\0\0\2", 4));
    server.sendFrame(1, QByteArray("\0\0\0\1\0", 5));
    server.sendMessage("SIGN_ON:TOC2.0");
    ASSERT_TRUE(waitFor([&] { return log.packets == 3; }));
    EXPECT_TRUE(server.frames().isEmpty());
    server.sendSignOnFrame();
    ASSERT_TRUE(server.waitForCommands(1));
    EXPECT_TRUE(server.commands()[0].startsWith("toc2_login  0 x 0x2d English"));
}

// Each frame as "type:sequence".
static QStringList headers(const QList<FlapFrame>& frames)
{
    QStringList result;
    for (const FlapFrame& f : frames)
        result.append(QStringLiteral("%1:%2").arg(f.type).arg(f.sequence));
    return result;
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
    // The keep-alive is an empty type-5 frame.
    EXPECT_EQ(headers(server.frames()), (QStringList {"1:1", "2:2", "2:3", "5:4", "2:5"}));
    EXPECT_TRUE(server.frames()[3].payload.isEmpty());
    EXPECT_EQ(server.commands().last(), "toc_chat_leave \"7\"");

    toc.SendChat(7, QStringLiteral("lost"));
    toc.tmrAntiIdle_Timer();
    toc.AddCapability(QStringLiteral("CAP-Z"));
    reachSigningOn();
    // The identifier was still recorded while offline.
    toc.AddCapability(QStringLiteral("CAP-Y"));
    ASSERT_TRUE(server.waitForCommands(2));
    EXPECT_EQ(headers(server.frames()), (QStringList {"1:6", "2:7", "2:8"}));
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
    EXPECT_EQ(server.frames()[3].payload, QByteArray(65535, 'y'));
    EXPECT_EQ(headers(server.frames().mid(3, 1) + server.frames().mid(65533)),
              (QStringList {"9:4", "5:65534", "5:0", "5:1"}));
}
