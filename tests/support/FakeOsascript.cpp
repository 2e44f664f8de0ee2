#include "FakeOsascript.h"

#include <QFile>

FakeOsascript::FakeOsascript()
    : m_oldPath(qgetenv("PATH"))
{
    qputenv("FAKE_OSASCRIPT_DIR", QFile::encodeName(m_control.path()));
    qputenv("PATH", QByteArray(ZUVIK_FAKE_OSASCRIPT_DIR) + ':' + m_oldPath);
}

FakeOsascript::~FakeOsascript()
{
    qputenv("PATH", m_oldPath);
}

void FakeOsascript::write(const char* name, const QByteArray& contents) const
{
    QFile file(m_control.filePath(QString::fromUtf8(name)));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
}

void FakeOsascript::reply(const QString& text)
{
    QFile::remove(m_control.filePath(QStringLiteral("stderr")));
    write("reply", text.toUtf8());
}

void FakeOsascript::fail(const QString& standardError, int exitStatus)
{
    write("stderr", standardError.toUtf8());
    write("exit", QByteArray::number(exitStatus));
}

void FakeOsascript::setDelay(double seconds)
{
    write("delay", QByteArray::number(seconds));
}

QString FakeOsascript::lastScript() const
{
    QFile file(m_control.filePath(QStringLiteral("script.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
