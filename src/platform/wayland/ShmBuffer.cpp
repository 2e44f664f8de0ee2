#include "platform/wayland/ShmBuffer.h"

#include <QImage>

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

namespace {

constexpr int bytesPerPixel = 4;

const wl_buffer_listener bufferListener{[](void* data, wl_buffer* buffer) {
    (void)buffer;
    *static_cast<bool*>(data) = false;
}};

}  // namespace

std::unique_ptr<ShmBuffer> ShmBuffer::make(wl_shm* shm, QSize pixels)
{
    if (pixels.isEmpty())
        return nullptr;
    const int stride = pixels.width() * bytesPerPixel;
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(pixels.height());
    const int file = memfd_create("zuvik-overlay", MFD_CLOEXEC);
    if (file < 0)
        return nullptr;
    void* memory = ftruncate(file, static_cast<off_t>(bytes)) == 0
                       ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                       : MAP_FAILED;
    if (memory == MAP_FAILED) {
        close(file);
        return nullptr;
    }
    std::unique_ptr<ShmBuffer> made(new ShmBuffer(memory, bytes, pixels));
    wl_shm_pool* pool = wl_shm_create_pool(shm, file, static_cast<int32_t>(bytes));
    made->m_buffer = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), stride,
                                               WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);  // the buffer keeps the memory it needs
    close(file);
    wl_buffer_add_listener(made->m_buffer, &bufferListener, &made->m_busy);
    return made;
}

ShmBuffer::ShmBuffer(void* memory, std::size_t bytes, QSize pixels)
    : m_memory(memory)
    , m_bytes(bytes)
    , m_size(pixels)
{}

ShmBuffer::~ShmBuffer()
{
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    munmap(m_memory, m_bytes);
}

bool ShmBuffer::fill(const QImage& frame)
{
    if (frame.format() != QImage::Format_ARGB32_Premultiplied || frame.bytesPerLine() != m_size.width() * bytesPerPixel
        || frame.size() != m_size)
        return false;
    std::memcpy(m_memory, frame.constBits(), m_bytes);
    m_busy = true;
    return true;
}
