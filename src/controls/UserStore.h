// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user store of string values, addressed like the registry the
// program was first written for: application "quillon", a section, a key.
QString readSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void writeSetting(const QString& section, const QString& key, const QString& value);

// The folder name the program's files go under in each of the user's base
// folders (configuration, data, cache): "quillon", or "quillon/NAME" for
// the profile NAME, so that several copies (one bot per room) each keep
// files of their own. The store follows it.
QString profileFolder();
// Picks the profile before any file is read; false, and nothing changed,
// for a name that cannot be one folder's name.
bool selectProfile(const QString& name);
