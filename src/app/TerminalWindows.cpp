// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Terminal.h"

#include <cstdio>
#include <io.h>

bool isTerminal(StandardStream stream)
{
    return ::_isatty(::_fileno(stream == StandardStream::Input ? stdin : stdout)) != 0;
}
