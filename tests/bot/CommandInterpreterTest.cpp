#include "BotForm.h"

#include "app/UserStore.h"
#include "bot/SystemInfo.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetChatSends();
        knowOwner(*t);
    }
    void owner(const QString& text) { say(*t, kOwner, text); }
    QString P() { return t->txtFont.text(); }

    TestForm t;
};

TEST_F(Commands, OnlyTheOwnerIsObeyedAndTheSlashCutsTheText)
{
    say(*t, QStringLiteral("Bob"), QStringLiteral("ver"));
    say(*t, QStringLiteral("owner me"), QStringLiteral("ver"));
    say(*t, QStringLiteral("OwnerMe"), QStringLiteral("ver"));
    EXPECT_TRUE(t.sent.isEmpty());

    owner(QStringLiteral("ver/x"));
    owner(QStringLiteral("/ver"));
    owner(QStringLiteral("Ver"));
    EXPECT_EQ(t.sent, QStringList{P() + "Quillon 3.2"});
}

TEST_F(Commands, UnknownOwnerObeysNobody)
{
    t->lbuser.setCaption(MainForm::kUnknownOwner);
    say(*t, MainForm::kUnknownOwner.trimmed(), QStringLiteral("ver"));
    say(*t, QString(), QStringLiteral("ver"));
    EXPECT_TRUE(t.sent.isEmpty());
}

TEST_F(Commands, StartsWithIgnoresLetterCaseIsDoesNot)
{
    fillPlaylist(*t, {QStringLiteral("My Song"), QStringLiteral("Other")});
    owner(QStringLiteral("P SONG"));
    EXPECT_EQ(t->List3.items(), QStringList{QStringLiteral("My Song;/music/My Song.mp3")});

    owner(QStringLiteral("Stop"));
    EXPECT_TRUE(t.wmp.calls.isEmpty());
    EXPECT_TRUE(t.sent.isEmpty());

    owner(QStringLiteral("AR"));
    EXPECT_EQ(t.sent, QStringList{P() + "Auto random on"});
}

TEST_F(Commands, ACommandsArgumentIsTestedAsTheNextCommand)
{
    fillPlaylist(*t, {QStringLiteral("stop it"), QStringLiteral("go")});
    owner(QStringLiteral("p stop"));
    EXPECT_EQ(t->List3.items(), QStringList{QStringLiteral("stop it;/music/stop it.mp3")});
    EXPECT_EQ(t.wmp.calls, QStringList{QStringLiteral("stop")});
    EXPECT_EQ(t.sent, QStringList{P() + "Stopped."});

    t.sent.clear();
    owner(QStringLiteral("r ver"));
    EXPECT_TRUE(t.sent.contains(P() + "Quillon 3.2"));

    t.sent.clear();
    owner(QStringLiteral("xar"));
    EXPECT_EQ(t.sent, QStringList{P() + "Auto random off"});
    t.sent.clear();
    owner(QStringLiteral("arxar"));
    EXPECT_EQ(t.sent, QStringList{P() + "Auto random on"});
}

TEST_F(Commands, SearchAppendsEveryHitAndRemembersTheLastPosition)
{
    fillPlaylist(*t, {QStringLiteral("Blue Sky"), QStringLiteral("red"), QStringLiteral("BLUESKY two")});
    t->List3.addItem(QStringLiteral("earlier;/x.mp3"));
    owner(QStringLiteral("p blue sky"));
    EXPECT_EQ(t->List3.items(),
              (QStringList{QStringLiteral("earlier;/x.mp3"), QStringLiteral("Blue Sky;/music/Blue Sky.mp3"),
                           QStringLiteral("BLUESKY two;/music/BLUESKY two.mp3")}));
    EXPECT_EQ(t->txtNum.text(), "3");
    EXPECT_TRUE(t.sent.isEmpty());

    t->List3.clear();
    owner(QStringLiteral("p "));
    EXPECT_EQ(t->List3.count(), 3);
}

TEST_F(Commands, NothingFoundIsSentWithoutThePrefix)
{
    fillPlaylist(*t, {QStringLiteral("abc")});
    owner(QStringLiteral("p xyz"));
    EXPECT_EQ(t.sent, QStringList{QStringLiteral("Nothing found")});
    EXPECT_EQ(t->List3.count(), 0);
    EXPECT_EQ(t->txtNum.text(), "0");
}

TEST_F(Commands, PlayingReplyFillsTheSongWithoutPrefix)
{
    t->labFile.setCaption(QStringLiteral("Artist - Title"));
    owner(QStringLiteral("P?"));
    owner(QStringLiteral("p? "));
    EXPECT_EQ(t.sent, QStringList{QStringLiteral("P</b>laying [Artist - Title]")});
}

TEST_F(Commands, RemoveTakesNeighboursAndKeepsBothListsInStep)
{
    fillPlaylist(*t, {QStringLiteral("Cat"), QStringLiteral("a b"), QStringLiteral("xyz"), QStringLiteral("BAT")},
                 QStringLiteral("/m"));
    owner(QStringLiteral("rem A"));
    const QString head = QStringLiteral(
        "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 FACE=\"MS Reference "
        "Serif\">");
    EXPECT_EQ(t.sent, (QStringList{head + "Cat" + head + " removed", head + "a b" + head + " removed",
                                   head + "BAT" + head + " removed"}));
    EXPECT_EQ(t->List1.items(), QStringList{QStringLiteral("xyz")});
    EXPECT_EQ(t->List2.items(), QStringList{QStringLiteral("xyz;/m/xyz.mp3")});

    t.sent.clear();
    owner(QStringLiteral("rem nothing here"));
    EXPECT_TRUE(t.sent.isEmpty());
}

TEST_F(Commands, RemoveWithoutATextKeepsThePlaylist)
{
    fillPlaylist(*t, {QStringLiteral("one"), QStringLiteral("two")});
    owner(QStringLiteral("rem "));
    owner(QStringLiteral("rem    "));
    EXPECT_EQ(t->List1.count(), 2);
    EXPECT_EQ(t->List2.count(), 2);
    EXPECT_TRUE(t.sent.isEmpty());
}

TEST_F(Commands, NextStopsAtTheEndPrevClearsAtTheStart)
{
    fillPlaylist(*t, {QStringLiteral("one"), QStringLiteral("two")});
    t->List1.setListIndex(1);
    owner(QStringLiteral("next"));
    EXPECT_EQ(t->List1.listIndex(), 1);
    owner(QStringLiteral("prev"));
    EXPECT_EQ(t->List1.listIndex(), 0);
    owner(QStringLiteral("prev"));
    EXPECT_EQ(t->List1.listIndex(), -1);
    owner(QStringLiteral("next"));
    EXPECT_EQ(t->List1.listIndex(), 0);
    // "two", "one", nothing for the empty name, "one" again; no reply of their own.
    EXPECT_EQ(t.wmp.urls.size(), 3);
    EXPECT_EQ(t.sent.size(), 3);
}

TEST_F(Commands, RandomPicksARowOrNothing)
{
    owner(QStringLiteral("r"));
    EXPECT_EQ(t->List1.listIndex(), -1);
    EXPECT_TRUE(t.wmp.urls.isEmpty());

    fillPlaylist(*t, {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    for (int i = 0; i < 20; ++i) {
        owner(QStringLiteral("r"));
        EXPECT_GE(t->List1.listIndex(), 0);
        EXPECT_LT(t->List1.listIndex(), 3);
    }
}

TEST_F(Commands, UrlPostsFirstThenPointsThePlayer)
{
    QStringList order;
    QObject::connect(&t->chat1, &ChatScanner::sendChatCalled, [&] { order.append(QStringLiteral("line")); });
    QObject::connect(&t.wmp, &MediaPlayer::playStateChanged, [&] { order.append(QStringLiteral("url")); });
    owner(QStringLiteral("url radio.example.org:8000"));
    EXPECT_EQ(t.sent, QStringList{P() + t->txtURL.text()});
    EXPECT_EQ(t.wmp.urls, QStringList{QStringLiteral("http://radio.example.org:8000")});
    EXPECT_EQ(order, (QStringList{QStringLiteral("line"), QStringLiteral("url")}));

    owner(QStringLiteral("url radio.example.org/stream"));
    EXPECT_EQ(t.wmp.urls.last(), "http://radio.example.org");
}

TEST_F(Commands, ClearPlaylistPostsThenEmptiesBothLists)
{
    fillPlaylist(*t, {QStringLiteral("one")});
    owner(QStringLiteral("CPL now"));
    EXPECT_EQ(t.sent, QStringList{P() + "</b></i>Playlist Cleared"});
    EXPECT_EQ(t->List1.count(), 0);
    EXPECT_EQ(t->List2.count(), 0);
}

TEST_F(Commands, DirTakesABackslashedPath)
{
    const QString music = t.dir.path() + QStringLiteral("/My Music");
    QDir().mkpath(music);
    QFile(music + QStringLiteral("/tune.mp3")).open(QIODevice::WriteOnly);
    owner(QStringLiteral("dir ") + QString(music).replace(u'/', u'\\'));
    EXPECT_EQ(t->List1.items(), QStringList{QStringLiteral("tune")});
    EXPECT_EQ(t->List2.items(), QStringList{QStringLiteral("tune;") + music + QStringLiteral("/tune.mp3")});
}

TEST_F(Commands, DeleteSendsItsLineWhetherOrNotAFileWent)
{
    const QString file = t.dir.path() + QStringLiteral("/gone.txt");
    QFile(file).open(QIODevice::WriteOnly);
    owner(QStringLiteral("del ") + QString(file).replace(u'/', u'\\'));
    EXPECT_FALSE(QFile::exists(file));
    owner(QStringLiteral("del \\no\\such\\file.txt"));
    const QString line = P() + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>deleted file</u>");
    EXPECT_EQ(t.sent, (QStringList{line, line}));
}

TEST_F(Commands, InfoReportsFilesOwnerAndTheFirstThreeCharactersOfMemory)
{
    fillPlaylist(*t, {QStringLiteral("one"), QStringLiteral("two")});
    t->interpreter.ramText = [] { return QStringLiteral("523,744 Kbyte"); };
    t->interpreter.uptimeText = [] { return QStringLiteral("0weeks 00days 01:02:03"); };
    owner(QStringLiteral("info"));
    EXPECT_EQ(t.sent, QStringList{P()
                                  + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>info</U> \u00bb "
                                                   "files:2 \u00bb user:Owner Me \u00bb Ram:523 \u00bb "
                                                   "uptime:0weeks 00days 01:02:03")});
}

TEST_F(Commands, DriveReportsTheKindOrNothing)
{
    const std::optional<QString> root = DriveTypeName(QStringLiteral("/"));
    ASSERT_TRUE(root.has_value());
    owner(QStringLiteral("Drive \\"));
    owner(QStringLiteral("drive \\no\\such\\place"));
    owner(QStringLiteral("drive "));
    EXPECT_TRUE(t.sent.isEmpty());
    owner(QStringLiteral("drive \\"));
    EXPECT_EQ(t.sent, QStringList{P()
                                  + QStringLiteral("<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT>"
                                                   "<FONT COLOR=#0080c0 FACE=\"MS Reference Serif\">")
                                  + *root + QStringLiteral(" drive.")});
}

TEST_F(Commands, PlayerControlsActThenReply)
{
    SaveSetting(QStringLiteral("cs"), QStringLiteral("unpause"), QStringLiteral("Back on"));
    owner(QStringLiteral("pause"));
    owner(QStringLiteral("unpause"));
    owner(QStringLiteral("stop"));
    EXPECT_EQ(t.wmp.calls, (QStringList{QStringLiteral("pause"), QStringLiteral("play"), QStringLiteral("stop")}));
    EXPECT_EQ(t.sent, (QStringList{P() + "Paused.", P() + "Back on", P() + "Stopped."}));
}

TEST_F(Commands, WindowCommandsReachTheUserInterface)
{
    owner(QStringLiteral("tray"));
    owner(QStringLiteral("show"));
    owner(QStringLiteral("min"));
    EXPECT_EQ(t.ui.events, (QStringList{QStringLiteral("hide"), QStringLiteral("show"), QStringLiteral("min")}));
    EXPECT_EQ(t.sent,
              (QStringList{P() + "\u00bb <u>Sent to tray</u>", P() + "Showing", P() + "\u00bb <u>Minimized</u>"}));
}

TEST_F(Commands, EndShutsDownAndWritesThePlaylist)
{
    fillPlaylist(*t, {QStringLiteral("kept")});
    owner(QStringLiteral("end"));
    EXPECT_TRUE(t->isUnloaded());
    EXPECT_TRUE(t.ui.events.contains(QStringLiteral("end")));
    QFile file(t.paths.playlistFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("kept;/music/kept.mp3"));
}

TEST_F(Commands, ClearWithoutAChatWindowStillSendsItsLine)
{
    owner(QStringLiteral("clr"));
    EXPECT_EQ(t.sent, QStringList{P()
                                  + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Chat</U><FONT "
                                                   "COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Cleared!</U>")});
}

TEST(ClearTranscript, WritesTheNoticeIntoTheTranscriptWindow)
{
    BotForm t;
    knowOwner(*t);
    say(*t, kOwner, QStringLiteral("clr"));
    EXPECT_EQ(t.desktop.transcript, "<b>OnlineHost</b>: Cleared!");
    EXPECT_EQ(t.sent.size(), 1);
}

TEST_F(Commands, FontInTheTimeFieldDropsTheLineButZeroDoesNot)
{
    owner(QStringLiteral("ver"));
    say(*t, kOwner, QStringLiteral("ver"), QStringLiteral("<FoNt size=2>"));
    say(*t, kOwner, QStringLiteral("ver"), QStringLiteral("0"));
    EXPECT_EQ(t.sent.size(), 2);
}

} // namespace
