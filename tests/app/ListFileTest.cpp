#include "app/ListFile.h"
#include "app/TestFiles.h"
#include "controls/ListBox.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

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

TEST(ListFile, AKillDuringASaveLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("playlist.txt"));
    ListBox old;
    old.addItem(QStringLiteral("old;/old.mp3"));
    ASSERT_TRUE(SaveListToFile(path, old));
    ListBox big;
    for (int i = 0; i < 5000; ++i)
        big.addItem(QStringLiteral("song number %1;/a/long/path/to/song number %1.mp3").arg(i));
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
