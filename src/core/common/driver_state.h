#pragma once

namespace merovan::common {

// What the driver is doing. Every control of the main window follows from it; nothing reads
// the state back from a control.
enum class DriverState {
    Searching,  // the register is looked for ("KXCL" until it answers)
    Ready,      // the register answered; printing not started
    Printing,   // jobs are taken from the exchange directory
    Stopped,    // printing stopped by the operator
    Reporting,  // an X or Z report asked for from the menu runs
    Offline,    // the register did not answer three times
    OneJob,     // the one job of a POS program's command line runs
};

// The controls the driver's state allows.
struct DriverControls {
    bool start = false;  // "Έναρξη Εκτύπωσης", the tray's "Έναρξη Εκτυπώσεων"
    bool stop = false;  // "Διακοπή Εκτύπωσης", the tray's "Διακοπή Εκτυπώσεων"
    bool reports = false;   // the "Ισοζύγια" menu
    bool settings = false;  // the "Επιλογές" menu
};

constexpr DriverControls controlsOf(DriverState state) {
    switch (state) {
        case DriverState::Ready:
        case DriverState::Stopped:
            return {.start = true, .stop = false, .reports = true, .settings = true};
        case DriverState::Printing:
            return {.start = false, .stop = true, .reports = false, .settings = false};
        case DriverState::Searching:
        case DriverState::Reporting:
        case DriverState::Offline:
        case DriverState::OneJob:
            break;
    }
    return {.start = false, .stop = false, .reports = false, .settings = true};
}

}  // namespace merovan::common
