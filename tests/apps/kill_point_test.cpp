// The driver killed (SIGKILL) at every point of a job and started again: what the customers
// hold in hand, as merovan-register's receipt log tells it, must be right every time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <future>
#include <map>
#include <ranges>
#include <regex>
#include <sstream>
#include <utility>

#include "core/eft/eft_table.h"
#include "core/vat/vat_table.h"
#include "exchange_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kCardAnswer = "358OK:00012345:1:0:400:4:0:0:0:0:TID01:123456:7:VISA:02:AUTH99";
// Kill points run side by side: each costs seconds of waiting (poll ticks, a table's pauses,
// the card terminal's answer), hardly any work.
constexpr int kRunsAtOnce = 24;

// A job line: each text at its 1-based column.
std::string columns(const std::map<int, std::string>& fields) {
    std::string line;
    for (const auto& [column, text] : fields) {
        line.resize(static_cast<std::size_t>(column - 1), ' ');
        line += text;
    }
    return line + "\r\n";
}

std::string sale(const std::string& item, const std::string& price, const std::string& rate) {
    return columns({{2, "PLU"}, {20, item}, {48, "1.000"}, {57, price}, {69, rate}});
}

// Two items, a discount, a card payment and a footer.
const std::string kReceiptJob = sale("ITEM A", "2.50", "24") + sale("ITEM B", "1.80", "13") +
                                columns({{2, "dis"}, {7, "0.30"}}) +
                                columns({{2, "to"}, {8, "2"}, {11, "4.00"}}) +
                                columns({{2, "foo"}, {7, "THANK YOU"}});
const std::string kTableJob = columns({{2, "TBO"}, {6, "12"}}) + sale("STEAK", "11.00", "13") +
                              sale("WINE", "3.50", "24") + columns({{2, "TBC"}, {6, "12"}});
// Dropped after the restart: none of its items may share a receipt with the first job's.
const std::string kNextJob =
    sale("OTHER", "3.00", "24") + columns({{2, "to"}, {8, "1"}, {11, "3.00"}});
const std::vector<std::string> kNextItems = {"KX300R1OTHER"};

// One line of the receipt log: what, number, total, items.
struct LogLine {
    std::string what;
    std::string number;
    std::vector<std::string> items;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

std::vector<LogLine> readReceiptLog(const fs::path& path) {
    std::vector<LogLine> lines;
    for (const std::string& line : split(readFile(path), '\n')) {
        const auto fields = split(line, '\t');
        EXPECT_GE(fields.size(), 3u) << line;
        if (fields.size() >= 3) {
            lines.push_back({fields[0], fields[1], {fields.begin() + 3, fields.end()}});
        }
    }
    return lines;
}

// Where the register kills the driver: at its command number `at` (counted from its start),
// before carrying it out or after, with the answer never sent.
struct KillPoint {
    std::size_t at = 0;
    bool beforeApplying = true;
    std::string name;
};

// What one run left behind.
struct ShopRun {
    std::string failure;  // empty when the run itself went through
    std::vector<std::string> traffic;
    std::vector<LogLine> receipts;
    std::string firstResult;  // the first job's result file, as written (CR LF)
    std::string nextResult;
};

// One register and one driver in a directory of their own.
class Shop {
  public:
    explicit Shop(const std::string& name) : dir_(fs::temp_directory_path() / name) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        EXPECT_TRUE(vat::saveVatRates((dir_ / vat::kVatFileName).string(), {24, 13, 6, 0, 17}));
        // Payment number 2 is a card payment: register kind 2, terminal 1.
        EXPECT_TRUE(eft::writeEftRecord((dir_ / eft::kEftFileName).string(), {2, 2, 1, -1}));
        std::ofstream(dir_ / "scenario.txt") << "card KX400T2P1 0.1 " << kCardAnswer << "\n";
    }
    ~Shop() { fs::remove_all(dir_); }

    // Job `job` run through once, or killed at the point and started again, then a second job.
    ShopRun run(const std::string& job, const std::optional<KillPoint>& kill) {
        ShopRun run;
        std::vector<std::string> args = {kRegister,       "--pty",
                                         "--traffic",     path("traffic.txt"),
                                         "--receipt-log", path("receipts.txt"),
                                         "--scenario",    path("scenario.txt")};
        if (kill) {
            args.insert(args.end(), {"--kill-at-command", std::to_string(kill->at),
                                     "--kill-pid-file", path("driver.pid")});
            if (kill->beforeApplying) {
                args.push_back("--kill-before-applying");
            }
        }
        ChildProcess simulator(args, dir_, "register");
        const std::string device = simulator.firstLine(10s).value_or("");
        writeParamIni(dir_, device, dir_, "9600", "[print_code] falseN\r\n[AutoStar]=yes\r\n");
        drop("print.1", job);
        if (kill) {
            ChildProcess killed({kCli}, dir_, "killed");
            writeWhole(path("driver.pid.part"), path("driver.pid"), std::to_string(killed.pid()));
            if (const auto status = killed.wait(60s); status != std::optional(128 + SIGKILL)) {
                run.failure = "the driver was not killed (exit status " +
                              (status ? std::to_string(*status) : "none in 60 s") +
                              "): " + killed.errorOutput();
                return run;
            }
        }
        ChildProcess driver({kCli}, dir_, "driver");
        if (kill) {
            drop("print.2", kNextJob);
        }
        const std::string waitedFor = kill ? "print.2.result" : "print.1.result";
        if (!eventually([&] { return ended(readFile(dir_ / waitedFor)); }, 90s)) {
            run.failure = waitedFor + " got no end: " + driver.errorOutput();
        }
        // A job's footer goes out after its result: wait for the register to fall silent.
        for (auto heard = readFile(dir_ / "traffic.txt").size();;) {
            std::this_thread::sleep_for(600ms);
            const auto now = readFile(dir_ / "traffic.txt").size();
            if (now == std::exchange(heard, now)) {
                break;
            }
        }
        driver.stop(30s);
        simulator.stop(10s);  // it writes what is still open
        run.traffic = split(readFile(dir_ / "traffic.txt"), '\n');
        run.receipts = readReceiptLog(dir_ / "receipts.txt");
        run.firstResult = readFile(dir_ / "print.1.result");
        run.nextResult = readFile(dir_ / "print.2.result");
        return run;
    }

    // The result file's last line is its "exitcode = " line.
    static bool ended(const std::string& result) {
        static const std::regex lastLine("(^|\r\n)exitcode = [^\r\n]*\r\n$");
        return std::regex_search(result, lastLine);
    }

  private:
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void drop(const std::string& name, const std::string& body) const {
        writeWhole(dir_ / "job.part", dir_ / name,
                   "resFile:  " + path(name + ".result") + "\r\ntag:  " + name + "\r\n" + body);
    }

    fs::path dir_;
};

class KillPoints : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kCli) || !fs::exists(kRegister)) {
            GTEST_SKIP() << "merovan-cli or merovan-register not built";
        }
    }

    // Every kill point of the clean run's job: after each of its commands i = 0 ... k (before
    // command i + 1 is carried out; the last one carried out and not answered), and once
    // just after the command `closing` was carried out, its answer never sent.
    static std::vector<KillPoint> killPoints(const ShopRun& clean, const std::string& closing) {
        std::vector<KillPoint> points;
        // The register's first command is the supervision's "KXCL": the job's start after it.
        const std::size_t first = 2;
        const std::size_t last = clean.traffic.size();
        for (std::size_t at = first; at <= last; ++at) {
            points.push_back({at, true, "after command " + std::to_string(at - first)});
        }
        points.push_back({last, false, "after the last command, unanswered"});
        const auto payment = std::ranges::find(clean.traffic, closing);
        if (payment != clean.traffic.end()) {
            points.push_back({static_cast<std::size_t>(payment - clean.traffic.begin()) + 1, false,
                              "after " + closing + ", unanswered"});
        }
        return points;
    }

    static std::vector<ShopRun> runAll(const std::string& job, const std::string& name,
                                       const std::vector<KillPoint>& points) {
        std::vector<ShopRun> runs(points.size());
        std::atomic<std::size_t> next = 0;
        std::vector<std::future<void>> workers;
        for (int w = 0; w < kRunsAtOnce; ++w) {
            workers.push_back(std::async(std::launch::async, [&] {
                for (std::size_t mine = next++; mine < points.size(); mine = next++) {
                    Shop shop("merovan-kill-" + std::to_string(getpid()) + "-" + name + "-" +
                              std::to_string(mine));
                    runs[mine] = shop.run(job, points[mine]);
                }
            }));
        }
        for (auto& worker : workers) {
            worker.get();
        }
        return runs;
    }

    // Closed receipts in the run's log that hold exactly these items.
    static long closedWith(const ShopRun& run, const std::vector<std::string>& items) {
        return std::ranges::count_if(run.receipts, [&](const LogLine& line) {
            return line.what == "closed" && line.items == items;
        });
    }

    // Items of the receipts and tables in the log, and none of them may mix two jobs.
    static void expectNoMixing(const ShopRun& run, const std::vector<std::string>& first,
                               const std::vector<std::string>& next) {
        for (const auto& line : run.receipts) {
            EXPECT_NE(line.what, "open-receipt") << "a receipt stays open";
            EXPECT_NE(line.what, "open-table") << "a table stays open";
            const auto allOf = [&](const std::vector<std::string>& job) {
                return std::ranges::all_of(
                    line.items, [&](const auto& item) { return std::ranges::count(job, item); });
            };
            EXPECT_TRUE(allOf(first) || allOf(next))
                << line.what << " " << line.number << " mixes two jobs or holds an unknown item";
        }
        EXPECT_EQ(closedWith(run, next), 1) << "the job after the restart";
        EXPECT_TRUE(Shop::ended(run.nextResult)) << run.nextResult;
    }

    // The job run clean, its log's `what` holding the expected items over at least `atLeast`
    // kill points; then killed at each of them: no job mixed with the next, a whole result,
    // and what `check` says about the run and the items.
    template <typename Check>
    static void killEverywhere(const std::string& job, const std::string& name,
                               const std::string& closing, const std::string& what,
                               const std::vector<std::string>& expected, std::size_t atLeast,
                               Check check) {
        const ShopRun clean =
            Shop("merovan-kill-" + std::to_string(getpid()) + "-" + name).run(job, std::nullopt);
        ASSERT_EQ(clean.failure, "");
        const auto logged = std::ranges::find(clean.receipts, what, &LogLine::what);
        ASSERT_NE(logged, clean.receipts.end());
        ASSERT_EQ(logged->items, expected);

        const auto points = killPoints(clean, closing);
        ASSERT_GE(points.size(), atLeast);
        const auto runs = runAll(job, name, points);
        for (std::size_t i = 0; i < points.size(); ++i) {
            SCOPED_TRACE(points[i].name);
            ASSERT_EQ(runs[i].failure, "");
            expectNoMixing(runs[i], expected, kNextItems);
            EXPECT_TRUE(Shop::ended(runs[i].firstResult)) << runs[i].firstResult;
            check(runs[i]);
        }
    }
};

TEST_F(KillPoints, AReceiptIsIssuedOnceWhereverTheDriverIsKilled) {
    const std::vector<std::string> items = {"KX250R1ITEM A", "KX180R2ITEM B", "-KX030GE"};
    killEverywhere(
        kReceiptJob, "receipt", "KX400T2P1", "closed", items, 20, [&](const ShopRun& run) {
            EXPECT_EQ(closedWith(run, items), 1) << "receipts holding the job's items";
            EXPECT_NE(run.firstResult.find("recAction = "), std::string::npos) << run.firstResult;
        });
}

TEST_F(KillPoints, ATableKeepsEachItemOnceWhereverTheDriverIsKilled) {
    const std::vector<std::string> items = {"KX1100R2STEAK", "KX350R1WINE"};
    killEverywhere(kTableJob, "table", "KXTO", "table", items, 6, [&](const ShopRun& run) {
        std::vector<std::string> onTable;
        for (const auto& line : run.receipts) {
            if (line.what == "table") {
                EXPECT_EQ(line.number, "12");
                onTable.insert(onTable.end(), line.items.begin(), line.items.end());
            }
        }
        // Closed with what had reached it, the table holds the first of the job's items;
        // otherwise it holds them all; never one twice.
        const bool closedByRecovery =
            run.firstResult.find("recAction = table closed") != std::string::npos;
        EXPECT_TRUE(closedByRecovery
                        ? std::ranges::equal(onTable, items | std::views::take(onTable.size()))
                        : onTable == items)
            << "on the table: " << ::testing::PrintToString(onTable);
    });
}

}  // namespace
}  // namespace merovan::testing
