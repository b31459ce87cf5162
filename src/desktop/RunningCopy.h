// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Brings the window of the running program with the given process id to
// the front over the session bus; false when there is no such window
// (no bus, a copy without windows, another program's player).
bool raiseRunningCopy(qint64 pid);
