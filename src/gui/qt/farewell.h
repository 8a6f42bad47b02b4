#pragma once

#include "gui/qt/message_boxes.h"

namespace merovan::gui {

// The farewell to a command line whose option string is too short, shown in a message box
// (a desktop user never sees standard output) before the program ends. Returns the exit
// status that goes with it.
int showFarewell(MessageBoxes& messages);

}  // namespace merovan::gui
