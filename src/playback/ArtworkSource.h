#pragma once

#include <QByteArray>
#include <QUrl>

#include <variant>

// Where the artwork of the track now playing is: an address to fetch it from (web or file), the
// picture's own bytes, or nowhere (no player, no artwork, the player could not be asked).
using ArtworkLocation = std::variant<std::monostate, QUrl, QByteArray>;

// The one platform operation the artwork colour sync needs: ask the player that the player query
// follows where its current artwork is.
class ArtworkSource {
public:
    virtual ~ArtworkSource() = default;
    // Blocking; called on the artwork thread only, one call at a time.
    virtual ArtworkLocation currentArtwork() = 0;
};
