#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/jobs/register_session.h"
#include "core/link/link.h"
#include "support/fake_clock.h"
#include "support/read_file.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace merovan::testing {

// A link on a scripted register, driven through a session with a result file of its own.
class LinkTest : public ::testing::Test {
  protected:
    using Pieces = std::vector<ScriptedTransport::Piece>;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        resFile = ::testing::TempDir() + info->test_suite_name() + "_" + info->name() + ".res";
        std::filesystem::remove(resFile);
        link.setLinkAddress("com1:9600");
        session.setResultFile(resFile);
    }
    void TearDown() override { std::filesystem::remove(resFile); }

    // Answers each command by its script; any other command gets no answer at all.
    void Script(std::map<std::string, Pieces> answers) {
        wire.setResponder([answers = std::move(answers)](const std::string& command) {
            const auto found = answers.find(command);
            return found == answers.end() ? Pieces{} : found->second;
        });
    }
    // Sends through the session as a job does; the reply lands in reply.
    int send(const std::string& command, bool quiet, int cardAnswerSeconds = 0) {
        link::ExchangeOutcome outcome = session.send(command, quiet, cardAnswerSeconds);
        reply = std::move(outcome.reply);
        return link::statusNumber(outcome.status);
    }
    std::string resultFileText() const { return readFile(resFile); }
    std::string nowText() const { return common::formatDateTime(clock.localDateTime()); }

    FakeClock clock;
    RecordingOperator op;
    ScriptedTransport wire{clock};
    link::Link link{op, clock, wire.factory()};
    jobs::RegisterSession session{link, op, clock};
    std::string resFile;
    std::string reply;
};

}  // namespace merovan::testing
