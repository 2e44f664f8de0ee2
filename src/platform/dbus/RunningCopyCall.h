#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>

// A second invocation (`zuvik --menu`, `zuvik offset …`) asking the running copy to do something
// over the session bus, next to the single-instance name that copy owns.

enum class RunningCopyOutcome {
    answered,  // `text` holds the reply's first string, if any
    refused,  // the copy answered with an error of its own; `text` says why
    noRunningInstance,  // nobody owns the application's bus name
    noSessionBus,
    failed,  // the call went wrong; `text` says how
};

struct RunningCopyReply {
    RunningCopyOutcome outcome;
    QString text;
};

// The error name a running copy answers with when it cannot do what it was asked (nothing
// playing, say); its message is meant for the user.
inline const QString refusedErrorName = QStringLiteral("org.orvane.Zuvik.Error.Refused");

struct RunningCopyMethod {
    QString objectPath;
    QString interfaceName;
    QString name;
};

// Calls the method on the copy owning `busName`. Blocks for at most `timeoutMs`; it runs in a
// command-line process that has nothing else to do meanwhile.
RunningCopyReply callRunningCopy(const QString& busName, const RunningCopyMethod& method,
                                 const QVariantList& arguments = {},
                                 QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 5000);
