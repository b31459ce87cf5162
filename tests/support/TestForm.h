// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainForm.h"
#include "chatlink/SimDesktop.h"
#include "support/TestState.h"

#include <QDir>

// A main form over fakes and the given desktop, with its two files in a
// folder of its own and every line it hands to the chat exit recorded in
// `sent`.
template <typename Desktop> struct BasicTestForm : TestDoubles {
    AppPaths paths {dir.path() + QStringLiteral("/data"), dir.path() + QStringLiteral("/config")};
    Desktop desktop;
    std::unique_ptr<MainForm> form;

    BasicTestForm() { reset(); }

    // A new form over the same files: the program started again.
    void reset()
    {
        QDir().mkpath(paths.programDir);
        QDir().mkpath(paths.settingsDir);
        form.reset();
        form = std::make_unique<MainForm>(paths, desktop, mediaPlayer, ui);
        sent.clear();
        QObject::connect(&form->scanner, &ChatScanner::sendChatCalled, [this](const QString& t) { sent.append(t); });
    }

    MainForm* operator->() { return form.get(); }
    MainForm& operator*() { return *form; }
};

// No chat client runs on its desktop.
using TestForm = BasicTestForm<NoWindows>;

// Chat clients run on a simulated desktop; every transcript line shows the
// time "10:15:02 PM".
struct SimForm : BasicTestForm<SimDesktop> {
    SimForm()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
    }
};
