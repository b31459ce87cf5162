// SPDX-License-Identifier: GPL-3.0-or-later
#include "BotTest.h"

#include "bot/SystemInfo.h"
#include "chatlink/AnsiText.h"
#include "controls/UserStore.h"

#include <QCryptographicHash>
#include <QFile>

#include <cstdio>
#include <map>

// Every command word, alone and followed by every other, in lower and
// upper case (a few in mixed case too), with blanks and stray letters after
// it: each line is said by the owner to a rig of its own, and everything
// the line did (what the room was told, what the player, the windows, the
// playlist, the queue and the chat window went through) is written down as
// the line's trace. The traces of the lines of one first word are summed up
// in a digest, recorded when the interpreter's order of tests and the way
// each one matches were right. A test moved before another, a prefix test
// turned into an equality test or one that ignores letter case into one
// that does not changes some trace, and with it its word's digest.
//
// To record anew after a wanted change of behaviour: run the test with
// QUILLON_RECORD_TRACES=FILE; FILE gets every trace, and the test prints
// the digest table to paste below.

using namespace Qt::Literals::StringLiterals;

namespace {

const char* const kWords[]
    = {"x",    "unx", "p?",   "p",    "r",     "url",  "dir",   "ar",      "xar",  "cpl",  "del",
       "rem",  "clr", "info", "ver",  "drive", "stop", "pause", "unpause", "next", "prev", "tray",
       "show", "min", "end",  "help", "vol",   "q",    "unq",   "skip",    "1"};

// What follows the first word: nothing, blanks, a letter glued to it, and
// arguments that name members, songs, files or other commands.
QStringList tails()
{
    QStringList tails {
        u""_s,   u" "_s,       u"  "_s,     u"x"_s,     u" a"_s,     u" bo"_s,          u" ever"_s,         u" 30"_s,
        u" 2"_s, u" p stop"_s, u" r ver"_s, u" x bo"_s, u" music"_s, u" junk\\*.tmp"_s, u" junk\\one.tmp"_s};
    for (const char* word : kWords)
        tails.append(u' ' + QLatin1String(word));
    return tails;
}

// Lines that the word-and-tail scheme does not make.
const char* const kOddLines[]
    = {"ver/x",  "/ver",      "p stop/ver",   "p ?",  "p?x", "pau", "unpaus",      " ver",        "arxar",
       "xarar",  "Drive x",   "drive",        "dir",  "x",   "unx", "url",         "del",         "rem",
       "rem   ", "r",         "r  ",          "help", "2",   "",    "Drive music", "DRIVE music", "x  ownerME",
       "x rme",  "unx owner", "unx  OWNER me"};

// The rig every line starts from: the owner known, five songs that all
// play, a fixed draw, fixed machine texts, a folder of songs and one of
// files to delete.
void prepare(InterpreterRig& rig, const QString& line)
{
    rig.discovery.owner().setText(kOwner);
    rig.player.setOpeningTime(std::chrono::milliseconds(0));
    rig.player.setFileCheck([](const QString&) { return QtFuture::makeReadyFuture(SongFile()); });
    rig.player.setRandomSource([] { return 0.5; });
    rig.interpreter.ramText = [] { return u"523,744 Kbyte"_s; };
    rig.interpreter.uptimeText = [] { return u"0weeks 00days 01:02:03"_s; };
    rig.player.nowPlaying().file.setText(u"Artist - Title"_s);
    for (const char* name : {"Cat", "a b", "stop it", "BAT", "Ever"})
        rig.library.playlist().addItem(QLatin1String(name) + u";/music/"_s + QLatin1String(name) + u".mp3"_s);
    // Only a line that names them needs the folders.
    if (!line.contains(u"music"_s) && !line.contains(u"junk"_s))
        return;
    const QString root = rig.dir.path();
    QDir().mkpath(root + u"/music"_s);
    QDir().mkpath(root + u"/junk"_s);
    // Folders that "Drive music" would name if letter case did not count
    // in "drive ": their drive is found, so only that test decides.
    QDir().mkpath(root + u"/Drive music"_s);
    QDir().mkpath(root + u"/DRIVE music"_s);
    for (const char* name : {"/music/tune.mp3", "/junk/one.tmp", "/junk/two.tmp", "/junk/keep.txt"})
        QFile(root + QLatin1String(name)).open(QIODevice::WriteOnly);
}

// Everything the line did, one fact a line. The line is said in the rig's
// folder, so that paths in it are the same in every run; the folder is
// written $DIR, and the kind of drive it is on $KIND.
QString trace(const QString& line)
{
    Alone<InterpreterRig> t;
    prepare(t, line);
    const QString root = t.dir.path();
    const QString here = QDir::currentPath();
    QDir::setCurrent(root);
    t.interpreter.handleLine(kOwner, line, u"12:00"_s);
    // The line's work is done once the songs it started are announced.
    while (t.player.isStarting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QDir::setCurrent(here);

    QStringList members;
    for (const char* member : {"Owner Me", "Bob", "Bobby", "Carol Ann"}) {
        if (t.desktop.isIgnored(t.chatWindow.window, member))
            members.append(QLatin1String(member));
    }
    const Playlist& playlist = t.library.playlist();
    const QStringList facts {
        u"sent: "_s + t.sent.join(u"\n  "_s),
        u"player: "_s + t.mediaPlayer.calls.join(u' ') + u" | "_s + t.mediaPlayer.urls.join(u' ')
            + u" | %1"_s.arg(t.mediaPlayer.loudness),
        u"ui: "_s + t.ui.events.join(u' ') + u" | "_s + t.ui.messages.join(u' '),
        u"end: %1"_s.arg(t.unloaded),
        u"playlist: %1 | "_s.arg(playlist.selectedRow()) + playlist.items().join(u'|'),
        u"hits: "_s + t.player.hitNumber() + u" | "_s + t.player.searchResults().items().join(u'|'),
        u"queue: "_s + t.player.queue().items().join(u'|')
            + (t.interpreter.commands.choicePending() ? u" | choosing"_s : QString()),
        u"auto random: %1"_s.arg(t.options.autoRandom.value()),
        u"ignored: "_s + members.join(u'|'),
        u"transcript: "_s + AnsiText::fromWindow(t.desktop, t.desktop.textOf(t.chatWindow.transcript)),
        u"junk: "_s + QDir(root + u"/junk"_s).entryList(QDir::Files).join(u' ') + u" | music: "_s
            + QDir(root + u"/music"_s).entryList(QDir::Files).join(u' '),
        u"volume: "_s + readSetting(u"player"_s, u"volume"_s),
    };
    return facts.join(u'\n')
        .replace(root, u"$DIR"_s)
        .replace(driveTypeName(root).value_or(u"?"_s) + u" drive."_s, u"$KIND drive."_s);
}

// The lines to say, grouped by their first word as the table writes it.
std::map<QString, QStringList> lines()
{
    std::map<QString, QStringList> groups;
    const QStringList after = tails();
    for (const char* word : kWords) {
        const QString lower = QLatin1String(word);
        QString title = lower;
        title[0] = title[0].toUpper();
        QStringList& group = groups[lower];
        // A song found and another played by one line ("p r") start in an
        // order the player decides, as its file checks end; it is no test
        // of the order of the commands.
        const auto twoSongs = [&](const QString& tail) {
            return lower == u"p"_s && (tail == u" r"_s || tail == u" next"_s || tail == u" prev"_s);
        };
        for (const QString& tail : after) {
            if (!twoSongs(tail))
                group.append(lower + tail);
        }
        for (const QString& tail : after) {
            if (!twoSongs(tail))
                group.append(lower.toUpper() + tail);
        }
        // Mixed case is a third form only for a word of two letters or more.
        if (title != lower.toUpper()) {
            for (const QString& tail : {u""_s, u" "_s, u" a"_s, u" ver"_s})
                group.append(title + tail);
        }
    }
    for (const char* line : kOddLines)
        groups[u"(odd)"_s].append(QLatin1String(line));
    return groups;
}

// Recorded from the interpreter whose tests were a row of ifs.
const std::map<QString, QString>& recordedDigests()
{
    static const std::map<QString, QString> digests = {
        {u"(odd)"_s, u"3298d222d852"_s},   {u"1"_s, u"1f8c3ada4c0e"_s},     {u"ar"_s, u"ecb232c648c8"_s},
        {u"clr"_s, u"9633b946dbe8"_s},     {u"cpl"_s, u"a0a67f93d4e8"_s},   {u"del"_s, u"10d0ec882d95"_s},
        {u"dir"_s, u"17b13fa803d4"_s},     {u"drive"_s, u"4c9b7483ae86"_s}, {u"end"_s, u"d3e659649f97"_s},
        {u"help"_s, u"e762c9873f7b"_s},    {u"info"_s, u"0d51a2e0e6c2"_s},  {u"min"_s, u"f41b0a596c8f"_s},
        {u"next"_s, u"1ad67397051e"_s},    {u"p"_s, u"b20299d4d255"_s},     {u"p?"_s, u"9743067cae20"_s},
        {u"pause"_s, u"6ce9069d2a2b"_s},   {u"prev"_s, u"c57f2907b23e"_s},  {u"q"_s, u"f9b67ffdfa62"_s},
        {u"r"_s, u"fe7302fae031"_s},       {u"rem"_s, u"4a9394c8bf2d"_s},   {u"show"_s, u"8062dc60d1fd"_s},
        {u"skip"_s, u"1354186cdc30"_s},    {u"stop"_s, u"31b587a69edb"_s},  {u"tray"_s, u"e70e68af7d8e"_s},
        {u"unpause"_s, u"fc77eed8332c"_s}, {u"unq"_s, u"859cf5ee4d73"_s},   {u"unx"_s, u"0b95fdf27a00"_s},
        {u"url"_s, u"7393903e9e51"_s},     {u"ver"_s, u"caa29fefc949"_s},   {u"vol"_s, u"4c051c699e8c"_s},
        {u"x"_s, u"fcca5bbe9ccf"_s},       {u"xar"_s, u"c482ff367944"_s},
    };
    return digests;
}

TEST(CommandTable, EveryLineDoesWhatItDidBeforeInTheSameOrder)
{
    const QByteArray recordTo = qgetenv("QUILLON_RECORD_TRACES");
    QFile record(QString::fromLocal8Bit(recordTo));
    if (!recordTo.isEmpty()) {
        ASSERT_TRUE(record.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    QString table;
    for (const auto& [word, group] : lines()) {
        QCryptographicHash digest(QCryptographicHash::Sha1);
        QString traces;
        for (const QString& line : group)
            traces += u"> "_s + line + u'\n' + trace(line) + u'\n';
        digest.addData(traces.toUtf8());
        const QString got = QString::fromLatin1(digest.result().toHex().left(12));
        table += u"        {u\"%1\"_s, u\"%2\"_s},\n"_s.arg(word, got);
        if (!recordTo.isEmpty()) {
            record.write(traces.toUtf8());
            continue;
        }
        const auto recorded = recordedDigests().find(word);
        ASSERT_NE(recorded, recordedDigests().end()) << qPrintable(word);
        EXPECT_EQ(got, recorded->second) << "the lines of \"" << qPrintable(word) << "\" now do this:\n"
                                         << qPrintable(traces);
    }
    if (!recordTo.isEmpty())
        std::printf("%s", qPrintable(table));
}

}  // namespace
