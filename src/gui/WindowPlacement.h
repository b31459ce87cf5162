// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The main window and the Local Room beside it: where they were when the
// program last ended, or at a first run side by side in the middle of the
// screen, so that neither covers the other. Call before showing them.
// Without a Local Room (on Windows) the main window is placed alone.
void placeWindows(QWidget& main, QWidget* room);
void rememberWindows(const QWidget& main, const QWidget* room);
