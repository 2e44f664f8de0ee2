#include "settings/ArtworkWorker.h"

#include "foundation/DiagLog.h"
#include "settings/AccentExtractor.h"

ArtworkWorker::ArtworkWorker(ArtworkColorSync::SourceFactory makeSource, ArtworkLimits limits)
    : m_makeSource(std::move(makeSource))
    , m_loader(limits)
{}

ArtworkWorker::~ArtworkWorker() = default;

void ArtworkWorker::run(const NowPlayingTrack& track)
{
    const std::optional<QImage> picture = fetchArtwork();
    if (!picture) {
        DiagLog::log(QStringLiteral("auto sync: no artwork for current track"));
        return;
    }
    const std::optional<Color> accent = extractAccent(*picture);
    if (!accent) {
        DiagLog::log(QStringLiteral("auto sync: palette extraction failed"));
        return;
    }
    Q_EMIT accentFound(*accent, track);
}

std::optional<QImage> ArtworkWorker::fetchArtwork()
{
    // Made once: a source that cannot be had is not asked for again.
    if (m_makeSource) {
        m_source = m_makeSource();
        m_makeSource = nullptr;
    }
    if (!m_source)
        return std::nullopt;
    return m_loader.load(m_source->currentArtwork());
}
