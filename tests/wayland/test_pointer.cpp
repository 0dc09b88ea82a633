// test_pointer.cpp - a pointer for a headless compositor, which has none.
//
//   wayland_test_pointer STEP...     STEP: DX,DY (a move), or "press"
//
// Makes a virtual pointer on the seat, waits a moment for clients to see
// the seat's new pointer, then sends each step a tenth of a second apart.
// Exits 0 once all are sent, 1 when the compositor offers no virtual pointer.
#include <unistd.h>
#include <wayland-client.h>
#include <wlr-virtual-pointer-unstable-v1-client-protocol.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr)
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener = {Global, GlobalRemove};

constexpr uint32_t leftButton = 0x110;  // BTN_LEFT

}  // namespace

int main(int argc, char** argv) {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return std::fprintf(stderr, "wayland_test_pointer: no display\n"), 1;
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &globals);
  wl_display_roundtrip(display);
  if (globals.manager == nullptr || globals.seat == nullptr)
    return std::fprintf(stderr, "wayland_test_pointer: no virtual pointer\n"), 1;
  zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
  wl_display_roundtrip(display);
  usleep(300000);  // the clients bind the seat's new pointer
  uint32_t time = 1000;
  for (int i = 1; i < argc; ++i, time += 100) {
    double dx = 0, dy = 0;
    if (std::strcmp(argv[i], "press") == 0) {
      zwlr_virtual_pointer_v1_button(pointer, time, leftButton, WL_POINTER_BUTTON_STATE_PRESSED);
      zwlr_virtual_pointer_v1_frame(pointer);
      zwlr_virtual_pointer_v1_button(pointer, time + 10, leftButton, WL_POINTER_BUTTON_STATE_RELEASED);
    } else if (std::sscanf(argv[i], "%lf,%lf", &dx, &dy) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
    } else {
      return std::fprintf(stderr, "wayland_test_pointer: '%s' is no step\n", argv[i]), 1;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    usleep(100000);
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
  wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
