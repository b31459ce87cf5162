// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StopSignals.h"

#include <QMutex>
#include <QPointer>

#include <windows.h>

namespace {

// Windows tells a console program to stop through a control handler, on a
// thread of its own: the request is queued to the loop of the watcher.
QMutex g_lock;
QPointer<StopSignals> g_watcher;

BOOL WINAPI onControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    const QMutexLocker hold(&g_lock);
    if (!g_watcher)
        return FALSE;
    QMetaObject::invokeMethod(g_watcher.data(), &StopSignals::received, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    static const bool handled = SetConsoleCtrlHandler(onControl, TRUE) != 0;
    Q_UNUSED(handled)
    // The newest watcher hears the request.
    const QMutexLocker hold(&g_lock);
    g_watcher = this;
}
