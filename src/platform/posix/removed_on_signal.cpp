#include "platform/posix/removed_on_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace tallowby {

namespace {

// A handler may only read what is already complete: a slot's name is written before it is marked
// taken, and the mark is cleared before the slot is given back.
struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<int> folder{-1};
  char name[64] = {};
};
std::array<Slot, 4> slots;
std::mutex claiming;

constexpr std::array<int, 3> kEndingSignals{SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporariesAndEnd(int signal_number) {
  for (Slot& slot : slots) {
    if (slot.taken.load()) ::unlinkat(slot.folder.load(), slot.name, 0);
  }
  // Ends the program as the signal would have, so that the caller sees how it ended.
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void InstallHandlerOnce() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    for (const int signal_number : kEndingSignals) {
      struct sigaction current {};
      if (::sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
        continue;
      struct sigaction handler {};
      handler.sa_handler = RemoveTemporariesAndEnd;
      sigemptyset(&handler.sa_mask);
      ::sigaction(signal_number, &handler, nullptr);
    }
  });
}

}  // namespace

RemovedOnSignal::RemovedOnSignal(int folder_fd, const std::string& name) : slot_(-1) {
  if (name.size() >= sizeof slots[0].name) return;
  InstallHandlerOnce();
  const std::lock_guard<std::mutex> lock(claiming);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].taken.load()) continue;
    std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
    slots[i].folder.store(folder_fd);
    slots[i].taken.store(true);
    slot_ = static_cast<int>(i);
    return;
  }
}

RemovedOnSignal::~RemovedOnSignal() {
  if (slot_ >= 0) slots[static_cast<std::size_t>(slot_)].taken.store(false);
}

}  // namespace tallowby
