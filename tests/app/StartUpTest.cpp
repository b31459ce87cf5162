// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTest.h"
#include "app/FilesLock.h"
#include "controls/UserStore.h"
#include "support/TestForm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

TEST(StartUp, CountsTheStartsAndTheSongsKeepsTheQueueAndShutsDownOnce)
{
    TestForm t;
    const QString font = t->templates.font.text();
    writeSetting(QStringLiteral("quillon"), QStringLiteral("loaded"), QStringLiteral("0"));
    t->startUp();
    EXPECT_EQ(readSetting(QStringLiteral("quillon"), QStringLiteral("loaded")), "1");
    EXPECT_EQ(t.sent,
              QStringList {font + QStringLiteral("quillon\u00b3\u00b7\u00b2 <i>(</i> ") + MainForm::webAddress()
                           + QStringLiteral(" <i>) loads: One   ; files: ")});
    EXPECT_EQ(readFile(t.paths.playlistFile()), "");

    // The closing animation ends even when the window refuses to grow.
    t.ui.refuseGeometry = true;
    t->library.playlist().addItem(QStringLiteral("song;/music/song.mp3"));
    t->shutDown();
    t->shutDown();
    EXPECT_EQ(readFile(t.paths.playlistFile()), "song;/music/song.mp3\r\n");
    EXPECT_EQ(readFile(t.paths.settingsFile()), "[loads]:2\r\n");
    EXPECT_EQ(t.sent.mid(1), QStringList {font + QStringLiteral("<i>(</i> quillon\u00b3\u00b7\u00b2 <i>) unloaded.")});
    EXPECT_EQ(t.ui.events.filter(QRegularExpression(QStringLiteral("^(tray-|end)$"))), QStringList({"tray-", "end"}));
    EXPECT_FALSE(t->player.hasRunningTimers());
    for (const QTimer* timer : {&t->discovery.warningTimer(), &t->interpreter.commands.choiceTimer()})
        EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(t->toc.sendQueue().nextPump(), std::nullopt);
    EXPECT_FALSE(t->toc.hasTimerRunning());
    EXPECT_FALSE(t->botMode.reconnect.hasTimerRunning());
    EXPECT_FALSE(t->scanner.isScanning());

    // Files written elsewhere: on Windows, whose characters they keep and
    // are written back in UTF-8, with empty lines and bare line feeds, and
    // UTF-8 lines among the others.
    ASSERT_TRUE(
        writeFile(t.paths.playlistFile(), "caf\xe9;/m/a.mp3\r\n\r\n\n\x80 \x99;/m/b.mp3\nBj\xc3\xb6rk;/m/c.mp3"));
    ASSERT_TRUE(writeFile(t.paths.settingsFile(), "[playing]:\xbb <u>Playing</u> %s\r\n[loads]:2\r\n"));
    t.reset();
    t->startUp();
    EXPECT_EQ(t->library.playlist().names(), QStringList({"caf\u00e9", "\u20ac \u2122", "Bj\u00f6rk"}));
    EXPECT_EQ(t->templates.playingTitle.text(), "\u00bb <u>Playing</u> %s");
    EXPECT_EQ(t->settings.loads(), "2");
    EXPECT_TRUE(t.sent[0].endsWith(QStringLiteral(" loads: Two   ; files: Three  "))) << t.sent[0].toStdString();
    t->clearPlaylist();
    EXPECT_EQ(t.sent.last(), font + QStringLiteral("</b></i>playlist cleared"));
    t->shutDown();
    EXPECT_EQ(readFile(t.paths.playlistFile()), "");
    EXPECT_EQ(readFile(t.paths.settingsFile()), "[playing]:\xc2\xbb <u>Playing</u> %s\r\n[loads]:3\r\n");

    // The queue is kept beside the playlist; what a garbled file holds
    // beyond songs of the playlist is dropped.
    ASSERT_TRUE(writeFile(t.paths.playlistFile(), "a;/m/a.mp3\r\nb;/m/b.mp3\r\n"));
    ASSERT_TRUE(writeFile(t.paths.queueFile(), "B\r\n\x01\xff garbage\r\nnone\r\n" + QByteArray(5000, 'a') + "\na\n"));
    t.reset();
    t->startUp();
    EXPECT_EQ(t->player.queue().items(), QStringList({"B", "a"}));
    t->player.queue().removeItem(0);
    t->shutDown();
    EXPECT_EQ(readFile(t.paths.queueFile()), "a\r\n");
}

namespace {

QString unread(const QString& path, const char* why)
{
    return QStringLiteral("Cannot read %1: %2; it is left as it is and not written by this run")
        .arg(path, QLatin1String(why));
}

// Starts the program again over the same files; what it said on stderr.
QString startSaying(TestForm& t)
{
    t.reset();
    t.ui.notWritten.clear();
    testing::internal::CaptureStderr();
    t->startUp();
    // The user interface is told once the start-up is over.
    EXPECT_TRUE(t.ui.notWritten.isEmpty());
    QCoreApplication::sendPostedEvents();
    return QString::fromStdString(testing::internal::GetCapturedStderr());
}

bool isFifo(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

}  // namespace

// A file that is there but cannot be read (a folder or a FIFO in its
// place, an I/O error) is said on stderr and in the user interface, and
// the run leaves it as it is; the other files are written as usual, and
// the run does not count as one that wrote its files.
TEST(StartUp, AFileThatCannotBeReadIsSaidAndNeverWrittenOver)
{
    TestForm t;
    const QString playlist = t.paths.playlistFile();
    const QString settings = t.paths.settingsFile();
    const QString queue = t.paths.queueFile();

    ASSERT_TRUE(QDir().mkdir(playlist));
    ASSERT_EQ(mkfifo(QFile::encodeName(queue).constData(), 0600), 0);
    ASSERT_TRUE(writeFile(settings, "[loads]:4\r\n"));
    QString said = startSaying(t);
    EXPECT_EQ(t.ui.notWritten,
              QStringList({unread(playlist, "not a regular file"), unread(queue, "not a regular file")}));
    for (const QString& text : std::as_const(t.ui.notWritten))
        EXPECT_TRUE(said.contains(QStringLiteral("quillon: ") + text + u'\n')) << qPrintable(said);
    // Changes would be written a few seconds later, and at the end.
    t->library.playlist().addItem(QStringLiteral("song;/music/song.mp3"));
    t->player.queue().addItem(QStringLiteral("song"));
    EXPECT_FALSE(t->playlistFile.saveTimer().isActive());
    t->shutDown();
    EXPECT_FALSE(t->filesWritten());
    EXPECT_TRUE(QFileInfo(playlist).isDir());
    EXPECT_TRUE(isFifo(queue));
    EXPECT_EQ(readFile(settings), "[loads]:5\r\n");

    // Reading fails with an I/O error.
    ASSERT_TRUE(QDir().rmdir(playlist) && QFile::remove(queue) && QFile::remove(settings));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), settings));
    said = startSaying(t);
    EXPECT_EQ(t.ui.notWritten, QStringList {unread(settings, "Input/output error")});
    EXPECT_TRUE(said.contains(QStringLiteral("quillon: ") + t.ui.notWritten.value(0))) << qPrintable(said);
    EXPECT_EQ(t->settings.loads(), "1");
    t->shutDown();
    EXPECT_EQ(readFile(playlist), "");
}

// A file its owner may not read is kept byte for byte.
TEST(StartUp, AFileWithoutReadPermissionIsSaidAndKeptAsItIs)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its mode, so a file without read permission cannot be made";
    TestForm t;
    const QString settings = t.paths.settingsFile();
    const QByteArray kept = "[font]:<b>\r\n[loads]:7\r\n";
    ASSERT_TRUE(writeFile(settings, kept));
    ASSERT_EQ(::chmod(QFile::encodeName(settings).constData(), 0), 0);
    const QString said = startSaying(t);
    EXPECT_EQ(t.ui.notWritten, QStringList {unread(settings, "Permission denied")});
    EXPECT_TRUE(said.contains(QStringLiteral("quillon: ") + t.ui.notWritten.value(0))) << qPrintable(said);
    t->shutDown();
    ASSERT_EQ(::chmod(QFile::encodeName(settings).constData(), 0600), 0);
    EXPECT_EQ(readFile(settings), kept);
}

// A folder is locked once, even when it holds both sets of files, and a
// copy that shares either folder with a running one is refused.
TEST(FilesLock, LocksEachFolderOnceAndRefusesACopySharingEither)
{
    const QTemporaryDir shared, own;
    FilesLock running({shared.path(), shared.path()});
    EXPECT_EQ(running.acquire(), FilesLock::Result::Held);
    EXPECT_EQ(FilesLock({own.path(), shared.path()}).acquire(), FilesLock::Result::HeldByAnother);
}

TEST(SettingsFile, EachKeyIsFoundAnywhereInItsRowsAndTheCountMovesToTheEndOneHigher)
{
    // The rows before and after, split at "|", and the fields font, play,
    // ignore, unignore, playing and loads after; "=" is a field left as it was.
    const char* const cases[][3] = {
        {"[loads]:4|[font]:<b>|[play]:now %s", "[font]:<b>|[play]:now %s|[loads]:5", "<b>|now %s|=|=|=|4"},
        // Every occurrence of the key goes; capitals or no colon make no key.
        {"[play]no colon|a[font]:b[font]:c|[FONT]:capitals",
         "[play]no colon|a[font]:b[font]:c|[FONT]:capitals|[loads]:2", "abc|[play]no colon|=|=|=|1"},
        // Longer keys are not taken for shorter ones.
        {"[playing]:P %s|[unignore]:U %p", "[playing]:P %s|[unignore]:U %p|[loads]:2", "=|=|=|U %p|P %s|1"},
        // A row with two keys sets both, a later row wins, and the count
        // takes the place of every row that names it.
        {"[font]:first|[play]:p [loads] q|[loads]:3|[font]:", "[font]:first|[font]:|[loads]:4", "|p [loads] q|=|=|=|3"},
        {"[loads]:many", "[loads]:many", "=|=|=|=|=|many"},
    };
    for (const auto& [rows, after, fields] : cases) {
        TestForm t;
        const ChatTemplates& templates = t->templates;
        const auto values = [&] {
            return QStringList {templates.font.text(),      templates.playing.text(),      templates.ignored.text(),
                                templates.unignored.text(), templates.playingTitle.text(), t->settings.loads()};
        };
        QStringList expected = QString(fields).split(u'|');
        const QStringList before = values();
        for (qsizetype i = 0; i < before.size(); ++i)
            expected[i] = expected[i] == u"=" ? before[i] : expected[i];
        t->settings.rows().addItems(QString(rows).split(u'|'));
        t->settings.applyAtStartUp();
        const QStringList shown = values();
        EXPECT_EQ(shown, expected) << rows;
        EXPECT_EQ(t->settings.rows().items(), QString(after).split(u'|'));
    }
}
