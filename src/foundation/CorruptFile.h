#pragma once

#include <QString>

#include <optional>

// The one way a file Zuvik keeps that does not decode is set aside, so that nothing the user had
// is ever destroyed: renamed to the first free name of PATH.corrupt, PATH.corrupt.2,
// PATH.corrupt.3, ... (an older one stays where it is). The name it now has, or nothing when it
// could not be renamed.
std::optional<QString> setAsideCorrupt(const QString& path);
