#include "app/StartAtLogin.h"

#include "foundation/DiagLog.h"

std::optional<QString> turnStartAtLogin(StartAtLogin& startAtLogin, bool on)
{
    const QString word = on ? QStringLiteral("true") : QStringLiteral("false");
    std::optional<QString> problem = startAtLogin.turn(on);
    if (problem)
        DiagLog::log(QStringLiteral("start at login not set to %1: %2").arg(word, *problem));
    else
        DiagLog::log(QStringLiteral("start at login → ") + word);
    return problem;
}
