// The site visit on Linux and other desktops that follow the XDG conventions.
#pragma once

#include "core/ports/site_visitor.h"

namespace tallowby {

// Opens the address with xdg-open, the desktop's own choice of browser, in a process of its own
// that is neither waited for nor kept: the program never blocks on the browser.
class BrowserSiteVisitor final : public SiteVisitor {
 public:
  void Visit(const std::string& address) override;
};

}  // namespace tallowby
