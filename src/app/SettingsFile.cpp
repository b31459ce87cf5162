// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsFile.h"

#include "app/ListFile.h"
#include "controls/ChatTemplates.h"

#include <array>

namespace {

const QString kLoads = QStringLiteral("[loads]");

}  // namespace

void SettingsFile::replaceRow(const QString& name, const QString& value)
{
    TextList& rows = m_rows;
    for (int i = rows.count() - 1; i >= 0; --i) {
        if (rows.item(i).contains(name))
            rows.removeItem(i);
    }
    rows.addItem(name + u':' + value);
}

void SettingsFile::applyAtStartUp()
{
    const std::array<std::pair<QString, TextValue*>, 5> keys = {{
        {QStringLiteral("[font]"), &m_templates.font},
        {QStringLiteral("[play]"), &m_templates.playing},
        {QStringLiteral("[ignore]"), &m_templates.ignored},
        {QStringLiteral("[unignore]"), &m_templates.unignored},
        {QStringLiteral("[playing]"), &m_templates.playingTitle},
    }};
    bool counted = false;
    for (const QString& row : m_rows.items()) {
        for (const auto& [key, field] : keys) {
            if (row.contains(key))
                field->setText(QString(row).remove(key + u':'));
        }
        if (row.contains(kLoads)) {
            m_loads = QString(row).remove(kLoads + u':');
            counted = true;
        }
    }

    if (!counted) {
        m_rows.addItem(kLoads + QStringLiteral(":2"));
        return;
    }
    bool isNumber = false;
    const double loads = m_loads.trimmed().toDouble(&isNumber);
    if (isNumber)
        replaceRow(kLoads, QString::number(loads + 1, 'g', 16));
}

bool SettingsFile::load(QString* reason)
{
    return loadOrCreateListFile(m_paths.settingsDir, AppPaths::kSettingsName, m_rows, reason);
}
