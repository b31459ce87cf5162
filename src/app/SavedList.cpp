// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavedList.h"

#include "app/ListFile.h"
#include "controls/LogLine.h"
#include "controls/TextList.h"
#include "controls/UserInterface.h"

#include <QDir>

#include <algorithm>

SavedList::SavedList(const TextList& list, QString path, UserInterface& ui)
    : m_list(list),
      m_path(std::move(path)),
      m_ui(ui)
{
    saveTimer.setSingleShot(true);
    connect(&saveTimer, &QTimer::timeout, this, &SavedList::writeIfChanged);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_list, signal, this, &SavedList::changed);
    connect(&m_list, &QAbstractItemModel::modelReset, this, &SavedList::changed);
    connect(&m_list, &QAbstractItemModel::dataChanged, this, &SavedList::changed);
}

void SavedList::changed()
{
    m_changed = true;
    if (saveTimer.isActive())
        return;
    const qint64 sinceWrite = m_lastWrite.isValid() ? m_lastWrite.elapsed() : kGapMs;
    saveTimer.start(int(std::max<qint64>(kDelayMs, kGapMs - sinceWrite)));
}

void SavedList::writeIfChanged()
{
    saveTimer.stop();
    if (m_changed)
        save();
}

void SavedList::markSaved()
{
    saveTimer.stop();
    m_changed = false;
}

bool SavedList::save()
{
    saveTimer.stop();
    m_changed = false;
    m_lastWrite.start();
    QString reason;
    if (saveListFile(m_path, m_list, &reason)) {
        m_failing = false;
        return true;
    }
    const QString text = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), reason);
    logLine(stderr, LogLevel::Error, QStringLiteral("quillon: ") + text);
    if (!std::exchange(m_failing, true))
        m_ui.fileNotWritten(text);
    return false;
}
