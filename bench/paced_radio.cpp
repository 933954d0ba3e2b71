#include "bench/paced_radio.h"

#include "codeplug/model_constants.h"
#include "codeplug/wire_constants.h"
#include "link/protocol.h"

namespace pl3::bench {

namespace {

constexpr double kByteSeconds = static_cast<double>(wire::kBitsPerByte) / wire::kBaud;
// Wake-up, ack, identify, identification, response, ack.
constexpr int kHandshakeBytes = static_cast<int>(
    wire::kWakeUp.size() + 1 + 1 + wire::kIdentificationSize + model::kResponseWord.size() + 1);
// The response goes byte by byte.
constexpr int kHandshakeFrames = 1 + 1 + static_cast<int>(model::kResponseWord.size());
constexpr int kVersionBytes = 1 + static_cast<int>(wire::kVersionReplySize);
constexpr int kReadBlockBytes = static_cast<int>(wire::kBlockHeaderSize + wire::kBlockFrameSize);
constexpr int kWriteBlockBytes = static_cast<int>(wire::kBlockFrameSize + 1);
constexpr double kSettleSeconds = 0.100;
constexpr double kPauseSeconds = 0.001;

}  // namespace

double lowerBoundSeconds(link::Direction direction) {
    const bool reading = direction == link::Direction::Read;
    int bytes = kHandshakeBytes + (reading ? kVersionBytes : 0) +
                link::kBlockCount * (reading ? kReadBlockBytes : kWriteBlockBytes);
    int frames = kHandshakeFrames + (reading ? 1 : 0) + link::kBlockCount;
    return bytes * kByteSeconds + frames * kPauseSeconds + kSettleSeconds +
           (reading ? 0.0 : link::kFinalWritePauseMs / 1000.0);
}

}  // namespace pl3::bench
