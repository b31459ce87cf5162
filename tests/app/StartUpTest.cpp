#include "support/TestForm.h"

#include <gtest/gtest.h>

TEST(StartUp, FirstStartCreatesBothFilesAndCountsOne)
{
    TestForm t;
    t->Form_Load();
    EXPECT_EQ(t->txtLoads.text(), "1");
    EXPECT_TRUE(QFile::exists(t.paths.playlistFile()));
    EXPECT_TRUE(QFile::exists(t.paths.settingsFile()));
}
