// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainForm.h"
#include "controls/SkinButton.h"
#include "gui/MainWindow.h"
#include "player/SongFile.h"
#include "support/TestState.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

inline QWidget* visibleTopLevel(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    }
    return nullptr;
}

// The main window over a started form, on the screen of the test platform.
struct Gui {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer mediaPlayer;
    MainWindow window;
    MainForm form {AppPaths {dir.path(), dir.path()}, windows, mediaPlayer, window};
    // The playlist keeps the rules its view relies on, or the test ends.
    QAbstractItemModelTester rules {&form.library.playlist(), QAbstractItemModelTester::FailureReportingMode::Fatal};
    QStringList sent;  // what the form said in the room

    Gui()
    {
        // The songs the windows play are names only: every file is there.
        form.player.setFileCheck([](const QString&) { return QtFuture::makeReadyFuture(SongFile()); });
        QObject::connect(&form.scanner, &ChatScanner::sendChatCalled, [this](const QString& t) { sent.append(t); });
        window.attach(form);
        window.show();
        form.startUp();
    }
    template <typename W> W* find(const QString& text, const QWidget* in = nullptr)
    {
        const auto all = (in ? in : &window)->template findChildren<W*>();
        const auto it = std::find_if(all.begin(), all.end(), [&](W* w) { return w->text() == text; });
        return it == all.end() ? nullptr : *it;
    }
    // Opens every dialog of the main window; answers those that showed.
    QList<QWidget*> openDialogs()
    {
        form.player.searchResults().addItems({"a;/a.mp3", "b;/b.mp3"});
        form.songPicker.open({"a", "b"});
        form.showChatSends();
        form.showCommands();
        form.showAbout();
        form.showFolderPicker();
        QList<QWidget*> dialogs;
        for (const char* title : {"Select A Song", "Chat Sends", "Commands", "About Quillon", "Form1"}) {
            QWidget* dialog = visibleTopLevel(QString::fromLatin1(title));
            EXPECT_NE(dialog, nullptr) << title;
            if (dialog)
                dialogs.append(dialog);
        }
        return dialogs;
    }
    SkinButton* skin(const QString& name) { return window.findChild<SkinButton*>(name); }
};

// The boxes of the window that wait for an answer: shown and modal to it.
template <typename Box> QList<Box*> openBoxes(const QWidget& window)
{
    QList<Box*> open = window.findChildren<Box*>();
    open.removeIf([](const Box* box) { return !box->isVisible() || !box->isModal(); });
    return open;
}

// Makes the window the one that takes the keys, as a click on it would.
inline bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}
