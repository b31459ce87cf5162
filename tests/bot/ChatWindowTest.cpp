#include "BotTest.h"

#include "chatlink/AnsiText.h"

#include <tuple>
#include <utility>

namespace {

// The owner in a chat window of the client with three other members.
class ChatWindow : public BotTest<SimInterpreterRig> {
protected:
    void SetUp() override
    {
        BotTest::SetUp();
        chat = t.desktop.openAimChat("Owner Me");
        for (const char* member : {"Bob", "Bobby", "Carol Ann"})
            t.desktop.addMember(chat.window, member);
    }
    QStringList ignored()
    {
        QStringList found;
        for (const char* member : {"Owner Me", "Bob", "Bobby", "Carol Ann"})
            if (t.desktop.isIgnored(chat.window, member))
                found.append(member);
        return found;
    }
    QString reply(const TextField& form, const QString& who) { return P() + QString(form.text()).replace("%p", who); }

    SimDesktop::AimChat chat;
};

TEST_F(ChatWindow, IgnoreTogglesTheFirstMatchingMemberButNeverTheOwner)
{
    // Refused before the member list is read.
    for (const char* line : {"x Owner Me", "X  ownerME", "x o w n e r m e"})
        owner(line);
    EXPECT_EQ(t.sent, QStringList(3, P() + "you cannot ingore yourself."));
    EXPECT_EQ(t->lstusers.count(), 0);

    // Each line, the members ignored after it, and the reply.
    const std::tuple<const char*, QStringList, QString> cases[] = {
        {"x bo", {"Bob"}, reply(t->txtIgnore, "Bob")},
        {"x CAROL a", {"Bob", "Carol Ann"}, reply(t->txtIgnore, "Carol Ann")},
        {"x rme", {"Bob", "Carol Ann"}, P() + "you cannot ignore yourself."},
        // Unignore has no self test, but the client never ignores its user.
        {"unx owner", {"Bob", "Carol Ann"}, reply(t->txtUnignore, "Owner Me")},
        {"x ver", {"Bob", "Carol Ann"}, P() + "Quillon 3.2"},
        {"x ", {"Bob", "Carol Ann"}, QString()},
        {"unx    ", {"Bob", "Carol Ann"}, QString()},
    };
    for (const auto& [line, members, said] : cases) {
        t.sent.clear();
        owner(line);
        EXPECT_EQ(ignored(), members) << line;
        EXPECT_EQ(t.sent, said.isEmpty() ? QStringList() : QStringList {said}) << line;
    }
    EXPECT_EQ(t->lstusers.count(), 4);

    t.desktop.destroyWindow(chat.window);
    t->lstusers.clear();
    t.sent.clear();
    owner("x bob");
    EXPECT_TRUE(t.sent.isEmpty());
    EXPECT_EQ(t->lstusers.count(), 0);
}

TEST_F(ChatWindow, ALineArrivingDuringTheClickRunsToItsEndFirst)
{
    bool once = true;
    t.desktop.eventPump = [&] {
        if (std::exchange(once, false))
            owner("ver");
    };
    owner("x bobby");
    EXPECT_EQ(t.sent, (QStringList {P() + "Quillon 3.2", reply(t->txtIgnore, "Bobby")}));
    EXPECT_EQ(ignored(), QStringList {"Bobby"});
}

TEST_F(ChatWindow, ClearWritesTheNoticeIntoTheTranscript)
{
    t.desktop.say(chat.window, "Bob", "hi");
    t->chkChat.setValue(0);  // the reply stays out of the transcript
    owner("clr");
    EXPECT_EQ(AnsiText::fromWindow(t.desktop, t.desktop.textOf(chat.transcript)), "<b>OnlineHost</b>: Cleared!");
}

}  // namespace
