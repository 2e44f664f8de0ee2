#include "app/RendererChoice.h"
#include <gtest/gtest.h>

namespace {

TEST(RendererChoice, RasterizersThatDrawWithTheCpuAreKnown)
{
    for (const char* cpu : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                            "SWR (LLVM 12.0.0, 256 bits)", "virgl (LLVMPIPE (LLVM 15.0.6, 256 bits))"})
        EXPECT_TRUE(isSoftwareRasterizer(QString::fromUtf8(cpu))) << cpu;
    for (const char* gpu : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce RTX 3060/PCIe/SSE2",
                            "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)", ""})
        EXPECT_FALSE(isSoftwareRasterizer(QString::fromUtf8(gpu))) << gpu;
}

TEST(RendererChoice, FollowsTheMachineUnlessTheUserChose)
{
    const QString llvmpipe = QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)");
    const std::tuple<bool, std::optional<QString>, SceneRenderer> cases[] = {
        {false, llvmpipe, SceneRenderer::software},
        {false, QStringLiteral("Mesa Intel(R) UHD Graphics 620"), SceneRenderer::openGL},
        {false, std::nullopt, SceneRenderer::software},  // no OpenGL at all
        {true, llvmpipe, SceneRenderer::asConfigured},
        {true, std::nullopt, SceneRenderer::asConfigured}};
    for (const auto& [configured, glRenderer, expected] : cases) {
        const RendererChoice choice = chooseRenderer(configured, glRenderer);
        EXPECT_EQ(choice.renderer, expected) << glRenderer.value_or(QString()).toStdString();
        EXPECT_FALSE(choice.reason.isEmpty());
    }
}

}  // namespace
