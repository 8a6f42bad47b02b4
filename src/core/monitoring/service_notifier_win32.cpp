#include <windows.h>

#include "core/monitoring/service_notifier.h"

namespace merovan::monitoring {

long long currentProcessId() {
    return static_cast<long long>(GetCurrentProcessId());
}

// Windows has no notify socket; its service control manager is told through the service's
// own handler.
bool ServiceNotifier::send(const std::string& /*message*/) const {
    return false;
}

}  // namespace merovan::monitoring
