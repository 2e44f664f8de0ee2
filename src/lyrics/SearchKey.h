#pragma once

#include <QString>
#include <QStringView>

// The one normalisation through which titles, artists and song names are compared: lowercase,
// without diacritics and width variants, without featuring, source, edition and version notes,
// and reduced to words of letters, marks and digits joined by single spaces. May be empty.
// "Song Title (feat. Someone)" and "Song Title - Radio Edit" both give "song title".
QString searchKey(QStringView text);
