#include "app/TestFiles.h"
#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include <QDir>
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QString addedNotice(TestForm& t, int files)
{
    return t->txtFont.text() + QStringLiteral("A</b>dded D</b>ir - F</b>iles:") + QString::number(files);
}

}  // namespace

TEST(AddDir, AddsEveryKindInAnyCaseAndOnlyThoseOnce)
{
    TestForm t;
    QTemporaryDir music;
    ASSERT_TRUE(QDir(music.path()).mkdir(QStringLiteral("inner.mp3")));
    // Each song and the name it is shown under: the kind is cut wherever it
    // stands and each kind in a name gives a line. Duplicates are looked for
    // only among the songs there before (a.wma).
    const QStringList songs = QStringLiteral("a.mp3>a b.asx>b c.asf>c d.wma>d e.wav>e f.cda>f g.flac>g h.ogg>h i.oga>i "
                                             "j.opus>j k.m4a>k l.aac>l LOUD.MP3>LOUD Mixed.FlAc>Mixed a.wma>a "
                                             "list.asx.txt>list.txt mix.WAV.mp3>mix.WAV mix.WAV.mp3>mix.mp3 z;semi.mp3>z;semi")
                                  .split(u' ');
    const QStringList others
        = QStringLiteral("notes.txt clip.mp4 song.mp song_mp3 book.m4b opus x.og a .hidden.mp3").split(u' ');
    QStringList lines;
    for (const QString& song : songs) {
        const QString path = music.filePath(song.section(u'>', 0, 0));
        ASSERT_TRUE(writeFile(path));
        lines << song.section(u'>', 1) + u';' + path;
    }
    for (const QString& file : others)
        ASSERT_TRUE(writeFile(music.filePath(file)));
    t->List1.addItem(QString());
    t->library.AddDir(music.path());
    QStringList added = t->List2.items();
    added.sort();
    lines.sort();
    EXPECT_EQ(added, lines);
    EXPECT_EQ(t->List1.count(), lines.size());

    // Names cut by more than four characters, and names shown only up to a
    // ';', are duplicates all the same.
    t->library.AddDir(music.path());
    EXPECT_EQ(t->List2.count(), lines.size());
    EXPECT_EQ(t.sent, QStringList(2, addedNotice(t, int(lines.size()))));
    // A file is no folder: nothing is added.
    t->library.AddDir(music.filePath(QStringLiteral("a.mp3")));
    EXPECT_EQ(t.sent.last(), t->txtFont.text() + QStringLiteral("E</b>rror D</b>ir I</b>nvalid"));
    EXPECT_EQ(t->List2.count(), lines.size());
}

TEST(AddDir, TheRootKeepsItsSeparatorAsTheDirectoryReportsIt)
{
    // The root is a folder the test makes, taken as the root by a child
    // process, which hands back the playlist lines and the notice.
    QTemporaryDir root;
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Top Song.mp3"))));
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("tmp")));
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chroot(QFile::encodeName(root.path()).constData()) != 0 || chdir("/") != 0)
            _exit(77);
        TestForm t;
        t->library.AddDir(QStringLiteral("/"));
        const QByteArray answer = (t->List2.items() + t.sent).join(u'\n').toUtf8();
        _exit(write(channel[1], answer.constData(), size_t(answer.size())) == answer.size() ? 0 : 1);
    }
    close(channel[1]);
    QFile answer;
    ASSERT_TRUE(answer.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    const QString lines = QString::fromUtf8(answer.readAll());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "making a root of a folder needs root";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    TestForm t;
    EXPECT_EQ(lines.split(u'\n'), QStringList({QStringLiteral("Top Song;//Top Song.mp3"), addedNotice(t, 1)}));
}
