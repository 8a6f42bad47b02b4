#include "core/http/http_settings.h"

#include <charconv>
#include <fstream>

#include "core/common/regular_file.h"
#include "core/common/text.h"

namespace merovan::http {

common::Result<HttpSettings> parseListenAddress(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        return common::Error{"\"" + text + "\": the address must be ADDRESS:PORT"};
    }
    HttpSettings settings;
    std::string address = text.substr(0, colon);
    if (address.starts_with('[') && address.ends_with(']')) {
        address = address.substr(1, address.size() - 2);
    }
    if (!address.empty()) {
        settings.address = address;
    }
    const std::string port = text.substr(colon + 1);
    const auto [end, failed] =
        std::from_chars(port.data(), port.data() + port.size(), settings.port);
    if (failed != std::errc() || end != port.data() + port.size() || settings.port < 1 ||
        settings.port > 65535) {
        return common::Error{"\"" + text + "\": the port must be a number from 1 to 65535"};
    }
    return settings;
}

common::Result<HttpSettings> readHttpSettings(const std::string& path) {
    HttpSettings settings;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = common::trim(common::removeAll(line, '\r'));
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string name =
            equals == std::string::npos ? line : common::trim(line.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? "" : common::trim(line.substr(equals + 1));
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        if (name == "http") {
            auto parsed = parseListenAddress(value);
            if (!parsed) {
                return common::Error{where + parsed.error().what};
            }
            settings.address = parsed->address;
            settings.port = parsed->port;
        } else if (name == "token-file") {
            settings.tokenFile = value;
        } else if (name == "cors-origin") {
            settings.corsOrigin = value;
        } else {
            return common::Error{where + "unknown setting \"" + name +
                                 "\" (known: http, token-file, cors-origin)"};
        }
    }
    return settings;
}

bool isLoopback(const std::string& address) {
    return address == "::1" || address == "localhost" || address.starts_with("127.");
}

common::Result<std::string> readTokenFile(const std::string& path) {
    if (auto checked = checkTokenFilePrivate(path); !checked) {
        return checked.error();
    }
    common::FileError error;
    const auto file = common::readRegularFile(path, 4096, &error);
    if (!file) {
        return common::Error{"token file " + path + ": " + error.text};
    }
    std::string token = common::trim(file->bytes.substr(0, file->bytes.find_first_of("\r\n")));
    if (token.size() < 16) {
        return common::Error{"token file " + path + ": the token must be at least 16 characters"};
    }
    return token;
}

}  // namespace merovan::http
