#pragma once

#include <string>
#include <string_view>

// How one operator text becomes lines of the headless program's log.
namespace merovan::cli {

// The syslog priorities the journal reads from a "<N>" at the start of a line.
enum class Priority { Error = 3, Warning = 4, Info = 6 };

// A message box: the critical ones are errors (register refusals, start-up failures), the
// others warnings.
Priority messagePriority(int buttons);
// A caption or status: a register refusal is an error, the register off-line or a port that
// fails a warning, anything else information.
Priority statePriority(std::string_view text);
// A line for later look-up: a register refusal ("Err = " with the register's number) or a
// job or result file that failed is an error, the rest a warning.
Priority logLinePriority(std::string_view text);

// One logical message, never more than one entry. On a terminal: the time stamp, the kind
// in eight columns and the text, a line break inside it shown as " | ". Under the journal,
// which stamps the time itself: "<N>", the kind and the text, each further line of the text a
// continuation line with the same priority and a blank kind.
std::string formatLogEntry(std::string_view stamp, std::string_view kind, std::string_view text,
                           Priority priority, bool journal);

}  // namespace merovan::cli
