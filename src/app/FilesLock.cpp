// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FilesLock.h"

#include <QDir>

FilesLock::FilesLock(const AppPaths& paths)
{
    QStringList dirs {paths.programDir};
    if (QDir(paths.settingsDir).canonicalPath() != QDir(paths.programDir).canonicalPath())
        dirs.append(paths.settingsDir);
    for (const QString& dir : dirs) {
        m_locks.push_back(std::make_unique<QLockFile>(dir + u'/' + kLockName));
        // Only a dead holder makes a lock stale, however old it is.
        m_locks.back()->setStaleLockTime(0);
    }
}

FilesLock::~FilesLock() = default;

FilesLock::Result FilesLock::acquire()
{
    for (const auto& lock : m_locks) {
        if (lock->tryLock(0))
            continue;
        const QString path = QDir::toNativeSeparators(lock->fileName());
        if (lock->error() == QLockFile::LockFailedError) {
            QString host, application;
            lock->getLockInfo(&m_holderPid, &host, &application);
            m_problem = QStringLiteral("the files beside %1 are in use by another running Quillon (PID %2)")
                            .arg(path)
                            .arg(m_holderPid);
            return Result::HeldByAnother;
        }
        m_problem = QStringLiteral("cannot create the lock %1 (%2)")
                        .arg(path,
                             lock->error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                                         : QStringLiteral("unknown error"));
        return Result::CannotLock;
    }
    return Result::Held;
}
