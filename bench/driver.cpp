// How fast a dropped or posted job reaches the wire, how fast the HTTP status answers while
// jobs print, what an idle polling driver costs, and how much memory and CPU merovan-cli
// holds while it polls, with and without the HTTP interface.
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
#include <sstream>
#include <thread>
#include <vector>

#include <httplib.h>

#include "apps/child_process.h"
#include "core/driver/driver_loop.h"
#include "core/http/driver_services.h"
#include "core/http/server.h"

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
                           const std::function<void(const fs::path&)>& beforeStart = {},
                           merovan::driver::PostedJobs* posted = nullptr) {
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
        options.postedJobs = posted;
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

// The driver above with the HTTP interface on loopback, in this process.
struct HttpDriver {
    fs::path spool =
        fs::temp_directory_path() / ("merovan-bench-spool-" + std::to_string(getpid()));
    merovan::driver::PostedJobs jobs{spool.string()};
    PollingDriver polling;
    merovan::http::Api api;
    merovan::http::HttpServer server;

    static merovan::driver::PostedJobs& loaded(merovan::driver::PostedJobs& jobs) {
        std::string error;
        jobs.load(error);
        return jobs;
    }
    HttpDriver()
        : polling("print", {}, &loaded(jobs)),
          api(merovan::http::driverServices(
                  *polling.loop, jobs,
                  [] {
                      return nlohmann::json{{"state", "printing"},
                                            {"online", true},
                                            {"jobsPrinted", 1},
                                            {"queueLength", 0}};
                  },
                  [] { return std::string("# EOF\n"); }),
              {}),
          server(api) {
        if (!server.start("127.0.0.1", 0)) {
            std::abort();
        }
    }
    ~HttpDriver() { server.stop(); }
};

void postedJobLatency(benchmark::State& state) {
    HttpDriver http;
    httplib::Client client("127.0.0.1", http.server.port());
    std::vector<double> latencies;
    int serial = 0;
    for (auto _ : state) {
        for (int i = 0; i < 25; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(137 + 61 * (i % 7)));
            const auto posted = SteadyClock::now();
            const std::string key = "bench-" + std::to_string(++serial);
            client.Post("/v1/jobs", {{"Idempotency-Key", key}}, "job " + key + "\r\n",
                        "text/plain");
            const auto sent = http.polling.transport->awaitJob(posted);
            latencies.push_back(std::chrono::duration<double, std::milli>(sent - posted).count());
        }
        state.SetIterationTime(1);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(postedJobLatency)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// GET /v1/status at 200 requests a second for 5 s while jobs are posted and printed.
void statusWhilePrinting(benchmark::State& state) {
    HttpDriver http;
    std::atomic<bool> done = false;
    std::thread poster([&] {
        httplib::Client client("127.0.0.1", http.server.port());
        for (int n = 0; !done; ++n) {
            client.Post("/v1/jobs", {{"Idempotency-Key", "load-" + std::to_string(n)}}, "job\r\n",
                        "text/plain");
            std::this_thread::sleep_for(20ms);
        }
    });
    httplib::Client client("127.0.0.1", http.server.port());
    std::vector<double> latencies;
    for (auto _ : state) {
        auto next = SteadyClock::now();
        for (int i = 0; i < 1000; ++i) {
            std::this_thread::sleep_until(next);
            next += 5ms;
            const auto asked = SteadyClock::now();
            client.Get("/v1/status");
            latencies.push_back(
                std::chrono::duration<double, std::milli>(SteadyClock::now() - asked).count());
        }
        state.SetIterationTime(5);
    }
    done = true;
    poster.join();
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
}
BENCHMARK(statusWhilePrinting)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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

// The CPU time of another process so far, in seconds.
double cpuSecondsOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int n = 3; fields >> field && n <= 15; ++n) {
        if (n == 14 || n == 15) {  // utime, stime
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// merovan-cli polling against merovan-register on a pseudo-terminal; with the argument 1 it
// also serves the HTTP interface on loopback. Memory after 5 s, then CPU over 30 s idle.
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
        std::vector<std::string> argv{bin + "/src/apps/merovan-cli"};
        if (state.range(0) == 1) {
            argv.insert(argv.end(), {"--http", "127.0.0.1:18931"});
        }
        merovan::testing::ChildProcess cli(argv, dir, "cli");
        std::this_thread::sleep_for(5s);
        state.counters["rss_kb"] = static_cast<double>(residentKb(cli.pid()));
        const double before = cpuSecondsOf(cli.pid());
        std::this_thread::sleep_for(30s);
        state.counters["cpu_percent_of_core"] = 100.0 * (cpuSecondsOf(cli.pid()) - before) / 30;
        cli.signal(SIGTERM);
        cli.wait(5s);
        state.SetIterationTime(5);
    }
    fs::remove_all(dir);
}
BENCHMARK(cliResidentMemory)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
