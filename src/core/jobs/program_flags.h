#pragma once

namespace merovan::jobs {

// Flags that outlive one job: owned by the driver, shared by the interpreter and comms.
struct ProgramFlags {
    bool ZeroTotalReceipt = false;
    bool TransferPending = false;
    bool PartialPaymentPending = false;
    bool FooterPending = false;
};

}  // namespace merovan::jobs
