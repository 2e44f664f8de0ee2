#pragma once

#include <QString>

class QScreen;

// The display ID of a screen (see DisplayIdentity), and the name the log and the menu give it.
quint32 displayIdOf(const QScreen& screen);
QString displayNameOf(const QScreen& screen);
