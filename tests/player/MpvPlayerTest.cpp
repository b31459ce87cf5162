#include "app/MainForm.h"
#include "player/MpvPlayer.h"
#include "support/FakeUserInterface.h"
#include "support/NoWindows.h"
#include "AudioFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MpvPlayerDuration, ShowsMinutesAndSecondsAndHoursFromAnHour)
{
    EXPECT_EQ(MpvPlayer::durationText(0), "00:00");
    EXPECT_EQ(MpvPlayer::durationText(1.02), "00:01");
    EXPECT_EQ(MpvPlayer::durationText(205), "03:25");
    EXPECT_EQ(MpvPlayer::durationText(3599.4), "59:59");
    EXPECT_EQ(MpvPlayer::durationText(3600), "1:00:00");
    EXPECT_EQ(MpvPlayer::durationText(37230), "10:20:30");
    EXPECT_EQ(MpvPlayer::durationText(-1), "00:00");
}

class MpvPlayerTest : public ::testing::Test {
protected:
    MpvPlayerTest()
    {
        QObject::connect(&player, &MediaPlayer::playStateChanged, [this](int state) { states.append(state); });
    }

    QTemporaryDir dir;
    MpvPlayer player;
    QList<int> states;
};

// Plays for real: on a machine without sound the silent output keeps time.
TEST_F(MpvPlayerTest, PlaysAShortFileToItsEndAndStops)
{
    ASSERT_TRUE(player.isAvailable());
    const QString path = dir.filePath(QStringLiteral("one second.wav"));
    ASSERT_TRUE(audiofiles::writeSilentWav(path, 1.0));
    EXPECT_EQ(player.playState(), MediaPlayer::Undefined);

    QElapsedTimer clock;
    clock.start();
    player.setURL(path);
    EXPECT_LT(clock.elapsed(), 500) << "setting the URL must not wait for the file";
    EXPECT_EQ(player.URL(), path);
    EXPECT_EQ(player.playState(), MediaPlayer::Transitioning);
    EXPECT_TRUE(player.durationString().isEmpty());

    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    EXPECT_EQ(player.durationString(), "00:01");

    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Stopped; }, 10000));
    const qint64 played = clock.elapsed();
    EXPECT_GE(played, 900);
    EXPECT_LT(played, 4000);
    EXPECT_EQ(states, QList<int>({MediaPlayer::Transitioning, MediaPlayer::Playing, MediaPlayer::MediaEnded,
                                  MediaPlayer::Stopped}));
    // The last media's duration is still known after it ended.
    EXPECT_EQ(player.durationString(), "00:01");

    // Nothing late from the ended song changes the state afterwards.
    audiofiles::waitUntil([] { return false; }, 200);
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
}

TEST_F(MpvPlayerTest, PausesResumesAndStopsTheCurrentMedia)
{
    ASSERT_TRUE(player.isAvailable());
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    ASSERT_TRUE(audiofiles::writeSilentWav(path, 30.0));

    player.setURL(path);
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    EXPECT_EQ(player.durationString(), "00:30");

    player.pause();
    EXPECT_EQ(player.playState(), MediaPlayer::Paused);
    player.play();
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    player.stop();
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
    audiofiles::waitUntil([] { return false; }, 300);
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);

    // Play after stop starts the same media again.
    player.play();
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    EXPECT_EQ(player.URL(), path);
}

TEST_F(MpvPlayerTest, NewMediaReplacesTheCurrentOneWithoutAStopInBetween)
{
    ASSERT_TRUE(player.isAvailable());
    const QString first = dir.filePath(QStringLiteral("first.wav"));
    const QString second = dir.filePath(QStringLiteral("second.wav"));
    ASSERT_TRUE(audiofiles::writeSilentWav(first, 30.0));
    ASSERT_TRUE(audiofiles::writeSilentWav(second, 125.0));

    player.setURL(first);
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    states.clear();
    player.setURL(second);
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    audiofiles::waitUntil([] { return false; }, 300);

    // The first song's end is not taken for the second's.
    EXPECT_EQ(states, QList<int>({MediaPlayer::Transitioning, MediaPlayer::Playing}));
    EXPECT_EQ(player.durationString(), "02:05");
}

TEST_F(MpvPlayerTest, PlaysAStreamOverHttp)
{
    ASSERT_TRUE(player.isAvailable());
    const QString path = dir.filePath(QStringLiteral("stream.wav"));
    ASSERT_TRUE(audiofiles::writeSilentWav(path, 1.0));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray body = file.readAll();

    // Every request gets the whole file.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* client = server.nextPendingConnection()) {
            QObject::connect(client, &QTcpSocket::readyRead, client, [client, &body] {
                if (!client->readAll().contains("\r\n\r\n"))
                    return;
                client->write("HTTP/1.0 200 OK\r\nContent-Type: audio/wav\r\nContent-Length: "
                              + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                client->disconnectFromHost();
            });
            QObject::connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        }
    });

    player.setURL(QStringLiteral("http://127.0.0.1:%1/stream.wav").arg(server.serverPort()));
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Playing; }, 5000));
    EXPECT_EQ(player.durationString(), "00:01");
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Stopped; }, 10000));
    EXPECT_TRUE(states.contains(MediaPlayer::MediaEnded));
}

TEST_F(MpvPlayerTest, FileThatCannotBeOpenedLeavesThePlayerStopped)
{
    ASSERT_TRUE(player.isAvailable());
    player.setURL(dir.filePath(QStringLiteral("missing.mp3")));
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Stopped; }, 5000));
    EXPECT_TRUE(player.durationString().isEmpty());
}

TEST_F(MpvPlayerTest, SongStartedByNameIsAnnouncedWithItsDurationAndTheClockStopsAtItsEnd)
{
    ASSERT_TRUE(player.isAvailable());
    NoWindows windows;
    FakeUserInterface ui;
    MainForm form(AppPaths{dir.path(), dir.path()}, windows, player, ui);
    QStringList sent;
    QObject::connect(&form.chat1, &ChatScanner::sendChatCalled, [&](const QString& line) { sent.append(line); });
    const QString path = dir.filePath(QStringLiteral("Short Song.wav"));
    ASSERT_TRUE(audiofiles::writeSilentWav(path, 1.0));
    form.List2.addItem(QStringLiteral("Short Song;") + path);
    form.txtFont.setText(QString());
    form.txtPlay.setText(QStringLiteral("%s [%d]"));

    form.player.Play(QStringLiteral("short song"));

    // The opening wait is long enough for the player to know the length.
    EXPECT_EQ(sent, QStringList({"Short Song [00:01]"}));
    EXPECT_EQ(form.chkTime.value(), 1);
    ASSERT_TRUE(audiofiles::waitUntil([&] { return player.playState() == MediaPlayer::Stopped; }, 10000));
    ASSERT_TRUE(audiofiles::waitUntil([&] { return form.chkTime.value() == 0; }, 1000));
    EXPECT_EQ(form.txtSec.text(), "0");
}

} // namespace
