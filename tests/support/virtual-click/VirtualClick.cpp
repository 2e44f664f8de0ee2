// virtual-click X Y WIDTH HEIGHT: moves a virtual pointer of the compositor's seat to (X, Y) of a
// WIDTH x HEIGHT layout and clicks the left button there, as a user's mouse would.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {

constexpr uint32_t leftButton = 0x110;  // BTN_LEFT

zwlr_virtual_pointer_manager_v1* manager = nullptr;

void onGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) {}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: virtual-click X Y WIDTH HEIGHT\n");
        return 2;
    }
    const auto number = [&](int index) { return static_cast<uint32_t>(std::strtoul(argv[index], nullptr, 10)); };
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    static const wl_registry_listener listener{onGlobal, onGlobalRemoved};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "virtual-click: the compositor has no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    usleep(300'000);  // the seat has a pointer now: clients bind theirs before it moves
    zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, number(1), number(2), number(3), number(4));
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    for (const uint32_t state : {1u, 0u}) {
        zwlr_virtual_pointer_v1_button(pointer, 10, leftButton, state);
        zwlr_virtual_pointer_v1_frame(pointer);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    return wl_display_roundtrip(display) < 0 ? 1 : 0;
}
