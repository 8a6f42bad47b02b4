#pragma once

#include <string>
#include <vector>

namespace merovan::link {

// This machine's first usable IPv4 address in dotted form, or empty text when it has none
// (or the system will not list its addresses). Recorded with the network link, never used
// to bind.
std::string localAddressLookup();
// The same, with the reason in error (for the log) when the system would not list them.
std::string localAddressLookup(std::string& error);

// The first address in the list that is none of 127.0.0.1, 0.0.0.1 and 0.0.0.0; empty when
// there is none.
std::string firstUsableAddress(const std::vector<std::string>& addresses);

}  // namespace merovan::link
