#include "TocSession.h"

struct ServerMessages : TocSession {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(signOn());
        log.events.clear();
        log.packets = 0;
    }

    // Sends the messages in one write and waits until all were handled.
    void say(const QList<QByteArray>& messages)
    {
        QByteArray bytes;
        for (const QByteArray& m : messages)
            bytes += server.frame(2, m);
        const int before = log.packets;
        server.send(bytes);
        ASSERT_TRUE(waitFor([&] { return log.packets == before + messages.size(); }));
    }
};

TEST_F(ServerMessages, EveryMessageRaisesItsEvent)
{
    say({"IM_IN_ENC2:Al B:F:T:T:0:F:A:en:hi: there",
         "UPDATE_BUDDY2:Al B:T:0:0:0: O",
         "UPDATE_BUDDY2:Cy:F:0:0:0: O",
         "BUDDY_CAPS2:Al B:cap1,cap2",
         "BART2:Al B:0 2 abc",
         "ERROR:983",
         "EVILED:20:Al B",
         "CHAT_JOIN:7:Music Room",
         "CHAT_IN_ENC:7:Al B:F:A:en:<b>p song</b>",
         "CHAT_UPDATE_BUDDY:7:T:Al B:Cy:Dee",
         "CHAT_INVITE:Music Room:7:Al B:join us",
         "CHAT_LEFT:7",
         "GOTO_URL:x:http",
         "ADMIN_NICK_STATUS:0",
         "ADMIN_PASSWD_STATUS:0",
         "ADMIN_PASSWD_STATUS:1",
         "RVOUS_PROPOSE:Al B:UUID:cookie:0:1.2.3.4:5.6.7.8:9.9.9.9:5190",
         "PAUSE",
         "SIGN_ON:TOC2.0"});
    EXPECT_EQ(log.events, (QStringList{
                              "IncomingMessage(Al B|hi: there)",
                              "BuddyOnline(Al B)",
                              "BuddyOffline(Cy)",
                              "IncomingBuddyCapabilities(Al B|cap1,cap2)",
                              "IncomingBartData(Al B|0 2 abc)",
                              "Error(983)",
                              "Warned(Al B|20)",
                              "JoinedChat(Music Room|7)",
                              "IncomingChatMessage(7|Al B|false|<b>p song</b>)",
                              "ChatUserUpdate(7|true|Al B|Cy)",
                              "IncomingChatInvite(Music Room|7|Al B|join us)",
                              "LeftChat(7)",
                              "IncomingProfile(http)",
                              "ScreenNameFormatUpdate(true)",
                              "PassWordUpdate(true)",
                              "PassWordUpdate(false)",
                              "RendevousRequest(Al B|UUID|cookie|5.6.7.8)",
                          }));
    EXPECT_EQ(log.lastPacketType, 2);
    EXPECT_EQ(log.lastPacket, "SIGN_ON:TOC2.0");
}

TEST_F(ServerMessages, CommandWordsIgnoreCaseFieldsKeepIt)
{
    say({"chat_in_enc:7:Al:T:A:en:Hi", "Chat_Join:8:MiXed", "NO_SUCH_THING:1:2", ""});
    EXPECT_EQ(log.events, (QStringList{"IncomingChatMessage(7|Al|true|Hi)", "JoinedChat(MiXed|8)"}));
    EXPECT_EQ(log.packets, 4);
}

TEST_F(ServerMessages, ChatUserUpdateCarriesOnlyTheFirstTwoNames)
{
    say({TocTestServer::CHAT_UPDATE_BUDDY(7, true, {"Al", "Cy", "Dee"}),
         TocTestServer::CHAT_UPDATE_BUDDY(7, false, {"Al"}),
         TocTestServer::CHAT_UPDATE_BUDDY(7, false, {"Al", "Cy"})});
    EXPECT_EQ(log.events, (QStringList{"ChatUserUpdate(7|true|Al|Cy)", "ChatUserUpdate(7|false|Al|Cy)"}));
}

TEST_F(ServerMessages, ColonsSurviveOnlyInTheLastPieceOfALimitedSplit)
{
    say({TocTestServer::CHAT_IN_ENC(7, "Al", false, "time: 12:30 :)"),
         "CHAT_INVITE:Room:7:Al:see: this",
         "GOTO_URL:win:http://x"});
    EXPECT_EQ(log.events, (QStringList{
                              "IncomingChatMessage(7|Al|false|time: 12:30 :))",
                              "IncomingChatInvite(Room|7|Al|see)",
                              "IncomingProfile(http)",
                          }));
}

TEST_F(ServerMessages, LowerCaseTCountsOnlyForBuddyUpdates)
{
    say({"UPDATE_BUDDY2:Al:t:0", TocTestServer::CHAT_IN_ENC(7, "Al", false, "x").replace(":F:", ":t:"),
         "CHAT_UPDATE_BUDDY:7:t:Al:Cy"});
    EXPECT_EQ(log.events, (QStringList{
                              "BuddyOnline(Al)",
                              "IncomingChatMessage(7|Al|false|x)",
                              "ChatUserUpdate(7|false|Al|Cy)",
                          }));
}

TEST_F(ServerMessages, MissingOrNonNumericFieldsSkipOnlyTheirStep)
{
    say({"CHAT_UPDATE_BUDDY:7:T:Al",  // one name: no update
         "CHAT_IN_ENC:7:Al:F:A",      // no text
         "CHAT_IN_ENC:x7:Al:F:A:en:t",
         "ERROR", "ERROR:abc", "ERROR:99999", "EVILED:20", "CHAT_LEFT:",
         "ADMIN_NICK_STATUS:", "UPDATE_BUDDY2:Al", "NICK"});
    EXPECT_TRUE(log.events.isEmpty()) << log.events.join(QLatin1Char('\n')).toStdString();

    say({"CHAT_JOIN:5:Five", "CHAT_JOIN:abc:Named", "CHAT_JOIN:9"});
    EXPECT_EQ(log.events, QStringList{"JoinedChat(Five|5)"});
    // The bad id left the last room alone; the name went into a new slot.
    EXPECT_EQ(toc.LastChatID(), 9);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Named")), 0);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Five")), 5);
    EXPECT_EQ(toc.screenName(), QStringLiteral("marlbot"));
}

TEST_F(ServerMessages, ChatTextCrossesAsUtf8AndOddBytesAreKept)
{
    say({TocTestServer::CHAT_IN_ENC(7, "Zoë", false, QStringLiteral("p Björk – Jóga 😀").toUtf8()),
         TocTestServer::CHAT_IN_ENC(7, "Al", false, "caf\xe9"),
         TocTestServer::CHAT_IN_ENC(7, "Al", false, QByteArray("ends in nul\0", 12))});
    EXPECT_EQ(log.events, (QStringList{
                              QStringLiteral("IncomingChatMessage(7|Zoë|false|p Björk – Jóga 😀)"),
                              QStringLiteral("IncomingChatMessage(7|Al|false|café)"),
                              QStringLiteral("IncomingChatMessage(7|Al|false|ends in nul)"),
                          }));
}

TEST_F(ServerMessages, SecondConfig2AnswersAgain)
{
    say({TocTestServer::CONFIG2("m 1\nb:Al\n")});
    ASSERT_TRUE(waitForCommands(3));
    EXPECT_EQ(server.commands()[2], "toc_init_done");
    EXPECT_EQ(log.events, QStringList{"LoggedIn(marlbot|Al\r\n|)"});
}

TEST_F(ServerMessages, FramesSplitAnywhereOrCoalescedArriveWholeAndInOrder)
{
    QByteArray stream;
    for (int i = 0; i < 3; ++i)
        stream += server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, "m" + QByteArray::number(i)));
    // Two whole frames and the first bytes of the third, then its rest in
    // pieces of one byte, three bytes (still no length) and the remainder.
    const qsizetype third = stream.size() - (stream.size() / 3);
    deliverInPieces(stream, {third + 2, third + 3, third + 5});
    EXPECT_EQ(log.events, (QStringList{
                              "IncomingChatMessage(7|Al|false|m0)",
                              "IncomingChatMessage(7|Al|false|m1)",
                              "IncomingChatMessage(7|Al|false|m2)",
                          }));

    // Every byte on its own.
    log.events.clear();
    const QByteArray one = server.frame(2, TocTestServer::CHAT_IN_ENC(8, "Cy", true, "slow"));
    QList<qsizetype> cuts;
    for (qsizetype i = 1; i < one.size(); ++i)
        cuts.append(i);
    deliverInPieces(one, cuts);
    EXPECT_EQ(log.events, QStringList{"IncomingChatMessage(8|Cy|true|slow)"});
}

TEST_F(ServerMessages, ManyFramesInOneWrite)
{
    QByteArray burst;
    for (int i = 0; i < 5000; ++i)
        burst += server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, QByteArray::number(i)));
    server.send(burst);
    ASSERT_TRUE(waitFor([&] { return log.events.size() == 5000; }, 20000));
    EXPECT_EQ(log.events.first(), "IncomingChatMessage(7|Al|false|0)");
    EXPECT_EQ(log.events.last(), "IncomingChatMessage(7|Al|false|4999)");
}

TEST_F(ServerMessages, LengthOf32768OrMoreIsReadUnsignedAndTheStreamGoesOn)
{
    const QByteArray text(40000, 'x');
    say({TocTestServer::CHAT_IN_ENC(7, "Al", false, text), TocTestServer::CHAT_IN_ENC(7, "Al", false, "after")});
    ASSERT_EQ(log.events.size(), 2);
    EXPECT_EQ(log.events[0], "IncomingChatMessage(7|Al|false|" + QString::fromLatin1(text) + ")");
    EXPECT_EQ(log.events[1], "IncomingChatMessage(7|Al|false|after)");
}

TEST_F(ServerMessages, RoomTableWrapsAfter1000JoinsAndNeverWritesSlot1000)
{
    QList<QByteArray> joins;
    for (int id = 1; id <= 1000; ++id)
        joins.append(TocTestServer::CHAT_JOIN(id, "Room " + QByteArray::number(id)));
    say(joins);
    // Slots 1..999 hold rooms 1..999; room 1000 wrapped into slot 0.
    EXPECT_EQ(toc.GetChatID(QStringLiteral("room1")), 1);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1000")), 1000);
    EXPECT_EQ(toc.LastChatID(), 1000);
    say({TocTestServer::CHAT_JOIN(1001, "Room 1001")});
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1")), 0);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1001")), 1001);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 2")), 2);
}

TEST_F(ServerMessages, GetChatIdNormalisesAndPrefersTheLowerSlot)
{
    say({TocTestServer::CHAT_JOIN(11, "musicroom"), TocTestServer::CHAT_JOIN(12, "Other"),
         TocTestServer::CHAT_JOIN(13, "Music Room")});
    EXPECT_EQ(toc.GetChatID(QStringLiteral(" MUSIC  room")), 11);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("never joined")), 0);
    EXPECT_EQ(toc.LastChatID(), 13);
    // Leaving changes neither the table nor the last room.
    say({"CHAT_LEFT:13"});
    EXPECT_EQ(toc.LastChatID(), 13);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Music Room")), 11);
    // LogOff clears the table but not the last room.
    toc.LogOff();
    EXPECT_EQ(toc.GetChatID(QStringLiteral("other")), 0);
    EXPECT_EQ(toc.LastChatID(), 13);
}

TEST_F(ServerMessages, JoinTwiceWithTheConfirmationBetween)
{
    // What the Join button does: leave the last room, join the named one.
    auto join = [&] {
        toc.ChatLeave(toc.LastChatID());
        toc.JoinChat(QStringLiteral("Chat"), 4);
    };
    join();
    ASSERT_TRUE(waitForCommands(4));
    say({TocTestServer::CHAT_JOIN(42, "Chat")});
    join();
    ASSERT_TRUE(waitForCommands(6));
    EXPECT_EQ(server.commands().mid(2), (QList<QByteArray>{
                                            "toc_chat_leave \"0\"",
                                            "toc_chat_join \"4\" \"Chat\"",
                                            "toc_chat_leave \"42\"",
                                            "toc_chat_join \"4\" \"Chat\"",
                                        }));
}

TEST_F(ServerMessages, HandlerRepliesGoOutBeforeTheNextFrameIsRead)
{
    QList<QByteArray> seenByHandler;
    QObject::connect(&toc, &MarlTOCSock::IncomingChatMessage, &toc,
            [&](qint32 id, const QString&, bool, const QString& text) {
                seenByHandler.append(text.toUtf8());
                toc.SendChat(id, QStringLiteral("re ") + text);
            });
    say({TocTestServer::CHAT_IN_ENC(7, "Al", false, "one"), TocTestServer::CHAT_IN_ENC(7, "Al", false, "two")});
    ASSERT_TRUE(waitForCommands(4));
    EXPECT_EQ(seenByHandler, (QList<QByteArray>{"one", "two"}));
    EXPECT_EQ(server.commands().mid(2),
              (QList<QByteArray>{"toc_chat_send 7 \"re one\"", "toc_chat_send 7 \"re two\""}));
}
