// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// SIGINT, SIGTERM and SIGHUP, handed to the event loop as `received`, so
// that a program told to stop by its terminal, its service manager or the
// end of a desktop session shuts down as if its owner had ended it: files
// written, the room told. SIGPIPE is ignored: output that nobody reads any
// more is no reason to stop. On Windows, Ctrl-C, Ctrl-Break and closing
// the console are the requests to stop.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);

Q_SIGNALS:
    void received();
};
