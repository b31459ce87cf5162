// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTest.h"
#include "support/RunningProgram.h"
#include "support/SilentFileSystem.h"
#include "support/SmallDisk.h"

#include <algorithm>
#include <csignal>

#include <unistd.h>

namespace {

const QStringList kOwned {"--headless", "--screen-name", "Owner"};

// The built program in its terminal room, through pipes.
class Room : public testing::Test, protected FreshHome, protected RunningProgram {
protected:
    Room() : RunningProgram(home.path()) { }

    // A file of the program's data folder, as it is when XDG_DATA_HOME is unset.
    QString data(const QString& name) const { return home.path() + QStringLiteral("/.local/share/quillon/") + name; }
    bool writePlaylist(const QByteArray& rows)
    {
        return QDir().mkpath(data({})) && writeFile(data(QStringLiteral("playlist.txt")), rows);
    }
    // Runs a copy that must stop before it starts, as a usage error, and
    // answers what it said on stderr.
    QByteArray refusal(const QStringList& arguments)
    {
        RunningProgram copy(home.path());
        copy.env = env;
        EXPECT_EQ(copy.run(arguments), 2);
        EXPECT_EQ(copy.out, "");
        return copy.err;
    }
    // A folder of empty songs, given as the owner types a path in the room.
    QString music(int songs)
    {
        const QString dir = home.path() + QStringLiteral("/music");
        QDir().mkpath(dir);
        for (int i = 1; i <= songs; ++i)
            writeFile(dir + QStringLiteral("/song number %1 with a long name.mp3").arg(i));
        return QString(dir).replace(u'/', u'\\');
    }
};

TEST_F(Room, OnlyTheOwnerIsObeyedAndNothingHoldsUpHisCommands)
{
    ASSERT_TRUE(writePlaylist("alpha one;/no/alpha one.mp3\r\nalpha two;/no/alpha two.mp3\r\nbeta;/no/beta.mp3\r\n"));
    const QString victim = home.path() + QStringLiteral("/victim");
    ASSERT_TRUE(writeFile(victim));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillon.scan.debug=true"));
    // A display to open is there, yet the room stays in the terminal.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    ASSERT_TRUE(start(kOwned));

    // Typed at once, this line still comes after the start line;
    // "/find-sn" stands for the button that finds the owner again.
    type(QStringLiteral("hello"));
    ASSERT_TRUE(shows(err, "quillon.scan: said by Owner | hello"));
    type(QStringLiteral("/find-sn"));
    ASSERT_TRUE(shows(out, "Found Screen Name: Owner"));

    // A member's HTML cannot make lines of the owner's.
    // The scanner reads each with Eve as its speaker.
    type(QStringLiteral("/as Eve: hello<BR>Owner: del ") + QString(victim).replace(u'/', u'\\'));
    ASSERT_TRUE(shows(err, "quillon.scan: said by Eve | hello&lt;BR&gt;Owner: del "));
    type(QStringLiteral("/as Eve: x<BR><B>Owner</B>: end"));
    ASSERT_TRUE(shows(err, "quillon.scan: said by Eve | x&lt;BR&gt;&lt;B&gt;Owner"));
    // "Owner" is listed first and holds an "e", yet stays heard.
    type(QStringLiteral("unx e"));
    ASSERT_TRUE(shows(out, "UnIgnored"));
    // No picker window is seen in a terminal: the hits are listed by number,
    // and a number picks one.
    type(QStringLiteral("p alpha"));
    ASSERT_TRUE(shows(out, "1 alpha one \u00b7 2 alpha two"));
    // Its file is missing: that is said, not announced as playing.
    type(QStringLiteral("2"));
    EXPECT_TRUE(shows(out, "Cannot play alpha two: no such file"));
    EXPECT_TRUE(QFile::exists(victim));
    EXPECT_EQ(end(), 0);
}

// Lines piped in all at once are said one by one, each after the work of
// the one before; the end of input comes last. Neither a closed terminal
// (SIGHUP) nor a reader that went away (SIGPIPE) loses the files. A
// profile's files are its own, beside the plain run's.
TEST_F(Room, EveryWayToStopComesAfterTheLinesBeforeItAndSavesAndABadStartIsAUsageError)
{
    const QStringList profiled = kOwned + QStringList {"--profile", "room1"};
    const QString playlist = data(QStringLiteral("room1/playlist.txt"));
    const QByteArray songs = music(3).toUtf8();
    ASSERT_TRUE(start(profiled));
    process.write("dir " + songs + "\np song number 2\nver\nx Owner\n");
    EXPECT_EQ(end(), 0);
    // Empty files: the player cannot open them, and says so in its turn.
    QList<qsizetype> at;
    for (const char* text : {"found screen name [Owner]", "iles:3", "song number 2 with a long name", "Quillon 3.2",
                             "you cannot ingore yourself.", "unloaded."})
        at.append(out.indexOf(text));
    EXPECT_FALSE(at.contains(-1));
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(readFile(playlist).count(";"), 3);
    EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/.config/quillon/room1/settings.quillon")));
    EXPECT_FALSE(QFile::exists(data(QStringLiteral("playlist.txt"))));

    for (const int signal : {SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(QFile::remove(playlist));
        ASSERT_TRUE(start(profiled, "found screen name [Owner]"));
        if (signal == SIGPIPE)
            process.closeReadChannel(QProcess::StandardOutput);
        type(QStringLiteral("dir ") + QString::fromUtf8(songs));
        if (signal == SIGHUP) {
            ASSERT_TRUE(shows(out, "iles:3"));
            ::kill(pid_t(process.processId()), SIGHUP);
        }
        EXPECT_EQ(end(), 0) << err.constData();
        EXPECT_EQ(readFile(playlist).count(";"), 3);
    }

    // A profile name that is not one plain folder's, or a display that does
    // not answer the windows, stops the start as a usage error.
    for (const char* name : {"../room1", ".hidden", "a/b", "-x", ""}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(refusal({"--headless", "--profile", name}).startsWith("quillon: --profile takes a plain name"));
    }
    for (const char* other : {"--headless", "--bot"})
        EXPECT_TRUE(refusal({"--gui", other}).startsWith("quillon: --gui cannot go with --headless or --bot")) << other;
    EXPECT_TRUE(
        refusal({"--headless", "--room-output", "html"}).startsWith("quillon: --room-output takes raw or text"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":8231"));  // no X server listens here
    EXPECT_EQ(refusal({"--gui"}),
              "quillon: --gui: cannot open display \":8231\": no X server answers, or it refused\n");

    // Without --screen-name the owner is the login name: $USER for a user
    // the system does not list (a container's).
    if (::getuid() != 0)
        return;
    QTemporaryDir guest;
    ASSERT_TRUE(QFile::setPermissions(guest.path(),
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup
                                          | QFile::WriteGroup | QFile::ExeGroup));
    env.insert(QStringLiteral("HOME"), guest.path());
    env.insert(QStringLiteral("USER"), QStringLiteral("guest"));
    process.setChildProcessModifier([] { std::ignore = ::setuid(54321); });
    ASSERT_TRUE(start({"--headless"}, "found screen name [guest]"));
    EXPECT_EQ(end(), 0);
}

// One running program writes a set of files, a few seconds after a change
// rather than at shut-down, so a kill then loses nothing. A second one on
// the same folders names the first and stops; the lock of one that was
// killed is taken over, here by a run in the plain text room. Relative XDG
// paths are ignored: the files go where they would go unset, and not into
// the working folder.
TEST_F(Room, ASecondCopyIsRefusedAndAKilledOneKeepsItsChangeAndLeavesItsLock)
{
    const QString cwd = home.path() + QStringLiteral("/cwd");
    ASSERT_TRUE(QDir().mkpath(cwd));
    process.setWorkingDirectory(cwd);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("relative/data"));
    ASSERT_TRUE(start(kOwned, "found screen name [Owner]"));
    EXPECT_TRUE(
        refusal({"--headless"})
            .contains("are in use by another running Quillon (PID " + QByteArray::number(process.processId()) + ")"));
    type(QStringLiteral("dir ") + music(300));
    ASSERT_TRUE(shows(out, "F</b>iles:300"));
    const QString playlist = data(QStringLiteral("playlist.txt"));
    const QString settings = home.path() + QStringLiteral("/.config/quillon/settings.quillon");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return readFile(playlist).count("with a long name;") == 300 && readFile(settings) == "[loads]:2\r\n"; },
        kCeiling));
    ::kill(pid_t(process.processId()), SIGKILL);
    ASSERT_TRUE(ended());

    // The text room reads as a chat: each line after its speaker, the
    // program's markup gone, a member's words as typed, and with NO_COLOR
    // no escape codes.
    env.insert(QStringLiteral("NO_COLOR"), QStringLiteral("1"));
    ASSERT_TRUE(start(kOwned + QStringList {"--room-output", "text"}, "Owner: found screen name [Owner]\n"));
    type(QStringLiteral("/as Eve: <B>hi</B> & bye"));
    ASSERT_TRUE(shows(out, "Eve: <B>hi</B> & bye\n"));
    EXPECT_EQ(end(), 0);
    EXPECT_FALSE(out.contains("<FONT") || out.contains('\x1b'));
    EXPECT_EQ(QDir(cwd).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// A share that does not answer: its song is said, never announced, the
// room keeps answering, and SIGTERM ends the run while a look at the share
// still waits. (Missing files, FIFOs, folders and auto random's three
// failures are the player's tests.)
TEST_F(Room, AShareThatDoesNotAnswerHoldsNothingUp)
{
    SilentFileSystem share;
    if (!share.mounted())
        GTEST_SKIP() << "a silent file system cannot be mounted here (needs root and /dev/fuse)";
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillon.scan.debug=true"));
    ASSERT_TRUE(writePlaylist("shared;" + QFile::encodeName(share.path()) + "/song.mp3\r\n"));
    ASSERT_TRUE(start(kOwned, "found screen name [Owner]"));
    // Typed at once: "ver" waits for the look at the share to give up.
    type(QStringLiteral("p shared\nver"));
    ASSERT_TRUE(shows(out, "Quillon 3.2"));
    const qsizetype said = out.indexOf("Cannot play shared: no answer from the file system");
    EXPECT_TRUE(said >= 0 && said < out.indexOf("Quillon 3.2"));
    // The first look's line is logged already: wait for the second's.
    type(QStringLiteral("p shared"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return err.count("quillon.scan: said by Owner | p shared") == 2; }, kCeiling));
    process.terminate();
    ASSERT_TRUE(ended());
    EXPECT_EQ(status(), 0);
    EXPECT_FALSE(out.contains("laying"));
    // The closing line is the last.
    ASSERT_TRUE(out.contains("unloaded."));
    EXPECT_EQ(out.mid(out.indexOf("unloaded.")).count('\n'), 1);
}

// The disk is full from the start: every write of the playlist fails and
// says why, the old playlist stays whole, and the run ends with status 1
// after the rest of its shut-down.
TEST_F(Room, AFileThatCannotBeWrittenIsSaidAndFailsTheRun)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const QString playlist = disk.path() + QStringLiteral("/quillon/playlist.txt");
    ASSERT_TRUE(QDir().mkpath(disk.path() + QStringLiteral("/quillon")));
    ASSERT_TRUE(writeFile(playlist, "old;/old.mp3\r\n"));
    ASSERT_FALSE(writeFile(disk.path() + QStringLiteral("/filler"), QByteArray(1 << 20, 'f')));  // fills the disk
    env.insert(QStringLiteral("XDG_DATA_HOME"), disk.path());

    ASSERT_TRUE(start(kOwned, "found screen name [Owner]"));
    type(QStringLiteral("dir ") + music(300));
    ASSERT_TRUE(shows(out, "F</b>iles:301"));
    const QByteArray said = "quillon: Cannot write " + playlist.toUtf8() + ": No space left on device\n";
    EXPECT_TRUE(shows(err, said));
    EXPECT_EQ(end(), 1);
    EXPECT_TRUE(out.contains("unloaded."));
    EXPECT_EQ(err.count(said), 2);
    EXPECT_EQ(readFile(playlist), "old;/old.mp3\r\n");
}

}  // namespace
