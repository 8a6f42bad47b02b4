// What the job journal costs at start: a long journal, and one damaged by a huge line.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/jobs/job_journal.h"

namespace {

namespace fs = std::filesystem;
using merovan::jobs::JobJournal;

struct Scratch {
    fs::path dir =
        fs::temp_directory_path() / ("merovan-bench-journal-" + std::to_string(getpid()));
    Scratch() {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch() { fs::remove_all(dir); }
    std::string journal() const { return (dir / "merovan.jnl").string(); }
};

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 40,000 lines: 20,000 jobs left in place, each started and done.
void loadFortyThousandLines(benchmark::State& state) {
    Scratch scratch;
    {
        JobJournal journal(scratch.journal());
        std::string text;
        for (int n = 0; n < 20000; ++n) {
            const std::string job = (scratch.dir / ("J" + std::to_string(n))).string();
            std::ofstream(job) << "job " << n;
            const auto file = merovan::common::readRegularFile(job, 1024);
            merovan::jobs::JournalLine line{merovan::jobs::JournalMark::Started,
                                            {file->stamp, merovan::jobs::hashJobBytes(file->bytes)},
                                            job,
                                            "/srv/pos/result.txt"};
            text += merovan::jobs::formatJournalLine(line);
            line.mark = merovan::jobs::JournalMark::Done;
            text += merovan::jobs::formatJournalLine(line);
        }
        std::ofstream(scratch.journal(), std::ios::binary) << text;
    }
    for (auto _ : state) {
        JobJournal journal(scratch.journal());
        std::string problem;
        benchmark::DoNotOptimize(journal.load(problem));
        state.counters["entries"] = static_cast<double>(journal.size());
    }
}
BENCHMARK(loadFortyThousandLines)->Unit(benchmark::kMillisecond)->Iterations(5);

// One line of 300 MB (zeros, made as a sparse file): read in pieces, never held whole.
void loadThreeHundredMegabyteLine(benchmark::State& state) {
    Scratch scratch;
    const long before = peakResidentKb();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(scratch.journal() + ".bad");
        std::ofstream(scratch.journal(), std::ios::binary | std::ios::trunc);
        fs::resize_file(scratch.journal(), 300ULL << 20);
        state.ResumeTiming();
        JobJournal journal(scratch.journal());
        std::string problem;
        benchmark::DoNotOptimize(journal.load(problem));
    }
    state.counters["peak_rss_kb_before"] = static_cast<double>(before);
    state.counters["peak_rss_kb_after"] = static_cast<double>(peakResidentKb());
}
BENCHMARK(loadThreeHundredMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
