// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"
#include "controls/TextList.h"

#include <QString>

struct ChatTemplates;

// The settings file's rows: a bracketed key, ":" and a value. The values
// fill the chat templates at start-up, and one counts the program's starts.
class SettingsFile {
public:
    SettingsFile(ChatTemplates& templates, const AppPaths& paths) : m_templates(templates), m_paths(paths) { }

    TextList& rows() { return m_rows; }
    // How many times the program has started, as the file counts it.
    const QString& loads() const { return m_loads; }

    // Replaces every row that mentions the key with "name:value" at the end.
    void replaceRow(const QString& name, const QString& value);
    // Applies every row to the templates and counts this start.
    void applyAtStartUp();

    // Loads the rows; false, with the reason, when the file is there but
    // could not be read.
    bool load(QString* reason);

private:
    ChatTemplates& m_templates;
    TextList m_rows;
    QString m_loads = QStringLiteral("1");
    const AppPaths& m_paths;
};
