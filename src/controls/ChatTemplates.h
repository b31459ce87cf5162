// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

// The HTML the program's notices are made of, as the owner set them in the
// Chat Sends window or the settings file.
struct ChatTemplates {
    ChatTemplates();

    // Put before every notice.
    TextValue font;
    // The now-playing line, with its %s, %n, %kb, ... placeholders.
    TextValue playing;
    // The answer to "playing": %s is the song.
    TextValue playingTitle;
    // The notices of an ignore and an unignore: %p is the member.
    TextValue ignored;
    TextValue unignored;
    // The line of a song played from an address.
    TextValue streamPlaying;
    // Closes what the chat client's input box opens around a typed line.
    TextValue inputClose;
};
