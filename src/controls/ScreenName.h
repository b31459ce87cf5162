// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Playlist and room names are compared the way people write them: every
// blank removed and lower-cased, so "Marl Bot" and "marlbot" are one name.
QString normalizeName(const QString& name);

// A screen name as the chat service tells names apart: without its blanks
// (U+0020 only) and with ASCII letters lower-cased. Nothing else is folded,
// so a look-alike letter, a zero-width character or markup never makes two
// names one.
QString screenNameKey(const QString& name);
// Whether two screen names are one on the service; a name that is empty
// once its blanks are gone is nobody's.
bool sameScreenName(const QString& a, const QString& b);
