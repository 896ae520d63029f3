#include "app/shell_win32.h"

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "app/program_folder.h"
#include "expand/out_of_memory.h"
#include "store/system_disk.h"
#include "ui/main_window_win32.h"

namespace {

// OLE on the main thread, which the web strip's browser control needs. Its
// flag is whether this owner started it, so it is ended exactly once.
class OleOwner {
public:
    void start() {
        // The result is ignored: without OLE the web strip cannot be made, and
        // start-up ends in the fatal box.
        OleInitialize(nullptr);
        started_ = true;
    }
    void end() {
        if (std::exchange(started_, false)) OleUninitialize();
    }
    bool started() const { return started_; }

private:
    bool started_ = false;
};

struct AppShell {
    void (*exit_routine)() = nullptr;  // runs at most once, never after a fatal error
    bool loop_entered = false;
    bool shutting_down = false;
    Text program_folder;
    std::vector<HWND> loaded_windows;
    OleOwner ole;  // the OLE flag is ole.started()
};

// Created on first use and never destroyed: the shell outlives every other
// object, and the fatal path may run while static objects are torn down.
struct Program {
    AppShell shell;
    std::unique_ptr<Disk> disk;
    MainWindowPtr main_window;
};
Program& program() {
    static Program* the_program = new Program();
    return *the_program;
}
AppShell& shell() { return program().shell; }

bool is_lead_byte_of_ansi_code_page(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

void window_destroyed(HWND window) {
    std::vector<HWND>& windows = shell().loaded_windows;
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    if (windows.empty() && shell().loop_entered) PostQuitMessage(0);
}

bool any_loaded_window() {
    const std::vector<HWND>& windows = shell().loaded_windows;
    return std::any_of(windows.begin(), windows.end(), [](HWND w) { return IsWindow(w) != FALSE; });
}

void out_of_memory(const char* message) { fatal_runtime_error(message); }

// Nothing waits for idle time; the loop only asks.
bool run_idle_step() { return false; }

}  // namespace

void init_shell() {
    // The boxes allocate a few small blocks per line; after a box of 160,000
    // lines is freed, a heap without the low-fragmentation front end searches
    // long free lists on every allocation.
    ULONG low_fragmentation = 2;
    HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &low_fragmentation, sizeof low_fragmentation);
    shell().ole.start();
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    shell().program_folder =
        program_folder_of(Text(path, length < MAX_PATH ? length : 0), is_lead_byte_of_ansi_code_page);
    SetCurrentDirectoryA(shell().program_folder.c_str());
}

void set_exit_routine(void (*routine)()) { shell().exit_routine = routine; }

// Run by shutdown_shell before the data files are closed, and never after a
// fatal error. Once the current paths are let go, a change notice that comes
// late, while the window is torn down, finds no file to save into, so the
// files keep what the user last saw.
void on_program_exit() {
    if (program().main_window) main_window_store(*program().main_window).release_current_paths();
}

void run_message_loop() {
    shell().loop_entered = true;
    if (!any_loaded_window()) return;
    MSG msg;
    for (;;) {
        while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && run_idle_step()) {
        }
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) return;
        if (pretranslate_main_window_message(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void shutdown_shell(int) {
    shell().shutting_down = true;
    if (void (*routine)() = std::exchange(shell().exit_routine, nullptr)) routine();
    if (program().disk) program().disk->close_all_files();
    shell().ole.end();
}

void fatal_runtime_error(const Text& message) {
    const Text text = "运行时出错!\r\n\r\n错误信息：" + message + "\r\n";
    MessageBoxA(nullptr, text.c_str(), "错误", MB_OK | MB_ICONERROR);
    shell().exit_routine = nullptr;
    shutdown_shell(-1);
    ExitProcess(static_cast<UINT>(-1));
}

int start_program() {
    set_out_of_memory_hook(out_of_memory);
    init_shell();
    set_exit_routine(on_program_exit);
    Program& p = program();
    p.disk = make_system_disk();
    p.main_window = create_main_window(*p.disk, window_destroyed);
    if (!p.main_window) fatal_runtime_error("载入启动窗口失败");
    p.shell.loaded_windows.push_back(main_window_handle(*p.main_window));
    run_message_loop();
    return 0;
}
