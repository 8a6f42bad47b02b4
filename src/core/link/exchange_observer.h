#pragma once

#include <string>
#include <string_view>

namespace merovan::link {

// What an exchange tells while it runs, at the moment it happens, to the layer that decides
// what the operator sees and what the result file gets. The link itself presents nothing.
class ExchangeObserver {
  public:
    virtual ~ExchangeObserver() = default;

    // The register refused the command (reply without CR and EOT, beginning with "DE").
    // Told before the refusal is acknowledged, so that the register still shows it.
    virtual void registerRefused(std::string_view reply) = 0;
    // A card terminal is awaited (true) or no longer (false).
    virtual void cardWaitShown(bool shown) = 0;
    // The answer of a card terminal that came after its wait had run out, as the ccPay line
    // it would have been, marked late.
    virtual void lateCardAnswer(const std::string& line) = 0;
    // Why the register cannot be reached (UTF-8), told once per change; empty: it answers
    // again.
    virtual void linkStateChanged(const std::string& downReason) = 0;
};

}  // namespace merovan::link
