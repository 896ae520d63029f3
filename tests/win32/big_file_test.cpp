// Big and awkward data files in the real program under Wine: texts cut into
// chunks on their way into and out of the box, and a file too large for its
// box, which must neither crash the program nor ever be overwritten.
#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/win32/driver_win32.h"
#include "ui/control_ids.h"

namespace {

DWORD_PTR ask(HWND control, UINT message) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(control, message, 0, 0, SMTO_BLOCK, 120000, &answer);
    return answer;
}

}  // namespace

// The text goes into the box 2,048 bytes at a time and comes back in chunks
// of the control's choosing; each chunk is converted alone.
TEST(BigFiles, TextsCrossTheBoxInChunksUnchanged) {
    const std::string a(2047, 'a');
    struct Case { const char* why; std::string text; };
    const Case cases[] = {
        {"a two-byte character across the first chunk's end", a + "你好" + std::string(5000, 'b') + "\r\n末"},
        {"CR LF across the first chunk's end", a + "\r\n" + std::string(5000, 'c') + "\r\n末"},
        {"CR LF right after a full chunk", a + "a\r\n" + std::string(4094, 'd') + "\r\n\r\n尾"},
        {"starting with EF BB BF, which is no byte-order mark here", "\xEF\xBB\xBF" "abc\r\n" + a + "好"},
        {"many chunks of two-byte characters and short lines", [] {
             std::string text;
             for (int i = 0; i < 3000; ++i) text += (i ? "\r\n" : "") + std::string("关键词") + std::to_string(i);
             return text;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        write_file_bytes(copy.data("tag1.txt"), c.text);
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        HWND box = program.control(id_种子编辑框);
        EXPECT_EQ(program.text(box), c.text);
        EXPECT_TRUE(file_is(copy.data("tag1.txt"), c.text)) << "loading writes nothing";
        program.type(box, "x");
        EXPECT_TRUE(wait_until([&] { return file_is(copy.data("tag1.txt"), "x" + c.text); }, 20000));
    }
}

namespace {

// Lines that switch between one and two bytes at every character, which
// costs the control about 9 KB a 16-byte line: lines for twice the memory
// there is.
void write_too_large_for_the_box(const std::string& path) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    const unsigned long long memory = std::min(status.ullAvailVirtual, status.ullAvailPageFile);
    const std::size_t line_count = static_cast<std::size_t>(2 * memory / 9000);
    std::string big;
    big.reserve(line_count * 16);
    for (std::size_t i = 0; i < line_count; ++i) big += i ? "\r\na你b好c中d国e" : "a你b好c中d国e";
    write_file_bytes(path, big);
}

// Text at the start and a length past what a text can hold (2 GB); sparse,
// so it costs no disk.
void write_too_long_to_read(const std::string& path) {
    write_file_bytes(path, "abc\r\ndef");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER length{};
    length.QuadPart = 0x80000100LL;
    SetFilePointerEx(file, length, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

}  // namespace

// A seed file whose text cannot reach its box: the program goes on, the box
// shows nothing of it, and what is typed there never replaces the file.
TEST(BigFiles, AFileThatCannotReachItsBoxShowsEmptyAndIsNeverOverwritten) {
    struct Case { const char* why; void (*write)(const std::string&); };
    const Case cases[] = {
        {"too large for the box", write_too_large_for_the_box},
        {"too long to be read at all", write_too_long_to_read},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        c.write(copy.data("tag1.txt"));
        write_file_bytes(copy.data("ty1.txt"), "*的价格");
        const long long size = file_size(copy.data("tag1.txt"));
        const FILETIME written = age_file(copy.data("tag1.txt"));
        RunningProgram program(copy);
        ASSERT_TRUE(program.window(120000)) << size << " bytes";
        HWND seed_box = program.control(id_种子编辑框);
        HWND statement_box = program.control(id_通用编辑框);
        EXPECT_EQ(program.text(seed_box), "") << "nothing of the file, and not a part of it";
        EXPECT_EQ(ask(seed_box, EM_GETLINECOUNT), 1u);
        EXPECT_EQ(program.text(statement_box), "*的价格") << "the other boxes load as ever";

        // A keystroke in the seed box, then one in the statement box: once
        // the second is saved, the first has been handled.
        program.type(seed_box, "typed");
        program.type(statement_box, "x");
        EXPECT_TRUE(wait_until([&] { return file_is(copy.data("ty1.txt"), "x*的价格"); }, 60000));
        EXPECT_EQ(program.text(seed_box), "typed");
        EXPECT_EQ(file_size(copy.data("tag1.txt")), size);
        EXPECT_TRUE(same_time(write_time(copy.data("tag1.txt")), written)) << "kept like a read-only file";

        // Selecting the category again tries again: the file, small now,
        // loads and is saved as any other. A box with text is replaced on a
        // load, so the control is looked up anew.
        write_file_bytes(copy.data("tag1.txt"), "small");
        program.click(program.control(id_单选框1));
        EXPECT_TRUE(wait_until([&] { return program.text(program.control(id_种子编辑框)) == "small"; }, 60000));
        program.type(program.control(id_种子编辑框), "z");
        EXPECT_TRUE(wait_until([&] { return file_is(copy.data("tag1.txt"), "zsmall"); }, 20000));
        DWORD code = 0;
        EXPECT_FALSE(program.wait_for_exit(0, &code)) << "ended with " << code;
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: big_file_tests <path of keyword_expander.exe>\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    return RUN_ALL_TESTS();
}
