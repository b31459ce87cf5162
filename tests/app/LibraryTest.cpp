// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTest.h"
#include "support/TestForm.h"

#include <QScopeGuard>

#include <cstdio>

TEST(addFolder, AddsEveryKindInAnyCaseAndOnlyThoseOnce)
{
    TestForm t;
    QTemporaryDir music;
    ASSERT_TRUE(QDir(music.path()).mkdir(QStringLiteral("inner.mp3")));
    // Each file and the name it is shown under (none: not added): the kind
    // is cut wherever it stands and each kind in a name gives a line.
    // Duplicates are looked for only among the songs there before (a.wma).
    const QStringList files
        = QStringLiteral("a.mp3>a b.asx>b c.asf>c d.wma>d e.wav>e f.cda>f g.flac>g h.ogg>h i.oga>i j.opus>j k.m4a>k "
                         "l.aac>l LOUD.MP3>LOUD Mixed.FlAc>Mixed a.wma>a list.asx.txt>list.txt mix.WAV.mp3>mix.WAV "
                         "mix.WAV.mp3>mix.mp3 z;semi.mp3>z;semi notes.txt clip.mp4 song.mp song_mp3 book.m4b opus "
                         "x.og a .hidden.mp3")
              .split(u' ');
    QStringList lines;
    for (const QString& file : files) {
        const QString path = music.filePath(file.section(u'>', 0, 0));
        ASSERT_TRUE(writeFile(path));
        if (file.contains(u'>'))
            lines << file.section(u'>', 1) + u';' + path;
    }
    // Names a playlist line cannot hold are left out, each said once.
    const auto odd = {"new\nline.wav", "a tab\t.mp3", "del\x7f.mp3", "caf\xe9.mp3", "caf\xe9.txt"};
    const auto oddPath = [&](const char* name) { return QFile::encodeName(music.path()) + '/' + name; };
    // A name that is no UTF-8 cannot be removed through a QString: the
    // temporary folder would outlive the test.
    const auto removeOdd = qScopeGuard([&] {
        for (const char* name : odd)
            std::remove(oddPath(name).constData());
    });
    for (const char* name : odd)
        ASSERT_TRUE(std::fclose(std::fopen(oddPath(name).constData(), "w")) == 0);
    // A row with an empty name, which no file may match.
    t->library.playlist().addItem(QString());
    lines.prepend(QString());
    testing::internal::CaptureStderr();
    t->library.addFolder(music.path());
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_THAT(t->library.playlist().items(), testing::UnorderedElementsAreArray(lines));
    EXPECT_EQ(t->library.playlist().count(), lines.size());
    EXPECT_EQ(said.count(QStringLiteral("not added")), 4) << qPrintable(said);
    for (const char* shown : {"/new\\x0aline.wav", "/a tab\\x09.mp3", "/del\\x7f.mp3", "/caf\\xe9.mp3"})
        EXPECT_TRUE(said.contains(QLatin1String(shown))) << shown;

    // Names cut by more than four characters, and names shown only up to a
    // ';', are duplicates all the same.
    t->library.addFolder(music.path());
    EXPECT_EQ(t->library.playlist().count(), lines.size());
    EXPECT_EQ(t.sent,
              QStringList(
                  2, t->templates.font.text() + QStringLiteral("A</b>dded D</b>ir - F</b>iles:%1").arg(lines.size())));
    // A file is no folder: nothing is added.
    t->library.addFolder(music.filePath(QStringLiteral("a.mp3")));
    EXPECT_EQ(t.sent.last(), t->templates.font.text() + QStringLiteral("E</b>rror D</b>ir I</b>nvalid"));
    EXPECT_EQ(t->library.playlist().count(), lines.size());
}

// The root is a folder the test makes, taken as the root by a child process,
// which leaves the playlist in a file there.
TEST(addFolder, TheRootKeepsItsSeparatorAsTheDirectoryReportsIt)
{
    QTemporaryDir root;
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Top Song.mp3"))));
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("tmp")));
    const int status = inChild([&] {
        if (chroot(QFile::encodeName(root.path()).constData()) != 0 || chdir("/") != 0)
            return 77;
        TestForm t;
        t->library.addFolder(QStringLiteral("/"));
        return writeFile(QStringLiteral("/answer"), t->library.playlist().items().join(u'\n').toUtf8()) ? 0 : 1;
    });
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "making a root of a folder needs root";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(root.filePath(QStringLiteral("answer"))), "Top Song;//Top Song.mp3");
}

// One file or station at a time, from the desktop or the Add Files box: a
// station's ";" is kept as %3B so the row splits where it should, nothing
// comes in twice, and what is neither a regular file nor an http(s)
// address is refused (the box says so).
TEST(AddEntry, TakesOneFileOrStationOnceAndKeepsItsRowWhole)
{
    TestForm t;
    QTemporaryDir music;
    // The first kind listed is cut out of a file's name, wherever it stands.
    const QString song = music.filePath(QStringLiteral("Mix.WAV.flac"));
    ASSERT_TRUE(writeFile(song));
    ASSERT_EQ(mkfifo(QFile::encodeName(music.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600), 0);
    const struct {
        QString location;
        const char* name;
    } cases[] = {
        {song, "Mix.flac"},
        {song, "Mix.flac"},
        {music.filePath(QStringLiteral("pipe.mp3")), ""},
        {music.path(), ""},
        {"https://radio.example.org:8443/jazz.mp3?sid=1;x", "jazz"},
        {"HTTP://radio.example.org", "radio.example.org"},
        {"https://radio.example.org/jazz.mp3?sid=1;x", "jazz"},
        {"https://radio.example.org/two%0Alines", "two lines"},
        {"http://", ""},
        {"http://bad host/", ""},
        {"/no/such/file.mp3", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t->library.addEntry(c.location), c.name) << c.location.toStdString();
    EXPECT_EQ(
        t->library.playlist().items(),
        (QStringList {"Mix.flac;" + song, "jazz;https://radio.example.org:8443/jazz.mp3?sid=1%3Bx",
                      "radio.example.org;http://radio.example.org", "jazz;https://radio.example.org/jazz.mp3?sid=1%3Bx",
                      "two lines;https://radio.example.org/two%0Alines"}));
    EXPECT_EQ(t->library.playlist().names(),
              (QStringList {"Mix.flac", "jazz", "radio.example.org", "jazz", "two lines"}));

    t.ui.inputAnswer = QStringLiteral(" http://other.example.org/live ");
    t->addFolderOrStream();
    EXPECT_EQ(t->library.playlist().items().last(), "live;http://other.example.org/live");
    t.ui.inputAnswer = QStringLiteral("https://");
    t->addFolderOrStream();
    EXPECT_EQ(t.ui.messages, QStringList {"Not a stream address: https://"});
    EXPECT_EQ(t.sent, QStringList());
}
