#include "TocSession.h"

struct Commands : TocSession {
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(signOn()); }

    // The commands sent after the sign-on (the login and toc_init_done).
    QList<QByteArray> sent(qsizetype n)
    {
        EXPECT_TRUE(waitForCommands(2 + n));
        EXPECT_TRUE(server.commandsEndInNul());
        return server.commands().mid(2);
    }
};

TEST_F(Commands, EachCommandWithItsOwnQuotingAndEscaping)
{
    toc.SendIm(QStringLiteral("Some One"), QStringLiteral("a \"b\" (c)"), false);
    toc.SendIm(QStringLiteral("Some One"), QStringLiteral("away"), true);
    toc.AddBuddy(QStringLiteral("Al (x)"), QStringLiteral("My \"Group\""));
    toc.RemoveBuddy(QStringLiteral("Al B"), QStringLiteral("G \\1"));
    toc.WarnUser(QStringLiteral("Al B"), true);
    toc.WarnUser(QStringLiteral("Al B"), false);
    toc.JoinChat(QStringLiteral("Music Room"), 4);
    toc.SendChat(7, QStringLiteral("hello"));
    toc.ChatWhisper(7, QStringLiteral("Al B"), QStringLiteral("psst {x}"));
    toc.ChatInvite(7, QStringLiteral("come [now]"), QStringLiteral("Al B"));
    toc.ChatLeave(7);
    toc.AcceptChatInvite(-3);
    toc.GetProfile(QStringLiteral("Al B"));
    toc.GetStatus(QStringLiteral("Al B"));
    toc.SetProfile(QStringLiteral("<b>me</b> (\")"));
    toc.SetAway(QStringLiteral("out \\ about"));
    toc.SetIdle(2);
    toc.SetCapabilities(QStringLiteral("CAP-1"));
    toc.FormatUserName(QStringLiteral("Marl Bot"));
    toc.ChangePassword(QStringLiteral("old"), QStringLiteral("new"));
    toc.BlockUser(QStringLiteral("Al B"));
    toc.UnBlockUser(QStringLiteral("Al B"));
    EXPECT_EQ(sent(22), (QList<QByteArray>{
                            "toc_send_im \"someone\" \"a \\\"b\\\" \\(c\\)\"",
                            "toc_send_im \"someone\" \"away\" auto",
                            "toc2_new_buddies {g:My \"Group\"\nb:Al (x)\n}",
                            "toc2_remove_buddy \"Al B\" \"G \\1\"",
                            "toc_evil \"Al B\" \"anon\"",
                            "toc_evil \"Al B\" \"norm\"",
                            "toc_chat_join \"4\" \"Music Room\"",
                            "toc_chat_send 7 \"hello\"",
                            "toc_chat_whisper \"7\" \"alb\" \"psst \\{x\\}\"",
                            "toc_chat_invite \"7\" \"come \\[now\\]\" \"Al B\"",
                            "toc_chat_leave \"7\"",
                            "toc_chat_accept \"-3\"",
                            "toc_get_info \"alb\"",
                            "toc_get_status \"alb\"",
                            "toc_set_info \"<b>me</b> (\")\"",
                            "toc_set_away \"out \\\\ about\"",
                            "toc_set_idle \"120\"",
                            "toc_set_caps \"CAP-1\"",
                            "toc_format_nick \"Marl Bot\"",
                            "toc_change_passwd \"old\" \"new\"",
                            "toc2_add_deny \"Al B\"",
                            "toc2_remove_deny \"Al B\"",
                        }));
}

TEST_F(Commands, AddCapabilityAnnouncesTheWholeListOnlyForNewIdentifiers)
{
    toc.AddCapability(QStringLiteral("CAP-A"));
    toc.AddCapability(QStringLiteral("CAP-A"));
    toc.AddCapability(QStringLiteral("CAP-B"));
    toc.SetCapabilities(QStringLiteral("ALONE"));
    toc.AddCapability(QStringLiteral("CAP-C"));
    EXPECT_EQ(sent(4), (QList<QByteArray>{
                           "toc_set_caps \" CAP-A\"",
                           "toc_set_caps \" CAP-A CAP-B\"",
                           "toc_set_caps \"ALONE\"",
                           "toc_set_caps \" CAP-A CAP-B CAP-C\"",
                       }));
}

TEST_F(Commands, SetIdleBeyondThirtyTwoBitSecondsSendsNothing)
{
    toc.SetIdle(35791395);
    toc.SetIdle(-35791395);
    toc.SetIdle(35791394);
    toc.SetIdle(-1);
    EXPECT_EQ(sent(2), (QList<QByteArray>{"toc_set_idle \"2147483640\"", "toc_set_idle \"-60\""}));
    // The refused calls took no sequence number either.
    EXPECT_EQ(server.frames().last().sequence, 5);
}

TEST_F(Commands, SendChatQuotesTheTextAsItsCallerEscapedIt)
{
    toc.SendChat(7, QStringLiteral("hello"));
    toc.SendChat(7, QStringLiteral("say \\\"hi\\\" (brackets) [stay] {as} they $ are"));
    EXPECT_EQ(sent(2), (QList<QByteArray>{
                           "toc_chat_send 7 \"hello\"",
                           "toc_chat_send 7 \"say \\\"hi\\\" (brackets) [stay] {as} they $ are\"",
                       }));
}

TEST_F(Commands, ChatTextTravelsAsUtf8)
{
    toc.SendChat(12, QStringLiteral("Björk – Jóga 😀"));
    EXPECT_EQ(sent(1).value(0), "toc_chat_send 12 \"" + QStringLiteral("Björk – Jóga 😀").toUtf8() + '"');
}

TEST_F(Commands, LongChatIsCutToFitTheCommandLimit)
{
    const QByteArray head = "toc_chat_send 123456 \"";
    // Fill up to one byte short of the limit, then a pair that cannot fit.
    const qsizetype room = MarlTOCSock::kMaxCommandBytes - head.size() - 2;
    const QString quoteAtEdge = QString(room - 1, QLatin1Char('a')) + QStringLiteral("\\\"tail");
    const QString euroAtEdge = QString(room - 2, QLatin1Char('b')) + QStringLiteral("€tail");
    const QString fits = QString(room - 2, QLatin1Char('c')) + QStringLiteral("\\\\");
    toc.SendChat(123456, quoteAtEdge);
    toc.SendChat(123456, euroAtEdge);
    toc.SendChat(123456, fits);
    toc.SendChat(123456, QString(5000, QChar(0x00E9)));
    const QList<QByteArray> commands = sent(4);
    ASSERT_EQ(commands.size(), 4);
    EXPECT_EQ(commands[0], head + QByteArray(room - 1, 'a') + '"');
    EXPECT_EQ(commands[1], head + QByteArray(room - 2, 'b') + '"');
    EXPECT_EQ(commands[2], head + QByteArray(room - 2, 'c') + "\\\\\"");
    EXPECT_EQ(commands[2].size() + 1, MarlTOCSock::kMaxCommandBytes);
    for (const QByteArray& command : commands) {
        EXPECT_LE(command.size() + 1, MarlTOCSock::kMaxCommandBytes);
        EXPECT_TRUE(command.endsWith('"'));
    }
    // Cut between whole characters: the text is still valid UTF-8.
    const QString kept = QString::fromUtf8(commands[3].sliced(head.size()).chopped(1));
    EXPECT_EQ(kept, QString(kept.size(), QChar(0x00E9)));
    EXPECT_EQ(kept.toUtf8().size(), room - room % 2);
}

TEST_F(Commands, CommandsWhileNotConnectedAreDroppedWithoutANumber)
{
    toc.LogOff();
    toc.SendChat(7, QStringLiteral("lost"));
    toc.JoinChat(QStringLiteral("room"), 4);
    toc.AddCapability(QStringLiteral("CAP-Z"));
    reachSigningOn();
    EXPECT_EQ(server.frames()[0].sequence, 4);
    // The identifier was still recorded while offline.
    toc.AddCapability(QStringLiteral("CAP-Y"));
    ASSERT_TRUE(waitForCommands(2));
    EXPECT_EQ(server.commands()[1], "toc_set_caps \" CAP-Z CAP-Y\"");
}
