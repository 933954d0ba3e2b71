#pragma once

namespace pl3 {

class ImageFields;

// Writes the values a new codeplug carries over the current image (normally a cleared
// one). They do not depend on the selected frequency range.
void applyFactoryDefaults(ImageFields& fields);

}  // namespace pl3
