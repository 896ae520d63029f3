#pragma once
// Memory for texts and lists is never expected to run out; when it does, the
// program cannot go on. Every failed allocation of the program (operator new
// is replaced) reaches one hook with the message "分配 N 字节内存失败!".
// The shell installs a hook that shows the fatal error box and ends the
// process; until then the message goes to standard error and the process aborts.
#include <cstddef>

using OutOfMemoryHook = void (*)(const char* message);

void set_out_of_memory_hook(OutOfMemoryHook hook);
[[noreturn]] void report_out_of_memory(std::size_t bytes);

// Writes the message for a failed request of `bytes` into `out` (no allocation).
void format_out_of_memory_message(std::size_t bytes, char* out, std::size_t out_size);
