// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's name and version as its window title and "ver" show them.
inline QString programCaption()
{
    return QStringLiteral("Quillon 3.2");
}
