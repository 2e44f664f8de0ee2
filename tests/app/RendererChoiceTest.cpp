#include "app/RendererChoice.h"
#include <gtest/gtest.h>

namespace {

// Rasterisers that draw with the CPU are known by name, in any case.
TEST(RendererChoice, FollowsTheMachineUnlessTheUserChose)
{
    const std::optional<QString> none;
    const std::tuple<bool, std::optional<QString>, SceneRenderer> cases[] = {
        {false, "llvmpipe (LLVM 15.0.6, 256 bits)", SceneRenderer::software},
        {false, "virgl (LLVMPIPE (LLVM 15.0.6, 256 bits))", SceneRenderer::software},
        {false, "Software Rasterizer", SceneRenderer::software},
        {false, "SWR (LLVM 12.0.0, 256 bits)", SceneRenderer::software},
        {false, "softpipe", SceneRenderer::software},
        {false, "Mesa Intel(R) UHD Graphics 620", SceneRenderer::openGL},
        {false, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)", SceneRenderer::openGL},
        {false, none, SceneRenderer::software},  // no OpenGL at all
        {true, "llvmpipe", SceneRenderer::asConfigured},
        {true, none, SceneRenderer::asConfigured}};
    for (const auto& [configured, glRenderer, expected] : cases) {
        const RendererChoice choice = chooseRenderer(configured, glRenderer);
        EXPECT_EQ(choice.renderer, expected) << glRenderer.value_or(QString()).toStdString();
        EXPECT_FALSE(choice.reason.isEmpty());
    }
}

}  // namespace
