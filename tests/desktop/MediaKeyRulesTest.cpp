// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/ChatSends.h"
#include "desktop/Mpris.h"
#include "player/AudioFiles.h"
#include "player/SongFile.h"
#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The names of the properties each PropertiesChanged signal carries.
class Announcements : public QObject {
    Q_OBJECT
public:
    QList<QStringList> changes;
public Q_SLOTS:
    void changed(const QString&, const QVariantMap& properties, const QStringList&)
    {
        changes.append(properties.keys());
    }
};

// The player object in this process on the private session bus, over a
// form; the addresses it opens are kept, and refused when they say so.
struct MediaKeyRules : ::testing::Test {
    TestForm t;
    QStringList opened;
    std::unique_ptr<Mpris> mpris;

    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
        // The fake player opens songs at once.
        t->player.setOpeningTime(std::chrono::milliseconds(0));
        const auto obey = [this](const QString& command) { t->interpreter.obey(command); };
        const auto open = [this](const QString& location) {
            opened.append(location);
            return !location.contains("refused");
        };
        mpris = Mpris::publish({t.mediaPlayer,
                                t->library.playlist(),
                                t->options.autoRandom,
                                obey,
                                [this] { t->playSelected(); },
                                {},
                                {},
                                open,
                                {}});
        ASSERT_TRUE(mpris);
    }
    QString track() const { return mpris->metadata().value("mpris:trackid").value<QDBusObjectPath>().path(); }
};

TEST_F(MediaKeyRules, TheDesktopIsToldWhatCanBeDoneOncePerTurnOfChanges)
{
    Announcements heard;
    ASSERT_TRUE(QDBusConnection::sessionBus().connect({}, Mpris::kObjectPath, "org.freedesktop.DBus.Properties",
                                                      "PropertiesChanged", &heard,
                                                      SLOT(changed(QString, QVariantMap, QStringList))));

    const QString kB = "/music/b;c d.mp3";
    EXPECT_FALSE(mpris->canPlay() || mpris->canGoNext() || mpris->canPause());
    // A name holding ";" is cut there, as the room shows it.
    t->library.playlist().addItems({"A;/music/a.mp3", "B;side;" + kB});
    t->library.playlist().selectRow(1);
    EXPECT_TRUE(mpris->canPlay() && mpris->canGoNext() && mpris->canGoPrevious());
    t.mediaPlayer.setUrl(kB);
    t.mediaPlayer.length = std::chrono::seconds(3723);
    const QVariantMap metadata = mpris->metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "B");
    EXPECT_EQ(metadata.value("xesam:url").toString(), "file:///music/b;c%20d.mp3");
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), qint64(3723) * 1000000);
    const QString first = track();
    // The same song set again is a new track.
    t.mediaPlayer.setState(MediaPlayer::Transitioning);
    t.mediaPlayer.setUrl(kB);
    EXPECT_NE(track(), first);

    // All of that is one signal naming what changed; a turn that changes nothing sends none.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.changes.isEmpty(); }));
    mpris->setVolume(0.5);
    bool turned = false;
    QTimer::singleShot(0, [&] { turned = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return turned; }));
    for (const auto& [asked, kept] : {std::pair {1.7, 100}, {-2.0, 0}, {std::nan(""), 0}, {0.3, 30}}) {
        mpris->setVolume(asked);
        EXPECT_EQ(t.mediaPlayer.volume(), kept) << asked;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.changes.size() >= 2; }));
    EXPECT_EQ(heard.changes,
              (QList<QStringList> {
                  {"CanGoNext", "CanGoPrevious", "CanPause", "CanPlay", "CanSeek", "Metadata", "PlaybackStatus"},
                  {"Volume"}}));

    // A key that cannot act does nothing and says nothing in the room.
    t->library.playlist().selectRow(0);
    EXPECT_FALSE(mpris->canGoPrevious());
    t.mediaPlayer.state = MediaPlayer::Playing;
    mpris->play();
    mpris->previous();
    t.mediaPlayer.state = MediaPlayer::Stopped;
    mpris->pause();
    mpris->stop();
    EXPECT_EQ(t.mediaPlayer.urls, (QStringList {kB, kB}));
    EXPECT_EQ(t.sent, QStringList());
}

// A song's tags are read when it becomes the track, once: what the bus
// reads later is what was read then, until the next track.
TEST_F(MediaKeyRules, TheTagsAreReadWhenTheTrackChangesAndOnlyThen)
{
    const QString path = t.dir.filePath("song.wav");
    ASSERT_TRUE(writeSilentWav(path, 0.1, 1, {"title=First", "artist=Ana"}));
    t.mediaPlayer.setUrl(path);
    EXPECT_EQ(mpris->metadata().value("xesam:title").toString(), "First");
    ASSERT_TRUE(writeSilentWav(path, 0.1, 1, {"title=Second"}));
    const QVariantMap kept = mpris->metadata();
    EXPECT_EQ(kept.value("xesam:title").toString(), "First");
    EXPECT_EQ(kept.value("xesam:artist").toStringList(), QStringList {"Ana"});
    // The same file set again is a new track, read anew.
    t.mediaPlayer.setState(MediaPlayer::Transitioning);
    const QVariantMap next = mpris->metadata();
    EXPECT_EQ(next.value("xesam:title").toString(), "Second");
    EXPECT_FALSE(next.contains("xesam:artist"));
}

// Seeking stays within the song that plays; past its end is the next song.
// Shuffle is the owner's auto random; addresses open files and streams.
TEST_F(MediaKeyRules, SeekShuffleAndOpenKeepToTheSongAndTheOwnersCommands)
{
    // The songs are names only: every file is there.
    t->player.setFileCheck([](const QString&) { return QtFuture::makeReadyFuture(SongFile()); });
    t->library.playlist().addItems({"A;/music/a.mp3", "B;/music/b.mp3"});
    t->library.playlist().selectRow(0);
    // Nothing loaded: play starts the selected song, the first.
    mpris->play();
    EXPECT_EQ(t.mediaPlayer.urls, QStringList {"/music/a.mp3"});
    t.mediaPlayer.calls.clear();
    t.mediaPlayer.setUrl("/music/a.mp3");
    t.mediaPlayer.length = std::chrono::seconds(30);
    const QString track = this->track();
    EXPECT_TRUE(mpris->canSeek());
    EXPECT_EQ(mpris->seek(10000000), 10000000);
    EXPECT_EQ(mpris->seek(-5000000), 0);
    EXPECT_EQ(mpris->setPosition(track, 30000000), 30000000);
    for (const auto& [other, at] :
         {std::pair {QString("/org/quillon/Quillon/track/0"), 1000000LL}, {track, -1LL}, {track, 31000000LL}})
        EXPECT_EQ(mpris->setPosition(other, at), -1) << other.toStdString() << " " << at;
    EXPECT_EQ(t.mediaPlayer.calls, (QStringList {"seek 10000", "seek 0", "seek 30000"}));
    EXPECT_EQ(mpris->seek(31000000), -1);
    EXPECT_EQ(t.mediaPlayer.url(), "/music/b.mp3");
    // A stream has no length, and a stopped song no place to go.
    t.mediaPlayer.length.reset();
    EXPECT_FALSE(mpris->canSeek());
    t.mediaPlayer.length = std::chrono::seconds(30);
    t.mediaPlayer.setState(MediaPlayer::Stopped);
    EXPECT_FALSE(mpris->canSeek());
    EXPECT_EQ(mpris->seek(1000000), -1);
    EXPECT_EQ(t.mediaPlayer.calls.size(), 3);

    t.sent.clear();
    for (const bool on : {true, true, false, false})
        mpris->setShuffle(on);
    EXPECT_FALSE(mpris->shuffle());
    const QString font = t->templates.font.text();
    EXPECT_EQ(t.sent, (QStringList {font + ChatSends::replyText("aron"), font + ChatSends::replyText("aroff")}));
    t->interpreter.obey("ar");
    EXPECT_TRUE(mpris->shuffle());

    QStringList taken;
    for (const char* uri : {"file:///music/c%20d.mp3", "https://radio.example.org/live;x", "ftp://example.org/a.mp3",
                            "/music/plain.mp3", "http://refused.example.org/"}) {
        if (mpris->openUri(uri))
            taken.append(uri);
    }
    EXPECT_EQ(taken, (QStringList {"file:///music/c%20d.mp3", "https://radio.example.org/live;x"}));
    EXPECT_EQ(opened,
              (QStringList {"/music/c d.mp3", "https://radio.example.org/live;x", "http://refused.example.org/"}));
}

}  // namespace

#include "MediaKeyRulesTest.moc"
