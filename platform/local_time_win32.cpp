#include "platform/local_time.h"

namespace pl3::platform {

std::tm localTime(std::time_t time) {
    std::tm local{};
    ::localtime_s(&local, &time);
    return local;
}

}  // namespace pl3::platform
