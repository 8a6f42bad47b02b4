#pragma once

class QLineEdit;

namespace merovan::gui {

// Entering the field selects its whole text, so that typing replaces it.
void selectAllOnFocus(QLineEdit* field);

}  // namespace merovan::gui
