#include "support/hostileimages.h"

namespace hostileimages {

std::vector<HOSTILEIMAGE> RasterCases() { return {}; }

}  // namespace hostileimages
