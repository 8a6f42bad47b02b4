#pragma once

#include <optional>
#include <string>

#include "core/common/result.h"

// Where and how the network interface listens: off unless merovan.conf (beside param.ini) or
// the command line says so. param.ini stays as other programs read and write it.
namespace merovan::http {

inline constexpr const char* kConfigFileName = "merovan.conf";

struct HttpSettings {
    std::string address = "127.0.0.1";
    int port = 0;
    std::string tokenFile;   // needed for any address but loopback
    std::string corsOrigin;  // empty: no CORS headers
};

// "ADDRESS:PORT", "[IPv6]:PORT" or ":PORT" (loopback); an error in plain words.
common::Result<HttpSettings> parseListenAddress(const std::string& text);

// merovan.conf: "name = value" lines ("http", "token-file", "cors-origin"), "#" comments.
// Port 0 when the file does not exist or names no "http"; an error for a line it cannot read.
common::Result<HttpSettings> readHttpSettings(const std::string& path);

bool isLoopback(const std::string& address);

// The bearer token: the file's first line. Refused (with the reason) when the file is missing,
// empty, or readable by anyone but its owner.
common::Result<std::string> readTokenFile(const std::string& path);
// Refused when the file is missing or others than its owner may read it.
common::Result<void> checkTokenFilePrivate(const std::string& path);

}  // namespace merovan::http
