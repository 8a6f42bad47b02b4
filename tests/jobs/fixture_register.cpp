#include "jobs/fixture_register.h"

#include <regex>

namespace merovan::testing {

void FixtureRegister::addReply(const std::string& command, std::string reply) {
    replies_[command].push_back(std::move(reply));
}

void FixtureRegister::addSecondAnswer(const std::string& command, std::chrono::seconds after,
                                      std::string reply) {
    secondAnswers_[command] = {after, std::move(reply)};
}

std::vector<ScriptedTransport::Piece> FixtureRegister::respond(const std::string& command) {
    std::string reply;
    if (auto found = replies_.find(command); found != replies_.end() && !found->second.empty()) {
        reply = found->second.front();
        if (found->second.size() > 1) {
            found->second.pop_front();
        }
    } else {
        reply = defaultReply(command);
    }
    std::vector<ScriptedTransport::Piece> pieces{{std::chrono::milliseconds(0), reply + "\r\x04"}};
    if (auto second = secondAnswers_.find(command); second != secondAnswers_.end()) {
        pieces.push_back({second->second.first, second->second.second + "\r\x04"});
    }
    return pieces;
}

std::string FixtureRegister::defaultReply(const std::string& command) {
    static const std::regex openTable("KX([0-9]+)TO");
    static const std::regex tableTotal("KXREP([0-9]+)TBL");
    std::smatch match;
    if (command == "KX?TO") {
        return "?TO:" + std::to_string(openTable_);
    }
    if (std::regex_match(command, match, openTable)) {
        openTable_ = std::stoi(match[1]);
        return "OK";
    }
    if (command == "KXTO") {
        openTable_ = 0;
        return "TO:0:" + std::to_string(++receipts_) + "\n";
    }
    if (std::regex_match(command, match, tableTotal)) {
        return "REP:" + std::string(match[1]) + ":" + (openTable_ != 0 ? "12.50" : "0.00");
    }
    if (command == "KXREPTBL") {
        return "REPTBL:" + (openTable_ != 0 ? " " + std::to_string(openTable_) + ", 31" : "");
    }
    if (command == "KXRE") {
        return "RE:00017:" + std::to_string(receipts_);
    }
    return "OK";
}

}  // namespace merovan::testing
