#pragma once

namespace pl3 {

class CMaItemDoc;

// Writes the values a new codeplug carries over the current image (normally a cleared
// one). They do not depend on the selected frequency range.
void applyFactoryDefaults(CMaItemDoc& doc);

}  // namespace pl3
