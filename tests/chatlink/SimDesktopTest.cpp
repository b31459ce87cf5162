#include "chatlink/SimDesktop.h"

#include <gtest/gtest.h>

namespace {

std::string text(SimDesktop& d, SimDesktop::Hwnd w)
{
    std::string buffer(std::size_t(d.sendMessage(w, wm::GETTEXTLENGTH, 0, 0)) + 1, ' ');
    d.sendMessage(w, wm::GETTEXT, buffer.size(), buffer);
    buffer.pop_back();
    return buffer;
}

TEST(SimDesktop, TranscriptStaysBoundedAndKeepsTheNewestWholeLines)
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
}

TEST(SimDesktop, MembersJoinWhenTheySpeakAndIgnoredOnesAreNotShown)
{
    SimDesktop desktop;
    desktop.clock = [] { return std::string("1:02:03 AM"); };
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    desktop.say(chat.window, "bob", "hello");
    EXPECT_EQ(desktop.sendMessage(chat.memberList, lb::GETCOUNT, 0, 0), 2);
    EXPECT_EQ(text(desktop, chat.transcript), "<BR><!-- (1:02:03 AM) --><B>bob</B>: <FONT LANG=\"0\">hello</FONT>");

    desktop.sendMessage(chat.memberList, lb::SETCURSEL, 1, 0);
    desktop.sendMessage(chat.ignoreButton, wm::LBUTTONDOWN, 0, 0);
    desktop.sendMessage(chat.ignoreButton, wm::LBUTTONUP, 0, 0);
    desktop.say(chat.window, "bob", "unheard");
    EXPECT_EQ(text(desktop, chat.transcript), "<BR><!-- (1:02:03 AM) --><B>bob</B>: <FONT LANG=\"0\">hello</FONT>");
}

TEST(SimDesktop, ObserversHearPostsAndTranscriptChanges)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    std::vector<std::string> sent;
    int changes = 0;
    desktop.inputSent = [&](SimDesktop::Hwnd w, const std::string& typed) {
        EXPECT_EQ(w, chat.window);
        sent.push_back(typed);
    };
    desktop.transcriptChanged = [&](SimDesktop::Hwnd w) {
        EXPECT_EQ(w, chat.window);
        ++changes;
    };
    std::string typed = "typed <b>text</b> ";
    desktop.sendMessage(chat.input, wm::SETTEXT, 0, typed);
    desktop.sendMessage(chat.sendButton, wm::LBUTTONDOWN, 0, 0);
    desktop.sendMessage(chat.sendButton, wm::KEYUP, vk::SPACE, 0);
    desktop.sendMessage(chat.sendButton, wm::LBUTTONUP, 0, 0);
    EXPECT_EQ(sent, std::vector<std::string>{typed});
    EXPECT_EQ(changes, 1);
}

TEST(SimDesktop, ClosedWindowsAnswerNothing)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    desktop.destroyWindow(chat.window);
    EXPECT_EQ(desktop.findWindow("aim_chatwnd"), 0u);
    EXPECT_EQ(desktop.sendMessage(chat.memberList, lb::GETCOUNT, 0, 0), 0);
    EXPECT_EQ(desktop.findChild(chat.window, 0, "_oscar_tree"), 0u);
}

} // namespace
