#include "core/monitoring/service_notifier.h"

#include <cstdlib>
#include <string_view>

#include "core/common/numeric.h"

namespace merovan::monitoring {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::optional<long long> wholeNumber(const std::string& text) {
    return text.empty() ? std::nullopt : common::parseInteger(text);
}

}  // namespace

ServiceNotifier ServiceNotifier::fromEnvironment() {
    std::optional<std::chrono::microseconds> watchdog;
    const auto usec = wholeNumber(environment("WATCHDOG_USEC"));
    const auto pid = wholeNumber(environment("WATCHDOG_PID"));
    if (usec && *usec > 0 && (!pid || *pid == currentProcessId())) {
        watchdog = std::chrono::microseconds(*usec);
    }
    return {environment("NOTIFY_SOCKET"), watchdog};
}

}  // namespace merovan::monitoring
