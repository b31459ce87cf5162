// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class TextList;
class UserInterface;

// A list box kept in its file: written a few seconds after it changes, so
// a crash or a kill loses only those seconds. A burst of changes makes one
// write, a file is written at most once every five seconds, and a list at
// rest is never written. A write that fails is said on stderr every time,
// and in the user interface once until a write succeeds again. A file that
// could not be read is never written.
class SavedList : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 2000;
    static constexpr int kGapMs = 5000;

    SavedList(const TextList& list, QString path, UserInterface& ui);

    // Writes the list now, changed or not; false when that failed.
    bool save();
    // The list now holds what the file holds: nothing to write.
    void markSaved();
    // The delayed write: writes the list if it changed since the last one.
    void writeIfChanged();
    // The file is there but could not be read: that is said, and the run
    // never writes it, so what it holds is not replaced by what little was
    // read. Every later save fails.
    void keepUnread(const QString& reason);
    // The delayed write's timer, for tests to see whether one is due.
    const QTimer& saveTimer() const { return m_saveTimer; }

private:
    void changed();

    const TextList& m_list;
    const QString m_path;
    UserInterface& m_ui;
    QElapsedTimer m_lastWrite;
    bool m_changed = false;
    QTimer m_saveTimer;
    bool m_failing = false;
    bool m_unread = false;
};
