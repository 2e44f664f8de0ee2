#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Puts the fake osascript program (tests/support/fake-osascript) first on PATH for as long as
// it lives, and says what its next runs answer.
class FakeOsascript {
public:
    FakeOsascript();
    ~FakeOsascript();

    void reply(const QString& text);
    void fail(const QString& standardError, int exitStatus = 1);
    void setDelay(double seconds);
    // The script text the last run was given on standard input.
    QString lastScript() const;

private:
    void write(const char* name, const QByteArray& contents) const;

    QTemporaryDir m_control;
    const QByteArray m_oldPath;
};
