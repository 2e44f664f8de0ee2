#include "lyrics/LyricSource.h"

QString sourceName(LyricSource source)
{
    switch (source) {
    case LyricSource::ncm:
        return QStringLiteral("ncm");
    case LyricSource::lrclib:
        return QStringLiteral("lrclib");
    }
    Q_UNREACHABLE();
}

std::optional<LyricSource> lyricSourceNamed(QStringView name)
{
    for (LyricSource source : defaultSourceOrder()) {
        if (name == sourceName(source))
            return source;
    }
    return std::nullopt;
}

QList<LyricSource> defaultSourceOrder() { return {LyricSource::ncm, LyricSource::lrclib}; }
