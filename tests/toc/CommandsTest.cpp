#include "TocSession.h"

#include <functional>

struct Commands : TocSession {
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(signOn()); }
};

TEST_F(Commands, EachCommandWithItsOwnQuotingAndEscaping)
{
    // Each call and the command it sends; none where that is empty.
    const QList<std::pair<std::function<void()>, QByteArray>> calls {
        {[&] { toc.SendIm("Some One", "a \"b\" (c)", false); }, "toc_send_im \"someone\" \"a \\\"b\\\" \\(c\\)\""},
        {[&] { toc.SendIm("Some One", "away", true); }, "toc_send_im \"someone\" \"away\" auto"},
        {[&] { toc.AddBuddy("Al (x)", "My \"Group\""); }, "toc2_new_buddies {g:My \"Group\"\nb:Al (x)\n}"},
        {[&] { toc.RemoveBuddy("Al B", "G \\1"); }, "toc2_remove_buddy \"Al B\" \"G \\1\""},
        {[&] { toc.WarnUser("Al B", true); }, "toc_evil \"Al B\" \"anon\""},
        {[&] { toc.WarnUser("Al B", false); }, "toc_evil \"Al B\" \"norm\""},
        {[&] { toc.JoinChat("Music Room", 4); }, "toc_chat_join \"4\" \"Music Room\""},
        // Chat text goes out as its caller escaped it, as UTF-8.
        {[&] { toc.SendChat(7, "say \\\"hi\\\" (brackets) [stay] {as} $"); },
         "toc_chat_send 7 \"say \\\"hi\\\" (brackets) [stay] {as} $\""},
        {[&] { toc.SendChat(12, "Björk – Jóga 😀"); },
         "toc_chat_send 12 \"Bj\xc3\xb6rk \xe2\x80\x93 J\xc3\xb3ga \xf0\x9f\x98\x80\""},
        {[&] { toc.ChatWhisper(7, "Al B", "psst {x}"); }, "toc_chat_whisper \"7\" \"alb\" \"psst \\{x\\}\""},
        {[&] { toc.ChatInvite(7, "come [now]", "Al B"); }, "toc_chat_invite \"7\" \"come \\[now\\]\" \"Al B\""},
        {[&] { toc.ChatLeave(7); }, "toc_chat_leave \"7\""},
        {[&] { toc.AcceptChatInvite(-3); }, "toc_chat_accept \"-3\""},
        {[&] { toc.GetProfile("Al B"); }, "toc_get_info \"alb\""},
        {[&] { toc.GetStatus("Al B"); }, "toc_get_status \"alb\""},
        {[&] { toc.SetProfile("<b>me</b> (\")"); }, "toc_set_info \"<b>me</b> (\")\""},
        {[&] { toc.SetAway("out \\ about"); }, "toc_set_away \"out \\\\ about\""},
        // Idle minutes as seconds, refused where those leave 32 bits.
        {[&] { toc.SetIdle(2); }, "toc_set_idle \"120\""},
        {[&] { toc.SetIdle(35791395); }, ""},
        {[&] { toc.SetIdle(-35791395); }, ""},
        {[&] { toc.SetIdle(35791394); }, "toc_set_idle \"2147483640\""},
        {[&] { toc.SetIdle(-1); }, "toc_set_idle \"-60\""},
        {[&] { toc.FormatUserName("Marl Bot"); }, "toc_format_nick \"Marl Bot\""},
        {[&] { toc.ChangePassword("old", "new"); }, "toc_change_passwd \"old\" \"new\""},
        {[&] { toc.BlockUser("Al B"); }, "toc2_add_deny \"Al B\""},
        {[&] { toc.UnBlockUser("Al B"); }, "toc2_remove_deny \"Al B\""},
        // The whole list, announced only for a new identifier.
        {[&] { toc.AddCapability("CAP-A"); }, "toc_set_caps \" CAP-A\""},
        {[&] { toc.AddCapability("CAP-A"); }, ""},
        {[&] { toc.AddCapability("CAP-B"); }, "toc_set_caps \" CAP-A CAP-B\""},
        {[&] { toc.SetCapabilities("ALONE"); }, "toc_set_caps \"ALONE\""},
        {[&] { toc.AddCapability("CAP-C"); }, "toc_set_caps \" CAP-A CAP-B CAP-C\""},
    };
    QList<QByteArray> expected;
    for (const auto& [call, command] : calls) {
        call();
        if (!command.isEmpty())
            expected.append(command);
    }
    EXPECT_EQ(sentAfterSignOn(expected.size()), expected);
    // The refused calls took no sequence number either.
    EXPECT_EQ(server.frames().last().sequence, 3 + expected.size());
}

// Where a cut falls inside an escape pair or a character is left to the
// cutter's own test; here the limit itself, in bytes.
TEST_F(Commands, LongChatIsCutToFitTheCommandLimit)
{
    const QByteArray head = "toc_chat_send 123456 \"";
    const qsizetype room = MarlTOCSock::kMaxCommandBytes - head.size() - 2;
    toc.SendChat(123456, QString(room - 2, u'c') + QStringLiteral("\\\\tail"));
    toc.SendChat(123456, QString(5000, QChar(0x00E9)));
    EXPECT_EQ(sentAfterSignOn(2),
              (QList<QByteArray> {head + QByteArray(room - 2, 'c') + "\\\\\"",
                                  head + QByteArray("\xc3\xa9").repeated(room / 2) + '"'}));
    // The first fills the 2,048 bytes exactly, its NUL included.
    EXPECT_EQ(server.frames()[3].payload.size(), 2048);
}
