// Big data files in the real program under Wine, timed and weighed from
// outside: a seed file of short or long GBK lines loaded at start (time to
// the window shown, the box's line count, the program's peak memory), a file
// of random bytes (what loads, what the next keystroke writes), and
// keystrokes in a result box holding a result at the limit.
//   big_files_bench <keyword_expander.exe> [case ...]
// Cases: short:MB, long:MB, mixed:MB, random:MB, random-text:MB, result-keys,
// result-parts. A run
// whose program passes the memory bound (KW_BENCH_MAX_MB, 8000 by default)
// is ended there and reported as such, so a box that would eat the machine
// does not.
#include "tests/limit_input.h"
#include "tests/win32/driver_win32.h"

#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "expand/generate.h"
#include "ui/control_ids.h"
#include "ui/rich_edit_win32.h"

namespace {

constexpr double megabyte = 1e6;

DWORD elapsed_since(DWORD start) { return GetTickCount() - start; }

std::string gbk_lines(std::size_t bytes, std::size_t line_bytes) {
    // "关键词长尾词" and more: two-byte characters, a number, CR LF.
    static const std::string words = "关键词长尾词种子通配语句批量生成扩展";
    std::string text;
    text.reserve(bytes + line_bytes);
    for (std::size_t n = 0; text.size() < bytes; ++n) {
        if (n) text += "\r\n";
        std::string number = std::to_string(n % 100);
        std::size_t body = line_bytes > number.size() + 2 ? line_bytes - number.size() - 2 : 0;
        body -= body % 2;
        for (std::size_t put = 0; put < body; put += std::min(words.size(), body - put))
            text.append(words, 0, std::min(words.size(), body - put));
        text += number;
    }
    return text;
}

// Short lines that change between ASCII and GBK at every character.
std::string mixed_lines(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 16);
    while (text.size() < bytes) text += text.empty() ? "a你b好c中d国e" : "\r\na你b好c中d国e";
    return text;
}

std::string random_bytes(std::size_t bytes, bool text_only) {
    std::mt19937 random(20261211);
    std::string data(bytes, '\0');
    for (char& c : data) {
        unsigned char b = static_cast<unsigned char>(random());
        // Without NUL and SUB the whole file is the text: invalid GBK pairs,
        // lone CR and LF, everything the control must convert.
        while (text_only && (b == 0 || b == 0x1A)) b = static_cast<unsigned char>(random());
        c = static_cast<char>(b);
    }
    return data;
}

std::size_t count_lines(const std::string& text) {
    std::size_t lines = 1;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

struct Memory {
    double peak_commit_mb = 0, peak_working_mb = 0, commit_mb = 0;
};

Memory memory_of(DWORD process_id) {
    Memory m;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_id);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        m.peak_commit_mb = counters.PeakPagefileUsage / 1048576.0;
        m.peak_working_mb = counters.PeakWorkingSetSize / 1048576.0;
        m.commit_mb = counters.PagefileUsage / 1048576.0;
    }
    if (process) CloseHandle(process);
    return m;
}

DWORD_PTR ask(HWND control, UINT message) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(control, message, 0, 0, SMTO_BLOCK, 1800000, &answer);
    return answer;
}

double max_mb() {
    const char* bound = std::getenv("KW_BENCH_MAX_MB");
    return bound ? std::atof(bound) : 8000;
}

// Starts the program on the data folder as it is and waits for its window,
// its exit or the memory bound.
struct Started {
    bool shown = false, exited = false, bounded = false;
    DWORD exit_code = 0, ms = 0;
};
Started start_and_wait(RunningProgram& program, DWORD timeout_ms) {
    Started s;
    const DWORD start = GetTickCount();
    while (elapsed_since(start) < timeout_ms) {
        if (program.wait_for_exit(0, &s.exit_code)) {
            s.exited = true;
            break;
        }
        if (program.window(1)) {
            s.shown = true;
            break;
        }
        if (memory_of(program.process_id()).commit_mb > max_mb()) {
            s.bounded = true;
            break;
        }
        Sleep(50);
    }
    s.ms = elapsed_since(start);
    return s;
}

void load_case(const std::string& kind, double mb) {
    const std::size_t bytes = static_cast<std::size_t>(mb * megabyte);
    std::string data = kind == "short"    ? gbk_lines(bytes, 16)
                       : kind == "long"   ? gbk_lines(bytes, 4096)
                       : kind == "mixed"  ? mixed_lines(bytes)
                       : kind == "random" ? random_bytes(bytes, false)
                                          : random_bytes(bytes, true);
    const std::size_t lines = count_lines(data);
    ProgramCopy copy;
    write_file_bytes(copy.data("tag1.txt"), data);
    RunningProgram program(copy);
    const Started s = start_and_wait(program, 1800000);
    std::printf("%s %.0f MB (%zu bytes, %zu lines): ", kind.c_str(), mb, data.size(), lines);
    if (s.exited) {
        std::printf("program ended with code %#lx after %lu ms\n", s.exit_code, s.ms);
        return;
    }
    if (s.bounded) {
        std::printf("over %.0f MB of memory after %lu ms: stopped\n", max_mb(), s.ms);
        return;
    }
    if (!s.shown) {
        std::printf("no window after %lu ms\n", s.ms);
        return;
    }
    HWND box = program.control(id_种子编辑框);
    const DWORD_PTR box_lines = ask(box, EM_GETLINECOUNT);
    const Memory m = memory_of(program.process_id());
    std::printf("window shown %lu ms, box %lu lines, peak commit %.0f MB, peak working set %.0f MB\n", s.ms,
                static_cast<unsigned long>(box_lines), m.peak_commit_mb, m.peak_working_mb);
    if (kind.rfind("random", 0) != 0) return;

    // What the next keystroke writes: the box's text with one more character.
    const long long before = file_size(copy.data("tag1.txt"));
    const DWORD start = GetTickCount();
    program.type(box, "x");
    const bool written = wait_until([&] { return file_size(copy.data("tag1.txt")) != before; }, 1800000);
    ask(program.window(), WM_NULL);
    const std::string after = read_file_bytes(copy.data("tag1.txt"));
    std::size_t same = 0;
    while (same < after.size() && same < data.size() && after[same] == data[same]) ++same;
    std::printf("  keystroke: %s after %lu ms, file %lld -> %zu bytes, first %zu bytes unchanged\n",
                written ? "written" : "nothing written", elapsed_since(start), before, after.size(), same);
}

void result_keys_case() {
    ProgramCopy copy;
    const LimitInput input = limit_input();
    write_file_bytes(copy.data("tag1.txt"), input.seeds);
    write_file_bytes(copy.data("ty1.txt"), input.statements);
    const std::string& expected = input.result;
    RunningProgram program(copy);
    if (!program.window()) return;
    program.click(program.control(id_生成关键词按钮));
    wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 1800000);
    ask(program.window(), WM_NULL);
    const Memory m = memory_of(program.process_id());
    std::printf("result box at the limit (%zu bytes): peak commit %.0f MB, peak working set %.0f MB\n",
                expected.size(), m.peak_commit_mb, m.peak_working_mb);
    HWND box = program.control(id_合成编辑框);
    for (int key = 0; key < 5; ++key) {
        const long long before = file_size(copy.data("gjc1.txt"));
        const DWORD start = GetTickCount();
        program.type(box, "x");
        wait_until([&] { return file_size(copy.data("gjc1.txt")) == before + 1; }, 1800000);
        const DWORD written = elapsed_since(start);
        ask(program.window(), WM_NULL);
        std::printf("  keystroke in the result box to its file written: %lu ms, idle %lu ms\n", written,
                    elapsed_since(start));
    }
    const Memory after = memory_of(program.process_id());
    std::printf("  after the keystrokes: peak commit %.0f MB, peak working set %.0f MB\n", after.peak_commit_mb,
                after.peak_working_mb);
}

// Takes a chunk of the box's text and keeps nothing: a named CALLBACK, since
// a lambda has the wrong calling convention for the 32-bit build.
DWORD CALLBACK drop_chunk(DWORD_PTR, LPBYTE, LONG bytes, LONG* taken) {
    *taken = bytes;
    return 0;
}

// Where a keystroke's time goes in a box holding a result at the limit: the
// same box in this process, each step timed alone.
void result_parts_case() {
    const std::string result = limit_input().result;
    RichEditFactory rich_edit;
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 723, 733, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND box = rich_edit.create(parent, box_row(BoxKind::result));
    ShowWindow(box, SW_SHOW);
    auto time = [](const char* what, int runs, const std::function<void()>& step) {
        DWORD total = 0;
        for (int i = 0; i < runs; ++i) {
            const DWORD start = GetTickCount();
            step();
            total += elapsed_since(start);
        }
        std::printf("  %s: %lu ms (mean of %d)\n", what, total / runs, runs);
    };
    std::printf("a result at the limit (%zu bytes) in a box of this process:\n", result.size());
    time("set the box's text (stream-in, conversion)", 1, [&] { rich_edit_set_text(box, result); });
    std::string read;
    time("read the box's text (stream-out, conversion)", 3, [&] { read = rich_edit_get_text(box); });
    std::printf("  read back %s\n", read == result ? "unchanged" : "CHANGED");
    time("stream-out alone, chunks dropped", 3, [&] {
        EDITSTREAM stream{0, 0, drop_chunk};
        SendMessageA(box, EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    });
    time("the whole text as UTF-16 by EM_GETTEXTEX instead, for comparison", 3, [&] {
        std::wstring copy(result.size() + 1, L'\0');
        GETTEXTEX get{static_cast<DWORD>(copy.size() * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr, nullptr};
        SendMessageA(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(copy.data()));
    });
    std::wstring wide(result.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, result.data(), static_cast<int>(result.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    time("UTF-16 to GBK alone, whole text", 3, [&] {
        std::string ansi(2 * wide.size(), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                            static_cast<int>(ansi.size()), nullptr, nullptr);
    });
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "kw-bench-result.txt";
    time("write the file (create, write, close)", 3, [&] { write_file_bytes(file, result); });
    DeleteFileA(file.c_str());
    SendMessageA(box, EM_SETSEL, 0, 0);
    time("the control's own keystroke (WM_CHAR, no save)", 3, [&] { SendMessageA(box, WM_CHAR, 'x', 1); });
    time("one keystroke and its save, as the program does them", 3, [&] {
        SendMessageA(box, WM_CHAR, 'x', 1);
        write_file_bytes(file, rich_edit_get_text(box));
    });
    DeleteFileA(file.c_str());
    DestroyWindow(parent);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: big_files_bench <keyword_expander.exe> [short:MB|long:MB|random:MB|"
                             "random-text:MB|result-keys|result-parts ...]\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    setvbuf(stdout, nullptr, _IONBF, 0);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    std::printf("memory to be had: %.0f MB physical, %.0f MB commit, %.0f MB address space\n",
                status.ullAvailPhys / 1048576.0, status.ullAvailPageFile / 1048576.0,
                status.ullAvailVirtual / 1048576.0);
    for (int i = 2; i < argc; ++i) {
        const std::string name = argv[i];
        const std::size_t colon = name.find(':');
        if (name == "result-keys")
            result_keys_case();
        else if (name == "result-parts")
            result_parts_case();
        else if (colon != std::string::npos)
            load_case(name.substr(0, colon), std::atof(name.c_str() + colon + 1));
        else
            std::fprintf(stderr, "unknown case %s\n", name.c_str());
    }
    return 0;
}
