// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class TextList;

// The text files of the program hold one list row per line. They are written
// as UTF-8 and read line by line: a line that is valid UTF-8 as UTF-8, any
// other as Windows-1252, so lines written by the Windows version keep their
// "»" and never change how the other lines read. Empty lines are left out.
QStringList decodeListLines(const QByteArray& bytes);

// Clears the list and adds every non-empty line of the file, in file order.
// False when something is there but could not be read whole (not a regular
// file, no permission, an I/O error), with the reason in `reason` when one
// is asked for; the whole lines read before an error stay in the list. No
// file at all is an empty list.
bool loadListFile(const QString& path, TextList& list, QString* reason = nullptr);

// Writes every row followed by CR LF. The file is replaced atomically, so a
// crash or a full disk leaves the previous file whole, except in a folder
// that takes no new file, where the file is written in place. False on
// failure, with the reason in `reason` when one is asked for.
bool saveListFile(const QString& path, const TextList& list, QString* reason = nullptr);

// Loads the file into the list, first creating it empty when the
// directory's listing holds nothing of exactly that name (letter case
// counts, as when the listing is searched by eye). False as loadListFile.
bool loadOrCreateListFile(const QString& dir, const QString& fileName, TextList& list, QString* reason = nullptr);
