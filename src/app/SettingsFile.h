#pragma once

#include <QString>

class MainForm;

// The settings file's rows, held in lstsettings: a bracketed key, ":" and a
// value. The values fill the main form's templates at start-up.
class SettingsFile {
public:
    explicit SettingsFile(MainForm& form) : m_form(form) {}

    // Replaces every row that mentions the key with "name:value" at the end.
    void AddSetting(const QString& name, const QString& value);
    // Applies every row to the templates and counts this start.
    void applyAtStartUp();

    void load();

private:
    MainForm& m_form;
};
