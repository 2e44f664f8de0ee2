#include "app/RendererChoice.h"

#include <gtest/gtest.h>

namespace {

struct RasterizerCase {
    const char* glRenderer;
    bool software;
};

class Rasterizers : public ::testing::TestWithParam<RasterizerCase> {};

TEST_P(Rasterizers, ThoseThatDrawWithTheCpuAreKnown)
{
    EXPECT_EQ(isSoftwareRasterizer(QString::fromUtf8(GetParam().glRenderer)), GetParam().software)
        << GetParam().glRenderer;
}

INSTANTIATE_TEST_SUITE_P(GlRendererStrings, Rasterizers, ::testing::Values(
    RasterizerCase{"llvmpipe (LLVM 15.0.6, 256 bits)", true},
    RasterizerCase{"softpipe", true},
    RasterizerCase{"Software Rasterizer", true},
    RasterizerCase{"SWR (LLVM 12.0.0, 256 bits)", true},
    RasterizerCase{"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
    RasterizerCase{"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
    RasterizerCase{"NVIDIA GeForce RTX 3060/PCIe/SSE2", false},
    RasterizerCase{"virgl (LLVMPIPE (LLVM 15.0.6, 256 bits))", true},  // a guest drawn by the host's CPU
    RasterizerCase{"", false}));

struct ChoiceCase {
    bool configured;
    std::optional<QString> glRenderer;
    SceneRenderer expected;
};

class Choices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(Choices, FollowTheMachine)
{
    const ChoiceCase& c = GetParam();
    const RendererChoice choice = chooseRenderer(c.configured, c.glRenderer);
    EXPECT_EQ(choice.renderer, c.expected);
    EXPECT_FALSE(choice.reason.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(RendererChoice, Choices, ::testing::Values(
    ChoiceCase{false, QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)"), SceneRenderer::software},
    ChoiceCase{false, QStringLiteral("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"), SceneRenderer::openGL},
    ChoiceCase{false, std::nullopt, SceneRenderer::software},  // no OpenGL at all
    // The user's own choice always stands.
    ChoiceCase{true, QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)"), SceneRenderer::asConfigured},
    ChoiceCase{true, std::nullopt, SceneRenderer::asConfigured}));

}  // namespace
