// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/JournalStream.h"

bool stderrIsJournal()
{
    return false;
}
