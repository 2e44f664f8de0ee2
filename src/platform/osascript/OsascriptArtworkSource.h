#pragma once

#include "playback/ArtworkSource.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <memory>
#include <optional>

// The two artwork scripts. Neither launches a player: each "tell" is guarded by "is running".
// Spotify's answers "url", a tab and the artwork address of the current track, or the empty text.
const QString& spotifyArtworkScript();
// Music's answers the raw data of the current track's first artwork, or nothing.
const QString& musicArtworkScript();

// The web address in the Spotify script's answer: the text after "url" and a tab, when it is a
// usable address. Nothing for any other answer, an empty address included.
std::optional<QUrl> spotifyArtworkAddress(QStringView answer);

// The bytes of a result that osascript prints as raw data, «data XXXX0123ABCD…» (a four-letter
// type code, then the bytes in hexadecimal). Nothing for any other text or for broken hex.
std::optional<QByteArray> osascriptRawData(QStringView printed);

// Asks Spotify, then Music, through osascript, one process per script. When Spotify gives a
// usable address the artwork is that address, whatever its download gives; otherwise it is
// Music's picture bytes. Script errors (not running, not permitted) are not reported here.
class OsascriptArtworkSource : public ArtworkSource {
public:
    // Looks `osascript` up on PATH; nothing when there is none.
    static std::unique_ptr<ArtworkSource> create();

    explicit OsascriptArtworkSource(QString program);
    ArtworkLocation currentArtwork() override;

private:
    const QString m_program;
};
