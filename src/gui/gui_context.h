#pragma once

#include <string>

#include "core/common/clock.h"
#include "gui/message_presenter.h"

namespace merovan::gui {

// Form lengths are kept in twips, as the windows were designed; 15 twips make a pixel at 96 DPI.
constexpr int twips(int value) {
    return value / 15;
}

// What the windows share: where the data files live, the clock for the dates they write, and
// how message boxes are shown.
struct GuiContext {
    std::string workDir;
    common::Clock& clock;
    MessagePresenter& messages;
    std::string decimalSeparator;

    // A data file in the working directory (param.ini, vats.dat, payeft.dat, merovan.txt).
    std::string pathOf(const std::string& name) const {
        if (workDir.empty() || workDir == ".") {
            return name;
        }
        return workDir.back() == '/' ? workDir + name : workDir + "/" + name;
    }
};

}  // namespace merovan::gui
