#include "support/hostileimages.h"

namespace hostileimages {

std::vector<HOSTILEIMAGE> MetafileCases() { return {}; }

}  // namespace hostileimages
