// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/WindowPlacement.h"

#include "controls/UserStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace {

// Window frames are unknown until the window manager has drawn them; this
// leaves room for a usual one.
constexpr int kFrame = 12;
constexpr int kGap = 8;

QSettings store()
{
    return QSettings(profileFolder(), QStringLiteral("windows"));
}

}  // namespace

void placeWindows(QWidget& main, QWidget* room)
{
    const QSettings saved = store();
    if (main.restoreGeometry(saved.value(QStringLiteral("main")).toByteArray())
        && (!room || room->restoreGeometry(saved.value(QStringLiteral("room")).toByteArray())))
        return;
    const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    // On a small screen neither window is made larger than it, and the room
    // narrows (down to its smallest) to sit beside the main window.
    main.resize(main.size().boundedTo(free.size() - QSize(kFrame, kFrame)).expandedTo(main.minimumSizeHint()));
    if (room) {
        const QSize beside(free.width() - main.width() - 2 * kFrame - kGap, free.height() - kFrame);
        room->resize(room->size().boundedTo(beside).expandedTo(room->minimumSizeHint()));
    }
    const QSize roomSize = room ? room->size() + QSize(kFrame + kGap, 0) : QSize();
    const int width = main.width() + roomSize.width();
    const int left = std::max(free.left(), free.left() + (free.width() - width) / 2);
    const int top = std::max(free.top(), free.top() + (free.height() - std::max(main.height(), roomSize.height())) / 3);
    main.move(left, top);
    // On a narrow screen the room keeps to the right edge, over as little
    // of the main window as it can.
    if (room)
        room->move(std::min(left + main.width() + kFrame + kGap, free.right() - room->width()), top);
}

void rememberWindows(const QWidget& main, const QWidget* room)
{
    QSettings saved = store();
    saved.setValue(QStringLiteral("main"), main.saveGeometry());
    if (room)
        saved.setValue(QStringLiteral("room"), room->saveGeometry());
}
