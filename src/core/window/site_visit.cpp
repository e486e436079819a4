#include "core/window/site_visit.h"

#include <cmath>

#include "core/build_settings.h"

namespace tallowby {

std::string SiteAddress() {
  return kBuildSiteAddress;
}

void VisitSiteAtRandom(UniformSource& random, float seconds_since_midnight, SiteVisitor& visitor,
                       const std::string& address) {
  random.SeedFromClock(seconds_since_midnight);
  const int draw = static_cast<int>(std::floor(random.NextUniform() * 100)) + 1;
  if (draw == 7) visitor.Visit(address);
}

}  // namespace tallowby
