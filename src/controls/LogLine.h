// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes every message of qDebug, qInfo, qWarning and qCritical, and of
// their categories, one line on stderr, flushed at once. When stderr is the
// journal's stream (the service manager names it in JOURNAL_STREAM), the
// line starts with its level in the "<N>" form the journal reads: <3>
// critical, <4> warning, <6> info, <7> debug.
//
// What the program says to the person running it (info and above, from a
// category of its own, "quillon" or "quillon.*") is written as said: the
// line carries its own lead ("quillon: ", "toc: ", a box's title). Debug
// lines, and whatever Qt or a library says, are shaped as Qt shapes them
// (QT_MESSAGE_PATTERN, by default "category: message"), so a developer can
// tell where they come from.
void installLogHandler();
