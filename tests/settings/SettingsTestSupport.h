#pragma once
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const Color& c, std::ostream* out)
{
    *out << "rgba(" << c.red << ", " << c.green << ", " << c.blue << ", " << c.alpha << ")";
}

inline void expectColorNear(const Color& actual, const Color& expected, double tolerance = 1e-9)
{
    const double off = std::max({std::abs(actual.red - expected.red), std::abs(actual.green - expected.green),
                                 std::abs(actual.blue - expected.blue), std::abs(actual.alpha - expected.alpha)});
    EXPECT_LE(off, tolerance) << ::testing::PrintToString(actual) << " for " << ::testing::PrintToString(expected);
}

// Settings over a defaults file of the test's own, which it can write as another program would.
class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<JsonFileDefaultsStore> store;
    std::unique_ptr<AppSettings> settings;

    QString path() const { return dir.filePath(QStringLiteral("Orvane/defaults.json")); }
    void SetUp() override { open(); }
    // Starts again over the file; with `json`, the file is replaced first.
    void open(const QByteArray& json = {})
    {
        settings.reset();
        if (!json.isEmpty())
            writeFile(json);
        store = std::make_unique<JsonFileDefaultsStore>(path());
        settings = std::make_unique<AppSettings>(*store);
    }
    void writeFile(const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path()).path());
        QSaveFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit());
    }
    QJsonObject file() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }
    QString printed(const QString& key) const { return settingRow(key)->format(settings->value(settingRow(key)->id)); }
};
