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
        const QByteArray added = fileBytes().mid(m_start);
        QStringList messages;
        for (const QByteArray& record : added.split('\n')) {
            if (!record.isEmpty())
                messages.append(QString::fromUtf8(record.mid(14)));  // "HH:mm:ss.zzz  "
        }
        return messages;
    }


private:
    static QByteArray fileBytes()
    {
        DiagLog::shared().waitUntilWritten();
        QFile file(DiagLog::shared().filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    qsizetype m_start = 0;
};
