#pragma once

#include "core/desktop/data_files.h"
#include "gui/qt/message_boxes.h"

namespace merovan::gui {

// Form lengths are kept in twips, as the windows were designed; 15 twips make a pixel at 96 DPI.
constexpr int twips(int value) {
    return value / 15;
}

// What the windows share: the data files and how message boxes are shown.
struct GuiContext {
    desktop::DataFiles files;
    MessageBoxes& messages;
};

}  // namespace merovan::gui
