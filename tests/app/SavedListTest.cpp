#include "app/SavedList.h"
#include "controls/ListBox.h"
#include "support/FakeUserInterface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SavedListTest : testing::Test {
    QTemporaryDir dir;
    ListBox list;
    FakeUserInterface ui;
    SavedList saved {list, dir.path() + QStringLiteral("/sub/playlist.txt"), ui};

    QByteArray file()
    {
        QFile f(saved.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
};

TEST_F(SavedListTest, ABurstOfChangesIsWrittenOnceAFewSecondsLaterAndAListAtRestNever)
{
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sub")));
    EXPECT_FALSE(saved.tmrSave.isActive());
    for (int i = 0; i < 50; ++i)
        list.addItem(QString::number(i));
    list.removeItem(0);
    ASSERT_TRUE(saved.tmrSave.isActive());
    EXPECT_EQ(saved.tmrSave.interval(), SavedList::kDelayMs);
    EXPECT_EQ(file(), "(none)");

    saved.tmrSave_Timer();
    EXPECT_TRUE(file().startsWith("1\r\n2\r\n"));
    EXPECT_TRUE(file().endsWith("49\r\n"));

    // Nothing changed since: no write, and no timer running.
    QFile::remove(saved.path());
    saved.tmrSave_Timer();
    EXPECT_EQ(file(), "(none)");
    EXPECT_FALSE(saved.tmrSave.isActive());

    // A change soon after a write waits out the rest of the five seconds.
    list.clear();
    ASSERT_TRUE(saved.tmrSave.isActive());
    EXPECT_GT(saved.tmrSave.interval(), SavedList::kGapMs - 1000);
    saved.tmrSave_Timer();
    EXPECT_EQ(file(), "");
}

TEST_F(SavedListTest, AFailedWriteIsToldOnceUntilAWriteSucceedsAgain)
{
    list.addItem(QStringLiteral("a;/a.mp3"));
    EXPECT_FALSE(saved.save());
    list.addItem(QStringLiteral("b;/b.mp3"));
    saved.tmrSave_Timer();
    ASSERT_EQ(ui.notWritten.size(), 1);
    EXPECT_TRUE(ui.notWritten[0].startsWith(QStringLiteral("Cannot write ") + saved.path() + QStringLiteral(": ")));

    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sub")));
    EXPECT_TRUE(saved.save());
    EXPECT_EQ(file(), "a;/a.mp3\r\nb;/b.mp3\r\n");
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/sub")).removeRecursively());
    EXPECT_FALSE(saved.save());
    EXPECT_EQ(ui.notWritten.size(), 2);
}

}  // namespace
