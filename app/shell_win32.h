#pragma once
// The application shell: start-up, the message loop, the orderly end and the
// one fatal-error path.
#include <windows.h>

#include <vector>

#include "expand/text.h"

struct AppShell {
    void (*exit_routine)() = nullptr;  // runs at most once, never after a fatal error
    bool loop_entered = false;
    bool shutting_down = false;
    Text program_folder;
    std::vector<HWND> loaded_windows;
    bool ole_initialised = false;
};

AppShell& app_shell();

int start_program();
void init_shell();
void set_exit_routine(void (*routine)());
void on_program_exit();
void run_message_loop();
void shutdown_shell(int exit_code);
[[noreturn]] void fatal_runtime_error(const Text& message);
