#include "RecordingWindows.h"

#include "chatlink/AnsiText.h"
#include "chatlink/AolWindows.h"
#include "chatlink/SimDesktop.h"

#include <gtest/gtest.h>

namespace {

class AolWindows : public testing::Test {
protected:
    AolWindows()
    {
        desktop.aolLinePosted = [this](SimDesktop::Hwnd, const std::string& line) { posted.push_back(line); };
        desktop.eventPump = [this] { ++pumped; };
    }

    void open(const std::string& whatsNew)
    {
        client = desktop.openAolClient({"&Help Topics", whatsNew});
    }
    void setText(SimDesktop::Hwnd window, std::string text) { desktop.sendMessage(window, wm::SETTEXT, 0, text); }
    // A window that looks like a room to the first test but lacks the icon.
    void addPartRoom()
    {
        const SimDesktop::Hwnd child = desktop.addAolChild(client);
        for (const char* marker : {"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "RICHCNTLREADONLY", "RICHCNTL"})
            desktop.createWindow(child, marker, SimDesktop::Kind::AolEdit);
    }

    SimDesktop desktop;
    SimDesktop::AolClient client;
    std::vector<std::string> posted;
    int pumped = 0;
};

TEST_F(AolWindows, VersionComesFromTheWhatsNewMenuItem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"&What's New in AOL 5.0", "5"}, {"&What's New in AOL 6.0", "5"}, {"&WHAT'S NEW IN AOL 4.0", "4"},
        {"&What's New in AOL 7.0...", "7"}, {"&What's New in AOL 8.0", "8"}, {"What's New in AOL 5.0", "9"},
    };
    for (const auto& [item, version] : cases) {
        SimDesktop fresh;
        fresh.openAolClient({"&Help Topics", item});
        EXPECT_EQ(GetAolVersion(fresh), version) << item;
    }
}

TEST_F(AolWindows, FirstTellingItemInWalkOrderWins)
{
    open("&What's New in AOL 8.0");
    const SimDesktop::Hmenu later = desktop.createMenu();
    desktop.appendMenuItem(later, 900, "&What's New in AOL 5.0");
    desktop.appendSubMenu(desktop.getMenu(client.frame), later, "&Extra");
    EXPECT_EQ(GetAolVersion(desktop), "8");
}

TEST_F(AolWindows, WithoutAnAolClientTheVersionIsTheFallback)
{
    EXPECT_EQ(GetAolVersion(desktop), "9");
    EXPECT_EQ(FindChatRoom(desktop), 0u);
}

TEST_F(AolWindows, RoomIsFoundPastWindowsThatAreNoRoomLettingEventsRun)
{
    open("&What's New in AOL 7.0");
    desktop.addAolChild(client);
    desktop.addAolChild(client);
    const SimDesktop::AolRoom room = desktop.addAolRoom(client);
    EXPECT_EQ(FindChatRoom(desktop), room.room);
    EXPECT_EQ(pumped, 2);
    EXPECT_EQ(FindChatInput(desktop), room.input);
}

TEST_F(AolWindows, FirstWindowLikeARoomButIncompleteEndsTheSearch)
{
    open("&What's New in AOL 7.0");
    addPartRoom();
    desktop.addAolRoom(client);
    EXPECT_EQ(FindChatRoom(desktop), 0u);
    SendAolChat(desktop, QStringLiteral("lost"));
    EXPECT_TRUE(posted.empty());
}

TEST_F(AolWindows, ClearEmptiesTheSecondBoxForVersionFiveAndTheFirstOtherwise)
{
    for (const char* item : {"&What's New in AOL 6.0", "&What's New in AOL 4.0"}) {
        SimDesktop fresh;
        const SimDesktop::AolRoom room = fresh.addAolRoom(fresh.openAolClient({item}));
        std::string first = "first", second = "second";
        fresh.sendMessage(room.edit, wm::SETTEXT, 0, first);
        fresh.sendMessage(room.input, wm::SETTEXT, 0, second);
        ClearChatInput(fresh);
        const bool five = std::string(item).find("6.0") != std::string::npos;
        EXPECT_EQ(fresh.textOf(room.edit), five ? "first" : "") << item;
        EXPECT_EQ(fresh.textOf(room.input), five ? "" : "second") << item;
    }
}

TEST_F(AolWindows, SendPostsTheLineUnchangedAndGivesBackWhatWasTypedAroundChatInput)
{
    open("&What's New in AOL 7.0");
    const SimDesktop::AolRoom room = desktop.addAolRoom(client);
    setText(room.edit, "chat input draft Chat Input");
    SendAolChat(desktop, QStringLiteral("say \"hi\" \u00bb"));
    EXPECT_EQ(posted, std::vector<std::string>{"say \"hi\" \xc2\xbb"});
    // The first occurrence in any letter case goes.
    EXPECT_EQ(desktop.textOf(room.edit), " draft Chat Input");
    EXPECT_TRUE(desktop.textOf(room.transcript).ends_with("say \"hi\" \xc2\xbb"));
}

TEST_F(AolWindows, SendWithoutChatInputLosesWhatTheBoxHeld)
{
    open("&What's New in AOL 5.0");
    const SimDesktop::AolRoom room = desktop.addAolRoom(client);
    setText(room.edit, "half typed");
    RecordingWindows windows(desktop);
    SendAolChat(windows, QStringLiteral("line"));
    EXPECT_EQ(posted, std::vector<std::string>{"line"});
    EXPECT_EQ(desktop.textOf(room.edit), "");
    // Version five clears the second box, then the line goes into the first.
    std::vector<RecordingWindows::Sent> writes;
    for (const auto& s : windows.sent) {
        if (s.message == wm::SETTEXT || s.message == wm::CHAR)
            writes.push_back(s);
    }
    const std::vector<RecordingWindows::Sent> expected = {
        {room.input, wm::SETTEXT, 0, ""},
        {room.edit, wm::SETTEXT, 0, "line"},
        {room.edit, wm::CHAR, 13, ""},
    };
    EXPECT_EQ(writes, expected);
}

TEST_F(AolWindows, RoomWithoutTextBoxesGetsNothing)
{
    open("&What's New in AOL 7.0");
    const SimDesktop::Hwnd room = desktop.addAolChild(client);
    for (const char* marker : {"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "_AOL_Icon", "RICHCNTLREADONLY"})
        desktop.createWindow(room, marker);
    RecordingWindows windows(desktop);
    SendAolChat(windows, QStringLiteral("lost"));
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(std::none_of(windows.sent.begin(), windows.sent.end(),
                             [](const auto& s) { return s.message == wm::SETTEXT; }));
}

} // namespace
