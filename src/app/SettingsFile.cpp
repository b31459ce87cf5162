// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsFile.h"

#include "app/ListFile.h"
#include "controls/FormState.h"

#include <array>

namespace {

const QString kLoads = QStringLiteral("[loads]");

}  // namespace

void SettingsFile::AddSetting(const QString& name, const QString& value)
{
    ListBox& rows = m_form.lstsettings;
    for (int i = rows.count() - 1; i >= 0; --i) {
        if (rows.item(i).contains(name))
            rows.removeItem(i);
    }
    rows.addItem(name + u':' + value);
}

void SettingsFile::applyAtStartUp()
{
    const std::array<std::pair<QString, TextField*>, 6> keys = {{
        {QStringLiteral("[font]"), &m_form.txtFont},
        {QStringLiteral("[play]"), &m_form.txtPlay},
        {QStringLiteral("[ignore]"), &m_form.txtIgnore},
        {QStringLiteral("[unignore]"), &m_form.txtUnignore},
        {QStringLiteral("[playing]"), &m_form.txtPlaying},
        {kLoads, &m_form.txtLoads},
    }};
    bool counted = false;
    for (const QString& row : m_form.lstsettings.items()) {
        for (const auto& [key, field] : keys) {
            if (row.contains(key))
                field->setText(QString(row).remove(key + u':'));
        }
        counted = counted || row.contains(kLoads);
    }

    if (!counted) {
        m_form.lstsettings.addItem(kLoads + QStringLiteral(":2"));
        return;
    }
    bool isNumber = false;
    const double loads = m_form.txtLoads.text().trimmed().toDouble(&isNumber);
    if (isNumber)
        AddSetting(kLoads, QString::number(loads + 1, 'g', 16));
}

void SettingsFile::load()
{
    LoadOrCreateListFile(m_paths.settingsDir, AppPaths::kSettingsName, m_form.lstsettings);
}
