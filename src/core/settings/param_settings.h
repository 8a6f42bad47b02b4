#pragma once

#include <string>

namespace merovan::settings {

// The settings of param.ini as raw text values, one field per key, empty when the key is
// absent. Flags read as "true" or "fals" (four characters), never "false".
struct ParamSettings {
    std::string port;
    std::string baud;
    std::string file;
    std::string code;
    std::string ecrt;
    std::string multiType;
    std::string time;
    std::string printDesc;
    std::string printCode;
    std::string comments;
    std::string currency;
    std::string convert2;
    std::string keybOff;
    std::string dirDepa;
    std::string quantity;
    std::string defacto;
    std::string location;

    // Port, ":" and baud (com1:9600, 192.168.1.50:5012), as the link opens it.
    std::string linkAddress;
    // "[AUTOSTAR]=YES" in any case.
    bool autoStart = false;
};

}  // namespace merovan::settings
