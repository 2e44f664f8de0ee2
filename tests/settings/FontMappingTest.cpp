#include "settings/FontMapping.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

struct FontCase {
    const char* name;
    LyricFont font;
    const char* family;
    QFont::Weight weight;
};

class MakeFont : public ::testing::TestWithParam<FontCase> {};

// The stand-ins come from the Debian font packages that setup installs; if one went missing the
// family would silently fall back, which is what this catches.
TEST_P(MakeFont, UsesTheInstalledStandIn)
{
    const QFont font = makeFont(GetParam().font, 30.0);
    // Qt adds " [foundry]" where two foundries ship the same family (Type 1 and OpenType URW fonts).
    const QString family = QFontInfo(font).family().section(QStringLiteral(" ["), 0, 0);
    EXPECT_EQ(family.toStdString(), GetParam().family);
    EXPECT_EQ(font.weight(), GetParam().weight);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    Families, MakeFont,
    ::testing::Values(FontCase{"SfPro", LyricFont::sfPro, "Inter", QFont::DemiBold},
                      FontCase{"SfRounded", LyricFont::sfRounded, "Quicksand", QFont::DemiBold},
                      FontCase{"NewYork", LyricFont::newYork, "Noto Serif", QFont::DemiBold},
                      FontCase{"HelveticaNeue", LyricFont::helveticaNeue, "Nimbus Sans", QFont::Bold},
                      FontCase{"AvenirNext", LyricFont::avenirNext, "URW Gothic", QFont::Bold},
                      FontCase{"Futura", LyricFont::futura, "League Spartan", QFont::Bold},
                      FontCase{"Didot", LyricFont::didot, "GFS Didot", QFont::Bold}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeFontTable, CoversEveryFamilyOnce)
{
    QList<LyricFont> covered;
    for (const FontChoice& choice : fontChoices())
        covered.append(choice.font);
    EXPECT_EQ(covered, (QList<LyricFont>{LyricFont::sfPro, LyricFont::sfRounded, LyricFont::newYork,
                                         LyricFont::helveticaNeue, LyricFont::avenirNext, LyricFont::futura,
                                         LyricFont::didot}));
}

}  // namespace
