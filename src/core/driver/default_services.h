#pragma once

#include "core/driver/driver.h"

namespace merovan::driver {

// The real job interpreter and param.ini reader, as the driver calls them.
JobRunner defaultJobRunner();
ParamReader defaultParamReader();

}  // namespace merovan::driver
