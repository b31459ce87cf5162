#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString xdgDir(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    // The XDG rules ignore a relative path in these variables.
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : QDir::homePath() + fallback;
}

} // namespace

AppPaths AppPaths::standard()
{
    AppPaths paths;
#ifdef Q_OS_WIN
    paths.programDir = QCoreApplication::applicationDirPath();
    paths.settingsDir = QStringLiteral("C:");
#else
    paths.programDir = xdgDir("XDG_DATA_HOME", QStringLiteral("/.local/share")) + QStringLiteral("/quillon");
    paths.settingsDir = xdgDir("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QStringLiteral("/quillon");
#endif
    QDir().mkpath(paths.programDir);
    QDir().mkpath(paths.settingsDir);
    return paths;
}
