#include "bot/ChatUsers.h"
#include "chatlink/SimDesktop.h"
#include "controls/ListBox.h"

#include <gtest/gtest.h>

namespace {

using Hwnd = SimDesktop::Hwnd;

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
    GetChatUsers(desktop, L);
    EXPECT_GT(pumped, 3);
    EXPECT_LE(pumped, 100);
    EXPECT_EQ(L.count(), 4);
}

}  // namespace
