// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavedList.h"

#include "app/ListFile.h"
#include "controls/TextList.h"
#include "controls/UserInterface.h"

#include <QDir>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcFiles, "quillon.files")

SavedList::SavedList(const TextList& list, QString path, UserInterface& ui)
    : m_list(list),
      m_path(std::move(path)),
      m_ui(ui)
{
    m_saveTimer.setSingleShot(true);
    connect(&m_saveTimer, &QTimer::timeout, this, &SavedList::writeIfChanged);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_list, signal, this, &SavedList::changed);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &SavedList::changed);
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &SavedList::changed);
}

void SavedList::changed()
{
    if (m_unread)
        return;
    m_changed = true;
    if (m_saveTimer.isActive())
        return;
    const qint64 sinceWrite = m_lastWrite.isValid() ? m_lastWrite.elapsed() : kGapMs;
    m_saveTimer.start(int(std::max<qint64>(kDelayMs, kGapMs - sinceWrite)));
}

void SavedList::writeIfChanged()
{
    m_saveTimer.stop();
    if (m_changed)
        save();
}

void SavedList::markSaved()
{
    m_saveTimer.stop();
    m_changed = false;
}

void SavedList::keepUnread(const QString& reason)
{
    markSaved();
    m_unread = true;
    const QString text = QStringLiteral("Cannot read %1: %2; it is left as it is and not written by this run")
                             .arg(QDir::toNativeSeparators(m_path), reason);
    qCCritical(lcFiles).nospace().noquote() << "quillon: " << text;
    // Shown once the start-up is over: a box shown in its middle would hold
    // the start-up there, and a request to stop while the box is up would
    // end only the box's loop.
    QMetaObject::invokeMethod(
        this, [this, text] { m_ui.fileNotWritten(text); }, Qt::QueuedConnection);
}

bool SavedList::save()
{
    m_saveTimer.stop();
    m_changed = false;
    if (m_unread)
        return false;
    m_lastWrite.start();
    QString reason;
    if (saveListFile(m_path, m_list, &reason)) {
        m_failing = false;
        return true;
    }
    const QString text = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), reason);
    qCCritical(lcFiles).nospace().noquote() << "quillon: " << text;
    if (!std::exchange(m_failing, true))
        m_ui.fileNotWritten(text);
    return false;
}
