// The real program under Wine, driven from outside like a user would.
#include <gtest/gtest.h>

#include "expand/generate.h"
#include "tests/win32/driver_win32.h"
#include "ui/control_ids.h"

namespace {

std::string lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\r\n" : "") + line;
    return text;
}

bool file_is(const std::string& path, const std::string& bytes) {
    bool exists = false;
    return read_file_bytes(path, &exists) == bytes && exists;
}


}  // namespace

TEST(Program, StartsFromAnotherFolderWithCategoryOneLoadedAndUnwritten) {
    ProgramCopy copy;
    const std::string seeds = "北京\r\n上海", statements = "*旅游攻略\r\n*哪里好玩", result = "old result";
    write_file_bytes(copy.data("tag1.txt"), seeds);
    write_file_bytes(copy.data("ty1.txt"), statements);
    write_file_bytes(copy.data("gjc1.txt"), result);
    const FILETIME times[] = {age_file(copy.data("tag1.txt")), age_file(copy.data("ty1.txt")),
                              age_file(copy.data("gjc1.txt"))};

    RunningProgram program(copy, "ignored --arguments", "C:\\");
    ASSERT_TRUE(program.window());
    EXPECT_EQ(program.text(program.control(id_种子编辑框)), seeds);
    EXPECT_EQ(program.text(program.control(id_通用编辑框)), statements);
    EXPECT_EQ(program.text(program.control(id_合成编辑框)), result);
    EXPECT_EQ(SendMessageA(program.control(id_单选框1), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(program.focus(), program.control(id_种子编辑框));
    EXPECT_TRUE(file_is(copy.data("tag1.txt"), seeds));
    EXPECT_TRUE(same_time(write_time(copy.data("tag1.txt")), times[0]));
    EXPECT_TRUE(same_time(write_time(copy.data("ty1.txt")), times[1]));
    EXPECT_TRUE(same_time(write_time(copy.data("gjc1.txt")), times[2]));
}

TEST(Program, GenerateWritesTheResultFileEqualToTheBox) {
    struct Case { const char* why; std::string seeds; std::string statements; std::string blocks; };
    const Case cases[] = {
        {"final CR LF adds no seed", "red\r\nblue\r\n", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"blank seed line", "red\r\n\r\nblue", "* shoes\r\ncheap * shoes",
         "red shoes\r\ncheap red shoes\r\n shoes\r\ncheap  shoes\r\nblue shoes\r\ncheap blue shoes\r\n"},
        {"statements ending in CR LF", "北京", "*旅游\r\n", "北京旅游\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        write_file_bytes(copy.data("tag1.txt"), c.seeds);
        write_file_bytes(copy.data("ty1.txt"), c.statements);
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        program.click(program.control(id_生成关键词按钮));
        const std::string expected = banner_line() + c.blocks;
        EXPECT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 20000));
        EXPECT_EQ(program.text(program.control(id_合成编辑框)), expected);
        EXPECT_TRUE(file_is(copy.data("tag1.txt"), c.seeds));
    }
}

TEST(Program, LimitsShowTheWarningAndWriteNothing) {
    struct Case { const char* why; int seeds; int statement_lines; const Text* message; };
    const Case cases[] = {
        {"201 seeds", 201, 3, &seed_warning},
        {"801 statement lines", 200, 801, &statement_warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ProgramCopy copy;
        write_file_bytes(copy.data("tag1.txt"), lines(c.seeds, "k"));
        write_file_bytes(copy.data("ty1.txt"), lines(c.statement_lines, "*"));
        write_file_bytes(copy.data("gjc1.txt"), "kept");
        const FILETIME kept = age_file(copy.data("gjc1.txt"));
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        program.click(program.control(id_生成关键词按钮));
        HWND box = program.wait_for_box(warning_title);
        ASSERT_TRUE(box);
        EXPECT_EQ(program.box_text(box), *c.message);
        EXPECT_FALSE(IsWindowEnabled(program.window())) << "the warning is modal for the task";
        program.close_box(box);
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(program.window()) != FALSE; }, 10000));
        EXPECT_EQ(program.text(program.control(id_合成编辑框)), "kept");
        EXPECT_TRUE(same_time(write_time(copy.data("gjc1.txt")), kept));
    }
}

TEST(Program, ClosingByEscOrCloseCommandExitsWithZero) {
    ProgramCopy copy;
    {
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        program.press(VK_ESCAPE);
        DWORD code = 1;
        ASSERT_TRUE(program.wait_for_exit(20000, &code));
        EXPECT_EQ(code, 0u);
    }
    {
        RunningProgram program(copy);
        ASSERT_TRUE(program.window());
        PostMessageA(program.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = 1;
        ASSERT_TRUE(program.wait_for_exit(20000, &code));
        EXPECT_EQ(code, 0u);
    }
}

// At the limit the result has 160,000 lines; emptying a rich edit that holds
// them is slow in Wine, so this is the case that shows a slow path.
TEST(Program, GenerateAtTheLimitTwice) {
    ProgramCopy copy;
    std::string seeds, statements;
    for (int i = 0; i < 200; ++i) seeds += (i ? "\r\n" : "") + std::string("关键词") + std::to_string(i);
    for (int i = 0; i < 800; ++i) statements += (i ? "\r\n" : "") + std::string("*的价格 * 哪家好 ") + std::to_string(i);
    write_file_bytes(copy.data("tag1.txt"), seeds);
    write_file_bytes(copy.data("ty1.txt"), statements);
    const std::string expected = expand_statements(statements, split_by_delimiter(seeds, crlf));
    RunningProgram program(copy);
    ASSERT_TRUE(program.window());
    for (int run = 1; run <= 2; ++run) {
        const DWORD start = GetTickCount();
        program.click(program.control(id_生成关键词按钮));
        ASSERT_TRUE(wait_until([&] { return file_is(copy.data("gjc1.txt"), expected); }, 120000));
        DWORD_PTR ignored = 0;  // and until the program is idle again
        SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_BLOCK, 300000, &ignored);
        printf("generate %d at the limit: %lu ms\n", run, GetTickCount() - start);
    }
    const std::string shown = program.text(program.control(id_合成编辑框));
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_TRUE(shown == expected);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: program_tests <path of keyword_expander.exe>\n");
        return 2;
    }
    program_under_test = to_windows_path(argv[1]);
    return RUN_ALL_TESTS();
}
