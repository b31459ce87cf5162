#include "app/ListFile.h"
#include "app/SavedList.h"
#include "app/TestFiles.h"
#include "controls/ListBox.h"
#include "support/QtPrinters.h"
#include "support/SmallDisk.h"
#include "support/TestState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

void fill(ListBox& list, int count, const QString& row)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(row.arg(i));
    list.addItems(texts);
}

// Runs the save in a child process and answers its wait status.
template <typename Save> int inChild(Save save)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(save());
    int status = -1;
    waitpid(child, &status, 0);
    return status;
}

}  // namespace

TEST(ListFile, RowsRoundTripWithAnyCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ListBox out;
    out.addItems({QStringLiteral("\u00bb caf\u00e9 \u266b \U0001F3B5;/m/\u00e9t\u00e9.mp3"), QStringLiteral("two")});
    ASSERT_TRUE(SaveListToFile(path, out));
    EXPECT_TRUE(readFile(path).endsWith(";/m/\xc3\xa9t\xc3\xa9.mp3\r\ntwo\r\n"));
    ListBox in;
    in.addItem(QStringLiteral("stale row"));
    LoadListFromFile(path, in);
    EXPECT_EQ(in.items(), out.items());
}

TEST(ListFile, AKillDuringASaveLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("playlist.txt"));
    ListBox old;
    old.addItem(QStringLiteral("old;/old.mp3"));
    ASSERT_TRUE(SaveListToFile(path, old));
    ListBox big;
    fill(big, 5000, QStringLiteral("song number %1;/a/long/path/to/song number %1.mp3"));
    const QString newPath = dir.filePath(QStringLiteral("new.txt"));
    ASSERT_TRUE(SaveListToFile(newPath, big));
    const rlim_t full = rlim_t(readFile(newPath).size());

    // The kernel kills the writer the moment a file it writes would pass
    // the size limit: at its first byte, inside its first block, half-way
    // and one byte short. Each time the old file is left whole.
    for (const rlim_t limit : {rlim_t(0), rlim_t(5000), full / 2, full - 1}) {
        const int status = inChild([&] {
            const rlimit noCore {0, 0}, size {limit, limit};
            setrlimit(RLIMIT_CORE, &noCore);
            setrlimit(RLIMIT_FSIZE, &size);
            return SaveListToFile(path, big) ? 0 : 1;
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "limit " << limit;
        EXPECT_EQ(readFile(path), "old;/old.mp3\r\n") << "limit " << limit;
    }
}

// The disk fills up while the list is written: the save says it failed and
// why, and the file keeps what it held. (A disk with no room at all is
// tried through the whole program.)
TEST(ListFile, AFullDiskLeavesThePreviousFileWhole)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const QString path = disk.path() + QStringLiteral("/playlist.txt");
    ListBox old;
    old.addItem(QStringLiteral("old;/old.mp3"));
    ASSERT_TRUE(SaveListToFile(path, old));
    QFile filler(disk.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    ASSERT_EQ(filler.write(QByteArray(52 * 1024, 'f')), 52 * 1024);  // leaves 8 KiB
    filler.close();

    ListBox big;
    fill(big, 600, QStringLiteral("song %1;/home/me/Music/song %1.mp3"));
    QString reason;
    EXPECT_FALSE(SaveListToFile(path, big, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(readFile(path), "old;/old.mp3\r\n");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList({"filler", "playlist.txt"}));
}

// A folder that takes no new file (so no temporary file beside the target)
// but holds a writable file: the save goes into the file itself. Root
// writes anywhere, so as root the save runs as an unprivileged user.
TEST(ListFile, AReadOnlyFolderWithAWritableFileTakesTheSaveInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.quillon"));
    ListBox now;
    now.addItems({QStringLiteral("[font]:<b>"), QStringLiteral("[loads]:3")});
    ASSERT_TRUE(SaveListToFile(path, ListBox()));
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    for (const QString& owned : {dir.path(), path})
        ASSERT_TRUE(!root || ::chown(QFile::encodeName(owned).constData(), nobody, nobody) == 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);

    const int status = inChild([&] {
        if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            return 2;
        return SaveListToFile(path, now) ? 0 : 1;
    });
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readFile(path), "[font]:<b>\r\n[loads]:3\r\n");
}

struct SavedListTest : testing::Test {
    QTemporaryDir dir;
    ListBox list;
    FakeUserInterface ui;
    SavedList saved {list, dir.path() + QStringLiteral("/sub/playlist.txt"), ui};
};

TEST_F(SavedListTest, ABurstOfChangesIsWrittenOnceAFewSecondsLaterAndAListAtRestNever)
{
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sub")));
    EXPECT_FALSE(saved.tmrSave.isActive());
    for (int i = 0; i < 50; ++i)
        list.addItem(QString::number(i));
    list.removeItem(0);
    ASSERT_TRUE(saved.tmrSave.isActive());
    EXPECT_EQ(saved.tmrSave.interval(), SavedList::kDelayMs);
    EXPECT_EQ(readFile(saved.path()), "(none)");

    saved.tmrSave_Timer();
    EXPECT_TRUE(readFile(saved.path()).startsWith("1\r\n2\r\n"));

    // Nothing changed since: no write, and no timer running.
    QFile::remove(saved.path());
    saved.tmrSave_Timer();
    EXPECT_EQ(readFile(saved.path()), "(none)");
    EXPECT_FALSE(saved.tmrSave.isActive());

    // A change soon after a write waits out the rest of the five seconds.
    list.clear();
    ASSERT_TRUE(saved.tmrSave.isActive());
    EXPECT_GT(saved.tmrSave.interval(), SavedList::kGapMs - 1000);
    saved.tmrSave_Timer();
    EXPECT_EQ(readFile(saved.path()), "");
}

TEST_F(SavedListTest, AFailedWriteIsToldOnceUntilAWriteSucceedsAgain)
{
    list.addItem(QStringLiteral("a;/a.mp3"));
    EXPECT_FALSE(saved.save());
    list.addItem(QStringLiteral("b;/b.mp3"));
    saved.tmrSave_Timer();
    ASSERT_EQ(ui.notWritten.size(), 1);
    EXPECT_TRUE(ui.notWritten[0].startsWith(QStringLiteral("Cannot write ") + saved.path() + QStringLiteral(": ")));

    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sub")));
    EXPECT_TRUE(saved.save());
    EXPECT_EQ(readFile(saved.path()), "a;/a.mp3\r\nb;/b.mp3\r\n");
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/sub")).removeRecursively());
    EXPECT_FALSE(saved.save());
    EXPECT_EQ(ui.notWritten.size(), 2);
}
