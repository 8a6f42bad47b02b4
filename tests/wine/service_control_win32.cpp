// Sends a service a control, for the end-to-end run under Wine, whose own tools cannot pause
// or continue one, and waits until the service settles: prints every state it passes
// through, with the wait hint of a pending one, and exits 0 once it is no longer pending.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char* stateName(DWORD state) {
    switch (state) {
        case SERVICE_STOPPED:
            return "STOPPED";
        case SERVICE_START_PENDING:
            return "START_PENDING";
        case SERVICE_STOP_PENDING:
            return "STOP_PENDING";
        case SERVICE_RUNNING:
            return "RUNNING";
        case SERVICE_CONTINUE_PENDING:
            return "CONTINUE_PENDING";
        case SERVICE_PAUSE_PENDING:
            return "PAUSE_PENDING";
        case SERVICE_PAUSED:
            return "PAUSED";
        default:
            return "UNKNOWN";
    }
}

bool isPending(DWORD state) {
    return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
           state == SERVICE_CONTINUE_PENDING || state == SERVICE_PAUSE_PENDING;
}

}  // namespace

int main(int argc, char** argv) {
    DWORD control = 0;
    if (argc == 3 && std::strcmp(argv[2], "pause") == 0) {
        control = SERVICE_CONTROL_PAUSE;
    } else if (argc == 3 && std::strcmp(argv[2], "continue") == 0) {
        control = SERVICE_CONTROL_CONTINUE;
    } else if (argc == 3 && std::strcmp(argv[2], "stop") == 0) {
        control = SERVICE_CONTROL_STOP;
    } else {
        std::fputs("usage: service_control NAME pause|continue|stop\n", stderr);
        return 2;
    }
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager != nullptr
            ? OpenServiceA(manager, argv[1],
                           SERVICE_PAUSE_CONTINUE | SERVICE_STOP | SERVICE_QUERY_STATUS)
            : nullptr;
    SERVICE_STATUS status{};
    if (service == nullptr || !ControlService(service, control, &status)) {
        std::fprintf(stderr, "service_control: %s %s failed: error %lu\n", argv[1], argv[2],
                     GetLastError());
        return 1;
    }
    DWORD shown = 0;
    for (int tick = 0; tick < 600; ++tick) {
        if (status.dwCurrentState != shown) {
            shown = status.dwCurrentState;
            std::printf("%s %lu\n", stateName(shown), isPending(shown) ? status.dwWaitHint : 0);
            std::fflush(stdout);
        }
        if (!isPending(shown)) {
            return 0;
        }
        Sleep(100);
        if (!QueryServiceStatus(service, &status)) {
            return 1;
        }
    }
    return 1;
}
