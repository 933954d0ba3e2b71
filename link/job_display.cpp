#include "link/job_display.h"

#include <cstdio>

#include "codeplug/text_keys.h"

namespace pl3::link {

namespace {

constexpr int kSearchDotCycle = 16;

std::string hexAddress(int address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", address);
    return text;
}

}  // namespace

std::string_view titleKey(Direction direction) {
    return direction == Direction::Read ? text_key::kReadData : text_key::kWriteData;
}

std::string_view promptKey(Direction direction) {
    return direction == Direction::Read ? text_key::kPromptRead : text_key::kPromptWrite;
}

TickActions tickActions(const JobSnapshot& job, Direction direction) {
    TickActions actions;
    if (job.foundPort > 0) actions.portPane = job.progress;
    auto stop = [&] {
        actions.stopTimer = true;
        actions.closePort = true;
    };
    switch (job.status) {
        case JobStatus::Connecting:
            actions.refreshStatusBar = true;
            break;
        case JobStatus::NoRadio:
            stop();
            actions.errorKey = text_key::kErrorPortConn;
            actions.tellOpenProblem = true;
            actions.end = true;
            break;
        case JobStatus::WrongRadio:
            stop();
            actions.errorKey = text_key::kErrorType;
            actions.end = true;
            break;
        case JobStatus::Reading:
        case JobStatus::Writing:
        case JobStatus::Verifying:
            actions.statusLine = StatusLine{
                job.status == JobStatus::Verifying ? text_key::kPromptVerify : promptKey(direction),
                " " + std::to_string(job.progress) + "%"};
            actions.barPosition = job.progress * kBarRange / 100;
            break;
        case JobStatus::VerifyFailed:
            stop();
            actions.statusLine =
                job.mismatchAddress >= 0
                    ? StatusLine{text_key::kPromptVerifyFail, hexAddress(job.mismatchAddress)}
                    : StatusLine{text_key::kPromptVerifyReadFail, {}};
            if (job.mismatchAddress >= 0) actions.mismatchAddress = job.mismatchAddress;
            actions.allowRetry = true;
            actions.takeRadioTuning = true;
            break;
        case JobStatus::TuningReadFailed:
            stop();
            actions.statusLine = StatusLine{text_key::kPromptTuningReadFail, {}};
            actions.allowRetry = true;
            break;
        case JobStatus::ReadFailed:
        case JobStatus::WriteFailed:
            stop();
            actions.statusLine =
                StatusLine{job.status == JobStatus::ReadFailed ? text_key::kPromptReadFail
                                                               : text_key::kPromptWriteFail,
                           {}};
            actions.allowRetry = true;
            break;
        case JobStatus::ReadComplete:
            stop();
            actions.takeImage = true;
            actions.end = true;
            actions.done = TransferDone::Read;
            break;
        case JobStatus::Searching:
            actions.statusLine = StatusLine{
                text_key::kSearchComPort,
                std::string(static_cast<std::size_t>(job.progress % kSearchDotCycle), '.')};
            break;
        case JobStatus::WriteComplete:
            stop();
            actions.takeRadioTuning = true;
            actions.end = true;
            actions.done = job.verified ? TransferDone::WrittenAndVerified : TransferDone::Written;
            break;
        default:  // a value no job sets
            stop();
            actions.end = true;
            break;
    }
    actions.settingsNotWritten = actions.stopTimer && job.foundPortNotStored;
    return actions;
}

std::string mismatchPlace(int address, const PlaceNamer& placeOf, const TextLookup& texts) {
    const std::string place = placeOf ? placeOf(address) : std::string();
    if (place.empty()) return {};
    return withTexts(texts.text(text_key::kVerifyPlace), {place});
}

PromptMessage noRadioMessage(const std::optional<PortOpenProblem>& problem, bool portOpened,
                             const TextLookup& texts) {
    if (!problem) return {text_key::kError, text_key::kErrorPortConn, {}, PromptIcon::Stop};
    if (!portOpened) {
        return {text_key::kError, text_key::kPortNotOpened,
                "\n" + describeOpenProblem(*problem, texts), PromptIcon::Stop};
    }
    return {text_key::kError, text_key::kErrorPortConn,
            "\n\n" + describeOpenProblem(*problem, texts), PromptIcon::Stop};
}

std::string logFileDetail(const LogOutcome& log, const TextLookup& texts) {
    if (!log.incomplete.empty())
        return "\n\n" + texts.text(text_key::kLogIncomplete) + log.incomplete + "\n" + log.path;
    if (!log.path.empty()) return "\n\n" + texts.text(text_key::kLogFile) + "\n" + log.path;
    // Logging was asked for, but its file could not be made: say so, or the user goes
    // looking for a log that is not there.
    if (log.place.kind == LogPlace::Kind::Off) return {};
    return "\n\n" + texts.text(text_key::kLogNotWritten) + "\n" + log.place.path;
}

void tellIfLogIncomplete(const LogOutcome& log, Prompter& prompter) {
    if (log.incomplete.empty()) return;
    prompter.showMessage({text_key::kPrompt, text_key::kLogIncomplete,
                          log.incomplete + "\n" + log.path, PromptIcon::Exclamation});
}

}  // namespace pl3::link
