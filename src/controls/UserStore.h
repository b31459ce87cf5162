#pragma once

#include <QString>

// The per-user store of string values, addressed like the registry the
// program was first written for: application "quillon", a section, a key.
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void SaveSetting(const QString& section, const QString& key, const QString& value);
