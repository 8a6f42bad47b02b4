#include <windows.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "apps/cli_operator.h"
#include "apps/cli_service.h"
#include "apps/cli_service_command.h"
#include "core/common/os_error.h"
#include "core/driver/driver_loop.h"

namespace merovan::cli {
namespace {

using namespace std::chrono_literals;

const wchar_t* const kServiceName = L"Merovan";
const wchar_t* const kDescription =
    L"Prints the jobs a POS program drops into its exchange directory on the fiscal register.";
const wchar_t* const kEventSourceKey =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Merovan";
// The one message of the program's message table: "%1", the text as it is.
constexpr DWORD kEventId = 1;
// A stop or pause waits for the job in hand, and a card payment alone may take 200 s: the
// Service Control Manager sees a checkpoint well within each wait hint for as long as it runs.
constexpr DWORD kPendingWaitHint = 30000;  // ms
constexpr auto kCheckpointEvery = 5s;
// Windows shutting down waits this long for the job in hand (ms).
constexpr DWORD kPreshutdownTimeout = 210000;
constexpr int kServiceCommandFailed = 1;

struct ServiceHandle {
    explicit ServiceHandle(SC_HANDLE opened) : handle(opened) {}
    SC_HANDLE handle;
    ~ServiceHandle() {
        if (handle != nullptr) {
            CloseServiceHandle(handle);
        }
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
};

std::string utf8Of(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

int failed(const char* what, DWORD error) {
    std::fprintf(stderr, "merovan-cli: %s: %s\n", what, common::osErrorText(error).c_str());
    return kServiceCommandFailed;
}

std::wstring programPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The event log finds the program's message table through this key, and shows each entry's
// text through its "%1".
LSTATUS registerEventSource(const std::wstring& program) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    status = RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ,
                            reinterpret_cast<const BYTE*>(program.c_str()),
                            static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&types), sizeof types);
    }
    RegCloseKey(key);
    return status;
}

int installService(const CliOptions& options) {
    const std::wstring program = programPath();
    const auto workDir = std::filesystem::current_path();
    std::vector<std::wstring> words{program, L"--service", L"--workdir", workDir.wstring()};
    if (options.trace) {
        words.emplace_back(L"--trace");
    }
    for (const auto& dir : options.resultDirs) {
        words.emplace_back(L"--result-dir");
        words.push_back(std::filesystem::path(dir).wstring());
    }
    const std::wstring binaryPath = joinedCommandLine(words);

    const ServiceHandle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE)};
    if (manager.handle == nullptr) {
        return failed("the Service Control Manager does not let the service be installed",
                      GetLastError());
    }
    const ServiceHandle service{
        CreateServiceW(manager.handle, kServiceName, kServiceName, SERVICE_CHANGE_CONFIG,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                       binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)};
    if (service.handle == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_EXISTS) {
            std::fputs(
                "merovan-cli: the service Merovan is installed already; remove it first "
                "with --uninstall-service\n",
                stderr);
            return kServiceCommandFailed;
        }
        return failed("the service Merovan cannot be installed", error);
    }
    SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kDescription)};
    ChangeServiceConfig2W(service.handle, SERVICE_CONFIG_DESCRIPTION, &description);
    SERVICE_PRESHUTDOWN_INFO preshutdown{kPreshutdownTimeout};
    ChangeServiceConfig2W(service.handle, SERVICE_CONFIG_PRESHUTDOWN_INFO, &preshutdown);
    if (const LSTATUS status = registerEventSource(program); status != ERROR_SUCCESS) {
        failed("warning: the event log will not know the source Merovan", status);
    }
    std::printf(
        "merovan-cli: the service Merovan is installed; it starts with Windows and works "
        "in %s.\nStart it now with: net start Merovan\n",
        utf8Of(workDir).c_str());
    return 0;
}

// Asks the service to stop and waits while it reports progress: its job in hand is finished
// first.
bool stopAndWait(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    DWORD size = 0;
    const auto query = [&] {
        return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                    reinterpret_cast<BYTE*>(&status), sizeof status, &size) != 0;
    };
    if (!query()) {
        return false;
    }
    if (status.dwCurrentState == SERVICE_STOPPED) {
        return true;
    }
    if (status.dwCurrentState != SERVICE_STOP_PENDING) {
        SERVICE_STATUS stopped{};
        if (!ControlService(service, SERVICE_CONTROL_STOP, &stopped) &&
            GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
            return false;
        }
    }
    std::fputs("merovan-cli: stopping the service Merovan once its job in hand is done\n", stdout);
    std::fflush(stdout);
    DWORD checkpoint = 0;
    auto progressed = std::chrono::steady_clock::now();
    while (query() && status.dwCurrentState != SERVICE_STOPPED) {
        const auto now = std::chrono::steady_clock::now();
        if (status.dwCheckPoint != checkpoint) {
            checkpoint = status.dwCheckPoint;
            progressed = now;
        } else if (now - progressed > std::chrono::milliseconds(status.dwWaitHint) + 5s) {
            SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
            return false;
        }
        Sleep(500);
    }
    return status.dwCurrentState == SERVICE_STOPPED;
}

int uninstallService() {
    const ServiceHandle manager{OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (manager.handle == nullptr) {
        return failed("the Service Control Manager does not open", GetLastError());
    }
    const ServiceHandle service{
        OpenServiceW(manager.handle, kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
    if (service.handle == nullptr) {
        return failed("the service Merovan cannot be removed", GetLastError());
    }
    if (!stopAndWait(service.handle)) {
        return failed("the service Merovan does not stop", GetLastError());
    }
    if (!DeleteService(service.handle)) {
        return failed("the service Merovan cannot be removed", GetLastError());
    }
    if (const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey);
        status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        failed("warning: the event log keeps the source Merovan", status);
    }
    std::fputs("merovan-cli: the service Merovan is removed\n", stdout);
    return 0;
}

bool isPending(DWORD state) {
    return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
           state == SERVICE_PAUSE_PENDING || state == SERVICE_CONTINUE_PENDING;
}

WORD eventType(Priority priority) {
    switch (priority) {
        case Priority::Error:
            return EVENTLOG_ERROR_TYPE;
        case Priority::Warning:
            return EVENTLOG_WARNING_TYPE;
        case Priority::Info:
            break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

// One run of the service, from ServiceMain to the stopped state. The control handler runs on
// the dispatcher's thread, the driver on ServiceMain's, and a third thread moves the
// checkpoint on while a stop or pause waits for the job in hand.
class ServiceRun {
  public:
    explicit ServiceRun(const CliOptions& options) : options_(options) {}

    void main();
    DWORD control(DWORD code);
    int exitStatus() const { return exitStatus_; }

  private:
    void attach(driver::DriverLoop* loop);
    void setStatus(DWORD state);  // with mutex_ held
    void settle(DWORD state);     // a pause or continue done, unless a stop came first
    void tickWhilePending();
    void writeEvent(Priority priority, std::string_view kind, std::string_view text);

    const CliOptions& options_;
    SERVICE_STATUS_HANDLE handle_ = nullptr;
    HANDLE eventSource_ = nullptr;
    std::mutex mutex_;
    std::condition_variable statusChanged_;
    SERVICE_STATUS status_{};
    driver::DriverLoop* loop_ = nullptr;
    bool stopRequested_ = false;
    bool finished_ = false;
    int exitStatus_ = 0;
};

DWORD WINAPI onControl(DWORD code, DWORD, LPVOID, LPVOID context) {
    return static_cast<ServiceRun*>(context)->control(code);
}

void ServiceRun::main() {
    handle_ = RegisterServiceCtrlHandlerExW(kServiceName, onControl, this);
    if (handle_ == nullptr) {
        exitStatus_ = kCannotStart;
        return;
    }
    eventSource_ = RegisterEventSourceW(nullptr, kServiceName);
    {
        std::lock_guard lock(mutex_);
        setStatus(SERVICE_START_PENDING);
    }
    std::thread ticker([this] { tickWhilePending(); });
    common::SystemClock clock;
    LogOperator op(clock, options_.trace,
                   [this](Priority priority, std::string_view kind, std::string_view text) {
                       writeEvent(priority, kind, text);
                   });
    exitStatus_ =
        runPolling(options_, op, clock, [this](driver::DriverLoop* loop) { attach(loop); });
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        statusChanged_.notify_all();
    }
    ticker.join();
    if (eventSource_ != nullptr) {
        DeregisterEventSource(eventSource_);
    }
    std::lock_guard lock(mutex_);
    status_.dwWin32ExitCode = exitStatus_ == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status_.dwServiceSpecificExitCode = static_cast<DWORD>(exitStatus_);
    setStatus(SERVICE_STOPPED);
}

void ServiceRun::attach(driver::DriverLoop* loop) {
    std::lock_guard lock(mutex_);
    loop_ = loop;
    if (loop == nullptr) {
        return;
    }
    if (stopRequested_) {
        loop->requestStop();
    } else {
        setStatus(SERVICE_RUNNING);
    }
}

DWORD ServiceRun::control(DWORD code) {
    std::lock_guard lock(mutex_);
    switch (code) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
        case SERVICE_CONTROL_PRESHUTDOWN:
            if (!stopRequested_) {
                stopRequested_ = true;
                setStatus(SERVICE_STOP_PENDING);
                if (loop_ != nullptr) {
                    loop_->requestStop();
                }
            }
            return NO_ERROR;
        case SERVICE_CONTROL_PAUSE:
        case SERVICE_CONTROL_CONTINUE:
            if (loop_ == nullptr || stopRequested_) {
                return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
            }
            if (code == SERVICE_CONTROL_PAUSE) {
                // The operator's Stop: the job in hand ends first, no new one is taken. Printing
                // that has not started cannot be stopped; the service then stays running.
                setStatus(SERVICE_PAUSE_PENDING);
                loop_->post([this](driver::Driver& driver) {
                    driver.trayStop();
                    const bool paused = driver.state() == common::DriverState::Stopped;
                    if (!paused) {
                        driver.logFailure(
                            "Η υπηρεσία δεν σταματά την εκτύπωση: ο Φορολογικός "
                            "Εκτυπωτής δεν είναι ακόμη έτοιμος");
                    }
                    settle(paused ? SERVICE_PAUSED : SERVICE_RUNNING);
                });
            } else {
                setStatus(SERVICE_CONTINUE_PENDING);
                loop_->post([this](driver::Driver& driver) {
                    driver.trayStart();
                    settle(SERVICE_RUNNING);
                });
            }
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void ServiceRun::setStatus(DWORD state) {
    const bool settled = state == SERVICE_RUNNING || state == SERVICE_PAUSED;
    status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status_.dwCurrentState = state;
    status_.dwControlsAccepted = settled ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE |
                                               SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN
                                         : 0;
    status_.dwWaitHint = isPending(state) ? kPendingWaitHint : 0;
    status_.dwCheckPoint = isPending(state) ? 1 : 0;
    SetServiceStatus(handle_, &status_);
    statusChanged_.notify_all();
}

void ServiceRun::settle(DWORD state) {
    std::lock_guard lock(mutex_);
    if (!stopRequested_) {
        setStatus(state);
    }
}

void ServiceRun::tickWhilePending() {
    std::unique_lock lock(mutex_);
    while (!finished_) {
        if (!isPending(status_.dwCurrentState)) {
            statusChanged_.wait(lock);
            continue;
        }
        const DWORD state = status_.dwCurrentState;
        const DWORD checkpoint = status_.dwCheckPoint;
        statusChanged_.wait_for(lock, kCheckpointEvery);
        if (!finished_ && status_.dwCurrentState == state && status_.dwCheckPoint == checkpoint) {
            ++status_.dwCheckPoint;
            SetServiceStatus(handle_, &status_);
        }
    }
}

void ServiceRun::writeEvent(Priority priority, std::string_view kind, std::string_view text) {
    if (eventSource_ == nullptr) {
        return;
    }
    const std::wstring message = widened(std::string(kind) + ": " + std::string(text));
    const wchar_t* strings[] = {message.c_str()};
    ReportEventW(eventSource_, eventType(priority), 0, kEventId, nullptr, 1, 0, strings, nullptr);
}

// ServiceMain takes no context: the run of this process is found here, the one piece of
// state the Service Control Manager's interface forces.
ServiceRun* serviceRun = nullptr;

void WINAPI serviceMain(DWORD, LPWSTR*) {
    serviceRun->main();
}

int runAsService(const CliOptions& options) {
    ServiceRun run(options);
    serviceRun = &run;
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), serviceMain},
                                    {nullptr, nullptr}};
    const bool dispatched = StartServiceCtrlDispatcherW(table) != 0;
    const DWORD error = GetLastError();
    serviceRun = nullptr;
    if (!dispatched) {
        if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
            std::fputs(
                "merovan-cli: --service is how Windows starts the service (net start "
                "Merovan); in a console, run the program without it\n",
                stderr);
            return kCannotStart;
        }
        failed("the service cannot start", error);
        return kCannotStart;
    }
    return run.exitStatus();
}

}  // namespace

void addServiceOptions(CLI::App& app, ServiceRequest& request) {
    auto* install = app.add_flag(
        "--install-service", request.install,
        "install the Windows service \"Merovan\": it starts with Windows and polls like the "
        "program without arguments, in --workdir (default: here); its messages go to the "
        "event log, source Merovan (exit 1 when it fails)");
    auto* uninstall = app.add_flag("--uninstall-service", request.uninstall,
                                   "stop the service once its job in hand is done, and remove it "
                                   "(exit 1 when it fails)");
    install->excludes(uninstall);
    // What the Service Control Manager runs; not for people.
    app.add_flag("--service", request.run)->group("");
}

std::optional<int> runServiceRequest(const ServiceRequest& request, const CliOptions& options) {
    if (request.install) {
        return installService(options);
    }
    if (request.uninstall) {
        return uninstallService();
    }
    if (request.run) {
        return runAsService(options);
    }
    return std::nullopt;
}

}  // namespace merovan::cli
