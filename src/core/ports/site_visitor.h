// Opening an address in the user's browser, which start-up does now and then.
#pragma once

#include <string>

namespace tallowby {

class SiteVisitor {
 public:
  virtual ~SiteVisitor() = default;
  // Starts the browser and returns at once; whether it started is not checked, as the visit is
  // a courtesy, never an error.
  virtual void Visit(const std::string& address) = 0;
};

}  // namespace tallowby
