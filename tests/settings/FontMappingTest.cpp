#include "settings/FontMapping.h"
#include <QFontInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The stand-ins come from the Debian font packages that setup installs; if one went missing the
// family would silently fall back, which is what this catches.
TEST(MakeFont, UsesTheInstalledStandInAtItsWeight)
{
    struct Row {
        LyricFont font;
        const char* family;
        QFont::Weight weight;
    };
    for (const Row& row :
         {Row{LyricFont::sfPro, "Inter", QFont::DemiBold}, Row{LyricFont::sfRounded, "Quicksand", QFont::DemiBold},
          Row{LyricFont::newYork, "Noto Serif", QFont::DemiBold},
          Row{LyricFont::helveticaNeue, "Nimbus Sans", QFont::Bold},
          Row{LyricFont::avenirNext, "URW Gothic", QFont::Bold}, Row{LyricFont::futura, "League Spartan", QFont::Bold},
          Row{LyricFont::didot, "GFS Didot", QFont::Bold}}) {
        const QFont font = makeFont(row.font, 30.0);
        // Qt adds " [foundry]" where two foundries ship the same family (Type 1 and OpenType URW fonts).
        EXPECT_EQ(QFontInfo(font).family().section(u" ["_s, 0, 0).toStdString(), row.family);
        EXPECT_EQ(font.weight(), row.weight) << row.family;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 30.0);
    }
}

}  // namespace
