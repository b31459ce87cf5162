// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

#include <QString>

#include <string>
#include <string_view>

// The one conversion between the program's strings and the bytes that cross
// the window seam. On Windows that is the ANSI code page Windows-1252 of the
// Western systems the chat clients run on: every character the program
// itself posts ("»", "³·²", "ñ") is a single byte in it, and a character it
// cannot hold becomes "?", as the platform's own conversion does. The
// simulated desktop speaks UTF-8, so song names and lines typed at a Linux
// terminal reach the local room whole.
namespace AnsiText {
std::string toAnsi(const QString& text);
QString fromAnsi(std::string_view bytes);
// Text that should be UTF-8 but may come from a Windows program: read as
// UTF-8 when the bytes are valid UTF-8, else as Windows-1252, so no byte is lost.
QString fromUtf8OrAnsi(std::string_view bytes);

std::string toWindow(const WindowSystem& windows, const QString& text);
QString fromWindow(const WindowSystem& windows, std::string_view bytes);
}  // namespace AnsiText
