#include "FuzzInput.h"

#include <QCoreApplication>
#include <QTemporaryDir>

// Every target gets an event loop and a home of its own, so the per-user
// store it writes is never the store of the person running it.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    static QCoreApplication app(*argc, *argv);
    QCoreApplication::setOrganizationName(QStringLiteral("quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    return 0;
}
