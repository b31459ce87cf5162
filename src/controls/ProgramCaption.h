// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <quillon/Version.h>

#include <QString>

// The program's name and version as its window title and "ver" show them:
// the major and minor version only.
inline QString programCaption()
{
    return QStringLiteral("Quillon " QT_STRINGIFY(QUILLON_VERSION_MAJOR) "." QT_STRINGIFY(QUILLON_VERSION_MINOR));
}
