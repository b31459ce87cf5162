#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include <QDir>
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path, qint64 size = 0)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    if (size > 0)
        file.resize(size);
}

struct MusicDir {
    QTemporaryDir dir;
    QString add(const QString& name)
    {
        touch(dir.path() + u'/' + name);
        return dir.path() + u'/' + name;
    }
};

QString addedNotice(TestForm& t, int files)
{
    return t->txtFont.text() + QStringLiteral("A</b>dded D</b>ir - F</b>iles:") + QString::number(files);
}

}  // namespace

TEST(AddDir, AddsAudioFilesByNameAndPathAndPostsThePlaylistSize)
{
    TestForm t;
    MusicDir music;
    music.add(QStringLiteral("song.mp3"));
    music.add(QStringLiteral("notes.txt"));
    t->library.AddDir(music.dir.path());
    EXPECT_EQ(t->List2.items(), QStringList {QStringLiteral("song;") + music.dir.path() + QStringLiteral("/song.mp3")});
    EXPECT_EQ(t->List1.items(), QStringList {"song"});
    EXPECT_EQ(t.sent, QStringList {addedNotice(t, 1)});
}

TEST(AddDir, DuplicatesAreTestedOnlyAgainstSongsThatWereThereBefore)
{
    TestForm t;
    MusicDir music;
    music.add(QStringLiteral("tune.mp3"));
    music.add(QStringLiteral("tune.wma"));
    t->library.AddDir(music.dir.path());
    EXPECT_EQ(t->List1.items(), QStringList({"tune", "tune"}));
    t->library.AddDir(music.dir.path());
    EXPECT_EQ(t->List2.count(), 2);
    EXPECT_EQ(t.sent.last(), addedNotice(t, 2));
}

TEST(AddDir, AddsEveryKindInAnyCaseAndOnlyThoseOnce)
{
    TestForm t;
    MusicDir music;
    // Each file and the name it is shown under; none for a file that is no song.
    const std::pair<const char*, const char*> files[] = {
        {"a.mp3", "a"},
        {"b.asx", "b"},
        {"c.asf", "c"},
        {"d.wma", "d"},
        {"e.wav", "e"},
        {"f.cda", "f"},
        {"g.flac", "g"},
        {"h.ogg", "h"},
        {"i.oga", "i"},
        {"j.opus", "j"},
        {"k.m4a", "k"},
        {"l.aac", "l"},
        {"LOUD.MP3", "LOUD"},
        {"Mixed.FlAc", "Mixed"},
        {"list.asx.txt", "list.txt"},  // the kind may stand anywhere in the name
        {"notes.txt", nullptr},
        {"clip.mp4", nullptr},
        {"song.mp", nullptr},
        {"song_mp3", nullptr},
        {"cover.jpg", nullptr},
        {"book.m4b", nullptr},
        {"opus", nullptr},
        {"x.og", nullptr},
    };
    QStringList lines;
    for (const auto& [file, shown] : files) {
        const QString path = music.add(QLatin1String(file));
        if (shown)
            lines << QLatin1String(shown) + u';' + path;
    }
    t->library.AddDir(music.dir.path());
    QStringList added = t->List2.items();
    added.sort();
    lines.sort();
    EXPECT_EQ(added, lines);

    // Names cut by more than four characters are duplicates all the same.
    t->library.AddDir(music.dir.path());
    EXPECT_EQ(t->List2.count(), lines.size());
    EXPECT_EQ(t.sent.last(), addedNotice(t, int(lines.size())));
}

TEST(AddDir, ANameWithTwoKindsGivesTwoLinesEachWithItsKindRemoved)
{
    TestForm t;
    MusicDir music;
    const QString path = music.add(QStringLiteral("mix.WAV.mp3"));
    t->library.AddDir(music.dir.path());
    EXPECT_EQ(t->List2.items(), QStringList({QStringLiteral("mix.WAV;") + path, QStringLiteral("mix.mp3;") + path}));
}

TEST(AddDir, ShortNamesHiddenFilesAndSubdirectoriesDoNotStopTheScan)
{
    TestForm t;
    MusicDir music;
    music.add(QStringLiteral("a"));
    music.add(QStringLiteral(".hidden.mp3"));
    QDir(music.dir.path()).mkdir(QStringLiteral("inner.mp3"));
    music.add(QStringLiteral("z;semi.mp3"));
    t->List1.addItem(QString());
    t->library.AddDir(music.dir.path());
    ASSERT_EQ(t->List2.count(), 1);
    EXPECT_TRUE(t->List2.item(0).startsWith(QStringLiteral("z;semi;")));
    EXPECT_EQ(t->List1.items(), QStringList {"z"});
}

TEST(AddDir, AnInvalidDirectoryChangesNothing)
{
    TestForm t;
    t->List2.addItem(QStringLiteral("keep;/keep.mp3"));
    t->library.addSongs();
    MusicDir music;
    const QString file = music.add(QStringLiteral("file.mp3"));
    for (const QString& dir : {QString(), file, music.dir.path() + QStringLiteral("/missing")}) {
        t->library.AddDir(dir);
        EXPECT_EQ(t.sent.last(), t->txtFont.text() + QStringLiteral("E</b>rror D</b>ir I</b>nvalid"));
    }
    EXPECT_EQ(t->List2.items(), QStringList {"keep;/keep.mp3"});
}

TEST(AddDir, TheRootKeepsItsSeparatorAsTheDirectoryReportsIt)
{
    // The root is a folder the test makes, taken as the root by a child
    // process, which hands back the playlist lines and the notice.
    QTemporaryDir root;
    touch(root.filePath(QStringLiteral("Top Song.mp3")));
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("tmp")));
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
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
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "making a root of a folder needs root";
    ASSERT_EQ(WEXITSTATUS(status), 0);
    TestForm t;
    EXPECT_EQ(lines.split(u'\n'), QStringList({QStringLiteral("Top Song;//Top Song.mp3"), addedNotice(t, 1)}));
}

TEST(Playlist, MoreThan32767EntriesSurviveASaveAndALoad)
{
    TestForm t;
    QStringList lines;
    for (int i = 0; i < 40000; ++i)
        lines.append(QStringLiteral("song %1;/music/song %1.mp3").arg(i));
    t->List2.addItems(lines);
    t->Form_Unload();
    t.reset();
    t->Form_Load();
    EXPECT_EQ(t->List2.count(), 40000);
    EXPECT_EQ(t->List1.item(39999), "song 39999");
    t->List1.setListIndex(39999);
    t->rem_Click();
    EXPECT_EQ(t->List2.count(), 39999);
}
