#include "core/http/job_answer.h"

#include <charconv>
#include <string>
#include <vector>

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/link/register_errors.h"

namespace merovan::http {
namespace {

using nlohmann::json;

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<long long> numberOf(std::string_view piece) {
    const std::string text = common::trim(piece);
    long long value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failed != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The pieces of text between the separators.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

// "Err = <status>, [<command>] DateTime = <date>" or the table check's own wording.
json errorOf(std::string_view rest) {
    const std::size_t comma = rest.find(',');
    json error;
    const auto number = numberOf(rest.substr(0, comma));
    if (number) {
        error["number"] = *number;
    }
    if (number && *number > 0) {
        if (auto text = link::registerErrorText(std::to_string(*number))) {
            error["text"] = *text;
        }
    }
    const std::size_t open = rest.find('[');
    const std::size_t close = rest.rfind("] DateTime = ");
    if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
        error["command"] = common::cp1253ToUtf8(rest.substr(open + 1, close - open - 1));
    }
    return error;
}

}  // namespace

json resultFields(std::string_view resultLines) {
    json fields = json::object();
    json errors = json::array();
    json cards = json::array();
    for (const std::string& line : linesOf(resultLines)) {
        const std::size_t equals = line.find(" = ");
        if (equals == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, equals);
        const std::string_view rest = std::string_view(line).substr(equals + 3);
        if (name == "exitcode") {
            if (const auto code = numberOf(rest)) {
                fields["exitCode"] = *code;
            }
        } else if (name == "tag") {
            fields["tag"] = common::cp1253ToUtf8(rest);
        } else if (name == "Err") {
            errors.push_back(errorOf(rest));
        } else if (name == "receipt") {
            // Two counters of the register and the number of the receipt a table closed.
            json numbers = json::array();
            for (const auto piece : split(rest, ',')) {
                if (const auto number = numberOf(piece)) {
                    numbers.push_back(*number);
                }
            }
            fields["receiptNumbers"] = numbers;
        } else if (name == "recStatus") {
            const auto pieces = split(rest, ';');
            if (const auto status = numberOf(pieces.front())) {
                fields["receiptOpen"] = *status != 0;
            }
            fields["openAmount"] = pieces.size() > 1 ? common::cp1253ToUtf8(pieces[1]) : "";
        } else if (name.starts_with("ccPay")) {
            json fieldsOfCard = json::array();
            for (const auto piece : split(rest, ';')) {
                fieldsOfCard.push_back(common::cp1253ToUtf8(piece));
            }
            cards.push_back({{"line", name}, {"fields", fieldsOfCard}});
        }
    }
    fields["registerErrors"] = errors;
    fields["cardPayments"] = cards;
    return fields;
}

json jobAnswer(const driver::PostedJobs::View& job) {
    json answer{{"id", job.id}, {"state", driver::stateName(job.state)}};
    if (!job.recovery.empty()) {
        answer["recovery"] = job.recovery;
    }
    if (job.exitCode) {
        answer["exitCode"] = *job.exitCode;
    }
    json lines = json::array();
    for (const std::string& line : linesOf(job.resultLines)) {
        lines.push_back(common::cp1253ToUtf8(line));
    }
    answer["resultLines"] = lines;
    answer["result"] = resultFields(job.resultLines);
    return answer;
}

}  // namespace merovan::http
