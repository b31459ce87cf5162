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

    std::string text(Hwnd window)
    {
        std::string buffer(std::size_t(w.sendMessage(window, wm::GETTEXTLENGTH, 0, 0) + 1), ' ');
        buffer.resize(std::size_t(w.sendMessage(window, wm::GETTEXT, buffer.size(), buffer)));
        return buffer;
    }
    void setText(Hwnd window, std::string value) { w.sendMessage(window, wm::SETTEXT, 0, value); }
    std::string item(Hwnd list, int index)
    {
        std::string buffer(std::size_t(w.sendMessage(list, lb::GETTEXTLEN, std::uintptr_t(index), 0)), '\0');
        w.sendMessage(list, lb::GETTEXT, std::uintptr_t(index), buffer);
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

TEST_F(WindowContract, WindowsAreFoundByClassInOrderAndNullHandlesAnswerZero)
{
    EXPECT_EQ(chat(), 0u);
    EXPECT_EQ(w.sendMessage(0, wm::GETTEXTLENGTH, 0, 0), 0);
    std::string untouched = "untouched";
    EXPECT_EQ(w.sendMessage(0, wm::GETTEXT, 10, untouched), 0);
    EXPECT_EQ(untouched, "untouched");
    EXPECT_EQ(w.getSubMenu(w.getMenu(0), 0), 0u);
    EXPECT_EQ(w.getMenuString(0, 100, 100), "");
    w.doEvents();

    desktop->openAimChat();
    ASSERT_NE(chat(), 0u);
    EXPECT_EQ(w.findWindow("AIM_ChatWnd"), chat());
    EXPECT_EQ(w.findWindow("AIM_ChatWnd_Other"), 0u);
    EXPECT_EQ(w.findChild(chat(), 0, "_OSCAR_TREE"), child(chat(), "_oscar_tree"));
    // A null parent is no window, not the desktop.
    EXPECT_EQ(w.findChild(0, 0, "aim_chatwnd"), 0u);
    const Hwnd first = child(chat(), "wndate32class"), second = child(chat(), "wndate32class", 1);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(w.findChild(chat(), second, "wndate32class"), 0u);
    // Only direct children count: the text panes sit one level down.
    EXPECT_EQ(child(chat(), "ate32class"), 0u);
    EXPECT_NE(child(chat(), "_oscar_iconbtn", 4), 0u);
}

TEST_F(WindowContract, TextComesBackByteForByteAndCutToTheBuffer)
{
    desktop->openAimChat();
    const Hwnd pane = child(child(chat(), "wndate32class"), "ate32class");
    const std::string value = "<b>OnlineHost</b>: quillon\xb3\xb7\xb2 \xbb Cleared!";
    setText(pane, value);
    EXPECT_EQ(w.sendMessage(pane, wm::GETTEXTLENGTH, 0, 0), std::intptr_t(value.size()));
    EXPECT_EQ(text(pane), value);
    // A buffer as long as the text with room claimed for one more byte
    // comes back whole; a smaller wParam cuts the text.
    std::string exact(value.size(), ' ');
    w.sendMessage(pane, wm::GETTEXT, value.size() + 1, exact);
    EXPECT_EQ(exact, value);
    std::string cut(10, ' ');
    EXPECT_EQ(w.sendMessage(pane, wm::GETTEXT, 4, cut), 3);
    EXPECT_EQ(cut.substr(0, 3), "<b>");
    setText(pane, "");
    EXPECT_EQ(w.sendMessage(pane, wm::GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(WindowContract, MemberListItemsCarryTheNameAfterTheSecondTab)
{
    desktop->openAimChat();
    const Hwnd list = child(chat(), "_Oscar_Tree");
    ASSERT_EQ(w.sendMessage(list, lb::GETCOUNT, 0, 0), 3);
    EXPECT_EQ(item(list, 0), "Chat\t\tme");
    EXPECT_EQ(item(list, 2), "Chat\t\tcarol");
    EXPECT_EQ(w.sendMessage(list, lb::GETTEXTLEN, 1, 0), std::intptr_t(std::string("Chat\t\tbob").size()));
    EXPECT_EQ(w.sendMessage(list, lb::SETCURSEL, 2, 0), 2);
}

TEST_F(WindowContract, MenusAreReadItemByItem)
{
    desktop->openAolClient();
    const WindowSystem::Hmenu bar = w.getMenu(w.findWindow("AOL Frame25"));
    ASSERT_EQ(w.getMenuItemCount(bar), 3);
    EXPECT_EQ(w.getMenuItemID(bar, 0), WindowSystem::kNoMenuItemId);
    const WindowSystem::Hmenu help = w.getSubMenu(bar, 2);
    ASSERT_EQ(w.getMenuItemCount(help), 2);
    const unsigned id = w.getMenuItemID(help, 1);
    EXPECT_NE(id, WindowSystem::kNoMenuItemId);
    EXPECT_EQ(w.getMenuString(help, id, 100), "&What's New in AOL 5.0");
    EXPECT_EQ(w.getMenuString(help, id, 5), "&Wha");
    // By command id the whole menu below is searched.
    EXPECT_EQ(w.getMenuString(bar, id, 100), "&What's New in AOL 5.0");
    EXPECT_EQ(w.getMenuString(help, 99999, 100), "");
}

}  // namespace
