#include "app/ListFile.h"
#include "controls/ListBox.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
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

TEST(ListFile, AFileThatIsNotUtf8IsReadAsWindows1252)
{
    EXPECT_EQ(decodeListText("\xbb <u>Playing</u> \x80\x99"), QStringLiteral("\u00bb <u>Playing</u> \u20ac\u2122"));
    EXPECT_EQ(decodeListText("\xc2\xbb ok"), QStringLiteral("\u00bb ok"));
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
    for (int i = 0; i < 400000; ++i)
        rows.append(QStringLiteral("song number %1;/a/long/path/to/the/music/song number %1.mp3").arg(i));
    big.addItems(rows);

    // Kill the writer at several moments; whatever the moment, the file is
    // the old one or the new one, never a cut one.
    for (int delayUs : {0, 2000, 20000, 60000}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveListToFile(path, big);
            _exit(0);
        }
        usleep(delayUs);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QByteArray now = readFile(path);
        if (now != oldBytes) {
            EXPECT_TRUE(now.endsWith("song number 399999.mp3\r\n")) << "cut after " << now.size() << " bytes";
            ASSERT_TRUE(SaveListToFile(path, old));
        }
    }
}

TEST(ListFile, ASaveThatCannotBeWrittenReportsFailure)
{
    ListBox list;
    list.addItem(QStringLiteral("x"));
    EXPECT_FALSE(SaveListToFile(QStringLiteral("/proc/no/such/dir/list.txt"), list));
}
