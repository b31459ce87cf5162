// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StopSignals.h"

#include <QCoreApplication>
#include <QPointer>

#include <mutex>

#include <windows.h>

namespace {

// Windows tells a console program to stop through a control handler, on a
// thread of its own: the request is queued to the loop of the watcher.
std::mutex g_lock;
QPointer<StopSignals> g_watcher;

BOOL WINAPI onControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    const std::lock_guard hold(g_lock);
    if (!g_watcher)
        return FALSE;
    QMetaObject::invokeMethod(g_watcher.data(), &StopSignals::received, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    const std::lock_guard hold(g_lock);
    if (!g_watcher)
        SetConsoleCtrlHandler(onControl, TRUE);
    g_watcher = this;
}
