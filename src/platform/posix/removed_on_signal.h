// A named temporary file that SIGINT, SIGTERM or SIGHUP removes before the program ends, so that
// an interrupted run leaves nothing behind where the file system gives no unnamed files.
#pragma once

#include <string>

namespace tallowby {

class RemovedOnSignal {
 public:
  // Until destroyed, the name in the folder is removed if one of those signals ends the program.
  // A signal the program already handles or ignores is left as it is.
  RemovedOnSignal(int folder_fd, const std::string& name);
  ~RemovedOnSignal();
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

 private:
  int slot_;  // -1 when every slot was taken: the name is then only removed by its owner
};

}  // namespace tallowby
