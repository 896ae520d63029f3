#pragma once
// A visible top-level window for the GUI tests under Wine (an X display is
// needed), and the few helpers they share.
#include <windows.h>

#include <string>

inline void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class TestWindow {
public:
    TestWindow() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "KwTestWindow";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, "KwTestWindow", "link tests", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                723, 733, nullptr, nullptr, instance, nullptr);
        ShowWindow(hwnd_, SW_SHOW);
        UpdateWindow(hwnd_);
        pump_messages();
    }
    ~TestWindow() {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        pump_messages();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// The folder of the running test program, with a trailing backslash.
inline std::string program_folder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// A window's place and size in its parent's client area.
inline RECT rect_in_parent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
