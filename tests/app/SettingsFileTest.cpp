#include "support/QtPrinters.h"
#include "support/TestForm.h"

#include <gtest/gtest.h>

namespace {

// Loads the rows as a settings file would and applies them.
void applyRows(TestForm& t, const QStringList& rows)
{
    t->lstsettings.addItems(rows);
    t->settings.applyAtStartUp();
}

}  // namespace

TEST(SettingsFile, TheOnlyRowIsALoadCount)
{
    TestForm t;
    const QString play = t->txtPlay.text();
    applyRows(t, {"[loads]:7"});
    EXPECT_EQ(t->txtLoads.text(), "7");
    EXPECT_EQ(t->lstsettings.items(), QStringList {"[loads]:8"});
    EXPECT_EQ(t->txtPlay.text(), play);
    // Counting the start signs nothing on, so the button still offers to.
    EXPECT_EQ(t->skinButton6.caption(), "Signon");
}

TEST(SettingsFile, TheLoadRowMovesToTheEndAndCountsOnce)
{
    TestForm t;
    applyRows(t, {"[loads]:4", "[font]:<b>", "[play]:now %s"});
    EXPECT_EQ(t->lstsettings.items(), QStringList({"[font]:<b>", "[play]:now %s", "[loads]:5"}));
    EXPECT_EQ(t->txtFont.text(), "<b>");
    EXPECT_EQ(t->txtPlay.text(), "now %s");
    EXPECT_EQ(t->txtLoads.text(), "4");
}

TEST(SettingsFile, WithoutALoadRowOneIsAdded)
{
    TestForm t;
    applyRows(t, {"[font]:x"});
    EXPECT_EQ(t->lstsettings.items(), QStringList({"[font]:x", "[loads]:2"}));
    EXPECT_EQ(t->txtLoads.text(), "1");
}

TEST(SettingsFile, KeysMatchAnywhereAndEveryOccurrenceIsRemoved)
{
    TestForm t;
    applyRows(t, {"[play]no colon", "a[font]:b[font]:c", "[FONT]:capitals"});
    EXPECT_EQ(t->txtPlay.text(), "[play]no colon");
    EXPECT_EQ(t->txtFont.text(), "abc");
}

TEST(SettingsFile, LongerKeysAreNotTakenForShorterOnes)
{
    TestForm t;
    const QString play = t->txtPlay.text();
    const QString ignore = t->txtIgnore.text();
    applyRows(t, {"[playing]:P %s", "[unignore]:U %p"});
    EXPECT_EQ(t->txtPlaying.text(), "P %s");
    EXPECT_EQ(t->txtUnignore.text(), "U %p");
    EXPECT_EQ(t->txtPlay.text(), play);
    EXPECT_EQ(t->txtIgnore.text(), ignore);
}

TEST(SettingsFile, ARowWithTwoKeysSetsBothAndLaterRowsWin)
{
    TestForm t;
    applyRows(t, {"[font]:first", "[play]:p [font] q", "[font]:"});
    EXPECT_EQ(t->txtPlay.text(), "p [font] q");
    EXPECT_EQ(t->txtFont.text(), "");
}

TEST(SettingsFile, ANonNumericCountIsLeftAlone)
{
    TestForm t;
    applyRows(t, {"[loads]:many"});
    EXPECT_EQ(t->txtLoads.text(), "many");
    EXPECT_EQ(t->lstsettings.items(), QStringList {"[loads]:many"});
}

TEST(SettingsFile, AddSettingRemovesEveryRowMentioningTheKey)
{
    TestForm t;
    t->lstsettings.addItems({"[play]:x [font] y", "[font]:a", "[loads]:3", "[font]:b"});
    t->settings.AddSetting(QStringLiteral("[font]"), QStringLiteral("new"));
    EXPECT_EQ(t->lstsettings.items(), QStringList({"[loads]:3", "[font]:new"}));
}
