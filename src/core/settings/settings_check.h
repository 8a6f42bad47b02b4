#pragma once

#include <vector>

#include "core/common/result.h"
#include "core/settings/param_settings.h"

namespace merovan::settings {

// What in the settings keeps the driver from ever printing, in plain words for the operator
// (UTF-8): a [location] that is the root, a file, a missing directory or lacks its final
// separator; a missing [port]. Empty when nothing is wrong. Without such a word the driver
// would only wait, or say that the register does not answer.
std::vector<common::Error> settingsProblems(const ParamSettings& settings);

}  // namespace merovan::settings
