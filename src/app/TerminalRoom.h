// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/ChatText.h"

#include <cstdio>
#include <optional>

class LocalRoom;

// The local room shown on a stream, in one of two forms: raw, every line
// the program posts exactly as it typed it, for scripts and tests; or as
// text, every line of the room as its window shows it, "speaker: text".
namespace TerminalRoom {
enum class Form { Raw, Text };

struct Choice {
    Form form = Form::Raw;
    ChatText::Style style = ChatText::Style::Plain;
    // The local member's own lines are left out: the terminal has shown
    // them already, as they were typed.
    bool leaveOutOwnLines = false;
};

// What suits standard output and input: text for a terminal, styled unless
// NO_COLOR is set or TERM is "dumb", raw for anything else; `forced` picks
// the form whatever the streams are.
Choice choose(std::optional<Form> forced);

void show(LocalRoom& room, std::FILE* stream, const Choice& choice);
}  // namespace TerminalRoom
