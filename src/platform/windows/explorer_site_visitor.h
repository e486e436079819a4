// The site visit on Windows: explorer opens the address in the user's browser.
#pragma once

#include <functional>
#include <string>

#include "core/ports/site_visitor.h"

namespace tallowby {

// A command line to start as a process of its own, with the window style its first window takes.
struct DetachedStart {
  std::string command_line;
  int show_window;  // an SW_ value, passed with STARTF_USESHOWWINDOW
};

// Minimised and activated (SW_SHOWMINIMIZED), so the browser does not cover the program.
inline constexpr int kSiteVisitShowWindow = 2;

// The command line that opens an address: explorer, a blank, the address in quotes.
std::string SiteVisitCommandLine(const std::string& address);

// Starts the process and returns at once: it is neither waited for nor kept. False when it could
// not be started.
bool StartDetached(const DetachedStart& start);

class ExplorerSiteVisitor final : public SiteVisitor {
 public:
  using Starter = std::function<bool(const DetachedStart&)>;
  explicit ExplorerSiteVisitor(Starter starter = StartDetached) : starter_(std::move(starter)) {}

  void Visit(const std::string& address) override {
    starter_({SiteVisitCommandLine(address), kSiteVisitShowWindow});
  }

 private:
  Starter starter_;
};

}  // namespace tallowby
