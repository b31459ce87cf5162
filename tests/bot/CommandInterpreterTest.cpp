// SPDX-License-Identifier: GPL-3.0-or-later
#include "BotTest.h"

#include "bot/RoomCommands.h"
#include "bot/SystemInfo.h"
#include "chatlink/AnsiText.h"
#include "controls/UserStore.h"

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Commands = BotTest;

const QString kSerifHead = "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 "
                           "FACE=\"MS Reference Serif\">";

// The rig each row of the command table starts from: the owner known,
// five songs, fixed machine texts, a stored "unpause" reply, a folder with
// one song, and the room told when the player is pointed somewhere.
struct CommandRig : Alone<InterpreterRig> {
    CommandRig()
    {
        discovery.owner().setText(kOwner);
        writeSetting(u"cs"_s, u"unpause"_s, u"Back on"_s);
        for (const char* name : {"Cat", "a b", "stop it", "BAT", "Ever"})
            library.playlist().addItem(QStringLiteral("%1;/music/%1.mp3").arg(QLatin1String(name)));
        player.nowPlaying().file.setText(u"Artist - Title"_s);
        interpreter.ramText = [] { return QStringLiteral("523,744 Kbyte"); };
        interpreter.uptimeText = [] { return QStringLiteral("0weeks 00days 01:02:03"); };
        QObject::connect(&mediaPlayer, &MediaPlayer::playStateChanged, [this] { sent.append(u"(player)"_s); });
        QDir().mkpath(music());
        QFile(music() + u"/tune.mp3"_s).open(QIODevice::WriteOnly);
    }
    QString music() { return dir.path() + u"/My Music"_s; }
};

// Each line the owner says, the lines the room gets back, and what else it
// did; every row starts from a rig of its own. The tests are not exclusive,
// so a line may act as several commands.
TEST(CommandRows, EachCommandSaysItsOwnLineAndDoesItsOwnThing)
{
    const QString font = ChatTemplates().font.text();
    const auto removed = [](const QString& name) { return kSerifHead + name + kSerifHead + u" removed"_s; };
    const auto playlistIs = [](const QStringList& rows) {
        return [rows](CommandRig& t) { EXPECT_EQ(t.library.playlist().items(), rows); };
    };
    const auto playerDid
        = [](const QStringList& calls) { return [calls](CommandRig& t) { EXPECT_EQ(t.mediaPlayer.calls, calls); }; };
    const auto windowDid
        = [](const QString& event) { return [event](CommandRig& t) { EXPECT_EQ(t.ui.events, QStringList {event}); }; };
    const auto nothingElse = [](CommandRig& t) {
        EXPECT_EQ(t.library.playlist().count(), 5);
        EXPECT_TRUE(t.mediaPlayer.calls.isEmpty() && t.mediaPlayer.urls.isEmpty());
        EXPECT_TRUE(t.ui.events.isEmpty());
        EXPECT_FALSE(t.unloaded);
    };
    const std::tuple<QString, QStringList, std::function<void(CommandRig&)>> rows[] = {
        {u"ver/x"_s, {font + u"Quillon 3.2"_s}, nothingElse},
        {u"Ver"_s, {}, nothingElse},
        // The song's line (here: why it cannot play) comes before the reply.
        {u"r ver"_s, {font + u"Cannot play Ever: no such file"_s, font + u"Quillon 3.2"_s}, nothingElse},
        {u"P?"_s, {u"P</b>laying [Artist - Title]"_s}, nothingElse},
        {u"AR"_s, {font + u"Auto random on"_s}, [](CommandRig& t) { EXPECT_TRUE(t.options.autoRandom.value()); }},
        {u"xar"_s, {font + u"Auto random off"_s}, [](CommandRig& t) { EXPECT_FALSE(t.options.autoRandom.value()); }},
        {u"arxar"_s, {font + u"Auto random on"_s}, [](CommandRig& t) { EXPECT_TRUE(t.options.autoRandom.value()); }},
        {u"p stop"_s,
         {font + u"Stopped."_s},
         [](CommandRig& t) {
             EXPECT_EQ(t.player.searchResults().items(), QStringList {u"stop it;/music/stop it.mp3"_s});
             EXPECT_EQ(t.mediaPlayer.calls, QStringList {u"stop"_s});
         }},
        {u"p zzz"_s,
         {u"Nothing found"_s},
         [](CommandRig& t) { EXPECT_TRUE(t.player.searchResults().items().isEmpty()); }},
        {u"rem   "_s, {}, nothingElse},
        {u"rem A"_s,
         {removed(u"Cat"_s), removed(u"a b"_s), removed(u"BAT"_s)},
         playlistIs({u"stop it;/music/stop it.mp3"_s, u"Ever;/music/Ever.mp3"_s})},
        {u"info"_s,
         {font
          + u"<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>info</U> \u00bb files:5 \u00bb user:Owner Me "_s
            u"\u00bb Ram:523 \u00bb uptime:0weeks 00days 01:02:03"_s},
         nothingElse},
        {u"pause"_s, {font + u"Paused."_s}, playerDid({u"pause"_s})},
        {u"unpause"_s, {font + u"Back on"_s}, playerDid({u"play"_s})},
        {u"stop"_s, {font + u"Stopped."_s}, playerDid({u"stop"_s})},
        {u"tray"_s, {font + u"\u00bb <u>Sent to tray</u>"_s}, windowDid(u"hide"_s)},
        {u"show"_s, {font + u"Showing"_s}, windowDid(u"show"_s)},
        {u"min"_s, {font + u"\u00bb <u>Minimized</u>"_s}, windowDid(u"min"_s)},
        // The room's line comes before the player is pointed at the address.
        {u"url radio.example.org:8000/stream"_s,
         {font + ChatTemplates().streamPlaying.text(), u"(player)"_s},
         [](CommandRig& t) { EXPECT_EQ(t.mediaPlayer.urls, QStringList {u"http://radio.example.org:8000"_s}); }},
        {u"CPL now"_s, {font + u"</b></i>Playlist Cleared"_s}, playlistIs({})},
        {u"drive \\no\\such"_s, {}, nothingElse},
        {u"drive \\"_s, {font + kSerifHead + driveTypeName(u"/"_s).value_or(u"?"_s) + u" drive."_s}, nothingElse},
        {u"clr"_s,
         {font
          + u"<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Chat</U><FONT COLOR=#0080ff>\u00bb <U><FONT "_s
            u"COLOR=#0080c0>Cleared!</U>"_s},
         [](CommandRig& t) {
             EXPECT_EQ(AnsiText::fromWindow(t.desktop, t.desktop.textOf(t.chatWindow.transcript)),
                       u"<b>OnlineHost</b>: Cleared!"_s);
         }},
        {u"end"_s, {}, [](CommandRig& t) { EXPECT_TRUE(t.unloaded); }},
    };
    for (const auto& [line, said, check] : rows) {
        SCOPED_TRACE(line.toStdString());
        CommandRig t;
        t.interpreter.handleLine(kOwner, line, u"12:00"_s);
        while (t.player.isStarting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        EXPECT_EQ(t.sent, said);
        check(t);
    }

    // A folder typed with "\\" between its parts is added.
    CommandRig t;
    t.interpreter.handleLine(kOwner, u"dir "_s + QString(t.music()).replace(u'/', u'\\'), u"12:00"_s);
    EXPECT_EQ(t.sent, QStringList {font + u"A</b>dded D</b>ir - F</b>iles:6"_s});
    EXPECT_EQ(t.library.playlist().items().constLast(), u"tune;"_s + t.music() + u"/tune.mp3"_s);
}

TEST_F(Commands, SearchAddsEveryHitAndTwoHitsAreOfferedInThePicker)
{
    fill({"red", "Blue Sky", "green", "BLUESKY two"});
    owner("p blue sky");
    EXPECT_EQ(t->player.searchResults().items(),
              (QStringList {"Blue Sky;/music/Blue Sky.mp3", "BLUESKY two;/music/BLUESKY two.mp3"}));
    EXPECT_EQ(t->player.hitNumber(), "4");  // the number of the last hit
    t->player.takeSearchResults();
    EXPECT_EQ(t.offered, (QStringList {"Blue Sky", "BLUESKY two"}));
    EXPECT_EQ(t.sent, QStringList {fontPrefix() + "2</b> Files Found, Select One."});
}

// The reply tells whether anything went, and why not for a named file.
TEST_F(Commands, DelTakesOnlyMatchingFilesOfTheOneFolderNamedAndSaysWhenNoneWent)
{
    const QString root = t.dir.path() + "/music";
    QDir().mkpath(root + "/sub.mp3");
    for (const char* name : {"a.mp3", "b.mp3", "ab.mp3", "notes.txt", ".hidden.mp3", "[x]1.mp3", "sub.mp3/c.mp3"})
        QFile(root + u'/' + name).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(root + "/sub.mp3", root + "/link"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/pipe").constData(), 0600), 0);
    // Each path below the folder ("" for the folder itself), why nothing
    // went (empty when something did), and what the folder holds after it.
    const QString all = ".hidden.mp3 [x]1.mp3 a.mp3 ab.mp3 b.mp3 link notes.txt pipe sub.mp3";
    const std::tuple<const char*, const char*, QString> cases[]
        = {{"", "it is a folder", all},
           {"/sub.mp3", "it is a folder", all},
           {"/link", "it is a folder", all},
           {"/pipe", "not a regular file", all},
           {"/gone.mp3", "no such file", all},
           {"/*/c.mp3", "no such file", all},
           {"/*/*.mp3", "a wildcard counts only in the file name", all},
           {"/nothing/*.mp3", "no such folder", all},
           {"/<b>*.wma", "no file matches &lt;b&gt;*.wma", all},
           {"/[x]?.mp3", "", ".hidden.mp3 a.mp3 ab.mp3 b.mp3 link notes.txt pipe sub.mp3"},
           {"/?.mp3", "", ".hidden.mp3 ab.mp3 link notes.txt pipe sub.mp3"},
           {"/*", "", ".hidden.mp3 link pipe sub.mp3"}};
    const QString head = fontPrefix() + "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>";
    for (const auto& [path, why, left] : cases) {
        t.sent.clear();
        owner("del " + QString(root + path).replace(u'/', u'\\'));
        EXPECT_EQ(
            QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System).join(u' '),
            left)
            << path;
        EXPECT_EQ(
            t.sent,
            QStringList {head
                         + (*why ? QStringLiteral("no file deleted</u>: ") + why : QStringLiteral("deleted file</u>"))})
            << path;
    }
    EXPECT_TRUE(QFile::exists(root + "/sub.mp3/c.mp3"));
}

TEST_F(Commands, IgnoreTogglesTheFirstMatchingMemberButNeverTheOwner)
{
    const auto reply = [&](const TextValue& form, const QString& who) {
        return QStringList {fontPrefix() + QString(form.text()).replace("%p", who)};
    };
    // Each line, the members ignored after it, and the reply.
    const std::tuple<const char*, QStringList, QStringList> cases[] = {
        {"X  ownerME", {}, {fontPrefix() + "you cannot ingore yourself."}},
        {"x bo", {"Bob"}, reply(t->templates.ignored, "Bob")},
        {"x CAROL a", {"Bob", "Carol Ann"}, reply(t->templates.ignored, "Carol Ann")},
        {"x rme", {"Bob", "Carol Ann"}, {fontPrefix() + "you cannot ignore yourself."}},
        // Unignore has no self test, but the client never ignores its user.
        {"unx owner", {"Bob", "Carol Ann"}, reply(t->templates.unignored, "Owner Me")},
        {"unx bo", {"Carol Ann"}, reply(t->templates.unignored, "Bob")},
        {"x ver", {"Carol Ann"}, {fontPrefix() + "Quillon 3.2"}},
        {"x ", {"Carol Ann"}, {}},
    };
    for (const auto& [line, members, said] : cases) {
        t.sent.clear();
        owner(line);
        EXPECT_EQ(ignored(), members) << line;
        EXPECT_EQ(t.sent, said) << line;
    }
    EXPECT_EQ(t->interpreter.members().count(), 4);

    // A line arriving while the click lets events run is handled to its end first.
    bool once = true;
    auto pump = QObject::connect(&t.desktop, &SimDesktop::eventsLetRun, [&] {
        if (std::exchange(once, false))
            owner("ver");
    });
    t.sent.clear();
    owner("x bobby");
    EXPECT_EQ(t.sent, QStringList {fontPrefix() + "Quillon 3.2"} + reply(t->templates.ignored, "Bobby"));
    EXPECT_EQ(ignored(), (QStringList {"Bobby", "Carol Ann"}));

    // A member list that never comes is looked for 20 times, then nobody is ignored.
    int looks = 1;
    QObject::disconnect(pump);
    QObject::connect(&t.desktop, &SimDesktop::eventsLetRun, [&] { ++looks; });
    t.desktop.destroyWindow(t.chatWindow.memberList);
    t.sent.clear();
    owner("x bob");
    EXPECT_EQ(looks, 20);
    EXPECT_EQ(t.sent, QStringList());
}

// The newer words are tested first, on the line as typed, and end it: no
// older command sees "end" or "stop" in them.
TEST_F(Commands, NewWordsComeFirstAndEndTheLine)
{
    fill({"Cat", "stop it", "gone"});
    const auto on = [&](const QString& text) { return QStringList {fontPrefix() + text}; };
    const std::pair<QString, QStringList> cases[] = {
        {"help end", on("» end - end program")},
        {"HELP Q", on("» q file - queue file · q - list the queue")},
        {"help <b>", on("» <u>help</u> &lt;b&gt; is no command; help alone lists them")},
        {"vol", on("» <u>Volume</u> 50")},
        {"Vol 30", on("» <u>Volume</u> 30")},
        {"vol 999999999999999999999", on("» <u>Volume</u> 100")},
        {"vol abc", on("» <u>vol</u> takes a number from 0 to 100")},
        {"vol -5", on("» <u>vol</u> takes a number from 0 to 100")},
        {"unq 1", on("» <u>Queue</u> empty")},
        {"q stop", on("» <u>Queued</u> stop it » place 1")},
        {"q gone", on("» <u>Queued</u> gone » place 2")},
        {"q zzz", {"Nothing found"}},
        {"q", on("» <u>Queue</u> 1 stop it · 2 gone")},
        {"unq 3", on("» <u>unq</u> takes a place from 1 to 2")},
        {"unq x", on("» <u>unq</u> takes a place from 1 to 2")},
        {"unq 2", on("» <u>Unqueued</u> gone")},
        {"unq 1", on("» <u>Unqueued</u> stop it")},
        {"q gone", on("» <u>Queued</u> gone » place 1")},
        // No choice waits: a number is no command at all.
        {"2", {}},
        {"skip", on("» <u>Skipped</u>") + on("Playing")},
        {"skip", on("» <u>Skipped</u>")},
        {"skipper", {}},
    };
    t->templates.playing.setText("Playing");
    everySongPlays();
    for (const auto& [line, said] : cases) {
        t.sent.clear();
        owner(line);
        EXPECT_EQ(t.sent, said) << qPrintable(line);
    }
    EXPECT_FALSE(t.unloaded);
    EXPECT_EQ(t.mediaPlayer.calls, QStringList {"stop"});
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {"/music/gone.mp3"});
    EXPECT_EQ(t.mediaPlayer.loudness, 100);
    EXPECT_EQ(readSetting("player", "volume"), "100");
}

TEST_F(Commands, SeveralHitsAreListedByNumberAndANumberWithinAMinutePicksOne)
{
    // A name is cut to 60 characters, before a pair that would be split;
    // one of 60 is whole.
    const QString smiles = QStringLiteral("\U0001F600");
    QStringList names;
    for (int i = 1; i <= 12; ++i)
        names.append(QStringLiteral("love %1").arg(i));
    names[2] += " x" + smiles.repeated(26) + QString(300, u'x');
    names[3] += QString(54, u'y');
    fill(names);
    everySongPlays();
    owner("q love");
    ASSERT_EQ(t.sent.size(), 2);
    EXPECT_EQ(t.sent[0], fontPrefix() + "12</b> Files Found, Select One.");
    EXPECT_TRUE(t.sent[1].startsWith(fontPrefix() + "1 love 1 · 2 love 2 · 3 love 3 x" + smiles.repeated(25)
                                     + "… · 4 love 4" + QString(54, u'y') + " · 5 love 5"))
        << qPrintable(t.sent[1]);
    EXPECT_TRUE(t.sent[1].endsWith(" · 9 love 9 · +3 more: search again with more words"));
    t.sent.clear();
    for (const char* line : {"0", "10", " 7 "})
        owner(line);
    EXPECT_EQ(t.sent, QStringList {fontPrefix() + "» <u>Queued</u> love 7 » place 1"});
    EXPECT_FALSE(t->interpreter.commands.choicePending());

    // A choice to play; another search ends it, and so does a minute.
    t->interpreter.commands.offer({"love 2", "love 5"});
    t.sent.clear();
    owner("3");
    owner("2");
    ASSERT_EQ(t.sent.size(), 2);
    EXPECT_EQ(t.sent[0], fontPrefix() + "» <u>Choose</u> 1 to 2");
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {"/music/love 5.mp3"});
    t->interpreter.commands.offer({"love 2", "love 5"});
    owner("p nothing like it");
    owner("1");
    t->interpreter.commands.offer({"love 2", "love 5"});
    EXPECT_EQ(t->interpreter.commands.choiceTimer().interval(), 60000);
    t->interpreter.commands.endChoice();
    owner("1");
    EXPECT_EQ(t.mediaPlayer.urls.size(), 1);

    // However long the names, the line fits what a server takes.
    QStringList huge;
    for (int i = 0; i < 9; ++i)
        huge.append(QString(3000, QChar(0x20AC)) + "\"\\");
    t->interpreter.commands.offer(huge);
    EXPECT_LE(RoomCommands::wireSize(t.sent.constLast()), ChatExit::kLineBytes);
    EXPECT_TRUE(t.sent.constLast().contains("9 €") && !t.sent.constLast().contains("more"))
        << qPrintable(t.sent.constLast());

    // "r" plays a song drawn at random and leaves the cursor on it.
    t.player.setRandomSource([] { return 0.5; });
    owner("r");
    EXPECT_EQ(t->library.playlist().selectedRow(), 6);
}

TEST_F(Commands, APrefixMakesTheOwnersOtherLinesChat)
{
    t->interpreter.setPrefix("!");
    for (const char* line : {"ver", "end", "hello ! ver", "!ver", "!help ver", "! ver"})
        owner(line);
    EXPECT_EQ(t.sent,
              (QStringList {fontPrefix() + "Quillon 3.2",
                            fontPrefix() + "\u00bb Commands start with !: ver - scroll version"}));
    EXPECT_FALSE(t.unloaded);
    t.sent.clear();
    owner("!help");
    ASSERT_EQ(t.sent.size(), 2);
    EXPECT_TRUE(t.sent[0].startsWith(fontPrefix() + "\u00bb Commands start with !: p file - play file"));

    // Refused: what the slash cut would take, a line break, blanks alone, length.
    for (const char* bad : {"/", "!/", "a\nb", "  ", "12345678901234567"})
        EXPECT_FALSE(CommandInterpreter::prefixProblem(bad).isEmpty()) << bad;
    EXPECT_TRUE(CommandInterpreter::prefixProblem("1234567890123456").isEmpty());
    EXPECT_FALSE(t->interpreter.storePrefix("b/").isEmpty());
    EXPECT_EQ(t->interpreter.prefix(), "!");
    EXPECT_EQ(t->interpreter.storePrefix("Bot, "), "");
    EXPECT_EQ(CommandInterpreter::storedPrefix(), "Bot, ");
    t.sent.clear();
    owner("bot, ver");
    owner("!ver");
    EXPECT_EQ(t.sent, QStringList {fontPrefix() + "Quillon 3.2"});
    EXPECT_EQ(t->interpreter.storePrefix(""), "");
}

// A server would take a line per removed entry as a flood; the bot says
// three and counts the rest. The other routes keep a line per entry.
TEST_F(Commands, RemovingManyOverTocSendsThreeLinesAndACount)
{
    fill({"a1", "a2", "a3", "a4", "a5", "b", "a6", "a7"});
    t->options.useBot.setValue(true);
    owner("rem a");
    EXPECT_EQ(t.sent,
              (QStringList {kSerifHead + "a1" + kSerifHead + " removed", kSerifHead + "a2" + kSerifHead + " removed",
                            kSerifHead + "a3" + kSerifHead + " removed", kSerifHead + "… and 4 more removed"}));
    EXPECT_EQ(t->library.playlist().names(), QStringList {"b"});
    t.sent.clear();
    fill({"k1", "k2", "k3", "k4", "k5"});
    owner("rem k");
    EXPECT_EQ(t.sent.size(), 5);
}

// The help lines hold every command word, and each fits a chat line.
TEST(RoomHelp, TwoLinesThatFitAndNameEveryCommand)
{
    const QStringList lines = RoomCommands::helpLines();
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_LE(RoomCommands::wireSize(line), ChatExit::kLineBytes);
    for (const char* word : {"p",    "p?",  "r",     "url",  "dir",   "ar",      "xar",  "cpl",  "del",  "rem",  "clr",
                             "info", "ver", "drive", "stop", "pause", "unpause", "next", "prev", "tray", "show", "min",
                             "end",  "x",   "unx",   "help", "vol",   "q",       "unq",  "skip", "5"})
        EXPECT_FALSE(RoomCommands::helpOf(word).isEmpty()) << word;
    EXPECT_TRUE(RoomCommands::helpOf("perv").isEmpty());
}

// The advert spells its counts out, and "info" tells the uptime.
TEST(SystemInfo, SpellsNumbersAndTellsUptimeBeyondTheOldLimits)
{
    QStringList spelt;
    for (QString number : {"1234567", "14", "40", "12.5", "0", "-5", "1e15", "many"})
        spelt.append(numWor(number));
    EXPECT_EQ(spelt,
              (QStringList {"One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven  ", "Fouteen  ",
                            "Fourty  ", "Twelve  And Fifty ", "", "", "", ""}));
    // 22 days 18:08 overflowed a 16-bit minute count; 49.7 days wrapped the tick count.
    // Halves of a second go to the even second.
    for (const auto& [ms, shown] : {std::pair {1500, "02"}, {2500, "02"}, {2501, "03"}})
        EXPECT_EQ(uptimeText(ms), QStringLiteral("0weeks 00days 00:00:") + shown) << ms;
    EXPECT_EQ(uptimeText(50 * 86400000ULL + 3723000), "7weeks 01days 01:02:03");
    EXPECT_EQ((QStringList {driveTypeText(DriveType::Unknown), driveTypeText(DriveType::RamDisk)}),
              (QStringList {"Unknown", "RAM Disk"}));
    // A disk's file system on any device, or any file system on a disk.
    const std::tuple<const char*, const char*, DriveType> mounts[]
        = {{"overlay", "overlay", DriveType::Fixed},   {"hfsplus", "/dev/sdz9", DriveType::Fixed},
           {"nfs4", "nas:/music", DriveType::Network}, {"udf", "/dev/sr0", DriveType::CdRom},
           {"tmpfs", "tmpfs", DriveType::RamDisk},     {"proc", "proc", DriveType::Unknown}};
    for (const auto& [type, device, kind] : mounts)
        EXPECT_EQ(driveType(type, device), kind) << type;
}

}  // namespace
