// merovan-register: a fiscal register simulator for tests and demos.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include "tools/register/register_simulator.h"

namespace {

const char* const kUsage =
    R"(merovan-register: a simulated fiscal register for trying out Merovan without one.

It listens where a register would be, answers every command as a register does, and keeps
what a register keeps: the open receipt, open tables with their amounts, the receipt and
daily (Z) counters. It runs until Ctrl-C.

Usage:
  merovan-register --pty [--traffic FILE] [--receipt-log FILE] [--scenario FILE] [KILL]
  merovan-register --udp ADDRESS:PORT [--traffic FILE] [--receipt-log FILE] ...

  --pty              make a pseudo-terminal and act as a register on a serial port. The
                     first line printed is the device to give Merovan, for example
                     /dev/pts/7 (link address /dev/pts/7:9600). Commands end in CR LF.
  --udp ADDRESS:PORT listen for UDP datagrams, one command each, e.g. 127.0.0.2:5012.
                     Merovan binds the same port on its side, so on one machine give the
                     register an address of its own (127.0.0.2) and Merovan 127.0.0.1.
                     The first line printed is ADDRESS:PORT.
  --traffic FILE     write every command received to FILE, one a line (LF), exactly as it
                     came without its CR LF, so runs can be compared byte for byte.
  --receipt-log FILE write what a customer would hold in hand to FILE (below).
  --scenario FILE    misbehave on purpose, as FILE says (below).
  --kill-at-command N  kill the driver (SIGKILL) when the N-th command (counted from 1)
                     comes, after carrying it out and before answering it; with
                     --kill-before-applying, instead of carrying it out. The driver is
                     --kill-pid PID, or the number in --kill-pid-file FILE, read when the
                     command comes (waited for up to 5 seconds).
  --help             this text.

Replies end in CR EOT (byte 4). An ordinary command is answered "OK". Queries:
  KX?TO        OK:<open table, or 0>
  KXTO         closes the open table: OK:<table>:<receipt number>
  KXREP<n>TBL  OK:<n>:<amount open on table n, e.g. 12.50>
  KXREPTBL     OK:<open tables joined by ",">
  KXRE         OK:<daily Z counter>:<number of the next receipt>
A command the register cannot take gets DE and an error number, for example DE6 for a
payment with no open receipt, DE1038 for opening a table while a receipt is open, DE1011
for a sale of no value, DE69 for a line that is not a KX or KY command.
"KX794ST" followed by CR is not answered, as the driver awaits nothing for it.

A register keeps one receipt: a sale opens it; payments (KX<amount>T<key>, KXT<key>, card
payments KX<amount>T<key>P<terminal>) close it once its total is paid; KXVOID voids it (DE6
when none is open); "KX- " makes the next sale or adjustment negative; KX<amount>GE and
KX<percent>% adjust the total. KX<n>TO opens table n; sales then go onto the table until
KXTO closes it; KXFROM<a>TO<b>PAR moves a table, KXPPAY then KXFROM<n> opens a receipt that
pays table n.

Receipt log: one line as each receipt is closed or voided and as each table is closed, and
when the register stops a line for what is still open; fields joined by TAB:
  closed       <receipt number> <total> <item>...   a receipt paid in full
  voided       -                <total> <item>...   a receipt voided by KXVOID
  table        <table> <receipt number> <item>...   KXTO: the items sent since it opened
  open-receipt -                <total> <item>...   (at stop) a receipt still open
  open-table   <table>          -       <item>...   (at stop) a table still open
An item is the command that sold it (KX250R1COFFEE) or adjusted the total (KX150GE),
preceded by "-" after a "KX- " and by "<quantity>*" after a quantity command
(2.500*KX120R1FETA); TAB, LF, CR and backslash in it are written \t, \n, \r, \\.
Totals are written like 12.50.

Scenario file: one rule a line, "#" starts a comment. The first rule that matches decides.
  ACTION PATTERN [times=N] ARGUMENTS
  silent PATTERN                 no answer (the register does not carry it out)
  error  PATTERN NUMBER          answer DE<NUMBER> instead
  reply  PATTERN TEXT            answer TEXT (CR EOT added) instead
  raw    PATTERN TEXT            send exactly TEXT
  late   PATTERN MILLISECONDS    answer after the delay
  split  PATTERN SIZES [GAP_MS]  answer in pieces (SIZES like 2,3; then the rest),
                                 GAP_MS apart (default 50)
  card   PATTERN SECONDS TEXT    answer at once, then TEXT (CR EOT added) SECONDS later,
                                 as a card terminal's second answer
PATTERN is the whole command; "*" matches any characters. times=N limits a rule to the
first N matching commands. TEXT may hold \r \n \t \\ \xHH. Example:
  silent KXCL times=2
  error  KX*R1* 1005
  split  KXRE 3,4 100
  late   KX?TO 1500
  card   KX*T2P1 3 358OK:00012345:1:0:1250:4:0:0:0:0:TID01:123456:7:VISA:02:AUTH99
)";

int usageError(const std::string& message) {
    std::cerr << "merovan-register: " << message << "\nTry merovan-register --help\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // A traffic file past a file-size limit is cut short rather than the register killed.
    std::signal(SIGXFSZ, SIG_IGN);
    using merovan::sim::RegisterSimulator;
    RegisterSimulator::Options options;
    bool modeGiven = false;
    std::string scenarioFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--pty") {
            options.mode = RegisterSimulator::Options::Mode::Pty;
            modeGiven = true;
        } else if (arg == "--udp") {
            const std::string address = value();
            const auto colon = address.rfind(':');
            if (colon == std::string::npos) {
                return usageError("--udp needs ADDRESS:PORT");
            }
            try {
                const int port = std::stoi(address.substr(colon + 1));
                if (port < 0 || port > 65535) {
                    throw std::out_of_range("port");
                }
                options.udpPort = static_cast<std::uint16_t>(port);
            } catch (const std::exception&) {
                return usageError("not a port: " + address.substr(colon + 1));
            }
            options.mode = RegisterSimulator::Options::Mode::Udp;
            options.udpAddress = address.substr(0, colon);
            modeGiven = true;
        } else if (arg == "--traffic") {
            options.trafficFile = value();
        } else if (arg == "--scenario") {
            scenarioFile = value();
        } else if (arg == "--receipt-log") {
            options.receiptLogFile = value();
        } else if (arg == "--kill-at-command" || arg == "--kill-pid") {
            const std::string text = value();
            std::size_t end = 0;
            long long number = -1;
            try {
                number = std::stoll(text, &end);
            } catch (const std::exception&) {
                end = 0;
            }
            if (end == 0 || end != text.size() || number < 1 || number > 1'000'000'000) {
                std::string message = arg;
                message += " needs a positive number, not \"" + text + "\"";
                return usageError(message);
            }
            if (arg == "--kill-pid") {
                options.kill.pid = static_cast<int>(number);
            } else {
                options.kill.atCommand = static_cast<std::size_t>(number);
            }
        } else if (arg == "--kill-pid-file") {
            options.kill.pidFile = value();
        } else if (arg == "--kill-before-applying") {
            options.kill.beforeApplying = true;
        } else {
            return usageError("unknown argument " + arg);
        }
    }
    if (!modeGiven) {
        return usageError("say --pty or --udp ADDRESS:PORT");
    }

    // The simulator's thread must not take the stop signals: main waits for them below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        if (!scenarioFile.empty()) {
            options.scenario = merovan::sim::Scenario::load(scenarioFile);
        }
        RegisterSimulator simulator(std::move(options));
        simulator.start();
        std::cout << simulator.endpoint() << std::endl;
        std::cerr << "merovan-register: listening on " << simulator.endpoint()
                  << " (Ctrl-C stops)\n";
        int received = 0;
        sigwait(&stopSignals, &received);
        simulator.stop();
    } catch (const std::exception& error) {
        std::cerr << "merovan-register: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
