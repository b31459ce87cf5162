// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"

#include <QString>

class ChatExit;
class FormState;

// The playlist: List2 holds the lines (name ";" path), List1 the names at
// the same positions. Songs enter it by whole directories.
class Library {
public:
    Library(FormState& form, ChatExit& chat, const AppPaths& paths) : m_form(form), m_chat(chat), m_paths(paths) { }

    // The audio file kinds, in the order a file name is tested against them.
    static const QStringList kKinds;

    // Appends the name field of every List2 line to List1.
    void addSongs();
    // Adds the audio files of one directory and posts the new playlist size,
    // or posts the invalid-directory notice.
    void AddDir(const QString& dir);
    // Adds one file, or an http:// or https:// stream, unless the playlist
    // already holds it; its name, or empty when it is neither a regular file
    // nor such an address.
    QString addEntry(const QString& location);
    // Removes one row from both lists; false when there is no such row.
    bool remove(int index);
    void clear();

    void load();

private:
    FormState& m_form;
    ChatExit& m_chat;
    const AppPaths& m_paths;
};

// An http:// or https:// address: a stream, played as it comes.
bool isStreamAddress(const QString& location);
