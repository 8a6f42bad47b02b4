#pragma once

#include "gui/qt/message_boxes.h"

namespace merovan::gui {

// The farewell to a command line whose option string is too short, on standard output and in
// a message box, before the program ends. Returns the exit status that goes with it.
int showFarewell(MessageBoxes& messages);

}  // namespace merovan::gui
