// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The look of the program's notices: a light blue "»" mark, then words
// underlined in a darker blue. Every notice and default template that has
// this look is built here, so that the markup is spelled once.
namespace Notice {

// The mark, and the start of the underlined words.
inline QString head()
{
    return QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>");
}

// The same in the serif face, as the lines about files and drives have it.
inline QString serifHead()
{
    return QStringLiteral(
        "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 FACE=\"MS Reference "
        "Serif\">");
}

// One underlined word after the mark: "» word".
inline QString word(const QString& text)
{
    return head() + text + QStringLiteral("</U>");
}

// A title and what it is about: "» Title » what", the second underline
// left open for the caller to close or fill.
inline QString pair(const QString& title, const QString& what)
{
    return word(title) + QStringLiteral(" <FONT COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U><FONT COLOR=#0080c0>")
        + what;
}

// The same, as the templates of old have it, with a stray "</FONT>"
// before the second colour; kept, since the owner's saved templates were
// made from it and the room has always seen it.
inline QString pairAfterClose(const QString& title, const QString& what)
{
    return word(title)
        + QStringLiteral(" <FONT COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT COLOR=#0080c0>") + what;
}

}  // namespace Notice
