#include "tools/register/scenario.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace merovan::sim {

namespace {

std::string_view nextToken(std::string_view& rest) {
    const auto start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const auto end = rest.find_first_of(" \t");
    const std::string_view token = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    return token;
}

std::string_view restOfLine(std::string_view rest) {
    const auto start = rest.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view{} : rest.substr(start);
}

template <typename Number>
bool toNumber(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

ScenarioRule parseRule(std::string_view line) {
    using Action = ScenarioRule::Action;
    ScenarioRule rule;
    const std::string_view action = nextToken(line);
    static const std::map<std::string_view, Action> kActions = {
        {"silent", Action::Silent}, {"error", Action::Error}, {"reply", Action::Reply},
        {"raw", Action::Raw},       {"late", Action::Late},   {"split", Action::Split},
        {"card", Action::Card}};
    const auto known = kActions.find(action);
    if (known == kActions.end()) {
        throw std::invalid_argument("unknown action \"" + std::string(action) + "\"");
    }
    rule.action = known->second;

    rule.pattern = std::string(nextToken(line));
    if (rule.pattern.empty()) {
        throw std::invalid_argument("a pattern is missing");
    }
    std::string_view peek = line;
    if (const auto token = nextToken(peek); token.starts_with("times=")) {
        if (!toNumber(token.substr(6), rule.timesLeft) || rule.timesLeft < 1) {
            throw std::invalid_argument("times= needs a positive number");
        }
        line = peek;
    }
    switch (rule.action) {
        case Action::Silent:
            break;
        case Action::Error:
            if (!toNumber(nextToken(line), rule.number) || rule.number < 0) {
                throw std::invalid_argument("error needs a number");
            }
            break;
        case Action::Reply:
        case Action::Raw:
            rule.text = unescape(restOfLine(line));
            return rule;
        case Action::Late: {
            long long millis = 0;
            if (!toNumber(nextToken(line), millis) || millis < 0) {
                throw std::invalid_argument("late needs milliseconds");
            }
            rule.delay = std::chrono::milliseconds(millis);
            break;
        }
        case Action::Split: {
            std::string_view sizes = nextToken(line);
            while (!sizes.empty()) {
                const auto comma = sizes.find(',');
                std::size_t size = 0;
                if (!toNumber(sizes.substr(0, comma), size) || size == 0) {
                    throw std::invalid_argument("split needs sizes such as 2,3");
                }
                rule.sizes.push_back(size);
                sizes =
                    comma == std::string_view::npos ? std::string_view{} : sizes.substr(comma + 1);
            }
            if (rule.sizes.empty()) {
                throw std::invalid_argument("split needs sizes such as 2,3");
            }
            long long gap = 50;
            if (const auto token = nextToken(line); !token.empty() && !toNumber(token, gap)) {
                throw std::invalid_argument("split's gap must be milliseconds");
            }
            rule.delay = std::chrono::milliseconds(gap);
            break;
        }
        case Action::Card: {
            double seconds = 0;
            const std::string token(nextToken(line));
            std::istringstream reader(token);
            reader.imbue(std::locale::classic());
            if (!(reader >> seconds) || !reader.eof() || seconds < 0) {
                throw std::invalid_argument("card needs seconds");
            }
            rule.delay = std::chrono::milliseconds(std::llround(seconds * 1000));
            rule.text = unescape(restOfLine(line));
            if (rule.text.empty()) {
                throw std::invalid_argument("card needs the terminal's answer");
            }
            return rule;
        }
    }
    if (!restOfLine(line).empty()) {
        throw std::invalid_argument("unexpected \"" + std::string(restOfLine(line)) + "\"");
    }
    return rule;
}

}  // namespace

bool matchesPattern(std::string_view pattern, std::string_view command) {
    // Greedy matching with one backtrack point, enough for "*" as the only wildcard.
    std::size_t p = 0, c = 0, starAt = std::string_view::npos, resumeAt = 0;
    while (c < command.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = c;
        } else if (p < pattern.size() && pattern[p] == command[c]) {
            ++p;
            ++c;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            c = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char code = text[++i];
        unsigned value = 0;
        if (code == 'r') {
            out += '\r';
        } else if (code == 'n') {
            out += '\n';
        } else if (code == 't') {
            out += '\t';
        } else if (code == 'x' && i + 2 < text.size() &&
                   std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                       text.data() + i + 3) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += code;
        }
    }
    return out;
}

Scenario Scenario::parse(std::string_view text) {
    Scenario scenario;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::string_view content = restOfLine(line);
        if (content.empty() || content.starts_with('#')) {
            continue;
        }
        try {
            scenario.rules_.push_back(parseRule(content));
        } catch (const std::invalid_argument& error) {
            throw std::invalid_argument("scenario line " + std::to_string(number) + ": " +
                                        error.what());
        }
    }
    return scenario;
}

Scenario Scenario::load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::invalid_argument("cannot read the scenario file " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    return parse(content.str());
}

std::optional<ScenarioRule> Scenario::take(const std::string& command) {
    for (auto& rule : rules_) {
        if (rule.timesLeft != 0 && matchesPattern(rule.pattern, command)) {
            if (rule.timesLeft > 0) {
                --rule.timesLeft;
            }
            return rule;
        }
    }
    return std::nullopt;
}

std::vector<ReplyPiece> respond(Scenario& scenario, RegisterState& state,
                                const std::string& command) {
    using Action = ScenarioRule::Action;
    using std::chrono::milliseconds;
    const std::string end = "\r\x04";
    const auto rule = scenario.take(command);
    if (rule) {
        switch (rule->action) {
            case Action::Silent:
                return {};
            case Action::Error:
                return {{milliseconds(0), errorReply(rule->number) + end}};
            case Action::Reply:
                return {{milliseconds(0), rule->text + end}};
            case Action::Raw:
                return {{milliseconds(0), rule->text}};
            default:
                break;
        }
    }
    const auto answer = state.answer(command);
    if (!answer) {
        return {};
    }
    std::string reply = *answer + end;
    if (!rule) {
        return {{milliseconds(0), std::move(reply)}};
    }
    switch (rule->action) {
        case Action::Late:
            return {{rule->delay, std::move(reply)}};
        case Action::Split: {
            std::vector<ReplyPiece> pieces;
            std::size_t at = 0;
            for (const auto size : rule->sizes) {
                if (at >= reply.size()) {
                    break;
                }
                pieces.push_back(
                    {rule->delay * static_cast<int>(pieces.size()), reply.substr(at, size)});
                at += size;
            }
            if (at < reply.size()) {
                pieces.push_back({rule->delay * static_cast<int>(pieces.size()), reply.substr(at)});
            }
            return pieces;
        }
        case Action::Card:
            return {{milliseconds(0), std::move(reply)}, {rule->delay, rule->text + end}};
        default:
            return {{milliseconds(0), std::move(reply)}};
    }
}

}  // namespace merovan::sim
