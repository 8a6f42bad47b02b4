#pragma once

#include "core/link/command_sender.h"

namespace merovan::link {

// The hidden test button's fixed sequence: clears, a table with six items, a transfer and a
// partial payment of four of them. Every command is shown on failure and the sequence goes
// on whatever the register answers.
void RunRegisterTestSequence(CommandSender& sender);

}  // namespace merovan::link
