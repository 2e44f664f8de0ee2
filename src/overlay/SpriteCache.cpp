#include "overlay/SpriteCache.h"

#include <algorithm>

void SpriteCache::beginFrame()
{
    for (auto& cached : m_rows)
        cached.used = false;
    for (auto& cached : m_icons)
        cached.used = false;
}

template <typename Look> SpriteCache::Entry SpriteCache::lookUp(QList<Cached<Look>>& cache, const Look& look)
{
    const auto found = std::find_if(cache.begin(), cache.end(),
                                    [&look](const Cached<Look>& cached) { return cached.look == look; });
    if (found != cache.end()) {
        found->used = true;
        return {found->id, &found->sprite};
    }
    if constexpr (std::is_same_v<Look, SpriteLook>)
        cache.append({look, paintWordSprite(look), m_nextId++, true});
    else
        cache.append({look, paintIconSprite(look), m_nextId++, true});
    return {cache.last().id, &cache.last().sprite};
}

SpriteCache::Entry SpriteCache::spriteFor(const PictureLook& look)
{
    if (const auto* row = std::get_if<SpriteLook>(&look))
        return lookUp(m_rows, *row);
    return lookUp(m_icons, std::get<IconLook>(look));
}

void SpriteCache::endFrame()
{
    m_rows.removeIf([](const auto& cached) { return !cached.used; });
    m_icons.removeIf([](const auto& cached) { return !cached.used; });
}

const WordSprite* SpriteCache::find(quint64 id) const
{
    for (const auto& cached : m_rows) {
        if (cached.id == id)
            return &cached.sprite;
    }
    for (const auto& cached : m_icons) {
        if (cached.id == id)
            return &cached.sprite;
    }
    return nullptr;
}
