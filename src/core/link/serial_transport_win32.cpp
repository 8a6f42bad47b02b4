#include <windows.h>

#include <algorithm>
#include <array>
#include <thread>

#include "core/common/codepage.h"
#include "core/common/numeric.h"
#include "core/common/os_error.h"
#include "core/link/serial_transport.h"
#include "core/link/transport_line.h"
#include "core/link/transport_texts.h"

namespace merovan::link {

using std::chrono::milliseconds;
using Steady = std::chrono::steady_clock;

namespace {

// A read ends 20 ms after its last byte, or after 1 ms a requested byte plus 1 ms (a quarter
// of a second for a full buffer). A write may take 1 ms a byte plus 10 ms.
constexpr DWORD kByteGap = 20;
constexpr milliseconds kReadTotal{SerialTransport::kChunk + 1};

}  // namespace

// The open port; closing the handle on every path frees the port for other programs.
struct SerialTransport::Port {
    explicit Port(HANDLE opened) : handle(opened) {}
    ~Port() { CloseHandle(handle); }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Sets the read time-outs; a short wait asks for the first byte sooner than a full read
    // would take. Applied only when they change.
    void readWithin(DWORD totalMillis, DWORD multiplier) {
        if (totalMillis == readTotal && multiplier == readMultiplier) {
            return;
        }
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = kByteGap;
        timeouts.ReadTotalTimeoutMultiplier = multiplier;
        timeouts.ReadTotalTimeoutConstant = totalMillis;
        timeouts.WriteTotalTimeoutMultiplier = 1;
        timeouts.WriteTotalTimeoutConstant = 10;
        SetCommTimeouts(handle, &timeouts);
        readTotal = totalMillis;
        readMultiplier = multiplier;
    }

    HANDLE handle;
    DWORD readTotal = 0;
    DWORD readMultiplier = 0;
};

SerialTransport::SerialTransport(std::string linkAddress)
    : linkAddress_(std::move(linkAddress)),
      device_(devicePath(std::string_view(linkAddress_).substr(0, linkAddress_.find(':')))) {}

SerialTransport::~SerialTransport() = default;

// Windows knows COM1 to COM9 by their bare names; from COM10 up a port is reached only
// through the device namespace.
std::string SerialTransport::devicePath(std::string_view portName) {
    if (portName.starts_with("com") && portName.size() > 4 &&
        portName.substr(3).find_first_not_of("0123456789") == std::string_view::npos) {
        return "\\\\.\\" + std::string(portName);
    }
    return std::string(portName);
}

TransportResult SerialTransport::openConnection() {
    shutdownConnection();
    // No sharing: a port that another program holds is refused, so the register never hears
    // two drivers at once.
    HANDLE handle = CreateFileA(device_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return refuseOpening(
            TransportError::PortUnavailable,
            error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
                ? texts::portHeldElsewhere(shownDevice())
                : texts::portOpenFailed(shownDevice(), common::osErrorText(error)));
    }
    // Kept only once set up: with whatever settings it had, the register would not be heard.
    auto port = std::make_unique<Port>(handle);
    port->readWithin(1, 1);

    // The port's own settings first, so that binary mode and the rest stay as Windows
    // requires; the mode text then sets the speed and 8N1 without flow control.
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(handle, &settings)) {
        settings = DCB{};
        settings.DCBlength = sizeof settings;
        settings.fBinary = TRUE;
    }
    const std::string speedText = baud();
    const std::string mode = speedText + ",N,8,1";
    if (speedText.empty() || !BuildCommDCBA(mode.c_str(), &settings)) {
        return refuseOpening(
            TransportError::PortSetUpRefused,
            texts::portSpeedRefused(shownDevice(), common::cp1253ToUtf8(speedText)));
    }
    if (!SetCommState(handle, &settings)) {
        return refuseOpening(
            TransportError::PortSetUpRefused,
            texts::portSetUpFailed(shownDevice(), common::osErrorText(GetLastError())));
    }
    port_ = std::move(port);
    setUp_ = true;
    return {};
}

// Windows tells of a removed adapter only when it is used.
TransportResult SerialTransport::hungUp() {
    return {};
}

TransportResult SerialTransport::sendData(const std::string& text) {
    if (!port_) {
        return {TransportError::Gone, texts::portLost(shownDevice(), texts::kClosed)};
    }
    const std::string line = withLineTerminator(text);
    for (std::size_t at = 0; at < line.size(); at += kChunk) {
        const std::string_view piece = std::string_view(line).substr(at, kChunk);
        DWORD written = 0;
        if (!WriteFile(port_->handle, piece.data(), static_cast<DWORD>(piece.size()), &written,
                       nullptr)) {
            // An adapter that was unplugged fails every write from then on.
            return markLost(common::osErrorText(GetLastError()));
        }
        if (written != piece.size()) {
            return {TransportError::WriteTimedOut,
                    texts::portWriteFailed(shownDevice(), "time-out")};
        }
    }
    return {};
}

Received SerialTransport::receiveData(milliseconds maxWait) {
    const auto start = Steady::now();
    const milliseconds firstWait = std::min(maxWait, kReadTotal);
    // A port that never opened has nothing to give: wait out the time the caller allowed
    // instead of handing back at once, so its loop cannot spin.
    const auto idle = [&](TransportResult result) {
        const auto waited = std::chrono::duration_cast<milliseconds>(Steady::now() - start);
        if (waited < firstWait) {
            std::this_thread::sleep_for(firstWait - waited);
        }
        return Received{{}, std::move(result)};
    };
    if (!port_) {
        return idle({TransportError::Gone, texts::portLost(shownDevice(), texts::kClosed)});
    }
    DWORD wanted = kChunk;
    if (maxWait.count() <= 0) {
        // Only what has already come: the queue says how much, so the read does not wait.
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(port_->handle, &errors, &status)) {
            return {{}, markLost(common::osErrorText(GetLastError()))};
        }
        if (status.cbInQue == 0) {
            return {};
        }
        wanted = std::min<DWORD>(status.cbInQue, kChunk);
        port_->readWithin(1, 1);
    } else if (firstWait < kReadTotal) {
        port_->readWithin(static_cast<DWORD>(firstWait.count()), 0);
    } else {
        port_->readWithin(1, 1);
    }
    std::array<char, kChunk> buffer{};
    DWORD got = 0;
    if (!ReadFile(port_->handle, buffer.data(), wanted, &got, nullptr)) {
        TransportResult lost = markLost(common::osErrorText(GetLastError()));
        return maxWait.count() > 0 ? idle(std::move(lost)) : Received{{}, std::move(lost)};
    }
    return {std::string(buffer.data(), got), {}};
}

void SerialTransport::shutdownConnection() {
    port_.reset();
    setUp_ = false;
}

}  // namespace merovan::link
