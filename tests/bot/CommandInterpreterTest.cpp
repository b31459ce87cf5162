#include "BotTest.h"
#include "support/TestForm.h"

#include "bot/SystemInfo.h"
#include "controls/UserStore.h"

#include <QFile>

#include <optional>
#include <utility>

namespace {

using Commands = BotTest<>;

TEST_F(Commands, OnlyTheOwnersTimedLinesActAndTheSlashCutsTheText)
{
    for (const char* who : {"Bob", "owner me", "OwnerMe"})
        say(who, "ver");
    owner("ver", "<FoNt size=2>");
    for (const char* line : {"ver/x", "/ver", "Ver"})
        owner(line);
    owner("ver", "0");
    t->lbuser.setCaption(FormState::kUnknownOwner);
    say(FormState::kUnknownOwner.trimmed(), "ver");
    EXPECT_EQ(t.sent, QStringList(2, P() + "Quillon 3.2"));
}

TEST_F(Commands, LetterCaseAndArgumentsTestedAsTheNextCommand)
{
    fill({"My Song", "stop it"});
    t->labFile.setCaption("Artist - Title");
    for (const char* line : {"P SONG", "Stop", "P?", "p? ", "AR", "p stop", "r ver", "xar", "arxar"})
        owner(line);
    EXPECT_EQ(t->List3.items(), (QStringList {"My Song;/music/My Song.mp3", "stop it;/music/stop it.mp3"}));
    EXPECT_EQ(t.wmp.calls, QStringList {"stop"});
    EXPECT_EQ(t.sent,
              (QStringList {"P</b>laying [Artist - Title]", P() + "Auto random on", P() + "Stopped.",
                            P() + "Quillon 3.2", P() + "Auto random off", P() + "Auto random on"}));
}

TEST_F(Commands, SearchAppendsEveryHitOrSaysNothingFound)
{
    fill({"Blue Sky", "red", "BLUESKY two"});
    t->List3.addItem("earlier;/x.mp3");
    owner("p blue sky");
    EXPECT_EQ(t->List3.items(),
              (QStringList {"earlier;/x.mp3", "Blue Sky;/music/Blue Sky.mp3", "BLUESKY two;/music/BLUESKY two.mp3"}));
    EXPECT_EQ(t->txtNum.text(), "3");
    t->List3.clear();
    owner("p xyz");
    EXPECT_EQ(t.sent, QStringList {"Nothing found"});
    EXPECT_EQ(t->List3.count(), 0);
    EXPECT_EQ(t->txtNum.text(), "3");
}

TEST_F(Commands, RemoveTakesNeighboursButNeverEverything)
{
    fill({"Cat", "a b", "xyz", "BAT"}, "/m");
    for (const char* line : {"rem ", "rem    ", "rem nothing here", "rem A"})
        owner(line);
    const QString head = "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 "
                         "FACE=\"MS Reference Serif\">";
    EXPECT_EQ(t.sent,
              (QStringList {head + "Cat" + head + " removed", head + "a b" + head + " removed",
                            head + "BAT" + head + " removed"}));
    EXPECT_EQ(t->List1.items(), QStringList {"xyz"});
    EXPECT_EQ(t->List2.items(), QStringList {"xyz;/m/xyz.mp3"});
}

TEST_F(Commands, RandomNextAndPrevStayInsideThePlaylist)
{
    owner("r");
    EXPECT_EQ(t->List1.listIndex(), -1);
    fill({"one", "two"});
    t->List1.setListIndex(1);
    const std::pair<const char*, int> steps[] = {{"next", 1}, {"prev", 0}, {"prev", -1}, {"next", 0}};
    for (const auto& [line, row] : steps) {
        owner(line);
        EXPECT_EQ(t->List1.listIndex(), row) << line;
    }
    // "two", "one", nothing for the empty name, "one" again; no reply of their own.
    EXPECT_EQ(t.wmp.urls.size(), 3);
    EXPECT_EQ(t.sent.size(), 3);
}

TEST_F(Commands, RepliesOfTheOtherCommands)
{
    SaveSetting("cs", "unpause", "Back on");
    fill({"one"});
    t->interpreter.ramText = [] { return QStringLiteral("523,744 Kbyte"); };
    t->interpreter.uptimeText = [] { return QStringLiteral("0weeks 00days 01:02:03"); };
    const std::pair<const char*, QString> cases[] = {
        {"info",
         "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>info</U> \u00bb files:1 \u00bb user:Owner Me "
         "\u00bb Ram:523 \u00bb uptime:0weeks 00days 01:02:03"},
        {"pause", "Paused."},
        {"unpause", "Back on"},
        {"stop", "Stopped."},
        {"tray", "\u00bb <u>Sent to tray</u>"},
        {"show", "Showing"},
        {"min", "\u00bb <u>Minimized</u>"},
        {"CPL now", "</b></i>Playlist Cleared"},
        {"clr",
         "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Chat</U><FONT COLOR=#0080ff>\u00bb <U><FONT "
         "COLOR=#0080c0>Cleared!</U>"},
    };
    for (const auto& [line, reply] : cases) {
        t.sent.clear();
        owner(line);
        EXPECT_EQ(t.sent, QStringList {P() + reply}) << line;
    }
    EXPECT_EQ(t.wmp.calls, (QStringList {"pause", "play", "stop"}));
    EXPECT_EQ(t.ui.events, (QStringList {"hide", "show", "min"}));
    EXPECT_EQ(t->List1.count() + t->List2.count(), 0);
}

TEST_F(Commands, UrlPostsFirstThenPointsThePlayer)
{
    QObject::connect(&t.wmp, &MediaPlayer::playStateChanged, [&] { t.sent.append("(url)"); });
    owner("url radio.example.org:8000");
    owner("url radio.example.org/stream");
    const QString line = P() + t->txtURL.text();
    EXPECT_EQ(t.sent, (QStringList {line, "(url)", line, "(url)"}));
    EXPECT_EQ(t.wmp.urls, (QStringList {"http://radio.example.org:8000", "http://radio.example.org"}));
}

TEST_F(Commands, DelTakesOnlyMatchingFilesOfTheOneDirectoryNamed)
{
    // Each path below a folder ("" for the folder itself) and the names it deletes.
    const std::pair<QString, QStringList> cases[] = {
        {"/a.mp3", {"a.mp3"}},
        {"/?.mp3", {"a.mp3", "b.mp3"}},
        {"/[x]?.mp3", {"[x]1.mp3"}},
        {"/*.mp3", {"[x]1.mp3", "a.mp3", "ab.mp3", "b.mp3"}},
        {"/*", {"[x]1.mp3", "a.mp3", "ab.mp3", "b.mp3", "notes.txt"}},
        {"", {}},
        {"/sub.mp3", {}},
        {"/link", {}},
        {"/*/c.mp3", {}},
        {"/sub.mp?/*", {}},
        {"/nothing/*.mp3", {}},
        {"/none.mp3", {}},
    };
    int folder = 0;
    for (const auto& [path, gone] : cases) {
        const QString root = t.dir.path() + "/case" + QString::number(++folder);
        QDir().mkpath(root + "/sub.mp3");
        for (const char* name : {"a.mp3", "b.mp3", "ab.mp3", "notes.txt", ".hidden.mp3", "[x]1.mp3", "sub.mp3/c.mp3"})
            QFile(root + u'/' + name).open(QIODevice::WriteOnly);
        ASSERT_TRUE(QFile::link(root + "/sub.mp3", root + "/link"));
        const auto entries = [&] { return QDir(root).entryList(QDir::AllEntries | QDir::Hidden); };
        QStringList left = entries();
        owner("del " + QString(root + path).replace(u'/', u'\\'));
        for (const QString& name : gone)
            left.removeOne(name);
        EXPECT_EQ(entries(), left) << qPrintable(path);
        EXPECT_TRUE(QFile::exists(root + "/sub.mp3/c.mp3"));
    }
    EXPECT_EQ(t.sent, QStringList(folder, P() + "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>deleted file</u>"));
}

TEST_F(Commands, DirAndDriveTakeBackslashedPaths)
{
    const QString music = t.dir.path() + "/My Music";
    QDir().mkpath(music);
    QFile(music + "/tune.mp3").open(QIODevice::WriteOnly);
    for (const QString& line : QStringList {"dir " + QString(music).replace(u'/', u'\\'), "Drive \\",
                                            "drive \\no\\such\\place", "drive ", "drive \\"})
        owner(line);
    EXPECT_EQ(t->List2.items(), QStringList {"tune;" + music + "/tune.mp3"});
    const std::optional<QString> root = DriveTypeName("/");
    ASSERT_TRUE(root.has_value());
    // After the line of the directory added, one drive.
    EXPECT_EQ(t.sent.mid(1),
              QStringList {P()
                           + "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT "
                             "COLOR=#0080c0 FACE=\"MS Reference Serif\">"
                           + *root + " drive."});
}

// The whole form: "end" reaches its shut-down.
using WholeForm = BotTest<TestForm>;

TEST_F(WholeForm, EndShutsDownAndWritesThePlaylist)
{
    fill({"kept"});
    owner("end");
    EXPECT_TRUE(t->isUnloaded());
    EXPECT_TRUE(t.ui.events.contains("end"));
    QFile file(t.paths.playlistFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("kept;/music/kept.mp3"));
}

}  // namespace
