#include "apps/cli_service.h"

namespace merovan::cli {

void addServiceOptions(CLI::App&, ServiceRequest&) {}

std::optional<int> runServiceRequest(const ServiceRequest&, const CliOptions&) {
    return std::nullopt;
}

}  // namespace merovan::cli
