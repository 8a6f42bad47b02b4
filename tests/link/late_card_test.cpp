// A card terminal that answers after the 200 s wait has charged the card all the same.
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;

const std::string kOk = ScriptedTransport::okReply();
const std::string kAnswer = "358OK 0001:x:VISA:1250:a:b:c:d:e:1234XXXX:AUTH77:TID9:r:42:BATCH3";
const std::string kLateLine = "ccPay0 = 0001;VISA;1234XXXX;TID9;42;AUTH77;BATCH3;12,50;late\r\n";

class LateCardTest : public LinkTest {
  protected:
    // The card payment of a job whose result file is resFile; its wait runs out unanswered,
    // then the job ends. What comes afterwards is sent outside the job.
    void payByCardAndEndTheJob(std::chrono::milliseconds late, const std::string& bytes,
                               bool endTheJob = true) {
        Script({{"KX1250T2P1", {{0ms, kOk}, {200s + late, bytes}}},
                {"KXCO ", {{1s, kOk}}},
                {"KXT1", {{0ms, "DE6\r\x04"}}},
                {"KXCL", {{0ms, kOk}}}});
        const auto started = clock.elapsed();
        ASSERT_EQ(send("KX1250T2P1", false, 200), 0);
        EXPECT_EQ(reply, "OK");
        EXPECT_EQ(clock.elapsed() - started, 200100ms);
        EXPECT_EQ(op.cardWaitShownCount(), 1);
        EXPECT_FALSE(op.cardWaitShown());
        if (endTheJob) {
            session.setResultFile({});
        }
    }
    // The late answer, shown once in a message box.
    void expectShownOnce(const std::string& text) const {
        EXPECT_THAT(op.messages(), ::testing::Contains(::testing::Field(&common::MessageBox::text,
                                                                        ::testing::HasSubstr(text)))
                                       .Times(1));
    }
};

// Half a second late, while the next command waits for its own reply: the answer is not
// taken for that reply, and that command still gets its own.
TEST_F(LateCardTest, AnswerHalfASecondLateArrivesDuringTheNextCommand) {
    payByCardAndEndTheJob(500ms, kAnswer + "\r\x04");
    EXPECT_EQ(send("KXCO ", false), 0);
    EXPECT_EQ(reply, "OK");
    EXPECT_EQ(resultFileText(), kLateLine);
    expectShownOnce("Καθυστερημένη απάντηση EFTPOS: ccPay0 = 0001;VISA;");
    ASSERT_EQ(op.logLines().size(), 1u);
    EXPECT_NE(op.logLines()[0].find(";12,50;late"), std::string::npos);
}

// Five seconds late, with the link idle: the answer waits among the bytes discarded before
// the next exchange, and is recorded from there; in pieces, it is awaited whole.
TEST_F(LateCardTest, AnswerFiveSecondsLateIsTakenFromTheDiscardedBytes) {
    payByCardAndEndTheJob(5s, kAnswer.substr(0, 30));
    wire.queueIncoming({5s + 1s, kAnswer.substr(30) + "\r\x04"});
    clock.sleep(5s);
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_EQ(reply, "OK");
    EXPECT_EQ(resultFileText(), kLateLine);
    expectShownOnce("Καθυστερημένη απάντηση EFTPOS");
    // Recorded once: a second exchange finds nothing more.
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_EQ(resultFileText(), kLateLine);
}

// Within the same job the late answer is recorded before the refusal of the command during
// which it was taken, as it came first.
TEST_F(LateCardTest, ALateAnswerComesBeforeTheNextCommandsRefusal) {
    payByCardAndEndTheJob(5s, kAnswer + "\r\x04", false);
    clock.sleep(6s);
    EXPECT_EQ(send("KXT1", true), 6);
    EXPECT_EQ(resultFileText(), kLateLine + "Err = 6, [KXT1] DateTime = " + nowText() + "\r\n");
}

// Without a card wait that ran out, a stray terminal answer belongs to no payment; after one,
// a plain late "OK" is no card answer. Either is discarded and traced, nothing recorded.
TEST_F(LateCardTest, AStrayCardAnswerOrAStaleOkIsOnlyDiscarded) {
    wire.queueIncoming({0ms, "356OK\r\x04"});
    EXPECT_EQ(send("KXCL", true), 0);
    payByCardAndEndTheJob(500ms, kOk);
    clock.sleep(1s);
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_FALSE(std::filesystem::exists(resFile));
    EXPECT_TRUE(op.messages().empty());
    EXPECT_TRUE(op.logLines().empty());
    EXPECT_THAT(op.traceLines(), ::testing::Contains(::testing::HasSubstr("  discarded: 356OK")));
    EXPECT_THAT(op.traceLines(),
                ::testing::Contains(::testing::HasSubstr("  discarded: OKASC(13) ASC(4) ")));
}

}  // namespace
}  // namespace merovan::testing
