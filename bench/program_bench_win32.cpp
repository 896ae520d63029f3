// The real program under Wine, timed from outside: start to window shown,
// a generate at the limit to its result file written (twice: the second one
// replaces a box of 160,000 lines), a category switch that loads that result
// file, and one keystroke in a box of 1 MB to its file written.
#include <richedit.h>

#include <cstdio>
#include <string>

#include "expand/generate.h"
#include "tests/limit_input.h"
#include "tests/win32/driver_win32.h"
#include "ui/control_ids.h"

namespace {

DWORD elapsed_since(DWORD start) { return GetTickCount() - start; }

void wait_idle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 600000, &ignored);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_bench <path of keyword_expander.exe>\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    setvbuf(stdout, nullptr, _IONBF, 0);

    {
        ProgramCopy copy;
        DWORD total = 0;
        const int runs = 5;
        for (int i = 0; i < runs; ++i) {
            const DWORD start = GetTickCount();
            RunningProgram program(copy);
            if (!program.window()) return 1;
            total += elapsed_since(start);
        }
        std::printf("start to window shown and focused: %lu ms (mean of %d)\n", total / runs, runs);
    }
    {
        ProgramCopy copy;
        const LimitInput input = limit_input();
        write_file_bytes(copy.data("tag1.txt"), input.seeds);
        write_file_bytes(copy.data("ty1.txt"), input.statements);
        const std::string& expected = input.result;
        RunningProgram program(copy);
        if (!program.window()) return 1;
        for (int run = 1; run <= 2; ++run) {
            const DWORD start = GetTickCount();
            program.click(program.control(id_生成关键词按钮));
            // The result file is emptied first, then written whole.
            wait_until([&] { return file_is(copy.data("gjc1.txt"), ""); }, 600000);
            const DWORD emptied = elapsed_since(start);
            wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 600000);
            const DWORD written = elapsed_since(start);
            wait_idle(program.window());
            std::printf("generate %d at the limit (%zu bytes, 160,001 lines): file emptied %lu ms, written %lu ms,"
                        " idle %lu ms\n",
                        run, expected.size(), emptied, written, elapsed_since(start));
        }
        // Lines of the result box, asked across processes; the box itself may be replaced.
        auto result_lines = [&] {
            DWORD_PTR lines = 0;
            SendMessageTimeoutA(program.control(id_合成编辑框), EM_GETLINECOUNT, 0, 0, SMTO_BLOCK, 600000, &lines);
            return lines;
        };
        program.click(program.control(id_单选框1 + 1));
        wait_until([&] { return result_lines() == 1; }, 600000);
        const DWORD start = GetTickCount();
        program.click(program.control(id_单选框1));
        wait_until([&] { return result_lines() >= 160001; }, 600000);
        std::printf("switch to a category whose result file holds that result: %lu ms\n", elapsed_since(start));
    }
    {
        ProgramCopy copy;
        std::string megabyte;
        for (int i = 0; megabyte.size() < 1000000; ++i) megabyte += "种子关键词 " + std::to_string(i) + "\r\n";
        write_file_bytes(copy.data("tag1.txt"), megabyte);
        RunningProgram program(copy);
        if (!program.window()) return 1;
        HWND box = program.control(id_种子编辑框);
        for (int key = 0; key < 3; ++key) {
            const long long before = file_size(copy.data("tag1.txt"));
            const DWORD start = GetTickCount();
            program.type(box, "x");
            wait_until([&] { return file_size(copy.data("tag1.txt")) == before + 1; }, 600000);
            std::printf("keystroke in a box of %lld bytes to its file written: %lu ms\n", before,
                        elapsed_since(start));
        }
    }
    return 0;
}
