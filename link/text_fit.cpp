#include "link/text_fit.h"

#include <algorithm>

namespace pl3::link {

int fittedWidth(const TextFit& fit) {
    const int wanted = std::max(
        {std::min(fit.longestLine, fit.readable), fit.unbreakable, fit.minimum, fit.current});
    return std::min(wanted, fit.available);
}

}  // namespace pl3::link
