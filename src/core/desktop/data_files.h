#pragma once

#include <string>

#include "core/common/clock.h"

namespace merovan::desktop {

// Where the forms find their files (param.ini, vats.dat, payeft.dat), the clock for the dates
// they write and the user's decimal separator.
struct DataFiles {
    std::string workDir;
    common::Clock& clock;
    std::string decimalSeparator;

    std::string pathOf(const std::string& name) const {
        if (workDir.empty() || workDir == ".") {
            return name;
        }
        return workDir.back() == '/' ? workDir + name : workDir + "/" + name;
    }
};

}  // namespace merovan::desktop
