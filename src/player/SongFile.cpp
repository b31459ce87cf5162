// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/SongFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPromise>

#include <thread>

bool isStreamUrl(const QString& path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

SongFile examineSongFile(const QString& path)
{
    SongFile song;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        song.problem = QStringLiteral("no such file");
        return song;
    }
    if (info.isDir()) {
        song.problem = QStringLiteral("it is a folder");
        return song;
    }
    // isFile answers true for regular files only (through links).
    if (!info.isFile()) {
        song.problem = QStringLiteral("not a regular file");
        return song;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        song.problem = file.error() == QFileDevice::PermissionsError ? QStringLiteral("no right to read it")
                                                                     : file.errorString();
        return song;
    }
    file.close();
    song.size = info.size();
    song.facts = readSongFacts(path);
    return song;
}

QFuture<SongFile> lookAtSongFile(const QString& path)
{
    QPromise<SongFile> promise;
    QFuture<SongFile> future = promise.future();
    std::thread([promise = std::move(promise), path]() mutable {
        promise.start();
        promise.addResult(examineSongFile(path));
        promise.finish();
    }).detach();
    return future;
}
