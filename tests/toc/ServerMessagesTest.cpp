#include "TocSession.h"

struct ServerMessages : TocSession {
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(signOn()); }
};

TEST_F(ServerMessages, EachMessageRaisesItsEventAndOddFieldsTheirs)
{
    using S = TocTestServer;
    // Each message and the event it raises; none where the text is empty.
    const QList<std::pair<QByteArray, QString>> cases {
        {"IM_IN_ENC2:Al B:F:T:T:0:F:A:en:hi: there", "IncomingMessage(Al B|hi: there)"},
        {"UPDATE_BUDDY2:Al B:T:0:0:0: O", "BuddyOnline(Al B)"},
        {"UPDATE_BUDDY2:Cy:F:0:0:0: O", "BuddyOffline(Cy)"},
        {"BUDDY_CAPS2:Al B:cap1,cap2", "IncomingBuddyCapabilities(Al B|cap1,cap2)"},
        {"BART2:Al B:0 2 abc", "IncomingBartData(Al B|0 2 abc)"},
        {"ERROR:983", "Error(983)"},
        {"EVILED:20:Al B", "Warned(Al B|20)"},
        {"CHAT_JOIN:7:Music Room", "JoinedChat(Music Room|7)"},
        {"CHAT_IN_ENC:7:Al B:F:A:en:<b>p song</b>", "IncomingChatMessage(7|Al B|false|<b>p song</b>)"},
        {"CHAT_INVITE:Music Room:7:Al B:join us", "IncomingChatInvite(Music Room|7|Al B|join us)"},
        {"CHAT_LEFT:7", "LeftChat(7)"},
        {"ADMIN_NICK_STATUS:0", "ScreenNameFormatUpdate(true)"},
        {"ADMIN_PASSWD_STATUS:0", "PassWordUpdate(true)"},
        {"ADMIN_PASSWD_STATUS:1", "PassWordUpdate(false)"},
        {"RVOUS_PROPOSE:Al B:UUID:cookie:0:1.2.3.4:5.6.7.8:9.9.9.9:5190", "RendevousRequest(Al B|UUID|cookie|5.6.7.8)"},
        {"RVOUS_PROPOSE:Al B:UUID:cookie:0:1.2.3.4", ""},
        {"RVOUS_PROPOSE:Al B", ""},
        {"RVOUS_PROPOSE", ""},
        {"PAUSE", ""},
        {"SIGN_ON:TOC2.0", ""},
        // Command words ignore case, fields keep it.
        {"chat_in_enc:7:Al:T:A:en:Hi", "IncomingChatMessage(7|Al|true|Hi)"},
        {"Chat_Join:8:MiXed", "JoinedChat(MiXed|8)"},
        {"NO_SUCH_THING:1:2", ""},
        // TOC1's own messages mean nothing to a TOC2 client.
        {"CHAT_IN:7:Al:F:hi", ""},
        {"IM_IN:Al:F:hi", ""},
        {"UPDATE_BUDDY:Al:T:0", ""},
        {"CONFIG:m 1", ""},
        {"", ""},
        // Only the first two names, and only when there are two.
        {S::CHAT_UPDATE_BUDDY(7, true, {"Al", "Cy", "Dee"}), "ChatUserUpdate(7|true|Al|Cy)"},
        {S::CHAT_UPDATE_BUDDY(7, false, {"Al"}), ""},
        // Colons survive only in the last piece of a limited split.
        {S::CHAT_IN_ENC(7, "Al", false, "time: 12:30 :)"), "IncomingChatMessage(7|Al|false|time: 12:30 :))"},
        {"CHAT_INVITE:Room:7:Al:see: this", "IncomingChatInvite(Room|7|Al|see)"},
        {"GOTO_URL:win:http://x", "IncomingProfile(http)"},
        // A lower-case "t" counts only for buddy updates.
        {"UPDATE_BUDDY2:Al:t:0", "BuddyOnline(Al)"},
        {"CHAT_IN_ENC:7:Al:t:A:en:x", "IncomingChatMessage(7|Al|false|x)"},
        {"CHAT_UPDATE_BUDDY:7:t:Al:Cy", "ChatUserUpdate(7|false|Al|Cy)"},
        // Missing or non-numeric fields skip only their step.
        {"CHAT_IN_ENC:7:Al:F:A", ""},
        {"CHAT_IN_ENC:x7:Al:F:A:en:t", ""},
        {"ERROR", ""},
        {"ERROR:abc", ""},
        {"ERROR:99999", ""},
        {"EVILED:20", ""},
        {"CHAT_LEFT:", ""},
        {"ADMIN_NICK_STATUS:", ""},
        {"UPDATE_BUDDY2:Al", ""},
        {"NICK", ""},
        // Chat text crosses as UTF-8; other bytes are kept, a closing NUL dropped.
        {S::CHAT_IN_ENC(7, "Zoë", false, "Björk – Jóga 😀"), "IncomingChatMessage(7|Zoë|false|Björk – Jóga 😀)"},
        {S::CHAT_IN_ENC(7, "Al", false, "caf\xe9"), "IncomingChatMessage(7|Al|false|café)"},
        {S::CHAT_IN_ENC(7, "Al", false, QByteArray("nul\0", 4)), "IncomingChatMessage(7|Al|false|nul)"},
        // A second CONFIG2 is answered again.
        {S::CONFIG2("m 1\nb:Al\n"), "LoggedIn(marlbot|Al\r\n|)"},
    };
    sayExpecting(cases);
    EXPECT_EQ(log.lastPacket, S::CONFIG2("m 1\nb:Al\n"));
    EXPECT_EQ(sentAfterSignOn(1), QList<QByteArray> {"toc_init_done"});
}

TEST_F(ServerMessages, FramesSplitAnywhereOrCoalescedOrLongerThan32767ArriveWholeAndInOrder)
{
    const auto chat
        = [&](const QByteArray& text) { return server.frame(2, TocTestServer::CHAT_IN_ENC(7, "Al", false, text)); };
    const QByteArray big(40000, 'x');
    QByteArray stream = chat("m0") + chat("m1") + chat("m2");
    const qsizetype third = stream.size() / 3 * 2;
    stream += chat(big);
    const QByteArray last = chat("slow");
    stream += last;
    // Two whole frames and two bytes of the third, then one byte, two more
    // (still no length), the rest and a frame whose length field reads
    // 32768 or more; then the last frame a byte at a time.
    QList<qsizetype> ends {third + 2, third + 3, third + 5, stream.size() - last.size()};
    while (ends.last() < stream.size())
        ends.append(ends.last() + 1);
    for (qsizetype from = 0; const qsizetype end : ends) {
        const qint64 before = toc.bytesReceived();
        server.send(stream.sliced(from, end - from));
        ASSERT_TRUE(waitFor([&] { return toc.bytesReceived() == before + (end - from); }));
        from = end;
    }
    QStringList expected;
    for (const QByteArray& text : {QByteArray("m0"), QByteArray("m1"), QByteArray("m2"), big, QByteArray("slow")})
        expected.append("IncomingChatMessage(7|Al|false|" + QString::fromLatin1(text) + ')');
    EXPECT_EQ(log.events, expected);
}

TEST_F(ServerMessages, RoomTableFindsRoomsByNormalisedNameAndWrapsAfter1000Joins)
{
    using S = TocTestServer;
    say({S::CHAT_JOIN(11, "musicroom"), S::CHAT_JOIN(13, "Music Room"), "CHAT_JOIN:abc:Named", "CHAT_JOIN:9"});
    // The lower slot wins. The bad id and the missing name raised nothing;
    // the bad id left the last room alone.
    EXPECT_EQ(toc.GetChatID(QStringLiteral(" MUSIC  room")), 11);
    EXPECT_EQ(log.events, (QStringList {"JoinedChat(musicroom|11)", "JoinedChat(Music Room|13)"}));
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Named")), 0);
    EXPECT_EQ(toc.LastChatID(), 9);
    // Leaving changes neither the table nor the last room; LogOff clears
    // the table but not the last room.
    say({"CHAT_LEFT:11"});
    EXPECT_EQ(toc.GetChatID(QStringLiteral("musicroom")), 11);
    EXPECT_EQ(toc.LastChatID(), 9);
    toc.LogOff();
    EXPECT_EQ(toc.GetChatID(QStringLiteral("musicroom")), 0);
    EXPECT_EQ(toc.LastChatID(), 9);

    ASSERT_NO_FATAL_FAILURE(signOn());
    QList<QByteArray> joins;
    for (int id = 1; id <= 1000; ++id)
        joins.append(S::CHAT_JOIN(id, "Room " + QByteArray::number(id)));
    say(joins);
    // Slots 1..999 hold rooms 1..999; room 1000 wrapped into slot 0.
    EXPECT_EQ(toc.GetChatID(QStringLiteral("room1")), 1);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1000")), 1000);
    EXPECT_EQ(toc.LastChatID(), 1000);
    say({S::CHAT_JOIN(1001, "Room 1001")});
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1")), 0);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 1001")), 1001);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 2")), 2);
    // A room joined again is found under its new id, in the slot the new
    // join took or in a lower one than its old id's.
    say({S::CHAT_JOIN(2002, "Room 2"), S::CHAT_JOIN(2005, "Room 5")});
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 2")), 2002);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 5")), 2005);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 3")), 0);
    EXPECT_EQ(toc.GetChatID(QStringLiteral("Room 4")), 4);
}
