#include "chatlink/AimChat.h"
#include "bot/ChatUsers.h"
#include "chatlink/AnsiText.h"
#include "chatlink/SimDesktop.h"
#include "controls/ListBox.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using namespace aimchat;
using Hwnd = SimDesktop::Hwnd;

TEST(AnsiText, CarriesTheProgramsCharactersAsSingleBytesAndEveryByteBack)
{
    EXPECT_EQ(AnsiText::fromAnsi("quillon\xb3\xb7\xb2 \xbb \xf1 \x80"),
              QStringLiteral("quillon\u00b3\u00b7\u00b2 \u00bb \u00f1 \u20ac"));
    // What the code page cannot hold becomes "?"; every byte comes back.
    EXPECT_EQ(AnsiText::toAnsi(QStringLiteral("\u0416!")), "?!");
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), '\0');
    EXPECT_EQ(AnsiText::toAnsi(AnsiText::fromAnsi(all)), all);
    // UTF-8 is preferred; anything else is Windows-1252.
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xc2\xbb ok"), QStringLiteral("\u00bb ok"));
    EXPECT_EQ(AnsiText::fromUtf8OrAnsi("\xbb \x80\x99"), QStringLiteral("\u00bb \u20ac\u2122"));
}

// Records the messages that reach a window: window, message, wParam and
// the text of WM_SETTEXT; and each time pending events were let run.
struct RecordingDesktop : SimDesktop {
    using Sent = std::tuple<Hwnd, unsigned, std::uintptr_t, std::string>;
    std::intptr_t sendMessage(Hwnd w, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (w)
            sent.emplace_back(w, message, wParam, "");
        return SimDesktop::sendMessage(w, message, wParam, lParam);
    }
    std::intptr_t sendMessage(Hwnd w, unsigned message, std::uintptr_t wParam, std::string& text) override
    {
        if (w)
            sent.emplace_back(w, message, wParam, message == wm::SETTEXT ? text : "");
        return SimDesktop::sendMessage(w, message, wParam, text);
    }
    void doEvents() override
    {
        sent.emplace_back(0, 0, 0, "events");
        SimDesktop::doEvents();
    }
    std::vector<Sent> sent;
};

TEST(AimWindow, ChatTextIsTheWholeTranscriptAndTheTailItsLast500Characters)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    std::string text = "<BR>" + std::string(700, 'a') + "\xc2\xbb";
    desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, text);
    const QString whole = GetChatText(desktop);
    EXPECT_EQ(whole.size(), 705);
    EXPECT_TRUE(whole.endsWith(u'\u00bb'));
    EXPECT_EQ(GetChatTail(desktop), whole.right(500));
    EXPECT_EQ(ReadWindowText(desktop, chat.transcript), whole);
}

TEST(AimWindow, TypingSetsTheInputAndClicksTheFifthButtonAndTheProbeLeavesNoTrace)
{
    RecordingDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    TypeChatText(desktop, QStringLiteral("hi \u00bb"));
    const std::vector<RecordingDesktop::Sent> expected = {
        {chat.input, wm::SETTEXT, 0, "hi \xc2\xbb"},
        {chat.sendButton, wm::LBUTTONDOWN, 0, ""},
        {chat.sendButton, wm::KEYUP, vk::SPACE, ""},
        {chat.sendButton, wm::LBUTTONUP, 0, ""},
    };
    EXPECT_EQ(desktop.sent, expected);
    const std::string transcript = desktop.textOf(chat.transcript);
    EXPECT_TRUE(transcript.ends_with("<B>me</B>: <FONT LANG=\"0\">hi \xc2\xbb</FONT>"));

    EXPECT_EQ(ProbeInputFormat(desktop), "<FONT LANG=\"0\">l</FONT>");
    EXPECT_EQ(desktop.textOf(chat.input), "");
    EXPECT_EQ(desktop.textOf(chat.transcript), transcript);
}

TEST(AimWindow, WindowWithTooFewChildrenTakesTheTextAndTheClicksNowhere)
{
    // One text pane and only two icon buttons: the second button is the
    // ignore button, which a walk that starts over would click.
    RecordingDesktop desktop;
    const Hwnd chat = desktop.createWindow(0, "AIM_ChatWnd");
    const Hwnd transcript
        = desktop.createWindow(desktop.createWindow(chat, "WndAte32Class"), "Ate32Class", SimDesktop::Kind::Transcript);
    const Hwnd list = desktop.createWindow(chat, "_Oscar_Tree", SimDesktop::Kind::MemberList);
    const Hwnd first = desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    const Hwnd second = desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    desktop.addMember(chat, "bob");
    desktop.sendMessage(list, lb::SETCURSEL, 0, std::intptr_t(0));
    desktop.sent.clear();

    TypeChatText(desktop, QStringLiteral("lost"));
    EXPECT_TRUE(desktop.sent.empty());
    EXPECT_EQ(desktop.textOf(transcript), "");
    EXPECT_FALSE(desktop.isIgnored(chat, "bob"));
    EXPECT_EQ(ProbeInputFormat(desktop), "");

    // With one icon button there is no ignore button to click.
    desktop.destroyWindow(second);
    IgnoreUser(desktop, 0);
    EXPECT_TRUE(
        std::none_of(desktop.sent.begin(), desktop.sent.end(), [&](auto& s) { return std::get<0>(s) == first; }));
    EXPECT_FALSE(desktop.isIgnored(chat, "bob"));
}

TEST(IgnoreUser, SelectsTheMemberAndClicksTheSecondIconButtonToToggle)
{
    RecordingDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    desktop.addMember(chat.window, "bob");

    IgnoreUser(desktop, 1);
    EXPECT_TRUE(desktop.isIgnored(chat.window, "bob"));
    EXPECT_FALSE(desktop.isIgnored(chat.window, "me"));
    const std::vector<RecordingDesktop::Sent> expected = {
        {chat.memberList, lb::SETCURSEL, 1, ""},
        {chat.ignoreButton, wm::LBUTTONDOWN, 0, ""},
        {0, 0, 0, "events"},
        {chat.ignoreButton, wm::LBUTTONUP, 0, ""},
        {0, 0, 0, "events"},
    };
    EXPECT_EQ(desktop.sent, expected);
    // The room shows nothing of an ignored member.
    desktop.say(chat.window, "bob", "unheard");
    EXPECT_EQ(desktop.textOf(chat.transcript), "");
    // Its own user the client does not ignore: he would hear nothing more.
    IgnoreUser(desktop, 0);
    EXPECT_FALSE(desktop.isIgnored(chat.window, "me"));
    IgnoreUser(desktop, 1);
    EXPECT_FALSE(desktop.isIgnored(chat.window, "bob"));
}

TEST(GetChatUsers, AddsTheNamesAfterTheSecondTabNotYetListedWaitingABoundedTimeForTheList)
{
    SimDesktop desktop;
    const Hwnd chat = desktop.createWindow(0, "AIM_ChatWnd");
    int pumped = 0;
    desktop.eventPump = [&] {
        if (++pumped != 3)
            return;
        desktop.createWindow(chat, "_Oscar_Tree", SimDesktop::Kind::MemberList);
        for (const char* member : {"alice", "bob\tmobile", "dave", "\xc2\xbb"})
            desktop.addMember(chat, member);
    };
    ListBox L;
    L.addItem(QStringLiteral("dave"));
    GetChatUsers(desktop, L);
    EXPECT_EQ(L.items(), (QStringList {"dave", "alice", "bob\tmobile", QStringLiteral("\u00bb")}));
    EXPECT_EQ(pumped, 3);

    // A list that never comes is given up.
    desktop.destroyWindow(desktop.findChild(chat, 0, "_Oscar_Tree"));
    pumped = 3;
    GetChatUsers(desktop, L);
    EXPECT_GT(pumped, 3);
    EXPECT_LE(pumped, 100);
    EXPECT_EQ(L.count(), 4);
}

}  // namespace
