// A dark full-screen window that asks the compositor to keep the session from going
// idle (zwp_idle_inhibit_manager_v1), as a video player does, until it is
// killed. It prints "inhibiting" once its window is mapped with the
// inhibitor in place.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

struct Client {
    wl_compositor* Compositor = nullptr;
    wl_shm* Shm = nullptr;
    xdg_wm_base* WmBase = nullptr;
    zwp_idle_inhibit_manager_v1* Inhibit = nullptr;
    bool Configured = false;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    Client& client = *static_cast<Client*>(data);
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name)
        client.Compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (kind == wl_shm_interface.name)
        client.Shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (kind == xdg_wm_base_interface.name)
        client.WmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (kind == zwp_idle_inhibit_manager_v1_interface.name)
        client.Inhibit = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

void Ping(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener WmBaseListener = {Ping};

void SurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    static_cast<Client*>(data)->Configured = true;
}
const xdg_surface_listener SurfaceListener = {SurfaceConfigure};

void ToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}
void ToplevelClose(void*, xdg_toplevel*) {}
const xdg_toplevel_listener ToplevelListener = {ToplevelConfigure, ToplevelClose, nullptr, nullptr};

// A dark grey buffer: below the tests' "lit" threshold, unlike the stars.
wl_buffer* DarkBuffer(wl_shm* shm, int width, int height) {
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
    void* pixels = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return nullptr;
    auto* p = static_cast<std::uint32_t*>(pixels);
    for (int i = 0; i < width * height; ++i) p[i] = 0xff202020u;
    munmap(pixels, static_cast<std::size_t>(size));
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "idle-inhibitor: no compositor\n");
        return 1;
    }
    Client client;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &client);
    wl_display_roundtrip(display);
    if (client.Compositor == nullptr || client.Shm == nullptr || client.WmBase == nullptr || client.Inhibit == nullptr) {
        std::fprintf(stderr, "idle-inhibitor: the compositor lacks a global it needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(client.WmBase, &WmBaseListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(client.Compositor);
    xdg_surface* xdg = xdg_wm_base_get_xdg_surface(client.WmBase, surface);
    xdg_surface_add_listener(xdg, &SurfaceListener, &client);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdg);
    xdg_toplevel_add_listener(toplevel, &ToplevelListener, &client);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    // Full screen: no title bar, whose text would count as lit in the tests' screenshots.
    xdg_toplevel_set_fullscreen(toplevel, nullptr);
    wl_surface_commit(surface);
    while (!client.Configured)
        if (wl_display_dispatch(display) < 0) return 1;
    wl_buffer* buffer = DarkBuffer(client.Shm, 320, 240);
    if (buffer == nullptr) return 1;
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_commit(surface);
    wl_display_roundtrip(display);
    // Once the window shows: an inhibitor counts only while its surface is visible.
    zwp_idle_inhibit_manager_v1_create_inhibitor(client.Inhibit, surface);
    wl_surface_commit(surface);
    wl_display_roundtrip(display);
    std::printf("inhibiting\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
