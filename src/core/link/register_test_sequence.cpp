#include "core/link/register_test_sequence.h"

#include <string>
#include <vector>

namespace merovan::link {

void RunRegisterTestSequence(CommandSender& sender) {
    std::vector<std::string> commands(4, "KXCL");
    commands.push_back("KX10TO");
    // The item lines carry a CR of their own.
    for (const char* item :
         {"KX100R1AAA", "KX200R1BBB", "KX300R1CCC", "KX300R1DdD", "KX300R1eEe", "KX300R1Ffff"}) {
        commands.push_back(std::string(item) + "\r");
    }
    commands.insert(commands.end(), {"KXTO", "KXTRF", "KXFROM10TO20PAR"});
    for (const char* payment : {"KXPA100R1AAA", "KXPA300R1CCC", "KXPA300R1eEe", "KXPA300R1Ffff"}) {
        commands.insert(commands.end(), {"KXTRF", payment, "KXTRFOK"});
    }
    commands.push_back("KXTRFNO");

    for (const auto& command : commands) {
        sender.send(command);
    }
}

}  // namespace merovan::link
