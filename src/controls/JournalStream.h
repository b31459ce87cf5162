// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether stderr is, right now, the stream the service manager connected
// to its journal; never on a system without one.
bool stderrIsJournal();
