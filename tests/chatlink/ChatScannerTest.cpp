#include "chatlink/ChatScanner.h"
#include "chatlink/LocalRoom.h"
#include "support/TestState.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// The scanner over the holders and a simulated desktop whose transcript
// lines show the time "10:15:02 PM"; it keeps every line it reports and
// every line handed to SendChat.
struct ScannerRig : TestState {
    SimDesktop desktop;
    ChatScanner chat1 {*this, desktop, ui};
    Lines said;

    ScannerRig()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
        QObject::connect(&chat1, &ChatScanner::sendChatCalled, [this](const QString& text) { sent.append(text); });
        QObject::connect(&chat1, &ChatScanner::aimchatscan,
                         [this](const QString& who, const QString& what, const QString& when) {
                             said.push_back((who + " | " + what + " | " + when).toStdString());
                         });
    }
    // The lines reported by the next tick.
    Lines tick()
    {
        said.clear();
        chat1.chat_tymer_Timer();
        return said;
    }
};

class ChatScannerTest : public testing::Test {
protected:
    void setTranscript(std::string html) { t.desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, html); }
    void append(const std::string& html) { setTranscript(t.desktop.textOf(chat.transcript) + html); }

    Alone<ScannerRig> t;
    SimDesktop::AimChat chat = t.desktop.openAimChat("me");
};

TEST_F(ChatScannerTest, NewestLineSplitsIntoSpeakerTextAndTimeField)
{
    const std::pair<const char*, const char*> cases[] = {
        // The final ">" goes with the last line, the unclosed tag with the tags.
        {"<BR><!-- (10:15:02 PM) --><B>alice</B>: !play song</FONT></BODY>", "alice | !play song | {10:15:02 PM}"},
        // Plain text at the end loses two characters; with no time comment
        // the field runs over the line from its sixth character, and a line
        // the client did not stamp has no speaker.
        {"<BR>alice: hello", " | hel | {lice: hel}"},
        {"<BR>system notice</FONT>", " | ystem notice | {ystem notice</FON}"},
        {"<BR><!-- (1:00:00 AM) --><B>carol</B>: a:b</FONT>", "carol | a:b | {1:00:00 AM}"},
        {"<BR><!-- (13:00) --><B>erin</B>: 24h</FONT>", "erin | 24h | {13:00}"},
        // A line break in any letter case; entities stay, stray ">" go.
        {"<br><!-- (1:00:01 AM) --><B>dave</B>: a &amp; b > c</FONT>", "dave | a &amp; b  c | {1:00:01 AM}"},
        // A member's raw markup that makes a line of its own, with or
        // without a time comment that is no time: nobody said it.
        {"<BR><!-- (1:00:02 AM) --><B>eve</B>: <FONT>x<BR><B>me</B>: end</FONT>", " | end | {B>me</B>: end</FON}"},
        {"<BR><!-- (1:00:03 AM) --><B>eve</B>: x<BR><!-- (me) --><B>me</B>: end</FONT>", " | end | {me}"},
        // Of two lines within one tick only the newer is reported.
        {"<BR><!-- (2:00:00 AM) --><B>alice</B>: first</FONT><BR><!-- (2:00:01 AM) --><B>bob</B>: second</FONT>",
         "bob | second | {2:00:01 AM}"},
    };
    setTranscript("<BR><B>bob</B>: earlier</FONT>");
    t->chat1.scan_on();
    for (const auto& [line, expected] : cases) {
        append(line);
        EXPECT_EQ(t.tick(), Lines {expected});
    }
    // A tail with no line break, after a real line, reports one empty line.
    append("<BR>" + std::string(600, 'x'));
    EXPECT_EQ(t.tick(), Lines {" |  | {}"});
    EXPECT_EQ(t.tick(), Lines {});
}

TEST_F(ChatScannerTest, TickEndsEarlyOnTheCapturedTailOnAShortTailAndOnTheSameLine)
{
    // The lines already there when scanning starts are never reported.
    setTranscript("<BR><B>alice</B>: old</FONT>");
    t->chat1.scan_on();
    EXPECT_EQ(t.tick(), Lines {});
    setTranscript("<b");
    EXPECT_EQ(t.tick(), Lines {});
    EXPECT_EQ(t->chat1.newlastlyne, "");

    // The same line, time field included, is not reported again, even
    // across switching scanning off and on.
    const std::string line = "<BR><!-- (10:15:02 PM) --><B>alice</B>: again</FONT>";
    setTranscript(line);
    EXPECT_EQ(t.tick().size(), 1u);
    t->chat1.scan_off();
    t->chat1.scan_on();
    setTranscript("<BR>other text before" + line);
    EXPECT_EQ(t.tick(), Lines {});
}

TEST_F(ChatScannerTest, SendChatRoutesByTheCheckBoxesAndEscapesQuotesForTocOnly)
{
    t.desktop.addAolRoom(t.desktop.openAolClient({"&What's New in AOL 7.0"}));
    Lines out;
    t->chat1.setTocRoute([&](const QString& text) { out.push_back("toc " + text.toStdString()); });
    t.desktop.inputSent = [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aim " + text); };
    t.desktop.aolLinePosted = [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aol " + text); };
    t->txtafont.setText(QStringLiteral("<FONT LANG=\"0\">"));

    const QString text = QStringLiteral("<b>say \"hi\" \u00bb</b>");
    const struct {
        int chat, bot, sendAol;
        Lines out;
    } cases[] = {
        {0, 1, 1, {}},
        {0, 1, 0, {}},
        {0, 0, 1, {}},
        {0, 0, 0, {}},
        {1, 1, 1, {"toc <b>say \\\"hi\\\" \xc2\xbb</b>"}},
        {1, 0, 1, {"aol <b>say \"hi\" \xc2\xbb</b>"}},
        {1, 0, 0, {"aim <b>say \"hi\" \xc2\xbb</b><FONT LANG=\"0\"> "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "chat " << c.chat << " bot " << c.bot << " aol " << c.sendAol);
        out.clear(), t.sent.clear();
        t->chkChat.setValue(c.chat);
        t->chkBot.setValue(c.bot);
        t->chkSendAOL.setValue(c.sendAol);
        t->chat1.SendChat(text);
        EXPECT_EQ(out, c.out);
        // Even a blocked line reaches the chat exit.
        EXPECT_EQ(t.sent, QStringList {text});
    }

    // Backslashes are escaped first, so the ones put before quotes stay single.
    t->chkChat.setValue(1);
    t->chkBot.setValue(1);
    out.clear();
    t->chat1.SendChat(QStringLiteral("C:\\Music\\ \\\"x\\"));
    EXPECT_EQ(out, Lines {"toc C:\\\\Music\\\\ \\\\\\\"x\\\\"});
    // With no TOC client the bot's line is dropped, not sent elsewhere.
    t->chat1.setTocRoute({});
    out.clear();
    t->chat1.SendChat(text);
    EXPECT_EQ(out, Lines {});
}

TEST_F(ChatScannerTest, ChatScanClearedWarnsAndStopsScanning)
{
    t->chat1.scan_on();
    t->chkScan.setValue(0);
    t->chat1.chkScan_Click();
    EXPECT_FALSE(t->chat1.isScanning());
    EXPECT_EQ(t.ui.messages,
              QStringList {QStringLiteral("Notice: Chat scanning can some times lag so i added this "
                                          "option, You'll need to enable chat scanning to use ccoms.")});
    t->chkScan.setValue(1);
    t->chat1.chkScan_Click();
    EXPECT_TRUE(t->chat1.isScanning());
    EXPECT_EQ(t.ui.messages.size(), 1);
}

TEST(LocalRoom, LinesAreSaidByTheLocalMemberOrTheOneNamedAndPostsComeOutAsTyped)
{
    Alone<ScannerRig> t;
    LocalRoom room(t.desktop, QStringLiteral("owner"));
    int changes = 0;
    QList<bool> bySay;
    QStringList posted;
    QObject::connect(&room, &LocalRoom::transcriptChanged, [&] { ++changes; });
    QObject::connect(&room, &LocalRoom::lineAdded, [&](const QString&, bool said) { bySay.append(said); });
    QObject::connect(&room, &LocalRoom::posted, [&](const QString& line) { posted.append(line); });
    t->chat1.scan_on();

    room.typeLine(QStringLiteral("p song \u00bb"));
    EXPECT_EQ(t.tick(), Lines {"owner | p song \xc2\xbb | {10:15:02 PM}"});
    room.typeLine(QStringLiteral("/as bob: x<BR><B>owner</B>: end & more"));
    room.typeLine(QStringLiteral("/as  : not a name"));
    room.typeLine(QString());
    room.typeLine(QStringLiteral("/as carol: "));
    EXPECT_EQ(room.transcript(),
              QStringLiteral("<BR><!-- (10:15:02 PM) --><B>owner</B>: <FONT LANG=\"0\">p song \u00bb</FONT>"
                             "<BR><!-- (10:15:02 PM) --><B>bob</B>: <FONT LANG=\"0\">"
                             "x&lt;BR&gt;&lt;B&gt;owner&lt;/B&gt;: end &amp; more</FONT>"
                             "<BR><!-- (10:15:02 PM) --><B>owner</B>: <FONT LANG=\"0\">/as  : not a name</FONT>"));
    EXPECT_EQ(room.members(), (QStringList {"owner", "bob"}));
    EXPECT_EQ(changes, 3);

    // The program's posts, in any script, come out whole, and reach the
    // room without the trailing blank the client drops.
    t->txtafont.setText(QStringLiteral("<FONT LANG=\"0\">"));
    t->chat1.SendChat(QStringLiteral("<b>\u00bb \u0412\u0441\u0451</b>"));
    EXPECT_EQ(posted, QStringList {QStringLiteral("<b>\u00bb \u0412\u0441\u0451</b><FONT LANG=\"0\"> ")});
    EXPECT_TRUE(room.transcript().endsWith(QStringLiteral("\u0451</b><FONT LANG=\"0\"></FONT>")));
    // Only the lines the local member typed are marked as said.
    EXPECT_EQ(bySay, (QList<bool> {true, false, true, false}));
}

TEST(SimDesktop, TranscriptStaysBoundedAndHidesIgnoredMembers)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    const std::string said(1000, 'x');
    for (int i = 0; i < 2000; ++i)
        desktop.say(chat.window, "bob", said + std::to_string(i));
    const std::string& transcript = desktop.textOf(chat.transcript);
    EXPECT_LE(transcript.size(), SimDesktop::kTranscriptLimit);
    EXPECT_GT(transcript.size(), SimDesktop::kTranscriptLimit / 2);
    EXPECT_TRUE(transcript.starts_with("<BR>"));
    EXPECT_TRUE(transcript.ends_with(said + "1999</FONT>"));

    // The ignore button toggles the selected member, but never the user;
    // the client shows nothing of a member ignored.
    const auto ignore = [&](std::uintptr_t member) {
        desktop.sendMessage(chat.memberList, lb::SETCURSEL, member, std::intptr_t(0));
        desktop.sendMessage(chat.ignoreButton, wm::LBUTTONDOWN, 0, std::intptr_t(0));
        desktop.sendMessage(chat.ignoreButton, wm::LBUTTONUP, 0, std::intptr_t(0));
    };
    ignore(0);
    ignore(1);
    EXPECT_FALSE(desktop.isIgnored(chat.window, "me"));
    std::string item(32, '\0');
    item.resize(std::size_t(desktop.sendMessage(chat.memberList, lb::GETTEXT, 1, item)));
    EXPECT_EQ(item, "Chat\tignored\tbob");
    const std::string shown = desktop.textOf(chat.transcript);
    desktop.say(chat.window, "bob", "unheard");
    EXPECT_EQ(desktop.textOf(chat.transcript), shown);
    ignore(1);
    EXPECT_FALSE(desktop.isIgnored(chat.window, "bob"));
}

}  // namespace
