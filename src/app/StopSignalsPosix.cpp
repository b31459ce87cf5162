// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A handler may only write to a descriptor; the loop reads the other end.
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    if (g_signalPipe[0] < 0
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        struct sigaction action { };
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        // A closed terminal ends the program like any other request to stop.
        for (const int stop : {SIGINT, SIGTERM, SIGHUP})
            sigaction(stop, &action, nullptr);
        // A reader that went away (`quillon | head -3`) is no reason to
        // stop: writes to it fail and are left off, and the program goes on.
        ::signal(SIGPIPE, SIG_IGN);
    }
    if (g_signalPipe[0] < 0)
        return;
    // Non-blocking, so a second watcher that finds the byte taken by the
    // first does not hang the loop.
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        if (::read(g_signalPipe[0], &byte, 1) == 1)
            Q_EMIT received();
    });
}
