#pragma once

#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeUserInterface.h"
#include "support/NoWindows.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A main form over fakes and the given desktop, with its two files in a
// folder of its own and every line it hands to the chat exit recorded in
// `sent`.
template <typename Desktop> struct BasicTestForm {
    QTemporaryDir dir;
    AppPaths paths {dir.path() + QStringLiteral("/data"), dir.path() + QStringLiteral("/config")};
    Desktop desktop;
    FakeMediaPlayer wmp;
    FakeUserInterface ui;
    std::unique_ptr<MainForm> form;
    QStringList sent;

    BasicTestForm() { reset(); }

    // A new form over the same files: the program started again.
    void reset()
    {
        QDir().mkpath(paths.programDir);
        QDir().mkpath(paths.settingsDir);
        form.reset();
        form = std::make_unique<MainForm>(paths, desktop, wmp, ui);
        sent.clear();
        QObject::connect(&form->chat1, &ChatScanner::sendChatCalled, [this](const QString& t) { sent.append(t); });
    }

    MainForm* operator->() { return form.get(); }
    MainForm& operator*() { return *form; }
};

// No chat client runs on its desktop.
using TestForm = BasicTestForm<NoWindows>;
