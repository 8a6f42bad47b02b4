// What the driver itself spends on an exchange with a register that answers at once over
// UDP on loopback, beyond the fixed 100 ms pause after every reply; and the CPU time of an
// exchange whose register never answers (20 seconds of waiting).
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>

#include "core/common/operator.h"
#include "core/jobs/register_session.h"
#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "instant_register.h"
#include "tools/register/register_simulator.h"

namespace {

using namespace merovan;
using std::chrono::duration;

double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A simulator on 127.0.0.2 and a link bound to 127.0.0.1, on a port the simulator found free.
struct Bench {
    explicit Bench(const std::string& scenario) {
        sim::RegisterSimulator::Options options;
        options.mode = sim::RegisterSimulator::Options::Mode::Udp;
        options.udpPort = 0;
        options.scenario = sim::Scenario::parse(scenario);
        simulator = std::make_unique<sim::RegisterSimulator>(options);
        simulator->start();
        link = std::make_unique<link::Link>(op, clock, link::systemTransportFactory("127.0.0.1"));
        link->setLinkAddress(simulator->endpoint());
        session = std::make_unique<jobs::RegisterSession>(*link, op, clock);
    }
    ~Bench() { link->closeLink(); }

    bench::QuietOperator op;
    common::SystemClock clock;
    std::unique_ptr<sim::RegisterSimulator> simulator;
    std::unique_ptr<link::Link> link;
    std::unique_ptr<jobs::RegisterSession> session;
};

void exchangeBeyondPause(benchmark::State& state) {
    Bench bench("");
    bench.session->send("KXCL", true);  // opens the link
    double wall = 0;
    const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bench.session->send("KX?TO", true);
        wall += duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["beyond_pause_ms"] = (wall / n - 0.100) * 1e3;
    state.counters["process_cpu_ms"] = (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) / n * 1e3;
}
BENCHMARK(exchangeBeyondPause)->Iterations(50)->Unit(benchmark::kMillisecond);

void silentExchangeCpu(benchmark::State& state) {
    Bench bench("silent *\n");
    for (auto _ : state) {
        const double thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double process = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto status = link::statusNumber(bench.session->send("KXCL", true).status);
        state.counters["driver_cpu_ms"] = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread) * 1e3;
        state.counters["process_cpu_ms"] = (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process) * 1e3;
        state.counters["status"] = status;
    }
}
BENCHMARK(silentExchangeCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
