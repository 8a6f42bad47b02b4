// Arbitrary job files through the interpreter against a register that answers everything.
// The first byte picks how the register answers, so that error replies, table answers and
// card terminal answers are all reached.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/common/text.h"
#include "core/jobs/run_job.h"
#include "core/link/link.h"
#include "core/supervision/reports.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"
#include "support/scripted_transport.h"

namespace {

namespace fs = std::filesystem;
using namespace merovan;

std::string answerFor(std::uint8_t mode, const std::string& command) {
    switch (mode % 5) {
        case 0:
            return "OK\r\x04";
        case 1:
            return "DE1005\x04";
        case 2:
            return command == "KX?TO" ? "?TO: 12 \r\x04" : "X:-3:12.50\n:7\r\x04";
        case 3:
            return "355OK 1:2:3:4:5:6:7:8:9:10:11:12:13:14:15\r\x04";
        default:
            return std::string(mode % 3 == 0 ? "" : "DE") + command + "\x04";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fs::path dir =
        fs::temp_directory_path() / ("fuzz_job_file." + std::to_string(getpid()));
    static const bool made = fs::create_directories(dir) || fs::exists(dir);
    if (!made || size == 0) {
        return 0;
    }
    // The job names its own result file; a fixed first header keeps the writes in our
    // directory, since only the first "resFile:" counts.
    const std::string job = "resFile:  " + (dir / "result.txt").string() + "\r\n" +
                            std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fs::path jobPath = dir / "job.1";
    std::ofstream(jobPath, std::ios::binary | std::ios::trunc) << job;
    fs::remove(dir / "result.txt");

    testing::FakeClock clock;
    testing::RecordingOperator op;
    testing::ScriptedTransport reg(clock);
    const std::uint8_t mode = data[0];
    reg.setResponder([mode](const std::string& command) {
        return std::vector<testing::ScriptedTransport::Piece>{
            {std::chrono::milliseconds(0), answerFor(mode, command)}};
    });
    link::Link link(op, clock, reg.factory());
    link.setLinkAddress("com1:9600");
    jobs::ProgramFlags flags;
    jobs::RegisterSession session(link, op, clock);
    supervision::DailyZReport dailyReport(session, op);
    jobs::JobContext context{session, op, clock, flags, dailyReport};
    jobs::JobSettings settings;
    settings.workDir = dir.string();
    settings::ReceiptSettings& receipt = settings.receipt;
    receipt.comments = settings::Comments::On;
    receipt.printDescription = settings::Flag::On;
    receipt.printQuantity = true;
    receipt.currency = settings::currencyOf(std::string(1, static_cast<char>('0' + mode / 5 % 4)));
    receipt.registerFamily =
        (mode & 0x40) != 0 ? settings::RegisterFamily::Tar48 : settings::RegisterFamily::Vesko;
    receipt.printCode = (mode & 0x80) != 0 ? settings::PrintCodeChoice::AsText
                                           : settings::PrintCodeChoice::AsNumber;
    receipt.keyboardLocked = (mode & 0x20) != 0;
    receipt.directDepartment = (mode & 0x10) != 0;
    settings.decimalSeparator = (mode & 0x08) != 0 ? "." : ",";

    const jobs::JobOutcome outcome = jobs::interpretJobFile(jobPath.string(), settings, context);
    // A refused job (NUL bytes, oversized) must not have reached the register at all.
    if (!outcome.readable) {
        if (!reg.sent().empty()) {
            std::abort();
        }
        return 0;
    }
    if ((outcome.exitCode != 0 && outcome.exitCode != 1) || flags.transferPending ||
        flags.partialPaymentPending || flags.footerPending) {
        std::abort();
    }
    return 0;
}
