#include "chatlink/AimChat.h"
#include "chatlink/AolWindows.h"
#include "chatlink/SimDesktop.h"
#include "controls/ListBox.h"

#include <gtest/gtest.h>

namespace {

using namespace aimchat;
using Hwnd = SimDesktop::Hwnd;

// Records the window messages without text: window, message and wParam.
struct RecordingDesktop : SimDesktop {
    using Sent = std::tuple<Hwnd, unsigned, std::uintptr_t>;
    using SimDesktop::sendMessage;
    std::intptr_t sendMessage(Hwnd w, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (w)
            sent.emplace_back(w, message, wParam);
        return SimDesktop::sendMessage(w, message, wParam, lParam);
    }
    std::vector<Sent> sent;
};

TEST(AimChat, TypingPressesTheFifthButtonTheProbeLeavesNoTraceAndTheTailIsTheLast500Characters)
{
    RecordingDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    TypeChatText(desktop, QStringLiteral("hi \u00bb"));
    const std::vector<RecordingDesktop::Sent> clicked = {
        {chat.sendButton, wm::LBUTTONDOWN, 0},
        {chat.sendButton, wm::KEYUP, vk::SPACE},
        {chat.sendButton, wm::LBUTTONUP, 0},
    };
    EXPECT_EQ(desktop.sent, clicked);
    const std::string transcript = desktop.textOf(chat.transcript);
    EXPECT_TRUE(transcript.ends_with("<B>me</B>: <FONT LANG=\"0\">hi \xc2\xbb</FONT>"));
    EXPECT_EQ(ProbeInputFormat(desktop), "<FONT LANG=\"0\">l</FONT>");
    EXPECT_EQ(desktop.textOf(chat.input), "");
    EXPECT_EQ(desktop.textOf(chat.transcript), transcript);

    std::string text = "<BR>" + std::string(700, 'a') + "\xc2\xbb";
    desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, text);
    const QString whole = GetChatText(desktop);
    EXPECT_EQ(whole, QString::fromStdString(text));
    EXPECT_EQ(GetChatTail(desktop), whole.right(500));
    EXPECT_EQ(ReadWindowText(desktop, chat.transcript), whole);
}

TEST(AimChat, WindowWithTooFewChildrenTakesTheTextAndTheClicksNowhere)
{
    // One text pane and only two icon buttons: the second button is the
    // ignore button, which a walk that starts over would click.
    SimDesktop desktop;
    const Hwnd chat = desktop.createWindow(0, "AIM_ChatWnd");
    const Hwnd transcript
        = desktop.createWindow(desktop.createWindow(chat, "WndAte32Class"), "Ate32Class", SimDesktop::Kind::Transcript);
    const Hwnd list = desktop.createWindow(chat, "_Oscar_Tree", SimDesktop::Kind::MemberList);
    for (int i = 0; i < 2; ++i)
        desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    desktop.addMember(chat, "bob");
    desktop.sendMessage(list, lb::SETCURSEL, 0, std::intptr_t(0));
    TypeChatText(desktop, QStringLiteral("lost"));
    EXPECT_EQ(desktop.textOf(transcript), "");
    EXPECT_FALSE(desktop.isIgnored(chat, "bob"));
    EXPECT_EQ(ProbeInputFormat(desktop), "");
}

class AolWindows : public testing::Test {
protected:
    void open(const std::string& whatsNew)
    {
        if (client.frame)
            desktop.destroyWindow(client.frame);
        client = desktop.openAolClient({"&Help Topics", whatsNew});
    }
    void setText(Hwnd window, std::string text) { desktop.sendMessage(window, wm::SETTEXT, 0, text); }
    // A child with the given marker children and nothing else.
    Hwnd addChildWith(std::initializer_list<const char*> markers)
    {
        const Hwnd child = desktop.addAolChild(client);
        for (const char* marker : markers)
            desktop.createWindow(child, marker, SimDesktop::Kind::AolEdit);
        return child;
    }

    SimDesktop desktop;
    SimDesktop::AolClient client;
    std::vector<std::string> posted;
    int pumped = 0;

    AolWindows()
    {
        desktop.aolLinePosted = [this](Hwnd, const std::string& line) { posted.push_back(line); };
        desktop.eventPump = [this] { ++pumped; };
    }
};

TEST_F(AolWindows, VersionComesFromTheFirstWhatsNewMenuItemInWalkOrder)
{
    // Without a client the fallback answers.
    EXPECT_EQ(GetAolVersion(desktop), "9");
    const std::pair<const char*, const char*> cases[] = {
        {"&What's New in AOL 5.0", "5"},    {"&What's New in AOL 6.0", "5"}, {"&WHAT'S NEW IN AOL 4.0", "4"},
        {"&What's New in AOL 7.0...", "7"}, {"&What's New in AOL 8.0", "8"}, {"What's New in AOL 5.0", "9"},
    };
    for (const auto& [item, version] : cases) {
        open(item);
        EXPECT_EQ(GetAolVersion(desktop), version) << item;
    }
    open("&What's New in AOL 8.0");
    const SimDesktop::Hmenu later = desktop.createMenu();
    desktop.appendMenuItem(later, 900, "&What's New in AOL 5.0");
    desktop.appendSubMenu(desktop.getMenu(client.frame), later, "&Extra");
    EXPECT_EQ(GetAolVersion(desktop), "8");
}

TEST_F(AolWindows, RoomIsFoundPastOtherWindowsUnlessTheFirstLooksLikeOneButIsIncomplete)
{
    EXPECT_EQ(FindChatRoom(desktop), 0u);
    open("&What's New in AOL 7.0");
    desktop.addAolChild(client);
    desktop.addAolChild(client);
    const SimDesktop::AolRoom room = desktop.addAolRoom(client);
    EXPECT_EQ(FindChatRoom(desktop), room.room);
    EXPECT_EQ(pumped, 2);
    EXPECT_EQ(FindChatInput(desktop), room.input);

    open("&What's New in AOL 7.0");
    addChildWith({"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "RICHCNTLREADONLY", "RICHCNTL"});
    desktop.addAolRoom(client);
    pumped = 0;
    EXPECT_EQ(FindChatRoom(desktop), 0u);
    SendAolChat(desktop, QStringLiteral("lost"));
    EXPECT_EQ(pumped, 0);  // no later child was looked at

    // A whole room without text boxes gets nothing.
    open("&What's New in AOL 7.0");
    const Hwnd boxless
        = addChildWith({"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "_AOL_Icon", "RICHCNTLREADONLY"});
    ASSERT_EQ(FindChatRoom(desktop), boxless);
    SendAolChat(desktop, QStringLiteral("lost"));
    EXPECT_EQ(desktop.textOf(boxless), "");
    EXPECT_TRUE(posted.empty());
}

TEST_F(AolWindows, SendPostsTheLineUnchangedIntoTheBoxTheVersionSelects)
{
    // "Chat Input" in the box: the rest comes back, the first occurrence
    // in any letter case gone. Versions other than five clear the first box.
    open("&What's New in AOL 7.0");
    const SimDesktop::AolRoom room = desktop.addAolRoom(client);
    setText(room.edit, "chat input draft Chat Input");
    setText(room.input, "second");
    SendAolChat(desktop, QStringLiteral("say \"hi\" \u00bb"));
    EXPECT_EQ(posted, std::vector<std::string> {"say \"hi\" \xc2\xbb"});
    EXPECT_EQ(desktop.textOf(room.edit), " draft Chat Input");
    ClearChatInput(desktop);
    EXPECT_EQ(desktop.textOf(room.edit), "");
    EXPECT_EQ(desktop.textOf(room.input), "second");

    // Without "Chat Input" what the box held is lost; version five clears
    // the second box.
    open("&What's New in AOL 5.0");
    const SimDesktop::AolRoom five = desktop.addAolRoom(client);
    setText(five.edit, "half typed");
    setText(five.input, "second");
    SendAolChat(desktop, QStringLiteral("line"));
    EXPECT_EQ(posted.back(), "line");
    EXPECT_EQ(desktop.textOf(five.edit), "");
    EXPECT_EQ(desktop.textOf(five.input), "");
}

}  // namespace
