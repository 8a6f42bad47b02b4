// How fast a dropped job reaches the wire, what an idle polling driver costs, and how much
// memory merovan-cli holds while it polls.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "apps/child_process.h"
#include "core/driver/driver_loop.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

// A register that answers at once and notes when a job's first command went out.
class StampingTransport final : public merovan::link::Transport {
  public:
    merovan::link::TransportResult openConnection() override { return {}; }
    merovan::link::TransportResult sendData(const std::string& text) override {
        if (text.starts_with("KXJOB")) {
            std::lock_guard lock(mutex_);
            sentAt_ = SteadyClock::now();
            if (++jobs_ == 1) {
                firstAt_ = sentAt_;
            }
            sent_.notify_all();
        }
        pending_ = true;
        return {};
    }
    merovan::link::Received receiveData(std::chrono::milliseconds) override {
        return {std::exchange(pending_, false) ? std::string("OK\r\x04") : std::string(), {}};
    }
    void shutdownConnection() override {}

    // Waits until count jobs have gone out; how long from the first to the last, in seconds.
    double awaitJobs(int count, std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        sent_.wait_for(lock, limit, [&] { return jobs_ >= count; });
        return std::chrono::duration<double>(sentAt_ - firstAt_).count();
    }

    SteadyClock::time_point awaitJob(SteadyClock::time_point after) {
        std::unique_lock lock(mutex_);
        sent_.wait_for(lock, 5s, [&] { return sentAt_ > after; });
        return sentAt_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable sent_;
    SteadyClock::time_point sentAt_{};
    SteadyClock::time_point firstAt_{};
    int jobs_ = 0;
    bool pending_ = false;
};

class NullOperator final : public merovan::common::Operator {
  public:
    int showMessage(const merovan::common::MessageBox&) override { return 1; }
    void setCaption(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setProgressText(const std::string&) override {}
    void trace(const std::string&) override {}
    void setWindowShown(bool) override {}
    void setCardWaitShown(bool) override {}
};

// A polling driver on its own thread, over an exchange directory of its own.
struct PollingDriver {
    fs::path dir = fs::temp_directory_path() / ("merovan-bench-" + std::to_string(getpid()));
    StampingTransport* transport = nullptr;
    NullOperator op;
    merovan::common::SystemClock clock;
    std::unique_ptr<merovan::driver::Driver> driver;
    std::unique_ptr<merovan::driver::DriverLoop> loop;

    explicit PollingDriver(const std::string& file = "print",
                           const std::function<void(const fs::path&)>& beforeStart = {}) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (beforeStart) {
            beforeStart(dir);
        }
        std::ofstream(dir / "param.ini")
            << "[port] com1\r\n[baud] 9600\r\n[file] " << file << "\r\n[multi type] true\r\n"
            << "[location] " << (dir / "").string() << "\r\n";
        merovan::driver::DriverServices services;
        services.transports = [this](const merovan::link::LinkTarget&) {
            auto owned = std::make_unique<StampingTransport>();
            transport = owned.get();
            return owned;
        };
        services.runJob = [](const std::string& path, std::string_view,
                             const merovan::jobs::JobSettings&,
                             merovan::jobs::JobContext& context) {
            context.session.send("KXJOB " + path, true);
            return merovan::jobs::JobOutcome{};
        };
        merovan::driver::DriverOptions options;
        options.workDir = dir.string();
        options.endMarker = (dir / "end.txt").string();
        options.startWhenOnline = true;
        driver = std::make_unique<merovan::driver::Driver>(op, clock, services, options);
        driver->load();
        loop = std::make_unique<merovan::driver::DriverLoop>(*driver);
        loop->startThread();
        while (!driver->polling()) {
            std::this_thread::sleep_for(50ms);
        }
        std::this_thread::sleep_for(1500ms);  // the watch is set at the first poll tick
    }
    ~PollingDriver() {
        loop->requestStop();
        loop->join();
        fs::remove_all(dir);
    }
};

void pickUpLatency(benchmark::State& state) {
    PollingDriver polling;
    std::vector<double> latencies;
    int serial = 0;
    for (auto _ : state) {
        for (int i = 0; i < 25; ++i) {
            // Off the tick's beat, so that only the directory watch can be quick.
            std::this_thread::sleep_for(std::chrono::milliseconds(137 + 61 * (i % 7)));
            SteadyClock::time_point closed;
            {
                std::ofstream job(polling.dir / "print.1", std::ios::trunc);
                job << "job " << ++serial << "\r\n";
                job.flush();
                closed = SteadyClock::now();
                job.close();
            }
            const auto sent = polling.transport->awaitJob(closed);
            latencies.push_back(std::chrono::duration<double, std::milli>(sent - closed).count());
        }
        state.SetIterationTime(1);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(pickUpLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The share of a core this process used over 20 seconds (the target is stated for 60; the
// share is the same).
void measureCpuShare(benchmark::State& state) {
    const double before = cpuSeconds();
    const auto start = SteadyClock::now();
    std::this_thread::sleep_for(20s);
    const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    state.counters["cpu_percent_of_core"] = 100.0 * (cpuSeconds() - before) / wall;
    state.SetIterationTime(wall);
}

void idleCpu(benchmark::State& state) {
    PollingDriver polling;
    for (auto _ : state) {
        measureCpuShare(state);
    }
}
BENCHMARK(idleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// 300 jobs left in place under a pattern, all there when printing starts: how fast they go
// out against a register that answers at once.
void backlogDrain(benchmark::State& state) {
    for (auto _ : state) {
        PollingDriver polling("J*.job", [](const fs::path& dir) {
            for (int n = 1; n <= 300; ++n) {
                // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) on "J" + to_string.
                std::string name = "J";
                name += std::to_string(1000 + n);
                std::ofstream(dir / (name + ".job")) << "job " << n;
            }
        });
        const double seconds = polling.transport->awaitJobs(300, 120s);
        state.counters["jobs_per_second"] = 299 / seconds;
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(backlogDrain)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A refused job of 2 GB (sparse) left in place: what the polling driver costs while it stays.
void refusedHugeJobCpu(benchmark::State& state) {
    PollingDriver polling;
    {
        std::ofstream(polling.dir / "print.1") << "resFile:  result.txt\r\n";
        fs::resize_file(polling.dir / "print.1", 2ULL << 30);
    }
    for (auto _ : state) {
        std::this_thread::sleep_for(2s);  // refused once, at the first tick
        measureCpuShare(state);
    }
}
BENCHMARK(refusedHugeJobCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// merovan-cli polling against merovan-register on a pseudo-terminal.
void cliResidentMemory(benchmark::State& state) {
    const std::string bin = MEROVAN_BINARY_DIR;
    const fs::path dir =
        fs::temp_directory_path() / ("merovan-bench-rss-" + std::to_string(getpid()));
    fs::create_directories(dir);
    merovan::testing::ChildProcess simulator({bin + "/src/apps/merovan-register", "--pty"}, dir,
                                             "register");
    const auto device = simulator.firstLine(5s).value_or("");
    std::ofstream(dir / "param.ini")
        << "[port] " << device << "\r\n[baud] 9600\r\n[file] print\r\n[multi type] true\r\n"
        << "[location] " << (dir / "").string() << "\r\n";
    for (auto _ : state) {
        merovan::testing::ChildProcess cli({bin + "/src/apps/merovan-cli"}, dir, "cli");
        std::this_thread::sleep_for(5s);
        state.counters["rss_kb"] = static_cast<double>(residentKb(cli.pid()));
        cli.signal(SIGTERM);
        cli.wait(5s);
        state.SetIterationTime(5);
    }
    fs::remove_all(dir);
}
BENCHMARK(cliResidentMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
