#pragma once

#include <QString>

// Screen names, room names and playlist names are compared the way people
// write them: every blank removed and lower-cased, so "Marl Bot" and
// "marlbot" are one name.
QString NormalizeName(const QString& name);
