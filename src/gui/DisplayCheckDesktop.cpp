// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/DisplayCheck.h"

// Windows and macOS always have their desktop; no display is named there.
DisplayCheck DisplayCheck::run()
{
    return {};
}
