// Input through KWin's fake-input protocol (offered with its permission
// checks off), for a compositor with no virtual-keyboard protocol:
//   fake_input key      the key x pressed and released
//   fake_input motion   the pointer moved by 20 pixels
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "fake-input-client-protocol.h"

namespace {

org_kde_kwin_fake_input* FakeInput = nullptr;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::string(interface) == org_kde_kwin_fake_input_interface.name && version >= 4)
        FakeInput =
            static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc == 2 ? argv[1] : "";
    if (what != "key" && what != "motion") {
        std::fprintf(stderr, "usage: fake_input key|motion\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (FakeInput == nullptr) {
        std::fprintf(stderr, "fake_input: the compositor offers no org_kde_kwin_fake_input 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(FakeInput, "mirrowen tests", "input for the screen saver's tests");
    if (what == "key") {
        const uint32_t keyX = 45;  // evdev
        org_kde_kwin_fake_input_keyboard_key(FakeInput, keyX, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(FakeInput, keyX, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else {
        org_kde_kwin_fake_input_pointer_motion(FakeInput, wl_fixed_from_int(20), wl_fixed_from_int(20));
    }
    wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(FakeInput);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
