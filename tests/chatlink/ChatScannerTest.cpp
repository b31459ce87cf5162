#include "support/SimForm.h"

#include "chatlink/AnsiText.h"

#include <gtest/gtest.h>

namespace {

struct Said {
    QString who, what, when;
    bool operator==(const Said&) const = default;
};

void PrintTo(const Said& s, std::ostream* os)
{
    *os << "{" << s.who.toStdString() << " | " << s.what.toStdString() << " | " << s.when.toStdString() << "}";
}

class ChatScannerTest : public testing::Test {
protected:
    ChatScannerTest()
    {
        chat = t.desktop.openAimChat("me");
        QObject::connect(&t->chat1, &ChatScanner::aimchatscan,
                         [this](const QString& who, const QString& what, const QString& when) {
                             said.push_back({who, what, when});
                         });
    }

    void setTranscript(const QString& html)
    {
        std::string bytes = AnsiText::toWindow(t.desktop, html);
        t.desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, bytes);
    }
    void appendTranscript(const QString& html)
    {
        setTranscript(AnsiText::fromWindow(t.desktop, t.desktop.textOf(chat.transcript)) + html);
    }
    // The line that arrives after scanning started.
    std::vector<Said> scanAfter(const QString& html)
    {
        t->chat1.scan_on();
        appendTranscript(html);
        t->chat1.chat_tymer_Timer();
        return said;
    }

    SimForm t;
    SimDesktop::AimChat chat;
    std::vector<Said> said;
};

TEST_F(ChatScannerTest, LineEndingInClosingTagsGivesSpeakerTextAndTime)
{
    setTranscript(QStringLiteral("<BR><B>bob</B>: earlier</FONT>"));
    EXPECT_EQ(scanAfter(QStringLiteral("<BR><!-- (10:15:02 PM) --><B>alice</B>: !play song</FONT></BODY>")),
              (std::vector<Said>{{"alice", "!play song", "{10:15:02 PM}"}}));
}

TEST_F(ChatScannerTest, LineEndingInPlainTextLosesTwoCharacters)
{
    // The time field runs over the line from its sixth character.
    EXPECT_EQ(scanAfter(QStringLiteral("<BR>alice: hello")),
              (std::vector<Said>{{"alice", "hel", "{lice: hel}"}}));
}

TEST_F(ChatScannerTest, LineWithoutColonHasNoSpeakerAndLosesItsFirstCharacter)
{
    const std::vector<Said> got = scanAfter(QStringLiteral("<BR>system notice</FONT>"));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].who, "");
    EXPECT_EQ(got[0].what, "ystem notice");
    EXPECT_TRUE(got[0].when.startsWith("{ystem notice")) << got[0].when.toStdString();
    EXPECT_EQ(got[0].when, "{ystem notice</FON}");
}

TEST_F(ChatScannerTest, ColonInsideTheTextSplitsAtTheFirstColonOnly)
{
    EXPECT_EQ(scanAfter(QStringLiteral("<BR><!-- (1:00:00 AM) --><B>carol</B>: a:b</FONT>")),
              (std::vector<Said>{{"carol", "a:b", "{1:00:00 AM}"}}));
}

TEST_F(ChatScannerTest, TailWithoutLineBreakReportsOneEmptyLineAfterARealOne)
{
    scanAfter(QStringLiteral("<BR><B>alice</B>: hi</FONT>"));
    said.clear();
    // One line longer than the 500 characters the scanner looks at.
    appendTranscript(QStringLiteral("<BR>") + QString(600, u'x'));
    t->chat1.chat_tymer_Timer();
    t->chat1.chat_tymer_Timer();
    EXPECT_EQ(said, (std::vector<Said>{{"", "", "{}"}}));
}

TEST_F(ChatScannerTest, OnlyTheNewestOfTwoLinesInOneSecondIsReported)
{
    t->chat1.scan_on();
    appendTranscript(QStringLiteral("<BR><B>alice</B>: first</FONT>"));
    appendTranscript(QStringLiteral("<BR><B>bob</B>: second</FONT>"));
    t->chat1.chat_tymer_Timer();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].who, "bob");
    EXPECT_EQ(said[0].what, "second");
}

TEST_F(ChatScannerTest, TickEndsEarlyOnTheCapturedTailOnAShortTailAndOnTheSameLine)
{
    // The lines already there when scanning starts are never reported.
    setTranscript(QStringLiteral("<BR><B>alice</B>: old</FONT>"));
    t->chat1.scan_on();
    t->chat1.chat_tymer_Timer();
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(t->chat1.newlastlyne, "");

    // Fewer than three characters.
    setTranscript(QStringLiteral("<b"));
    t->chat1.chat_tymer_Timer();
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(t->chat1.newlastlyne, "");

    // The same line again, character for character, time field included.
    const QString line = QStringLiteral("<BR><!-- (10:15:02 PM) --><B>alice</B>: again</FONT>");
    setTranscript(line);
    t->chat1.chat_tymer_Timer();
    setTranscript(QStringLiteral("<BR>other text before") + line);
    t->chat1.chat_tymer_Timer();
    EXPECT_EQ(said.size(), 1u);
}

TEST_F(ChatScannerTest, ReportedLineStaysReportedAcrossScanOffAndOn)
{
    const QString line = QStringLiteral("<BR><B>alice</B>: once</FONT>");
    scanAfter(line);
    t->chat1.scan_off();
    EXPECT_FALSE(t->chat1.isScanning());
    t->chat1.scan_on();
    EXPECT_TRUE(t->chat1.isScanning());
    // The tail differs from the one captured, but its newest line does not.
    setTranscript(QStringLiteral("<BR>zz") + line);
    t->chat1.chat_tymer_Timer();
    EXPECT_EQ(said.size(), 1u);
    EXPECT_EQ(t->chat1.oldlastlyne, "<BR><B>alice</B>: once</FONT");
}

TEST_F(ChatScannerTest, NoChatWindowReportsNothingAndSendsNowhere)
{
    t.desktop.destroyWindow(chat.window);
    t->chat1.scan_on();
    EXPECT_EQ(t->chat1.fyrsttalk, "");
    t->chat1.chat_tymer_Timer();
    t->chat1.SendChat(QStringLiteral("hello"));
    EXPECT_TRUE(said.empty());
    EXPECT_EQ(t->chat1.ProbeInputFormat(), "");
}

class SendChatRouting : public ChatScannerTest {
protected:
    SendChatRouting()
    {
        aol = t.desktop.openAolClient({"&What's New in AOL 7.0"});
        room = t.desktop.addAolRoom(aol);
        t->chat1.setTocRoute([this](const QString& text) { toc.append(text); });
        t.desktop.inputSent = [this](SimDesktop::Hwnd, const std::string& typed) {
            aim.append(AnsiText::fromWindow(t.desktop, typed));
        };
        t.desktop.aolLinePosted = [this](SimDesktop::Hwnd, const std::string& line) {
            aolLines.append(AnsiText::fromWindow(t.desktop, line));
        };
    }

    const QString text = QStringLiteral("<b>say \"hi\" \u00bb</b>");
    SimDesktop::AolClient aol;
    SimDesktop::AolRoom room;
    QStringList toc, aim, aolLines;
};

TEST_F(SendChatRouting, ChatSendClearedSendsNothingOnAnyRoute)
{
    t->chkChat.setValue(0);
    for (int bot : {1, 0}) {
        for (int sendAol : {1, 0}) {
            t->chkBot.setValue(bot);
            t->chkSendAOL.setValue(sendAol);
            t->chat1.SendChat(text);
        }
    }
    EXPECT_TRUE(toc.isEmpty());
    EXPECT_TRUE(aim.isEmpty());
    EXPECT_TRUE(aolLines.isEmpty());
    // The line still reached the chat exit.
    EXPECT_EQ(t.sent.size(), 4);
}

TEST_F(SendChatRouting, TocBotGetsTheTextWithBackslashesAndDoubleQuotesEscaped)
{
    t->chkBot.setValue(1);
    t->chkSendAOL.setValue(1);
    t->chat1.SendChat(text);
    // Backslashes first: the ones put before the quotes stay single.
    t->chat1.SendChat(QStringLiteral("C:\\Music\\ \\\"x\\"));
    EXPECT_EQ(toc, QStringList({QStringLiteral("<b>say \\\"hi\\\" \u00bb</b>"),
                                QStringLiteral("C:\\\\Music\\\\ \\\\\\\"x\\\\")}));
    EXPECT_TRUE(aim.isEmpty());
    EXPECT_TRUE(aolLines.isEmpty());
}

TEST_F(SendChatRouting, AolGetsTheTextUnchanged)
{
    t->chkSendAOL.setValue(1);
    t->chat1.SendChat(text);
    EXPECT_EQ(aolLines, QStringList{text});
    EXPECT_TRUE(aim.isEmpty());
    EXPECT_TRUE(toc.isEmpty());
}

TEST_F(SendChatRouting, AimWindowGetsTheTextWithTheFontTailAndOneBlank)
{
    t->txtafont.setText(QStringLiteral("<FONT LANG=\"0\">"));
    t->chat1.SendChat(text);
    EXPECT_EQ(aim, QStringList{text + QStringLiteral("<FONT LANG=\"0\"> ")});
    EXPECT_TRUE(toc.isEmpty());
    EXPECT_TRUE(aolLines.isEmpty());
    // It lands in the transcript as the local member's line.
    EXPECT_TRUE(t.desktop.textOf(chat.transcript).ends_with("<B>me</B>: <FONT LANG=\"0\"><b>say \"hi\" \xc2\xbb</b>"
                                                             "<FONT LANG=\"0\"> </FONT>"));
}

TEST_F(SendChatRouting, TocRouteWithoutAClientDropsTheLine)
{
    t->chat1.setTocRoute({});
    t->chkBot.setValue(1);
    t->chat1.SendChat(text);
    EXPECT_TRUE(aim.isEmpty());
    EXPECT_TRUE(aolLines.isEmpty());
}

TEST_F(ChatScannerTest, ChatScanClearedWarnsAndStopsScanning)
{
    t->chat1.scan_on();
    t->chkScan.setValue(0);
    t->chat1.chkScan_Click();
    EXPECT_FALSE(t->chat1.isScanning());
    EXPECT_EQ(t.ui.messages,
              QStringList{QStringLiteral("Notice: Chat scanning can some times lag so i added this option, You'll need "
                                         "to enable chat scanning to use ccoms.")});

    t->chkScan.setValue(1);
    t->chat1.chkScan_Click();
    EXPECT_TRUE(t->chat1.isScanning());
    EXPECT_EQ(t.ui.messages.size(), 1);
}

TEST_F(ChatScannerTest, StartUpTakesTheFontTailFromTheInputBox)
{
    t->Form_Load();
    EXPECT_EQ(t->txtafont.text(), "<FONT LANG=\"0\">");
    EXPECT_TRUE(t->chat1.isScanning());
    // The probe leaves the input box empty.
    EXPECT_EQ(t.desktop.textOf(chat.input), "");
}

} // namespace
