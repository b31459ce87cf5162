#pragma once

#include <QString>

// Where the program keeps its two files. The playlist lives with the
// program's data, the settings file in a fixed place of its own.
struct AppPaths {
    QString programDir;   // holds "playlist.txt"
    QString settingsDir;  // holds "settings.quillon"

    QString playlistFile() const { return programDir + QStringLiteral("/playlist.txt"); }
    QString settingsFile() const { return settingsDir + QStringLiteral("/settings.quillon"); }

    // The platform's places: on Linux $XDG_DATA_HOME/quillon and
    // $XDG_CONFIG_HOME/quillon, created when missing.
    static AppPaths standard();
};
