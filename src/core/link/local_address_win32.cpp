// Winsock 2 before the IP Helper, which needs its types.
#include <winsock2.h>

#include <iphlpapi.h>

#include <vector>

#include "core/link/local_address.h"

namespace merovan::link {

std::string localAddressLookup(std::string& error) {
    // 512 bytes hold about twenty addresses; a machine with more is told the size it needs
    // and asked once more, rather than going without an address.
    ULONG size = 512;
    std::vector<unsigned char> buffer(size);
    DWORD status = GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data()), &size, TRUE);
    if (status == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        status = GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data()), &size, TRUE);
    }
    if (status != NO_ERROR) {
        error = "GetIpAddrTable failed with return value " + std::to_string(status);
        return {};
    }
    const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.data());
    std::vector<std::string> addresses;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        // The address is in network order: its bytes in memory are the dotted parts in turn.
        const auto* bytes = reinterpret_cast<const unsigned char*>(&table->table[i].dwAddr);
        addresses.push_back(std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
                            std::to_string(bytes[2]) + "." + std::to_string(bytes[3]));
    }
    return firstUsableAddress(addresses);
}

}  // namespace merovan::link
