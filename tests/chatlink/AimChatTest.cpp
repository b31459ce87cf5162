#include "RecordingWindows.h"

#include "chatlink/AimChat.h"
#include "chatlink/AnsiText.h"
#include "chatlink/SimDesktop.h"

#include <gtest/gtest.h>

namespace {

using namespace aimchat;

TEST(GetLastLine, StartsAtTheLastLineBreakOfAnyCaseAndDropsTheFinalCharacter)
{
    EXPECT_EQ(GetLastLine(QStringLiteral("a<BR>b<br>line>")), "<br>line");
    EXPECT_EQ(GetLastLine(QStringLiteral("<Br>x")), "<Br>");
    EXPECT_EQ(GetLastLine(QStringLiteral("no break at all")), "");
}

TEST(StripTags, RemovesTagsAndClosingBracketsAndNeverTakesTheLastCharacter)
{
    EXPECT_EQ(StripTags(QStringLiteral("<B>alice</B>: hi</FONT>")), "alice: hi");
    EXPECT_EQ(StripTags(QStringLiteral("alice: hello")), "alice: hell");
    // An unclosed tag drops everything from it; entities stay.
    EXPECT_EQ(StripTags(QStringLiteral("a &amp; b<i unclosed")), "a &amp; b");
    EXPECT_EQ(StripTags(QStringLiteral("x > y!")), "x  y");
    // A tag closed only by the very last character counts as unclosed.
    EXPECT_EQ(StripTags(QStringLiteral("ok<b>")), "ok");
    EXPECT_EQ(StripTags(QString()), "");
}

TEST(AnsiText, CarriesTheProgramsCharactersAsSingleBytes)
{
    const QString text = QStringLiteral("quillon\u00b3\u00b7\u00b2 \u00bb \u00f1 \u20ac");
    const std::string bytes = AnsiText::toAnsi(text);
    EXPECT_EQ(bytes, "quillon\xb3\xb7\xb2 \xbb \xf1 \x80");
    EXPECT_EQ(AnsiText::fromAnsi(bytes), text);
    // What the code page cannot hold becomes "?".
    EXPECT_EQ(AnsiText::toAnsi(QStringLiteral("\u0416!")), "?!");
}

class AimWindow : public testing::Test {
protected:
    SimDesktop desktop;
    RecordingWindows windows{desktop};
};

TEST_F(AimWindow, ChatTextIsTheWholeTranscriptAndTheTailItsLast500Characters)
{
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    std::string text = "<BR>" + std::string(700, 'a') + "\xc2\xbb";
    desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, text);
    const QString whole = GetChatText(windows);
    EXPECT_EQ(whole.size(), 705);
    EXPECT_TRUE(whole.endsWith(u'\u00bb'));
    EXPECT_EQ(GetChatTail(windows), whole.right(500));
    EXPECT_EQ(ReadWindowText(windows, chat.transcript), whole);
}

TEST_F(AimWindow, TypingSetsTheInputAndClicksTheFifthButtonWithThreeMessages)
{
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    TypeChatText(windows, QStringLiteral("hi \u00bb"));
    const std::vector<RecordingWindows::Sent> expected = {
        {chat.input, wm::SETTEXT, 0, "hi \xc2\xbb"},
        {chat.sendButton, wm::LBUTTONDOWN, 0, ""},
        {chat.sendButton, wm::KEYUP, vk::SPACE, ""},
        {chat.sendButton, wm::LBUTTONUP, 0, ""},
    };
    EXPECT_EQ(windows.sent, expected);
    EXPECT_TRUE(desktop.textOf(chat.transcript).ends_with("<B>me</B>: <FONT LANG=\"0\">hi \xc2\xbb</FONT>"));
}

TEST_F(AimWindow, ProbeReadsTheInputsHtmlAroundOneLetterAndEmptiesTheBox)
{
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    EXPECT_EQ(ProbeInputFormat(windows), "<FONT LANG=\"0\">l</FONT>");
    EXPECT_EQ(desktop.textOf(chat.input), "");
    EXPECT_EQ(desktop.textOf(chat.transcript), "");
}

TEST_F(AimWindow, WindowWithTooFewChildrenTakesTheTextAndTheClickNowhere)
{
    // One text pane and only two icon buttons: the second button is the
    // ignore button, which a walk that starts over would click.
    const SimDesktop::Hwnd chat = desktop.createWindow(0, "AIM_ChatWnd");
    const SimDesktop::Hwnd transcript =
        desktop.createWindow(desktop.createWindow(chat, "WndAte32Class"), "Ate32Class", SimDesktop::Kind::Transcript);
    desktop.createWindow(chat, "_Oscar_Tree", SimDesktop::Kind::MemberList);
    desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    desktop.addMember(chat, "bob");
    desktop.sendMessage(desktop.findChild(chat, 0, "_Oscar_Tree"), lb::SETCURSEL, 0, std::intptr_t(0));

    TypeChatText(windows, QStringLiteral("lost"));
    EXPECT_TRUE(windows.sent.empty());
    EXPECT_EQ(desktop.textOf(transcript), "");
    EXPECT_FALSE(desktop.isIgnored(chat, "bob"));
    EXPECT_EQ(ProbeInputFormat(windows), "");
}

} // namespace

TEST(AnsiText, EveryByteComesBackAsItWent)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    EXPECT_EQ(AnsiText::toAnsi(AnsiText::fromAnsi(all)), all);
}

TEST(AnsiText, Utf8IsPreferredAndAnythingElseIsWindows1252)
{
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xc2\xbb ok"), QStringLiteral("\u00bb ok"));
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xbb \x80\x99"), QStringLiteral("\u00bb \u20ac\u2122"));
}
