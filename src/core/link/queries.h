#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/command_sender.h"

// The register's tables and receipt counters, each reduced to one number or short text.
// A register error or link failure gives the failure value (-1, "-1" or "-1, -1"); the
// message and the log line are the sender's.
namespace merovan::link {

// The number of the table open in the register ("KX?TO"), or -1.
std::int16_t queryOpenTable(CommandSender& sender);
// The receipt number in the reply that "KXTO" left, or -1.
std::int16_t parseClosedReceipt(std::string_view reply);
// The amount still open on a table, exactly as the register wrote it, or "-1".
std::string queryTableTotal(CommandSender& sender, int table);
// The list of open tables without blanks, or "-1".
std::string queryTableList(CommandSender& sender);
// The receipt counters as "a, b", or "-1, -1".
std::string queryReceiptCounters(CommandSender& sender);

}  // namespace merovan::link
