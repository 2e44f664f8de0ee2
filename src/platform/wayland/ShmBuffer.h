#pragma once

#include <QSize>

#include <memory>

class QImage;
struct wl_buffer;
struct wl_shm;

// One picture in memory shared with the compositor (premultiplied ARGB, as QImage and wl_shm
// agree on little-endian machines). Busy from being attached until the compositor releases it.
class ShmBuffer {
public:
    // Nothing when the memory cannot be had.
    static std::unique_ptr<ShmBuffer> make(wl_shm* shm, QSize pixels);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    wl_buffer* buffer() const { return m_buffer; }
    QSize size() const { return m_size; }
    bool isBusy() const { return m_busy; }
    // Copies `frame` in and marks the buffer busy, for attaching; false when the frame is not a
    // premultiplied ARGB picture of this size.
    bool fill(const QImage& frame);

private:
    ShmBuffer(void* memory, std::size_t bytes, QSize pixels);

    void* m_memory;
    std::size_t m_bytes;
    QSize m_size;
    wl_buffer* m_buffer = nullptr;
    bool m_busy = false;
};
