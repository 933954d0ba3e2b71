#include "service/service_display.h"

#include "codeplug/text_keys.h"
#include "lang/text_lookup.h"
#include "link/job_display.h"

namespace pl3::service {

namespace {

constexpr int kFirstCount = 100;
constexpr int kCountPerBlock = 1600;
constexpr int kCountScale = 4096;

std::string_view successKey(ServiceTask task) {
    switch (task) {
        case ServiceTask::ReadTestData:
            return text_key::kPromptReadTestSucc;
        case ServiceTask::WriteTestData:
            return text_key::kPromptWriteTestSucc;
        case ServiceTask::ReadAll:
            return text_key::kPromptReadSucc;
        case ServiceTask::WriteAll:
            return text_key::kPromptWriteSucc;
    }
    return {};
}

}  // namespace

int barPosition(int blocksDone) {
    if (blocksDone <= 0) return 0;
    return (kFirstCount + kCountPerBlock * (blocksDone - 1)) / kCountScale;
}

std::string_view progressKey(ServiceTask task) {
    return task == ServiceTask::ReadAll || task == ServiceTask::ReadTestData
               ? text_key::kPromptRead
               : text_key::kPromptWrite;
}

std::string progressLine(std::string_view leadText, int position) {
    return std::string(leadText) + " " + std::to_string(position) + "%";
}

FinalDisplay finalDisplay(ServiceTask task, const ServiceSnapshot& end) {
    switch (end.status) {
        case ServiceStatus::Succeeded:
            return {successKey(task), {}, std::nullopt};
        case ServiceStatus::NoRadio:
            return {{}, {}, text_key::kErrorPortConn};
        case ServiceStatus::WrongRadio:
            return {{}, {}, text_key::kErrorType};
        case ServiceStatus::ReadFailed:
            return {{}, {}, text_key::kPromptReadFail};
        case ServiceStatus::WriteFailed:
            return {{}, {}, text_key::kPromptWriteFail};
        case ServiceStatus::Cancelled:
            if (task == ServiceTask::WriteAll && end.blocksDone > 0) {
                return {text_key::kServiceWriteStopped,
                        {end.blocksDone, link::kBlockCount},
                        std::nullopt};
            }
            return {text_key::kPromptCancelled, {}, std::nullopt};
        case ServiceStatus::Connecting:
        case ServiceStatus::Searching:
        case ServiceStatus::Transferring:
            break;
    }
    return {};
}

std::string statusLine(std::string text, const FinalDisplay& display) {
    return withNumbers(std::move(text), display.statusNumbers);
}

PromptMessage errorMessage(const FinalDisplay& display, const ServiceSnapshot& end,
                           const TextLookup& texts) {
    if (end.status == ServiceStatus::NoRadio)
        return link::noRadioMessage(end.openProblem, end.portOpened, texts);
    return {text_key::kError, display.errorKey.value_or(std::string_view()), {}, PromptIcon::Stop};
}

}  // namespace pl3::service
