#include "platform/wayland/LayerSurface.h"

#include "foundation/DiagLog.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QImage>

#include <wayland-client.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A compositor assigns a layer surface of no size itself, which only an anchor to opposite edges
// allows; an overlay with nothing to cover keeps to one point.
QSize sizeToAsk(const QRect& placement) { return placement.size().expandedTo(QSize(1, 1)); }

// Damage in buffer coordinates came with version 4 of the compositor; the buffer scale with 3.
constexpr uint32_t damageBufferSince = 4;
constexpr uint32_t bufferScaleSince = 3;

}  // namespace

LayerSurface::LayerSurface(const LayerShell::Globals& globals, QScreen& screen)
    : m_globals(globals)
    , m_screen(&screen)
{}

LayerSurface::~LayerSurface()
{
    destroy();
    m_buffers.clear();
    wl_display_flush(m_globals.display);
}

void LayerSurface::place(const QRect& onDisplay)
{
    if (onDisplay == m_placement)
        return;
    m_placement = onDisplay;
    m_placementSent = false;
}

bool LayerSurface::wantsFrame() const { return m_layer && m_configured && !m_frameCallback; }

void LayerSurface::setShown(bool shown)
{
    if (shown && !m_layer && !m_closed)
        create();
    else if (!shown)
        destroy();
}

void LayerSurface::create()
{
    static const zwlr_layer_surface_v1_listener layerListener{onConfigure, onClosed};
    if (!m_screen)
        return;  // the output went away; its overlay goes soon after
    m_surface = wl_compositor_create_surface(m_globals.compositor);
    wl_region* nothing = wl_compositor_create_region(m_globals.compositor);
    wl_surface_set_input_region(m_surface, nothing);
    wl_region_destroy(nothing);
    m_layer = zwlr_layer_shell_v1_get_layer_surface(m_globals.layerShell, m_surface, waylandOutputOf(*m_screen),
                                                    ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zuvik");
    zwlr_layer_surface_v1_add_listener(m_layer, &layerListener, this);
    zwlr_layer_surface_v1_set_anchor(m_layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_exclusive_zone(m_layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layer, 0);
    sendPlacement();
    // The first commit carries no picture: the compositor answers it with the first configure.
    wl_surface_commit(m_surface);
    wl_display_flush(m_globals.display);
}

void LayerSurface::destroy()
{
    if (m_frameCallback)
        wl_callback_destroy(m_frameCallback);
    if (m_layer)
        zwlr_layer_surface_v1_destroy(m_layer);
    if (m_surface)
        wl_surface_destroy(m_surface);
    m_frameCallback = nullptr;
    m_layer = nullptr;
    m_surface = nullptr;
    m_configured = false;
    m_placementSent = false;
}

void LayerSurface::sendPlacement()
{
    const QSize size = sizeToAsk(m_placement);
    zwlr_layer_surface_v1_set_size(m_layer, static_cast<uint32_t>(size.width()), static_cast<uint32_t>(size.height()));
    zwlr_layer_surface_v1_set_margin(m_layer, m_placement.top(), 0, 0, m_placement.left());
    m_placementSent = true;
}

void LayerSurface::onConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t, uint32_t)
{
    auto* self = static_cast<LayerSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (self->m_configured)
        return;
    self->m_configured = true;
    Q_EMIT self->frameWanted();
}

void LayerSurface::onClosed(void* data, zwlr_layer_surface_v1*)
{
    auto* self = static_cast<LayerSurface*>(data);
    DiagLog::log(QStringLiteral("overlay: the compositor closed a layer surface"));
    self->destroy();
    self->m_closed = true;
}

void LayerSurface::onFrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* self = static_cast<LayerSurface*>(data);
    wl_callback_destroy(callback);
    self->m_frameCallback = nullptr;
    Q_EMIT self->frameWanted();
}

ShmBuffer* LayerSurface::freeBuffer(QSize pixels)
{
    std::erase_if(m_buffers, [pixels](const auto& buffer) { return !buffer->isBusy() && buffer->size() != pixels; });
    const auto free = std::find_if(m_buffers.begin(), m_buffers.end(),
                                   [](const auto& buffer) { return !buffer->isBusy(); });
    if (free != m_buffers.end())
        return free->get();
    std::unique_ptr<ShmBuffer> made = ShmBuffer::make(m_globals.shm, pixels);
    if (!made)
        return nullptr;
    m_buffers.push_back(std::move(made));
    return m_buffers.back().get();
}

void LayerSurface::present(const QImage& frame)
{
    static const wl_callback_listener frameListener{onFrameDone};
    if (!wantsFrame())
        return;
    ShmBuffer* buffer = freeBuffer(frame.size());
    if (!buffer || !buffer->fill(frame))
        return;
    if (!m_placementSent)
        sendPlacement();
    wl_surface_attach(m_surface, buffer->buffer(), 0, 0);
    const uint32_t version = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(m_globals.compositor));
    if (version >= bufferScaleSince)
        wl_surface_set_buffer_scale(m_surface, static_cast<int32_t>(std::lround(frame.devicePixelRatio())));
    if (version >= damageBufferSince)
        wl_surface_damage_buffer(m_surface, 0, 0, frame.width(), frame.height());
    else
        wl_surface_damage(m_surface, 0, 0, INT32_MAX, INT32_MAX);
    m_frameCallback = wl_surface_frame(m_surface);
    wl_callback_add_listener(m_frameCallback, &frameListener, this);
    wl_surface_commit(m_surface);
    wl_display_flush(m_globals.display);
}
