// Moves and clicks the pointer of a wlroots compositor (sway) as a mouse would, through the
// virtual pointer protocol: the Wayland tests' xdotool.
//
// Usage: virtual_pointer WIDTH HEIGHT
// WIDTH and HEIGHT are the output's size. One pointer serves the whole test: a pointer device
// that comes and goes makes the program's seat lose its pointer, and a click right after its
// return can be lost. It prints "ready", then reads commands, one a line, and prints "done"
// after each:
//   move X Y           the pointer to X, Y
//   click              the left button pressed and released where the pointer is
//   wiggle X Y W H MS  over the rectangle, a move every 5 ms, for MS milliseconds
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "virtual-pointer-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

uint32_t Now() {
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

int Fail(const char* message) {
  std::fflush(stdout);
  std::fprintf(stderr, "virtual_pointer: %s\n", message);
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return Fail("usage: virtual_pointer WIDTH HEIGHT, commands on standard input");
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return Fail("no Wayland display");
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, nullptr);
  wl_display_roundtrip(display);
  if (manager == nullptr) return Fail("the compositor has no virtual pointers");
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
  wl_display_roundtrip(display);

  const auto width = static_cast<uint32_t>(std::atoi(argv[1]));
  const auto height = static_cast<uint32_t>(std::atoi(argv[2]));
  const auto move = [&](int x, int y) {
    zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), static_cast<uint32_t>(x),
                                            static_cast<uint32_t>(y), width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_flush(display);
  };
  std::puts("ready");
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "move") {
      int x = 0, y = 0;
      words >> x >> y;
      move(x, y);
    } else if (command == "click") {
      for (const auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
        zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT, state);
        zwlr_virtual_pointer_v1_frame(pointer);
      }
    } else if (command == "wiggle") {
      int x = 0, y = 0, w = 1, h = 1, milliseconds = 0;
      words >> x >> y >> w >> h >> milliseconds;
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
      for (int step = 0; std::chrono::steady_clock::now() < end; ++step) {
        move(x + step * 7 % std::max(w, 1), y + step * 3 % std::max(h, 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    } else {
      return Fail("unknown command");
    }
    if (!words) return Fail("a command lacks a number");
    wl_display_roundtrip(display);
    std::puts("done");
    std::fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}
