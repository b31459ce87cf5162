#include "app/ListFile.h"
#include "controls/ListBox.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

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
            const rlimit noCore{0, 0};
            const rlimit size{limit, limit};
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

TEST(ListFile, ASaveThatCannotBeWrittenReportsFailure)
{
    ListBox list;
    list.addItem(QStringLiteral("x"));
    EXPECT_FALSE(SaveListToFile(QStringLiteral("/proc/no/such/dir/list.txt"), list));
}
