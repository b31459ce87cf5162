// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListFile.h"
#include "app/AppTest.h"
#include "app/HeadlessFrontEnd.h"
#include "app/SavedList.h"
#include "controls/LogLine.h"
#include "controls/TextList.h"
#include "support/TestState.h"

#include "chatlink/AnsiText.h"

#include <QLoggingCategory>
#include <QTemporaryFile>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

TEST(ListFile, AKillDuringASaveLeavesTheOldFileWholeAndAFolderThatTakesNoFileTakesTheSaveInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("playlist.txt"));
    ASSERT_TRUE(writeFile(path, "old;/old.mp3\r\n"));
    TextList big;
    for (int i = 0; i < 5000; ++i)
        big.addItem(QStringLiteral("song number %1;/a/long/path/to/song number %1.mp3").arg(i));
    const auto full = rlim_t(big.items().join(QStringLiteral("\r\n")).size() + 2);

    // The kernel kills the writer the moment a file it writes would pass
    // the size limit: at its first byte, inside its first block, half-way
    // and one byte short. Each time the old file is left whole.
    for (const rlim_t limit : {rlim_t(0), rlim_t(5000), full / 2, full - 1}) {
        const int status = inChild([&] {
            const rlimit noCore {0, 0}, size {limit, limit};
            setrlimit(RLIMIT_CORE, &noCore);
            setrlimit(RLIMIT_FSIZE, &size);
            return saveListFile(path, big) ? 0 : 1;
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "limit " << limit;
        EXPECT_EQ(readFile(path), "old;/old.mp3\r\n") << "limit " << limit;
    }

    // A folder that takes no new file (so no temporary file beside the
    // target) but holds a writable file: the save goes into the file itself.
    // Root writes anywhere, so as root the save runs as an unprivileged user.
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    for (const QString& owned : {dir.path(), path})
        ASSERT_TRUE(!root || ::chown(QFile::encodeName(owned).constData(), nobody, nobody) == 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);

    const int status = inChild([&] {
        if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            return 2;
        return saveListFile(path, big) ? 0 : 1;
    });
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readFile(path), big.items().join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

// Lines of UTF-8 and of Windows-1252 mixed, as a playlist kept for years
// holds them: each is read on its own, so after a change and a save every
// row nobody touched reads as it did, and every UTF-8 line is the same bytes.
TEST(ListFile, EachLineIsReadOnItsOwnAndComesBackAsItWas)
{
    static const QList<QByteArray> pieces {
        "Bj\xc3\xb6rk", "caf\xe9", "\xc2\xbb", "\xbb",         ";",    "/m/x.mp3", "\xf0\x9f\x8e\xb5",
        "\x80\x99",     "\xc3",    " ",        "\xe2\x82\xac", "a\rb", "\xff\xfe", "\t"};
    std::mt19937 random(23);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("playlist.txt"));
    for (int round = 0; round < 200; ++round) {
        QList<QByteArray> lines;
        for (int n = 1 + pick(8); n > 0; --n) {
            QByteArray line = "song";
            for (int k = pick(5); k > 0; --k)
                line += pieces[pick(int(pieces.size()))];
            lines.append(line);
        }
        ASSERT_TRUE(writeFile(path, lines.join("\r\n") + (pick(2) ? "\r\n" : "\n")));
        TextList list;
        loadListFile(path, list);
        ASSERT_EQ(list.count(), lines.size());
        const int changed = pick(int(lines.size()));
        const int selected = pick(int(lines.size()));
        ASSERT_TRUE(list.selectRow(selected));
        list.removeItem(changed);
        // The selection stays on its row, or goes with it.
        EXPECT_EQ(list.selectedRow(), selected == changed ? -1 : selected - int(changed < selected));
        lines.removeAt(changed);
        ASSERT_TRUE(saveListFile(path, list));
        TextList again;
        loadListFile(path, again);
        EXPECT_EQ(again.items(), list.items());
        const QList<QByteArray> written = readFile(path).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const std::string old = lines[i].toStdString();
            const QByteArray expected = lines[i].isValidUtf8() ? lines[i] : AnsiText::fromAnsi(old).toUtf8();
            EXPECT_EQ(written.value(i), expected + '\r') << "round " << round << " line " << i;
        }
    }
}

// A burst of changes is one write, a list at rest none, and a write that
// keeps failing is shown once until one succeeds.
TEST(SavedList, WritesABurstOnceAndShowsAFailureOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("playlist.txt"));
    TextList list;
    FakeUserInterface ui;
    SavedList saved(list, path, ui);
    list.addItem(QStringLiteral("a;/a.mp3"));
    list.addItem(QStringLiteral("b;/b.mp3"));
    EXPECT_TRUE(saved.saveTimer().isActive());
    EXPECT_EQ(saved.saveTimer().interval(), SavedList::kDelayMs);
    EXPECT_FALSE(QFile::exists(path));
    saved.writeIfChanged();
    EXPECT_EQ(readFile(path), "a;/a.mp3\r\nb;/b.mp3\r\n");
    ASSERT_TRUE(QFile::remove(path));
    saved.writeIfChanged();
    EXPECT_FALSE(QFile::exists(path));

    // Just written: the next write keeps its distance.
    list.addItem(QStringLiteral("c;/c.mp3"));
    EXPECT_GT(saved.saveTimer().interval(), SavedList::kDelayMs);
    saved.markSaved();
    EXPECT_FALSE(saved.saveTimer().isActive());

    ASSERT_TRUE(QDir().mkdir(path));  // a folder where the file should be
    for (int i = 0; i < 2; ++i) {
        list.addItem(QStringLiteral("d;/d.mp3"));
        saved.writeIfChanged();
    }
    ASSERT_TRUE(QDir().rmdir(path));
    list.addItem(QStringLiteral("e;/e.mp3"));
    saved.writeIfChanged();
    list.addItem(QStringLiteral("f;/f.mp3"));
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    saved.writeIfChanged();
    ASSERT_EQ(ui.notWritten.size(), 2);
    EXPECT_TRUE(ui.notWritten[0].startsWith(QStringLiteral("Cannot write ") + path));
}

namespace {
Q_LOGGING_CATEGORY(lcOwn, "quillon.test")
Q_LOGGING_CATEGORY(lcForeign, "qt.test")
}  // namespace

// What the program says is written as said, debug lines and others'
// lines name their category; on the journal's own stream each line leads
// with its level, on a stream that only inherited the journal's name none
// does.
TEST(LogLine, OwnLinesAsSaidOthersWithTheirCategoryAndTheLevelOnlyOnTheJournalsOwnStream)
{
    installLogHandler();
    qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    struct stat st { };
    ASSERT_EQ(::fstat(file.handle(), &st), 0);
    std::fflush(stderr);
    const int terminal = ::dup(STDERR_FILENO);
    ASSERT_EQ(::dup2(file.handle(), STDERR_FILENO), STDERR_FILENO);
    const auto logged = [&](const QByteArray& device, const QByteArray& inode) {
        qputenv("JOURNAL_STREAM", device + ':' + inode);
        file.resize(0);
        ::lseek(STDERR_FILENO, 0, SEEK_SET);
        qCWarning(lcOwn) << "quillon: careful";
        // A line may end in a blank, which stays.
        qCInfo(lcOwn).nospace().noquote() << QStringLiteral("toc: joined ");
        qCDebug(lcOwn) << "traced";
        qCCritical(lcForeign) << "broke";
        // A box said in the terminal is an error when it is critical, else
        // a warning; an input box is answered with its default.
        HeadlessFrontEnd ui;
        ui.messageBox(QStringLiteral("gone"), {}, UserInterface::Icon::Critical);
        ui.messageBox(QStringLiteral("odd"), QStringLiteral("Notice"), UserInterface::Icon::None);
        QString answer;
        ui.inputBox(QStringLiteral("Enter Directory"), QStringLiteral("DIR"), QStringLiteral("x"),
                    [&](const QString& typed) { answer = typed; });
        EXPECT_EQ(answer, "x");
        return readFile(file.fileName());
    };
    const QByteArray device = QByteArray::number(qulonglong(st.st_dev));
    const QByteArray inode = QByteArray::number(qulonglong(st.st_ino));
    const QByteArray journal = logged(device, inode);
    const QByteArray inherited = logged(device, QByteArray::number(qulonglong(st.st_ino) + 1));
    const QByteArray otherDevice = logged(QByteArray::number(qulonglong(st.st_dev) + 1), inode);
    qunsetenv("JOURNAL_STREAM");
    ::dup2(terminal, STDERR_FILENO);
    ::close(terminal);
    qSetMessagePattern(QString());

    const QByteArray lines = "quillon: careful\ntoc: joined \nquillon.test: traced\nqt.test: broke\nQuillon: gone\n"
                             "Notice: odd\nDIR: Enter Directory (answered: \"x\")\n";
    EXPECT_EQ(inherited, lines);
    EXPECT_EQ(otherDevice, lines);
    EXPECT_EQ(journal,
              "<4>quillon: careful\n<6>toc: joined \n<7>quillon.test: traced\n<3>qt.test: broke\n"
              "<3>Quillon: gone\n<4>Notice: odd\n<6>DIR: Enter Directory (answered: \"x\")\n");
}
