#include "platform/freedesktop/XdgAutostart.h"

#include "foundation/AtomicFileWrite.h"
#include "foundation/RegularFileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace xdg_autostart {

namespace {

constexpr qint64 largestEntry = 64 * 1024;

// The desktop entry rules' string escapes: a backslash is written twice.
QString asString(const QString& value)
{
    QString escaped = value;
    return escaped.replace(u'\\', QStringLiteral("\\\\"));
}

// One argument of an Exec line: quoted when it holds a character the rules reserve, with `"`, `` ` ``,
// `$` and `\` escaped inside the quotes; `%` is doubled, as a lone one starts a field code.
QString asExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString text = argument;
    text.replace(u'%', QStringLiteral("%%"));
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return reserved.contains(c); }))
        return text;
    QString quoted;
    for (QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

}  // namespace

std::variant<QByteArray, QString> entryText(const QString& executable)
{
    if (executable.isEmpty() || QDir::isRelativePath(executable))
        return QStringLiteral("the program's path \"%1\" is not absolute").arg(executable);
    if (std::any_of(executable.begin(), executable.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("the program's path holds a control character");
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Zuvik\n"
                                        "Comment=Lyrics of the song playing, word by word, over every display\n"
                                        "Icon=org.orvane.Zuvik\n"
                                        "TryExec=%1\n"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(asString(executable), asString(asExecArgument(executable)));
    return text.toUtf8();
}

bool startsAtLogin(const QByteArray& entry)
{
    bool inMainGroup = false;
    for (const QByteArray& rawLine : entry.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return true;
}

}  // namespace xdg_autostart

XdgAutostart::XdgAutostart(QString entryFile, QString executable)
    : m_entryFile(std::move(entryFile))
    , m_executable(std::move(executable))
{}

bool XdgAutostart::isOn() const
{
    const FileRead read = readRegularFile(m_entryFile, xdg_autostart::largestEntry);
    return read.status == FileRead::Status::read && xdg_autostart::startsAtLogin(read.bytes);
}

std::optional<QString> XdgAutostart::turn(bool on)
{
    if (!on) {
        QFile entry(m_entryFile);
        if (!QFileInfo(m_entryFile).isSymLink() && !entry.exists())
            return std::nullopt;
        if (!entry.remove())
            return QStringLiteral("cannot remove %1: %2").arg(m_entryFile, entry.errorString());
        return std::nullopt;
    }
    const auto text = xdg_autostart::entryText(m_executable);
    if (const QString* problem = std::get_if<QString>(&text))
        return *problem;
    const QString folder = QFileInfo(m_entryFile).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create the folder %1").arg(folder);
    const WriteResult written = writeFileAtomically(m_entryFile, std::get<QByteArray>(text));
    if (!written.written)
        return QStringLiteral("cannot write %1: %2").arg(m_entryFile, written.error);
    return std::nullopt;
}
