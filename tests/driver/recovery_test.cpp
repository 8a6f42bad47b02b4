// The result block of a job cut short goes where the job's own lines could go, and nowhere
// else: a job that named the driver's settings as its result file cannot have them rewritten
// by a crash.
#include <gmock/gmock.h>

#include "core/common/canonical_path.h"
#include "core/common/regular_file.h"
#include "core/jobs/job_journal.h"
#include "core/jobs/job_reading.h"
#include "driver_fixture.h"
#include "support/read_file.h"

namespace merovan::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

using RecoveryBlock = DriverFixture;

TEST_F(RecoveryBlock, NeverLandsInTheDriversOwnFiles) {
    write("param.ini", "[port] com1\r\n");
    write("print.1", "resFile:  " + path("param.ini") + "\r\n");
    {
        jobs::JobJournal journal(path("merovan.jnl"));
        std::string error;
        journal.load(error);
        const std::string job = common::canonicalPath(path("print.1"));
        const auto file = common::readRegularFile(job, 1024);
        ASSERT_TRUE(journal.markStarted(job, {file->stamp, jobs::hashJobBytes(file->bytes)},
                                        path("param.ini"), error));
    }
    startPolling();
    driver_->pollTick();
    EXPECT_EQ(readFile(path("param.ini")), "[port] com1\r\n");
    EXPECT_THAT(op_.logLines(), Contains(HasSubstr("Το αρχείο αποτελεσμάτων δεν γράφεται: ")));
}

}  // namespace
}  // namespace merovan::testing
