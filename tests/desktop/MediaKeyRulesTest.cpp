#include "desktop/Mpris.h"
#include "support/QtPrinters.h"
#include "support/TestForm.h"
#include "toc/WaitFor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

// The player object in this process on the private session bus, over a
// form whose playlist holds "A" and "B".
namespace {

struct MediaKeyRules : ::testing::Test {
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    }
};

const QString kA = QStringLiteral("/music/a.mp3");
const QString kB = QStringLiteral("/music/b;c d.mp3");

std::unique_ptr<Mpris> publish(TestForm& t)
{
    return Mpris::publish({t.wmp,
                           t->List1,
                           t->List2,
                           [&t](const QString& command) { t->interpreter.obey(command); },
                           [&t] { t->xplay_Click(); },
                           {},
                           {}});
}

void fill(TestForm& t)
{
    t->List1.addItems({QStringLiteral("A"), QStringLiteral("B")});
    // A name holding ";" is cut there, as the room shows it.
    t->List2.addItems({QStringLiteral("A;") + kA, QStringLiteral("B;side;") + kB});
}

// What a key does in each state of the player and the playlist: a key that
// cannot act has no effect, and says nothing in the room.
TEST_F(MediaKeyRules, EachKeyActsOnlyWhereItCan)
{
    using Key = void (Mpris::*)();
    const struct {
        const char* name;
        int selected;  // the playlist cursor
        QString url;  // the media set, if any
        int state;
        Key key;
        QStringList urls;  // what the player was pointed at
        QString said;  // the room's line, empty for none
    } cases[] = {
        {"play with nothing set starts the selected song", 1, {}, MediaPlayer::Undefined, &Mpris::play, {kB}, "B"},
        {"play with nothing set or selected starts the first", -1, {}, MediaPlayer::Undefined, &Mpris::play, {kA}, "A"},
        {"play when paused resumes", 0, kA, MediaPlayer::Paused, &Mpris::play, {}, "Unpaused."},
        {"play when stopped starts the media again", 0, kA, MediaPlayer::Stopped, &Mpris::play, {}, "Unpaused."},
        {"play when playing", 0, kA, MediaPlayer::Playing, &Mpris::play, {}, {}},
        {"pause when playing", 0, kA, MediaPlayer::Playing, &Mpris::pause, {}, "Paused."},
        {"pause when stopped", 0, kA, MediaPlayer::Stopped, &Mpris::pause, {}, {}},
        {"stop when playing", 0, kA, MediaPlayer::Playing, &Mpris::stop, {}, "Stopped."},
        {"stop when stopped", 0, kA, MediaPlayer::Stopped, &Mpris::stop, {}, {}},
        {"next", 0, kA, MediaPlayer::Playing, &Mpris::next, {kB}, "B"},
        {"previous", 1, kB, MediaPlayer::Playing, &Mpris::previous, {kA}, "A"},
        {"previous at the first song", 0, kA, MediaPlayer::Playing, &Mpris::previous, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestForm t;
        t->player.setOpeningWait([](double) {});
        t->txtPlay.setText(QStringLiteral("%s"));
        fill(t);
        t->List1.setListIndex(c.selected);
        if (!c.url.isEmpty())
            t.wmp.setURL(c.url);
        t.wmp.urls.clear();
        t.wmp.state = c.state;
        const auto mpris = publish(t);
        ASSERT_TRUE(mpris);
        ((*mpris).*c.key)();
        EXPECT_EQ(t.wmp.urls, c.urls);
        EXPECT_EQ(t.sent, c.said.isEmpty() ? QStringList() : QStringList {t->txtFont.text() + c.said});
    }
}

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

TEST_F(MediaKeyRules, TheDesktopIsToldWhatCanBeDoneOncePerTurnOfChanges)
{
    TestForm t;
    const auto mpris = publish(t);
    ASSERT_TRUE(mpris);
    EXPECT_FALSE(mpris->canRaise());
    EXPECT_FALSE(mpris->canPlay() || mpris->canPause() || mpris->canGoNext() || mpris->canGoPrevious());
    EXPECT_EQ(mpris->metadata(), QVariantMap());
    Announcements heard;
    ASSERT_TRUE(QDBusConnection::sessionBus().connect(
        {}, Mpris::kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
        &heard, SLOT(changed(QString, QVariantMap, QStringList))));

    fill(t);
    EXPECT_TRUE(mpris->canPlay() && mpris->canGoNext());
    t->List1.setListIndex(0);
    EXPECT_FALSE(mpris->canGoPrevious());
    t->List1.setListIndex(1);
    EXPECT_TRUE(mpris->canGoPrevious());
    t.wmp.setURL(kB);
    t.wmp.duration = QStringLiteral("1:02:03");
    QVariantMap metadata = mpris->metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("B"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(), QStringLiteral("file:///music/b;c%20d.mp3"));
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), qint64(3723) * 1000000);
    const QString track = metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    EXPECT_TRUE(track.startsWith(QStringLiteral("/org/quillon/Quillon/track/"))) << track.toStdString();
    // The same song set again is a new track.
    t.wmp.setState(MediaPlayer::Transitioning);
    t.wmp.setURL(kB);
    EXPECT_NE(mpris->metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(), track);

    // All of that is one signal naming what changed; a turn that changes
    // nothing sends none.
    ASSERT_TRUE(waitFor([&] { return !heard.changes.isEmpty(); }));
    mpris->setVolume(0.5);
    bool turned = false;
    QTimer::singleShot(0, [&] { turned = true; });
    ASSERT_TRUE(waitFor([&] { return turned; }));
    for (const auto& [asked, kept] : {std::pair {1.7, 100}, {-2.0, 0}, {std::nan(""), 0}, {0.3, 30}}) {
        mpris->setVolume(asked);
        EXPECT_EQ(t.wmp.volume(), kept) << asked;
    }
    ASSERT_TRUE(waitFor([&] { return heard.changes.size() >= 2; }));
    EXPECT_EQ(heard.changes,
              (QList<QStringList> {{"CanGoNext", "CanGoPrevious", "CanPause", "CanPlay", "Metadata", "PlaybackStatus"},
                                   {"Volume"}}));
}

// A tagged song shows its own title, artist and album; the untagged one
// beside it keeps its playlist name and tells no artist or album.
TEST_F(MediaKeyRules, TheDesktopSeesTheSongsOwnTags)
{
    for (const char* tool : {"sox", "lame"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is missing (packages sox, lame)";
    }
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const QString tagged = dir.filePath(QStringLiteral("tagged.mp3"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("sox"), {"-n", "-r", "8000", "-c", "1", wav, "synth", "1", "sine", "440"}), 0);
    ASSERT_EQ(QProcess::execute(QStringLiteral("lame"), {"--quiet", "--tt", "Blue Morning", "--ta", "Ana Reyes",
                                                         "--tl", "Harbour", wav, tagged}),
              0);
    TestForm t;
    const auto mpris = publish(t);
    ASSERT_TRUE(mpris);
    t->List2.addItems({QStringLiteral("tone;") + wav, QStringLiteral("tagged;") + tagged});

    t.wmp.setURL(tagged);
    QVariantMap metadata = mpris->metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Blue Morning"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:artist")).toStringList(), QStringList {QStringLiteral("Ana Reyes")});
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Harbour"));
    t.wmp.setURL(wav);
    metadata = mpris->metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("tone"));
    EXPECT_FALSE(metadata.contains(QStringLiteral("xesam:artist")) || metadata.contains(QStringLiteral("xesam:album")));
}

}  // namespace

#include "MediaKeyRulesTest.moc"
