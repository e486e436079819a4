#include "platform/posix/browser_site_visitor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tallowby {

void BrowserSiteVisitor::Visit(const std::string& address) {
  // Started twice removed, so the browser is adopted by init and never left as a zombie of ours.
  const pid_t child = ::fork();
  if (child < 0) return;
  if (child == 0) {
    ::setsid();
    if (::fork() == 0) {
      ::execlp("xdg-open", "xdg-open", address.c_str(), static_cast<char*>(nullptr));
    }
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace tallowby
