#include "chatlink/AolWindows.h"
#include "chatlink/SimDesktop.h"

#include <gtest/gtest.h>

namespace {

class AolWindows : public testing::Test {
protected:
    void open(const std::string& whatsNew)
    {
        client = desktop.openAolClient({"&Help Topics", whatsNew});
        desktop.aolLinePosted = [this](SimDesktop::Hwnd, const std::string& line) { posted.push_back(line); };
        desktop.eventPump = [this] { ++pumped; };
    }
    void setText(SimDesktop::Hwnd window, std::string text) { desktop.sendMessage(window, wm::SETTEXT, 0, text); }
    // A child with the given marker children and nothing else.
    SimDesktop::Hwnd addChildWith(std::initializer_list<const char*> markers)
    {
        const SimDesktop::Hwnd child = desktop.addAolChild(client);
        for (const char* marker : markers)
            desktop.createWindow(child, marker, SimDesktop::Kind::AolEdit);
        return child;
    }

    SimDesktop desktop;
    SimDesktop::AolClient client;
    std::vector<std::string> posted;
    int pumped = 0;
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
        SimDesktop fresh;
        fresh.openAolClient({"&Help Topics", item});
        EXPECT_EQ(GetAolVersion(fresh), version) << item;
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

    desktop.destroyWindow(client.frame);
    open("&What's New in AOL 7.0");
    addChildWith({"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "RICHCNTLREADONLY", "RICHCNTL"});
    desktop.addAolRoom(client);
    pumped = 0;
    EXPECT_EQ(FindChatRoom(desktop), 0u);
    SendAolChat(desktop, QStringLiteral("lost"));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(pumped, 0);  // no later child was looked at
}

TEST_F(AolWindows, RoomWithoutTextBoxesGetsNothing)
{
    open("&What's New in AOL 7.0");
    const SimDesktop::Hwnd boxless
        = addChildWith({"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "_AOL_Icon", "RICHCNTLREADONLY"});
    ASSERT_EQ(FindChatRoom(desktop), boxless);
    SendAolChat(desktop, QStringLiteral("lost"));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(desktop.textOf(boxless), "");
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
    desktop.destroyWindow(client.frame);
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
