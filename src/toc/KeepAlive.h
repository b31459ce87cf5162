// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractSocket;

// A peer that vanished without closing (a router lost its state, the
// machine went away) is found by the system too: an idle connection is
// probed after 60 s of silence, then every 10 s, six times, and one whose
// sent bytes (a keep-alive frame among them) stay unanswered for two
// minutes is given up. Where the system offers no such tuning, only its
// own probes are turned on. Call it once the socket is connected.
void keepAlive(QAbstractSocket& socket);
