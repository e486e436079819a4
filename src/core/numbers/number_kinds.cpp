#include "core/numbers/number_kinds.h"

namespace tallowby {

bool CanDrawKind(NumberKind kind, std::int32_t highest) {
  switch (kind) {
    case NumberKind::AllNumbers:
    case NumberKind::Odd:
      return true;  // 1 is a possible draw for every H
    case NumberKind::Even:
      return highest != 0;  // H >= 1 reaches 2, H <= -1 reaches 0
    case NumberKind::PrimeOnly:
      return highest >= 1 || highest <= -3;  // 2 or -2 is then a possible draw
  }
  return false;
}

}  // namespace tallowby
