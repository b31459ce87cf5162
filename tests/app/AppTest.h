// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TestFiles.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>

// Runs the work in a child process and answers its wait status.
template <typename Work> int inChild(Work work)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(work());
    int status = -1;
    waitpid(child, &status, 0);
    return status;
}
