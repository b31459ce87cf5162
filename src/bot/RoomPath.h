// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Paths typed in the chat room. Everything after a "/" in a chat line is
// cut off before a command sees it, so paths are typed with "\" between
// their parts, as on Windows: "dir \home\me\Music" names /home/me/Music.
QString roomPath(const QString& typed);

// Deletes the file a path names, or, when the path's last part holds "*" or
// "?", every file of that directory whose name matches it (hidden files
// aside). Directories are never deleted and never entered; a wildcard in a
// directory part matches nothing. Returns how many files went; when none
// did, `why` says why ("no such file", "no file matches *.wma", the
// system's reason the file could not be deleted).
int deleteFiles(const QString& path, QString* why = nullptr);
