#include "link/open_problem.h"

#include <system_error>

#include "codeplug/text_keys.h"

namespace pl3::link {

namespace {

// A group owning a serial device that nobody should be told to join.
bool isJoinableGroup(const std::string& group) {
    return !group.empty() && group != "root";
}

}  // namespace

std::string describeOpenProblem(const PortOpenProblem& problem, const TextLookup& texts) {
    using platform::SerialOpenError;
    const std::string& path = problem.devicePath;
    const platform::SerialOpenFailure& failure = problem.failure;
    switch (failure.error) {
        case SerialOpenError::None:
            return {};
        case SerialOpenError::NoSuchDevice:
            if (path.empty()) return texts.text(text_key::kPortNotConfigured);
            return withTexts(texts.text(text_key::kPortMissing), {path});
        case SerialOpenError::Busy:
            return withTexts(texts.text(text_key::kPortBusy), {path});
        case SerialOpenError::PermissionDenied:
            if (isJoinableGroup(failure.group)) {
                return withTexts(texts.text(text_key::kPortPermissionGroup),
                                 {path, failure.group, failure.group});
            }
            return withTexts(texts.text(text_key::kPortPermissionRoot), {path});
        case SerialOpenError::NotASerialDevice:
            return withTexts(texts.text(text_key::kPortNotSerial), {path});
        case SerialOpenError::Other:
            break;
    }
    return withTexts(
        texts.text(text_key::kPortOpenFailed),
        {path, std::error_code(failure.errorNumber, std::generic_category()).message()});
}

bool worthTelling(const platform::SerialOpenFailure& failure) {
    using platform::SerialOpenError;
    return failure.error == SerialOpenError::Busy ||
           failure.error == SerialOpenError::PermissionDenied;
}

}  // namespace pl3::link
