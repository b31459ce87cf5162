#include "desktop/Mpris.h"
#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

// What each key does in each state of the player and the playlist: a key
// that cannot act has no effect, and says nothing in the room.
namespace {

struct Case {
    const char* name;
    int selected;  // the playlist cursor
    QString url;  // the media set, if any
    int state;
    std::function<void(Mpris&)> key;
    QStringList urls;  // what the player was pointed at
    QString said;  // the room's line, empty for none
};

TEST(MediaKeyRules, EachKeyActsOnlyWhereItCan)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    const auto play = [](Mpris& m) { m.play(); };
    const auto pause = [](Mpris& m) { m.pause(); };
    const auto stop = [](Mpris& m) { m.stop(); };
    const auto next = [](Mpris& m) { m.next(); };
    const auto previous = [](Mpris& m) { m.previous(); };
    const QString a = QStringLiteral("/music/a.mp3");
    const QString b = QStringLiteral("/music/b.mp3");
    const QList<Case> cases {
        {"play with nothing set starts the selected song", 1, {}, MediaPlayer::Undefined, play, {b}, "B"},
        {"play with nothing set or selected starts the first", -1, {}, MediaPlayer::Undefined, play, {a}, "A"},
        {"play when paused resumes", 0, a, MediaPlayer::Paused, play, {}, "Unpaused."},
        {"play when stopped starts the media again", 0, a, MediaPlayer::Stopped, play, {}, "Unpaused."},
        {"play when playing", 0, a, MediaPlayer::Playing, play, {}, {}},
        {"pause when playing", 0, a, MediaPlayer::Playing, pause, {}, "Paused."},
        {"pause when stopped", 0, a, MediaPlayer::Stopped, pause, {}, {}},
        {"stop when playing", 0, a, MediaPlayer::Playing, stop, {}, "Stopped."},
        {"stop when stopped", 0, a, MediaPlayer::Stopped, stop, {}, {}},
        {"next", 0, a, MediaPlayer::Playing, next, {b}, "B"},
        {"previous", 1, b, MediaPlayer::Playing, previous, {a}, "A"},
        {"previous at the first song", 0, a, MediaPlayer::Playing, previous, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestForm t;
        t->player.setOpeningWait([](double) {});
        t->txtPlay.setText(QStringLiteral("%s"));
        for (const auto& [name, path] : {std::pair {QStringLiteral("A"), a}, std::pair {QStringLiteral("B"), b}}) {
            t->List1.addItem(name);
            t->List2.addItem(name + u';' + path);
        }
        t->List1.setListIndex(c.selected);
        if (!c.url.isEmpty())
            t.wmp.setURL(c.url);
        t.wmp.urls.clear();
        t.wmp.state = c.state;
        const auto mpris = Mpris::publish({t.wmp,
                                           t->List1,
                                           t->List2,
                                           [&t](const QString& command) { t->interpreter.obey(command); },
                                           [&t] { t->xplay_Click(); },
                                           {},
                                           {}});
        ASSERT_TRUE(mpris);
        c.key(*mpris);
        EXPECT_EQ(t.wmp.urls, c.urls);
        EXPECT_EQ(t.sent, c.said.isEmpty() ? QStringList() : QStringList {t->txtFont.text() + c.said});
    }
}

TEST(MediaKeyRules, TheDesktopIsToldWhatCanBeDone)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    TestForm t;
    const auto mpris = Mpris::publish({t.wmp, t->List1, t->List2, {}, {}, {}, {}});
    ASSERT_TRUE(mpris);
    EXPECT_FALSE(mpris->canRaise());
    EXPECT_FALSE(mpris->canPlay() || mpris->canPause() || mpris->canGoNext() || mpris->canGoPrevious());
    EXPECT_EQ(mpris->metadata(), QVariantMap());

    t->List1.addItems({QStringLiteral("A"), QStringLiteral("B")});
    // A name holding ";" is cut there, as the room shows it.
    t->List2.addItems({QStringLiteral("A;/music/a.mp3"), QStringLiteral("B;side;/music/b;c d.mp3")});
    EXPECT_TRUE(mpris->canPlay() && mpris->canGoNext());
    t->List1.setListIndex(0);
    EXPECT_FALSE(mpris->canGoPrevious());
    t->List1.setListIndex(1);
    EXPECT_TRUE(mpris->canGoPrevious());
    t.wmp.setURL(QStringLiteral("/music/b;c d.mp3"));
    t.wmp.duration = QStringLiteral("1:02:03");
    const QVariantMap metadata = mpris->metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("B"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(), QStringLiteral("file:///music/b;c%20d.mp3"));
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), qint64(3723) * 1000000);
    EXPECT_TRUE(mpris->canPause());
    EXPECT_EQ(mpris->playbackStatus(), QStringLiteral("Playing"));

    for (const auto& [asked, kept] : {std::pair {0.3, 30}, {1.7, 100}, {-2.0, 0}, {std::nan(""), 0}}) {
        mpris->setVolume(asked);
        EXPECT_EQ(t.wmp.volume(), kept) << asked;
    }
}

}  // namespace
