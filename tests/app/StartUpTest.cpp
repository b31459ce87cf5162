#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include "app/ListFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(StartUp, FirstAndSecondStartCountLoadsAndSpellThemInTheStartLine)
{
    TestForm t;
    t->Form_Load();
    EXPECT_EQ(readFile(t.paths.playlistFile()), "");
    EXPECT_EQ(t->txtLoads.text(), "1");
    ASSERT_EQ(t.sent.size(), 1);
    EXPECT_EQ(t.sent[0],
              t->txtFont.text() + QStringLiteral("quillon\u00b3\u00b7\u00b2 <i>(</i> ") + MainForm::webAddress()
                  + QStringLiteral(" <i>) loads: One   ; files: "));
    t->Form_Unload();
    EXPECT_EQ(readFile(t.paths.settingsFile()), "[loads]:2\r\n");

    t.reset();
    t->Form_Load();
    EXPECT_EQ(t->txtLoads.text(), "2");
    EXPECT_TRUE(t.sent[0].contains(QStringLiteral(" loads: Two   ; files: ")));
    t->Form_Unload();
    EXPECT_EQ(readFile(t.paths.settingsFile()), "[loads]:3\r\n");
}

TEST(StartUp, StartLineCountsThePlaylistInWords)
{
    TestForm t;
    writeFile(t.paths.playlistFile(), "a;/m/a.mp3\r\n\r\nb;/m/b.mp3\r\nc;/m/c.mp3\r\n");
    t->Form_Load();
    EXPECT_EQ(t->List1.items(), QStringList({"a", "b", "c"}));
    EXPECT_TRUE(t.sent[0].endsWith(QStringLiteral(" ; files: Three  ")));
}

TEST(StartUp, FilesMadeOnWindowsKeepTheirCharactersAndAreWrittenBackAsUtf8)
{
    TestForm t;
    writeFile(t.paths.playlistFile(), "caf\xe9;/m/caf\xe9.mp3\r\n\x80 \x99;/m/e.mp3\r\n");
    writeFile(t.paths.settingsFile(), "[playing]:\xbb <u>Playing</u> %s\r\n[loads]:4\r\n");
    t->Form_Load();
    EXPECT_EQ(t->List1.items(), QStringList({"caf\u00e9", "\u20ac \u2122"}));
    EXPECT_EQ(t->List2.item(0), "caf\u00e9;/m/caf\u00e9.mp3");
    EXPECT_EQ(t->txtPlaying.text(), "\u00bb <u>Playing</u> %s");
    t->Form_Unload();
    EXPECT_EQ(readFile(t.paths.playlistFile()),
              "caf\xc3\xa9;/m/caf\xc3\xa9.mp3\r\n\xe2\x82\xac \xe2\x84\xa2;/m/e.mp3\r\n");
    EXPECT_EQ(readFile(t.paths.settingsFile()), "[playing]:\xc2\xbb <u>Playing</u> %s\r\n[loads]:5\r\n");
}

TEST(StartUp, WithoutAChatWindowOrWithAMisnamedPlaylistTheDefaultsHold)
{
    TestForm t;
    writeFile(t.paths.programDir + QStringLiteral("/Playlist.txt"), "x;/x.mp3\r\n");
    t->Form_Load();
    EXPECT_EQ(t->txtafont.text(), "</font>");
    EXPECT_EQ(t->txtNumber.text(), "kkk");
    EXPECT_EQ(t.ui.events.first(), "tray+");
    // Only a file named exactly "playlist.txt" is the playlist.
    EXPECT_EQ(t->List2.count(), 0);
    EXPECT_TRUE(QFile::exists(t.paths.playlistFile()));
}

TEST(ShutDown, WritesBothFilesRemovesTheTrayAndPostsTheUnloadLineOnce)
{
    TestForm t;
    t->Form_Load();
    t->List2.addItem(QStringLiteral("song;/music/song.mp3"));
    t.sent.clear();
    t->Form_Unload();
    t->Form_Unload();
    EXPECT_EQ(readFile(t.paths.playlistFile()), "song;/music/song.mp3\r\n");
    EXPECT_EQ(t.sent,
              QStringList {t->txtFont.text() + QStringLiteral("<i>(</i> quillon\u00b3\u00b7\u00b2 <i>) unloaded.")});
    EXPECT_EQ(t.ui.events.count(QStringLiteral("tray-")), 1);
    EXPECT_EQ(t.ui.events.count(QStringLiteral("end")), 1);
    EXPECT_TRUE(t.ui.events.indexOf(QStringLiteral("tray-")) < t.ui.events.indexOf(QStringLiteral("end")));
}

TEST(ShutDown, ClosingAnimationEndsEvenWhenTheWindowRefusesToGrow)
{
    TestForm t;
    t.ui.geometry = 8000;
    t->Form_Unload();
    EXPECT_EQ(t.ui.geometry, 8600);

    TestForm refused;
    refused.ui.refuseGeometry = true;
    refused.ui.geometry = 0;
    refused->Form_Unload();
    EXPECT_LE(refused.ui.geometryWrites, 100);
    EXPECT_GT(refused.ui.geometryWrites, 0);
}

TEST(Handlers, ClearListPostsAndEmptiesBothLists)
{
    TestForm t;
    t->Form_Load();
    t.sent.clear();
    t->clearList_Click();
    EXPECT_EQ(t.sent, QStringList {t->txtFont.text() + QStringLiteral("</b></i>playlist cleared")});
    t->List2.addItem(QStringLiteral("a;/a.mp3"));
    t->List1.addItem(QStringLiteral("a"));
    t->clearList_Click();
    EXPECT_EQ(t->List1.count() + t->List2.count(), 0);
    t->Form_Unload();
    EXPECT_EQ(readFile(t.paths.playlistFile()), "");
}

TEST(Handlers, RemoveTakesTheSelectedRowFromBothListsAndIgnoresNoSelection)
{
    TestForm t;
    t->List2.addItems({"a;/a.mp3", "b;/b.mp3", "c;/c.mp3"});
    t->library.addSongs();
    t->rem_Click();
    EXPECT_EQ(t->List2.count(), 3);
    t->List1.setListIndex(1);
    t->rem_Click();
    EXPECT_EQ(t->List1.items(), QStringList({"a", "c"}));
    EXPECT_EQ(t->List2.items(), QStringList({"a;/a.mp3", "c;/c.mp3"}));
}

TEST(Handlers, AddOneFileOnlyShowsThePathAndAddFilesTakesADirectory)
{
    TestForm t;
    t.ui.fileAnswer = QStringLiteral("/music/one.mp3");
    t->add1_Click();
    EXPECT_EQ(t.ui.messages, QStringList {"/music/one.mp3"});
    EXPECT_EQ(t->List2.count(), 0);

    t.ui.inputAnswer = QString();  // Cancel says nothing
    t->addFiles_Click();
    EXPECT_TRUE(t.sent.isEmpty());
    t.ui.inputAnswer = t.dir.path() + QStringLiteral("/nowhere");
    t->addFiles_Click();
    EXPECT_EQ(t.ui.prompts, QStringList({"Enter Directory", "Enter Directory"}));
    EXPECT_EQ(t.sent, QStringList {t->txtFont.text() + QStringLiteral("E</b>rror D</b>ir I</b>nvalid")});
}

TEST(ShutDown, EveryTimerStops)
{
    TestForm t;
    t->Form_Load();
    t->Form_Unload();
    for (const QTimer* timer :
         {&t->player.Timer1, &t->player.pTime, &t->player.tmrAR, &t->discovery.Timer2, &t->toc.tmrAntiIdle,
          &t->botMode.reconnect.tmrRetry, &t->botMode.reconnect.tmrSignOnWait})
        EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(t->chat1.isScanning());
}
