// SPDX-License-Identifier: GPL-3.0-or-later
// The contract every WindowSystem backend keeps with the chat link: the
// same source runs against the simulated desktop and, under Wine, against
// real windows.
#include "ContractDesktop.h"

#include <gtest/gtest.h>

namespace {

using Hwnd = WindowSystem::Hwnd;

class WindowContract : public testing::Test {
protected:
    std::unique_ptr<ContractDesktop> desktop = makeContractDesktop();
    WindowSystem& w = desktop->windows();

    std::string text(Hwnd window, std::size_t room)
    {
        std::string buffer(room, ' ');
        buffer.resize(std::size_t(w.sendMessage(window, wm::GETTEXT, room, buffer)));
        return buffer;
    }
    Hwnd child(Hwnd parent, const char* className, int index = 0)
    {
        Hwnd c = w.findChild(parent, 0, className);
        while (c && index-- > 0)
            c = w.findChild(parent, c, className);
        return c;
    }
    Hwnd chat() { return w.findWindow("aim_chatwnd"); }
};

TEST_F(WindowContract, WindowsAreFoundByClassInOrderAndTheirTextAndMenusComeBackByteForByte)
{
    EXPECT_EQ(chat(), 0u);
    EXPECT_EQ(w.sendMessage(0, wm::GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(w.getSubMenu(w.getMenu(0), 0), 0u);
    desktop->openAimChat();
    ASSERT_NE(chat(), 0u);
    // A null parent is no window, not the desktop.
    EXPECT_EQ(w.findChild(0, 0, "aim_chatwnd"), 0u);
    const Hwnd first = child(chat(), "WndAte32Class"), second = child(chat(), "wndate32class", 1);
    EXPECT_TRUE(first && second && first != second);
    EXPECT_EQ(w.findChild(chat(), second, "wndate32class"), 0u);
    // Only direct children count: the text panes sit one level down.
    EXPECT_EQ(child(chat(), "ate32class"), 0u);
    EXPECT_NE(child(chat(), "_oscar_iconbtn", 5), 0u);
    EXPECT_EQ(child(chat(), "_oscar_iconbtn", 6), 0u);

    // Text and member list items come back byte for byte.
    const Hwnd pane = child(child(chat(), "wndate32class"), "ate32class");
    std::string value = "<b>OnlineHost</b>: quillon\xb3\xb7\xb2 \xbb Cleared!";
    w.sendMessage(pane, wm::SETTEXT, 0, value);
    EXPECT_EQ(w.sendMessage(pane, wm::GETTEXTLENGTH, 0, 0), std::intptr_t(value.size()));
    EXPECT_EQ(text(pane, value.size() + 1), value);
    EXPECT_EQ(text(pane, 4), "<b>");

    const Hwnd list = child(chat(), "_Oscar_Tree");
    ASSERT_EQ(w.sendMessage(list, lb::GETCOUNT, 0, 0), 3);
    std::string item(std::size_t(w.sendMessage(list, lb::GETTEXTLEN, 2, 0)), '\0');
    w.sendMessage(list, lb::GETTEXT, 2, item);
    EXPECT_EQ(item, "Chat\t\tcarol");
    EXPECT_EQ(w.sendMessage(list, lb::GETTEXT, 3, item), -1);  // LB_ERR: past the end
    EXPECT_EQ(w.sendMessage(list, lb::SETCURSEL, 2, 0), 2);

    // Menus are read item by item.
    desktop->openAolClient();
    const WindowSystem::Hmenu bar = w.getMenu(w.findWindow("AOL Frame25"));
    ASSERT_EQ(w.getMenuItemCount(bar), 3);
    EXPECT_EQ(w.getMenuItemID(bar, 0), WindowSystem::kNoMenuItemId);
    const WindowSystem::Hmenu help = w.getSubMenu(bar, 2);
    const unsigned id = w.getMenuItemID(help, 1);
    EXPECT_EQ(w.getMenuItemID(help, w.getMenuItemCount(help)), WindowSystem::kNoMenuItemId);
    EXPECT_EQ(w.getMenuString(help, id, 100), "&What's New in AOL 5.0");
    EXPECT_EQ(w.getMenuString(help, id, 5), "&Wha");
    EXPECT_EQ(w.getMenuString(help, id, 0), "");
    // By command id the whole menu below is searched.
    EXPECT_EQ(w.getMenuString(bar, id, 100), "&What's New in AOL 5.0");
    EXPECT_EQ(w.getMenuString(help, 99999, 100), "");
}

}  // namespace
