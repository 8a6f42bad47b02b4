#include <arpa/inet.h>
#include <errno.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <cstring>
#include <memory>

#include "core/link/local_address.h"

namespace merovan::link {

std::string localAddressLookup(std::string& error) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        error = std::string("getifaddrs failed: ") + std::strerror(errno);
        return {};
    }
    const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owner(list, &::freeifaddrs);
    std::vector<std::string> addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            addresses.emplace_back(text);
        }
    }
    return firstUsableAddress(addresses);
}

}  // namespace merovan::link
