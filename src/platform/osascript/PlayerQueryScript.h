#pragma once

#include <QString>

// The AppleScript source that asks Spotify, then Music, what is playing and answers with one
// reply record (or the empty text). It never launches a player: each "tell" is guarded by
// "is running".
const QString& playerQueryScript();
