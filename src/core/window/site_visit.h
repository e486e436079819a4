// Now and then, start-up opens the maker's web site.
#pragma once

#include <string>

#include "core/numbers/random_source.h"
#include "core/ports/site_visitor.h"

namespace tallowby {

// The maker's address, set when the program is built.
std::string SiteAddress();

// Seeds the random source from the clock, draws a whole number from 1 to 100 and opens the site
// when it is 7: about one start in a hundred.
void VisitSiteAtRandom(UniformSource& random, float seconds_since_midnight, SiteVisitor& visitor,
                       const std::string& address = SiteAddress());

}  // namespace tallowby
