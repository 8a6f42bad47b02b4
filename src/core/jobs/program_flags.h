#pragma once

namespace merovan::jobs {

// Flags that outlive one job: owned by the driver, shared by the interpreter and sendLineCommands.
struct ProgramFlags {
    bool zeroTotalReceipt = false;
    bool transferPending = false;
    bool partialPaymentPending = false;
    bool footerPending = false;
};

}  // namespace merovan::jobs
