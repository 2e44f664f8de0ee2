#include "platform/osascript/OsascriptArtworkSource.h"

#include "platform/osascript/OsascriptPlayerSource.h"

#include <QStandardPaths>

#include <algorithm>

const QString& spotifyArtworkScript()
{
    static const QString script = QStringLiteral(R"(set theResult to ""
if application "Spotify" is running then
    tell application "Spotify"
        if player state is playing or player state is paused then
            set theResult to "url" & tab & (artwork url of current track)
        end if
    end tell
end if
return theResult
)");
    return script;
}

const QString& musicArtworkScript()
{
    static const QString script = QStringLiteral(R"(if application "Music" is running then
    tell application "Music"
        if (player state is playing or player state is paused) and (count of artworks of current track) > 0 then
            return raw data of artwork 1 of current track
        end if
    end tell
end if
)");
    return script;
}

std::optional<QUrl> spotifyArtworkAddress(QStringView answer)
{
    constexpr QStringView marker = u"url\t";
    if (!answer.startsWith(marker))
        return std::nullopt;
    const QString text = answer.sliced(marker.size()).toString();
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QByteArray> osascriptRawData(QStringView printed)
{
    constexpr QStringView opening = u"«data ";
    constexpr qsizetype typeCodeLength = 4;
    const QStringView text = printed.trimmed();
    if (!text.startsWith(opening) || !text.endsWith(u'»') || text.size() < opening.size() + typeCodeLength + 1)
        return std::nullopt;
    const QStringView hex = text.sliced(opening.size() + typeCodeLength).chopped(1);
    if (hex.size() % 2 != 0)
        return std::nullopt;
    const auto isHexDigit = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (!std::all_of(hex.begin(), hex.end(), isHexDigit))
        return std::nullopt;
    return QByteArray::fromHex(hex.toLatin1());
}

std::unique_ptr<ArtworkSource> OsascriptArtworkSource::create()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("osascript"));
    if (program.isEmpty())
        return nullptr;
    return std::make_unique<OsascriptArtworkSource>(program);
}

OsascriptArtworkSource::OsascriptArtworkSource(QString program)
    : m_program(std::move(program))
{}

ArtworkLocation OsascriptArtworkSource::currentArtwork()
{
    const ScriptResult spotify = runOsascript(m_program, spotifyArtworkScript());
    if (const auto* answer = std::get_if<QString>(&spotify)) {
        if (const std::optional<QUrl> url = spotifyArtworkAddress(*answer))
            return *url;
    }
    const ScriptResult music = runOsascript(m_program, musicArtworkScript());
    if (const auto* answer = std::get_if<QString>(&music)) {
        if (std::optional<QByteArray> bytes = osascriptRawData(*answer))
            return std::move(*bytes);
    }
    return {};
}
