// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"

#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

// One running program writes a set of files: a lock beside the playlist
// and one beside the settings file, held for the whole run. A lock left by
// a program that has died is taken over.
class FilesLock {
public:
    explicit FilesLock(const AppPaths& paths);
    ~FilesLock();

    enum class Result { Held, HeldByAnother, CannotLock };
    Result acquire();
    // After HeldByAnother: the process that holds the files; after either
    // failure, a sentence that says what happened.
    qint64 holderPid() const { return m_holderPid; }
    QString problem() const { return m_problem; }

    static inline const QString kLockName = QStringLiteral("quillon.lock");

private:
    std::vector<std::unique_ptr<QLockFile>> m_locks;
    qint64 m_holderPid = 0;
    QString m_problem;
};
