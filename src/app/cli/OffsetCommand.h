#pragma once

#include "platform/dbus/TimingRequestBus.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <variant>

// `zuvik offset [+|-]SECONDS | reset | show`: the timing offset of the track the running copy is
// playing, set from a terminal.

bool isOffsetCommand(const QStringList& arguments);
// The request arguments[2] stands for, or a message saying what the command takes.
std::variant<TimingRequest, QString> parseOffsetArguments(const QStringList& arguments);
// Asks the copy owning `busName`; the process's exit status: 0, 1 when no copy runs or it has
// nothing playing, 2 for wrong arguments.
int runOffsetCommand(const QStringList& arguments, const QString& busName, std::FILE* out = stdout,
                     std::FILE* err = stderr);
