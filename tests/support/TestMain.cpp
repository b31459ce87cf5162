// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LogLine.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every test starts with an empty per-user store, so none reads what one
// run before it left there, whatever the order the tests run in. The
// store's files are emptied through QSettings, which keeps them cached.
class FreshUserStore : public testing::EmptyTestEventListener {
public:
    explicit FreshUserStore(QString folder) : m_folder(std::move(folder)) { }

    void OnTestStart(const testing::TestInfo&) override
    {
        QDirIterator files(m_folder, {QStringLiteral("*.conf")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QSettings store(files.next(), QSettings::IniFormat);
            store.clear();
            store.sync();
        }
    }

private:
    const QString m_folder;
};

}  // namespace

// Every test program gets an event loop and a per-user store of its own,
// so no test reads or writes the settings of the person running it. What
// the code logs comes out as the program writes it.
int main(int argc, char** argv)
{
    installLogHandler();
    QTemporaryDir home;
    const QString config = home.path() + QStringLiteral("/config");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshUserStore(config));
    return RUN_ALL_TESTS();
}
