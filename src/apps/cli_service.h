#pragma once

#include <CLI/CLI.hpp>
#include <optional>

#include "apps/cli_runs.h"

// The headless program as a Windows service: installed, removed and run by the Service
// Control Manager. Other systems have their own service managers and get none of this.
namespace merovan::cli {

struct ServiceRequest {
    bool install = false;
    bool uninstall = false;
    bool run = false;  // started by the Service Control Manager
};

// The service's options, on Windows only.
void addServiceOptions(CLI::App& app, ServiceRequest& request);
// Does what the options asked, in the working directory --workdir chose: the exit status, or
// nothing when no service option was given.
std::optional<int> runServiceRequest(const ServiceRequest& request, const CliOptions& options);

}  // namespace merovan::cli
