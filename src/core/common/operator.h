#pragma once

#include <cstdint>
#include <string>

#include "core/common/driver_state.h"
#include "core/common/message_box.h"

namespace merovan::common {

// The settings shown on the main window, as UTF-8 texts.
struct SettingsView {
    std::string serial;    // serialtxt: the link address
    std::string baud;      // baudtxt
    std::string file;      // filetxt: file + " @Path : " + location
    std::string ecr;       // ecrtxt
    std::string desc;      // desctxt
    std::string comments;  // commentstxt
    std::string currency;  // currtxt; empty: left as designed
};

// What the main window is to the rest of the program. The desktop program draws it with
// widgets, the headless program writes log lines, tests record it. Every text is UTF-8.
class Operator {
  public:
    virtual ~Operator() = default;

    // Shows a formatted message box and returns the operator's answer (1 for OK). The
    // driver waits for the answer; a headless operator answers at once.
    virtual int showMessage(const common::MessageBox& box) = 0;
    // The whole window caption, for example "Merovan- Έτοιμο".
    virtual void setCaption(const std::string& caption) = 0;
    // The status box.
    virtual void setStatus(const std::string& text) = 0;
    // The job progress label: " Ολοκληρώθηκε το N%" or "-".
    virtual void setProgressText(const std::string& text) = 0;
    // One line of the register trace.
    virtual void trace(const std::string& line) = 0;
    virtual void setWindowShown(bool shown) = 0;
    // The card-payment waiting window, shown while a card terminal is awaited.
    virtual void setCardWaitShown(bool shown) = 0;

    // Calls an implementation may leave alone (a log has no labels or check marks).
    // The number of jobs handed to the register since start (lblreceipt).
    virtual void setReceiptCount(std::int64_t /*count*/) {}
    // What the driver does now; the window derives its controls from it.
    virtual void setDriverState(common::DriverState /*state*/) {}
    virtual void showSettings(const SettingsView& /*view*/) {}
    // Start-up failed: let the operator correct param.ini (the settings dialog, not modal).
    virtual void showSettingsDialog() {}
    // A line for the program's log: things the operator must be able to look up later.
    virtual void log(const std::string& /*line*/) {}
};

// The driver's one message box: pads, titles and shows the text through the operator.
int showMessageBox(Operator& op, std::string_view text, int buttons, std::string_view title = {});

}  // namespace merovan::common
