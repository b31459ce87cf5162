// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

// The folder the per-user store is read from and written to now.
class SettingsFolder {
public:
    static void set(const QString& folder)
    {
        current() = folder;
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, folder);
    }
    static QString& current()
    {
        static QString folder;
        return folder;
    }
};

// Gives each test an empty per-user store of its own: what one test leaves
// there (window places, hosts, the bot's account) is never read by
// another, whatever order they run in.
class FreshSettings : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_dir.emplace();
        SettingsFolder::set(m_dir->path());
    }
    void OnTestEnd(const testing::TestInfo&) override { m_dir.reset(); }

private:
    std::optional<QTemporaryDir> m_dir;
};

// A store of its own for as long as it lives, for a test that builds many
// rigs, each of which must start empty; the test's store comes back after.
class OwnSettings {
public:
    explicit OwnSettings(const QString& folder) : m_before(SettingsFolder::current()) { SettingsFolder::set(folder); }
    ~OwnSettings() { SettingsFolder::set(m_before); }
    OwnSettings(const OwnSettings&) = delete;
    OwnSettings& operator=(const OwnSettings&) = delete;

private:
    const QString m_before;
};
