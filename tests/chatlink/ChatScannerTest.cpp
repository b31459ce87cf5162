#include "chatlink/ChatScanner.h"
#include "chatlink/SimDesktop.h"
#include "support/TestState.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Lines = std::vector<std::string>;

// The scanner on a simulated desktop whose transcript stamps "10:15:02 PM";
// it keeps every line it reports.
struct ScannerRig : TestState {
    SimDesktop desktop;
    ChatScanner chat1 {*this, desktop, ui};
    SimDesktop::AimChat chat = desktop.openAimChat("me");
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
    void setTranscript(std::string html) { desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, html); }
    void append(const std::string& html) { setTranscript(desktop.textOf(chat.transcript) + html); }
    // The lines reported by the next tick.
    Lines tick()
    {
        chat1.chat_tymer_Timer();
        return std::exchange(said, {});
    }
};

TEST(ChatScanner, NewestLineSplitsIntoSpeakerTextAndTimeField)
{
    const std::pair<const char*, const char*> cases[] = {
        // The final ">" goes with the last line, the unclosed tag with the tags.
        {"<BR><!-- (10:15:02 PM) --><B>alice</B>: !play a:b</FONT></BODY>", "alice | !play a:b | {10:15:02 PM}"},
        // Plain text at the end loses two characters; with no time comment
        // the field runs over the line from its sixth character, and a line
        // the client did not stamp has no speaker.
        {"<BR>alice: hello", " | hel | {lice: hel}"},
        // A line break in any letter case; entities stay, stray ">" go.
        {"<br><!-- (1:00:01 AM) --><B>dave</B>: a &amp; b > c</FONT>", "dave | a &amp; b  c | {1:00:01 AM}"},
        // A member's raw markup that makes a line of its own, with a time
        // comment that is no time: nobody said it.
        {"<BR><!-- (1:00:03 AM) --><B>eve</B>: x<BR><!-- (me) --><B>me</B>: end</FONT>", " | end | {me}"},
        // Of two lines within one tick only the newer is reported.
        {"<BR><!-- (2:00:00 AM) --><B>alice</B>: first</FONT><BR><!-- (2:00:01 AM) --><B>bob</B>: second</FONT>",
         "bob | second | {2:00:01 AM}"},
    };
    Alone<ScannerRig> t;
    t.setTranscript("<BR><B>bob</B>: earlier</FONT>");
    t->chat1.scan_on();
    for (const auto& [line, expected] : cases) {
        t.append(line);
        EXPECT_EQ(t.tick(), Lines {expected});
    }
    // A tail with no line break, after a real line, reports one empty line.
    t.append("<BR>" + std::string(600, 'x'));
    EXPECT_EQ(t.tick(), Lines {" |  | {}"});
    EXPECT_EQ(t.tick(), Lines {});
}

TEST(ChatScanner, NeitherTheCapturedTailNorTheSameLineIsReadAgain)
{
    Alone<ScannerRig> t;
    t.setTranscript("<BR><B>alice</B>: old</FONT>");
    t->chat1.scan_on();
    EXPECT_EQ(t.tick(), Lines {});
    t.setTranscript("<b");
    EXPECT_EQ(t.tick(), Lines {});

    // The same line, time field included, is not reported again, even
    // across switching scanning off and on.
    const std::string line = "<BR><!-- (10:15:02 PM) --><B>alice</B>: again</FONT>";
    t.setTranscript(line);
    EXPECT_EQ(t.tick().size(), 1u);
    t->chat1.scan_off();
    t->chat1.scan_on();
    t.setTranscript("<BR>other text before" + line);
    EXPECT_EQ(t.tick(), Lines {});
}

TEST(ChatScanner, SendChatRoutesByTheCheckBoxesAndEscapesQuotesForTocOnly)
{
    Alone<ScannerRig> t;
    t.desktop.addAolRoom(t.desktop.openAolClient({"&What's New in AOL 7.0"}));
    Lines out;
    t->chat1.setTocRoute([&](const QString& text) { out.push_back("toc " + text.toStdString()); });
    t.desktop.inputSent = [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aim " + text); };
    t.desktop.aolLinePosted = [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aol " + text); };
    t->txtafont.setText(QStringLiteral("<FONT LANG=\"0\">"));

    // Backslashes are escaped first, so the ones put before quotes stay single.
    const QString text = QStringLiteral("<b>say \\\"hi\" C:\\ \u00bb</b>");
    const struct {
        int chat, bot, sendAol;
        Lines out;
    } cases[] = {
        {0, 1, 1, {}},
        {1, 0, 1, {"aol <b>say \\\"hi\" C:\\ \xc2\xbb</b>"}},
        {1, 0, 0, {"aim <b>say \\\"hi\" C:\\ \xc2\xbb</b><FONT LANG=\"0\"> "}},
        {1, 1, 1, {"toc <b>say \\\\\\\"hi\\\" C:\\\\ \xc2\xbb</b>"}},
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

    // With no TOC client the bot's line is dropped, not sent elsewhere.
    t->chat1.setTocRoute({});
    out.clear();
    t->chat1.SendChat(text);
    EXPECT_EQ(out, Lines {});
}

}  // namespace
