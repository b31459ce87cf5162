#pragma once

#include <QString>

#include <string>
#include <string_view>

// The one conversion between the program's strings and the ANSI bytes that
// cross the window seam. The code page is Windows-1252, the ANSI code page
// of the Western Windows systems the chat clients run on; the simulated
// desktop uses it too, so both backends see the same bytes. Every character
// the program posts ("»", "³·²", "ñ") is a single byte in it; a character it
// cannot hold becomes "?", as the platform's own conversion does.
namespace AnsiText {
std::string toAnsi(const QString& text);
QString fromAnsi(std::string_view bytes);
} // namespace AnsiText
