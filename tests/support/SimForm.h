#pragma once

#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "chatlink/SimDesktop.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeUserInterface.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A main form whose chat clients run on a simulated desktop, with its two
// files in a folder of its own. Every line handed to the chat exit is
// recorded in `sent`; every transcript line shows the time "10:15:02 PM".
struct SimForm {
    QTemporaryDir dir;
    AppPaths paths{dir.path() + QStringLiteral("/data"), dir.path() + QStringLiteral("/config")};
    SimDesktop desktop;
    FakeMediaPlayer wmp;
    FakeUserInterface ui;
    std::unique_ptr<MainForm> form;
    QStringList sent;

    SimForm()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
        QDir().mkpath(paths.programDir);
        QDir().mkpath(paths.settingsDir);
        form = std::make_unique<MainForm>(paths, desktop, wmp, ui);
        QObject::connect(&form->chat1, &ChatScanner::sendChatCalled, [this](const QString& t) { sent.append(t); });
    }

    MainForm* operator->() { return form.get(); }
    MainForm& operator*() { return *form; }
};
