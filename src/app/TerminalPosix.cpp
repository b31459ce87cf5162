// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Terminal.h"

#include <unistd.h>

bool isTerminal(StandardStream stream)
{
    return ::isatty(stream == StandardStream::Input ? STDIN_FILENO : STDOUT_FILENO) != 0;
}
