#pragma once
// What the rules change and whom they tell: the image's field operations, the frequency
// limits in force and the sink that hears "this was one user edit". The document hands
// out one over its own image; an import or a printout works on a scratch image whose
// sink keeps nothing, so neither needs a document of its own nor leaves an undo step.

#include "codeplug/frequency_range.h"
#include "codeplug/image_fields.h"

namespace pl3 {

class EditSink {
  public:
    // One user edit ended (the document: modified, and an undo step when the image changed).
    virtual void recordEdit() = 0;

  protected:
    ~EditSink() = default;
};

struct EditTarget {
    ImageFields& fields;
    const freq_range::Limits& limits;
    EditSink& sink;
};

// A copy of an image to work on where nothing is recorded.
class ScratchImage final : private EditSink {
  public:
    ScratchImage(const ImageFields& from, freq_range::Limits limits)
        : fields_(from), limits_(limits) {}
    ScratchImage(const ScratchImage&) = delete;
    ScratchImage& operator=(const ScratchImage&) = delete;

    EditTarget target() { return {fields_, limits_, *this}; }
    const ImageFields& fields() const { return fields_; }

  private:
    void recordEdit() override {}

    ImageFields fields_;
    freq_range::Limits limits_;
};

}  // namespace pl3
