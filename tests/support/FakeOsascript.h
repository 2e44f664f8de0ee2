#pragma once

#include <QFile>
#include <QTemporaryDir>

// Puts tests/support/fake-osascript first on PATH while it lives, and says what its next runs answer.
class FakeOsascript {
public:
    FakeOsascript()
    {
        qputenv("FAKE_OSASCRIPT_DIR", QFile::encodeName(m_control.path()));
        qputenv("PATH", QByteArray(ZUVIK_FAKE_OSASCRIPT_DIR) + ':' + m_oldPath);
    }
    ~FakeOsascript() { qputenv("PATH", m_oldPath); }

    void reply(const QString& text)
    {
        QFile::remove(m_control.filePath("stderr"));
        write("reply", text.toUtf8());
    }
    void fail(const QString& standardError) { write("stderr", standardError.toUtf8()); }
    void setDelay(double seconds) { write("delay", QByteArray::number(seconds)); }
    // The script text the last run was given on standard input.
    QString lastScript() const
    {
        QFile file(m_control.filePath("script.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    void write(const char* name, const QByteArray& contents) const
    {
        QFile file(m_control.filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(contents);
    }

    QTemporaryDir m_control;
    const QByteArray m_oldPath = qgetenv("PATH");
};
