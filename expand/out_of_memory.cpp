#include "expand/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
OutOfMemoryHook current_hook = nullptr;
}

void set_out_of_memory_hook(OutOfMemoryHook hook) { current_hook = hook; }

void format_out_of_memory_message(std::size_t bytes, char* out, std::size_t out_size) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + bytes % 10);
        bytes /= 10;
    } while (bytes != 0);
    char number[24];
    for (int i = 0; i < count; ++i) number[i] = digits[count - 1 - i];
    number[count] = '\0';
    std::snprintf(out, out_size, "分配 %s 字节内存失败!", number);
}

void report_out_of_memory(std::size_t bytes) {
    char message[96];
    format_out_of_memory_message(bytes, message, sizeof message);
    if (current_hook) current_hook(message);
    std::fputs(message, stderr);
    std::abort();
}

// The replaced allocation functions. Only the plain forms report; the nothrow
// forms keep their contract and hand back nullptr, for the callers that have a
// quiet outcome of their own (a data file too large to read loads as empty).
void* operator new(std::size_t bytes) {
    if (void* p = std::malloc(bytes ? bytes : 1)) return p;
    report_out_of_memory(bytes);
}
void* operator new[](std::size_t bytes) { return ::operator new(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes ? bytes : 1); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes ? bytes : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
