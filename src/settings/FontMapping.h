#pragma once

#include "settings/SettingsEnums.h"

#include <QFont>
#include <QStringList>

// Which installed family stands in for each lyric font, and at what weight.
struct FontChoice {
    LyricFont font;
    QStringList families;  // the first one installed is used
    QFont::Weight weight;
};

const QList<FontChoice>& fontChoices();

// The font for a family at a point size; falls back to the system sans (semibold) when none of
// the family's stand-ins is installed. Never fails. Needs a QGuiApplication.
QFont makeFont(LyricFont family, double pointSize);
