// Makes a web strip in a hidden window of a process of its own and reports by
// its exit code:
//   (no argument) 0 made; 1 refused with nothing left in the window; 2 refused
//                 but something left. The tests run it under a DLL override
//                 that only this program name gets.
//   release       0 when, after the strip (made without an address) is
//                 destroyed, COM can unload the browser control's library: no
//                 reference to the control was kept; 4 when it stays loaded.
// A process of its own, because a page that another test left loading keeps
// the library in.
#include <windows.h>
#include <ole2.h>

#include <cstring>

#include "ui/web_addresses.h"
#include "ui/web_strip_win32.h"

int main(int argc, char** argv) {
    const bool release_check = argc > 1 && std::strcmp(argv[1], "release") == 0;
    if (FAILED(OleInitialize(nullptr))) return 3;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "KwProbeWindow";
    RegisterClassA(&wc);
    const HWND window = CreateWindowExA(0, "KwProbeWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 723, 733, nullptr,
                                        nullptr, instance, nullptr);
    const char* url = release_check ? "" : web_addresses().web_strip_page.c_str();
    const ControlRow row{"超文本浏览框1", 100, ControlKind::web_strip, 0, {2, 689, 715, 18}, nullptr, black, {}};
    const HWND strip = create_web_strip(window, row, url);
    int outcome = strip ? 0 : GetWindow(window, GW_CHILD) ? 2 : 1;
    if (strip && release_check) {
        DestroyWindow(strip);
        // The first call marks the unused library, the second unloads it.
        CoFreeUnusedLibrariesEx(0, 0);
        CoFreeUnusedLibrariesEx(0, 0);
        outcome = GetModuleHandleA("ieframe.dll") ? 4 : 0;
    }
    DestroyWindow(window);
    OleUninitialize();
    return outcome;
}
