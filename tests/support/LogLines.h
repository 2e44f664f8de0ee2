#pragma once

#include "foundation/DiagLog.h"

#include <QFile>
#include <QStringList>

// The messages the shared diagnostic log has written since this was made, time stamps removed.
class LogLines {
public:
    LogLines() { m_start = fileBytes().size(); }

    QStringList newMessages() const
    {
        QStringList messages;
        for (const QByteArray& record : fileBytes().mid(m_start).split('\n'))
            if (!record.isEmpty())
                messages.append(QString::fromUtf8(record.mid(14)));  // "HH:mm:ss.zzz  "
        return messages;
    }
    bool contains(const QString& message) const { return newMessages().contains(message); }

private:
    static QByteArray fileBytes()
    {
        DiagLog::shared().waitUntilWritten();  // lines still queued reach the file first
        QFile file(DiagLog::shared().filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    qsizetype m_start = 0;
};
