#include "BotTest.h"

#include "bot/SystemInfo.h"
#include "chatlink/AnsiText.h"
#include "controls/UserStore.h"

#include <QFile>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Commands = BotTest;

const QString kSerifHead = "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 "
                           "FACE=\"MS Reference Serif\">";

TEST_F(Commands, OnlyTheOwnersTimedLinesActAndTheSlashCutsTheText)
{
    for (const char* who : {"Bob", "owner me", "OwnerMe", "Owner Me ", " Owner Me", "Owner  Me", "OWNER ME"})
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

TEST_F(Commands, EachCommandSaysItsOwnLineAndDoesItsOwnThing)
{
    SaveSetting("cs", "unpause", "Back on");
    fill({"one"});
    t.desktop.say(t.chatWindow.window, "Bob", "hi");
    t->interpreter.ramText = [] { return QStringLiteral("523,744 Kbyte"); };
    t->interpreter.uptimeText = [] { return QStringLiteral("0weeks 00days 01:02:03"); };
    // The room's line comes before the player is pointed at the address.
    QObject::connect(&t.wmp, &MediaPlayer::playStateChanged, [&] { t.sent.append("(player)"); });
    const std::pair<const char*, QStringList> cases[] = {
        {"info",
         {P()
          + "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>info</U> \u00bb files:1 \u00bb user:Owner Me "
            "\u00bb Ram:523 \u00bb uptime:0weeks 00days 01:02:03"}},
        {"pause", {P() + "Paused."}},
        {"unpause", {P() + "Back on"}},
        {"stop", {P() + "Stopped."}},
        {"tray", {P() + "\u00bb <u>Sent to tray</u>"}},
        {"show", {P() + "Showing"}},
        {"min", {P() + "\u00bb <u>Minimized</u>"}},
        {"url radio.example.org:8000/stream", {P() + t->txtURL.text(), "(player)"}},
        {"CPL now", {P() + "</b></i>Playlist Cleared"}},
        {"clr",
         {P()
          + "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Chat</U><FONT COLOR=#0080ff>\u00bb <U><FONT "
            "COLOR=#0080c0>Cleared!</U>"}},
        {"end", {}},
    };
    for (const auto& [line, said] : cases) {
        t.sent.clear();
        EXPECT_FALSE(t.unloaded) << line;
        owner(line);
        EXPECT_EQ(t.sent, said) << line;
    }
    EXPECT_TRUE(t.unloaded);
    EXPECT_EQ(t.wmp.calls, (QStringList {"pause", "play", "stop"}));
    EXPECT_EQ(t.wmp.urls, QStringList {"http://radio.example.org:8000"});
    EXPECT_EQ(t.ui.events, (QStringList {"hide", "show", "min"}));
    EXPECT_EQ(t->List1.count() + t->List2.count(), 0);
    // "clr" also wrote its notice over the transcript.
    EXPECT_EQ(AnsiText::fromWindow(t.desktop, t.desktop.textOf(t.chatWindow.transcript)),
              "<b>OnlineHost</b>: Cleared!");
}

TEST_F(Commands, SearchAddsEveryHitAndTwoHitsAreOfferedInThePicker)
{
    fill({"red", "Blue Sky", "green", "BLUESKY two"});
    owner("p blue sky");
    EXPECT_EQ(t->List3.items(), (QStringList {"Blue Sky;/music/Blue Sky.mp3", "BLUESKY two;/music/BLUESKY two.mp3"}));
    // The number of the last hit.
    EXPECT_EQ(t->txtNum.text(), "4");
    t->player.Timer1_Timer();
    EXPECT_EQ(t.offered, (QStringList {"Blue Sky", "BLUESKY two"}));
    EXPECT_EQ(t.sent, QStringList {P() + "2</b> Files Found, Select One."});

    owner("p red");
    EXPECT_EQ(t->List3.count(), 3);
    EXPECT_EQ(t->txtNum.text(), "1");
    owner("p xyz");
    EXPECT_EQ(t.sent.last(), "Nothing found");
    EXPECT_EQ(t->List3.count(), 3);
    EXPECT_EQ(t->txtNum.text(), "1");
}

TEST_F(Commands, RemoveTakesNeighboursButNeverEverything)
{
    fill({"Cat", "a b", "xyz", "BAT"}, "/m");
    for (const char* line : {"rem ", "rem    ", "rem nothing here", "rem A"})
        owner(line);
    EXPECT_EQ(t.sent,
              (QStringList {kSerifHead + "Cat" + kSerifHead + " removed", kSerifHead + "a b" + kSerifHead + " removed",
                            kSerifHead + "BAT" + kSerifHead + " removed"}));
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

TEST_F(Commands, DelTakesOnlyMatchingFilesOfTheOneDirectoryNamed)
{
    // Each path below a folder ("" for the folder itself) and the names it deletes.
    std::vector<std::pair<QString, QString>> cases = {{"/a.mp3", "a.mp3"},
                                                      {"/?.mp3", "a.mp3 b.mp3"},
                                                      {"/[x]?.mp3", "[x]1.mp3"},
                                                      {"/*.mp3", "[x]1.mp3 a.mp3 ab.mp3 b.mp3"},
                                                      {"/*", "[x]1.mp3 a.mp3 ab.mp3 b.mp3 notes.txt"}};
    for (const char* path : {"", "/sub.mp3", "/link", "/*/c.mp3", "/sub.mp?/*", "/nothing/*.mp3", "/none.mp3"})
        cases.emplace_back(path, QString());
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
        for (const QString& name : gone.split(u' ', Qt::SkipEmptyParts))
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
    EXPECT_EQ(t.sent.mid(1), QStringList {P() + kSerifHead + *root + " drive."});
}

TEST_F(Commands, IgnoreTogglesTheFirstMatchingMemberButNeverTheOwner)
{
    // Refused before the member list is read.
    for (const char* line : {"x Owner Me", "X  ownerME", "x o w n e r m e"})
        owner(line);
    EXPECT_EQ(t.sent, QStringList(3, P() + "you cannot ingore yourself."));
    EXPECT_EQ(t->lstusers.count(), 0);

    const auto reply
        = [&](const TextField& form, const QString& who) { return P() + QString(form.text()).replace("%p", who); };
    // Each line, the members ignored after it, and the reply.
    const std::tuple<const char*, QStringList, QString> cases[] = {
        {"x bo", {"Bob"}, reply(t->txtIgnore, "Bob")},
        {"x CAROL a", {"Bob", "Carol Ann"}, reply(t->txtIgnore, "Carol Ann")},
        {"x rme", {"Bob", "Carol Ann"}, P() + "you cannot ignore yourself."},
        // Unignore has no self test, but the client never ignores its user.
        {"unx owner", {"Bob", "Carol Ann"}, reply(t->txtUnignore, "Owner Me")},
        {"unx bo", {"Carol Ann"}, reply(t->txtUnignore, "Bob")},
        {"x ver", {"Carol Ann"}, P() + "Quillon 3.2"},
        {"x ", {"Carol Ann"}, QString()},
        {"unx    ", {"Carol Ann"}, QString()},
    };
    for (const auto& [line, members, said] : cases) {
        t.sent.clear();
        owner(line);
        EXPECT_EQ(ignored(), members) << line;
        EXPECT_EQ(t.sent, said.isEmpty() ? QStringList() : QStringList {said}) << line;
    }
    EXPECT_EQ(t->lstusers.count(), 4);

    // A line arriving while the click lets events run is handled to its end first.
    bool once = true;
    t.desktop.eventPump = [&] {
        if (std::exchange(once, false))
            owner("ver");
    };
    t.sent.clear();
    owner("x bobby");
    EXPECT_EQ(t.sent, (QStringList {P() + "Quillon 3.2", reply(t->txtIgnore, "Bobby")}));
    EXPECT_EQ(ignored(), (QStringList {"Bobby", "Carol Ann"}));
}

}  // namespace
