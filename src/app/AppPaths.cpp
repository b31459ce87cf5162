// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppPaths.h"

#include "controls/UserStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// main has unset every empty or relative one already (ignoreRelativeXdgPaths).
QString xdgDir(const char* variable, const QString& fallback)
{
    return qEnvironmentVariable(variable, QDir::homePath() + fallback);
}

}  // namespace

void AppPaths::ignoreRelativeXdgPaths()
{
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                                 "XDG_RUNTIME_DIR", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"}) {
        if (!qEnvironmentVariableIsSet(variable))
            continue;
        // The two lists keep their absolute entries.
        QStringList kept = qEnvironmentVariable(variable).split(u':', Qt::SkipEmptyParts);
        kept.removeIf([](const QString& path) { return !QDir::isAbsolutePath(path); });
        if (kept.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, QFile::encodeName(kept.join(u':')));
    }
}

AppPaths AppPaths::standard()
{
    AppPaths paths;
#ifdef Q_OS_WIN
    paths.programDir = QCoreApplication::applicationDirPath();
    paths.settingsDir = QStringLiteral("C:");
#else
    paths.programDir = xdgDir("XDG_DATA_HOME", QStringLiteral("/.local/share")) + u'/' + profileFolder();
    paths.settingsDir = xdgDir("XDG_CONFIG_HOME", QStringLiteral("/.config")) + u'/' + profileFolder();
#endif
    QDir().mkpath(paths.programDir);
    QDir().mkpath(paths.settingsDir);
    return paths;
}
