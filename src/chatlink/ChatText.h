// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A chat line's HTML as a person reads it: what a browser shows of the
// line, as text. Tags are taken out, entities decoded, runs of blanks made
// one, "<BR>" starts a new line. Bold, italic, underline and font colours
// become terminal attributes (ANSI SGR) in the styled form; the plain form
// carries the same characters without them. Control characters never come
// through, so a line cannot drive the terminal that shows it.
namespace ChatText {
enum class Style { Plain, Ansi };

QString render(const QString& html, Style style);
}  // namespace ChatText
