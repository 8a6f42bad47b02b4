#include "gui/win32/win32_view_thread.h"

#include <condition_variable>

namespace merovan::gui::win32 {
namespace {

constexpr wchar_t kReceiverClass[] = L"MerovanViewThread";
constexpr UINT kRunQueued = WM_APP + 1;

}  // namespace

Win32ViewThread::Win32ViewThread(MessageBoxes& messages)
    : messages_(messages), threadId_(GetCurrentThreadId()) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Win32ViewThread::procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kReceiverClass;
    RegisterClassW(&windowClass);  // fails harmlessly when a second one registers it again
    receiver_ = CreateWindowExW(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    SetWindowLongPtrW(receiver_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32ViewThread::~Win32ViewThread() {
    SetWindowLongPtrW(receiver_, GWLP_USERDATA, 0);
    DestroyWindow(receiver_);
}

void Win32ViewThread::post(std::function<void()> call) {
    if (onWindowThread()) {
        call();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(std::move(call));
    }
    PostMessageW(receiver_, kRunQueued, 0, 0);
}

int Win32ViewThread::ask(const common::MessageBox& box) {
    if (onWindowThread()) {
        return messages_.show(owner_, box);
    }
    std::mutex answered;
    std::condition_variable done;
    std::optional<int> answer;
    post([&] {
        const int pressed = messages_.show(owner_, box);
        std::lock_guard lock(answered);
        answer = pressed;
        done.notify_all();
    });
    std::unique_lock lock(answered);
    done.wait(lock, [&] { return answer.has_value(); });
    return *answer;
}

void Win32ViewThread::runQueued() {
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (queued_.empty()) {
                return;
            }
            call = std::move(queued_.front());
            queued_.pop_front();
        }
        call();
    }
}

LRESULT CALLBACK Win32ViewThread::procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == kRunQueued) {
        if (auto* self =
                reinterpret_cast<Win32ViewThread*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->runQueued();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void serveWindowMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the end of the loop to the loop that waits for it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace merovan::gui::win32
