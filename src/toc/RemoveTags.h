// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text with every "<...>" tag taken out, first tag first, until no "<"
// with a ">" after it is left. Entities stay as they are.
QString removeTags(const QString& text);
