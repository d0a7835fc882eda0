#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

namespace testenv {

// Watches, from a thread of its own, for the dialogs (window class "#32770": message boxes, common
// dialogs, dialogs from templates) that one thread shows, and hands each one to `answer` once,
// when it has become visible. `answer` runs on the watching thread; it may read the dialog and
// post to it (PostMessage), which is how tests press a dialog's buttons while the thread under
// test sits in the dialog's modal loop. The watcher itself allocates nothing while it runs.
class DialogWatch {
public:
    explicit DialogWatch(std::function<void(HWND dialog)> answer, DWORD thread = GetCurrentThreadId());
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    // How many dialogs have been handed to `answer` so far.
    int Seen() const { return seen_.load(); }

private:
    static DWORD WINAPI Run(void* self);
    static BOOL CALLBACK Visit(HWND window, LPARAM self);
    bool Known(HWND window) const;

    std::function<void(HWND)> answer_;
    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> seen_{0};
    static constexpr int KNOWN_LIMIT = 256;
    HWND known_[KNOWN_LIMIT] = {};
    int knownCount_ = 0;
    HANDLE worker_ = nullptr;
};

// Window texts read from another thread (code page 932).
std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);

// A message box's own text (the static control the system gives id 0xFFFF).
std::string MessageBoxText(HWND box);

// Polls `condition` until it holds or `limitMs` has passed; the outcome is the last answer.
bool WaitFor(const std::function<bool()>& condition, DWORD limitMs = 60000);

}  // namespace testenv
