// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "player/Mp3Header.h"

#include <QFuture>
#include <QString>

// What is learnt of a song's file before it is started.
struct SongFile {
    // Why it cannot be played ("no such file", ...); empty when it can.
    QString problem;
    qint64 size = 0;
    SongFacts facts;
};

// Whether the path names a stream rather than a file: the player opens it,
// and there is nothing on the disk to look at.
bool isStreamUrl(const QString& path);

// Looks at a song's file: it must exist and be a regular file that can be
// read; only then is it opened for its size, facts and tags. Anything
// else (a folder, a FIFO, a device) is never opened, so nothing here waits
// for a writer. It may still wait on a file system that does not answer:
// run it off the thread that serves events.
SongFile examineSongFile(const QString& path);
// examineSongFile on a thread of its own, which a file system that does
// not answer may keep for good: nothing waits for it at the end.
QFuture<SongFile> lookAtSongFile(const QString& path);
