#include "link/fleet_report.h"

#include <cstdio>

#include "codeplug/text_keys.h"

namespace pl3::link {

namespace {

// The first line without its closing full stop: the radio's line goes on after it.
std::string firstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    for (std::string_view stop : {".", "\u3002"}) {
        if (line.ends_with(stop)) line.resize(line.size() - stop.size());
    }
    return line;
}

std::string verifyDifference(const SessionResult& result, const PlaceNamer& placeOf,
                             const TextLookup& texts) {
    if (!result.mismatchAddress) return texts.text(text_key::kFleetVerifyReadFailed);
    char address[16];
    std::snprintf(address, sizeof address, "0x%04X", *result.mismatchAddress);
    return withTexts(
        texts.text(text_key::kFleetVerifyDiffers),
        {std::string(address) + mismatchPlace(*result.mismatchAddress, placeOf, texts)});
}

std::string failure(const SessionResult& result, const PlaceNamer& placeOf,
                    const TextLookup& texts) {
    if (result.lineLost) return texts.text(text_key::kFleetUnplugged);
    switch (result.status) {
        case JobStatus::NoRadio:
            if (!result.portOpened && result.openProblem)
                return withTexts(texts.text(text_key::kFleetPortNotOpened),
                                 {firstLine(describeOpenProblem(*result.openProblem, texts))});
            return texts.text(text_key::kFleetNoRadio);
        case JobStatus::WrongRadio:
            return texts.text(text_key::kFleetWrongRadio);
        case JobStatus::TuningReadFailed:
            return texts.text(text_key::kFleetTuningReadFailed);
        case JobStatus::VerifyFailed:
            return verifyDifference(result, placeOf, texts);
        default:
            return texts.text(text_key::kFleetWriteFailed);
    }
}

}  // namespace

std::string radioResult(RadioEnd end, const SessionResult& result, const PlaceNamer& placeOf,
                        const TextLookup& texts) {
    switch (end) {
        case RadioEnd::Running:
            return {};
        case RadioEnd::Written:
            return texts.text(text_key::kFleetWritten);
        case RadioEnd::WrittenAndVerified:
            return texts.text(text_key::kFleetWrittenVerified);
        case RadioEnd::Stopped:
            return texts.text(text_key::kFleetStopped);
        case RadioEnd::Failed:
            break;
    }
    return failure(result, placeOf, texts);
}

std::string radioLine(const std::string& label, RadioEnd end, const SessionResult& result,
                      const PlaceNamer& placeOf, const TextLookup& texts) {
    const std::string separator = texts.text(text_key::kFleetSeparator);
    std::string line = label + ": " + radioResult(end, result, placeOf, texts);
    line += separator +
            withNumbers(texts.text(text_key::kFleetBlocks), {result.blocksDone, kBlockCount});
    if (end == RadioEnd::Written) line += separator + texts.text(text_key::kFleetNotVerified);
    if (result.blocksDone > 0) {
        line += separator + texts.text(result.radioTuning ? text_key::kFleetTuningKept
                                                          : text_key::kFleetTuningWritten);
    }
    line += separator + (result.writeBackup
                             ? withTexts(texts.text(text_key::kFleetBackup), {*result.writeBackup})
                             : texts.text(text_key::kFleetNoBackup));
    return line;
}

std::string fleetSummary(const FleetCount& count, const TextLookup& texts) {
    if (count.radios == 0) return texts.text(text_key::kFleetSummaryNone);
    std::string summary = count.radios == 1
                              ? texts.text(text_key::kFleetSummaryOne)
                              : withNumbers(texts.text(text_key::kFleetSummary), {count.radios});
    const std::string separator = texts.text(text_key::kFleetSeparator);
    bool first = true;
    auto part = [&](int n, std::string_view key) {
        if (n == 0) return;
        summary += (first ? "" : separator) + withNumbers(texts.text(key), {n});
        first = false;
    };
    part(count.verified, text_key::kFleetCountVerified);
    part(count.written, text_key::kFleetCountWritten);
    part(count.failed, text_key::kFleetCountFailed);
    part(count.stopped, text_key::kFleetCountStopped);
    return summary;
}

}  // namespace pl3::link
