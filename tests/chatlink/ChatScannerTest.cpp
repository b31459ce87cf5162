#include "chatlink/ChatScanner.h"
#include "chatlink/AnsiText.h"
#include "chatlink/SimDesktop.h"
#include "support/TestState.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// The scanner over the holders and a simulated desktop whose transcript
// lines show the time "10:15:02 PM"; every line handed to SendChat is kept.
struct ScannerRig : TestState {
    SimDesktop desktop;
    ChatScanner chat1 {*this, desktop, ui};

    ScannerRig()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
        QObject::connect(&chat1, &ChatScanner::sendChatCalled, [this](const QString& text) { sent.append(text); });
    }
};

class ChatScannerTest : public testing::Test {
protected:
    ChatScannerTest()
    {
        QObject::connect(&t->chat1, &ChatScanner::aimchatscan,
                         [this](const QString& who, const QString& what, const QString& when) {
                             said.push_back((who + " | " + what + " | " + when).toStdString());
                         });
    }

    void setTranscript(const QString& html)
    {
        std::string bytes = AnsiText::toWindow(t.desktop, html);
        t.desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, bytes);
    }
    void append(const QString& html)
    {
        setTranscript(AnsiText::fromWindow(t.desktop, t.desktop.textOf(chat.transcript)) + html);
    }
    void tick() { t->chat1.chat_tymer_Timer(); }

    Alone<ScannerRig> t;
    SimDesktop::AimChat chat = t.desktop.openAimChat("me");
    Lines said;
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
    };
    setTranscript(QStringLiteral("<BR><B>bob</B>: earlier</FONT>"));
    t->chat1.scan_on();
    for (const auto& [line, expected] : cases) {
        said.clear();
        append(QString::fromUtf8(line));
        tick();
        EXPECT_EQ(said, Lines {expected});
    }

    // Of two lines within one tick only the newer is reported.
    said.clear();
    append(QStringLiteral("<BR><!-- (2:00:00 AM) --><B>alice</B>: first</FONT>"
                          "<BR><!-- (2:00:01 AM) --><B>bob</B>: second</FONT>"));
    tick();
    EXPECT_EQ(said, Lines {"bob | second | {2:00:01 AM}"});

    // A tail with no line break, after a real line, reports one empty line.
    said.clear();
    append(QStringLiteral("<BR>") + QString(600, u'x'));
    tick();
    tick();
    EXPECT_EQ(said, Lines {" |  | {}"});
}

TEST_F(ChatScannerTest, TickEndsEarlyOnTheCapturedTailOnAShortTailAndOnTheSameLine)
{
    // The lines already there when scanning starts are never reported.
    setTranscript(QStringLiteral("<BR><B>alice</B>: old</FONT>"));
    t->chat1.scan_on();
    tick();
    setTranscript(QStringLiteral("<b"));
    tick();
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(t->chat1.newlastlyne, "");

    // The same line, time field included, is not reported again, even
    // across switching scanning off and on.
    const QString line = QStringLiteral("<BR><!-- (10:15:02 PM) --><B>alice</B>: again</FONT>");
    setTranscript(line);
    tick();
    t->chat1.scan_off();
    t->chat1.scan_on();
    setTranscript(QStringLiteral("<BR>other text before") + line);
    tick();
    EXPECT_EQ(said.size(), 1u);
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
    t->chkBot.setValue(1);
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
    EXPECT_EQ(
        t.ui.messages,
        QStringList {QStringLiteral("Notice: Chat scanning can some times lag so i added this option, You'll need "
                                    "to enable chat scanning to use ccoms.")});

    t->chkScan.setValue(1);
    t->chat1.chkScan_Click();
    EXPECT_TRUE(t->chat1.isScanning());
    EXPECT_EQ(t.ui.messages.size(), 1);
}

}  // namespace
