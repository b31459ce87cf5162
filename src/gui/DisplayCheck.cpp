// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/DisplayCheck.h"

#ifdef QUILLON_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {

#ifdef QUILLON_HAVE_XCB

QString connectionError(int error)
{
    switch (error) {
    case XCB_CONN_CLOSED_PARSE_ERR:
        return QStringLiteral("the display name cannot be read");
    case XCB_CONN_CLOSED_INVALID_SCREEN:
        return QStringLiteral("the display has no such screen");
    case XCB_CONN_CLOSED_MEM_INSUFFICIENT:
        return QStringLiteral("out of memory");
    default:
        return QStringLiteral("no X server answers, or it refused");
    }
}
#endif

}  // namespace

DisplayCheck DisplayCheck::run()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {State::Missing, QStringLiteral("no display is named (DISPLAY is not set)")};
    // Wayland, and a platform chosen by hand, are Qt's to judge.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || !(platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))))
        return {};
#ifdef QUILLON_HAVE_XCB
    // Qt's X platform connects through libxcb the same way: a display that
    // fails here would end the program there.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error == 0)
        return {};
    return {State::Broken, QStringLiteral("cannot open display \"%1\": %2").arg(display, connectionError(error))};
#else
    // Without libxcb at build time the answer is Qt's, as on Wayland.
    return {};
#endif
}
