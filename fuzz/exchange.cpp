// Arbitrary register answers, cut into arbitrary pieces at arbitrary times, through the
// command exchange. The exchange must stay within its time limits, never report a failure as
// success and never hand back a reply with the framing still in it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/jobs/register_session.h"
#include "core/link/link.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace {

using namespace std::chrono_literals;
using merovan::testing::ScriptedTransport;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
#define REQUIRE(condition) require(condition, #condition)

// Input: one flag byte, then pieces of [length, delay in 100 ms steps, bytes...].
struct Script {
    bool quiet = false;
    bool staleFirstPiece = false;
    int asyncSeconds = 0;
    std::vector<ScriptedTransport::Piece> pieces;
};

Script parseScript(const std::uint8_t* data, std::size_t size) {
    Script script;
    if (size == 0) {
        return script;
    }
    script.quiet = (data[0] & 1) != 0;
    script.staleFirstPiece = (data[0] & 2) != 0;
    script.asyncSeconds = (data[0] >> 2) & 3;
    std::size_t pos = 1;
    std::chrono::milliseconds at{0};
    while (pos + 2 <= size) {
        const std::size_t length = data[pos];
        at += std::chrono::milliseconds(100 * data[pos + 1]);
        pos += 2;
        const std::size_t take = std::min(length, size - pos);
        // A transport never reports an empty read as data.
        if (take > 0) {
            script.pieces.push_back(
                {at, std::string(reinterpret_cast<const char*>(data + pos), take)});
        }
        pos += take;
    }
    return script;
}

bool framed(const std::string& reply) {
    return reply.find('\r') != std::string::npos || reply.find('\x04') != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Script script = parseScript(data, size);
    merovan::testing::FakeClock clock;
    merovan::testing::RecordingOperator op;
    ScriptedTransport wire(clock);
    if (script.staleFirstPiece && !script.pieces.empty()) {
        wire.queueIncoming(script.pieces.front());
        script.pieces.erase(script.pieces.begin());
    }
    bool answered = false;
    wire.setResponder([&](const std::string& command) {
        if (command == "KXCL" || answered) {
            return std::vector<ScriptedTransport::Piece>{{0ms, ScriptedTransport::okReply()}};
        }
        answered = true;
        return script.pieces;
    });
    merovan::link::Link link(op, clock, wire.factory());
    link.setLinkAddress("com1:9600");
    merovan::jobs::RegisterSession session(link, op, clock);

    auto outcome = session.send("KX0T1", script.quiet, script.asyncSeconds);
    const int status = merovan::link::statusNumber(outcome.status);
    std::string reply = outcome.reply;
    REQUIRE(outcome.status == session.lastStatus());
    REQUIRE(status == 0 || status == -4 || (status >= 1 && status <= 9999));
    REQUIRE(status != 0 || !framed(reply));
    REQUIRE(status <= 0 || reply == std::to_string(status));
    REQUIRE(clock.elapsed() <= 20s + std::chrono::seconds(script.asyncSeconds) + 4s);
    // A quiet command shows no error; a card payment's late answer is shown all the same, as
    // the card was charged.
    for (const auto& box : op.messages()) {
        REQUIRE(!script.quiet ||
                box.text.find("Καθυστερημένη απάντηση EFTPOS") != std::string::npos);
    }
    REQUIRE(!op.cardWaitShown());
    // Every read either brought bytes or waited; a read that does neither would be a spin.
    REQUIRE(wire.receiveCalls() <= static_cast<int>(script.pieces.size()) + 200);

    // Whatever the register left behind must not become the next command's reply.
    clock.advance(60s);
    outcome = session.send("KXTEST", true);
    const int next = merovan::link::statusNumber(outcome.status);
    reply = outcome.reply;
    // The exchange reads at most 64 waiting pieces, so that a flood cannot hold it.
    REQUIRE(next != 0 || reply == "OK" || script.pieces.size() >= 64);
    return 0;
}
