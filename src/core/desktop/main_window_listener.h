#pragma once

namespace merovan::desktop {

// The view of the main window: told which part of the model changed, it draws that part again.
class MainWindowListener {
  public:
    enum class Part {
        Caption,
        Status,
        Progress,
        ReceiptCount,
        Settings,
        Controls,
        StartFocus,  // the register was found: Start takes the focus
        Notices,
        trace,       // one line was added to the trace
        TraceShown,  // the trace window opens or closes
        WindowShown,
        CardWait,
        SettingsDialog,  // the settings dialog is to be opened
        Ending,
    };

    virtual ~MainWindowListener() = default;
    virtual void changed(Part part) = 0;
};

}  // namespace merovan::desktop
