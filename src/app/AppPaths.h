// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the program keeps its two files. The playlist lives with the
// program's data, the settings file in a fixed place of its own.
struct AppPaths {
    QString programDir;  // holds "playlist.txt"
    QString settingsDir;  // holds "settings.quillon"

    static inline const QString kPlaylistName = QStringLiteral("playlist.txt");
    static inline const QString kSettingsName = QStringLiteral("settings.quillon");
    static inline const QString kQueueName = QStringLiteral("queue.txt");

    QString playlistFile() const { return programDir + u'/' + kPlaylistName; }
    QString settingsFile() const { return settingsDir + u'/' + kSettingsName; }
    // The play-next queue, kept with the playlist.
    QString queueFile() const { return programDir + u'/' + kQueueName; }

    // The platform's places: on Linux $XDG_DATA_HOME/quillon and
    // $XDG_CONFIG_HOME/quillon (a profile's own folder below each when one
    // is chosen), created when missing.
    static AppPaths standard();

    // The XDG rules call a relative path in these variables invalid. Taken
    // out of the environment before anything reads them, so every file of
    // the program, the per-user store included, falls back alike.
    static void ignoreRelativeXdgPaths();
};
