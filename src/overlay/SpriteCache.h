#pragma once

#include "overlay/IconSprite.h"
#include "overlay/WordSprite.h"

#include <QList>

#include <variant>

using PictureLook = std::variant<SpriteLook, IconLook>;

// The pictures of the frame being placed, each painted once and kept while frames keep asking for
// it; the id lets the scene graph keep a picture's texture from frame to frame. GUI thread.
class SpriteCache {
public:
    struct Entry {
        quint64 id;
        const WordSprite* sprite;  // valid until the next spriteFor
    };

    // A picture not asked for between beginFrame and endFrame is dropped at endFrame.
    void beginFrame();
    Entry spriteFor(const PictureLook& look);
    void endFrame();
    const WordSprite* find(quint64 id) const;

private:
    template <typename Look> struct Cached {
        Look look;
        WordSprite sprite;
        quint64 id;
        bool used;
    };
    template <typename Look> Entry lookUp(QList<Cached<Look>>& cache, const Look& look);

    QList<Cached<SpriteLook>> m_rows;
    QList<Cached<IconLook>> m_icons;
    quint64 m_nextId = 1;
};
