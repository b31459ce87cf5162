#include "RecordingWindows.h"

#include "bot/ChatUsers.h"
#include "chatlink/AnsiText.h"
#include "chatlink/SimDesktop.h"
#include "controls/ListBox.h"
#include "support/NoWindows.h"

#include <gtest/gtest.h>

namespace {

// A chat window whose member list holds the given items as they are, and
// whose member list may be slow to appear.
class ScriptedMemberList : public NoWindows {
public:
    static constexpr Hwnd kChat = 1, kList = 2;

    Hwnd findWindow(std::string_view className) override { return className == "AIM_ChatWnd" ? kChat : 0; }
    Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) override
    {
        ++listLookups;
        const bool there = parent == kChat && after == 0 && className == "_Oscar_Tree" && listLookups > listLate;
        return there ? kList : 0;
    }
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t) override
    {
        if (window != kList)
            return 0;
        if (message == lb::GETCOUNT)
            return std::intptr_t(items.size());
        if (message == lb::SETCURSEL)
            selected = int(wParam);
        if (message == lb::GETTEXTLEN)
            return std::intptr_t(items.at(wParam).size());
        return 0;
    }
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) override
    {
        if (window != kList || message != lb::GETTEXT)
            return 0;
        text.replace(0, text.size(), items.at(wParam).substr(0, text.size()));
        return std::intptr_t(items.at(wParam).size());
    }
    void doEvents() override { ++pumped; }

    std::vector<std::string> items;
    int listLate = 0;
    int listLookups = 0;
    int selected = -1;
    int pumped = 0;
};

TEST(GetChatUsers, TakesTheTextAfterTheSecondTabOrWhatThereIs)
{
    ScriptedMemberList windows;
    windows.items = {"Chat\t\talice", "Chat\tx\tbob\tmobile", "one\ttab", "no tabs \xbb", "Chat\t\talice",
                     "Chat\t\tcarol"};
    ListBox L;
    GetChatUsers(windows, L);
    EXPECT_EQ(L.items(), (QStringList{"alice", "bob\tmobile", "tab", QStringLiteral("no tabs \u00bb"), "carol"}));
    // Every member was selected in turn; the last stays selected.
    EXPECT_EQ(windows.selected, 5);
}

TEST(GetChatUsers, KeepsWhatTheListHeldAndSkipsNamesAlreadyThere)
{
    ScriptedMemberList windows;
    windows.items = {"Chat\t\tbob", "Chat\t\tdave"};
    ListBox L;
    L.addItem(QStringLiteral("bob"));
    GetChatUsers(windows, L);
    EXPECT_EQ(L.items(), (QStringList{"bob", "dave"}));
}

TEST(GetChatUsers, WaitsABoundedTimeForTheMemberList)
{
    ScriptedMemberList late;
    late.items = {"Chat\t\talice"};
    late.listLate = 3;
    ListBox found;
    GetChatUsers(late, found);
    EXPECT_EQ(found.items(), QStringList{"alice"});
    EXPECT_EQ(late.pumped, 3);

    ScriptedMemberList never;
    never.items = {"Chat\t\talice"};
    never.listLate = 1 << 30;
    ListBox empty;
    GetChatUsers(never, empty);
    EXPECT_EQ(empty.count(), 0);
    EXPECT_LE(never.listLookups, 100);
}

TEST(GetChatUsers, NoChatWindowLeavesTheListAlone)
{
    NoWindows windows;
    ListBox L;
    L.addItem(QStringLiteral("kept"));
    GetChatUsers(windows, L);
    EXPECT_EQ(L.items(), QStringList{"kept"});
}

TEST(IgnoreUser, SelectsTheMemberAndClicksTheSecondIconButtonToToggle)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    desktop.addMember(chat.window, "bob");
    RecordingWindows windows(desktop);

    IgnoreUser(windows, 1);
    EXPECT_TRUE(desktop.isIgnored(chat.window, "bob"));
    EXPECT_FALSE(desktop.isIgnored(chat.window, "me"));
    const std::vector<RecordingWindows::Sent> expected = {
        {chat.memberList, lb::SETCURSEL, 1, ""},
        {chat.ignoreButton, wm::LBUTTONDOWN, 0, ""},
        {0, 0, 0, "events"},
        {chat.ignoreButton, wm::LBUTTONUP, 0, ""},
        {0, 0, 0, "events"},
    };
    EXPECT_EQ(windows.sent, expected);

    IgnoreUser(windows, 1);
    EXPECT_FALSE(desktop.isIgnored(chat.window, "bob"));
}

TEST(IgnoreUser, WindowWithOneIconButtonClicksNothing)
{
    SimDesktop desktop;
    const SimDesktop::Hwnd chat = desktop.createWindow(0, "AIM_ChatWnd");
    desktop.createWindow(chat, "_Oscar_Tree", SimDesktop::Kind::MemberList);
    const SimDesktop::Hwnd only = desktop.createWindow(chat, "_Oscar_IconBtn", SimDesktop::Kind::IconButton);
    desktop.addMember(chat, "bob");
    RecordingWindows windows(desktop);
    IgnoreUser(windows, 0);
    EXPECT_TRUE(std::none_of(windows.sent.begin(), windows.sent.end(),
                             [&](const auto& s) { return s.window == only; }));
    EXPECT_FALSE(desktop.isIgnored(chat, "bob"));
}

} // namespace
