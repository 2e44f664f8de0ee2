#include "app/cli/SettingsCommand.h"

#include "app/StartAtLogin.h"
#include "foundation/DiagLog.h"
#include "foundation/UserFolders.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "settings/SettingsTable.h"

#include <optional>

namespace {

constexpr int okStatus = 0;
constexpr int notDoneStatus = 1;
constexpr int badArgumentsStatus = 2;

const QString startAtLoginKey = QStringLiteral("startAtLogin");

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString keyList()
{
    QStringList keys;
    for (const SettingRow& row : settingRows())
        keys.append(row.key);
    keys.append(startAtLoginKey);
    return keys.join(QStringLiteral(", "));
}

QString helpText()
{
    QString text = QStringLiteral("Usage: zuvik set KEY VALUE\n"
                                  "       zuvik get [KEY]\n"
                                  "Changes or shows a setting; a running Zuvik follows a change at once.\n\nKeys:\n");
    for (const SettingRow& row : settingRows())
        text += QStringLiteral("  %1\n      %2; %3\n").arg(row.key, row.doc, row.values);
    text += QStringLiteral("  %1\n      start Zuvik when you log in; true or false\n").arg(startAtLoginKey);
    return text;
}

int unknownKey(std::FILE* err, const QString& key)
{
    print(err, QStringLiteral("zuvik: unknown setting \"%1\"; the keys are %2\n").arg(key, keyList()));
    return badArgumentsStatus;
}

// When the defaults file cannot be read, or the last change could not be written: the reason,
// printed, and the status to exit with.
std::optional<int> storeFailure(const AppSettings& settings, const QString& command, std::FILE* err)
{
    const QString problem = settings.storeProblem();
    if (problem.isEmpty())
        return std::nullopt;
    print(err, command + QStringLiteral(": ") + problem + u'\n');
    return notDoneStatus;
}

// Needs no settings file: the desktop's entry is all there is to it.
int runSetStartAtLogin(const QString& text, StartAtLogin& startAtLogin, std::FILE* err)
{
    const std::optional<bool> on = parseTrueFalse(text);
    if (!on) {
        print(err, QStringLiteral("zuvik: %1 wants true or false, not \"%2\"\n").arg(startAtLoginKey, text));
        return badArgumentsStatus;
    }
    if (const std::optional<QString> problem = turnStartAtLogin(startAtLogin, *on)) {
        print(err, QStringLiteral("zuvik set: ") + *problem + u'\n');
        return notDoneStatus;
    }
    return okStatus;
}

int runGet(const QStringList& words, const AppSettings& settings, const StartAtLogin& startAtLogin, std::FILE* out,
           std::FILE* err)
{
    if (words.size() > 1) {
        print(err, QStringLiteral("zuvik: get takes at most one key\n") + helpText());
        return badArgumentsStatus;
    }
    if (words.value(0) == startAtLoginKey) {
        print(out, trueFalse(startAtLogin.isOn()) + u'\n');
        return okStatus;
    }
    // The defaults would be shown as if they were the user's settings.
    if (const std::optional<int> status = storeFailure(settings, QStringLiteral("zuvik get"), err))
        return *status;
    if (words.isEmpty()) {
        for (const SettingRow& row : settingRows())
            print(out, row.key + u'\t' + row.format(settings.value(row.id)) + u'\n');
        print(out, startAtLoginKey + u'\t' + trueFalse(startAtLogin.isOn()) + u'\n');
        return okStatus;
    }
    const SettingRow* row = settingRow(words.first());
    if (!row)
        return unknownKey(err, words.first());
    print(out, row->format(settings.value(row->id)) + u'\n');
    return okStatus;
}

int runSet(const QStringList& words, AppSettings& settings, StartAtLogin& startAtLogin, std::FILE* err)
{
    if (words.size() != 2) {
        print(err, QStringLiteral("zuvik: set takes a key and a value\n") + helpText());
        return badArgumentsStatus;
    }
    if (words[0] == startAtLoginKey)
        return runSetStartAtLogin(words[1], startAtLogin, err);
    const SettingRow* row = settingRow(words[0]);
    if (!row)
        return unknownKey(err, words[0]);
    const ParsedSetting value = row->parse(words[1]);
    if (const QString* problem = std::get_if<QString>(&value)) {
        print(err, QStringLiteral("zuvik: %1 %2, not \"%3\"\n").arg(row->key, *problem, words[1]));
        return badArgumentsStatus;
    }
    // A file that cannot be read is left as it is: nothing is tried.
    if (const std::optional<int> status = storeFailure(settings, QStringLiteral("zuvik set"), err))
        return *status;
    settings.setValue(row->id, std::get<SettingValue>(value));
    return storeFailure(settings, QStringLiteral("zuvik set"), err).value_or(okStatus);
}

}  // namespace

bool isSettingsCommand(const QStringList& arguments)
{
    return arguments.size() > 1 && (arguments[1] == u"set" || arguments[1] == u"get");
}

int runSettingsCommand(const QStringList& arguments, AppSettings& settings, StartAtLogin& startAtLogin, std::FILE* out,
                       std::FILE* err)
{
    const QStringList words = arguments.mid(2);
    if (words.contains(u"--help") || words.contains(u"-h")) {
        print(out, helpText());
        return okStatus;
    }
    if (arguments.value(1) == u"get")
        return runGet(words, settings, startAtLogin, out, err);
    return runSet(words, settings, startAtLogin, err);
}

int runSettingsCommand(const QStringList& arguments, StartAtLogin& startAtLogin)
{
    JsonFileDefaultsStore store(UserFolders::settingsFile());
    AppSettings settings(store);
    const int status = runSettingsCommand(arguments, settings, startAtLogin, stdout, stderr);
    DiagLog::shared().waitUntilWritten();
    return status;
}
