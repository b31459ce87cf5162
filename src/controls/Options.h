// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

// The owner's switches in the main window.
struct Options {
    BoolValue skySkin {true};
    // Read the chat client's window for the room's lines.
    BoolValue scanChat {true};
    // Be in the room as a bot signed on over TOC instead.
    BoolValue useBot {false};
    // Say anything in the room at all.
    BoolValue chatSend {true};
    // Type the lines into the AOL client's chat window instead of AIM's.
    BoolValue sendOnAol {false};
    // Pick a random song whenever the player is idle.
    BoolValue autoRandom {false};
};
