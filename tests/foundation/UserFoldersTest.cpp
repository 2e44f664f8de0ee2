#include "foundation/DiagLog.h"
#include "foundation/UserFolders.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* variable;
    QString (*file)();
    const char* underHome;  // the base folder when the variable is unset or relative
    const char* name;  // what stored files rely on below the base folder
};

class UserFolder : public ::testing::TestWithParam<FolderCase> {
protected:
    void TearDown() override { qputenv(GetParam().variable, saved); }
    const QByteArray saved = qgetenv(GetParam().variable);
};

TEST_P(UserFolder, FollowsTheXdgBaseFolderAndIgnoresARelativeOne)
{
    const FolderCase c = GetParam();
    qputenv(c.variable, "/elsewhere/base");
    EXPECT_EQ(c.file(), QStringLiteral("/elsewhere/base/") + QLatin1String(c.name));
    for (const char* ignored : {"relative/base", ""}) {
        qputenv(c.variable, ignored);
        EXPECT_EQ(c.file(), QDir::homePath() + u'/' + QLatin1String(c.underHome) + u'/' + QLatin1String(c.name))
            << "with " << c.variable << "=" << ignored;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, UserFolder,
    ::testing::Values(FolderCase{"XDG_CONFIG_HOME", &UserFolders::settingsFile, ".config", "Orvane/defaults.json"},
                      FolderCase{"XDG_CACHE_HOME", &UserFolders::wordVisualMemoFile, ".cache",
                                 "Orvane/WordVisuals/v3.json"},
                      FolderCase{"XDG_DATA_HOME", &UserFolders::offsetsFile, ".local/share", "Zuvik/offsets.json"},
                      FolderCase{"XDG_DATA_HOME", &UserFolders::rejectionsFile, ".local/share", "Zuvik/rejected.json"},
                      FolderCase{"XDG_DATA_HOME", &UserFolders::localLyricsFolder, ".local/share", "Zuvik/lyrics"},
                      FolderCase{"XDG_STATE_HOME", &DiagLog::defaultFilePath, ".local/state", "Zuvik/Zuvik.log"}));

}  // namespace
