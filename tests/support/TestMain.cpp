// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LogLine.h"
#include "support/FreshSettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every test program gets an event loop and a per-user store of its own,
// and every test an empty one, so no test reads or writes the settings of
// the person running it or of a test before it. What the code logs comes
// out as the program writes it.
int main(int argc, char** argv)
{
    installLogHandler();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    return RUN_ALL_TESTS();
}
