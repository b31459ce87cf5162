// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"

#include <QString>

class FormState;

// The settings file's rows, held in lstsettings: a bracketed key, ":" and a
// value. The values fill the main form's templates at start-up.
class SettingsFile {
public:
    SettingsFile(FormState& form, const AppPaths& paths) : m_form(form), m_paths(paths) { }

    // Replaces every row that mentions the key with "name:value" at the end.
    void AddSetting(const QString& name, const QString& value);
    // Applies every row to the templates and counts this start.
    void applyAtStartUp();

    void load();

private:
    FormState& m_form;
    const AppPaths& m_paths;
};
