#pragma once

#include <cstdint>
#include <string>

#include "core/common/driver_state.h"

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

// What the operator sees without being asked anything: caption, status box, progress,
// the driver's state, counters and the program's log. Every text is UTF-8.
class StatusDisplay {
  public:
    virtual ~StatusDisplay() = default;

    // The whole window caption, for example "Merovan- Έτοιμο".
    virtual void setCaption(const std::string& caption) = 0;
    // The status box.
    virtual void setStatus(const std::string& text) = 0;
    // The job progress label: " Ολοκληρώθηκε το N%" or "-".
    virtual void setProgressText(const std::string& text) = 0;
    virtual void setWindowShown(bool shown) = 0;

    // Calls an implementation may leave alone (a log has no labels or check marks).
    // The number of jobs handed to the register since start (lblreceipt).
    virtual void setReceiptCount(std::int64_t /*count*/) {}
    // What the driver does now; the window derives its controls from it.
    virtual void setDriverState(DriverState /*state*/) {}
    virtual void showSettings(const SettingsView& /*view*/) {}
    // A line for the program's log: things the operator must be able to look up later.
    virtual void log(const std::string& /*line*/) {}
};

}  // namespace merovan::common
