#include "core/link/local_address.h"

namespace merovan::link {

std::string localAddressLookup() {
    std::string ignored;
    return localAddressLookup(ignored);
}

std::string firstUsableAddress(const std::vector<std::string>& addresses) {
    for (const auto& address : addresses) {
        if (address != "127.0.0.1" && address != "0.0.0.1" && address != "0.0.0.0") {
            return address;
        }
    }
    return {};
}

}  // namespace merovan::link
