#pragma once

#include "core/driver/driver.h"

namespace merovan::driver {

// The real job interpreter, as the driver calls it.
JobRunner defaultJobRunner();

}  // namespace merovan::driver
