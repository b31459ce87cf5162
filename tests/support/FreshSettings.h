// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

// Gives each test an empty per-user store of its own: what one test leaves
// there (window places, hosts, the bot's account) is never read by
// another, whatever order they run in.
class FreshSettings : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_dir.emplace();
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_dir->path());
    }
    void OnTestEnd(const testing::TestInfo&) override { m_dir.reset(); }

private:
    std::optional<QTemporaryDir> m_dir;
};
