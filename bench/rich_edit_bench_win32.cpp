// The platform's own cost of a generate at the limit, under Wine: one bare
// editor box of the result box's size and settings, made by the program's own
// factory, timed while it takes the 160,001-line result in, gives it back
// and is destroyed. Run it beside program_bench to see what the program adds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/limit_input.h"
#include "ui/rich_edit_win32.h"
#include "ui/window_layout.h"

namespace {

DWORD elapsed_since(DWORD start) { return GetTickCount() - start; }

// The same 200 x 800 input as program_bench's generate.
Text result_at_the_limit() { return limit_input().result; }

HWND make_parent() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KwRichEditBench";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, 0, 0,
                                  723, 733, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(parent, SW_SHOW);
    return parent;
}

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    // The heap as the program sets it up.
    ULONG low_fragmentation = 2;
    HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &low_fragmentation, sizeof low_fragmentation);
    const Text result = result_at_the_limit();
    RichEditFactory factory;
    if (!factory) return 1;
    HWND parent = make_parent();
    for (int run = 1; run <= 3; ++run) {
        HWND box = factory.create(parent, box_row(BoxKind::result));
        if (!box) return 1;
        ShowWindow(box, SW_SHOW);
        DWORD start = GetTickCount();
        rich_edit_set_text(box, result);
        const DWORD streamed_in = elapsed_since(start);
        start = GetTickCount();
        const Text back = rich_edit_get_text(box);
        const DWORD read_back = elapsed_since(start);
        start = GetTickCount();
        DestroyWindow(box);
        const DWORD destroyed = elapsed_since(start);
        std::printf("bare result box, %zu bytes: stream-in %lu ms, read back %lu ms (%s), destroy %lu ms\n",
                    result.size(), streamed_in, read_back, back == result ? "same text" : "TEXT DIFFERS", destroyed);
    }
    DestroyWindow(parent);
    return 0;
}
