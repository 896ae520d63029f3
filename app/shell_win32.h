#pragma once
// The application shell: start-up, the message loop, the orderly end and the
// one fatal-error path. Its state, one AppShell for the whole process, is
// reached only through these operations.
#include "expand/text.h"

int start_program();
void init_shell();
void set_exit_routine(void (*routine)());
void on_program_exit();
void run_message_loop();
void shutdown_shell(int exit_code);
[[noreturn]] void fatal_runtime_error(const Text& message);
