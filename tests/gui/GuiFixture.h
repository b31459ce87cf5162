#pragma once

#include "app/MainForm.h"
#include "controls/SkinButton.h"
#include "gui/MainWindow.h"
#include "player/SongFile.h"
#include "support/TestState.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// The main window over a started form, on the screen of the test platform.
struct Gui {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer wmp;
    MainWindow window;
    MainForm form {AppPaths {dir.path(), dir.path()}, windows, wmp, window};

    Gui()
    {
        // The songs the windows play are names only: every file is there.
        form.player.setFileCheck([](const QString&) { return SongFile(); }, Player::kFileCheckLimit);
        window.attach(form);
        window.show();
        form.Form_Load();
    }
    template <typename W> W* find(const QString& text)
    {
        const auto all = window.findChildren<W*>();
        const auto it = std::find_if(all.begin(), all.end(), [&](W* w) { return w->text() == text; });
        return it == all.end() ? nullptr : *it;
    }
    SkinButton* skin(int i) { return window.findChild<SkinButton*>(QStringLiteral("skinButton%1").arg(i)); }
};

inline QWidget* visibleTopLevel(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    }
    return nullptr;
}

// Makes the window the one that takes the keys, as a click on it would.
inline bool activate(QWidget* window)
{
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}
