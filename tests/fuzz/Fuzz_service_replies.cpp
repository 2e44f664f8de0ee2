// Any reply body: reading it never fails, and the chosen candidates are matching ones of those read.
#include "FuzzChecks.h"

#include "lyrics/CandidateChoice.h"
#include "lyrics/ServiceReplies.h"

#include <QJsonDocument>

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!document.isObject())
        return 0;
    const LyricTexts texts = lyricTextsFromReply(document.object());
    FUZZ_CHECK(!texts.wordLevel || !texts.wordLevel->isEmpty());
    FUZZ_CHECK(!texts.lineLevel || !texts.lineLevel->isEmpty());

    const std::optional<QList<Candidate>> candidates = candidatesFromSearchReply(document.object());
    if (!candidates)
        return 0;
    for (double duration : {214.6, 0.0, std::numeric_limits<double>::quiet_NaN(), 1e300}) {
        const NowPlayingTrack track{QStringLiteral("Lanterns"), QStringLiteral("Mara Lind & Jonas Vey"), duration};
        const QList<Candidate> chosen = chooseCandidates(*candidates, track, 3000);
        FUZZ_CHECK(chosen.size() <= candidates->size());
        for (const Candidate& candidate : chosen)
            FUZZ_CHECK(candidates->contains(candidate) && matches(candidate, track));
    }
    return 0;
}
