#pragma once

#include "gui/win32/windows_api.h"

#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "core/desktop/view_thread.h"
#include "gui/win32/message_boxes.h"

namespace merovan::gui::win32 {

// The presenter's way to the window thread: calls from another thread are queued and a
// message posted to a hidden window of the window thread runs them there, in order. A
// message box that a job waits for is shown on the window thread while the driver's thread
// waits for the answer. Created on the window thread, which must run a message loop.
class Win32ViewThread final : public desktop::ViewThread {
  public:
    explicit Win32ViewThread(MessageBoxes& messages);
    ~Win32ViewThread() override;
    Win32ViewThread(const Win32ViewThread&) = delete;
    Win32ViewThread& operator=(const Win32ViewThread&) = delete;

    // The window the boxes belong to.
    void setBoxOwner(HWND owner) { owner_ = owner; }

    void post(std::function<void()> call) override;
    int ask(const common::MessageBox& box) override;

    // Runs the calls queued so far (the hidden window's message does the same).
    void runQueued();

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool onWindowThread() const { return GetCurrentThreadId() == threadId_; }

    MessageBoxes& messages_;
    HWND owner_ = nullptr;
    HWND receiver_ = nullptr;
    DWORD threadId_;
    std::mutex mutex_;
    std::deque<std::function<void()>> queued_;
};

// Runs the window messages waiting on the calling thread, without waiting for more.
void serveWindowMessages();

}  // namespace merovan::gui::win32
