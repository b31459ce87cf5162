// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the program's own standard streams are a terminal: a person
// typing and reading, rather than a pipe, a file or a service's journal.
enum class StandardStream { Input, Output };

bool isTerminal(StandardStream stream);
