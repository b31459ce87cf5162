#include "app/ListFile.h"
#include "controls/ListBox.h"
#include "support/QtPrinters.h"
#include "support/SmallDisk.h"

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

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(ListFile, RowsRoundTripWithAnyCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/list.txt");
    ListBox out;
    out.addItems({QStringLiteral("\u00bb caf\u00e9 \u266b \U0001F3B5;/m/\u00e9t\u00e9.mp3"), QStringLiteral("two")});
    ASSERT_TRUE(SaveListToFile(path, out));
    EXPECT_TRUE(readFile(path).endsWith("two\r\n"));
    ListBox in;
    in.addItem(QStringLiteral("stale row"));
    LoadListFromFile(path, in);
    EXPECT_EQ(in.items(), out.items());
}

TEST(ListFile, EmptyLinesAndBareLineFeedsAreHandled)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/list.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a\r\n\r\n\nb\nc");
    file.close();
    ListBox in;
    LoadListFromFile(path, in);
    EXPECT_EQ(in.items(), QStringList({"a", "b", "c"}));
    LoadListFromFile(dir.path() + QStringLiteral("/missing.txt"), in);
    EXPECT_EQ(in.count(), 0);
}

TEST(ListFile, AKillDuringASaveLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/playlist.txt");
    ListBox old;
    old.addItems({QStringLiteral("old;/old.mp3")});
    ASSERT_TRUE(SaveListToFile(path, old));
    const QByteArray oldBytes = readFile(path);

    ListBox big;
    QStringList rows;
    for (int i = 0; i < 5000; ++i)
        rows.append(QStringLiteral("song number %1;/a/long/path/to/the/music/song number %1.mp3").arg(i));
    big.addItems(rows);
    const QString newPath = dir.path() + QStringLiteral("/new.txt");
    ASSERT_TRUE(SaveListToFile(newPath, big));
    const QByteArray newBytes = readFile(newPath);

    // The kernel kills the writer the moment a file it writes would pass
    // the size limit: at its first byte, inside its first block, half-way
    // and one byte short. Each time the old file is left whole.
    const rlim_t full = rlim_t(newBytes.size());
    for (const rlim_t limit : {rlim_t(0), rlim_t(1), rlim_t(5000), full / 2, full - 1}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore {0, 0};
            const rlimit size {limit, limit};
            setrlimit(RLIMIT_CORE, &noCore);
            setrlimit(RLIMIT_FSIZE, &size);
            SaveListToFile(path, big);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "limit " << limit;
        EXPECT_EQ(readFile(path), oldBytes) << "limit " << limit;
    }
    // Without a limit the same save replaces the file whole.
    ASSERT_TRUE(SaveListToFile(path, big));
    EXPECT_EQ(readFile(path), newBytes);
}

// The disk fills up while the list is written: the save says it failed, and
// the file keeps what it held, whether the disk had a little room or none.
TEST(ListFile, AFullDiskLeavesThePreviousFileWhole)
{
    for (const qint64 room : {8192, 0}) {
        SCOPED_TRACE(room);
        SmallDisk disk;
        if (!disk.mounted())
            GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
        const QString path = disk.path() + QStringLiteral("/playlist.txt");
        ListBox old;
        old.addItem(QStringLiteral("old;/old.mp3"));
        ASSERT_TRUE(SaveListToFile(path, old));

        QFile filler(disk.path() + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray page(4096, 'f');
        for (qint64 left = 64 * 1024 - 4096 - room; left > 0 && filler.write(page) == page.size();)
            left -= page.size();
        filler.close();

        ListBox big;
        QStringList rows;
        for (int i = 0; i < 600; ++i)
            rows.append(QStringLiteral("song %1;/home/me/Music/a folder/song %1.mp3").arg(i));
        big.addItems(rows);
        QString reason;
        EXPECT_FALSE(SaveListToFile(path, big, &reason));
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_EQ(readFile(path), "old;/old.mp3\r\n");
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files),
                  (QStringList {QStringLiteral("filler"), QStringLiteral("playlist.txt")}));
    }
    ListBox list;
    QString reason;
    EXPECT_FALSE(SaveListToFile(QStringLiteral("/proc/no/such/dir/list.txt"), list, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

// A folder that takes no new file (so no temporary file beside the target)
// but holds a writable file: the save goes into the file itself. Root
// writes anywhere, so as root the save runs as an unprivileged user.
TEST(ListFile, AReadOnlyFolderWithAWritableFileTakesTheSaveInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/settings.quillon");
    ListBox old;
    old.addItem(QStringLiteral("[loads]:2"));
    ASSERT_TRUE(SaveListToFile(path, old));
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), nobody, nobody), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);

    ListBox now;
    now.addItems({QStringLiteral("[font]:<b>"), QStringLiteral("[loads]:3")});
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            _exit(2);
        _exit(SaveListToFile(path, now) ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readFile(path), "[font]:<b>\r\n[loads]:3\r\n");
}
