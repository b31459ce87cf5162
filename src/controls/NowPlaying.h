// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

// What the main window shows of the song that plays.
struct NowPlaying {
    // The clock as shown, "m:ss".
    TextValue time {QStringLiteral("00:00")};
    TextValue file {QStringLiteral("singer - song")};
    TextValue bitRate {QStringLiteral("0")};
    TextValue frequency {QStringLiteral("0")};
    TextValue mode {QStringLiteral("mono")};
    // Seconds played, counted while the clock runs.
    IntValue elapsedSeconds {0};
    BoolValue clockRunning {false};
};
