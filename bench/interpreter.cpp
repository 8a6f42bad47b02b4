// The interpreter's own time per job line: a 200-line receipt job against a register that
// answers at once, with every fixed pause taken out by a clock that does not wait.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/jobs/run_job.h"
#include "core/link/link.h"
#include "core/supervision/reports.h"
#include "core/vat/vat_table.h"
#include "instant_register.h"

namespace {

namespace fs = std::filesystem;
using namespace merovan;

constexpr int kLines = 200;

std::string pad(std::string text, std::size_t width, bool right = false) {
    text.resize(std::min(text.size(), width));
    const std::string blanks(width - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

// A sale line in its columns: code, description, quantity, price, VAT rate.
std::string plu(const std::string& code, const std::string& description,
                const std::string& quantity, const std::string& price, const std::string& rate) {
    return " PLU " + pad(code, 14) + pad(description, 24) + "    " + pad(quantity, 7, true) + "  " +
           pad(price, 9, true) + "   " + pad(rate, 5, true) + "\r\n";
}

// Sales with discounts, receipt adjustments, comments and payments, as a busy till writes
// them; Greek texts in code page 1253.
std::string receiptJob() {
    const std::string salad = "\xD3\xC1\xCB\xC1\xD4\xC1 \xD7\xD9\xD1\xC9\xC1\xD4\xC9\xCA\xC7";
    const std::string thanks = "\xC5\xD5\xD7\xC1\xD1\xC9\xD3\xD4\xCF\xD5\xCC\xC5";
    const std::string lines[] = {
        plu("", salad, "2.500", "3.20", "13"), " dis  0.50\r\n",
        plu("", "7UP", "1.000", "2.00", "23"), " com  " + thanks + "\r\n",
        " mod  -10%      " + thanks + "\r\n",
    };
    std::string job = "resFile:  /dev/null\r\ntag:  BENCH\r\n";
    for (int i = 0; i < kLines - 6; ++i) {
        job += lines[i % std::size(lines)];
    }
    job += " sut  0.00\r\n to    1    12.50\r\n foo  " + thanks + "\r\n pay  1\r\n";
    return job;
}

void interpreterPerLine(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "bench_interpreter";
    fs::create_directories(dir);
    const fs::path jobPath = dir / "job.1";
    std::ofstream(jobPath, std::ios::binary | std::ios::trunc) << receiptJob();
    (void)vat::saveVatRates((dir / vat::kVatFileName).string(), {23, 13, 6.5, 0, 24});

    bench::InstantClock clock;
    bench::QuietOperator op;
    bench::InstantRegister reg(clock);
    link::Link link(op, clock, reg.factory());
    link.setLinkAddress("com1:9600");
    jobs::ProgramFlags flags;
    jobs::RegisterSession session(link, op, clock);
    supervision::DailyZReport dailyReport(session, op);
    jobs::JobContext context{session, op, clock, flags, dailyReport};
    jobs::JobSettings settings;
    settings.workDir = dir.string();
    settings.receipt.printDescription = settings::Flag::On;
    settings.receipt.comments = settings::Comments::On;
    settings.receipt.currency = settings::Currency::Main;

    for (auto _ : state) {
        benchmark::DoNotOptimize(jobs::interpretJobFile(jobPath.string(), settings, context));
    }
    state.counters["commands_per_job"] =
        static_cast<double>(reg.commands()) / static_cast<double>(state.iterations());
    state.counters["time_per_line"] = benchmark::Counter(
        kLines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(interpreterPerLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
