#pragma once

#include <QObject>

// SIGINT and SIGTERM, handed to the event loop as `received`, so that a
// program told to stop by its terminal, its service manager or the end of
// a desktop session shuts down as if its owner had ended it: files written,
// the room told.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);

Q_SIGNALS:
    void received();
};
