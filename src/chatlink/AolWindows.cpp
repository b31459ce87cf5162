// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/AolWindows.h"

#include "chatlink/AnsiText.h"

#include <QStringList>

#include <algorithm>
#include <array>

using Hwnd = WindowSystem::Hwnd;

namespace {

struct Markers {
    Hwnd combo = 0, list = 0, label = 0, icon = 0, transcript = 0;

    bool all() const { return combo && list && label && icon && transcript; }
    bool roomLike() const { return combo && list && label; }
};

Markers markersOf(WindowSystem& windows, Hwnd child)
{
    return {windows.findChild(child, 0, "_AOL_Combobox"), windows.findChild(child, 0, "_AOL_Listbox"),
            windows.findChild(child, 0, "_AOL_Static"), windows.findChild(child, 0, "_AOL_Icon"),
            windows.findChild(child, 0, "RICHCNTLREADONLY")};
}

void setText(WindowSystem& windows, Hwnd window, const QString& text)
{
    std::string bytes = AnsiText::toWindow(windows, text);
    windows.sendMessage(window, wm::SETTEXT, 0, bytes);
}

}  // namespace

Hwnd findChatRoom(WindowSystem& windows)
{
    const Hwnd frame = windows.findWindow("AOL Frame25");
    const Hwnd mdi = windows.findChild(frame, 0, "MDIClient");
    Hwnd child = windows.findChild(mdi, 0, "AOL Child");
    Markers markers = markersOf(windows, child);
    if (child && markers.all())
        return child;
    // A first window that looks like a room but is not a whole one ends the
    // search.
    if (markers.roomLike())
        return 0;
    while (child) {
        windows.doEvents();
        child = windows.findChild(mdi, child, "AOL Child");
        if (!child)
            return 0;
        markers = markersOf(windows, child);
        if (markers.all())
            return child;
    }
    return 0;
}

Hwnd findChatInput(WindowSystem& windows)
{
    const Hwnd room = findChatRoom(windows);
    const Hwnd first = windows.findChild(room, 0, "RICHCNTL");
    return first ? windows.findChild(room, first, "RICHCNTL") : 0;
}

QString aolVersion(WindowSystem& windows)
{
    static const std::array<std::pair<QLatin1StringView, QLatin1StringView>, 5> kTellers = {{
        {QLatin1StringView("&what's new in aol 5.0"), QLatin1StringView("5")},
        {QLatin1StringView("&what's new in aol 6.0"), QLatin1StringView("5")},
        {QLatin1StringView("&what's new in aol 4.0"), QLatin1StringView("4")},
        {QLatin1StringView("&what's new in aol 7.0"), QLatin1StringView("7")},
        {QLatin1StringView("&what's new in aol 8.0"), QLatin1StringView("8")},
    }};
    constexpr int kBufferSize = 100;

    const WindowSystem::Hmenu bar = windows.getMenu(windows.findWindow("AOL Frame25"));
    const int n = windows.getMenuItemCount(bar);
    for (int i = 0; i < n; ++i) {
        const WindowSystem::Hmenu menu = windows.getSubMenu(bar, i);
        const int m = windows.getMenuItemCount(menu);
        for (int j = 0; j < m; ++j) {
            const unsigned id = windows.getMenuItemID(menu, j);
            const QString text = AnsiText::fromWindow(windows, windows.getMenuString(menu, id, kBufferSize)).toLower();
            for (const auto& [teller, version] : kTellers) {
                if (text.contains(teller))
                    return version;
            }
        }
    }
    // No menu told the version: the newer clients all behave alike, and
    // only "5" changes what the other operations do.
    return QStringLiteral("9");
}

void clearChatInput(WindowSystem& windows)
{
    Hwnd target = 0;
    if (aolVersion(windows) == QLatin1StringView("5")) {
        target = findChatInput(windows);
    } else {
        const Hwnd room = findChatRoom(windows);
        target = windows.findChild(room, 0, "RICHCNTL");
    }
    if (!target)
        return;
    setText(windows, target, QString());
}

QString readAolText(WindowSystem& windows, Hwnd window)
{
    const std::intptr_t n = std::max<std::intptr_t>(windows.sendMessage(window, wm::GETTEXTLENGTH, 0, 0), 0);
    std::string buffer(std::size_t(n), '\0');
    windows.sendMessage(window, wm::GETTEXT, std::uintptr_t(n + 1), buffer);
    return AnsiText::fromWindow(windows, buffer);
}

void sendAolChat(WindowSystem& windows, const QString& text)
{
    const Hwnd room = findChatRoom(windows);
    const Hwnd edit = windows.findChild(room, 0, "RICHCNTL");
    if (!edit)
        return;
    const QString before = readAolText(windows, edit);
    const QLatin1StringView hint("Chat Input");

    clearChatInput(windows);
    setText(windows, edit, text);
    windows.sendMessage(edit, wm::CHAR, '\r', 0);
    if (before.contains(hint)) {
        // What the owner had begun to type comes back, without the hint.
        clearChatInput(windows);
        QString restored = before;
        restored.remove(restored.indexOf(hint, 0, Qt::CaseInsensitive), hint.size());
        setText(windows, edit, restored);
    }
}
