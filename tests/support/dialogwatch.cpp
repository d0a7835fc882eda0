#include "support/dialogwatch.h"

namespace testenv {

DialogWatch::DialogWatch(std::function<void(HWND dialog)> answer, DWORD thread)
    : answer_(std::move(answer)), thread_(thread)
{
    worker_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogWatch::~DialogWatch()
{
    stop_ = true;
    if (worker_) {
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
    }
}

bool DialogWatch::Known(HWND window) const
{
    for (int i = 0; i < knownCount_; ++i)
        if (known_[i] == window)
            return true;
    return false;
}

BOOL CALLBACK DialogWatch::Visit(HWND window, LPARAM self)
{
    DialogWatch& watch = *reinterpret_cast<DialogWatch*>(self);
    char className[16];
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        lstrcmpA(className, "#32770") != 0 || watch.Known(window))
        return TRUE;
    if (watch.knownCount_ < KNOWN_LIMIT)
        watch.known_[watch.knownCount_++] = window;
    watch.answer_(window);
    ++watch.seen_;
    return TRUE;
}

DWORD WINAPI DialogWatch::Run(void* self)
{
    DialogWatch& watch = *static_cast<DialogWatch*>(self);
    while (!watch.stop_) {
        EnumThreadWindows(watch.thread_, Visit, reinterpret_cast<LPARAM>(self));
        Sleep(10);
    }
    return 0;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string DialogItemText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string MessageBoxText(HWND box) { return DialogItemText(box, 0xFFFF); }

bool WaitFor(const std::function<bool()>& condition, DWORD limitMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > limitMs)
            return condition();
        Sleep(10);
    }
}

}  // namespace testenv
