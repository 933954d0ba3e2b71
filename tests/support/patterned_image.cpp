#include "patterned_image.h"

namespace pl3::test {

Image patternedImage(std::uint8_t step, std::uint8_t start) {
    Image image;
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * step + start);
    return image;
}

}  // namespace pl3::test
