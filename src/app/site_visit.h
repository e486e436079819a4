// Now and then, start-up opens the maker's web site.
#pragma once

#include <string>

#include "gen/random_source.h"

namespace tallowby {

// Opens an address in the user's browser without waiting for it.
class SiteVisitor {
 public:
  virtual ~SiteVisitor() = default;
  virtual void Visit(const std::string& address) = 0;
};

// The maker's address, set when the program is built.
std::string SiteAddress();

// Seeds the random source from the clock, draws a whole number from 1 to 100 and opens the site
// when it is 7: about one start in a hundred.
void VisitSiteAtRandom(UniformSource& random, float seconds_since_midnight, SiteVisitor& visitor,
                       const std::string& address = SiteAddress());

// The command line that opens an address on Windows: explorer, a blank, the address in quotes.
std::string SiteVisitCommandLine(const std::string& address);

}  // namespace tallowby
