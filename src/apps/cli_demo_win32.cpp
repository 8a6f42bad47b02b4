#include <cstdio>

#include "apps/cli_runs.h"

namespace merovan::cli {

// The register simulator behind the demo needs a pseudo-terminal, which Windows lacks.
int runDemo(const CliOptions&, StopSignals&) {
    std::fputs("merovan-cli: --demo is not available on Windows; try it on Linux.\n", stderr);
    return 1;
}

}  // namespace merovan::cli
