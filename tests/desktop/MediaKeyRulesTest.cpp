#include "desktop/Mpris.h"
#include "support/QtPrinters.h"
#include "support/TestForm.h"
#include "toc/WaitFor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

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
// form whose playlist holds "A" and "B".
TEST(MediaKeyRules, TheDesktopIsToldWhatCanBeDoneOncePerTurnOfChanges)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus: run this test inside dbus-run-session";
    TestForm t;
    const auto obey = [&](const QString& command) { t->interpreter.obey(command); };
    const auto playSelected = [&] { t->xplay_Click(); };
    const auto mpris = Mpris::publish({t.wmp, t->List1, t->List2, obey, playSelected, {}, {}});
    ASSERT_TRUE(mpris);
    Announcements heard;
    ASSERT_TRUE(QDBusConnection::sessionBus().connect({}, Mpris::kObjectPath, "org.freedesktop.DBus.Properties",
                                                      "PropertiesChanged", &heard,
                                                      SLOT(changed(QString, QVariantMap, QStringList))));

    const QString kB = "/music/b;c d.mp3";
    t->List1.addItems({"A", "B"});
    // A name holding ";" is cut there, as the room shows it.
    t->List2.addItems({"A;/music/a.mp3", "B;side;" + kB});
    t->List1.setListIndex(1);
    EXPECT_TRUE(mpris->canPlay() && mpris->canGoNext() && mpris->canGoPrevious());
    t.wmp.setURL(kB);
    t.wmp.duration = "1:02:03";
    const QVariantMap metadata = mpris->metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "B");
    EXPECT_EQ(metadata.value("xesam:url").toString(), "file:///music/b;c%20d.mp3");
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), qint64(3723) * 1000000);
    const auto track = [&] { return mpris->metadata().value("mpris:trackid").value<QDBusObjectPath>().path(); };
    const QString first = track();
    // The same song set again is a new track.
    t.wmp.setState(MediaPlayer::Transitioning);
    t.wmp.setURL(kB);
    EXPECT_NE(track(), first);

    // All of that is one signal naming what changed; a turn that changes nothing sends none.
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

    // A key that cannot act does nothing and says nothing in the room.
    t->List1.setListIndex(0);
    t.wmp.state = MediaPlayer::Playing;
    mpris->play();
    mpris->previous();
    t.wmp.state = MediaPlayer::Stopped;
    mpris->pause();
    mpris->stop();
    EXPECT_EQ(t.wmp.urls, (QStringList {kB, kB}));
    EXPECT_EQ(t.sent, QStringList());
}

}  // namespace

#include "MediaKeyRulesTest.moc"
