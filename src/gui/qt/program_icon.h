#pragma once

#include <QIcon>

namespace merovan::gui {

// The icon of every window and of the tray: a receipt, drawn so that no image file has to
// travel with the program.
QIcon programIcon();

}  // namespace merovan::gui
