#include "qt/title_bar_platform.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tallowby {

namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

void Global(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) *static_cast<bool*>(data) = true;
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kRegistry = {Global, GlobalRemove};

// Whether the compositor offers to draw the title bars of its clients (KDE's, sway's do).
bool CompositorDrawsTitleBars(wl_display* display) {
  bool offered = false;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, &offered);
  wl_display_roundtrip(display);
  wl_registry_destroy(registry);
  return offered;
}

}  // namespace

bool PreferXWayland(int argc, char* argv[]) {
  if (Set("QT_QPA_PLATFORM") || !Set("DISPLAY")) return false;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with("-platform")) return false;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return false;  // no Wayland session: X11 anyway
  const bool draws = CompositorDrawsTitleBars(display);
  wl_display_disconnect(display);
  return !draws;
}

}  // namespace tallowby
