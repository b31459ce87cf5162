// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"
#include "controls/Playlist.h"

#include <QString>

class ChatExit;

// The playlist and how songs enter it: by whole directories, or one file
// or stream address at a time.
class Library {
public:
    Library(ChatExit& chat, const AppPaths& paths) : m_chat(chat), m_paths(paths) { }

    Playlist& playlist() { return m_playlist; }
    const Playlist& playlist() const { return m_playlist; }

    // The audio file kinds, in the order a file name is tested against them.
    static const QStringList kKinds;

    // Adds the audio files of one directory and posts the new playlist size,
    // or posts the invalid-directory notice.
    void addFolder(const QString& dir);
    // Adds one file, or an http:// or https:// stream, unless the playlist
    // already holds it; its name, or empty when it is neither a regular file
    // nor such an address.
    QString addEntry(const QString& location);
    // Removes one row; false when there is no such row.
    bool remove(int index);
    void clear();

    // Loads the playlist file; false, with the reason, when it is there but
    // could not be read.
    bool load(QString* reason);

private:
    Playlist m_playlist;
    ChatExit& m_chat;
    const AppPaths& m_paths;
};

// An http:// or https:// address: a stream, played as it comes.
bool isStreamAddress(const QString& location);
