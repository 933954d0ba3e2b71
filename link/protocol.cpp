#include "link/protocol.h"

#include <algorithm>
#include <cstdio>

#include "codeplug/model_constants.h"

namespace pl3::link {

namespace {

using wire::kAck;
constexpr int kIdentificationSize = static_cast<int>(wire::kIdentificationSize);
constexpr int kIdentifyTimeoutMs = 500;
constexpr int kChallengeTimeoutMs = 50;
constexpr int kVersionTimeoutMs = 200;
constexpr int kBlockReplyTimeoutMs = 500;
constexpr int kBlockReplySize = static_cast<int>(wire::kBlockFrameSize);
constexpr int kSettleMs = 100;  // after opening a port, before the first wake-up
// Stale input is drained before each wake-up; a line that never stops talking must not
// keep the job here for ever.
constexpr int kMaxDrainBytes = 4096;

// Columns: wake time-out, identification bytes checked, version, reply header checked,
// write acknowledgement time-out, stop at an unacknowledged write.
constexpr JobProfile kMainReadProfile{100, 6, true, true, 100, true};
constexpr JobProfile kMainWriteProfile{100, 6, false, true, 100, true};
constexpr JobProfile kServiceProfile{50, 4, false, false, 50, false};

std::array<std::uint8_t, wire::kBlockFrameSize> blockFrame(std::uint8_t command,
                                                           std::size_t address,
                                                           const std::uint8_t* data) {
    std::array<std::uint8_t, wire::kBlockFrameSize> frame{};
    frame[0] = command;
    frame[1] = wire::addressHigh(address);
    frame[2] = wire::addressLow(address);
    frame[3] = wire::kBlockSize;
    std::copy_n(data, wire::kBlockSize, frame.begin() + wire::kBlockHeaderSize);
    return frame;
}

}  // namespace

const JobProfile& profileOf(JobKind kind) {
    switch (kind) {
        case JobKind::MainRead:
            return kMainReadProfile;
        case JobKind::MainWrite:
            return kMainWriteProfile;
        case JobKind::TestDataRead:
        case JobKind::TestDataWrite:
        case JobKind::ServiceReadAll:
        case JobKind::ServiceWriteAll:
            return kServiceProfile;
    }
    return kMainReadProfile;
}

Conversation::Conversation(SerialPort& port, JobKind kind, CancelToken& cancel)
    : port_(port), profile_(profileOf(kind)), cancel_(cancel) {}

bool Conversation::wake() {
    for (int drained = 0; drained < kMaxDrainBytes && port_.readByte(0) >= 0; ++drained) {
    }
    port_.write(wire::kWakeUp.data(), static_cast<int>(wire::kWakeUp.size()), kWritePauseMs, false);
    return port_.readByte(profile_.wakeTimeoutMs) == kAck;
}

void Conversation::noteOpenFailure(bool planned) {
    const platform::SerialOpenFailure& failure = port_.lastOpenFailure();
    if (failure.error == platform::SerialOpenError::None || openProblem_) return;
    if (planned || worthTelling(failure))
        openProblem_ = PortOpenProblem{failure, port_.lastDevicePath()};
}

Outcome Conversation::connect(const PortPlan& plan, const std::function<void(int)>& onSearching) {
    const bool search = plan.search && !plan.devicePath;
    openProblem_.reset();
    portOpened_ = false;
    if (!port_.isOpen()) {
        bool opened = false;
        if (plan.devicePath) {
            opened = port_.openDevice(*plan.devicePath, kRadioBaud);
        } else if (plan.portNumber) {
            opened = port_.open(*plan.portNumber, kRadioBaud);
        }
        if (!opened && (plan.devicePath || plan.portNumber)) noteOpenFailure(true);
    }
    if (!cancel_.sleepFor(kSettleMs)) return Outcome::Cancelled;
    foundPort_ = -1;
    int candidate = 1;
    for (;;) {
        if (port_.isOpen()) {
            portOpened_ = true;
            for (int attempt = 0; attempt < kWakeAttempts; ++attempt) {
                if (cancel_.isCancelled()) return Outcome::Cancelled;
                if (wake()) return Outcome::Ok;
            }
        }
        if (cancel_.isCancelled()) return Outcome::Cancelled;
        if (!search) return Outcome::NoRadio;
        port_.close();
        // Numbers whose port does not open cost no wait.
        while (candidate <= kMaxPortNumber && !port_.open(candidate, kRadioBaud)) {
            noteOpenFailure(false);
            if (cancel_.isCancelled()) return Outcome::Cancelled;
            ++candidate;
        }
        if (candidate > kMaxPortNumber) return Outcome::NoRadio;
        if (!cancel_.sleepFor(kSettleMs)) return Outcome::Cancelled;
        foundPort_ = candidate;
        if (onSearching) onSearching(candidate);
        ++candidate;
    }
}

bool Conversation::answersWakeUp(const PortPlan& plan) {
    bool open = port_.isOpen();
    if (!open && plan.devicePath) open = port_.openDevice(*plan.devicePath, kRadioBaud);
    if (!open && !plan.devicePath && plan.portNumber)
        open = port_.open(*plan.portNumber, kRadioBaud);
    return open && cancel_.sleepFor(kSettleMs) && wake();
}

Outcome Conversation::handshake() {
    auto failed = [this] {
        return cancel_.isCancelled() ? Outcome::Cancelled : Outcome::WrongRadio;
    };
    port_.writeByte(wire::kIdentify, kWritePauseMs);
    std::array<std::uint8_t, kIdentificationSize> reply{};
    if (port_.read(reply.data(), kIdentificationSize, kIdentifyTimeoutMs) < kIdentificationSize)
        return failed();
    const std::uint8_t key = reply[0] ^ model::kIdentification[0];
    for (int n = 0; n < profile_.identificationBytesChecked; ++n) {
        if (reply[static_cast<std::size_t>(n)] !=
            (model::kIdentification[static_cast<std::size_t>(n)] ^ key))
            return failed();
    }
    std::array<std::uint8_t, model::kResponseWord.size()> response{};
    for (std::size_t n = 0; n < response.size(); ++n)
        response[n] = model::kResponseWord[n] ^ key;
    port_.write(response.data(), static_cast<int>(response.size()), kWritePauseMs, true);
    if (port_.readByte(kChallengeTimeoutMs) != kAck) return failed();

    if (foundPort_ > 0) {
        if (!port_.settings().setComPort(foundPort_)) foundPortNotStored_ = true;
        foundPort_ = -1;
    }
    return Outcome::Ok;
}

std::optional<std::string> Conversation::readVersion() {
    port_.writeByte(wire::kVersionRequest, kWritePauseMs);
    std::array<std::uint8_t, wire::kVersionReplySize> reply{};
    constexpr int kReplySize = static_cast<int>(reply.size());
    if (port_.read(reply.data(), kReplySize, kVersionTimeoutMs) < kReplySize) return std::nullopt;
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", reply[0], reply[1]);
    return text;
}

Outcome Conversation::readBlock(int address, std::uint8_t* data) {
    const auto at = static_cast<std::size_t>(address);
    const std::uint8_t request[] = {wire::kBlockRead, wire::addressHigh(at), wire::addressLow(at),
                                    wire::kBlockSize};
    port_.write(request, sizeof request, kWritePauseMs, false);
    std::array<std::uint8_t, kBlockReplySize> reply{};
    bool complete =
        port_.read(reply.data(), kBlockReplySize, kBlockReplyTimeoutMs) == kBlockReplySize;
    bool headerMatches = reply[0] == request[0] && reply[1] == request[1] && reply[2] == request[2];
    if (!complete || (profile_.checksReplyHeader && !headerMatches)) {
        return cancel_.isCancelled() ? Outcome::Cancelled : Outcome::ReadFailed;
    }
    std::copy_n(reply.begin() + wire::kBlockHeaderSize, kBlockSize, data);
    return Outcome::Ok;
}

Outcome Conversation::writeBlock(int address, const std::uint8_t* data) {
    auto frame = blockFrame(wire::kBlockWrite, static_cast<std::size_t>(address), data);
    port_.write(frame.data(), static_cast<int>(frame.size()), kWritePauseMs, false);
    if (port_.readByte(profile_.ackTimeoutMs) == kAck) return Outcome::Ok;
    return cancel_.isCancelled() ? Outcome::Cancelled : Outcome::WriteFailed;
}

Outcome Conversation::writeTestData(const std::uint8_t* data) {
    auto frame = blockFrame(wire::kTestDataWrite, wire::kTestDataAddress, data);
    port_.write(frame.data(), static_cast<int>(frame.size()), kWritePauseMs, false);
    if (port_.readByte(profile_.ackTimeoutMs) == kAck) return Outcome::Ok;
    return cancel_.isCancelled() ? Outcome::Cancelled : Outcome::WriteFailed;
}

Outcome Conversation::readImage(Image& image, const std::function<void(int)>& onBlock) {
    for (int k = 0; k < kBlockCount; ++k) {
        Outcome outcome = readBlock(k * kBlockSize, image.data() + k * kBlockSize);
        if (outcome != Outcome::Ok) return outcome;
        if (onBlock) onBlock(k);
        if (cancel_.isCancelled()) return Outcome::Cancelled;
    }
    return Outcome::Ok;
}

Outcome Conversation::writeImage(const Image& image, const std::function<void(int)>& onBlock) {
    bool allAcknowledged = true;
    for (int k = 0; k < kBlockCount; ++k) {
        Outcome outcome = writeBlock(k * kBlockSize, image.data() + k * kBlockSize);
        if (outcome == Outcome::Cancelled) return outcome;
        if (outcome != Outcome::Ok) {
            if (profile_.stopsAtUnacknowledgedWrite) return outcome;
            allAcknowledged = false;
        }
        if (onBlock) onBlock(k);
        if (cancel_.isCancelled()) return Outcome::Cancelled;
    }
    return allAcknowledged ? Outcome::Ok : Outcome::WriteFailed;
}

}  // namespace pl3::link
