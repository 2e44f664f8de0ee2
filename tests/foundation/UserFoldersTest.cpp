#include "foundation/UserFolders.h"
#include <QDir>
#include <gtest/gtest.h>

// The variable, the file, the base folder under home when the variable is unset or relative, and the name below it.
using FolderCase = std::tuple<const char*, QString (*)(), const char*, const char*>;

struct UserFolder : ::testing::TestWithParam<FolderCase> {
    void TearDown() override { qputenv(std::get<0>(GetParam()), saved); }
    const QByteArray saved = qgetenv(std::get<0>(GetParam()));
};

TEST_P(UserFolder, FollowsTheXdgBaseFolderAndIgnoresARelativeOne)
{
    const auto [variable, file, underHome, name] = GetParam();
    qputenv(variable, "/elsewhere/base");
    EXPECT_EQ(file(), QStringLiteral("/elsewhere/base/") + QLatin1String(name));
    for (const char* ignored : {"relative/base", ""}) {
        qputenv(variable, ignored);
        EXPECT_EQ(file(), QDir::homePath() + u'/' + QLatin1String(underHome) + u'/' + QLatin1String(name))
            << "with " << variable << "=" << ignored;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, UserFolder,
    ::testing::Values(FolderCase{"XDG_CONFIG_HOME", &UserFolders::settingsFile, ".config", "Orvane/defaults.json"},
                      FolderCase{"XDG_CACHE_HOME", &UserFolders::wordVisualMemoFile, ".cache",
                                 "Orvane/WordVisuals/v5.json"},
                      FolderCase{"XDG_DATA_HOME", &UserFolders::offsetsFile, ".local/share", "Zuvik/offsets.json"},
                      FolderCase{"XDG_STATE_HOME", &UserFolders::logFile, ".local/state", "Zuvik/Zuvik.log"}));
