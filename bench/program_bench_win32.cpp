// The real program under Wine, timed from outside: start to window shown,
// a generate at the limit to its result file written (twice: the second one
// replaces a box of 160,000 lines), a category switch that loads that result
// file, and one keystroke in a box of 1 MB to its file written.
#include <cstdio>
#include <string>

#include "expand/generate.h"
#include "tests/win32/driver_win32.h"
#include "ui/control_ids.h"

namespace {

DWORD elapsed_since(DWORD start) { return GetTickCount() - start; }

bool file_is(const std::string& path, const std::string& bytes) { return read_file_bytes(path) == bytes; }

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
        std::string seeds, statements;
        for (int i = 0; i < 200; ++i) seeds += (i ? "\r\n" : "") + std::string("关键词") + std::to_string(i);
        for (int i = 0; i < 800; ++i)
            statements += (i ? "\r\n" : "") + std::string("*的价格 * 哪家好 ") + std::to_string(i);
        write_file_bytes(copy.data("tag1.txt"), seeds);
        write_file_bytes(copy.data("ty1.txt"), statements);
        const std::string expected = expand_statements(statements, split_by_delimiter(seeds, crlf));
        RunningProgram program(copy);
        if (!program.window()) return 1;
        for (int run = 1; run <= 2; ++run) {
            const DWORD start = GetTickCount();
            program.click(program.control(id_生成关键词按钮));
            wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 600000);
            const DWORD written = elapsed_since(start);
            wait_idle(program.window());
            std::printf("generate %d at the limit (%zu bytes, 160,001 lines): file written %lu ms, idle %lu ms\n",
                        run, expected.size(), written, elapsed_since(start));
        }
        program.click(program.control(id_单选框1 + 1));
        wait_idle(program.window());
        const DWORD start = GetTickCount();
        program.click(program.control(id_单选框1));
        wait_idle(program.window());
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
            const std::size_t before = read_file_bytes(copy.data("tag1.txt")).size();
            const DWORD start = GetTickCount();
            program.type(box, "x");
            wait_until([&] { return read_file_bytes(copy.data("tag1.txt")).size() == before + 1; }, 600000);
            std::printf("keystroke in a box of %zu bytes to its file written: %lu ms\n", before,
                        elapsed_since(start));
        }
    }
    return 0;
}
