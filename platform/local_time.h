#pragma once
// The calendar time of this machine's time zone, safe from any thread.

#include <ctime>

namespace pl3::platform {

std::tm localTime(std::time_t time);

}  // namespace pl3::platform
