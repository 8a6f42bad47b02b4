#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/register/register_state.h"

namespace merovan::sim {

// How the simulated register misbehaves on purpose. One rule a line, "#" starts a comment:
//
//   ACTION PATTERN [times=N] ARGUMENTS
//
//   silent PATTERN                 no answer at all (the command is not carried out)
//   error  PATTERN NUMBER          answer "DE"NUMBER instead of carrying the command out
//   reply  PATTERN TEXT            answer TEXT (CR EOT added) instead of carrying it out
//   raw    PATTERN TEXT            send exactly TEXT, nothing added
//   late   PATTERN MILLISECONDS    carry out and answer after the delay
//   split  PATTERN SIZES [GAP_MS]  answer in pieces of the given sizes ("2,3": two bytes,
//                                  three bytes, then the rest), GAP_MS apart (default 50)
//   card   PATTERN SECONDS TEXT    answer at once, then TEXT (CR EOT added) SECONDS later,
//                                  as a card terminal's second answer ("358OK:...")
//
// PATTERN is matched against the whole command without CR LF; "*" stands for any run of
// characters, everything else for itself ("KX*T2P1", "KX?TO"). TEXT is the rest of the line
// and may hold \r, \n, \t, \\ and \xHH. times=N applies the rule to the first N matching
// commands only; without it the rule always applies. The first rule that matches decides.
struct ScenarioRule {
    enum class Action { Silent, Error, Reply, Raw, Late, Split, Card };

    Action action = Action::Silent;
    std::string pattern;
    int timesLeft = -1;  // -1: always
    int number = 0;
    std::string text;
    std::chrono::milliseconds delay{0};
    std::vector<std::size_t> sizes;
};

class Scenario {
  public:
    // Throws std::invalid_argument naming the line that cannot be read.
    static Scenario parse(std::string_view text);
    static Scenario load(const std::string& path);

    // The rule for a command, counting it against the rule's times; no value when the
    // register behaves.
    std::optional<ScenarioRule> take(const std::string& command);

    const std::vector<ScenarioRule>& rules() const { return rules_; }

  private:
    std::vector<ScenarioRule> rules_;
};

// A piece of what the register sends back, and when, counted from the command.
struct ReplyPiece {
    std::chrono::milliseconds after{0};
    std::string bytes;
};

// Everything the register sends back for one command: the state's answer, ended by CR EOT
// and shaped by the first matching rule. Empty when the register says nothing.
std::vector<ReplyPiece> respond(Scenario& scenario, RegisterState& state,
                                const std::string& command);

bool matchesPattern(std::string_view pattern, std::string_view command);
// Turns \r, \n, \t, \\ and \xHH into their bytes.
std::string unescape(std::string_view text);

}  // namespace merovan::sim
