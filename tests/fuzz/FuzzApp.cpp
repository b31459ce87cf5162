// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "bot/RoomPath.h"

// Every target gets an event loop and a home of its own, so the per-user
// store it writes is never the store of the person running it.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(name, home.path().toUtf8());
    static QCoreApplication app(*argc, *argv);
    QCoreApplication::setOrganizationName(QStringLiteral("quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    return 0;
}

// In place of the real deletion, which is alone in its file, so the linker
// takes this one: a command typed in the room may name any path, and
// fuzzing must not lose files.
int deleteFiles(const QString&, QString*)
{
    return 0;
}
