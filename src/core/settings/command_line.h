#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/settings/param_settings.h"

namespace merovan::settings {

// Link address, baud, job file, delay, register family, option characters.
using CommandLineFields = std::array<std::string, 6>;

// Splits the POS program's command line. Every "," and every blank separates; the sixth field
// is the rest of the line, separators included. An empty or missing field becomes "e".
CommandLineFields parseCommandLine(std::string_view commandLine);

struct CommandLineSettings {
    ParamSettings settings;
    // Field 6 holds fewer than seven option characters: the program says farewell and ends
    // without touching the register. The options are then left empty.
    bool optionsTooShort = false;
};

// The settings in force for a one-job run started from the command line.
CommandLineSettings settingsFromCommandLine(const CommandLineFields& fields);

// The address the link opens for a one-job run: field 1 as given, or, when it names no
// speed or port of its own (no ":"), field 1, ":" and the number of field 2, so that
// "com1,9600,..." sets the port to 9600 rather than leaving it unset.
std::string commandLineLinkAddress(const ParamSettings& settings);

// The farewell printed before the program ends, as code page 737 bytes: a box-drawn frame
// around one line of thanks, lines separated by "\n".
std::string farewellText();

}  // namespace merovan::settings
