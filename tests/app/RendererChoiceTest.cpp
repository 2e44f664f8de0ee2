#include "app/DisplayChoice.h"
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

// Where the overlays go, from what the session offers and what the user asked for.
TEST(OverlayChoice, LayerShellWhereOfferedXWaylandOtherwiseAndTheUsersWordHolds)
{
    const WaylandCompositor sway{"sway", true};
    const WaylandCompositor mutter{"gnome-shell", false};
    struct Case {
        DisplayEnvironment environment;
        OverlayRequest request;
        SessionFacts facts;
        QByteArray platform;
        OverlayKind overlays;
        const char* said;  // in the log line, or in the problem when overlays is none and there is one
    };
    const DisplayEnvironment both{{}, ":0", "wayland-0"};
    const auto yes = [] { return true; };
    const auto no = [] { return false; };
    const Case cases[] = {
        {both, OverlayRequest::automatic, {sway, yes}, "wayland", OverlayKind::layerShell, "layer-shell (sway)"},
        {both, OverlayRequest::automatic, {mutter, yes}, "xcb", OverlayKind::x11Windows, "XWayland — this compositor"},
        {both, OverlayRequest::x11, {sway, yes}, "xcb", OverlayKind::x11Windows, "--overlay x11"},
        {{{}, {}, "wayland-0"},
         OverlayRequest::automatic,
         {mutter, no},
         "wayland",
         OverlayKind::none,
         "the status menu still works"},
        {both, OverlayRequest::automatic, {mutter, no}, "wayland", OverlayKind::none, "does not answer"},
        {{"wayland", {}, "wayland-0"}, OverlayRequest::automatic, {sway, no}, "", OverlayKind::layerShell, "sway"},
        {{"xcb", ":0", "wayland-0"}, OverlayRequest::wayland, {sway, yes}, "", OverlayKind::x11Windows, "xcb"},
        {{{}, ":0", {}}, OverlayRequest::automatic, {std::nullopt, yes}, "xcb", OverlayKind::x11Windows, "X11"},
    };
    for (const Case& c : cases) {
        const DisplayChoice choice = overlayDisplay(c.environment, c.request, c.facts);
        EXPECT_FALSE(choice.problem) << c.said;
        EXPECT_EQ(choice.platform, c.platform) << c.said;
        EXPECT_EQ(choice.overlays, c.overlays) << c.said;
        EXPECT_TRUE(choice.reason.contains(QString::fromUtf8(c.said))) << choice.reason.toStdString();
    }
    const std::pair<Case, const char*> refused[] = {
        {{both, OverlayRequest::wayland, {mutter, yes}}, "offers no layer-shell for --overlay wayland"},
        {{both, OverlayRequest::x11, {sway, no}}, "cannot open the X display \":0\""},
        {{{{}, {}, "wayland-0"}, OverlayRequest::automatic, {std::nullopt, no}}, "no Wayland compositor answers"},
    };
    for (const auto& [c, problem] : refused)
        EXPECT_TRUE(overlayDisplay(c.environment, c.request, c.facts).problem.value_or("").contains(problem))
            << problem;
    int asked = 0;  // where the layer shell is taken, the X server is never asked
    overlayDisplay(both, OverlayRequest::automatic, {sway, [&asked] { return ++asked > 0; }});
    EXPECT_EQ(asked, 0);
}

}  // namespace
